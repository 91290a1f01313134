#include "graphics/blit/clip_blit_rects.h"

#include <algorithm>

#include "graphics/core/blit_flags.h"
#include "graphics/image/clip_region.h"
#include "graphics/image/surface.h"

namespace gfx {

namespace {

// Edges are summed and products formed in 64 bits: 32-bit coordinates and sizes may be anything.
struct Span {
    int64_t start;
    int64_t length;
};

bool Stop(Result* status, Result value) {
    *status = value;
    return false;
}

// The destination's clip rectangle, kept inside the surface.
ClipRect ClipRectOf(const Surface* destination) {
    ClipRect whole{0, 0, destination->GetWidth(), destination->GetHeight()};
    const ClipRegion* region = destination->GetRegion();
    ClipRect bounds{};
    if (!region || region->GetBounds(&bounds) != ResultOk) return whole;
    return ClipRect{std::max(bounds.left, whole.left), std::max(bounds.top, whole.top),
                    std::min(bounds.right, whole.right), std::min(bounds.bottom, whole.bottom)};
}

// Cuts the requested destination span to [low, high). Empty when nothing is left.
Span ClipSpan(Span requested, int64_t low, int64_t high) {
    int64_t start = requested.start;
    int64_t end = requested.start + requested.length;
    start = std::max(start, low);
    end = std::min(end, high);
    return Span{start, end - start};
}

// The source span that shows in the clipped destination span. Offsets and sizes scale by
// source/destination and truncate. Unmirrored, the part cut off at the destination's start is
// skipped at the source's start; mirrored, the source is read backwards, so the part cut off at
// the destination's end is skipped at the source's start.
Span ScaleSpan(Span source, Span requested, Span clipped, bool mirrored) {
    const int64_t cutStart = clipped.start - requested.start;
    const int64_t cutEnd = (requested.start + requested.length) - (clipped.start + clipped.length);
    const int64_t skipped = mirrored ? cutEnd : cutStart;
    return Span{source.start + skipped * source.length / requested.length,
                source.length * clipped.length / requested.length};
}

// Whether the span, read as at least one pixel, lies within [0, limit).
bool InsideSurface(Span span, int64_t limit) {
    return span.start >= 0 && span.start + std::max<int64_t>(span.length, 1) <= limit;
}

}  // namespace

bool ClipBlitRects(const Surface* source, const Surface* destination, BlitRect* dst, BlitRect* src,
                   uint32_t flags, Result* status) {
    if (!destination) return Stop(status, ResultInvalid);
    if (source->GetFormat() == 0 || destination->GetFormat() == 0) {
        return Stop(status, ResultNoImage);
    }
    // The routines move raw pixels of one size; a destination of another size would be
    // overrun.
    if (BitsPerPixel(source->GetFormat()) != BitsPerPixel(destination->GetFormat())) {
        return Stop(status, ResultInvalid);
    }

    const int64_t srcWidth = source->GetWidth();
    const int64_t srcHeight = source->GetHeight();
    const Span sx{src->x, src->width};
    const Span sy{src->y, src->height};
    if (sx.length < 0 || sy.length < 0) return Stop(status, ResultInvalid);
    if (sx.start + sx.length < 0 || sy.start + sy.length < 0 || sx.start > srcWidth ||
        sy.start > srcHeight) {
        return Stop(status, ResultInvalid);
    }

    const Span dx{dst->x, dst->width};
    const Span dy{dst->y, dst->height};
    if (dx.length <= 0 || dy.length <= 0) return Stop(status, ResultOk);

    if (flags & BLIT_NOCLIP) {
        const bool inside = InsideSurface(dx, destination->GetWidth()) &&
                            InsideSurface(dy, destination->GetHeight()) &&
                            InsideSurface(sx, srcWidth) && InsideSurface(sy, srcHeight);
        if (!inside) return Stop(status, ResultInvalid);
        *status = ResultOk;
        return true;
    }

    const ClipRect clip = ClipRectOf(destination);
    const Span nx = ClipSpan(dx, clip.left, clip.right);
    const Span ny = ClipSpan(dy, clip.top, clip.bottom);
    if (nx.length <= 0 || ny.length <= 0) return Stop(status, ResultOk);

    const Span clippedX = ScaleSpan(sx, dx, nx, (flags & BLIT_MIRROR_X) != 0);
    const Span clippedY = ScaleSpan(sy, dy, ny, (flags & BLIT_MIRROR_Y) != 0);
    if (!InsideSurface(clippedX, srcWidth) || !InsideSurface(clippedY, srcHeight)) {
        return Stop(status, ResultInvalid);
    }

    // Every value now lies within a surface side or the requested 32-bit values.
    *dst = BlitRect{static_cast<int32_t>(nx.start), static_cast<int32_t>(ny.start),
                    static_cast<int32_t>(nx.length), static_cast<int32_t>(ny.length)};
    *src = BlitRect{static_cast<int32_t>(clippedX.start), static_cast<int32_t>(clippedY.start),
                    static_cast<int32_t>(clippedX.length), static_cast<int32_t>(clippedY.length)};
    *status = ResultOk;
    return true;
}

}  // namespace gfx
