#include "graphics/blit/blit_copy.h"

namespace gfx {

int32_t Blt8CopyScalar(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy, int32_t width,
                       int32_t height, const uint8_t* src, int32_t srcPitch, int32_t sx,
                       int32_t sy) {
    return CopyRowsScalar<Pixel8>(dst, dstPitch, dx, dy, width, height, src, srcPitch, sx, sy);
}

int32_t Blt16CopyScalar(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy, int32_t width,
                        int32_t height, const uint8_t* src, int32_t srcPitch, int32_t sx,
                        int32_t sy) {
    return CopyRowsScalar<Pixel16>(dst, dstPitch, dx, dy, width, height, src, srcPitch, sx, sy);
}

}  // namespace gfx
