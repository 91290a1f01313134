#pragma once

// The SSE2 body of the keyed routines, identical in result to KeyedScalar.
#if defined(__SSE2__)

#include <cstdint>

#include "graphics/blit/blit_keyed.h"
#include "graphics/blit/triplet_walk_sse2.h"
#include "graphics/blit/unscaled_walk_sse2.h"
#include "graphics/core/blit_flags.h"

namespace gfx {

template <class P>
int32_t KeyedSse2(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy, int32_t width,
                  int32_t height, const uint8_t* src, int32_t srcPitch, int32_t sx, int32_t sy,
                  uint32_t flags, uint32_t srcKey, uint32_t dstKey) {
    if (sse2::RowsOverlap(dst, dstPitch, dx, dy, src, srcPitch, sx, sy, width, height,
                          P::kBytes)) {
        return KeyedScalar<P>(dst, dstPitch, dx, dy, width, height, src, srcPitch, sx, sy, flags,
                              srcKey, dstKey);
    }
    sse2::UnscaledRows rows{dst, dstPitch, dx, dy, width, height, src, srcPitch, sx, sy, flags};
    rows.srcKey = srcKey;
    rows.dstKey = dstKey;
    sse2::Walk<typename sse2::LanesOf<P>::type, sse2::Admission::All>(rows);
    return 0;
}

// 24-bit pixels go sixteen at a time in three registers; horizontal mirroring stays with the
// scalar walk.
template <>
inline int32_t KeyedSse2<Pixel24>(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy,
                                  int32_t width, int32_t height, const uint8_t* src,
                                  int32_t srcPitch, int32_t sx, int32_t sy, uint32_t flags,
                                  uint32_t srcKey, uint32_t dstKey) {
    if ((flags & BLIT_MIRROR_X) != 0 || sse2::RowsOverlap(dst, dstPitch, dx, dy, src, srcPitch, sx,
                                                          sy, width, height, Pixel24::kBytes)) {
        return KeyedScalar<Pixel24>(dst, dstPitch, dx, dy, width, height, src, srcPitch, sx, sy,
                                    flags, srcKey, dstKey);
    }
    const bool mirrorY = (flags & BLIT_MIRROR_Y) != 0;
    const bool useSrcKey = (flags & BLIT_SRCKEY) != 0;
    const bool useDstKey = (flags & BLIT_DESTKEY) != 0;
    if (useSrcKey || useDstKey) {
        sse2::TripletWalk<false>(dst, dstPitch, dx, dy, width, height, src, srcPitch, sx, sy,
                                 mirrorY, useSrcKey, useDstKey, srcKey, dstKey, nullptr);
        return 0;
    }
    const size_t rowBytes = static_cast<size_t>(width) * Pixel24::kBytes;
    for (int32_t i = 0; i < height; ++i) {
        sse2::CopyBytes(PixelAt<Pixel24>(dst, dstPitch, dx, dy + i),
                        PixelAt<Pixel24>(src, srcPitch, sx, mirrorY ? sy + height - 1 - i : sy + i),
                        rowBytes);
    }
    return 0;
}

}  // namespace gfx

#endif  // __SSE2__
