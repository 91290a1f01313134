// Bitmaps in the other header forms and with top-down rows load as converted copies that hold
// exactly what the library's own form of the same picture holds.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "graphics/core/dib_header.h"
#include "graphics/core/little_endian.h"
#include "graphics/image/load_flags.h"
#include "graphics/image/memory_dib_surface.h"
#include "graphics/io/global_memory_stream.h"

using namespace gfx;

namespace {

struct Picture {
    int32_t width;
    int32_t height;
    uint16_t bits;
    bool bitFields = false;
};

uint32_t Stride(const Picture& p) { return (uint32_t(p.width) * p.bits + 31) / 32 * 4; }

// Row y (bottom-up numbering) of the picture: bytes counting from a per-row start.
std::vector<uint8_t> Row(const Picture& p, int32_t y) {
    std::vector<uint8_t> row(Stride(p));
    for (size_t i = 0; i < row.size(); ++i) row[i] = uint8_t(7 * y + i + 1);
    return row;
}

const uint8_t kMasks565[12] = {0x00, 0xF8, 0, 0, 0xE0, 0x07, 0, 0, 0x1F, 0, 0, 0};

void Put32(std::vector<uint8_t>& out, uint32_t v) {
    uint8_t b[4];
    StoreLE32(b, v);
    out.insert(out.end(), b, b + 4);
}

void Put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}

