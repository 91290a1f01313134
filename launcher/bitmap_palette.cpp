#include "launcher/bitmap_palette.h"

#include <cstring>

#include "launcher/core/packed_dib_layout.h"

HPALETTE CreatePaletteFromDib(const BITMAPINFOHEADER* header, size_t size, UINT* colours) {
    const auto* bytes = reinterpret_cast<const uint8_t*>(header);
    PackedDibLayout layout;
    if (!DescribePackedDib(bytes, size, layout)) layout.colours = 0;
    if (colours) *colours = layout.colours;
    if (layout.colours == 0) return nullptr;

    const SIZE_T blockSize = layout.colours * 4 + 8;
    HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, blockSize);
    if (!block) return nullptr;
    auto* logical = static_cast<LOGPALETTE*>(::GlobalLock(block));
    HPALETTE palette = nullptr;
    if (logical) {
        logical->palVersion = 0x300;
        logical->palNumEntries = static_cast<WORD>(layout.colours);
        for (uint32_t i = 0; i < layout.colours; ++i) {
            const gfx::PaletteEntry colour = PackedDibColour(bytes, i);
            logical->palPalEntry[i] = PALETTEENTRY{colour.red, colour.green, colour.blue, 0};
        }
        palette = ::CreatePalette(logical);
        ::GlobalUnlock(block);
    }
    ::GlobalFree(block);
    return palette;
}

HBITMAP LoadBitmapWithPalette(HINSTANCE instance, const char* name, HPALETTE* palette) {
    HRSRC resource = ::FindResourceA(instance, name, RT_BITMAP);
    if (!resource) return nullptr;
    HGLOBAL loaded = ::LoadResource(instance, resource);
    const void* data = loaded ? ::LockResource(loaded) : nullptr;
    const DWORD size = ::SizeofResource(instance, resource);
    if (!data || size == 0) return nullptr;

    // Work on a copy of the resource's bytes.
    HGLOBAL copy = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
    if (!copy) return nullptr;
    auto* bytes = static_cast<uint8_t*>(::GlobalLock(copy));
    if (!bytes) {
        ::GlobalFree(copy);
        return nullptr;
    }
    std::memcpy(bytes, data, size);

    HBITMAP bitmap = nullptr;
    PackedDibLayout layout;
    if (DescribePackedDib(bytes, size, layout)) {
        HDC screen = ::GetDC(nullptr);
        const auto* header = reinterpret_cast<const BITMAPINFOHEADER*>(bytes);
        UINT colours = 0;
        HPALETTE created = CreatePaletteFromDib(header, size, &colours);
        if (palette) *palette = created;
        if (created) {
            ::SelectPalette(screen, created, FALSE);
            ::RealizePalette(screen);
        }
        bitmap = ::CreateDIBitmap(screen, header, CBM_INIT, bytes + layout.bitsOffset,
                                  reinterpret_cast<const BITMAPINFO*>(bytes), DIB_RGB_COLORS);
        ::ReleaseDC(nullptr, screen);
    }
    ::GlobalUnlock(copy);
    ::GlobalFree(copy);
    return bitmap;
}
