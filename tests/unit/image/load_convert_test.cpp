// Loading with LOAD_CONVERT: the loaded picture is brought to the format and palette of a
// template surface, on the bitmap path and the container path.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "graphics/codec/container_surface.h"
#include "graphics/core/dib_header.h"
#include "graphics/core/little_endian.h"
#include "graphics/image/load_flags.h"
#include "graphics/image/memory_dib_surface.h"
#include "graphics/io/global_memory_stream.h"
#include "graphics/platform/file.h"
#include "tests/unit/platform/scratch_folder.h"

using namespace gfx;

namespace {

using Bytes = std::vector<uint8_t>;

// A 4 x 2 8-bit bitmap: colour i is {red i, green 255 - i, blue 7}; the bottom row holds indices
// 1 2 3 4, the top row 250 251 252 253.
Bytes Bitmap() {
    DibHeader header{};
    header.biSize = DIB_HEADER_BYTES;
    header.biWidth = 4;
    header.biHeight = 2;
    header.biPlanes = 1;
    header.biBitCount = 8;
    Bytes dib(DIB_HEADER_BYTES);
    WriteDibHeader(header, dib.data());
    for (int i = 0; i < 256; ++i) dib.insert(dib.end(), {7, uint8_t(255 - i), uint8_t(i), 0});
    dib.insert(dib.end(), {1, 2, 3, 4, 250, 251, 252, 253});
    return dib;
}

// A 2 x 2 24-bit container: rows top first, pixels {blue, green, red} = {10, 20, 30} ... counting.
Bytes Container() {
    Bytes file(28, 0);
    const uint32_t fields[] = {0x5A424D20, 28, 2, 2, FMT_RGB24, 0, 3};
    for (uint32_t i = 0; i < 7; ++i) StoreLE32(&file[4 * i], fields[i]);
    const uint8_t rows[] = {10, 20, 30, 40, 50, 60, 0, 0, 70, 80, 90, 100, 110, 120, 0, 0};
    file.insert(file.end(), rows, rows + sizeof(rows));
    return file;
}

Stream* StreamOf(const Bytes& bytes) {
    auto* s = new GlobalMemoryStream(uint32_t(bytes.size()), true);
    std::memcpy(s->data, bytes.data(), bytes.size());
    return s;
}

Result Load(Surface& s, const Bytes& bytes, uint32_t flags, Surface* templateSurface) {
    return s.Load(StreamOf(bytes), LOAD_FROM_STREAM | flags, nullptr, nullptr, templateSurface, 0,
                  nullptr);
}

// Memory rows as raw pixels of the surface's depth.
std::vector<uint32_t> Pixels(Surface& s) {
    uint8_t* rows = nullptr;
    int32_t pitch = 0;
    std::vector<uint32_t> out;
    if (s.Lock(&rows, &pitch) != ResultOk) return out;
    const uint32_t bytes = BitsPerPixel(s.GetFormat()) / 8;
    for (int y = 0; y < s.GetHeight(); ++y) {
        for (int x = 0; x < s.GetWidth(); ++x) {
            uint32_t v = 0;
            for (uint32_t k = 0; k < bytes; ++k) v |= uint32_t(rows[y * pitch + x * bytes + k]) << (8 * k);
            out.push_back(v);
        }
    }
    s.Unlock();
    return out;
}

uint32_t Rgb555(int r, int g, int b) { return uint32_t((r >> 3) << 10 | (g >> 3) << 5 | (b >> 3)); }

}  // namespace

