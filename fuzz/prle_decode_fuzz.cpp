// The "PRLE" reader on arbitrary bytes: the input is decoded as a packed DIB, and an image it
// accepts must encode and decode back to the same rows.
#include <cstddef>
#include <cstdint>

#include "fuzz/decoded_round_trip.h"
#include "graphics/codec/prle_codec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CheckDecodedRoundTrip(gfx::PrleDecode, gfx::PrleEncode, data, size);
    return 0;
}
