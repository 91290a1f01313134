#include "graphics/codec/bitmap_file_writer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "graphics/codec/container_surface.h"
#include "graphics/core/dib_header.h"
#include "graphics/core/little_endian.h"
#include "graphics/image/dib_surface.h"
#include "graphics/image/load_flags.h"
#include "graphics/image/memory_dib_surface.h"
#include "tests/unit/codec/patterned_surface.h"
#include "tests/unit/platform/scratch_folder.h"

using namespace gfx;

namespace {

Result LoadBitmap(MemoryDibSurface& surface, const std::string& path) {
    return surface.Load(path.c_str(), LOAD_FROM_FILE, nullptr, nullptr, nullptr, 0, nullptr);
}

// The held packed DIB, from its 40-byte header on.
std::vector<uint8_t> HeldBlock(MemoryDibSurface& surface) {
    return {surface.GetDibHeader(), surface.GetDibHeader() + surface.GetDibLength()};
}

}  // namespace

TEST(BitmapFileWriter, EveryFormatOfEveryKindLoadsBackAsWritten) {
    ScratchFolder folder;
    ASSERT_TRUE(folder.Ok());
    const std::string path = folder.File("picture.bmp"), again = folder.File("again.bmp");
    for (PixelFormat format : kAllFormats) {
        SCOPED_TRACE(testing::Message() << std::hex << format);
        // Top-down surfaces, of an odd width so that rows are padded.
        ContainerSurface container;
        DibSurface section;
        for (Surface* top : {static_cast<Surface*>(&container), static_cast<Surface*>(&section)}) {
            // DIB sections have no 2-bit format.
            const Result created = top->Create(13, 7, format, 0, nullptr);
            if (top == &section && format == FMT_INDEX2) continue;
            ASSERT_EQ(created, ResultOk);
            FillPatterned(*top, top->GetKind());
            top->SetFrameCount(3);
            ASSERT_EQ(SaveBitmapFile(*top, path.c_str()), ResultOk);
            MemoryDibSurface loaded;
            ASSERT_EQ(LoadBitmap(loaded, path), ResultOk);
            // A header is never read back as a BGR code: the same pixel bytes under the RGB code
            // of the family. A bitmap keeps no frame count.
            EXPECT_EQ(loaded.GetFormat(), format == FMT_BGR555   ? FMT_RGB555
                                          : format == FMT_BGR565 ? FMT_RGB565
                                                                 : format);
            EXPECT_EQ(Picture(loaded, false), Picture(*top, false));
            EXPECT_EQ(loaded.GetFrameCount(), 1);

            // "BM", the file's length, where the rows start, then the packed DIB as loaded; written
            // again from the bottom-up surface it is byte for byte the same file.
            const std::vector<uint8_t> file = FileBytes(path);
            ASSERT_GT(file.size(), 54u);
            EXPECT_EQ(LoadLE16(&file[0]), 'B' | 'M' << 8);
            EXPECT_EQ(LoadLE32(&file[2]), file.size());
            DibHeader header;
            ASSERT_TRUE(ReadDibHeader(&file[14], 40, &header));
            EXPECT_EQ(LoadLE32(&file[10]), 14 + DibHeaderSize(header));
            EXPECT_EQ(std::vector<uint8_t>(file.begin() + 14, file.end()), HeldBlock(loaded));
            ASSERT_EQ(SaveBitmapFile(loaded, again.c_str()), ResultOk);
            EXPECT_EQ(FileBytes(again), file);
        }
    }
    // An indexed surface without a palette gets a black table.
    ContainerSurface bare;
    ASSERT_EQ(bare.Create(3, 2, FMT_INDEX8, 0, nullptr), ResultOk);
    ASSERT_EQ(bare.SetPalette(nullptr), ResultOk);
    ASSERT_EQ(SaveBitmapFile(bare, path.c_str()), ResultOk);
    MemoryDibSurface loaded;
    ASSERT_EQ(LoadBitmap(loaded, path), ResultOk);
    std::vector<uint8_t> black(4 + 2 * 4 + 256 * 4, 0);
    black[0] = 3, black[2] = 2;
    EXPECT_EQ(Picture(loaded, false), black);
}

