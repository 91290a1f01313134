#include "graphics/platform/dib_section.h"

#include <cstring>

#include "graphics/core/dib_header.h"
#include "graphics/platform/dib_section_format.h"
#include "graphics/platform/win32/native_drawing_handles.h"

namespace gfx {

static_assert(sizeof(RGBQUAD) == DIB_COLOUR_BYTES);

namespace {

constexpr uint32_t kMaxTableEntries = 256;

}  // namespace

BitmapHandle CreateDibSection(DeviceContextHandle dc, const void* header, size_t headerLength,
                              void** bits) {
    if (bits) *bits = nullptr;
    DibSectionFormat format;
    if (!bits || !ReadDibSectionFormat(header, headerLength, &format)) return nullptr;

    // The system reads the header and its table as a BITMAPINFO: give it an aligned copy of
    // exactly what was checked.
    union {
        BITMAPINFO info;
        uint8_t bytes[sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD)];
    } copy{};
    std::memcpy(copy.bytes, header, sizeof(BITMAPINFOHEADER) + format.tableBytes);

    void* pixels = nullptr;
    HBITMAP bitmap =
        CreateDIBSection(ToNativeDC(dc), &copy.info, DIB_RGB_COLORS, &pixels, nullptr, 0);
    if (!bitmap || !pixels) {
        if (bitmap) DeleteObject(bitmap);
        return nullptr;
    }
    *bits = pixels;
    return FromNativeBitmap(bitmap);
}

bool DestroyBitmap(BitmapHandle bitmap) {
    return bitmap && DeleteObject(ToNativeBitmap(bitmap)) != 0;
}

bool DescribeDibSection(BitmapHandle bitmap, DibSectionInfo* out) {
    if (!bitmap || !out) return false;
    DIBSECTION section{};
    if (GetObjectA(ToNativeBitmap(bitmap), sizeof(section), &section) != sizeof(section)) {
        return false;
    }
    out->width = section.dsBm.bmWidth;
    out->height = section.dsBm.bmHeight;
    out->bitCount = section.dsBm.bmBitsPixel;
    out->pitch = static_cast<uint32_t>(section.dsBm.bmWidthBytes);
    out->bits = section.dsBm.bmBits;
    return true;
}

uint32_t SetDibColorTable(DeviceContextHandle dc, uint32_t first, uint32_t count,
                          const PaletteEntry* colors) {
    if (!dc || !colors || count == 0) return 0;
    // No DIB section has more than 256 entries; the system cuts the range at its table's end.
    RGBQUAD stored[kMaxTableEntries];
    const uint32_t n = count < kMaxTableEntries ? count : kMaxTableEntries;
    WriteDibColours(colors, n, reinterpret_cast<uint8_t*>(stored));
    return SetDIBColorTable(ToNativeDC(dc), first, n, stored);
}

uint32_t GetDibColorTable(DeviceContextHandle dc, uint32_t first, uint32_t count,
                          PaletteEntry* out) {
    if (!dc || !out || count == 0) return 0;
    RGBQUAD stored[kMaxTableEntries];
    const uint32_t n = GetDIBColorTable(ToNativeDC(dc), first,
                                        count < kMaxTableEntries ? count : kMaxTableEntries, stored);
    ReadDibColours(reinterpret_cast<const uint8_t*>(stored), n, out);
    return n;
}

}  // namespace gfx
