#pragma once

#include <string>

namespace gfx {

// The process's current directory; empty when it cannot be read.
std::string CurrentDirectory();

// Changes the current directory; false when the folder cannot be entered.
bool ChangeCurrentDirectory(const std::string& path);

}  // namespace gfx
