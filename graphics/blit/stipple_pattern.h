#pragma once

#include <cstdint>

#include "graphics/core/stipple_thresholds.h"

namespace gfx {

// The constant-stipple pattern of one blit, anchored at the destination (dx, dy): blit pixel
// (i, j) is admitted when (level >> 2) >= StippleThresholds[(dy + i) & 7][(dx + j) & 7]. Levels
// 0-3 admit nothing, 256 everything; adjacent blits continue the same dither.
struct StipplePattern {
    bool admit[8][8];

    StipplePattern(int32_t dx, int32_t dy, uint32_t level) {
        const uint32_t density = level >> 2;
        for (int32_t r = 0; r < 8; ++r) {
            for (int32_t c = 0; c < 8; ++c) {
                admit[r][c] = density >= StippleThresholds[(dy + r) & 7][(dx + c) & 7];
            }
        }
    }
    bool Admits(int32_t i, int32_t j) const { return admit[i & 7][j & 7]; }
};

}  // namespace gfx
