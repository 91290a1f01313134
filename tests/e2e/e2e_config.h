// Where the end-to-end driver finds the disc it tests and how the run was set up.
#pragma once

#include <string>

namespace e2e {

// Windows path of the assembled sample disc (from E2E_DISC_DIR, a host path that Wine maps to Z:).
std::string DiscSourceDir();

// Path of launcher.exe in the assembled disc.
std::string LauncherSourcePath();

// Colour depth the runner gave the virtual display (E2E_DEPTH), 0 when unknown.
int RequestedDepth();

// Joins two Windows path parts with exactly one backslash.
std::string JoinPath(const std::string& dir, const std::string& name);

bool PathExists(const std::string& path);

}  // namespace e2e
