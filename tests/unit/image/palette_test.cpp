#include "graphics/image/palette.h"

#include <gtest/gtest.h>

#include <vector>

#include "graphics/platform/palette_handle.h"

using namespace gfx;

namespace {

// Counts destructions so that tests see when the last reference goes.
class CountedPalette : public Palette {
  public:
    static inline int destroyed = 0;
    ~CountedPalette() override { ++destroyed; }
};

std::vector<PaletteEntry> Ramp(uint32_t count, uint8_t base) {
    std::vector<PaletteEntry> entries(count);
    for (uint32_t i = 0; i < count; ++i) {
        entries[i] = PaletteEntry{uint8_t(base + i), uint8_t(i * 2), uint8_t(255 - i), 0};
    }
    return entries;
}

bool SameEntry(const PaletteEntry& a, const PaletteEntry& b) {
    return a.red == b.red && a.green == b.green && a.blue == b.blue && a.flags == b.flags;
}

}  // namespace

TEST(Palette, LastReleaseDestroysAndNotBefore) {
    CountedPalette::destroyed = 0;
    auto* palette = new CountedPalette;
    EXPECT_EQ(palette->GetRefCount(), 1);
    EXPECT_EQ(palette->AddRef(), 2);
    EXPECT_EQ(palette->Release(), 1);
    EXPECT_EQ(CountedPalette::destroyed, 0);
    EXPECT_EQ(palette->Release(), 0);
    EXPECT_EQ(CountedPalette::destroyed, 1);
}

TEST(Palette, FreeOfASharedPaletteKeepsItsReferences) {
    CountedPalette::destroyed = 0;
    auto* palette = new CountedPalette;
    ASSERT_EQ(palette->Create(16), ResultOk);
    palette->AddRef();  // a second holder
    palette->Free();
    EXPECT_EQ(palette->GetEntryCount(), 0u);
    EXPECT_EQ(palette->Release(), 1);
    EXPECT_EQ(CountedPalette::destroyed, 0);
    // Freed palettes may be created again.
    EXPECT_EQ(palette->Create(4), ResultOk);
    palette->Release();
    EXPECT_EQ(CountedPalette::destroyed, 1);
}

TEST(Palette, CreateMakesZeroedEntriesOnceMirroredInThePlatformPalette) {
    Palette palette;
    EXPECT_EQ(palette.GetHandle(), nullptr);
    ASSERT_EQ(palette.Create(256), ResultOk);
    ASSERT_NE(palette.GetHandle(), nullptr);
    EXPECT_EQ(GetPaletteHandleSize(palette.GetHandle()), 256u);

    std::vector<PaletteEntry> read(256, PaletteEntry{1, 2, 3, 4});
    ASSERT_EQ(palette.GetEntries(read.data(), 0, 256), ResultOk);
    for (const auto& entry : read) EXPECT_TRUE(SameEntry(entry, PaletteEntry{0, 0, 0, 0}));

    const PaletteHandle handle = palette.GetHandle();
    EXPECT_EQ(palette.Create(16), ResultNoImage);
    EXPECT_EQ(palette.GetEntryCount(), 256u);
    EXPECT_EQ(palette.GetHandle(), handle);

    Palette none;
    EXPECT_EQ(none.Create(0), ResultInvalid);
    EXPECT_EQ(none.Create(kMaxPaletteHandleEntries + 1), ResultInvalid);
    EXPECT_EQ(none.GetEntryCount(), 0u);
}

TEST(Palette, SetEntriesCountsChangesAndUpdatesThePlatformPalette) {
    Palette palette;
    const auto colours = Ramp(8, 10);
    EXPECT_EQ(palette.SetEntries(colours.data(), 0, 8), ResultInvalid);
    EXPECT_EQ(palette.GetSerial(), 0);

    ASSERT_EQ(palette.Create(16), ResultOk);
    EXPECT_EQ(palette.SetEntries(nullptr, 0, 1), ResultUnsupported);
    ASSERT_EQ(palette.SetEntries(colours.data(), 8, 8), ResultOk);
    EXPECT_EQ(palette.GetSerial(), 1);
    ASSERT_EQ(palette.SetEntries(colours.data(), 0, 2), ResultOk);
    EXPECT_EQ(palette.GetSerial(), 2);

    PaletteEntry mirrored[16];
    ASSERT_EQ(GetPaletteHandleEntries(palette.GetHandle(), 0, 16, mirrored), 16u);
    EXPECT_TRUE(SameEntry(mirrored[1], colours[1]));
    EXPECT_TRUE(SameEntry(mirrored[2], PaletteEntry{0, 0, 0, 0}));
    EXPECT_TRUE(SameEntry(mirrored[15], colours[7]));
}

