// The packed-image reader on arbitrary bytes: the input is decoded as a packed DIB and, from its
// first byte, unpacked as a MEMO block.
#include <cstddef>
#include <cstdint>

#include "graphics/codec/memo_block.h"
#include "graphics/codec/pkc_codec.h"
#include "graphics/platform/global_memory.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > UINT32_MAX) return 0;
    gfx::GlobalMemoryFree(gfx::PkcDecode(data, static_cast<uint32_t>(size)).block);
    gfx::GlobalMemoryFree(gfx::MemoUnpack(data, size));
    return 0;
}
