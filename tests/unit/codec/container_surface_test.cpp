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
#include "graphics/io/sub_stream.h"
#include "graphics/platform/file.h"
#include "tests/unit/platform/scratch_folder.h"

using namespace gfx;

namespace {

using Bytes = std::vector<uint8_t>;

// A stream of exactly the given bytes that counts its live instances, so that tests see who
// destroyed it.
class CountedStream : public GlobalMemoryStream {
  public:
    static inline int live = 0;
    explicit CountedStream(const Bytes& bytes)
        : GlobalMemoryStream(static_cast<uint32_t>(bytes.size()), true) {
        if (!bytes.empty()) std::memcpy(data, bytes.data(), bytes.size());
        ++live;
    }
    ~CountedStream() override { --live; }
};

// A container file: the header, `gap` bytes, palette entry i {i, 2i, 3i, 4} for indexed formats,
// then rows whose bytes count up from 1.
Bytes Container(uint32_t width, uint32_t height, PixelFormat format, uint32_t frames = 1,
                uint32_t gap = 0) {
    Bytes file(28 + gap, 0xEE);
    StoreLE32(&file[0], 0x5A424D20);
    StoreLE32(&file[4], 28 + gap);
    StoreLE32(&file[8], width);
    StoreLE32(&file[12], height);
    StoreLE32(&file[16], format);
    StoreLE32(&file[20], 0);
    StoreLE32(&file[24], frames);
    if (IsIndexedFormat(format)) {
        for (uint32_t i = 0; i < 1u << BitsPerPixel(format); ++i) {
            file.insert(file.end(), {uint8_t(i), uint8_t(2 * i), uint8_t(3 * i), 4});
        }
    }
    const size_t rows = size_t{RowBytes(format, int32_t(width & 0xFFFF))} * (height & 0xFFFF);
    for (size_t i = 0; i < rows; ++i) file.push_back(uint8_t(i + 1));
    return file;
}

// A bottom-up 8-bit bitmap file, 3 x 2: colour i is {blue i, green 2i, red 3i}; the bottom row
// holds 1 2 3, the top row 4 5 6.
Bytes BitmapFile() {
    Bytes file(14 + 40, 0);
    file[0] = 'B', file[1] = 'M';
    StoreLE32(&file[10], 14 + 40 + 1024);
    uint8_t* info = &file[14];
    StoreLE32(info + 0, 40);
    StoreLE32(info + 4, 3);
    StoreLE32(info + 8, 2);
    StoreLE16(info + 12, 1);
    StoreLE16(info + 14, 8);
    for (uint32_t i = 0; i < 256; ++i) {
        file.insert(file.end(), {uint8_t(i), uint8_t(2 * i), uint8_t(3 * i), 0});
    }
    file.insert(file.end(), {1, 2, 3, 0, 4, 5, 6, 0});
    return file;
}

Bytes Rows(Surface& surface) {
    uint8_t* rows = nullptr;
    int32_t pitch = 0;
    if (surface.Lock(&rows, &pitch) != ResultOk) return {};
    Bytes copy;
    const uint32_t rowBytes = RowBytes(surface.GetFormat(), surface.GetWidth());
    for (int32_t y = 0; y < surface.GetHeight(); ++y) {
        copy.insert(copy.end(), rows + y * pitch, rows + y * pitch + rowBytes);
    }
    surface.Unlock();
    return copy;
}

Result LoadFile(Surface& surface, const std::string& path, uint32_t flags = 0) {
    return surface.Load(path.c_str(), LOAD_FROM_FILE | flags, nullptr, nullptr, nullptr, 0,
                        nullptr);
}

Result LoadStream(Surface& surface, Stream* stream, uint32_t flags = 0) {
    return surface.Load(stream, LOAD_FROM_STREAM | flags, nullptr, nullptr, nullptr, 0, nullptr);
}

void WriteFile(const std::string& path, const Bytes& bytes) {
    ASSERT_EQ(WriteBlockToFile(path.c_str(), bytes.data(), uint32_t(bytes.size())), bytes.size());
}

bool Empty(ContainerSurface& surface) {
    uint8_t* rows = nullptr;
    int32_t pitch = 0;
    return surface.GetFormat() == 0 && surface.GetPixelStream() == nullptr &&
           surface.GetPalette() == nullptr && surface.Lock(&rows, &pitch) == ResultNoImage;
}

}  // namespace

