#include "graphics/platform/current_directory.h"

#include <windows.h>

namespace gfx {

std::string CurrentDirectory() {
    DWORD length = GetCurrentDirectoryA(0, nullptr);
    if (length == 0) return {};
    std::string path(length, '\0');
    length = GetCurrentDirectoryA(length, path.data());
    if (length == 0 || length >= path.size()) return {};
    path.resize(length);
    return path;
}

bool ChangeCurrentDirectory(const std::string& path) {
    return !path.empty() && SetCurrentDirectoryA(path.c_str()) != FALSE;
}

}  // namespace gfx
