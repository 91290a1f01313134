#include "graphics/image/dib_surface.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "graphics/platform/dib_section.h"

#ifdef _WIN32
#include "graphics/platform/win32/native_drawing_handles.h"
#endif

using namespace gfx;

namespace {

// A palette of `count` distinct colours, with one reference held by the test.
Palette* MakePalette(uint32_t count, uint8_t shift = 0) {
    auto* palette = new Palette;
    EXPECT_EQ(palette->Create(count), ResultOk);
    std::vector<PaletteEntry> entries(count);
    for (uint32_t i = 0; i < count; ++i) {
        entries[i] = {uint8_t(i + shift), uint8_t(255 - i), uint8_t(i * 7), 0};
    }
    EXPECT_EQ(palette->SetEntries(entries.data(), 0, count), ResultOk);
    return palette;
}

// Whether the colour table of the section selected in `dc` holds `palette` as blue, green, red.
bool TableHolds(DeviceContextHandle dc, const Palette& palette) {
    PaletteEntry table[256];
    const uint32_t count = palette.GetEntryCount();
    if (GetDibColorTable(dc, 0, 256, table) != count) return false;
    for (uint32_t i = 0; i < count; ++i) {
        const PaletteEntry& e = palette.GetEntryData()[i];
        const PaletteEntry& c = table[i];
        if (c.red != e.red || c.green != e.green || c.blue != e.blue || c.flags) return false;
    }
    return true;
}

void ExpectEmpty(const DibSurface& surface) {
    EXPECT_EQ(surface.GetFormat(), 0u);
    EXPECT_EQ(surface.GetWidth() + surface.GetHeight(), 0);
    EXPECT_EQ(surface.GetBitmap(), nullptr);
    EXPECT_EQ(surface.GetMemoryDC(), nullptr);
    EXPECT_EQ(surface.GetBits(), nullptr);
    EXPECT_EQ(surface.GetAccessCount(), 0);
    EXPECT_EQ(surface.GetAccessPointer(), nullptr);
    EXPECT_EQ(surface.GetPalette(), nullptr);
}

}  // namespace

TEST(DibSurface, CreateMakesZeroedSectionOfEachFormat) {
    for (PixelFormat format : {FMT_INDEX1, FMT_INDEX4, FMT_INDEX8, FMT_RGB555, FMT_BGR555,
                               FMT_RGB565, FMT_BGR565, FMT_RGB24, FMT_RGB32}) {
        SCOPED_TRACE(testing::Message() << std::hex << format);
        DibSurface surface;
        ASSERT_EQ(surface.Create(13, 5, format, 0, nullptr), ResultOk);
        EXPECT_EQ(surface.GetKind(), KIND_DIB);
        EXPECT_EQ(surface.IsBottomUp(), 0);
        EXPECT_EQ(surface.GetMemoryDC(), nullptr);
        DibSectionInfo info;
        ASSERT_TRUE(DescribeDibSection(surface.GetBitmap(), &info));
        EXPECT_EQ(info.width * 100 + info.height, 1305);
        EXPECT_EQ(info.bitCount, BitsPerPixel(format));

        uint8_t* rows = nullptr;
        int32_t pitch = 0;
        ASSERT_EQ(surface.Lock(&rows, &pitch), ResultOk);
        EXPECT_EQ(rows, info.bits);
        EXPECT_EQ(uint32_t(pitch), RowBytes(format, 13));
        EXPECT_EQ(uint32_t(pitch), info.pitch);
        EXPECT_EQ(std::vector<uint8_t>(rows, rows + pitch * 5), std::vector<uint8_t>(pitch * 5));
        surface.Unlock();

        if (IsIndexedFormat(format)) {
            Palette* black = new Palette;
            ASSERT_EQ(black->Create(1u << BitsPerPixel(format)), ResultOk);
            EXPECT_TRUE(TableHolds(surface.AcquireDC(), *black));
            surface.ReleaseDC();
            black->Release();
        }
    }
    DibSurface wide;
    uint8_t* rows = nullptr;
    int32_t pitch = 0;
    ASSERT_EQ(wide.Create(16383, 1, FMT_RGB32, 0, nullptr), ResultOk);  // widest 16-bit pitch
    ASSERT_EQ(wide.Lock(&rows, &pitch), ResultOk);
    EXPECT_EQ(pitch, 65532);
}

