#include "graphics/core/foreign_dib.h"

#include <cstring>

#include "graphics/core/little_endian.h"
#include "graphics/core/pixel_format.h"

namespace gfx {

namespace {

constexpr uint32_t CORE_HEADER_BYTES = 12;
constexpr uint32_t MASK_BYTES = 12;

bool KnownHeaderLength(uint32_t length) {
    return length == CORE_HEADER_BYTES || length == DIB_HEADER_BYTES || length == 52 ||
           length == 56 || length == 108 || length == 124;
}

bool PlainBitCount(uint32_t bits) {
    return bits == 1 || bits == 2 || bits == 4 || bits == 8 || bits == 16 || bits == 24 ||
           bits == 32;
}

}  // namespace

bool ReadForeignDib(const uint8_t* block, uint32_t size, ForeignDib* out) {
    if (!block || !out) return false;
    uint32_t headerOffset = 0, fileOffBits = 0;
    if (size >= 2 && block[0] == 'B' && block[1] == 'M') {
        if (size < DIB_FILE_HEADER_BYTES) return false;
        headerOffset = DIB_FILE_HEADER_BYTES;
        fileOffBits = LoadLE32(block + 10);
    }
    if (size - headerOffset < 4) return false;
    const uint8_t* info = block + headerOffset;
    const uint32_t length = LoadLE32(info);
    if (!KnownHeaderLength(length) || length > size - headerOffset) return false;

    ForeignDib found;
    DibHeader& h = found.header;
    int64_t height = 0;
    uint32_t storedColours = 0;
    if (length == CORE_HEADER_BYTES) {
        h = DibHeader{DIB_HEADER_BYTES, LoadLE16(info + 4), 0, LoadLE16(info + 8),
                      LoadLE16(info + 10), COMPRESSION_NONE, 0, 0, 0, 0, 0};
        height = LoadLE16(info + 6);
        found.entryBytes = 3;
        if (h.biBitCount <= 8) storedColours = 1u << h.biBitCount;
    } else {
        ReadDibHeader(info, length, &h);
        height = h.biHeight;
        if (h.biBitCount <= 8) {
            storedColours = h.biClrUsed ? h.biClrUsed : 1u << h.biBitCount;
        } else {
            storedColours = h.biClrUsed;  // a table kept for display on few colours: skipped
        }
    }
    if (!PlainBitCount(h.biBitCount) || h.biWidth < 0 || h.biPlanes != 1) return false;
    if (h.biCompression != COMPRESSION_NONE &&
        !(h.biCompression == COMPRESSION_BITFIELDS && (h.biBitCount == 16 || h.biBitCount == 32)))
        return false;
    found.topDown = height < 0;
    if (found.topDown) height = -height;
    if (length == DIB_HEADER_BYTES && !found.topDown) return false;
    // Sides no surface can hold are refused before any row is looked at: a top-down picture of
    // empty rows could otherwise ask for a billion row moves.
    if (h.biWidth > MAX_SURFACE_SIDE || height > MAX_SURFACE_SIDE) return false;
    if (storedColours > (1u << 16)) return false;

    h.biSize = DIB_HEADER_BYTES;
    h.biHeight = static_cast<int32_t>(height);
    h.biSizeImage = 0;
    h.biClrImportant = 0;
    // The masks follow a 40-byte header and sit at the same place inside the longer ones.
    uint32_t cursor = headerOffset + length;
    if (h.biCompression == COMPRESSION_BITFIELDS) {
        found.masksOffset = headerOffset + DIB_HEADER_BYTES;
        if (length == DIB_HEADER_BYTES) cursor += MASK_BYTES;
        if (uint64_t{found.masksOffset} + MASK_BYTES > size) return false;
    }
    found.tableOffset = cursor;
    const uint64_t tableEnd = cursor + uint64_t{storedColours} * found.entryBytes;
    if (h.biBitCount <= 8) {
        found.tableEntries = storedColours;
        const uint32_t full = 1u << h.biBitCount;
        // Old-style files may hold fewer entries than the bit count allows; their file header
        // says where the rows begin.
        if (length == CORE_HEADER_BYTES && fileOffBits > cursor && fileOffBits < tableEnd) {
            found.tableEntries = (fileOffBits - cursor) / found.entryBytes;
        }
        if (found.tableEntries > full) found.tableEntries = full;
        h.biClrUsed = found.tableEntries == full ? 0 : found.tableEntries;
        if (found.tableEntries == 0) return false;
    } else {
        h.biClrUsed = 0;
    }
    uint64_t pixelOffset =
        length == CORE_HEADER_BYTES && h.biBitCount <= 8
            ? cursor + uint64_t{found.tableEntries} * found.entryBytes
            : tableEnd;
    const uint64_t rowBytes = PaddedRowBytes(h.biBitCount, uint32_t(h.biWidth));
    if (rowBytes > size) return false;
    const uint64_t imageBytes = rowBytes * uint64_t(height);
    if (fileOffBits > pixelOffset && fileOffBits + imageBytes <= size) pixelOffset = fileOffBits;
    if (pixelOffset + imageBytes > size) return false;
    found.pixelOffset = static_cast<uint32_t>(pixelOffset);

    found.convertedBytes = PackedDibSize(h);
    if (found.convertedBytes == 0) return false;
    *out = found;
    return true;
}

void WriteConvertedDib(const uint8_t* block, const ForeignDib& foreign, uint8_t* out) {
    const DibHeader& h = foreign.header;
    WriteDibHeader(h, out);
    uint8_t* cursor = out + DIB_HEADER_BYTES;
    if (h.biBitCount <= 8) {
        const uint32_t slots = h.biClrUsed ? h.biClrUsed : 1u << h.biBitCount;
        std::memset(cursor, 0, size_t{slots} * 4);
        const uint8_t* entry = block + foreign.tableOffset;
        for (uint32_t i = 0; i < foreign.tableEntries; ++i, entry += foreign.entryBytes) {
            std::memcpy(cursor + 4 * i, entry, 3);  // blue, green, red; the fourth byte stays 0
        }
        cursor += size_t{slots} * 4;
    } else if (h.biCompression == COMPRESSION_BITFIELDS) {
        std::memcpy(cursor, block + foreign.masksOffset, MASK_BYTES);
        cursor += MASK_BYTES;
    }
    const size_t rowBytes = PaddedRowBytes(h.biBitCount, uint32_t(h.biWidth));
    const uint8_t* rows = block + foreign.pixelOffset;
    const uint32_t height = uint32_t(h.biHeight);
    if (!foreign.topDown) {
        std::memcpy(cursor, rows, rowBytes * height);
        return;
    }
    for (uint32_t y = 0; y < height; ++y) {
        std::memcpy(cursor + rowBytes * y, rows + rowBytes * (height - 1 - y), rowBytes);
    }
}

}  // namespace gfx
