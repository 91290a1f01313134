#pragma once

#include "graphics/io/stream.h"

namespace gfx {

// A window of size bytes at offset into another stream, which must stay accessible while the
// sub-block is used. owner is the parent; extra is non-zero when the sub-block destroys its parent.
// A window that does not lie wholly inside the parent's block (or a parent without bytes) leaves
// kind 0 and data null; the parent is still owned as asked.
class SubStream : public Stream {
  public:
    SubStream(Stream* parent, uint32_t offset, uint32_t size, bool ownsParent);
    ~SubStream() override;
};

}  // namespace gfx
