#pragma once

#include <cstdint>

#include "graphics/image/dib_codec_table.h"

namespace gfx {

// The packed encodings of a whole image. A packed image keeps the plain image's header and
// colour table or masks and stores its pixel rows as one MEMO block: "PKC1" for a plain
// compression of 0 (BI_RGB), "PKC2" for 3 (BI_BITFIELDS), with biSizeImage the block's length.

// Packs the plain packed DIB at `header` (`length` bytes readable; biSize 40, compression 0 or
// 3, any bit depth). Empty result for any other header, rows that run past `length`, or a
// packing failure.
CodedDib PkcEncode(const uint8_t* header, uint32_t length);

// Unpacks a "PKC1" or "PKC2" image into a plain packed DIB (compression 0 or 3, biSizeImage 0).
// Empty result for any other header, a block that runs past `length` or is damaged, or one that
// does not unpack to exactly the rows the header describes.
CodedDib PkcDecode(const uint8_t* header, uint32_t length);

}  // namespace gfx
