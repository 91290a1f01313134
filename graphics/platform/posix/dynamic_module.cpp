#include "graphics/platform/dynamic_module.h"

#include <dlfcn.h>
#include <limits.h>
#include <unistd.h>

#include <string>
#include <strings.h>

namespace gfx {

namespace {

// "name.dll" without a folder is the Windows name of a module: its shared object here is
// "libname.so". Empty when the name is not of that form.
std::string NativeModuleName(const std::string& name) {
    constexpr size_t suffix = 4;  // ".dll"
    if (name.find('/') != std::string::npos || name.size() <= suffix ||
        strcasecmp(name.c_str() + name.size() - suffix, ".dll") != 0) {
        return {};
    }
    return "lib" + name.substr(0, name.size() - suffix) + ".so";
}

// The folder of the running program, with its trailing separator; empty when unknown.
std::string ProgramFolder() {
    char path[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0) return {};
    const std::string program(path, size_t(length));
    const size_t slash = program.rfind('/');
    return slash == std::string::npos ? std::string() : program.substr(0, slash + 1);
}

}  // namespace

ModuleHandle DynamicModuleLoad(const char* path) {
    if (path == nullptr || path[0] == '\0') return nullptr;
    const std::string native = NativeModuleName(path);
    if (native.empty()) return dlopen(path, RTLD_NOW | RTLD_LOCAL);
    // As Windows looks for a module beside the program first, then along its search path.
    const std::string folder = ProgramFolder();
    if (!folder.empty()) {
        if (ModuleHandle module = dlopen((folder + native).c_str(), RTLD_NOW | RTLD_LOCAL)) {
            return module;
        }
    }
    return dlopen(native.c_str(), RTLD_NOW | RTLD_LOCAL);
}

void* DynamicModuleFind(ModuleHandle module, const char* name) {
    if (module == nullptr || name == nullptr) return nullptr;
    return dlsym(module, name);
}

void DynamicModuleUnload(ModuleHandle module) {
    if (module != nullptr) dlclose(module);
}

}  // namespace gfx
