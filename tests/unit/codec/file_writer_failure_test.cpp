// What the file writers leave behind when a write cannot be completed: nothing at the path, an
// older file there untouched, and no temporary file beside it.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "graphics/codec/bitmap_file_writer.h"
#include "graphics/codec/container_file_writer.h"
#include "graphics/codec/container_surface.h"
#include "graphics/image/memory_dib_surface.h"
#include "graphics/io/replacing_file.h"
#include "tests/unit/codec/patterned_surface.h"
#include "tests/unit/platform/scratch_folder.h"

using namespace gfx;

namespace {

// Takes `budget` bytes into the file it wraps, then refuses, as a full disk would.
class FillingDisk : public ByteWriter {
  public:
    FillingDisk(ReplacingFile& file, uint32_t budget) : file_(file), budget_(budget) {}
    bool Write(const void* data, uint32_t size) override {
        if (size > budget_) {
            file_.Write(data, budget_);
            budget_ = 0;
            return false;
        }
        budget_ -= size;
        return file_.Write(data, size);
    }

  private:
    ReplacingFile& file_;
    uint32_t budget_;
};

std::vector<std::string> Names(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

using Writer = Result (*)(Surface&, ByteWriter&);
using Saver = Result (*)(Surface&, const char*);

// A picture whose rows cannot be reached, as while another holder has them.
class HeldElsewhere : public ContainerSurface {
  public:
    Result Lock(uint8_t**, int32_t*) override { return ResultLocked; }
};

class CountingWriter : public ByteWriter {
  public:
    bool Write(const void*, uint32_t size) override {
        bytes += size;
        return true;
    }
    uint64_t bytes = 0;
};

}  // namespace

// A refusal found before the first byte leaves the writer empty and reports the surface's status.
TEST(FileWriterFailure, RowsThatDoNotLockWriteNothing) {
    HeldElsewhere picture;
    ASSERT_EQ(picture.Create(8, 4, FMT_INDEX8, 0, nullptr), ResultOk);
    for (Writer write : {WriteBitmapFile, WriteContainerFile}) {
        CountingWriter out;
        EXPECT_EQ(write(picture, out), ResultLocked);
        EXPECT_EQ(out.bytes, 0u);
    }
}

TEST(FileWriterFailure, NothingIsLeftButAnOlderFileUntouched) {
    ScratchFolder folder;
    ASSERT_TRUE(folder.Ok());
    const std::string path = folder.File("kept.img"), taken = folder.File("taken");
    const std::vector<uint8_t> old = {'o', 'l', 'd'};
    std::filesystem::create_directory(taken);
    ContainerSurface picture;
    ASSERT_EQ(picture.Create(40, 30, FMT_INDEX8, 0, nullptr), ResultOk);
    FillPatterned(picture, 7);
    const std::pair<Writer, Saver> writers[] = {{WriteBitmapFile, SaveBitmapFile},
                                                {WriteContainerFile, SaveContainerFile}};
    for (const auto& [write, save] : writers) {
        // The disk fills in the header, in the palette, in the rows; the savers never commit a
        // failed write.
        for (uint32_t budget : {10u, 500u, 1800u}) {
            SCOPED_TRACE(budget);
            WriteBytes(path, old);
            {
                ReplacingFile file(path.c_str());
                FillingDisk disk(file, budget);
                EXPECT_EQ(write(picture, disk), ResultInvalid);
            }
            EXPECT_EQ(FileBytes(path), old);
            EXPECT_EQ(Names(folder.Path()), (std::vector<std::string>{"kept.img", "taken"}));
        }
        // A missing folder, a folder at the path (the temporary file beside it goes), no image.
        MemoryDibSurface empty;
        EXPECT_EQ(save(picture, (folder.File("missing") + "/a.img").c_str()), ResultInvalid);
        EXPECT_EQ(save(picture, taken.c_str()), ResultInvalid);
        EXPECT_EQ(save(empty, path.c_str()), ResultNoImage);
        EXPECT_EQ(save(picture, ""), ResultInvalid);
        EXPECT_TRUE(std::filesystem::is_directory(taken));
        EXPECT_EQ(FileBytes(path), old);
        EXPECT_EQ(Names(folder.Path()), (std::vector<std::string>{"kept.img", "taken"}));
        // Written whole, the file is replaced.
        ASSERT_EQ(save(picture, path.c_str()), ResultOk);
        EXPECT_GT(FileBytes(path).size(), 40u * 30u);
    }
}

TEST(ReplacingFile, OnlyACommitReplacesTheTarget) {
    ScratchFolder folder;
    ASSERT_TRUE(folder.Ok());
    const std::string path = folder.File("target");
    WriteBytes(path, {'o', 'l', 'd'});
    {
        ReplacingFile file(path.c_str());
        ASSERT_TRUE(file.Write("new", 3));
        EXPECT_EQ(std::filesystem::path(file.TemporaryPath()).parent_path(),
                  std::filesystem::path(path).parent_path());
    }
    // Two at once get their own temporary files; a short write fails what follows.
    ReplacingFile first(path.c_str()), second(path.c_str()), cut(path.c_str());
    EXPECT_TRUE(first.Write("one", 3) && second.Write("two", 3) && cut.Write("abc", 3));
    EXPECT_FALSE(cut.Write(nullptr, 4));
    EXPECT_FALSE(cut.Write("d", 1));
    EXPECT_FALSE(cut.Commit());
    EXPECT_EQ(FileBytes(path), (std::vector<uint8_t>{'o', 'l', 'd'}));
    EXPECT_TRUE(first.Commit());
    EXPECT_EQ(FileBytes(path), (std::vector<uint8_t>{'o', 'n', 'e'}));
    EXPECT_TRUE(second.Commit());
    EXPECT_FALSE(second.Commit());
    EXPECT_EQ(FileBytes(path), (std::vector<uint8_t>{'t', 'w', 'o'}));
    EXPECT_EQ(Names(folder.Path()), std::vector<std::string>{"target"});
}
