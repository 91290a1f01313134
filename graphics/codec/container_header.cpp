#include "graphics/codec/container_header.h"

#include "graphics/core/little_endian.h"

namespace gfx {

bool HasContainerMagic(const uint8_t* bytes, uint32_t size) {
    return bytes && size >= 4 && LoadLE32(bytes) == CONTAINER_MAGIC;
}

Result ReadContainerHeader(const uint8_t* bytes, uint32_t size, ContainerHeader* header) {
    if (!header) return ResultInvalid;
    *header = ContainerHeader{};
    if (!HasContainerMagic(bytes, size)) return ResultFailed;
    if (size < CONTAINER_HEADER_BYTES) return ResultInvalid;

    ContainerHeader read;
    const uint32_t dataOffset = LoadLE32(bytes + CONTAINER_DATA_OFFSET_AT);
    read.width = LoadLE32(bytes + CONTAINER_WIDTH_AT) & 0xFFFF;
    read.height = LoadLE32(bytes + CONTAINER_HEIGHT_AT) & 0xFFFF;
    read.format = LoadLE32(bytes + CONTAINER_FORMAT_AT);
    read.frameCount = static_cast<int32_t>(LoadLE32(bytes + CONTAINER_FRAMES_AT));
    if (!SurfaceSizeSupported(read.width, read.height, read.format)) return ResultInvalid;

    read.paletteOffset = dataOffset;
    read.paletteBytes = IsIndexedFormat(read.format) ? 4u << BitsPerPixel(read.format) : 0;
    // Every sum in 64 bits: a damaged offset or size must not wrap into the block.
    const uint64_t pixelOffset = uint64_t{dataOffset} + read.paletteBytes;
    const uint64_t rowsBytes =
        uint64_t{RowBytes(read.format, read.width)} * static_cast<uint64_t>(read.height);
    if (dataOffset < CONTAINER_HEADER_BYTES || pixelOffset + rowsBytes > size) {
        return ResultInvalid;
    }
    read.pixelOffset = static_cast<uint32_t>(pixelOffset);
    *header = read;
    return ResultOk;
}

}  // namespace gfx
