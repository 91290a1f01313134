#include "graphics/blit/blit.h"

#include <algorithm>

#include "graphics/blit/blit_call_shapes.h"
#include "graphics/blit/blit_registry.h"
#include "graphics/blit/blit_selection.h"
#include "graphics/blit/clip_blit_rects.h"
#include "graphics/core/blit_rect.h"
#include "graphics/image/surface.h"

namespace gfx {

namespace {

// Locks the mask of a mask mode. Returns ResultOk with the mask locked, ResultUnsupported when
// there is no usable mask (the blit then draws nothing and still succeeds), or ResultInvalid
// when the mask is too small for the source rectangle it is read over.
Result LockMask(BlitExtra extra, const BlitRect& src, Surface** mask, BlitCall* call) {
    Surface* candidate = reinterpret_cast<Surface*>(extra);
    if (!candidate || candidate->GetFormat() != FMT_INDEX8) return ResultUnsupported;
    const int64_t right = int64_t{src.x} + std::max(src.width, 1);
    const int64_t bottom = int64_t{src.y} + std::max(src.height, 1);
    if (candidate->GetWidth() < right || candidate->GetHeight() < bottom) return ResultInvalid;
    uint8_t* address = nullptr;
    int32_t pitch = 0;
    if (candidate->Lock(&address, &pitch) != ResultOk) return ResultUnsupported;
    *mask = candidate;
    call->mask = address;
    call->maskPitch = pitch;
    return ResultOk;
}

}  // namespace

Result DispatchBlit(Surface* source, Surface* destination, int32_t dx, int32_t dy, int32_t dw,
                    int32_t dh, int32_t sx, int32_t sy, int32_t sw, int32_t sh, uint32_t flags,
                    BlitExtra extra) {
    BlitRect dst{dx, dy, dw, dh};
    BlitRect src{sx, sy, sw, sh};
    Result status = ResultOk;
    if (!ClipBlitRects(source, destination, &dst, &src, flags, &status)) return status;

    BlitCall call;
    uint8_t* srcAddress = nullptr;
    status = source->Lock(&srcAddress, &call.srcPitch);
    if (status != ResultOk) return status;
    status = destination->Lock(&call.dst, &call.dstPitch);
    if (status != ResultOk) {
        source->Unlock();
        return status;
    }
    call.src = srcAddress;
    destination->GetDestKey(&call.dstKey);
    source->GetSourceKey(&call.srcKey);

    // An empty destination (requested so) has its surfaces locked like any other, and nothing
    // drawn.
    if (dst.width <= 0 || dst.height <= 0) {
        source->Unlock();
        destination->Unlock();
        return ResultOk;
    }

    // Scaling is decided by the requested sizes, whatever clipping left of them.
    const bool scaled = sw != dw || sh != dh;
    const uint32_t depth = BitsPerPixel(source->GetFormat());
    const BlitSelectionRow* row = SelectBlitRoutine(depth, scaled, flags, source->GetFormat());

    Surface* mask = nullptr;
    Result result = ResultOk;
    bool draw = row != nullptr;
    if (row && row->test.mask) {
        const Result maskStatus = LockMask(extra, src, &mask, &call);
        if (maskStatus == ResultInvalid) result = ResultInvalid;
        draw = maskStatus == ResultOk;
    }

    if (draw) {
        call.dx = dst.x;
        call.dy = dst.y;
        call.width = dst.width;
        call.height = dst.height;
        call.sx = src.x;
        call.sy = src.y;
        // A clipped source of less than one pixel is read as its first pixel, in either
        // direction.
        call.sw = std::max(src.width, 1);
        call.sh = std::max(src.height, 1);
        call.flags = flags;
        call.level = static_cast<uint32_t>(extra);
        CallRoutine(row->routine, call);
    }

    if (mask) mask->Unlock();
    source->Unlock();
    destination->Unlock();
    return result;
}

}  // namespace gfx
