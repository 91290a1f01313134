#pragma once

#include <cstdint>

namespace gfx {

// A 32-bit pixel format code: bits 24-29 bits per pixel, bit 30 indexed, bits 16-23 channel
// order, bits 0-15 channel widths. 0 means "no image".
using PixelFormat = uint32_t;

inline constexpr PixelFormat FMT_INDEX1 = 0x41000000;
inline constexpr PixelFormat FMT_INDEX2 = 0x42000000;
inline constexpr PixelFormat FMT_INDEX4 = 0x44000000;
inline constexpr PixelFormat FMT_INDEX8 = 0x48000000;
inline constexpr PixelFormat FMT_RGB555 = 0x10E40555;
inline constexpr PixelFormat FMT_BGR555 = 0x10C60555;
inline constexpr PixelFormat FMT_RGB565 = 0x10E40565;
inline constexpr PixelFormat FMT_BGR565 = 0x10C60565;
inline constexpr PixelFormat FMT_RGB24 = 0x18E40888;
inline constexpr PixelFormat FMT_RGB32 = 0x20E40888;

// Rows of every surface are padded to 4 bytes and their pitch is kept in 16 bits.
inline constexpr uint32_t MAX_ROW_BYTES = 65532;
// Widths and heights are stored in 16 bits.
inline constexpr int32_t MAX_SURFACE_SIDE = 65535;

constexpr uint32_t BitsPerPixel(PixelFormat format) { return (format >> 24) & 0x3F; }

constexpr bool IsIndexedFormat(PixelFormat format) {
    return BitsPerPixel(format) >= 1 && BitsPerPixel(format) <= 8;
}

// True for the two 16-bit codes with 5-bit green.
constexpr bool Is555Format(PixelFormat format) {
    return format == FMT_RGB555 || format == FMT_BGR555;
}

// True for exactly the ten codes above.
bool IsKnownFormat(PixelFormat format);

// Bytes of one row of `width` pixels of `bitsPerPixel` bits, padded to a multiple of 4: the row
// of every surface and bitmap. Exact for any 32-bit width and bit count.
constexpr uint64_t PaddedRowBytes(uint64_t bitsPerPixel, uint64_t width) {
    return (width * bitsPerPixel + 31) / 32 * 4;
}

// Bytes of one row of `width` pixels, padded to a multiple of 4. 0 when the format has no bits
// per pixel, the width is not positive, or the row does not fit in 32 bits.
uint32_t RowBytes(PixelFormat format, int32_t width);

// Whether a surface of this size and format can be made: a known format, width and height in
// 0..MAX_SURFACE_SIDE, and a padded row of at most MAX_ROW_BYTES. Every kind checks this in
// Create before it allocates anything.
bool SurfaceSizeSupported(int32_t width, int32_t height, PixelFormat format);

}  // namespace gfx
