#pragma once

// The AVX2 bodies of the 8, 16 and 32-bit nearest-neighbour keyed and stipple routines, identical
// in result to the scalar bodies of blit_scaled.h. Each source row the walk reaches is gathered
// once (halving and doubling rows in 256-bit registers), and each destination row is drawn from
// the gathered row by the unscaled AVX2 row, 32 bytes a register. Compiled for AVX2 by function
// attributes in a baseline build; only called where the processor has AVX2.
#include "graphics/blit/instruction_sets.h"

#if defined(GFX_HAVE_X86_TARGETS)

#include <cstdint>

#include "graphics/blit/blit_scaled.h"
#include "graphics/blit/blit_scaled_sse2.h"
#include "graphics/blit/scaled_gather_avx2.h"
#include "graphics/blit/stipple_pattern.h"
#include "graphics/blit/unscaled_walk_avx2.h"
#include "graphics/core/blit_flags.h"

namespace gfx::avx2 {

template <class L, Admission kAdmission, bool kSrcKey, bool kDstKey>
__attribute__((target("avx2"))) void KeyedScaledRows(const sse2::ScaledRect& r,
                                                     sse2::ScaledScratch& scratch,
                                                     const sse2::UnscaledRows& rows,
                                                     const Admitters<L>* admitters) {
    using P = typename L::Pixel;
    // Halving rows are drawn straight from the source; the others gather each fresh source row
    // once.
    const bool halving = scratch.everyOther;
    sse2::ForEachScaledRow<P>(
        r, [&](int32_t i, uint8_t * d, const uint8_t* s, const uint8_t*, bool fresh)
               __attribute__((target("avx2"))) {
                   if (halving) {
                       WalkRow<L, kAdmission, kSrcKey, kDstKey, false>(
                           rows, admitters, i, d, EveryOtherPixel<P>{s}, nullptr);
                       return;
                   }
                   if (fresh) avx2::GatherSourceRow<P>(scratch.pixels, s, scratch, r.width);
                   WalkRow<L, kAdmission, kSrcKey, kDstKey, false>(
                       rows, admitters, i, d, RowPixels<P>{scratch.pixels}, nullptr);
               });
}

// The walk for the key flags; pattern null admits every pixel.
template <class P>
__attribute__((target("avx2"))) void KeyedScaledFlags(const sse2::ScaledRect& r,
                                                      sse2::ScaledScratch& scratch, uint32_t srcKey,
                                                      uint32_t dstKey,
                                                      const StipplePattern* pattern) {
    using L = typename LanesOf<P>::type;
    const bool useSrcKey = (r.flags & BLIT_SRCKEY) != 0;
    const bool useDstKey = (r.flags & BLIT_DESTKEY) != 0;
    if (!pattern && !useSrcKey && !useDstKey) {
        sse2::CopyScaledRows<P>(r, scratch, SourceRowGather<P>{});
        return;
    }
    const sse2::UnscaledRows rows = sse2::KeyedRowsOf(r, srcKey, dstKey, pattern);
    using Walk = void (*)(const sse2::ScaledRect&, sse2::ScaledScratch&, const sse2::UnscaledRows&,
                          const Admitters<L>*);
    static constexpr Walk kAll[4] = {
        KeyedScaledRows<L, Admission::All, false, false>,
        KeyedScaledRows<L, Admission::All, false, true>,
        KeyedScaledRows<L, Admission::All, true, false>,
        KeyedScaledRows<L, Admission::All, true, true>,
    };
    static constexpr Walk kPattern[4] = {
        KeyedScaledRows<L, Admission::Pattern, false, false>,
        KeyedScaledRows<L, Admission::Pattern, false, true>,
        KeyedScaledRows<L, Admission::Pattern, true, false>,
        KeyedScaledRows<L, Admission::Pattern, true, true>,
    };
    const int keys = (useSrcKey ? 2 : 0) | (useDstKey ? 1 : 0);
    if (!pattern) {
        kAll[keys](r, scratch, rows, nullptr);
        return;
    }
    const Admitters<L> admitters(rows, Admission::Pattern);
    kPattern[keys](r, scratch, rows, &admitters);
}

}  // namespace gfx::avx2

namespace gfx {

template <class P>
__attribute__((target("avx2"))) int32_t ScaledKeyedAvx2(uint8_t* dst, int32_t dstPitch, int32_t dx,
                                                        int32_t dy, int32_t width, int32_t height,
                                                        const uint8_t* src, int32_t srcPitch,
                                                        int32_t sx, int32_t sy, int32_t sw,
                                                        int32_t sh, uint32_t flags, uint32_t srcKey,
                                                        uint32_t dstKey) {
    return sse2::RunScaledKeyed<P>(
        {dst, dstPitch, dx, dy, width, height, src, srcPitch, sx, sy, sw, sh, nullptr, 0, flags},
        srcKey, dstKey, sse2::kEveryPixel, avx2::KeyedScaledFlags<P>);
}

template <class P>
__attribute__((target("avx2"))) int32_t ScaledStippleAvx2(
    uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy, int32_t width, int32_t height,
    const uint8_t* src, int32_t srcPitch, int32_t sx, int32_t sy, int32_t sw, int32_t sh,
    uint32_t flags, uint32_t srcKey, uint32_t dstKey, uint32_t level) {
    return sse2::RunScaledKeyed<P>(
        {dst, dstPitch, dx, dy, width, height, src, srcPitch, sx, sy, sw, sh, nullptr, 0, flags},
        srcKey, dstKey, level, avx2::KeyedScaledFlags<P>);
}

}  // namespace gfx

#endif  // GFX_HAVE_X86_TARGETS
