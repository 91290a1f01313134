#include "graphics/image/dib_surface.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "graphics/platform/dib_section.h"
#include "tests/unit/image/buffer_surface.h"

#ifdef _WIN32
#include "graphics/platform/win32/native_drawing_handles.h"
#endif

using namespace gfx;

namespace {

// A palette whose entry i is (i, 255 - i, i * 7) with one reference held by the test.
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

// The colour table of the DIB section selected in `dc`.
std::vector<DibColor> ReadTable(DeviceContextHandle dc, uint32_t count) {
    std::vector<DibColor> table(count);
    table.resize(GetDibColorTable(dc, 0, count, table.data()));
    return table;
}

void ExpectTableMatches(DeviceContextHandle dc, const Palette& palette) {
    const uint32_t count = palette.GetEntryCount();
    const std::vector<DibColor> table = ReadTable(dc, count);
    ASSERT_EQ(table.size(), count);
    for (uint32_t i = 0; i < count; ++i) {
        const PaletteEntry& e = palette.GetEntryData()[i];
        EXPECT_EQ(table[i].red, e.red) << i;
        EXPECT_EQ(table[i].green, e.green) << i;
        EXPECT_EQ(table[i].blue, e.blue) << i;
        EXPECT_EQ(table[i].reserved, 0) << i;
    }
}

void ExpectEmpty(const DibSurface& surface) {
    EXPECT_EQ(surface.GetFormat(), 0u);
    EXPECT_EQ(surface.GetWidth(), 0);
    EXPECT_EQ(surface.GetHeight(), 0);
    EXPECT_EQ(surface.GetBitmap(), nullptr);
    EXPECT_EQ(surface.GetMemoryDC(), nullptr);
    EXPECT_EQ(surface.GetBits(), nullptr);
    EXPECT_EQ(surface.GetAccessCount(), 0);
    EXPECT_EQ(surface.GetAccessPointer(), nullptr);
    EXPECT_EQ(surface.GetPalette(), nullptr);
}

constexpr PixelFormat kCreatable[] = {FMT_INDEX1, FMT_INDEX4, FMT_INDEX8, FMT_RGB555, FMT_BGR555,
                                      FMT_RGB565, FMT_BGR565, FMT_RGB24,  FMT_RGB32};

}  // namespace

TEST(DibSurface, CreateMakesZeroedTopDownSectionOfEachFormat) {
    for (PixelFormat format : kCreatable) {
        SCOPED_TRACE(testing::Message() << std::hex << format);
        DibSurface surface;
        ASSERT_EQ(surface.Create(13, 5, format, 0, nullptr), ResultOk);
        EXPECT_EQ(surface.GetKind(), KIND_DIB);
        EXPECT_EQ(surface.IsBottomUp(), 0);
        EXPECT_EQ(surface.GetFormat(), format);
        EXPECT_EQ(surface.GetWidth(), 13);
        EXPECT_EQ(surface.GetHeight(), 5);
        EXPECT_EQ(surface.GetMemoryDC(), nullptr);

        DibSectionInfo info;
        ASSERT_TRUE(DescribeDibSection(surface.GetBitmap(), &info));
        EXPECT_EQ(info.width, 13);
        EXPECT_EQ(info.height, 5);
        EXPECT_EQ(info.bitCount, BitsPerPixel(format));
        EXPECT_EQ(info.pitch, RowBytes(format, 13));

        uint8_t* rows = nullptr;
        int32_t pitch = 0;
        ASSERT_EQ(surface.Lock(&rows, &pitch), ResultOk);
        EXPECT_EQ(rows, info.bits);
        EXPECT_EQ(uint32_t(pitch), RowBytes(format, 13));
        EXPECT_EQ(surface.GetAccessPitch(), pitch);
        const std::vector<uint8_t> zeros(size_t(pitch) * 5, 0);
        EXPECT_EQ(std::memcmp(rows, zeros.data(), zeros.size()), 0);
        surface.Unlock();

        if (IsIndexedFormat(format)) {
            DeviceContextHandle dc = surface.AcquireDC();
            ASSERT_NE(dc, nullptr);
            const uint32_t entries = 1u << BitsPerPixel(format);
            const std::vector<DibColor> table = ReadTable(dc, 256);
            ASSERT_EQ(table.size(), entries);
            for (const DibColor& c : table) {
                EXPECT_EQ(c.red | c.green | c.blue | c.reserved, 0);
            }
            surface.ReleaseDC();
        }
    }
}

