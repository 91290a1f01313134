#pragma once

// AVX2 bodies of the channel re-pack and of the palette lookup and pack, identical in result to
// ConvertRepack and ConvertLookupPack: eight pixels at a time as 32-bit lanes, 3-byte pixels
// gathered and packed by byte shuffles. Compiled for AVX2 by a function attribute in a baseline
// build and only called where the processor has AVX2. Loads and stores of 16 bytes may cover up
// to four bytes past the eight pixels, so the wide steps stop while two more pixels of the row
// follow; the rest of a row takes the SSE2 steps and then the single-pixel ones.
#include "graphics/core/instruction_sets.h"

#if defined(GFX_HAVE_X86_TARGETS)

#include <immintrin.h>

#include <cstddef>
#include <cstdint>

#include "graphics/raster/convert_pixels.h"
#include "graphics/raster/convert_pixels_sse2.h"
#include "graphics/raster/convert_routines.h"

namespace gfx {
namespace avx2 {

// Pixels 0-3 of twelve bytes into four lanes, the byte above each pixel zero.
__attribute__((target("avx2"))) inline __m128i Spread3(__m128i v) {
    return _mm_shuffle_epi8(v, _mm_setr_epi8(0, 1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1));
}

// Four lanes' low three bytes packed into the first twelve bytes.
__attribute__((target("avx2"))) inline __m128i Pack3(__m128i v) {
    return _mm_shuffle_epi8(v, _mm_setr_epi8(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1));
}

template <int Bytes>
__attribute__((target("avx2"))) inline __m256i LoadPixels8(const uint8_t* p) {
    if constexpr (Bytes == 4) {
        return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
    } else if constexpr (Bytes == 2) {
        return _mm256_cvtepu16_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)));
    } else {
        const __m128i low = Spread3(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)));
        const __m128i high = Spread3(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 12)));
        return _mm256_inserti128_si256(_mm256_castsi128_si256(low), high, 1);
    }
}

// Lanes hold no bits above the target's pixel size.
template <int Bytes>
__attribute__((target("avx2"))) inline void StorePixels8(uint8_t* p, __m256i v) {
    if constexpr (Bytes == 4) {
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v);
    } else if constexpr (Bytes == 2) {
        const __m128i packed =
            _mm_packus_epi32(_mm256_castsi256_si128(v), _mm256_extracti128_si256(v, 1));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p), packed);
    } else {
        // The second store covers the first one's four spare bytes; its own four fall on the
        // next pixels, which are written after.
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p), Pack3(_mm256_castsi256_si128(v)));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p + 12),
                         Pack3(_mm256_extracti128_si256(v, 1)));
    }
}

template <int Steps>
__attribute__((target("avx2"))) inline __m256i ApplySteps(__m256i v, const __m256i* keep,
                                                          const __m128i* left,
                                                          const __m128i* right) {
    __m256i out = _mm256_setzero_si256();
    for (int k = 0; k < Steps; ++k) {
        const __m256i moved = _mm256_sll_epi32(_mm256_and_si256(v, keep[k]), left[k]);
        out = _mm256_or_si256(out, _mm256_srl_epi32(moved, right[k]));
    }
    return out;
}

// How many pixels of a row of `width` the eight-pixel steps cover.
template <int SourceBytes, int TargetBytes>
constexpr int32_t WidePixels(int32_t width) {
    const int32_t spare = (SourceBytes == 3 || TargetBytes == 3) ? 2 : 0;
    return width >= 8 + spare ? (width - spare) / 8 * 8 : 0;
}

