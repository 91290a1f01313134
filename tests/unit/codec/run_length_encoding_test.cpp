// The run-length sprite encodings: the exact bytes the encoders write, round trips at every depth
// each decoder reads, refusals of damaged blocks without reading past them, and the encodings as
// MemoryDibSurface swaps them in and out.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <vector>

#include "graphics/codec/arle_codec.h"
#include "graphics/codec/memo_block.h"
#include "graphics/codec/prle_codec.h"
#include "graphics/codec/trle_codec.h"
#include "graphics/core/dib_header.h"
#include "graphics/core/little_endian.h"
#include "graphics/image/load_flags.h"
#include "graphics/image/memory_dib_surface.h"
#include "graphics/io/global_memory_stream.h"
#include "graphics/platform/global_memory.h"

using namespace gfx;

namespace {

using Bytes = std::vector<uint8_t>;
using Rows = std::vector<Bytes>;  // image rows, top line first, bpp/8 bytes a pixel

constexpr uint32_t kColours = 16;  // biClrUsed of the 8-bit test images

const Bytes k565 = {0x00, 0xF8, 0, 0, 0xE0, 0x07, 0, 0, 0x1F, 0, 0, 0};
const Bytes k555 = {0x00, 0x7C, 0, 0, 0xE0, 0x03, 0, 0, 0x1F, 0, 0, 0};
const Bytes k888 = {0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0};

// Blue, green, red and a zero byte, as surfaces write their tables back.
Bytes ColourTable() {
    Bytes table;
    for (uint32_t i = 0; i < kColours; ++i)
        table.insert(table.end(), {uint8_t(i), uint8_t(3 * i), 7, 0});
    return table;
}

// A plain packed DIB of `rows` (top line first), stored bottom-up with zeroed padding. 8-bit
// images carry a 16-entry table; `masks` (12 bytes) makes a 16 or 32-bit one BI_BITFIELDS.
Bytes PlainDib(const Rows& rows, int32_t width, uint16_t bits, const Bytes& masks = {}) {
    DibHeader header{40, width, int32_t(rows.size()), 1, bits, 0, 0, 0, 0, 0, 0};
    Bytes table = masks;
    if (bits == 8) {
        header.biClrUsed = kColours;
        table = ColourTable();
    }
    if (!masks.empty()) header.biCompression = COMPRESSION_BITFIELDS;
    Bytes dib(DIB_HEADER_BYTES);
    WriteDibHeader(header, dib.data());
    dib.insert(dib.end(), table.begin(), table.end());
    const size_t pitch = PaddedRowBytes(bits, uint32_t(width));
    for (size_t y = rows.size(); y-- > 0;) {
        Bytes line = rows[y];
        line.resize(pitch, 0);
        dib.insert(dib.end(), line.begin(), line.end());
    }
    return dib;
}

// Calls a codec on an exact copy of the bytes, so that a read past them shows under the
// sanitizers; an empty result is an empty vector.
Bytes Code(DibCodecFunction codec, const Bytes& dib, size_t length = SIZE_MAX) {
    Bytes exact(dib.begin(), dib.begin() + std::min(length, dib.size()));
    const CodedDib out = codec(exact.data(), uint32_t(exact.size()));
    if (!out.block) return {};
    const auto* block = static_cast<const uint8_t*>(out.block);
    Bytes copy(block, block + out.size);
    GlobalMemoryFree(out.block);
    return copy;
}

DibHeader HeaderOf(const Bytes& dib) {
    DibHeader header{};
    ReadDibHeader(dib.data(), dib.size(), &header);
    return header;
}

// The data area of an 8-bit encoded image (after its 16-entry table).
Bytes DataOf(const Bytes& dib) {
    return Bytes(dib.begin() + DIB_HEADER_BYTES + kColours * 4, dib.end());
}

Bytes ArleCodesOfOneRow(const Bytes& row) {
    const Bytes coded = Code(ArleEncode, PlainDib({row}, int32_t(row.size()), 8));
    const Bytes data = DataOf(coded);
    EXPECT_EQ(HeaderOf(coded).biSizeImage, data.size());
    EXPECT_EQ(LoadLE32(data.data()), 4u);  // the one row's codes follow its table entry
    return Bytes(data.begin() + 4, data.end());
}

// Random rows of `bytes` a pixel, and sprite rows: a transparent margin round an ellipse of runs
// and noise.
Rows MakeRows(int32_t width, int32_t height, uint32_t bytes, bool sprite, uint32_t seed) {
    std::mt19937 rng(seed);
    Rows rows(height, Bytes(size_t(width) * bytes));
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            const double ex = (x + 0.5) / width * 2 - 1, ey = (y + 0.5) / height * 2 - 1;
            const bool inside = ex * ex + ey * ey <= 1.0;
            const uint32_t value = !sprite ? rng() : !inside ? 0 : (x / 5 % 2) ? 7 + y % 3 : rng();
            for (uint32_t b = 0; b < bytes; ++b)
                rows[y][size_t(x) * bytes + b] = uint8_t(value >> (8 * b));
        }
    }
    return rows;
}

