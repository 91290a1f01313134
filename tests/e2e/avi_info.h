// Frame size and length of an AVI file, read from its main header.
#pragma once

#include <string>

namespace e2e {

struct AviInfo {
    int width = 0;
    int height = 0;
    double seconds = 0;
};

// Returns false when the file is missing or has no main header where RIFF puts it.
bool ReadAviInfo(const std::string& path, AviInfo* info);

}  // namespace e2e
