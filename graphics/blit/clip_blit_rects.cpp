#include "graphics/blit/clip_blit_rects.h"

#include "graphics/core/blit_flags.h"
#include "graphics/core/clip_rule.h"
#include "graphics/image/surface.h"
#include "graphics/image/surface_clip_rect.h"

namespace gfx {

namespace {

bool Stop(Result* status, Result value) {
    *status = value;
    return false;
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

    // The source rectangle must reach into the source; one of negative size is never read.
    const int64_t srcWidth = source->GetWidth();
    const int64_t srcHeight = source->GetHeight();
    const PixelSpan sx{src->x, src->width};
    const PixelSpan sy{src->y, src->height};
    if (sx.length < 0 || sy.length < 0) return Stop(status, ResultInvalid);
    if (sx.End() < 0 || sy.End() < 0 || sx.start > srcWidth || sy.start > srcHeight) {
        return Stop(status, ResultInvalid);
    }

    const PixelSpan dx{dst->x, dst->width};
    const PixelSpan dy{dst->y, dst->height};
    const bool emptyRequest = dx.length <= 0 || dy.length <= 0;

    // Unclipped, the rectangles go as they are, but nothing that is drawn may leave a surface.
    // An empty destination draws nothing, so its surfaces are still locked wherever it lies.
    if (flags & BLIT_NOCLIP) {
        const bool inside = SpanWithin(dx, destination->GetWidth()) &&
                            SpanWithin(dy, destination->GetHeight()) && SpanWithin(sx, srcWidth) &&
                            SpanWithin(sy, srcHeight);
        if (!emptyRequest && !inside) return Stop(status, ResultInvalid);
        *status = ResultOk;
        return true;
    }

    // Nothing to draw outside the clip rectangle, in an empty one, or for a requested width or
    // height of 0. A negative one goes on: its source is checked like any other, and the
    // surfaces are locked without drawing.
    const ClipRect clip = SurfaceClipRect(*destination);
    if (IsEmpty(clip) || Misses(dx, clip.left, clip.right) || Misses(dy, clip.top, clip.bottom)) {
        return Stop(status, ResultOk);
    }
    const PixelSpan nx = ClipSpan(dx, clip.left, clip.right);
    const PixelSpan ny = ClipSpan(dy, clip.top, clip.bottom);
    if (dx.length == 0 || dy.length == 0) return Stop(status, ResultOk);

    const PixelSpan clippedX = ScaleSpan(sx, dx, nx, (flags & BLIT_MIRROR_X) != 0);
    const PixelSpan clippedY = ScaleSpan(sy, dy, ny, (flags & BLIT_MIRROR_Y) != 0);
    if (!SpanWithin(clippedX, srcWidth) || !SpanWithin(clippedY, srcHeight)) {
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
