#include "launcher/core/button_picture.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

namespace {

constexpr LoadedPictures kAll{true, true, true, true};

ButtonState State(bool enabled, bool pressed, bool toggledOn, bool toggleMode, bool focused) {
    return ButtonState{enabled, pressed, toggledOn, toggleMode, focused};
}

TEST(ButtonPicture, StatesPickTheirPictureInPriorityOrder) {
    // Every combination of the five state bits, with all four pictures loaded.
    for (int bits = 0; bits < 32; ++bits) {
        const ButtonState state =
            State(bits & 1, (bits & 2) != 0, (bits & 4) != 0, (bits & 8) != 0, (bits & 16) != 0);
        ButtonPicture expected = ButtonPicture::Up;
        if (!state.enabled) {
            expected = ButtonPicture::Disabled;
        } else if (state.pressed || (state.toggleMode && state.toggledOn)) {
            expected = ButtonPicture::Down;
        } else if (state.focused) {
            expected = ButtonPicture::Focus;
        }
        EXPECT_EQ(ChooseButtonPicture(state, kAll), expected) << "state bits " << bits;
    }
}

TEST(ButtonPicture, MissingPicturesFallBackToTheNextRule) {
    const ButtonState disabledPressedFocused = State(false, true, false, false, true);
    EXPECT_EQ(ChooseButtonPicture(disabledPressedFocused, {true, true, true, false}),
              ButtonPicture::Down);
    EXPECT_EQ(ChooseButtonPicture(disabledPressedFocused, {true, false, true, false}),
              ButtonPicture::Focus);
    EXPECT_EQ(ChooseButtonPicture(disabledPressedFocused, {true, false, false, false}),
              ButtonPicture::Up);
    EXPECT_EQ(
        ChooseButtonPicture(State(true, false, false, false, true), {true, true, false, true}),
        ButtonPicture::Up)
        << "a set without the focus picture shows up while focused";
}

TEST(ButtonPicture, NothingIsDrawnWithoutAnUpPicture) {
    for (const ButtonState& state :
         {State(true, false, false, false, false), State(false, false, false, false, false),
          State(true, true, false, false, true)}) {
        EXPECT_EQ(ChooseButtonPicture(state, {false, true, true, true}), ButtonPicture::None);
    }
}

TEST(ButtonPicture, ResourceNamesAppendTheStateLetters) {
    EXPECT_EQ(PictureResourceNames("INSTALL"),
              (std::array<std::string, 4>{"INSTALLU", "INSTALLD", "INSTALLF", "INSTALLX"}));
}

TEST(ButtonPicture, FilePathsGetExactlyOneSeparator) {
    EXPECT_EQ(PictureFilePaths("C:\\art", "RUN", false),
              (std::array<std::string, 4>{"C:\\art\\RUNU.bmp", "C:\\art\\RUND.bmp",
                                          "C:\\art\\RUNF.bmp", "C:\\art\\RUNX.bmp"}));
    EXPECT_EQ(PictureFilePaths("C:\\art\\", "RUN", true)[0], "C:\\art\\RUNU.BMP");
    EXPECT_EQ(PictureFilePaths("", "EXIT", false)[3], "\\EXITX.bmp")
        << "an empty folder still gets the separator";
    EXPECT_EQ(PictureFilePaths("art/", "EXIT", false)[0], "art/\\EXITU.bmp")
        << "only a backslash counts as the separator";
}

}  // namespace
