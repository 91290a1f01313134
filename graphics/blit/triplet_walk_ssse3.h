#pragma once

// The SSSE3 walk of the 24-bit keyed, constant-stipple and mask-stipple blits, mirrored rows
// included: sixteen pixels a block. Every condition (pattern or mask, keys) is decided as one
// byte per pixel, and only a mixed block is spread to three bytes a pixel and merged with the
// destination: a block that is drawn whole is stored as it is, one that is refused whole is not
// touched. The last 0-15 pixels of a row take the scalar rule.
#include "graphics/blit/instruction_sets.h"

#if defined(GFX_HAVE_X86_TARGETS)

#include <cstdint>

#include "graphics/blit/blit_mask_stipple.h"
#include "graphics/blit/triplets_ssse3.h"
#include "graphics/blit/unscaled_walk_sse2.h"
#include "graphics/core/blit_flags.h"
#include "graphics/core/pixel_traits.h"
#include "graphics/core/stipple_thresholds.h"

namespace gfx::ssse3 {

using sse2::Admission;

// Per blit row (i & 7): for stipple the pattern's admitted pixels of a block, for mask stipple
// the least admitted (mask byte >> 2) of each pixel; blocks start at multiples of 16 columns, so
// both repeat from block to block.
using BlockAdmitters = sse2::Admitters<sse2::Lanes8>;

// One row of the walk: destination row i of the blit at d, its source row at s (its mask row at
// m for mask stipple), from destination column j0 (a multiple of 16) on. The scaled walk gives
// its gathered rows here as well.
template <Admission kAdmission, bool kSrcKey, bool kDstKey, bool kMirrorX>
__attribute__((target("ssse3"))) inline void TripletRow(const sse2::UnscaledRows& a, int32_t i,
                                                        uint8_t* d, const uint8_t* s,
                                                        const uint8_t* m,
                                                        const BlockAdmitters* admitters,
                                                        int32_t j0 = 0) {
    const __m128i srcKey = _mm_set1_epi32(static_cast<int>(a.srcKey & 0xFFFFFFu));
    const __m128i dstKey = _mm_set1_epi32(static_cast<int>(a.dstKey & 0xFFFFFFu));
    const __m128i low6 = _mm_set1_epi8(0x3F);
    const int32_t w = a.width;
    // The row's admitters, read before the stores (which may alias anything), and for
    // stipple the pattern spread to three bytes a pixel, for blocks that no key decides.
    __m128i admitted = _mm_setzero_si128();
    sse2::Triplets patternBytes{};
    if constexpr (kAdmission != Admission::All) admitted = admitters->lanes[i & 7][0];
    if constexpr (kAdmission == Admission::Pattern) patternBytes = Spread(admitted);
    int32_t j = j0;
    for (; j + 16 <= w; j += 16) {
        const int32_t column = kMirrorX ? w - 16 - j : j;
        const uint8_t* block = s + column * 3;
        uint8_t* out = d + j * 3;
        sse2::Triplets v = LoadBlock(block);
        if constexpr (kMirrorX) v = Reverse(v);
        if constexpr (kAdmission == Admission::All && !kSrcKey && !kDstKey) {
            StoreBlock(out, v);
            continue;
        }
        __m128i write = _mm_set1_epi8(-1);
        [[maybe_unused]] bool keyed = false;
        if constexpr (kAdmission == Admission::Pattern) {
            write = admitted;
        } else if constexpr (kAdmission == Admission::Mask) {
            __m128i mb = sse2::Load(m + column);
            if constexpr (kMirrorX) mb = ReverseBytes(mb);
            const __m128i q = _mm_and_si128(_mm_srli_epi16(mb, 2), low6);
            write = _mm_cmpeq_epi8(_mm_max_epu8(q, admitted), q);
        }
        if constexpr (kSrcKey) {
            __m128i equal = EqualPixelBytes(block, srcKey);
            if constexpr (kMirrorX) equal = ReverseBytes(equal);
            keyed = _mm_movemask_epi8(equal) != 0;
            write = _mm_andnot_si128(equal, write);
        }
        if constexpr (kAdmission == Admission::Pattern && !kDstKey) {
            // Inside a sprite the pattern alone decides.
            if (!keyed) {
                StoreBlock(out, Select(patternBytes, v, LoadBlock(out)));
                continue;
            }
        }
        if constexpr (kDstKey) write = _mm_and_si128(write, EqualPixelBytes(out, dstKey));
        const int written = _mm_movemask_epi8(write);
        if (written == 0) continue;
        if (written == 0xFFFF) {
            StoreBlock(out, v);
            continue;
        }
        StoreBlock(out, Select(Spread(write), v, LoadBlock(out)));
    }
    for (; j < w; ++j) {
        const int32_t column = kMirrorX ? w - 1 - j : j;
        uint8_t* target = d + j * 3;
        if constexpr (kAdmission == Admission::Pattern) {
            if (!a.pattern->Admits(i, j)) continue;
        } else if constexpr (kAdmission == Admission::Mask) {
            if (!MaskStippleAdmits(m[column], StippleThresholds[(a.dy + i) & 7][(a.dx + j) & 7]))
                continue;
        }
        const uint32_t value = Pixel24::Load(s + column * 3);
        if (kSrcKey && Pixel24::Equals(value, a.srcKey)) continue;
        if (kDstKey && !Pixel24::Equals(Pixel24::Load(target), a.dstKey)) continue;
        Pixel24::Store(target, value);
    }
}

// The rows of TripletRow as one instance of a row family: Row<kAdmission, srcKey, dstKey,
// mirrorX>::Draw(a, i, d, s, m, admitters) draws one row.
template <Admission kAdmission, bool kSrcKey, bool kDstKey, bool kMirrorX>
struct TripletRowSsse3 {
    __attribute__((target("ssse3"))) static void Draw(const sse2::UnscaledRows& a, int32_t i,
                                                      uint8_t* d, const uint8_t* s,
                                                      const uint8_t* m,
                                                      const BlockAdmitters* admitters) {
        TripletRow<kAdmission, kSrcKey, kDstKey, kMirrorX>(a, i, d, s, m, admitters);
    }
};

template <Admission kAdmission, class Row>
void TripletRows(const sse2::UnscaledRows& a, const BlockAdmitters* admitters) {
    const bool mirrorY = (a.flags & BLIT_MIRROR_Y) != 0;
    for (int32_t i = 0; i < a.height; ++i) {
        uint8_t* d = PixelAt<Pixel24>(a.dst, a.dstPitch, a.dx, a.dy + i);
        const int32_t row = mirrorY ? a.sy + a.height - 1 - i : a.sy + i;
        const uint8_t* s = PixelAt<Pixel24>(a.src, a.srcPitch, a.sx, row);
        const uint8_t* m = nullptr;
        if constexpr (kAdmission == Admission::Mask) {
            m = PixelAt<Pixel8>(a.mask, a.maskPitch, a.sx, row);
        }
        Row::Draw(a, i, d, s, m, admitters);
    }
}

// The rows of the family `Row` for the key and mirror flags (the keys are off for mask stipple);
// BLIT_MIRROR_Y is taken at run time.
template <Admission kAdmission, template <Admission, bool, bool, bool> class Row = TripletRowSsse3>
void TripletWalk(const sse2::UnscaledRows& a) {
    const bool mirrorX = (a.flags & BLIT_MIRROR_X) != 0;
    const bool srcKey = kAdmission != Admission::Mask && (a.flags & BLIT_SRCKEY) != 0;
    const bool dstKey = kAdmission != Admission::Mask && (a.flags & BLIT_DESTKEY) != 0;
    using Rows = void (*)(const sse2::UnscaledRows&, const BlockAdmitters*);
    static constexpr Rows kRows[8] = {
        TripletRows<kAdmission, Row<kAdmission, false, false, false>>,
        TripletRows<kAdmission, Row<kAdmission, false, false, true>>,
        TripletRows<kAdmission, Row<kAdmission, false, true, false>>,
        TripletRows<kAdmission, Row<kAdmission, false, true, true>>,
        TripletRows<kAdmission, Row<kAdmission, true, false, false>>,
        TripletRows<kAdmission, Row<kAdmission, true, false, true>>,
        TripletRows<kAdmission, Row<kAdmission, true, true, false>>,
        TripletRows<kAdmission, Row<kAdmission, true, true, true>>,
    };
    const Rows rows = kRows[(srcKey ? 4 : 0) | (dstKey ? 2 : 0) | (mirrorX ? 1 : 0)];
    if constexpr (kAdmission == Admission::All) {
        rows(a, nullptr);
    } else {
        const BlockAdmitters admitters(a, kAdmission);
        rows(a, &admitters);
    }
}

}  // namespace gfx::ssse3

#endif  // GFX_HAVE_X86_TARGETS
