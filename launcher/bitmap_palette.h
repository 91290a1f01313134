#pragma once

#include <windows.h>

// Loads a bitmap resource as a device-dependent bitmap for the screen, together with a logical
// palette made from its colour table (none above 8 bits per pixel); the palette is realized on
// the screen so that the bitmap's colours map onto it. Returns null, and leaves `palette` as it
// was, when the resource is missing or not a usable bitmap.
HBITMAP LoadBitmapWithPalette(HINSTANCE instance, const char* name, HPALETTE* palette);

// A logical palette from the colour table of a packed DIB (40-byte header first). `colours`
// receives the entry count: 2 to the power of the bit count up to 8 bits, else 0, which gives
// no palette. `size` is the length of the block, which must hold the whole colour table.
HPALETTE CreatePaletteFromDib(const BITMAPINFOHEADER* header, size_t size, UINT* colours);
