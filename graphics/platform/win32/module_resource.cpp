#include "graphics/platform/module_resource.h"

#include <windows.h>

#include "graphics/platform/resource_table.h"

namespace gfx {
namespace {

// Handle given for a resource registered at run time: there is nothing to free.
char registeredTag;

}  // namespace

ModuleHandle ProgramModule() { return GetModuleHandleA(nullptr); }

bool FindModuleResource(ModuleHandle module, const char* name, const char* type,
                        ModuleResource* found) {
    if (found == nullptr || name == nullptr || type == nullptr) return false;
    *found = ModuleResource{};
    HMODULE program = GetModuleHandleA(nullptr);
    HMODULE handle = module != nullptr ? static_cast<HMODULE>(module) : program;
    if (HRSRC info = FindResourceA(handle, name, type)) {
        HGLOBAL loaded = LoadResource(handle, info);
        if (loaded == nullptr) return false;
        found->data = LockResource(loaded);
        found->size = SizeofResource(handle, info);
        found->handle = reinterpret_cast<uintptr_t>(loaded);
        return true;
    }
    if (handle != program) return false;
    const void* data = nullptr;
    uint32_t size = 0;
    if (!FindRegisteredResource(name, type, &data, &size)) return false;
    found->data = data;
    found->size = size;
    found->handle = reinterpret_cast<uintptr_t>(&registeredTag);
    return true;
}

void ReleaseModuleResource(uintptr_t handle) {
    if (handle != 0 && handle != reinterpret_cast<uintptr_t>(&registeredTag)) {
        FreeResource(reinterpret_cast<HGLOBAL>(handle));
    }
}

}  // namespace gfx
