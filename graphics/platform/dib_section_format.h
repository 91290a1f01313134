#pragma once

#include <cstddef>
#include <cstdint>

namespace gfx {

// The shape of a DIB section asked for by a bitmap information header, as both backends check
// it before they make one, so that they accept and refuse the same headers.
struct DibSectionFormat {
    int32_t width = 0;
    int32_t height = 0;  // positive
    bool topDown = false;
    uint32_t bitCount = 0;
    uint32_t compression = 0;
    uint32_t pitch = 0;
    // Entries of the colour table that follows the header (2^bitCount for indexed depths).
    uint32_t tableEntries = 0;
    // Bytes after the 40-byte header that the colour table or masks occupy.
    uint32_t tableBytes = 0;
    uint64_t imageBytes = 0;
};

// Reads and checks a header followed by its table: biSize 40, width and height not 0, one
// plane, 1, 4, 8, 24 bits uncompressed or 16, 32 bits uncompressed or with masks, the table
// inside `length`, and an image of at most 1 GiB. False for anything else.
bool ReadDibSectionFormat(const void* header, size_t length, DibSectionFormat* out);

}  // namespace gfx
