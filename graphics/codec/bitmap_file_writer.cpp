#include "graphics/codec/bitmap_file_writer.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "graphics/codec/replacing_save.h"
#include "graphics/codec/surface_rows_writer.h"
#include "graphics/core/dib_header.h"
#include "graphics/core/dib_layout.h"
#include "graphics/core/little_endian.h"
#include "graphics/image/memory_dib_surface.h"

namespace gfx {

namespace {

// The 14-byte file header: "BM", the file's length, two reserved words, where the rows start.
bool WriteFileHeader(ByteWriter& out, uint64_t dibBytes, uint32_t tableBytes) {
    const uint64_t fileBytes = DIB_FILE_HEADER_BYTES + dibBytes;
    if (fileBytes > UINT32_MAX) return false;
    uint8_t header[DIB_FILE_HEADER_BYTES] = {'B', 'M'};
    StoreLE32(header + 2, static_cast<uint32_t>(fileBytes));
    StoreLE32(header + 10, DIB_FILE_HEADER_BYTES + tableBytes);
    return out.Write(header, sizeof header);
}

// The surface's colours for a table of 2^bpp entries; entries the palette lacks are black.
// False when the surface has no palette.
bool PaletteColours(const Surface& surface, uint32_t count, PaletteEntry* out) {
    const Palette* palette = surface.GetPalette();
    if (!palette || !palette->GetEntryData()) return false;
    const uint32_t given = std::min(count, palette->GetEntryCount());
    std::fill(out, out + count, PaletteEntry{0, 0, 0, 0});
    std::copy(palette->GetEntryData(), palette->GetEntryData() + given, out);
    return true;
}

// A held packed DIB, header, table and rows or encoded data as they are, with the colour table
// taken from the palette.
Result WriteHeldDib(MemoryDibSurface& surface, ByteWriter& out) {
    Stream* stream = surface.GetDibStream();
    if (!stream) return ResultNoImage;
    stream->Lock();
    const uint8_t* block = surface.GetDibHeader();
    DibLayout layout;
    if (!block || !ReadDibLayout(block, surface.GetDibLength(), &layout) || !layout.IsPacked()) {
        stream->Unlock();
        return ResultInvalid;
    }
    std::vector<uint8_t> head(block, block + layout.tableBytes);
    PaletteEntry colours[256];
    const uint32_t bits = layout.header.biBitCount;
    if (bits <= 8 && PaletteColours(surface, 1u << bits, colours)) {
        const uint32_t count = 1u << bits;
        uint32_t stored = layout.TableEntries();
        // A short table would lose the palette's later colours: it grows to the full 2^bpp.
        const bool lost = std::any_of(colours + std::min(stored, count), colours + count,
                                      [](const PaletteEntry& c) { return c.red || c.green || c.blue; });
        if (lost) {
            head.assign(block, block + DIB_HEADER_BYTES);
            head.resize(DIB_HEADER_BYTES + DIB_COLOUR_BYTES * count, 0);
            StoreLE32(head.data() + 32, 0);  // biClrUsed: the whole table
            stored = count;
        }
        WriteDibColours(colours, std::min(stored, count), head.data() + DIB_HEADER_BYTES);
    }
    const uint8_t* image = block + layout.tableBytes;
    const bool written = WriteFileHeader(out, uint64_t{head.size()} + layout.imageBytes,
                                         static_cast<uint32_t>(head.size())) &&
                         out.Write(head.data(), static_cast<uint32_t>(head.size())) &&
                         out.Write(image, layout.imageBytes);
    stream->Unlock();
    return written ? ResultOk : ResultInvalid;
}

// Any other surface: the header BuildDibHeader makes for its format, its palette as the colour
// table, and its rows bottom-up.
Result WriteRowsAsDib(Surface& surface, ByteWriter& out) {
    const PixelFormat format = surface.GetFormat();
    const int32_t width = surface.GetWidth();
    const int32_t height = surface.GetHeight();
    // Checked before anything is written, so that a refusal leaves `out` empty.
    const Result checked = CheckSurfaceRows(surface);
    if (checked != ResultOk) return checked;
    uint8_t head[DIB_HEADER_BUFFER_BYTES];
    const uint32_t headBytes = BuildDibHeader(width, height, format, head, sizeof head);
    if (headBytes == 0) return ResultInvalid;
    if (IsIndexedFormat(format)) {
        PaletteEntry colours[256];
        const uint32_t count = 1u << BitsPerPixel(format);
        if (PaletteColours(surface, count, colours)) {
            WriteDibColours(colours, count, head + DIB_HEADER_BYTES);
        }
    }
    const uint64_t imageBytes = uint64_t{RowBytes(format, width)} * static_cast<uint32_t>(height);
    if (!WriteFileHeader(out, headBytes + imageBytes, headBytes) || !out.Write(head, headBytes)) {
        return ResultInvalid;
    }
    return WriteSurfaceRows(surface, out, RowOrder::BottomLineFirst);
}

}  // namespace

Result WriteBitmapFile(Surface& surface, ByteWriter& out) {
    if (surface.GetFormat() == 0) return ResultNoImage;
    if (surface.GetKind() == KIND_MEMORY_DIB) {
        if (auto* held = dynamic_cast<MemoryDibSurface*>(&surface)) return WriteHeldDib(*held, out);
    }
    return WriteRowsAsDib(surface, out);
}

Result SaveBitmapFile(Surface& surface, const char* path) {
    return SaveReplacing(surface, path, WriteBitmapFile);
}

}  // namespace gfx
