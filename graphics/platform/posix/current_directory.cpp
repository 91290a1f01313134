#include "graphics/platform/current_directory.h"

#include <unistd.h>

#include <cstdlib>

namespace gfx {

std::string CurrentDirectory() {
    char* path = getcwd(nullptr, 0);
    if (path == nullptr) return {};
    std::string result = path;
    std::free(path);
    return result;
}

bool ChangeCurrentDirectory(const std::string& path) {
    return !path.empty() && chdir(path.c_str()) == 0;
}

}  // namespace gfx