TEST(BitmapFileWriter, EncodedImagesAreWrittenAsHeldAndDecodeToTheirPixels) {
    ScratchFolder folder;
    ASSERT_TRUE(folder.Ok());
    const std::string path = folder.File("encoded.bmp");
    const std::pair<PixelFormat, uint32_t> cases[] = {
        {FMT_INDEX8, COMPRESSION_TRLE}, {FMT_INDEX8, COMPRESSION_ARLE},
        {FMT_INDEX8, COMPRESSION_PRLE}, {FMT_INDEX8, COMPRESSION_PKCC},
        {FMT_INDEX1, COMPRESSION_PKCC}, {FMT_RGB565, COMPRESSION_PKCC},
        {FMT_RGB24, COMPRESSION_PKCC},  {FMT_RGB32, COMPRESSION_PKCC}};
    for (const auto& [format, tag] : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << format << " " << tag);
        MemoryDibSurface plain, encoded;
        // 32 pixels wide, so that every row is filled to its end and padding plays no part.
        ASSERT_EQ(plain.Create(32, 11, format, 0, nullptr), ResultOk);
        FillPatterned(plain, 4);
        // Transparent margins and runs for the run-length encodings to find.
        ASSERT_EQ(plain.FillRect(0, 0, 10, 11, 0), ResultOk);
        ASSERT_EQ(plain.FillRect(16, 2, 12, 5, 1), ResultOk);
        ASSERT_EQ(encoded.CopyFrom(&plain), ResultOk);
        ASSERT_EQ(encoded.Encode(tag), ResultOk);
        ASSERT_EQ(SaveBitmapFile(encoded, path.c_str()), ResultOk);

        MemoryDibSurface loaded;
        ASSERT_EQ(LoadBitmap(loaded, path), ResultOk);
        ASSERT_EQ(loaded.IsEncoded(), 1u);
        EXPECT_EQ(HeldBlock(loaded), HeldBlock(encoded));
        ASSERT_EQ(loaded.Decode(), ResultOk);
        EXPECT_EQ(loaded.GetFormat(), format);
        EXPECT_EQ(Picture(loaded, false), Picture(plain, false));
    }
}

TEST(BitmapFileWriter, ColourTableFollowsThePaletteOfAMappedImage) {
    ScratchFolder folder;
    ASSERT_TRUE(folder.Ok());
    // An 8-bit 2 x 2 bitmap whose table holds 16 colours.
    std::vector<uint8_t> file(14 + 40, 0);
    const uint32_t fields[] = {40, 2, 2, 0x00080001, 0, 0, 0, 0, 16};
    for (uint32_t i = 0; i < 9; ++i) StoreLE32(&file[14 + 4 * i], fields[i]);
    for (uint32_t i = 0; i < 16; ++i) file.insert(file.end(), {uint8_t(i), uint8_t(i * 2), 9, 0});
    file.insert(file.end(), {1, 2, 0, 0, 3, 200, 0, 0});
    file[0] = 'B', file[1] = 'M';
    StoreLE32(&file[2], uint32_t(file.size()));
    StoreLE32(&file[10], 14 + 40 + 64);
    const std::string source = folder.File("short_table.bmp"), copy = folder.File("copy.bmp");
    WriteBytes(source, file);
    MemoryDibSurface mapped;
    ASSERT_EQ(LoadBitmap(mapped, source), ResultOk);
    ASSERT_EQ(SaveBitmapFile(mapped, copy.c_str()), ResultOk);
    EXPECT_EQ(FileBytes(copy), file);

    // One colour inside the short table and one beyond it change, which the read-only mapping
    // cannot follow: the written table grows to hold both.
    const PaletteEntry changed = {10, 20, 30, 0};
    ASSERT_EQ(mapped.GetPalette()->SetEntries(&changed, 3, 1), ResultOk);
    ASSERT_EQ(mapped.GetPalette()->SetEntries(&changed, 200, 1), ResultOk);
    ASSERT_EQ(SaveBitmapFile(mapped, copy.c_str()), ResultOk);
    MemoryDibSurface loaded;
    ASSERT_EQ(LoadBitmap(loaded, copy), ResultOk);
    EXPECT_EQ(Picture(loaded, false), Picture(mapped, false));
    EXPECT_EQ(FileBytes(source), file);
}
