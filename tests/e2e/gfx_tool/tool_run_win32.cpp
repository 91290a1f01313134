#include <windows.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "tests/e2e/gfx_tool/tool_run.h"

namespace {

// A command-line argument quoted as the C runtime splits them again.
std::string Quote(const std::string& argument) {
    if (!argument.empty() && argument.find_first_of(" \t\"") == std::string::npos) return argument;
    std::string quoted = "\"";
    size_t backslashes = 0;
    for (char c : argument) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        quoted.append(c == '"' ? 2 * backslashes + 1 : backslashes, '\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(2 * backslashes, '\\');
    return quoted + "\"";
}

HANDLE CreateCapture(const std::string& path) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    return CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

std::string ReadAndRemove(const std::string& path) {
    std::string text;
    {
        std::ifstream in(path, std::ios::binary);
        text.assign(std::istreambuf_iterator<char>(in), {});
    }
    DeleteFileA(path.c_str());
    // The program's text-mode output ends its lines with "\r\n".
    std::string lines;
    for (char c : text) {
        if (c != '\r') lines += c;
    }
    return lines;
}

}  // namespace

std::string ToolPath() {
    const char* value = std::getenv("GFX_TOOL");
    std::string path = value ? value : "";
    // A host path starting with '/' lies on Wine's drive Z:.
    if (!path.empty() && path[0] == '/') path = "Z:" + path;
    for (char& c : path) {
        if (c == '/') c = '\\';
    }
    return path;
}

ToolRun RunTool(const std::vector<std::string>& arguments) {
    ToolRun run;
    char folder[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    char outName[MAX_PATH], errName[MAX_PATH];
    GetTempFileNameA(folder, "gfo", 0, outName);
    GetTempFileNameA(folder, "gfe", 0, errName);
    HANDLE out = CreateCapture(outName), err = CreateCapture(errName);

    std::string command = Quote(ToolPath());
    for (const std::string& a : arguments) command += " " + Quote(a);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = out;
    startup.hStdError = err;
    PROCESS_INFORMATION process{};
    if (CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                       &startup, &process)) {
        WaitForSingleObject(process.hProcess, INFINITE);
        DWORD code = 0;
        GetExitCodeProcess(process.hProcess, &code);
        run.exitCode = int(code);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    CloseHandle(out);
    CloseHandle(err);
    run.out = ReadAndRemove(outName);
    run.err = ReadAndRemove(errName);
    return run;
}
