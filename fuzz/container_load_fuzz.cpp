// The container reader on arbitrary bytes: the input is loaded from a stream as a container,
// with and without LOAD_COPY, and every byte of every row the loaded image reports is read
// through Lock, so that rows reaching past the stream show as a read outside the block.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <new>

#include "graphics/codec/container_surface.h"
#include "graphics/core/pixel_format.h"
#include "graphics/image/load_flags.h"
#include "graphics/io/buffer_stream.h"
#include "graphics/platform/global_memory.h"

namespace {

// A stream over a fixed block of exactly the input's bytes, which the stream owns.
gfx::Stream* StreamOf(const uint8_t* data, size_t size) {
    void* block = gfx::GlobalMemoryAlloc(size ? size : 1, true);
    if (!block) return nullptr;
    if (size) std::memcpy(block, data, size);
    return new (std::nothrow) gfx::BufferStream(block, static_cast<uint32_t>(size), true, true);
}

void ReadEveryRow(gfx::ContainerSurface& surface) {
    uint8_t* rows = nullptr;
    int32_t pitch = 0;
    if (surface.Lock(&rows, &pitch) != gfx::ResultOk) return;
    const size_t rowBytes = gfx::RowBytes(surface.GetFormat(), surface.GetWidth());
    volatile uint8_t sum = 0;
    for (int32_t y = 0; y < surface.GetHeight(); ++y) {
        const uint8_t* row = rows + ptrdiff_t(y) * pitch;
        for (size_t x = 0; x < rowBytes; ++x) sum = sum + row[x];
    }
    surface.Unlock();
}

}  // namespace

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
