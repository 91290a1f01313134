#include "graphics/image/surface_clip_rect.h"

#include "graphics/core/clip_rule.h"
#include "graphics/image/clip_region.h"
#include "graphics/image/surface.h"

namespace gfx {

ClipRect SurfaceClipRect(const Surface& surface) {
    const ClipRegion* region = surface.GetRegion();
    ClipRect bounds{};
    const bool hasBounds = region && region->GetBounds(&bounds) == ResultOk;
    return ClipRectWithin(hasBounds ? &bounds : nullptr, surface.GetWidth(), surface.GetHeight());
}

}  // namespace gfx
