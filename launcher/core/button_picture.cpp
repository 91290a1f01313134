#include "launcher/core/button_picture.h"

namespace {

constexpr const char* kStateSuffixes[] = {"U", "D", "F", "X"};

}  // namespace

ButtonPicture ChooseButtonPicture(const ButtonState& state, const LoadedPictures& loaded) {
    if (!loaded.up) return ButtonPicture::None;
    if (!state.enabled && loaded.disabled) return ButtonPicture::Disabled;
    const bool down = state.pressed || (state.toggleMode && state.toggledOn);
    if (down && loaded.down) return ButtonPicture::Down;
    if (state.focused && loaded.focus) return ButtonPicture::Focus;
    return ButtonPicture::Up;
}

std::array<std::string, 4> PictureResourceNames(const std::string& baseName) {
    std::array<std::string, 4> names;
    for (size_t i = 0; i < names.size(); ++i) names[i] = baseName + kStateSuffixes[i];
    return names;
}

std::array<std::string, 4> PictureFilePaths(const std::string& folder, const std::string& baseName,
                                            bool upperCaseExtension) {
    std::string base = folder;
    if (base.empty() || base.back() != '\\') base += '\\';
    base += baseName;
    const char* extension = upperCaseExtension ? ".BMP" : ".bmp";
    std::array<std::string, 4> paths;
    for (size_t i = 0; i < paths.size(); ++i) paths[i] = base + kStateSuffixes[i] + extension;
    return paths;
}
