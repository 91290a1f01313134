#pragma once

#include <cstdint>

#include "graphics/image/dib_codec_table.h"

namespace gfx {

// "PRLE": an "ARLE" image whose whole data area is packed into one MEMO block; header and colour
// table stay plain, biSizeImage is the block's length.

// Encodes a plain 8-bit image as ArleEncode accepts it. Empty result for any other header or when
// packing fails.
CodedDib PrleEncode(const uint8_t* header, uint32_t length);

// Decodes a "PRLE" image into plain bottom-up rows. Empty result when the MEMO block runs past
// `length` or biSizeImage or is damaged, or its ARLE data is (as for ArleDecode).
CodedDib PrleDecode(const uint8_t* header, uint32_t length);

}  // namespace gfx
