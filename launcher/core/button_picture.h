#pragma once

#include <array>
#include <string>

// What a picture button shows, decided without a window: which of its pictures fits its state,
// and where the pictures come from.

// The four pictures of a button, in loading order.
enum class ButtonPicture { Up, Down, Focus, Disabled, None };

// Mode flags of a picture button; other bits are ignored.
inline constexpr unsigned IBS_TOGGLE = 1;      // each click flips the latched state
inline constexpr unsigned IBS_HOVERFOCUS = 2;  // the mouse moving over the button gives it focus
inline constexpr unsigned IBS_HOVERWATCH = 4;  // a timer takes the focus away once the mouse left

struct ButtonState {
    bool enabled = true;  // the button and every ancestor up to its top-level window
    bool pressed = false;
    bool toggledOn = false;
    bool toggleMode = false;
    bool focused = false;
};

struct LoadedPictures {
    bool up = false;
    bool down = false;
    bool focus = false;
    bool disabled = false;
};

// The picture to draw: disabled, down (pressed, or latched in toggle mode), focus, else up, each
// only when it is loaded; None when there is no up picture, whatever the state.
ButtonPicture ChooseButtonPicture(const ButtonState& state, const LoadedPictures& loaded);

// Resource names of the four pictures: the base name followed by "U", "D", "F" and "X".
std::array<std::string, 4> PictureResourceNames(const std::string& baseName);

// File paths of the four pictures in `folder`: a backslash is added to the folder unless it
// already ends with one, then the base name and "U.bmp", "D.bmp", "F.bmp", "X.bmp" (the
// extension in upper case when asked).
std::array<std::string, 4> PictureFilePaths(const std::string& folder, const std::string& baseName,
                                            bool upperCaseExtension);
