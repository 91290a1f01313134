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

namespace gfx {

// The channel re-pack between two direct layouts as at most three mask-and-shift steps: each
// channel's 8-bit round trip ((v & mask) >> position << scaleShift, then >> targetScaleShift
// << targetPosition) keeps the source bits that survive the truncation and moves them by one net
// shift. Channels that move by the same amount share a step. Gives the direct re-pack's value
// for every pixel; the fast bodies apply it to several pixels at once.
struct RepackPlan {
    struct Step {
        uint32_t keep = 0;   // the source bits this step moves
        uint32_t left = 0;   // shift left by this, then right by `right` (one of them is 0)
        uint32_t right = 0;
    };
    Step steps[3];
    int count = 0;

    uint32_t Apply(uint32_t v) const {
        uint32_t out = 0;
        for (int k = 0; k < count; ++k) out |= ((v & steps[k].keep) << steps[k].left) >> steps[k].right;
        return out;
    }
};

constexpr RepackPlan MakeRepackPlan(const ChannelLayout& from, const ChannelLayout& to) {
    RepackPlan plan;
    for (int c = 0; c < 3; ++c) {
        const ChannelPlace& s = from.channel[c];
        const ChannelPlace& t = to.channel[c];
        if (s.mask == 0 || t.scaleShift >= 8) continue;  // nothing to carry, or nowhere to put it
        // Source bits below `drop` fall off when the target channel is narrower.
        const uint32_t drop = t.scaleShift > s.scaleShift ? t.scaleShift - s.scaleShift : 0;
        const uint32_t keep = s.mask & ~((1u << (s.position + drop)) - 1u);
        const int32_t net = static_cast<int32_t>(t.position + s.scaleShift) -
                            static_cast<int32_t>(s.position + t.scaleShift);
        const uint32_t left = net > 0 ? static_cast<uint32_t>(net) : 0;
        const uint32_t right = net < 0 ? static_cast<uint32_t>(-net) : 0;
        int k = 0;
        while (k < plan.count && (plan.steps[k].left != left || plan.steps[k].right != right)) ++k;
        if (k == plan.count) plan.steps[plan.count++] = RepackPlan::Step{0, left, right};
        plan.steps[k].keep |= keep;
    }
    return plan;
}

// The target pixel value of each of the 256 colours of an indexed source, as the palette lookup
// and pack stores it.
inline void MakePackTable(const PaletteEntry* entries, const ChannelLayout& to, uint32_t (&table)[256]) {
    const ChannelPlace* ch = to.channel;
    for (int i = 0; i < 256; ++i) {
        table[i] = ch[2].Write(entries[i].red) | ch[1].Write(entries[i].green) |
                   ch[0].Write(entries[i].blue);
    }
}

}  // namespace gfx
