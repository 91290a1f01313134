#include "graphics/codec/pkc_codec.h"

#include "graphics/codec/coded_dib_block.h"
#include "graphics/codec/memo_block.h"
#include "graphics/core/dib_header.h"
#include "graphics/platform/global_memory.h"

namespace gfx {

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
    const CodedDib out = NewRecodedDib(header, headerBytes, tag, blockBytes, block, blockBytes);
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
    const CodedDib out = NewRecodedDib(header, headerBytes, plainCompression, 0, rows, rawBytes);
    GlobalMemoryFree(rows);
    return out;
}

}  // namespace gfx