TEST(ContainerSurface, FileRowsAreUsedWhereTheMappingPutsThem) {
    ScratchFolder folder;
    ASSERT_TRUE(folder.Ok());
    const Bytes indexed = Container(2, 2, FMT_INDEX8);
    ASSERT_EQ(indexed.size(), 1052u + 8u);
    WriteFile(folder.File("pic.zbm"), indexed);

    ContainerSurface surface;
    ASSERT_EQ(LoadFile(surface, folder.File("pic.zbm")), ResultOk);
    EXPECT_EQ(surface.GetKind(), KIND_CONTAINER);
    EXPECT_EQ(surface.IsBottomUp(), 0);
    EXPECT_EQ(surface.GetWidth(), 2);
    EXPECT_EQ(surface.GetHeight(), 2);
    EXPECT_EQ(surface.GetFormat(), FMT_INDEX8);
    EXPECT_EQ(surface.GetFrameCount(), 1);
    Stream* rows = surface.GetPixelStream();
    ASSERT_NE(rows, nullptr);
    EXPECT_EQ(rows->kind, uint32_t{STREAM_SUB});
    const auto* file = reinterpret_cast<Stream*>(rows->owner);
    EXPECT_EQ(file->kind, uint32_t{STREAM_MAPPED_FILE});
    EXPECT_NE(file->readOnly, 0u);
    uint8_t* address = nullptr;
    int32_t pitch = 0;
    ASSERT_EQ(surface.Lock(&address, &pitch), ResultOk);
    EXPECT_EQ(address, file->data + 1052);
    EXPECT_EQ(pitch, 4);
    // Lock counts nothing: a second one gives the same, and Unlock always succeeds.
    uint8_t* again = nullptr;
    ASSERT_EQ(surface.Lock(&again, &pitch), ResultOk);
    EXPECT_EQ(again, address);
    EXPECT_EQ(surface.GetAccessCount(), 0);
    EXPECT_EQ(surface.Unlock(), ResultOk);
    EXPECT_EQ(surface.Unlock(), ResultOk);
    EXPECT_EQ(surface.Unlock(), ResultOk);
    EXPECT_EQ(Rows(surface), (Bytes{1, 2, 3, 4, 5, 6, 7, 8}));
    // Palette entries are stored red first.
    ASSERT_NE(surface.GetPalette(), nullptr);
    ASSERT_EQ(surface.GetPalette()->GetEntryCount(), 256u);
    const PaletteEntry colour = surface.GetPalette()->GetEntryData()[5];
    EXPECT_EQ(colour.red, 5);
    EXPECT_EQ(colour.green, 10);
    EXPECT_EQ(colour.blue, 15);
    EXPECT_EQ(colour.flags, 4);

    // A 16-bit container has no palette: its rows start at the data offset, wherever that is.
    WriteFile(folder.File("wide.zbm"), Container(3, 2, FMT_RGB565, 1, 12));
    ASSERT_EQ(LoadFile(surface, folder.File("wide.zbm"), LOAD_CONTAINER), ResultOk);
    EXPECT_EQ(surface.GetPalette(), nullptr);
    ASSERT_EQ(surface.Lock(&address, &pitch), ResultOk);
    EXPECT_EQ(address, reinterpret_cast<Stream*>(surface.GetPixelStream()->owner)->data + 40);
    EXPECT_EQ(pitch, 8);
    EXPECT_EQ(address[0], 1);
    EXPECT_EQ(surface.Free(), ResultOk);
    EXPECT_TRUE(Empty(surface));
}

TEST(ContainerSurface, FrameCountComesFromTheHeaderAndIsNeverBelowOne) {
    ContainerSurface surface;
    ASSERT_EQ(LoadStream(surface, new CountedStream(Container(2, 8, FMT_RGB32, 4))), ResultOk);
    EXPECT_EQ(surface.GetFrameCount(), 4);
    ASSERT_EQ(LoadStream(surface, new CountedStream(Container(2, 8, FMT_RGB32, 0))), ResultOk);
    EXPECT_EQ(surface.GetFrameCount(), 1);
    ASSERT_EQ(LoadStream(surface, new CountedStream(Container(2, 8, FMT_RGB32, 0xFFFFFFFB))),
              ResultOk);
    EXPECT_EQ(surface.GetFrameCount(), 1);
    surface.Free();
    EXPECT_EQ(CountedStream::live, 0);
}

