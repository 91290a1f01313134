#pragma once

#include <cstdint>

#include "graphics/blit/mask_byte_blend.h"
#include "graphics/blit/unscaled_walk.h"
#include "graphics/core/channel_product_table.h"
#include "graphics/core/blit_flags.h"
#include "graphics/core/pixel_traits.h"

namespace gfx {

// Full 8-bit mix of the three low bytes of s and d by the mask byte m: each byte becomes
// (s * m + d * (kTotal - m)) >> 8. The 24-bit routine weighs the destination out of 256, the
// 32-bit one out of 255; the top byte of the result is 0.
template <uint32_t kTotal>
inline uint32_t ExactBlend(uint32_t s, uint32_t d, uint8_t m) {
    uint32_t out = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        const uint32_t sb = (s >> shift) & 0xFF;
        const uint32_t db = (d >> shift) & 0xFF;
        out |= ((sb * m + db * (kTotal - m)) >> 8) << shift;
    }
    return out;
}

// How a mask blend of one depth mixes: through the table in channel layout C, and with
// BLIT_EXACT (where kExactTotal is not 0) by full 8-bit weights m and kExactTotal - m.
template <class C, uint32_t kExactTotal>
struct MaskAlphaRule {
    static constexpr bool kHasExact = kExactTotal != 0;
    // Mask bytes 0 and 255 (which leave the destination and copy the source) are dealt with
    // before this.
    static uint32_t Mix(uint32_t s, uint32_t d, uint8_t m, bool exact) {
        if constexpr (kHasExact) {
            if (exact) return ExactBlend<kExactTotal>(s, d, m);
        }
        return BlendByMaskByte<C>(s, d, m);
    }
};

// Premultiplied compositing: the source colour plus the share m / 256 of the destination that
// stays visible, byte by byte modulo 256 in the three low bytes; the destination's top byte is
// kept.
struct PremulRule {
    static uint32_t Mix(uint32_t s, uint32_t d, uint8_t m, bool exact) {
        const int32_t* products = ChannelProductTable.entry[m >> 3];
        uint32_t out = d & 0xFF000000u;
        for (int shift = 0; shift < 24; shift += 8) {
            const uint32_t sb = (s >> shift) & 0xFF;
            const uint32_t db = (d >> shift) & 0xFF;
            const uint32_t kept =
                exact ? (db * m) >> 8 : static_cast<uint32_t>(products[db >> 3]) >> 5;
            out |= ((sb + kept) & 0xFF) << shift;
        }
        return out;
    }
};

// Walks the source, its mask and the destination as the unscaled routines do (the mask byte of
// each pixel at the source pixel's own, possibly mirrored, row and column) and hands each pixel
// with its mask byte to `pixel`, which returns false to leave the destination as it is.
template <class P, class PerPixel>
void MaskedRows(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy, int32_t width,
                int32_t height, const uint8_t* src, int32_t srcPitch, int32_t sx, int32_t sy,
                const uint8_t* mask, int32_t maskPitch, uint32_t flags, PerPixel pixel) {
    const UnscaledWalk walk{
        height, width, sy, sx, (flags & BLIT_MIRROR_X) != 0, (flags & BLIT_MIRROR_Y) != 0};
    const int32_t step = walk.mirrorX ? -1 : 1;
    const int32_t column = walk.SourceColumn(0);
    for (int32_t i = 0; i < height; ++i) {
        const int32_t row = walk.SourceRow(i);
        uint8_t* d = PixelAt<P>(dst, dstPitch, dx, dy + i);
        const uint8_t* s = PixelAt<P>(src, srcPitch, column, row);
        const uint8_t* m = PixelAt<Pixel8>(mask, maskPitch, column, row);
        for (int32_t j = 0; j < width; ++j, d += P::kBytes, s += step * P::kBytes, m += step) {
            uint32_t out = 0;
            if (pixel(P::Load(s), P::Load(d), *m, &out)) {
                P::Store(d, static_cast<typename P::Value>(out));
            }
        }
    }
}

// Per-pixel blend of Blt16MaskAlpha555, Blt16MaskAlpha565, Blt24MaskAlpha and Blt32MaskAlpha:
// mask byte 0 leaves the destination, 255 copies the source pixel whole, and anything between
// mixes by the rule. No colour keys.
template <class P, class Rule>
int32_t MaskAlphaScalar(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy, int32_t width,
                        int32_t height, const uint8_t* src, int32_t srcPitch, int32_t sx,
                        int32_t sy, const uint8_t* mask, int32_t maskPitch, uint32_t flags) {
    const bool exact = (flags & BLIT_EXACT) != 0;
    MaskedRows<P>(dst, dstPitch, dx, dy, width, height, src, srcPitch, sx, sy, mask, maskPitch,
                  flags, [exact](uint32_t s, uint32_t d, uint8_t m, uint32_t* out) {
                      if (m == 0) return false;
                      *out = m == 255 ? s : Rule::Mix(s, d, m, exact);
                      return true;
                  });
    return 0;
}

// Blt32MaskPremul: mask byte 255 (a transparent source) leaves the destination, 0 (an opaque
// one) takes the source's three colour bytes, and anything between composites by PremulRule.
// The destination's top byte is never changed.
inline int32_t PremulScalar(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy, int32_t width,
                            int32_t height, const uint8_t* src, int32_t srcPitch, int32_t sx,
                            int32_t sy, const uint8_t* mask, int32_t maskPitch, uint32_t flags) {
    const bool exact = (flags & BLIT_EXACT) != 0;
    MaskedRows<Pixel32>(dst, dstPitch, dx, dy, width, height, src, srcPitch, sx, sy, mask,
                        maskPitch, flags,
                        [exact](uint32_t s, uint32_t d, uint8_t m, uint32_t* out) {
                            if (m == 255) return false;
                            *out = m == 0 ? (d & 0xFF000000u) | (s & 0x00FFFFFFu)
                                          : PremulRule::Mix(s, d, m, exact);
                            return true;
                        });
    return 0;
}

}  // namespace gfx
