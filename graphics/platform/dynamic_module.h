#pragma once

#include "graphics/platform/module_resource.h"

namespace gfx {

// Loads a dynamic module by path or name; null when it cannot be loaded. A Windows module name
// without a folder, "name.dll", is looked for as on Windows: beside the program first, then along
// the system's search path. The posix backend's file for it is "libname.so" (the loader path is
// LD_LIBRARY_PATH and the program's run path).
ModuleHandle DynamicModuleLoad(const char* path);

// Address of an exported symbol; null when the module has none of that name.
void* DynamicModuleFind(ModuleHandle module, const char* name);

// Unloads a module returned by DynamicModuleLoad. Null is ignored.
void DynamicModuleUnload(ModuleHandle module);

}  // namespace gfx
