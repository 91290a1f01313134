#include "graphics/image/memory_dib_surface.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "graphics/image/dib_header.h"
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
    EXPECT_EQ(surface.GetKind(), KIND_MEMORY_DIB);
    EXPECT_EQ(surface.IsBottomUp(), 1);
    EXPECT_EQ(surface.GetDibLength(), 1064u + 8u);
    ASSERT_NE(surface.GetPalette(), nullptr);
    ASSERT_EQ(surface.GetPalette()->GetEntryCount(), 256u);
    for (uint32_t i = 0; i < 256; ++i) {
        const PaletteEntry& entry = surface.GetPalette()->GetEntryData()[i];
        EXPECT_EQ(entry.red | entry.green | entry.blue, 0) << i;
    }
    uint8_t* rows = nullptr;
    int32_t pitch = 0;
    ASSERT_EQ(surface.Lock(&rows, &pitch), ResultOk);
    EXPECT_EQ(pitch, 4);
    EXPECT_EQ(rows, surface.GetDibHeader() + 1064);
    EXPECT_EQ(Bytes(rows, 8), std::vector<uint8_t>(8, 0));
    surface.Unlock();

    ASSERT_EQ(surface.Create(7, 4, FMT_RGB565, 0, nullptr), ResultOk);
    EXPECT_EQ(surface.GetFormat(), FMT_RGB565);
    EXPECT_EQ(surface.GetPalette(), nullptr);
    // The widest row a 16-bit pitch can carry, and one pixel more.
    EXPECT_EQ(surface.Create(16383, 1, FMT_RGB32, 0, nullptr), ResultOk);
    EXPECT_EQ(surface.Create(16384, 1, FMT_RGB32, 0, nullptr), ResultInvalid);
    EXPECT_EQ(surface.GetFormat(), 0u);
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
        Bytes(good.data(), 39),               // not even a header
        patched(0, 12),                       // header sizes other than 40
        patched(0, 108),
        patched(4, uint32_t(-5)),  // negative width
        patched(8, uint32_t(-3)),  // top-down rows
        patched(14, 3),            // bit counts the library does not know
        patched(14, 0),
        patched(32, 1000),        // a colour table longer than the block
        patched(32, 0x40000000),  // one whose size does not fit in 32 bits
        MakeDib(wide),            // a row beyond 65532 bytes
        masks,
        {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 0},  // a file header cut short
    };
    for (size_t i = 0; i < refused.size(); ++i) {
        auto* stream = new CountedStream(refused[i]);
        MemoryDibSurface surface;
        EXPECT_EQ(surface.AttachDib(stream), ResultInvalid) << i;
        EXPECT_EQ(surface.GetFormat(), 0u) << i;
        EXPECT_EQ(surface.GetDibStream(), nullptr) << i;
        // A refused stream stays with the caller, as it was.
        EXPECT_EQ(CountedStream::live, 1) << i;
        EXPECT_EQ(stream->lockCount, 1) << i;
        delete stream;
    }
    MemoryDibSurface surface;
    EXPECT_EQ(surface.AttachDib(nullptr), ResultInvalid);
    auto* stream = new CountedStream(good);
    ASSERT_EQ(surface.AttachDib(stream), ResultOk);
    EXPECT_EQ(surface.GetDibStream(), stream);
    EXPECT_EQ(surface.GetWidth(), 5);
    EXPECT_EQ(surface.GetHeight(), 3);
    EXPECT_EQ(surface.GetFormat(), FMT_INDEX8);
    surface.Free();
    EXPECT_EQ(CountedStream::live, 0);
}

TEST(MemoryDibSurface, BitmapFileHeaderIsSkippedAndRowsBehindAGapArePacked) {
    DibShape shape;
    shape.fileHeader = true;
    const std::vector<uint8_t> plain = MakeDib(shape);
    MemoryDibSurface surface;
    auto* stream = new CountedStream(plain);
    ASSERT_EQ(surface.AttachDib(stream), ResultOk);
    EXPECT_EQ(surface.GetDibHeader(), stream->data + 14);
    const std::vector<uint8_t> rows = LockedRows(surface);

    // The same image with 8 stray bytes before its rows, where the file header says they are.
    shape.gap = 8;
    auto* gapped = new CountedStream(MakeDib(shape));
    MemoryDibSurface relocated;
    ASSERT_EQ(relocated.AttachDib(gapped), ResultOk);
    EXPECT_EQ(CountedStream::live, 1);  // the gapped block gave way to a packed copy
    ASSERT_NE(relocated.GetDibHeader(), nullptr);
    EXPECT_EQ(relocated.GetDibHeader()[0], 40);
    EXPECT_EQ(relocated.GetDibLength(), plain.size() - 14);
    EXPECT_EQ(LockedRows(relocated), rows);
}

