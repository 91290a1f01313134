#pragma once

#include <cstdint>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "graphics/image/dib_surface.h"
#include "graphics/image/memory_dib_surface.h"
#include "tests/unit/image/buffer_surface.h"

// The kinds the raster tests draw on: a bottom-up packed DIB, a top-down DIB section, and the
// test buffer surface, whose Lock can be refused.
enum class RasterKind { MemoryDib, DibSection, Buffer };
inline const RasterKind kRasterKinds[] = {RasterKind::MemoryDib, RasterKind::DibSection,
                                          RasterKind::Buffer};

struct SurfaceDeleter {
    void operator()(gfx::Surface* s) const { s->Release(); }
};
using SurfacePtr = std::unique_ptr<gfx::Surface, SurfaceDeleter>;

// Null when the kind cannot hold the format (there are no 2-bit DIB sections).
inline SurfacePtr MakeSurface(RasterKind kind, int32_t w, int32_t h, gfx::PixelFormat format) {
    gfx::Surface* s = kind == RasterKind::MemoryDib    ? new gfx::MemoryDibSurface
                      : kind == RasterKind::DibSection ? static_cast<gfx::Surface*>(new gfx::DibSurface)
                                                       : new BufferSurface;
    if (s->Create(w, h, format, 0, nullptr) == gfx::ResultOk) return SurfacePtr(s);
    s->Release();
    return nullptr;
}

inline std::string Describe(RasterKind kind, gfx::PixelFormat format) {
    return "kind " + std::to_string(int(kind)) + " format " + std::to_string(format);
}

// The memory rows of a surface, RowBytes each, row 0 first: what the raster operations address.
struct RowImage {
    int32_t rowBytes = 0;
    std::vector<uint8_t> bytes;

    uint8_t* Row(int32_t y) { return bytes.data() + size_t(y) * rowBytes; }
    bool operator==(const RowImage&) const = default;
};

// Copies the rows out of (`write` false) or into the surface.
inline void MoveRows(gfx::Surface& s, RowImage& image, bool write) {
    uint8_t* rows = nullptr;
    int32_t pitch = 0;
    if (s.Lock(&rows, &pitch) != gfx::ResultOk) return;
    image.rowBytes = static_cast<int32_t>(gfx::RowBytes(s.GetFormat(), s.GetWidth()));
    image.bytes.resize(size_t(image.rowBytes) * s.GetHeight());
    for (int32_t y = 0; y < s.GetHeight(); ++y) {
        uint8_t* row = rows + size_t(y) * pitch;
        if (write) std::memcpy(row, image.Row(y), image.rowBytes);
        else std::memcpy(image.Row(y), row, image.rowBytes);
    }
    s.Unlock();
}

inline RowImage ReadRows(gfx::Surface& s) {
    RowImage image;
    MoveRows(s, image, false);
    return image;
}

// Every byte random (or `fill`), so that a pixel written where it should not be shows.
inline RowImage PaintRows(gfx::Surface& s, std::mt19937* rng, uint8_t fill = 0) {
    RowImage image = ReadRows(s);
    for (uint8_t& b : image.bytes) b = rng ? static_cast<uint8_t>((*rng)()) : fill;
    MoveRows(s, image, true);
    return image;
}

inline void AttachRegion(gfx::Surface& s, int32_t x, int32_t y, int32_t w, int32_t h) {
    gfx::ClipRegion* region = s.NewRegion();
    region->SetRect(x, y, w, h);
    s.SetRegion(region);
    region->Release();
}
