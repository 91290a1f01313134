#include "graphics/io/buffer_stream.h"

#include "graphics/platform/global_memory.h"

namespace gfx {

BufferStream::BufferStream(void* address, uint32_t blockSize, bool owns, bool isReadOnly) {
    kind = STREAM_BUFFER;
    size = blockSize;
    data = static_cast<uint8_t*>(address);
    lockCount = 1;
    readOnly = isReadOnly ? 1 : 0;
    owner = owns ? 1 : 0;
}

BufferStream::~BufferStream() {
    if (owner != 0) GlobalMemoryFree(data);
}

}  // namespace gfx
