#pragma once

#include <cstdint>
#include <string>

#include "graphics/io/byte_writer.h"
#include "graphics/platform/file.h"

namespace gfx {

// A file written under a temporary name beside `path` and renamed onto `path` by Commit, so that
// `path` never holds a part-written file: until Commit succeeds, a file already there is
// unchanged, and a ReplacingFile that is destroyed without a successful Commit removes its
// temporary file.
class ReplacingFile : public ByteWriter {
  public:
    explicit ReplacingFile(const char* path);
    ~ReplacingFile() override;

    // Whether the temporary file could be created (the folder exists and may be written).
    bool IsOpen() const { return file_ != kInvalidFile; }
    // False when the file is not open, or a write came up short (a full disk); every later write
    // then fails too.
    bool Write(const void* data, uint32_t size) override;
    // Flushes and closes the temporary file and renames it onto the path. False when anything
    // failed on the way, earlier writes included; the temporary file is then gone.
    bool Commit();

    const std::string& TemporaryPath() const { return temporary_; }

  private:
    void Discard();

    std::string path_;
    std::string temporary_;
    FileHandle file_ = kInvalidFile;
    bool failed_ = false;
};

}  // namespace gfx
