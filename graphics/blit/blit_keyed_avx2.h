#pragma once

// The AVX2 body of the 32-bit keyed routine, identical in result to KeyedScalar<Pixel32>: eight
// pixels a register, the destination kept in the lanes the keys refuse. Compiled for AVX2 by a
// function attribute in a baseline build and only called where the processor has AVX2.
#if defined(GFX_HAVE_X86_TARGETS)

#include <immintrin.h>

#include <cstdint>

#include "graphics/blit/blit_keyed.h"
#include "graphics/blit/blit_keyed_sse2.h"
#include "graphics/blit/sse2_lanes.h"
#include "graphics/core/blit_flags.h"

namespace gfx {

__attribute__((target("avx2"))) inline int32_t Keyed32Avx2(
    uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy, int32_t width, int32_t height,
    const uint8_t* src, int32_t srcPitch, int32_t sx, int32_t sy, uint32_t flags, uint32_t srcKey,
    uint32_t dstKey) {
    // Plain copies (the SSE2 row copy is as fast), horizontally mirrored rows and a surface drawn
    // onto itself keep the SSE2 body's handling.
    if ((flags & (BLIT_SRCKEY | BLIT_DESTKEY)) == 0 || (flags & BLIT_MIRROR_X) != 0 ||
        sse2::RowsOverlap(dst, dstPitch, dx, dy, src, srcPitch, sx, sy, width, height,
                          Pixel32::kBytes)) {
        return KeyedSse2<Pixel32>(dst, dstPitch, dx, dy, width, height, src, srcPitch, sx, sy,
                                  flags, srcKey, dstKey);
    }
    const bool mirrorY = (flags & BLIT_MIRROR_Y) != 0;
    const bool useSrcKey = (flags & BLIT_SRCKEY) != 0;
    const bool useDstKey = (flags & BLIT_DESTKEY) != 0;
    const __m256i srcKeys = _mm256_set1_epi32(static_cast<int>(srcKey));
    const __m256i dstKeys = _mm256_set1_epi32(static_cast<int>(dstKey));
    const __m256i ones = _mm256_set1_epi32(-1);
    for (int32_t i = 0; i < height; ++i) {
        const int32_t row = mirrorY ? sy + height - 1 - i : sy + i;
        uint8_t* d = PixelAt<Pixel32>(dst, dstPitch, dx, dy + i);
        const uint8_t* s = PixelAt<Pixel32>(src, srcPitch, sx, row);
        int32_t j = 0;
        for (; j + 8 <= width; j += 8, d += 32, s += 32) {
            const __m256i sv = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s));
            const __m256i dv = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(d));
            __m256i keep = _mm256_setzero_si256();
            if (useSrcKey) keep = _mm256_cmpeq_epi32(sv, srcKeys);
            if (useDstKey) {
                const __m256i other = _mm256_xor_si256(_mm256_cmpeq_epi32(dv, dstKeys), ones);
                keep = _mm256_or_si256(keep, other);
            }
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(d), _mm256_blendv_epi8(sv, dv, keep));
        }
        // The last 0 to 7 pixels of the row take the scalar rule itself.
        if (j < width) {
            KeyedScalar<Pixel32>(dst, dstPitch, dx + j, dy + i, width - j, 1, src, srcPitch,
                                 sx + j, row, flags & ~BLIT_MIRROR_Y, srcKey, dstKey);
        }
    }
    return 0;
}

}  // namespace gfx

#endif  // GFX_HAVE_X86_TARGETS
