#include "graphics/blit/blit_mask_stipple.h"

namespace gfx {

int32_t Blt8MaskStippleScalar(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy, int32_t width,
                              int32_t height, const uint8_t* src, int32_t srcPitch, int32_t sx,
                              int32_t sy, const uint8_t* mask, int32_t maskPitch, uint32_t flags) {
    return MaskStippleScalar<Pixel8>(dst, dstPitch, dx, dy, width, height, src, srcPitch, sx, sy,
                                     mask, maskPitch, flags);
}

int32_t Blt16MaskStippleScalar(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy,
                               int32_t width, int32_t height, const uint8_t* src, int32_t srcPitch,
                               int32_t sx, int32_t sy, const uint8_t* mask, int32_t maskPitch,
                               uint32_t flags) {
    return MaskStippleScalar<Pixel16>(dst, dstPitch, dx, dy, width, height, src, srcPitch, sx, sy,
                                      mask, maskPitch, flags);
}

int32_t Blt24MaskStippleScalar(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy,
                               int32_t width, int32_t height, const uint8_t* src, int32_t srcPitch,
                               int32_t sx, int32_t sy, const uint8_t* mask, int32_t maskPitch,
                               uint32_t flags) {
    return MaskStippleScalar<Pixel24>(dst, dstPitch, dx, dy, width, height, src, srcPitch, sx, sy,
                                      mask, maskPitch, flags);
}

int32_t Blt32MaskStippleScalar(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy,
                               int32_t width, int32_t height, const uint8_t* src, int32_t srcPitch,
                               int32_t sx, int32_t sy, const uint8_t* mask, int32_t maskPitch,
                               uint32_t flags) {
    return MaskStippleScalar<Pixel32>(dst, dstPitch, dx, dy, width, height, src, srcPitch, sx, sy,
                                      mask, maskPitch, flags);
}

}  // namespace gfx