TEST(DibSurface, CreateRefusalsLeaveTheSurfaceEmpty) {
    struct Case {
        int32_t width, height;
        PixelFormat format;
    } const refused[] = {
        {16384, 1, FMT_RGB32},  // padded row beyond 65532 bytes
        {4, 4, 0x12345678},    {-1, 4, FMT_RGB24}, {4, 70000, FMT_RGB24}, {0, 4, FMT_RGB24},
        {4, 0, FMT_INDEX8},    {8, 8, FMT_INDEX2},  // the platform makes no 2-bit sections
    };
    for (const Case& c : refused) {
        for (uint32_t flags : {0u, CREATE_KEEP_DC}) {
            SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << " " << flags);
            DibSurface surface;
            ASSERT_EQ(surface.Create(8, 8, FMT_INDEX8, CREATE_KEEP_DC, nullptr), ResultOk);
            Palette* palette = MakePalette(256);
            ASSERT_EQ(surface.SetPalette(palette), ResultOk);
            EXPECT_EQ(surface.Create(c.width, c.height, c.format, flags, nullptr), ResultInvalid);
            ExpectEmpty(surface);
            EXPECT_EQ(palette->Release(), 0);
        }
    }
}

TEST(DibSurface, ContextIsKeptOrMadePerOutermostAcquire) {
    DeviceContextHandle reference = CreateMemoryDC(nullptr);
    for (uint32_t flags : {0u, CREATE_KEEP_DC, CREATE_REFERENCE_DC}) {
        SCOPED_TRACE(flags);
        const bool kept = flags != 0;
        DibSurface surface;
        ASSERT_EQ(surface.Create(6, 3, FMT_RGB24, flags, reference), ResultOk);
        EXPECT_EQ(surface.GetKeepDC(), kept ? 1u : 0u);
        EXPECT_EQ(surface.GetMemoryDC() != nullptr, kept);
        EXPECT_EQ(surface.GetAccessPointer(), nullptr);  // a kept context is not handed out

        DeviceContextHandle dc = surface.AcquireDC();
        ASSERT_NE(dc, nullptr);
        EXPECT_NE(dc, reference);
        if (kept) {
            EXPECT_EQ(dc, surface.GetMemoryDC());
        }
        EXPECT_EQ(GetSelectedBitmap(dc), surface.GetBitmap());
        EXPECT_EQ(surface.GetAccessPointer(), dc);
        EXPECT_EQ(surface.GetAccessPitch(), 0);
        EXPECT_EQ(surface.AcquireDC(), dc);
        surface.ReleaseDC();
        EXPECT_EQ(surface.GetAccessCount(), 1);
        EXPECT_EQ(GetSelectedBitmap(surface.GetMemoryDC()), surface.GetBitmap());
        surface.ReleaseDC();
        EXPECT_EQ(surface.GetAccessCount(), 0);
        EXPECT_EQ(surface.GetAccessPointer(), nullptr);
        EXPECT_EQ(surface.GetMemoryDC(), kept ? dc : nullptr);
        surface.ReleaseDC();  // unmatched: nothing
        EXPECT_EQ(surface.GetAccessCount(), 0);
        // The deleted context gave the bitmap back: a new one can take it.
        ASSERT_NE(surface.AcquireDC(), nullptr);
        surface.ReleaseDC();
    }
    DeleteMemoryDC(reference);
}

