#include "graphics/platform/global_memory.h"

#include <cstdlib>
#include <new>

namespace gfx {
namespace {

// Every handle points just past a header. A fixed block's bytes follow the header, so the handle
// is their address; a movable block keeps its bytes in a separate allocation whose address is
// stored after the header, so that the handle and the address differ as they do elsewhere.
struct BlockHeader {
    uint32_t magic;
    uint32_t fixed;
    uint32_t lockCount;
    uint32_t reserved;
    size_t size;
    void* bytes;  // movable blocks only
};

constexpr uint32_t kBlockMagic = 0x4B4C4247;  // "GBLK"
// Keeps the bytes of a fixed block aligned like those of malloc.
constexpr size_t kHeaderSpace = (sizeof(BlockHeader) + alignof(std::max_align_t) - 1) /
                                alignof(std::max_align_t) * alignof(std::max_align_t);

BlockHeader* HeaderOf(GlobalHandle block) {
    if (block == nullptr) return nullptr;
    auto* header =
        reinterpret_cast<BlockHeader*>(static_cast<unsigned char*>(block) - kHeaderSpace);
    return header->magic == kBlockMagic ? header : nullptr;
}

}  // namespace

GlobalHandle GlobalMemoryAlloc(size_t size, bool fixed) {
    size_t bytes = fixed ? size : 0;
    if (bytes > SIZE_MAX - kHeaderSpace) return nullptr;
    void* raw = std::malloc(kHeaderSpace + bytes);
    if (raw == nullptr) return nullptr;
    auto* header = new (raw) BlockHeader{kBlockMagic, fixed ? 1u : 0u, 0, 0, size, nullptr};
    if (!fixed) {
        // At least one byte, so that a locked empty block still has an address.
        header->bytes = std::malloc(size == 0 ? 1 : size);
        if (header->bytes == nullptr) {
            std::free(raw);
            return nullptr;
        }
    }
    return static_cast<unsigned char*>(raw) + kHeaderSpace;
}

void* GlobalMemoryLock(GlobalHandle block) {
    BlockHeader* header = HeaderOf(block);
    if (header == nullptr) return nullptr;
    if (header->fixed) return block;
    ++header->lockCount;
    return header->bytes;
}

bool GlobalMemoryUnlock(GlobalHandle block) {
    BlockHeader* header = HeaderOf(block);
    if (header == nullptr) return false;
    if (header->fixed) return true;
    if (header->lockCount == 0) return false;
    return --header->lockCount > 0;
}

void GlobalMemoryFree(GlobalHandle block) {
    BlockHeader* header = HeaderOf(block);
    if (header == nullptr) return;
    if (!header->fixed) std::free(header->bytes);
    std::free(header);
}

size_t GlobalMemorySize(GlobalHandle block) {
    BlockHeader* header = HeaderOf(block);
    return header == nullptr ? 0 : header->size;
}

uint32_t GlobalMemoryLockCount(GlobalHandle block) {
    BlockHeader* header = HeaderOf(block);
    return header == nullptr ? 0 : header->lockCount;
}

}  // namespace gfx
