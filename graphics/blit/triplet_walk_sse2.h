#pragma once

// The SSE2 walk of 24-bit keyed and constant-stipple blits (horizontal mirroring excepted):
// sixteen pixels at a time, the last 0-15 pixels of a row by the scalar rule.
#if defined(__SSE2__)

#include <cstdint>

#include "graphics/core/pixel_traits.h"
#include "graphics/blit/sse2_lanes.h"
#include "graphics/blit/stipple_pattern.h"
#include "graphics/blit/triplets_sse2.h"

namespace gfx::sse2 {

template <bool kSrcKey, bool kDstKey, bool kPattern>
void TripletRows(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy, int32_t width,
                 int32_t height, const uint8_t* src, int32_t srcPitch, int32_t sx, int32_t sy,
                 bool mirrorY, uint32_t srcKey, uint32_t dstKey, const StipplePattern* pattern) {
    const TripletConstants srcConstants(srcKey);
    const TripletConstants dstConstants(dstKey);
    // Per pattern row, the bytes of the pixels the pattern refuses; a block starts at a column
    // that is a multiple of 16, so the row's eight entries repeat twice across it.
    Triplets refused[8];
    if constexpr (kPattern) {
        alignas(16) uint8_t bytes[48];
        for (int r = 0; r < 8; ++r) {
            for (int b = 0; b < 48; ++b) bytes[b] = pattern->admit[r][(b / 3) & 7] ? 0 : 0xFF;
            for (int k = 0; k < 3; ++k) {
                refused[r].r[k] = _mm_load_si128(reinterpret_cast<const __m128i*>(bytes + 16 * k));
            }
        }
    }
    const __m128i ones = _mm_set1_epi8(-1);
    for (int32_t i = 0; i < height; ++i) {
        uint8_t* d = PixelAt<Pixel24>(dst, dstPitch, dx, dy + i);
        const uint8_t* s =
            PixelAt<Pixel24>(src, srcPitch, sx, mirrorY ? sy + height - 1 - i : sy + i);
        int32_t j = 0;
        for (; j + 16 <= width; j += 16, s += 48, d += 48) {
            Triplets v, old;
            for (int k = 0; k < 3; ++k) v.r[k] = Load(s + 16 * k);
            // Bytes that keep the destination's value.
            Triplets keep{{_mm_setzero_si128(), _mm_setzero_si128(), _mm_setzero_si128()}};
            if constexpr (kPattern) keep = refused[i & 7];
            if constexpr (kSrcKey) {
                const Triplets first = EqualFirstBytes(v, srcConstants);
                if constexpr (!kPattern && !kDstKey) {
                    // Inside a sprite no pixel is the key: the block is stored as it is.
                    if (IsClear(first)) {
                        for (int k = 0; k < 3; ++k) Store(d + 16 * k, v.r[k]);
                        continue;
                    }
                }
                const Triplets keyed = WholePixels(first);
                for (int k = 0; k < 3; ++k) keep.r[k] = _mm_or_si128(keep.r[k], keyed.r[k]);
            }
            for (int k = 0; k < 3; ++k) old.r[k] = Load(d + 16 * k);
            if constexpr (kDstKey) {
                const Triplets target = EqualPixels(old, dstConstants);
                for (int k = 0; k < 3; ++k) {
                    keep.r[k] = _mm_or_si128(keep.r[k], _mm_xor_si128(target.r[k], ones));
                }
            }
            for (int k = 0; k < 3; ++k) {
                Store(d + 16 * k, _mm_or_si128(_mm_andnot_si128(keep.r[k], v.r[k]),
                                               _mm_and_si128(keep.r[k], old.r[k])));
            }
        }
        for (; j < width; ++j, s += 3, d += 3) {
            if (kPattern && !pattern->Admits(i, j)) continue;
            const uint32_t value = Pixel24::Load(s);
            if (kSrcKey && Pixel24::Equals(value, srcKey)) continue;
            if (kDstKey && !Pixel24::Equals(Pixel24::Load(d), dstKey)) continue;
            Pixel24::Store(d, value);
        }
    }
}

// The instance of TripletRows for the flags; mirrorY is taken at run time.
template <bool kPattern>
void TripletWalk(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy, int32_t width,
                 int32_t height, const uint8_t* src, int32_t srcPitch, int32_t sx, int32_t sy,
                 bool mirrorY, bool useSrcKey, bool useDstKey, uint32_t srcKey, uint32_t dstKey,
                 const StipplePattern* pattern) {
    auto rows =
        useSrcKey
            ? (useDstKey ? TripletRows<true, true, kPattern> : TripletRows<true, false, kPattern>)
            : (useDstKey ? TripletRows<false, true, kPattern>
                         : TripletRows<false, false, kPattern>);
    rows(dst, dstPitch, dx, dy, width, height, src, srcPitch, sx, sy, mirrorY, srcKey, dstKey,
         pattern);
}

}  // namespace gfx::sse2

#endif  // __SSE2__
