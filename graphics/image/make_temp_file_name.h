#pragma once

#include <string>

namespace gfx {

// Creates a new empty file with a unique name in the system's temporary folder (or, when that
// folder cannot be entered, in the root of drive C) and returns its path; empty on failure. The
// name starts with `prefix`, or "TMP" when it is null. The current directory is changed for a
// moment to test the folder, and restored.
std::string MakeTempFileName(const char* prefix);

}  // namespace gfx
