#pragma once

// Gathering the 24-bit source row (and its mask row, three bytes a pixel) of a nearest-neighbour
// blit that halves the source, 32 pixels at a time. Byte shuffles stay inside 128-bit lanes, so
// each sixteen gathered bytes are shuffled from the two sixteen-byte windows of the source that
// hold them, loaded side by side for the two lanes of a register. Other rows, and the last pixels
// of these, take the SSSE3 gathers. Compiled for AVX2 by function attributes in a baseline build;
// only called where the processor has AVX2.
#include "graphics/blit/instruction_sets.h"

#if defined(GFX_HAVE_X86_TARGETS)

#include <immintrin.h>

#include <cstdint>

#include "graphics/blit/blit_scaled_ssse3.h"
#include "graphics/blit/scaled_gather_avx2.h"
#include "graphics/blit/triplets_avx2.h"
#include "graphics/blit/unscaled_walk_avx2.h"

namespace gfx::avx2 {

// Gathered byte o of a block takes source byte 6 * (o / 3) + o % 3 (pixel 2 * (o / 3)).
constexpr int EveryOtherSourceByte(int o) { return 6 * (o / 3) + o % 3; }

// Gathered bytes 16L to 16L + 15 span 31 source bytes from this one: two windows of sixteen.
constexpr int EveryOtherWindow(int lane) { return EveryOtherSourceByte(16 * lane); }

// Register r of a gathered block from the first (second = false) or the second window of each
// of its lanes 2r and 2r + 1; a byte comes from the window that holds it.
constexpr ShuffleIndex32 EveryOtherTripletBytes32(int r, bool second) {
    ShuffleIndex32 index{};
    for (int b = 0; b < 32; ++b) {
        const int lane = 2 * r + b / 16;
        const int from = EveryOtherSourceByte(16 * lane + b % 16) - EveryOtherWindow(lane);
        const bool inSecond = from >= 16;
        index[b] = static_cast<int8_t>(inSecond == second ? from % 16 : -128);
    }
    return index;
}
inline constexpr ShuffleIndex32 kEveryOther32[3][2] = {
    {EveryOtherTripletBytes32(0, false), EveryOtherTripletBytes32(0, true)},
    {EveryOtherTripletBytes32(1, false), EveryOtherTripletBytes32(1, true)},
    {EveryOtherTripletBytes32(2, false), EveryOtherTripletBytes32(2, true)},
};

// Register r of the block gathered from the 64 source pixels at s.
template <int kR>
__attribute__((target("avx2"))) inline __m256i EveryOtherTriplets(const uint8_t* s) {
    constexpr int kLow = EveryOtherWindow(2 * kR);
    constexpr int kHigh = EveryOtherWindow(2 * kR + 1);
    const __m256i first = LoadLanes(s + kLow, s + kHigh);
    const __m256i second = LoadLanes(s + kLow + 16, s + kHigh + 16);
    return _mm256_or_si256(Shuffle(first, kEveryOther32[kR][0]),
                           Shuffle(second, kEveryOther32[kR][1]));
}

// Every other 24-bit source pixel from `s` on, `width` of them. A block reads source bytes up to
// 6j + 189 (pixel 2j + 63), inside the row while 2j + 63 <= 2 * (width - 1).
__attribute__((target("avx2"))) inline void HalveTriplets(uint8_t* out, const uint8_t* s,
                                                          int32_t width) {
    int32_t j = 0;
    for (; j + 33 <= width; j += 32) {
        const uint8_t* block = s + 6 * j;
        StoreTriplets(out + 3 * j, {{EveryOtherTriplets<0>(block), EveryOtherTriplets<1>(block),
                                     EveryOtherTriplets<2>(block)}});
    }
    ssse3::HalveTriplets(out + 3 * j, s + 6 * j, width - j);
}

// The mask bytes of every other source pixel from `m` on, each three times, for `width` pixels:
// a block reads mask bytes 2j to 2j + 63, inside the row as the pixels of HalveTriplets are.
__attribute__((target("avx2"))) inline void HalveMaskTriplets(uint8_t* out, const uint8_t* m,
                                                              int32_t width) {
    int32_t j = 0;
    for (; j + 33 <= width; j += 32)
        StoreTriplets(out + 3 * j, Spread(EvenPixels<Pixel8>(m + 2 * j)));
    ssse3::HalveMaskTriplets(out + 3 * j, m + 2 * j, width - j);
}

// A 24-bit source row and its mask row of three bytes a pixel.
__attribute__((target("avx2"))) inline void GatherMaskedTriplets(uint8_t* pixels, uint8_t* maskRow,
                                                                 const uint8_t* s, const uint8_t* m,
                                                                 const sse2::ScaledScratch& scratch,
                                                                 int32_t width) {
    if (!scratch.everyOther) {
        ssse3::GatherMaskedTriplets(pixels, maskRow, s, m, scratch, width);
        return;
    }
    HalveTriplets(pixels, s, width);
    HalveMaskTriplets(maskRow, m, width);
}

}  // namespace gfx::avx2

#endif  // GFX_HAVE_X86_TARGETS
