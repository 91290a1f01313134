#pragma once

#include <cstdint>

#include "graphics/raster/surface_clip.h"

namespace gfx {

// The per-depth bodies of FillRect: every pixel of `area` (already clipped; a width or height of
// 0 or less draws nothing) of the locked rows at `base`, `pitch` bytes apart, is set to the raw
// `value`. Row y is memory row y.

// 1, 2 and 4 bits per pixel, first pixel in the high bits of a byte. The pattern byte repeats the
// value shifted by the depth without masking it, so a value wider than the depth spills into its
// neighbouring pixels of the rectangle (never outside it).
void FillRowsPacked(uint8_t* base, int32_t pitch, uint32_t bitsPerPixel, const FillArea& area,
                    uint32_t value);
// The value's low byte.
void FillRows8(uint8_t* base, int32_t pitch, const FillArea& area, uint32_t value);
// The value's low 16 bits, least significant byte first.
void FillRows16(uint8_t* base, int32_t pitch, const FillArea& area, uint32_t value);
// Bytes 0, 1 and 2 of the value, in that order.
void FillRows24(uint8_t* base, int32_t pitch, const FillArea& area, uint32_t value);
void FillRows32(uint8_t* base, int32_t pitch, const FillArea& area, uint32_t value);

// The shape of the 8, 16, 24 and 32-bit bodies, the scalar ones above and their fast twins.
using FillRowsBody = void (*)(uint8_t* base, int32_t pitch, const FillArea& area, uint32_t value);

// The body for a depth, the one the raster routine registry serves; any depth other than 1, 2, 4, 8, 16, 24 and 32 draws nothing.
void FillRows(uint8_t* base, int32_t pitch, uint32_t bitsPerPixel, const FillArea& area,
              uint32_t value);

}  // namespace gfx
