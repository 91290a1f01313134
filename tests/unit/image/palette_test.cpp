#include "graphics/image/palette.h"

#include <gtest/gtest.h>

#include "graphics/platform/palette_handle.h"

using namespace gfx;

namespace {

class CountedPalette : public Palette {
  public:
    static inline int destroyed = 0;
    ~CountedPalette() override { ++destroyed; }
};

PaletteEntry Colour(int i) { return PaletteEntry{uint8_t(i), uint8_t(2 * i), uint8_t(~i), 0}; }

bool Same(const PaletteEntry& a, const PaletteEntry& b) {
    return a.red == b.red && a.green == b.green && a.blue == b.blue && a.flags == b.flags;
}

}  // namespace

TEST(Palette, LastReleaseDestroysEvenAfterAFreeOfASharedPalette) {
    CountedPalette::destroyed = 0;
    auto* palette = new CountedPalette;
    ASSERT_EQ(palette->Create(16), ResultOk);
    EXPECT_EQ(palette->AddRef(), 2);
    palette->Free();  // keeps the references: the other holder still owns one
    EXPECT_EQ(palette->Release(), 1);
    EXPECT_EQ(CountedPalette::destroyed, 0);
    EXPECT_EQ(palette->Create(4), ResultOk);  // a freed palette may be made again
    EXPECT_EQ(palette->Release(), 0);
    EXPECT_EQ(CountedPalette::destroyed, 1);
}

TEST(Palette, CreatedOnceAndChangesCountedAndMirroredInThePlatformPalette) {
    Palette palette;
    const PaletteEntry colours[2] = {Colour(1), Colour(2)};
    EXPECT_EQ(palette.SetEntries(colours, 0, 2), ResultInvalid);  // not created
    EXPECT_EQ(palette.GetSerial(), 0);
    EXPECT_EQ(palette.Create(0), ResultInvalid);
    ASSERT_EQ(palette.Create(16), ResultOk);
    EXPECT_EQ(palette.Create(16), ResultNoImage);
    EXPECT_EQ(GetPaletteHandleSize(palette.GetHandle()), 16u);
    EXPECT_EQ(palette.SetEntries(nullptr, 0, 1), ResultUnsupported);
    ASSERT_EQ(palette.SetEntries(colours, 14, 2), ResultOk);
    ASSERT_EQ(palette.SetEntries(colours, 0, 1), ResultOk);
    EXPECT_EQ(palette.GetSerial(), 2);
    PaletteEntry mirrored[16];
    ASSERT_EQ(GetPaletteHandleEntries(palette.GetHandle(), 0, 16, mirrored), 16u);
    EXPECT_TRUE(Same(mirrored[0], colours[0]));
    EXPECT_TRUE(Same(mirrored[1], PaletteEntry{}));
    EXPECT_TRUE(Same(mirrored[15], colours[1]));
}

TEST(Palette, RangesMustLieInsideBothPalettes) {
    Palette big;
    Palette small;
    ASSERT_EQ(big.Create(16), ResultOk);
    ASSERT_EQ(small.Create(4), ResultOk);
    PaletteEntry colours[16];
    for (int i = 0; i < 16; ++i) colours[i] = Colour(i);
    ASSERT_EQ(big.SetEntries(colours, 0, 16), ResultOk);

    EXPECT_EQ(big.SetEntries(colours, 15, 2), ResultInvalid);
    EXPECT_EQ(big.SetEntries(colours, 0xFFFFFFFFu, 2), ResultInvalid);  // wraps in 32 bits
    EXPECT_EQ(big.GetEntries(colours, 1, 16), ResultInvalid);
    EXPECT_EQ(small.SetEntriesFrom(&big, 0, 8, 0), ResultInvalid);  // past the target
    EXPECT_EQ(big.SetEntriesFrom(&small, 0, 4, 1), ResultInvalid);  // past the source
    Palette empty;
    EXPECT_EQ(big.SetEntriesFrom(&empty, 0, 0, 0), ResultInvalid);
    EXPECT_EQ(big.GetSerial(), 1);

    ASSERT_EQ(small.SetEntriesFrom(&big, 1, 3, 12), ResultOk);
    PaletteEntry got[4];
    ASSERT_EQ(small.GetEntries(got, 0, 4), ResultOk);
    EXPECT_TRUE(Same(got[0], PaletteEntry{}));
    EXPECT_TRUE(Same(got[1], colours[12]));
    EXPECT_TRUE(Same(got[3], colours[14]));

    // Copying within one palette overlaps.
    ASSERT_EQ(big.SetEntriesFrom(&big, 2, 14, 0), ResultOk);
    ASSERT_EQ(big.GetEntries(got, 2, 4), ResultOk);
    for (int i = 0; i < 4; ++i) EXPECT_TRUE(Same(got[i], Colour(i))) << i;
}

TEST(Palette, CopyAndCloneAreIndependentEqualPalettes) {
    Palette source;
    ASSERT_EQ(source.Create(16), ResultOk);
    PaletteEntry colours[16];
    for (int i = 0; i < 16; ++i) colours[i] = Colour(40 + i);
    ASSERT_EQ(source.SetEntries(colours, 0, 16), ResultOk);

    Palette copy;
    Palette empty;
    EXPECT_EQ(copy.CopyFrom(nullptr), ResultUnsupported);
    EXPECT_EQ(copy.CopyFrom(&empty), ResultInvalid);
    ASSERT_EQ(copy.CopyFrom(&source), ResultOk);
    EXPECT_EQ(copy.GetSerial(), 1);
    EXPECT_NE(copy.GetHandle(), source.GetHandle());
    EXPECT_EQ(copy.CopyFrom(&source), ResultNoImage);

    Palette* clone = source.Clone();
    ASSERT_NE(clone, nullptr);
    const PaletteEntry changed = Colour(9);
    ASSERT_EQ(source.SetEntries(&changed, 0, 1), ResultOk);
    for (const Palette* p : {&copy, clone}) {
        PaletteEntry got[16];
        ASSERT_EQ(p->GetEntries(got, 0, 16), ResultOk);
        for (int i = 0; i < 16; ++i) EXPECT_TRUE(Same(got[i], colours[i])) << i;
    }
    clone->Release();

    Palette* emptyClone = empty.Clone();
    ASSERT_NE(emptyClone, nullptr);
    EXPECT_EQ(emptyClone->GetEntryCount(), 0u);
    emptyClone->Release();
}
