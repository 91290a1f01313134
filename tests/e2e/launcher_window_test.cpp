// The launcher window's frame, layout and painted picture.
#include <gtest/gtest.h>

#include <algorithm>
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

struct ButtonPlace {
    int id;
    const char* name;
    RECT rect;  // client coordinates
};

constexpr ButtonPlace kButtons[] = {
    {kInstallId, "INSTALL", {37, 32, 37 + 153, 32 + 48}},
    {kRunId, "RUN", {38, 95, 38 + 133, 95 + 46}},
    {kExitId, "EXIT", {387, 356, 387 + 101, 356 + 47}},
};

bool InAnyButton(int x, int y, int margin) {
    for (const ButtonPlace& button : kButtons) {
        if (x >= button.rect.left - margin && x < button.rect.right + margin &&
            y >= button.rect.top - margin && y < button.rect.bottom + margin) {
            return true;
        }
    }
    return false;
}

using LauncherWindowTest = LauncherTest;

TEST_F(LauncherWindowTest, HasItsCaptionSizeCentredPlaceAndButtonLayout) {
    StartLauncher();
    HWND launcher = PassVideo();
    ASSERT_NE(launcher, nullptr) << "no launcher window captioned \"Velmora\" appeared";
    EXPECT_EQ(VisibleWindowsOf(session_->ProcessId()).size(), 1u)
        << "the video window is still shown beside the launcher";

    RECT client{};
    GetClientRect(launcher, &client);
    EXPECT_EQ(client.right, 500) << "client width";
    EXPECT_EQ(client.bottom, 420) << "client height";

    RECT area{}, rect{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    GetWindowRect(launcher, &rect);
    EXPECT_NEAR(rect.left + rect.right, area.left + area.right, 2)
        << "not centred horizontally: " << DescribeRect(rect);
    EXPECT_NEAR(rect.top + rect.bottom, area.top + area.bottom, 2)
        << "not centred vertically: " << DescribeRect(rect);

    for (const ButtonPlace& button : kButtons) {
        HWND control = GetDlgItem(launcher, button.id);
        ASSERT_NE(control, nullptr) << button.name << " button (id " << button.id << ") missing";
        EXPECT_TRUE(IsWindowVisible(control)) << button.name << " is hidden";
        RECT placed = RectInParentClient(control);
        EXPECT_TRUE(EqualRect(&placed, &button.rect))
            << button.name << " is at " << DescribeRect(placed) << ", expected "
            << DescribeRect(button.rect);
    }
}

TEST_F(LauncherWindowTest, ShowsTheResourceBitmapWithButtonsDrawnOverIt) {
    ResourceBitmap picture;
    std::string error;
    ASSERT_TRUE(picture.Load(LauncherSourcePath(), "BACKGROUND", &error)) << error;
    ASSERT_EQ(picture.Width(), 500);
    ASSERT_EQ(picture.Height(), 420);
    StartLauncher();
    HWND launcher = PassVideo();
    ASSERT_NE(launcher, nullptr) << "no launcher window appeared";

    // Painting arrives shortly after the window is shown: poll until the picture is there.
    std::string firstMismatch;
    int mismatches = 0, samples = 0, buttonPixelsChanged = 0, buttonPixels = 0;
    bool painted = WaitUntil(
        [&] {
            RECT area = ClientRectOnScreen(launcher);
            ScreenShot shot(area);
            mismatches = samples = buttonPixelsChanged = buttonPixels = 0;
            firstMismatch.clear();
            for (int y = 1; y < 420; y += 7) {
                for (int x = 2; x < 500; x += 9) {
                    Rgb expected = picture.At(x, y);
                    Rgb seen = shot.At(area.left + x, area.top + y);
                    if (InAnyButton(x, y, 0)) {
                        ++buttonPixels;
                        if (ColourDistance(seen, expected) > 8) ++buttonPixelsChanged;
                        continue;
                    }
                    if (InAnyButton(x, y, 2)) continue;
                    ++samples;
                    if (ColourDistance(seen, expected) > 8) {
                        if (mismatches++ == 0) {
                            firstMismatch =
                                "at client (" + std::to_string(x) + "," + std::to_string(y) +
                                ") saw " + std::to_string(seen.r) + "," + std::to_string(seen.g) +
                                "," + std::to_string(seen.b) + ", expected " +
                                std::to_string(expected.r) + "," + std::to_string(expected.g) +
                                "," + std::to_string(expected.b);
                        }
                    }
                }
            }
            return mismatches == 0 && buttonPixelsChanged * 5 > buttonPixels;
        },
        5000);
    EXPECT_EQ(mismatches, 0) << mismatches << " of " << samples
                             << " background samples differ from the BACKGROUND bitmap, first "
                             << firstMismatch;
    EXPECT_GT(buttonPixelsChanged * 5, buttonPixels)
        << "the button areas look like the bare background: only " << buttonPixelsChanged << " of "
        << buttonPixels << " samples differ";
    EXPECT_TRUE(painted);
}

class ButtonPictureTest : public LauncherTest, public testing::WithParamInterface<bool> {};

TEST_P(ButtonPictureTest, EachButtonShowsThePictureOfItsState) {
    const bool installed = GetParam();
    session_ = std::make_unique<LauncherSession>();
    std::string error;
    ASSERT_TRUE(session_->PrepareDisc(true, &error)) << error;
    if (installed) {
        ASSERT_TRUE(exePath_.Set(session_->MakeProductFolder("Velmora") + "\\"));
    }
    ASSERT_TRUE(session_->Start(&error)) << error;
    HWND launcher = PassVideo();
    ASSERT_NE(launcher, nullptr) << "no launcher window appeared";
    SetCursorPos(0, 0);  // away from the buttons, so that none shows its hover picture

    for (const ButtonPlace& button : kButtons) {
        bool enabled = ButtonEnabled(launcher, button.id);
        std::string base = button.name;
        // An enabled button is up, or shows its focus picture while it has the keyboard focus.
        std::vector<std::string> names = enabled ? std::vector<std::string>{base + "U", base + "F"}
                                                 : std::vector<std::string>{base + "X"};
        std::vector<ResourceBitmap> pictures(names.size());
        for (size_t i = 0; i < names.size(); ++i) {
            ASSERT_TRUE(pictures[i].Load(LauncherSourcePath(), names[i].c_str(), &error)) << error;
        }
        double best = 0;
        WaitUntil(
            [&] {
                RECT onScreen{};
                GetWindowRect(GetDlgItem(launcher, button.id), &onScreen);
                ScreenShot shot(onScreen);
                best = 0;
                for (const ResourceBitmap& picture : pictures) {
                    best = std::max(best, PictureShare(shot, onScreen, picture));
                }
                return best >= 0.97;
            },
            3000);
        EXPECT_GE(best, 0.97) << button.name << (enabled ? " (enabled)" : " (disabled)")
                              << " matches its picture " << names[0]
                              << (names.size() > 1 ? " or " + names[1] : std::string())
                              << " in only " << best * 100 << "% of samples";
    }
}

TEST_F(LauncherWindowTest, PointerOverAButtonShowsItsFocusPictureUntilItLeaves) {
    ResourceBitmap up, focus;
    std::string error;
    ASSERT_TRUE(up.Load(LauncherSourcePath(), "EXITU", &error)) << error;
    ASSERT_TRUE(focus.Load(LauncherSourcePath(), "EXITF", &error)) << error;
    StartLauncher();
    HWND launcher = PassVideo();
    ASSERT_NE(launcher, nullptr) << "no launcher window appeared";
    HWND exitButton = GetDlgItem(launcher, kExitId);
    RECT onScreen{};
    GetWindowRect(exitButton, &onScreen);
    auto shows = [&](const ResourceBitmap& picture) {
        return PictureShare(ScreenShot(onScreen), onScreen, picture) >= 0.97;
    };

    MoveMouseTo((onScreen.left + onScreen.right) / 2, (onScreen.top + onScreen.bottom) / 2);
    EXPECT_TRUE(WaitUntil([&] { return shows(focus); }, 2000))
        << "EXIT does not show its focus picture under the pointer";
    MoveMouseTo(2, 2);
    EXPECT_TRUE(WaitUntil([&] { return shows(up); }, 2000))
        << "EXIT does not return to its up picture when the pointer has left";
}

INSTANTIATE_TEST_SUITE_P(Product, ButtonPictureTest, testing::Values(false, true),
                         [](const testing::TestParamInfo<bool>& info) {
                             return info.param ? std::string("Installed")
                                               : std::string("NotInstalled");
                         });

}  // namespace
}  // namespace e2e
