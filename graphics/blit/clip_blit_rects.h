#pragma once

#include <cstdint>

#include "graphics/core/blit_rect.h"
#include "graphics/core/result.h"

namespace gfx {

class Surface;

// Validates a blit of `src` on `source` to `dst` on `destination`, clips the destination
// rectangle to the destination's clip rectangle (its region's bounds within the surface, or the
// whole surface) and shrinks the source rectangle in proportion. Returns true to proceed with
// the clipped rectangles: Blit then locks the surfaces. Returns false to stop before any lock,
// with *status ResultOk when there is nothing to draw and the failure otherwise.
//
// The checks come in Blit's order: the surfaces, the requested source rectangle, then with
// BLIT_NOCLIP nothing more; otherwise the clip rectangle, a requested width or height of 0, and
// the clipped and scaled source rectangle.
//
// What proceeds is either empty (a width or height of 0 or less, requested with BLIT_NOCLIP or
// requested negative: the surfaces are locked and nothing is drawn) or always safe to draw: the
// destination rectangle lies inside the destination, and the source rectangle, read as at least
// one pixel each way, lies inside the source. With BLIT_NOCLIP the rectangles are not clipped or
// scaled but are still refused when what they draw would leave their surfaces. With a mirror
// flag, the part cut off on one side of the destination is taken from the other side of the
// source.
bool ClipBlitRects(const Surface* source, const Surface* destination, BlitRect* dst, BlitRect* src,
                   uint32_t flags, Result* status);

}  // namespace gfx
