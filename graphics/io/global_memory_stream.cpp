#include "graphics/io/global_memory_stream.h"

#include "graphics/platform/global_memory.h"

namespace gfx {

GlobalMemoryStream::GlobalMemoryStream(uint32_t blockSize, bool fixed) {
    GlobalHandle block = GlobalMemoryAlloc(blockSize, fixed);
    if (block == nullptr) return;
    owner = reinterpret_cast<uintptr_t>(block);
    extra = fixed ? 1 : 0;
    data = static_cast<uint8_t*>(fixed ? block : GlobalMemoryLock(block));
    lockCount = 1;
    size = blockSize;
    kind = STREAM_GLOBAL_MEMORY;
    readOnly = 0;
}

GlobalMemoryStream::~GlobalMemoryStream() {
    if (owner == 0) return;
    if (lockCount > 1) lockCount = 1;
    Unlock();
    GlobalMemoryFree(reinterpret_cast<GlobalHandle>(owner));
}

void GlobalMemoryStream::Lock() {
    if (owner == 0) return;
    if (extra == 0 && lockCount == 0) {
        data = static_cast<uint8_t*>(GlobalMemoryLock(reinterpret_cast<GlobalHandle>(owner)));
    }
    ++lockCount;
}

void GlobalMemoryStream::Unlock() {
    // An unpaired Unlock is ignored: a negative count would let a later Lock report a valid block
    // while data is null.
    if (owner == 0 || lockCount <= 0) return;
    if (extra == 0 && lockCount == 1) {
        GlobalMemoryUnlock(reinterpret_cast<GlobalHandle>(owner));
        data = nullptr;
    }
    --lockCount;
}

}  // namespace gfx