TEST(ContainerSurface, CopyIsPrivateAndOutlivesTheFile) {
    ScratchFolder folder;
    ASSERT_TRUE(folder.Ok());
    const std::string path = folder.File("copy.zbm");
    WriteFile(path, Container(2, 2, FMT_INDEX4, 1, 4));
    ContainerSurface surface;
    ASSERT_EQ(LoadFile(surface, path, LOAD_COPY), ResultOk);
    const auto* block = reinterpret_cast<Stream*>(surface.GetPixelStream()->owner);
    EXPECT_EQ(block->kind, uint32_t{STREAM_GLOBAL_MEMORY});
    EXPECT_EQ(block->readOnly, 0u);
    EXPECT_TRUE(std::filesystem::remove(path));
    uint8_t* rows = nullptr;
    int32_t pitch = 0;
    ASSERT_EQ(surface.Lock(&rows, &pitch), ResultOk);
    EXPECT_EQ(rows, block->data + 32 + 64);
    rows[pitch] = 0x99;
    EXPECT_EQ(Rows(surface), (Bytes{1, 2, 3, 4, 0x99, 6, 7, 8}));
    EXPECT_EQ(surface.GetPalette()->GetEntryData()[15].blue, 45);

    // A caller's stream stays with the caller under LOAD_COPY, else it passes to the surface.
    auto* kept = new CountedStream(Container(1, 1, FMT_RGB24));
    ASSERT_EQ(LoadStream(surface, kept, LOAD_COPY), ResultOk);
    EXPECT_EQ(CountedStream::live, 1);
    kept->data[28] = 0x55;
    EXPECT_EQ(Rows(surface)[0], 1);
    ASSERT_EQ(LoadStream(surface, kept), ResultOk);
    EXPECT_EQ(Rows(surface)[0], 0x55);
    // The stream held now can be loaded again (it is then a window on the rows: no magic).
    EXPECT_EQ(LoadStream(surface, surface.GetPixelStream()), ResultFailed);
    EXPECT_EQ(CountedStream::live, 0);
}

TEST(ContainerSurface, RefusesSourcesAndHeadersItCannotUse) {
    ScratchFolder folder;
    ASSERT_TRUE(folder.Ok());
    ContainerSurface surface;
    EXPECT_EQ(LoadFile(surface, folder.File("missing.zbm")), ResultNoSource);
    WriteFile(folder.File("empty.zbm"), {});
    EXPECT_EQ(LoadFile(surface, folder.File("empty.zbm")), ResultNoSource);
    EXPECT_EQ(surface.Load(nullptr, LOAD_FROM_STREAM, nullptr, nullptr, nullptr, 0, nullptr),
              ResultNoSource);
    EXPECT_EQ(surface.Load("x.zbm", 3, nullptr, nullptr, nullptr, 0, nullptr), ResultInvalid);
    WriteFile(folder.File("pic.bmp"), BitmapFile());
    EXPECT_EQ(LoadFile(surface, folder.File("pic.bmp"), LOAD_CONTAINER), ResultFailed);
    EXPECT_EQ(LoadStream(surface, new CountedStream({0x20, 0x4D, 0x42})), ResultFailed);

    // Damaged headers: nothing is attached and nothing outside the bytes is read.
    const Bytes good = Container(3, 2, FMT_INDEX8);
    struct Damage {
        const char* what;
        uint32_t at;
        uint32_t value;
        size_t cut;  // bytes removed from the end
    };
    const Damage damages[] = {
        {"header cut short", 0, 0x5A424D20, good.size() - 27},
        {"data offset inside the header", 4, 27, 0},
        {"data offset past the end", 4, uint32_t(good.size()) + 1, 0},
        {"data offset that wraps", 4, 0xFFFFFF00, 0},
        {"palette past the end", 4, uint32_t(good.size()) - 1024 + 1, 0},
        {"pixel area one byte short", 0, 0x5A424D20, 1},
        {"height beyond the rows", 12, 3, 0},
        {"damaged width times height", 8, 0xFFFF, 0},
        {"row longer than a pitch", 16, FMT_RGB32, 0},
        {"unknown format", 16, 0x48000001, 0},
        {"format without bits", 16, 0x00E40565, 0},
    };
    for (const Damage& damage : damages) {
        Bytes bytes = good;
        StoreLE32(&bytes[damage.at], damage.value);
        if (damage.what == damages[8].what) StoreLE32(&bytes[8], 16384);
        bytes.resize(bytes.size() - damage.cut);
        ASSERT_EQ(surface.Create(1, 1, FMT_RGB24, 0, nullptr), ResultOk);
        EXPECT_EQ(LoadStream(surface, new CountedStream(bytes)), ResultInvalid) << damage.what;
        EXPECT_TRUE(Empty(surface)) << damage.what;
        EXPECT_EQ(CountedStream::live, 0) << damage.what;
        auto* kept = new CountedStream(bytes);
        EXPECT_EQ(LoadStream(surface, kept, LOAD_COPY), ResultInvalid) << damage.what;
        EXPECT_EQ(CountedStream::live, 1) << damage.what;
        delete kept;
    }
    // Width and height are kept modulo 65536, and the rows are checked at the kept size.
    Bytes wrapped = Container(0x10003, 0x20002, FMT_INDEX8);
    ASSERT_EQ(LoadStream(surface, new CountedStream(wrapped)), ResultOk);
    EXPECT_EQ(surface.GetWidth(), 3);
    EXPECT_EQ(surface.GetHeight(), 2);
}

