// The MEMO block and the packed image encodings: round trips over sizes and bit depths, the
// headers they keep, and refusals of every damaged or mismatched block without reading past it.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "graphics/codec/memo_block.h"
#include "graphics/codec/pkc_codec.h"
#include "graphics/core/dib_header.h"
#include "graphics/core/little_endian.h"
#include "graphics/platform/global_memory.h"

using namespace gfx;

namespace {

std::vector<uint8_t> TakeBlock(uint8_t* block, size_t size) {
    std::vector<uint8_t> out(block, block + size);
    GlobalMemoryFree(block);
    return out;
}

std::vector<uint8_t> Pack(const std::vector<uint8_t>& data) {
    uint8_t* block = MemoPack(data.data(), uint32_t(data.size()));
    if (!block) return {};
    return TakeBlock(block, MemoPackedSize(block, MEMO_HEADER_BYTES));
}

// Unpacks a copy of exactly `bytes`, so that a read past them shows in the sanitized build.
bool Unpack(const std::vector<uint8_t>& bytes, std::vector<uint8_t>* out) {
    std::vector<uint8_t> exact(bytes);
    uint8_t* raw = MemoUnpack(exact.data(), exact.size());
    if (!raw) return false;
    *out = TakeBlock(raw, MemoRawSize(exact.data(), exact.size()));
    return true;
}

std::vector<uint8_t> Noise(size_t n, uint32_t seed, bool compressible) {
    std::mt19937 rng(seed);
    std::vector<uint8_t> out(n);
    for (size_t i = 0; i < n; ++i) out[i] = compressible ? uint8_t((i / 37) * 3) : uint8_t(rng());
    return out;
}

// A plain packed DIB: header, `tableBytes` of table or masks, rows counting up from 1.
std::vector<uint8_t> PlainDib(int32_t width, int32_t height, uint16_t bits, uint32_t compression,
                              uint32_t colours, const std::vector<uint8_t>& table) {
    DibHeader header{};
    header.biSize = DIB_HEADER_BYTES;
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = bits;
    header.biCompression = compression;
    header.biClrUsed = colours;
    std::vector<uint8_t> dib(DIB_HEADER_BYTES);
    WriteDibHeader(header, dib.data());
    dib.insert(dib.end(), table.begin(), table.end());
    const uint32_t rows = DibImageSize(header);
    for (uint32_t i = 0; i < rows; ++i) dib.push_back(uint8_t(i * 7 + 1));
    return dib;
}

std::vector<uint8_t> Coded(CodedDib coded) {
    if (!coded.block) return {};
    return TakeBlock(static_cast<uint8_t*>(coded.block), coded.size);
}

DibHeader HeaderOf(const std::vector<uint8_t>& dib) {
    DibHeader header{};
    ReadDibHeader(dib.data(), dib.size(), &header);
    return header;
}

const std::vector<uint8_t> k565Masks = {0x00, 0xF8, 0, 0, 0xE0, 0x07, 0, 0, 0x1F, 0, 0, 0};

}  // namespace

TEST(MemoBlock, RoundTripsAnySizeInABlockOfExactLength) {
    for (size_t n : {size_t{0}, size_t{1}, size_t{15}, size_t{4096}, size_t{200000}}) {
        for (bool compressible : {false, true}) {
            const std::vector<uint8_t> data = Noise(n, uint32_t(n), compressible);
            const std::vector<uint8_t> block = Pack(data);
            ASSERT_GE(block.size(), MEMO_HEADER_BYTES) << n;
            EXPECT_EQ(LoadLE32(block.data()), MEMO_MAGIC);
            EXPECT_EQ(LoadLE32(block.data() + 4), block.size());
            EXPECT_EQ(MemoRawSize(block.data(), block.size()), n);
            std::vector<uint8_t> back;
            ASSERT_TRUE(Unpack(block, &back)) << n;
            EXPECT_EQ(back, data) << n;
            if (compressible && n > 1000) {
                EXPECT_LT(block.size(), n / 4);
            }
        }
    }
}

TEST(MemoBlock, RefusesDamagedAndMismatchedBlocks) {
    const std::vector<uint8_t> good = Pack(Noise(5000, 9, false));
    std::vector<uint8_t> out;

    std::vector<uint8_t> magic = good;
    magic[0] ^= 1;
    EXPECT_EQ(MemoPackedSize(magic.data(), magic.size()), 0u);
    EXPECT_EQ(MemoRawSize(magic.data(), magic.size()), 0u);
    EXPECT_FALSE(Unpack(magic, &out));
    EXPECT_EQ(MemoPackedSize(good.data(), MEMO_HEADER_BYTES - 1), 0u);

    // A total that runs past the bytes at hand, or is shorter than the header.
    std::vector<uint8_t> cut(good.begin(), good.end() - 1);
    EXPECT_FALSE(Unpack(cut, &out));
    std::vector<uint8_t> tiny = good;
    StoreLE32(tiny.data() + 4, 11);
    EXPECT_FALSE(Unpack(tiny, &out));

    // A stream cut short within its stated total, a damaged byte, and recorded lengths that
    // differ from what the stream holds.
    std::vector<uint8_t> shortened(good.begin(), good.end() - 40);
    StoreLE32(shortened.data() + 4, uint32_t(shortened.size()));
    EXPECT_FALSE(Unpack(shortened, &out));
    std::vector<uint8_t> flipped = good;
    flipped[good.size() / 2] ^= 0x10;
    EXPECT_FALSE(Unpack(flipped, &out));
    for (uint32_t raw : {4999u, 5001u, 0u}) {
        std::vector<uint8_t> lying = good;
        StoreLE32(lying.data() + 8, raw);
        EXPECT_FALSE(Unpack(lying, &out)) << raw;
    }
    EXPECT_EQ(MemoUnpack(nullptr, 100), nullptr);

    // Four gigabytes claimed by a few bytes of stream: refused without asking for the memory.
    std::vector<uint8_t> huge = Pack(std::vector<uint8_t>(1 << 20, 0));
    StoreLE32(huge.data() + 8, 0xFFFFFFF0u);
    EXPECT_FALSE(Unpack(huge, &out));
}

