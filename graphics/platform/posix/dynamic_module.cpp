#include "graphics/platform/dynamic_module.h"

#include <dlfcn.h>

namespace gfx {

ModuleHandle DynamicModuleLoad(const char* path) {
    if (path == nullptr || path[0] == '\0') return nullptr;
    return dlopen(path, RTLD_NOW | RTLD_LOCAL);
}

void* DynamicModuleFind(ModuleHandle module, const char* name) {
    if (module == nullptr || name == nullptr) return nullptr;
    return dlsym(module, name);
}

void DynamicModuleUnload(ModuleHandle module) {
    if (module != nullptr) dlclose(module);
}

}  // namespace gfx
