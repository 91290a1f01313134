#include "graphics/core/dib_header.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

using namespace gfx;

namespace {

DibHeader Plain(int32_t width, int32_t height, uint16_t bits, uint32_t compression = 0,
                uint32_t sizeImage = 0, uint32_t coloursUsed = 0) {
    return DibHeader{40, width, height, 1, bits, compression, sizeImage, 0, 0, coloursUsed, 0};
}

uint32_t Word(const uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | uint32_t(p[3]) << 24; }

// A stored header followed by masks, the green one given.
std::vector<uint8_t> Stored(const DibHeader& h, uint32_t green = 0) {
    std::vector<uint8_t> bytes(52);
    WriteDibHeader(h, bytes.data());
    for (int i = 0; i < 4; ++i) bytes[44 + i] = uint8_t(green >> (8 * i));
    return bytes;
}

}  // namespace

TEST(DibHeader, StoredFieldsAreLittleEndianAtAnyAlignment) {
    uint8_t bytes[41] = {};
    WriteDibHeader(Plain(-2, 0x01020304, 24, COMPRESSION_PKC1, 0, 0xA0B0C0D0), bytes + 1);
    EXPECT_EQ(Word(bytes + 5), 0xFFFFFFFEu);
    EXPECT_EQ(bytes[9], 0x04);
    EXPECT_EQ(std::memcmp(bytes + 17, "PKC1", 4), 0);
    DibHeader back{};
    EXPECT_FALSE(ReadDibHeader(bytes + 1, 39, &back));
    ASSERT_TRUE(ReadDibHeader(bytes + 1, 40, &back));
    EXPECT_EQ(back.biHeight, 0x01020304);
    EXPECT_EQ(back.biClrUsed, 0xA0B0C0D0u);
}

TEST(DibHeader, SizesOfValidAndUnusableHeaders) {
    EXPECT_EQ(DibHeaderSize(Plain(1, 1, 8, 0, 0, 16)), 104u);
    EXPECT_EQ(DibHeaderSize(Plain(1, 1, 16, COMPRESSION_PKC2)), 52u);
    EXPECT_EQ(DibImageSize(Plain(33, 2, 1)), 16u);
    EXPECT_EQ(PackedDibSize(Plain(100, 50, 24, COMPRESSION_ARLE, 1234)), 1274u);
    EXPECT_EQ(PackedDibSize(Plain(0, 0, 32)), 40u);
    const auto stored = Stored(Plain(3, 2, 8));
    EXPECT_EQ(PackedDibSize(stored.data(), stored.size()), 1072u);

    EXPECT_EQ(PackedDibSize(stored.data(), 39), 0u);
    EXPECT_EQ(PackedDibSize(nullptr, 100), 0u);
    DibHeader wrongSize = Plain(3, 2, 8);
    wrongSize.biSize = 108;
    EXPECT_EQ(PackedDibSize(wrongSize), 0u);
    for (uint16_t bits : {0, 3, 12, 48, 0xFFFF}) {
        EXPECT_EQ(DibHeaderSize(Plain(4, 4, bits)), 0u) << bits;
        EXPECT_EQ(DibImageSize(Plain(4, 4, bits)), 0u) << bits;
    }
    EXPECT_EQ(PackedDibSize(Plain(4, -4, 8)), 0u);  // top-down
    EXPECT_EQ(PackedDibSize(Plain(-4, 4, 8)), 0u);
    EXPECT_EQ(PackedDibSize(Plain(4, -4, 8, COMPRESSION_TRLE, 10)), 0u);
    // Sizes past 32 bits.
    EXPECT_EQ(PackedDibSize(Plain(65536, 65536, 8)), 0u);
    EXPECT_EQ(PackedDibSize(Plain(1, 1, 8, 0, 0, 0x40000000)), 0u);
    EXPECT_EQ(PackedDibSize(Plain(1, 1, 8, COMPRESSION_PKC1, 0xFFFFFFF0)), 0u);
}

