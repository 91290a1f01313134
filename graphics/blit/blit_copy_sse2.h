#pragma once

#include <cstdint>

namespace gfx {

#if defined(__SSE2__)
// SSE2 bodies of Blt8Copy and Blt16Copy, identical in result to the scalar ones.
int32_t Blt8CopySse2(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy, int32_t width,
                     int32_t height, const uint8_t* src, int32_t srcPitch, int32_t sx, int32_t sy);
int32_t Blt16CopySse2(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy, int32_t width,
                      int32_t height, const uint8_t* src, int32_t srcPitch, int32_t sx, int32_t sy);
#endif

}  // namespace gfx
