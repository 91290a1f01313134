#include "graphics/codec/surface_rows_writer.h"

namespace gfx {

namespace {

Result CheckFormatAndSize(Surface& surface) {
    const PixelFormat format = surface.GetFormat();
    if (format == 0) return ResultNoImage;
    return SurfaceSizeSupported(surface.GetWidth(), surface.GetHeight(), format) ? ResultOk
                                                                                 : ResultInvalid;
}

}  // namespace

Result CheckSurfaceRows(Surface& surface) {
    const Result status = CheckFormatAndSize(surface);
    if (status != ResultOk) return status;
    uint8_t* rows = nullptr;
    int32_t pitch = 0;
    const Result locked = surface.Lock(&rows, &pitch);
    if (locked != ResultOk) return locked;
    surface.Unlock();
    return ResultOk;
}

Result WriteSurfaceRows(Surface& surface, ByteWriter& out, RowOrder order) {
    const Result checked = CheckFormatAndSize(surface);
    if (checked != ResultOk) return checked;
    const PixelFormat format = surface.GetFormat();
    const int32_t width = surface.GetWidth();
    const int32_t height = surface.GetHeight();

    uint8_t* rows = nullptr;
    int32_t pitch = 0;
    const Result locked = surface.Lock(&rows, &pitch);
    if (locked != ResultOk) return locked;
    const uint32_t rowBytes = RowBytes(format, width);
    Result status = ResultOk;
    if (height > 0 && rowBytes > 0 && (!rows || pitch < static_cast<int32_t>(rowBytes))) {
        status = ResultInvalid;
    }
    // Memory row 0 is the bottom line of a bottom-up surface.
    const bool reversed = (order == RowOrder::TopLineFirst) == (surface.IsBottomUp() != 0);
    for (int32_t i = 0; status == ResultOk && i < height && rowBytes > 0; ++i) {
        const int32_t memoryRow = reversed ? height - 1 - i : i;
        const uint8_t* row = rows + static_cast<intptr_t>(memoryRow) * pitch;
        if (!out.Write(row, rowBytes)) status = ResultInvalid;
    }
    surface.Unlock();
    return status;
}

}  // namespace gfx
