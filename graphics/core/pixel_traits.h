#pragma once

#include <cstddef>
#include <cstdint>

#include "graphics/core/little_endian.h"

namespace gfx {

// Storage traits: how the pixel routines see one pixel of a depth: its size, how it is read and
// written as a raw value (little-endian, so no address needs any alignment), and when it equals a
// colour key: only the bits of the pixel size take part.
struct Pixel8 {
    static constexpr int kBytes = 1;
    using Value = uint8_t;
    static Value Load(const uint8_t* p) { return *p; }
    static void Store(uint8_t* p, Value v) { *p = v; }
    static bool Equals(Value v, uint32_t key) { return v == static_cast<uint8_t>(key); }
};

struct Pixel16 {
    static constexpr int kBytes = 2;
    using Value = uint16_t;
    static Value Load(const uint8_t* p) { return LoadLE16(p); }
    static void Store(uint8_t* p, Value v) { StoreLE16(p, v); }
    static bool Equals(Value v, uint32_t key) { return v == static_cast<uint16_t>(key); }
};

// Three bytes in memory order blue, green, red; held as key bits 0-7, 8-15, 16-23.
struct Pixel24 {
    static constexpr int kBytes = 3;
    using Value = uint32_t;
    static Value Load(const uint8_t* p) { return LoadLE24(p); }
    static void Store(uint8_t* p, Value v) { StoreLE24(p, v); }
    static bool Equals(Value v, uint32_t key) { return v == (key & 0xFFFFFFu); }
};

struct Pixel32 {
    static constexpr int kBytes = 4;
    using Value = uint32_t;
    static Value Load(const uint8_t* p) { return LoadLE32(p); }
    static void Store(uint8_t* p, Value v) { StoreLE32(p, v); }
    static bool Equals(Value v, uint32_t key) { return v == key; }
};

// Address of pixel (x, y) of a locked buffer. Row offsets are computed in the pointer's width,
// since a tall surface with a long row exceeds 32 bits on 64-bit hosts.
template <class P>
inline uint8_t* PixelAt(uint8_t* base, int32_t pitch, int32_t x, int32_t y) {
    return base + static_cast<ptrdiff_t>(y) * pitch + static_cast<ptrdiff_t>(x) * P::kBytes;
}

template <class P>
inline const uint8_t* PixelAt(const uint8_t* base, int32_t pitch, int32_t x, int32_t y) {
    return base + static_cast<ptrdiff_t>(y) * pitch + static_cast<ptrdiff_t>(x) * P::kBytes;
}

}  // namespace gfx
