#pragma once

#include "graphics/platform/module_resource.h"

namespace gfx {

// Loads a dynamic module by path or name; null when it cannot be loaded.
ModuleHandle DynamicModuleLoad(const char* path);

// Address of an exported symbol; null when the module has none of that name.
void* DynamicModuleFind(ModuleHandle module, const char* name);

// Unloads a module returned by DynamicModuleLoad. Null is ignored.
void DynamicModuleUnload(ModuleHandle module);

}  // namespace gfx
