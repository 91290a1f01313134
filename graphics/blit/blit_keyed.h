#pragma once

#include <cstdint>

#include "graphics/core/blit_flags.h"
#include "graphics/core/pixel_traits.h"
#include "graphics/blit/unscaled_walk.h"

namespace gfx {

// Writes the source pixel s over the destination pixel d at every blit position that `admit`
// lets through, unless BLIT_SRCKEY is set and s equals the source key, or BLIT_DESTKEY is set
// and d differs from the destination key. The keyed and constant-stipple routines are this walk.
template <class P, class Admit>
void KeyedRows(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy, int32_t width,
               int32_t height, const uint8_t* src, int32_t srcPitch, int32_t sx, int32_t sy,
               uint32_t flags, uint32_t srcKey, uint32_t dstKey, Admit admit) {
    const UnscaledWalk walk{
        height, width, sy, sx, (flags & BLIT_MIRROR_X) != 0, (flags & BLIT_MIRROR_Y) != 0};
    const bool useSrcKey = (flags & BLIT_SRCKEY) != 0;
    const bool useDstKey = (flags & BLIT_DESTKEY) != 0;
    for (int32_t i = 0; i < height; ++i) {
        uint8_t* d = PixelAt<P>(dst, dstPitch, dx, dy + i);
        const int32_t row = walk.SourceRow(i);
        for (int32_t j = 0; j < width; ++j, d += P::kBytes) {
            if (!admit(i, j)) continue;
            const typename P::Value s =
                P::Load(PixelAt<P>(src, srcPitch, walk.SourceColumn(j), row));
            if (useSrcKey && P::Equals(s, srcKey)) continue;
            if (useDstKey && !P::Equals(P::Load(d), dstKey)) continue;
            P::Store(d, s);
        }
    }
}

template <class P>
int32_t KeyedScalar(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy, int32_t width,
                    int32_t height, const uint8_t* src, int32_t srcPitch, int32_t sx, int32_t sy,
                    uint32_t flags, uint32_t srcKey, uint32_t dstKey) {
    KeyedRows<P>(dst, dstPitch, dx, dy, width, height, src, srcPitch, sx, sy, flags, srcKey, dstKey,
                 [](int32_t, int32_t) { return true; });
    return 0;
}

}  // namespace gfx
