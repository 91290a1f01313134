#pragma once

// The pixel forms of blend_lanes_sse2.h on 256-bit registers: sixteen 16-bit or eight 32-bit
// pixels, with the mask byte of each pixel in its 16-bit lanes. Compiled for AVX2 by function
// attributes in a baseline build; only called where the processor has AVX2.
#include "graphics/blit/instruction_sets.h"

#if defined(GFX_HAVE_X86_TARGETS)

#include <immintrin.h>

#include <cstdint>
#include <cstring>

#include "graphics/blit/channel_mix_avx2.h"
#include "graphics/core/pixel_traits.h"

namespace gfx::blend_avx2 {

GFX_BLEND_AVX2 __m256i Read256(const uint8_t* p) {
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
}
GFX_BLEND_AVX2 void Write256(uint8_t* p, __m256i v) {
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v);
}

// Chooses a where `select` is set, b elsewhere.
GFX_BLEND_AVX2 __m256i Select(__m256i select, __m256i a, __m256i b) {
    return _mm256_blendv_epi8(b, a, select);
}

// Sixteen 16-bit pixels; the mask bytes are one 16-byte block.
struct WordPixels {
    using Pixel = Pixel16;
    static constexpr int kLanes = 16;
    GFX_BLEND_AVX2 static __m256i Reverse(__m256i v) {
        v = _mm256_shufflelo_epi16(v, _MM_SHUFFLE(0, 1, 2, 3));
        v = _mm256_shufflehi_epi16(v, _MM_SHUFFLE(0, 1, 2, 3));
        return _mm256_permute4x64_epi64(v, _MM_SHUFFLE(0, 1, 2, 3));
    }
    GFX_BLEND_AVX2 static __m256i Splat(uint32_t key) {
        return _mm256_set1_epi16(static_cast<short>(key));
    }
    GFX_BLEND_AVX2 static __m256i Equal(__m256i a, __m256i b) { return _mm256_cmpeq_epi16(a, b); }
    // The mask bytes of the block from `p` on, reversed for mirrored rows.
    GFX_BLEND_AVX2 static __m128i ReadMask(const uint8_t* p, bool mirrored) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        return mirrored ? _mm_shuffle_epi8(v, _mm_setr_epi8(15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5,
                                                            4, 3, 2, 1, 0))
                        : v;
    }
    GFX_BLEND_AVX2 static bool AllEqual(__m128i mask, uint8_t value) {
        return _mm_movemask_epi8(_mm_cmpeq_epi8(mask, _mm_set1_epi8(static_cast<char>(value)))) ==
               0xFFFF;
    }
    GFX_BLEND_AVX2 static __m256i MaskValues(__m128i mask) { return _mm256_cvtepu8_epi16(mask); }
};

// Eight 32-bit pixels; the mask bytes are one 8-byte block.
struct DwordPixels {
    using Pixel = Pixel32;
    static constexpr int kLanes = 8;
    GFX_BLEND_AVX2 static __m256i Reverse(__m256i v) {
        return _mm256_permutevar8x32_epi32(v, _mm256_setr_epi32(7, 6, 5, 4, 3, 2, 1, 0));
    }
    GFX_BLEND_AVX2 static __m256i Splat(uint32_t key) {
        return _mm256_set1_epi32(static_cast<int>(key));
    }
    GFX_BLEND_AVX2 static __m256i Equal(__m256i a, __m256i b) { return _mm256_cmpeq_epi32(a, b); }
    GFX_BLEND_AVX2 static __m128i ReadMask(const uint8_t* p, bool mirrored) {
        uint64_t bits;
        std::memcpy(&bits, p, sizeof bits);
        if (mirrored) bits = __builtin_bswap64(bits);
        return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(&bits));
    }
    GFX_BLEND_AVX2 static bool AllEqual(__m128i mask, uint8_t value) {
        return (_mm_movemask_epi8(_mm_cmpeq_epi8(mask, _mm_set1_epi8(static_cast<char>(value)))) &
                0xFF) == 0xFF;
    }
    GFX_BLEND_AVX2 static __m256i MaskValues(__m128i mask) {
        const __m256i m = _mm256_cvtepu8_epi32(mask);
        return _mm256_or_si256(m, _mm256_slli_epi32(m, 16));
    }
};

}  // namespace gfx::blend_avx2

#endif  // GFX_HAVE_X86_TARGETS