TEST(LoadConvert, BitmapTakesTheTemplatesFormatOrIsRemappedOntoItsPalette) {
    MemoryDibSurface direct;
    ASSERT_EQ(direct.Create(1, 1, FMT_RGB555, 0, nullptr), ResultOk);
    MemoryDibSurface s;
    ASSERT_EQ(Load(s, Bitmap(), LOAD_CONVERT, &direct), ResultOk);
    EXPECT_EQ(s.GetFormat(), FMT_RGB555);
    EXPECT_EQ(s.GetPalette(), nullptr);
    EXPECT_EQ(Pixels(s), (std::vector<uint32_t>{Rgb555(1, 254, 7), Rgb555(2, 253, 7), Rgb555(3, 252, 7),
                                                Rgb555(4, 251, 7), Rgb555(250, 5, 7), Rgb555(251, 4, 7),
                                                Rgb555(252, 3, 7), Rgb555(253, 2, 7)}));

    // An indexed template: the picture is matched against its palette, here the same colours in
    // the reverse order.
    MemoryDibSurface indexed;
    ASSERT_EQ(indexed.Create(1, 1, FMT_INDEX8, 0, nullptr), ResultOk);
    auto* reversed = new Palette;
    ASSERT_EQ(reversed->Create(256), ResultOk);
    PaletteEntry entries[256];
    for (int i = 0; i < 256; ++i) entries[i] = {uint8_t(255 - i), uint8_t(i), 7, 0};
    reversed->SetEntries(entries, 0, 256);
    ASSERT_EQ(indexed.SetPalette(reversed), ResultOk);
    reversed->Release();
    ASSERT_EQ(Load(s, Bitmap(), LOAD_CONVERT, &indexed), ResultOk);
    EXPECT_EQ(s.GetFormat(), FMT_INDEX8);
    EXPECT_EQ(s.GetPalette(), indexed.GetPalette());
    EXPECT_EQ(Pixels(s), (std::vector<uint32_t>{254, 253, 252, 251, 5, 4, 3, 2}));

    // No conversion without the flag, or with a template that holds no image.
    MemoryDibSurface none;
    ASSERT_EQ(Load(s, Bitmap(), 0, &direct), ResultOk);
    EXPECT_EQ(s.GetFormat(), FMT_INDEX8);
    ASSERT_EQ(Load(s, Bitmap(), LOAD_CONVERT, &none), ResultOk);
    EXPECT_EQ(s.GetFormat(), FMT_INDEX8);
    ASSERT_EQ(Load(s, Bitmap(), LOAD_CONVERT, nullptr), ResultOk);
    EXPECT_EQ(s.GetFormat(), FMT_INDEX8);
}

TEST(LoadConvert, AMappedFileIsConvertedIntoNewRowsAndLeftAsItWas) {
    ScratchFolder folder;
    ASSERT_TRUE(folder.Ok());
    const std::string path = folder.File("pic.bmp");
    const Bytes file = Bitmap();
    ASSERT_EQ(WriteBlockToFile(path.c_str(), file.data(), uint32_t(file.size())), file.size());
    MemoryDibSurface direct;
    ASSERT_EQ(direct.Create(1, 1, FMT_RGB32, 0, nullptr), ResultOk);
    MemoryDibSurface s;
    ASSERT_EQ(s.Load(path.c_str(), LOAD_FROM_FILE | LOAD_CONVERT, nullptr, nullptr, &direct, 0, nullptr),
              ResultOk);
    EXPECT_EQ(s.GetFormat(), FMT_RGB32);
    EXPECT_EQ(Pixels(s)[0], 0x01FE07u);
    s.Free();
    MemoryDibSurface again;
    ASSERT_EQ(again.Load(path.c_str(), LOAD_FROM_FILE, nullptr, nullptr, nullptr, 0, nullptr), ResultOk);
    EXPECT_EQ(again.GetFormat(), FMT_INDEX8);
    EXPECT_EQ(Pixels(again)[0], 1u);
}

TEST(LoadConvert, ContainersConvertInTheReaderAndThroughTheMemoryDib) {
    MemoryDibSurface direct;
    ASSERT_EQ(direct.Create(1, 1, FMT_RGB555, 0, nullptr), ResultOk);
    const std::vector<uint32_t> top = {Rgb555(30, 20, 10), Rgb555(60, 50, 40)};
    const std::vector<uint32_t> bottom = {Rgb555(90, 80, 70), Rgb555(120, 110, 100)};

    ContainerSurface c;
    ASSERT_EQ(Load(c, Container(), LOAD_CONVERT, &direct), ResultOk);
    EXPECT_EQ(c.GetFormat(), FMT_RGB555);
    EXPECT_EQ(c.GetFrameCount(), 3);
    EXPECT_EQ(Pixels(c), (std::vector<uint32_t>{top[0], top[1], bottom[0], bottom[1]}));

    // The memory DIB copies the converted container; its rows are bottom-up.
    MemoryDibSurface s;
    ASSERT_EQ(Load(s, Container(), LOAD_CONTAINER | LOAD_CONVERT, &direct), ResultOk);
    EXPECT_EQ(s.GetFormat(), FMT_RGB555);
    EXPECT_EQ(Pixels(s), (std::vector<uint32_t>{bottom[0], bottom[1], top[0], top[1]}));
}
