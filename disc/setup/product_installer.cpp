#include "disc/setup/product_installer.h"

#include <string>

namespace {

constexpr DWORD kPathBuffer = MAX_PATH * 2;

std::string EnvironmentValue(const char* name) {
    char buffer[kPathBuffer];
    DWORD length = GetEnvironmentVariableA(name, buffer, sizeof(buffer));
    if (length == 0 || length >= sizeof(buffer)) return std::string();
    return std::string(buffer, length);
}

std::string WithTrailingBackslash(std::string path) {
    for (char& c : path) {
        if (c == '/') c = '\\';
    }
    while (path.size() > 1 && path.back() == '\\' && path[path.size() - 2] == '\\') {
        path.pop_back();
    }
    if (path.empty() || path.back() != '\\') path += '\\';
    return path;
}

bool IsFolder(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Creates each missing folder along `folder` (which ends in a backslash), outermost first.
bool CreateFolderTree(const std::string& folder, DWORD* error) {
    // Skip the root: "C:\" or "\\server\share\".
    size_t start = 0;
    if (folder.size() >= 2 && folder[0] == '\\' && folder[1] == '\\') {
        start = folder.find('\\', 2);
        if (start != std::string::npos) start = folder.find('\\', start + 1);
    } else {
        start = folder.find('\\');
    }
    for (size_t cut = folder.find('\\', start == std::string::npos ? folder.size() : start + 1);
         cut != std::string::npos; cut = folder.find('\\', cut + 1)) {
        std::string part = folder.substr(0, cut);
        if (IsFolder(part)) continue;
        if (!CreateDirectoryA(part.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
            *error = GetLastError();
            return false;
        }
    }
    if (!IsFolder(folder)) {
        *error = ERROR_PATH_NOT_FOUND;
        return false;
    }
    return true;
}

}  // namespace

std::string ChooseInstallFolder() {
    std::string folder = EnvironmentValue("VELMORA_SAMPLE_INSTALL_DIR");
    if (folder.empty()) {
        std::string programs = EnvironmentValue("ProgramFiles");
        if (programs.empty()) programs = "C:\\Program Files";
        folder = WithTrailingBackslash(programs) + "Velmora";
    }
    char full[kPathBuffer];
    DWORD length = GetFullPathNameA(folder.c_str(), sizeof(full), full, nullptr);
    if (length > 0 && length < sizeof(full)) folder.assign(full, length);
    return WithTrailingBackslash(folder);
}

std::string ProgramFolder() {
    char path[kPathBuffer];
    DWORD length = GetModuleFileNameA(nullptr, path, sizeof(path));
    if (length == 0 || length >= sizeof(path)) return std::string();
    std::string folder(path, length);
    size_t slash = folder.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : folder.substr(0, slash + 1);
}

InstallOutcome InstallProduct(const std::string& sourceFolder, const std::string& folder) {
    InstallOutcome outcome;
    outcome.folder = folder;

    if (!CreateFolderTree(folder, &outcome.error)) {
        outcome.failedStep = "could not create the folder " + folder;
        return outcome;
    }
    std::string source = sourceFolder + kProductExecutable;
    std::string target = folder + kProductExecutable;
    if (!CopyFileA(source.c_str(), target.c_str(), FALSE)) {
        outcome.error = GetLastError();
        outcome.failedStep = "could not copy " + source;
        return outcome;
    }

    HKEY key = nullptr;
    LONG status = RegCreateKeyExA(HKEY_LOCAL_MACHINE, kSettingsKey, 0, nullptr,
                                  REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr, &key, nullptr);
    if (status == ERROR_SUCCESS) {
        status = RegSetValueExA(key, kExePathValue, 0, REG_SZ,
                                reinterpret_cast<const BYTE*>(folder.c_str()),
                                static_cast<DWORD>(folder.size() + 1));
        RegCloseKey(key);
    }
    if (status != ERROR_SUCCESS) {
        outcome.error = static_cast<DWORD>(status);
        outcome.failedStep = "could not record the product folder in the registry";
        return outcome;
    }
    outcome.ok = true;
    return outcome;
}
