#include "graphics/blit/blit_stipple_sse2.h"

#if defined(__SSE2__)

#include "graphics/blit/blit_stipple.h"
#include "graphics/blit/triplet_walk_sse2.h"
#include "graphics/blit/unscaled_walk_sse2.h"

namespace gfx {

namespace {

template <class L>
int32_t StippleSse2(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy, int32_t width,
                    int32_t height, const uint8_t* src, int32_t srcPitch, int32_t sx, int32_t sy,
                    uint32_t flags, uint32_t srcKey, uint32_t dstKey, uint32_t level) {
    using P = typename L::Pixel;
    if (sse2::SpansOverlap(dst, dstPitch, dx, dy, src, srcPitch, sx, sy, width, height,
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

}  // namespace

int32_t Blt24StippleSse2(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy, int32_t width,
                         int32_t height, const uint8_t* src, int32_t srcPitch, int32_t sx,
                         int32_t sy, uint32_t flags, uint32_t srcKey, uint32_t dstKey,
                         uint32_t level) {
    if ((flags & BLIT_MIRROR_X) != 0 || sse2::SpansOverlap(dst, dstPitch, dx, dy, src, srcPitch, sx,
                                                           sy, width, height, Pixel24::kBytes)) {
        return Blt24StippleScalar(dst, dstPitch, dx, dy, width, height, src, srcPitch, sx, sy,
                                  flags, srcKey, dstKey, level);
    }
    if ((level >> 2) == 0) return 0;
    const StipplePattern pattern(dx, dy, level);
    sse2::TripletWalk<true>(dst, dstPitch, dx, dy, width, height, src, srcPitch, sx, sy,
                            (flags & BLIT_MIRROR_Y) != 0, (flags & BLIT_SRCKEY) != 0,
                            (flags & BLIT_DESTKEY) != 0, srcKey, dstKey, &pattern);
    return 0;
}

int32_t Blt8StippleSse2(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy, int32_t width,
                        int32_t height, const uint8_t* src, int32_t srcPitch, int32_t sx,
                        int32_t sy, uint32_t flags, uint32_t srcKey, uint32_t dstKey,
                        uint32_t level) {
    return StippleSse2<sse2::Lanes8>(dst, dstPitch, dx, dy, width, height, src, srcPitch, sx, sy,
                                     flags, srcKey, dstKey, level);
}

int32_t Blt16StippleSse2(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy, int32_t width,
                         int32_t height, const uint8_t* src, int32_t srcPitch, int32_t sx,
                         int32_t sy, uint32_t flags, uint32_t srcKey, uint32_t dstKey,
                         uint32_t level) {
    return StippleSse2<sse2::Lanes16>(dst, dstPitch, dx, dy, width, height, src, srcPitch, sx, sy,
                                      flags, srcKey, dstKey, level);
}

int32_t Blt32StippleSse2(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy, int32_t width,
                         int32_t height, const uint8_t* src, int32_t srcPitch, int32_t sx,
                         int32_t sy, uint32_t flags, uint32_t srcKey, uint32_t dstKey,
                         uint32_t level) {
    return StippleSse2<sse2::Lanes32>(dst, dstPitch, dx, dy, width, height, src, srcPitch, sx, sy,
                                      flags, srcKey, dstKey, level);
}

}  // namespace gfx

#endif  // __SSE2__
