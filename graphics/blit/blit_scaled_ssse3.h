#pragma once

// The SSSE3 bodies of the 24-bit nearest-neighbour keyed and stipple routines, identical in
// result to the scalar bodies of blit_scaled.h. Each source row the walk reaches is gathered as
// in the SSE2 bodies (halving rows by byte shuffles, 32 source pixels to 16), and the gathered
// row is drawn by the unscaled 24-bit SSSE3 row, whose keys and pattern are decided a byte per
// pixel. Compiled for SSSE3 by function attributes in a baseline build; only called where the
// processor has SSSE3.
#include "graphics/blit/instruction_sets.h"

#if defined(GFX_HAVE_X86_TARGETS)

#include <cstdint>
#include <cstring>

#include "graphics/blit/blit_scaled.h"
#include "graphics/blit/blit_scaled_sse2.h"
#include "graphics/blit/stipple_pattern.h"
#include "graphics/blit/triplet_walk_ssse3.h"
#include "graphics/blit/triplets_ssse3.h"
#include "graphics/core/blit_flags.h"
#include "graphics/core/pixel_traits.h"

namespace gfx::ssse3 {

// Register `out` of sixteen gathered pixels (48 bytes) that comes from register `in` of the 32
// source pixels (96 bytes) they take every other one of.
constexpr ShuffleIndex EveryOtherTripletBytes(int out, int in) {
    ShuffleIndex index{};
    for (int b = 0; b < 16; ++b) {
        const int o = 16 * out + b;
        const int from = 6 * (o / 3) + o % 3;
        index[b] = static_cast<int8_t>(from / 16 == in ? from % 16 : -128);
    }
    return index;
}

// Output register k takes source registers kEveryOtherFirst[k] to kEveryOtherFirst[k] + 2 (the
// first only two).
inline constexpr int kEveryOtherFirst[3] = {0, 1, 3};
inline constexpr ShuffleIndex kEveryOther[3][3] = {
    {EveryOtherTripletBytes(0, 0), EveryOtherTripletBytes(0, 1), EveryOtherTripletBytes(0, 2)},
    {EveryOtherTripletBytes(1, 1), EveryOtherTripletBytes(1, 2), EveryOtherTripletBytes(1, 3)},
    {EveryOtherTripletBytes(2, 3), EveryOtherTripletBytes(2, 4), EveryOtherTripletBytes(2, 5)},
};

// Every other 24-bit source pixel from `s` on, `width` of them. A block reads source pixels 2j to
// 2j + 31, all inside the row while 2j + 31 <= 2 * (width - 1); the rest take the SSE2 words.
__attribute__((target("ssse3"))) inline void HalveTriplets(uint8_t* out, const uint8_t* s,
                                                           int32_t width) {
    int32_t j = 0;
    for (; j + 17 <= width; j += 16) {
        __m128i in[6];
#pragma GCC unroll 6
        for (int k = 0; k < 6; ++k) in[k] = sse2::Load(s + 6 * j + 16 * k);
#pragma GCC unroll 3
        for (int k = 0; k < 3; ++k) {
            const int first = kEveryOtherFirst[k];
            __m128i v = _mm_or_si128(Shuffle(in[first], kEveryOther[k][0]),
                                     Shuffle(in[first + 1], kEveryOther[k][1]));
            if (k > 0) v = _mm_or_si128(v, Shuffle(in[first + 2], kEveryOther[k][2]));
            sse2::Store(out + 3 * j + 16 * k, v);
        }
    }
    sse2::HalveTriplets(out + 3 * j, s + 6 * j, width - j);
}

// Register `out` of sixteen gathered pixels that take each of eight source pixels twice, from
// the register of source bytes 0-15 (`in` 0) or of bytes 8-23 (`in` 1); a byte comes from the
// first register that holds it.
constexpr ShuffleIndex EveryTwiceTripletBytes(int out, int in) {
    ShuffleIndex index{};
    for (int b = 0; b < 16; ++b) {
        const int o = 16 * out + b;
        const int from = 3 * (o / 6) + o % 3;
        const bool first = from < 16;
        index[b] = static_cast<int8_t>(in == 0 ? (first ? from : -128) : (first ? -128 : from - 8));
    }
    return index;
}

// Register `out` of sixteen pixels' mask bytes, three a pixel, from eight mask bytes each taken
// for two pixels.
constexpr ShuffleIndex EveryTwiceMaskBytes(int out) {
    ShuffleIndex index{};
    for (int b = 0; b < 16; ++b) index[b] = static_cast<int8_t>((16 * out + b) / 6);
    return index;
}

inline constexpr ShuffleIndex kEveryTwice[3][2] = {
    {EveryTwiceTripletBytes(0, 0), EveryTwiceTripletBytes(0, 1)},
    {EveryTwiceTripletBytes(1, 0), EveryTwiceTripletBytes(1, 1)},
    {EveryTwiceTripletBytes(2, 0), EveryTwiceTripletBytes(2, 1)},
};
inline constexpr ShuffleIndex kEveryTwiceMask[3] = {EveryTwiceMaskBytes(0), EveryTwiceMaskBytes(1),
                                                    EveryTwiceMaskBytes(2)};

// Whether the block of sixteen pixels at j reads only source pixels (or mask bytes) the row
// reads: j / 2 to j / 2 + 7, the last being (width - 1) / 2.
inline bool DoubledBlockInside(int32_t j, int32_t width) { return j / 2 + 7 <= (width - 1) / 2; }

// Each 24-bit source pixel from `s` on twice, `width` pixels in all: a block reads the 24 bytes
// of eight source pixels as two overlapping registers; the rest take the SSE2 pairs.
__attribute__((target("ssse3"))) inline void DoubleTriplets(uint8_t* out, const uint8_t* s,
                                                            int32_t width) {
    int32_t j = 0;
    for (; j + 16 <= width && DoubledBlockInside(j, width); j += 16) {
        const __m128i a = sse2::Load(s + 3 * (j / 2));
        const __m128i b = sse2::Load(s + 3 * (j / 2) + 8);
#pragma GCC unroll 3
        for (int k = 0; k < 3; ++k) {
            sse2::Store(out + 3 * j + 16 * k,
                        _mm_or_si128(Shuffle(a, kEveryTwice[k][0]), Shuffle(b, kEveryTwice[k][1])));
        }
    }
    sse2::DoubleTriplets(out + 3 * j, s + 3 * (j / 2), width - j);
}

// Each mask byte from `m` on for two pixels, three times a pixel, `width` pixels in all.
__attribute__((target("ssse3"))) inline void DoubleMaskTriplets(uint8_t* out, const uint8_t* m,
                                                                int32_t width) {
    int32_t j = 0;
    for (; j + 16 <= width && DoubledBlockInside(j, width); j += 16) {
        const __m128i v = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(m + j / 2));
#pragma GCC unroll 3
        for (int k = 0; k < 3; ++k)
            sse2::Store(out + 3 * j + 16 * k, Shuffle(v, kEveryTwiceMask[k]));
    }
    for (; j < width; ++j) std::memset(out + 3 * j, m[j / 2], 3);
}

