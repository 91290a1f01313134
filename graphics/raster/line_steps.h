#pragma once

#include <cstdint>

#include "graphics/raster/clip_line.h"

namespace gfx {

// The per-depth bodies of DrawLine: one pixel of the raw `value` at every step of the integer
// error walk from `start` (drawn) towards `end` (not drawn), on the locked rows at `base`,
// `pitch` bytes apart. Both ends lie inside the surface. Along the longer axis (y on a tie) one
// pixel per step; the error grows by the shorter length each step and the shorter axis steps
// once the error exceeds the longer length.
void DrawLineSteps8(uint8_t* base, int32_t pitch, LineEnd start, LineEnd end, uint32_t value);
void DrawLineSteps16(uint8_t* base, int32_t pitch, LineEnd start, LineEnd end, uint32_t value);
// Bits 16-23 of the value first, then bits 8-15, then bits 0-7: the byte order of the line
// routine, which is the reverse of FillRect's.
void DrawLineSteps24(uint8_t* base, int32_t pitch, LineEnd start, LineEnd end, uint32_t value);
void DrawLineSteps32(uint8_t* base, int32_t pitch, LineEnd start, LineEnd end, uint32_t value);

}  // namespace gfx
