#include "graphics/platform/device_context_handle.h"

#include <new>

#include "graphics/platform/posix/drawing_objects.h"

namespace gfx {

BitmapObject* StockBitmap() {
    static BitmapObject stock = [] {
        BitmapObject b;
        b.stock = true;
        return b;
    }();
    return &stock;
}

DeviceContextHandle CreateMemoryDC(DeviceContextHandle) {
    auto* dc = new (std::nothrow) DeviceContextObject;
    if (!dc) return nullptr;
    dc->bitmap = StockBitmap();
    return dc;
}

bool DeleteMemoryDC(DeviceContextHandle dc) {
    if (!dc) return false;
    if (dc->bitmap && !dc->bitmap->stock) dc->bitmap->selectedIn = nullptr;
    delete dc;
    return true;
}

BitmapHandle SelectBitmap(DeviceContextHandle dc, BitmapHandle bitmap) {
    if (!dc || !bitmap) return nullptr;
    BitmapObject* previous = dc->bitmap;
    if (bitmap == previous) return previous;
    if (!bitmap->stock) {
        if (bitmap->selectedIn) return nullptr;
        bitmap->selectedIn = dc;
    }
    if (previous && !previous->stock) previous->selectedIn = nullptr;
    dc->bitmap = bitmap;
    return previous;
}

BitmapHandle GetSelectedBitmap(DeviceContextHandle dc) { return dc ? dc->bitmap : nullptr; }

PaletteHandle SelectDCPalette(DeviceContextHandle dc, PaletteHandle palette) {
    if (!dc || !palette) return nullptr;
    PaletteHandle previous = dc->palette;
    dc->palette = palette;
    return previous;
}

PaletteHandle GetSelectedPalette(DeviceContextHandle dc) { return dc ? dc->palette : nullptr; }

// Drawing through a context of this backend writes the pixels at once.
void FlushDrawing() {}

}  // namespace gfx
