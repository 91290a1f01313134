#include "graphics/platform/dib_section.h"

#include <gtest/gtest.h>

#include <cstring>

#include "graphics/image/dib_header.h"
#include "graphics/platform/dib_section_format.h"

using namespace gfx;

namespace {

// A header built for `format`, with the height negated when `topDown`.
struct Header {
    uint8_t bytes[DIB_HEADER_BUFFER_BYTES] = {};
    uint32_t length = 0;

    Header(int32_t width, int32_t height, PixelFormat format, bool topDown = true) {
        length = BuildDibHeader(width, height, format, bytes, sizeof(bytes));
        if (topDown) SetHeight(-height);
    }
    void SetHeight(int32_t height) { std::memcpy(bytes + 8, &height, 4); }
    void Set32(size_t offset, uint32_t value) { std::memcpy(bytes + offset, &value, 4); }
    void Set16(size_t offset, uint16_t value) { std::memcpy(bytes + offset, &value, 2); }
};

}  // namespace

TEST(DibSectionFormat, AcceptsWhatThePlatformMakesAndNothingElse) {
    DibSectionFormat f;
    Header indexed(10, 3, FMT_INDEX4);
    ASSERT_TRUE(ReadDibSectionFormat(indexed.bytes, indexed.length, &f));
    EXPECT_TRUE(f.topDown);
    EXPECT_EQ(f.height, 3);
    EXPECT_EQ(f.pitch, 8u);
    EXPECT_EQ(f.tableEntries, 16u);
    EXPECT_EQ(f.tableBytes, 64u);
    EXPECT_EQ(f.imageBytes, 24u);
    // The table must be readable.
    EXPECT_FALSE(ReadDibSectionFormat(indexed.bytes, indexed.length - 1, &f));

    Header masks(5, 2, FMT_BGR565, /*topDown=*/false);
    ASSERT_TRUE(ReadDibSectionFormat(masks.bytes, masks.length, &f));
    EXPECT_FALSE(f.topDown);
    EXPECT_EQ(f.tableBytes, 12u);
    EXPECT_EQ(f.pitch, 12u);

    auto refused = [](Header h) {
        DibSectionFormat out;
        return !ReadDibSectionFormat(h.bytes, h.length, &out);
    };
    EXPECT_TRUE(refused(Header(8, 8, FMT_INDEX2)));
    Header wide(0, 4, FMT_RGB24);
    EXPECT_TRUE(refused(wide));
    Header flat(4, 4, FMT_RGB24);
    flat.SetHeight(0);
    EXPECT_TRUE(refused(flat));
    Header encoded(4, 4, FMT_INDEX8);
    encoded.Set32(16, COMPRESSION_TRLE);
    EXPECT_TRUE(refused(encoded));
    Header masked24(4, 4, FMT_RGB24);
    masked24.Set32(16, COMPRESSION_BITFIELDS);
    EXPECT_TRUE(refused(masked24));
    Header planes(4, 4, FMT_RGB24);
    planes.Set16(12, 2);
    EXPECT_TRUE(refused(planes));
    Header huge(65535, 65535, FMT_RGB32);
    EXPECT_TRUE(refused(huge));
    EXPECT_FALSE(ReadDibSectionFormat(nullptr, 100, &f));
}

TEST(DibSection, ColourTableIsReachedThroughTheSelectingContext) {
    Header header(4, 2, FMT_INDEX1);
    header.bytes[40] = 9;  // entry 0 blue
    void* bits = nullptr;
    BitmapHandle bitmap = CreateDibSection(nullptr, header.bytes, header.length, &bits);
    ASSERT_NE(bitmap, nullptr);
    ASSERT_NE(bits, nullptr);
    DibSectionInfo info;
    ASSERT_TRUE(DescribeDibSection(bitmap, &info));
    EXPECT_EQ(info.bits, bits);
    EXPECT_EQ(info.pitch, 4u);

    DeviceContextHandle dc = CreateMemoryDC(nullptr);
    ASSERT_NE(dc, nullptr);
    DibColor table[4] = {};
    // The stock bitmap has no colour table.
    EXPECT_EQ(GetDibColorTable(dc, 0, 2, table), 0u);
    BitmapHandle stock = SelectBitmap(dc, bitmap);
    ASSERT_NE(stock, nullptr);
    EXPECT_EQ(GetSelectedBitmap(dc), bitmap);
    ASSERT_EQ(GetDibColorTable(dc, 0, 4, table), 2u);  // cut at the end of the table
    EXPECT_EQ(table[0].blue, 9);

    const DibColor white{255, 255, 255, 0};
    EXPECT_EQ(SetDibColorTable(dc, 1, 5, &white), 1u);
    EXPECT_EQ(SetDibColorTable(dc, 2, 1, &white), 0u);
    ASSERT_EQ(GetDibColorTable(dc, 1, 1, table), 1u);
    EXPECT_EQ(table[0].red, 255);

    // A bitmap sits in one context at a time.
    DeviceContextHandle other = CreateMemoryDC(nullptr);
    ASSERT_NE(other, nullptr);
    EXPECT_EQ(SelectBitmap(other, bitmap), nullptr);
    EXPECT_EQ(SelectBitmap(dc, stock), bitmap);
    EXPECT_NE(SelectBitmap(other, bitmap), nullptr);
    // Deleting the context deselects the bitmap, which lives on.
    EXPECT_TRUE(DeleteMemoryDC(other));
    EXPECT_NE(SelectBitmap(dc, bitmap), nullptr);
    EXPECT_EQ(SelectBitmap(dc, stock), bitmap);
    EXPECT_TRUE(DeleteMemoryDC(dc));
    EXPECT_TRUE(DestroyBitmap(bitmap));
    EXPECT_FALSE(DestroyBitmap(nullptr));
}

TEST(DibSection, DirectColourSectionsHaveNoTable) {
    Header header(3, 3, FMT_RGB24);
    void* bits = nullptr;
    BitmapHandle bitmap = CreateDibSection(nullptr, header.bytes, header.length, &bits);
    ASSERT_NE(bitmap, nullptr);
    DeviceContextHandle dc = CreateMemoryDC(nullptr);
    ASSERT_NE(SelectBitmap(dc, bitmap), nullptr);
    const DibColor c{1, 2, 3, 0};
    EXPECT_EQ(SetDibColorTable(dc, 0, 1, &c), 0u);

    PaletteEntry entry{1, 2, 3, 0};
    PaletteHandle palette = CreatePaletteHandle(&entry, 1);
    ASSERT_NE(palette, nullptr);
    SelectDCPalette(dc, palette);
    EXPECT_EQ(GetSelectedPalette(dc), palette);
    EXPECT_TRUE(DeleteMemoryDC(dc));
    DestroyPaletteHandle(palette);
    EXPECT_TRUE(DestroyBitmap(bitmap));

    header.SetHeight(0);
    bits = &header;
    EXPECT_EQ(CreateDibSection(nullptr, header.bytes, header.length, &bits), nullptr);
    EXPECT_EQ(bits, nullptr);
}
