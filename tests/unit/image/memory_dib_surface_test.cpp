#include "graphics/image/memory_dib_surface.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "graphics/core/dib_header.h"
#include "graphics/image/load_flags.h"
#include "graphics/io/global_memory_stream.h"
#include "graphics/platform/file.h"
#include "graphics/platform/module_resource.h"
#include "tests/unit/image/buffer_surface.h"
#include "tests/unit/platform/scratch_folder.h"

using namespace gfx;

namespace {

// A stream of exactly the given bytes that counts its live instances, so that tests see who
// destroyed it.
class CountedStream : public GlobalMemoryStream {
  public:
    static inline int live = 0;
    explicit CountedStream(const std::vector<uint8_t>& bytes)
        : GlobalMemoryStream(static_cast<uint32_t>(bytes.size()), true) {
        if (!bytes.empty()) std::memcpy(data, bytes.data(), bytes.size());
        ++live;
    }
    ~CountedStream() override { --live; }
};

struct DibShape {
    int32_t width = 5;
    int32_t height = 3;
    uint16_t bits = 8;
    uint32_t colours = 0;  // biClrUsed
    uint32_t compression = COMPRESSION_NONE;
    bool fileHeader = false;
    uint32_t gap = 0;  // bytes between table and rows (file header only)
};

// A packed DIB: colour entry i is {blue 3i, green 2i, red i}; row bytes count up from 1; an
// encoded one carries 20 bytes of data. Optionally led by a "BM" file header.
std::vector<uint8_t> MakeDib(const DibShape& shape) {
    DibHeader header{};
    header.biSize = DIB_HEADER_BYTES;
    header.biWidth = shape.width;
    header.biHeight = shape.height;
    header.biPlanes = 1;
    header.biBitCount = shape.bits;
    header.biCompression = shape.compression;
    header.biClrUsed = shape.colours;
    const bool encoded = IsEncodedCompression(shape.compression);
    if (encoded) header.biSizeImage = 20;
    std::vector<uint8_t> table;
    if (shape.bits <= 8) {
        const uint32_t count = shape.colours ? shape.colours : 1u << shape.bits;
        for (uint32_t i = 0; i < count; ++i) {
            table.insert(table.end(), {uint8_t(3 * i), uint8_t(2 * i), uint8_t(i), 0});
        }
    } else if (shape.compression == COMPRESSION_BITFIELDS) {
        table = {0x00, 0xF8, 0, 0, 0xE0, 0x07, 0, 0, 0x1F, 0, 0, 0};
    }
    const size_t rowBytes =
        encoded ? 20 : size_t{RowBytes(0x01000000u * shape.bits, shape.width)} * shape.height;
    std::vector<uint8_t> dib(DIB_HEADER_BYTES);
    WriteDibHeader(header, dib.data());
    dib.insert(dib.end(), table.begin(), table.end());
    if (shape.fileHeader) {
        std::vector<uint8_t> file(DIB_FILE_HEADER_BYTES, 0);
        file[0] = 'B', file[1] = 'M';
        const uint32_t offBits = uint32_t(DIB_FILE_HEADER_BYTES + dib.size() + shape.gap);
        std::memcpy(&file[10], &offBits, 4);
        dib.insert(dib.begin(), file.begin(), file.end());
        dib.insert(dib.end(), shape.gap, 0xEE);
    }
    for (size_t i = 0; i < rowBytes; ++i) dib.push_back(uint8_t(i + 1));
    return dib;
}

std::vector<uint8_t> Bytes(const uint8_t* from, size_t length) { return {from, from + length}; }

Result LoadResource(MemoryDibSurface& surface, const char* name) {
    return surface.Load(name, LOAD_FROM_RESOURCE, nullptr, kResourceTypeBitmap, nullptr, 0,
                        nullptr);
}

Result LoadStream(MemoryDibSurface& surface, Stream* stream, uint32_t extraFlags = 0) {
    return surface.Load(stream, LOAD_FROM_STREAM | extraFlags, nullptr, nullptr, nullptr, 0,
                        nullptr);
}

Result LoadFile(MemoryDibSurface& surface, const std::string& path, uint32_t flags = 0) {
    return surface.Load(path.c_str(), LOAD_FROM_FILE | flags, nullptr, nullptr, nullptr, 0,
                        nullptr);
}

std::vector<uint8_t> LockedRows(MemoryDibSurface& surface) {
    uint8_t* rows = nullptr;
    int32_t pitch = 0;
    if (surface.Lock(&rows, &pitch) != ResultOk) return {};
    std::vector<uint8_t> copy(rows, rows + size_t(pitch) * surface.GetHeight());
    surface.Unlock();
    return copy;
}

Palette* FilledPalette(uint32_t count, uint8_t red) {
    auto* palette = new Palette;
    palette->Create(count);
    std::vector<PaletteEntry> entries(count, PaletteEntry{red, 0x22, 0x33, 0});
    palette->SetEntries(entries.data(), 0, count);
    return palette;
}

}  // namespace

