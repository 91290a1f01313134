#pragma once

#include <cstdint>

namespace gfx {

// Where a writer of a file format sends its bytes, in order. Write returns false when the bytes
// could not all be taken; once it has, the writer stops and reports a failure.
class ByteWriter {
  public:
    ByteWriter() = default;
    ByteWriter(const ByteWriter&) = delete;
    ByteWriter& operator=(const ByteWriter&) = delete;
    virtual ~ByteWriter() = default;

    virtual bool Write(const void* data, uint32_t size) = 0;
};

}  // namespace gfx
