#include "graphics/blit/blit_stipple.h"

namespace gfx {

int32_t Blt8StippleScalar(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy, int32_t width,
                          int32_t height, const uint8_t* src, int32_t srcPitch, int32_t sx,
                          int32_t sy, uint32_t flags, uint32_t srcKey, uint32_t dstKey,
                          uint32_t level) {
    return StippleScalar<Pixel8>(dst, dstPitch, dx, dy, width, height, src, srcPitch, sx, sy, flags,
                                 srcKey, dstKey, level);
}

int32_t Blt16StippleScalar(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy, int32_t width,
                           int32_t height, const uint8_t* src, int32_t srcPitch, int32_t sx,
                           int32_t sy, uint32_t flags, uint32_t srcKey, uint32_t dstKey,
                           uint32_t level) {
    return StippleScalar<Pixel16>(dst, dstPitch, dx, dy, width, height, src, srcPitch, sx, sy,
                                  flags, srcKey, dstKey, level);
}

int32_t Blt24StippleScalar(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy, int32_t width,
                           int32_t height, const uint8_t* src, int32_t srcPitch, int32_t sx,
                           int32_t sy, uint32_t flags, uint32_t srcKey, uint32_t dstKey,
                           uint32_t level) {
    return StippleScalar<Pixel24>(dst, dstPitch, dx, dy, width, height, src, srcPitch, sx, sy,
                                  flags, srcKey, dstKey, level);
}

int32_t Blt32StippleScalar(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy, int32_t width,
                           int32_t height, const uint8_t* src, int32_t srcPitch, int32_t sx,
                           int32_t sy, uint32_t flags, uint32_t srcKey, uint32_t dstKey,
                           uint32_t level) {
    return StippleScalar<Pixel32>(dst, dstPitch, dx, dy, width, height, src, srcPitch, sx, sy,
                                  flags, srcKey, dstKey, level);
}

}  // namespace gfx
