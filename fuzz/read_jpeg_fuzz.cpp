// The JPEG decoder module's decode core on arbitrary bytes, from memory as the module decodes a
// file: whatever it accepts must be a packed DIB that fills exactly its block, with a grey table
// or 24-bit rows, and every row byte is read so that a short block shows as a read past it.
#include <cstddef>
#include <cstdint>

#include "graphics/core/dib_layout.h"
#include "graphics/platform/global_memory.h"
#include "zd_jpeg/libjpeg_decoder.h"

namespace {
// Bounds the picture and the decoder's buffers, so that a tiny input that declares a huge picture
// is refused instead of running the fuzzer out of memory.
constexpr size_t kMemoryLimit = 64u << 20;
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    void* dib = zd_jpeg::DecodeJpegBytes(data, size, kMemoryLimit);
    if (!dib) return 0;
    const size_t allocated = gfx::GlobalMemorySize(dib);
    gfx::DibLayout layout;
    if (allocated > UINT32_MAX ||
        !gfx::ReadDibLayout(static_cast<const uint8_t*>(dib), uint32_t(allocated), &layout) ||
        layout.pixelOffset + layout.imageBytes != allocated ||
        (layout.format != gfx::FMT_INDEX8 && layout.format != gfx::FMT_RGB24)) {
        __builtin_trap();
    }
    volatile uint8_t sum = 0;
    const auto* bytes = static_cast<const uint8_t*>(dib);
    for (size_t i = 0; i < allocated; ++i) sum = sum + bytes[i];
    gfx::GlobalMemoryFree(dib);
    return 0;
}
