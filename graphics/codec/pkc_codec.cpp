#include "graphics/codec/pkc_codec.h"

#include <cstring>

#include "graphics/codec/memo_block.h"
#include "graphics/core/dib_header.h"
#include "graphics/platform/global_memory.h"

namespace gfx {

namespace {

// A new fixed block holding the `headerBytes` bytes at `header`, with the header's compression
// and image size replaced, followed by `body` of `bodyBytes`.
CodedDib Assemble(const uint8_t* header, uint32_t headerBytes, uint32_t compression,
                  uint32_t sizeImage, const uint8_t* body, uint32_t bodyBytes) {
    const uint64_t size = uint64_t{headerBytes} + bodyBytes;
    if (size > UINT32_MAX) return {};
    uint8_t* out = static_cast<uint8_t*>(GlobalMemoryAlloc(size_t(size), true));
    if (!out) return {};
    DibHeader parsed;
    ReadDibHeader(header, headerBytes, &parsed);
    parsed.biCompression = compression;
    parsed.biSizeImage = sizeImage;
    std::memcpy(out, header, headerBytes);
    WriteDibHeader(parsed, out);
    std::memcpy(out + headerBytes, body, bodyBytes);
    return {out, static_cast<uint32_t>(size)};
}

}  // namespace

CodedDib PkcEncode(const uint8_t* header, uint32_t length) {
    DibHeader parsed;
    if (!ReadDibHeader(header, length, &parsed) || parsed.biSize != DIB_HEADER_BYTES) return {};
    if (parsed.biCompression != COMPRESSION_NONE && parsed.biCompression != COMPRESSION_BITFIELDS)
        return {};
    const uint32_t headerBytes = DibHeaderSize(parsed);
    const uint32_t imageBytes = DibImageSize(parsed);
    if (headerBytes == 0 || uint64_t{headerBytes} + imageBytes > length) return {};
    uint8_t* block = MemoPack(header + headerBytes, imageBytes);
    if (!block) return {};
    const uint32_t blockBytes = MemoPackedSize(block, MEMO_HEADER_BYTES);
    const uint32_t tag =
        parsed.biCompression == COMPRESSION_BITFIELDS ? COMPRESSION_PKC2 : COMPRESSION_PKC1;
    const CodedDib out = Assemble(header, headerBytes, tag, blockBytes, block, blockBytes);
    GlobalMemoryFree(block);
    return out;
}

CodedDib PkcDecode(const uint8_t* header, uint32_t length) {
    DibHeader parsed;
    if (!ReadDibHeader(header, length, &parsed) || parsed.biSize != DIB_HEADER_BYTES) return {};
    if (parsed.biCompression != COMPRESSION_PKC1 && parsed.biCompression != COMPRESSION_PKC2)
        return {};
    const uint32_t headerBytes = DibHeaderSize(parsed);
    if (headerBytes == 0 || headerBytes > length) return {};
    const uint32_t plainCompression =
        parsed.biCompression == COMPRESSION_PKC2 ? COMPRESSION_BITFIELDS : COMPRESSION_NONE;
    DibHeader plain = parsed;
    plain.biCompression = plainCompression;
    const uint8_t* block = header + headerBytes;
    const size_t available = length - headerBytes;
    // The rows must be exactly those the plain header describes, or the image would be read
    // past its end.
    const uint32_t rawBytes = MemoRawSize(block, available);
    if (MemoPackedSize(block, available) == 0 || rawBytes != DibImageSize(plain)) return {};
    uint8_t* rows = MemoUnpack(block, available);
    if (!rows) return {};
    const CodedDib out = Assemble(header, headerBytes, plainCompression, 0, rows, rawBytes);
    GlobalMemoryFree(rows);
    return out;
}

}  // namespace gfx
