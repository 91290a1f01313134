#include "graphics/image/load_source.h"

#include <cstring>
#include <new>

#include "graphics/image/load_flags.h"
#include "graphics/io/global_memory_stream.h"
#include "graphics/io/mapped_file_stream.h"
#include "graphics/io/resource_stream.h"

namespace gfx {

bool LoadSource::Open(const void* source, uint32_t loadFlags, ModuleHandle module,
                      const char* resourceType) {
    stream = nullptr;
    callerKeeps_ = false;
    switch (loadFlags & LOAD_SOURCE_MASK) {
        case LOAD_FROM_FILE:
            if (source) {
                stream = new (std::nothrow) MappedFileStream(0, static_cast<const char*>(source),
                                                             false, nullptr, true, true);
            }
            break;
        case LOAD_FROM_RESOURCE:
            stream = new (std::nothrow)
                ResourceStream(module, static_cast<const char*>(source), resourceType);
            break;
        case LOAD_FROM_STREAM:
            stream = static_cast<Stream*>(const_cast<void*>(source));
            callerKeeps_ = (loadFlags & LOAD_COPY) != 0;
            break;
        default:
            return false;
    }
    if (stream) stream->Lock();
    return true;
}

void LoadSource::GiveUp() {
    if (!stream) return;
    if (callerKeeps_) {
        stream->Unlock();
    } else {
        delete stream;
    }
    stream = nullptr;
}

bool LoadSource::TakeCopy() {
    auto* copy = new (std::nothrow) GlobalMemoryStream(stream->size, true);
    if (!copy || !copy->data) {
        delete copy;
        GiveUp();
        return false;
    }
    if (stream->size) std::memcpy(copy->data, stream->data, stream->size);
    GiveUp();
    stream = copy;
    callerKeeps_ = false;
    return true;
}

}  // namespace gfx
