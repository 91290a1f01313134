#include "graphics/core/pixel_format.h"
#include "graphics/image/surface.h"
#include "graphics/raster/blend_fill_rows.h"
#include "graphics/raster/raster_registry.h"
#include "graphics/raster/surface_clip.h"

namespace gfx {

namespace {

// The one blend mode: towards the colour.
constexpr int32_t kBlendTowardsColour = 1;

}  // namespace

Result Surface::BlendFillRect(int32_t x, int32_t y, int32_t width, int32_t height, int32_t mode,
                              uint32_t colour, uint32_t weight) {
    FillArea area{x, y, width, height};
    if (!ClipFillArea(SurfaceClipRect(*this), &area)) return ResultOk;
    uint8_t* rows = nullptr;
    int32_t pitch = 0;
    const Result status = Lock(&rows, &pitch);
    if (status != ResultOk) return status;
    if (mode == kBlendTowardsColour) {
        const PixelFormat f = GetFormat();
        if (f == FMT_RGB555 || f == FMT_BGR555) {
            ServedRasterBody<RasterRoutine::BlendFillRows555>()(rows, pitch, area, colour, weight);
        } else if (f == FMT_RGB565 || f == FMT_BGR565) {
            ServedRasterBody<RasterRoutine::BlendFillRows565>()(rows, pitch, area, colour, weight);
        }
    }
    Unlock();
    return ResultOk;
}

}  // namespace gfx
