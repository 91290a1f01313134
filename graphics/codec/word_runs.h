#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace gfx {

// The byte moves of the run-length codecs: literal copies and fills go 16 bytes and then 32-bit
// words at a time, and only the last 0-3 bytes one by one. Fixed-size memcpy keeps the accesses
// unaligned-safe; compilers turn each into one wide load or store.

inline void CopyRun(uint8_t* out, const uint8_t* in, size_t count) {
    for (; count >= 16; count -= 16, out += 16, in += 16) std::memcpy(out, in, 16);
    for (; count >= 4; count -= 4, out += 4, in += 4) std::memcpy(out, in, 4);
    for (; count > 0; --count) *out++ = *in++;
}

inline void FillRun(uint8_t* out, uint8_t value, size_t count) {
    const uint32_t word = value * 0x01010101u;
    const uint32_t wide[4] = {word, word, word, word};
    for (; count >= 16; count -= 16, out += 16) std::memcpy(out, wide, 16);
    for (; count >= 4; count -= 4, out += 4) std::memcpy(out, &word, 4);
    for (; count > 0; --count) *out++ = value;
}

}  // namespace gfx
