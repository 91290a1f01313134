#pragma once

#include <cstdint>

#include "graphics/core/dib_header.h"

namespace gfx {

// Bitmaps in the forms that image editors write besides the library's own: info headers of 12
// (the old two-byte-field header with three-byte colour entries), 52, 56, 108 and 124 bytes,
// and top-down rows (a negative height). The library keeps every image as a packed DIB with a
// 40-byte header and bottom-up rows, so such a bitmap is read into a converted copy.
struct ForeignDib {
    // The 40-byte header of the copy: positive height, compression 0 or 3, biSizeImage 0.
    DibHeader header;
    // Offsets count from the start of the block. The bit-field masks, when the copy has them.
    uint32_t masksOffset = 0;
    uint32_t tableOffset = 0;
    // Colour entries the copy takes from the block, and the bytes of each there (3 or 4).
    uint32_t tableEntries = 0;
    uint32_t entryBytes = 4;
    uint32_t pixelOffset = 0;
    bool topDown = false;
    // Bytes of the whole copy (PackedDibSize of `header`).
    uint32_t convertedBytes = 0;
};

// Whether `block` (of `size` bytes, optionally after a "BM" file header) holds a bitmap of one of
// the forms above with plain rows or bit fields, whose colour table and rows lie inside the block;
// fills `out` when it does. A 40-byte header with bottom-up rows is not foreign (nothing to
// convert), nor is an encoded or an unknown form.
bool ReadForeignDib(const uint8_t* block, uint32_t size, ForeignDib* out);

// Writes the converted copy of the bitmap `foreign` describes into `out`
// (`foreign.convertedBytes` bytes): header, masks or colour table, rows bottom-up.
void WriteConvertedDib(const uint8_t* block, const ForeignDib& foreign, uint8_t* out);

}  // namespace gfx
