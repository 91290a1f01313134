#include "graphics/core/dib_layout.h"

#include "graphics/core/little_endian.h"

namespace gfx {

namespace {

// Red, green and blue masks that store the channels the way the format code says. The 16-bit
// formats are read back as either channel order (a header never yields a BGR code, but the
// library writes BGR headers itself).
bool MasksFitFormat(const uint8_t* masks, PixelFormat format) {
    const uint32_t red = LoadLE32(masks), green = LoadLE32(masks + 4), blue = LoadLE32(masks + 8);
    switch (format) {
        case FMT_RGB555:
            return green == 0x03E0 &&
                   ((red == 0x7C00 && blue == 0x001F) || (red == 0x001F && blue == 0x7C00));
        case FMT_RGB565:
            return green == 0x07E0 &&
                   ((red == 0xF800 && blue == 0x001F) || (red == 0x001F && blue == 0xF800));
        case FMT_RGB32:
            return red == 0xFF0000 && green == 0xFF00 && blue == 0xFF;
        default:
            return false;
    }
}

}  // namespace

uint32_t DibLayout::TableEntries() const {
    if (header.biBitCount > 8) return 0;
    return (tableBytes - DIB_HEADER_BYTES) / 4;
}

bool ReadDibLayout(const uint8_t* block, uint32_t size, DibLayout* layout) {
    if (!block || !layout) return false;
    DibLayout found;
    uint32_t fileOffBits = 0;
    if (size >= 2 && block[0] == 'B' && block[1] == 'M') {
        if (size < DIB_FILE_HEADER_BYTES) return false;
        found.headerOffset = DIB_FILE_HEADER_BYTES;
        fileOffBits = LoadLE32(block + 10);
    }
    const uint8_t* header = block + found.headerOffset;
    const uint32_t available = size - found.headerOffset;
    if (!ReadDibHeader(header, available, &found.header)) return false;
    const DibHeader& h = found.header;
    if (h.biSize != DIB_HEADER_BYTES || h.biWidth < 0 || h.biHeight < 0) return false;

    // PackedDibSize refuses unknown bit counts and sizes beyond 32 bits.
    const uint32_t packed = PackedDibSize(h);
    if (packed == 0) return false;
    found.tableBytes = DibHeaderSize(h);
    found.imageBytes = DibImageSize(h);
    if (packed > available || found.tableBytes > available) return false;

    found.format = FormatFromHeader(header, available);
    if (!SurfaceSizeSupported(h.biWidth, h.biHeight, found.format)) return false;
    found.encoded = IsEncodedCompression(h.biCompression);
    if (h.biCompression == COMPRESSION_BITFIELDS && h.biBitCount > 8 &&
        !MasksFitFormat(header + DIB_HEADER_BYTES, found.format)) {
        return false;
    }

    found.pixelOffset = found.headerOffset + found.tableBytes;
    // Bitmap files may leave a gap before the rows (a colour table after the masks, padding);
    // their file header says where the rows are. An offset that does not fit is not trusted.
    if (fileOffBits > found.pixelOffset && uint64_t{fileOffBits} + found.imageBytes <= size) {
        found.pixelOffset = fileOffBits;
    }
    *layout = found;
    return true;
}

}  // namespace gfx
