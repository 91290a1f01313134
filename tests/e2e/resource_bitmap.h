// An 8-bit bitmap resource of the launcher (its background or a button picture).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tests/e2e/screen_shot.h"

namespace e2e {

class ResourceBitmap {
  public:
    // Reads the named bitmap resource of the program (loaded as data, never run); keeps a copy of
    // the packed bitmap in `packedDib` when asked.
    bool Load(const std::string& programPath, const char* name, std::string* error,
              std::vector<uint8_t>* packedDib = nullptr);

    int Width() const { return width_; }
    int Height() const { return height_; }
    Rgb At(int x, int y) const;
    const std::vector<Rgb>& Colours() const { return colours_; }

  private:
    int width_ = 0;
    int height_ = 0;
    std::vector<Rgb> colours_;
    std::vector<uint8_t> indices_;  // top-down rows
};

// Share (0 to 1) of samples of the screen area at `onScreen` that show the picture.
double PictureShare(const ScreenShot& shot, const RECT& onScreen, const ResourceBitmap& picture);

}  // namespace e2e
