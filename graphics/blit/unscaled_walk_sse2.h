#pragma once

// The SSE2 form of the unscaled keyed, stipple and mask-stipple walk: one register of pixels at a
// time, a lane written where the pattern or mask admits it and the keys allow it, the rest of the
// destination register stored back unchanged. The last 0 to kLanes - 1 pixels of a row take the
// scalar rule, so no row is read or written outside [x, x + width).
#if defined(__SSE2__)

#include <cstdint>

#include "graphics/core/blit_flags.h"
#include "graphics/blit/blit_mask_stipple.h"
#include "graphics/blit/sse2_lanes.h"
#include "graphics/blit/stipple_pattern.h"
#include "graphics/core/stipple_thresholds.h"

namespace gfx::sse2 {

// What decides, besides the keys, whether a blit pixel is drawn.
enum class Admission { All, Pattern, Mask };

struct UnscaledRows {
    uint8_t* dst;
    int32_t dstPitch;
    int32_t dx;
    int32_t dy;
    int32_t width;
    int32_t height;
    const uint8_t* src;
    int32_t srcPitch;
    int32_t sx;
    int32_t sy;
    uint32_t flags;
    uint32_t srcKey = 0;
    uint32_t dstKey = 0;
    const StipplePattern* pattern = nullptr;
    const uint8_t* mask = nullptr;
    int32_t maskPitch = 0;
    uint32_t level = 0;  // of the constant blends
};

// Per blit row (i & 7) and column phase (j & 7 is 0 or, for 4-lane registers, 4): the lanes the
// stipple pattern admits, or for mask stipple the smallest admitted (mask byte >> 2) per lane
// byte, max(1, threshold - 1), which is the scalar rule m > 3 && (m >> 2) + 1 >= threshold.
template <class L>
struct Admitters {
    __m128i lanes[8][2];

