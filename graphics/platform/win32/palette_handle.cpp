#include "graphics/platform/palette_handle.h"

#include <windows.h>

#include <cstddef>
#include <cstring>
#include <new>

namespace gfx {

static_assert(sizeof(PALETTEENTRY) == sizeof(PaletteEntry));
static_assert(offsetof(PALETTEENTRY, peRed) == offsetof(PaletteEntry, red));
static_assert(offsetof(PALETTEENTRY, peGreen) == offsetof(PaletteEntry, green));
static_assert(offsetof(PALETTEENTRY, peBlue) == offsetof(PaletteEntry, blue));
static_assert(offsetof(PALETTEENTRY, peFlags) == offsetof(PaletteEntry, flags));

namespace {

HPALETTE ToNative(PaletteHandle palette) { return reinterpret_cast<HPALETTE>(palette); }

}  // namespace

PaletteHandle CreatePaletteHandle(const PaletteEntry* entries, uint32_t count) {
    if (!entries || count == 0 || count > kMaxPaletteHandleEntries) return nullptr;
    // LOGPALETTE ends in a one-entry array; the block holds all entries.
    const size_t bytes = offsetof(LOGPALETTE, palPalEntry) + count * sizeof(PALETTEENTRY);
    auto* block = new (std::nothrow) unsigned char[bytes];
    if (!block) return nullptr;
    auto* logical = reinterpret_cast<LOGPALETTE*>(block);
    logical->palVersion = 0x300;
    logical->palNumEntries = static_cast<WORD>(count);
    std::memcpy(logical->palPalEntry, entries, count * sizeof(PALETTEENTRY));
    HPALETTE palette = CreatePalette(logical);
    delete[] block;
    return reinterpret_cast<PaletteHandle>(palette);
}

bool SetPaletteHandleEntries(PaletteHandle palette, uint32_t first, uint32_t count,
                             const PaletteEntry* entries) {
    if (!palette || !entries || uint64_t{first} + count > GetPaletteHandleSize(palette)) {
        return false;
    }
    if (count == 0) return true;
    return SetPaletteEntries(ToNative(palette), first, count,
                             reinterpret_cast<const PALETTEENTRY*>(entries)) == count;
}

uint32_t GetPaletteHandleEntries(PaletteHandle palette, uint32_t first, uint32_t count,
                                 PaletteEntry* out) {
    if (!palette || !out || count == 0 || uint64_t{first} + count > GetPaletteHandleSize(palette)) {
        return 0;
    }
    return GetPaletteEntries(ToNative(palette), first, count, reinterpret_cast<PALETTEENTRY*>(out));
}

uint32_t GetPaletteHandleSize(PaletteHandle palette) {
    if (!palette) return 0;
    WORD count = 0;
    if (GetObjectA(ToNative(palette), sizeof(count), &count) == 0) return 0;
    return count;
}

void DestroyPaletteHandle(PaletteHandle palette) {
    if (palette) DeleteObject(ToNative(palette));
}

}  // namespace gfx
