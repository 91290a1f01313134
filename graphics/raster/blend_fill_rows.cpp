#include "graphics/raster/blend_fill_rows.h"

#include <cstddef>

#include "graphics/core/channel_product_table.h"
#include "graphics/core/channel_traits.h"
#include "graphics/core/little_endian.h"

namespace gfx {

namespace {

template <class Channels>
void BlendFillRows(uint8_t* base, int32_t pitch, const FillArea& area, uint32_t colour,
                   uint32_t weight) {
    if (area.width <= 0 || area.height <= 0) return;
    // Weights past 256 would index beyond the table.
    const uint32_t pixelShare = weight < 256 ? weight : 256;
    const auto& pixelRow = ChannelProductTable.entry[pixelShare >> 3];
    const auto& colourRow = ChannelProductTable.entry[(256 - pixelShare) >> 3];
    const ChannelValues c = Channels::Split(colour);
    const ChannelValues colourPart{{static_cast<uint32_t>(colourRow[c.c[0]]),
                                    static_cast<uint32_t>(colourRow[c.c[1]]),
                                    static_cast<uint32_t>(colourRow[c.c[2]])}};
    for (int32_t i = 0; i < area.height; ++i) {
        uint8_t* p = base + static_cast<ptrdiff_t>(area.y + i) * pitch +
                     static_cast<ptrdiff_t>(area.x) * 2;
        for (int32_t j = 0; j < area.width; ++j, p += 2) {
            const ChannelValues v = Channels::Split(LoadLE16(p));
            const ChannelValues sums{{colourPart.c[0] + pixelRow[v.c[0]],
                                      colourPart.c[1] + pixelRow[v.c[1]],
                                      colourPart.c[2] + pixelRow[v.c[2]]}};
            StoreLE16(p, Channels::Join(sums));
        }
    }
}

}  // namespace

void BlendFillRows555(uint8_t* base, int32_t pitch, const FillArea& area, uint32_t colour,
                      uint32_t weight) {
    BlendFillRows<Channels555>(base, pitch, area, colour, weight);
}

void BlendFillRows565(uint8_t* base, int32_t pitch, const FillArea& area, uint32_t colour,
                      uint32_t weight) {
    BlendFillRows<Channels565>(base, pitch, area, colour, weight);
}

}  // namespace gfx
