#include "launcher/core/packed_dib_layout.h"

#include <cstring>

namespace {

constexpr size_t kHeaderSize = 40;
constexpr uint32_t kUncompressed = 0;

template <typename T>
T ReadField(const uint8_t* bytes, size_t offset) {
    T value;
    std::memcpy(&value, bytes + offset, sizeof(value));  // little-endian, as stored
    return value;
}

}  // namespace

bool DescribePackedDib(const uint8_t* bytes, size_t size, PackedDibLayout& layout) {
    if (!bytes || size < kHeaderSize) return false;
    const uint32_t headerSize = ReadField<uint32_t>(bytes, 0);
    const int32_t width = ReadField<int32_t>(bytes, 4);
    const int32_t height = ReadField<int32_t>(bytes, 8);
    const uint16_t bitCount = ReadField<uint16_t>(bytes, 14);
    const uint32_t compression = ReadField<uint32_t>(bytes, 16);
    const uint32_t imageSize = ReadField<uint32_t>(bytes, 20);
    if (headerSize < kHeaderSize || headerSize > size) return false;
    if (width <= 0 || height == 0 || bitCount == 0 || bitCount > 32) return false;

    const uint64_t colours = bitCount <= 8 ? (uint64_t{1} << bitCount) : 0;
    if (kHeaderSize + colours * 4 > size) return false;
    const uint64_t bitsOffset = headerSize + colours * 4;

    const uint64_t rows = height < 0 ? -static_cast<int64_t>(height) : height;
    const uint64_t rowBytes = (static_cast<uint64_t>(width) * bitCount + 31) / 32 * 4;
    const uint64_t bitsSize = compression == kUncompressed ? rowBytes * rows : imageSize;
    if (bitsOffset + bitsSize > size) return false;

    layout.colours = static_cast<uint32_t>(colours);
    layout.bitsOffset = static_cast<size_t>(bitsOffset);
    return true;
}

DibColour PackedDibColour(const uint8_t* bytes, uint32_t index) {
    const uint8_t* entry = bytes + kHeaderSize + size_t{index} * 4;
    return {entry[2], entry[1], entry[0]};
}
