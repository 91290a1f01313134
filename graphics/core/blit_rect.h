#pragma once

#include <cstdint>

namespace gfx {

// A blit rectangle by origin and size, in pixels.
struct BlitRect {
    int32_t x;
    int32_t y;
    int32_t width;
    int32_t height;
};

}  // namespace gfx