TEST(ContainerSurface, BitmapPathsAreReadAsBitmapsAndCopiedTopDown) {
    ScratchFolder folder;
    ASSERT_TRUE(folder.Ok());
    WriteFile(folder.File("pic.BMP"), BitmapFile());
    ContainerSurface surface;
    ASSERT_EQ(LoadFile(surface, folder.File("pic.BMP"), LOAD_COPY), ResultOk);
    EXPECT_EQ(surface.GetFormat(), FMT_INDEX8);
    EXPECT_EQ(Rows(surface), (Bytes{4, 5, 6, 0, 1, 2, 3, 0}));
    EXPECT_EQ(reinterpret_cast<Stream*>(surface.GetPixelStream())->kind,
              uint32_t{STREAM_GLOBAL_MEMORY});
    ASSERT_NE(surface.GetPalette(), nullptr);
    EXPECT_EQ(surface.GetPalette()->GetEntryData()[7].red, 21);
    EXPECT_EQ(surface.GetPalette()->GetEntryData()[7].blue, 7);
    // The bitmap reader's statuses are passed on.
    EXPECT_EQ(LoadFile(surface, folder.File("gone.bmp")), ResultInvalid);
    EXPECT_TRUE(Empty(surface));
}

TEST(ContainerSurface, CreateAndAttachRawCheckWhatTheyAreGiven) {
    ContainerSurface surface;
    ASSERT_EQ(surface.Create(5, 3, FMT_INDEX4, 0, nullptr), ResultOk);
    uint8_t* rows = nullptr;
    int32_t pitch = 0;
    ASSERT_EQ(surface.Lock(&rows, &pitch), ResultOk);
    EXPECT_EQ(pitch, 4);
    EXPECT_EQ(Rows(surface), Bytes(12, 0));
    ASSERT_EQ(surface.GetPalette()->GetEntryCount(), 16u);
    EXPECT_EQ(surface.GetPalette()->GetEntryData()[15].red, 0);
    EXPECT_EQ(surface.Create(5, 3, 0, 0, nullptr), ResultInvalid);
    EXPECT_TRUE(Empty(surface));
    EXPECT_EQ(surface.Create(5, 3, 0x00E40565, 0, nullptr), ResultInvalid);
    EXPECT_EQ(surface.Create(16384, 1, FMT_RGB32, 0, nullptr), ResultInvalid);
    EXPECT_EQ(surface.Create(0, 0, FMT_RGB24, 0, nullptr), ResultOk);

    // A stream shorter than the rows is refused and stays with the caller.
    auto* block = new CountedStream(Bytes(11, 7));
    EXPECT_EQ(surface.AttachRaw(block, 5, 3, FMT_INDEX8, nullptr, true), ResultInvalid);
    EXPECT_EQ(surface.AttachRaw(nullptr, 1, 1, FMT_INDEX8, nullptr, true), ResultInvalid);
    EXPECT_EQ(surface.AttachRaw(block, 1, 3, FMT_RGB24, nullptr, true), ResultInvalid);
    EXPECT_EQ(surface.AttachRaw(block, 0x10001, 2, FMT_RGB24, nullptr, true), ResultOk);
    EXPECT_EQ(surface.GetWidth(), 1);
    EXPECT_EQ(surface.GetHeight(), 2);
    EXPECT_EQ(CountedStream::live, 1);
    // One the surface does not own survives it.
    SubStream lent(block, 0, 8, false);
    {
        ContainerSurface borrower;
        ASSERT_EQ(borrower.AttachRaw(&lent, 2, 1, FMT_RGB24, nullptr, false), ResultOk);
    }
    EXPECT_EQ(lent.kind, uint32_t{STREAM_SUB});
    surface.Free();
    EXPECT_EQ(CountedStream::live, 0);

    // The base row copy fills a container from a bottom-up surface, upright.
    MemoryDibSurface bitmap;
    ASSERT_EQ(bitmap.Load(new CountedStream(BitmapFile()), LOAD_FROM_STREAM, nullptr, nullptr,
                          nullptr, 0, nullptr),
              ResultOk);
    bitmap.SetFrameCount(2);
    ASSERT_EQ(surface.CopyFrom(&bitmap), ResultOk);
    EXPECT_EQ(Rows(surface), (Bytes{4, 5, 6, 0, 1, 2, 3, 0}));
    EXPECT_EQ(surface.GetFrameCount(), 2);
    Surface* another = surface.NewSurface();
    ASSERT_NE(another, nullptr);
    EXPECT_EQ(another->GetKind(), KIND_CONTAINER);
    another->Release();
}

