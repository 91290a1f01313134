#include "graphics/image/palette.h"

#include <cstring>
#include <new>

namespace gfx {

Palette::Palette(const Palette* source) { CopyFrom(source); }

Palette::~Palette() { Palette::Free(); }

int32_t Palette::AddRef() { return ++refCount; }

int32_t Palette::Release() {
    const int32_t count = --refCount;
    if (count <= 0) delete this;
    return count;
}

void Palette::Reset() {
    entries = nullptr;
    entryCount = 0;
    hPalette = nullptr;
}

void Palette::Free() {
    delete[] entries;
    DestroyPaletteHandle(hPalette);
    Reset();
}

Result Palette::Create(uint32_t count) {
    if (entries || entryCount) return ResultNoImage;
    if (count == 0 || count > kMaxPaletteHandleEntries) return ResultInvalid;
    entries = new (std::nothrow) PaletteEntry[count]();
    if (!entries) return ResultInvalid;
    entryCount = count;
    // A refused platform palette is not an error: the colours still serve every surface.
    hPalette = CreatePaletteHandle(entries, count);
    return ResultOk;
}

Result Palette::CopyFrom(const Palette* source) {
    if (!source) return ResultUnsupported;
    if (source->entryCount == 0) return ResultInvalid;
    if (entries || entryCount) return ResultNoImage;
    const Result created = Create(source->entryCount);
    if (created != ResultOk) return created;
    SetEntriesFrom(source, 0, source->entryCount, 0);
    return ResultOk;
}

Palette* Palette::Clone() const { return new (std::nothrow) Palette(this); }

int32_t Palette::Reserved6() { return 0; }

Result Palette::GetEntries(PaletteEntry* destination, uint32_t first, uint32_t count) const {
    if (!destination) return ResultUnsupported;
    if (entryCount == 0 || !RangeInside(first, count)) return ResultInvalid;
    if (count) std::memcpy(destination, entries + first, count * sizeof(PaletteEntry));
    return ResultOk;
}

Result Palette::SetEntriesFrom(const Palette* source, uint32_t first, uint32_t count,
                               uint32_t sourceIndex) {
    if (!source) return ResultUnsupported;
    if (source->entryCount == 0 || !source->RangeInside(sourceIndex, count)) return ResultInvalid;
    return SetEntries(source->entries + sourceIndex, first, count);
}

Result Palette::SetEntries(const PaletteEntry* source, uint32_t first, uint32_t count) {
    if (!source) return ResultUnsupported;
    if (entryCount == 0 || !RangeInside(first, count)) return ResultInvalid;
    // memmove: the source may be this palette's own entries.
    if (count) std::memmove(entries + first, source, count * sizeof(PaletteEntry));
    SetPaletteHandleEntries(hPalette, 0, entryCount, entries);
    ++serial;
    return ResultOk;
}

}  // namespace gfx
