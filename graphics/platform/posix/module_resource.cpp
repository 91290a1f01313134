#include "graphics/platform/module_resource.h"

#include "graphics/platform/resource_table.h"

namespace gfx {
namespace {

// Stands for the running program, whose resources are those registered in the table.
char programModuleTag;

}  // namespace

ModuleHandle ProgramModule() { return &programModuleTag; }

bool FindModuleResource(ModuleHandle module, const char* name, const char* type,
                        ModuleResource* found) {
    if (found == nullptr) return false;
    *found = ModuleResource{};
    // Dynamic modules carry no resources on this system.
    if (module != nullptr && module != ProgramModule()) return false;
    const void* data = nullptr;
    uint32_t size = 0;
    if (!FindRegisteredResource(name, type, &data, &size)) return false;
    found->data = data;
    found->size = size;
    found->handle = reinterpret_cast<uintptr_t>(data != nullptr ? data : &programModuleTag);
    return true;
}

// Registered bytes belong to whoever registered them; nothing was loaded.
void ReleaseModuleResource(uintptr_t) {}

}  // namespace gfx
