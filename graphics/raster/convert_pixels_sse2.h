#pragma once

// SSE2 bodies of the channel re-pack (direct to direct) and of the palette lookup and pack
// (indexed to direct), identical in result to ConvertRepack and ConvertLookupPack: four pixels
// at a time held as 32-bit lanes, the re-pack by the steps of its RepackPlan, the lookup through
// a table of the 256 packed colours. Pixels left over at a row's end take the same steps one by
// one. No load or store reaches past a row's last pixel.
#if defined(__SSE2__)

#include <emmintrin.h>

#include <cstddef>
#include <cstdint>

#include "graphics/core/little_endian.h"
#include "graphics/raster/convert_pixels.h"
#include "graphics/raster/convert_routines.h"

namespace gfx {
namespace sse2 {

// Four pixels of `Bytes` bytes from `p` into the low bits of four lanes.
template <int Bytes>
inline __m128i LoadPixels4(const uint8_t* p) {
    if constexpr (Bytes == 4) {
        return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    } else if constexpr (Bytes == 2) {
        return _mm_unpacklo_epi16(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)),
                                  _mm_setzero_si128());
    } else {
        // Exactly the twelve bytes, then each pixel's three bytes moved to the start of a lane;
        // the byte above each pixel is the next one's, which no step keeps.
        const __m128i v = _mm_unpacklo_epi64(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)),
                                             _mm_cvtsi32_si128(static_cast<int>(LoadLE32(p + 8))));
        const __m128i ab = _mm_unpacklo_epi32(v, _mm_srli_si128(v, 3));
        const __m128i cd = _mm_unpacklo_epi32(_mm_srli_si128(v, 6), _mm_srli_si128(v, 9));
        return _mm_unpacklo_epi64(ab, cd);
    }
}

// Stores the low `Bytes` bytes of each of four lanes, which hold no higher bits (at 2 and 3
// bytes), as four consecutive pixels.
template <int Bytes>
inline void StorePixels4(uint8_t* p, __m128i v) {
    if constexpr (Bytes == 4) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v);
    } else if constexpr (Bytes == 2) {
        // Sign-extended from bit 15 so that the saturating pack keeps the low 16 bits.
        const __m128i s = _mm_srai_epi32(_mm_slli_epi32(v, 16), 16);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(p), _mm_packs_epi32(s, s));
    } else {
        // Within each 64-bit half: pixel 0's three bytes, then pixel 1's; then the upper half's
        // six bytes moved down next to the lower half's.
        const __m128i low = _mm_set_epi32(0, 0x00FFFFFF, 0, 0x00FFFFFF);
        const __m128i high = _mm_set_epi32(0xFFFF, static_cast<int>(0xFF000000u), 0xFFFF,
                                           static_cast<int>(0xFF000000u));
        const __m128i halves = _mm_or_si128(_mm_and_si128(v, low),
                                            _mm_and_si128(_mm_srli_epi64(v, 8), high));
        const __m128i bytes = _mm_or_si128(
            _mm_and_si128(halves, _mm_set_epi32(0, 0, 0xFFFF, -1)),
            _mm_slli_si128(_mm_srli_si128(halves, 8), 6));
        _mm_storel_epi64(reinterpret_cast<__m128i*>(p), bytes);
        StoreLE32(p + 8, static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_srli_si128(bytes, 8))));
    }
}

inline uint32_t LoadPixel(const uint8_t* p, int bytes) {
    return bytes == 2 ? LoadLE16(p) : bytes == 3 ? LoadLE24(p) : LoadLE32(p);
}

inline void StorePixel(uint8_t* p, int bytes, uint32_t v) {
    if (bytes == 2) {
        StoreLE16(p, v);
    } else if (bytes == 3) {
        StoreLE24(p, v);
    } else {
        StoreLE32(p, v);
    }
}

// A RepackPlan's steps as registers: keep masks and shift counts.
struct RepackLanes {
    __m128i keep[3];
    __m128i left[3];
    __m128i right[3];

