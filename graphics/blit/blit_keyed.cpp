#include "graphics/blit/blit_keyed.h"

namespace gfx {

int32_t Blt8KeyedScalar(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy, int32_t width,
                        int32_t height, const uint8_t* src, int32_t srcPitch, int32_t sx,
                        int32_t sy, uint32_t flags, uint32_t srcKey, uint32_t dstKey) {
    return KeyedScalar<Pixel8>(dst, dstPitch, dx, dy, width, height, src, srcPitch, sx, sy, flags,
                               srcKey, dstKey);
}

int32_t Blt16KeyedScalar(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy, int32_t width,
                         int32_t height, const uint8_t* src, int32_t srcPitch, int32_t sx,
                         int32_t sy, uint32_t flags, uint32_t srcKey, uint32_t dstKey) {
    return KeyedScalar<Pixel16>(dst, dstPitch, dx, dy, width, height, src, srcPitch, sx, sy, flags,
                                srcKey, dstKey);
}

int32_t Blt24KeyedScalar(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy, int32_t width,
                         int32_t height, const uint8_t* src, int32_t srcPitch, int32_t sx,
                         int32_t sy, uint32_t flags, uint32_t srcKey, uint32_t dstKey) {
    return KeyedScalar<Pixel24>(dst, dstPitch, dx, dy, width, height, src, srcPitch, sx, sy, flags,
                                srcKey, dstKey);
}

int32_t Blt32KeyedScalar(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy, int32_t width,
                         int32_t height, const uint8_t* src, int32_t srcPitch, int32_t sx,
                         int32_t sy, uint32_t flags, uint32_t srcKey, uint32_t dstKey) {
    return KeyedScalar<Pixel32>(dst, dstPitch, dx, dy, width, height, src, srcPitch, sx, sy, flags,
                                srcKey, dstKey);
}

}  // namespace gfx
