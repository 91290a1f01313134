#pragma once

#include <cstddef>
#include <cstdint>

#include "graphics/core/palette_entry.h"
#include "graphics/platform/device_context_handle.h"

namespace gfx {

// What a DIB section is: its size, depth, row pitch and pixel memory. The row order is not
// told: the platform does not report it.
struct DibSectionInfo {
    int32_t width = 0;
    int32_t height = 0;  // positive
    uint32_t bitCount = 0;
    uint32_t pitch = 0;
    void* bits = nullptr;
};

// Makes a DIB section from a bitmap information header followed by its colour table or masks
// (`headerLength` bytes readable at `header`; colours are taken as RGB values, never as palette
// indices). A negative biHeight asks for top-down rows. Supported depths are 1, 4, 8, 16, 24
// and 32 bits, uncompressed (16 and 32 bits may give masks); a width or height of 0 is
// refused. On success `*bits` receives the zeroed pixel memory, which lives as long as the
// bitmap. `dc` may be null. Null, and `*bits` null, when the header is refused or memory short.
BitmapHandle CreateDibSection(DeviceContextHandle dc, const void* header, size_t headerLength,
                              void** bits);

// Destroys a bitmap made by CreateDibSection. Deselect it first: a bitmap still selected in a
// context is not destroyed (here or later, as the system decides). False for null or when
// refused.
bool DestroyBitmap(BitmapHandle bitmap);

// Reads the description of a DIB section. False for null or another kind of bitmap.
bool DescribeDibSection(BitmapHandle bitmap, DibSectionInfo* out);

// Writes entries first .. first + count - 1 of the colour table of the indexed DIB section
// selected in `dc` (their flags are not kept); a range reaching past the table is cut at its end.
// Returns the number of entries written: 0 without such a section.
uint32_t SetDibColorTable(DeviceContextHandle dc, uint32_t first, uint32_t count,
                          const PaletteEntry* colors);

// Reads entries of the colour table of the DIB section selected in `dc`, cut as above, with flags
// 0. Returns the number of entries read.
uint32_t GetDibColorTable(DeviceContextHandle dc, uint32_t first, uint32_t count,
                          PaletteEntry* out);

}  // namespace gfx
