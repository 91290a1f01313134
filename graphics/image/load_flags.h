#pragma once

#include <cstdint>

namespace gfx {

// The load flags of Surface::Load, a 32-bit set.

// Bits 0-3: where the image comes from.
inline constexpr uint32_t LOAD_SOURCE_MASK = 0x0F;
inline constexpr uint32_t LOAD_FROM_FILE = 0x00;  // the source is a file path
inline constexpr uint32_t LOAD_FROM_RESOURCE =
    0x01;                                           // a resource name of the given module and type
inline constexpr uint32_t LOAD_FROM_STREAM = 0x02;  // a Stream

// Bits 4-7: what the image is. Any other non-zero value is read as a Windows bitmap.
inline constexpr uint32_t LOAD_TYPE_MASK = 0xF0;
inline constexpr uint32_t LOAD_AUTO = 0x00;  // a bitmap, or for a file path chosen by extension
inline constexpr uint32_t LOAD_JPEG = 0x10;
inline constexpr uint32_t LOAD_CONTAINER = 0x20;

// Keep a private writable copy of the bytes instead of the source block.
inline constexpr uint32_t LOAD_COPY = 0x10000;
// Decode an encoded image to plain pixels after loading.
inline constexpr uint32_t LOAD_DECODE = 0x20000;
// Convert to the format and palette of the template surface after loading.
inline constexpr uint32_t LOAD_CONVERT = 0x40000;

}  // namespace gfx
