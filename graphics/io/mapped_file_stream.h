#pragma once

#include <string>

#include "graphics/io/stream.h"

namespace gfx {

// A file seen through a file mapping, or a named mapping opened without a file. owner is the file
// handle (kInvalidFile when none), extra the mapping while mapped; data is valid while
// lockCount > 0. The constructor maps once.
class MappedFileStream : public Stream {
  public:
    // createSize non-zero: create (or replace) the file at that length, writable. createSize 0:
    // open the existing file. No path: open the mapping called mappingName when Lock maps.
    // temporary: delete the file when the stream closes it. sequential: access-pattern hint.
    MappedFileStream(uint32_t createSize, const char* path, bool temporary, const char* mappingName,
                     bool readOnly, bool sequential);
    ~MappedFileStream() override;

    void Lock() override;
    void Unlock() override;

    // Name of the file mapping object; empty for an unnamed mapping.
    std::string mappingName;
};

}  // namespace gfx
