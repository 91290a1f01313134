#pragma once

// The SSE2 body of InvertRows, identical in result to the scalar one: aligned 16-byte blocks
// between a first and last block that are read before anything is written and stored last (a
// complement is not idempotent, so each byte must be complemented from its value before the
// call). Rows that follow each other without a gap are one run.
#if defined(__SSE2__)

#include <emmintrin.h>

#include <cstddef>
#include <cstdint>

#include "graphics/raster/invert_rows.h"

namespace gfx::sse2 {

// The rows as runs: `count` runs of `length` bytes, `step` apart.
struct InvertRuns {
    uint8_t* first;
    size_t length;
    int32_t count;
    ptrdiff_t step;
};

inline InvertRuns InvertRunsOf(uint8_t* base, int32_t pitch, int32_t height, size_t rowBytes) {
    if (height <= 0 || rowBytes == 0) return {base, 0, 0, 0};
    if (pitch > 0 && static_cast<size_t>(pitch) == rowBytes) {
        return {base, rowBytes * static_cast<size_t>(height), 1, 0};
    }
    return {base, rowBytes, height, pitch};
}

inline void InvertShortRun(uint8_t* p, size_t n) {
    for (size_t k = 0; k < n; ++k) p[k] = static_cast<uint8_t>(~p[k]);
}

// A run of at least 16 bytes.
inline void InvertRun(uint8_t* p, size_t n) {
    const __m128i ones = _mm_set1_epi32(-1);
    uint8_t* const end = p + n;
    const __m128i head = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const __m128i tail = _mm_loadu_si128(reinterpret_cast<const __m128i*>(end - 16));
    uint8_t* a = reinterpret_cast<uint8_t*>((reinterpret_cast<uintptr_t>(p) + 15) & ~uintptr_t{15});
    for (; end - a >= 64; a += 64) {
        __m128i* at = reinterpret_cast<__m128i*>(a);
        _mm_store_si128(at, _mm_xor_si128(_mm_load_si128(at), ones));
        _mm_store_si128(at + 1, _mm_xor_si128(_mm_load_si128(at + 1), ones));
        _mm_store_si128(at + 2, _mm_xor_si128(_mm_load_si128(at + 2), ones));
        _mm_store_si128(at + 3, _mm_xor_si128(_mm_load_si128(at + 3), ones));
    }
    for (; end - a >= 16; a += 16) {
        __m128i* at = reinterpret_cast<__m128i*>(a);
        _mm_store_si128(at, _mm_xor_si128(_mm_load_si128(at), ones));
    }
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p), _mm_xor_si128(head, ones));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(end - 16), _mm_xor_si128(tail, ones));
}

}  // namespace gfx::sse2

namespace gfx {

inline void InvertRowsSse2(uint8_t* base, int32_t pitch, int32_t height, size_t rowBytes) {
    const sse2::InvertRuns runs = sse2::InvertRunsOf(base, pitch, height, rowBytes);
    uint8_t* p = runs.first;
    for (int32_t i = 0; i < runs.count; ++i, p += runs.step) {
        if (runs.length >= 16) {
            sse2::InvertRun(p, runs.length);
        } else {
            sse2::InvertShortRun(p, runs.length);
        }
    }
}

}  // namespace gfx

#endif  // __SSE2__
