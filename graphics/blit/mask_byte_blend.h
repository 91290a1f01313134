#pragma once

#include <cstdint>

#include "graphics/core/channel_product_table.h"
#include "graphics/core/channel_traits.h"

namespace gfx {

// The two ChannelProductTable rows of a mask byte m: the source weighs m >> 3 and the
// destination (255 - m) >> 3 out of 32, so the weights always sum to 31.
struct MaskWeightRows {
    const int32_t* source;
    const int32_t* destination;

    explicit MaskWeightRows(uint8_t m)
        : source(ChannelProductTable.entry[m >> 3]),
          destination(ChannelProductTable.entry[(255 - m) >> 3]) {}
};

// The source side of a table blend for one source pixel: the product entries of its three
// channels, which stay the same while the pixel and its weight repeat.
struct SourceProducts {
    int32_t c[3];
};

template <class C>
inline SourceProducts SourceProductsOf(uint32_t s, const int32_t* sourceRow) {
    const ChannelValues v = C::Split(s);
    return {{sourceRow[v.c[0]], sourceRow[v.c[1]], sourceRow[v.c[2]]}};
}

// A table blend of the destination pixel d with prepared source products: per channel the sum of
// the two entries, reassembled by the layout (5-bit channels for 16-bit layouts, bytes of at most
// 248 for 8-8-8; the bits outside the channels are 0).
template <class C>
inline uint32_t BlendWithProducts(const SourceProducts& source, uint32_t d,
                                  const int32_t* destinationRow) {
    const ChannelValues v = C::Split(d);
    const ChannelValues sums{{static_cast<uint32_t>(source.c[0] + destinationRow[v.c[0]]),
                              static_cast<uint32_t>(source.c[1] + destinationRow[v.c[1]]),
                              static_cast<uint32_t>(source.c[2] + destinationRow[v.c[2]])}};
    return C::Join(sums);
}

// The table blend of source pixel s over destination pixel d weighted by a mask byte.
template <class C>
inline uint32_t BlendByMaskByte(uint32_t s, uint32_t d, uint8_t m) {
    const MaskWeightRows rows(m);
    return BlendWithProducts<C>(SourceProductsOf<C>(s, rows.source), d, rows.destination);
}

}  // namespace gfx
