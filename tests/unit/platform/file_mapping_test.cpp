#include "graphics/platform/file_mapping.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "graphics/platform/current_directory.h"
#include "graphics/platform/file.h"
#include "graphics/platform/temp_file.h"
#include "tests/unit/platform/scratch_folder.h"

namespace gfx {
namespace {

TEST(File, TemporaryFileDisappearsWhenClosedEvenAfterADirectoryChange) {
    ScratchFolder folder;
    ASSERT_TRUE(folder.Ok());
    std::string here = CurrentDirectory();
    ASSERT_TRUE(ChangeCurrentDirectory(folder.Path()));
    FileHandle file = FileCreate("t.tmp", FILEMODE_READ | FILEMODE_WRITE | FILEMODE_TEMPORARY);
    ASSERT_TRUE(ChangeCurrentDirectory(here));
    ASSERT_NE(file, kInvalidFile);
    EXPECT_TRUE(FileExists(folder.File("t.tmp").c_str()));
    FileClose(file);
    EXPECT_FALSE(FileExists(folder.File("t.tmp").c_str()));
}

TEST(File, WriteBlockReplacesAnExistingFileAndFailsWithoutAFolder) {
    ScratchFolder folder;
    ASSERT_TRUE(folder.Ok());
    std::string path = folder.File("w.bin");
    EXPECT_EQ(WriteBlockToFile(path.c_str(), "0123456789", 10), 10u);
    EXPECT_EQ(WriteBlockToFile(path.c_str(), "xy", 2), 2u);
    FileHandle file = FileOpenExisting(path.c_str(), FILEMODE_READ);
    uint64_t length = 0;
    ASSERT_TRUE(FileLength(file, &length));
    EXPECT_EQ(length, 2u);
    FileClose(file);
    EXPECT_EQ(WriteBlockToFile(folder.File("missing/w.bin").c_str(), "xy", 2), 0u);
    EXPECT_TRUE(FileDelete(path.c_str()));
    EXPECT_FALSE(FileExists(path.c_str()));
}

TEST(File, AFolderIsNotAFile) {
    ScratchFolder folder;
    ASSERT_TRUE(folder.Ok());
    EXPECT_FALSE(FileExists(folder.Path().c_str()));
    EXPECT_FALSE(FileExists(nullptr));
    const std::string longName = folder.File((std::string(150, 'n') + ".exe").c_str());
    ASSERT_EQ(WriteBlockToFile(longName.c_str(), "x", 1), 1u);
    EXPECT_TRUE(FileExists(longName.c_str()));
    EXPECT_TRUE(FileDelete(longName.c_str()));
}

TEST(FileMapping, WritableViewReachesTheFileAndAReadOnlyViewSeesIt) {
    ScratchFolder folder;
    ASSERT_TRUE(folder.Ok());
    std::string path = folder.File("m.bin");
    FileHandle file = FileCreate(path.c_str(), FILEMODE_READ | FILEMODE_WRITE);
    ASSERT_TRUE(FileSetLength(file, 4096));
    MappingHandle mapping = MappingCreateForFile(file, false, nullptr);
    ASSERT_NE(mapping, 0u);
    auto* bytes = static_cast<char*>(MappingMapView(mapping, false));
    ASSERT_NE(bytes, nullptr);
    std::memcpy(bytes + 4090, "mapped", 6);
    MappingUnmapView(mapping, bytes);
    MappingClose(mapping);
    FileClose(file);

    file = FileOpenExisting(path.c_str(), FILEMODE_READ | FILEMODE_SHARE_READ);
    mapping = MappingCreateForFile(file, true, nullptr);
    ASSERT_NE(mapping, 0u);
    // A read-only mapping gives no writable view.
    EXPECT_EQ(MappingMapView(mapping, false), nullptr);
    auto* view = static_cast<const char*>(MappingMapView(mapping, true));
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(std::string(view + 4090, 6), "mapped");
    MappingUnmapView(mapping, const_cast<char*>(view));
    MappingClose(mapping);
    FileClose(file);
}

TEST(FileMapping, EmptyFileCannotBeMapped) {
    ScratchFolder folder;
    ASSERT_TRUE(folder.Ok());
    FileHandle file = FileCreate(folder.File("e.bin").c_str(), FILEMODE_READ | FILEMODE_WRITE);
    ASSERT_NE(file, kInvalidFile);
    EXPECT_EQ(MappingCreateForFile(file, true, nullptr), 0u);
    FileClose(file);
}

TEST(FileMapping, NamedMappingWithoutAFileIsSharedUntilItsCreatorClosesIt) {
    std::string unique = UniqueName("gfx_test_named_mapping");
    const char* name = unique.c_str();
    MappingHandle created = MappingCreateNamed(name, 8192);
    ASSERT_NE(created, 0u);
    auto* writer = static_cast<char*>(MappingMapView(created, false));
    ASSERT_NE(writer, nullptr);
    std::memcpy(writer, "shared", 6);

    MappingHandle opened = MappingOpenNamed(name, true);
    ASSERT_NE(opened, 0u);
    auto* reader = static_cast<char*>(MappingMapView(opened, true));
    ASSERT_NE(reader, nullptr);
    EXPECT_EQ(std::string(reader, 6), "shared");
    MappingUnmapView(opened, reader);
    MappingClose(opened);

    MappingUnmapView(created, writer);
    MappingClose(created);
    EXPECT_EQ(MappingOpenNamed(name, true), 0u);
    EXPECT_EQ(MappingOpenNamed("", true), 0u);
}

TEST(TempFile, UniqueNamesAreNewEmptyFilesInTheFolder) {
    ScratchFolder folder;
    ASSERT_TRUE(folder.Ok());
    EXPECT_FALSE(TempFolder().empty());
    std::string first = CreateUniqueTempFile(folder.Path(), "BMP");
    std::string second = CreateUniqueTempFile(folder.Path(), nullptr);
    ASSERT_FALSE(first.empty());
    ASSERT_FALSE(second.empty());
    EXPECT_NE(first, second);
    EXPECT_EQ(first.rfind(folder.Path(), 0), 0u);
    EXPECT_NE(first.find("BMP"), std::string::npos);
    EXPECT_NE(second.find("TMP"), std::string::npos);
    EXPECT_TRUE(FileExists(first.c_str()));
    EXPECT_EQ(CreateUniqueTempFile(folder.File("missing"), "BMP"), "");
}

}  // namespace
}  // namespace gfx
