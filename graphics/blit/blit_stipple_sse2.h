#pragma once

// The SSE2 body of the constant-stipple routines, identical in result to StippleScalar.
#if defined(__SSE2__)

#include <cstdint>

#include "graphics/blit/blit_stipple.h"
#include "graphics/blit/triplet_walk_sse2.h"
#include "graphics/blit/unscaled_walk_sse2.h"
#include "graphics/core/blit_flags.h"

namespace gfx {

template <class P>
int32_t StippleSse2(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy, int32_t width,
                    int32_t height, const uint8_t* src, int32_t srcPitch, int32_t sx, int32_t sy,
                    uint32_t flags, uint32_t srcKey, uint32_t dstKey, uint32_t level) {
    using L = typename sse2::LanesOf<P>::type;
    if (sse2::RowsOverlap(dst, dstPitch, dx, dy, src, srcPitch, sx, sy, width, height,
                          P::kBytes)) {
        return StippleScalar<P>(dst, dstPitch, dx, dy, width, height, src, srcPitch, sx, sy, flags,
                                srcKey, dstKey, level);
    }
    // The thresholds run from 1 to 64: below 1 nothing is admitted, from 64 everything.
    const uint32_t density = level >> 2;
    if (density == 0) return 0;
    sse2::UnscaledRows rows{dst, dstPitch, dx, dy, width, height, src, srcPitch, sx, sy, flags};
    rows.srcKey = srcKey;
    rows.dstKey = dstKey;
    if (density >= 64) {
        sse2::Walk<L, sse2::Admission::All>(rows);
        return 0;
    }
    const StipplePattern pattern(dx, dy, level);
    rows.pattern = &pattern;
    sse2::Walk<L, sse2::Admission::Pattern>(rows);
    return 0;
}

// 24-bit pixels go through the triplet walk; horizontal mirroring stays with the scalar walk.
template <>
inline int32_t StippleSse2<Pixel24>(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy,
                                    int32_t width, int32_t height, const uint8_t* src,
                                    int32_t srcPitch, int32_t sx, int32_t sy, uint32_t flags,
                                    uint32_t srcKey, uint32_t dstKey, uint32_t level) {
    if ((flags & BLIT_MIRROR_X) != 0 || sse2::RowsOverlap(dst, dstPitch, dx, dy, src, srcPitch, sx,
                                                          sy, width, height, Pixel24::kBytes)) {
        return StippleScalar<Pixel24>(dst, dstPitch, dx, dy, width, height, src, srcPitch, sx, sy,
                                      flags, srcKey, dstKey, level);
    }
    if ((level >> 2) == 0) return 0;
    const StipplePattern pattern(dx, dy, level);
    sse2::TripletWalk<true>(dst, dstPitch, dx, dy, width, height, src, srcPitch, sx, sy,
                            (flags & BLIT_MIRROR_Y) != 0, (flags & BLIT_SRCKEY) != 0,
                            (flags & BLIT_DESTKEY) != 0, srcKey, dstKey, &pattern);
    return 0;
}

}  // namespace gfx

#endif  // __SSE2__
