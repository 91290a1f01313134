#pragma once

// The AVX2 rows of the bilinear interpolation of 32-bit pixels, identical in result to
// BilinearRowScalar<4>: the SSSE3 rows' arithmetic on eight pixels at a time, pixel k in the low
// 128-bit lane and pixel k + 4 in the high one, so that each pixel's weights are an in-lane
// shuffle and the packs leave the eight pixels in order. Compiled for AVX2 by function
// attributes in a baseline build; only called where the processor has AVX2.
#include "graphics/blit/instruction_sets.h"

#if defined(GFX_HAVE_X86_TARGETS)

#include <immintrin.h>

#include <cstddef>
#include <cstdint>

#include "graphics/blit/bilinear_scale.h"
#include "graphics/blit/bilinear_scale_ssse3.h"

namespace gfx {

namespace bilinear_avx2 {

__attribute__((target("avx2"))) inline __m256i Load256(const uint8_t* p) {
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
}

// (a * b) >> 14 of unsigned 16-bit lanes.
__attribute__((target("avx2"))) inline __m256i MulShift14(__m256i a, __m256i b) {
    return _mm256_or_si256(_mm256_slli_epi16(_mm256_mulhi_epu16(a, b), 2),
                           _mm256_srli_epi16(_mm256_mullo_epi16(a, b), 14));
}

// The x weights (16384 - fx, fx) of columns t..t+7, one pair of 16-bit lanes per column. The
// eight columns are 24 words, three registers, whose fractions (words 2, 5, ..., 23) are picked
// out by a permute each: a gather of the eight, or inserting them one by one, takes longer.
__attribute__((target("avx2"))) inline __m256i ColumnWeights(const BilinearColumn* c) {
    static_assert(sizeof(BilinearColumn) == 12 && offsetof(BilinearColumn, fraction) == 8);
    const uint8_t* bytes = reinterpret_cast<const uint8_t*>(c);
    const __m256i a =
        _mm256_permutevar8x32_epi32(Load256(bytes), _mm256_setr_epi32(2, 5, 0, 0, 0, 0, 0, 0));
    const __m256i b =
        _mm256_permutevar8x32_epi32(Load256(bytes + 32), _mm256_setr_epi32(0, 0, 0, 3, 6, 0, 0, 0));
    const __m256i d =
        _mm256_permutevar8x32_epi32(Load256(bytes + 64), _mm256_setr_epi32(0, 0, 0, 0, 0, 1, 4, 7));
    const __m256i f = _mm256_blend_epi32(_mm256_blend_epi32(a, b, 0x1C), d, 0xE0);
    return _mm256_or_si256(_mm256_slli_epi32(f, 16),
                           _mm256_sub_epi32(_mm256_set1_epi32(kBilinearOne), f));
}

// Whether the eight columns from c on may be read as adjacent pairs. A column whose two pixels
// are the same one (before the first pixel's centre or after the last one's) has the weight 0 for
// its second pixel, so reading the pixel after it gives the same sums, and is safe except after
// the last source pixel, where the row may end. Those columns come last along the axis, so they
// are at one end of a group (the right, or the left for a mirrored row); and where the first
// and the last column blend adjacent pixels, no column of the group is past the last pixel's
// centre. (A source of one pixel has no adjacent column at all.)
__attribute__((target("avx2"))) inline bool ReadsAsPairs(const BilinearColumn* c) {
    return c[0].second == c[0].first + 4 && c[7].second == c[7].first + 4;
}

// The adjacent pixel pairs of columns a (low lane) and b (high lane) of `row`, channel c of the
// first pixel and of the second in 16-bit lanes 2c and 2c + 1 of each lane.
__attribute__((target("avx2"))) inline __m256i SpreadPairs(const uint8_t* row, int32_t a,
                                                           int32_t b) {
    const __m256i pairs = _mm256_inserti128_si256(
        _mm256_castsi128_si256(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(row + a))),
        _mm_loadl_epi64(reinterpret_cast<const __m128i*>(row + b)), 1);
    return _mm256_shuffle_epi8(
        pairs,
        _mm256_setr_epi8(0, -128, 4, -128, 1, -128, 5, -128, 2, -128, 6, -128, 3, -128, 7, -128, 0,
                         -128, 4, -128, 1, -128, 5, -128, 2, -128, 6, -128, 3, -128, 7, -128));
}

// Pixels k and k + 4 of a group, their four channel sums in each lane.
template <int kK, bool kTwoRows>
__attribute__((target("avx2"))) inline __m256i Pixels(const uint8_t* top, const uint8_t* bottom,
                                                      const BilinearColumn* c, __m256i topWeights,
                                                      __m256i bottomWeights) {
    const __m256i sum =
        _mm256_madd_epi16(SpreadPairs(top, c[kK].first, c[kK + 4].first),
                          _mm256_shuffle_epi32(topWeights, _MM_SHUFFLE(kK, kK, kK, kK)));
    if constexpr (!kTwoRows) return _mm256_srli_epi32(sum, kBilinearShift);
    const __m256i under =
        _mm256_madd_epi16(SpreadPairs(bottom, c[kK].first, c[kK + 4].first),
                          _mm256_shuffle_epi32(bottomWeights, _MM_SHUFFLE(kK, kK, kK, kK)));
    return _mm256_srli_epi32(_mm256_add_epi32(sum, under), kBilinearShift);
}

// Whole groups of eight pixels; returns how many pixels it wrote. Groups at the row's ends that
// ReadsAsPairs refuses take the SSSE3 groups of four.
template <bool kTwoRows>
__attribute__((target("avx2"))) inline int32_t PixelRuns(uint8_t* out, const uint8_t* top,
                                                         const uint8_t* bottom, int32_t fy,
                                                         const BilinearColumn* columns,
                                                         int32_t count) {
    const __m256i topRow = _mm256_set1_epi16(static_cast<short>(kBilinearOne - fy));
    const __m256i bottomRow = _mm256_set1_epi16(static_cast<short>(fy));
    int32_t t = 0;
    for (; t + 8 <= count; t += 8, out += 32) {
        const BilinearColumn* c = columns + t;
        if (!ReadsAsPairs(c)) {
            bilinear_ssse3::PixelRuns<kTwoRows>(out, top, bottom, fy, c, 8);
            continue;
        }
        const __m256i x = ColumnWeights(c);
        // With fy = 0 the top weights are the column weights themselves.
        const __m256i topWeights = kTwoRows ? MulShift14(x, topRow) : x;
        const __m256i bottomWeights = kTwoRows ? MulShift14(x, bottomRow) : _mm256_setzero_si256();
        const __m256i p04 = Pixels<0, kTwoRows>(top, bottom, c, topWeights, bottomWeights);
        const __m256i p15 = Pixels<1, kTwoRows>(top, bottom, c, topWeights, bottomWeights);
        const __m256i p26 = Pixels<2, kTwoRows>(top, bottom, c, topWeights, bottomWeights);
        const __m256i p37 = Pixels<3, kTwoRows>(top, bottom, c, topWeights, bottomWeights);
        // Each channel sum is at most 255: the packs keep it exactly, lane by lane.
        _mm256_storeu_si256(
            reinterpret_cast<__m256i*>(out),
            _mm256_packus_epi16(_mm256_packs_epi32(p04, p15), _mm256_packs_epi32(p26, p37)));
    }
    return t;
}

}  // namespace bilinear_avx2

// A row of the interpolation of 32-bit pixels: whole groups of eight, then the SSSE3 row.
__attribute__((target("avx2"))) inline void BilinearRow32Avx2(uint8_t* out, const uint8_t* top,
                                                              const uint8_t* bottom, int32_t fy,
                                                              const BilinearColumn* columns,
                                                              int32_t count) {
    const int32_t done = fy == 0
                             ? bilinear_avx2::PixelRuns<false>(out, top, bottom, fy, columns, count)
                             : bilinear_avx2::PixelRuns<true>(out, top, bottom, fy, columns, count);
    BilinearRow32Ssse3(out + done * 4, top, bottom, fy, columns + done, count - done);
}

}  // namespace gfx

#endif  // GFX_HAVE_X86_TARGETS
