#pragma once

#include <cstdint>

#include "graphics/blit/mask_byte_blend.h"
#include "graphics/blit/scaled_walk.h"
#include "graphics/blit/stipple_pattern.h"
#include "graphics/core/blit_flags.h"
#include "graphics/core/channel_traits.h"
#include "graphics/core/pixel_traits.h"

namespace gfx {

// Per-pixel treatments of the nearest-neighbour scaled routines, run by ScaledWalk.

// Keyed copy: the source pixel is written unless BLIT_SRCKEY is set and it equals the source key,
// or BLIT_DESTKEY is set and the destination pixel differs from the destination key. The source
// key is tested once per source pixel, not once per destination pixel that shows it.
template <class P>
struct ScaledKeyedTreatment {
    static constexpr bool kReadsMask = false;

    bool useSrcKey;
    bool useDstKey;
    uint32_t srcKey;
    uint32_t dstKey;
    typename P::Value value = 0;
    bool drawable = false;

    ScaledKeyedTreatment(uint32_t flags, uint32_t sourceKey, uint32_t destKey)
        : useSrcKey((flags & BLIT_SRCKEY) != 0),
          useDstKey((flags & BLIT_DESTKEY) != 0),
          srcKey(sourceKey),
          dstKey(destKey) {}

    void BeginRow(int32_t) {}
    void Source(const uint8_t* s, const uint8_t*) {
        value = P::Load(s);
        drawable = !(useSrcKey && P::Equals(value, srcKey));
    }
    void Draw(int32_t, uint8_t* d) const {
        if (!drawable) return;
        if (useDstKey && !P::Equals(P::Load(d), dstKey)) return;
        P::Store(d, value);
    }
};

// Keyed copy restricted to the destination pixels the constant stipple pattern admits.
template <class P>
struct ScaledStippleTreatment : ScaledKeyedTreatment<P> {
    StipplePattern pattern;
    const bool* admitRow = nullptr;

    ScaledStippleTreatment(uint32_t flags, uint32_t sourceKey, uint32_t destKey, int32_t dx,
                           int32_t dy, uint32_t level)
        : ScaledKeyedTreatment<P>(flags, sourceKey, destKey), pattern(dx, dy, level) {}

    void BeginRow(int32_t i) { admitRow = pattern.admit[i & 7]; }
    void Draw(int32_t j, uint8_t* d) const {
        if (admitRow[j & 7]) ScaledKeyedTreatment<P>::Draw(j, d);
    }
};

// 16-bit mask blend: mask byte 0 leaves the destination, 255 copies the source pixel, any other
// byte blends through the product table. The weights and source products are prepared once per
// source pixel.
template <class C>
struct ScaledMaskAlpha16Treatment {
    static constexpr bool kReadsMask = true;

    uint32_t value = 0;
    uint8_t weight = 0;
    SourceProducts products{};
    const int32_t* destinationRow = nullptr;

    void BeginRow(int32_t) {}
    void Source(const uint8_t* s, const uint8_t* m) {
        value = Pixel16::Load(s);
        weight = *m;
        const MaskWeightRows rows(weight);
        products = SourceProductsOf<C>(value, rows.source);
        destinationRow = rows.destination;
    }
    void Draw(int32_t, uint8_t* d) const {
        if (weight == 0) return;
        if (weight == 255) {
            Pixel16::Store(d, static_cast<uint16_t>(value));
            return;
        }
        const uint32_t blended = BlendWithProducts<C>(products, Pixel16::Load(d), destinationRow);
        Pixel16::Store(d, static_cast<uint16_t>(blended));
    }
};

// 24-bit mask blend through the product table, at every pixel: a mask byte of 0 or 255 blends
// with the weights 0 and 31 (or 31 and 0) like any other.
struct ScaledMaskAlpha24TableTreatment {
    static constexpr bool kReadsMask = true;

    SourceProducts products{};
    const int32_t* destinationRow = nullptr;

