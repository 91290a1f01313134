#include "graphics/raster/fill_rows.h"

#include <cstddef>
#include <cstring>

#include "graphics/core/little_endian.h"
#include "graphics/raster/raster_registry.h"

namespace gfx {

namespace {

uint8_t* RowAt(uint8_t* base, int32_t pitch, int32_t y) {
    return base + static_cast<ptrdiff_t>(y) * pitch;
}

bool IsEmpty(const FillArea& area) { return area.width <= 0 || area.height <= 0; }

// Where one row of a packed run lies: a merged first byte, whole middle bytes, and a merged last
// byte when its mask is not 0. The same for every row.
struct PackedRun {
    int32_t firstByte;
    uint8_t firstMask;
    int32_t middleBytes;
    uint8_t lastMask;
    uint8_t pattern;
};

PackedRun MakePackedRun(uint32_t bitsPerPixel, int32_t x, int32_t width, uint32_t value) {
    const int32_t perByte = 8 / static_cast<int32_t>(bitsPerPixel);
    uint32_t pattern = 0;
    for (int32_t k = 0; k < perByte; ++k) pattern = (pattern << bitsPerPixel) | value;

    const int32_t first = perByte - x % perByte;
    const uint32_t firstBits = bitsPerPixel * static_cast<uint32_t>(first);
    const uint8_t firstMask = static_cast<uint8_t>((1u << firstBits) - 1);
    const uint32_t lastBits = bitsPerPixel * static_cast<uint32_t>((x + width) % perByte);
    const uint8_t lastMask = static_cast<uint8_t>(0xFFu << (8 - lastBits));

    PackedRun run{x / perByte, firstMask, 0, 0, static_cast<uint8_t>(pattern)};
    if (first < width) {
        run.middleBytes = (width - first) / perByte;
        run.lastMask = lastBits ? lastMask : 0;
    } else {
        // The whole run lies in one byte. A run that ends on the byte's boundary keeps the rest
        // of the byte from its first pixel on.
        run.firstMask = lastBits ? static_cast<uint8_t>(firstMask & lastMask) : firstMask;
    }
    return run;
}

void Merge(uint8_t* byte, uint8_t mask, uint8_t pattern) {
    *byte = static_cast<uint8_t>((*byte & ~mask) | (pattern & mask));
}

}  // namespace

void FillRowsPacked(uint8_t* base, int32_t pitch, uint32_t bitsPerPixel, const FillArea& area,
                    uint32_t value) {
    if (IsEmpty(area)) return;
    const PackedRun run = MakePackedRun(bitsPerPixel, area.x, area.width, value);
    for (int32_t i = 0; i < area.height; ++i) {
        uint8_t* p = RowAt(base, pitch, area.y + i) + run.firstByte;
        Merge(p++, run.firstMask, run.pattern);
        std::memset(p, run.pattern, static_cast<size_t>(run.middleBytes));
        p += run.middleBytes;
        if (run.lastMask) Merge(p, run.lastMask, run.pattern);
    }
}

void FillRows8(uint8_t* base, int32_t pitch, const FillArea& area, uint32_t value) {
    if (IsEmpty(area)) return;
    for (int32_t i = 0; i < area.height; ++i) {
        std::memset(RowAt(base, pitch, area.y + i) + area.x, static_cast<uint8_t>(value),
                    static_cast<size_t>(area.width));
    }
}

void FillRows16(uint8_t* base, int32_t pitch, const FillArea& area, uint32_t value) {
    if (IsEmpty(area)) return;
    // Pixel pairs as 32-bit words from the first pixel at a 4-byte offset in the row.
    const uint32_t pair = (value & 0xFFFFu) * 0x10001u;
    for (int32_t i = 0; i < area.height; ++i) {
        uint8_t* p = RowAt(base, pitch, area.y + i) + static_cast<ptrdiff_t>(area.x) * 2;
        int32_t left = area.width;
        if (area.x & 1) {
            StoreLE16(p, value);
            p += 2;
            --left;
        }
        for (; left >= 2; left -= 2, p += 4) StoreLE32(p, pair);
        if (left) StoreLE16(p, value);
    }
}

void FillRows24(uint8_t* base, int32_t pitch, const FillArea& area, uint32_t value) {
    if (IsEmpty(area)) return;
    for (int32_t i = 0; i < area.height; ++i) {
        uint8_t* p = RowAt(base, pitch, area.y + i) + static_cast<ptrdiff_t>(area.x) * 3;
        for (int32_t j = 0; j < area.width; ++j, p += 3) StoreLE24(p, value);
    }
}

void FillRows32(uint8_t* base, int32_t pitch, const FillArea& area, uint32_t value) {
    if (IsEmpty(area)) return;
    for (int32_t i = 0; i < area.height; ++i) {
        uint8_t* p = RowAt(base, pitch, area.y + i) + static_cast<ptrdiff_t>(area.x) * 4;
        for (int32_t j = 0; j < area.width; ++j, p += 4) StoreLE32(p, value);
    }
}

void FillRows(uint8_t* base, int32_t pitch, uint32_t bitsPerPixel, const FillArea& area,
              uint32_t value) {
    switch (bitsPerPixel) {
        case 1:
        case 2:
        case 4: FillRowsPacked(base, pitch, bitsPerPixel, area, value); break;
        case 8: ServedRasterBody<RasterRoutine::FillRows8>()(base, pitch, area, value); break;
        case 16: ServedRasterBody<RasterRoutine::FillRows16>()(base, pitch, area, value); break;
        case 24: ServedRasterBody<RasterRoutine::FillRows24>()(base, pitch, area, value); break;
        case 32: ServedRasterBody<RasterRoutine::FillRows32>()(base, pitch, area, value); break;
        default: break;
    }
}

}  // namespace gfx