TEST(ContainerSurface, ResourcesLoadInPlace) {
    ContainerSurface surface;
    ASSERT_EQ(surface.Load("FilmStrip", LOAD_FROM_RESOURCE, nullptr, "ZBM", nullptr, 0, nullptr),
              ResultOk);
    EXPECT_EQ(surface.GetFormat(), FMT_RGB24);
    EXPECT_EQ(surface.GetWidth(), 4);
    EXPECT_EQ(surface.GetFrameCount(), 2);
    const auto* resource = reinterpret_cast<Stream*>(surface.GetPixelStream()->owner);
    EXPECT_EQ(resource->kind, uint32_t{STREAM_RESOURCE});
    uint8_t* rows = nullptr;
    int32_t pitch = 0;
    ASSERT_EQ(surface.Lock(&rows, &pitch), ResultOk);
    EXPECT_EQ(rows, resource->data + 32);
    EXPECT_EQ(rows[pitch], 12 * 7 + 1);
    EXPECT_EQ(surface.Load("Missing", LOAD_FROM_RESOURCE, nullptr, "ZBM", nullptr, 0, nullptr),
              ResultNoSource);
    // A resource id is not text: it is never taken for a bitmap name.
    EXPECT_EQ(surface.Load(MakeIntResource(7), LOAD_FROM_RESOURCE, nullptr, MakeIntResource(300),
                           nullptr, 0, nullptr),
              ResultFailed);
}

TEST(ContainerSurface, MemoryDibSurfaceReadsContainersByExtensionOrType) {
    ScratchFolder folder;
    ASSERT_TRUE(folder.Ok());
    WriteFile(folder.File("strip.ZBM"), Container(3, 2, FMT_INDEX8, 2));
    WriteFile(folder.File("strip.dat"), Container(3, 2, FMT_INDEX8, 2));
    for (const auto& [name, flags] : {std::pair{"strip.ZBM", 0u}, {"strip.dat", LOAD_CONTAINER}}) {
        MemoryDibSurface surface;
        ASSERT_EQ(LoadFile(surface, folder.File(name), flags), ResultOk) << name;
        EXPECT_EQ(surface.GetFormat(), FMT_INDEX8);
        EXPECT_EQ(surface.GetFrameCount(), 2);
        // Bottom-up now: the container's top row is the last memory row.
        EXPECT_EQ(Rows(surface), (Bytes{5, 6, 7, 8, 1, 2, 3, 4}));
        EXPECT_EQ(surface.GetPalette()->GetEntryData()[2].blue, 6);
        EXPECT_EQ(surface.GetDibHeader()[40 + 4 * 2], 6);  // the colour table, blue first
    }
    MemoryDibSurface surface;
    EXPECT_EQ(LoadFile(surface, folder.File("strip.dat")), ResultInvalid);
    EXPECT_EQ(LoadFile(surface, folder.File("none.zbm")), ResultNoSource);
    EXPECT_EQ(LoadStream(surface, new CountedStream(BitmapFile()), LOAD_CONTAINER), ResultFailed);
    EXPECT_EQ(CountedStream::live, 0);
}
