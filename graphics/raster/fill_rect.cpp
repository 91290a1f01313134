#include "graphics/core/pixel_format.h"
#include "graphics/image/surface.h"
#include "graphics/raster/fill_rows.h"
#include "graphics/raster/surface_clip.h"

namespace gfx {

Result Surface::FillRect(int32_t x, int32_t y, int32_t width, int32_t height, uint32_t value) {
    FillArea area{x, y, width, height};
    if (!ClipFillArea(SurfaceClipRect(*this), &area)) return ResultOk;
    uint8_t* rows = nullptr;
    int32_t pitch = 0;
    const Result status = Lock(&rows, &pitch);
    if (status != ResultOk) return status;
    FillRows(rows, pitch, BitsPerPixel(GetFormat()), area, value);
    Unlock();
    return ResultOk;
}

}  // namespace gfx
