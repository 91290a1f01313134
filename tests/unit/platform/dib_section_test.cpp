#include "graphics/platform/dib_section.h"

#include <gtest/gtest.h>

#include <cstring>

#include "graphics/core/dib_header.h"
#include "graphics/platform/dib_section_format.h"

using namespace gfx;

TEST(DibSection, HeadersAreCheckedAlikeOnEveryPlatform) {
    uint8_t h[DIB_HEADER_BUFFER_BYTES];
    DibSectionFormat f;
    const uint32_t length = BuildDibHeader(10, 3, FMT_INDEX4, h, sizeof h);
    ASSERT_TRUE(ReadDibSectionFormat(h, length, &f));
    EXPECT_EQ(f.pitch * 100 + f.tableEntries, 816u);
    EXPECT_FALSE(ReadDibSectionFormat(h, length - 1, &f));  // the table must be readable
    h[16] = 'T';                                            // encoded
    EXPECT_FALSE(ReadDibSectionFormat(h, length, &f));
    ASSERT_NE(BuildDibHeader(65535, 65535, FMT_RGB32, h, sizeof h), 0u);
    EXPECT_FALSE(ReadDibSectionFormat(h, sizeof h, &f));  // far too large
}

TEST(DibSection, ColourTableIsReachedThroughTheOneSelectingContext) {
    uint8_t header[DIB_HEADER_BUFFER_BYTES];
    const uint32_t length = BuildDibHeader(4, 2, FMT_INDEX1, header, sizeof header);
    header[40] = 9;  // entry 0 blue
    void* bits = nullptr;
    BitmapHandle bitmap = CreateDibSection(nullptr, header, length, &bits);
    ASSERT_NE(bitmap, nullptr);
    DeviceContextHandle dc = CreateMemoryDC(nullptr);
    DeviceContextHandle other = CreateMemoryDC(nullptr);
    ASSERT_TRUE(dc && other);

    PaletteEntry table[4] = {};
    EXPECT_EQ(GetDibColorTable(dc, 0, 2, table), 0u);  // the stock bitmap has none
    BitmapHandle stock = SelectBitmap(dc, bitmap);
    ASSERT_NE(stock, nullptr);
    ASSERT_EQ(GetDibColorTable(dc, 0, 4, table), 2u);  // cut at the end of the table
    EXPECT_EQ(table[0].blue, 9);
    const PaletteEntry white{255, 255, 255, 0};
    EXPECT_EQ(SetDibColorTable(dc, 1, 5, &white), 1u);
    EXPECT_EQ(SetDibColorTable(dc, 2, 1, &white), 0u);
    ASSERT_EQ(GetDibColorTable(dc, 1, 1, table), 1u);
    EXPECT_EQ(table[0].red, 255);

    EXPECT_EQ(SelectBitmap(other, bitmap), nullptr);  // one context at a time
    EXPECT_EQ(SelectBitmap(dc, stock), bitmap);
    EXPECT_NE(SelectBitmap(other, bitmap), nullptr);
    EXPECT_TRUE(DeleteMemoryDC(other));  // deselects; the bitmap lives on
    EXPECT_NE(SelectBitmap(dc, bitmap), nullptr);
    EXPECT_EQ(SelectBitmap(dc, stock), bitmap);
    EXPECT_TRUE(DeleteMemoryDC(dc));
    EXPECT_TRUE(DestroyBitmap(bitmap));
}
