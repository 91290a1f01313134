#pragma once

#include <cstdint>

#include "graphics/core/pixel_format.h"

namespace gfx {

// Where one colour channel sits in a direct pixel. Its 8-bit value is
// ((pixel & mask) >> position) << scaleShift: left-aligned, low bits zero. An 8-bit value v is
// stored as (v >> scaleShift) << position, truncating.
struct ChannelPlace {
    uint32_t mask = 0;
    uint32_t position = 0;
    uint32_t scaleShift = 8;

    uint32_t Read(uint32_t pixel) const { return ((pixel & mask) >> position) << scaleShift; }
    uint32_t Write(uint32_t value) const { return (value >> scaleShift) << position; }
    // The 8-bit value that Write then Read gives back.
    uint32_t Truncate(uint32_t value) const { return (value >> scaleShift) << scaleShift; }
};

// The channels of a direct format: channel 0 blue, 1 green, 2 red, 3 alpha. The format's rank
// field orders them from the lowest bits up: for each rank 0 to 3 the first channel holding that
// rank is placed next. A channel that is never placed reads and writes as 0.
struct ChannelLayout {
    ChannelPlace channel[4];
    uint32_t bytesPerPixel = 0;
};

constexpr ChannelLayout DecodeChannelLayout(PixelFormat format) {
    ChannelLayout layout;
    layout.bytesPerPixel = (format >> 27) & 7;
    bool placed[4] = {false, false, false, false};
    uint32_t position = 0;
    for (uint32_t rank = 0; rank < 4; ++rank) {
        for (uint32_t j = 0; j < 4; ++j) {
            if (placed[j] || ((format >> (16 + 2 * j)) & 3) != rank) continue;
            const uint32_t width = (format >> (4 * j)) & 0xF;
            // No format carries a channel wider than a byte; such a channel stays unplaced.
            if (width <= 8) {
                layout.channel[j].mask = ((1u << width) - 1) << position;
                layout.channel[j].position = position;
                layout.channel[j].scaleShift = 8 - width;
            }
            placed[j] = true;
            position += width;
            break;
        }
    }
    return layout;
}

static_assert(DecodeChannelLayout(FMT_RGB565).channel[2].mask == 0xF800);
static_assert(DecodeChannelLayout(FMT_BGR555).channel[0].mask == 0x7C00);
static_assert(DecodeChannelLayout(FMT_RGB32).channel[1].position == 8);

}  // namespace gfx
