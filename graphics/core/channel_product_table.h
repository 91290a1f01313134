#pragma once

#include <cstdint>

namespace gfx {

// Products of a 5-bit channel value and a weight out of 32, times 8: entry [w][v] = v * w * 8 for
// w 0..32 (row w stands for the weight 8 * w out of 256) and v 0..31. A blend adds the entries of
// its two sides' weights for one channel and shifts the sum right by 8, giving a 5-bit channel.
inline constexpr int32_t kChannelWeights = 33;
inline constexpr int32_t kChannelValues = 32;

struct ChannelProducts {
    int32_t entry[kChannelWeights][kChannelValues];
};

constexpr ChannelProducts MakeChannelProducts() {
    ChannelProducts table{};
    for (int32_t w = 0; w < kChannelWeights; ++w) {
        for (int32_t v = 0; v < kChannelValues; ++v) table.entry[w][v] = v * w * 8;
    }
    return table;
}

inline constexpr ChannelProducts ChannelProductTable = MakeChannelProducts();

static_assert(ChannelProductTable.entry[32][31] == 7936);

}  // namespace gfx
