#pragma once

#include <string>

namespace gfx {

// The parts of a file path. Each part is at most MAX_PATH_PART characters long.
struct PathParts {
    std::string directory;  // without its trailing separator
    std::string name;
    std::string extension;  // without the dot
};

inline constexpr size_t MAX_PATH_PART = 255;

// Splits `path` into folder, name and extension. The extension is the text after the last dot
// when that dot lies after the last separator ('\' or '/'); the name is what follows the last
// separator, the folder what precedes it. Every part starts empty. Returns false (with all parts
// empty) when a part would be longer than MAX_PATH_PART.
bool SplitPath(const char* path, PathParts* parts);

// Whether the extension is `extension` (given in lower case), whatever the case of its letters.
bool HasExtension(const PathParts& parts, const char* extension);

}  // namespace gfx
