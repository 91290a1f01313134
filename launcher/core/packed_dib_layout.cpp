#include "launcher/core/packed_dib_layout.h"

#include "graphics/core/dib_header.h"

bool DescribePackedDib(const uint8_t* bytes, size_t size, PackedDibLayout& layout) {
    gfx::DibHeader header;
    if (!bytes || !gfx::ReadDibHeader(bytes, size, &header)) return false;
    if (header.biSize < gfx::DIB_HEADER_BYTES || header.biSize > size) return false;
    if (header.biWidth <= 0 || header.biHeight == 0 || header.biBitCount == 0 ||
        header.biBitCount > 32) {
        return false;
    }

    const uint64_t colours = header.biBitCount <= 8 ? (uint64_t{1} << header.biBitCount) : 0;
    if (gfx::DIB_HEADER_BYTES + colours * gfx::DIB_COLOUR_BYTES > size) return false;
    const uint64_t bitsOffset = header.biSize + colours * gfx::DIB_COLOUR_BYTES;

    const uint64_t rows = header.biHeight < 0 ? -static_cast<int64_t>(header.biHeight)
                                              : static_cast<int64_t>(header.biHeight);
    const uint64_t bitsSize =
        header.biCompression == gfx::COMPRESSION_NONE
            ? gfx::PaddedRowBytes(header.biBitCount, static_cast<uint32_t>(header.biWidth)) * rows
            : header.biSizeImage;
    if (bitsOffset + bitsSize > size) return false;

    layout.colours = static_cast<uint32_t>(colours);
    layout.bitsOffset = static_cast<size_t>(bitsOffset);
    return true;
}

gfx::PaletteEntry PackedDibColour(const uint8_t* bytes, uint32_t index) {
    gfx::PaletteEntry colour;
    gfx::ReadDibColours(bytes + gfx::DIB_HEADER_BYTES + size_t{index} * gfx::DIB_COLOUR_BYTES, 1,
                        &colour);
    return colour;
}
