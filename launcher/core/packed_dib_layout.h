#pragma once

#include <cstddef>
#include <cstdint>

#include "graphics/core/palette_entry.h"

// Where the parts of a packed DIB (40-byte header, colour table, rows) lie in its block, so that
// the background picture is turned into a palette and a bitmap only when the block holds them.
struct PackedDibLayout {
    // Palette entries: 2 to the power of the bit count up to 8 bits per pixel, else 0. The
    // header's count of colours used is not looked at.
    uint32_t colours = 0;
    // Start of the rows: the header's own size plus colours × 4.
    size_t bitsOffset = 0;
};

// Describes the packed DIB in `bytes`. False when the block is too short for the header, for
// the colour table (read at offset 40 whatever the header size says) or for the rows, or when
// the header is not a usable bitmap header.
bool DescribePackedDib(const uint8_t* bytes, size_t size, PackedDibLayout& layout);

// Colour-table entry `index` of a block that DescribePackedDib accepted (stored as blue, green,
// red, reserved; read with flags 0).
gfx::PaletteEntry PackedDibColour(const uint8_t* bytes, uint32_t index);
