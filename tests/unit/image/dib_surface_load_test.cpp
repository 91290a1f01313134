// DibSurface::Load: pictures come out upright in the DIB section, with their palette, and a
// picture that cannot be drawn leaves the surface empty.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "graphics/image/dib_surface.h"
#include "graphics/image/load_flags.h"
#include "graphics/image/memory_dib_surface.h"
#include "graphics/platform/dib_section.h"

using namespace gfx;

namespace {

std::string SuiteFile(const char* name) {
    const char* data = std::getenv("GFX_TEST_DATA");
    const std::string path = std::string(data ? data : "") + "/bmpsuite/g/" + name;
    return data && std::filesystem::is_regular_file(path) ? path : std::string();
}

void ExpectTableHoldsPalette(DibSurface& surface) {
    const Palette* palette = surface.GetPalette();
    ASSERT_NE(palette, nullptr);
    PaletteEntry table[256];
    ASSERT_EQ(GetDibColorTable(surface.AcquireDC(), 0, 256, table), palette->GetEntryCount());
    for (uint32_t i = 0; i < palette->GetEntryCount(); ++i) {
        const PaletteEntry& e = palette->GetEntryData()[i];
        EXPECT_EQ(table[i].red * 65536 + table[i].green * 256 + table[i].blue,
                  e.red * 65536 + e.green * 256 + e.blue);
    }
    surface.ReleaseDC();
}

}  // namespace

TEST(DibSurfaceLoad, ResourceBitmapComesOutUprightWithItsPalette) {
    // The test program's "tiny": 2 by 2, 8 bits, grey palette; stored rows bottom-up 01 02 then
    // 03 04.
    for (uint32_t createFlags : {0u, CREATE_KEEP_DC}) {
        DibSurface surface;
        ASSERT_EQ(surface.Load("tiny", LOAD_FROM_RESOURCE | LOAD_DECODE, nullptr,
                               kResourceTypeBitmap, nullptr, createFlags, nullptr),
                  ResultOk);
        EXPECT_EQ(surface.GetFormat(), FMT_INDEX8);
        EXPECT_EQ(surface.GetWidth() * 10 + surface.GetHeight(), 22);
        EXPECT_EQ(surface.GetKeepDC(), createFlags ? 1u : 0u);
        uint8_t* rows = nullptr;
        int32_t pitch = 0;
        ASSERT_EQ(surface.Lock(&rows, &pitch), ResultOk);
        EXPECT_EQ(rows[0] * 1000 + rows[1] * 100 + rows[pitch] * 10 + rows[pitch + 1], 3412);
        surface.Unlock();
        ASSERT_NE(surface.GetPalette(), nullptr);
        EXPECT_EQ(surface.GetPalette()->GetEntryData()[200].green, 200);
        EXPECT_EQ(surface.GetPalette()->GetRefCount(), 1);  // the temporary's reference is gone
        ExpectTableHoldsPalette(surface);
    }
    DibSurface surface;
    ASSERT_EQ(surface.Create(4, 4, FMT_RGB24, CREATE_KEEP_DC, nullptr), ResultOk);
    EXPECT_NE(surface.Load("NOSUCHPICTURE", LOAD_FROM_RESOURCE, nullptr, kResourceTypeBitmap,
                           nullptr, 0, nullptr),
              ResultOk);
    EXPECT_EQ(surface.GetFormat(), 0u);
    EXPECT_EQ(surface.GetMemoryDC(), nullptr);
}

TEST(DibSurfaceLoad, FilesMatchTheMemoryLoaderRowsReversed) {
    int compared = 0;
    for (const char* name : {"pal1.bmp", "pal4.bmp", "pal8.bmp", "pal8-0.bmp", "rgb16.bmp",
                             "rgb16-565.bmp", "rgb24.bmp", "rgb32.bmp"}) {
        const std::string path = SuiteFile(name);
        if (path.empty()) continue;
        SCOPED_TRACE(name);
        MemoryDibSurface reference;
        DibSurface surface;
        ASSERT_EQ(reference.Load(path.c_str(), LOAD_DECODE, nullptr, nullptr, nullptr, 0, nullptr),
                  ResultOk);
        ASSERT_EQ(surface.Load(path.c_str(), LOAD_DECODE, nullptr, nullptr, nullptr, 0, nullptr),
                  ResultOk);
        ASSERT_EQ(surface.GetFormat(), reference.GetFormat());
        ASSERT_EQ(surface.GetWidth(), reference.GetWidth());
        ASSERT_EQ(surface.GetHeight(), reference.GetHeight());

        uint8_t *from = nullptr, *to = nullptr;
        int32_t fromPitch = 0, toPitch = 0;
        ASSERT_EQ(reference.Lock(&from, &fromPitch), ResultOk);
        ASSERT_EQ(surface.Lock(&to, &toPitch), ResultOk);
        const int32_t h = surface.GetHeight();
        // The pixels of a row; padding bytes are not part of the picture.
        const uint32_t bytes = (BitsPerPixel(surface.GetFormat()) * surface.GetWidth() + 7) / 8;
        for (int32_t y = 0; y < h; ++y) {
            ASSERT_EQ(std::memcmp(to + y * toPitch, from + (h - 1 - y) * fromPitch, bytes), 0)
                << "row " << y;
        }
        surface.Unlock();
        reference.Unlock();
        if (reference.GetPalette()) {
            const uint32_t count = reference.GetPalette()->GetEntryCount();
            ASSERT_EQ(surface.GetPalette()->GetEntryCount(), count);
            EXPECT_EQ(std::memcmp(surface.GetPalette()->GetEntryData(),
                                  reference.GetPalette()->GetEntryData(), count * 4),
                      0);
            ExpectTableHoldsPalette(surface);
        }
        ++compared;
    }
    if (compared == 0) GTEST_SKIP() << "no bitmap suite in GFX_TEST_DATA";

    // The platform's own run-length code cannot be decoded, so the picture cannot be drawn and
    // no half-made section is kept.
    DibSurface surface;
    EXPECT_NE(surface.Load(SuiteFile("pal8rle.bmp").c_str(), LOAD_DECODE, nullptr, nullptr, nullptr,
                           0, nullptr),
              ResultOk);
    EXPECT_EQ(surface.GetFormat(), 0u);
    EXPECT_EQ(surface.GetBitmap(), nullptr);
    EXPECT_EQ(surface.GetPalette(), nullptr);
}
