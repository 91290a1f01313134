#pragma once

#include <cstdint>

#include "graphics/core/pixel_format.h"
#include "graphics/core/result.h"

namespace gfx {

// The zbm container: a 28-byte little-endian header, then at the data offset the palette (indexed
// formats only, 4 x 2^bpp bytes of red, green, blue, flags) and the pixel rows, top line first,
// each RowBytes long, to the end of the file.
inline constexpr uint32_t CONTAINER_MAGIC = 0x5A424D20;  // the bytes " MBZ"
inline constexpr uint32_t CONTAINER_HEADER_BYTES = 28;

// Offsets of the header fields; the field at 20 is not read.
inline constexpr uint32_t CONTAINER_DATA_OFFSET_AT = 4;
inline constexpr uint32_t CONTAINER_WIDTH_AT = 8;
inline constexpr uint32_t CONTAINER_HEIGHT_AT = 12;
inline constexpr uint32_t CONTAINER_FORMAT_AT = 16;
inline constexpr uint32_t CONTAINER_FRAMES_AT = 24;

// What a container header says, with the places it implies inside the file.
struct ContainerHeader {
    // Width and height as a surface keeps them (modulo 65536).
    int32_t width = 0;
    int32_t height = 0;
    PixelFormat format = 0;
    int32_t frameCount = 0;
    uint32_t paletteOffset = 0;  // where the palette starts (indexed formats)
    uint32_t paletteBytes = 0;   // 0 for formats without a palette
    uint32_t pixelOffset = 0;    // where row 0 starts
};

// Whether the block starts with the container magic.
bool HasContainerMagic(const uint8_t* bytes, uint32_t size);

// Reads the header of the `size` bytes at `bytes` and checks that everything it describes lies
// inside them: the data offset after the header, the palette, and height rows of RowBytes from
// the pixel offset on. ResultFailed without the magic; ResultInvalid for a header cut short, a
// format that is not one of the ten, a size no surface can hold, or places outside the block.
Result ReadContainerHeader(const uint8_t* bytes, uint32_t size, ContainerHeader* header);

}  // namespace gfx