// A "TRLE" image of any depth, written here from its layout: the 8-bit encoder is the library's,
// and this also makes the other depths the decoder reads.
Bytes TrleOf(const Rows& rows, int32_t width, uint16_t bits, const Bytes& masks = {}) {
    const uint32_t px = bits / 8;
    Bytes data(16 + 8 * rows.size());
    // A 16-bit image carries masks even without BI_BITFIELDS: the green one tells its format.
    const Bytes& stored = bits == 16 && masks.empty() ? k555 : masks;
    std::copy(stored.begin(), stored.end(), data.begin());
    if (!masks.empty()) StoreLE32(&data[12], COMPRESSION_BITFIELDS);
    for (size_t i = 0; i < rows.size(); ++i) {
        auto transparent = [&](int32_t x) {
            for (uint32_t b = 0; b < px; ++b)
                if (rows[i][x * px + b]) return false;
            return true;
        };
        int32_t leading = 0, end = width;
        while (leading < width && transparent(leading)) ++leading;
        while (end > leading && transparent(end - 1)) --end;
        StoreLE32(&data[16 + 8 * i], uint32_t(data.size()));
        StoreLE16(&data[20 + 8 * i], uint32_t(leading));
        StoreLE16(&data[22 + 8 * i], uint32_t(end - leading));
        data.insert(data.end(), rows[i].begin() + leading * px, rows[i].begin() + end * px);
    }
    DibHeader header{
        40, width, int32_t(rows.size()), 1, bits, COMPRESSION_TRLE, uint32_t(data.size()), 0, 0,
        0,  0};
    Bytes dib(DIB_HEADER_BYTES);
    if (bits == 8) {
        header.biClrUsed = kColours;
        const Bytes table = ColourTable();
        dib.insert(dib.end(), table.begin(), table.end());
    }
    WriteDibHeader(header, dib.data());
    dib.insert(dib.end(), data.begin(), data.end());
    return dib;
}

void SetSizeImage(Bytes* dib, uint32_t value) { StoreLE32(dib->data() + 20, value); }

}  // namespace

