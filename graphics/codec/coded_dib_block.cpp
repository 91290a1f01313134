#include "graphics/codec/coded_dib_block.h"

#include <cstring>

#include "graphics/platform/global_memory.h"

namespace gfx {

CodedDibBlock NewCodedDibBlock(const DibHeader& header, const uint8_t* table, uint32_t tableBytes,
                               uint32_t headerBytes, uint64_t bodyBytes) {
    CodedDibBlock out;
    if (headerBytes < DIB_HEADER_BYTES || tableBytes > headerBytes - DIB_HEADER_BYTES) return out;
    const uint64_t size = uint64_t{headerBytes} + bodyBytes;
    if (size > UINT32_MAX) return out;
    auto* block = static_cast<uint8_t*>(GlobalMemoryAlloc(size_t(size), true));
    if (!block) return out;
    WriteDibHeader(header, block);
    if (tableBytes) std::memcpy(block + DIB_HEADER_BYTES, table, tableBytes);
    std::memset(block + DIB_HEADER_BYTES + tableBytes, 0,
                headerBytes - DIB_HEADER_BYTES - tableBytes);
    out.dib = {block, static_cast<uint32_t>(size)};
    out.body = block + headerBytes;
    return out;
}

CodedDib NewRecodedDib(const uint8_t* header, uint32_t headerBytes, uint32_t compression,
                       uint32_t sizeImage, const uint8_t* body, uint32_t bodyBytes) {
    DibHeader recoded;
    if (!ReadDibHeader(header, headerBytes, &recoded)) return {};
    recoded.biCompression = compression;
    recoded.biSizeImage = sizeImage;
    CodedDibBlock out = NewCodedDibBlock(recoded, header + DIB_HEADER_BYTES,
                                         headerBytes - DIB_HEADER_BYTES, headerBytes, bodyBytes);
    if (out.body && bodyBytes) std::memcpy(out.body, body, bodyBytes);
    return out.dib;
}

bool SurfaceCanHold(const DibHeader& header) {
    return header.biWidth >= 0 && header.biWidth <= MAX_SURFACE_SIDE && header.biHeight >= 0 &&
           header.biHeight <= MAX_SURFACE_SIDE &&
           PaddedRowBytes(header.biBitCount, uint32_t(header.biWidth)) <= MAX_ROW_BYTES;
}

void FreeCodedDibBlock(CodedDibBlock* block) {
    GlobalMemoryFree(block->dib.block);
    *block = CodedDibBlock{};
}

}  // namespace gfx
