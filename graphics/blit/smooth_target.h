#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "graphics/core/blit_flags.h"

namespace gfx {

// What the filtered scaling routines share: the source rectangle, always read forward from its
// top-left corner, and the destination rectangle, which mirroring fills from its far end.
struct SmoothScaleCall {
    uint8_t* dst;
    int32_t dstPitch;
    int32_t dx, dy, width, height;
    const uint8_t* src;
    int32_t srcPitch;
    int32_t sx, sy;
    // At least 1: a source side that clipping left without a whole pixel is read as its first
    // pixel.
    int32_t sw, sh;
    bool mirrorX, mirrorY;

    SmoothScaleCall(uint8_t* dst_, int32_t dstPitch_, int32_t dx_, int32_t dy_, int32_t width_,
                    int32_t height_, const uint8_t* src_, int32_t srcPitch_, int32_t sx_,
                    int32_t sy_, int32_t sw_, int32_t sh_, uint32_t flags)
        : dst(dst_),
          dstPitch(dstPitch_),
          dx(dx_),
          dy(dy_),
          width(width_),
          height(height_),
          src(src_),
          srcPitch(srcPitch_),
          sx(sx_),
          sy(sy_),
          sw(std::max(sw_, 1)),
          sh(std::max(sh_, 1)),
          mirrorX((flags & BLIT_MIRROR_X) != 0),
          mirrorY((flags & BLIT_MIRROR_Y) != 0) {}

    // Source row r of the rectangle (0 = its top row), at its first pixel.
    const uint8_t* SourceRow(int32_t r, int bytes) const {
        return src + static_cast<ptrdiff_t>(sy + r) * srcPitch + static_cast<ptrdiff_t>(sx) * bytes;
    }
    // The destination row that shows filtered row i, at the rectangle's first column.
    uint8_t* DestinationRow(int32_t i, int bytes) const {
        const int32_t row = mirrorY ? dy + height - 1 - i : dy + i;
        return dst + static_cast<ptrdiff_t>(row) * dstPitch + static_cast<ptrdiff_t>(dx) * bytes;
    }
    // The destination column (from the rectangle's first) that shows filtered column j.
    int32_t DestinationColumn(int32_t j) const { return mirrorX ? width - 1 - j : j; }
};

// The scale ratios source / destination, as single-precision quotients.
struct SmoothRatios {
    float x, y;
    explicit SmoothRatios(const SmoothScaleCall& c)
        : x(static_cast<float>(static_cast<uint32_t>(c.sw)) /
            static_cast<float>(static_cast<uint32_t>(c.width))),
          y(static_cast<float>(static_cast<uint32_t>(c.sh)) /
            static_cast<float>(static_cast<uint32_t>(c.height))) {}

    // Enlarged in at least one direction: interpolate. Reduced in both: average the covered
    // area, in floating point once the area is so large that 32-bit fixed-point sums could wrap.
    bool Interpolates() const { return x <= 1.0f || y <= 1.0f; }
    bool AveragesInFloat() const { return x * y >= 64.0f; }
};

}  // namespace gfx
