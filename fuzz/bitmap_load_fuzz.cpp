// The bitmap loader on arbitrary bytes: the input is loaded from a stream as a bitmap, with and
// without decoding, and every byte of the rows a loaded image reports is read, so that an image
// whose rows lie outside what was loaded shows as a read past the block.
#include <cstddef>
#include <cstdint>
#include <initializer_list>

#include "fuzz/surface_input.h"
#include "graphics/core/pixel_format.h"
#include "graphics/image/load_flags.h"
#include "graphics/image/memory_dib_surface.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > UINT32_MAX) return 0;
    for (uint32_t extra : {0u, gfx::LOAD_DECODE}) {
        gfx::Stream* stream = StreamOf(data, size);
        if (!stream) return 0;
        gfx::MemoryDibSurface surface;
        if (surface.Load(stream, gfx::LOAD_FROM_STREAM | extra, nullptr, nullptr, nullptr, 0,
                         nullptr) == gfx::ResultOk) {
            ReadEveryRow(surface);
        }
        surface.Free();
    }
    return 0;
}
