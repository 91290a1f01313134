#include "graphics/blit/blit_keyed_sse2.h"

#if defined(__SSE2__)

#include "graphics/blit/blit_keyed.h"
#include "graphics/blit/triplets_sse2.h"
#include "graphics/blit/unscaled_walk_sse2.h"

namespace gfx {

namespace {

template <class L>
int32_t KeyedSse2(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy, int32_t width,
                  int32_t height, const uint8_t* src, int32_t srcPitch, int32_t sx, int32_t sy,
                  uint32_t flags, uint32_t srcKey, uint32_t dstKey) {
    using P = typename L::Pixel;
    if (sse2::SpansOverlap(dst, dstPitch, dx, dy, src, srcPitch, sx, sy, width, height,
                           P::kBytes)) {
        return KeyedScalar<P>(dst, dstPitch, dx, dy, width, height, src, srcPitch, sx, sy, flags,
                              srcKey, dstKey);
    }
    sse2::UnscaledRows rows{dst, dstPitch, dx, dy, width, height, src, srcPitch, sx, sy, flags};
    rows.srcKey = srcKey;
    rows.dstKey = dstKey;
    sse2::Walk<L, sse2::Admission::All>(rows);
    return 0;
}

// 24-bit keys, sixteen pixels at a time; the last 0-15 pixels of a row take the scalar rule.
template <bool kSrcKey, bool kDstKey>
void Keyed24Rows(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy, int32_t width,
                 int32_t height, const uint8_t* src, int32_t srcPitch, int32_t sx, int32_t sy,
                 bool mirrorY, uint32_t srcKey, uint32_t dstKey) {
    const sse2::TripletConstants srcConstants(srcKey);
    const sse2::TripletConstants dstConstants(dstKey);
    for (int32_t i = 0; i < height; ++i) {
        uint8_t* d = PixelAt<Pixel24>(dst, dstPitch, dx, dy + i);
        const uint8_t* s =
            PixelAt<Pixel24>(src, srcPitch, sx, mirrorY ? sy + height - 1 - i : sy + i);
        int32_t j = 0;
        for (; j + 16 <= width; j += 16, s += 48, d += 48) {
            sse2::Triplets v, old;
            for (int k = 0; k < 3; ++k) {
                v.r[k] = sse2::Load(s + 16 * k);
                old.r[k] = sse2::Load(d + 16 * k);
            }
            sse2::Triplets keep;
            if constexpr (kSrcKey) keep = sse2::EqualPixels(v, srcConstants);
            if constexpr (kDstKey) {
                const sse2::Triplets target = sse2::EqualPixels(old, dstConstants);
                for (int k = 0; k < 3; ++k) {
                    keep.r[k] =
                        kSrcKey
                            ? _mm_or_si128(keep.r[k], _mm_xor_si128(target.r[k], _mm_set1_epi8(-1)))
                            : _mm_xor_si128(target.r[k], _mm_set1_epi8(-1));
                }
            }
            for (int k = 0; k < 3; ++k) {
                sse2::Store(d + 16 * k, _mm_or_si128(_mm_andnot_si128(keep.r[k], v.r[k]),
                                                     _mm_and_si128(keep.r[k], old.r[k])));
            }
        }
        for (; j < width; ++j, s += 3, d += 3) {
            const uint32_t value = Pixel24::Load(s);
            if (kSrcKey && Pixel24::Equals(value, srcKey)) continue;
            if (kDstKey && !Pixel24::Equals(Pixel24::Load(d), dstKey)) continue;
            Pixel24::Store(d, value);
        }
    }
}

}  // namespace

int32_t Blt8KeyedSse2(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy, int32_t width,
                      int32_t height, const uint8_t* src, int32_t srcPitch, int32_t sx, int32_t sy,
                      uint32_t flags, uint32_t srcKey, uint32_t dstKey) {
    return KeyedSse2<sse2::Lanes8>(dst, dstPitch, dx, dy, width, height, src, srcPitch, sx, sy,
                                   flags, srcKey, dstKey);
}

int32_t Blt16KeyedSse2(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy, int32_t width,
                       int32_t height, const uint8_t* src, int32_t srcPitch, int32_t sx, int32_t sy,
                       uint32_t flags, uint32_t srcKey, uint32_t dstKey) {
    return KeyedSse2<sse2::Lanes16>(dst, dstPitch, dx, dy, width, height, src, srcPitch, sx, sy,
                                    flags, srcKey, dstKey);
}

int32_t Blt24KeyedSse2(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy, int32_t width,
                       int32_t height, const uint8_t* src, int32_t srcPitch, int32_t sx, int32_t sy,
                       uint32_t flags, uint32_t srcKey, uint32_t dstKey) {
    if ((flags & BLIT_MIRROR_X) != 0 || sse2::SpansOverlap(dst, dstPitch, dx, dy, src, srcPitch, sx,
                                                           sy, width, height, Pixel24::kBytes)) {
        return Blt24KeyedScalar(dst, dstPitch, dx, dy, width, height, src, srcPitch, sx, sy, flags,
                                srcKey, dstKey);
    }
    const bool mirrorY = (flags & BLIT_MIRROR_Y) != 0;
    const bool useSrcKey = (flags & BLIT_SRCKEY) != 0;
    const bool useDstKey = (flags & BLIT_DESTKEY) != 0;
    if (useSrcKey || useDstKey) {
        auto rows = useSrcKey ? (useDstKey ? Keyed24Rows<true, true> : Keyed24Rows<true, false>)
                              : Keyed24Rows<false, true>;
        rows(dst, dstPitch, dx, dy, width, height, src, srcPitch, sx, sy, mirrorY, srcKey, dstKey);
        return 0;
    }
    const size_t rowBytes = static_cast<size_t>(width) * Pixel24::kBytes;
    for (int32_t i = 0; i < height; ++i) {
        sse2::CopyBytes(PixelAt<Pixel24>(dst, dstPitch, dx, dy + i),
                        PixelAt<Pixel24>(src, srcPitch, sx, mirrorY ? sy + height - 1 - i : sy + i),
                        rowBytes);
    }
    return 0;
}

int32_t Blt32KeyedSse2(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy, int32_t width,
                       int32_t height, const uint8_t* src, int32_t srcPitch, int32_t sx, int32_t sy,
                       uint32_t flags, uint32_t srcKey, uint32_t dstKey) {
    return KeyedSse2<sse2::Lanes32>(dst, dstPitch, dx, dy, width, height, src, srcPitch, sx, sy,
                                    flags, srcKey, dstKey);
}

}  // namespace gfx

#endif  // __SSE2__