TEST(PkcCodec, RoundTripsKeepingHeaderTableAndMasks) {
    struct Case {
        uint16_t bits;
        uint32_t compression;
        uint32_t colours;
        std::vector<uint8_t> table;
        uint32_t tag;
    };
    std::vector<uint8_t> table16(16 * 4), table2(4 * 4);
    for (size_t i = 0; i < table16.size(); ++i) table16[i] = uint8_t(i * 5);
    for (size_t i = 0; i < table2.size(); ++i) table2[i] = uint8_t(i + 100);
    const Case cases[] = {
        {8, COMPRESSION_NONE, 16, table16, COMPRESSION_PKC1},
        {2, COMPRESSION_NONE, 0, table2, COMPRESSION_PKC1},
        {16, COMPRESSION_BITFIELDS, 0, k565Masks, COMPRESSION_PKC2},
        {16, COMPRESSION_NONE, 0, {}, COMPRESSION_PKC1},
        {24, COMPRESSION_NONE, 0, {}, COMPRESSION_PKC1},
        {32, COMPRESSION_BITFIELDS, 0, {0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0},
         COMPRESSION_PKC2},
    };
    for (const Case& c : cases) {
        const std::vector<uint8_t> plain = PlainDib(13, 7, c.bits, c.compression, c.colours, c.table);
        const std::vector<uint8_t> packed = Coded(PkcEncode(plain.data(), uint32_t(plain.size())));
        ASSERT_FALSE(packed.empty()) << c.bits;
        const DibHeader header = HeaderOf(packed);
        const uint32_t headerBytes = DIB_HEADER_BYTES + uint32_t(c.table.size());
        EXPECT_EQ(header.biCompression, c.tag);
        EXPECT_EQ(header.biSizeImage, packed.size() - headerBytes);
        EXPECT_EQ(std::vector<uint8_t>(packed.begin() + DIB_HEADER_BYTES,
                                       packed.begin() + headerBytes),
                  c.table);
        EXPECT_EQ(FormatFromHeader(packed.data(), packed.size()),
                  FormatFromHeader(plain.data(), plain.size()));

        const std::vector<uint8_t> back = Coded(PkcDecode(packed.data(), uint32_t(packed.size())));
        ASSERT_EQ(back.size(), plain.size()) << c.bits;
        EXPECT_EQ(HeaderOf(back).biCompression, c.compression);
        EXPECT_EQ(HeaderOf(back).biSizeImage, 0u);
        EXPECT_EQ(std::memcmp(back.data() + DIB_HEADER_BYTES, plain.data() + DIB_HEADER_BYTES,
                              plain.size() - DIB_HEADER_BYTES),
                  0);
    }
    const std::vector<uint8_t> masks = PlainDib(3, 3, 16, COMPRESSION_BITFIELDS, 0, k565Masks);
    EXPECT_EQ(FormatFromHeader(masks.data(), masks.size()), FMT_RGB565);
}

TEST(PkcCodec, RefusesOtherHeadersAndBlocksThatDoNotFitTheImage) {
    std::vector<uint8_t> trle = PlainDib(4, 4, 8, COMPRESSION_NONE, 0, std::vector<uint8_t>(1024));
    std::vector<uint8_t> plain = trle;
    DibHeader header = HeaderOf(trle);
    header.biCompression = COMPRESSION_TRLE;
    WriteDibHeader(header, trle.data());
    EXPECT_EQ(PkcEncode(trle.data(), uint32_t(trle.size())).block, nullptr);
    EXPECT_EQ(PkcDecode(trle.data(), uint32_t(trle.size())).block, nullptr);
    EXPECT_EQ(PkcDecode(plain.data(), uint32_t(plain.size())).block, nullptr);
    // Rows that run past the bytes given.
    EXPECT_EQ(PkcEncode(plain.data(), uint32_t(plain.size() - 1)).block, nullptr);

    const std::vector<uint8_t> packed = Coded(PkcEncode(plain.data(), uint32_t(plain.size())));
    ASSERT_FALSE(packed.empty());
    EXPECT_EQ(PkcDecode(packed.data(), uint32_t(packed.size() - 1)).block, nullptr);
    // A block of other rows than the header describes: one row taller, or a row wider.
    for (int32_t width : {4, 8}) {
        std::vector<uint8_t> other = packed;
        DibHeader h = HeaderOf(other);
        h.biWidth = width;
        h.biHeight = width == 4 ? 5 : 4;
        WriteDibHeader(h, other.data());
        EXPECT_TRUE(Coded(PkcDecode(other.data(), uint32_t(other.size()))).empty()) << width;
    }
}
