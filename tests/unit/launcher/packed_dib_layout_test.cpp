#include "launcher/core/packed_dib_layout.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

// A packed DIB with a 40-byte header, `colours` table entries (entry i = {b=i, g=2i, r=3i}) and
// uncompressed rows.
std::vector<uint8_t> MakeDib(int32_t width, int32_t height, uint16_t bitCount,
                             uint32_t headerSize = 40) {
    const uint32_t colours = bitCount <= 8 ? 1u << bitCount : 0;
    const uint32_t rowBytes = (static_cast<uint32_t>(width) * bitCount + 31) / 32 * 4;
    const uint32_t rows = static_cast<uint32_t>(height < 0 ? -height : height);
    std::vector<uint8_t> dib(headerSize + colours * 4 + rowBytes * rows, 0);
    auto put = [&](size_t offset, auto value) { std::memcpy(&dib[offset], &value, sizeof(value)); };
    put(0, headerSize);
    put(4, width);
    put(8, height);
    put(12, uint16_t{1});
    put(14, bitCount);
    for (uint32_t i = 0; i < colours; ++i) {
        dib[40 + i * 4] = static_cast<uint8_t>(i);
        dib[40 + i * 4 + 1] = static_cast<uint8_t>(2 * i);
        dib[40 + i * 4 + 2] = static_cast<uint8_t>(3 * i);
    }
    return dib;
}

TEST(PackedDibLayout, ColourCountAndRowOffsetFollowTheBitCount) {
    PackedDibLayout layout;
    auto eight = MakeDib(500, 420, 8);
    ASSERT_TRUE(DescribePackedDib(eight.data(), eight.size(), layout));
    EXPECT_EQ(layout.colours, 256u);
    EXPECT_EQ(layout.bitsOffset, 40u + 1024u);

    auto four = MakeDib(3, -2, 4);
    ASSERT_TRUE(DescribePackedDib(four.data(), four.size(), layout));
    EXPECT_EQ(layout.colours, 16u);

    // Above 8 bits per pixel there is no palette, whatever the header says about colours used.
    auto deep = MakeDib(5, 5, 24);
    std::memcpy(&deep[32], "\x10\0\0\0", 4);
    ASSERT_TRUE(DescribePackedDib(deep.data(), deep.size(), layout));
    EXPECT_EQ(layout.colours, 0u);
    EXPECT_EQ(layout.bitsOffset, 40u);
}

TEST(PackedDibLayout, ColoursAreReadFromOffsetFortyAsBlueGreenRed) {
    auto dib = MakeDib(2, 2, 8);
    const gfx::PaletteEntry colour = PackedDibColour(dib.data(), 5);
    EXPECT_EQ(colour.red, 15);
    EXPECT_EQ(colour.green, 10);
    EXPECT_EQ(colour.blue, 5);

    // A larger header moves the rows but not where the table is read.
    auto wide = MakeDib(2, 2, 8, 56);
    PackedDibLayout layout;
    ASSERT_TRUE(DescribePackedDib(wide.data(), wide.size(), layout));
    EXPECT_EQ(layout.bitsOffset, 56u + 1024u);
}

TEST(PackedDibLayout, RefusesBlocksThatDoNotHoldTheirParts) {
    PackedDibLayout layout;
    auto dib = MakeDib(7, 3, 8);
    EXPECT_FALSE(DescribePackedDib(nullptr, 100, layout));
    EXPECT_FALSE(DescribePackedDib(dib.data(), 39, layout)) << "short header";
    EXPECT_FALSE(DescribePackedDib(dib.data(), 40 + 1023, layout)) << "short colour table";
    EXPECT_FALSE(DescribePackedDib(dib.data(), dib.size() - 1, layout)) << "short rows";
    EXPECT_TRUE(DescribePackedDib(dib.data(), dib.size(), layout));

    auto badHeader = dib;
    std::memcpy(&badHeader[0], "\x0c\0\0\0", 4);
    EXPECT_FALSE(DescribePackedDib(badHeader.data(), badHeader.size(), layout));
    auto hugeHeader = dib;
    std::memcpy(&hugeHeader[0], "\xff\xff\xff\x7f", 4);
    EXPECT_FALSE(DescribePackedDib(hugeHeader.data(), hugeHeader.size(), layout));

    // Sizes whose products overflow 32 bits must not wrap into "fits".
    auto huge = MakeDib(1, 1, 8);
    std::memcpy(&huge[4], "\xff\xff\xff\x7f", 4);
    std::memcpy(&huge[8], "\xff\xff\xff\x7f", 4);
    EXPECT_FALSE(DescribePackedDib(huge.data(), huge.size(), layout));

    auto noWidth = MakeDib(1, 1, 8);
    std::memset(&noWidth[4], 0, 4);
    EXPECT_FALSE(DescribePackedDib(noWidth.data(), noWidth.size(), layout));
}

}  // namespace
