#pragma once

// The pixel ends of the conversion routines: a source gives each pixel's colour as 8-bit red,
// green and blue; a target stores a wanted colour and tells which colour it really stored, for
// the error diffusion. Indexed pixels are one byte each.

#include <cstdint>

#include "graphics/core/channel_layout.h"
#include "graphics/core/palette_entry.h"
#include "graphics/core/pixel_traits.h"
#include "graphics/raster/error_diffusion.h"
#include "graphics/raster/nearest_color.h"

namespace gfx {

using Rgb = ErrorDiffusion::Rgb;

// An indexed source: the colour of palette entry `byte` (the table holds 256 entries).
struct IndexedSource {
    static constexpr int kBytes = 1;
    const PaletteEntry* entries;

    Rgb Read(const uint8_t* p) const {
        const PaletteEntry& e = entries[*p];
        return Rgb{{e.red, e.green, e.blue}};
    }
};

// A direct source: channels 2, 1, 0 as red, green, blue, left-aligned to 8 bits.
template <class P>
struct DirectSource {
    static constexpr int kBytes = P::kBytes;
    const ChannelLayout* layout;

    Rgb Read(const uint8_t* p) const {
        const uint32_t v = P::Load(p);
        return Rgb{{static_cast<int32_t>(layout->channel[2].Read(v)),
                    static_cast<int32_t>(layout->channel[1].Read(v)),
                    static_cast<int32_t>(layout->channel[0].Read(v))}};
    }
};

// An indexed target: the nearest usable palette entry.
struct IndexedTarget {
    static constexpr int kBytes = 1;
    const NearestColor* nearest;

    Rgb Write(uint8_t* p, const Rgb& wanted) const {
        const uint8_t index = nearest->Find(static_cast<uint32_t>(wanted.c[0]),
                                            static_cast<uint32_t>(wanted.c[1]),
                                            static_cast<uint32_t>(wanted.c[2]));
        *p = index;
        const PaletteEntry& e = nearest->Entry(index);
        return Rgb{{e.red, e.green, e.blue}};
    }
};

// A direct target: red into channel 2, green into 1, blue into 0, by truncation; channel 3 is 0.
template <class P>
struct DirectTarget {
    static constexpr int kBytes = P::kBytes;
    const ChannelLayout* layout;

    Rgb Write(uint8_t* p, const Rgb& wanted) const {
        const ChannelPlace* ch = layout->channel;
        const uint32_t r = static_cast<uint32_t>(wanted.c[0]);
        const uint32_t g = static_cast<uint32_t>(wanted.c[1]);
        const uint32_t b = static_cast<uint32_t>(wanted.c[2]);
        P::Store(p, static_cast<typename P::Value>(ch[2].Write(r) | ch[1].Write(g) |
                                                   ch[0].Write(b)));
        return Rgb{{static_cast<int32_t>(ch[2].Truncate(r)), static_cast<int32_t>(ch[1].Truncate(g)),
                    static_cast<int32_t>(ch[0].Truncate(b))}};
    }
};

}  // namespace gfx
