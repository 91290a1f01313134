#include "graphics/platform/dib_section.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "graphics/core/dib_header.h"
#include "graphics/platform/dib_section_format.h"
#include "graphics/platform/posix/drawing_objects.h"

namespace gfx {

namespace {

// The indexed DIB section selected in `dc`, or null.
BitmapObject* IndexedSection(DeviceContextHandle dc) {
    if (!dc || !dc->bitmap || dc->bitmap->stock || dc->bitmap->tableEntries == 0) return nullptr;
    return dc->bitmap;
}

// How many of `count` entries from `first` lie inside a table of `entries`.
uint32_t EntriesInside(uint32_t entries, uint32_t first, uint32_t count) {
    if (first >= entries) return 0;
    return count < entries - first ? count : entries - first;
}

}  // namespace

BitmapHandle CreateDibSection(DeviceContextHandle, const void* header, size_t headerLength,
                              void** bits) {
    if (bits) *bits = nullptr;
    DibSectionFormat format;
    if (!bits || !ReadDibSectionFormat(header, headerLength, &format)) return nullptr;

    auto* bitmap = new (std::nothrow) BitmapObject;
    if (!bitmap) return nullptr;
    // Zeroed like the platform's own DIB sections.
    void* pixels = std::calloc(static_cast<size_t>(format.imageBytes), 1);
    if (!pixels) {
        delete bitmap;
        return nullptr;
    }
    bitmap->info.width = format.width;
    bitmap->info.height = format.height;
    bitmap->info.bitCount = format.bitCount;
    bitmap->info.pitch = format.pitch;
    bitmap->info.bits = pixels;
    bitmap->tableEntries = format.tableEntries;
    if (format.tableEntries) {
        ReadDibColours(static_cast<const uint8_t*>(header) + DIB_HEADER_BYTES,
                       format.tableBytes / DIB_COLOUR_BYTES, bitmap->table);
    }
    *bits = pixels;
    return bitmap;
}

bool DestroyBitmap(BitmapHandle bitmap) {
    if (!bitmap || bitmap->stock || bitmap->selectedIn) return false;
    std::free(bitmap->info.bits);
    delete bitmap;
    return true;
}

bool DescribeDibSection(BitmapHandle bitmap, DibSectionInfo* out) {
    if (!bitmap || bitmap->stock || !out) return false;
    *out = bitmap->info;
    return true;
}

uint32_t SetDibColorTable(DeviceContextHandle dc, uint32_t first, uint32_t count,
                          const PaletteEntry* colors) {
    BitmapObject* section = IndexedSection(dc);
    if (!section || !colors) return 0;
    const uint32_t n = EntriesInside(section->tableEntries, first, count);
    for (uint32_t i = 0; i < n; ++i) {
        section->table[first + i] = PaletteEntry{colors[i].red, colors[i].green, colors[i].blue, 0};
    }
    return n;
}

uint32_t GetDibColorTable(DeviceContextHandle dc, uint32_t first, uint32_t count,
                          PaletteEntry* out) {
    BitmapObject* section = IndexedSection(dc);
    if (!section || !out) return 0;
    const uint32_t n = EntriesInside(section->tableEntries, first, count);
    if (n) std::memcpy(out, section->table + first, n * sizeof(PaletteEntry));
    return n;
}

}  // namespace gfx
