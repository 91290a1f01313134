#include "graphics/codec/trle_codec.h"

#include <cstring>

#include "graphics/codec/coded_dib_block.h"
#include "graphics/codec/word_runs.h"
#include "graphics/core/dib_header.h"
#include "graphics/core/little_endian.h"
#include "graphics/platform/global_memory.h"

namespace gfx {

namespace {

// Masks (12 bytes) and the plain compression (4) lead the data area.
constexpr uint32_t kPreambleBytes = 16;
constexpr uint32_t kPlainCompressionOffset = 12;
constexpr uint32_t kMaskBytes = 12;
constexpr uint32_t kRowEntryBytes = 8;

struct RowEntry {
    uint32_t offset;
    uint32_t leading;
    uint32_t kept;
};

RowEntry ReadRowEntry(const uint8_t* entry) {
    return {LoadLE32(entry), LoadLE16(entry + 4), LoadLE16(entry + 6)};
}

void WriteRowEntry(uint8_t* entry, const RowEntry& row) {
    StoreLE32(entry, row.offset);
    StoreLE16(entry + 4, row.leading);
    StoreLE16(entry + 6, row.kept);
}

bool DecodableDepth(uint32_t bits) { return bits == 8 || bits == 16 || bits == 24 || bits == 32; }

}  // namespace

CodedDib TrleEncode(const uint8_t* header, uint32_t length) {
    DibHeader plain;
    if (!ReadDibHeader(header, length, &plain) || plain.biSize != DIB_HEADER_BYTES ||
        plain.biBitCount != 8 || plain.biCompression != COMPRESSION_NONE) {
        return {};
    }
    // The row table keeps counts in 16 bits.
    if (plain.biWidth > 0xFFFF) return {};
    const uint32_t headerBytes = DibHeaderSize(plain);
    const uint32_t packed = PackedDibSize(plain);
    if (headerBytes == 0 || packed == 0 || packed > length) return {};
    const uint32_t width = uint32_t(plain.biWidth), height = uint32_t(plain.biHeight);
    const uint32_t pitch = uint32_t(PaddedRowBytes(8, width));
    const uint8_t* rows = header + headerBytes;

    // One worst-case work block for the data area (every row kept whole), copied out exactly.
    const uint64_t tableEnd = kPreambleBytes + uint64_t{kRowEntryBytes} * height;
    const uint64_t workBytes = tableEnd + uint64_t{width} * height;
    if (workBytes > UINT32_MAX) return {};
    auto* work = static_cast<uint8_t*>(GlobalMemoryAlloc(size_t(workBytes), true));
    if (!work) return {};
    std::memset(work, 0, kPreambleBytes);  // no masks; plain compression 0
    uint32_t end = uint32_t(tableEnd);
    for (uint32_t i = 0; i < height; ++i) {
        const uint8_t* row = rows + size_t{height - 1 - i} * pitch;
        uint32_t leading = 0;
        while (leading < width && row[leading] == 0) ++leading;
        uint32_t trailing = 0;
        if (leading < width) {
            while (row[width - 1 - trailing] == 0) ++trailing;
        }
        const uint32_t kept = width - leading - trailing;
        WriteRowEntry(work + kPreambleBytes + kRowEntryBytes * i, {end, leading, kept});
        CopyRun(work + end, row + leading, kept);
        end += kept;
    }

    const CodedDib out = NewRecodedDib(header, headerBytes, COMPRESSION_TRLE, end, work, end);
    GlobalMemoryFree(work);
    return out;
}

CodedDib TrleDecode(const uint8_t* header, uint32_t length) {
    DibHeader coded;
    if (!ReadDibHeader(header, length, &coded) || coded.biSize != DIB_HEADER_BYTES ||
        coded.biCompression != COMPRESSION_TRLE || !DecodableDepth(coded.biBitCount)) {
        return {};
    }
    if (!SurfaceCanHold(coded)) return {};
    const uint32_t bits = coded.biBitCount;
    // The data area of a 16 to 32-bit image starts right after the 40-byte header, where a
    // colour table would lie: one that claims entries leaves its place unclear.
    if (bits > 8 && coded.biClrUsed != 0) return {};
    const uint32_t dataOffset = DibHeaderSize(coded);
    if (dataOffset == 0) return {};
    const uint32_t dataBytes = coded.biSizeImage;
    if (uint64_t{dataOffset} + dataBytes > length) return {};
    const uint8_t* data = header + dataOffset;
    const uint32_t height = uint32_t(coded.biHeight), width = uint32_t(coded.biWidth);
    const uint64_t tableEnd = kPreambleBytes + uint64_t{kRowEntryBytes} * height;
    if (tableEnd > dataBytes) return {};

    const uint32_t plainCompression = LoadLE32(data + kPlainCompressionOffset);
    const bool masks = plainCompression == COMPRESSION_BITFIELDS;
    if (plainCompression != COMPRESSION_NONE && !(masks && (bits == 16 || bits == 32))) return {};
    DibHeader plain = coded;
    plain.biCompression = plainCompression;
    plain.biSizeImage = 0;
    const uint32_t headerBytes = DibHeaderSize(plain);
    const uint32_t packed = PackedDibSize(plain);
    if (headerBytes == 0 || packed == 0) return {};

    // Every row is checked before anything is allocated or written.
    const uint32_t pixelBytes = bits / 8;
    const uint8_t* table = data + kPreambleBytes;
    for (uint32_t i = 0; i < height; ++i) {
        const RowEntry row = ReadRowEntry(table + kRowEntryBytes * i);
        if (row.leading + row.kept > width || row.offset < tableEnd ||
            uint64_t{row.offset} + uint64_t{row.kept} * pixelBytes > dataBytes) {
            return {};
        }
    }

    const uint8_t* tableSource = bits == 8 ? header + DIB_HEADER_BYTES : data;
    const uint32_t tableBytes = bits == 8 ? headerBytes - DIB_HEADER_BYTES : masks ? kMaskBytes : 0;
    CodedDibBlock out =
        NewCodedDibBlock(plain, tableSource, tableBytes, headerBytes, packed - headerBytes);
    if (!out.body) return {};
    const size_t pitch = size_t(PaddedRowBytes(bits, width));
    // A narrow row is cleared whole, the same few stores on every row, and its kept pixels copied
    // over; that costs less than two fills whose lengths change from row to row.
    const bool narrow = pitch <= kLongFill;
    for (uint32_t i = 0; i < height; ++i) {
        const RowEntry row = ReadRowEntry(table + kRowEntryBytes * i);
        uint8_t* line = out.body + size_t{height - 1 - i} * pitch;
        const size_t leadingBytes = size_t{row.leading} * pixelBytes;
        const size_t keptBytes = size_t{row.kept} * pixelBytes;
        if (narrow) {
            FillRun(line, 0, pitch);
        } else {
            FillRun(line, 0, leadingBytes);
            // The trailing pixels and the row padding.
            FillRun(line + leadingBytes + keptBytes, 0, pitch - leadingBytes - keptBytes);
        }
        CopyRun(line + leadingBytes, data + row.offset, keptBytes);
    }
    return out.dib;
}

}  // namespace gfx