TEST(RunLengthEncoding, ArleWritesTheShortestCodesOfEachRow) {
    EXPECT_EQ(ArleCodesOfOneRow({7, 7, 7, 7}), (Bytes{0x44, 7}));
    EXPECT_EQ(ArleCodesOfOneRow({1, 2, 3, 4, 5}), (Bytes{0x05, 1, 2, 3, 4, 5}));
    EXPECT_EQ(ArleCodesOfOneRow({1, 2, 3, 3, 3, 3}), (Bytes{0x02, 1, 2, 0x44, 3}));
    EXPECT_EQ(ArleCodesOfOneRow({1, 2, 3, 4, 4, 4}), (Bytes{0x06, 1, 2, 3, 4, 4, 4}));
    EXPECT_EQ(ArleCodesOfOneRow({9, 1, 1, 1, 1, 2}), (Bytes{0x01, 9, 0x44, 1, 0x01, 2}));
    EXPECT_EQ(ArleCodesOfOneRow({5, 6, 7}), (Bytes{0x03, 5, 6, 7}));
    EXPECT_EQ(ArleCodesOfOneRow(Bytes(100, 42)), (Bytes{0xC0, 0x64, 42}));
    Bytes distinct(70);
    for (size_t i = 0; i < distinct.size(); ++i) distinct[i] = uint8_t(i);
    Bytes longLiteral = {0x80, 0x46};
    longLiteral.insert(longLiteral.end(), distinct.begin(), distinct.end());
    EXPECT_EQ(ArleCodesOfOneRow(distinct), longLiteral);
    // The widest row: counts of 14 bits, a run of 16383 and a literal of 16383.
    EXPECT_EQ(ArleCodesOfOneRow(Bytes(16383, 1)), (Bytes{0xFF, 0xFF, 1}));
    Bytes ramp(16383);
    for (size_t i = 0; i < ramp.size(); ++i) ramp[i] = uint8_t(i % 251);
    const Bytes rampCodes = ArleCodesOfOneRow(ramp);
    EXPECT_EQ(Bytes(rampCodes.begin(), rampCodes.begin() + 3), (Bytes{0xBF, 0xFF, 0}));
    EXPECT_EQ(rampCodes.size(), 16385u);

    // Rows are stored top line first; the header and table stay; encoding again gives the same.
    const Bytes twoRows = PlainDib({{1, 1, 1, 1, 1}, {2, 3, 4, 5, 6}}, 5, 8);
    const Bytes coded = Code(ArleEncode, twoRows);
    EXPECT_EQ(DataOf(coded), (Bytes{8, 0, 0, 0, 10, 0, 0, 0, 0x45, 1, 0x05, 2, 3, 4, 5, 6}));
    EXPECT_EQ(HeaderOf(coded).biCompression, COMPRESSION_ARLE);
    EXPECT_TRUE(std::equal(twoRows.begin() + 40, twoRows.begin() + 104, coded.begin() + 40));
    EXPECT_EQ(Code(ArleEncode, twoRows), coded);
}

TEST(RunLengthEncoding, TrleKeepsEachRowWithoutItsTransparentMargins) {
    const Bytes coded =
        Code(TrleEncode, PlainDib({{0, 0, 0, 0, 0}, {0, 0, 5, 6, 0}, {9, 0, 0, 0, 8}}, 5, 8));
    ASSERT_FALSE(coded.empty());
    EXPECT_EQ(HeaderOf(coded).biCompression, COMPRESSION_TRLE);
    EXPECT_EQ(HeaderOf(coded).biSizeImage, 16u + 8 * 3 + 7);
    const Bytes expected = {0,  0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  // no masks, BI_RGB
                            40, 0, 0, 0, 5, 0, 0, 0,  // all transparent: leading 5, kept 0
                            40, 0, 0, 0, 2, 0, 2, 0,  // 0 0 5 6 0
                            42, 0, 0, 0, 0, 0, 5, 0,  // kept whole between its ends
                            5,  6, 9, 0, 0, 0, 8};
    EXPECT_EQ(DataOf(coded), expected);
    EXPECT_EQ(coded.size(), 40u + 64 + expected.size());
}

