#include "graphics/core/channel_traits.h"

#include <gtest/gtest.h>

#include "graphics/core/channel_product_table.h"

namespace gfx {
namespace {

// A blend of two pixels by the table, as the blending routines form it: per channel the entries
// of the source weight and the destination weight.
template <class C>
uint32_t Blend(uint32_t s, uint32_t d, uint32_t ws, uint32_t wd) {
    const ChannelValues sc = C::Split(s);
    const ChannelValues dc = C::Split(d);
    ChannelValues sums{};
    for (int k = 0; k < 3; ++k) {
        sums.c[k] = static_cast<uint32_t>(ChannelProductTable.entry[ws][sc.c[k]] +
                                          ChannelProductTable.entry[wd][dc.c[k]]);
    }
    return C::Join(sums);
}

TEST(ChannelProductTable, EntriesAreValueTimesWeightTimesEight) {
    EXPECT_EQ(ChannelProductTable.entry[0][31], 0);
    EXPECT_EQ(ChannelProductTable.entry[12][5], 480);
    EXPECT_EQ(ChannelProductTable.entry[32][31], 7936);
}

TEST(ChannelTraits, BlendsOfEachLayoutKeepTheirChannelsApart) {
    // Level 128: weights 16 and 16. Each 5-bit channel of white over black becomes 15.
    EXPECT_EQ(Blend<Channels555>(0x7FFF, 0x0000, 16, 16), 0x3DEFu);
    // Level 100: weights 12 and 19 sum to 31, so a colour blended with itself darkens.
    EXPECT_EQ(Blend<Channels555>(0x7FFF, 0x7FFF, 12, 19), 0x7BDEu);
    // 5-6-5 blends the top five bits of green; the lowest green bit comes out 0, bit 15 of 5-5-5
    // carries nothing.
    EXPECT_EQ(Blend<Channels565>(0xFFFF, 0xFFFF, 32, 0), 0xFFDFu);
    EXPECT_EQ(Blend<Channels555>(0xFFFF, 0xFFFF, 32, 0), 0x7FFFu);
    // 8-8-8: each byte takes part as its top five bits, so a full source byte gives 0xF8, and the
    // top byte of a 32-bit pixel joins as 0.
    EXPECT_EQ(Blend<Channels888>(0xFFFFFFFF, 0, 32, 0), 0x00F8F8F8u);
    EXPECT_EQ(Blend<Channels888>(0x00102030, 0x00000000, 32, 0), 0x00102030u & 0x00F8F8F8u);
}

}  // namespace
}  // namespace gfx