TEST(DibSurface, LockAndContextExcludeEachOtherAndNest) {
    for (uint32_t flags : {0u, CREATE_KEEP_DC}) {
        DibSurface surface;
        ASSERT_EQ(surface.Create(7, 4, FMT_RGB565, flags, nullptr), ResultOk);
        uint8_t *a = nullptr, *b = nullptr;
        int32_t pa = 0, pb = 0;
        ASSERT_EQ(surface.Lock(&a, &pa), ResultOk);
        ASSERT_EQ(surface.Lock(&b, &pb), ResultOk);
        EXPECT_EQ(a, b);
        EXPECT_EQ(pa, pb);
        EXPECT_EQ(surface.AcquireDC(), nullptr);
        surface.ReleaseDC();  // no context out: nothing
        EXPECT_EQ(surface.GetAccessCount(), 2);
        surface.Unlock();
        EXPECT_EQ(surface.GetAccessPointer(), a);
        surface.Unlock();
        EXPECT_EQ(surface.GetAccessPointer(), nullptr);
        EXPECT_EQ(surface.Unlock(), ResultOk);  // unmatched: nothing
        EXPECT_EQ(surface.GetAccessCount(), 0);

        ASSERT_NE(surface.AcquireDC(), nullptr);
        EXPECT_EQ(surface.Lock(&a, &pa), ResultDCOut);
        surface.Unlock();  // not locked: nothing
        EXPECT_EQ(surface.GetAccessCount(), 1);
        surface.ReleaseDC();
        EXPECT_EQ(surface.Lock(&a, &pa), ResultOk);
        surface.Unlock();
    }
    DibSurface empty;
    uint8_t* rows = nullptr;
    int32_t pitch = 0;
    EXPECT_EQ(empty.Lock(&rows, &pitch), ResultNoImage);
    EXPECT_EQ(empty.AcquireDC(), nullptr);
}

TEST(DibSurface, FreeDrainsEveryAccessState) {
    for (uint32_t flags : {0u, CREATE_KEEP_DC}) {
        for (int state = 0; state < 3; ++state) {  // idle, locked twice, context out twice
            SCOPED_TRACE(testing::Message() << flags << " " << state);
            DibSurface surface;
            ASSERT_EQ(surface.Create(9, 9, FMT_INDEX8, flags, nullptr), ResultOk);
            Palette* palette = MakePalette(256);
            ClipRegion* region = surface.NewRegion();
            ASSERT_EQ(surface.SetPalette(palette), ResultOk);
            ASSERT_EQ(surface.SetRegion(region), ResultOk);
            for (int i = 0; i < 2 && state > 0; ++i) {
                uint8_t* rows = nullptr;
                int32_t pitch = 0;
                if (state == 1) {
                    ASSERT_EQ(surface.Lock(&rows, &pitch), ResultOk);
                } else {
                    ASSERT_NE(surface.AcquireDC(), nullptr);
                }
            }
            EXPECT_EQ(surface.Free(), ResultOk);
            ExpectEmpty(surface);
            EXPECT_EQ(surface.GetRegion(), nullptr);
            EXPECT_EQ(palette->Release(), 0);
            EXPECT_EQ(region->Release(), 0);
            EXPECT_EQ(surface.Create(2, 2, FMT_RGB24, flags, nullptr), ResultOk);
        }
    }
    // Destruction with a context out gives it back too (the sanitizer build sees leaks).
    Surface* surface = DibSurface().NewSurface();
    ASSERT_EQ(surface->GetKind(), KIND_DIB);
    ASSERT_EQ(surface->Create(600, 300, FMT_RGB32, 0, nullptr), ResultOk);
    surface->TouchPages();
    ASSERT_NE(surface->AcquireDC(), nullptr);
    EXPECT_EQ(surface->Release(), 0);
}

TEST(DibSurface, PaletteReachesTheColourTableByItsSerial) {
    // Without a kept context: written at the next AcquireDC, also after a change made while
    // no context existed.
    DibSurface surface;
    ASSERT_EQ(surface.Create(16, 4, FMT_INDEX8, 0, nullptr), ResultOk);
    Palette* palette = MakePalette(256);
    ASSERT_EQ(surface.SetPalette(palette), ResultOk);
    EXPECT_EQ(surface.GetPaletteSerialSeen(), palette->GetSerial());
    EXPECT_TRUE(TableHolds(surface.AcquireDC(), *palette));
    surface.ReleaseDC();
    const PaletteEntry red{200, 10, 20, 0};
    ASSERT_EQ(palette->SetEntries(&red, 3, 1), ResultOk);
    EXPECT_TRUE(TableHolds(surface.AcquireDC(), *palette));
    surface.ReleaseDC();
    palette->Release();

    // With a kept context: written at once, then at the next Lock or AcquireDC after a change.
    DibSurface kept;
    ASSERT_EQ(kept.Create(5, 5, FMT_INDEX4, CREATE_KEEP_DC, nullptr), ResultOk);
    palette = MakePalette(16);
    ASSERT_EQ(kept.SetPalette(palette), ResultOk);
    EXPECT_TRUE(TableHolds(kept.GetMemoryDC(), *palette));
    ASSERT_EQ(palette->SetEntries(&red, 15, 1), ResultOk);
    EXPECT_FALSE(TableHolds(kept.GetMemoryDC(), *palette));
    uint8_t* rows = nullptr;
    int32_t pitch = 0;
    ASSERT_EQ(kept.Lock(&rows, &pitch), ResultOk);
    kept.Unlock();
    EXPECT_TRUE(TableHolds(kept.GetMemoryDC(), *palette));
    ASSERT_EQ(palette->SetEntries(&red, 0, 1), ResultOk);
    EXPECT_TRUE(TableHolds(kept.AcquireDC(), *palette));
    kept.ReleaseDC();

    Palette* other = MakePalette(16, 100);
    ASSERT_EQ(kept.SetPalette(other), ResultOk);
    EXPECT_TRUE(TableHolds(kept.GetMemoryDC(), *other));
    EXPECT_EQ(palette->Release(), 0);
    EXPECT_EQ(other->Release(), 1);
}

