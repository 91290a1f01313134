// Test fixture that runs the launcher and finds its windows.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <memory>

#include "tests/e2e/exe_path_setting.h"
#include "tests/e2e/launcher_session.h"

namespace e2e {

constexpr int kInstallId = 1;
constexpr int kRunId = 1002;
constexpr int kExitId = 2;

class LauncherTest : public testing::Test {
  protected:
    void SetUp() override;

    // Copies the disc and starts the launcher; the test is skipped when there is no disc.
    void StartLauncher(bool withVideo = true);
    // A second, independent session (for side-by-side runs).
    std::unique_ptr<LauncherSession> StartAnotherLauncher();

    // The captionless window that shows the video.
    static HWND WaitForVideoWindow(const LauncherSession& session, DWORD timeoutMs);
    // The launcher window, captioned "Velmora".
    static HWND WaitForLauncherWindow(const LauncherSession& session, DWORD timeoutMs);
    // Waits for the video, ends it with Escape and returns the launcher window (null if none).
    static HWND PassVideo(const LauncherSession& session);
    HWND PassVideo() { return PassVideo(*session_); }

    static bool ButtonEnabled(HWND launcher, int id);

    ExePathSetting exePath_;
    std::unique_ptr<LauncherSession> session_;
};

}  // namespace e2e
