// The launcher's picture buttons under the pointer and the keyboard: the picture of each state,
// clicks by mouse and Space, and the button's own cursor.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "tests/e2e/e2e_config.h"
#include "tests/e2e/launcher_test.h"
#include "tests/e2e/resource_bitmap.h"
#include "tests/e2e/screen_shot.h"
#include "tests/e2e/top_windows.h"
#include "tests/e2e/user_input.h"

namespace e2e {
namespace {

constexpr DWORD kPictureTimeoutMs = 3000;
constexpr DWORD kEndTimeoutMs = 5000;
constexpr DWORD kStartTimeoutMs = 10000;

// The four pictures of one button, in the order up, down, focus, disabled.
struct ButtonPictures {
    static constexpr const char* kSuffixes[4] = {"U", "D", "F", "X"};
    ResourceBitmap pictures[4];
    std::string names[4];

    bool Load(const std::string& base, std::string* error) {
        for (int i = 0; i < 4; ++i) {
            names[i] = base + kSuffixes[i];
            if (!pictures[i].Load(LauncherSourcePath(), names[i].c_str(), error)) return false;
        }
        return true;
    }
};

enum State { kUp, kDown, kFocus, kDisabled };

POINT Centre(const RECT& rect) {
    return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

class ImageButtonTest : public LauncherTest {
  protected:
    // Starts the launcher (not installed: INSTALL and EXIT enabled, RUN disabled) with the
    // pointer away from it.
    void Open() {
        MoveMouseTo(2, 2);
        StartLauncher();
        launcher_ = PassVideo();
        ASSERT_NE(launcher_, nullptr) << "no launcher window appeared";
        SetForegroundWindow(launcher_);
        WaitUntil([&] { return GetForegroundWindow() == launcher_; }, 1000);
    }

    RECT ButtonOnScreen(int id) const {
        RECT rect{};
        GetWindowRect(GetDlgItem(launcher_, id), &rect);
        return rect;
    }

    // Waits until the button shows the picture of `state` and no other picture fits better.
    bool WaitForPicture(int id, const ButtonPictures& set, State state, std::string* seen) {
        const RECT onScreen = ButtonOnScreen(id);
        return WaitUntil(
            [&] {
                ScreenShot shot(onScreen);
                double shares[4];
                int best = 0;
                for (int i = 0; i < 4; ++i) {
                    shares[i] = PictureShare(shot, onScreen, set.pictures[i]);
                    if (shares[i] > shares[best]) best = i;
                }
                *seen = "best match " + set.names[best] + " (" +
                        std::to_string(static_cast<int>(shares[best] * 100)) + "%), " +
                        set.names[state] + " " +
                        std::to_string(static_cast<int>(shares[state] * 100)) + "%";
                return best == state && shares[state] >= 0.97;
            },
            kPictureTimeoutMs);
    }

    HWND launcher_ = nullptr;
};

TEST_F(ImageButtonTest, PressedButtonStaysDownOffItselfAndClicksOnRelease) {
    ButtonPictures exit;
    std::string error, seen;
    ASSERT_TRUE(exit.Load("EXIT", &error)) << error;
    Open();
    const POINT centre = Centre(ButtonOnScreen(kExitId));
    const RECT client = ClientRectOnScreen(launcher_);
    const POINT background{client.left + 250, client.top + 250};  // on no button

    MoveMouseTo(centre.x, centre.y);
    EXPECT_TRUE(WaitForPicture(kExitId, exit, kFocus, &seen)) << "hover: " << seen;
    SendMouse(MOUSEEVENTF_LEFTDOWN);
    EXPECT_TRUE(WaitForPicture(kExitId, exit, kDown, &seen)) << "pressed: " << seen;
    MoveMouseTo(background.x, background.y);
    Sleep(400);  // several watch intervals
    EXPECT_TRUE(WaitForPicture(kExitId, exit, kDown, &seen)) << "pressed, pointer off: " << seen;
    EXPECT_TRUE(session_->IsRunning()) << "no click before the release";

    SendMouse(MOUSEEVENTF_LEFTUP);
    EXPECT_TRUE(session_->WaitForExit(kEndTimeoutMs)) << "releasing off the button did not click";
    EXPECT_TRUE(session_->ReadLog().empty()) << "EXIT started a program";
}

// The dialog gives INSTALL the focus before and after its buttons are taken over; with the
// pointer elsewhere the watch takes it away again, so no button looks hovered at the start.
TEST_F(ImageButtonTest, FocusGivenAtTheStartLeavesWhileThePointerIsElsewhere) {
    ButtonPictures install;
    std::string error, seen;
    ASSERT_TRUE(install.Load("INSTALL", &error)) << error;
    Open();
    EXPECT_TRUE(WaitForPicture(kInstallId, install, kUp, &seen)) << "at the start: " << seen;
}

TEST_F(ImageButtonTest, SpaceShowsDownAndClicksWhenReleased) {
    ButtonPictures install;
    std::string error, seen;
    ASSERT_TRUE(install.Load("INSTALL", &error)) << error;
    Open();
    ASSERT_TRUE(ButtonEnabled(launcher_, kInstallId));
    const POINT centre = Centre(ButtonOnScreen(kInstallId));
    MoveMouseTo(centre.x, centre.y);
    ASSERT_TRUE(WaitForPicture(kInstallId, install, kFocus, &seen)) << "hover: " << seen;

    SendKey('A', 0);
    SendKey('A', KEYEVENTF_KEYUP);
    SendKey(VK_SPACE, 0);
    EXPECT_TRUE(WaitForPicture(kInstallId, install, kDown, &seen)) << "Space held: " << seen;
    EXPECT_TRUE(session_->IsRunning()) << "a key other than Space clicked, or Space clicked early";
    SendKey(VK_SPACE, KEYEVENTF_KEYUP);

    EXPECT_TRUE(session_->WaitForExit(kEndTimeoutMs)) << "Space did not click INSTALL";
    std::vector<StartedProgram> log = session_->WaitForLog(1, kStartTimeoutMs);
    ASSERT_EQ(log.size(), 1u) << "expected the installer to start once";
    EXPECT_NE(log[0].commandLine.find("setup"), std::string::npos) << log[0].commandLine;
}

HCURSOR CursorAt(POINT point) {
    MoveMouseTo(point.x, point.y);
    Sleep(300);
    CURSORINFO info{};
    info.cbSize = sizeof(info);
    return GetCursorInfo(&info) ? info.hCursor : nullptr;
}

// The launcher's cursor cannot be read from another process, so the test compares handles: the
// enabled buttons share one cursor of their own, which is not the window's cursor.
TEST_F(ImageButtonTest, PointerOverAButtonShowsTheButtonsCursor) {
    Open();
    const RECT client = ClientRectOnScreen(launcher_);
    const HCURSOR overBackground = CursorAt({client.left + 250, client.top + 250});
    const HCURSOR overInstall = CursorAt(Centre(ButtonOnScreen(kInstallId)));
    const HCURSOR overExit = CursorAt(Centre(ButtonOnScreen(kExitId)));
    const HCURSOR backAgain = CursorAt({client.left + 250, client.top + 250});
    ASSERT_NE(overBackground, nullptr);
    EXPECT_NE(overInstall, overBackground) << "INSTALL shows the window's cursor";
    EXPECT_EQ(overExit, overInstall) << "the buttons show different cursors";
    EXPECT_EQ(backAgain, overBackground) << "the button's cursor stays after the pointer left";
}

}  // namespace
}  // namespace e2e