TEST(RunLengthEncoding, DecodersGiveBackTheRowsAtEveryDepthAndSize) {
    for (int32_t width : {1, 2, 3, 4, 5, 7, 13, 64, 100, 301}) {
        for (int32_t height : {0, 1, 3, 17}) {
            for (bool sprite : {false, true}) {
                const Rows rows = MakeRows(width, height, 1, sprite, uint32_t(width * 31 + height));
                const Bytes plain = PlainDib(rows, width, 8);
                for (DibCodecFunction encode : {TrleEncode, ArleEncode, PrleEncode}) {
                    const Bytes coded = Code(encode, plain);
                    ASSERT_FALSE(coded.empty()) << width << "x" << height;
                    const DibCodecFunction decode = encode == TrleEncode   ? TrleDecode
                                                    : encode == ArleEncode ? ArleDecode
                                                                           : PrleDecode;
                    EXPECT_EQ(Code(decode, coded), plain)
                        << width << "x" << height << " " << sprite;
                }
                if (sprite) {
                    EXPECT_EQ(Code(TrleEncode, plain), TrleOf(rows, width, 8));
                }
            }
        }
    }
    // 16, 24 and 32 bits, with and without masks: the masks come back after the header.
    struct Depth {
        uint16_t bits;
        Bytes masks;
    } depths[] = {{16, {}}, {16, k565}, {16, k555}, {24, {}}, {32, {}}, {32, k888}};
    for (const Depth& d : depths) {
        for (int32_t width : {1, 3, 6, 33}) {
            const Rows rows = MakeRows(width, 9, d.bits / 8, true, uint32_t(width + d.bits));
            const Bytes coded = TrleOf(rows, width, d.bits, d.masks);
            EXPECT_EQ(Code(TrleDecode, coded), PlainDib(rows, width, d.bits, d.masks))
                << d.bits << " " << width;
            if (d.bits == 16) {
                const PixelFormat format = d.masks == k565 ? FMT_RGB565 : FMT_RGB555;
                EXPECT_EQ(FormatFromHeader(coded.data(), coded.size()), format);
            }
        }
    }
}

TEST(RunLengthEncoding, EncodersRefuseWhatTheyDoNotAccept) {
    const Rows rows = MakeRows(6, 4, 3, false, 1);
    const Bytes rgb24 = PlainDib(rows, 6, 24);
    const Bytes bitfields = PlainDib(MakeRows(3, 2, 2, false, 2), 3, 16, k565);
    Bytes indexed8 = PlainDib(MakeRows(6, 4, 1, false, 3), 6, 8);
    Bytes fields8 = indexed8;
    StoreLE32(fields8.data() + 16, COMPRESSION_BITFIELDS);
    Bytes wideHeader = indexed8;
    StoreLE32(wideHeader.data(), 108);
    for (DibCodecFunction encode : {TrleEncode, ArleEncode, PrleEncode}) {
        EXPECT_TRUE(Code(encode, rgb24).empty());
        EXPECT_TRUE(Code(encode, bitfields).empty());
        EXPECT_TRUE(Code(encode, fields8).empty());
        EXPECT_TRUE(Code(encode, wideHeader).empty());
        EXPECT_TRUE(Code(encode, indexed8, indexed8.size() - 1).empty());  // rows cut short
        EXPECT_TRUE(Code(encode, Code(encode, indexed8)).empty());         // already encoded
        EXPECT_EQ(encode(nullptr, 100).block, nullptr);
    }
    // A count holds 14 bits: rows wider than 16383 do not fit ARLE or PRLE, but fit TRLE.
    const Bytes wide = PlainDib({Bytes(16384, 3)}, 16384, 8);
    EXPECT_TRUE(Code(ArleEncode, wide).empty());
    EXPECT_TRUE(Code(PrleEncode, wide).empty());
    EXPECT_EQ(Code(TrleDecode, Code(TrleEncode, wide)), wide);
}