// The mask bytes of every other source pixel from `m` on, each three times, for `width` pixels:
// a block reads mask bytes 2j to 2j + 31, inside the row as the pixels of HalveTriplets are.
__attribute__((target("ssse3"))) inline void HalveMaskTriplets(uint8_t* out, const uint8_t* m,
                                                               int32_t width) {
    const __m128i low = _mm_set1_epi16(0x00FF);
    int32_t j = 0;
    for (; j + 17 <= width; j += 16) {
        const __m128i a = _mm_and_si128(sse2::Load(m + 2 * j), low);
        const __m128i b = _mm_and_si128(sse2::Load(m + 2 * j + 16), low);
        StoreBlock(out + 3 * j, Spread(_mm_packus_epi16(a, b)));
    }
    for (; j + 1 < width; ++j) {
        const uint32_t word = m[2 * j] * 0x01010101u;
        std::memcpy(out + 3 * j, &word, 4);
    }
    if (j < width) std::memset(out + 3 * j, m[2 * j], 3);
}

// A 24-bit source row and its mask row of three bytes a pixel, halved and doubled rows by
// shuffles.
__attribute__((target("ssse3"))) inline void GatherMaskedTriplets(
    uint8_t* pixels, uint8_t* maskRow, const uint8_t* s, const uint8_t* m,
    const sse2::ScaledScratch& scratch, int32_t width) {
    if (scratch.everyOther) {
        HalveTriplets(pixels, s, width);
        HalveMaskTriplets(maskRow, m, width);
    } else if (scratch.everyTwice) {
        DoubleTriplets(pixels, s, width);
        DoubleMaskTriplets(maskRow, m, width);
    } else {
        sse2::NoWideBlocks::Gather24(pixels, maskRow, s, m, scratch, width);
    }
}

