#pragma once

// 32 three-byte pixels in three 256-bit registers (96 bytes), and the spread of one byte per
// pixel to the three bytes of its pixel, shared vocabulary of the blit bodies (keys and masks)
// and the raster bodies (masks). Byte shuffles stay inside 128-bit lanes, so each register takes
// its pixel bytes from the lane that holds them. Compiled for AVX2 by function attributes in a
// baseline build; only called where the processor has AVX2.
#include "graphics/core/instruction_sets.h"

#if defined(GFX_HAVE_X86_TARGETS)

#include <immintrin.h>

#include <array>
#include <cstdint>

namespace gfx::avx2 {

struct Triplets {
    __m256i r[3];
};

// A shuffle control of both lanes: byte k of a lane is byte index[k] of that lane.
using ShuffleIndex32 = std::array<int8_t, 32>;

// Register `out` of the three-byte spread of 32 pixel bytes, indexing the lane that holds the
// pixels it needs: the low sixteen pixel bytes for register 0 and the low lane of 1, the high
// sixteen for the high lane of 1 and register 2.
constexpr ShuffleIndex32 SpreadPixelBytes32(int out) {
    ShuffleIndex32 index{};
    for (int b = 0; b < 32; ++b) index[b] = static_cast<int8_t>(((32 * out + b) / 3) % 16);
    return index;
}
inline constexpr ShuffleIndex32 kSpread32[3] = {SpreadPixelBytes32(0), SpreadPixelBytes32(1),
                                                SpreadPixelBytes32(2)};

__attribute__((target("avx2"))) inline __m256i Shuffle(__m256i v, const ShuffleIndex32& index) {
    return _mm256_shuffle_epi8(v,
                               _mm256_loadu_si256(reinterpret_cast<const __m256i*>(index.data())));
}

// One byte per pixel to three.
__attribute__((target("avx2"))) inline Triplets Spread(__m256i pixelBytes) {
    const __m256i low = _mm256_permute2x128_si256(pixelBytes, pixelBytes, 0x00);
    const __m256i high = _mm256_permute2x128_si256(pixelBytes, pixelBytes, 0x11);
    return {{Shuffle(low, kSpread32[0]), Shuffle(pixelBytes, kSpread32[1]),
             Shuffle(high, kSpread32[2])}};
}

}  // namespace gfx::avx2

#endif  // GFX_HAVE_X86_TARGETS
