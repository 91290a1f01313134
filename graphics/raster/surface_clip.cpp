#include "graphics/raster/surface_clip.h"

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

bool ClipFillArea(const ClipRect& clip, FillArea* area) {
    if (IsEmpty(clip)) return false;
    const PixelSpan columns{area->x, area->width};
    const PixelSpan rows{area->y, area->height};
    if (Misses(columns, clip.left, clip.right) || Misses(rows, clip.top, clip.bottom)) {
        return false;
    }
    const PixelSpan keptColumns = ClipSpan(columns, clip.left, clip.right);
    const PixelSpan keptRows = ClipSpan(rows, clip.top, clip.bottom);
    // Both spans now start inside the clip rectangle and end at or before its edge, so they fit
    // in 32 bits again.
    *area = FillArea{static_cast<int32_t>(keptColumns.start), static_cast<int32_t>(keptRows.start),
                     static_cast<int32_t>(keptColumns.length),
                     static_cast<int32_t>(keptRows.length)};
    return true;
}

}  // namespace gfx
