#pragma once

// Conversions between the library's drawing handles and the Windows handles they are, for
// Windows code that hands them to the system (BitBlt from a surface's memory device context).

#include <windows.h>

#include "graphics/platform/device_context_handle.h"

namespace gfx {

inline HDC ToNativeDC(DeviceContextHandle dc) { return reinterpret_cast<HDC>(dc); }
inline DeviceContextHandle FromNativeDC(HDC dc) {
    return reinterpret_cast<DeviceContextHandle>(dc);
}
inline HBITMAP ToNativeBitmap(BitmapHandle bitmap) { return reinterpret_cast<HBITMAP>(bitmap); }
inline BitmapHandle FromNativeBitmap(HBITMAP bitmap) {
    return reinterpret_cast<BitmapHandle>(bitmap);
}
inline HPALETTE ToNativePalette(PaletteHandle palette) {
    return reinterpret_cast<HPALETTE>(palette);
}
inline PaletteHandle FromNativePalette(HPALETTE palette) {
    return reinterpret_cast<PaletteHandle>(palette);
}

}  // namespace gfx
