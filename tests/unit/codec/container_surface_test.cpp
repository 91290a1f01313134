#include "graphics/codec/container_surface.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "graphics/core/little_endian.h"
#include "graphics/image/load_flags.h"
#include "graphics/image/memory_dib_surface.h"
#include "graphics/io/global_memory_stream.h"
#include "graphics/platform/file.h"
#include "tests/unit/platform/scratch_folder.h"

using namespace gfx;

namespace {

using Bytes = std::vector<uint8_t>;

// A stream of the given bytes that counts its live instances, so that tests see who destroyed it.
class CountedStream : public GlobalMemoryStream {
  public:
    static inline int live = 0;
    explicit CountedStream(const Bytes& bytes) : GlobalMemoryStream(uint32_t(bytes.size()), true) {
        if (!bytes.empty()) std::memcpy(data, bytes.data(), bytes.size());
        ++live;
    }
    ~CountedStream() override { --live; }
};

// A container: header, `gap` bytes, palette entry i {i, 2i, 3i, 4} for indexed formats, then
// rows whose bytes count up from 1.
Bytes Container(uint32_t width, uint32_t height, PixelFormat format, uint32_t frames = 1,
                uint32_t gap = 0) {
    Bytes file(28 + gap, 0xEE);
    const uint32_t fields[] = {0x5A424D20, 28 + gap, width, height, format, 0, frames};
    for (uint32_t i = 0; i < 7; ++i) StoreLE32(&file[4 * i], fields[i]);
    for (uint32_t i = 0; IsIndexedFormat(format) && i < 1u << BitsPerPixel(format); ++i) {
        file.insert(file.end(), {uint8_t(i), uint8_t(2 * i), uint8_t(3 * i), 4});
    }
    const size_t rows = size_t{RowBytes(format, int32_t(width & 0xFFFF))} * (height & 0xFFFF);
    for (size_t i = 0; i < rows; ++i) file.push_back(uint8_t(i + 1));
    return file;
}

// A 3 x 2 8-bit bitmap file: colour i is {blue i, green 2i, red 3i}; bottom row 1 2 3, top 4 5 6.
Bytes BitmapFile() {
    Bytes file(14 + 40, 0);
    file[0] = 'B', file[1] = 'M';
    const uint32_t fields[] = {40, 3, 2, 0x00080001};
    for (uint32_t i = 0; i < 4; ++i) StoreLE32(&file[14 + 4 * i], fields[i]);
    for (uint32_t i = 0; i < 256; ++i) {
        file.insert(file.end(), {uint8_t(i), uint8_t(2 * i), uint8_t(3 * i), 0});
    }
    file.insert(file.end(), {1, 2, 3, 0, 4, 5, 6, 0});
    return file;
}

// The rows in memory order, RowBytes each.
Bytes Rows(Surface& surface) {
    uint8_t* rows = nullptr;
    int32_t pitch = 0;
    if (surface.Lock(&rows, &pitch) != ResultOk) return {};
    const uint32_t rowBytes = RowBytes(surface.GetFormat(), surface.GetWidth());
    Bytes copy;
    for (int32_t y = 0; y < surface.GetHeight(); ++y) {
        copy.insert(copy.end(), rows + y * pitch, rows + y * pitch + rowBytes);
    }
    surface.Unlock();
    return copy;
}

Result LoadFile(Surface& surface, const std::string& path, uint32_t flags = 0) {
    return surface.Load(path.c_str(), flags, nullptr, nullptr, nullptr, 0, nullptr);
}

Result LoadStream(Surface& surface, Stream* stream, uint32_t flags = 0) {
    return surface.Load(stream, LOAD_FROM_STREAM | flags, nullptr, nullptr, nullptr, 0, nullptr);
}

void WriteFile(const std::string& path, const Bytes& bytes) {
    ASSERT_EQ(WriteBlockToFile(path.c_str(), bytes.data(), uint32_t(bytes.size())), bytes.size());
}

const Stream* Parent(const ContainerSurface& surface) {
    return reinterpret_cast<const Stream*>(surface.GetPixelStream()->owner);
}

}  // namespace

