#include "graphics/io/replacing_file.h"

#include <chrono>
#include <cstdio>

namespace gfx {

namespace {

// Tries per file; a name is only taken when no file has it, so a clash just costs a try.
constexpr int kNameTries = 64;

// A start for the temporary names that differs between processes and between files.
uint32_t NameSeed() {
    static uint32_t counter = 0;
    const auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
    return static_cast<uint32_t>(ticks) * 2654435761u + ++counter;
}

}  // namespace

ReplacingFile::ReplacingFile(const char* path) {
    if (path == nullptr || path[0] == '\0') return;
    path_ = path;
    // Beside the target, so that the rename stays within one folder and one volume.
    const uint32_t seed = NameSeed();
    for (int attempt = 0; attempt < kNameTries && file_ == kInvalidFile; ++attempt) {
        char suffix[24];
        std::snprintf(suffix, sizeof suffix, ".%08x.tmp", unsigned(seed + uint32_t(attempt)));
        temporary_ = path_ + suffix;
        file_ = FileCreateNew(temporary_.c_str(), FILEMODE_WRITE);
        // A missing folder or one that may not be written does not change with the name.
        if (file_ == kInvalidFile && !FileExists(temporary_.c_str())) break;
    }
    if (file_ == kInvalidFile) temporary_.clear();
}

ReplacingFile::~ReplacingFile() { Discard(); }

bool ReplacingFile::Write(const void* data, uint32_t size) {
    if (file_ == kInvalidFile || failed_) return false;
    if (size != 0 && FileWrite(file_, data, size) != size) failed_ = true;
    return !failed_;
}

bool ReplacingFile::Commit() {
    if (file_ == kInvalidFile) return false;
    const bool flushed = !failed_ && FileFlush(file_);
    FileClose(file_);
    file_ = kInvalidFile;
    if (!flushed || !FileReplace(temporary_.c_str(), path_.c_str())) {
        failed_ = true;
        Discard();
        return false;
    }
    temporary_.clear();
    return true;
}

void ReplacingFile::Discard() {
    if (file_ != kInvalidFile) {
        FileClose(file_);
        file_ = kInvalidFile;
    }
    if (!temporary_.empty()) {
        FileDelete(temporary_.c_str());
        temporary_.clear();
    }
}

}  // namespace gfx
