#pragma once

#include <cstddef>
#include <cstdint>

#include "graphics/core/palette_entry.h"
#include "graphics/core/pixel_format.h"

namespace gfx {

// The 40-byte bitmap information header at the start of a packed DIB. In memory it is stored
// little-endian and may sit at any alignment; use ReadDibHeader/WriteDibHeader to move it.
struct DibHeader {
    uint32_t biSize;
    int32_t biWidth;
    int32_t biHeight;
    uint16_t biPlanes;
    uint16_t biBitCount;
    uint32_t biCompression;
    uint32_t biSizeImage;
    int32_t biXPelsPerMeter;
    int32_t biYPelsPerMeter;
    uint32_t biClrUsed;
    uint32_t biClrImportant;
};
static_assert(sizeof(DibHeader) == 40);

inline constexpr uint32_t DIB_HEADER_BYTES = 40;
// Bytes of the optional file header that starts with "BM".
inline constexpr uint32_t DIB_FILE_HEADER_BYTES = 14;
// Room for the largest header BuildDibHeader writes, plus three masks: every caller allocates it.
inline constexpr uint32_t DIB_HEADER_BUFFER_BYTES = 1076;

// A four-character tag as stored in biCompression: the first letter is the low byte.
constexpr uint32_t MakeTag(char a, char b, char c, char d) {
    return uint32_t(uint8_t(a)) | uint32_t(uint8_t(b)) << 8 | uint32_t(uint8_t(c)) << 16 |
           uint32_t(uint8_t(d)) << 24;
}

inline constexpr uint32_t COMPRESSION_NONE = 0;
inline constexpr uint32_t COMPRESSION_BITFIELDS = 3;
inline constexpr uint32_t COMPRESSION_TRLE = MakeTag('T', 'R', 'L', 'E');
inline constexpr uint32_t COMPRESSION_PRLE = MakeTag('P', 'R', 'L', 'E');
inline constexpr uint32_t COMPRESSION_ARLE = MakeTag('A', 'R', 'L', 'E');
inline constexpr uint32_t COMPRESSION_PKC1 = MakeTag('P', 'K', 'C', '1');
inline constexpr uint32_t COMPRESSION_PKC2 = MakeTag('P', 'K', 'C', '2');
// Only a request to the encoder; never stored in a header.
inline constexpr uint32_t COMPRESSION_PKCC = MakeTag('P', 'K', 'C', 'C');

// Any compression other than plain rows or bit fields marks encoded data of biSizeImage bytes.
constexpr bool IsEncodedCompression(uint32_t compression) {
    return compression != COMPRESSION_NONE && compression != COMPRESSION_BITFIELDS;
}

// Reads the 40 header bytes at `data`; false when fewer than 40 bytes are given.
bool ReadDibHeader(const void* data, size_t length, DibHeader* out);

// Writes the header as its 40 stored bytes.
void WriteDibHeader(const DibHeader& header, void* out);

// The size helpers below return 0 for a header they cannot size: an unknown bit count, a
// negative width or height (top-down rows are not supported), or a size beyond 32 bits.

// Bytes of the header with its colour table or masks.
uint32_t DibHeaderSize(const DibHeader& header);

// Bytes of the pixel rows, or of the encoded data for an encoded header.
uint32_t DibImageSize(const DibHeader& header);

// Bytes of the whole packed DIB; 0 also when biSize is not 40.
uint32_t PackedDibSize(const DibHeader& header);

// As above for a header stored at `header`, of which `length` bytes may be read; 0 when the
// header is missing or shorter than 40 bytes.
uint32_t PackedDibSize(const void* header, size_t length);

// The pixel format a stored header describes, or 0. The 16-bit bit-field and encoded forms read
// the green mask that follows the header, so `length` must cover it; for an encoded image it
// must also lie within the image's own data (biSizeImage).
PixelFormat FormatFromHeader(const void* header, size_t length);

// A colour table entry is stored in 4 bytes: blue, green, red and an unused byte.
inline constexpr uint32_t DIB_COLOUR_BYTES = 4;

// Reads `count` stored entries from `table` (flags 0).
void ReadDibColours(const uint8_t* table, uint32_t count, PaletteEntry* out);

// Stores `count` entries into `table` (the unused byte 0).
void WriteDibColours(const PaletteEntry* entries, uint32_t count, uint8_t* table);

// Writes the header and zeroed colour table or the masks for a new image of this format into
// `out` (`outLength` bytes available; DIB_HEADER_BUFFER_BYTES always suffice). Width and height
// are stored modulo 65536. Returns the bytes written, or 0 for an unknown format or a buffer
// that is too small.
uint32_t BuildDibHeader(int32_t width, int32_t height, PixelFormat format, void* out,
                        size_t outLength);

}  // namespace gfx
