#pragma once

#include <cstdint>

#include "graphics/core/pixel_traits.h"

namespace gfx {

// Plain unscaled copy: each row's pixels are moved unchanged, left to right, rows top to bottom
// (the order also fixes the result when source and destination overlap in one surface).
template <class P>
int32_t CopyRowsScalar(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy, int32_t width,
                       int32_t height, const uint8_t* src, int32_t srcPitch, int32_t sx,
                       int32_t sy) {
    const ptrdiff_t rowBytes = static_cast<ptrdiff_t>(width) * P::kBytes;
    for (int32_t i = 0; i < height; ++i) {
        uint8_t* d = PixelAt<P>(dst, dstPitch, dx, dy + i);
        const uint8_t* s = PixelAt<P>(src, srcPitch, sx, sy + i);
        for (ptrdiff_t k = 0; k < rowBytes; ++k) d[k] = s[k];
    }
    return 0;
}

}  // namespace gfx