    Admitters(const UnscaledRows& a, Admission admission) {
        constexpr int kBytes = L::Pixel::kBytes;
        alignas(16) uint8_t bytes[16];
        for (int r = 0; r < 8; ++r) {
            for (int p = 0; p < 2; ++p) {
                const int phase = p * 4;
                for (int b = 0; b < 16; ++b) {
                    if (admission == Admission::Pattern) {
                        bytes[b] = a.pattern->admit[r][(phase + b / kBytes) & 7] ? 0xFF : 0;
                    } else {
                        const uint8_t t = StippleThresholds[(a.dy + r) & 7][(a.dx + phase + b) & 7];
                        bytes[b] = t > 1 ? static_cast<uint8_t>(t - 1) : 1;
                    }
                }
                lanes[r][p] = _mm_load_si128(reinterpret_cast<const __m128i*>(bytes));
            }
        }
    }
};

template <class L, Admission kAdmission, bool kSrcKey, bool kDstKey, bool kMirrorX>
void WalkRows(const UnscaledRows& a, const Admitters<L>* admitters) {
    using P = typename L::Pixel;
    constexpr int kBytes = P::kBytes;
    constexpr int kLanes = L::kLanes;
    const bool mirrorY = (a.flags & BLIT_MIRROR_Y) != 0;
    const __m128i srcKey = L::Splat(a.srcKey);
    const __m128i dstKey = L::Splat(a.dstKey);
    const __m128i low6 = _mm_set1_epi8(0x3F);
    const int32_t w = a.width;
    for (int32_t i = 0; i < a.height; ++i) {
        uint8_t* d = PixelAt<P>(a.dst, a.dstPitch, a.dx, a.dy + i);
        const int32_t row = mirrorY ? a.sy + a.height - 1 - i : a.sy + i;
        const uint8_t* s = PixelAt<P>(a.src, a.srcPitch, a.sx, row);
        const uint8_t* m = nullptr;
        if constexpr (kAdmission == Admission::Mask) {
            m = PixelAt<Pixel8>(a.mask, a.maskPitch, a.sx, row);
        }
        const int r = i & 7;
        int32_t j = 0;
        for (; j + kLanes <= w; j += kLanes) {
            const int32_t column = kMirrorX ? w - kLanes - j : j;
            __m128i v = Load(s + column * kBytes);
            if constexpr (kMirrorX) v = L::Reverse(v);
            uint8_t* out = d + j * kBytes;
            if constexpr (kAdmission == Admission::All && !kSrcKey && !kDstKey) {
                Store(out, v);
                continue;
            }
            __m128i write = _mm_set1_epi8(-1);
            if constexpr (kAdmission == Admission::Pattern) {
                write = admitters->lanes[r][(j & 7) != 0];
            } else if constexpr (kAdmission == Admission::Mask) {
                const __m128i mb = L::LoadMaskBytes(m + column, kMirrorX);
                const __m128i q = _mm_and_si128(_mm_srli_epi16(mb, 2), low6);
                const __m128i least = admitters->lanes[r][(j & 7) != 0];
                write = L::Widen(_mm_cmpeq_epi8(_mm_max_epu8(q, least), q));
            }
            if constexpr (kSrcKey) write = _mm_andnot_si128(L::Equal(v, srcKey), write);
            const __m128i old = Load(out);
            if constexpr (kDstKey) write = _mm_and_si128(write, L::Equal(old, dstKey));
            Store(out, _mm_or_si128(_mm_and_si128(write, v), _mm_andnot_si128(write, old)));
        }
        for (; j < w; ++j) {
            const int32_t column = kMirrorX ? w - 1 - j : j;
            uint8_t* out = d + j * kBytes;
            if constexpr (kAdmission == Admission::Pattern) {
                if (!a.pattern->Admits(i, j)) continue;
            } else if constexpr (kAdmission == Admission::Mask) {
                if (!MaskStippleAdmits(m[column],
                                       StippleThresholds[(a.dy + i) & 7][(a.dx + j) & 7]))
                    continue;
            }
            const typename P::Value value = P::Load(s + column * kBytes);
            if (kSrcKey && P::Equals(value, a.srcKey)) continue;
            if (kDstKey && !P::Equals(P::Load(out), a.dstKey)) continue;
            P::Store(out, value);
        }
    }
}

// The instance of WalkRows for the key and mirror flags.
template <class L, Admission kAdmission>
void WalkFlags(const UnscaledRows& a, const Admitters<L>* ad, bool srcKey, bool dstKey,
               bool mirrorX) {
    const int which = (srcKey ? 4 : 0) | (dstKey ? 2 : 0) | (mirrorX ? 1 : 0);
    switch (which) {
        case 0:
            return WalkRows<L, kAdmission, false, false, false>(a, ad);
        case 1:
            return WalkRows<L, kAdmission, false, false, true>(a, ad);
        case 2:
            return WalkRows<L, kAdmission, false, true, false>(a, ad);
        case 3:
            return WalkRows<L, kAdmission, false, true, true>(a, ad);
        case 4:
            return WalkRows<L, kAdmission, true, false, false>(a, ad);
        case 5:
            return WalkRows<L, kAdmission, true, false, true>(a, ad);
        case 6:
            return WalkRows<L, kAdmission, true, true, false>(a, ad);
        default:
            return WalkRows<L, kAdmission, true, true, true>(a, ad);
    }
}

// Walks the rows of a blit. Plain and vertically mirrored copies go to the
// row copier.
template <class L, Admission kAdmission>
void Walk(const UnscaledRows& a) {
    constexpr int kBytes = L::Pixel::kBytes;
    const bool srcKey = kAdmission != Admission::Mask && (a.flags & BLIT_SRCKEY) != 0;
    const bool dstKey = kAdmission != Admission::Mask && (a.flags & BLIT_DESTKEY) != 0;
    const bool mirrorX = (a.flags & BLIT_MIRROR_X) != 0;
    if (kAdmission == Admission::All && !srcKey && !dstKey && !mirrorX) {
        if ((a.flags & BLIT_MIRROR_Y) == 0) {
            CopyRows(PixelAt<typename L::Pixel>(a.dst, a.dstPitch, a.dx, a.dy), a.dstPitch,
                     PixelAt<typename L::Pixel>(a.src, a.srcPitch, a.sx, a.sy), a.srcPitch,
                     static_cast<size_t>(a.width) * kBytes, a.height);
        } else {
            for (int32_t i = 0; i < a.height; ++i) {
                CopyBytes(
                    PixelAt<typename L::Pixel>(a.dst, a.dstPitch, a.dx, a.dy + i),
                    PixelAt<typename L::Pixel>(a.src, a.srcPitch, a.sx, a.sy + a.height - 1 - i),
                    static_cast<size_t>(a.width) * kBytes);
            }
        }
        return;
    }
    if constexpr (kAdmission == Admission::All) {
        WalkFlags<L, kAdmission>(a, nullptr, srcKey, dstKey, mirrorX);
    } else {
        const Admitters<L> admitters(a, kAdmission);
        WalkFlags<L, kAdmission>(a, &admitters, srcKey, dstKey, mirrorX);
    }
}

}  // namespace gfx::sse2

#endif  // __SSE2__