TEST(DibHeader, FormatFromHeaderReadsOnlyWhatItIsGiven) {
    EXPECT_EQ(FormatFromHeader(Stored(Plain(2, 2, 4)).data(), 40), FMT_INDEX4);
    EXPECT_EQ(FormatFromHeader(Stored(Plain(2, 2, 16)).data(), 40), FMT_RGB555);
    EXPECT_EQ(FormatFromHeader(Stored(Plain(2, 2, 15)).data(), 40), 0u);
    EXPECT_EQ(FormatFromHeader(Stored(Plain(2, -2, 24)).data(), 40), 0u);
    // The green mask alone tells the two 16-bit families apart, and must lie within the length.
    EXPECT_EQ(FormatFromHeader(Stored(Plain(2, 2, 16, 3), 0x3E0).data(), 52), FMT_RGB555);
    const auto rgb565 = Stored(Plain(2, 2, 16, COMPRESSION_BITFIELDS), 0x7E0);
    EXPECT_EQ(FormatFromHeader(rgb565.data(), 48), FMT_RGB565);
    EXPECT_EQ(FormatFromHeader(rgb565.data(), 47), 0u);
    const auto pkc1 = Stored(Plain(2, 2, 16, COMPRESSION_PKC1), 0x7E0);
    EXPECT_EQ(FormatFromHeader(pkc1.data(), 40), FMT_RGB555);
}

TEST(DibHeader, BuiltHeadersReadBackAsTheirFormat) {
    struct Case {
        PixelFormat format, readBack;
        uint32_t length, green;
    } cases[] = {
        {FMT_RGB555, FMT_RGB555, 52, 0x03E0}, {FMT_BGR555, FMT_RGB555, 52, 0x03E0},
        {FMT_RGB565, FMT_RGB565, 52, 0x07E0}, {FMT_BGR565, FMT_RGB565, 52, 0x07E0},
        {FMT_RGB24, FMT_RGB24, 40, 0},        {FMT_RGB32, FMT_RGB32, 40, 0},
        {FMT_INDEX1, FMT_INDEX1, 48, 0},      {FMT_INDEX2, FMT_INDEX2, 56, 0},
        {FMT_INDEX4, FMT_INDEX4, 104, 0},     {FMT_INDEX8, FMT_INDEX8, 1064, 0},
    };
    for (const auto& c : cases) {
        std::vector<uint8_t> buffer(DIB_HEADER_BUFFER_BYTES, 0xCC);
        ASSERT_EQ(BuildDibHeader(7, 5, c.format, buffer.data(), buffer.size()), c.length);
        EXPECT_EQ(FormatFromHeader(buffer.data(), c.length), c.readBack);
        EXPECT_EQ(PackedDibSize(buffer.data(), c.length), c.length + RowBytes(c.format, 7) * 5);
        EXPECT_EQ(Word(&buffer[16]), c.green ? 3u : 0u);
        EXPECT_EQ(Word(&buffer[c.length - 4]), c.green ? Word(&buffer[48]) : 0u);  // zeroed table
        EXPECT_EQ(buffer[c.length], 0xCC);  // nothing written past the header
    }
    std::vector<uint8_t> buffer(DIB_HEADER_BUFFER_BYTES);
    EXPECT_EQ(BuildDibHeader(1, 1, 0x18E40889, buffer.data(), buffer.size()), 0u);
    EXPECT_EQ(BuildDibHeader(1, 1, FMT_INDEX8, buffer.data(), 1063), 0u);
    // Sizes are stored modulo 65536.
    ASSERT_EQ(BuildDibHeader(65536 + 9, 65536 * 3 + 4, FMT_RGB24, buffer.data(), 40), 40u);
    EXPECT_EQ(Word(&buffer[4]), 9u);
    EXPECT_EQ(Word(&buffer[8]), 4u);
}

TEST(DibHeader, ColourTableEntriesAreStoredBlueGreenRed) {
    const PaletteEntry colours[2] = {{10, 20, 30, 1}, {200, 100, 50, 7}};
    uint8_t table[8];
    WriteDibColours(colours, 2, table);
    const uint8_t stored[8] = {30, 20, 10, 0, 50, 100, 200, 0};
    EXPECT_EQ(std::memcmp(table, stored, sizeof table), 0) << "flags are not stored";
    PaletteEntry back[2];
    ReadDibColours(table, 2, back);
    EXPECT_EQ(back[1].red, 200);
    EXPECT_EQ(back[1].blue, 50);
    EXPECT_EQ(back[0].flags, 0);
}

TEST(DibHeader, PaddedRowsCoverEveryDepthWithoutOverflow) {
    EXPECT_EQ(PaddedRowBytes(1, 33), 8u);
    EXPECT_EQ(PaddedRowBytes(4, 9), 8u);
    EXPECT_EQ(PaddedRowBytes(24, 5), 16u);
    EXPECT_EQ(PaddedRowBytes(32, 0xFFFFFFFFu), uint64_t{0xFFFFFFFFu} * 4);
}