    void BeginRow(int32_t) {}
    void Source(const uint8_t* s, const uint8_t* m) {
        const MaskWeightRows rows(*m);
        products = SourceProductsOf<Channels888>(Pixel24::Load(s), rows.source);
        destinationRow = rows.destination;
    }
    void Draw(int32_t, uint8_t* d) const {
        Pixel24::Store(d,
                       BlendWithProducts<Channels888>(products, Pixel24::Load(d), destinationRow));
    }
};

// 24-bit exact mask blend at every pixel: each byte becomes (s * m + d * (256 - m)) >> 8. The
// three products s * m are kept while the source pixel repeats.
struct ScaledMaskAlpha24ExactTreatment {
    static constexpr bool kReadsMask = true;

    uint32_t products[3] = {};
    uint32_t destinationWeight = 256;

    void BeginRow(int32_t) {}
    void Source(const uint8_t* s, const uint8_t* m) {
        const uint32_t weight = *m;
        for (int b = 0; b < 3; ++b) products[b] = s[b] * weight;
        destinationWeight = 256 - weight;
    }
    void Draw(int32_t, uint8_t* d) const {
        for (int b = 0; b < 3; ++b) {
            d[b] = static_cast<uint8_t>((products[b] + d[b] * destinationWeight) >> 8);
        }
    }
};

// The scaled routines: the walk with one treatment each.

template <class P>
int32_t ScaledKeyedScalar(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy, int32_t width,
                          int32_t height, const uint8_t* src, int32_t srcPitch, int32_t sx,
                          int32_t sy, int32_t sw, int32_t sh, uint32_t flags, uint32_t srcKey,
                          uint32_t dstKey) {
    const ScaledWalk walk{dst, dstPitch, dx, dy, width,   height, src,  srcPitch,
                          sx,  sy,       sw, sh, nullptr, 0,      flags};
    ScaledKeyedTreatment<P> treatment(flags, srcKey, dstKey);
    walk.Run<P>(treatment);
    return 0;
}

template <class P>
int32_t ScaledStippleScalar(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy, int32_t width,
                            int32_t height, const uint8_t* src, int32_t srcPitch, int32_t sx,
                            int32_t sy, int32_t sw, int32_t sh, uint32_t flags, uint32_t srcKey,
                            uint32_t dstKey, uint32_t level) {
    const ScaledWalk walk{dst, dstPitch, dx, dy, width,   height, src,  srcPitch,
                          sx,  sy,       sw, sh, nullptr, 0,      flags};
    ScaledStippleTreatment<P> treatment(flags, srcKey, dstKey, dx, dy, level);
    walk.Run<P>(treatment);
    return 0;
}

template <class C>
int32_t ScaledMaskAlpha16Scalar(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy,
                                int32_t width, int32_t height, const uint8_t* src, int32_t srcPitch,
                                int32_t sx, int32_t sy, int32_t sw, int32_t sh, const uint8_t* mask,
                                int32_t maskPitch, uint32_t flags) {
    const ScaledWalk walk{dst, dstPitch, dx, dy, width, height,    src,  srcPitch,
                          sx,  sy,       sw, sh, mask,  maskPitch, flags};
    ScaledMaskAlpha16Treatment<C> treatment;
    walk.Run<Pixel16>(treatment);
    return 0;
}

inline int32_t ScaledMaskAlpha24Scalar(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy,
                                       int32_t width, int32_t height, const uint8_t* src,
                                       int32_t srcPitch, int32_t sx, int32_t sy, int32_t sw,
                                       int32_t sh, const uint8_t* mask, int32_t maskPitch,
                                       uint32_t flags) {
    const ScaledWalk walk{dst, dstPitch, dx, dy, width, height,    src,  srcPitch,
                          sx,  sy,       sw, sh, mask,  maskPitch, flags};
    if (flags & BLIT_EXACT) {
        ScaledMaskAlpha24ExactTreatment treatment;
        walk.Run<Pixel24>(treatment);
    } else {
        ScaledMaskAlpha24TableTreatment treatment;
        walk.Run<Pixel24>(treatment);
    }
    return 0;
}

}  // namespace gfx
