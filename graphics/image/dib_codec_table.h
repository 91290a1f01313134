#pragma once

#include <cstdint>

namespace gfx {

// A packed DIB made by a codec, in one fixed global-memory block that passes to the caller
// (who wraps it in an owned BufferStream). A null block means the codec could not produce one.
struct CodedDib {
    void* block = nullptr;
    uint32_t size = 0;
};

// A codec reads the packed DIB whose header is at `header`, of which `length` bytes may be read,
// and returns a new packed DIB: an encoder's result carries its tag in biCompression, a decoder's
// plain rows. A codec must not read outside those `length` bytes.
using DibCodecFunction = CodedDib (*)(const uint8_t* header, uint32_t length);

// One row of the codec table: a tag that Encode may be asked for and/or that an encoded header
// may carry, with the functions that serve it. A function that is still null belongs to a codec
// that is not built in: Encode and Decode then answer ResultUnsupported.
struct DibCodec {
    uint32_t tag;
    bool encodes;  // the tag may be asked of Encode
    bool decodes;  // the tag is stored in headers
    DibCodecFunction encode;
    DibCodecFunction decode;
};

// The row for `tag`, or null when the library does not know the tag. The table itself is the
// codec layer's (graphics/codec/dib_codecs.cpp): each codec fills in its row there, so that the
// image layer reaches the codecs without including them.
const DibCodec* FindDibCodec(uint32_t tag);

}  // namespace gfx
