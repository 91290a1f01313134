#include "graphics/core/pixel_format.h"
#include "graphics/image/surface.h"
#include "graphics/raster/raster_registry.h"

namespace gfx {

Result Surface::Invert() {
    if (GetFormat() == 0) return ResultNoImage;
    uint8_t* rows = nullptr;
    int32_t pitch = 0;
    const Result status = Lock(&rows, &pitch);
    if (status != ResultOk) return status;
    // Every byte that holds pixel bits, including the last partial byte of a packed row (its
    // padding bits carry nothing) and byte 3 of 32-bit pixels.
    const size_t rowBytes = (static_cast<size_t>(GetWidth()) * BitsPerPixel(GetFormat()) + 7) / 8;
    ServedRasterBody<RasterRoutine::InvertRows>()(rows, pitch, GetHeight(), rowBytes);
    Unlock();
    return ResultOk;
}

}  // namespace gfx
