#pragma once

#include <cstdint>

#include "graphics/raster/surface_clip.h"

namespace gfx {

// The body of BlendFillRect on 16-bit rows: every pixel of `area` (clipped; a width or height of
// 0 or less draws nothing) becomes, field by field, floor((pixel x 8*pw + colour x 8*cw) / 256)
// with pw = weight >> 3 and cw = (256 - weight) >> 3, through ChannelProductTable. `weight` is
// the existing pixel's share out of 256; a larger one counts as 256. The unused bit of the
// layout (bit 15 of 5-5-5, the lowest green bit of 5-6-5) becomes 0.
void BlendFillRows555(uint8_t* base, int32_t pitch, const FillArea& area, uint32_t colour,
                      uint32_t weight);
void BlendFillRows565(uint8_t* base, int32_t pitch, const FillArea& area, uint32_t colour,
                      uint32_t weight);

// The shape of those bodies and of their fast twins.
using BlendFillRowsBody = void (*)(uint8_t* base, int32_t pitch, const FillArea& area,
                                   uint32_t colour, uint32_t weight);

}  // namespace gfx