TEST(MemoryDibSurface, CreateMakesAZeroedPackedImageWithBlackPalette) {
    MemoryDibSurface surface;
    ASSERT_EQ(surface.Create(3, 2, FMT_INDEX8, 0, nullptr), ResultOk);
    EXPECT_EQ(surface.GetDibLength(), 1064u + 8u);
    ASSERT_EQ(surface.GetPalette()->GetEntryCount(), 256u);
    EXPECT_EQ(surface.GetPalette()->GetEntryData()[255].red, 0);
    uint8_t* rows = nullptr;
    int32_t pitch = 0;
    ASSERT_EQ(surface.Lock(&rows, &pitch), ResultOk);
    EXPECT_EQ(pitch, 4);
    EXPECT_EQ(rows, surface.GetDibHeader() + 1064);
    EXPECT_EQ(Bytes(rows, 8), std::vector<uint8_t>(8, 0));
    surface.Unlock();

    // The widest row a 16-bit pitch can carry, and one pixel more.
    EXPECT_EQ(surface.Create(16383, 1, FMT_RGB32, 0, nullptr), ResultOk);
    EXPECT_EQ(surface.Create(16384, 1, FMT_RGB32, 0, nullptr), ResultInvalid);
    EXPECT_EQ(surface.GetDibStream(), nullptr);
    EXPECT_EQ(surface.Create(70000, 1, FMT_INDEX1, 0, nullptr), ResultInvalid);
    EXPECT_EQ(surface.Create(4, 4, 0x12345678, 0, nullptr), ResultInvalid);
}

TEST(MemoryDibSurface, AttachDibRefusesBlocksThatDoNotHoldWhatTheirHeaderClaims) {
    const std::vector<uint8_t> good = MakeDib({});
    auto patched = [&](size_t offset, uint32_t value) {
        std::vector<uint8_t> bytes = good;
        std::memcpy(&bytes[offset], &value, 4);
        return bytes;
    };
    DibShape wide;
    wide.width = 16384, wide.height = 1, wide.bits = 32;
    DibShape badMasks;
    badMasks.bits = 16, badMasks.compression = COMPRESSION_BITFIELDS;
    std::vector<uint8_t> masks = MakeDib(badMasks);
    masks[DIB_HEADER_BYTES + 4] = 0xFF;  // green 0x07FF
    const std::vector<std::vector<uint8_t>> refused = {
        {},
        Bytes(good.data(), good.size() - 1),  // one row byte short
        patched(0, 12),                       // header sizes other than 40
        patched(0, 108),
        patched(4, uint32_t(-5)),  // negative width
        patched(8, uint32_t(-4)),  // top-down rows beyond the block
        patched(14, 3),            // a bit count the library does not know
        patched(32, 1000),         // a colour table longer than the block
        patched(32, 0x40000000),   // one whose size does not fit in 32 bits
        MakeDib(wide),             // a row beyond 65532 bytes
        masks,
        {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 0},  // a file header cut short
    };
    for (size_t i = 0; i < refused.size(); ++i) {
        auto* stream = new CountedStream(refused[i]);
        MemoryDibSurface surface;
        EXPECT_EQ(surface.AttachDib(stream), ResultInvalid) << i;
        EXPECT_EQ(surface.GetFormat(), 0u) << i;
        // A refused stream stays with the caller, as it was.
        EXPECT_EQ(CountedStream::live, 1) << i;
        EXPECT_EQ(stream->lockCount, 1) << i;
        delete stream;
    }
}