TEST(MemoryDibSurface, ShortColourTableGivesBlackEntriesAndIsNeverWrittenPastItsEnd) {
    DibShape shape;
    shape.colours = 16;
    MemoryDibSurface surface;
    ASSERT_EQ(LoadStream(surface, new CountedStream(MakeDib(shape))), ResultOk);
    const Palette* palette = surface.GetPalette();
    ASSERT_NE(palette, nullptr);
    ASSERT_EQ(palette->GetEntryCount(), 256u);
    const PaletteEntry* entries = palette->GetEntryData();
    EXPECT_EQ(entries[15].red, 15);
    EXPECT_EQ(entries[15].green, 30);
    EXPECT_EQ(entries[15].blue, 45);
    EXPECT_EQ(entries[16].red | entries[16].green | entries[16].blue, 0);
    EXPECT_EQ(entries[255].red | entries[255].green | entries[255].blue, 0);

    const std::vector<uint8_t> rows = LockedRows(surface);
    Palette* white = FilledPalette(256, 0xFF);
    ASSERT_EQ(surface.SetPalette(white), ResultOk);
    white->Release();
    const uint8_t* table = surface.GetDibHeader() + 40;
    EXPECT_EQ(table[4 * 15 + 2], 0xFF);
    EXPECT_EQ(LockedRows(surface), rows);
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
        Stream* stream = surface.GetDibStream();
        const int32_t streamLocks = stream->lockCount;
        uint8_t* first = nullptr;
        uint8_t* second = nullptr;
        int32_t firstPitch = -1, secondPitch = -1;
        ASSERT_EQ(surface.Lock(&first, &firstPitch), ResultOk);
        ASSERT_EQ(surface.Lock(&second, &secondPitch), ResultOk);
        EXPECT_EQ(first, second);
        EXPECT_EQ(firstPitch, secondPitch);
        EXPECT_EQ(firstPitch, width == 0 ? 0 : 16);
        EXPECT_EQ(surface.GetAccessCount(), 2);
        EXPECT_EQ(stream->lockCount, streamLocks + 1);
        surface.Unlock();
        EXPECT_EQ(surface.GetAccessCount(), 1);
        surface.Unlock();
        EXPECT_EQ(surface.GetAccessCount(), 0);
        EXPECT_EQ(surface.GetAccessPointer(), nullptr);
        EXPECT_EQ(stream->lockCount, streamLocks);
        surface.Unlock();
        EXPECT_EQ(stream->lockCount, streamLocks);
    }
    // Freeing a locked image releases it all.
    ASSERT_EQ(surface.Lock(&rows, &pitch), ResultOk);
    surface.Free();
    EXPECT_EQ(surface.GetAccessCount(), 0);
    EXPECT_EQ(surface.GetDibStream(), nullptr);
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
    EXPECT_EQ(surface.IsEncoded(), 1u);
    EXPECT_EQ(surface.GetDibLength(), 40u + 1024u + 20u);
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
    EXPECT_EQ(surface.GetPalette(), full);
    EXPECT_EQ(full->GetRefCount(), 2);
    EXPECT_EQ(surface.SetPalette(nullptr), ResultOk);
    EXPECT_EQ(surface.GetPalette(), nullptr);
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
    const std::vector<uint8_t> bytes = MakeDib(shape);
    const std::string path = folder.File("table.bmp");
    ASSERT_EQ(WriteBlockToFile(path.c_str(), bytes.data(), uint32_t(bytes.size())), bytes.size());

    for (bool copy : {false, true}) {
        SCOPED_TRACE(copy);
        MemoryDibSurface surface;
        ASSERT_EQ(LoadFile(surface, path, copy ? LOAD_COPY : 0), ResultOk);
        EXPECT_EQ(surface.GetDibStream()->kind,
                  copy ? uint32_t{STREAM_GLOBAL_MEMORY} : uint32_t{STREAM_MAPPED_FILE});
        const uint8_t* table = surface.GetDibHeader() + 40;
        Palette* palette = FilledPalette(256, 0x80);
        ASSERT_EQ(surface.SetPalette(palette), ResultOk);
        EXPECT_EQ(table[4 * 7 + 2], copy ? 0x80 : 7);

        const PaletteEntry changed{0x90, 0x91, 0x92, 0};
        palette->SetEntries(&changed, 7, 1);
        EXPECT_EQ(table[4 * 7 + 2], copy ? 0x80 : 7);  // not before the next SyncPalette
        EXPECT_EQ(surface.SyncPalette(), ResultOk);
        EXPECT_EQ(table[4 * 7 + 0], copy ? 0x92 : 21);
        EXPECT_EQ(table[4 * 7 + 2], copy ? 0x90 : 7);
        palette->Release();
    }
}

