#pragma once

// 24-bit pixels in 256-bit registers: a block of 32 three-byte pixels (96 bytes, three registers)
// is reversed and compared with a key (the spread of one byte per pixel into three is in
// triplet_spread_avx2.h). Byte shuffles stay inside 128-bit lanes, so the block's two halves of
// sixteen pixels take the SSSE3 shuffles side by side where they can. Compiled for AVX2 by
// function attributes in a baseline build; only called where the processor has AVX2.
#include "graphics/blit/instruction_sets.h"

#if defined(GFX_HAVE_X86_TARGETS)

#include <immintrin.h>

#include <array>
#include <cstdint>

#include "graphics/blit/triplets_ssse3.h"
#include "graphics/blit/unscaled_walk_avx2.h"
#include "graphics/core/triplet_spread_avx2.h"

namespace gfx::avx2 {

__attribute__((target("avx2"))) inline Triplets LoadTriplets(const uint8_t* p) {
    return {{Load(p), Load(p + 32), Load(p + 64)}};
}
__attribute__((target("avx2"))) inline void StoreTriplets(uint8_t* p, const Triplets& t) {
    Store(p, t.r[0]);
    Store(p + 32, t.r[1]);
    Store(p + 64, t.r[2]);
}

// Where `write` is set the block's bytes, elsewhere the old ones.
__attribute__((target("avx2"))) inline Triplets Select(const Triplets& write, const Triplets& v,
                                                       const Triplets& old) {
    return {{_mm256_blendv_epi8(old.r[0], v.r[0], write.r[0]),
             _mm256_blendv_epi8(old.r[1], v.r[1], write.r[1]),
             _mm256_blendv_epi8(old.r[2], v.r[2], write.r[2])}};
}

// Both lanes take the same sixteen-byte control.
__attribute__((target("avx2"))) inline __m256i Shuffle(__m256i v,
                                                       const ssse3::ShuffleIndex& index) {
    return _mm256_shuffle_epi8(v, _mm256_broadcastsi128_si256(_mm_loadu_si128(
                                      reinterpret_cast<const __m128i*>(index.data()))));
}

// The block with its 32 pixels in reverse order. Its halves A (pixels 0-15) and B (16-31) are
// set side by side, register k of A in the low lane and register k of B in the high one, so that
// the SSSE3 reversal of sixteen pixels reverses both at once; the reversed block is B's reversal
// followed by A's.
__attribute__((target("avx2"))) inline Triplets Reverse(const Triplets& t) {
    const __m256i y0 = _mm256_blend_epi32(t.r[0], t.r[1], 0xF0);
    const __m256i y1 = _mm256_permute2x128_si256(t.r[0], t.r[2], 0x21);
    const __m256i y2 = _mm256_blend_epi32(t.r[1], t.r[2], 0xF0);
    using ssse3::kReversed;
    const __m256i r0 = _mm256_or_si256(Shuffle(y2, kReversed[0][2]), Shuffle(y1, kReversed[0][1]));
    const __m256i r1 =
        _mm256_or_si256(_mm256_or_si256(Shuffle(y2, kReversed[1][2]), Shuffle(y1, kReversed[1][1])),
                        Shuffle(y0, kReversed[1][0]));
    const __m256i r2 = _mm256_or_si256(Shuffle(y1, kReversed[2][1]), Shuffle(y0, kReversed[2][0]));
    return {{_mm256_permute2x128_si256(r0, r1, 0x31), _mm256_permute2x128_si256(r2, r0, 0x21),
             _mm256_permute2x128_si256(r1, r2, 0x20)}};
}

// The sixteen bytes at `low` in the low lane and those at `high` in the high one.
__attribute__((target("avx2"))) inline __m256i LoadLanes(const uint8_t* low, const uint8_t* high) {
    return _mm256_inserti128_si256(
        _mm256_castsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(low))),
        _mm_loadu_si128(reinterpret_cast<const __m128i*>(high)), 1);
}

// Pixels 4k..4k+3 of both halves in the 32-bit lanes of the two 128-bit lanes (the top byte
// zero); the last four of a half are read from its last sixteen bytes, so no byte after the block
// is read.
template <int kK>
__attribute__((target("avx2"))) inline __m256i QuadWords(const uint8_t* p) {
    constexpr int kAt = kK == 3 ? 32 : 12 * kK;
    return Shuffle(LoadLanes(p + kAt, p + 48 + kAt),
                   kK == 3 ? ssse3::kLastToWords : ssse3::kToWords);
}

// One byte per pixel of the block of 32 pixels at p, 0xFF where the pixel equals the key (its 24
// bits in each 32-bit lane of `key`). Reads exactly the block's 96 bytes.
__attribute__((target("avx2"))) inline __m256i EqualPixelBytes(const uint8_t* p, __m256i key) {
    const __m256i e0 = _mm256_cmpeq_epi32(QuadWords<0>(p), key);
    const __m256i e1 = _mm256_cmpeq_epi32(QuadWords<1>(p), key);
    const __m256i e2 = _mm256_cmpeq_epi32(QuadWords<2>(p), key);
    const __m256i e3 = _mm256_cmpeq_epi32(QuadWords<3>(p), key);
    // Lane by lane, the packs put pixels 0-15 in the low lane and 16-31 in the high one.
    return _mm256_packs_epi16(_mm256_packs_epi32(e0, e1), _mm256_packs_epi32(e2, e3));
}

// The 24 bits of a key repeated over a block, byte k of every pixel in its place.
constexpr ShuffleIndex32 KeyBytes32(int out) {
    ShuffleIndex32 index{};
    for (int b = 0; b < 32; ++b) index[b] = static_cast<int8_t>((32 * out + b) % 3);
    return index;
}
inline constexpr ShuffleIndex32 kKeyBytes32[3] = {KeyBytes32(0), KeyBytes32(1), KeyBytes32(2)};

__attribute__((target("avx2"))) inline Triplets KeyTriplets(uint32_t key) {
    const __m256i k = _mm256_set1_epi32(static_cast<int>(key));
    return {{Shuffle(k, kKeyBytes32[0]), Shuffle(k, kKeyBytes32[1]), Shuffle(k, kKeyBytes32[2])}};
}

// False when no pixel of the block equals the key (its KeyTriplets), from a test of whole 16-bit
// words: of a pixel's two pairs of adjacent bytes one starts at an even byte, and that word
// matches the key's word where the pixel does. True leaves it to EqualPixelBytes.
__attribute__((target("avx2"))) inline bool MayHoldKey(const Triplets& t, const Triplets& key) {
    const __m256i words = _mm256_or_si256(
        _mm256_or_si256(_mm256_cmpeq_epi16(t.r[0], key.r[0]), _mm256_cmpeq_epi16(t.r[1], key.r[1])),
        _mm256_cmpeq_epi16(t.r[2], key.r[2]));
    return !_mm256_testz_si256(words, words);
}

}  // namespace gfx::avx2

#endif  // GFX_HAVE_X86_TARGETS