    explicit RepackLanes(const RepackPlan& plan) {
        for (int k = 0; k < 3; ++k) {
            keep[k] = _mm_set1_epi32(static_cast<int>(plan.steps[k].keep));
            left[k] = _mm_cvtsi32_si128(static_cast<int>(plan.steps[k].left));
            right[k] = _mm_cvtsi32_si128(static_cast<int>(plan.steps[k].right));
        }
    }

    template <int Steps>
    __m128i Apply(__m128i v) const {
        __m128i out = _mm_setzero_si128();
        for (int k = 0; k < Steps; ++k) {
            const __m128i moved = _mm_sll_epi32(_mm_and_si128(v, keep[k]), left[k]);
            out = _mm_or_si128(out, _mm_srl_epi32(moved, right[k]));
        }
        return out;
    }
};

template <int SourceBytes, int TargetBytes, int Steps>
void RepackRows(const ConvertJob& job, const RepackPlan& plan) {
    const RepackLanes lanes(plan);
    for (int32_t y = 0; y < job.height; ++y) {
        if (job.progress) job.progress(job.userData, y * 100 / job.height);
        const uint8_t* from = job.source + static_cast<ptrdiff_t>(y) * job.sourcePitch;
        uint8_t* to = job.target + static_cast<ptrdiff_t>(y) * job.targetPitch;
        int32_t i = 0;
        for (; i + 4 <= job.width; i += 4) {
            StorePixels4<TargetBytes>(to, lanes.Apply<Steps>(LoadPixels4<SourceBytes>(from)));
            from += 4 * SourceBytes;
            to += 4 * TargetBytes;
        }
        for (; i < job.width; ++i) {
            StorePixel(to, TargetBytes, plan.Apply(LoadPixel(from, SourceBytes)));
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
void LookupPackRows(const ConvertJob& job, const uint32_t (&table)[256]) {
    for (int32_t y = 0; y < job.height; ++y) {
        if (job.progress) job.progress(job.userData, y * 100 / job.height);
        const uint8_t* from = job.source + static_cast<ptrdiff_t>(y) * job.sourcePitch;
        uint8_t* to = job.target + static_cast<ptrdiff_t>(y) * job.targetPitch;
        int32_t i = 0;
        for (; i + 4 <= job.width; i += 4) {
            const __m128i v = _mm_setr_epi32(
                static_cast<int>(table[from[i]]), static_cast<int>(table[from[i + 1]]),
                static_cast<int>(table[from[i + 2]]), static_cast<int>(table[from[i + 3]]));
            StorePixels4<TargetBytes>(to, v);
            to += 4 * TargetBytes;
        }
        for (; i < job.width; ++i) {
            StorePixel(to, TargetBytes, table[from[i]]);
            to += TargetBytes;
        }
    }
}

}  // namespace sse2

inline Result ConvertRepackSse2(const ConvertJob& job) {
    const RepackPlan plan = MakeRepackPlan(job.sourceLayout, job.targetLayout);
    switch (job.sourceLayout.bytesPerPixel) {
        case 2:
            sse2::RepackRowsTo<2>(job, plan);
            break;
        case 3:
            sse2::RepackRowsTo<3>(job, plan);
            break;
        default:
            sse2::RepackRowsTo<4>(job, plan);
            break;
    }
    return ResultOk;
}

inline Result ConvertLookupPackSse2(const ConvertJob& job) {
    uint32_t table[256];
    MakePackTable(job.sourceEntries, job.targetLayout, table);
    switch (job.targetLayout.bytesPerPixel) {
        case 2:
            sse2::LookupPackRows<2>(job, table);
            break;
        case 3:
            sse2::LookupPackRows<3>(job, table);
            break;
        default:
            sse2::LookupPackRows<4>(job, table);
            break;
    }
    return ResultOk;
}

}  // namespace gfx

#endif  // __SSE2__