TEST(ContainerSurface, FileRowsAreUsedWhereTheMappingPutsThem) {
    ScratchFolder folder;
    ASSERT_TRUE(folder.Ok());
    WriteFile(folder.File("pic.zbm"), Container(2, 2, FMT_INDEX8, 4));
    ContainerSurface surface;
    ASSERT_EQ(LoadFile(surface, folder.File("pic.zbm")), ResultOk);
    EXPECT_EQ(surface.GetKind(), KIND_CONTAINER);
    EXPECT_EQ(surface.GetFormat(), FMT_INDEX8);
    EXPECT_EQ(surface.GetFrameCount(), 4);
    EXPECT_EQ(Parent(surface)->kind, uint32_t{STREAM_MAPPED_FILE});
    uint8_t* address = nullptr;
    int32_t pitch = 0;
    ASSERT_EQ(surface.Lock(&address, &pitch), ResultOk);
    EXPECT_EQ(address, Parent(surface)->data + 1052);  // after the 1024 bytes of palette
    EXPECT_EQ(pitch, 4);
    // Lock counts nothing; Unlock always succeeds.
    EXPECT_EQ(surface.GetAccessCount(), 0);
    EXPECT_EQ(surface.Unlock(), ResultOk);
    EXPECT_EQ(surface.Unlock(), ResultOk);
    EXPECT_EQ(Rows(surface), (Bytes{1, 2, 3, 4, 5, 6, 7, 8}));
    ASSERT_EQ(surface.GetPalette()->GetEntryCount(), 256u);
    const PaletteEntry colour = surface.GetPalette()->GetEntryData()[5];
    EXPECT_EQ(colour.red + colour.green * 256 + colour.blue * 65536, 5 + 10 * 256 + 15 * 65536);

    // A 16-bit container has no palette: its rows start at the data offset, wherever that is. A
    // frame count of 0 is kept as 1.
    WriteFile(folder.File("wide.dat"), Container(3, 2, FMT_RGB565, 0, 12));
    ASSERT_EQ(LoadFile(surface, folder.File("wide.dat"), LOAD_CONTAINER), ResultOk);
    EXPECT_EQ(surface.GetPalette(), nullptr);
    EXPECT_EQ(surface.GetFrameCount(), 1);
    ASSERT_EQ(surface.Lock(&address, &pitch), ResultOk);
    EXPECT_EQ(address, Parent(surface)->data + 40);
    EXPECT_EQ(pitch, 8);
    surface.Free();
    EXPECT_EQ(surface.Lock(&address, &pitch), ResultNoImage);
}

TEST(ContainerSurface, CopyIsPrivateAndOutlivesTheFileAndCallersStreamsPassOnlyWithoutIt) {
    ScratchFolder folder;
    ASSERT_TRUE(folder.Ok());
    const std::string path = folder.File("copy.zbm");
    WriteFile(path, Container(2, 2, FMT_INDEX4, 1, 4));
    ContainerSurface surface;
    ASSERT_EQ(LoadFile(surface, path, LOAD_COPY), ResultOk);
    EXPECT_EQ(Parent(surface)->kind, uint32_t{STREAM_GLOBAL_MEMORY});
    EXPECT_TRUE(std::filesystem::remove(path));
    uint8_t* rows = nullptr;
    int32_t pitch = 0;
    ASSERT_EQ(surface.Lock(&rows, &pitch), ResultOk);
    rows[pitch] = 0x99;
    EXPECT_EQ(Rows(surface), (Bytes{1, 2, 3, 4, 0x99, 6, 7, 8}));
    EXPECT_EQ(surface.GetPalette()->GetEntryData()[15].blue, 45);

    auto* kept = new CountedStream(Container(1, 1, FMT_RGB24));
    ASSERT_EQ(LoadStream(surface, kept, LOAD_COPY), ResultOk);
    kept->data[28] = 0x55;
    EXPECT_EQ(Rows(surface)[0], 1);
    ASSERT_EQ(LoadStream(surface, kept), ResultOk);
    EXPECT_EQ(Rows(surface)[0], 0x55);
    // The stream held now can be given back to Load (a window on the rows: it has no magic).
    EXPECT_EQ(LoadStream(surface, surface.GetPixelStream()), ResultFailed);
    EXPECT_EQ(CountedStream::live, 0);
}

