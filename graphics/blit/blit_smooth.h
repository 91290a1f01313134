#pragma once

#include <cstdint>

#include "graphics/blit/bilinear_scale.h"
#include "graphics/blit/box_average.h"
#include "graphics/blit/smooth_target.h"

namespace gfx {

// The filtered scaling routines over 1, 3 or 4 byte channels, each filtered as a plain 8-bit
// number: bilinear interpolation when the picture is enlarged in at least one direction, else a
// box average of each cell. Mirroring fills the destination from its far end.
template <int kBytes>
int32_t ScaledSmoothScalar(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy, int32_t width,
                           int32_t height, const uint8_t* src, int32_t srcPitch, int32_t sx,
                           int32_t sy, int32_t sw, int32_t sh, uint32_t flags) {
    if (width <= 0 || height <= 0) return 0;
    const SmoothScaleCall call(dst, dstPitch, dx, dy, width, height, src, srcPitch, sx, sy, sw, sh,
                               flags);
    const SmoothRatios ratios(call);
    if (ratios.Interpolates()) {
        BilinearScale<kBytes>(call, ratios);
    } else if (ratios.AveragesInFloat()) {
        BoxAverageFloat<kBytes>(call, ratios);
    } else {
        BoxAverageFixed<kBytes>(call, ratios);
    }
    return 0;
}

}  // namespace gfx
