// The "ARLE" reader on arbitrary bytes: the input is decoded as a packed DIB, and an image it
// accepts must encode and decode back to the same rows.
#include <cstddef>
#include <cstdint>

#include "fuzz/decoded_round_trip.h"
#include "graphics/codec/arle_codec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CheckDecodedRoundTrip(gfx::ArleDecode, gfx::ArleEncode, data, size);
    return 0;
}
