#pragma once

// The SSE2 rows of the bilinear interpolation of 24 and 32-bit pixels, identical in result to
// BilinearRowScalar: the four weights of a pixel are formed for four pixels at once in 16-bit
// lanes, and each channel's two pixels of a row are multiplied and added in one step (pmaddwd).
#if defined(__SSE2__)

#include <emmintrin.h>

#include <cstdint>

#include "graphics/blit/bilinear_scale.h"
#include "graphics/core/little_endian.h"

namespace gfx {

namespace bilinear_sse2 {

// (a * b) >> 14 in every 16-bit lane, for a and b of at most 16384.
inline __m128i MulShift14(__m128i a, __m128i b) {
    const __m128i high = _mm_mulhi_epu16(a, b);
    const __m128i low = _mm_mullo_epi16(a, b);
    return _mm_or_si128(_mm_slli_epi16(high, 2), _mm_srli_epi16(low, 14));
}

// The x weights (16384 - fx, fx) of columns t..t+3, one pair of 16-bit lanes per column.
// The fractions are moved in register by register: the compiler's gathering of the four through
// the stack stalls every group on a store that cannot forward to the wide load.
inline __m128i ColumnWeights(const BilinearColumn* c) {
    const __m128i f = _mm_unpacklo_epi64(
        _mm_unpacklo_epi32(_mm_cvtsi32_si128(c[0].fraction), _mm_cvtsi32_si128(c[1].fraction)),
        _mm_unpacklo_epi32(_mm_cvtsi32_si128(c[2].fraction), _mm_cvtsi32_si128(c[3].fraction)));
    return _mm_or_si128(_mm_slli_epi32(f, 16), _mm_sub_epi32(_mm_set1_epi32(kBilinearOne), f));
}

template <int kBytes>
inline uint32_t LoadPixel(const uint8_t* p) {
    if constexpr (kBytes == 4) {
        return LoadLE32(p);
    } else {
        return LoadLE24(p);
    }
}

// The channels of the two pixels of a column interleaved (first, second, first, second...) in the
// low eight bytes.
template <int kBytes>
inline __m128i LoadPair(const uint8_t* row, const BilinearColumn& c) {
    const __m128i a = _mm_cvtsi32_si128(static_cast<int>(LoadPixel<kBytes>(row + c.first)));
    const __m128i b = _mm_cvtsi32_si128(static_cast<int>(LoadPixel<kBytes>(row + c.second)));
    return _mm_unpacklo_epi8(a, b);
}

// The same for a column whose second pixel follows the first (every column between the first
// and last pixel's centres): both 32-bit pixels in one load.
inline __m128i LoadAdjacentPair(const uint8_t* row, const BilinearColumn& c) {
    const __m128i both = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(row + c.first));
    return _mm_unpacklo_epi8(both, _mm_srli_si128(both, 4));
}

// Whether the kCount columns from c on all blend adjacent pixels.
template <int kBytes, int kCount>
inline bool Adjacent(const BilinearColumn* c) {
    bool adjacent = true;
    for (int k = 0; k < kCount; ++k) adjacent &= c[k].second == c[k].first + kBytes;
    return adjacent;
}

template <int kBytes, bool kAdjacent>
inline __m128i RowPair(const uint8_t* row, const BilinearColumn& c) {
    if constexpr (kAdjacent && kBytes == 4) {
        return LoadAdjacentPair(row, c);
    } else {
        return LoadPair<kBytes>(row, c);
    }
}

// Two pixels of 3 or 4 channels, their weight pairs in lanes 0 and 1 of top and bottom.
template <int kBytes, bool kTwoRows, bool kAdjacent>
inline void TwoPixels(uint8_t* out, const uint8_t* top, const uint8_t* bottom,
                      const BilinearColumn* c, __m128i topWeights, __m128i bottomWeights) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i t =
        _mm_unpacklo_epi64(RowPair<kBytes, kAdjacent>(top, c[0]), RowPair<kBytes, kAdjacent>(top, c[1]));
    __m128i first = _mm_madd_epi16(_mm_unpacklo_epi8(t, zero), _mm_shuffle_epi32(topWeights, 0x00));
    __m128i second = _mm_madd_epi16(_mm_unpackhi_epi8(t, zero), _mm_shuffle_epi32(topWeights, 0x55));
    if constexpr (kTwoRows) {
        const __m128i b =
            _mm_unpacklo_epi64(RowPair<kBytes, kAdjacent>(bottom, c[0]),
                               RowPair<kBytes, kAdjacent>(bottom, c[1]));
        first = _mm_add_epi32(
            first, _mm_madd_epi16(_mm_unpacklo_epi8(b, zero), _mm_shuffle_epi32(bottomWeights, 0x00)));
        second = _mm_add_epi32(
            second, _mm_madd_epi16(_mm_unpackhi_epi8(b, zero), _mm_shuffle_epi32(bottomWeights, 0x55)));
    }
    const __m128i words = _mm_packs_epi32(_mm_srli_epi32(first, kBilinearShift),
                                          _mm_srli_epi32(second, kBilinearShift));
    const __m128i bytes = _mm_packus_epi16(words, zero);
    if constexpr (kBytes == 4) {
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out), bytes);
    } else {
        StoreLE24(out, static_cast<uint32_t>(_mm_cvtsi128_si32(bytes)));
        StoreLE24(out + 3, static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_srli_si128(bytes, 4))));
    }
}

