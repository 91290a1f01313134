#pragma once

#include <cstdint>

#include "graphics/core/dib_header.h"
#include "graphics/image/dib_codec_table.h"

namespace gfx {

// "ARLE": a byte-oriented run-length code for 8-bit images. The data area (after the colour
// table; biSizeImage bytes) holds a row table, top row first, of 4-byte offsets to each row's
// codes, then the codes. A code's first byte selects it by its top two bits and carries a 6-bit
// count, or the high part of a 14-bit one whose low byte follows:
//   00nnnnnn  literal: n pixel bytes follow           01nnnnnn  short fill: one byte, n times
//   10hhhhhh  long literal: n >= 64 bytes follow      11hhhhhh  long fill: one byte, n times
// A row's codes produce exactly biWidth pixels.

// Encodes a plain 8-bit image (biSize 40, compression 0) of which `length` bytes may be read.
// Empty result for any other header, rows that run past `length`, or a width beyond 16383 (the
// longest count a code holds).
CodedDib ArleEncode(const uint8_t* header, uint32_t length);

// Decodes an "ARLE" image into plain bottom-up rows. Empty result, never a partial image, when
// the data area runs past `length`, a row's offset leaves the code area, or a row's codes run
// past the data or produce other than biWidth pixels.
CodedDib ArleDecode(const uint8_t* header, uint32_t length);

// The steps of the two, for the packed form "PRLE" that stores the same data area zlib-packed.

// A plain image the encoder accepts: its header, bytes of header and colour table, and rows.
struct ArleSource {
    DibHeader header;
    uint32_t headerBytes = 0;
    const uint8_t* rows = nullptr;
};

// Whether the packed DIB at `header` (`length` bytes) is a plain image the encoder accepts.
bool ReadArleSource(const uint8_t* header, uint32_t length, ArleSource* out);

// The data area of the source's encoding in a new fixed global-memory block (owned by the
// caller, who frees it with GlobalMemoryFree), its length in `areaBytes`; null when memory is
// short.
uint8_t* ArleEncodeArea(const ArleSource& source, uint32_t* areaBytes);

// The plain image of the ARLE data area at `area` (`areaBytes`), for the 8-bit header `coded`
// whose stored form (header and colour table, `headerBytes`) is at `header`.
CodedDib ArleDecodeArea(const uint8_t* header, const DibHeader& coded, uint32_t headerBytes,
                        const uint8_t* area, uint32_t areaBytes);

}  // namespace gfx
