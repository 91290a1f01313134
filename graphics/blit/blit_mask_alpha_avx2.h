#pragma once

// The AVX2 bodies of the 16 and 32-bit mask blends, identical in result to MaskAlphaScalar and
// PremulScalar: the SSE2 bodies' walk on 256-bit registers (sixteen 16-bit or eight 32-bit
// pixels). Compiled for AVX2 by function attributes in a baseline build; only called where the
// processor has AVX2.
#include "graphics/blit/instruction_sets.h"

#if defined(GFX_HAVE_X86_TARGETS)

#include <immintrin.h>

#include <cstdint>
#include <type_traits>

#include "graphics/blit/blend_lanes_avx2.h"
#include "graphics/blit/blit_mask_alpha.h"
#include "graphics/blit/blit_mask_alpha_sse2.h"
#include "graphics/blit/channel_mix_avx2.h"
#include "graphics/core/blit_flags.h"

namespace gfx {

namespace blend_avx2 {

// MaskAlphaRule's ends: 0 keeps the destination, 255 takes the source whole.
GFX_BLEND_AVX2 __m256i MaskEnds(__m256i s, __m256i d, __m256i m, __m256i mixed) {
    const __m256i whole = _mm256_cmpeq_epi16(m, _mm256_set1_epi16(255));
    const __m256i none = _mm256_cmpeq_epi16(m, _mm256_setzero_si256());
    return Select(whole, s, Select(none, d, mixed));
}

template <class C>
struct MaskTableMix {
    static constexpr uint8_t kSkipped = 0;
    static constexpr uint8_t kWhole = 255;
    GFX_BLEND_AVX2 static __m256i Whole(__m256i s, __m256i) { return s; }
    GFX_BLEND_AVX2 static __m256i Mix(__m256i s, __m256i d, __m256i m) {
        const __m256i ws = _mm256_srli_epi16(m, 3);
        const __m256i wd = _mm256_sub_epi16(_mm256_set1_epi16(31), ws);
        __m256i mixed;
        if constexpr (std::is_same_v<C, Channels888>) {
            mixed = _mm256_and_si256(MixBytesByTable(s, d, ws, wd), _mm256_set1_epi32(0x00FFFFFF));
        } else {
            mixed = MixWords<C>::Mix(s, d, ws, wd);
        }
        return MaskEnds(s, d, m, mixed);
    }
};

// The 32-bit exact mix: the destination weighs 255 - m.
struct MaskExactMix {
    static constexpr uint8_t kSkipped = 0;
    static constexpr uint8_t kWhole = 255;
    GFX_BLEND_AVX2 static __m256i Whole(__m256i s, __m256i) { return s; }
    GFX_BLEND_AVX2 static __m256i Mix(__m256i s, __m256i d, __m256i m) {
        const __m256i wd = _mm256_sub_epi16(_mm256_set1_epi16(255), m);
        const __m256i mixed =
            _mm256_and_si256(MixBytesExact(s, d, m, wd), _mm256_set1_epi32(0x00FFFFFF));
        return MaskEnds(s, d, m, mixed);
    }
};

template <bool kExact>
struct PremulMix {
    static constexpr uint8_t kSkipped = 255;
    static constexpr uint8_t kWhole = 0;
    GFX_BLEND_AVX2 static __m256i Whole(__m256i s, __m256i d) {
        return Select(_mm256_set1_epi32(0x00FFFFFF), s, d);
    }
    GFX_BLEND_AVX2 static __m256i Mix(__m256i s, __m256i d, __m256i m) {
        const __m256i kept =
            kExact ? ScaleBytesExact(d, m) : ScaleBytesByTable(d, _mm256_srli_epi16(m, 3));
        const __m256i sum = Select(_mm256_set1_epi32(0x00FFFFFF), _mm256_add_epi8(s, kept), d);
        return Select(_mm256_cmpeq_epi16(m, _mm256_set1_epi16(255)), d, sum);
    }
};

template <class F, class M, bool kMirrorX>
__attribute__((target("avx2"))) void MaskBlendRows(const sse2::UnscaledRows& a, BlitMaskFn scalar) {
    using P = typename F::Pixel;
    constexpr int kLanes = F::kLanes;
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
        if constexpr (kLanes == 8) {
            // Two registers share one test of their sixteen mask bytes, so that stretches the
            // mask skips or copies whole cost half the branches.
            for (; j + 16 <= w; j += 16) {
                const int32_t column = kMirrorX ? w - 16 - j : j;
                const __m128i bytes = WordPixels::ReadMask(m + column, kMirrorX);
                if (WordPixels::AllEqual(bytes, M::kSkipped)) continue;
                const bool whole = WordPixels::AllEqual(bytes, M::kWhole);
#pragma GCC unroll 2
                for (int half = 0; half < 2; ++half) {
                    // A mirrored row reads the upper half of its source columns first.
                    const int32_t from = column + 8 * (kMirrorX ? 1 - half : half);
                    __m256i sv = Read256(s + from * P::kBytes);
                    if constexpr (kMirrorX) sv = F::Reverse(sv);
                    uint8_t* out = d + (j + 8 * half) * P::kBytes;
                    const __m256i dv = Read256(out);
                    const __m128i own = half == 0 ? bytes : _mm_srli_si128(bytes, 8);
                    Write256(out, whole ? M::Whole(sv, dv) : M::Mix(sv, dv, F::MaskValues(own)));
                }
            }
        }
        for (; j + kLanes <= w; j += kLanes) {
            const int32_t column = kMirrorX ? w - kLanes - j : j;
            const __m128i bytes = F::ReadMask(m + column, kMirrorX);
            if (F::AllEqual(bytes, M::kSkipped)) continue;
            __m256i sv = Read256(s + column * P::kBytes);
            if constexpr (kMirrorX) sv = F::Reverse(sv);
            uint8_t* out = d + j * P::kBytes;
            const __m256i dv = Read256(out);
            Write256(out, F::AllEqual(bytes, M::kWhole) ? M::Whole(sv, dv)
                                                        : M::Mix(sv, dv, F::MaskValues(bytes)));
        }
        if (j < w) {
            scalar(a.dst, a.dstPitch, a.dx + j, a.dy + i, w - j, 1, a.src, a.srcPitch,
                   kMirrorX ? a.sx : a.sx + j, row, a.mask, a.maskPitch, a.flags & ~BLIT_MIRROR_Y);
        }
    }
}

template <class F, class M>
void MaskBlendFlags(const sse2::UnscaledRows& a, BlitMaskFn scalar) {
    if ((a.flags & BLIT_MIRROR_X) != 0) return blend_avx2::MaskBlendRows<F, M, true>(a, scalar);
    return blend_avx2::MaskBlendRows<F, M, false>(a, scalar);
}

}  // namespace blend_avx2

