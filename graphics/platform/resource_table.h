#pragma once

#include <cstdint>

namespace gfx {

// The program's resources added at run time (and, on systems without resources of their own, the
// ones embedded at build time). Shared by the platform backends.

// Looks up a registered resource of the running program.
bool FindRegisteredResource(const char* name, const char* type, const void** data, uint32_t* size);

}  // namespace gfx
