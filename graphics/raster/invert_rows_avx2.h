#pragma once

// The AVX2 body of InvertRows, identical in result to the scalar one: the SSE2 body's runs in
// 32-byte blocks; runs shorter than 32 bytes take the SSE2 stores. Compiled for AVX2 by a
// function attribute in a baseline build and only called where the processor has AVX2.
#include "graphics/core/instruction_sets.h"

#if defined(GFX_HAVE_X86_TARGETS)

#include <immintrin.h>

#include <cstddef>
#include <cstdint>

#include "graphics/raster/invert_rows_sse2.h"

namespace gfx::avx2 {

__attribute__((target("avx2"))) inline void InvertRun(uint8_t* p, size_t n) {
    const __m256i ones = _mm256_set1_epi32(-1);
    uint8_t* const end = p + n;
    const __m256i head = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
    const __m256i tail = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(end - 32));
    uint8_t* a = reinterpret_cast<uint8_t*>((reinterpret_cast<uintptr_t>(p) + 31) & ~uintptr_t{31});
    for (; end - a >= 128; a += 128) {
        __m256i* at = reinterpret_cast<__m256i*>(a);
        _mm256_store_si256(at, _mm256_xor_si256(_mm256_load_si256(at), ones));
        _mm256_store_si256(at + 1, _mm256_xor_si256(_mm256_load_si256(at + 1), ones));
        _mm256_store_si256(at + 2, _mm256_xor_si256(_mm256_load_si256(at + 2), ones));
        _mm256_store_si256(at + 3, _mm256_xor_si256(_mm256_load_si256(at + 3), ones));
    }
    for (; end - a >= 32; a += 32) {
        __m256i* at = reinterpret_cast<__m256i*>(a);
        _mm256_store_si256(at, _mm256_xor_si256(_mm256_load_si256(at), ones));
    }
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), _mm256_xor_si256(head, ones));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(end - 32), _mm256_xor_si256(tail, ones));
}

}  // namespace gfx::avx2

namespace gfx {

__attribute__((target("avx2"))) inline void InvertRowsAvx2(uint8_t* base, int32_t pitch,
                                                           int32_t height, size_t rowBytes) {
    const sse2::InvertRuns runs = sse2::InvertRunsOf(base, pitch, height, rowBytes);
    uint8_t* p = runs.first;
    for (int32_t i = 0; i < runs.count; ++i, p += runs.step) {
        if (runs.length >= 32) {
            avx2::InvertRun(p, runs.length);
        } else if (runs.length >= 16) {
            sse2::InvertRun(p, runs.length);
        } else {
            sse2::InvertShortRun(p, runs.length);
        }
    }
}

}  // namespace gfx

#endif  // GFX_HAVE_X86_TARGETS
