#pragma once

#include <cstdint>

#include "graphics/core/blit_rect.h"
#include "graphics/core/result.h"

namespace gfx {

class Surface;

// Validates a blit of `src` on `source` to `dst` on `destination`, clips the destination
// rectangle to the destination's clip rectangle (its region's bounds within the surface, or the
// whole surface) and shrinks the source rectangle in proportion. Returns true to proceed with
// the clipped rectangles; false to stop, with *status ResultOk when there is nothing to draw and
// the failure otherwise.
//
// What proceeds is always safe to draw: the destination rectangle lies inside the destination
// and is at least one pixel each way, and the source rectangle, read as at least one pixel each
// way, lies inside the source. With BLIT_NOCLIP the rectangles are not clipped or scaled but are
// still refused when they leave their surfaces. With a mirror flag, the part cut off on one side
// of the destination is taken from the other side of the source.
bool ClipBlitRects(const Surface* source, const Surface* destination, BlitRect* dst, BlitRect* src,
                   uint32_t flags, Result* status);

}  // namespace gfx
