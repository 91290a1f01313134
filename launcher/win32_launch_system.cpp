#include "launcher/win32_launch_system.h"

#include "graphics/platform/file.h"

BOOL ReadRegistryString(HKEY root, const char* subkey, const char* valueName, char* buffer,
                        DWORD bufferSize) {
    HKEY key;
    if (::RegOpenKeyExA(root, subkey, 0, KEY_READ, &key) != ERROR_SUCCESS) return FALSE;
    DWORD type = 0;
    DWORD size = bufferSize;
    const LONG status =
        ::RegQueryValueExA(key, valueName, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
    ::RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

bool Win32LaunchSystem::ReadMachineValue(const std::string& subkey, const std::string& valueName,
                                         char* buffer, size_t size) {
    return ReadRegistryString(HKEY_LOCAL_MACHINE, subkey.c_str(), valueName.c_str(), buffer,
                              static_cast<DWORD>(size));
}

bool Win32LaunchSystem::FileExists(const std::string& path) {
    return gfx::FileExists(path.c_str());
}

bool Win32LaunchSystem::ChangeDirectory(const std::string& path) {
    return ::SetCurrentDirectoryA(path.c_str()) != 0;
}

bool Win32LaunchSystem::StartProgram(const std::string& commandLine, int showCommand) {
    return ::WinExec(commandLine.c_str(), static_cast<UINT>(showCommand)) > 31;
}
