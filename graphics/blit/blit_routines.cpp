#include "graphics/blit/blit_routines.h"

#include "graphics/blit/blit_copy.h"
#include "graphics/blit/blit_keyed.h"
#include "graphics/blit/blit_mask_stipple.h"
#include "graphics/blit/blit_stipple.h"

namespace gfx {

// Every routine is served by its scalar reference body.

int32_t Blt8Copy(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy, int32_t width,
                 int32_t height, const uint8_t* src, int32_t srcPitch, int32_t sx, int32_t sy) {
    return Blt8CopyScalar(dst, dstPitch, dx, dy, width, height, src, srcPitch, sx, sy);
}

int32_t Blt8Keyed(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy, int32_t width,
                  int32_t height, const uint8_t* src, int32_t srcPitch, int32_t sx, int32_t sy,
                  uint32_t flags, uint32_t srcKey, uint32_t dstKey) {
    return Blt8KeyedScalar(dst, dstPitch, dx, dy, width, height, src, srcPitch, sx, sy, flags,
                           srcKey, dstKey);
}

int32_t Blt8Stipple(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy, int32_t width,
                    int32_t height, const uint8_t* src, int32_t srcPitch, int32_t sx, int32_t sy,
                    uint32_t flags, uint32_t srcKey, uint32_t dstKey, uint32_t level) {
    return Blt8StippleScalar(dst, dstPitch, dx, dy, width, height, src, srcPitch, sx, sy, flags,
                             srcKey, dstKey, level);
}

int32_t Blt8MaskStipple(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy, int32_t width,
                        int32_t height, const uint8_t* src, int32_t srcPitch, int32_t sx,
                        int32_t sy, const uint8_t* mask, int32_t maskPitch, uint32_t flags) {
    return Blt8MaskStippleScalar(dst, dstPitch, dx, dy, width, height, src, srcPitch, sx, sy, mask,
                                 maskPitch, flags);
}

int32_t Blt16Copy(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy, int32_t width,
                  int32_t height, const uint8_t* src, int32_t srcPitch, int32_t sx, int32_t sy) {
    return Blt16CopyScalar(dst, dstPitch, dx, dy, width, height, src, srcPitch, sx, sy);
}

int32_t Blt16Keyed(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy, int32_t width,
                   int32_t height, const uint8_t* src, int32_t srcPitch, int32_t sx, int32_t sy,
                   uint32_t flags, uint32_t srcKey, uint32_t dstKey) {
    return Blt16KeyedScalar(dst, dstPitch, dx, dy, width, height, src, srcPitch, sx, sy, flags,
                            srcKey, dstKey);
}

int32_t Blt16Stipple(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy, int32_t width,
                     int32_t height, const uint8_t* src, int32_t srcPitch, int32_t sx, int32_t sy,
                     uint32_t flags, uint32_t srcKey, uint32_t dstKey, uint32_t level) {
    return Blt16StippleScalar(dst, dstPitch, dx, dy, width, height, src, srcPitch, sx, sy, flags,
                              srcKey, dstKey, level);
}

int32_t Blt16MaskStipple(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy, int32_t width,
                         int32_t height, const uint8_t* src, int32_t srcPitch, int32_t sx,
                         int32_t sy, const uint8_t* mask, int32_t maskPitch, uint32_t flags) {
    return Blt16MaskStippleScalar(dst, dstPitch, dx, dy, width, height, src, srcPitch, sx, sy, mask,
                                  maskPitch, flags);
}

int32_t Blt24Keyed(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy, int32_t width,
                   int32_t height, const uint8_t* src, int32_t srcPitch, int32_t sx, int32_t sy,
                   uint32_t flags, uint32_t srcKey, uint32_t dstKey) {
    return Blt24KeyedScalar(dst, dstPitch, dx, dy, width, height, src, srcPitch, sx, sy, flags,
                            srcKey, dstKey);
}

int32_t Blt24Stipple(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy, int32_t width,
                     int32_t height, const uint8_t* src, int32_t srcPitch, int32_t sx, int32_t sy,
                     uint32_t flags, uint32_t srcKey, uint32_t dstKey, uint32_t level) {
    return Blt24StippleScalar(dst, dstPitch, dx, dy, width, height, src, srcPitch, sx, sy, flags,
                              srcKey, dstKey, level);
}

int32_t Blt24MaskStipple(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy, int32_t width,
                         int32_t height, const uint8_t* src, int32_t srcPitch, int32_t sx,
                         int32_t sy, const uint8_t* mask, int32_t maskPitch, uint32_t flags) {
    return Blt24MaskStippleScalar(dst, dstPitch, dx, dy, width, height, src, srcPitch, sx, sy, mask,
                                  maskPitch, flags);
}

int32_t Blt32Keyed(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy, int32_t width,
                   int32_t height, const uint8_t* src, int32_t srcPitch, int32_t sx, int32_t sy,
                   uint32_t flags, uint32_t srcKey, uint32_t dstKey) {
    return Blt32KeyedScalar(dst, dstPitch, dx, dy, width, height, src, srcPitch, sx, sy, flags,
                            srcKey, dstKey);
}

int32_t Blt32Stipple(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy, int32_t width,
                     int32_t height, const uint8_t* src, int32_t srcPitch, int32_t sx, int32_t sy,
                     uint32_t flags, uint32_t srcKey, uint32_t dstKey, uint32_t level) {
    return Blt32StippleScalar(dst, dstPitch, dx, dy, width, height, src, srcPitch, sx, sy, flags,
                              srcKey, dstKey, level);
}

int32_t Blt32MaskStipple(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy, int32_t width,
                         int32_t height, const uint8_t* src, int32_t srcPitch, int32_t sx,
                         int32_t sy, const uint8_t* mask, int32_t maskPitch, uint32_t flags) {
    return Blt32MaskStippleScalar(dst, dstPitch, dx, dy, width, height, src, srcPitch, sx, sy, mask,
                                  maskPitch, flags);
}

}  // namespace gfx
