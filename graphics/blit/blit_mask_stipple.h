#pragma once

#include <cstdint>

#include "graphics/core/blit_flags.h"
#include "graphics/core/pixel_traits.h"
#include "graphics/core/stipple_thresholds.h"
#include "graphics/blit/unscaled_walk.h"

namespace gfx {

// Whether a mask byte admits the blit pixel whose dither threshold (anchored at the
// destination) is `threshold`: bytes 0-3 admit nothing, 252-255 everything.
inline bool MaskStippleAdmits(uint8_t m, uint8_t threshold) {
    return m > 3 && (m >> 2) + 1 >= threshold;
}

// Ordered-dither translucency weighted per pixel by an 8-bit mask aligned with the source: the
// mask byte of blit pixel (i, j) sits at the same (mirrored) row and column as its source pixel.
// No colour keys.
template <class P>
int32_t MaskStippleScalar(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy, int32_t width,
                          int32_t height, const uint8_t* src, int32_t srcPitch, int32_t sx,
                          int32_t sy, const uint8_t* mask, int32_t maskPitch, uint32_t flags) {
    const UnscaledWalk walk{
        height, width, sy, sx, (flags & BLIT_MIRROR_X) != 0, (flags & BLIT_MIRROR_Y) != 0};
    for (int32_t i = 0; i < height; ++i) {
        uint8_t* d = PixelAt<P>(dst, dstPitch, dx, dy + i);
        const int32_t row = walk.SourceRow(i);
        const uint8_t* thresholds = StippleThresholds[(dy + i) & 7];
        for (int32_t j = 0; j < width; ++j, d += P::kBytes) {
            const int32_t column = walk.SourceColumn(j);
            const uint8_t m = *PixelAt<Pixel8>(mask, maskPitch, column, row);
            if (!MaskStippleAdmits(m, thresholds[(dx + j) & 7])) continue;
            P::Store(d, P::Load(PixelAt<P>(src, srcPitch, column, row)));
        }
    }
    return 0;
}

}  // namespace gfx
