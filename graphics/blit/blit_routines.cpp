#include "graphics/blit/blit_routines.h"

#include "graphics/blit/blit_copy.h"
#include "graphics/blit/blit_keyed.h"
#include "graphics/blit/blit_mask_stipple.h"
#include "graphics/blit/blit_stipple.h"

#if defined(__SSE2__)
#include "graphics/blit/blit_copy_sse2.h"
#include "graphics/blit/blit_keyed_sse2.h"
#include "graphics/blit/blit_mask_stipple_sse2.h"
#include "graphics/blit/blit_stipple_sse2.h"
// SSE2 is the x86 baseline: its bodies give the scalar bodies' results, faster.
#define GFX_FAST_BODY(name) name##Sse2
#else
#define GFX_FAST_BODY(name) name##Scalar
#endif

namespace gfx {

// The one place that chooses each routine's implementation. Blt24MaskStipple has no fast body.

int32_t Blt8Copy(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy, int32_t width,
                 int32_t height, const uint8_t* src, int32_t srcPitch, int32_t sx, int32_t sy) {
    return GFX_FAST_BODY(Blt8Copy)(dst, dstPitch, dx, dy, width, height, src, srcPitch, sx, sy);
}

int32_t Blt8Keyed(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy, int32_t width,
                  int32_t height, const uint8_t* src, int32_t srcPitch, int32_t sx, int32_t sy,
                  uint32_t flags, uint32_t srcKey, uint32_t dstKey) {
    return GFX_FAST_BODY(Blt8Keyed)(dst, dstPitch, dx, dy, width, height, src, srcPitch, sx, sy,
                                    flags, srcKey, dstKey);
}

int32_t Blt8Stipple(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy, int32_t width,
                    int32_t height, const uint8_t* src, int32_t srcPitch, int32_t sx, int32_t sy,
                    uint32_t flags, uint32_t srcKey, uint32_t dstKey, uint32_t level) {
    return GFX_FAST_BODY(Blt8Stipple)(dst, dstPitch, dx, dy, width, height, src, srcPitch, sx, sy,
                                      flags, srcKey, dstKey, level);
}

int32_t Blt8MaskStipple(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy, int32_t width,
                        int32_t height, const uint8_t* src, int32_t srcPitch, int32_t sx,
                        int32_t sy, const uint8_t* mask, int32_t maskPitch, uint32_t flags) {
    return GFX_FAST_BODY(Blt8MaskStipple)(dst, dstPitch, dx, dy, width, height, src, srcPitch, sx,
                                          sy, mask, maskPitch, flags);
}

int32_t Blt16Copy(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy, int32_t width,
                  int32_t height, const uint8_t* src, int32_t srcPitch, int32_t sx, int32_t sy) {
    return GFX_FAST_BODY(Blt16Copy)(dst, dstPitch, dx, dy, width, height, src, srcPitch, sx, sy);
}

int32_t Blt16Keyed(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy, int32_t width,
                   int32_t height, const uint8_t* src, int32_t srcPitch, int32_t sx, int32_t sy,
                   uint32_t flags, uint32_t srcKey, uint32_t dstKey) {
    return GFX_FAST_BODY(Blt16Keyed)(dst, dstPitch, dx, dy, width, height, src, srcPitch, sx, sy,
                                     flags, srcKey, dstKey);
}

int32_t Blt16Stipple(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy, int32_t width,
                     int32_t height, const uint8_t* src, int32_t srcPitch, int32_t sx, int32_t sy,
                     uint32_t flags, uint32_t srcKey, uint32_t dstKey, uint32_t level) {
    return GFX_FAST_BODY(Blt16Stipple)(dst, dstPitch, dx, dy, width, height, src, srcPitch, sx, sy,
                                       flags, srcKey, dstKey, level);
}

int32_t Blt16MaskStipple(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy, int32_t width,
                         int32_t height, const uint8_t* src, int32_t srcPitch, int32_t sx,
                         int32_t sy, const uint8_t* mask, int32_t maskPitch, uint32_t flags) {
    return GFX_FAST_BODY(Blt16MaskStipple)(dst, dstPitch, dx, dy, width, height, src, srcPitch, sx,
                                           sy, mask, maskPitch, flags);
}

int32_t Blt24Keyed(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy, int32_t width,
                   int32_t height, const uint8_t* src, int32_t srcPitch, int32_t sx, int32_t sy,
                   uint32_t flags, uint32_t srcKey, uint32_t dstKey) {
    return GFX_FAST_BODY(Blt24Keyed)(dst, dstPitch, dx, dy, width, height, src, srcPitch, sx, sy,
                                     flags, srcKey, dstKey);
}

int32_t Blt24Stipple(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy, int32_t width,
                     int32_t height, const uint8_t* src, int32_t srcPitch, int32_t sx, int32_t sy,
                     uint32_t flags, uint32_t srcKey, uint32_t dstKey, uint32_t level) {
    return GFX_FAST_BODY(Blt24Stipple)(dst, dstPitch, dx, dy, width, height, src, srcPitch, sx, sy,
                                       flags, srcKey, dstKey, level);
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
    return GFX_FAST_BODY(Blt32Keyed)(dst, dstPitch, dx, dy, width, height, src, srcPitch, sx, sy,
                                     flags, srcKey, dstKey);
}

int32_t Blt32Stipple(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy, int32_t width,
                     int32_t height, const uint8_t* src, int32_t srcPitch, int32_t sx, int32_t sy,
                     uint32_t flags, uint32_t srcKey, uint32_t dstKey, uint32_t level) {
    return GFX_FAST_BODY(Blt32Stipple)(dst, dstPitch, dx, dy, width, height, src, srcPitch, sx, sy,
                                       flags, srcKey, dstKey, level);
}

int32_t Blt32MaskStipple(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy, int32_t width,
                         int32_t height, const uint8_t* src, int32_t srcPitch, int32_t sx,
                         int32_t sy, const uint8_t* mask, int32_t maskPitch, uint32_t flags) {
    return GFX_FAST_BODY(Blt32MaskStipple)(dst, dstPitch, dx, dy, width, height, src, srcPitch, sx,
                                           sy, mask, maskPitch, flags);
}

}  // namespace gfx
