#pragma once

#include <cstddef>
#include <cstdint>

namespace gfx {

// How the blit routines see one pixel of a depth: its size, how it is read and written as a raw
// value (little-endian, byte by byte, so no address needs any alignment), and when it equals a
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
    static Value Load(const uint8_t* p) { return static_cast<Value>(p[0] | (p[1] << 8)); }
    static void Store(uint8_t* p, Value v) {
        p[0] = static_cast<uint8_t>(v);
        p[1] = static_cast<uint8_t>(v >> 8);
    }
    static bool Equals(Value v, uint32_t key) { return v == static_cast<uint16_t>(key); }
};

// Three bytes in memory order blue, green, red; held as key bits 0-7, 8-15, 16-23.
struct Pixel24 {
    static constexpr int kBytes = 3;
    using Value = uint32_t;
    static Value Load(const uint8_t* p) {
        return static_cast<Value>(p[0]) | (static_cast<Value>(p[1]) << 8) |
               (static_cast<Value>(p[2]) << 16);
    }
    static void Store(uint8_t* p, Value v) {
        p[0] = static_cast<uint8_t>(v);
        p[1] = static_cast<uint8_t>(v >> 8);
        p[2] = static_cast<uint8_t>(v >> 16);
    }
    static bool Equals(Value v, uint32_t key) { return v == (key & 0xFFFFFFu); }
};

struct Pixel32 {
    static constexpr int kBytes = 4;
    using Value = uint32_t;
    static Value Load(const uint8_t* p) {
        return static_cast<Value>(p[0]) | (static_cast<Value>(p[1]) << 8) |
               (static_cast<Value>(p[2]) << 16) | (static_cast<Value>(p[3]) << 24);
    }
    static void Store(uint8_t* p, Value v) {
        p[0] = static_cast<uint8_t>(v);
        p[1] = static_cast<uint8_t>(v >> 8);
        p[2] = static_cast<uint8_t>(v >> 16);
        p[3] = static_cast<uint8_t>(v >> 24);
    }
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
