#include "graphics/codec/container_file_writer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "graphics/codec/container_surface.h"
#include "graphics/core/dib_header.h"
#include "graphics/core/little_endian.h"
#include "graphics/image/load_flags.h"
#include "graphics/image/memory_dib_surface.h"
#include "tests/unit/codec/patterned_surface.h"
#include "tests/unit/platform/scratch_folder.h"

using namespace gfx;

TEST(ContainerFileWriter, EveryFormatLoadsBackWithPaletteFlagsAndFrames) {
    ScratchFolder folder;
    ASSERT_TRUE(folder.Ok());
    const std::string path = folder.File("strip.zbm");
    for (PixelFormat format : kAllFormats) {
        SCOPED_TRACE(testing::Message() << std::hex << format);
        // Top-down and bottom-up sources (a bitmap is never read as a BGR code).
        ContainerSurface top;
        MemoryDibSurface bottomUp;
        for (Surface* strip : {static_cast<Surface*>(&top), static_cast<Surface*>(&bottomUp)}) {
            if (strip == &bottomUp && (format == FMT_BGR555 || format == FMT_BGR565)) continue;
            ASSERT_EQ(strip->Create(11, 12, format, 0, nullptr), ResultOk);
            FillPatterned(*strip, strip->GetKind());
            strip->SetFrameCount(strip->GetKind() + 2);
            ASSERT_EQ(SaveContainerFile(*strip, path.c_str()), ResultOk);
            ContainerSurface loaded;
            ASSERT_EQ(loaded.Load(path.c_str(), LOAD_FROM_FILE, nullptr, nullptr, nullptr, 0, nullptr),
                      ResultOk);
            EXPECT_EQ(loaded.GetFormat(), format);
            EXPECT_EQ(loaded.GetFrameCount(), strip->GetFrameCount());
            EXPECT_EQ(Picture(loaded, true), Picture(*strip, true));

            // The header's fields; the reader is trusted with the rest.
            const std::vector<uint8_t> file = FileBytes(path);
            const uint32_t paletteBytes = IsIndexedFormat(format) ? 4u << BitsPerPixel(format) : 0;
            ASSERT_EQ(file.size(), 28 + paletteBytes + 12 * RowBytes(format, 11));
            const uint32_t fields[] = {0x5A424D20, 28, 11, 12, format, 0,
                                       uint32_t(strip->GetFrameCount())};
            for (uint32_t i = 0; i < 7; ++i) EXPECT_EQ(LoadLE32(&file[4 * i]), fields[i]) << i;
        }
    }
}

TEST(ContainerFileWriter, EncodedAndEmptySurfacesAreRefusedWithoutAFile) {
    ScratchFolder folder;
    ASSERT_TRUE(folder.Ok());
    const std::string path = folder.File("refused.zbm");
    MemoryDibSurface encoded, empty;
    ASSERT_EQ(encoded.Create(8, 8, FMT_INDEX8, 0, nullptr), ResultOk);
    ASSERT_EQ(encoded.Encode(COMPRESSION_ARLE), ResultOk);
    EXPECT_EQ(SaveContainerFile(encoded, path.c_str()), ResultEncoded);
    EXPECT_EQ(SaveContainerFile(empty, path.c_str()), ResultNoImage);
    EXPECT_EQ(SaveContainerFile(encoded, nullptr), ResultInvalid);
    EXPECT_TRUE(std::filesystem::is_empty(folder.Path()));
}
