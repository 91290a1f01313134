// DibSurface::Load: read through a temporary MemoryDibSurface, then draw its picture upright
// into a new DIB section.

#include <new>

#include "graphics/image/copy_surface_rows.h"
#include "graphics/image/dib_surface.h"
#include "graphics/image/memory_dib_surface.h"

namespace gfx {

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
                // The blitter does not draw indexed depths below 8 bits.
                status = CopySurfaceRows(temporary, this);
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
