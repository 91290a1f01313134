#pragma once

#include "graphics/io/stream.h"

namespace gfx {

// A block already in memory, typically a codec's result. When owned, the block must be a fixed
// global-memory block: it is freed with the stream.
class BufferStream : public Stream {
  public:
    BufferStream(void* address, uint32_t size, bool owns, bool readOnly);
    ~BufferStream() override;
};

}  // namespace gfx