TEST(MemoryDibSurface, BitmapFileHeaderIsSkippedAndRowsBehindAGapArePacked) {
    DibShape shape;
    shape.fileHeader = true;
    MemoryDibSurface surface;
    auto* stream = new CountedStream(MakeDib(shape));
    ASSERT_EQ(surface.AttachDib(stream), ResultOk);
    EXPECT_EQ(surface.GetDibStream(), stream);
    EXPECT_EQ(surface.GetDibHeader(), stream->data + 14);
    const std::vector<uint8_t> rows = LockedRows(surface);
    // Its own block again, attached or loaded.
    ASSERT_EQ(surface.AttachDib(stream), ResultOk);
    ASSERT_EQ(LoadStream(surface, stream, LOAD_COPY), ResultOk);
    EXPECT_EQ(surface.GetDibStream(), stream);
    EXPECT_EQ(LockedRows(surface), rows);

    // The same image with 8 stray bytes before its rows, where the file header says they are.
    shape.gap = 8;
    MemoryDibSurface relocated;
    ASSERT_EQ(relocated.AttachDib(new CountedStream(MakeDib(shape))), ResultOk);
    EXPECT_EQ(CountedStream::live, 1);  // the gapped block gave way to a packed copy
    EXPECT_EQ(relocated.GetDibHeader()[0], 40);
    EXPECT_EQ(relocated.GetDibLength(), stream->size - 14);
    EXPECT_EQ(LockedRows(relocated), rows);
}

TEST(MemoryDibSurface, LocksNestAndOnlyTheOutermostPairTouchesTheStream) {
    MemoryDibSurface surface;
    uint8_t* rows = nullptr;
    int32_t pitch = 0;
    EXPECT_EQ(surface.Lock(&rows, &pitch), ResultNoImage);
    EXPECT_EQ(surface.Unlock(), ResultOk);
    // Without columns (pitch 0) as with them.
    for (int32_t width : {0, 5}) {
        ASSERT_EQ(surface.Create(width, 3, FMT_RGB24, 0, nullptr), ResultOk);
        const int32_t streamLocks = surface.GetDibStream()->lockCount;
        uint8_t* second = nullptr;
        int32_t secondPitch = -1;
        ASSERT_EQ(surface.Lock(&rows, &pitch), ResultOk);
        ASSERT_EQ(surface.Lock(&second, &secondPitch), ResultOk);
        EXPECT_EQ(rows, second);
        EXPECT_EQ(pitch, width == 0 ? 0 : 16);
        EXPECT_EQ(secondPitch, pitch);
        EXPECT_EQ(surface.GetDibStream()->lockCount, streamLocks + 1);
        for (int i = 0; i < 3; ++i) surface.Unlock();
        EXPECT_EQ(surface.GetAccessCount(), 0);
        EXPECT_EQ(surface.GetAccessPointer(), nullptr);
        EXPECT_EQ(surface.GetDibStream()->lockCount, streamLocks);
    }
    // Freeing a locked image releases it all.
    ASSERT_EQ(surface.Lock(&rows, &pitch), ResultOk);
    surface.Free();
    EXPECT_EQ(surface.GetAccessCount(), 0);
}

