#pragma once

#include <string>

#include "graphics/core/result.h"

namespace gfx_tool {

// Exit codes of the program.
inline constexpr int EXIT_OK = 0;
inline constexpr int EXIT_FAILED = 1;  // the library or a file refused
inline constexpr int EXIT_USAGE = 2;   // the command line asked for something impossible

// Prints "gfx: FILE: ResultName: what" on standard error and returns EXIT_FAILED.
int ReportFailure(const std::string& file, gfx::Result status, const std::string& what);

// Prints "gfx: message" and the pointer to --help on standard error and returns EXIT_USAGE, the
// same two lines a command line that does not parse gets.
int ReportUsage(const std::string& message);

}  // namespace gfx_tool
