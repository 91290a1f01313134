#pragma once

#include <filesystem>
#include <random>
#include <string>
#include <system_error>

#include "graphics/platform/temp_file.h"

// A name no other test run uses at the same time, for objects shared between processes.
inline std::string UniqueName(const char* base) {
    static const std::string suffix = std::to_string(std::random_device{}());
    return std::string(base) + "_" + suffix;
}

// A fresh folder under the temporary folder, removed with everything in it at the end of a test.
class ScratchFolder {
  public:
    ScratchFolder() {
        std::string base = gfx::TempFolder();
        for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
            std::filesystem::path candidate =
                std::filesystem::path(base) / ("gfxtest" + std::to_string(Counter()++));
            std::error_code error;
            if (std::filesystem::create_directory(candidate, error)) path_ = candidate;
        }
    }
    ~ScratchFolder() {
        std::error_code error;
        if (!path_.empty()) std::filesystem::remove_all(path_, error);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    bool Ok() const { return !path_.empty(); }
    std::string File(const char* name) const { return (path_ / name).string(); }
    std::string Path() const { return path_.string(); }

  private:
    static unsigned& Counter() {
        static unsigned counter = static_cast<unsigned>(
            std::filesystem::file_time_type::clock::now().time_since_epoch().count() & 0xFFFFFF);
        return counter;
    }
    std::filesystem::path path_;
};
