#include "graphics/io/mapped_file_stream.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "graphics/io/global_memory_stream.h"
#include "graphics/platform/file.h"
#include "graphics/platform/file_mapping.h"
#include "tests/unit/platform/scratch_folder.h"

namespace gfx {
namespace {

uint64_t LengthOf(const std::string& path) {
    FileHandle file =
        FileOpenExisting(path.c_str(), FILEMODE_READ | FILEMODE_SHARE_READ | FILEMODE_SHARE_WRITE);
    uint64_t length = 0;
    if (file == kInvalidFile || !FileLength(file, &length)) length = UINT64_MAX;
    FileClose(file);
    return length;
}

TEST(MappedFileStream, CreatedFileHasTheAskedSizeAndKeepsWhatWasWritten) {
    ScratchFolder folder;
    ASSERT_TRUE(folder.Ok());
    std::string path = folder.File("created.bin");
    {
        MappedFileStream stream(4096, path.c_str(), false, nullptr, true, false);
        ASSERT_EQ(stream.kind, STREAM_MAPPED_FILE);
        EXPECT_EQ(stream.size, 4096u);
        EXPECT_EQ(stream.readOnly, 0u);  // a created file is always writable
        EXPECT_EQ(stream.lockCount, 1);
        EXPECT_NE(stream.owner, kInvalidFile);
        EXPECT_NE(stream.extra, 0u);
        EXPECT_TRUE(stream.mappingName.empty());
        ASSERT_NE(stream.data, nullptr);
        std::memcpy(stream.data + 4092, "tail", 4);
    }
    EXPECT_EQ(LengthOf(path), 4096u);

    MappedFileStream reader(0, path.c_str(), false, nullptr, true, true);
    ASSERT_EQ(reader.kind, STREAM_MAPPED_FILE);
    EXPECT_EQ(reader.size, 4096u);
    EXPECT_EQ(reader.readOnly, 1u);
    ASSERT_NE(reader.data, nullptr);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(reader.data) + 4092, 4), "tail");
}

TEST(MappedFileStream, LocksNestAndTheLastUnlockUnmaps) {
    ScratchFolder folder;
    ASSERT_TRUE(folder.Ok());
    std::string path = folder.File("locks.bin");
    ASSERT_EQ(WriteBlockToFile(path.c_str(), "0123456789", 10), 10u);
    MappedFileStream stream(0, path.c_str(), false, nullptr, false, false);
    ASSERT_EQ(stream.kind, STREAM_MAPPED_FILE);
    EXPECT_EQ(stream.readOnly, 0u);
    stream.Lock();
    stream.Unlock();
    ASSERT_NE(stream.data, nullptr);
    stream.data[0] = 'X';
    stream.Unlock();
    EXPECT_EQ(stream.lockCount, 0);
    EXPECT_EQ(stream.data, nullptr);
    EXPECT_EQ(stream.extra, 0u);
    stream.Lock();
    ASSERT_NE(stream.data, nullptr);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(stream.data), 10), "X123456789");
    stream.Lock();
    stream.Lock();
    // The destructor drops the surplus locks and unmaps; the file stays.
}

TEST(MappedFileStream, MissingOrUnopenablePathsFailWithKindZero) {
    ScratchFolder folder;
    ASSERT_TRUE(folder.Ok());
    std::string missing = folder.File("missing.bin");
    MappedFileStream absent(0, missing.c_str(), false, nullptr, true, true);
    EXPECT_EQ(absent.kind, STREAM_NONE);
    EXPECT_EQ(absent.data, nullptr);
    EXPECT_EQ(absent.size, 0u);
    EXPECT_EQ(absent.owner, kInvalidFile);
    EXPECT_FALSE(FileExists(missing.c_str()));

    std::string nested = folder.File("no/such/folder.bin");
    MappedFileStream uncreatable(4096, nested.c_str(), false, nullptr, false, false);
    EXPECT_EQ(uncreatable.kind, STREAM_NONE);
    EXPECT_EQ(uncreatable.data, nullptr);

    // A folder is not a file.
    MappedFileStream directory(0, folder.Path().c_str(), false, nullptr, true, true);
    EXPECT_EQ(directory.kind, STREAM_NONE);
}

TEST(MappedFileStream, FileCutShortAfterOpeningIsNotMappedPastItsEnd) {
    ScratchFolder folder;
    ASSERT_TRUE(folder.Ok());
    std::string path = folder.File("shrinking.bin");
    FileHandle file = FileCreate(path.c_str(), FILEMODE_WRITE);
    ASSERT_TRUE(FileSetLength(file, 20000));
    FileClose(file);
    MappedFileStream stream(0, path.c_str(), false, nullptr, false, false);
    ASSERT_EQ(stream.size, 20000u);
    ASSERT_NE(stream.data, nullptr);
    stream.Unlock();

    file = FileOpenExisting(
        path.c_str(), FILEMODE_READ | FILEMODE_WRITE | FILEMODE_SHARE_READ | FILEMODE_SHARE_WRITE);
    ASSERT_NE(file, kInvalidFile);
    ASSERT_TRUE(FileSetLength(file, 10));
    FileClose(file);
    stream.Lock();
    EXPECT_EQ(stream.data, nullptr);
    EXPECT_EQ(stream.lockCount, 1);
}