TEST(DibSurface, CreateGivesRowPitchOfTheFormat) {
    DibSurface surface;
    ASSERT_EQ(surface.Create(100, 50, FMT_RGB24, 0, nullptr), ResultOk);
    uint8_t* rows = nullptr;
    int32_t pitch = 0;
    ASSERT_EQ(surface.Lock(&rows, &pitch), ResultOk);
    EXPECT_EQ(pitch, 300);
    surface.Unlock();
    // The widest RGB32 row that fits the 16-bit pitch.
    ASSERT_EQ(surface.Create(16383, 1, FMT_RGB32, 0, nullptr), ResultOk);
    ASSERT_EQ(surface.Lock(&rows, &pitch), ResultOk);
    EXPECT_EQ(pitch, 65532);
    surface.Unlock();
}

TEST(DibSurface, CreateRefusalsLeaveTheSurfaceEmpty) {
    struct Case {
        int32_t width, height;
        PixelFormat format;
    };
    const Case refused[] = {
        {16384, 1, FMT_RGB32},  // padded row beyond 65532 bytes
        {4, 4, 0x12345678},     // unknown format
        {4, 4, 0},
        {-1, 4, FMT_RGB24},
        {4, 70000, FMT_RGB24},
        {0, 4, FMT_RGB24},  // the platform makes no empty section
        {4, 0, FMT_INDEX8},
        {8, 8, FMT_INDEX2},  // no 2-bit DIB sections on the platform
    };
    for (const Case& c : refused) {
        SCOPED_TRACE(testing::Message()
                     << c.width << "x" << c.height << " " << std::hex << c.format);
        for (uint32_t flags : {0u, CREATE_KEEP_DC}) {
            DibSurface surface;
            ASSERT_EQ(surface.Create(8, 8, FMT_INDEX8, CREATE_KEEP_DC, nullptr), ResultOk);
            Palette* palette = MakePalette(256);
            ASSERT_EQ(surface.SetPalette(palette), ResultOk);
            EXPECT_EQ(surface.Create(c.width, c.height, c.format, flags, nullptr), ResultInvalid);
            ExpectEmpty(surface);
            EXPECT_EQ(palette->GetRefCount(), 1);
            palette->Release();
        }
    }
}

TEST(DibSurface, CreateFlagsDecideWhetherTheContextIsKept) {
    DibSurface plain;
    ASSERT_EQ(plain.Create(4, 4, FMT_RGB24, 0, nullptr), ResultOk);
    EXPECT_EQ(plain.GetMemoryDC(), nullptr);
    EXPECT_EQ(plain.GetKeepDC(), 0u);

    DeviceContextHandle reference = CreateMemoryDC(nullptr);
    ASSERT_NE(reference, nullptr);
    for (uint32_t flags :
         {CREATE_KEEP_DC, CREATE_REFERENCE_DC, CREATE_KEEP_DC | CREATE_REFERENCE_DC}) {
        DibSurface kept;
        ASSERT_EQ(kept.Create(4, 4, FMT_RGB24, flags, reference), ResultOk);
        EXPECT_EQ(kept.GetKeepDC(), 1u);
        ASSERT_NE(kept.GetMemoryDC(), nullptr);
        EXPECT_NE(kept.GetMemoryDC(), reference);
        EXPECT_EQ(GetSelectedBitmap(kept.GetMemoryDC()), kept.GetBitmap());
        // Idle: the kept context is not "handed out".
        EXPECT_EQ(kept.GetAccessCount(), 0);
        EXPECT_EQ(kept.GetAccessPointer(), nullptr);
    }
    EXPECT_TRUE(DeleteMemoryDC(reference));
}

TEST(DibSurface, ContextLivesFromOutermostAcquireToItsRelease) {
    DibSurface surface;
    ASSERT_EQ(surface.Create(6, 3, FMT_RGB32, 0, nullptr), ResultOk);
    DeviceContextHandle first = surface.AcquireDC();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(GetSelectedBitmap(first), surface.GetBitmap());
    EXPECT_EQ(surface.GetAccessPointer(), first);
    EXPECT_EQ(surface.GetAccessPitch(), 0);
    EXPECT_EQ(surface.AcquireDC(), first);
    EXPECT_EQ(surface.GetAccessCount(), 2);

    surface.ReleaseDC();
    EXPECT_EQ(surface.GetAccessCount(), 1);
    EXPECT_EQ(surface.GetMemoryDC(), first);
    EXPECT_EQ(GetSelectedBitmap(first), surface.GetBitmap());

    surface.ReleaseDC();
    EXPECT_EQ(surface.GetAccessCount(), 0);
    EXPECT_EQ(surface.GetMemoryDC(), nullptr);
    EXPECT_EQ(surface.GetAccessPointer(), nullptr);
    surface.ReleaseDC();  // unmatched: nothing
    EXPECT_EQ(surface.GetAccessCount(), 0);

    // The bitmap was given back by the deleted context: a new one can take it.
    DeviceContextHandle again = surface.AcquireDC();
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(GetSelectedBitmap(again), surface.GetBitmap());
    surface.ReleaseDC();
}

