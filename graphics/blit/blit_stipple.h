#pragma once

#include <cstdint>

#include "graphics/blit/blit_keyed.h"
#include "graphics/blit/stipple_pattern.h"

namespace gfx {

// The keyed walk restricted to the pixels the pattern admits.
template <class P>
int32_t StippleScalar(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy, int32_t width,
                      int32_t height, const uint8_t* src, int32_t srcPitch, int32_t sx, int32_t sy,
                      uint32_t flags, uint32_t srcKey, uint32_t dstKey, uint32_t level) {
    const StipplePattern pattern(dx, dy, level);
    KeyedRows<P>(dst, dstPitch, dx, dy, width, height, src, srcPitch, sx, sy, flags, srcKey, dstKey,
                 [&pattern](int32_t i, int32_t j) { return pattern.Admits(i, j); });
    return 0;
}

}  // namespace gfx
