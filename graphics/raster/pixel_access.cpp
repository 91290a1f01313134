#include <cstddef>

#include "graphics/image/surface.h"

namespace gfx {

namespace {

// Bytes of one pixel as the format code gives them (bits 27-29): the depth / 8 from 8 bits up,
// 0 for the packed depths, whose pixels these operations do not reach.
uint32_t BytesPerPixel(PixelFormat format) { return (format >> 27) & 7; }

// The locked address of image pixel (x, y), on either row order; null (nothing locked) when the
// surface holds no image, the pixel lies outside it, or the lock is refused.
uint8_t* LockPixel(Surface& surface, int32_t x, int32_t y) {
    if (surface.GetFormat() == 0 || x < 0 || y < 0 || x >= surface.GetWidth() ||
        y >= surface.GetHeight()) {
        return nullptr;
    }
    uint8_t* rows = nullptr;
    int32_t pitch = 0;
    if (surface.Lock(&rows, &pitch) != ResultOk) return nullptr;
    const int32_t row = (surface.IsBottomUp() & 1) ? surface.GetHeight() - 1 - y : y;
    return rows + static_cast<ptrdiff_t>(row) * pitch +
           static_cast<ptrdiff_t>(x) * BytesPerPixel(surface.GetFormat());
}

}  // namespace

uint32_t Surface::GetPixelValue(int32_t x, int32_t y) {
    const uint8_t* p = LockPixel(*this, x, y);
    if (!p) return 0;
    uint32_t value = 0;
    for (uint32_t k = 0; k < BytesPerPixel(GetFormat()); ++k) value |= uint32_t{p[k]} << (8 * k);
    Unlock();
    return value;
}

void Surface::SetPixelValue(int32_t x, int32_t y, uint32_t value) {
    uint8_t* p = LockPixel(*this, x, y);
    if (!p) return;
    for (uint32_t k = 0; k < BytesPerPixel(GetFormat()); ++k) {
        p[k] = static_cast<uint8_t>(value >> (8 * k));
    }
    Unlock();
}

}  // namespace gfx
