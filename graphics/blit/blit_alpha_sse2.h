#pragma once

// The SSE2 body of the constant-alpha blends, identical in result to AlphaScalar: a register of
// pixels at a time, mixed by 16-bit multiplies, the destination kept in the lanes the keys
// refuse; the last pixels of a row that fill no register take the scalar rule.
#if defined(__SSE2__)

#include <cstdint>
#include <cstring>

#include "graphics/blit/blend_lanes_sse2.h"
#include "graphics/blit/blit_alpha.h"
#include "graphics/blit/channel_mix_sse2.h"
#include "graphics/blit/sse2_lanes.h"
#include "graphics/blit/unscaled_walk_sse2.h"
#include "graphics/core/blit_flags.h"

namespace gfx {

namespace sse2 {

// The weights of a constant level in every 16-bit lane; a level above 256 counts as 256, as in
// LevelWeights.
struct LevelLanes {
    __m128i source;
    __m128i destination;

    explicit LevelLanes(uint32_t level) {
        const uint32_t l = level > kFullLevel ? kFullLevel : level;
        source = _mm_set1_epi16(static_cast<short>(l >> 3));
        destination = _mm_set1_epi16(static_cast<short>((kFullLevel - l) >> 3));
    }
};

// The table blend of a register of pixels in channel layout C: 16-bit layouts per word, 8-8-8
// per byte with the top byte of each 32-bit lane 0.
template <class C>
inline __m128i MixPixels(__m128i s, __m128i d, const LevelLanes& w) {
    return MixWords<C>::Mix(s, d, w.source, w.destination);
}
template <>
inline __m128i MixPixels<Channels888>(__m128i s, __m128i d, const LevelLanes& w) {
    return _mm_and_si128(MixBytesByTable(s, d, w.source, w.destination),
                         _mm_set1_epi32(0x00FFFFFF));
}

// Rows of pixels in register form F and channel layout C; the key tests and the mirrored reads
// are compiled only into the instances that need them.
template <class F, class C, bool kKeys, bool kMirrorX>
void ConstantBlendRows(const UnscaledRows& a) {
    using P = typename F::Pixel;
    constexpr int kLanes = F::kLanes;
    const bool useSrcKey = kKeys && (a.flags & BLIT_SRCKEY) != 0;
    const bool useDstKey = kKeys && (a.flags & BLIT_DESTKEY) != 0;
    const UnscaledWalk walk{a.height, a.width,  a.sy,
                            a.sx,     kMirrorX, (a.flags & BLIT_MIRROR_Y) != 0};
    const LevelLanes weights(a.level);
    const LevelWeightRows rows = LevelWeights(a.level);
    const __m128i srcKey = F::Splat(a.srcKey);
    const __m128i dstKey = F::Splat(a.dstKey);
    const __m128i all = _mm_set1_epi8(-1);
    const int32_t w = a.width;
    for (int32_t i = 0; i < a.height; ++i) {
        uint8_t* d = PixelAt<P>(a.dst, a.dstPitch, a.dx, a.dy + i);
        // The row's lowest source column; mirrored rows read it last.
        const uint8_t* s = PixelAt<P>(a.src, a.srcPitch, a.sx, walk.SourceRow(i));
        int32_t j = 0;
        for (; j + kLanes <= w; j += kLanes) {
            const int32_t column = kMirrorX ? w - kLanes - j : j;
            __m128i sv = F::Read(s + column * P::kBytes);
            if constexpr (kMirrorX) sv = F::Reverse(sv);
            uint8_t* out = d + j * P::kBytes;
            const __m128i dv = F::Read(out);
            const __m128i mixed = MixPixels<C>(sv, dv, weights);
            if constexpr (!kKeys) {
                F::Write(out, mixed);
            } else {
                const __m128i drawn = useSrcKey ? _mm_andnot_si128(F::Equal(sv, srcKey), all) : all;
                const __m128i write =
                    useDstKey ? _mm_and_si128(drawn, F::Equal(dv, dstKey)) : drawn;
                F::Write(out, Select(write, mixed, dv));
            }
        }
        if (j < w) {
            const int32_t column = kMirrorX ? w - 1 - j : j;
            AlphaRowScalar<P, C>(d + j * P::kBytes, s + column * P::kBytes,
                                 kMirrorX ? -P::kBytes : P::kBytes, w - j, useSrcKey, a.srcKey,
                                 useDstKey, a.dstKey, rows);
        }
    }
}

// The instance of ConstantBlendRows for the flags.
template <class F, class C>
void ConstantBlendFlags(const UnscaledRows& a) {
    const bool keys = (a.flags & (BLIT_SRCKEY | BLIT_DESTKEY)) != 0;
    if ((a.flags & BLIT_MIRROR_X) != 0) {
        return keys ? ConstantBlendRows<F, C, true, true>(a)
                    : ConstantBlendRows<F, C, false, true>(a);
    }
    return keys ? ConstantBlendRows<F, C, true, false>(a)
                : ConstantBlendRows<F, C, false, false>(a);
}

// Without keys and mirroring every byte of a 24-bit row mixes alike: the row goes as a run of
// bytes, 16 at a time, the last 1-15 through a small buffer.
inline void ByteBlendRun(const uint8_t* s, uint8_t* d, size_t n, const LevelLanes& weights) {
    size_t k = 0;
    for (; k + 32 <= n; k += 32) {
        const __m128i first =
            MixBytesByTable(Load(s + k), Load(d + k), weights.source, weights.destination);
        const __m128i second = MixBytesByTable(Load(s + k + 16), Load(d + k + 16), weights.source,
                                               weights.destination);
        Store(d + k, first);
        Store(d + k + 16, second);
    }
    for (; k + 16 <= n; k += 16) {
        Store(d + k,
              MixBytesByTable(Load(s + k), Load(d + k), weights.source, weights.destination));
    }
    if (k < n) {
        alignas(16) uint8_t sRest[16] = {};
        alignas(16) uint8_t dRest[16] = {};
        std::memcpy(sRest, s + k, n - k);
        std::memcpy(dRest, d + k, n - k);
        Store(dRest,
              MixBytesByTable(Load(sRest), Load(dRest), weights.source, weights.destination));
        std::memcpy(d + k, dRest, n - k);
    }
}

// The rows of a byte blend, each through `run` (ByteBlendRun, or a wider body's run).
template <class Run = decltype(&ByteBlendRun)>
inline void ByteBlendRows(const UnscaledRows& a, Run run = &ByteBlendRun) {
    const LevelLanes weights(a.level);
    const size_t rowBytes = static_cast<size_t>(a.width) * Pixel24::kBytes;
    const bool mirrorY = (a.flags & BLIT_MIRROR_Y) != 0;
    for (int32_t i = 0; i < a.height; ++i) {
        uint8_t* d = PixelAt<Pixel24>(a.dst, a.dstPitch, a.dx, a.dy + i);
        const uint8_t* s =
            PixelAt<Pixel24>(a.src, a.srcPitch, a.sx, mirrorY ? a.sy + a.height - 1 - i : a.sy + i);
        run(s, d, rowBytes, weights);
    }
}

}  // namespace sse2

template <class P, class C>
int32_t AlphaSse2(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy, int32_t width,
                  int32_t height, const uint8_t* src, int32_t srcPitch, int32_t sx, int32_t sy,
                  uint32_t flags, uint32_t srcKey, uint32_t dstKey, uint32_t level) {
    if (sse2::RowsOverlap(dst, dstPitch, dx, dy, src, srcPitch, sx, sy, width, height, P::kBytes)) {
        return AlphaScalar<P, C>(dst, dstPitch, dx, dy, width, height, src, srcPitch, sx, sy, flags,
                                 srcKey, dstKey, level);
    }
    const sse2::UnscaledRows blend{.dst = dst, .dstPitch = dstPitch, .dx = dx, .dy = dy,
                                   .width = width, .height = height, .src = src,
                                   .srcPitch = srcPitch, .sx = sx, .sy = sy, .flags = flags,
                                   .srcKey = srcKey, .dstKey = dstKey, .level = level};
    if constexpr (P::kBytes == 2) {
        sse2::ConstantBlendFlags<sse2::WordPixels, C>(blend);
    } else if constexpr (P::kBytes == 4) {
        sse2::ConstantBlendFlags<sse2::DwordPixels, C>(blend);
    } else if ((flags & (BLIT_SRCKEY | BLIT_DESTKEY | BLIT_MIRROR_X)) == 0) {
        sse2::ByteBlendRows(blend);
    } else {
        sse2::ConstantBlendFlags<sse2::TripletPixels, C>(blend);
    }
    return 0;
}

}  // namespace gfx

#endif  // __SSE2__
