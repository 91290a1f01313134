#pragma once

#include "graphics/io/stream.h"
#include "graphics/platform/module_resource.h"

namespace gfx {

// A resource of a module, always read-only. owner is the loaded resource; kind stays 0 when the
// module has no such resource.
class ResourceStream : public Stream {
  public:
    ResourceStream(ModuleHandle module, const char* name, const char* type);
    ~ResourceStream() override;
};

}  // namespace gfx
