#pragma once

#include "graphics/core/clip_rect.h"

namespace gfx {

class Surface;

// The clip rectangle of a surface, for blits and raster operations alike: its region's bounds cut
// to the surface, or the whole surface when it has no region or its region holds no rectangle.
ClipRect SurfaceClipRect(const Surface& surface);

}  // namespace gfx
