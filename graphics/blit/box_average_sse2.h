#pragma once

// The SSE2 fixed-point box average, identical in result to BoxAverageFixed: the channels of a
// pixel are weighed and summed in one register, and the final division by the cell area is an
// exact multiplication by its reciprocal.
#if defined(__SSE2__)

#include <emmintrin.h>

#include <cstddef>
#include <cstdint>

#include "graphics/blit/box_average.h"
#include "graphics/core/little_endian.h"

namespace gfx {

// Division of any n below 2^30 by a fixed divisor d >= 1 as (n * multiplier) >> shift, with
// shift = 30 + ceil(log2 d) and multiplier = ceil(2^shift / d). The multiplier exceeds
// 2^shift / d by e < d <= 2^(shift - 30), so n * e < 2^shift and the quotient is never rounded
// up past floor(n / d). The box sums stay below 2^30: 255 times a weight total of at most
// rx * ry * 65536 < 2^22.
struct ExactDivisor {
    uint32_t multiplier;
    int shift;

    explicit ExactDivisor(uint32_t d) {
        int log = 0;
        while ((uint64_t{1} << log) < d) ++log;
        shift = 30 + log;
        multiplier = static_cast<uint32_t>(((uint64_t{1} << shift) + d - 1) / d);
    }
    uint32_t Divide(uint32_t n) const {
        return static_cast<uint32_t>((uint64_t{n} * multiplier) >> shift);
    }
};

namespace box_sse2 {

template <int kBytes>
inline uint32_t LoadPixel(const uint8_t* p) {
    if constexpr (kBytes == 4) {
        return LoadLE32(p);
    } else {
        return LoadLE24(p);
    }
}

// sums += channels * weight in four 32-bit lanes, for a weight of at most 65536: pmaddwd of
// (v, v << 7) with (weight & 127, weight >> 7).
inline __m128i AddWeighted(__m128i sums, uint32_t pixel, uint32_t weight) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i words = _mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(pixel)), zero);
    const __m128i values = _mm_unpacklo_epi16(words, _mm_slli_epi16(words, 7));
    const __m128i split = _mm_set1_epi32(static_cast<int>((weight & 127) | ((weight >> 7) << 16)));
    return _mm_add_epi32(sums, _mm_madd_epi16(values, split));
}

// The four quotients of the lanes, each below 2^14, as bytes (saturated at 255) in the low lanes.
inline __m128i DivideLanes(__m128i sums, const ExactDivisor& divisor) {
    const __m128i multiplier = _mm_set1_epi32(static_cast<int>(divisor.multiplier));
    const __m128i shift = _mm_cvtsi32_si128(divisor.shift);
    const __m128i even = _mm_srl_epi64(_mm_mul_epu32(sums, multiplier), shift);
    const __m128i odd = _mm_srl_epi64(_mm_mul_epu32(_mm_srli_epi64(sums, 32), multiplier), shift);
    const __m128i quotients = _mm_or_si128(even, _mm_slli_epi64(odd, 32));
    const __m128i words = _mm_packs_epi32(quotients, quotients);
    return _mm_packus_epi16(words, words);
}

// Cells of whole pixels (both steps whole multiples of a pixel, as in reductions to a half or a
// quarter): every weight is 65536, so the channels are summed as 16-bit words (below 64 * 255)
// and weighed once. Columns go two at a time where the cell has two left.
template <int kBytes>
inline __m128i WholeCellSums(const uint8_t* first, int32_t pitch, int32_t columns, int32_t rows) {
    const __m128i zero = _mm_setzero_si128();
    __m128i words = _mm_setzero_si128();
    for (int32_t r = 0; r < rows; ++r) {
        const uint8_t* s = first + static_cast<ptrdiff_t>(r) * pitch;
        int32_t k = 0;
        if constexpr (kBytes == 4) {
            for (; k + 4 <= columns; k += 4, s += 16) {
                const __m128i four = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s));
                words = _mm_add_epi16(words, _mm_add_epi16(_mm_unpacklo_epi8(four, zero),
                                                           _mm_unpackhi_epi8(four, zero)));
            }
        }
        for (; k + 2 <= columns; k += 2, s += 2 * kBytes) {
            const uint64_t pair = uint64_t{LoadPixel<kBytes>(s)} |
                                  (uint64_t{LoadPixel<kBytes>(s + kBytes)} << 32);
            words = _mm_add_epi16(
                words, _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(&pair)), zero));
        }
        if (k < columns) {
            words = _mm_add_epi16(
                words, _mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(LoadPixel<kBytes>(s))), zero));
        }
    }
    words = _mm_add_epi16(words, _mm_srli_si128(words, 8));
    return _mm_slli_epi32(_mm_unpacklo_epi16(words, zero), 16);
}

}  // namespace box_sse2

template <int kBytes>
void BoxAverageFixedSse2(const SmoothScaleCall& c, const SmoothRatios& ratios) {
    static_assert(kBytes == 3 || kBytes == 4, "channels are summed as one pixel a register");
    const BoxSteps steps(ratios);
    const ExactDivisor divisor(steps.area);
    const int32_t cellColumns = static_cast<int32_t>(steps.x / kBoxOne);
    const int32_t cellRows = static_cast<int32_t>(steps.y / kBoxOne);
    // Cells of whole pixels (1 to 63 of them), all inside the rectangle.
    const bool wholeCells = steps.x % kBoxOne == 0 && steps.y % kBoxOne == 0 &&
                            int64_t{cellColumns} * c.width <= c.sw &&
                            int64_t{cellRows} * c.height <= c.sh;
    for (int32_t i = 0; i < c.height; ++i) {
        uint8_t* row = c.DestinationRow(i, kBytes);
        const uint64_t top = uint64_t{steps.y} * static_cast<uint32_t>(i);
        for (int32_t j = 0; j < c.width; ++j) {
            const uint64_t left = uint64_t{steps.x} * static_cast<uint32_t>(j);
            uint8_t* out = row + static_cast<ptrdiff_t>(c.DestinationColumn(j)) * kBytes;
            __m128i sums = _mm_setzero_si128();
            if (wholeCells) {
                sums = box_sse2::WholeCellSums<kBytes>(
                    c.SourceRow(i * cellRows, kBytes) +
                        static_cast<ptrdiff_t>(j) * cellColumns * kBytes,
                    c.srcPitch, cellColumns, cellRows);
            } else {
                ForEachBoxTap(top, steps.y, c.sh - 1, [&](int32_t r, uint32_t rowWeight) {
                    const uint8_t* s = c.SourceRow(r, kBytes);
                    ForEachBoxTap(left, steps.x, c.sw - 1, [&](int32_t col, uint32_t columnWeight) {
                        const uint32_t weight =
                            rowWeight == kBoxOne
                                ? columnWeight
                                : static_cast<uint32_t>((uint64_t{rowWeight} * columnWeight) >> 16);
                        sums = box_sse2::AddWeighted(
                            sums, box_sse2::LoadPixel<kBytes>(s + col * kBytes), weight);
                    });
                });
            }
            const uint32_t bytes =
                static_cast<uint32_t>(_mm_cvtsi128_si32(box_sse2::DivideLanes(sums, divisor)));
            if constexpr (kBytes == 4) {
                StoreLE32(out, bytes);
            } else {
                StoreLE24(out, bytes);
            }
        }
    }
}

}  // namespace gfx

#endif  // __SSE2__
