#include "graphics/blit/blit_copy_sse2.h"

#if defined(__SSE2__)

#include "graphics/blit/blit_copy.h"
#include "graphics/blit/sse2_lanes.h"

namespace gfx {

namespace {

template <class P>
int32_t CopySse2(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy, int32_t width,
                 int32_t height, const uint8_t* src, int32_t srcPitch, int32_t sx, int32_t sy) {
    if (sse2::SpansOverlap(dst, dstPitch, dx, dy, src, srcPitch, sx, sy, width, height,
                           P::kBytes)) {
        return CopyRowsScalar<P>(dst, dstPitch, dx, dy, width, height, src, srcPitch, sx, sy);
    }
    sse2::CopyRows(PixelAt<P>(dst, dstPitch, dx, dy), dstPitch, PixelAt<P>(src, srcPitch, sx, sy),
                   srcPitch, static_cast<size_t>(width) * P::kBytes, height);
    return 0;
}

}  // namespace

int32_t Blt8CopySse2(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy, int32_t width,
                     int32_t height, const uint8_t* src, int32_t srcPitch, int32_t sx, int32_t sy) {
    return CopySse2<Pixel8>(dst, dstPitch, dx, dy, width, height, src, srcPitch, sx, sy);
}

int32_t Blt16CopySse2(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy, int32_t width,
                      int32_t height, const uint8_t* src, int32_t srcPitch, int32_t sx,
                      int32_t sy) {
    return CopySse2<Pixel16>(dst, dstPitch, dx, dy, width, height, src, srcPitch, sx, sy);
}

}  // namespace gfx

#endif  // __SSE2__