TEST(RunLengthEncoding, DecodersRefuseDamagedBlocksWithoutReadingPastThem) {
    const Rows rows = MakeRows(9, 4, 1, true, 5);
    const Bytes plain = PlainDib(rows, 9, 8);
    const Bytes trle = Code(TrleEncode, plain), arle = Code(ArleEncode, plain);
    const Bytes prle = Code(PrleEncode, plain);
    const Bytes trle32 = TrleOf(MakeRows(5, 3, 4, true, 6), 5, 32, k888);
    const size_t data = 40 + kColours * 4;

    // Every block cut short, and a biSizeImage that claims a byte more than the block holds.
    struct Coded {
        DibCodecFunction decode;
        const Bytes* dib;
    } all[] = {
        {TrleDecode, &trle}, {ArleDecode, &arle}, {PrleDecode, &prle}, {TrleDecode, &trle32}};
    for (const Coded& c : all) {
        for (size_t cut = 0; cut < c.dib->size(); ++cut) {
            EXPECT_TRUE(Code(c.decode, *c.dib, cut).empty()) << cut;
        }
        Bytes longer = *c.dib;
        SetSizeImage(&longer, HeaderOf(longer).biSizeImage + 1);
        EXPECT_TRUE(Code(c.decode, longer).empty());
        Bytes shorter = *c.dib;
        SetSizeImage(&shorter, HeaderOf(shorter).biSizeImage - 1);
        shorter.push_back(0);  // the byte is still there, but belongs to no image
        EXPECT_TRUE(Code(c.decode, shorter).empty());
        EXPECT_TRUE(Code(c.decode, plain).empty());
    }

    // TRLE: leading + kept beyond the width, kept pixels beyond the data or in the row table, a
    // plain compression other than 0 or 3, and masks on a 24-bit image.
    auto trleDamaged = [&](size_t at, uint32_t value, int bytes) {
        Bytes damaged = trle;
        if (bytes == 2)
            StoreLE16(&damaged[data + at], value);
        else
            StoreLE32(&damaged[data + at], value);
        return Code(TrleDecode, damaged).empty();
    };
    const uint32_t trleSize = HeaderOf(trle).biSizeImage;
    EXPECT_TRUE(trleDamaged(16 + 4, 10, 2));      // leading 10 of 9
    EXPECT_TRUE(trleDamaged(16 + 8 + 6, 10, 2));  // kept 10
    EXPECT_TRUE(trleDamaged(16 + 8 + 4, LoadLE16(&trle[data + 16 + 8 + 4]) + 9, 2));
    EXPECT_TRUE(trleDamaged(16 + 8, trleSize, 4));  // pixels past the data
    EXPECT_TRUE(trleDamaged(16 + 8, 0xFFFFFFFF, 4));
    EXPECT_TRUE(trleDamaged(16 + 8, 16, 4));  // pixels inside the row table
    EXPECT_TRUE(trleDamaged(12, 1, 4));
    EXPECT_TRUE(trleDamaged(12, COMPRESSION_BITFIELDS, 4));  // 8 bits with masks
    Bytes masks24 = TrleOf(MakeRows(3, 2, 3, true, 7), 3, 24, k888);
    EXPECT_TRUE(Code(TrleDecode, masks24).empty());
    Bytes coloured32 = trle32;
    StoreLE32(coloured32.data() + 32, 2);  // colours before the data area of a 32-bit image
    EXPECT_TRUE(Code(TrleDecode, coloured32).empty());
    Bytes tall = trle;
    StoreLE32(tall.data() + 8, 5000);  // a row table longer than the data
    EXPECT_TRUE(Code(TrleDecode, tall).empty());
    // Pictures no surface holds, whose rows a few bytes could claim: refused before allocating.
    for (const Bytes* coded : {&trle, &arle, &prle, &trle32}) {
        for (uint32_t width : {16384u * 4 / (HeaderOf(*coded).biBitCount / 8), 0x0C010105u}) {
            Bytes wide = *coded;
            StoreLE32(wide.data() + 4, width);
            EXPECT_TRUE(Code(HeaderOf(*coded).biCompression == COMPRESSION_TRLE ? TrleDecode
                             : coded == &arle                                   ? ArleDecode
                                                                                : PrleDecode,
                             wide)
                            .empty())
                << width;
        }
    }

    // ARLE: offsets outside the code area, codes that overrun a row or run past the data, and a
    // row whose codes end before it is full.
    auto arleWith = [&](uint32_t row0, const Bytes& codes) {
        Bytes dib(arle.begin(), arle.begin() + data);
        Bytes area(16);
        for (uint32_t i = 0; i < 4; ++i) StoreLE32(&area[4 * i], i == 0 ? row0 : 16);
        area.insert(area.end(), codes.begin(), codes.end());
        SetSizeImage(&dib, uint32_t(area.size()));
        dib.insert(dib.end(), area.begin(), area.end());
        return Code(ArleDecode, dib);
    };
    const Bytes nine = {0x49, 0};
    EXPECT_FALSE(arleWith(16, nine).empty());  // the well-formed block these damage
    EXPECT_TRUE(arleWith(12, nine).empty());   // inside the row table
    EXPECT_TRUE(arleWith(18, nine).empty());   // at the end of the data: no codes there
    EXPECT_TRUE(arleWith(0xFFFFFFF0, nine).empty());
    EXPECT_TRUE(arleWith(16, {0x4A, 0}).empty());              // fill of 10 in 9
    EXPECT_TRUE(arleWith(16, {0x48, 0, 0x02, 1, 2}).empty());  // literal past the row end
    EXPECT_TRUE(arleWith(16, {0xC0, 0x40, 0}).empty());        // long fill of 64
    EXPECT_TRUE(arleWith(16, {0x49}).empty());                 // fill without its byte
    EXPECT_TRUE(arleWith(16, {0xC0}).empty());                 // count without its low byte
    EXPECT_TRUE(arleWith(16, {0x09, 1, 2, 3}).empty());        // literal past the data
    EXPECT_TRUE(arleWith(16, {0x48, 0}).empty());              // 8 of 9 pixels

    // PRLE: a damaged MEMO block, and one whose ARLE data is damaged.
    Bytes flipped = prle;
    flipped[data + 20] ^= 0x20;
    EXPECT_TRUE(Code(PrleDecode, flipped).empty());
    Bytes badArle = arle;
    StoreLE32(&badArle[data], 0xFFFF);
    const Bytes badArea(badArle.begin() + data, badArle.end());
    uint8_t* block = MemoPack(badArea.data(), uint32_t(badArea.size()));
    ASSERT_NE(block, nullptr);
    Bytes repacked(prle.begin(), prle.begin() + data);
    repacked.insert(repacked.end(), block, block + MemoPackedSize(block, MEMO_HEADER_BYTES));
    GlobalMemoryFree(block);
    SetSizeImage(&repacked, uint32_t(repacked.size() - data));
    EXPECT_TRUE(Code(PrleDecode, repacked).empty());
}

