#pragma once

#include <windows.h>

#include <string>

// The sample installer's work: copy the product next to setup.exe into the product folder and
// record that folder in the registry value that the launcher reads.

constexpr const char* kProductExecutable = "Velmora.exe";
constexpr const char* kSettingsKey = "SOFTWARE\\Zandor SOFTWARE\\Velmora\\Primavex 1.0\\SETTINGS";
constexpr const char* kExePathValue = "EXEPATH";

struct InstallOutcome {
    bool ok = false;
    std::string folder;      // the product folder, absolute, with its trailing backslash
    std::string failedStep;  // what went wrong, for the message; empty on success
    DWORD error = 0;         // the system's error code of the failed step
};

// The product folder: VELMORA_SAMPLE_INSTALL_DIR when set, else "Velmora" in the system's program
// folder. Made absolute, with backslashes, ending in exactly one backslash (the launcher appends
// the executable's name to the registry value directly).
std::string ChooseInstallFolder();

// Makes `folder` with every missing parent, copies `sourceFolder` + kProductExecutable into it
// and writes `folder` as REG_SZ "EXEPATH" under HKEY_LOCAL_MACHINE\kSettingsKey. The value is
// written last, so it never names a folder without the product in it.
InstallOutcome InstallProduct(const std::string& sourceFolder, const std::string& folder);

// The folder of the running program, with its trailing backslash.
std::string ProgramFolder();
