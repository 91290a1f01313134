#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "graphics/image/surface.h"

// Fills and compares surfaces of any kind and format for the file writers' round trips.

inline const gfx::PixelFormat kAllFormats[] = {
    gfx::FMT_INDEX1, gfx::FMT_INDEX2, gfx::FMT_INDEX4, gfx::FMT_INDEX8, gfx::FMT_RGB555,
    gfx::FMT_BGR555, gfx::FMT_RGB565, gfx::FMT_BGR565, gfx::FMT_RGB24,  gfx::FMT_RGB32};

// Every row byte (padding included) depends on its place and `seed`; indexed formats get a
// palette whose entries all differ, flags included.
inline void FillPatterned(gfx::Surface& surface, uint32_t seed) {
    uint8_t* rows = nullptr;
    int32_t pitch = 0;
    ASSERT_EQ(surface.Lock(&rows, &pitch), gfx::ResultOk);
    const uint32_t rowBytes = gfx::RowBytes(surface.GetFormat(), surface.GetWidth());
    for (int32_t y = 0; y < surface.GetHeight(); ++y) {
        for (uint32_t x = 0; x < rowBytes; ++x) rows[y * pitch + x] = uint8_t(x * 7 + y * 31 + seed);
    }
    surface.Unlock();
    if (!gfx::IsIndexedFormat(surface.GetFormat())) return;
    const uint32_t count = 1u << gfx::BitsPerPixel(surface.GetFormat());
    std::vector<gfx::PaletteEntry> entries(count);
    for (uint32_t i = 0; i < count; ++i) {
        entries[i] = {uint8_t(255 - i), uint8_t(i * 3 + seed), uint8_t(i ^ 0x5A), uint8_t(i & 3)};
    }
    gfx::Palette* palette = surface.NewPalette();
    ASSERT_EQ(palette->Create(count), gfx::ResultOk);
    ASSERT_EQ(palette->SetEntries(entries.data(), 0, count), gfx::ResultOk);
    EXPECT_EQ(surface.SetPalette(palette), gfx::ResultOk);
    palette->Release();
}

// The size, the rows top line first, RowBytes each; then the palette's entries, flags only when asked (a
// bitmap's colour table has none).
inline std::vector<uint8_t> Picture(gfx::Surface& surface, bool withFlags) {
    const int32_t width = surface.GetWidth(), height = surface.GetHeight();
    std::vector<uint8_t> picture = {uint8_t(width), uint8_t(width >> 8), uint8_t(height),
                                    uint8_t(height >> 8)};
    uint8_t* rows = nullptr;
    int32_t pitch = 0;
    if (surface.Lock(&rows, &pitch) != gfx::ResultOk) return {};
    const uint32_t rowBytes = gfx::RowBytes(surface.GetFormat(), width);
    for (int32_t i = 0; i < height; ++i) {
        const uint8_t* row = rows + (surface.IsBottomUp() ? height - 1 - i : i) * pitch;
        picture.insert(picture.end(), row, row + rowBytes);
    }
    surface.Unlock();
    const gfx::Palette* palette = surface.GetPalette();
    for (uint32_t i = 0; palette && i < palette->GetEntryCount(); ++i) {
        const gfx::PaletteEntry e = palette->GetEntryData()[i];
        picture.insert(picture.end(), {e.red, e.green, e.blue, withFlags ? e.flags : uint8_t(0)});
    }
    return picture;
}

inline std::vector<uint8_t> FileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

inline void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}
