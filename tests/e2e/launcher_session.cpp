#include "tests/e2e/launcher_session.h"

#include <tlhelp32.h>

#include <cctype>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "tests/e2e/e2e_config.h"

namespace e2e {

namespace fs = std::filesystem;

namespace {

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::string NewSessionFolder() {
    static int counter = 0;
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::string base = JoinPath(temp, "velmora-e2e");
    CreateDirectoryA(base.c_str(), nullptr);
    std::string folder;
    do {
        folder =
            JoinPath(base, std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++counter));
    } while (PathExists(folder));
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

}  // namespace

LauncherSession::LauncherSession()
    : folder_(NewSessionFolder()),
      discDir_(JoinPath(folder_, "disc")),
      logPath_(JoinPath(folder_, "started.log")) {}

LauncherSession::~LauncherSession() {
    if (process_) {
        if (IsRunning()) TerminateProcess(process_, 1);
        WaitForSingleObject(process_, 2000);
        CloseHandle(process_);
    }
    EndProgramsFromFolder();
    std::error_code ec;
    fs::remove_all(folder_, ec);
}

bool LauncherSession::PrepareDisc(bool withVideo, std::string* error) {
    std::string source = DiscSourceDir();
    if (source.empty() || !PathExists(JoinPath(source, "launcher.exe"))) {
        *error = "no assembled disc with launcher.exe at E2E_DISC_DIR (" + source + ")";
        return false;
    }
    std::error_code ec;
    fs::copy(source, discDir_, fs::copy_options::recursive, ec);
    if (ec) {
        *error = "copying the disc from " + source + " failed: " + ec.message();
        return false;
    }
    if (!withVideo) DeleteFileA(JoinPath(discDir_, "logo.avi").c_str());
    return true;
}

std::string LauncherSession::MakeProductFolder(const std::string& name) {
    std::string dir = JoinPath(folder_, name);
    std::error_code ec;
    fs::create_directories(dir, ec);
    CopyFileA(JoinPath(discDir_, "setup\\Velmora.exe").c_str(),
              JoinPath(dir, "Velmora.exe").c_str(), FALSE);
    return dir;
}

bool LauncherSession::Start(std::string* error) {
    if (process_) {
        if (IsRunning()) TerminateProcess(process_, 1);
        CloseHandle(process_);
        process_ = nullptr;
    }
    // The launcher passes its environment on to what it starts, so the sample programs log here.
    SetEnvironmentVariableA("VELMORA_SAMPLE_LOG", logPath_.c_str());
    SetEnvironmentVariableA("VELMORA_SAMPLE_INSTALL_DIR", JoinPath(folder_, "installed").c_str());
    std::string exe = JoinPath(discDir_, "launcher.exe");
    std::string commandLine = "\"" + exe + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    if (!CreateProcessA(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        discDir_.c_str(), &startup, &info)) {
        *error = "CreateProcess of " + exe + " failed with error " + std::to_string(GetLastError());
        return false;
    }
    CloseHandle(info.hThread);
    process_ = info.hProcess;
    processId_ = info.dwProcessId;
    return true;
}

bool LauncherSession::IsRunning() const {
    return process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
}

bool LauncherSession::WaitForExit(DWORD timeoutMs) const {
    return !process_ || WaitForSingleObject(process_, timeoutMs) == WAIT_OBJECT_0;
}

std::vector<StartedProgram> LauncherSession::ReadLog() const {
    std::vector<StartedProgram> lines;
    std::ifstream in(logPath_);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty()) continue;
        StartedProgram program;
        size_t first = line.find('|');
        size_t second = first == std::string::npos ? first : line.find('|', first + 1);
        program.name = line.substr(0, first);
        if (first != std::string::npos)
            program.directory = line.substr(first + 1, second - first - 1);
        if (second != std::string::npos) program.commandLine = line.substr(second + 1);
        lines.push_back(program);
    }
    return lines;
}

std::vector<StartedProgram> LauncherSession::WaitForLog(size_t count, DWORD timeoutMs) const {
    DWORD start = GetTickCount();
    std::vector<StartedProgram> lines = ReadLog();
    while (lines.size() < count && GetTickCount() - start < timeoutMs) {
        Sleep(50);
        lines = ReadLog();
    }
    return lines;
}

template <typename Visit>
void LauncherSession::ForEachProcess(Visit visit) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return;
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL ok = Process32First(snapshot, &entry); ok; ok = Process32Next(snapshot, &entry)) {
        HANDLE process =
            OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_TERMINATE | SYNCHRONIZE, FALSE,
                        entry.th32ProcessID);
        if (!process) continue;
        char path[MAX_PATH];
        DWORD size = MAX_PATH;
        if (QueryFullProcessImageNameA(process, 0, path, &size)) visit(Lower(path), process);
        CloseHandle(process);
    }
    CloseHandle(snapshot);
}

bool LauncherSession::IsProgramRunning(const std::string& path) const {
    bool running = false;
    std::string wanted = Lower(path);
    ForEachProcess([&](const std::string& image, HANDLE process) {
        if (image == wanted && WaitForSingleObject(process, 0) == WAIT_TIMEOUT) running = true;
    });
    return running;
}

void LauncherSession::EndProgramsFromFolder() {
    // Sample programs started by the launcher run from below the session folder.
    std::string prefix = Lower(folder_ + "\\");
    ForEachProcess([&](const std::string& image, HANDLE process) {
        if (image.rfind(prefix, 0) == 0) {
            TerminateProcess(process, 1);
            WaitForSingleObject(process, 2000);
        }
    });
}

}  // namespace e2e
