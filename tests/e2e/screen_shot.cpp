#include "tests/e2e/screen_shot.h"

#include <cstdlib>
#include <cstring>

namespace e2e {

int ColourDistance(const Rgb& a, const Rgb& b) {
    int dr = std::abs(a.r - b.r), dg = std::abs(a.g - b.g), db = std::abs(a.b - b.b);
    int d = dr > dg ? dr : dg;
    return d > db ? d : db;
}

ScreenShot::ScreenShot(const RECT& area) : area_(area) {
    int width = area.right - area.left, height = area.bottom - area.top;
    if (width <= 0 || height <= 0) return;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HBITMAP dib = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (dib) {
        HDC memory = CreateCompatibleDC(screen);
        HGDIOBJ old = SelectObject(memory, dib);
        if (BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY)) {
            GdiFlush();
            pixels_.resize(static_cast<size_t>(width) * height);
            std::memcpy(pixels_.data(), bits, pixels_.size() * 4);
        }
        SelectObject(memory, old);
        DeleteDC(memory);
        DeleteObject(dib);
    }
    ReleaseDC(nullptr, screen);
}

Rgb ScreenShot::At(int screenX, int screenY) const {
    int width = area_.right - area_.left;
    int x = screenX - area_.left, y = screenY - area_.top;
    if (pixels_.empty() || x < 0 || y < 0 || x >= width || y >= area_.bottom - area_.top) return {};
    uint32_t value = pixels_[static_cast<size_t>(y) * width + x];
    return Rgb{static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 8),
               static_cast<uint8_t>(value)};
}

}  // namespace e2e