namespace {

Result LoadBytes(MemoryDibSurface& surface, const Bytes& bytes, uint32_t flags = 0) {
    auto* stream = new GlobalMemoryStream(uint32_t(bytes.size()), true);
    std::memcpy(stream->data, bytes.data(), bytes.size());
    const Result status =
        surface.Load(stream, LOAD_FROM_STREAM | flags, nullptr, nullptr, nullptr, 0, nullptr);
    return status;
}

Bytes Held(const MemoryDibSurface& surface) {
    return Bytes(surface.GetDibHeader(), surface.GetDibHeader() + surface.GetDibLength());
}

}  // namespace

TEST(RunLengthEncoding, SurfacesEncodeDecodeAndLoadEachEncoding) {
    const Bytes plain = PlainDib(MakeRows(21, 6, 1, true, 8), 21, 8);
    for (uint32_t tag : {COMPRESSION_TRLE, COMPRESSION_ARLE, COMPRESSION_PRLE}) {
        MemoryDibSurface surface;
        ASSERT_EQ(LoadBytes(surface, plain), ResultOk);
        ASSERT_EQ(surface.Encode(tag), ResultOk);
        EXPECT_EQ(surface.IsEncoded(), 1u);
        EXPECT_EQ(HeaderOf(Held(surface)).biCompression, tag);
        const Bytes coded = Held(surface);
        ASSERT_EQ(surface.Decode(), ResultOk);
        EXPECT_EQ(Held(surface), plain);

        MemoryDibSurface loaded;
        ASSERT_EQ(LoadBytes(loaded, coded, LOAD_DECODE), ResultOk);
        EXPECT_EQ(loaded.IsEncoded(), 0u);
        EXPECT_EQ(Held(loaded), plain);

        // Damaged data is refused and the surface keeps its encoded image as it was.
        Bytes damaged = coded;
        const size_t data = 40 + kColours * 4;
        if (tag == COMPRESSION_TRLE) StoreLE16(&damaged[data + 16 + 6], 22);  // kept 22 of 21
        if (tag == COMPRESSION_ARLE) StoreLE32(&damaged[data], 0xFFFFFF);     // row offset
        if (tag == COMPRESSION_PRLE) damaged.back() ^= 0x55;                  // Adler-32
        ASSERT_EQ(LoadBytes(loaded, damaged), ResultOk);
        EXPECT_EQ(loaded.Decode(), ResultInvalid);
        EXPECT_EQ(loaded.IsEncoded(), 1u);
        EXPECT_EQ(Held(loaded), damaged);
        ASSERT_EQ(LoadBytes(loaded, damaged, LOAD_DECODE), ResultOk);
        EXPECT_EQ(loaded.IsEncoded(), 1u);
    }
    // 24-bit pixels are not run-length encoded; the surface stays plain.
    MemoryDibSurface rgb;
    const Bytes rgb24 = PlainDib(MakeRows(4, 4, 3, true, 9), 4, 24);
    ASSERT_EQ(LoadBytes(rgb, rgb24), ResultOk);
    EXPECT_EQ(rgb.Encode(COMPRESSION_ARLE), ResultInvalid);
    EXPECT_EQ(Held(rgb), rgb24);
}