// The picture stored with an info header of `headerBytes` (12, 40, 52, 56, 108 or 124), its
// colour entries {blue i, green 2i, red 3i} (three bytes each after a 12-byte header), rows
// bottom-up or top-down, after an optional file header that points at the rows.
std::vector<uint8_t> Store(const Picture& p, uint32_t headerBytes, bool topDown, bool file) {
    std::vector<uint8_t> info;
    const uint32_t colours = p.bits <= 8 ? 1u << p.bits : 0;
    if (headerBytes == 12) {
        Put32(info, 12);
        Put16(info, uint32_t(p.width));
        Put16(info, uint32_t(p.height));
        Put16(info, 1);
        Put16(info, p.bits);
    } else {
        Put32(info, headerBytes);
        Put32(info, uint32_t(p.width));
        Put32(info, uint32_t(topDown ? -p.height : p.height));
        Put16(info, 1);
        Put16(info, p.bits);
        Put32(info, p.bitFields ? COMPRESSION_BITFIELDS : COMPRESSION_NONE);
        for (int i = 0; i < 5; ++i) Put32(info, 0);
        if (headerBytes > 40) info.insert(info.end(), kMasks565, kMasks565 + 12);
        info.resize(headerBytes, 0xAA);  // the later fields of the longer headers are not read
        if (headerBytes == 40 && p.bitFields) info.insert(info.end(), kMasks565, kMasks565 + 12);
    }
    for (uint32_t i = 0; i < colours; ++i) {
        info.insert(info.end(), {uint8_t(i), uint8_t(2 * i), uint8_t(3 * i)});
        if (headerBytes != 12) info.push_back(0);
    }
    std::vector<uint8_t> out;
    if (file) {
        out = {'B', 'M'};
        Put32(out, 0);
        Put32(out, 0);
        Put32(out, uint32_t(14 + info.size()));
    }
    out.insert(out.end(), info.begin(), info.end());
    for (int32_t i = 0; i < p.height; ++i) {
        const std::vector<uint8_t> row = Row(p, topDown ? p.height - 1 - i : i);
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

struct Loaded {
    Result status;
    PixelFormat format = 0;
    int width = 0, height = 0;
    std::vector<uint8_t> block;  // the packed DIB the surface keeps
    std::vector<PaletteEntry> colours;
};

Loaded Load(const std::vector<uint8_t>& bytes) {
    auto* stream = new GlobalMemoryStream(uint32_t(bytes.size()), true);
    if (!bytes.empty()) std::memcpy(stream->data, bytes.data(), bytes.size());
    MemoryDibSurface surface;
    Loaded loaded;
    loaded.status = surface.Load(stream, LOAD_FROM_STREAM, nullptr, nullptr, nullptr, 0,
                                 nullptr);
    loaded.format = surface.GetFormat();
    loaded.width = surface.GetWidth();
    loaded.height = surface.GetHeight();
    if (const uint8_t* header = static_cast<const uint8_t*>(surface.GetDibHeader())) {
        DibHeader parsed;
        ReadDibHeader(header, DIB_HEADER_BYTES, &parsed);
        loaded.block.assign(header, header + PackedDibSize(parsed));
    }
    if (Palette* palette = surface.GetPalette()) {
        loaded.colours.resize(palette->GetEntryCount());
        palette->GetEntries(loaded.colours.data(), 0, palette->GetEntryCount());
    }
    return loaded;
}

}  // namespace

TEST(ForeignBitmap, EveryHeaderFormAndTopDownRowsLoadAsTheLibrarysOwnForm) {
    const Picture pictures[] = {{5, 3, 8}, {7, 2, 4}, {9, 2, 1}, {3, 3, 24},
                                {5, 2, 16, true}, {2, 2, 32}, {4, 1, 16}};
    for (const Picture& p : pictures) {
        const Loaded own = Load(Store(p, 40, false, false));
        ASSERT_EQ(own.status, ResultOk) << p.bits;
        for (uint32_t headerBytes : {12u, 40u, 52u, 56u, 108u, 124u}) {
            if (headerBytes == 12 && p.bitFields) continue;
            for (bool topDown : {false, true}) {
                if (headerBytes == 12 && topDown) continue;  // its height has no sign
                for (bool file : {false, true}) {
                    SCOPED_TRACE(testing::Message() << p.bits << " bits, header " << headerBytes
                                                    << (topDown ? " top-down" : "")
                                                    << (file ? " in a file" : ""));
                    const Loaded got = Load(Store(p, headerBytes, topDown, file));
                    ASSERT_EQ(got.status, ResultOk);
                    EXPECT_EQ(got.format, own.format);
                    EXPECT_EQ(got.width, p.width);
                    EXPECT_EQ(got.height, p.height);
                    EXPECT_EQ(got.block, own.block);
                    ASSERT_EQ(got.colours.size(), own.colours.size());
                    for (size_t i = 0; i < own.colours.size(); ++i) {
                        EXPECT_EQ(std::memcmp(&got.colours[i], &own.colours[i], 4), 0) << i;
                    }
                }
            }
        }
    }
}

TEST(ForeignBitmap, DamagedOrUnsupportedFormsAreRefused) {
    const Picture p{5, 3, 8};
    auto refused = [](std::vector<uint8_t> bytes, const char* why) {
        const Loaded got = Load(bytes);
        EXPECT_EQ(got.status, ResultInvalid) << why;
        EXPECT_EQ(got.format, 0u) << why;
    };
    for (uint32_t headerBytes : {12u, 52u, 108u, 124u}) {
        SCOPED_TRACE(headerBytes);
        std::vector<uint8_t> bytes = Store(p, headerBytes, false, true);
        refused({bytes.begin(), bytes.end() - 1}, "one row byte short");
        refused({bytes.begin(), bytes.begin() + 14 + headerBytes - 1}, "header cut short");
        refused({bytes.begin(), bytes.begin() + 14 + headerBytes + 10}, "colour table cut short");
    }
    std::vector<uint8_t> topDown = Store(p, 108, true, false);
    refused({topDown.begin(), topDown.end() - 1}, "top-down rows one byte short");

    std::vector<uint8_t> bytes = Store(p, 108, true, false);
    StoreLE32(&bytes[16], 1);  // the platform's 8-bit run-length code, top-down
    refused(bytes, "top-down encoded rows");
    bytes = Store(p, 108, false, false);
    StoreLE32(&bytes[0], 64);
    refused(bytes, "an info header length the library does not know");
    bytes = Store(p, 108, false, false);
    StoreLE32(&bytes[8], 0x80000000u);
    refused(bytes, "the most negative height");
    bytes = Store(Picture{0, 1, 8}, 40, true, false);
    StoreLE32(&bytes[8], uint32_t(-70000));
    refused(bytes, "top-down empty rows, more than a surface holds");
    bytes = Store(p, 108, false, false);
    StoreLE16(&bytes[14], 12);
    refused(bytes, "a bit count the library does not know");
    bytes = Store(Picture{5, 2, 32, true}, 124, false, false);
    StoreLE32(&bytes[40], 0xFF000000u);  // red in the top byte: no format of the library
    refused(bytes, "masks of no format");
}

TEST(ForeignBitmap, AFileHeaderThatPointsPastTheFileIsNotTrusted) {
    const Picture p{5, 3, 8};
    std::vector<uint8_t> bytes = Store(p, 12, false, true);
    const Loaded own = Load(Store(p, 40, false, false));
    StoreLE32(&bytes[10], 0xFFFFFF00u);
    const Loaded got = Load(bytes);
    ASSERT_EQ(got.status, ResultOk);
    EXPECT_EQ(got.block, own.block);
}
