#include "graphics/image/dib_header.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

using namespace gfx;

namespace {

DibHeader Plain(int32_t width, int32_t height, uint16_t bits, uint32_t compression = 0) {
    DibHeader h{};
    h.biSize = 40;
    h.biWidth = width;
    h.biHeight = height;
    h.biPlanes = 1;
    h.biBitCount = bits;
    h.biCompression = compression;
    return h;
}

// A stored header followed by three masks.
std::vector<uint8_t> Stored(const DibHeader& h, uint32_t red = 0, uint32_t green = 0,
                            uint32_t blue = 0) {
    std::vector<uint8_t> bytes(52);
    WriteDibHeader(h, bytes.data());
    std::memcpy(&bytes[40], &red, 4);
    std::memcpy(&bytes[44], &green, 4);
    std::memcpy(&bytes[48], &blue, 4);
    return bytes;
}

uint32_t Word(const uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | uint32_t(p[3]) << 24; }

}  // namespace

TEST(DibHeader, StoredLayoutIsLittleEndianAtAnyAlignment) {
    DibHeader h = Plain(-2, 0x01020304, 24, COMPRESSION_PKC1);
    h.biClrUsed = 0xA0B0C0D0;
    uint8_t bytes[41] = {};
    WriteDibHeader(h, bytes + 1);
    EXPECT_EQ(Word(bytes + 1), 40u);
    EXPECT_EQ(Word(bytes + 5), 0xFFFFFFFEu);
    EXPECT_EQ(bytes[9], 0x04);
    EXPECT_EQ(bytes[15], 24);
    EXPECT_EQ(std::memcmp(bytes + 17, "PKC1", 4), 0);
    EXPECT_EQ(Word(bytes + 33), 0xA0B0C0D0u);

    DibHeader back{};
    EXPECT_FALSE(ReadDibHeader(bytes + 1, 39, &back));
    ASSERT_TRUE(ReadDibHeader(bytes + 1, 40, &back));
    EXPECT_EQ(back.biWidth, -2);
    EXPECT_EQ(back.biHeight, 0x01020304);
    EXPECT_EQ(back.biCompression, COMPRESSION_PKC1);
    EXPECT_EQ(back.biClrUsed, 0xA0B0C0D0u);
}

TEST(DibHeader, SizesOfValidHeaders) {
    EXPECT_EQ(DibHeaderSize(Plain(1, 1, 1)), 48u);
    EXPECT_EQ(DibHeaderSize(Plain(1, 1, 8)), 1064u);
    DibHeader fewColours = Plain(1, 1, 8);
    fewColours.biClrUsed = 16;
    EXPECT_EQ(DibHeaderSize(fewColours), 104u);
    EXPECT_EQ(DibHeaderSize(Plain(1, 1, 16, COMPRESSION_BITFIELDS)), 52u);
    EXPECT_EQ(DibHeaderSize(Plain(1, 1, 16, COMPRESSION_PKC2)), 52u);
    EXPECT_EQ(DibHeaderSize(Plain(1, 1, 16)), 40u);
    EXPECT_EQ(DibHeaderSize(Plain(1, 1, 32, COMPRESSION_TRLE)), 40u);

    EXPECT_EQ(DibImageSize(Plain(33, 2, 1)), 16u);
    EXPECT_EQ(DibImageSize(Plain(100, 50, 24)), 15000u);
    EXPECT_EQ(DibImageSize(Plain(100, 0, 24)), 0u);
    DibHeader encoded = Plain(100, 50, 24, COMPRESSION_ARLE);
    encoded.biSizeImage = 1234;
    EXPECT_EQ(DibImageSize(encoded), 1234u);
    EXPECT_EQ(PackedDibSize(encoded), 1274u);

    const auto stored = Stored(Plain(3, 2, 8));
    EXPECT_EQ(PackedDibSize(stored.data(), stored.size()), 1064u + 8u);
    EXPECT_EQ(PackedDibSize(Plain(0, 0, 32)), 40u);
}

