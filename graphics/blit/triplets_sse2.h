#pragma once

// 24-bit pixels in SSE2: sixteen 3-byte pixels fill exactly three registers (48 bytes), and a
// byte mask is turned into a per-pixel mask by shifting across the three registers.
#if defined(__SSE2__)

#include <emmintrin.h>

#include <cstdint>

namespace gfx::sse2 {

struct Triplets {
    __m128i r[3];
};

// Byte k of the result is byte k + N of the 48-byte block (zero past its end).
template <int N>
inline Triplets ShiftDown(const Triplets& t) {
    return {{_mm_or_si128(_mm_srli_si128(t.r[0], N), _mm_slli_si128(t.r[1], 16 - N)),
             _mm_or_si128(_mm_srli_si128(t.r[1], N), _mm_slli_si128(t.r[2], 16 - N)),
             _mm_srli_si128(t.r[2], N)}};
}

// Byte k of the result is byte k - N of the 48-byte block (zero before its start).
template <int N>
inline Triplets ShiftUp(const Triplets& t) {
    return {{_mm_slli_si128(t.r[0], N),
             _mm_or_si128(_mm_slli_si128(t.r[1], N), _mm_srli_si128(t.r[0], 16 - N)),
             _mm_or_si128(_mm_slli_si128(t.r[2], N), _mm_srli_si128(t.r[1], 16 - N))}};
}

// A key's three bytes repeated over the block, and the mask of every pixel's first byte.
struct TripletConstants {
    Triplets key;
    Triplets firstBytes;

    explicit TripletConstants(uint32_t keyValue) {
        alignas(16) uint8_t k[48];
        alignas(16) uint8_t f[48];
        for (int b = 0; b < 48; ++b) {
            k[b] = static_cast<uint8_t>(keyValue >> (8 * (b % 3)));
            f[b] = b % 3 == 0 ? 0xFF : 0;
        }
#pragma GCC unroll 3
        for (int i = 0; i < 3; ++i) {
            key.r[i] = _mm_load_si128(reinterpret_cast<const __m128i*>(k + 16 * i));
            firstBytes.r[i] = _mm_load_si128(reinterpret_cast<const __m128i*>(f + 16 * i));
        }
    }
};

// The first byte of each pixel set where the pixel equals the key; every other byte clear.
inline Triplets EqualFirstBytes(const Triplets& pixels, const TripletConstants& c) {
    Triplets eq;
#pragma GCC unroll 3
    for (int i = 0; i < 3; ++i) eq.r[i] = _mm_cmpeq_epi8(pixels.r[i], c.key.r[i]);
    const Triplets eq1 = ShiftDown<1>(eq);
    const Triplets eq2 = ShiftDown<2>(eq);
    Triplets first;
#pragma GCC unroll 3
    for (int i = 0; i < 3; ++i) {
        first.r[i] = _mm_and_si128(_mm_and_si128(eq.r[i], c.firstBytes.r[i]),
                                   _mm_and_si128(eq1.r[i], eq2.r[i]));
    }
    return first;
}

// Whether no byte is set.
inline bool IsClear(const Triplets& t) {
    return _mm_movemask_epi8(_mm_or_si128(_mm_or_si128(t.r[0], t.r[1]), t.r[2])) == 0;
}

// Sets all three bytes of each pixel whose first byte is set.
inline Triplets WholePixels(const Triplets& first) {
    const Triplets up1 = ShiftUp<1>(first);
    const Triplets up2 = ShiftUp<2>(first);
    Triplets all;
#pragma GCC unroll 3
    for (int i = 0; i < 3; ++i) {
        all.r[i] = _mm_or_si128(first.r[i], _mm_or_si128(up1.r[i], up2.r[i]));
    }
    return all;
}

// All three bytes of each pixel set where the pixel equals the key, none elsewhere.
inline Triplets EqualPixels(const Triplets& pixels, const TripletConstants& c) {
    return WholePixels(EqualFirstBytes(pixels, c));
}

}  // namespace gfx::sse2

#endif  // __SSE2__
