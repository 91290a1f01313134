#pragma once

// The SSE2 bodies of BlendFillRows555 and 565, identical in result to the scalar ones. A
// ChannelProductTable entry is 8 * v * w, so a field's two entries sum to 8 * (p * pw + c * cw):
// 16-bit multiplies give that sum exactly (at most 31 * 32 = 992 before the fields' own shifts),
// and each field keeps the same bits of it as the table blend keeps. The colour's share is
// worked out once per call. Rows of fewer than eight pixels take the scalar body.
#if defined(__SSE2__)

#include <emmintrin.h>

#include <cstddef>
#include <cstdint>

#include "graphics/core/channel_traits.h"
#include "graphics/raster/blend_fill_rows.h"

namespace gfx::sse2 {

// The weights of a call in 16-bit lanes, and the colour's share of each field, placed where the
// pixel's product of that field lands.
struct BlendFillLanes {
    __m128i pixelWeight;  // pw, or pw << 6 for the 5-5-5 top field's high-half multiply
    __m128i colourTop, colourMiddle, colourLow;
};

template <class Channels>
struct BlendFillWords;

template <>
struct BlendFillWords<Channels555> {
    static BlendFillLanes Make(uint32_t pw, uint32_t cw, const ChannelValues& c) {
        return {_mm_set1_epi16(static_cast<short>(pw)),
                _mm_set1_epi16(static_cast<short>(c.c[0] * cw)),
                _mm_set1_epi16(static_cast<short>((c.c[1] * cw) << 5)),
                _mm_set1_epi16(static_cast<short>(c.c[2] * cw))};
    }
    static __m128i Blend(__m128i p, const BlendFillLanes& l) {
        // Bits 10-14: the high half of (v << 10) * (pw << 6) is v * pw.
        const __m128i topMask = _mm_set1_epi16(0x7C00);
        const __m128i top = _mm_add_epi16(
            _mm_mulhi_epu16(_mm_and_si128(p, topMask), _mm_slli_epi16(l.pixelWeight, 6)),
            l.colourTop);
        // Bits 5-9: (v << 5) * pw fits, giving 32 * (v * pw).
        const __m128i middleMask = _mm_set1_epi16(0x03E0);
        const __m128i middle =
            _mm_add_epi16(_mm_mullo_epi16(_mm_and_si128(p, middleMask), l.pixelWeight),
                          l.colourMiddle);
        const __m128i lowMask = _mm_set1_epi16(0x001F);
        const __m128i low = _mm_add_epi16(
            _mm_mullo_epi16(_mm_and_si128(p, lowMask), l.pixelWeight), l.colourLow);
        return _mm_or_si128(_mm_or_si128(_mm_and_si128(_mm_slli_epi16(top, 5), topMask),
                                         _mm_and_si128(_mm_srli_epi16(middle, 5), middleMask)),
                            _mm_srli_epi16(low, 5));
    }
};

template <>
struct BlendFillWords<Channels565> {
    static BlendFillLanes Make(uint32_t pw, uint32_t cw, const ChannelValues& c) {
        return {_mm_set1_epi16(static_cast<short>(pw)),
                _mm_set1_epi16(static_cast<short>(c.c[0] * cw)),
                _mm_set1_epi16(static_cast<short>((c.c[1] * cw) << 6)),
                _mm_set1_epi16(static_cast<short>(c.c[2] * cw))};
    }
    static __m128i Blend(__m128i p, const BlendFillLanes& l) {
        // Bits 11-15, moved down to 0-4.
        const __m128i top =
            _mm_add_epi16(_mm_mullo_epi16(_mm_srli_epi16(p, 11), l.pixelWeight), l.colourTop);
        // Bits 6-10: (v << 6) * pw fits, giving 64 * (v * pw).
        const __m128i middleMask = _mm_set1_epi16(0x07C0);
        const __m128i middle =
            _mm_add_epi16(_mm_mullo_epi16(_mm_and_si128(p, middleMask), l.pixelWeight),
                          l.colourMiddle);
        const __m128i lowMask = _mm_set1_epi16(0x001F);
        const __m128i low = _mm_add_epi16(
            _mm_mullo_epi16(_mm_and_si128(p, lowMask), l.pixelWeight), l.colourLow);
        return _mm_or_si128(
            _mm_or_si128(_mm_and_si128(_mm_slli_epi16(top, 6), _mm_set1_epi16(-2048)),
                         _mm_and_si128(_mm_srli_epi16(middle, 5), middleMask)),
            _mm_srli_epi16(low, 5));
    }
};

// The weights of the scalar body: the pixel's share (at most 256) and the colour's, in 32nds.
struct BlendFillWeights {
    uint32_t pixel;
    uint32_t colour;
};
inline BlendFillWeights WeightsOf(uint32_t weight) {
    const uint32_t pixelShare = weight < 256 ? weight : 256;
    return {pixelShare >> 3, (256 - pixelShare) >> 3};
}

inline __m128i Load(const uint8_t* p) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}
inline void Store(uint8_t* p, __m128i v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v); }

// The first address at or after p, within the first `size` bytes, where a register of whole
// pixels is aligned to `size`; p itself where pixels do not start on even addresses.
inline uint8_t* AlignedPixelStart(uint8_t* p, uintptr_t size) {
    const uintptr_t at = reinterpret_cast<uintptr_t>(p);
    return (at & 1) ? p : reinterpret_cast<uint8_t*>((at + size - 1) & ~(size - 1));
}

// One row of `n` (at least 8) pixels in place: the first and last eight pixels are read before
// anything is written and stored last, so the aligned stores between them may overlap them.
template <class Channels>
inline void BlendFillRun(uint8_t* p, size_t n, const BlendFillLanes& lanes) {
    using Words = BlendFillWords<Channels>;
    uint8_t* const end = p + 2 * n;
    const __m128i head = Load(p);
    const __m128i tail = Load(end - 16);
    for (uint8_t* a = AlignedPixelStart(p, 16); end - a >= 16; a += 16) {
        Store(a, Words::Blend(Load(a), lanes));
    }
    Store(p, Words::Blend(head, lanes));
    Store(end - 16, Words::Blend(tail, lanes));
}

}  // namespace gfx::sse2

namespace gfx {

template <class Channels, void (*kScalar)(uint8_t*, int32_t, const FillArea&, uint32_t, uint32_t)>
void BlendFillRowsSse2(uint8_t* base, int32_t pitch, const FillArea& area, uint32_t colour,
                       uint32_t weight) {
    if (area.width < 8 || area.height <= 0) {
        kScalar(base, pitch, area, colour, weight);
        return;
    }
    const sse2::BlendFillWeights w = sse2::WeightsOf(weight);
    const sse2::BlendFillLanes lanes =
        sse2::BlendFillWords<Channels>::Make(w.pixel, w.colour, Channels::Split(colour));
    uint8_t* row = base + static_cast<ptrdiff_t>(area.y) * pitch + static_cast<ptrdiff_t>(area.x) * 2;
    for (int32_t i = 0; i < area.height; ++i, row += pitch) {
        sse2::BlendFillRun<Channels>(row, static_cast<size_t>(area.width), lanes);
    }
}

}  // namespace gfx

#endif  // __SSE2__