// Blt16MaskAlpha555, Blt16MaskAlpha565 and Blt32MaskAlpha.
template <class P, class Rule>
int32_t MaskAlphaAvx2(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy, int32_t width,
                      int32_t height, const uint8_t* src, int32_t srcPitch, int32_t sx, int32_t sy,
                      const uint8_t* mask, int32_t maskPitch, uint32_t flags) {
    static_assert(P::kBytes == 2 || P::kBytes == 4);
    constexpr BlitMaskFn kScalar = &MaskAlphaScalar<P, Rule>;
    const sse2::UnscaledRows blend{.dst = dst, .dstPitch = dstPitch, .dx = dx, .dy = dy,
                                   .width = width, .height = height, .src = src,
                                   .srcPitch = srcPitch, .sx = sx, .sy = sy, .flags = flags,
                                   .mask = mask, .maskPitch = maskPitch};
    if (sse2::MaskBlendOverlaps(blend, P::kBytes)) {
        return kScalar(dst, dstPitch, dx, dy, width, height, src, srcPitch, sx, sy, mask, maskPitch,
                       flags);
    }
    using C = typename sse2::MaskRuleParts<Rule>::Channels;
    if constexpr (P::kBytes == 2) {
        blend_avx2::MaskBlendFlags<blend_avx2::WordPixels, blend_avx2::MaskTableMix<C>>(blend,
                                                                                        kScalar);
    } else {
        static_assert(sse2::MaskRuleParts<Rule>::kExactTotal == 255);
        if ((flags & BLIT_EXACT) != 0) {
            blend_avx2::MaskBlendFlags<blend_avx2::DwordPixels, blend_avx2::MaskExactMix>(blend,
                                                                                          kScalar);
        } else {
            blend_avx2::MaskBlendFlags<blend_avx2::DwordPixels, blend_avx2::MaskTableMix<C>>(
                blend, kScalar);
        }
    }
    return 0;
}

// Blt32MaskPremul.
inline int32_t PremulAvx2(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy, int32_t width,
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
        blend_avx2::MaskBlendFlags<blend_avx2::DwordPixels, blend_avx2::PremulMix<true>>(
            blend, &PremulScalar);
    } else {
        blend_avx2::MaskBlendFlags<blend_avx2::DwordPixels, blend_avx2::PremulMix<false>>(
            blend, &PremulScalar);
    }
    return 0;
}

}  // namespace gfx

#endif  // GFX_HAVE_X86_TARGETS