TEST(MemoryDibSurface, EncodingStatesAndTheirRefusals) {
    MemoryDibSurface surface;
    EXPECT_EQ(surface.Encode(COMPRESSION_PKCC), ResultNoImage);
    EXPECT_EQ(surface.Decode(), ResultNoImage);
    ASSERT_EQ(surface.Create(4, 4, FMT_INDEX8, 0, nullptr), ResultOk);
    EXPECT_EQ(surface.Encode(MakeTag('X', 'X', 'X', 'X')), ResultUnknownEncoding);
    EXPECT_EQ(surface.Encode(COMPRESSION_PKC1), ResultUnknownEncoding);  // stored, not asked
    EXPECT_EQ(surface.Decode(), ResultNotEncoded);
    uint8_t* rows = nullptr;
    int32_t pitch = 0;
    ASSERT_EQ(surface.Lock(&rows, &pitch), ResultOk);
    EXPECT_EQ(surface.Encode(COMPRESSION_TRLE), ResultLocked);
    surface.Unlock();

    // The platform's own 8-bit run-length code: held, but never decoded or locked.
    DibShape shape;
    shape.compression = 1;
    ASSERT_EQ(LoadStream(surface, new CountedStream(MakeDib(shape)), LOAD_DECODE), ResultOk);
    EXPECT_EQ(surface.IsEncoded(), 1u);
    EXPECT_EQ(surface.GetFormat(), FMT_INDEX8);
    EXPECT_EQ(surface.Lock(&rows, &pitch), ResultEncoded);
    EXPECT_EQ(surface.Decode(), ResultUnknownEncoding);
    EXPECT_EQ(surface.Encode(COMPRESSION_PKCC), ResultAlreadyEncoded);
    EXPECT_EQ(surface.ConvertFormat(FMT_RGB24, nullptr, 0, 0, nullptr, 0), ResultEncoded);
    EXPECT_EQ(surface.GetDibLength(), 40u + 1024u + 20u);
}

TEST(MemoryDibSurface, PackedEncodingRoundTripsAndLoadsDecoded) {
    for (uint32_t compression : {COMPRESSION_NONE, COMPRESSION_BITFIELDS}) {
        DibShape shape;
        shape.bits = compression == COMPRESSION_BITFIELDS ? 16 : 8;
        shape.colours = shape.bits == 8 ? 16 : 0;
        shape.compression = compression;
        const std::vector<uint8_t> plain = MakeDib(shape);
        MemoryDibSurface surface;
        ASSERT_EQ(LoadStream(surface, new CountedStream(plain)), ResultOk);
        const std::vector<uint8_t> rows = LockedRows(surface);
        const PixelFormat format = surface.GetFormat();

        ASSERT_EQ(surface.Encode(COMPRESSION_PKCC), ResultOk);
        EXPECT_EQ(surface.IsEncoded(), 1u);
        EXPECT_EQ(surface.GetFormat(), format);
        uint8_t* locked = nullptr;
        int32_t pitch = 0;
        EXPECT_EQ(surface.Lock(&locked, &pitch), ResultEncoded);
        const std::vector<uint8_t> packed = Bytes(surface.GetDibHeader(), surface.GetDibLength());
        DibHeader header{};
        ASSERT_TRUE(ReadDibHeader(packed.data(), packed.size(), &header));
        EXPECT_EQ(header.biCompression,
                  compression == COMPRESSION_BITFIELDS ? COMPRESSION_PKC2 : COMPRESSION_PKC1);

        ASSERT_EQ(surface.Decode(), ResultOk);
        EXPECT_EQ(surface.IsEncoded(), 0u);
        EXPECT_EQ(LockedRows(surface), rows);
        EXPECT_EQ(Bytes(surface.GetDibHeader(), surface.GetDibLength()), plain);

        // A packed image loaded with LOAD_DECODE comes in plain; without it, it stays packed.
        MemoryDibSurface loaded;
        ASSERT_EQ(LoadStream(loaded, new CountedStream(packed), LOAD_DECODE), ResultOk);
        EXPECT_EQ(loaded.IsEncoded(), 0u);
        EXPECT_EQ(LockedRows(loaded), rows);
        ASSERT_EQ(LoadStream(loaded, new CountedStream(packed)), ResultOk);
        EXPECT_EQ(loaded.IsEncoded(), 1u);

        // A damaged block is refused and the image stays as it was.
        std::vector<uint8_t> damaged = packed;
        damaged.back() ^= 0xFF;
        ASSERT_EQ(LoadStream(loaded, new CountedStream(damaged)), ResultOk);
        EXPECT_EQ(loaded.Decode(), ResultInvalid);
        EXPECT_EQ(loaded.IsEncoded(), 1u);
    }
}