template <int kBytes, bool kTwoRows>
inline int32_t PixelRuns(uint8_t* out, const uint8_t* top, const uint8_t* bottom, int32_t fy,
                         const BilinearColumn* columns, int32_t count) {
    const __m128i topRow = _mm_set1_epi16(static_cast<short>(kBilinearOne - fy));
    const __m128i bottomRow = _mm_set1_epi16(static_cast<short>(fy));
    int32_t t = 0;
    for (; t + 4 <= count; t += 4, out += 4 * kBytes) {
        const __m128i x = ColumnWeights(columns + t);
        const __m128i topWeights = MulShift14(x, topRow);
        const __m128i bottomWeights = kTwoRows ? MulShift14(x, bottomRow) : _mm_setzero_si128();
        const __m128i topHigh = _mm_shuffle_epi32(topWeights, _MM_SHUFFLE(3, 2, 3, 2));
        const __m128i bottomHigh = _mm_shuffle_epi32(bottomWeights, _MM_SHUFFLE(3, 2, 3, 2));
        if (Adjacent<kBytes, 4>(columns + t)) {
            TwoPixels<kBytes, kTwoRows, true>(out, top, bottom, columns + t, topWeights,
                                              bottomWeights);
            TwoPixels<kBytes, kTwoRows, true>(out + 2 * kBytes, top, bottom, columns + t + 2,
                                              topHigh, bottomHigh);
        } else {
            TwoPixels<kBytes, kTwoRows, false>(out, top, bottom, columns + t, topWeights,
                                               bottomWeights);
            TwoPixels<kBytes, kTwoRows, false>(out + 2 * kBytes, top, bottom, columns + t + 2,
                                               topHigh, bottomHigh);
        }
    }
    return t;
}

}  // namespace bilinear_sse2

// A row of the interpolation: whole groups of pixels in registers, the rest by the scalar row. A
// row at fy = 0 (the first and last rows, and rows that meet a source row exactly) reads only the
// top row.
template <int kBytes>
void BilinearRowSse2(uint8_t* out, const uint8_t* top, const uint8_t* bottom, int32_t fy,
                     const BilinearColumn* columns, int32_t count) {
    static_assert(kBytes == 3 || kBytes == 4, "8-bit rows gain nothing from gathering in registers");
    const int32_t done =
        fy == 0 ? bilinear_sse2::PixelRuns<kBytes, false>(out, top, bottom, fy, columns, count)
                : bilinear_sse2::PixelRuns<kBytes, true>(out, top, bottom, fy, columns, count);
    BilinearRowScalar<kBytes>(out + done * kBytes, top, bottom, fy, columns + done, count - done);
}

}  // namespace gfx

#endif  // __SSE2__
