#pragma once

#include <cstdint>

namespace gfx {

// One colour of a Palette, laid out as the platform's logical palette entry (4 bytes).
struct PaletteEntry {
    uint8_t red;
    uint8_t green;
    uint8_t blue;
    uint8_t flags;
};
static_assert(sizeof(PaletteEntry) == 4);

}  // namespace gfx
