#pragma once

#include <string>

namespace gfx {

// The folder for temporary files, with its trailing separator; empty when it cannot be found.
std::string TempFolder();

// Creates a new empty file with a unique name "<prefix>XXXX.tmp" in folder (prefix "TMP" when
// null) and returns its path; empty on failure.
std::string CreateUniqueTempFile(const std::string& folder, const char* prefix);

}  // namespace gfx
