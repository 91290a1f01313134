// The bitmap loader on arbitrary bytes: the input is loaded from a stream as a bitmap, with and
// without decoding, and every byte of the rows a loaded image reports is read, so that an image
// whose rows lie outside what was loaded shows as a read past the block.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <new>

#include "graphics/core/pixel_format.h"
#include "graphics/image/load_flags.h"
#include "graphics/image/memory_dib_surface.h"
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

void ReadEveryRow(gfx::MemoryDibSurface& surface) {
    uint8_t* rows = nullptr;
    int32_t pitch = 0;
    if (surface.Lock(&rows, &pitch) != gfx::ResultOk) return;
    const size_t rowBytes =
        (size_t(surface.GetWidth()) * gfx::BitsPerPixel(surface.GetFormat()) + 7) / 8;
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
