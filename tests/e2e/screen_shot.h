// A copy of part of the screen, read back as 8-bit RGB whatever the display's depth.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

namespace e2e {

struct Rgb {
    uint8_t r = 0, g = 0, b = 0;
    bool operator==(const Rgb&) const = default;
};

// Largest per-channel difference.
int ColourDistance(const Rgb& a, const Rgb& b);

class ScreenShot {
  public:
    // Copies `area` (screen coordinates) from the screen.
    explicit ScreenShot(const RECT& area);

    bool Valid() const { return !pixels_.empty(); }
    // Colour at a screen position inside the captured area.
    Rgb At(int screenX, int screenY) const;

  private:
    RECT area_;
    std::vector<uint32_t> pixels_;
};

}  // namespace e2e
