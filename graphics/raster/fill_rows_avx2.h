#pragma once

// The AVX2 bodies of FillRows8, 16, 24 and 32, identical in result to the scalar ones: the SSE2
// bodies' runs with 32-byte stores (24-bit runs rotate through three vectors, 96 bytes being
// whole pixels). Runs shorter than 32 bytes take the SSE2 stores. Compiled for AVX2 by a function
// attribute in a baseline build and only called where the processor has AVX2.
#include "graphics/core/instruction_sets.h"

#if defined(GFX_HAVE_X86_TARGETS)

#include <immintrin.h>

#include <cstddef>
#include <cstdint>

#include "graphics/raster/fill_rows_sse2.h"

namespace gfx::avx2 {

__attribute__((target("avx2"))) inline __m256i Load32(const uint8_t* p) {
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
}

template <int kBytes>
__attribute__((target("avx2"))) inline void FillRun(uint8_t* p, size_t n,
                                                    const sse2::FillPattern& pattern) {
    if (n < 32) {
        sse2::FillRun<kBytes>(p, n, pattern);
        return;
    }
    const uint8_t* bytes = pattern.bytes;
    uint8_t* const end = p + n;
    uint8_t* a = reinterpret_cast<uint8_t*>((reinterpret_cast<uintptr_t>(p) + 31) & ~uintptr_t{31});
    const uint8_t* from = bytes + sse2::PhaseAt<kBytes>(static_cast<size_t>(a - p));
    const __m256i v0 = Load32(from), v1 = Load32(from + 32), v2 = Load32(from + 64);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), Load32(bytes));
    for (; end - a >= 96; a += 96) {
        _mm256_store_si256(reinterpret_cast<__m256i*>(a), v0);
        _mm256_store_si256(reinterpret_cast<__m256i*>(a + 32), v1);
        _mm256_store_si256(reinterpret_cast<__m256i*>(a + 64), v2);
    }
    if (end - a >= 32) {
        _mm256_store_si256(reinterpret_cast<__m256i*>(a), v0);
        if (end - a >= 64) _mm256_store_si256(reinterpret_cast<__m256i*>(a + 32), v1);
    }
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(end - 32),
                        Load32(bytes + sse2::PhaseAt<kBytes>(n - 32)));
}

}  // namespace gfx::avx2

namespace gfx {

template <int kBytes>
__attribute__((target("avx2"))) void FillRowsAvx2(uint8_t* base, int32_t pitch,
                                                  const FillArea& area, uint32_t value) {
    const sse2::FillPattern pattern = sse2::MakeFillPattern<kBytes>(value);
    const sse2::FillRuns runs = sse2::RunsOf<kBytes>(base, pitch, area);
    uint8_t* p = runs.first;
    for (int32_t i = 0; i < runs.count; ++i, p += runs.step) {
        avx2::FillRun<kBytes>(p, runs.length, pattern);
    }
}

}  // namespace gfx

#endif  // GFX_HAVE_X86_TARGETS