TEST(MappedFileStream, EmptyFileOpensButMapsNothing) {
    ScratchFolder folder;
    ASSERT_TRUE(folder.Ok());
    std::string path = folder.File("empty.bin");
    FileClose(FileCreate(path.c_str(), FILEMODE_WRITE));
    MappedFileStream stream(0, path.c_str(), false, nullptr, true, true);
    EXPECT_EQ(stream.kind, STREAM_MAPPED_FILE);
    EXPECT_EQ(stream.size, 0u);
    EXPECT_EQ(stream.data, nullptr);
    EXPECT_EQ(stream.lockCount, 1);
}

TEST(MappedFileStream, TemporaryFileIsDeletedWithTheStream) {
    ScratchFolder folder;
    ASSERT_TRUE(folder.Ok());
    std::string path = folder.File("temporary.bin");
    auto* stream = new MappedFileStream(4096, path.c_str(), true, nullptr, false, true);
    ASSERT_EQ(stream->kind, STREAM_MAPPED_FILE);
    ASSERT_NE(stream->data, nullptr);
    stream->data[0] = 1;
    EXPECT_TRUE(FileExists(path.c_str()));
    delete stream;
    EXPECT_FALSE(FileExists(path.c_str()));
}

TEST(MappedFileStream, WithoutAPathOnlyANamedMappingIsMapped) {
    MappedFileStream unnamed(0, nullptr, false, nullptr, false, false);
    EXPECT_EQ(unnamed.kind, STREAM_MAPPED_FILE);
    EXPECT_EQ(unnamed.lockCount, 1);
    EXPECT_EQ(unnamed.data, nullptr);
    EXPECT_EQ(unnamed.extra, 0u);
    unnamed.Lock();
    EXPECT_EQ(unnamed.data, nullptr);

    std::string unique = UniqueName("gfx_test_stream_mapping");
    const char* name = unique.c_str();
    MappedFileStream notYet(0, nullptr, false, name, false, false);
    EXPECT_EQ(notYet.data, nullptr);

    MappingHandle mapping = MappingCreateNamed(name, 4096);
    ASSERT_NE(mapping, 0u);
    auto* view = static_cast<char*>(MappingMapView(mapping, false));
    ASSERT_NE(view, nullptr);
    std::memcpy(view, "by name", 7);
    {
        MappedFileStream stream(0, nullptr, false, name, false, false);
        EXPECT_EQ(stream.mappingName, name);
        EXPECT_EQ(stream.size, 0u);
        ASSERT_NE(stream.data, nullptr);
        EXPECT_EQ(std::string(reinterpret_cast<char*>(stream.data), 7), "by name");
        stream.data[0] = 'B';
    }
    EXPECT_EQ(view[0], 'B');
    MappingUnmapView(mapping, view);
    MappingClose(mapping);
}

TEST(MappedFileStream, NamedFileMappingIsReachableByNameWhileMapped) {
    ScratchFolder folder;
    ASSERT_TRUE(folder.Ok());
    std::string path = folder.File("named.bin");
    std::string unique = UniqueName("gfx_test_named_file_mapping");
    const char* name = unique.c_str();
    MappedFileStream file(64, path.c_str(), false, name, false, false);
    ASSERT_NE(file.data, nullptr);
    std::memcpy(file.data, "file", 4);
    MappedFileStream byName(0, nullptr, false, name, false, false);
    ASSERT_NE(byName.data, nullptr);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(byName.data), 4), "file");
}

TEST(Stream, WriteToFileWritesTheWholeBlockOrNothing) {
    ScratchFolder folder;
    ASSERT_TRUE(folder.Ok());
    GlobalMemoryStream block(300, false);
    ASSERT_NE(block.data, nullptr);
    for (int i = 0; i < 300; ++i) block.data[i] = static_cast<uint8_t>(i);
    block.Unlock();
    std::string path = folder.File("out.bin");
    EXPECT_EQ(block.WriteToFile(path.c_str()), 300u);
    EXPECT_EQ(block.lockCount, 0);
    EXPECT_EQ(block.data, nullptr);
    MappedFileStream written(0, path.c_str(), false, nullptr, true, true);
    ASSERT_EQ(written.size, 300u);
    ASSERT_NE(written.data, nullptr);
    EXPECT_EQ(written.data[299], static_cast<uint8_t>(299));

    GlobalMemoryStream empty(0, true);
    std::string none = folder.File("none.bin");
    EXPECT_EQ(empty.WriteToFile(none.c_str()), 0u);
    EXPECT_FALSE(FileExists(none.c_str()));
    EXPECT_EQ(block.WriteToFile(folder.File("missing/out.bin").c_str()), 0u);
}

}  // namespace
}  // namespace gfx