TEST(DibHeader, UnusableHeadersSizeToZero) {
    EXPECT_EQ(PackedDibSize(nullptr, 100), 0u);
    const auto stored = Stored(Plain(3, 2, 8));
    EXPECT_EQ(PackedDibSize(stored.data(), 39), 0u);

    DibHeader wrongSize = Plain(3, 2, 8);
    wrongSize.biSize = 108;
    EXPECT_EQ(PackedDibSize(wrongSize), 0u);

    for (uint16_t bits : {0, 3, 7, 12, 48, 0xFFFF}) {
        EXPECT_EQ(DibHeaderSize(Plain(4, 4, bits)), 0u) << bits;
        EXPECT_EQ(DibImageSize(Plain(4, 4, bits)), 0u) << bits;
        EXPECT_EQ(PackedDibSize(Plain(4, 4, bits)), 0u) << bits;
    }
    // Top-down and negative widths have no size here.
    EXPECT_EQ(DibImageSize(Plain(4, -4, 8)), 0u);
    EXPECT_EQ(PackedDibSize(Plain(4, -4, 8)), 0u);
    EXPECT_EQ(PackedDibSize(Plain(-4, 4, 8)), 0u);
    DibHeader encodedTopDown = Plain(4, -4, 8, COMPRESSION_TRLE);
    encodedTopDown.biSizeImage = 10;
    EXPECT_EQ(PackedDibSize(encodedTopDown), 0u);

    // Sizes past 32 bits.
    EXPECT_EQ(DibImageSize(Plain(0x7FFFFFFF, 0x7FFFFFFF, 32)), 0u);
    EXPECT_EQ(PackedDibSize(Plain(0x7FFFFFFF, 0x7FFFFFFF, 32)), 0u);
    EXPECT_EQ(PackedDibSize(Plain(65536, 65536, 8)), 0u);  // 4 GiB of rows
    DibHeader manyColours = Plain(1, 1, 8);
    manyColours.biClrUsed = 0x40000000;
    EXPECT_EQ(DibHeaderSize(manyColours), 0u);
    EXPECT_EQ(PackedDibSize(manyColours), 0u);
    DibHeader bigEncoded = Plain(1, 1, 8, COMPRESSION_PKC1);
    bigEncoded.biSizeImage = 0xFFFFFFF0;
    EXPECT_EQ(PackedDibSize(bigEncoded), 0u);
}

TEST(DibHeader, FormatFromHeader) {
    struct Case {
        uint16_t bits;
        PixelFormat format;
    } cases[] = {{1, FMT_INDEX1}, {2, FMT_INDEX2}, {4, FMT_INDEX4},  {8, FMT_INDEX8},
                 {24, FMT_RGB24}, {32, FMT_RGB32}, {16, FMT_RGB555}, {15, 0}};
    for (const auto& c : cases) {
        const auto stored = Stored(Plain(2, 2, c.bits));
        EXPECT_EQ(FormatFromHeader(stored.data(), 40), c.format) << c.bits;
    }
    // The green mask alone decides between the two 16-bit families.
    auto rgb555 = Stored(Plain(2, 2, 16, COMPRESSION_BITFIELDS), 0x001F, 0x03E0, 0x7C00);
    EXPECT_EQ(FormatFromHeader(rgb555.data(), rgb555.size()), FMT_RGB555);
    auto rgb565 = Stored(Plain(2, 2, 16, COMPRESSION_BITFIELDS), 0xF800, 0x07E0, 0x001F);
    EXPECT_EQ(FormatFromHeader(rgb565.data(), rgb565.size()), FMT_RGB565);
    auto pkc1 = Stored(Plain(2, 2, 16, COMPRESSION_PKC1), 0xF800, 0x07E0, 0x001F);
    EXPECT_EQ(FormatFromHeader(pkc1.data(), 40), FMT_RGB555);
    // The mask must be within what the caller gave.
    EXPECT_EQ(FormatFromHeader(rgb565.data(), 47), 0u);
    EXPECT_EQ(FormatFromHeader(rgb565.data(), 48), FMT_RGB565);

    EXPECT_EQ(FormatFromHeader(nullptr, 52), 0u);
    EXPECT_EQ(FormatFromHeader(rgb565.data(), 20), 0u);
    const auto topDown = Stored(Plain(2, -2, 24));
    EXPECT_EQ(FormatFromHeader(topDown.data(), 40), 0u);
}

