#pragma once

// The AVX2 bodies of the scaled mask blends, identical in result to the scalar ones: the SSE2
// body's walk gathers each fresh source and mask row (halving and doubling rows by wider
// shuffles), and the gathered rows are blended 32 bytes a register (at 16 bits with the unscaled
// AVX2 body's mix); a row's last bytes take the SSE2 blocks. Compiled for AVX2 by function
// attributes in a baseline build; only called where the processor has AVX2.
#include "graphics/blit/instruction_sets.h"

#if defined(GFX_HAVE_X86_TARGETS)

#include <immintrin.h>

#include <cstddef>
#include <cstdint>

#include "graphics/blit/blend_lanes_avx2.h"
#include "graphics/blit/blit_mask_alpha_avx2.h"
#include "graphics/blit/blit_scaled_sse2.h"
#include "graphics/blit/blit_scaled_ssse3.h"
#include "graphics/blit/scaled_gather_avx2.h"

namespace gfx {

namespace blend_avx2 {

// The whole registers of one gathered row: mask bytes 0 keep the destination, 255 take the
// source, others mix.
template <class C>
struct ScaledMaskBlocks {
    __attribute__((target("avx2"))) static size_t Blend(uint8_t* d, const uint8_t* pixels,
                                                        const uint8_t* maskRow, size_t rowBytes) {
        using M = MaskTableMix<C>;
        size_t k = 0;
        for (; k + 32 <= rowBytes; k += 32) {
            const __m128i bytes = WordPixels::ReadMask(maskRow + k / 2, false);
            if (WordPixels::AllEqual(bytes, M::kSkipped)) continue;
            const __m256i sv = Read256(pixels + k);
            if (WordPixels::AllEqual(bytes, M::kWhole)) {
                Write256(d + k, sv);
                continue;
            }
            Write256(d + k, M::Mix(sv, Read256(d + k), WordPixels::MaskValues(bytes)));
        }
        return k;
    }
    // A halving row straight from the source and mask rows, sixteen pixels a register: each
    // reads source pixels and mask bytes 2j to 2j + 31, inside the source rectangle as
    // avx2::EveryOtherPixel explains. Returns the pixels done.
    __attribute__((target("avx2"))) static int32_t BlendHalved(uint8_t* d, const uint8_t* s,
                                                               const uint8_t* m, int32_t width) {
        using M = MaskTableMix<C>;
        const auto all = [](__m256i words, uint8_t value) __attribute__((target("avx2"))) {
            return _mm256_movemask_epi8(_mm256_cmpeq_epi16(words, _mm256_set1_epi16(value))) == -1;
        };
        int32_t j = 0;
        for (; j + 16 <= width; j += 16) {
            // The low byte of each 16-bit lane of 32 mask bytes is the mask value of its pixel.
            const __m256i mask = _mm256_and_si256(Read256(m + 2 * j), _mm256_set1_epi16(0x00FF));
            if (all(mask, M::kSkipped)) continue;
            const __m256i sv = avx2::EvenPixels<Pixel16>(s + 4 * j);
            uint8_t* out = d + 2 * j;
            if (all(mask, M::kWhole)) {
                Write256(out, sv);
                continue;
            }
            Write256(out, M::Mix(sv, Read256(out), mask));
        }
        return j;
    }
    __attribute__((target("avx2"))) static void Gather16(uint8_t* pixels, uint8_t* maskRow,
                                                         const uint8_t* s, const uint8_t* m,
                                                         const sse2::ScaledScratch& scratch,
                                                         int32_t width) {
        avx2::GatherSourceRow<Pixel16>(pixels, s, scratch, width);
        avx2::GatherSourceRow<Pixel8>(maskRow, m, scratch, width);
    }
};

// MaskBlend24 of the SSE2 body on 32 channel bytes: every byte mixed by its own mask byte.
template <bool kExact>
__attribute__((target("avx2"))) inline __m256i MaskBlend24Half(__m256i s, __m256i d, __m256i m) {
    if constexpr (kExact) {
        const __m256i dw = _mm256_sub_epi16(_mm256_set1_epi16(256), m);
        return _mm256_srli_epi16(
            _mm256_add_epi16(_mm256_mullo_epi16(s, m), _mm256_mullo_epi16(d, dw)), 8);
    } else {
        const __m256i ws = _mm256_srli_epi16(m, 3);
        const __m256i wd = _mm256_sub_epi16(_mm256_set1_epi16(31), ws);
        const __m256i sum = _mm256_add_epi16(_mm256_mullo_epi16(_mm256_srli_epi16(s, 3), ws),
                                             _mm256_mullo_epi16(_mm256_srli_epi16(d, 3), wd));
        return _mm256_srli_epi16(sum, 2);
    }
}

// The bytes are independent, so the lanes' own unpacking and packing keep them in place.
template <bool kExact>
__attribute__((target("avx2"))) inline __m256i MaskBlend24(__m256i s, __m256i d, __m256i m) {
    const __m256i zero = _mm256_setzero_si256();
    const __m256i lo =
        MaskBlend24Half<kExact>(_mm256_unpacklo_epi8(s, zero), _mm256_unpacklo_epi8(d, zero),
                                _mm256_unpacklo_epi8(m, zero));
    const __m256i hi =
        MaskBlend24Half<kExact>(_mm256_unpackhi_epi8(s, zero), _mm256_unpackhi_epi8(d, zero),
                                _mm256_unpackhi_epi8(m, zero));
    return _mm256_packus_epi16(lo, hi);
}

// The whole registers of one gathered 24-bit row and its mask row of three bytes a pixel.
struct ScaledMaskBlocks24 {
    template <bool kExact>
    __attribute__((target("avx2"))) static size_t Blend24(uint8_t* d, const uint8_t* pixels,
                                                          const uint8_t* maskRow, size_t rowBytes) {
        size_t k = 0;
        for (; k + 32 <= rowBytes; k += 32) {
            Write256(d + k, MaskBlend24<kExact>(Read256(pixels + k), Read256(d + k),
                                                Read256(maskRow + k)));
        }
        return k;
    }
    __attribute__((target("avx2"))) static void Gather24(uint8_t* pixels, uint8_t* maskRow,
                                                         const uint8_t* s, const uint8_t* m,
                                                         const sse2::ScaledScratch& scratch,
                                                         int32_t width) {
        ssse3::GatherMaskedTriplets(pixels, maskRow, s, m, scratch, width);
    }
};

}  // namespace blend_avx2

// Blt16ScaledMaskAlpha555 and Blt16ScaledMaskAlpha565.
template <class C>
int32_t ScaledMaskAlpha16Avx2(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy, int32_t width,
                              int32_t height, const uint8_t* src, int32_t srcPitch, int32_t sx,
                              int32_t sy, int32_t sw, int32_t sh, const uint8_t* mask,
                              int32_t maskPitch, uint32_t flags) {
    return ScaledMaskAlpha16Sse2<C, blend_avx2::ScaledMaskBlocks<C>>(
        dst, dstPitch, dx, dy, width, height, src, srcPitch, sx, sy, sw, sh, mask, maskPitch,
        flags);
}

// Blt24ScaledMaskAlpha.
inline int32_t ScaledMaskAlpha24Avx2(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy,
                                     int32_t width, int32_t height, const uint8_t* src,
                                     int32_t srcPitch, int32_t sx, int32_t sy, int32_t sw,
                                     int32_t sh, const uint8_t* mask, int32_t maskPitch,
                                     uint32_t flags) {
    return ScaledMaskAlpha24Sse2<blend_avx2::ScaledMaskBlocks24>(dst, dstPitch, dx, dy, width,
                                                                 height, src, srcPitch, sx, sy, sw,
                                                                 sh, mask, maskPitch, flags);
}

}  // namespace gfx

#endif  // GFX_HAVE_X86_TARGETS
