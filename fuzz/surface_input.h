#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <new>

#include "graphics/image/surface.h"
#include "graphics/io/buffer_stream.h"
#include "graphics/platform/global_memory.h"

// What the surface loaders' fuzz targets share: the input as a stream, and a read of what loaded.

// A stream over a fixed block of exactly the input's bytes, which the stream owns.
inline gfx::Stream* StreamOf(const uint8_t* data, size_t size) {
    void* block = gfx::GlobalMemoryAlloc(size ? size : 1, true);
    if (!block) return nullptr;
    if (size) std::memcpy(block, data, size);
    return new (std::nothrow) gfx::BufferStream(block, static_cast<uint32_t>(size), true, true);
}

// Reads every byte of every padded row a surface reports through Lock, so that the sanitizers see
// any row that lies outside the memory the surface holds.
inline void ReadEveryRow(gfx::Surface& surface) {
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
