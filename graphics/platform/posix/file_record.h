#pragma once

#include <string>

#include "graphics/platform/file.h"

namespace gfx {

// What a FileHandle points to in this backend: the descriptor and, for a temporary file, the
// path to remove when the handle is closed.
struct FileRecord {
    int fd = -1;
    std::string deleteOnClose;
};

inline FileRecord* RecordOf(FileHandle file) {
    return file == kInvalidFile || file == 0 ? nullptr : reinterpret_cast<FileRecord*>(file);
}

}  // namespace gfx