TEST(DibSurface, SetPaletteChecksSizeAndFormat) {
    Palette* p2 = MakePalette(2);
    Palette* p16 = MakePalette(16);
    Palette* p256 = MakePalette(256);
    Palette* none = new Palette;

    DibSurface empty, indexed8, direct;
    EXPECT_EQ(empty.SetPalette(p2), ResultNoImage);
    ASSERT_EQ(indexed8.Create(4, 4, FMT_INDEX8, 0, nullptr), ResultOk);
    EXPECT_EQ(indexed8.SetPalette(p16), ResultPaletteMismatch);
    EXPECT_EQ(indexed8.SetPalette(none), ResultEmptyPalette);
    EXPECT_EQ(indexed8.GetPalette(), nullptr);
    EXPECT_EQ(indexed8.SetPalette(p256), ResultOk);
    EXPECT_EQ(indexed8.SetPalette(p256), ResultOk);  // the one already held stays alive
    EXPECT_EQ(p256->GetRefCount(), 2);
    EXPECT_EQ(indexed8.SetPalette(nullptr), ResultOk);
    EXPECT_EQ(p256->GetRefCount(), 1);
    ASSERT_EQ(direct.Create(4, 4, FMT_RGB24, 0, nullptr), ResultOk);
    EXPECT_EQ(direct.SetPalette(p256), ResultPaletteMismatch);
    for (Palette* p : {p2, p16, p256, none}) p->Release();
}

#ifdef _WIN32
// What the launcher does: draw the surface through its context with BitBlt. Memory row 0 is the
// top line of the picture.
TEST(DibSurface, ContextDrawsTheRowsTopDown) {
    DibSurface surface, target;
    ASSERT_EQ(surface.Create(4, 3, FMT_RGB32, 0, nullptr), ResultOk);
    ASSERT_EQ(target.Create(4, 3, FMT_RGB32, CREATE_KEEP_DC, nullptr), ResultOk);
    uint8_t* rows = nullptr;
    int32_t pitch = 0;
    ASSERT_EQ(surface.Lock(&rows, &pitch), ResultOk);
    for (int i = 0; i < 12; ++i) {
        uint8_t* p = rows + i * 4;
        p[0] = uint8_t(i % 4 * 50), p[1] = uint8_t(i / 4 * 100), p[2] = 7;  // blue, green, red
    }
    surface.Unlock();

    HDC dc = ToNativeDC(surface.AcquireDC());
    EXPECT_EQ(GetPixel(dc, 0, 0), RGB(7, 0, 0));
    EXPECT_EQ(GetPixel(dc, 3, 2), RGB(7, 200, 150));
    EXPECT_TRUE(BitBlt(ToNativeDC(target.GetMemoryDC()), 0, 0, 4, 3, dc, 0, 0, SRCCOPY));
    surface.ReleaseDC();
    uint8_t* copied = nullptr;
    ASSERT_EQ(target.Lock(&copied, &pitch), ResultOk);  // flushes the drawing first
    EXPECT_EQ(std::memcmp(copied, rows, size_t(pitch) * 3), 0);
    target.Unlock();
}
#endif
