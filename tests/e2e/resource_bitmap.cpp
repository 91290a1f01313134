#include "tests/e2e/resource_bitmap.h"

#include <windows.h>

#include <cstring>

namespace e2e {

bool ResourceBitmap::Load(const std::string& programPath, const char* name, std::string* error,
                          std::vector<uint8_t>* packedDib) {
    HMODULE module = LoadLibraryExA(programPath.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!module) {
        *error = "cannot load " + programPath + " as data";
        return false;
    }
    bool ok = false;
    HRSRC found = FindResourceA(module, name, MAKEINTRESOURCEA(2));
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const auto* bytes = loaded ? static_cast<const uint8_t*>(LockResource(loaded)) : nullptr;
    DWORD size = found ? SizeofResource(module, found) : 0;
    BITMAPINFOHEADER header{};
    if (!bytes || size < sizeof(header)) {
        *error = std::string("bitmap resource ") + name + " not found";
    } else {
        std::memcpy(&header, bytes, sizeof(header));
        int height = header.biHeight < 0 ? -header.biHeight : header.biHeight;
        size_t stride = (static_cast<size_t>(header.biWidth) + 3) & ~size_t{3};
        size_t colours = 256;
        size_t bitsOffset = header.biSize + colours * 4;
        if (header.biBitCount != 8 || header.biCompression != BI_RGB || header.biWidth <= 0 ||
            bitsOffset + stride * height > size) {
            *error = std::string(name) + " is not an uncompressed 8-bit bitmap with 256 colours";
        } else {
            width_ = header.biWidth;
            height_ = height;
            colours_.resize(colours);
            for (size_t i = 0; i < colours; ++i) {
                const uint8_t* entry = bytes + header.biSize + i * 4;
                colours_[i] = Rgb{entry[2], entry[1], entry[0]};
            }
            indices_.resize(static_cast<size_t>(width_) * height_);
            for (int y = 0; y < height_; ++y) {
                int row = header.biHeight > 0 ? height_ - 1 - y : y;
                std::memcpy(&indices_[static_cast<size_t>(y) * width_],
                            bytes + bitsOffset + stride * row, width_);
            }
            if (packedDib) packedDib->assign(bytes, bytes + size);
            ok = true;
        }
    }
    FreeLibrary(module);
    return ok;
}

Rgb ResourceBitmap::At(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return {};
    return colours_[indices_[static_cast<size_t>(y) * width_ + x]];
}

double PictureShare(const ScreenShot& shot, const RECT& onScreen, const ResourceBitmap& picture) {
    int samples = 0, same = 0;
    for (int y = 1; y < picture.Height(); y += 3) {
        for (int x = 1; x < picture.Width(); x += 3) {
            ++samples;
            same +=
                ColourDistance(shot.At(onScreen.left + x, onScreen.top + y), picture.At(x, y)) <= 8;
        }
    }
    return samples ? static_cast<double>(same) / samples : 0;
}

}  // namespace e2e
