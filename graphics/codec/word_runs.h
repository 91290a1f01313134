#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace gfx {

// The byte moves of the run-length codecs. Sprite rows are mostly short runs, for which a call
// into the C library costs more than the move: copies up to kLongCopy and fills up to kLongFill
// bytes are moved here in 16-byte words, and runs shorter than 16 in two 8 or two 4-byte words
// or by bytes, the last word overlapping the one before where the run is not a whole number of
// words. Longer runs go to memcpy and memset, which move the widest words the processor has.
// Fills replicate the byte into the word.

inline constexpr size_t kLongCopy = 256;
inline constexpr size_t kLongFill = 64;

// A 16-byte word, moved by fixed-size memcpy (one unaligned load or store).
struct Word16 {
    uint64_t low, high;
};

inline void CopyRun(uint8_t* out, const uint8_t* in, size_t count) {
    if (count > kLongCopy) {
        std::memcpy(out, in, count);
    } else if (count >= 16) {
        Word16 last;
        std::memcpy(&last, in + count - 16, 16);
        for (size_t i = 0; i + 16 < count; i += 16) {
            Word16 word;
            std::memcpy(&word, in + i, 16);
            std::memcpy(out + i, &word, 16);
        }
        std::memcpy(out + count - 16, &last, 16);
    } else if (count >= 8) {
        uint64_t first, last;
        std::memcpy(&first, in, 8);
        std::memcpy(&last, in + count - 8, 8);
        std::memcpy(out, &first, 8);
        std::memcpy(out + count - 8, &last, 8);
    } else if (count >= 4) {
        uint32_t first, last;
        std::memcpy(&first, in, 4);
        std::memcpy(&last, in + count - 4, 4);
        std::memcpy(out, &first, 4);
        std::memcpy(out + count - 4, &last, 4);
    } else if (count > 0) {
        out[0] = in[0];
        out[count / 2] = in[count / 2];
        out[count - 1] = in[count - 1];
    }
}

inline void FillRun(uint8_t* out, uint8_t value, size_t count) {
    const uint64_t pattern = value * 0x0101010101010101ull;
    if (count > kLongFill) {
        std::memset(out, value, count);
    } else if (count >= 16) {
        // Four stores cover up to 64 bytes; written out, as compilers turn a loop back into a
        // library call.
        const Word16 word{pattern, pattern};
        const size_t second = count > 32 ? 16 : count - 16;
        std::memcpy(out, &word, 16);
        std::memcpy(out + second, &word, 16);
        std::memcpy(out + count - second - 16, &word, 16);
        std::memcpy(out + count - 16, &word, 16);
    } else if (count >= 8) {
        const uint64_t word = pattern;
        std::memcpy(out, &word, 8);
        std::memcpy(out + count - 8, &word, 8);
    } else if (count >= 4) {
        const uint32_t word = uint32_t(pattern);
        std::memcpy(out, &word, 4);
        std::memcpy(out + count - 4, &word, 4);
    } else if (count > 0) {
        out[0] = value;
        out[count / 2] = value;
        out[count - 1] = value;
    }
}

}  // namespace gfx
