#include "launcher/core/launch_actions.h"

#include <cstring>

bool ReadProductFolder(LaunchSystem& system, std::string& folder) {
    char buffer[kExePathBufferSize] = {};
    if (!system.ReadMachineValue(kSettingsKey, kExePathValue, buffer, sizeof(buffer))) {
        return false;
    }
    // A value that fills the whole buffer has no room for its terminator: it is not a string
    // of at most 255 characters, so it is refused rather than cut.
    const void* terminator = std::memchr(buffer, '\0', sizeof(buffer));
    if (!terminator) return false;
    folder.assign(buffer, static_cast<const char*>(terminator) - buffer);
    return true;
}

std::string ProductExecutablePath(const std::string& folder) {
    std::string path = folder;
    if (path.empty() || path.back() != '\\') path += '\\';
    return path + kProductExecutable;
}

bool IsInstalled(LaunchSystem& system) {
    std::string folder;
    if (!ReadProductFolder(system, folder)) return false;
    // The separator is always inserted; a doubled one is accepted by the file system.
    return system.FileExists(folder + "\\" + kProductExecutable);
}

void StartInstaller(LaunchSystem& system) {
    const bool entered = system.ChangeDirectory(kInstallerFolder);
    system.StartProgram(kInstallerCommand, kShowCommand);
    // Only step back up when the step down happened.
    if (entered) system.ChangeDirectory("..");
}

void StartProduct(LaunchSystem& system) {
    std::string folder;
    if (!ReadProductFolder(system, folder)) return;
    const std::string path = ProductExecutablePath(folder);
    // The path is handed over quoted, so a quote inside it could end the quoting early and
    // start a different program; no real folder name holds one.
    if (path.find('"') != std::string::npos) return;
    system.ChangeDirectory(folder);
    system.StartProgram("\"" + path + "\"", kShowCommand);
}
