#include "graphics/io/sub_stream.h"

namespace gfx {

SubStream::SubStream(Stream* parent, uint32_t offset, uint32_t windowSize, bool ownsParent) {
    owner = reinterpret_cast<uintptr_t>(parent);
    extra = ownsParent ? 1 : 0;
    lockCount = 0;
    if (parent == nullptr || parent->data == nullptr) return;
    if (uint64_t{offset} + windowSize > parent->size) return;
    size = windowSize;
    data = parent->data + offset;
    readOnly = parent->readOnly;
    kind = STREAM_SUB;
}

SubStream::~SubStream() {
    if (extra != 0 && owner != 0) delete reinterpret_cast<Stream*>(owner);
}

}  // namespace gfx
