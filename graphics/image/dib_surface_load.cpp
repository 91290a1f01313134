// DibSurface::Load: read through a temporary MemoryDibSurface, then draw its picture upright
// into a new DIB section.

#include <cstddef>
#include <cstring>
#include <new>

#include "graphics/image/dib_surface.h"
#include "graphics/image/memory_dib_surface.h"

namespace gfx {

namespace {

// Copies the rows of `source` (same size and format) into `target` in reverse memory order.
// Used for the indexed depths below 8 bits, which the blitter does not draw.
Result CopyRowsReversed(Surface* source, Surface* target) {
    uint8_t* from = nullptr;
    uint8_t* to = nullptr;
    int32_t fromPitch = 0;
    int32_t toPitch = 0;
    Result status = source->Lock(&from, &fromPitch);
    if (status != ResultOk) return status;
    status = target->Lock(&to, &toPitch);
    if (status != ResultOk) {
        source->Unlock();
        return status;
    }
    const int32_t rows = target->GetHeight();
    const uint32_t rowBytes = RowBytes(target->GetFormat(), target->GetWidth());
    for (int32_t y = 0; y < rows; ++y) {
        std::memcpy(to + std::ptrdiff_t{y} * toPitch,
                    from + std::ptrdiff_t{rows - 1 - y} * fromPitch, rowBytes);
    }
    target->Unlock();
    source->Unlock();
    return ResultOk;
}

}  // namespace

Result DibSurface::Load(const void* source, uint32_t loadFlags, ModuleHandle module,
                        const char* resourceType, Surface* templateSurface, uint32_t createFlags,
                        DeviceContextHandle referenceDC) {
    Free();
    auto* temporary = new (std::nothrow) MemoryDibSurface;
    if (!temporary) return ResultInvalid;

    Result status =
        temporary->Load(source, loadFlags, module, resourceType, templateSurface, 0, nullptr);
    if (status == ResultOk) {
        // A plain image stays as it is; one that cannot be decoded is refused by the copy below.
        temporary->Decode();
        const int32_t w = temporary->GetWidth();
        const int32_t h = temporary->GetHeight();
        status = Create(w, h, temporary->GetFormat(), createFlags, referenceDC);
        if (status == ResultOk) {
            // The temporary's rows are bottom-up: reading them bottom to top turns them upright.
            if (BitsPerPixel(format) < 8) {
                status = CopyRowsReversed(temporary, this);
            } else {
                status = DrawFrom(0, 0, w, h, temporary, 0, 0, w, h, BLIT_MIRROR_Y, 0);
            }
        }
        if (status == ResultOk) status = SetPalette(temporary->GetPalette());
        // A section whose picture could not be drawn holds no image.
        if (status != ResultOk) Free();
    }
    delete temporary;
    return status;
}

}  // namespace gfx
