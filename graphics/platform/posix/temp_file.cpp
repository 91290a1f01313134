#include "graphics/platform/temp_file.h"

#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

namespace gfx {

std::string TempFolder() {
    std::string folder;
    const char* variables[] = {"TMPDIR", "TMP", "TEMP"};
    for (const char* variable : variables) {
        const char* value = std::getenv(variable);
        if (value != nullptr && value[0] != '\0') {
            folder = value;
            break;
        }
    }
    if (folder.empty()) folder = "/tmp";
    if (folder.back() != '/') folder += '/';
    return folder;
}

std::string CreateUniqueTempFile(const std::string& folder, const char* prefix) {
    if (folder.empty()) return {};
    std::string path = folder;
    if (path.back() != '/') path += '/';
    // Only the first three characters of a prefix are used, as in the Windows naming rule.
    path += std::string(prefix != nullptr ? prefix : "TMP").substr(0, 3);
    path += "XXXXXX.tmp";
    int fd = mkstemps(path.data(), 4);
    if (fd < 0) return {};
    close(fd);
    return path;
}

}  // namespace gfx
