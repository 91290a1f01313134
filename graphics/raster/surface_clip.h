#pragma once

#include <cstdint>

#include "graphics/core/clip_rect.h"
#include "graphics/image/surface_clip_rect.h"

namespace gfx {

// A rectangle of pixels to fill, by its top-left corner and size.
struct FillArea {
    int32_t x;
    int32_t y;
    int32_t width;
    int32_t height;
};

// Cuts `area` to `clip` the way the fills do: false (nothing to draw, nothing to lock) when the
// rectangle lies wholly left of, above, right of or below the clip rectangle, or when the clip
// rectangle is empty; otherwise the edges beyond the clip rectangle are cut off. A width or
// height of 0 or less that starts inside is kept, and the fill then draws nothing.
bool ClipFillArea(const ClipRect& clip, FillArea* area);

}  // namespace gfx
