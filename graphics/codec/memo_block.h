#pragma once

#include <cstddef>
#include <cstdint>

namespace gfx {

// A MEMO block: a 12-byte little-endian header (the bytes "MEMO", the block's total length with
// the header, the unpacked length) followed by one zlib stream. Blocks are fixed global memory
// (GlobalMemoryAlloc with fixed = true) owned by the caller, who frees them with
// GlobalMemoryFree.
inline constexpr uint32_t MEMO_MAGIC = 0x4F4D454Du;  // "MEMO"
inline constexpr uint32_t MEMO_HEADER_BYTES = 12;

// Packs `length` bytes into a new block of exactly its total length; null when zlib fails, memory
// is short, or the block would not fit in 32 bits.
uint8_t* MemoPack(const void* data, uint32_t length);

// The unpacked bytes of the block at `block`, of which `available` bytes may be read, in a new
// block of the unpacked length; null when the header is wrong, the block's total length runs
// past `available`, the stream is damaged, or it does not unpack to exactly the recorded length
// (a recorded length beyond what deflate can expand the stream to is refused without allocating).
uint8_t* MemoUnpack(const void* block, size_t available);

// The block's total length, or 0 when fewer than 12 bytes are available, the magic is wrong, or
// the total is shorter than the header.
uint32_t MemoPackedSize(const void* block, size_t available);

// The block's unpacked length, or 0 when the header is wrong as for MemoPackedSize.
uint32_t MemoRawSize(const void* block, size_t available);

}  // namespace gfx
