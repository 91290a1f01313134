#pragma once

#include <cstdint>

#include "graphics/core/dib_header.h"
#include "graphics/core/pixel_format.h"

namespace gfx {

// Where the parts of a packed DIB lie in a block of bytes, after the block has been checked to
// hold everything its header claims. Offsets count from the start of the block.
struct DibLayout {
    DibHeader header;
    // Where the 40-byte header starts: 14 after a "BM" file header, else 0.
    uint32_t headerOffset = 0;
    // Bytes of header plus colour table or masks (DibHeaderSize).
    uint32_t tableBytes = 0;
    // Where the rows (or encoded data) start. In a packed DIB headerOffset + tableBytes; a bitmap
    // file may place them further on (its file header says where).
    uint32_t pixelOffset = 0;
    // Bytes of rows or encoded data (DibImageSize).
    uint32_t imageBytes = 0;
    PixelFormat format = 0;
    bool encoded = false;

    // Whether the rows follow the table directly, so that the header starts a packed DIB.
    bool IsPacked() const { return pixelOffset == headerOffset + tableBytes; }
    // Entries of the colour table that the block really holds (0 for 16 to 32 bits).
    uint32_t TableEntries() const;
};

// Checks that `block` (of `size` bytes) holds a usable image and finds its parts. Refused: a block
// shorter than its header, colour table and rows claim; a header that is not 40 bytes; a negative
// width or height; an unknown bit count; a size beyond 65535 pixels or a padded row beyond
// MAX_ROW_BYTES; bit-field masks that none of the library's formats describe. The header's
// compression decides `encoded`; encoded data is not looked into.
bool ReadDibLayout(const uint8_t* block, uint32_t size, DibLayout* layout);

}  // namespace gfx
