#pragma once

#include <cstdint>

#include "graphics/core/clip_rect.h"

namespace gfx {

// The clip rectangle of a surface of `width` by `height` pixels: the bounds of its clip region
// cut to the surface, or the whole surface when it has no region or its region holds no rectangle
// (`regionBounds` null). Blit, FillRect, DrawLine and BlendFillRect all clip to it, so what they
// draw stays inside the surface whatever the region says. A region that misses the surface, or
// whose right or bottom edge lies left of or above its left or top edge, leaves an empty
// rectangle.
ClipRect ClipRectWithin(const ClipRect* regionBounds, int32_t width, int32_t height);

// Whether a clip rectangle holds no pixel.
constexpr bool IsEmpty(const ClipRect& rect) {
    return rect.left >= rect.right || rect.top >= rect.bottom;
}

// A run of pixels along one axis, from `start`, `length` long. Held in 64 bits: the end of a
// span made of any 32-bit start and length, and the product of two 32-bit lengths, fit.
struct PixelSpan {
    int64_t start;
    int64_t length;

    constexpr int64_t End() const { return start + length; }
};

// Whether a requested span lies wholly before `low` or at or after `high`, which leaves nothing
// of it to draw: end <= low or start >= high.
constexpr bool Misses(PixelSpan requested, int64_t low, int64_t high) {
    return requested.End() <= low || requested.start >= high;
}

// The part of `requested` within [low, high). A span that starts before `low` is cut there, one
// that runs past `high` is cut there; the length is 0 or less when nothing is left, and a
// negative requested length is kept as it is when the span starts inside.
PixelSpan ClipSpan(PixelSpan requested, int64_t low, int64_t high);

// The source span that shows in `clipped`, the part kept of the destination span `requested`
// drawn from the source span `source`. Offset and length scale by source over requested length
// and truncate toward zero. Unmirrored, the part cut off at the destination's start is skipped at
// the source's start; mirrored, the source is read backwards, so the part cut off at the
// destination's end is skipped at the source's start. `requested` must not be empty.
PixelSpan ScaleSpan(PixelSpan source, PixelSpan requested, PixelSpan clipped, bool mirrored);

// Whether the span, read as at least one pixel (a span of length 0 or less still reads its first
// pixel), lies within [0, limit).
constexpr bool SpanWithin(PixelSpan span, int64_t limit) {
    return span.start >= 0 && span.start + (span.length > 1 ? span.length : 1) <= limit;
}

}  // namespace gfx
