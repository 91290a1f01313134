#include "tests/e2e/e2e_config.h"

#include <windows.h>

#include <cstdlib>

namespace e2e {

namespace {

std::string Env(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

}  // namespace

std::string DiscSourceDir() {
    std::string dir = Env("E2E_DISC_DIR");
    if (dir.empty()) return dir;
    // A host path starting with '/' lies on Wine's drive Z:.
    if (dir[0] == '/') dir = "Z:" + dir;
    for (char& c : dir) {
        if (c == '/') c = '\\';
    }
    while (dir.size() > 3 && dir.back() == '\\') dir.pop_back();
    return dir;
}

std::string LauncherSourcePath() {
    std::string dir = DiscSourceDir();
    return dir.empty() ? dir : JoinPath(dir, "launcher.exe");
}

int RequestedDepth() { return std::atoi(Env("E2E_DEPTH").c_str()); }

std::string JoinPath(const std::string& dir, const std::string& name) {
    if (dir.empty()) return name;
    if (dir.back() == '\\') return dir + name;
    return dir + "\\" + name;
}

bool PathExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace e2e
