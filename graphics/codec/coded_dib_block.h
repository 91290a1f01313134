#pragma once

#include <cstdint>

#include "graphics/core/dib_header.h"
#include "graphics/image/dib_codec_table.h"

namespace gfx {

// A codec's result being written in place: one fixed global-memory block that starts with a
// header and its colour table or masks, followed by the body the codec writes.
struct CodedDibBlock {
    CodedDib dib;             // the whole block; null when it could not be made
    uint8_t* body = nullptr;  // where the body starts
};

// A new block of `headerBytes` + `bodyBytes`: `header` stored first, then the `tableBytes` bytes at
// `table` (colour table or masks; the rest of the header area is zeroed). Null when the size does
// not fit in 32 bits or memory is short.
CodedDibBlock NewCodedDibBlock(const DibHeader& header, const uint8_t* table, uint32_t tableBytes,
                               uint32_t headerBytes, uint64_t bodyBytes);

// A new block holding the header and colour table or masks of the image at `header`
// (`headerBytes` in all) with its compression and biSizeImage replaced, followed by the
// `bodyBytes` at `body`: how an encoder stores its result, and a packed decoder its rows.
CodedDib NewRecodedDib(const uint8_t* header, uint32_t headerBytes, uint32_t compression,
                       uint32_t sizeImage, const uint8_t* body, uint32_t bodyBytes);

// Whether a surface could hold the plain image `header` describes: sides of at most
// MAX_SURFACE_SIDE and a padded row of at most MAX_ROW_BYTES. Decoders refuse other images
// before they ask for memory, since a few bytes of codes can describe gigabytes of rows.
bool SurfaceCanHold(const DibHeader& header);

// Frees a block that did not become a result.
void FreeCodedDibBlock(CodedDibBlock* block);

}  // namespace gfx
