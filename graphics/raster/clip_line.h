#pragma once

#include <cstdint>

#include "graphics/core/clip_rect.h"

namespace gfx {

struct LineEnd {
    int32_t x;
    int32_t y;
};

// Cuts the segment from `start` to `end` to the clip rectangle (right and bottom exclusive) by
// outcodes: an end outside is moved along the segment onto the edge it crosses, bottom first,
// then right, left and top, with positions truncated toward zero. False when no part of the
// segment can be visible (both ends beyond one edge, or an empty clip rectangle); the ends are
// then left as they are. Any 32-bit ends are handled without overflow.
bool ClipLine(const ClipRect& clip, LineEnd* start, LineEnd* end);

}  // namespace gfx
