#include "graphics/raster/surface_clip.h"

#include "graphics/core/clip_rule.h"

namespace gfx {

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
