#include "graphics/codec/arle_codec.h"

#include <cstring>

#include "graphics/codec/coded_dib_block.h"
#include "graphics/codec/word_runs.h"
#include "graphics/core/little_endian.h"
#include "graphics/platform/global_memory.h"

namespace gfx {

namespace {

constexpr uint32_t kOffsetBytes = 4;
// Longest count a code holds: 14 bits.
constexpr uint32_t kMaxCount = 0x3FFF;
constexpr uint32_t kShortLimit = 64;
constexpr uint8_t kFill = 0x40;
constexpr uint8_t kLong = 0x80;

uint8_t* EmitCount(uint8_t* out, uint8_t kind, uint32_t count) {
    if (count < kShortLimit) {
        *out++ = uint8_t(kind | count);
    } else {
        *out++ = uint8_t(kind | kLong | (count >> 8));
        *out++ = uint8_t(count);
    }
    return out;
}

bool FourEqual(const uint8_t* p) { return p[0] == p[1] && p[0] == p[2] && p[0] == p[3]; }

// Encodes one row of `width` bytes (at most kMaxCount); returns the end of its codes.
uint8_t* EncodeRow(const uint8_t* row, uint32_t width, uint8_t* out) {
    uint32_t p = 0;
    while (p + 3 < width) {
        if (FourEqual(row + p)) {
            uint32_t q = p + 4;
            while (q < width && row[q] == row[p]) ++q;
            out = EmitCount(out, kFill, q - p);
            *out++ = row[p];
            p = q;
        } else {
            uint32_t q = p + 1;
            while (q + 3 < width && !FourEqual(row + q)) ++q;
            if (q + 3 >= width) q = width;
            out = EmitCount(out, 0, q - p);
            CopyRun(out, row + p, q - p);
            out += q - p;
            p = q;
        }
    }
    if (p < width) {
        out = EmitCount(out, 0, width - p);
        CopyRun(out, row + p, width - p);
        out += width - p;
    }
    return out;
}

// Decodes the codes at `codes` (up to `end`) into exactly `width` bytes at `line`; false when they
// run past `end` or overrun the row. A run of up to 16 bytes is moved as one 16-byte word when
// the block has room (`writable` bytes from `line`) and, for a literal, the data has the bytes:
// whatever lands past the run is written again by the codes that follow, by the row's padding,
// or by the rows above, which are decoded after it.
bool DecodeRow(const uint8_t* codes, const uint8_t* end, uint8_t* line, uint32_t width,
               size_t writable) {
    uint8_t* out = line;
    uint8_t* const rowEnd = line + width;
    uint8_t* const wideEnd = line + writable;  // past it no 16-byte word may start
    while (out < rowEnd) {
        if (codes == end) return false;
        const uint8_t first = *codes++;
        uint32_t count = first & 0x3F;
        if (first & kLong) {
            if (codes == end) return false;
            count = count << 8 | *codes++;
        }
        if (count > size_t(rowEnd - out)) return false;
        const bool wide = count <= 16 && wideEnd - out >= 16;
        if (first & kFill) {
            if (codes == end) return false;
            const uint8_t value = *codes++;
            if (wide) {
                const uint64_t pattern = value * 0x0101010101010101ull;
                std::memcpy(out, &pattern, 8);
                std::memcpy(out + 8, &pattern, 8);
            } else {
                FillRun(out, value, count);
            }
        } else {
            if (count > size_t(end - codes)) return false;
            if (wide && end - codes >= 16) {
                uint8_t word[16];
                std::memcpy(word, codes, 16);
                std::memcpy(out, word, 16);
            } else {
                CopyRun(out, codes, count);
            }
            codes += count;
        }
        out += count;
    }
    return true;
}

}  // namespace

bool ReadArleSource(const uint8_t* header, uint32_t length, ArleSource* out) {
    DibHeader plain;
    if (!ReadDibHeader(header, length, &plain) || plain.biSize != DIB_HEADER_BYTES ||
        plain.biBitCount != 8 || plain.biCompression != COMPRESSION_NONE) {
        return false;
    }
    if (plain.biWidth > int32_t(kMaxCount)) return false;
    const uint32_t headerBytes = DibHeaderSize(plain);
    const uint32_t packed = PackedDibSize(plain);
    if (headerBytes == 0 || packed == 0 || packed > length) return false;
    *out = ArleSource{plain, headerBytes, header + headerBytes};
    return true;
}

uint8_t* ArleEncodeArea(const ArleSource& source, uint32_t* areaBytes) {
    const uint32_t width = uint32_t(source.header.biWidth);
    const uint32_t height = uint32_t(source.header.biHeight);
    const uint32_t pitch = uint32_t(PaddedRowBytes(8, width));
    // One worst-case work block: no row's codes take more than twice its padded bytes.
    const uint64_t tableEnd = uint64_t{kOffsetBytes} * height;
    const uint64_t workBytes = tableEnd + uint64_t{height} * 2 * (pitch + 2);
    if (workBytes > UINT32_MAX) return nullptr;
    auto* work = static_cast<uint8_t*>(GlobalMemoryAlloc(workBytes ? size_t(workBytes) : 1, true));
    if (!work) return nullptr;
    uint8_t* codes = work + tableEnd;
    for (uint32_t i = 0; i < height; ++i) {
        StoreLE32(work + kOffsetBytes * i, uint32_t(codes - work));
        codes = EncodeRow(source.rows + size_t{height - 1 - i} * pitch, width, codes);
    }
    *areaBytes = uint32_t(codes - work);
    return work;
}

CodedDib ArleEncode(const uint8_t* header, uint32_t length) {
    ArleSource source;
    if (!ReadArleSource(header, length, &source)) return {};
    uint32_t areaBytes = 0;
    uint8_t* area = ArleEncodeArea(source, &areaBytes);
    if (!area) return {};
    const CodedDib out =
        NewRecodedDib(header, source.headerBytes, COMPRESSION_ARLE, areaBytes, area, areaBytes);
    GlobalMemoryFree(area);
    return out;
}

CodedDib ArleDecodeArea(const uint8_t* header, const DibHeader& coded, uint32_t headerBytes,
                        const uint8_t* area, uint32_t areaBytes) {
    const uint32_t width = uint32_t(coded.biWidth), height = uint32_t(coded.biHeight);
    const uint64_t tableEnd = uint64_t{kOffsetBytes} * height;
    if (!SurfaceCanHold(coded) || tableEnd > areaBytes) return {};
    DibHeader plain = coded;
    plain.biCompression = COMPRESSION_NONE;
    plain.biSizeImage = 0;
    const uint32_t packed = PackedDibSize(plain);
    if (packed == 0 || DibHeaderSize(plain) != headerBytes) return {};
    CodedDibBlock out =
        NewCodedDibBlock(plain, header + DIB_HEADER_BYTES, headerBytes - DIB_HEADER_BYTES,
                         headerBytes, packed - headerBytes);
    if (!out.body) return {};
    const size_t pitch = size_t(PaddedRowBytes(8, width));
    const size_t rowsBytes = size_t{packed} - headerBytes;
    const uint8_t* end = area + areaBytes;
    // Memory rows from the first (the bottom line) up, so that a row's wide stores only reach
    // rows still to be decoded.
    for (uint32_t m = 0; m < height; ++m) {
        const uint32_t offset = LoadLE32(area + kOffsetBytes * (height - 1 - m));
        uint8_t* line = out.body + size_t{m} * pitch;
        // Damaged data gives no image at all rather than a part of one.
        if (offset < tableEnd || offset > areaBytes ||
            !DecodeRow(area + offset, end, line, width, rowsBytes - size_t{m} * pitch)) {
            FreeCodedDibBlock(&out);
            return {};
        }
        FillRun(line + width, 0, pitch - width);
    }
    return out.dib;
}

CodedDib ArleDecode(const uint8_t* header, uint32_t length) {
    DibHeader coded;
    if (!ReadDibHeader(header, length, &coded) || coded.biSize != DIB_HEADER_BYTES ||
        coded.biBitCount != 8 || coded.biCompression != COMPRESSION_ARLE) {
        return {};
    }
    const uint32_t headerBytes = DibHeaderSize(coded);
    if (headerBytes == 0 || uint64_t{headerBytes} + coded.biSizeImage > length) return {};
    return ArleDecodeArea(header, coded, headerBytes, header + headerBytes, coded.biSizeImage);
}

}  // namespace gfx
