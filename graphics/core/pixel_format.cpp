#include "graphics/core/pixel_format.h"

namespace gfx {

bool IsKnownFormat(PixelFormat format) {
    switch (format) {
        case FMT_INDEX1:
        case FMT_INDEX2:
        case FMT_INDEX4:
        case FMT_INDEX8:
        case FMT_RGB555:
        case FMT_BGR555:
        case FMT_RGB565:
        case FMT_BGR565:
        case FMT_RGB24:
        case FMT_RGB32:
            return true;
        default:
            return false;
    }
}

uint32_t RowBytes(PixelFormat format, int32_t width) {
    const uint64_t bpp = BitsPerPixel(format);
    if (bpp == 0 || width <= 0) return 0;
    const uint64_t bytes = PaddedRowBytes(bpp, static_cast<uint64_t>(width));
    return bytes > UINT32_MAX ? 0 : static_cast<uint32_t>(bytes);
}

bool SurfaceSizeSupported(int32_t width, int32_t height, PixelFormat format) {
    if (!IsKnownFormat(format)) return false;
    if (width < 0 || width > MAX_SURFACE_SIDE || height < 0 || height > MAX_SURFACE_SIDE) {
        return false;
    }
    return RowBytes(format, width) <= MAX_ROW_BYTES;
}

}  // namespace gfx
