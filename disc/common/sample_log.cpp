#include "disc/common/sample_log.h"

#include <windows.h>

#include <string>

namespace {

std::string EnvironmentValue(const char* name) {
    char buffer[MAX_PATH * 2];
    DWORD length = GetEnvironmentVariableA(name, buffer, sizeof(buffer));
    if (length == 0 || length >= sizeof(buffer)) return std::string();
    return std::string(buffer, length);
}

std::string CurrentDirectory() {
    char buffer[MAX_PATH * 2];
    DWORD length = GetCurrentDirectoryA(sizeof(buffer), buffer);
    if (length == 0 || length >= sizeof(buffer)) return std::string();
    return std::string(buffer, length);
}

}  // namespace

bool SampleLogRequested() { return !EnvironmentValue("VELMORA_SAMPLE_LOG").empty(); }

bool AppendSampleLog(const char* program) {
    std::string path = EnvironmentValue("VELMORA_SAMPLE_LOG");
    if (path.empty()) return true;

    std::string line = std::string(program) + "|" + CurrentDirectory() + "|" + GetCommandLineA();
    line += "\r\n";

    // Another program may hold the file for a moment; appends are short, so a few retries do.
    for (int attempt = 0; attempt < 50; ++attempt) {
        HANDLE file =
            CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                        OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            if (GetLastError() != ERROR_SHARING_VIOLATION) return false;
            Sleep(20);
            continue;
        }
        DWORD written = 0;
        BOOL ok = WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
        CloseHandle(file);
        return ok && written == line.size();
    }
    return false;
}
