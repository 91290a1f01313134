#pragma once

#include <cstdint>

#include "graphics/io/stream.h"
#include "graphics/platform/module_resource.h"

namespace gfx {

// The stream a Load reads, opened by the source type of its load flags: a file mapped read-only,
// a resource of a module, or the caller's own stream. A caller's stream loaded with LOAD_COPY
// stays with the caller as it was; any other stream belongs to the load.
class LoadSource {
  public:
    // Opens and locks the stream. False for an unknown source type; otherwise `stream` is the
    // opened stream, or null when none could be made.
    bool Open(const void* source, uint32_t loadFlags, ModuleHandle module,
              const char* resourceType);

    // Lets go of the stream: a stream the caller keeps is unlocked, one the load owns destroyed.
    void GiveUp();

    // Replaces the stream by a private fixed copy of its bytes, which the load owns; the original
    // is given up. False, with the original given up and no stream left, when memory is short.
    bool TakeCopy();

    Stream* stream = nullptr;

  private:
    bool callerKeeps_ = false;
};

}  // namespace gfx