TEST(MemoryDibSurface, SetPaletteAcceptsOnlyAFullPaletteOnAnIndexedImage) {
    MemoryDibSurface surface;
    Palette* small = FilledPalette(16, 1);
    Palette* full = FilledPalette(256, 2);
    auto* empty = new Palette;
    EXPECT_EQ(surface.SetPalette(full), ResultNoImage);
    ASSERT_EQ(surface.Create(2, 2, FMT_INDEX8, 0, nullptr), ResultOk);
    EXPECT_EQ(surface.SetPalette(small), ResultPaletteMismatch);
    EXPECT_EQ(surface.SetPalette(empty), ResultEmptyPalette);
    ASSERT_EQ(surface.SetPalette(full), ResultOk);
    EXPECT_EQ(full->GetRefCount(), 2);
    EXPECT_EQ(surface.SetPalette(nullptr), ResultOk);
    EXPECT_EQ(full->GetRefCount(), 1);
    ASSERT_EQ(surface.Create(2, 2, FMT_RGB24, 0, nullptr), ResultOk);
    EXPECT_EQ(surface.SetPalette(full), ResultPaletteMismatch);
    small->Release();
    full->Release();
    empty->Release();
}

TEST(MemoryDibSurface, ColourTableFollowsThePaletteOnlyInAWritableBlock) {
    ScratchFolder folder;
    ASSERT_TRUE(folder.Ok());
    DibShape shape;
    shape.fileHeader = true;
    shape.colours = 16;  // the palette still has 256 entries; the rest are black
    const std::vector<uint8_t> bytes = MakeDib(shape);
    const std::string path = folder.File("table.bmp");
    ASSERT_EQ(WriteBlockToFile(path.c_str(), bytes.data(), uint32_t(bytes.size())), bytes.size());

    for (bool copy : {false, true}) {
        SCOPED_TRACE(copy);
        MemoryDibSurface surface;
        ASSERT_EQ(LoadFile(surface, path, copy ? LOAD_COPY : 0), ResultOk);
        EXPECT_EQ(surface.GetDibStream()->kind,
                  copy ? uint32_t{STREAM_GLOBAL_MEMORY} : uint32_t{STREAM_MAPPED_FILE});
        const PaletteEntry* loaded = surface.GetPalette()->GetEntryData();
        EXPECT_EQ(loaded[15].red + loaded[15].green + loaded[15].blue, 15 + 30 + 45);
        EXPECT_EQ(loaded[16].red | loaded[16].green | loaded[16].blue, 0);

        const std::vector<uint8_t> rows = LockedRows(surface);
        const uint8_t* table = surface.GetDibHeader() + 40;
        Palette* palette = FilledPalette(256, 0x80);
        ASSERT_EQ(surface.SetPalette(palette), ResultOk);
        EXPECT_EQ(table[4 * 7 + 2], copy ? 0x80 : 7);
        const PaletteEntry changed{0x90, 0x91, 0x92, 0};
        palette->SetEntries(&changed, 7, 1);
        EXPECT_EQ(table[4 * 7 + 2], copy ? 0x80 : 7);  // not before the next SyncPalette
        EXPECT_EQ(surface.SyncPalette(), ResultOk);
        EXPECT_EQ(table[4 * 7 + 0], copy ? 0x92 : 21);
        // The short table is written up to its end and no further.
        EXPECT_EQ(LockedRows(surface), rows);
        palette->Release();
    }
}