TEST(DibSurface, KeptContextOutlivesItsReleases) {
    DibSurface surface;
    ASSERT_EQ(surface.Create(6, 3, FMT_RGB24, CREATE_KEEP_DC, nullptr), ResultOk);
    DeviceContextHandle kept = surface.GetMemoryDC();
    EXPECT_EQ(surface.AcquireDC(), kept);
    EXPECT_EQ(surface.AcquireDC(), kept);
    EXPECT_EQ(surface.GetAccessPointer(), kept);
    surface.ReleaseDC();
    surface.ReleaseDC();
    EXPECT_EQ(surface.GetAccessCount(), 0);
    EXPECT_EQ(surface.GetMemoryDC(), kept);
    EXPECT_EQ(GetSelectedBitmap(kept), surface.GetBitmap());
    EXPECT_EQ(surface.AcquireDC(), kept);
    surface.ReleaseDC();
}

TEST(DibSurface, LockAndContextExcludeEachOtherAndNest) {
    for (uint32_t flags : {0u, CREATE_KEEP_DC}) {
        DibSurface surface;
        ASSERT_EQ(surface.Create(7, 4, FMT_RGB565, flags, nullptr), ResultOk);
        uint8_t* a = nullptr;
        uint8_t* b = nullptr;
        int32_t pa = 0, pb = 0;

        ASSERT_EQ(surface.Lock(&a, &pa), ResultOk);
        ASSERT_EQ(surface.Lock(&b, &pb), ResultOk);
        EXPECT_EQ(a, b);
        EXPECT_EQ(pa, pb);
        EXPECT_EQ(surface.GetAccessCount(), 2);
        EXPECT_EQ(surface.AcquireDC(), nullptr);
        surface.ReleaseDC();  // no context out: nothing
        EXPECT_EQ(surface.GetAccessCount(), 2);
        surface.Unlock();
        EXPECT_EQ(surface.GetAccessPointer(), a);
        surface.Unlock();
        EXPECT_EQ(surface.GetAccessCount(), 0);
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
    enum State { Idle, LockedTwice, ContextOutTwice };
    for (uint32_t flags : {0u, CREATE_KEEP_DC}) {
        for (State state : {Idle, LockedTwice, ContextOutTwice}) {
            SCOPED_TRACE(testing::Message() << flags << " " << state);
            DibSurface surface;
            ASSERT_EQ(surface.Create(9, 9, FMT_INDEX8, flags, nullptr), ResultOk);
            Palette* palette = MakePalette(256);
            ASSERT_EQ(surface.SetPalette(palette), ResultOk);
            ClipRegion* region = surface.NewRegion();
            ASSERT_EQ(surface.SetRegion(region), ResultOk);
            for (int i = 0; i < 2 && state != Idle; ++i) {
                uint8_t* rows = nullptr;
                int32_t pitch = 0;
                if (state == LockedTwice) {
                    ASSERT_EQ(surface.Lock(&rows, &pitch), ResultOk);
                } else {
                    ASSERT_NE(surface.AcquireDC(), nullptr);
                }
            }
            EXPECT_EQ(surface.Free(), ResultOk);
            ExpectEmpty(surface);
            EXPECT_EQ(surface.GetRegion(), nullptr);
            EXPECT_EQ(palette->GetRefCount(), 1);
            EXPECT_EQ(region->GetRefCount(), 1);
            palette->Release();
            region->Release();
            // Still usable afterwards.
            EXPECT_EQ(surface.Create(2, 2, FMT_RGB24, flags, nullptr), ResultOk);
        }
    }
    // Destruction with a context and locks outstanding gives everything back too (the
    // sanitizer build sees a leak otherwise).
    auto* surface = new DibSurface;
    ASSERT_EQ(surface->Create(3, 3, FMT_RGB32, 0, nullptr), ResultOk);
    ASSERT_NE(surface->AcquireDC(), nullptr);
    EXPECT_EQ(surface->Release(), 0);
}

TEST(DibSurface, PaletteReachesColourTableAtNextContext) {
    DibSurface surface;
    ASSERT_EQ(surface.Create(16, 4, FMT_INDEX8, 0, nullptr), ResultOk);
    Palette* palette = MakePalette(256);
    ASSERT_EQ(surface.SetPalette(palette), ResultOk);
    EXPECT_EQ(surface.GetPalette(), palette);
    EXPECT_EQ(palette->GetRefCount(), 2);
    // No context existed to write through, but the serial was taken.
    EXPECT_EQ(surface.GetPaletteSerialSeen(), palette->GetSerial());

    DeviceContextHandle dc = surface.AcquireDC();
    ASSERT_NE(dc, nullptr);
    ExpectTableMatches(dc, *palette);
    surface.ReleaseDC();

    // A change made while no context exists shows in the next one.
    const PaletteEntry red{200, 10, 20, 0};
    ASSERT_EQ(palette->SetEntries(&red, 3, 1), ResultOk);
    dc = surface.AcquireDC();
    ExpectTableMatches(dc, *palette);
    surface.ReleaseDC();
    palette->Release();
    EXPECT_EQ(surface.GetPalette()->GetRefCount(), 1);
}

TEST(DibSurface, KeptContextFollowsPaletteChanges) {
    DibSurface surface;
    ASSERT_EQ(surface.Create(5, 5, FMT_INDEX4, CREATE_KEEP_DC, nullptr), ResultOk);
    Palette* palette = MakePalette(16);
    ASSERT_EQ(surface.SetPalette(palette), ResultOk);
    ExpectTableMatches(surface.GetMemoryDC(), *palette);  // written at once

    const PaletteEntry blue{1, 2, 250, 0};
    ASSERT_EQ(palette->SetEntries(&blue, 15, 1), ResultOk);
    EXPECT_NE(surface.GetPaletteSerialSeen(), palette->GetSerial());
    uint8_t* rows = nullptr;
    int32_t pitch = 0;
    ASSERT_EQ(surface.Lock(&rows, &pitch), ResultOk);
    surface.Unlock();
    EXPECT_EQ(surface.GetPaletteSerialSeen(), palette->GetSerial());
    ExpectTableMatches(surface.GetMemoryDC(), *palette);

    // Handing the kept context out picks up a change too.
    const PaletteEntry green{3, 240, 4, 0};
    ASSERT_EQ(palette->SetEntries(&green, 0, 1), ResultOk);
    DeviceContextHandle dc = surface.AcquireDC();
    ExpectTableMatches(dc, *palette);
    surface.ReleaseDC();

    // Another palette of the same size replaces the colours.
    Palette* other = MakePalette(16, 100);
    ASSERT_EQ(surface.SetPalette(other), ResultOk);
    EXPECT_EQ(palette->GetRefCount(), 1);
    ExpectTableMatches(surface.GetMemoryDC(), *other);
    other->Release();
    palette->Release();
}

TEST(DibSurface, SetPaletteChecksSizeAndFormat) {
    Palette* p2 = MakePalette(2);
    Palette* p16 = MakePalette(16);
    Palette* p256 = MakePalette(256);
    Palette* none = new Palette;

    DibSurface empty;
    EXPECT_EQ(empty.SetPalette(p2), ResultNoImage);

    DibSurface indexed8;
    ASSERT_EQ(indexed8.Create(4, 4, FMT_INDEX8, 0, nullptr), ResultOk);
    EXPECT_EQ(indexed8.SetPalette(p16), ResultPaletteMismatch);
    EXPECT_EQ(indexed8.SetPalette(none), ResultEmptyPalette);
    EXPECT_EQ(indexed8.GetPalette(), nullptr);
    EXPECT_EQ(indexed8.SetPalette(p256), ResultOk);
    // Attaching the palette already held keeps it alive.
    EXPECT_EQ(indexed8.SetPalette(p256), ResultOk);
    EXPECT_EQ(p256->GetRefCount(), 2);
    EXPECT_EQ(indexed8.SetPalette(nullptr), ResultOk);
    EXPECT_EQ(p256->GetRefCount(), 1);

    DibSurface indexed1;
    ASSERT_EQ(indexed1.Create(9, 2, FMT_INDEX1, CREATE_KEEP_DC, nullptr), ResultOk);
    EXPECT_EQ(indexed1.SetPalette(p2), ResultOk);
    ExpectTableMatches(indexed1.GetMemoryDC(), *p2);

    DibSurface direct;
    ASSERT_EQ(direct.Create(4, 4, FMT_RGB24, 0, nullptr), ResultOk);
    EXPECT_EQ(direct.SetPalette(p256), ResultPaletteMismatch);
    EXPECT_EQ(direct.SetPalette(none), ResultEmptyPalette);
    EXPECT_EQ(direct.GetPalette(), nullptr);

    for (Palette* p : {p2, p16, p256, none}) p->Release();
}

TEST(DibSurface, CopyFromTurnsBottomUpRowsUpright) {
    BufferSurface source(/*bottomUp=*/true);
    ASSERT_EQ(source.Create(3, 4, FMT_INDEX8, 0, nullptr), ResultOk);
    for (int y = 0; y < 4; ++y) std::memset(source.Row(y), 10 + y, 3);
    Palette* palette = MakePalette(256);
    ASSERT_EQ(source.SetPalette(palette), ResultOk);
    palette->Release();

    DibSurface target;
    ASSERT_EQ(target.CopyFrom(&source), ResultOk);
    EXPECT_EQ(target.GetKind(), KIND_DIB);
    uint8_t* rows = nullptr;
    int32_t pitch = 0;
    ASSERT_EQ(target.Lock(&rows, &pitch), ResultOk);
    for (int y = 0; y < 4; ++y) EXPECT_EQ(rows[y * pitch], 10 + (3 - y)) << y;
    target.Unlock();
    // The copied palette reaches the section's colour table.
    ASSERT_NE(target.GetPalette(), nullptr);
    DeviceContextHandle dc = target.AcquireDC();
    ExpectTableMatches(dc, *source.GetPalette());
    target.ReleaseDC();
}

TEST(DibSurface, NewSurfaceAndTouchPages) {
    DibSurface surface;
    Surface* fresh = surface.NewSurface();
    ASSERT_NE(fresh, nullptr);
    EXPECT_EQ(fresh->GetKind(), KIND_DIB);
    EXPECT_EQ(fresh->GetFormat(), 0u);
    fresh->TouchPages();  // empty: nothing to touch
    EXPECT_EQ(fresh->Release(), 0);

    ASSERT_EQ(surface.Create(512, 512, FMT_RGB32, 0, nullptr), ResultOk);
    surface.TouchPages();
    uint8_t* rows = nullptr;
    int32_t pitch = 0;
    ASSERT_EQ(surface.Lock(&rows, &pitch), ResultOk);
    EXPECT_EQ(rows[size_t(pitch) * 511 + 2047], 0);  // read only
    surface.Unlock();
}

TEST(DibSurface, LoadIsRefusedUntilTheLoaderIsWired) {
    DibSurface surface;
    ASSERT_EQ(surface.Create(2, 2, FMT_RGB24, 0, nullptr), ResultOk);
    EXPECT_NE(surface.Load("missing.bmp", 0, nullptr, nullptr, nullptr, 0, nullptr), ResultOk);
    ExpectEmpty(surface);
}

#ifdef _WIN32
// What the launcher does: draw the surface through its context with BitBlt. Memory row 0 is the
// top line of the picture.
TEST(DibSurface, ContextDrawsTheRowsTopDown) {
    DibSurface surface;
    ASSERT_EQ(surface.Create(4, 3, FMT_RGB32, 0, nullptr), ResultOk);
    uint8_t* rows = nullptr;
    int32_t pitch = 0;
    ASSERT_EQ(surface.Lock(&rows, &pitch), ResultOk);
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 4; ++x) {
            uint8_t* p = rows + y * pitch + x * 4;
            p[0] = uint8_t(x * 50);   // blue
            p[1] = uint8_t(y * 100);  // green
            p[2] = 7;                 // red
        }
    }
    surface.Unlock();

    HDC dc = ToNativeDC(surface.AcquireDC());
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(GetPixel(dc, 0, 0), RGB(7, 0, 0));
    EXPECT_EQ(GetPixel(dc, 3, 2), RGB(7, 200, 150));

    DibSurface target;
    ASSERT_EQ(target.Create(4, 3, FMT_RGB32, CREATE_KEEP_DC, nullptr), ResultOk);
    EXPECT_TRUE(BitBlt(ToNativeDC(target.GetMemoryDC()), 0, 0, 4, 3, dc, 0, 0, SRCCOPY));
    surface.ReleaseDC();
    uint8_t* copied = nullptr;
    ASSERT_EQ(target.Lock(&copied, &pitch), ResultOk);  // flushes the drawing first
    EXPECT_EQ(std::memcmp(copied, rows, size_t(pitch) * 3), 0);
    target.Unlock();
}
#endif