struct TripletRowGather {
    __attribute__((target("ssse3"))) void operator()(uint8_t* out, const uint8_t* s,
                                                     const sse2::ScaledScratch& scratch,
                                                     int32_t width) const {
        if (scratch.everyOther) return HalveTriplets(out, s, width);
        if (scratch.everyTwice) return DoubleTriplets(out, s, width);
        sse2::GatherSourceRow<Pixel24>(out, s, scratch, width);
    }
};

// Keys and stipple: each fresh source row gathered once, each destination row drawn from it.
template <sse2::Admission kAdmission, bool kSrcKey, bool kDstKey>
__attribute__((target("ssse3"))) void KeyedScaledTriplets(const sse2::ScaledRect& r,
                                                          sse2::ScaledScratch& scratch,
                                                          const sse2::UnscaledRows& rows,
                                                          const BlockAdmitters* admitters) {
    sse2::ForEachScaledRow<Pixel24>(
        r, [&](int32_t i, uint8_t * d, const uint8_t* s, const uint8_t*, bool fresh)
               __attribute__((target("ssse3"))) {
                   if (fresh) TripletRowGather{}(scratch.pixels, s, scratch, r.width);
                   TripletRow<kAdmission, kSrcKey, kDstKey, false>(rows, i, d, scratch.pixels,
                                                                   nullptr, admitters);
               });
}

// The walk for the key flags; pattern null admits every pixel.
__attribute__((target("ssse3"))) inline void KeyedScaledTripletFlags(
    const sse2::ScaledRect& r, sse2::ScaledScratch& scratch, uint32_t srcKey, uint32_t dstKey,
    const StipplePattern* pattern) {
    const bool useSrcKey = (r.flags & BLIT_SRCKEY) != 0;
    const bool useDstKey = (r.flags & BLIT_DESTKEY) != 0;
    if (!pattern && !useSrcKey && !useDstKey) {
        sse2::CopyScaledRows<Pixel24>(r, scratch, TripletRowGather{});
        return;
    }
    const sse2::UnscaledRows rows = sse2::KeyedRowsOf(r, srcKey, dstKey, pattern);
    using Admission = sse2::Admission;
    using Walk = void (*)(const sse2::ScaledRect&, sse2::ScaledScratch&, const sse2::UnscaledRows&,
                          const BlockAdmitters*);
    static constexpr Walk kAll[4] = {
        KeyedScaledTriplets<Admission::All, false, false>,
        KeyedScaledTriplets<Admission::All, false, true>,
        KeyedScaledTriplets<Admission::All, true, false>,
        KeyedScaledTriplets<Admission::All, true, true>,
    };
    static constexpr Walk kPattern[4] = {
        KeyedScaledTriplets<Admission::Pattern, false, false>,
        KeyedScaledTriplets<Admission::Pattern, false, true>,
        KeyedScaledTriplets<Admission::Pattern, true, false>,
        KeyedScaledTriplets<Admission::Pattern, true, true>,
    };
    const int keys = (useSrcKey ? 2 : 0) | (useDstKey ? 1 : 0);
    if (!pattern) {
        kAll[keys](r, scratch, rows, nullptr);
        return;
    }
    const BlockAdmitters admitters(rows, Admission::Pattern);
    kPattern[keys](r, scratch, rows, &admitters);
}

}  // namespace gfx::ssse3

namespace gfx {

__attribute__((target("ssse3"))) inline int32_t ScaledKeyed24Ssse3(
    uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy, int32_t width, int32_t height,
    const uint8_t* src, int32_t srcPitch, int32_t sx, int32_t sy, int32_t sw, int32_t sh,
    uint32_t flags, uint32_t srcKey, uint32_t dstKey) {
    return sse2::RunScaledKeyed<Pixel24>(
        {dst, dstPitch, dx, dy, width, height, src, srcPitch, sx, sy, sw, sh, nullptr, 0, flags},
        srcKey, dstKey, sse2::kEveryPixel, ssse3::KeyedScaledTripletFlags);
}

__attribute__((target("ssse3"))) inline int32_t ScaledStipple24Ssse3(
    uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy, int32_t width, int32_t height,
    const uint8_t* src, int32_t srcPitch, int32_t sx, int32_t sy, int32_t sw, int32_t sh,
    uint32_t flags, uint32_t srcKey, uint32_t dstKey, uint32_t level) {
    return sse2::RunScaledKeyed<Pixel24>(
        {dst, dstPitch, dx, dy, width, height, src, srcPitch, sx, sy, sw, sh, nullptr, 0, flags},
        srcKey, dstKey, level, ssse3::KeyedScaledTripletFlags);
}

}  // namespace gfx

#endif  // GFX_HAVE_X86_TARGETS
