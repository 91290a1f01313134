#include "tests/e2e/launcher_test.h"

#include "tests/e2e/e2e_config.h"
#include "tests/e2e/top_windows.h"
#include "tests/e2e/user_input.h"

namespace e2e {

void LauncherTest::SetUp() {
    if (!PathExists(LauncherSourcePath())) {
        GTEST_SKIP() << "no assembled disc with launcher.exe (E2E_DISC_DIR=" << DiscSourceDir()
                     << ")";
    }
}

void LauncherTest::StartLauncher(bool withVideo) {
    session_ = std::make_unique<LauncherSession>();
    std::string error;
    ASSERT_TRUE(session_->PrepareDisc(withVideo, &error)) << error;
    ASSERT_TRUE(session_->Start(&error)) << error;
}

std::unique_ptr<LauncherSession> LauncherTest::StartAnotherLauncher() {
    auto session = std::make_unique<LauncherSession>();
    std::string error;
    if (!session->PrepareDisc(true, &error) || !session->Start(&error)) {
        ADD_FAILURE() << error;
        return nullptr;
    }
    return session;
}

HWND LauncherTest::WaitForVideoWindow(const LauncherSession& session, DWORD timeoutMs) {
    return WaitForWindow(
        session.ProcessId(), [](HWND window) { return !HasCaption(window); }, timeoutMs);
}

HWND LauncherTest::WaitForLauncherWindow(const LauncherSession& session, DWORD timeoutMs) {
    return WaitForWindow(
        session.ProcessId(),
        [](HWND window) { return HasCaption(window) && WindowText(window) == "Velmora"; },
        timeoutMs);
}

HWND LauncherTest::PassVideo(const LauncherSession& session) {
    if (HWND video = WaitForVideoWindow(session, 15000)) {
        PressKey(video, VK_ESCAPE);
    }
    // Should Escape fail, the video still ends by itself.
    return WaitForLauncherWindow(session, 15000);
}

bool LauncherTest::ButtonEnabled(HWND launcher, int id) {
    HWND button = GetDlgItem(launcher, id);
    return button && IsWindowEnabled(button);
}

}  // namespace e2e