TEST(MemoryDibSurface, LoadTakesTheCallersStreamUnlessItAsksForACopy) {
    const std::vector<uint8_t> bytes = MakeDib({});
    MemoryDibSurface surface;
    auto* stream = new CountedStream(bytes);
    ASSERT_EQ(LoadStream(surface, stream), ResultOk);
    EXPECT_EQ(surface.GetDibStream(), stream);
    surface.Free();
    EXPECT_EQ(CountedStream::live, 0);
    ASSERT_EQ(LoadStream(surface, new CountedStream({1, 2, 3})), ResultInvalid);
    EXPECT_EQ(CountedStream::live, 0);

    // With LOAD_COPY the caller keeps its stream as it was, whatever the outcome.
    for (const std::vector<uint8_t>& given : {std::vector<uint8_t>{1, 2, 3}, bytes}) {
        stream = new CountedStream(given);
        EXPECT_EQ(LoadStream(surface, stream, LOAD_COPY),
                  given.size() == 3 ? ResultInvalid : ResultOk);
        EXPECT_NE(surface.GetDibStream(), stream);
        EXPECT_EQ(stream->lockCount, 1);
        delete stream;
    }
    EXPECT_EQ(LockedRows(surface), Bytes(bytes.data() + 40 + 1024, 24));
    stream = new CountedStream(bytes);
    EXPECT_EQ(surface.Load(stream, 3, nullptr, nullptr, nullptr, 0, nullptr), ResultInvalid);
    delete stream;
}

TEST(MemoryDibSurface, LoadsABitmapResourceOfTheProgramWithoutWritingIt) {
    static const std::vector<uint8_t> bytes = MakeDib({});
    RegisterModuleResource("MEMDIBPICTURE", kResourceTypeBitmap, bytes.data(),
                           uint32_t(bytes.size()));
    MemoryDibSurface surface;
    ASSERT_EQ(LoadResource(surface, "memdibpicture"), ResultOk);
    EXPECT_EQ(surface.GetDibStream()->kind, uint32_t{STREAM_RESOURCE});
    EXPECT_EQ(surface.GetPalette()->GetEntryData()[3].green, 6);
    EXPECT_EQ(LockedRows(surface), Bytes(bytes.data() + 40 + 1024, 24));

    // A copy takes the palette's colours even where the source's table could not follow them.
    Palette* palette = FilledPalette(256, 0x77);
    EXPECT_EQ(surface.SetPalette(palette), ResultOk);
    palette->Release();
    EXPECT_EQ(surface.GetDibHeader()[40 + 4 * 9 + 2], 9);
    MemoryDibSurface copy;
    ASSERT_EQ(copy.CopyFrom(&surface), ResultOk);
    EXPECT_EQ(copy.GetDibHeader()[40 + 4 * 9 + 2], 0x77);
    UnregisterModuleResource("MEMDIBPICTURE", kResourceTypeBitmap);
    EXPECT_EQ(LoadResource(surface, "MEMDIBMISSING"), ResultInvalid);
}

