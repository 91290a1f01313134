#include "graphics/blit/blit_keyed_sse2.h"

#if defined(__SSE2__)

#include "graphics/blit/blit_keyed.h"
#include "graphics/blit/triplet_walk_sse2.h"
#include "graphics/blit/unscaled_walk_sse2.h"

namespace gfx {

namespace {

template <class L>
int32_t KeyedSse2(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy, int32_t width,
                  int32_t height, const uint8_t* src, int32_t srcPitch, int32_t sx, int32_t sy,
                  uint32_t flags, uint32_t srcKey, uint32_t dstKey) {
    using P = typename L::Pixel;
    if (sse2::SpansOverlap(dst, dstPitch, dx, dy, src, srcPitch, sx, sy, width, height,
                           P::kBytes)) {
        return KeyedScalar<P>(dst, dstPitch, dx, dy, width, height, src, srcPitch, sx, sy, flags,
                              srcKey, dstKey);
    }
    sse2::UnscaledRows rows{dst, dstPitch, dx, dy, width, height, src, srcPitch, sx, sy, flags};
    rows.srcKey = srcKey;
    rows.dstKey = dstKey;
    sse2::Walk<L, sse2::Admission::All>(rows);
    return 0;
}

}  // namespace

int32_t Blt8KeyedSse2(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy, int32_t width,
                      int32_t height, const uint8_t* src, int32_t srcPitch, int32_t sx, int32_t sy,
                      uint32_t flags, uint32_t srcKey, uint32_t dstKey) {
    return KeyedSse2<sse2::Lanes8>(dst, dstPitch, dx, dy, width, height, src, srcPitch, sx, sy,
                                   flags, srcKey, dstKey);
}

int32_t Blt16KeyedSse2(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy, int32_t width,
                       int32_t height, const uint8_t* src, int32_t srcPitch, int32_t sx, int32_t sy,
                       uint32_t flags, uint32_t srcKey, uint32_t dstKey) {
    return KeyedSse2<sse2::Lanes16>(dst, dstPitch, dx, dy, width, height, src, srcPitch, sx, sy,
                                    flags, srcKey, dstKey);
}

int32_t Blt24KeyedSse2(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy, int32_t width,
                       int32_t height, const uint8_t* src, int32_t srcPitch, int32_t sx, int32_t sy,
                       uint32_t flags, uint32_t srcKey, uint32_t dstKey) {
    if ((flags & BLIT_MIRROR_X) != 0 || sse2::SpansOverlap(dst, dstPitch, dx, dy, src, srcPitch, sx,
                                                           sy, width, height, Pixel24::kBytes)) {
        return Blt24KeyedScalar(dst, dstPitch, dx, dy, width, height, src, srcPitch, sx, sy, flags,
                                srcKey, dstKey);
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

int32_t Blt32KeyedSse2(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy, int32_t width,
                       int32_t height, const uint8_t* src, int32_t srcPitch, int32_t sx, int32_t sy,
                       uint32_t flags, uint32_t srcKey, uint32_t dstKey) {
    return KeyedSse2<sse2::Lanes32>(dst, dstPitch, dx, dy, width, height, src, srcPitch, sx, sy,
                                    flags, srcKey, dstKey);
}

}  // namespace gfx

#endif  // __SSE2__
