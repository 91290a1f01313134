#pragma once

#include <cstdint>

#include "graphics/image/dib_codec_table.h"

namespace gfx {

// "TRLE": each row stored without its transparent (all-zero) margins. The data area holds the
// plain image's three masks and compression (16 bytes), a row table top row first (4-byte offset
// of the row's kept pixels, 2-byte leading transparent count, 2-byte kept count), then the kept
// pixels of all rows. It follows the colour table of an 8-bit image and the 40-byte header of a
// 16, 24 or 32-bit one; biSizeImage is its length.

// Encodes a plain 8-bit image (biSize 40, compression 0) of which `length` bytes may be read.
// Empty result for any other header, rows that run past `length`, or a width beyond 65535.
CodedDib TrleEncode(const uint8_t* header, uint32_t length);

// Decodes a "TRLE" image of 8, 16, 24 or 32 bits per pixel into plain bottom-up rows with the
// stored plain compression (and its masks). Empty result, never a partial image, when the data
// area runs past `length` or biSizeImage, a row's pixels lie outside the pixel area, or a row's
// leading and kept pixels exceed the width.
CodedDib TrleDecode(const uint8_t* header, uint32_t length);

}  // namespace gfx
