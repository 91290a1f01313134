#include "graphics/codec/prle_codec.h"

#include "graphics/codec/arle_codec.h"
#include "graphics/codec/coded_dib_block.h"
#include "graphics/codec/memo_block.h"
#include "graphics/platform/global_memory.h"

namespace gfx {

CodedDib PrleEncode(const uint8_t* header, uint32_t length) {
    ArleSource source;
    if (!ReadArleSource(header, length, &source)) return {};
    uint32_t areaBytes = 0;
    uint8_t* area = ArleEncodeArea(source, &areaBytes);
    if (!area) return {};
    uint8_t* block = MemoPack(area, areaBytes);
    GlobalMemoryFree(area);
    if (!block) return {};
    const uint32_t blockBytes = MemoPackedSize(block, MEMO_HEADER_BYTES);
    const CodedDib out =
        NewRecodedDib(header, source.headerBytes, COMPRESSION_PRLE, blockBytes, block, blockBytes);
    GlobalMemoryFree(block);
    return out;
}

CodedDib PrleDecode(const uint8_t* header, uint32_t length) {
    DibHeader coded;
    if (!ReadDibHeader(header, length, &coded) || coded.biSize != DIB_HEADER_BYTES ||
        coded.biBitCount != 8 || coded.biCompression != COMPRESSION_PRLE ||
        !SurfaceCanHold(coded)) {
        return {};
    }
    const uint32_t headerBytes = DibHeaderSize(coded);
    if (headerBytes == 0 || uint64_t{headerBytes} + coded.biSizeImage > length) return {};
    // The block may use only the bytes the header gives it.
    const uint8_t* block = header + headerBytes;
    const uint32_t available = coded.biSizeImage;
    uint8_t* area = MemoUnpack(block, available);
    if (!area) return {};
    DibHeader arle = coded;
    arle.biCompression = COMPRESSION_ARLE;
    arle.biSizeImage = MemoRawSize(block, available);
    const CodedDib out = ArleDecodeArea(header, arle, headerBytes, area, arle.biSizeImage);
    GlobalMemoryFree(area);
    return out;
}

}  // namespace gfx
