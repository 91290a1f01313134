#include "graphics/image/split_path.h"

#include <cctype>

namespace gfx {

bool SplitPath(const char* path, PathParts* parts) {
    if (!parts) return false;
    *parts = PathParts{};
    if (!path || !path[0]) return true;

    std::string rest(path);
    // Both separators: the platform accepts either, and a dot inside a folder name must never be
    // taken for an extension.
    const size_t separator = rest.find_last_of("\\/");
    const size_t dot = rest.find_last_of('.');
    PathParts found;
    if (dot != std::string::npos && (separator == std::string::npos || dot > separator)) {
        found.extension = rest.substr(dot + 1);
        rest.erase(dot);
    }
    if (!rest.empty()) {
        if (separator == std::string::npos) {
            found.name = rest;
        } else {
            found.name = rest.substr(separator + 1);
            found.directory = rest.substr(0, separator);
        }
    }
    if (found.directory.size() > MAX_PATH_PART || found.name.size() > MAX_PATH_PART ||
        found.extension.size() > MAX_PATH_PART) {
        return false;
    }
    *parts = std::move(found);
    return true;
}

bool HasExtension(const PathParts& parts, const char* extension) {
    const std::string& text = parts.extension;
    size_t i = 0;
    for (; i < text.size() && extension[i]; ++i) {
        if (std::tolower(static_cast<unsigned char>(text[i])) != extension[i]) return false;
    }
    return i == text.size() && !extension[i];
}

}  // namespace gfx
