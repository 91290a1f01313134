#pragma once

#include <cstddef>
#include <cstdint>

namespace zd_jpeg {

// The picture a decoder hands back: a packed DIB (40-byte header, grey table for 8-bit rows, rows
// bottom-up padded to 4 bytes) in one fixed global-memory block, which the caller of ReadJPEG
// frees with the library's allocator. Until Release the block belongs to this object and is
// freed with it, so every failed decode gives its memory back.
class PackedDibBlock {
  public:
    PackedDibBlock() = default;
    ~PackedDibBlock();
    PackedDibBlock(const PackedDibBlock&) = delete;
    PackedDibBlock& operator=(const PackedDibBlock&) = delete;

    // Allocates the block for a picture of 8 (grey) or 24 (blue, green, red) bits per pixel.
    // Refuses a side outside 1..65535, a padded row beyond the library's 16-bit pitch, a block
    // larger than maxBytes, and a short allocation.
    bool Allocate(uint32_t width, uint32_t height, uint32_t bitsPerPixel, size_t maxBytes);

    // Address of picture line y, counted from the top (the rows are stored bottom-up).
    uint8_t* Line(uint32_t y) const { return rows_ + size_t(height_ - 1 - y) * rowBytes_; }
    // Distance from one picture line to the next below it (negative: the rows run bottom-up).
    ptrdiff_t LineStep() const { return -ptrdiff_t(rowBytes_); }
    uint32_t RowBytes() const { return rowBytes_; }

    // Hands the block to the caller; this object no longer frees it.
    void* Release();

  private:
    void* block_ = nullptr;
    uint8_t* rows_ = nullptr;
    uint32_t height_ = 0;
    uint32_t rowBytes_ = 0;
};

}  // namespace zd_jpeg