TEST(DibHeader, BuildWritesEachFormatsHeader) {
    struct Case {
        PixelFormat format;
        uint32_t length;
        uint32_t compression;
        uint32_t red, green, blue;
    } cases[] = {
        {FMT_RGB555, 52, 3, 0x7C00, 0x03E0, 0x001F},
        {FMT_BGR555, 52, 3, 0x001F, 0x03E0, 0x7C00},
        {FMT_RGB565, 52, 3, 0xF800, 0x07E0, 0x001F},
        {FMT_BGR565, 52, 3, 0x001F, 0x07E0, 0xF800},
        {FMT_RGB24, 40, 0, 0, 0, 0},
        {FMT_RGB32, 40, 0, 0, 0, 0},
        {FMT_INDEX1, 48, 0, 0, 0, 0},
        {FMT_INDEX2, 56, 0, 0, 0, 0},
        {FMT_INDEX4, 104, 0, 0, 0, 0},
        {FMT_INDEX8, 1064, 0, 0, 0, 0},
    };
    for (const auto& c : cases) {
        std::vector<uint8_t> buffer(DIB_HEADER_BUFFER_BYTES, 0xCC);
        ASSERT_EQ(BuildDibHeader(7, 5, c.format, buffer.data(), buffer.size()), c.length);
        DibHeader h{};
        ASSERT_TRUE(ReadDibHeader(buffer.data(), buffer.size(), &h));
        EXPECT_EQ(h.biSize, 40u);
        EXPECT_EQ(h.biWidth, 7);
        EXPECT_EQ(h.biHeight, 5);
        EXPECT_EQ(h.biPlanes, 1);
        EXPECT_EQ(h.biBitCount, BitsPerPixel(c.format));
        EXPECT_EQ(h.biCompression, c.compression);
        EXPECT_EQ(h.biSizeImage, 0u);
        EXPECT_EQ(h.biClrUsed, 0u);
        if (c.compression == 3) {
            EXPECT_EQ(Word(&buffer[40]), c.red);
            EXPECT_EQ(Word(&buffer[44]), c.green);
            EXPECT_EQ(Word(&buffer[48]), c.blue);
        } else {
            for (uint32_t i = 40; i < c.length; ++i) ASSERT_EQ(buffer[i], 0) << i;
        }
        EXPECT_EQ(buffer[c.length], 0xCC);  // nothing written past the header
        // What is built reads back as the same format (BGR codes read as their RGB family).
        const PixelFormat back = FormatFromHeader(buffer.data(), c.length);
        EXPECT_EQ(back, c.format == FMT_BGR555   ? FMT_RGB555
                        : c.format == FMT_BGR565 ? FMT_RGB565
                                                 : c.format);
        EXPECT_EQ(PackedDibSize(buffer.data(), c.length), c.length + RowBytes(c.format, 7) * 5);
    }
}

TEST(DibHeader, BuildRefusesUnknownFormatsAndShortBuffersAndWrapsSizes) {
    std::vector<uint8_t> buffer(DIB_HEADER_BUFFER_BYTES);
    EXPECT_EQ(BuildDibHeader(1, 1, 0, buffer.data(), buffer.size()), 0u);
    EXPECT_EQ(BuildDibHeader(1, 1, 0x18E40889, buffer.data(), buffer.size()), 0u);
    EXPECT_EQ(BuildDibHeader(1, 1, FMT_INDEX8, buffer.data(), 1063), 0u);
    EXPECT_EQ(BuildDibHeader(1, 1, FMT_INDEX8, nullptr, 2000), 0u);

    ASSERT_EQ(BuildDibHeader(65536 + 9, 65536 * 3 + 4, FMT_RGB24, buffer.data(), 40), 40u);
    DibHeader h{};
    ASSERT_TRUE(ReadDibHeader(buffer.data(), 40, &h));
    EXPECT_EQ(h.biWidth, 9);
    EXPECT_EQ(h.biHeight, 4);
}
