#pragma once

#include <cstdint>

namespace gfx {

// The unscaled copy, colour-key and stipple routines that Blit selects. Each has the call shape
// of its family (graphics/blit/blit_routine.h), trusts every coordinate it is given and
// returns 0. Which implementation serves each name (the scalar reference bodies of the family
// headers, or a faster one with identical results) is decided in blit_routines.cpp alone.

int32_t Blt8Copy(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy, int32_t width,
                 int32_t height, const uint8_t* src, int32_t srcPitch, int32_t sx, int32_t sy);
int32_t Blt8Keyed(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy, int32_t width,
                  int32_t height, const uint8_t* src, int32_t srcPitch, int32_t sx, int32_t sy,
                  uint32_t flags, uint32_t srcKey, uint32_t dstKey);
int32_t Blt8Stipple(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy, int32_t width,
                    int32_t height, const uint8_t* src, int32_t srcPitch, int32_t sx, int32_t sy,
                    uint32_t flags, uint32_t srcKey, uint32_t dstKey, uint32_t level);
int32_t Blt8MaskStipple(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy, int32_t width,
                        int32_t height, const uint8_t* src, int32_t srcPitch, int32_t sx,
                        int32_t sy, const uint8_t* mask, int32_t maskPitch, uint32_t flags);
int32_t Blt16Copy(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy, int32_t width,
                  int32_t height, const uint8_t* src, int32_t srcPitch, int32_t sx, int32_t sy);
int32_t Blt16Keyed(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy, int32_t width,
                   int32_t height, const uint8_t* src, int32_t srcPitch, int32_t sx, int32_t sy,
                   uint32_t flags, uint32_t srcKey, uint32_t dstKey);
int32_t Blt16Stipple(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy, int32_t width,
                     int32_t height, const uint8_t* src, int32_t srcPitch, int32_t sx, int32_t sy,
                     uint32_t flags, uint32_t srcKey, uint32_t dstKey, uint32_t level);
int32_t Blt16MaskStipple(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy, int32_t width,
                         int32_t height, const uint8_t* src, int32_t srcPitch, int32_t sx,
                         int32_t sy, const uint8_t* mask, int32_t maskPitch, uint32_t flags);
int32_t Blt24Keyed(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy, int32_t width,
                   int32_t height, const uint8_t* src, int32_t srcPitch, int32_t sx, int32_t sy,
                   uint32_t flags, uint32_t srcKey, uint32_t dstKey);
int32_t Blt24Stipple(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy, int32_t width,
                     int32_t height, const uint8_t* src, int32_t srcPitch, int32_t sx, int32_t sy,
                     uint32_t flags, uint32_t srcKey, uint32_t dstKey, uint32_t level);
int32_t Blt24MaskStipple(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy, int32_t width,
                         int32_t height, const uint8_t* src, int32_t srcPitch, int32_t sx,
                         int32_t sy, const uint8_t* mask, int32_t maskPitch, uint32_t flags);
int32_t Blt32Keyed(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy, int32_t width,
                   int32_t height, const uint8_t* src, int32_t srcPitch, int32_t sx, int32_t sy,
                   uint32_t flags, uint32_t srcKey, uint32_t dstKey);
int32_t Blt32Stipple(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy, int32_t width,
                     int32_t height, const uint8_t* src, int32_t srcPitch, int32_t sx, int32_t sy,
                     uint32_t flags, uint32_t srcKey, uint32_t dstKey, uint32_t level);
int32_t Blt32MaskStipple(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy, int32_t width,
                         int32_t height, const uint8_t* src, int32_t srcPitch, int32_t sx,
                         int32_t sy, const uint8_t* mask, int32_t maskPitch, uint32_t flags);

}  // namespace gfx
