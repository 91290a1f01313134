#pragma once

#include <cstdint>

#include "graphics/platform/device_context_handle.h"
#include "graphics/platform/dib_section.h"

namespace gfx {

// What a BitmapHandle points to in this backend: a DIB section with its pixel buffer and colour
// table, or the stock bitmap a new memory context starts with (no pixels).
struct BitmapObject {
    bool stock = false;
    DibSectionInfo info;
    uint32_t tableEntries = 0;
    PaletteEntry table[256] = {};
    // The context this bitmap is selected in, or null.
    DeviceContextObject* selectedIn = nullptr;
};

// What a DeviceContextHandle points to: what is selected in the context.
struct DeviceContextObject {
    BitmapObject* bitmap = nullptr;
    PaletteHandle palette = nullptr;
};

// The one stock bitmap, shared by every context and never destroyed.
BitmapObject* StockBitmap();

}  // namespace gfx
