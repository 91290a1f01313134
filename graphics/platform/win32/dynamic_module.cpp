#include "graphics/platform/dynamic_module.h"

#include <windows.h>

namespace gfx {

ModuleHandle DynamicModuleLoad(const char* path) {
    if (path == nullptr || path[0] == '\0') return nullptr;
    return LoadLibraryA(path);
}

void* DynamicModuleFind(ModuleHandle module, const char* name) {
    if (module == nullptr || name == nullptr) return nullptr;
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(module), name));
}

void DynamicModuleUnload(ModuleHandle module) {
    if (module != nullptr) FreeLibrary(static_cast<HMODULE>(module));
}

}  // namespace gfx
