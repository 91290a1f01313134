#include "zd_jpeg/packed_dib_block.h"

#include "graphics/core/dib_header.h"
#include "graphics/core/pixel_format.h"
#include "graphics/platform/global_memory.h"

namespace zd_jpeg {

PackedDibBlock::~PackedDibBlock() { gfx::GlobalMemoryFree(block_); }

bool PackedDibBlock::Allocate(uint32_t width, uint32_t height, uint32_t bitsPerPixel,
                              size_t maxBytes) {
    const gfx::PixelFormat format =
        bitsPerPixel == 8 ? gfx::FMT_INDEX8 : bitsPerPixel == 24 ? gfx::FMT_RGB24 : 0;
    if (block_ || format == 0 || width == 0 || height == 0 ||
        width > uint32_t(gfx::MAX_SURFACE_SIDE) || height > uint32_t(gfx::MAX_SURFACE_SIDE)) {
        return false;
    }
    // The library keeps a surface's pitch in 16 bits: a wider row could not be locked.
    const uint64_t rowBytes = gfx::PaddedRowBytes(bitsPerPixel, width);
    if (rowBytes > gfx::MAX_ROW_BYTES) return false;

    uint8_t header[gfx::DIB_HEADER_BUFFER_BYTES];
    const uint32_t headerBytes = gfx::BuildDibHeader(int32_t(width), int32_t(height), format,
                                                     header, sizeof header);
    const uint64_t total = headerBytes + rowBytes * height;
    if (headerBytes == 0 || total > maxBytes || total > UINT32_MAX) return false;

    block_ = gfx::GlobalMemoryAlloc(size_t(total), true);
    if (!block_) return false;
    auto* bytes = static_cast<uint8_t*>(block_);
    for (uint32_t i = 0; i < headerBytes; ++i) bytes[i] = header[i];
    if (format == gfx::FMT_INDEX8) {
        // A grey picture's colour table is the 256 grey levels, stored blue, green, red, 0.
        uint8_t* table = bytes + gfx::DIB_HEADER_BYTES;
        for (uint32_t level = 0; level < 256; ++level) {
            table[4 * level] = table[4 * level + 1] = table[4 * level + 2] = uint8_t(level);
        }
    }
    rows_ = bytes + headerBytes;
    height_ = height;
    rowBytes_ = uint32_t(rowBytes);
    // The decoders write the pixels; the padding after them is zeroed so that no row holds
    // stale heap bytes.
    const uint32_t pixelBytes = width * (bitsPerPixel / 8);
    for (uint32_t y = 0; y < height; ++y) {
        uint8_t* row = rows_ + size_t(y) * rowBytes_;
        for (uint32_t x = pixelBytes; x < rowBytes_; ++x) row[x] = 0;
    }
    return true;
}

void* PackedDibBlock::Release() {
    void* block = block_;
    block_ = nullptr;
    return block;
}

}  // namespace zd_jpeg
