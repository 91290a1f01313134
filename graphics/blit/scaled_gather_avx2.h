#pragma once

// Gathering the source row of a nearest-neighbour scaled blit in 256-bit registers, at 8, 16 and
// 32 bits: a row that halves the source packs the even pixels of two registers into one, a row
// that doubles it spreads one register over two; other rows, and the last pixels of these, take
// the SSE2 gathers. Compiled for AVX2 by function attributes in a baseline build; only called
// where the processor has AVX2.
#include "graphics/blit/instruction_sets.h"

#if defined(GFX_HAVE_X86_TARGETS)

#include <immintrin.h>

#include <cstdint>

#include "graphics/blit/blit_scaled_sse2.h"
#include "graphics/blit/unscaled_walk_avx2.h"
#include "graphics/core/pixel_traits.h"

namespace gfx::avx2 {

// The even pixels of the two registers from `s` on, in order.
template <class P>
__attribute__((target("avx2"))) inline __m256i EvenPixels(const uint8_t* s) {
    static_assert(P::kBytes != 3);
    const __m256i a = Load(s);
    const __m256i b = Load(s + 32);
    // Packing works within 128-bit lanes: the quarters come out as a0 b0 a1 b1.
    __m256i even;
    if constexpr (P::kBytes == 4) {
        even = _mm256_castps_si256(_mm256_shuffle_ps(_mm256_castsi256_ps(a), _mm256_castsi256_ps(b),
                                                     _MM_SHUFFLE(2, 0, 2, 0)));
    } else if constexpr (P::kBytes == 2) {
        const __m256i low = _mm256_set1_epi32(0x0000FFFF);
        even = _mm256_packus_epi32(_mm256_and_si256(a, low), _mm256_and_si256(b, low));
    } else {
        const __m256i low = _mm256_set1_epi16(0x00FF);
        even = _mm256_packus_epi16(_mm256_and_si256(a, low), _mm256_and_si256(b, low));
    }
    return _mm256_permute4x64_epi64(even, _MM_SHUFFLE(3, 1, 2, 0));
}

// Every other source pixel from `s` on, whole registers of them: the loads stop before the last
// pixel the row reads, 2 * (width - 1). Returns the pixels done.
template <class P>
__attribute__((target("avx2"))) inline int32_t HalveBlocks(uint8_t* out, const uint8_t* s,
                                                           int32_t width) {
    constexpr int32_t kLanes = 32 / P::kBytes;
    int32_t j = 0;
    for (; j + kLanes < width; j += kLanes) {
        Store(out + j * P::kBytes, EvenPixels<P>(s + 2 * j * P::kBytes));
    }
    return j;
}

// A halving row's source pixels as WalkRow reads them, straight from the source row: a register
// of destination pixels from column j reads source pixels 2j to 2j + 2 * kLanes - 1. A row that
// takes every other column has a source at least twice its width (floor((w - 1) * sw / w) =
// 2w - 2 needs sw >= 2w where w > 1), so every register that WalkRow reads whole, j + kLanes <= w,
// stays inside the source rectangle.
template <class P>
struct EveryOtherPixel {
    const uint8_t* s;
    __attribute__((target("avx2"))) __m256i Register(int32_t column) const {
        return EvenPixels<P>(s + 2 * column * P::kBytes);
    }
    typename P::Value Pixel(int32_t column) const { return P::Load(s + 2 * column * P::kBytes); }
};

// Each source pixel from `s` on twice, whole pairs of registers: the loads stop at the last
// pixel the row reads, (width - 1) / 2. Returns the pixels done.
template <class P>
__attribute__((target("avx2"))) inline int32_t DoubleBlocks(uint8_t* out, const uint8_t* s,
                                                            int32_t width) {
    static_assert(P::kBytes != 3);
    constexpr int32_t kLanes = 32 / P::kBytes;
    int32_t j = 0;
    for (; j + 2 * kLanes <= width; j += 2 * kLanes) {
        const __m256i v = Load(s + (j / 2) * P::kBytes);
        // Unpacking works within 128-bit lanes: low holds quarters 0 and 2 of the result.
        __m256i low, high;
        if constexpr (P::kBytes == 4) {
            low = _mm256_unpacklo_epi32(v, v), high = _mm256_unpackhi_epi32(v, v);
        } else if constexpr (P::kBytes == 2) {
            low = _mm256_unpacklo_epi16(v, v), high = _mm256_unpackhi_epi16(v, v);
        } else {
            low = _mm256_unpacklo_epi8(v, v), high = _mm256_unpackhi_epi8(v, v);
        }
        Store(out + j * P::kBytes, _mm256_permute2x128_si256(low, high, 0x20));
        Store(out + j * P::kBytes + 32, _mm256_permute2x128_si256(low, high, 0x31));
    }
    return j;
}

// The source pixels of one destination row, as sse2::GatherSourceRow gathers them.
template <class P>
__attribute__((target("avx2"))) inline void GatherSourceRow(uint8_t* out, const uint8_t* s,
                                                            const sse2::ScaledScratch& scratch,
                                                            int32_t width) {
    constexpr int kBytes = P::kBytes;
    int32_t j = 0;
    if (scratch.everyOther) {
        j = HalveBlocks<P>(out, s, width);
        s += ptrdiff_t{2 * j} * kBytes;
    } else if (scratch.everyTwice) {
        j = DoubleBlocks<P>(out, s, width);
        s += ptrdiff_t{j / 2} * kBytes;
    }
    // The rest of a halved or doubled row halves or doubles from its own start as well.
    sse2::GatherSourceRow<P>(out + j * kBytes, s, scratch, width - j);
}

template <class P>
struct SourceRowGather {
    __attribute__((target("avx2"))) void operator()(uint8_t* out, const uint8_t* s,
                                                    const sse2::ScaledScratch& scratch,
                                                    int32_t width) const {
        avx2::GatherSourceRow<P>(out, s, scratch, width);
    }
};

}  // namespace gfx::avx2

#endif  // GFX_HAVE_X86_TARGETS
