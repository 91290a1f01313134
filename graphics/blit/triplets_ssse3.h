#pragma once

// 24-bit pixels with SSSE3 byte shuffles: a block of sixteen 3-byte pixels (48 bytes, three
// registers) is reversed, compared with a key, and turned from one byte per pixel into three.
// Compiled for SSSE3 by function attributes in a baseline build; only called where the processor
// has SSSE3.
#include "graphics/blit/instruction_sets.h"

#if defined(GFX_HAVE_X86_TARGETS)

#include <tmmintrin.h>

#include <array>
#include <cstdint>

#include "graphics/blit/sse2_lanes.h"
#include "graphics/blit/triplets_sse2.h"

namespace gfx::ssse3 {

// A shuffle control: byte k of the result is byte index[k] of the register, or zero for -128.
using ShuffleIndex = std::array<int8_t, 16>;

// The part of register `out` of a reversed block (pixel k taken from pixel 15 - k) that comes
// from register `in` of the block in memory order.
constexpr ShuffleIndex ReversedTripletBytes(int out, int in) {
    ShuffleIndex index{};
    for (int b = 0; b < 16; ++b) {
        const int o = 16 * out + b;
        const int from = 3 * (15 - o / 3) + o % 3;
        index[b] = static_cast<int8_t>(from / 16 == in ? from % 16 : -128);
    }
    return index;
}

// Register `out` of the three-byte spread of sixteen pixel bytes: each byte repeated for the
// three bytes of its pixel.
constexpr ShuffleIndex SpreadPixelBytes(int out) {
    ShuffleIndex index{};
    for (int b = 0; b < 16; ++b) index[b] = static_cast<int8_t>((16 * out + b) / 3);
    return index;
}

// Four pixels of a register to 32-bit lanes (the top byte zero), starting at byte `first`.
constexpr ShuffleIndex TripletsToWords(int first) {
    ShuffleIndex index{};
    for (int b = 0; b < 16; ++b) {
        index[b] = static_cast<int8_t>(b % 4 == 3 ? -128 : first + 3 * (b / 4) + b % 4);
    }
    return index;
}

constexpr ShuffleIndex ReversedBytes() {
    ShuffleIndex index{};
    for (int b = 0; b < 16; ++b) index[b] = static_cast<int8_t>(15 - b);
    return index;
}

inline constexpr ShuffleIndex kReversed[3][3] = {
    {ReversedTripletBytes(0, 0), ReversedTripletBytes(0, 1), ReversedTripletBytes(0, 2)},
    {ReversedTripletBytes(1, 0), ReversedTripletBytes(1, 1), ReversedTripletBytes(1, 2)},
    {ReversedTripletBytes(2, 0), ReversedTripletBytes(2, 1), ReversedTripletBytes(2, 2)},
};
inline constexpr ShuffleIndex kSpread[3] = {SpreadPixelBytes(0), SpreadPixelBytes(1),
                                            SpreadPixelBytes(2)};
inline constexpr ShuffleIndex kToWords = TripletsToWords(0);
// The last four pixels of a block, read from the block's last register (bytes 32-47), sit at
// bytes 4-15 of it, so no byte after the block is read.
inline constexpr ShuffleIndex kLastToWords = TripletsToWords(4);
inline constexpr ShuffleIndex kReversedBytes = ReversedBytes();

__attribute__((target("ssse3"))) inline __m128i Shuffle(__m128i v, const ShuffleIndex& index) {
    return _mm_shuffle_epi8(v, _mm_loadu_si128(reinterpret_cast<const __m128i*>(index.data())));
}

// The block with its sixteen pixels in reverse order.
__attribute__((target("ssse3"))) inline sse2::Triplets Reverse(const sse2::Triplets& t) {
    return {{_mm_or_si128(Shuffle(t.r[2], kReversed[0][2]), Shuffle(t.r[1], kReversed[0][1])),
             _mm_or_si128(
                 _mm_or_si128(Shuffle(t.r[2], kReversed[1][2]), Shuffle(t.r[1], kReversed[1][1])),
                 Shuffle(t.r[0], kReversed[1][0])),
             _mm_or_si128(Shuffle(t.r[1], kReversed[2][1]), Shuffle(t.r[0], kReversed[2][0]))}};
}

// Sixteen bytes in reverse order.
__attribute__((target("ssse3"))) inline __m128i ReverseBytes(__m128i v) {
    return Shuffle(v, kReversedBytes);
}

// One byte per pixel to three.
__attribute__((target("ssse3"))) inline sse2::Triplets Spread(__m128i pixelBytes) {
    return {{Shuffle(pixelBytes, kSpread[0]), Shuffle(pixelBytes, kSpread[1]),
             Shuffle(pixelBytes, kSpread[2])}};
}

// One byte per pixel of the block of sixteen pixels at p, 0xFF where the pixel equals the key
// (its 24 bits in each 32-bit lane of `key`). Reads exactly the block's 48 bytes.
__attribute__((target("ssse3"))) inline __m128i EqualPixelBytes(const uint8_t* p, __m128i key) {
    const __m128i e0 = _mm_cmpeq_epi32(Shuffle(sse2::Load(p), kToWords), key);
    const __m128i e1 = _mm_cmpeq_epi32(Shuffle(sse2::Load(p + 12), kToWords), key);
    const __m128i e2 = _mm_cmpeq_epi32(Shuffle(sse2::Load(p + 24), kToWords), key);
    const __m128i e3 = _mm_cmpeq_epi32(Shuffle(sse2::Load(p + 32), kLastToWords), key);
    return _mm_packs_epi16(_mm_packs_epi32(e0, e1), _mm_packs_epi32(e2, e3));
}

// Where `write` is set the block's bytes, elsewhere the old ones. Written out register by
// register, so that the blocks stay in registers.
inline __m128i Select(__m128i write, __m128i v, __m128i old) {
    return _mm_or_si128(_mm_and_si128(write, v), _mm_andnot_si128(write, old));
}
inline sse2::Triplets Select(const sse2::Triplets& write, const sse2::Triplets& v,
                             const sse2::Triplets& old) {
    return {{Select(write.r[0], v.r[0], old.r[0]), Select(write.r[1], v.r[1], old.r[1]),
             Select(write.r[2], v.r[2], old.r[2])}};
}

inline sse2::Triplets LoadBlock(const uint8_t* p) {
    return {{sse2::Load(p), sse2::Load(p + 16), sse2::Load(p + 32)}};
}
inline void StoreBlock(uint8_t* p, const sse2::Triplets& t) {
    sse2::Store(p, t.r[0]);
    sse2::Store(p + 16, t.r[1]);
    sse2::Store(p + 32, t.r[2]);
}

}  // namespace gfx::ssse3

#endif  // GFX_HAVE_X86_TARGETS