TEST(MemoryDibSurface, LoadKeepsTheSourceBlockOrAPrivateCopy) {
    const std::vector<uint8_t> bytes = MakeDib({});
    MemoryDibSurface surface;

    // Without LOAD_COPY the caller's stream passes to the surface, even when it is refused.
    auto* stream = new CountedStream(bytes);
    ASSERT_EQ(LoadStream(surface, stream), ResultOk);
    EXPECT_EQ(surface.GetDibStream(), stream);
    surface.Free();
    EXPECT_EQ(CountedStream::live, 0);
    ASSERT_EQ(LoadStream(surface, new CountedStream({1, 2, 3})), ResultInvalid);
    EXPECT_EQ(CountedStream::live, 0);

    // With it the caller keeps its stream as it was, whatever the outcome.
    stream = new CountedStream(bytes);
    ASSERT_EQ(LoadStream(surface, stream, LOAD_COPY), ResultOk);
    EXPECT_NE(surface.GetDibStream(), stream);
    EXPECT_EQ(surface.GetDibStream()->kind, uint32_t{STREAM_GLOBAL_MEMORY});
    EXPECT_EQ(stream->lockCount, 1);
    stream->data[40] = 0x55;  // the copy does not see later changes
    EXPECT_EQ(surface.GetPalette()->GetEntryData()[0].blue, 0);
    delete stream;
    EXPECT_EQ(LockedRows(surface), Bytes(bytes.data() + 40 + 1024, 24));
    stream = new CountedStream({1, 2, 3});
    EXPECT_EQ(LoadStream(surface, stream, LOAD_COPY), ResultInvalid);
    EXPECT_EQ(CountedStream::live, 1);
    delete stream;

    EXPECT_EQ(surface.Load(nullptr, LOAD_FROM_STREAM, nullptr, nullptr, nullptr, 0, nullptr),
              ResultInvalid);
    stream = new CountedStream(bytes);
    EXPECT_EQ(surface.Load(stream, 3, nullptr, nullptr, nullptr, 0, nullptr), ResultInvalid);
    delete stream;
}

TEST(MemoryDibSurface, LoadsABitmapResourceOfTheProgram) {
    static const std::vector<uint8_t> bytes = MakeDib({});
    RegisterModuleResource("MEMDIBPICTURE", kResourceTypeBitmap, bytes.data(),
                           uint32_t(bytes.size()));
    MemoryDibSurface surface;
    ASSERT_EQ(surface.Load("memdibpicture", LOAD_FROM_RESOURCE, nullptr, kResourceTypeBitmap,
                           nullptr, 0, nullptr),
              ResultOk);
    EXPECT_EQ(surface.GetDibStream()->kind, uint32_t{STREAM_RESOURCE});
    EXPECT_EQ(surface.GetWidth(), 5);
    EXPECT_EQ(surface.GetPalette()->GetEntryData()[3].green, 6);
    EXPECT_EQ(LockedRows(surface), Bytes(bytes.data() + 40 + 1024, 24));
    // A resource is never written.
    Palette* palette = FilledPalette(256, 0x80);
    EXPECT_EQ(surface.SetPalette(palette), ResultOk);
    palette->Release();
    EXPECT_EQ(surface.GetDibHeader()[40 + 4 * 3 + 2], 3);
    UnregisterModuleResource("MEMDIBPICTURE", kResourceTypeBitmap);

    EXPECT_EQ(surface.Load("MEMDIBMISSING", LOAD_FROM_RESOURCE, nullptr, kResourceTypeBitmap,
                           nullptr, 0, nullptr),
              ResultInvalid);
    EXPECT_EQ(surface.GetFormat(), 0u);
}

