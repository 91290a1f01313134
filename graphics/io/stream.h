#pragma once

#include <cstdint>

namespace gfx {

// Which kind of block a stream stands for; 0 when its construction failed.
enum StreamKind : uint32_t {
    STREAM_NONE = 0,
    STREAM_BUFFER = 1,
    STREAM_GLOBAL_MEMORY = 2,
    STREAM_MAPPED_FILE = 3,
    STREAM_RESOURCE = 4,
    STREAM_SUB = 5,
};

// One contiguous block of bytes: its address, its length, and a lock count that tells when the
// address is valid. Not a cursor. Each kind says what it owns and when data is valid.
class Stream {
  public:
    Stream() = default;
    Stream(const Stream&) = delete;
    Stream& operator=(const Stream&) = delete;

    virtual ~Stream() = default;
    // Makes data valid; calls nest and must pair with Unlock.
    virtual void Lock() {}
    virtual void Unlock() {}

    // Writes the whole block to a new file (an existing one is replaced). Returns the byte count
    // written, 0 when there is nothing to write or the file cannot be created.
    uint32_t WriteToFile(const char* path);

    uint32_t kind = STREAM_NONE;
    uint32_t size = 0;
    uint8_t* data = nullptr;
    int32_t lockCount = 0;
    uint32_t readOnly = 0;
    // Kind-specific handle or owner, see each kind.
    uintptr_t owner = 0;
    uintptr_t extra = 0;
};

}  // namespace gfx