TEST(ContainerSurface, RefusesSourcesAndDamagedHeadersBeforeAttachingAnything) {
    ScratchFolder folder;
    ASSERT_TRUE(folder.Ok());
    ContainerSurface surface;
    EXPECT_EQ(LoadFile(surface, folder.File("missing.zbm")), ResultNoSource);
    WriteFile(folder.File("empty.zbm"), {});
    EXPECT_EQ(LoadFile(surface, folder.File("empty.zbm")), ResultNoSource);
    EXPECT_EQ(LoadStream(surface, nullptr), ResultNoSource);
    EXPECT_EQ(surface.Load("x.zbm", 3, nullptr, nullptr, nullptr, 0, nullptr), ResultInvalid);
    WriteFile(folder.File("pic.bmp"), BitmapFile());
    EXPECT_EQ(LoadFile(surface, folder.File("pic.bmp"), LOAD_CONTAINER), ResultFailed);
    EXPECT_EQ(LoadStream(surface, new CountedStream({0x20, 0x4D, 0x42})), ResultFailed);

    const Bytes good = Container(3, 2, FMT_INDEX8);
    struct Damage {
        const char* what;
        uint32_t at, value;
        size_t cut;  // bytes removed from the end
    } const damages[] = {
        {"header cut short", 0, 0x5A424D20, good.size() - 27},
        {"data offset inside the header", 4, 27, 0},
        {"data offset past the end", 4, uint32_t(good.size()) + 1, 0},
        {"data offset that wraps", 4, 0xFFFFFF00, 0},
        {"palette past the end", 4, uint32_t(good.size()) - 1024 + 1, 0},
        {"pixel area one byte short", 0, 0x5A424D20, 1},
        {"damaged width times height", 8, 0xFFFF, 0},
        {"row longer than a pitch", 8, 65533, 0},
        {"unknown format", 16, 0x48000001, 0},
        {"format without bits", 16, 0x00E40565, 0},
    };
    for (const Damage& damage : damages) {
        Bytes bytes = good;
        StoreLE32(&bytes[damage.at], damage.value);
        bytes.resize(bytes.size() - damage.cut);
        ASSERT_EQ(surface.Create(1, 1, FMT_RGB24, 0, nullptr), ResultOk);
        EXPECT_EQ(LoadStream(surface, new CountedStream(bytes)), ResultInvalid) << damage.what;
        EXPECT_EQ(surface.GetPixelStream(), nullptr) << damage.what;
        EXPECT_EQ(surface.GetFormat(), 0u) << damage.what;
        auto* kept = new CountedStream(bytes);
        EXPECT_EQ(LoadStream(surface, kept, LOAD_COPY), ResultInvalid) << damage.what;
        EXPECT_EQ(CountedStream::live, 1) << damage.what;
        delete kept;
    }
    // Width and height are kept modulo 65536, and the rows are checked at the kept size.
    ASSERT_EQ(LoadStream(surface, new CountedStream(Container(0x10003, 0x20002, FMT_INDEX8))),
              ResultOk);
    EXPECT_EQ(surface.GetWidth() * 100 + surface.GetHeight(), 302);
}

TEST(ContainerSurface, BitmapNamesAreReadAsBitmapsAndCopiedTopDown) {
    ScratchFolder folder;
    ASSERT_TRUE(folder.Ok());
    WriteFile(folder.File("pic.BMP"), BitmapFile());
    ContainerSurface surface;
    ASSERT_EQ(LoadFile(surface, folder.File("pic.BMP"), LOAD_COPY), ResultOk);
    EXPECT_EQ(surface.GetFormat(), FMT_INDEX8);
    EXPECT_EQ(Rows(surface), (Bytes{4, 5, 6, 0, 1, 2, 3, 0}));
    EXPECT_EQ(surface.GetPalette()->GetEntryData()[7].red, 21);
    EXPECT_EQ(LoadFile(surface, folder.File("gone.bmp")), ResultInvalid);  // the bitmap reader's
    // A resource id is not text, so it has no extension.
    EXPECT_EQ(surface.Load(MakeIntResource(7), LOAD_FROM_RESOURCE, nullptr, MakeIntResource(300),
                           nullptr, 0, nullptr),
              ResultFailed);
}

