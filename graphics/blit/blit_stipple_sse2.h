#pragma once

#include <cstdint>

namespace gfx {

#if defined(__SSE2__)
// SSE2 bodies of the constant-stipple routines, identical in result to the scalar ones. The
// 24-bit one leaves horizontal mirroring to the scalar body.
int32_t Blt8StippleSse2(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy, int32_t width,
                        int32_t height, const uint8_t* src, int32_t srcPitch, int32_t sx,
                        int32_t sy, uint32_t flags, uint32_t srcKey, uint32_t dstKey,
                        uint32_t level);
int32_t Blt16StippleSse2(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy, int32_t width,
                         int32_t height, const uint8_t* src, int32_t srcPitch, int32_t sx,
                         int32_t sy, uint32_t flags, uint32_t srcKey, uint32_t dstKey,
                         uint32_t level);
int32_t Blt24StippleSse2(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy, int32_t width,
                         int32_t height, const uint8_t* src, int32_t srcPitch, int32_t sx,
                         int32_t sy, uint32_t flags, uint32_t srcKey, uint32_t dstKey,
                         uint32_t level);
int32_t Blt32StippleSse2(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy, int32_t width,
                         int32_t height, const uint8_t* src, int32_t srcPitch, int32_t sx,
                         int32_t sy, uint32_t flags, uint32_t srcKey, uint32_t dstKey,
                         uint32_t level);
#endif

}  // namespace gfx
