#include "graphics/platform/temp_file.h"

#include <windows.h>

namespace gfx {

std::string TempFolder() {
    char buffer[MAX_PATH + 1];
    DWORD length = GetTempPathA(sizeof buffer, buffer);
    if (length == 0 || length >= sizeof buffer) return {};
    return std::string(buffer, length);
}

std::string CreateUniqueTempFile(const std::string& folder, const char* prefix) {
    if (folder.empty()) return {};
    char buffer[MAX_PATH];
    if (GetTempFileNameA(folder.c_str(), prefix != nullptr ? prefix : "TMP", 0, buffer) == 0) {
        return {};
    }
    return buffer;
}

}  // namespace gfx
