#pragma once

#include <cstddef>
#include <cstdint>

namespace gfx {

// Handle of a block from the global-memory allocator. For a fixed block the handle is the address
// of its first byte; a movable block has an opaque handle and its address is valid only while it
// is locked.
using GlobalHandle = void*;

// Allocates size bytes, not zeroed. Returns null when memory is short.
GlobalHandle GlobalMemoryAlloc(size_t size, bool fixed);

// Returns the address of the block. Locks of a movable block nest; a fixed block is not counted.
void* GlobalMemoryLock(GlobalHandle block);

// Undoes one lock. Returns true while the block stays locked (a fixed block always does).
bool GlobalMemoryUnlock(GlobalHandle block);

// Releases the block whatever its lock count. A null handle is ignored.
void GlobalMemoryFree(GlobalHandle block);

// Usable size of the block (at least the size asked), 0 for a null handle.
size_t GlobalMemorySize(GlobalHandle block);

// Outstanding locks of a movable block (always 0 for a fixed one).
uint32_t GlobalMemoryLockCount(GlobalHandle block);

}  // namespace gfx
