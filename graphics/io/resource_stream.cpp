#include "graphics/io/resource_stream.h"

namespace gfx {

ResourceStream::ResourceStream(ModuleHandle module, const char* name, const char* type) {
    readOnly = 1;
    lockCount = 0;
    ModuleResource found;
    if (!FindModuleResource(module, name, type, &found)) return;
    owner = found.handle;
    data = static_cast<uint8_t*>(const_cast<void*>(found.data));
    size = data != nullptr ? found.size : 0;
    kind = STREAM_RESOURCE;
}

ResourceStream::~ResourceStream() {
    if (owner != 0) ReleaseModuleResource(owner);
}

}  // namespace gfx
