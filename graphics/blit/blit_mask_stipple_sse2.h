#pragma once

#include <cstdint>

namespace gfx {

#if defined(__SSE2__)
// SSE2 bodies of the 8, 16 and 32-bit mask-stipple routines, identical in result to the scalar
// ones.
int32_t Blt8MaskStippleSse2(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy, int32_t width,
                            int32_t height, const uint8_t* src, int32_t srcPitch, int32_t sx,
                            int32_t sy, const uint8_t* mask, int32_t maskPitch, uint32_t flags);
int32_t Blt16MaskStippleSse2(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy, int32_t width,
                             int32_t height, const uint8_t* src, int32_t srcPitch, int32_t sx,
                             int32_t sy, const uint8_t* mask, int32_t maskPitch, uint32_t flags);
int32_t Blt32MaskStippleSse2(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy, int32_t width,
                             int32_t height, const uint8_t* src, int32_t srcPitch, int32_t sx,
                             int32_t sy, const uint8_t* mask, int32_t maskPitch, uint32_t flags);
#endif

}  // namespace gfx
