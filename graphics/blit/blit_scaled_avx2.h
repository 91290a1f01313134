#pragma once

// The AVX2 bodies of the scaled mask blends, identical in result to the scalar ones: the SSE2
// body's walk gathers each fresh source and mask row (halving and doubling rows by wider
// shuffles), and the gathered rows are blended 32 bytes a register (at 16 bits with the unscaled
// AVX2 body's mix); a row's last bytes take the SSE2 blocks. Compiled for AVX2 by function
// attributes in a baseline build; only called where the processor has AVX2.
#include "graphics/blit/instruction_sets.h"

#if defined(GFX_HAVE_X86_TARGETS)

#include <immintrin.h>

#include <array>
#include <cstddef>
#include <cstdint>

#include "graphics/blit/blend_lanes_avx2.h"
#include "graphics/blit/blit_mask_alpha_avx2.h"
#include "graphics/blit/blit_scaled_sse2.h"
#include "graphics/blit/blit_scaled_ssse3.h"
#include "graphics/blit/scaled_gather_avx2.h"
#include "graphics/blit/scaled_gather_triplets_avx2.h"

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

// What the 5-bit blend leaves of a channel x that takes the whole weight of 31 (the other side
// taking none): ((x >> 3) * 31) >> 2, looked up from t = x >> 3 in two tables of sixteen, for t
// below 16 and from 16, repeated for both lanes.
constexpr std::array<uint8_t, 32> WholeWeightTable(int half) {
    std::array<uint8_t, 32> table{};
    for (int b = 0; b < 32; ++b) table[b] = static_cast<uint8_t>(((16 * half + b % 16) * 31) >> 2);
    return table;
}
inline constexpr std::array<uint8_t, 32> kWholeWeight[2] = {WholeWeightTable(0),
                                                            WholeWeightTable(1)};

__attribute__((target("avx2"))) inline __m256i WholeWeight(__m256i x) {
    const __m256i t = _mm256_and_si256(_mm256_srli_epi16(x, 3), _mm256_set1_epi8(0x1F));
    const __m256i low = _mm256_shuffle_epi8(Read256(kWholeWeight[0].data()), t);
    const __m256i high = _mm256_shuffle_epi8(Read256(kWholeWeight[1].data()), t);
    // Bit 4 of t, in each byte's sign bit, picks the high table.
    return _mm256_blendv_epi8(low, high, _mm256_slli_epi16(t, 3));
}

// The whole registers of one gathered 24-bit row and its mask row of three bytes a pixel. A
// register whose mask bytes all give one side the whole weight (mask 0 to 7 or 248 to 255 in the
// 5-bit blend; 0 in the exact one, which then keeps the destination) takes that side alone.
struct ScaledMaskBlocks24 {
    template <bool kExact>
    __attribute__((target("avx2"))) static size_t Blend24(uint8_t* d, const uint8_t* pixels,
                                                          const uint8_t* maskRow, size_t rowBytes) {
        const __m256i weightBits = _mm256_set1_epi8(static_cast<char>(0xF8));
        size_t k = 0;
        for (; k + 32 <= rowBytes; k += 32) {
            const __m256i m = Read256(maskRow + k);
            if constexpr (kExact) {
                if (_mm256_testz_si256(m, m)) continue;
            } else {
                if (_mm256_testz_si256(m, weightBits)) {
                    Write256(d + k, WholeWeight(Read256(d + k)));
                    continue;
                }
                if (_mm256_testc_si256(m, weightBits)) {
                    Write256(d + k, WholeWeight(Read256(pixels + k)));
                    continue;
                }
            }
            Write256(d + k, MaskBlend24<kExact>(Read256(pixels + k), Read256(d + k), m));
        }
        return k;
    }
    __attribute__((target("avx2"))) static void Gather24(uint8_t* pixels, uint8_t* maskRow,
                                                         const uint8_t* s, const uint8_t* m,
                                                         const sse2::ScaledScratch& scratch,
                                                         int32_t width) {
        avx2::GatherMaskedTriplets(pixels, maskRow, s, m, scratch, width);
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
