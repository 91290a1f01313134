#pragma once

// How the SSE2 blend walks hold pixels in a register: eight 16-bit pixels, four 32-bit pixels, or
// four 24-bit pixels spread to 32-bit lanes (top byte 0) so that they mix, compare and mirror as
// 32-bit pixels do. Each form reads and writes exactly its pixels' bytes, and gives a mask byte's
// value in the 16-bit lanes of its pixel.
#if defined(__SSE2__)

#include <emmintrin.h>

#include <cstdint>
#include <cstring>

#include "graphics/blit/sse2_lanes.h"
#include "graphics/core/pixel_traits.h"

namespace gfx::sse2 {

// Twelve bytes, four 3-byte pixels, to the low three bytes of four 32-bit lanes.
inline __m128i LoadTriplets(const uint8_t* p) {
    uint32_t last;
    std::memcpy(&last, p + 8, sizeof last);
    const __m128i v = _mm_unpacklo_epi64(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)),
                                         _mm_cvtsi32_si128(static_cast<int>(last)));
    const __m128i first = _mm_unpacklo_epi32(v, _mm_srli_si128(v, 3));
    const __m128i second = _mm_unpacklo_epi32(_mm_srli_si128(v, 6), _mm_srli_si128(v, 9));
    return _mm_and_si128(_mm_unpacklo_epi64(first, second), _mm_set1_epi32(0x00FFFFFF));
}

// The low three bytes of four 32-bit lanes back to twelve bytes.
inline void StoreTriplets(uint8_t* p, __m128i v) {
    // Each 64-bit half: its first pixel in bytes 0-2, its second in bytes 3-5.
    const __m128i even = _mm_set_epi32(0, 0x00FFFFFF, 0, 0x00FFFFFF);
    const __m128i odd = _mm_set_epi32(0x00FFFFFF, 0, 0x00FFFFFF, 0);
    const __m128i halves =
        _mm_or_si128(_mm_and_si128(v, even), _mm_srli_epi64(_mm_and_si128(v, odd), 8));
    const __m128i packed =
        _mm_or_si128(_mm_move_epi64(halves), _mm_slli_si128(_mm_srli_si128(halves, 8), 6));
    _mm_storel_epi64(reinterpret_cast<__m128i*>(p), packed);
    const uint32_t last = static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_srli_si128(packed, 8)));
    std::memcpy(p + 8, &last, sizeof last);
}

// Mask bytes of four pixels (held as one little-endian word) in both 16-bit lanes of each
// 32-bit pixel.
inline __m128i MaskInPixelPairs(uint32_t bytes) {
    const __m128i words =
        _mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(bytes)), _mm_setzero_si128());
    return _mm_unpacklo_epi16(words, words);
}

struct WordPixels {
    using Pixel = Pixel16;
    using MaskBits = uint64_t;
    static constexpr int kLanes = 8;
    static __m128i Read(const uint8_t* p) { return Load(p); }
    static void Write(uint8_t* p, __m128i v) { Store(p, v); }
    static __m128i Reverse(__m128i v) { return ReverseWords(v); }
    static __m128i Splat(uint32_t key) { return _mm_set1_epi16(static_cast<short>(key)); }
    static __m128i Equal(__m128i a, __m128i b) { return _mm_cmpeq_epi16(a, b); }
    static MaskBits ReverseMask(MaskBits bits) { return __builtin_bswap64(bits); }
    static __m128i MaskValues(MaskBits bits) {
        return _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(&bits)),
                                 _mm_setzero_si128());
    }
};

struct DwordPixels {
    using Pixel = Pixel32;
    using MaskBits = uint32_t;
    static constexpr int kLanes = 4;
    static __m128i Read(const uint8_t* p) { return Load(p); }
    static void Write(uint8_t* p, __m128i v) { Store(p, v); }
    static __m128i Reverse(__m128i v) { return _mm_shuffle_epi32(v, _MM_SHUFFLE(0, 1, 2, 3)); }
    static __m128i Splat(uint32_t key) { return _mm_set1_epi32(static_cast<int>(key)); }
    static __m128i Equal(__m128i a, __m128i b) { return _mm_cmpeq_epi32(a, b); }
    static MaskBits ReverseMask(MaskBits bits) { return __builtin_bswap32(bits); }
    static __m128i MaskValues(MaskBits bits) { return MaskInPixelPairs(bits); }
};

struct TripletPixels : DwordPixels {
    using Pixel = Pixel24;
    static __m128i Read(const uint8_t* p) { return LoadTriplets(p); }
    static void Write(uint8_t* p, __m128i v) { StoreTriplets(p, v); }
    static __m128i Splat(uint32_t key) { return _mm_set1_epi32(static_cast<int>(key & 0xFFFFFF)); }
};

// The mask bytes of the kLanes pixels from `p` on, in blit order: reversed for mirrored rows,
// where `p` is the lowest source column of the block.
template <class F>
inline typename F::MaskBits ReadMaskBits(const uint8_t* p, bool mirrored) {
    typename F::MaskBits bits;
    std::memcpy(&bits, p, sizeof bits);
    return mirrored ? F::ReverseMask(bits) : bits;
}

}  // namespace gfx::sse2

#endif  // __SSE2__
