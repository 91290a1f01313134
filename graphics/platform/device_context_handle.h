#pragma once

#include "graphics/platform/palette_handle.h"

namespace gfx {

// A platform drawing context: a memory device context that holds a surface's pixels, or the
// reference context a surface is made compatible with. Opaque above the platform layer.
struct DeviceContextObject;
using DeviceContextHandle = DeviceContextObject*;

// A platform bitmap that can be selected into a device context: a DIB section
// (graphics/platform/dib_section.h) or the stock bitmap a new memory context starts with.
struct BitmapObject;
using BitmapHandle = BitmapObject*;

// Makes a memory device context compatible with `reference` (null: with the screen). A new
// context holds the platform's stock bitmap and palette. Null when the system refuses.
DeviceContextHandle CreateMemoryDC(DeviceContextHandle reference);

// Deletes a context made by CreateMemoryDC; what is selected in it stays alive and is
// deselected. False for null or when the system refuses.
bool DeleteMemoryDC(DeviceContextHandle dc);

// Selects `bitmap` into `dc` and returns the bitmap selected before, or null when either handle
// is null or the bitmap cannot be selected (a bitmap sits in at most one context at a time).
BitmapHandle SelectBitmap(DeviceContextHandle dc, BitmapHandle bitmap);

// The bitmap selected in `dc`, or null.
BitmapHandle GetSelectedBitmap(DeviceContextHandle dc);

// Selects a logical palette into `dc` (as a background palette) and returns the one selected
// before, or null when either handle is null or the system refuses.
PaletteHandle SelectDCPalette(DeviceContextHandle dc, PaletteHandle palette);

// The logical palette selected in `dc`, or null.
PaletteHandle GetSelectedPalette(DeviceContextHandle dc);

// Completes platform drawing still pending on this thread, so that pixel memory shows it.
void FlushDrawing();

}  // namespace gfx
