#pragma once

// The SSSE3 body of the 32-bit constant-alpha blend, identical in result to
// AlphaScalar<Pixel32, Channels888>: a channel byte's table blend is 8 * (s5 * ws + d5 * wd), one
// product pair of bytes, so pmaddubsw mixes eight channels per multiply where the 16-bit
// multiplies of the SSE2 body mix four. The top byte of each pixel has the weights (0, 0) and
// comes out 0 without a mask. Keyed and horizontally mirrored blits, and blits whose rows
// overlap, take the SSE2 body. Only called where the processor has SSSE3.
#include "graphics/blit/instruction_sets.h"

#if defined(GFX_HAVE_X86_TARGETS)

#include <tmmintrin.h>

#include <cstdint>

#include "graphics/blit/blit_alpha.h"
#include "graphics/blit/blit_alpha_sse2.h"
#include "graphics/blit/sse2_lanes.h"
#include "graphics/core/blit_flags.h"

namespace gfx {

namespace ssse3 {

// (s & 0xF8) * ws + (d & 0xF8) * wd per channel byte, >> 5: four 32-bit pixels of s and d, with
// `weights` holding (ws, wd) for the three channel bytes of a pixel and (0, 0) for its top byte.
__attribute__((target("ssse3"))) inline __m128i MixPixels888(__m128i s, __m128i d,
                                                            __m128i weights) {
    const __m128i top5 = _mm_set1_epi8(static_cast<char>(0xF8));
    const __m128i sTop = _mm_and_si128(s, top5);
    const __m128i dTop = _mm_and_si128(d, top5);
    // At most 8 * 31 * 32 = 7936 per lane: no saturation.
    const __m128i low = _mm_maddubs_epi16(_mm_unpacklo_epi8(sTop, dTop), weights);
    const __m128i high = _mm_maddubs_epi16(_mm_unpackhi_epi8(sTop, dTop), weights);
    return _mm_packus_epi16(_mm_srli_epi16(low, 5), _mm_srli_epi16(high, 5));
}

// The byte pairs (ws, wd) of a level for channel bytes, (0, 0) for the top bytes.
inline __m128i LevelPairs888(uint32_t level) {
    const uint32_t l = level > kFullLevel ? kFullLevel : level;
    const int ws = static_cast<int>(l >> 3);
    const int wd = static_cast<int>((kFullLevel - l) >> 3);
    const int channel = ws | (wd << 8);
    return _mm_setr_epi16(static_cast<short>(channel), static_cast<short>(channel),
                          static_cast<short>(channel), 0, static_cast<short>(channel),
                          static_cast<short>(channel), static_cast<short>(channel), 0);
}

}  // namespace ssse3

__attribute__((target("ssse3"))) inline int32_t Alpha32Ssse3(
    uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy, int32_t width, int32_t height,
    const uint8_t* src, int32_t srcPitch, int32_t sx, int32_t sy, uint32_t flags, uint32_t srcKey,
    uint32_t dstKey, uint32_t level) {
    if ((flags & (BLIT_SRCKEY | BLIT_DESTKEY | BLIT_MIRROR_X)) != 0 ||
        sse2::RowsOverlap(dst, dstPitch, dx, dy, src, srcPitch, sx, sy, width, height,
                          Pixel32::kBytes)) {
        return AlphaSse2<Pixel32, Channels888>(dst, dstPitch, dx, dy, width, height, src, srcPitch,
                                               sx, sy, flags, srcKey, dstKey, level);
    }
    const __m128i weights = ssse3::LevelPairs888(level);
    const LevelWeightRows rows = LevelWeights(level);
    const bool mirrorY = (flags & BLIT_MIRROR_Y) != 0;
    for (int32_t i = 0; i < height; ++i) {
        uint8_t* d = PixelAt<Pixel32>(dst, dstPitch, dx, dy + i);
        const uint8_t* s =
            PixelAt<Pixel32>(src, srcPitch, sx, mirrorY ? sy + height - 1 - i : sy + i);
        int32_t j = 0;
        for (; j + 8 <= width; j += 8) {
            const __m128i first = ssse3::MixPixels888(sse2::Load(s + 4 * j), sse2::Load(d + 4 * j),
                                                      weights);
            const __m128i second = ssse3::MixPixels888(sse2::Load(s + 4 * j + 16),
                                                       sse2::Load(d + 4 * j + 16), weights);
            sse2::Store(d + 4 * j, first);
            sse2::Store(d + 4 * j + 16, second);
        }
        for (; j + 4 <= width; j += 4) {
            sse2::Store(d + 4 * j, ssse3::MixPixels888(sse2::Load(s + 4 * j),
                                                       sse2::Load(d + 4 * j), weights));
        }
        AlphaRowScalar<Pixel32, Channels888>(d + 4 * j, s + 4 * j, Pixel32::kBytes, width - j,
                                             false, 0, false, 0, rows);
    }
    return 0;
}

}  // namespace gfx

#endif  // GFX_HAVE_X86_TARGETS
