#include "graphics/codec/memo_block.h"

#include <zlib.h>

#include <cstring>

#include "graphics/core/little_endian.h"
#include "graphics/platform/global_memory.h"

namespace gfx {

namespace {

constexpr uint32_t kMaxDeflateRatio = 1032;

uint8_t* NewFixedBlock(uint64_t size) {
    if (size > UINT32_MAX) return nullptr;
    // Some allocators refuse 0 bytes; an empty result still gets a block of its own.
    return static_cast<uint8_t*>(GlobalMemoryAlloc(size ? size_t(size) : 1, true));
}

bool ReadMemoHeader(const void* block, size_t available, uint32_t* total, uint32_t* raw) {
    if (!block || available < MEMO_HEADER_BYTES) return false;
    const uint8_t* bytes = static_cast<const uint8_t*>(block);
    if (LoadLE32(bytes) != MEMO_MAGIC) return false;
    *total = LoadLE32(bytes + 4);
    *raw = LoadLE32(bytes + 8);
    return *total >= MEMO_HEADER_BYTES;
}

}  // namespace

uint8_t* MemoPack(const void* data, uint32_t length) {
    if (!data && length > 0) return nullptr;
    // The header, and zlib's classic worst case of 0.1 % and 12 bytes over the input.
    const uint64_t workSize = 24 + uint64_t{length} + uint64_t{length} / 1000;
    uint8_t* work = NewFixedBlock(workSize);
    if (!work) return nullptr;
    uLongf packed = static_cast<uLongf>(workSize - MEMO_HEADER_BYTES);
    const Bytef* source = data ? static_cast<const Bytef*>(data) : work;
    if (compress(work + MEMO_HEADER_BYTES, &packed, source, length) != Z_OK ||
        uint64_t{packed} + MEMO_HEADER_BYTES > UINT32_MAX) {
        GlobalMemoryFree(work);
        return nullptr;
    }
    const uint32_t total = static_cast<uint32_t>(packed) + MEMO_HEADER_BYTES;
    // Long-lived encoded images hold no slack: the result is a copy of exactly its length.
    uint8_t* block = NewFixedBlock(total);
    if (block) {
        std::memcpy(block + MEMO_HEADER_BYTES, work + MEMO_HEADER_BYTES, packed);
        StoreLE32(block, MEMO_MAGIC);
        StoreLE32(block + 4, total);
        StoreLE32(block + 8, length);
    }
    GlobalMemoryFree(work);
    return block;
}

uint8_t* MemoUnpack(const void* block, size_t available) {
    uint32_t total = 0, raw = 0;
    if (!ReadMemoHeader(block, available, &total, &raw) || total > available) return nullptr;
    // Deflate expands at most 1032 to 1, so a larger recorded length cannot be what the stream
    // holds: refused before its memory is asked for.
    if (uint64_t{raw} > uint64_t{kMaxDeflateRatio} * (total - MEMO_HEADER_BYTES)) return nullptr;
    uint8_t* out = NewFixedBlock(raw);
    if (!out) return nullptr;
    uLongf unpacked = raw;
    const int status = uncompress(out, &unpacked,
                                  static_cast<const Bytef*>(block) + MEMO_HEADER_BYTES,
                                  total - MEMO_HEADER_BYTES);
    // A stream that ends early would leave part of the block unwritten: refused like a damaged one.
    if (status != Z_OK || unpacked != raw) {
        GlobalMemoryFree(out);
        return nullptr;
    }
    return out;
}

uint32_t MemoPackedSize(const void* block, size_t available) {
    uint32_t total = 0, raw = 0;
    return ReadMemoHeader(block, available, &total, &raw) ? total : 0;
}

uint32_t MemoRawSize(const void* block, size_t available) {
    uint32_t total = 0, raw = 0;
    return ReadMemoHeader(block, available, &total, &raw) ? raw : 0;
}

}  // namespace gfx
