#include "graphics/raster/contrast_rows.h"

#include <cstddef>
#include <cstring>

namespace gfx {

namespace {

uint8_t* RowOf(const ContrastRows& rows, int32_t y) {
    return rows.base + static_cast<ptrdiff_t>(y) * rows.pitch;
}

}  // namespace

ChannelSums SumChannels(const ContrastRows& rows) {
    ChannelSums sums{{0, 0, 0}};
    for (int32_t y = 0; y < rows.height; ++y) {
        const uint8_t* p = RowOf(rows, y);
        for (int32_t x = 0; x < rows.width; ++x, p += rows.bytes) {
            sums.sum[0] += p[0];
            sums.sum[1] += p[1];
            sums.sum[2] += p[2];
        }
    }
    return sums;
}

void AddMaskedPixels(const uint8_t* row, const uint8_t* mask, int32_t from, int32_t to,
                     int32_t bytes, MaskedChannelSums* sums) {
    const uint8_t* p = row + static_cast<ptrdiff_t>(from) * bytes;
    for (int32_t x = from; x < to; ++x, p += bytes) {
        sums->weight += mask[x];
        for (int k = 0; k < 3; ++k) sums->sum[k] += uint64_t{mask[x]} * p[k];
    }
}

MaskedChannelSums SumMaskedChannels(const ContrastRows& rows) {
    MaskedChannelSums sums{0, {0, 0, 0}};
    for (int32_t y = 0; y < rows.height; ++y) {
        AddMaskedPixels(RowOf(rows, y), rows.mask + static_cast<ptrdiff_t>(y) * rows.maskPitch, 0,
                        rows.width, rows.bytes, &sums);
    }
    return sums;
}

void ApplyToBytes(const uint8_t* t, uint8_t* run, size_t from, size_t to, int32_t bytes) {
    for (size_t k = from; k < to; ++k) {
        if (bytes == 3 || k % 4 != 3) run[k] = t[run[k]];
    }
}

void ApplyToMaskedPixels(const uint8_t* t, uint8_t* row, const uint8_t* mask, int32_t from,
                         int32_t to, int32_t bytes) {
    uint8_t* p = row + static_cast<ptrdiff_t>(from) * bytes;
    for (int32_t x = from; x < to; ++x, p += bytes) {
        if (mask[x] == 0) continue;
        p[0] = t[p[0]];
        p[1] = t[p[1]];
        p[2] = t[p[2]];
    }
}

namespace {

// Rows without a mask, a pixel's bytes read and written as one word: every byte of a 24-bit row
// is a colour byte, so its bytes go eight at a time; 32-bit pixels keep byte 3 as it was.
void ApplyToRow24(const uint8_t* t, uint8_t* p, size_t n) {
    size_t k = 0;
    for (; k + 8 <= n; k += 8) {
        uint64_t v;
        std::memcpy(&v, p + k, 8);
        uint64_t out = 0;
        for (int b = 0; b < 64; b += 8) out |= uint64_t{t[(v >> b) & 0xFF]} << b;
        std::memcpy(p + k, &out, 8);
    }
    for (; k < n; ++k) p[k] = t[p[k]];
}

void ApplyToRow32(const uint8_t* t, uint8_t* p, int32_t width) {
    for (int32_t x = 0; x < width; ++x, p += 4) {
        uint32_t v;
        std::memcpy(&v, p, 4);
        const uint32_t out = t[v & 0xFF] | uint32_t{t[(v >> 8) & 0xFF]} << 8 |
                             uint32_t{t[(v >> 16) & 0xFF]} << 16 | (v & 0xFF000000u);
        std::memcpy(p, &out, 4);
    }
}

}  // namespace

void ApplyContrastRows(const ContrastTable& table, const ContrastRows& rows) {
    for (int32_t y = 0; y < rows.height; ++y) {
        uint8_t* p = RowOf(rows, y);
        if (!rows.mask) {
            if (rows.bytes == 3) {
                ApplyToRow24(table.entry, p, static_cast<size_t>(rows.width) * 3);
            } else {
                ApplyToRow32(table.entry, p, rows.width);
            }
            continue;
        }
        ApplyToMaskedPixels(table.entry, p, rows.mask + static_cast<ptrdiff_t>(y) * rows.maskPitch,
                            0, rows.width, rows.bytes);
    }
}

}  // namespace gfx
