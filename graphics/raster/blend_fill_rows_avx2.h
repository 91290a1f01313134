#pragma once

// The AVX2 bodies of BlendFillRows555 and 565, identical in result to the scalar ones: the SSE2
// bodies' multiplies on sixteen pixels a register. Rows of fewer than sixteen pixels take the
// SSE2 body. Compiled for AVX2 by a function attribute in a baseline build and only called where
// the processor has AVX2.
#include "graphics/core/instruction_sets.h"

#if defined(GFX_HAVE_X86_TARGETS)

#include <immintrin.h>

#include <cstddef>
#include <cstdint>

#include "graphics/raster/blend_fill_rows_sse2.h"

namespace gfx::avx2 {

struct BlendFillLanes {
    __m256i pixelWeight, colourTop, colourMiddle, colourLow;
};

__attribute__((target("avx2"))) inline BlendFillLanes Widen(const sse2::BlendFillLanes& l) {
    return {_mm256_broadcastsi128_si256(l.pixelWeight), _mm256_broadcastsi128_si256(l.colourTop),
            _mm256_broadcastsi128_si256(l.colourMiddle), _mm256_broadcastsi128_si256(l.colourLow)};
}

template <class Channels>
struct BlendFillWords;

template <>
struct BlendFillWords<Channels555> {
    __attribute__((target("avx2"))) static __m256i Blend(__m256i p, const BlendFillLanes& l) {
        const __m256i topMask = _mm256_set1_epi16(0x7C00);
        const __m256i top = _mm256_add_epi16(
            _mm256_mulhi_epu16(_mm256_and_si256(p, topMask), _mm256_slli_epi16(l.pixelWeight, 6)),
            l.colourTop);
        const __m256i middleMask = _mm256_set1_epi16(0x03E0);
        const __m256i middle = _mm256_add_epi16(
            _mm256_mullo_epi16(_mm256_and_si256(p, middleMask), l.pixelWeight), l.colourMiddle);
        const __m256i low = _mm256_add_epi16(
            _mm256_mullo_epi16(_mm256_and_si256(p, _mm256_set1_epi16(0x001F)), l.pixelWeight),
            l.colourLow);
        return _mm256_or_si256(
            _mm256_or_si256(_mm256_and_si256(_mm256_slli_epi16(top, 5), topMask),
                            _mm256_and_si256(_mm256_srli_epi16(middle, 5), middleMask)),
            _mm256_srli_epi16(low, 5));
    }
};

template <>
struct BlendFillWords<Channels565> {
    __attribute__((target("avx2"))) static __m256i Blend(__m256i p, const BlendFillLanes& l) {
        const __m256i top = _mm256_add_epi16(
            _mm256_mullo_epi16(_mm256_srli_epi16(p, 11), l.pixelWeight), l.colourTop);
        const __m256i middleMask = _mm256_set1_epi16(0x07C0);
        const __m256i middle = _mm256_add_epi16(
            _mm256_mullo_epi16(_mm256_and_si256(p, middleMask), l.pixelWeight), l.colourMiddle);
        const __m256i low = _mm256_add_epi16(
            _mm256_mullo_epi16(_mm256_and_si256(p, _mm256_set1_epi16(0x001F)), l.pixelWeight),
            l.colourLow);
        return _mm256_or_si256(
            _mm256_or_si256(_mm256_and_si256(_mm256_slli_epi16(top, 6), _mm256_set1_epi16(-2048)),
                            _mm256_and_si256(_mm256_srli_epi16(middle, 5), middleMask)),
            _mm256_srli_epi16(low, 5));
    }
};

__attribute__((target("avx2"))) inline __m256i Load(const uint8_t* p) {
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
}
__attribute__((target("avx2"))) inline void Store(uint8_t* p, __m256i v) {
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v);
}

// One row of `n` (at least 16) pixels in place, the first and last sixteen read first and
// stored last.
template <class Channels>
__attribute__((target("avx2"))) inline void BlendFillRun(uint8_t* p, size_t n,
                                                         const BlendFillLanes& lanes) {
    using Words = BlendFillWords<Channels>;
    uint8_t* const end = p + 2 * n;
    const __m256i head = Load(p);
    const __m256i tail = Load(end - 32);
    for (uint8_t* a = sse2::AlignedPixelStart(p, 32); end - a >= 32; a += 32) {
        Store(a, Words::Blend(Load(a), lanes));
    }
    Store(p, Words::Blend(head, lanes));
    Store(end - 32, Words::Blend(tail, lanes));
}

}  // namespace gfx::avx2

namespace gfx {

template <class Channels, void (*kScalar)(uint8_t*, int32_t, const FillArea&, uint32_t, uint32_t)>
__attribute__((target("avx2"))) void BlendFillRowsAvx2(uint8_t* base, int32_t pitch,
                                                       const FillArea& area, uint32_t colour,
                                                       uint32_t weight) {
    if (area.width < 16 || area.height <= 0) {
        BlendFillRowsSse2<Channels, kScalar>(base, pitch, area, colour, weight);
        return;
    }
    const sse2::BlendFillWeights w = sse2::WeightsOf(weight);
    const avx2::BlendFillLanes lanes = avx2::Widen(
        sse2::BlendFillWords<Channels>::Make(w.pixel, w.colour, Channels::Split(colour)));
    uint8_t* row = base + static_cast<ptrdiff_t>(area.y) * pitch + static_cast<ptrdiff_t>(area.x) * 2;
    for (int32_t i = 0; i < area.height; ++i, row += pitch) {
        avx2::BlendFillRun<Channels>(row, static_cast<size_t>(area.width), lanes);
    }
}

}  // namespace gfx

#endif  // GFX_HAVE_X86_TARGETS
