#pragma once

#include "graphics/core/clip_rect.h"

namespace gfx {

// A rectangular region of the platform, kept beside a ClipRegion for platform drawing.
struct RegionObject;
using RegionHandle = RegionObject*;

// Makes a region of one rectangle. A rectangle with swapped edges is normalised; one with no
// area is the empty region. Null when the system refuses.
RegionHandle CreateRectRegion(const ClipRect& rect);

// Makes `destination` a copy of `source`. False when either is null or the system refuses.
bool CopyRegion(RegionHandle destination, RegionHandle source);

// The bounding box of the region ({0, 0, 0, 0} when empty). False when the region is null.
bool GetRegionBox(RegionHandle region, ClipRect* out);

// Destroys the region; null is ignored.
void DestroyRegion(RegionHandle region);

}  // namespace gfx
