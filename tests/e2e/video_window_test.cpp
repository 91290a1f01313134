// The intro video window: shown before the launcher, sized to the video, centred, and gone when the
// video ends, on Escape, or at once when there is no video to play.
#include <gtest/gtest.h>

#include <cstdio>

#include "tests/e2e/avi_info.h"
#include "tests/e2e/e2e_config.h"
#include "tests/e2e/launcher_test.h"
#include "tests/e2e/top_windows.h"
#include "tests/e2e/user_input.h"

namespace e2e {
namespace {

RECT WorkArea() {
    RECT area{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    return area;
}

void ExpectCentred(HWND window, const char* what) {
    RECT area = WorkArea(), rect{};
    GetWindowRect(window, &rect);
    int centreX2 = rect.left + rect.right, centreY2 = rect.top + rect.bottom;
    EXPECT_NEAR(centreX2, area.left + area.right, 2)
        << what << " is not centred horizontally: window " << DescribeRect(rect) << ", work area "
        << DescribeRect(area);
    EXPECT_NEAR(centreY2, area.top + area.bottom, 2)
        << what << " is not centred vertically: window " << DescribeRect(rect) << ", work area "
        << DescribeRect(area);
}

bool Gone(HWND window) { return !IsWindow(window) || !IsWindowVisible(window); }

using VideoWindowTest = LauncherTest;

TEST_F(VideoWindowTest, PlaysFirstCentredAtTheVideoSizeAndClosesWhenPlaybackEnds) {
    AviInfo avi;
    ASSERT_TRUE(ReadAviInfo(JoinPath(DiscSourceDir(), "logo.avi"), &avi))
        << "the disc has no readable logo.avi";
    StartLauncher();
    HWND video = WaitForVideoWindow(*session_, 20000);
    ASSERT_NE(video, nullptr) << "no captionless video window appeared";
    DWORD shown = GetTickCount();

    EXPECT_EQ(VisibleWindowsOf(session_->ProcessId()).size(), 1u)
        << "the video window must be the only window shown while it plays; shown:"
        << DescribeWindows(session_->ProcessId());
    RECT client{};
    GetClientRect(video, &client);
    EXPECT_EQ(client.right, avi.width) << "client width differs from the video's";
    EXPECT_EQ(client.bottom, avi.height) << "client height differs from the video's";
    ExpectCentred(video, "the video window");

    DWORD limitMs = static_cast<DWORD>(avi.seconds * 1000) + 3000;
    ASSERT_TRUE(WaitUntil([&] { return Gone(video); }, limitMs))
        << "the video window stayed after the video's length of " << avi.seconds << " s";
    double seconds = (GetTickCount() - shown) / 1000.0;
    std::printf("video window shown for %.2f s; the video lasts %.2f s\n", seconds, avi.seconds);
    // The window closes at the first half-second poll after playback stops; Wine's start-up of
    // playback and its timers get a little slack on both sides.
    EXPECT_GE(seconds, avi.seconds - 0.5) << "the video window closed before the video ended";
    EXPECT_LE(seconds, avi.seconds + 0.5 + 0.4)
        << "the video window closed too long after the video ended";

    HWND launcher = WaitForLauncherWindow(*session_, 5000);
    EXPECT_NE(launcher, nullptr) << "the launcher window did not follow the video";
}

TEST_F(VideoWindowTest, EscapeClosesItAtOnceAndTheLauncherFollows) {
    StartLauncher();
    HWND video = WaitForVideoWindow(*session_, 20000);
    ASSERT_NE(video, nullptr) << "no captionless video window appeared";
    Sleep(300);
    DWORD pressed = GetTickCount();
    PressKey(video, VK_ESCAPE);
    ASSERT_TRUE(WaitUntil([&] { return Gone(video); }, 3000)) << "Escape did not close the video";
    EXPECT_LT(GetTickCount() - pressed, 1000u) << "Escape took too long to close the video";
    EXPECT_NE(WaitForLauncherWindow(*session_, 5000), nullptr)
        << "the launcher window did not follow the video";
}

TEST_F(VideoWindowTest, MissingVideoLeavesTheSystemErrorBoxThenTheLauncher) {
    StartLauncher(/*withVideo=*/false);
    // The video window's own error report: a captioned window of the process other than the
    // launcher.
    HWND box = WaitForWindow(
        session_->ProcessId(),
        [](HWND window) { return HasCaption(window) && WindowText(window) != "Velmora"; }, 20000);
    ASSERT_NE(box, nullptr) << "no error box reported the missing video; shown:"
                            << DescribeWindows(session_->ProcessId());
    EXPECT_EQ(WaitForLauncherWindow(*session_, 300), nullptr)
        << "the launcher was shown before the error box was dismissed";
    PressKey(box, VK_RETURN);
    if (!WaitUntil([&] { return Gone(box); }, 2000)) PostMessageA(box, WM_CLOSE, 0, 0);
    HWND launcher = WaitForLauncherWindow(*session_, 5000);
    ASSERT_NE(launcher, nullptr) << "the launcher window did not appear after the error box; shown:"
                                 << DescribeWindows(session_->ProcessId());
    EXPECT_TRUE(ButtonEnabled(launcher, kExitId));
}

}  // namespace
}  // namespace e2e
