#pragma once

// The AVX2 body of the constant-alpha blends, identical in result to AlphaScalar: the SSE2
// body's walk on 256-bit registers (sixteen 16-bit or eight 32-bit pixels, or 32 bytes of a
// 24-bit row without keys or mirroring; keyed and mirrored 24-bit rows take the SSE2 body).
// Compiled for AVX2 by function attributes in a baseline build; only called where the processor
// has AVX2.
#include "graphics/blit/instruction_sets.h"

#if defined(GFX_HAVE_X86_TARGETS)

#include <immintrin.h>

#include <cstdint>
#include <type_traits>

#include "graphics/blit/blend_lanes_avx2.h"
#include "graphics/blit/blit_alpha.h"
#include "graphics/blit/blit_alpha_sse2.h"
#include "graphics/blit/channel_mix_avx2.h"
#include "graphics/core/blit_flags.h"

namespace gfx {

namespace blend_avx2 {

template <class C>
GFX_BLEND_AVX2 __m256i MixPixels(__m256i s, __m256i d, __m256i ws, __m256i wd) {
    if constexpr (std::is_same_v<C, Channels888>) {
        // A channel byte's blend is one byte product pair, 8 * (s5 * ws + d5 * wd) (at most
        // 7936, no saturation): vpmaddubsw mixes sixteen per multiply. The top byte of each
        // pixel has the weights (0, 0). Unpack and pack both work within 128-bit halves, so
        // the bytes come back in place.
        const __m256i pairs = _mm256_and_si256(_mm256_or_si256(ws, _mm256_slli_epi16(wd, 8)),
                                               _mm256_set1_epi64x(0x0000FFFFFFFFFFFF));
        const __m256i top5 = _mm256_set1_epi8(static_cast<char>(0xF8));
        const __m256i sTop = _mm256_and_si256(s, top5);
        const __m256i dTop = _mm256_and_si256(d, top5);
        const __m256i low = _mm256_maddubs_epi16(_mm256_unpacklo_epi8(sTop, dTop), pairs);
        const __m256i high = _mm256_maddubs_epi16(_mm256_unpackhi_epi8(sTop, dTop), pairs);
        return _mm256_packus_epi16(_mm256_srli_epi16(low, 5), _mm256_srli_epi16(high, 5));
    } else {
        return MixWords<C>::Mix(s, d, ws, wd);
    }
}

template <class F, class C, bool kKeys, bool kMirrorX>
__attribute__((target("avx2"))) void ConstantBlendRows(const sse2::UnscaledRows& a) {
    using P = typename F::Pixel;
    constexpr int kLanes = F::kLanes;
    const bool useSrcKey = kKeys && (a.flags & BLIT_SRCKEY) != 0;
    const bool useDstKey = kKeys && (a.flags & BLIT_DESTKEY) != 0;
    const UnscaledWalk walk{a.height, a.width,  a.sy,
                            a.sx,     kMirrorX, (a.flags & BLIT_MIRROR_Y) != 0};
    const uint32_t level = a.level > kFullLevel ? kFullLevel : a.level;
    const __m256i ws = _mm256_set1_epi16(static_cast<short>(level >> 3));
    const __m256i wd = _mm256_set1_epi16(static_cast<short>((kFullLevel - level) >> 3));
    const LevelWeightRows rows = LevelWeights(a.level);
    const __m256i srcKey = F::Splat(a.srcKey);
    const __m256i dstKey = F::Splat(a.dstKey);
    const __m256i all = _mm256_set1_epi8(-1);
    const int32_t w = a.width;
    for (int32_t i = 0; i < a.height; ++i) {
        uint8_t* d = PixelAt<P>(a.dst, a.dstPitch, a.dx, a.dy + i);
        // The row's lowest source column; mirrored rows read it last.
        const uint8_t* s = PixelAt<P>(a.src, a.srcPitch, a.sx, walk.SourceRow(i));
        int32_t j = 0;
        for (; j + kLanes <= w; j += kLanes) {
            const int32_t column = kMirrorX ? w - kLanes - j : j;
            __m256i sv = Read256(s + column * P::kBytes);
            if constexpr (kMirrorX) sv = F::Reverse(sv);
            uint8_t* out = d + j * P::kBytes;
            const __m256i dv = Read256(out);
            const __m256i mixed = MixPixels<C>(sv, dv, ws, wd);
            if constexpr (!kKeys) {
                Write256(out, mixed);
            } else {
                const __m256i drawn =
                    useSrcKey ? _mm256_andnot_si256(F::Equal(sv, srcKey), all) : all;
                const __m256i write =
                    useDstKey ? _mm256_and_si256(drawn, F::Equal(dv, dstKey)) : drawn;
                Write256(out, Select(write, mixed, dv));
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

// The SSE2 byte run of a 24-bit row, 32 bytes at a time by the 8-8-8 mix above with every byte
// a channel; the last 1-31 bytes take the SSE2 run.
__attribute__((target("avx2"))) inline void ByteBlendRun(const uint8_t* s, uint8_t* d, size_t n,
                                                         const sse2::LevelLanes& weights) {
    // The weights of LevelLanes (at most 32 each) as a byte pair per 16-bit lane.
    const __m256i wordPairs =
        _mm256_or_si256(_mm256_broadcastsi128_si256(weights.source),
                        _mm256_slli_epi16(_mm256_broadcastsi128_si256(weights.destination), 8));
    const __m256i top5 = _mm256_set1_epi8(static_cast<char>(0xF8));
    size_t k = 0;
    for (; k + 32 <= n; k += 32) {
        const __m256i sTop = _mm256_and_si256(Read256(s + k), top5);
        const __m256i dTop = _mm256_and_si256(Read256(d + k), top5);
        const __m256i low = _mm256_maddubs_epi16(_mm256_unpacklo_epi8(sTop, dTop), wordPairs);
        const __m256i high = _mm256_maddubs_epi16(_mm256_unpackhi_epi8(sTop, dTop), wordPairs);
        Write256(d + k, _mm256_packus_epi16(_mm256_srli_epi16(low, 5), _mm256_srli_epi16(high, 5)));
    }
    if (k < n) sse2::ByteBlendRun(s + k, d + k, n - k, weights);
}

template <class F, class C>
void ConstantBlendFlags(const sse2::UnscaledRows& a) {
    const bool keys = (a.flags & (BLIT_SRCKEY | BLIT_DESTKEY)) != 0;
    if ((a.flags & BLIT_MIRROR_X) != 0) {
        return keys ? blend_avx2::ConstantBlendRows<F, C, true, true>(a)
                    : blend_avx2::ConstantBlendRows<F, C, false, true>(a);
    }
    return keys ? blend_avx2::ConstantBlendRows<F, C, true, false>(a)
                : blend_avx2::ConstantBlendRows<F, C, false, false>(a);
}

}  // namespace blend_avx2

template <class P, class C>
int32_t AlphaAvx2(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy, int32_t width,
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
        blend_avx2::ConstantBlendFlags<blend_avx2::WordPixels, C>(blend);
    } else if constexpr (P::kBytes == 4) {
        blend_avx2::ConstantBlendFlags<blend_avx2::DwordPixels, C>(blend);
    } else {
        static_assert(std::is_same_v<C, Channels888>);
        if ((flags & (BLIT_SRCKEY | BLIT_DESTKEY | BLIT_MIRROR_X)) != 0) {
            return AlphaSse2<P, C>(dst, dstPitch, dx, dy, width, height, src, srcPitch, sx, sy,
                                   flags, srcKey, dstKey, level);
        }
        sse2::ByteBlendRows(blend, &blend_avx2::ByteBlendRun);
    }
    return 0;
}

}  // namespace gfx

#endif  // GFX_HAVE_X86_TARGETS
