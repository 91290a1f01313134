#pragma once

#include <cstdint>

namespace gfx {

// Channel traits: how the blending routines split a raw pixel value into three 5-bit channel
// values and put blended channels back. The routines never need to know which channel is red or
// blue: all three are treated alike, first the one in the highest bits.
//
// A blend forms, per channel, the sum X of two ChannelProductTable entries (8 times a 5-bit
// value times a weight out of 32). Join takes the three sums: the 16-bit layouts keep X >> 8, a
// 5-bit value; the 8-8-8 layout keeps X >> 5, a byte of at most 248.
struct ChannelValues {
    uint32_t c[3];
};

// 16-bit 5-5-5: channels at bits 10-14, 5-9 and 0-4; bit 15 carries no colour and joins as 0.
struct Channels555 {
    static ChannelValues Split(uint32_t v) { return {{(v >> 10) & 31, (v >> 5) & 31, v & 31}}; }
    static uint32_t Join(const ChannelValues& sums) {
        return ((sums.c[0] >> 8) << 10) | ((sums.c[1] >> 8) << 5) | (sums.c[2] >> 8);
    }
};

// 16-bit 5-6-5: channels at bits 11-15, 5-10 and 0-4; only the top five bits of the 6-bit channel
// take part, and its lowest bit (bit 5) joins as 0.
struct Channels565 {
    static ChannelValues Split(uint32_t v) { return {{(v >> 11) & 31, (v >> 6) & 31, v & 31}}; }
    static uint32_t Join(const ChannelValues& sums) {
        return ((sums.c[0] >> 8) << 11) | ((sums.c[1] >> 8) << 6) | (sums.c[2] >> 8);
    }
};

// 24 and 32-bit: the three low bytes are channels, each taking part as its top five bits; the top
// byte of a 32-bit pixel carries no colour and joins as 0.
struct Channels888 {
    static ChannelValues Split(uint32_t v) {
        return {{((v >> 16) & 0xFF) >> 3, ((v >> 8) & 0xFF) >> 3, (v & 0xFF) >> 3}};
    }
    static uint32_t Join(const ChannelValues& sums) {
        return ((sums.c[0] >> 5) << 16) | ((sums.c[1] >> 5) << 8) | (sums.c[2] >> 5);
    }
};

}  // namespace gfx
