#include "tools/gfx/library_files.h"

#include <cstring>
#include <vector>

#include "graphics/core/dib_header.h"
#include "graphics/core/little_endian.h"
#include "graphics/codec/container_header.h"
#include "graphics/image/memory_dib_surface.h"
#include "graphics/image/palette.h"
#include "tools/gfx/atomic_write.h"
#include "tools/gfx/tool_messages.h"

namespace gfx_tool {

using namespace gfx;

// Interim writers of the two library formats, for MemoryDibSurface only.

Result SaveBitmap(Surface& surface, const char* path) {
    if (surface.GetKind() != 1) return ResultUnsupported;
    auto& dib = static_cast<MemoryDibSurface&>(surface);
    const uint8_t* header = dib.GetDibHeader();
    if (!header) return ResultNoImage;
    DibHeader info;
    const uint32_t length = dib.GetDibLength();
    ReadDibHeader(header, length, &info);
    std::vector<uint8_t> bytes(DIB_FILE_HEADER_BYTES + length);
    bytes[0] = 'B';
    bytes[1] = 'M';
    StoreLE32(bytes.data() + 2, uint32_t(bytes.size()));
    StoreLE32(bytes.data() + 10, DIB_FILE_HEADER_BYTES + DibHeaderSize(info));
    std::memcpy(bytes.data() + DIB_FILE_HEADER_BYTES, header, length);
    return WriteFileReplacing(path, bytes) ? ResultOk : ResultInvalid;
}

Result SaveContainer(Surface& surface, const char* path) {
    uint8_t* rows = nullptr;
    int32_t pitch = 0;
    Result status = surface.Lock(&rows, &pitch);
    if (status != ResultOk) return status;
    const PixelFormat format = surface.GetFormat();
    const uint32_t paletteBytes = IsIndexedFormat(format) ? 4u << BitsPerPixel(format) : 0;
    const uint32_t rowBytes = RowBytes(format, surface.GetWidth());
    std::vector<uint8_t> bytes(CONTAINER_HEADER_BYTES + paletteBytes +
                               size_t(rowBytes) * surface.GetHeight());
    StoreLE32(bytes.data(), CONTAINER_MAGIC);
    StoreLE32(bytes.data() + CONTAINER_DATA_OFFSET_AT, CONTAINER_HEADER_BYTES);
    StoreLE32(bytes.data() + CONTAINER_WIDTH_AT, uint32_t(surface.GetWidth()));
    StoreLE32(bytes.data() + CONTAINER_HEIGHT_AT, uint32_t(surface.GetHeight()));
    StoreLE32(bytes.data() + CONTAINER_FORMAT_AT, format);
    StoreLE32(bytes.data() + CONTAINER_FRAMES_AT, uint32_t(surface.GetFrameCount()));
    if (paletteBytes && surface.GetPalette() && surface.GetPalette()->GetEntryData()) {
        std::memcpy(bytes.data() + CONTAINER_HEADER_BYTES, surface.GetPalette()->GetEntryData(),
                    std::min<uint32_t>(paletteBytes, 4 * surface.GetPalette()->GetEntryCount()));
    }
    uint8_t* out = bytes.data() + CONTAINER_HEADER_BYTES + paletteBytes;
    for (int32_t y = 0; y < surface.GetHeight(); ++y) {
        const int32_t row = (surface.IsBottomUp() & 1) ? surface.GetHeight() - 1 - y : y;
        std::memcpy(out + size_t(y) * rowBytes, rows + ptrdiff_t(row) * pitch, rowBytes);
    }
    surface.Unlock();
    return WriteFileReplacing(path, bytes) ? ResultOk : ResultInvalid;
}

const char* StatusName(Result status) {
    switch (status) {
        case ResultOk: return "ResultOk";
        case ResultUnsupported: return "ResultUnsupported";
        case ResultInvalid: return "ResultInvalid";
        case ResultNoImage: return "ResultNoImage";
        case ResultLocked: return "ResultLocked";
        case ResultUnknownEncoding: return "ResultUnknownEncoding";
        case ResultNotEncoded: return "ResultNotEncoded";
        case ResultAlreadyEncoded: return "ResultAlreadyEncoded";
        case ResultDCOut: return "ResultDCOut";
        case ResultPaletteMismatch: return "ResultPaletteMismatch";
        case ResultEmptyPalette: return "ResultEmptyPalette";
        case ResultEncoded: return "ResultEncoded";
        case ResultFailed: return "ResultFailed";
        case ResultNoMemory: return "ResultNoMemory";
        case ResultNoSource: return "ResultNoSource";
    }
    return "Result?";
}

}  // namespace gfx_tool
