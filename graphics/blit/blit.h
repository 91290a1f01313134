#pragma once

#include <cstdint>

#include "graphics/core/blit_flags.h"
#include "graphics/core/result.h"

namespace gfx {

class Surface;

// The body of Surface::Blit: draws the rectangle (sx, sy, sw, sh) of `source` into the
// rectangle (dx, dy, dw, dh) of `destination`, clipped to the destination's clip rectangle and
// scaled when the two requested sizes differ, through the routine that the source depth and the
// flags select. Both surfaces are locked only while the routine runs.
Result DispatchBlit(Surface* source, Surface* destination, int32_t dx, int32_t dy, int32_t dw,
                    int32_t dh, int32_t sx, int32_t sy, int32_t sw, int32_t sh, uint32_t flags,
                    BlitExtra extra);

}  // namespace gfx
