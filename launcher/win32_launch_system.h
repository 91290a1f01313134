#pragma once

#include <windows.h>

#include "launcher/core/launch_system.h"

// Reads a registry value into `buffer` (`bufferSize` bytes). TRUE exactly when the key opens
// and the value fits the buffer; the value's type is not examined.
BOOL ReadRegistryString(HKEY root, const char* subkey, const char* valueName, char* buffer,
                        DWORD bufferSize);

// The launcher's decisions served by the real registry, file system and process start.
class Win32LaunchSystem : public LaunchSystem {
  public:
    bool ReadMachineValue(const std::string& subkey, const std::string& valueName, char* buffer,
                          size_t size) override;
    bool FileExists(const std::string& path) override;
    bool ChangeDirectory(const std::string& path) override;
    bool StartProgram(const std::string& commandLine, int showCommand) override;
};
