#pragma once

#include "graphics/io/stream.h"

namespace gfx {

// A block of global memory of its own. owner is the block's handle, extra is non-zero for a
// fixed block. A movable block's data is valid only while lockCount > 0.
class GlobalMemoryStream : public Stream {
  public:
    GlobalMemoryStream(uint32_t size, bool fixed);
    ~GlobalMemoryStream() override;

    void Lock() override;
    void Unlock() override;
};

}  // namespace gfx