TEST(RunLengthEncoding, SixteenBitTrleTakesItsFormatFromItsOwnData) {
    const Rows rows = MakeRows(7, 3, 2, true, 10);
    for (const Bytes* masks : {&k565, &k555}) {
        MemoryDibSurface surface, copy;
        ASSERT_EQ(LoadBytes(surface, TrleOf(rows, 7, 16, *masks)), ResultOk);
        EXPECT_EQ(surface.GetFormat(), masks == &k565 ? FMT_RGB565 : FMT_RGB555);
        ASSERT_EQ(copy.CopyFrom(&surface), ResultOk);
        EXPECT_EQ(copy.GetFormat(), surface.GetFormat());
        ASSERT_EQ(copy.Decode(), ResultOk);
        EXPECT_EQ(Held(copy), PlainDib(rows, 7, 16, *masks));
    }
    // A data area too short to hold the green mask, followed by bytes that would read as one:
    // the image has no format and is refused, instead of loading and then failing to copy.
    DibHeader header{40, 2, 0, 1, 16, COMPRESSION_TRLE, 4, 0, 0, 0, 0};
    Bytes cut(52, 0);
    WriteDibHeader(header, cut.data());
    StoreLE32(&cut[44], 0x7E0);
    EXPECT_EQ(FormatFromHeader(cut.data(), cut.size()), 0u);
    MemoryDibSurface surface;
    EXPECT_EQ(LoadBytes(surface, cut), ResultInvalid);
    EXPECT_EQ(surface.GetFormat(), 0u);
    header.biSizeImage = 16;
    WriteDibHeader(header, cut.data());
    cut.resize(56);
    EXPECT_EQ(FormatFromHeader(cut.data(), cut.size()), FMT_RGB565);
}
