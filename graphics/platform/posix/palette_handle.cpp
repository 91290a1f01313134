#include "graphics/platform/palette_handle.h"

#include <cstring>
#include <new>

namespace gfx {

// The in-memory stand-in for a logical palette: a copy of its entries.
struct PaletteObject {
    uint32_t count = 0;
    PaletteEntry* entries = nullptr;
};

namespace {

bool RangeInside(const PaletteObject* palette, uint32_t first, uint32_t count) {
    return palette && uint64_t{first} + count <= palette->count;
}

}  // namespace

PaletteHandle CreatePaletteHandle(const PaletteEntry* entries, uint32_t count) {
    if (!entries || count == 0 || count > kMaxPaletteHandleEntries) return nullptr;
    auto* palette = new (std::nothrow) PaletteObject;
    if (!palette) return nullptr;
    palette->entries = new (std::nothrow) PaletteEntry[count];
    if (!palette->entries) {
        delete palette;
        return nullptr;
    }
    palette->count = count;
    std::memcpy(palette->entries, entries, count * sizeof(PaletteEntry));
    return palette;
}

bool SetPaletteHandleEntries(PaletteHandle palette, uint32_t first, uint32_t count,
                             const PaletteEntry* entries) {
    if (!entries || !RangeInside(palette, first, count)) return false;
    if (count) std::memcpy(palette->entries + first, entries, count * sizeof(PaletteEntry));
    return true;
}

uint32_t GetPaletteHandleEntries(PaletteHandle palette, uint32_t first, uint32_t count,
                                 PaletteEntry* out) {
    if (!out || !RangeInside(palette, first, count)) return 0;
    if (count) std::memcpy(out, palette->entries + first, count * sizeof(PaletteEntry));
    return count;
}

uint32_t GetPaletteHandleSize(PaletteHandle palette) { return palette ? palette->count : 0; }

void DestroyPaletteHandle(PaletteHandle palette) {
    if (!palette) return;
    delete[] palette->entries;
    delete palette;
}

}  // namespace gfx
