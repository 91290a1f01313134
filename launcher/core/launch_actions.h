#pragma once

#include <cstddef>
#include <string>

#include "launcher/core/launch_system.h"

// The launcher's decisions: whether the product is installed, and how INSTALL and RUN start
// their programs.

inline constexpr char kSettingsKey[] = "SOFTWARE\\Zandor SOFTWARE\\Velmora\\Primavex 1.0\\SETTINGS";
inline constexpr char kExePathValue[] = "EXEPATH";
inline constexpr char kProductExecutable[] = "Velmora.exe";
inline constexpr char kInstallerFolder[] = "setup";
inline constexpr char kInstallerCommand[] = "setup\\setup.exe";
// Size of the buffer the folder is read into: at most 255 characters and a terminating zero.
inline constexpr size_t kExePathBufferSize = 256;
inline constexpr int kShowCommand = 5;  // SW_SHOW

// Reads the installed product's folder. False when the value cannot be read, does not fit the
// buffer, or fills the whole buffer without a terminating zero.
bool ReadProductFolder(LaunchSystem& system, std::string& folder);

// The product's executable inside `folder`, with a separator inserted when the folder lacks
// its trailing backslash.
std::string ProductExecutablePath(const std::string& folder);

// The product is installed when its folder is recorded and holds the executable.
bool IsInstalled(LaunchSystem& system);

// INSTALL: starts the disc's installer with the "setup" folder as its working directory, then
// returns to the original directory.
void StartInstaller(LaunchSystem& system);

// RUN: starts the installed product in its own folder; starts nothing when the folder cannot
// be read or is not a usable path.
void StartProduct(LaunchSystem& system);
