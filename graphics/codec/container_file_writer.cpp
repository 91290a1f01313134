#include "graphics/codec/container_file_writer.h"

#include <algorithm>

#include "graphics/codec/container_header.h"
#include "graphics/codec/surface_rows_writer.h"
#include "graphics/core/little_endian.h"
#include "graphics/io/replacing_file.h"

namespace gfx {

namespace {

// The palette as the container keeps it: 2^bpp entries of red, green, blue and flags, entries the
// palette lacks black.
bool WritePalette(const Surface& surface, ByteWriter& out) {
    const uint32_t count = 1u << BitsPerPixel(surface.GetFormat());
    uint8_t entries[4 * 256] = {};
    if (const Palette* palette = surface.GetPalette(); palette && palette->GetEntryData()) {
        const uint32_t given = std::min(count, palette->GetEntryCount());
        const PaletteEntry* source = palette->GetEntryData();
        for (uint32_t i = 0; i < given; ++i) {
            entries[4 * i] = source[i].red;
            entries[4 * i + 1] = source[i].green;
            entries[4 * i + 2] = source[i].blue;
            entries[4 * i + 3] = source[i].flags;
        }
    }
    return out.Write(entries, 4 * count);
}

}  // namespace

Result WriteContainerFile(Surface& surface, ByteWriter& out) {
    const PixelFormat format = surface.GetFormat();
    const int32_t width = surface.GetWidth();
    const int32_t height = surface.GetHeight();
    if (format == 0) return ResultNoImage;
    if (!SurfaceSizeSupported(width, height, format)) return ResultInvalid;
    // Checked before anything is written: encoded pixels have no rows to store.
    uint8_t* rows = nullptr;
    int32_t pitch = 0;
    const Result locked = surface.Lock(&rows, &pitch);
    if (locked != ResultOk) return locked;
    surface.Unlock();

    uint8_t header[CONTAINER_HEADER_BYTES] = {};
    StoreLE32(header, CONTAINER_MAGIC);
    StoreLE32(header + CONTAINER_DATA_OFFSET_AT, CONTAINER_HEADER_BYTES);
    StoreLE32(header + CONTAINER_WIDTH_AT, static_cast<uint32_t>(width));
    StoreLE32(header + CONTAINER_HEIGHT_AT, static_cast<uint32_t>(height));
    StoreLE32(header + CONTAINER_FORMAT_AT, format);
    StoreLE32(header + CONTAINER_FRAMES_AT, static_cast<uint32_t>(surface.GetFrameCount()));
    if (!out.Write(header, sizeof header)) return ResultInvalid;
    if (IsIndexedFormat(format) && !WritePalette(surface, out)) return ResultInvalid;
    return WriteSurfaceRows(surface, out, RowOrder::TopLineFirst);
}

Result SaveContainerFile(Surface& surface, const char* path) {
    if (!path || !path[0]) return ResultInvalid;
    if (surface.GetFormat() == 0) return ResultNoImage;
    ReplacingFile file(path);
    if (!file.IsOpen()) return ResultInvalid;
    const Result status = WriteContainerFile(surface, file);
    if (status != ResultOk) return status;
    return file.Commit() ? ResultOk : ResultInvalid;
}

}  // namespace gfx
