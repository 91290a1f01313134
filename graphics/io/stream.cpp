#include "graphics/io/stream.h"

#include "graphics/platform/file.h"

namespace gfx {

uint32_t Stream::WriteToFile(const char* path) {
    Lock();
    uint32_t written = 0;
    if (data != nullptr && size != 0) written = WriteBlockToFile(path, data, size);
    Unlock();
    return written;
}

}  // namespace gfx