TEST(MemoryDibSurface, LoadChoosesTheReaderByTypeOrByExtension) {
    ScratchFolder folder;
    ASSERT_TRUE(folder.Ok());
    DibShape shape;
    shape.fileHeader = true;
    const std::vector<uint8_t> bytes = MakeDib(shape);
    ASSERT_TRUE(std::filesystem::create_directory(folder.File("old.files")));
    for (const char* name : {"pic.bmp", "PIC.JPG", "pic.jpeg", "pic.zbm", "old.files/pic"}) {
        const std::string path = folder.File(name);
        ASSERT_EQ(WriteBlockToFile(path.c_str(), bytes.data(), uint32_t(bytes.size())),
                  bytes.size());
    }
    MemoryDibSurface surface;
    EXPECT_EQ(LoadFile(surface, folder.File("pic.bmp")), ResultOk);
    EXPECT_EQ(LoadFile(surface, folder.File("old.files/pic")), ResultOk);
    // A bitmap under a JPEG name goes to the JPEG reader, which finds no decoder.
    EXPECT_EQ(LoadFile(surface, folder.File("PIC.JPG")), ResultInvalid);
    EXPECT_EQ(surface.GetFormat(), 0u);
    EXPECT_EQ(LoadFile(surface, folder.File("pic.jpeg")), ResultInvalid);
    EXPECT_EQ(LoadFile(surface, folder.File("pic.zbm")), ResultUnsupported);
    // An explicit image type wins over the name; any unknown type reads a bitmap.
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
    ASSERT_NE(copy.GetPalette(), source.GetPalette());
    EXPECT_EQ(copy.GetPalette()->GetEntryData()[15].blue, 45);

    // Encoded data is copied and stays encoded.
    DibShape runs;
    runs.compression = 1;
    MemoryDibSurface encoded;
    ASSERT_EQ(LoadStream(encoded, new CountedStream(MakeDib(runs))), ResultOk);
    ASSERT_EQ(copy.CopyFrom(&encoded), ResultOk);
    EXPECT_EQ(copy.IsEncoded(), 1u);
    EXPECT_EQ(copy.GetDibLength(), encoded.GetDibLength());

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
    EXPECT_EQ(copy.CopyFrom(nullptr), ResultInvalid);
}

TEST(MemoryDibSurface, CopyOfAReadOnlyImageTakesItsPaletteColours) {
    static const std::vector<uint8_t> bytes = MakeDib({});
    RegisterModuleResource("MEMDIBCOPY", kResourceTypeBitmap, bytes.data(), uint32_t(bytes.size()));
    MemoryDibSurface source;
    ASSERT_EQ(source.Load("MEMDIBCOPY", LOAD_FROM_RESOURCE, nullptr, kResourceTypeBitmap, nullptr,
                          0, nullptr),
              ResultOk);
    Palette* palette = FilledPalette(256, 0x77);
    ASSERT_EQ(source.SetPalette(palette), ResultOk);
    palette->Release();
    MemoryDibSurface copy;
    ASSERT_EQ(copy.CopyFrom(&source), ResultOk);
    EXPECT_EQ(copy.GetPalette()->GetEntryData()[9].red, 0x77);
    EXPECT_EQ(copy.GetDibHeader()[40 + 4 * 9 + 2], 0x77);
    UnregisterModuleResource("MEMDIBCOPY", kResourceTypeBitmap);
}

TEST(MemoryDibSurface, NewSurfaceAndTouchPages) {
    MemoryDibSurface surface;
    surface.TouchPages();
    Surface* made = surface.NewSurface();
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->GetKind(), KIND_MEMORY_DIB);
    EXPECT_EQ(made->GetFormat(), 0u);
    ASSERT_EQ(made->Create(300, 300, FMT_RGB32, 0, nullptr), ResultOk);
    made->TouchPages();
    EXPECT_EQ(made->Release(), 0);
}
