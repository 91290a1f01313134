// The container reader on arbitrary bytes: the input is loaded from a stream as a container,
// with and without LOAD_COPY, and every byte of every row the loaded image reports is read
// through Lock, so that rows reaching past the stream show as a read outside the block.
#include <cstddef>
#include <cstdint>
#include <initializer_list>

#include "fuzz/surface_input.h"
#include "graphics/codec/container_surface.h"
#include "graphics/core/pixel_format.h"
#include "graphics/image/load_flags.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > UINT32_MAX) return 0;
    for (uint32_t extra : {0u, gfx::LOAD_COPY}) {
        gfx::Stream* stream = StreamOf(data, size);
        if (!stream) return 0;
        gfx::ContainerSurface surface;
        if (surface.Load(stream, gfx::LOAD_FROM_STREAM | gfx::LOAD_CONTAINER | extra, nullptr,
                         nullptr, nullptr, 0, nullptr) == gfx::ResultOk) {
            ReadEveryRow(surface);
        }
        // Under LOAD_COPY the stream stayed with the caller.
        if (extra) delete stream;
        surface.Free();
    }
    return 0;
}
