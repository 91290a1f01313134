#include "graphics/codec/container_file_writer.h"

#include <algorithm>

#include "graphics/codec/container_header.h"
#include "graphics/codec/replacing_save.h"
#include "graphics/codec/surface_rows_writer.h"
#include "graphics/core/little_endian.h"

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
    // Checked before anything is written: encoded pixels have no rows to store.
    const Result checked = CheckSurfaceRows(surface);
    if (checked != ResultOk) return checked;
    const PixelFormat format = surface.GetFormat();
    const int32_t width = surface.GetWidth();
    const int32_t height = surface.GetHeight();

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
    return SaveReplacing(surface, path, WriteContainerFile);
}

}  // namespace gfx
