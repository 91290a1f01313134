#pragma once

// The SSSE3 rows of the bilinear interpolation of 32-bit pixels, identical in result to
// BilinearRowScalar<4>: one 8-byte load brings a column's two adjacent pixels, and one byte
// shuffle spreads them to the (first, second) pairs of 16-bit lanes that pmaddwd weighs, where the
// SSE2 rows take two loads and three unpacks. Compiled for SSSE3 by function attributes in a
// baseline build; only called where the processor has SSSE3.
#include "graphics/blit/instruction_sets.h"

#if defined(GFX_HAVE_X86_TARGETS)

#include <tmmintrin.h>

#include <cstdint>

#include "graphics/blit/bilinear_scale.h"
#include "graphics/blit/bilinear_scale_sse2.h"

namespace gfx {

namespace bilinear_ssse3 {

// Channel c of the first pixel (bytes 0-3) and of the second (bytes 4-7) in 16-bit lanes 2c and
// 2c + 1.
#define GFX_BILINEAR_PAIR_SPREAD \
    _mm_setr_epi8(0, -128, 4, -128, 1, -128, 5, -128, 2, -128, 6, -128, 3, -128, 7, -128)

// The four channel sums of one pixel from its column's two adjacent pixels in `row`, weighed by
// the 32-bit lane of `weights` (first pixel's weight low, second's high) that kLane names.
template <int kLane>
__attribute__((target("ssse3"))) inline __m128i WeighPair(const uint8_t* row, int32_t first,
                                                          __m128i weights) {
    const __m128i pair = _mm_shuffle_epi8(
        _mm_loadl_epi64(reinterpret_cast<const __m128i*>(row + first)), GFX_BILINEAR_PAIR_SPREAD);
    return _mm_madd_epi16(pair, _mm_shuffle_epi32(weights, _MM_SHUFFLE(kLane, kLane, kLane, kLane)));
}

template <int kLane, bool kTwoRows>
__attribute__((target("ssse3"))) inline __m128i Pixel(const uint8_t* top, const uint8_t* bottom,
                                                      int32_t first, __m128i topWeights,
                                                      __m128i bottomWeights) {
    const __m128i sum = WeighPair<kLane>(top, first, topWeights);
    if constexpr (!kTwoRows) return _mm_srli_epi32(sum, kBilinearShift);
    return _mm_srli_epi32(_mm_add_epi32(sum, WeighPair<kLane>(bottom, first, bottomWeights)),
                          kBilinearShift);
}

#undef GFX_BILINEAR_PAIR_SPREAD

// Whole groups of four pixels; returns how many pixels it wrote. Groups with a column whose two
// pixels are not adjacent (the first and last columns) take the SSE2 gathering.
template <bool kTwoRows>
__attribute__((target("ssse3"))) inline int32_t PixelRuns(uint8_t* out, const uint8_t* top,
                                                          const uint8_t* bottom, int32_t fy,
                                                          const BilinearColumn* columns,
                                                          int32_t count) {
    const __m128i topRow = _mm_set1_epi16(static_cast<short>(kBilinearOne - fy));
    const __m128i bottomRow = _mm_set1_epi16(static_cast<short>(fy));
    int32_t t = 0;
    for (; t + 4 <= count; t += 4, out += 16) {
        const BilinearColumn* c = columns + t;
        const __m128i x = bilinear_sse2::ColumnWeights(c);
        // With fy = 0 the top weights are the column weights themselves.
        const __m128i topWeights = kTwoRows ? bilinear_sse2::MulShift14(x, topRow) : x;
        const __m128i bottomWeights =
            kTwoRows ? bilinear_sse2::MulShift14(x, bottomRow) : _mm_setzero_si128();
        if (!bilinear_sse2::Adjacent<4, 4>(c)) {
            bilinear_sse2::TwoPixels<4, kTwoRows, false>(out, top, bottom, c, topWeights,
                                                         bottomWeights);
            bilinear_sse2::TwoPixels<4, kTwoRows, false>(
                out + 8, top, bottom, c + 2, _mm_shuffle_epi32(topWeights, _MM_SHUFFLE(3, 2, 3, 2)),
                _mm_shuffle_epi32(bottomWeights, _MM_SHUFFLE(3, 2, 3, 2)));
            continue;
        }
        const __m128i p0 = Pixel<0, kTwoRows>(top, bottom, c[0].first, topWeights, bottomWeights);
        const __m128i p1 = Pixel<1, kTwoRows>(top, bottom, c[1].first, topWeights, bottomWeights);
        const __m128i p2 = Pixel<2, kTwoRows>(top, bottom, c[2].first, topWeights, bottomWeights);
        const __m128i p3 = Pixel<3, kTwoRows>(top, bottom, c[3].first, topWeights, bottomWeights);
        // Each channel sum is at most 255: the packs keep it exactly.
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out),
                         _mm_packus_epi16(_mm_packs_epi32(p0, p1), _mm_packs_epi32(p2, p3)));
    }
    return t;
}

}  // namespace bilinear_ssse3

// A row of the interpolation of 32-bit pixels: whole groups of four in registers, the rest by the
// scalar row.
__attribute__((target("ssse3"))) inline void BilinearRow32Ssse3(uint8_t* out, const uint8_t* top,
                                                                const uint8_t* bottom, int32_t fy,
                                                                const BilinearColumn* columns,
                                                                int32_t count) {
    const int32_t done =
        fy == 0 ? bilinear_ssse3::PixelRuns<false>(out, top, bottom, fy, columns, count)
                : bilinear_ssse3::PixelRuns<true>(out, top, bottom, fy, columns, count);
    BilinearRowScalar<4>(out + done * 4, top, bottom, fy, columns + done, count - done);
}

}  // namespace gfx

#endif  // GFX_HAVE_X86_TARGETS
