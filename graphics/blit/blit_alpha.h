#pragma once

#include <cstdint>

#include "graphics/blit/mask_byte_blend.h"
#include "graphics/blit/unscaled_walk.h"
#include "graphics/core/channel_product_table.h"
#include "graphics/core/blit_flags.h"
#include "graphics/core/pixel_traits.h"

namespace gfx {

// The two rows of ChannelProductTable that a constant blend reads: the source's weight and the
// destination's, each out of 32.
struct LevelWeightRows {
    const int32_t* source;
    const int32_t* destination;
};

// The highest constant level: the source alone.
inline constexpr uint32_t kFullLevel = 256;

// Weight rows of a constant blend at `level` out of 256: the source weighs level >> 3 and the
// destination (256 - level) >> 3. A level above 256 (or a negative one, which arrives here as a
// large unsigned value) is taken as 256, as the stipple routines take it, so that no level reads
// outside the table.
inline LevelWeightRows LevelWeights(uint32_t level) {
    const uint32_t l = level > kFullLevel ? kFullLevel : level;
    return {ChannelProductTable.entry[l >> 3], ChannelProductTable.entry[(kFullLevel - l) >> 3]};
}

// One row of a constant blend: `count` destination pixels from `d` on, mixed with the source
// pixels from `s` on, stepping `sStep` bytes (negative when mirrored). A pixel is left alone
// where BLIT_SRCKEY is set and its source equals the source key, or where BLIT_DESTKEY is set and
// the destination differs from the destination key. A fast body hands the pixels it leaves over
// to this.
template <class P, class C>
inline void AlphaRowScalar(uint8_t* d, const uint8_t* s, int32_t sStep, int32_t count,
                           bool useSrcKey, uint32_t srcKey, bool useDstKey, uint32_t dstKey,
                           LevelWeightRows weights) {
    for (int32_t j = 0; j < count; ++j, d += P::kBytes, s += sStep) {
        const typename P::Value sv = P::Load(s);
        if (useSrcKey && P::Equals(sv, srcKey)) continue;
        const typename P::Value dv = P::Load(d);
        if (useDstKey && !P::Equals(dv, dstKey)) continue;
        const uint32_t mixed =
            BlendWithProducts<C>(SourceProductsOf<C>(sv, weights.source), dv, weights.destination);
        P::Store(d, static_cast<typename P::Value>(mixed));
    }
}

// Constant-alpha blend of the routines Blt16Alpha555, Blt16Alpha565, Blt24Alpha and Blt32Alpha:
// the source weighs level / 256 through the channel product table, with colour keys and
// mirroring as in the keyed copy.
template <class P, class C>
int32_t AlphaScalar(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy, int32_t width,
                    int32_t height, const uint8_t* src, int32_t srcPitch, int32_t sx, int32_t sy,
                    uint32_t flags, uint32_t srcKey, uint32_t dstKey, uint32_t level) {
    const UnscaledWalk walk{
        height, width, sy, sx, (flags & BLIT_MIRROR_X) != 0, (flags & BLIT_MIRROR_Y) != 0};
    const LevelWeightRows weights = LevelWeights(level);
    const int32_t sStep = walk.mirrorX ? -P::kBytes : P::kBytes;
    for (int32_t i = 0; i < height; ++i) {
        AlphaRowScalar<P, C>(PixelAt<P>(dst, dstPitch, dx, dy + i),
                             PixelAt<P>(src, srcPitch, walk.SourceColumn(0), walk.SourceRow(i)),
                             sStep, width, (flags & BLIT_SRCKEY) != 0, srcKey,
                             (flags & BLIT_DESTKEY) != 0, dstKey, weights);
    }
    return 0;
}

}  // namespace gfx
