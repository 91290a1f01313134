#pragma once

#include <cstdint>

namespace gfx {

// A loaded program or dynamic module; null stands for the running program.
using ModuleHandle = void*;

// Resource names and types follow the Windows rules: either a string, compared without regard to
// case ("#123" stands for the id 123), or an integer id below 0x10000 carried in the pointer.
inline const char* MakeIntResource(uint16_t id) {
    return reinterpret_cast<const char*>(static_cast<uintptr_t>(id));
}
inline bool IsIntResource(const char* name) {
    return (reinterpret_cast<uintptr_t>(name) >> 16) == 0;
}
inline uint16_t IntResourceId(const char* name) {
    return static_cast<uint16_t>(reinterpret_cast<uintptr_t>(name));
}

// The standard type of bitmap resources (a packed DIB without its file header).
inline const char* const kResourceTypeBitmap = MakeIntResource(2);

// The running program's own module.
ModuleHandle ProgramModule();

// A resource found in a module: its bytes (read-only) and a handle to release it with.
struct ModuleResource {
    const void* data = nullptr;
    uint32_t size = 0;
    uintptr_t handle = 0;
};

// Finds and loads a resource of the module. False when there is no such resource.
bool FindModuleResource(ModuleHandle module, const char* name, const char* type,
                        ModuleResource* found);

// Releases what FindModuleResource loaded.
void ReleaseModuleResource(uintptr_t handle);

// Adds a resource of the running program at run time. The bytes are not copied and must outlive
// the program's use of them. Resources embedded at build time are added this way before main.
// A resource built into the program by the platform's own means is found first.
void RegisterModuleResource(const char* name, const char* type, const void* data, uint32_t size);

// Removes a resource added with RegisterModuleResource.
void UnregisterModuleResource(const char* name, const char* type);

}  // namespace gfx
