#pragma once

#include <cstdint>

#include "graphics/core/palette_entry.h"

namespace gfx {

// A logical palette of the platform, selected when a surface is copied to the screen.
struct PaletteObject;
using PaletteHandle = PaletteObject*;

// The largest number of entries a logical palette can hold.
inline constexpr uint32_t kMaxPaletteHandleEntries = 65535;

// Makes a logical palette holding a copy of `count` entries (1 to kMaxPaletteHandleEntries).
// Returns null when the count is out of range or the system refuses.
PaletteHandle CreatePaletteHandle(const PaletteEntry* entries, uint32_t count);

// Replaces entries first .. first + count - 1. False when the range does not lie inside the
// palette or the system refuses.
bool SetPaletteHandleEntries(PaletteHandle palette, uint32_t first, uint32_t count,
                             const PaletteEntry* entries);

// Copies entries first .. first + count - 1 out; returns how many were copied (0 when the range
// does not lie inside the palette).
uint32_t GetPaletteHandleEntries(PaletteHandle palette, uint32_t first, uint32_t count,
                                 PaletteEntry* out);

// Number of entries of the palette; 0 for null.
uint32_t GetPaletteHandleSize(PaletteHandle palette);

// Destroys the palette; null is ignored.
void DestroyPaletteHandle(PaletteHandle palette);

}  // namespace gfx
