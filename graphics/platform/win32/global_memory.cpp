#include "graphics/platform/global_memory.h"

#include <windows.h>

namespace gfx {

GlobalHandle GlobalMemoryAlloc(size_t size, bool fixed) {
    return GlobalAlloc(fixed ? GMEM_FIXED : GMEM_MOVEABLE, size);
}

void* GlobalMemoryLock(GlobalHandle block) {
    return block == nullptr ? nullptr : GlobalLock(block);
}

bool GlobalMemoryUnlock(GlobalHandle block) {
    return block != nullptr && GlobalUnlock(block) != FALSE;
}

void GlobalMemoryFree(GlobalHandle block) {
    if (block != nullptr) GlobalFree(block);
}

size_t GlobalMemorySize(GlobalHandle block) { return block == nullptr ? 0 : GlobalSize(block); }

uint32_t GlobalMemoryLockCount(GlobalHandle block) {
    if (block == nullptr) return 0;
    UINT flags = GlobalFlags(block);
    return flags == GMEM_INVALID_HANDLE ? 0 : (flags & GMEM_LOCKCOUNT);
}

}  // namespace gfx
