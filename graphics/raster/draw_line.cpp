#include "graphics/core/pixel_format.h"
#include "graphics/image/surface.h"
#include "graphics/raster/clip_line.h"
#include "graphics/raster/line_steps.h"
#include "graphics/raster/surface_clip.h"

namespace gfx {

Result Surface::DrawLine(int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint32_t value) {
    LineEnd start{x0, y0};
    LineEnd end{x1, y1};
    if (!ClipLine(SurfaceClipRect(*this), &start, &end)) return ResultOk;
    uint8_t* rows = nullptr;
    int32_t pitch = 0;
    const Result status = Lock(&rows, &pitch);
    if (status != ResultOk) return status;
    switch (BitsPerPixel(GetFormat())) {
        case 8: DrawLineSteps8(rows, pitch, start, end, value); break;
        case 16: DrawLineSteps16(rows, pitch, start, end, value); break;
        case 24: DrawLineSteps24(rows, pitch, start, end, value); break;
        case 32: DrawLineSteps32(rows, pitch, start, end, value); break;
        default: break;  // packed depths have no line routine
    }
    Unlock();
    return ResultOk;
}

}  // namespace gfx
