#include "graphics/platform/device_context_handle.h"

#include "graphics/platform/win32/native_drawing_handles.h"

namespace gfx {

DeviceContextHandle CreateMemoryDC(DeviceContextHandle reference) {
    return FromNativeDC(CreateCompatibleDC(ToNativeDC(reference)));
}

bool DeleteMemoryDC(DeviceContextHandle dc) { return dc && DeleteDC(ToNativeDC(dc)) != 0; }

BitmapHandle SelectBitmap(DeviceContextHandle dc, BitmapHandle bitmap) {
    if (!dc || !bitmap) return nullptr;
    HGDIOBJ previous = SelectObject(ToNativeDC(dc), ToNativeBitmap(bitmap));
    if (previous == HGDI_ERROR) return nullptr;
    return FromNativeBitmap(static_cast<HBITMAP>(previous));
}

BitmapHandle GetSelectedBitmap(DeviceContextHandle dc) {
    if (!dc) return nullptr;
    return FromNativeBitmap(static_cast<HBITMAP>(GetCurrentObject(ToNativeDC(dc), OBJ_BITMAP)));
}

PaletteHandle SelectDCPalette(DeviceContextHandle dc, PaletteHandle palette) {
    if (!dc || !palette) return nullptr;
    return FromNativePalette(SelectPalette(ToNativeDC(dc), ToNativePalette(palette), TRUE));
}

PaletteHandle GetSelectedPalette(DeviceContextHandle dc) {
    if (!dc) return nullptr;
    return FromNativePalette(static_cast<HPALETTE>(GetCurrentObject(ToNativeDC(dc), OBJ_PAL)));
}

void FlushDrawing() { GdiFlush(); }

}  // namespace gfx
