#include "graphics/image/dib_codec_table.h"

#include "graphics/codec/arle_codec.h"
#include "graphics/codec/pkc_codec.h"
#include "graphics/codec/prle_codec.h"
#include "graphics/codec/trle_codec.h"
#include "graphics/core/dib_header.h"

namespace gfx {

namespace {

// The library's encodings. "PKCC" asks the packed encoder, which stores "PKC1" or "PKC2".
constexpr DibCodec kCodecs[] = {
    // tag, asked of Encode, stored in headers, encoder, decoder
    {COMPRESSION_PKCC, true, false, PkcEncode, nullptr},
    {COMPRESSION_PKC1, false, true, nullptr, PkcDecode},
    {COMPRESSION_PKC2, false, true, nullptr, PkcDecode},
    {COMPRESSION_ARLE, true, true, ArleEncode, ArleDecode},
    {COMPRESSION_PRLE, true, true, PrleEncode, PrleDecode},
    {COMPRESSION_TRLE, true, true, TrleEncode, TrleDecode},
};

}  // namespace

const DibCodec* FindDibCodec(uint32_t tag) {
    for (const DibCodec& codec : kCodecs) {
        if (codec.tag == tag) return &codec;
    }
    return nullptr;
}

}  // namespace gfx
