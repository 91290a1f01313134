#pragma once

// The SSE2 bodies of the mask blends, identical in result to MaskAlphaScalar and PremulScalar: a
// register of pixels at a time, each lane weighted by its own mask byte, blocks whose mask bytes
// all leave the destination skipped; the last pixels of a row that fill no register take the
// scalar rule.
#if defined(__SSE2__)

#include <cstdint>
#include <cstring>

#include "graphics/blit/blend_lanes_sse2.h"
#include "graphics/blit/blit_mask_alpha.h"
#include "graphics/blit/channel_mix_sse2.h"
#include "graphics/blit/sse2_lanes.h"
#include "graphics/blit/unscaled_walk_sse2.h"
#include "graphics/core/blit_flags.h"

namespace gfx {

namespace sse2 {

// The per-pixel mixes, each given the mask byte of every lane's pixel in its 16-bit lanes.
// kSkipped is the mask byte that leaves the destination as it is; a block whose mask bytes are
// all kWhole becomes Whole(s, d), what Mix gives there, without the arithmetic.

// MaskAlphaRule through the table: 0 keeps the destination, 255 takes the source whole.
template <class C>
struct MaskTableMix {
    static constexpr uint8_t kSkipped = 0;
    static constexpr uint8_t kWhole = 255;
    static __m128i Whole(__m128i s, __m128i) { return s; }
    static __m128i Mix(__m128i s, __m128i d, __m128i m) {
        const __m128i ws = _mm_srli_epi16(m, 3);
        const __m128i wd = _mm_sub_epi16(_mm_set1_epi16(31), ws);
        __m128i mixed;
        if constexpr (C::kIsWords) {
            mixed = MixWords<typename C::Channels>::Mix(s, d, ws, wd);
        } else {
            mixed = _mm_and_si128(MixBytesByTable(s, d, ws, wd), _mm_set1_epi32(0x00FFFFFF));
        }
        return Ends(s, d, m, mixed);
    }
    static __m128i Ends(__m128i s, __m128i d, __m128i m, __m128i mixed) {
        const __m128i whole = _mm_cmpeq_epi16(m, _mm_set1_epi16(255));
        const __m128i none = _mm_cmpeq_epi16(m, _mm_setzero_si128());
        return Select(whole, s, Select(none, d, mixed));
    }
};

// The layouts a table mix is told of.
template <class C, bool kWords>
struct MixLayout {
    using Channels = C;
    static constexpr bool kIsWords = kWords;
};

// MaskAlphaRule with BLIT_EXACT: the destination weighs kTotal - m.
template <uint32_t kTotal>
struct MaskExactMix {
    static constexpr uint8_t kSkipped = 0;
    static constexpr uint8_t kWhole = 255;
    static __m128i Whole(__m128i s, __m128i) { return s; }
    static __m128i Mix(__m128i s, __m128i d, __m128i m) {
        const __m128i wd = _mm_sub_epi16(_mm_set1_epi16(static_cast<short>(kTotal)), m);
        const __m128i mixed = _mm_and_si128(MixBytesExact(s, d, m, wd), _mm_set1_epi32(0x00FFFFFF));
        return MaskTableMix<MixLayout<Channels888, false>>::Ends(s, d, m, mixed);
    }
};

// PremulRule: the source plus the destination's visible share, byte by byte modulo 256, the
// destination's top byte kept; 255 leaves the destination (0 needs no case of its own: the
// share is then 0).
template <bool kExact>
struct PremulMix {
    static constexpr uint8_t kSkipped = 255;
    // An opaque source: its colour bytes under the destination's top byte.
    static constexpr uint8_t kWhole = 0;
    static __m128i Whole(__m128i s, __m128i d) { return Select(_mm_set1_epi32(0x00FFFFFF), s, d); }
    static __m128i Mix(__m128i s, __m128i d, __m128i m) {
        const __m128i kept =
            kExact ? ScaleBytesExact(d, m) : ScaleBytesByTable(d, _mm_srli_epi16(m, 3));
        const __m128i colours = _mm_set1_epi32(0x00FFFFFF);
        const __m128i sum = Select(colours, _mm_add_epi8(s, kept), d);
        return Select(_mm_cmpeq_epi16(m, _mm_set1_epi16(255)), d, sum);
    }
};

// Rows of pixels in register form F mixed by M; `scalar` is the routine's scalar body, which
// draws the last pixels of each row.
template <class F, class M, bool kMirrorX>
void MaskBlendRows(const UnscaledRows& a, BlitMaskFn scalar) {
    using P = typename F::Pixel;
    using Bits = typename F::MaskBits;
    constexpr int kLanes = F::kLanes;
    Bits skipped, whole;
    std::memset(&skipped, M::kSkipped, sizeof skipped);
    std::memset(&whole, M::kWhole, sizeof whole);
    const UnscaledWalk walk{a.height, a.width,  a.sy,
                            a.sx,     kMirrorX, (a.flags & BLIT_MIRROR_Y) != 0};
    const int32_t w = a.width;
    for (int32_t i = 0; i < a.height; ++i) {
        const int32_t row = walk.SourceRow(i);
        uint8_t* d = PixelAt<P>(a.dst, a.dstPitch, a.dx, a.dy + i);
        // The row's lowest source column; mirrored rows read it last.
        const uint8_t* s = PixelAt<P>(a.src, a.srcPitch, a.sx, row);
        const uint8_t* m = PixelAt<Pixel8>(a.mask, a.maskPitch, a.sx, row);
        int32_t j = 0;
        for (; j + kLanes <= w; j += kLanes) {
            const int32_t column = kMirrorX ? w - kLanes - j : j;
            const Bits bits = ReadMaskBits<F>(m + column, kMirrorX);
            if (bits == skipped) continue;
            __m128i sv = F::Read(s + column * P::kBytes);
            if constexpr (kMirrorX) sv = F::Reverse(sv);
            uint8_t* out = d + j * P::kBytes;
            const __m128i dv = F::Read(out);
            F::Write(out, bits == whole ? M::Whole(sv, dv) : M::Mix(sv, dv, F::MaskValues(bits)));
        }
        if (j < w) {
            scalar(a.dst, a.dstPitch, a.dx + j, a.dy + i, w - j, 1, a.src, a.srcPitch,
                   kMirrorX ? a.sx : a.sx + j, row, a.mask, a.maskPitch, a.flags & ~BLIT_MIRROR_Y);
        }
    }
}

// The instance of MaskBlendRows for the mirror flag.
template <class F, class M>
void MaskBlendFlags(const UnscaledRows& a, BlitMaskFn scalar) {
    if ((a.flags & BLIT_MIRROR_X) != 0) return MaskBlendRows<F, M, true>(a, scalar);
    return MaskBlendRows<F, M, false>(a, scalar);
}

// Whether the vector walk may run: it reads ahead of the scalar order, so a destination that
// shares memory with the source or the mask is left to the scalar body.
inline bool MaskBlendOverlaps(const UnscaledRows& a, int bytesPerPixel) {
    const ByteRange out(a.dst, a.dstPitch, a.dx, a.dy, a.width, a.height, bytesPerPixel);
    return out.Overlaps(
               ByteRange(a.src, a.srcPitch, a.sx, a.sy, a.width, a.height, bytesPerPixel)) ||
           out.Overlaps(ByteRange(a.mask, a.maskPitch, a.sx, a.sy, a.width, a.height, 1));
}

// What a mask blend rule is made of: its channel layout and its exact blend's total weight.
template <class Rule>
struct MaskRuleParts;
template <class C, uint32_t kTotal>
struct MaskRuleParts<MaskAlphaRule<C, kTotal>> {
    using Channels = C;
    static constexpr uint32_t kExactTotal = kTotal;
};

// The register form of a pixel size.
template <class P>
struct BlendFormOf;
template <>
struct BlendFormOf<Pixel16> {
    using type = WordPixels;
};
template <>
struct BlendFormOf<Pixel24> {
    using type = TripletPixels;
};
template <>
struct BlendFormOf<Pixel32> {
    using type = DwordPixels;
};

}  // namespace sse2

// Blt16MaskAlpha555, Blt16MaskAlpha565, Blt24MaskAlpha and Blt32MaskAlpha.
template <class P, class Rule>
int32_t MaskAlphaSse2(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy, int32_t width,
                      int32_t height, const uint8_t* src, int32_t srcPitch, int32_t sx, int32_t sy,
                      const uint8_t* mask, int32_t maskPitch, uint32_t flags) {
    constexpr BlitMaskFn kScalar = &MaskAlphaScalar<P, Rule>;
    const sse2::UnscaledRows blend{.dst = dst, .dstPitch = dstPitch, .dx = dx, .dy = dy,
                                   .width = width, .height = height, .src = src,
                                   .srcPitch = srcPitch, .sx = sx, .sy = sy, .flags = flags,
                                   .mask = mask, .maskPitch = maskPitch};
    if (sse2::MaskBlendOverlaps(blend, P::kBytes)) {
        return kScalar(dst, dstPitch, dx, dy, width, height, src, srcPitch, sx, sy, mask, maskPitch,
                       flags);
    }
    using F = typename sse2::BlendFormOf<P>::type;
    using Parts = sse2::MaskRuleParts<Rule>;
    using C = typename Parts::Channels;
    if constexpr (P::kBytes == 2) {
        sse2::MaskBlendFlags<F, sse2::MaskTableMix<sse2::MixLayout<C, true>>>(blend, kScalar);
    } else {
        if ((flags & BLIT_EXACT) != 0) {
            sse2::MaskBlendFlags<F, sse2::MaskExactMix<Parts::kExactTotal>>(blend, kScalar);
        } else {
            sse2::MaskBlendFlags<F, sse2::MaskTableMix<sse2::MixLayout<C, false>>>(blend, kScalar);
        }
    }
    return 0;
}

// Blt32MaskPremul.
inline int32_t PremulSse2(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy, int32_t width,
                          int32_t height, const uint8_t* src, int32_t srcPitch, int32_t sx,
                          int32_t sy, const uint8_t* mask, int32_t maskPitch, uint32_t flags) {
    const sse2::UnscaledRows blend{.dst = dst, .dstPitch = dstPitch, .dx = dx, .dy = dy,
                                   .width = width, .height = height, .src = src,
                                   .srcPitch = srcPitch, .sx = sx, .sy = sy, .flags = flags,
                                   .mask = mask, .maskPitch = maskPitch};
    if (sse2::MaskBlendOverlaps(blend, Pixel32::kBytes)) {
        return PremulScalar(dst, dstPitch, dx, dy, width, height, src, srcPitch, sx, sy, mask,
                            maskPitch, flags);
    }
    if ((flags & BLIT_EXACT) != 0) {
        sse2::MaskBlendFlags<sse2::DwordPixels, sse2::PremulMix<true>>(blend, &PremulScalar);
    } else {
        sse2::MaskBlendFlags<sse2::DwordPixels, sse2::PremulMix<false>>(blend, &PremulScalar);
    }
    return 0;
}

}  // namespace gfx

#endif  // __SSE2__
