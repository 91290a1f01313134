#pragma once

#include <cstddef>
#include <cstdint>

#include "graphics/raster/contrast_table.h"

namespace gfx {

// The locked rows of a contrast adjustment: `width` by `height` pixels of `bytes` (3 or 4) bytes
// at `base`, `pitch` bytes apart, and the 8-bit mask's rows (one byte per pixel), or null.
struct ContrastRows {
    uint8_t* base = nullptr;
    int32_t pitch = 0;
    const uint8_t* mask = nullptr;
    int32_t maskPitch = 0;
    int32_t width = 0;
    int32_t height = 0;
    int32_t bytes = 0;
};

// The sums of bytes 0, 1 and 2 over every pixel; the mask is not consulted.
struct ChannelSums {
    uint64_t sum[3];
};
ChannelSums SumChannels(const ContrastRows& rows);

// The mask's weight and the sums of bytes 0, 1 and 2 each weighed by its pixel's mask byte.
struct MaskedChannelSums {
    uint64_t weight;
    uint64_t sum[3];
};
MaskedChannelSums SumMaskedChannels(const ContrastRows& rows);

// Replaces bytes 0, 1 and 2 of every pixel (of every pixel whose mask byte is not 0, with a
// mask) by their table entries; byte 3 of 32-bit pixels stays.
void ApplyContrastRows(const ContrastTable& table, const ContrastRows& rows);

// The per-pixel steps of the bodies, for whole rows and for what a wider body leaves of one:
// bytes `from` to `to` of a run by the table (byte 3 of 32-bit pixels kept), pixels `from` to
// `to` of a masked row by the table, and their mask-weighted sums.
void ApplyToBytes(const uint8_t* t, uint8_t* run, size_t from, size_t to, int32_t bytes);
void ApplyToMaskedPixels(const uint8_t* t, uint8_t* row, const uint8_t* mask, int32_t from,
                         int32_t to, int32_t bytes);
void AddMaskedPixels(const uint8_t* row, const uint8_t* mask, int32_t from, int32_t to,
                     int32_t bytes, MaskedChannelSums* sums);

// Calls fn(first byte, pixels) for each run of pixels of the rows: rows that follow each other
// without a gap are one run, others one run each.
template <class Fn>
void ForEachRun(const ContrastRows& rows, Fn fn) {
    const size_t rowBytes = static_cast<size_t>(rows.width) * static_cast<size_t>(rows.bytes);
    if (rows.pitch > 0 && static_cast<size_t>(rows.pitch) == rowBytes) {
        fn(rows.base, static_cast<size_t>(rows.width) * static_cast<size_t>(rows.height));
        return;
    }
    uint8_t* p = rows.base;
    for (int32_t y = 0; y < rows.height; ++y, p += rows.pitch)
        fn(p, static_cast<size_t>(rows.width));
}

// The shapes of those bodies and of their fast twins.
using SumChannelsBody = ChannelSums (*)(const ContrastRows& rows);
using MaskedSumsBody = MaskedChannelSums (*)(const ContrastRows& rows);
using ContrastRowsBody = void (*)(const ContrastTable& table, const ContrastRows& rows);

}  // namespace gfx
