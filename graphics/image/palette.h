#pragma once

#include <cstdint>

#include "graphics/core/palette_entry.h"
#include "graphics/core/result.h"
#include "graphics/platform/palette_handle.h"

namespace gfx {

// The colour table of indexed surfaces, shared by reference counting and mirrored in a platform
// logical palette. `serial` counts changes so that each surface can tell when its own copy of
// the colours is out of date.
class Palette {
  public:
    // An empty palette (no entries) with one reference held by its creator.
    Palette() = default;
    // An empty palette that then copies `source` (a failed copy leaves it empty).
    explicit Palette(const Palette* source);
    Palette(const Palette&) = delete;
    Palette& operator=(const Palette&) = delete;

    // Reference counting: the last Release destroys the palette. Both return the new count.
    int32_t AddRef();
    int32_t Release();

    // Virtual operations, in slot order.
    // Forgets the entries and the platform palette without freeing them; keeps the reference
    // count and serial.
    virtual void Reset();
    // Frees the entries and the platform palette, then Reset.
    virtual void Free();
    virtual ~Palette();
    // Makes `count` zeroed entries (1 to 65535) and the platform palette. ResultNoImage when
    // entries exist already, ResultInvalid for a bad count or when memory is short.
    virtual Result Create(uint32_t count);
    // Creates this palette with the size and colours of `source`. ResultUnsupported for null,
    // ResultInvalid for a source without entries, ResultNoImage when this one has entries.
    virtual Result CopyFrom(const Palette* source);
    // A new palette holding a copy of this one's colours, or null when memory is short.
    virtual Palette* Clone() const;
    virtual int32_t Reserved6();
    // Copies entries first .. first + count - 1 to `destination`. ResultUnsupported for null,
    // ResultInvalid when there are no entries or the range leaves the palette.
    virtual Result GetEntries(PaletteEntry* destination, uint32_t first, uint32_t count) const;
    // SetEntries from the entries of `source` starting at `sourceIndex`; the range must lie
    // inside both palettes.
    virtual Result SetEntriesFrom(const Palette* source, uint32_t first, uint32_t count,
                                  uint32_t sourceIndex);
    // Replaces entries first .. first + count - 1, updates the platform palette and counts the
    // change in `serial`.
    virtual Result SetEntries(const PaletteEntry* source, uint32_t first, uint32_t count);

    uint32_t GetEntryCount() const { return entryCount; }
    const PaletteEntry* GetEntryData() const { return entries; }
    int32_t GetSerial() const { return serial; }
    int32_t GetRefCount() const { return refCount; }
    PaletteHandle GetHandle() const { return hPalette; }

  protected:
    bool RangeInside(uint32_t first, uint32_t count) const {
        return uint64_t{first} + count <= entryCount;
    }

    PaletteEntry* entries = nullptr;
    uint32_t entryCount = 0;
    int32_t refCount = 1;
    int32_t serial = 0;
    PaletteHandle hPalette = nullptr;
};

}  // namespace gfx