template <int SourceBytes, int TargetBytes, int Steps>
__attribute__((target("avx2"))) void RepackRows(const ConvertJob& job, const RepackPlan& plan) {
    __m256i keep[3];
    __m128i left[3], right[3];
    for (int k = 0; k < 3; ++k) {
        keep[k] = _mm256_set1_epi32(static_cast<int>(plan.steps[k].keep));
        left[k] = _mm_cvtsi32_si128(static_cast<int>(plan.steps[k].left));
        right[k] = _mm_cvtsi32_si128(static_cast<int>(plan.steps[k].right));
    }
    const sse2::RepackLanes lanes(plan);
    const int32_t wide = WidePixels<SourceBytes, TargetBytes>(job.width);
    for (int32_t y = 0; y < job.height; ++y) {
        if (job.progress) job.progress(job.userData, y * 100 / job.height);
        const uint8_t* from = job.source + static_cast<ptrdiff_t>(y) * job.sourcePitch;
        uint8_t* to = job.target + static_cast<ptrdiff_t>(y) * job.targetPitch;
        int32_t i = 0;
        for (; i < wide; i += 8) {
            StorePixels8<TargetBytes>(
                to, ApplySteps<Steps>(LoadPixels8<SourceBytes>(from), keep, left, right));
            from += 8 * SourceBytes;
            to += 8 * TargetBytes;
        }
        for (; i + 4 <= job.width; i += 4) {
            sse2::StorePixels4<TargetBytes>(
                to, lanes.Apply<Steps>(sse2::LoadPixels4<SourceBytes>(from)));
            from += 4 * SourceBytes;
            to += 4 * TargetBytes;
        }
        for (; i < job.width; ++i) {
            sse2::StorePixel(to, TargetBytes, plan.Apply(sse2::LoadPixel(from, SourceBytes)));
            from += SourceBytes;
            to += TargetBytes;
        }
    }
}

template <int SourceBytes, int TargetBytes>
void RepackRowsBySteps(const ConvertJob& job, const RepackPlan& plan) {
    switch (plan.count) {
        case 0:
        case 1:
            RepackRows<SourceBytes, TargetBytes, 1>(job, plan);
            break;
        case 2:
            RepackRows<SourceBytes, TargetBytes, 2>(job, plan);
            break;
        default:
            RepackRows<SourceBytes, TargetBytes, 3>(job, plan);
            break;
    }
}

template <int SourceBytes>
void RepackRowsTo(const ConvertJob& job, const RepackPlan& plan) {
    switch (job.targetLayout.bytesPerPixel) {
        case 2:
            RepackRowsBySteps<SourceBytes, 2>(job, plan);
            break;
        case 3:
            RepackRowsBySteps<SourceBytes, 3>(job, plan);
            break;
        default:
            RepackRowsBySteps<SourceBytes, 4>(job, plan);
            break;
    }
}

template <int TargetBytes>
__attribute__((target("avx2"))) void LookupPackRows(const ConvertJob& job,
                                                    const uint32_t (&table)[256]) {
    const int32_t wide = WidePixels<1, TargetBytes>(job.width);
    for (int32_t y = 0; y < job.height; ++y) {
        if (job.progress) job.progress(job.userData, y * 100 / job.height);
        const uint8_t* from = job.source + static_cast<ptrdiff_t>(y) * job.sourcePitch;
        uint8_t* to = job.target + static_cast<ptrdiff_t>(y) * job.targetPitch;
        int32_t i = 0;
        for (; i < wide; i += 8) {
            // Eight plain loads: the gather instruction is slower on some processors.
            const uint8_t* f = from + i;
            const __m256i v = _mm256_setr_epi32(
                static_cast<int>(table[f[0]]), static_cast<int>(table[f[1]]),
                static_cast<int>(table[f[2]]), static_cast<int>(table[f[3]]),
                static_cast<int>(table[f[4]]), static_cast<int>(table[f[5]]),
                static_cast<int>(table[f[6]]), static_cast<int>(table[f[7]]));
            StorePixels8<TargetBytes>(to, v);
            to += 8 * TargetBytes;
        }
        for (; i < job.width; ++i) {
            sse2::StorePixel(to, TargetBytes, table[from[i]]);
            to += TargetBytes;
        }
    }
}

}  // namespace avx2

inline Result ConvertRepackAvx2(const ConvertJob& job) {
    const RepackPlan plan = MakeRepackPlan(job.sourceLayout, job.targetLayout);
    switch (job.sourceLayout.bytesPerPixel) {
        case 2:
            avx2::RepackRowsTo<2>(job, plan);
            break;
        case 3:
            avx2::RepackRowsTo<3>(job, plan);
            break;
        default:
            avx2::RepackRowsTo<4>(job, plan);
            break;
    }
    return ResultOk;
}

inline Result ConvertLookupPackAvx2(const ConvertJob& job) {
    uint32_t table[256];
    MakePackTable(job.sourceEntries, job.targetLayout, table);
    switch (job.targetLayout.bytesPerPixel) {
        case 2:
            avx2::LookupPackRows<2>(job, table);
            break;
        case 3:
            avx2::LookupPackRows<3>(job, table);
            break;
        default:
            avx2::LookupPackRows<4>(job, table);
            break;
    }
    return ResultOk;
}

}  // namespace gfx

#endif  // GFX_HAVE_X86_TARGETS