TEST(Palette, RangesOutsideEitherPaletteAreRefusedAndChangeNothing) {
    Palette palette;
    ASSERT_EQ(palette.Create(16), ResultOk);
    const auto colours = Ramp(16, 1);
    ASSERT_EQ(palette.SetEntries(colours.data(), 0, 16), ResultOk);
    const int32_t serial = palette.GetSerial();

    EXPECT_EQ(palette.SetEntries(colours.data(), 15, 2), ResultInvalid);
    EXPECT_EQ(palette.SetEntries(colours.data(), 0xFFFFFFFFu, 2), ResultInvalid);
    EXPECT_EQ(palette.SetEntries(colours.data(), 1, 0xFFFFFFFFu), ResultInvalid);
    EXPECT_EQ(palette.GetSerial(), serial);

    PaletteEntry out[17];
    EXPECT_EQ(palette.GetEntries(out, 0, 17), ResultInvalid);
    EXPECT_EQ(palette.GetEntries(out, 16, 1), ResultInvalid);
    EXPECT_EQ(palette.GetEntries(nullptr, 0, 1), ResultUnsupported);
    EXPECT_EQ(palette.GetEntries(out, 16, 0), ResultOk);

    Palette small;
    ASSERT_EQ(small.Create(4), ResultOk);
    EXPECT_EQ(small.SetEntriesFrom(&palette, 0, 8, 0), ResultInvalid);  // past the target
    EXPECT_EQ(palette.SetEntriesFrom(&small, 0, 4, 1), ResultInvalid);  // past the source
    EXPECT_EQ(palette.SetEntriesFrom(nullptr, 0, 1, 0), ResultUnsupported);
    Palette empty;
    EXPECT_EQ(palette.SetEntriesFrom(&empty, 0, 0, 0), ResultInvalid);
    EXPECT_EQ(palette.GetSerial(), serial);

    ASSERT_EQ(small.SetEntriesFrom(&palette, 1, 3, 12), ResultOk);
    PaletteEntry got[4];
    ASSERT_EQ(small.GetEntries(got, 0, 4), ResultOk);
    EXPECT_TRUE(SameEntry(got[0], PaletteEntry{0, 0, 0, 0}));
    EXPECT_TRUE(SameEntry(got[1], colours[12]));
    EXPECT_TRUE(SameEntry(got[3], colours[14]));
}

TEST(Palette, SetEntriesFromItselfHandlesOverlap) {
    Palette palette;
    ASSERT_EQ(palette.Create(8), ResultOk);
    const auto colours = Ramp(8, 0);
    ASSERT_EQ(palette.SetEntries(colours.data(), 0, 8), ResultOk);
    ASSERT_EQ(palette.SetEntriesFrom(&palette, 2, 6, 0), ResultOk);
    PaletteEntry got[8];
    ASSERT_EQ(palette.GetEntries(got, 0, 8), ResultOk);
    for (int i = 0; i < 6; ++i) EXPECT_TRUE(SameEntry(got[i + 2], colours[i])) << i;
}

TEST(Palette, CopyAndCloneMakeAnIndependentEqualPalette) {
    Palette source;
    ASSERT_EQ(source.Create(16), ResultOk);
    const auto colours = Ramp(16, 40);
    ASSERT_EQ(source.SetEntries(colours.data(), 0, 16), ResultOk);

    Palette copy;
    EXPECT_EQ(copy.CopyFrom(nullptr), ResultUnsupported);
    ASSERT_EQ(copy.CopyFrom(&source), ResultOk);
    EXPECT_EQ(copy.GetEntryCount(), 16u);
    EXPECT_EQ(copy.GetSerial(), 1);
    EXPECT_NE(copy.GetHandle(), nullptr);
    EXPECT_NE(copy.GetHandle(), source.GetHandle());
    EXPECT_EQ(copy.CopyFrom(&source), ResultNoImage);

    Palette* clone = source.Clone();
    ASSERT_NE(clone, nullptr);
    EXPECT_EQ(clone->GetRefCount(), 1);
    PaletteEntry changed{9, 9, 9, 0};
    ASSERT_EQ(source.SetEntries(&changed, 0, 1), ResultOk);
    for (const Palette* p :
         {static_cast<const Palette*>(&copy), static_cast<const Palette*>(clone)}) {
        PaletteEntry got[16];
        ASSERT_EQ(p->GetEntries(got, 0, 16), ResultOk);
        for (int i = 0; i < 16; ++i) EXPECT_TRUE(SameEntry(got[i], colours[i])) << i;
    }
    clone->Release();

    Palette empty;
    EXPECT_EQ(copy.CopyFrom(&empty), ResultInvalid);
    Palette* emptyClone = empty.Clone();
    ASSERT_NE(emptyClone, nullptr);
    EXPECT_EQ(emptyClone->GetEntryCount(), 0u);
    emptyClone->Release();
}