TEST(MemoryDibSurface, LoadChoosesTheReaderByTypeOrByExtension) {
    ScratchFolder folder;
    ASSERT_TRUE(folder.Ok());
    DibShape shape;
    shape.fileHeader = true;
    const std::vector<uint8_t> bytes = MakeDib(shape);
    ASSERT_TRUE(std::filesystem::create_directory(folder.File("old.files")));
    for (const char* name : {"pic.bmp", "PIC.JPG", "pic.zbm", "old.files/pic"}) {
        const std::string path = folder.File(name);
        ASSERT_EQ(WriteBlockToFile(path.c_str(), bytes.data(), uint32_t(bytes.size())),
                  bytes.size());
    }
    MemoryDibSurface surface;
    EXPECT_EQ(LoadFile(surface, folder.File("pic.bmp")), ResultOk);
    EXPECT_EQ(LoadFile(surface, folder.File("old.files/pic")), ResultOk);
    // A bitmap under a JPEG name goes to the JPEG reader, which cannot read it.
    EXPECT_EQ(LoadFile(surface, folder.File("PIC.JPG")), ResultInvalid);
    EXPECT_EQ(LoadFile(surface, folder.File("pic.zbm")), ResultFailed);  // no container magic
    // An explicit image type wins over the name; an unknown type reads a bitmap.
    EXPECT_EQ(LoadFile(surface, folder.File("PIC.JPG"), 0x30), ResultOk);
    EXPECT_EQ(LoadFile(surface, folder.File("pic.bmp"), LOAD_JPEG), ResultInvalid);
    // A stream for the JPEG reader is consumed unless LOAD_COPY keeps it with the caller.
    EXPECT_EQ(LoadStream(surface, new CountedStream(bytes), LOAD_JPEG), ResultInvalid);
    EXPECT_EQ(CountedStream::live, 0);
    auto* kept = new CountedStream(bytes);
    EXPECT_EQ(LoadStream(surface, kept, LOAD_JPEG | LOAD_COPY), ResultInvalid);
    EXPECT_EQ(CountedStream::live, 1);
    delete kept;
}

TEST(MemoryDibSurface, CopyFromCopiesAnotherBlockAsItIsAndOtherKindsByRows) {
    DibShape shape;
    shape.colours = 16;
    const std::vector<uint8_t> bytes = MakeDib(shape);
    MemoryDibSurface source;
    ASSERT_EQ(LoadStream(source, new CountedStream(bytes)), ResultOk);
    source.SetFrameCount(3);
    source.SetSourceKey(9);
    MemoryDibSurface copy;
    ASSERT_EQ(copy.CopyFrom(&source), ResultOk);
    EXPECT_NE(copy.GetDibStream(), source.GetDibStream());
    ASSERT_EQ(copy.GetDibLength(), bytes.size());
    EXPECT_EQ(Bytes(copy.GetDibHeader(), bytes.size()), bytes);  // the short table stays short
    EXPECT_EQ(copy.GetFrameCount(), 1);
    uint32_t key = 1;
    copy.GetSourceKey(&key);
    EXPECT_EQ(key, 0u);
    EXPECT_NE(copy.GetPalette(), source.GetPalette());

    // Encoded data is copied and stays encoded.
    shape.compression = 1;
    ASSERT_EQ(LoadStream(source, new CountedStream(MakeDib(shape))), ResultOk);
    ASSERT_EQ(copy.CopyFrom(&source), ResultOk);
    EXPECT_EQ(copy.IsEncoded(), 1u);
    EXPECT_EQ(copy.GetDibLength(), source.GetDibLength());

    // Another kind goes through its rows, turned to bottom-up.
    BufferSurface topDown;
    ASSERT_EQ(topDown.Create(2, 3, FMT_RGB24, 0, nullptr), ResultOk);
    for (int y = 0; y < 3; ++y) topDown.Row(y)[0] = uint8_t(10 + y);
    ASSERT_EQ(copy.CopyFrom(&topDown), ResultOk);
    const std::vector<uint8_t> rows = LockedRows(copy);
    ASSERT_EQ(rows.size(), 24u);
    EXPECT_EQ(rows[0], 12);
    EXPECT_EQ(rows[16], 10);

    EXPECT_EQ(copy.CopyFrom(&copy), ResultOk);
    EXPECT_EQ(copy.GetFormat(), FMT_RGB24);
    MemoryDibSurface empty;
    EXPECT_EQ(copy.CopyFrom(&empty), ResultNoImage);
    EXPECT_EQ(copy.GetFormat(), 0u);
}