TEST(ContainerSurface, CreateAttachRawAndTheBaseRowCopy) {
    ContainerSurface surface;
    ASSERT_EQ(surface.Create(5, 3, FMT_INDEX4, 0, nullptr), ResultOk);
    EXPECT_EQ(Rows(surface), Bytes(12, 0));
    EXPECT_EQ(surface.GetPalette()->GetEntryCount(), 16u);
    EXPECT_EQ(surface.Create(5, 3, 0x00E40565, 0, nullptr), ResultInvalid);
    EXPECT_EQ(surface.Create(16384, 1, FMT_RGB32, 0, nullptr), ResultInvalid);

    // A stream shorter than the rows is refused and stays with the caller.
    auto* block = new CountedStream(Bytes(11, 7));
    EXPECT_EQ(surface.AttachRaw(block, 1, 3, FMT_RGB24, nullptr, true), ResultInvalid);
    EXPECT_EQ(surface.AttachRaw(block, 0x10001, 2, FMT_RGB24, nullptr, true), ResultOk);
    EXPECT_EQ(surface.GetWidth(), 1);
    surface.Free();
    EXPECT_EQ(CountedStream::live, 0);

    MemoryDibSurface bitmap;
    ASSERT_EQ(LoadStream(bitmap, new CountedStream(BitmapFile())), ResultOk);
    bitmap.SetFrameCount(2);
    ASSERT_EQ(surface.CopyFrom(&bitmap), ResultOk);
    EXPECT_EQ(Rows(surface), (Bytes{4, 5, 6, 0, 1, 2, 3, 0}));
    EXPECT_EQ(surface.GetFrameCount(), 2);
}

TEST(ContainerSurface, ResourcesLoadInPlace) {
    ContainerSurface surface;
    ASSERT_EQ(surface.Load("FilmStrip", LOAD_FROM_RESOURCE, nullptr, "ZBM", nullptr, 0, nullptr),
              ResultOk);
    EXPECT_EQ(surface.GetFormat(), FMT_RGB24);
    EXPECT_EQ(surface.GetFrameCount(), 2);
    EXPECT_EQ(Parent(surface)->kind, uint32_t{STREAM_RESOURCE});
    uint8_t* rows = nullptr;
    int32_t pitch = 0;
    ASSERT_EQ(surface.Lock(&rows, &pitch), ResultOk);
    EXPECT_EQ(rows, Parent(surface)->data + 32);
    EXPECT_EQ(rows[pitch], 12 * 7 + 1);
    EXPECT_EQ(surface.Load("Missing", LOAD_FROM_RESOURCE, nullptr, "ZBM", nullptr, 0, nullptr),
              ResultNoSource);
}

TEST(ContainerSurface, MemoryDibSurfaceReadsContainersByExtensionOrType) {
    ScratchFolder folder;
    ASSERT_TRUE(folder.Ok());
    for (const auto& [name, flags] : {std::pair{"strip.ZBM", 0u}, {"strip.dat", LOAD_CONTAINER}}) {
        WriteFile(folder.File(name), Container(3, 2, FMT_INDEX8, 2));
        MemoryDibSurface surface;
        ASSERT_EQ(LoadFile(surface, folder.File(name), flags), ResultOk) << name;
        EXPECT_EQ(surface.GetFrameCount(), 2);
        EXPECT_EQ(Rows(surface), (Bytes{5, 6, 7, 8, 1, 2, 3, 4}));  // bottom-up now
        EXPECT_EQ(surface.GetDibHeader()[40 + 4 * 2], 6);  // the colour table, blue first
    }
    MemoryDibSurface surface;
    EXPECT_EQ(LoadFile(surface, folder.File("none.zbm")), ResultNoSource);
    EXPECT_EQ(LoadStream(surface, new CountedStream(BitmapFile()), LOAD_CONTAINER), ResultFailed);
    EXPECT_EQ(CountedStream::live, 0);
}
