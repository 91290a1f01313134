#pragma once

// The SSE2 bodies of the nearest-neighbour scaled routines, identical in result to the scalar
// bodies of blit_scaled.h. The source columns of a row are computed once per blit; each source
// row the walk reaches is gathered once, pixel by pixel (SSE2 has no gather), into a row buffer,
// and the key test, stipple or blend then runs over the destination row 16 bytes at a time. Rows
// that enlarging repeats reuse the gathered row; a plain copy gathers straight into the
// destination and copies a repeated row from the row above.
#if defined(__SSE2__)

#include <emmintrin.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>

#include "graphics/blit/blit_scaled.h"
#include "graphics/blit/scaled_column_table.h"
#include "graphics/blit/sse2_lanes.h"
#include "graphics/blit/stipple_pattern.h"
#include "graphics/blit/triplets_sse2.h"
#include "graphics/blit/unscaled_walk_sse2.h"
#include "graphics/core/blit_flags.h"
#include "graphics/core/channel_traits.h"
#include "graphics/core/pixel_traits.h"

namespace gfx::sse2 {

// The arguments every scaled routine takes, the mask's only where it reads one.
struct ScaledRect {
    uint8_t* dst;
    int32_t dstPitch;
    int32_t dx, dy, width, height;
    const uint8_t* src;
    int32_t srcPitch;
    int32_t sx, sy, sw, sh;
    const uint8_t* mask = nullptr;
    int32_t maskPitch = 0;
    uint32_t flags = 0;

    // Source sides of 0 read their first pixel, as in ScaledWalk.
    int32_t SourceWidth() const { return std::max(sw, 1); }
    int32_t SourceHeight() const { return std::max(sh, 1); }

    // Whether the destination rectangle shares memory with the source rectangle or the mask. The
    // gathered rows are read ahead of the scalar order, so such blits (a surface onto itself) take
    // the scalar walk.
    bool Overlaps(int bytesPerPixel) const {
        const ByteRange target(dst, dstPitch, dx, dy, width, height, bytesPerPixel);
        if (target.Overlaps(
                ByteRange(src, srcPitch, sx, sy, SourceWidth(), SourceHeight(), bytesPerPixel))) {
            return true;
        }
        return mask != nullptr && target.Overlaps(ByteRange(mask, maskPitch, sx, sy, SourceWidth(),
                                                            SourceHeight(), 1));
    }
};

// Working memory of one blit: the column table, the gathered source row and the gathered mask
// row (mask bytes per pixel: 0, 1, or 3 for a mask repeated over a 24-bit pixel's bytes). Each
// row buffer has a 48-byte margin, so a row's last, partial block is read inside it. Narrow blits
// use the stack; a wide one whose heap block is refused is not drawn by this body (Ok() false).
class ScaledScratch {
  public:
    ScaledScratch(int32_t width, int bytesPerPixel, int maskBytesPerPixel) {
        const size_t w = static_cast<size_t>(width);
        const size_t columnBytes = Round16(w * sizeof(int32_t));
        const size_t pixelBytes = Round16(w * bytesPerPixel) + kMargin;
        const size_t maskBytes = Round16(w * maskBytesPerPixel) + kMargin;
        const size_t total = columnBytes + pixelBytes + maskBytes;
        uint8_t* base = local_;
        if (total > sizeof local_) {
            heap_.reset(new (std::nothrow) uint8_t[total + 15]);
            if (!heap_) return;
            base = heap_.get() + ((16 - (reinterpret_cast<uintptr_t>(heap_.get()) & 15)) & 15);
        }
        std::memset(base + columnBytes, 0, pixelBytes + maskBytes);
        columns = reinterpret_cast<int32_t*>(base);
        pixels = base + columnBytes;
        maskRow = pixels + pixelBytes;
    }
    ScaledScratch(const ScaledScratch&) = delete;
    ScaledScratch& operator=(const ScaledScratch&) = delete;

    bool Ok() const { return columns != nullptr; }

    // The column table of a row `width` pixels wide from `sw` source pixels. A row that takes
    // every other source column from the first (halving) or every column twice (doubling) is
    // gathered with shuffles instead.
    void FillColumns(int32_t width, int32_t sw, bool mirrorX) {
        FillScaledColumns(columns, width, sw, mirrorX);
        everyOther = !mirrorX;
        everyTwice = !mirrorX;
        for (int32_t j = 0; j < width; ++j) {
            everyOther &= columns[j] == 2 * j;
            everyTwice &= columns[j] == j / 2;
        }
    }

    int32_t* columns = nullptr;
    bool everyOther = false;
    bool everyTwice = false;
    uint8_t* pixels = nullptr;
    uint8_t* maskRow = nullptr;

  private:
    static constexpr size_t kMargin = 48;
    static size_t Round16(size_t n) { return (n + 15) & ~size_t{15}; }

    alignas(16) uint8_t local_[16384];
    std::unique_ptr<uint8_t[]> heap_;
};

// Runs row(i, d, s, m, fresh) for each destination row i: d is the row's first pixel, s and m the
// first source pixel and mask byte (the far end of a mirrored row) of the source row it shows, m
// null without a mask, and fresh whether that source row differs from the previous row's. The
// rows step as in ScaledWalk.
template <class P, class RowFn>
void ForEachScaledRow(const ScaledRect& r, RowFn&& row) {
    const bool mirrorX = (r.flags & BLIT_MIRROR_X) != 0;
    const bool mirrorY = (r.flags & BLIT_MIRROR_Y) != 0;
    const uint32_t sourceHeight = static_cast<uint32_t>(r.SourceHeight());
    const uint32_t destHeight = static_cast<uint32_t>(r.height);
    const int32_t c0 = mirrorX ? r.sx + r.SourceWidth() - 1 : r.sx;
    const int32_t r0 = mirrorY ? r.sy + r.SourceHeight() - 1 : r.sy;
    const ptrdiff_t rowStep = mirrorY ? -ptrdiff_t{r.srcPitch} : ptrdiff_t{r.srcPitch};
    const ptrdiff_t maskRowStep = mirrorY ? -ptrdiff_t{r.maskPitch} : ptrdiff_t{r.maskPitch};
    const uint8_t* s = PixelAt<P>(r.src, r.srcPitch, c0, r0);
    const uint8_t* m = r.mask ? PixelAt<Pixel8>(r.mask, r.maskPitch, c0, r0) : nullptr;
    uint32_t error = 0;
    for (int32_t i = 0; i < r.height; ++i) {
        bool fresh = i == 0;
        if (i > 0) {
            error += sourceHeight;
            while (error >= destHeight) {
                error -= destHeight;
                s += rowStep;
                if (m) m += maskRowStep;
                fresh = true;
            }
        }
        row(i, PixelAt<P>(r.dst, r.dstPitch, r.dx, r.dy + i), s, m, fresh);
    }
}

// Gathers the source pixels of one destination row to `out`, by the column table.
template <class P>
inline void GatherRow(uint8_t* out, const uint8_t* s, const int32_t* columns, int32_t width) {
    for (int32_t j = 0; j < width; ++j) {
        P::Store(out + j * P::kBytes, P::Load(s + ptrdiff_t{columns[j]} * P::kBytes));
    }
}

// 8, 16 and 32-bit rows are put together a register at a time from single loads, so that a
// row costs one store per 16 bytes.
template <>
inline void GatherRow<Pixel8>(uint8_t* out, const uint8_t* s, const int32_t* columns,
                              int32_t width) {
    const auto pair = [&](int32_t j) {
        return static_cast<int>(s[columns[j]] | (s[columns[j + 1]] << 8));
    };
    int32_t j = 0;
    for (; j + 16 <= width; j += 16) {
        __m128i v = _mm_cvtsi32_si128(pair(j));
        v = _mm_insert_epi16(v, pair(j + 2), 1);
        v = _mm_insert_epi16(v, pair(j + 4), 2);
        v = _mm_insert_epi16(v, pair(j + 6), 3);
        v = _mm_insert_epi16(v, pair(j + 8), 4);
        v = _mm_insert_epi16(v, pair(j + 10), 5);
        v = _mm_insert_epi16(v, pair(j + 12), 6);
        v = _mm_insert_epi16(v, pair(j + 14), 7);
        Store(out + j, v);
    }
    for (; j < width; ++j) out[j] = s[columns[j]];
}

template <>
inline void GatherRow<Pixel16>(uint8_t* out, const uint8_t* s, const int32_t* columns,
                               int32_t width) {
    const auto at = [&](int32_t j) {
        return static_cast<int>(LoadLE16(s + ptrdiff_t{columns[j]} * 2));
    };
    int32_t j = 0;
    for (; j + 8 <= width; j += 8) {
        __m128i v = _mm_cvtsi32_si128(at(j));
        v = _mm_insert_epi16(v, at(j + 1), 1);
        v = _mm_insert_epi16(v, at(j + 2), 2);
        v = _mm_insert_epi16(v, at(j + 3), 3);
        v = _mm_insert_epi16(v, at(j + 4), 4);
        v = _mm_insert_epi16(v, at(j + 5), 5);
        v = _mm_insert_epi16(v, at(j + 6), 6);
        v = _mm_insert_epi16(v, at(j + 7), 7);
        Store(out + j * 2, v);
    }
    for (; j < width; ++j) StoreLE16(out + j * 2, LoadLE16(s + ptrdiff_t{columns[j]} * 2));
}

template <>
inline void GatherRow<Pixel32>(uint8_t* out, const uint8_t* s, const int32_t* columns,
                               int32_t width) {
    const auto at = [&](int32_t j) {
        return _mm_cvtsi32_si128(static_cast<int>(LoadLE32(s + ptrdiff_t{columns[j]} * 4)));
    };
    int32_t j = 0;
    for (; j + 4 <= width; j += 4) {
        const __m128i lo = _mm_unpacklo_epi32(at(j), at(j + 1));
        const __m128i hi = _mm_unpacklo_epi32(at(j + 2), at(j + 3));
        Store(out + j * 4, _mm_unpacklo_epi64(lo, hi));
    }
    for (; j < width; ++j) StoreLE32(out + j * 4, LoadLE32(s + ptrdiff_t{columns[j]} * 4));
}

// 24-bit pixels are written as 32-bit words, each overlapping the next pixel, which then
// overwrites the spare byte; the last pixel is written as three bytes. A pixel is read as a
// 32-bit word too, which takes the first byte of its right-hand neighbour, inside the source
// rectangle for every column but the rightmost read: the pixels of that column (the row's end,
// or with mirroring its start) are read as three bytes.
template <>
inline void GatherRow<Pixel24>(uint8_t* out, const uint8_t* s, const int32_t* columns,
                               int32_t width) {
    const auto narrow = [&](int32_t j) { return LoadLE24(s + ptrdiff_t{columns[j]} * 3); };
    const auto wide = [&](int32_t j) {
        uint32_t v;
        std::memcpy(&v, s + ptrdiff_t{columns[j]} * 3, 4);
        return v;
    };
    const auto put = [&](int32_t j, uint32_t v) { std::memcpy(out + j * 3, &v, 4); };
    const int32_t last = width - 1;
    const int32_t rightmost = std::max(columns[0], columns[last]);
    int32_t begin = 0;
    int32_t end = last;
    while (begin < end && columns[begin] == rightmost) ++begin;
    while (end > begin && columns[end - 1] == rightmost) --end;
    int32_t j = 0;
    for (; j < begin; ++j) put(j, narrow(j));
    for (; j < end; ++j) put(j, wide(j));
    for (; j < last; ++j) put(j, narrow(j));
    StoreLE24(out + last * 3, narrow(last));
}

// Every other source pixel from `s` on, `width` of them, two registers of source making one of
// the row; the loads stop before the last pixel, 2 * (width - 1), which the tail takes with the
// rest. 24-bit rows keep the table.
template <class P>
inline int32_t HalveBlocks(uint8_t* out, const uint8_t* s, int32_t width) {
    static_assert(P::kBytes != 3);
    constexpr int32_t kLanes = 16 / P::kBytes;
    int32_t j = 0;
    for (; j + kLanes < width; j += kLanes) {
        const __m128i a = Load(s + 2 * j * P::kBytes);
        const __m128i b = Load(s + 2 * j * P::kBytes + 16);
        __m128i even;
        if constexpr (P::kBytes == 4) {
            even = _mm_castps_si128(
                _mm_shuffle_ps(_mm_castsi128_ps(a), _mm_castsi128_ps(b), _MM_SHUFFLE(2, 0, 2, 0)));
        } else if constexpr (P::kBytes == 2) {
            // Even words sign-extended to 32 bits pack back exactly.
            even = _mm_packs_epi32(_mm_srai_epi32(_mm_slli_epi32(a, 16), 16),
                                   _mm_srai_epi32(_mm_slli_epi32(b, 16), 16));
        } else {
            const __m128i low = _mm_set1_epi16(0x00FF);
            even = _mm_packus_epi16(_mm_and_si128(a, low), _mm_and_si128(b, low));
        }
        Store(out + j * P::kBytes, even);
    }
    return j;
}

// Each source pixel from `s` on twice, `width` pixels in all, one register of source making two
// of the row; the loads stop at the last pixel, (width - 1) / 2. 24-bit rows keep the table.
template <class P>
inline int32_t DoubleBlocks(uint8_t* out, const uint8_t* s, int32_t width) {
    static_assert(P::kBytes != 3);
    constexpr int32_t kLanes = 16 / P::kBytes;
    int32_t j = 0;
    for (; j + 2 * kLanes <= width; j += 2 * kLanes) {
        const __m128i v = Load(s + (j / 2) * P::kBytes);
        __m128i low, high;
        if constexpr (P::kBytes == 4) {
            low = _mm_unpacklo_epi32(v, v), high = _mm_unpackhi_epi32(v, v);
        } else if constexpr (P::kBytes == 2) {
            low = _mm_unpacklo_epi16(v, v), high = _mm_unpackhi_epi16(v, v);
        } else {
            low = _mm_unpacklo_epi8(v, v), high = _mm_unpackhi_epi8(v, v);
        }
        Store(out + j * P::kBytes, low);
        Store(out + j * P::kBytes + 16, high);
    }
    return j;
}

// A 24-bit row that takes each source pixel twice: a pair of pixels is one 8-byte store, whose
// last two bytes the next pair overwrites, from a 4-byte load that takes the first byte of the
// next source pixel; the last pairs, whose stores would pass the row's end, take three bytes.
inline void DoubleTriplets(uint8_t* out, const uint8_t* s, int32_t width) {
    const int32_t pairs = width / 2;
    int32_t i = 0;
    for (; i + 1 < pairs && 6 * i + 8 <= 3 * width; ++i) {
        uint32_t v;
        std::memcpy(&v, s + 3 * i, 4);
        v &= 0xFFFFFFu;
        const uint64_t two = v | (uint64_t{v} << 24);
        std::memcpy(out + 6 * i, &two, 8);
    }
    for (int32_t j = 2 * i; j < width; ++j) StoreLE24(out + 3 * j, LoadLE24(s + 3 * (j / 2)));
}

// A 24-bit row that takes every other source pixel: 4-byte words, each spare byte overwritten by
// the next pixel, the last pixel three bytes.
inline void HalveTriplets(uint8_t* out, const uint8_t* s, int32_t width) {
    int32_t j = 0;
    for (; j + 1 < width; ++j) {
        uint32_t v;
        std::memcpy(&v, s + 6 * j, 4);
        std::memcpy(out + 3 * j, &v, 4);
    }
    StoreLE24(out + 3 * j, LoadLE24(s + 6 * j));
}

// Gathers the source pixels of one destination row to `out`: by shuffles where the row halves
// or doubles the source (by words at 24 bits), else by the column table.
template <class P>
inline void GatherSourceRow(uint8_t* out, const uint8_t* s, const ScaledScratch& scratch,
                            int32_t width) {
    if constexpr (P::kBytes == 3) {
        if (scratch.everyOther) return HalveTriplets(out, s, width);
        if (scratch.everyTwice) return DoubleTriplets(out, s, width);
    } else {
        if (scratch.everyOther) {
            for (int32_t j = HalveBlocks<P>(out, s, width); j < width; ++j) {
                P::Store(out + j * P::kBytes, P::Load(s + ptrdiff_t{2 * j} * P::kBytes));
            }
            return;
        }
        if (scratch.everyTwice) {
            for (int32_t j = DoubleBlocks<P>(out, s, width); j < width; ++j) {
                P::Store(out + j * P::kBytes, P::Load(s + ptrdiff_t{j / 2} * P::kBytes));
            }
            return;
        }
    }
    GatherRow<P>(out, s, scratch.columns, width);
}

// Gathers the mask bytes of one destination row, each repeated kRepeat times (1 or 3): single
// bytes as 8-bit pixels are gathered, shuffled where the row halves or doubles; three of each as
// a 32-bit word whose spare byte the next pixel overwrites, the last pixel's as three bytes.
template <int kRepeat>
inline void GatherMaskRow(uint8_t* out, const uint8_t* m, const ScaledScratch& scratch,
                          int32_t width) {
    static_assert(kRepeat == 1 || kRepeat == 3);
    if constexpr (kRepeat == 1) {
        GatherSourceRow<Pixel8>(out, m, scratch, width);
    } else {
        const int32_t* columns = scratch.columns;
        const int32_t last = width - 1;
        if (scratch.everyTwice) {
            // Two pixels of one byte as an 8-byte store into the row's margin-backed scratch.
            for (int32_t i = 0; 2 * i < width; ++i) {
                const uint64_t six = m[i] * uint64_t{0x0000010101010101};
                std::memcpy(out + 6 * i, &six, 8);
            }
            return;
        }
        for (int32_t j = 0; j < last; ++j) {
            const uint32_t word = m[columns[j]] * 0x01010101u;
            std::memcpy(out + 3 * j, &word, 4);
        }
        if (last >= 0) std::memset(out + 3 * last, m[columns[last]], 3);
    }
}

// Runs block(out, k) over the n bytes of a destination row in blocks of kBlock bytes, k being the
// block's first byte; a last, partial block is worked on in a copy of its bytes, so nothing
// outside the row is read or written.
template <int kBlock, class BlockFn>
inline void ForEachBlock(uint8_t* d, size_t n, BlockFn&& block) {
    size_t k = 0;
    for (; k + kBlock <= n; k += kBlock) block(d + k, k);
    if (k < n) {
        alignas(16) uint8_t tail[kBlock] = {};
        std::memcpy(tail, d + k, n - k);
        block(tail, k);
        std::memcpy(d + k, tail, n - k);
    }
}

// Gathers source rows as GatherSourceRow does; wider bodies give their own.
template <class P>
struct SourceRowGather {
    void operator()(uint8_t* out, const uint8_t* s, const ScaledScratch& scratch,
                    int32_t width) const {
        GatherSourceRow<P>(out, s, scratch, width);
    }
};

// A plain scaled copy: each fresh source row is gathered straight into the destination.
template <class P, class Gather = SourceRowGather<P>>
void CopyScaledRows(const ScaledRect& r, const ScaledScratch& scratch, Gather gather = {}) {
    const size_t rowBytes = static_cast<size_t>(r.width) * P::kBytes;
    const uint8_t* previous = nullptr;
    ForEachScaledRow<P>(r, [&](int32_t, uint8_t* d, const uint8_t* s, const uint8_t*, bool fresh) {
        if (fresh) {
            gather(d, s, scratch, r.width);
        } else {
            CopyBytes(d, previous, rowBytes);
        }
        previous = d;
    });
}

// A scaled blit's rectangle, keys and pattern as the unscaled rows read them, for bodies that
// draw each destination row from a gathered source row by an unscaled row.
inline UnscaledRows KeyedRowsOf(const ScaledRect& r, uint32_t srcKey, uint32_t dstKey,
                                const StipplePattern* pattern) {
    UnscaledRows rows{r.dst, r.dstPitch, r.dx, r.dy, r.width, r.height,
                      r.src, r.srcPitch, r.sx, r.sy, r.flags};
    rows.srcKey = srcKey;
    rows.dstKey = dstKey;
    rows.pattern = pattern;
    return rows;
}

// Keys and stipple over 8, 16 and 32-bit pixels, one register of lanes at a time: a lane is
// written where the pattern admits it and the keys allow it.
template <class L, bool kSrcKey, bool kDstKey, bool kPattern>
void KeyedScaledRows(const ScaledRect& r, ScaledScratch& scratch, uint32_t srcKeyValue,
                     uint32_t dstKeyValue, const Admitters<L>* admitters) {
    using P = typename L::Pixel;
    const __m128i srcKey = L::Splat(srcKeyValue);
    const __m128i dstKey = L::Splat(dstKeyValue);
    const size_t rowBytes = static_cast<size_t>(r.width) * P::kBytes;
    const uint8_t* pixels = scratch.pixels;
    ForEachScaledRow<P>(
        r, [&](int32_t i, uint8_t* d, const uint8_t* s, const uint8_t*, bool fresh) {
            if (fresh) GatherSourceRow<P>(scratch.pixels, s, scratch, r.width);
            // A register of 32-bit pixels covers half a pattern row, so its lanes alternate
            // between the row's two halves block by block; a running register follows them.
            __m128i admitted = _mm_set1_epi8(-1), alternate = _mm_setzero_si128();
            if constexpr (kPattern) {
                admitted = admitters->lanes[i & 7][0];
                if constexpr (P::kBytes == 4) {
                    alternate = _mm_xor_si128(admitted, admitters->lanes[i & 7][1]);
                }
            }
            ForEachBlock<16>(d, rowBytes, [&](uint8_t* out, size_t k) {
                const __m128i v = Load(pixels + k);
                __m128i write = admitted;
                if constexpr (kPattern) admitted = _mm_xor_si128(admitted, alternate);
                if constexpr (kSrcKey) {
                    const __m128i keyed = L::Equal(v, srcKey);
                    // Inside a sprite no pixel is the key: the block is stored as it is.
                    if (!kDstKey && !kPattern && _mm_movemask_epi8(keyed) == 0) {
                        Store(out, v);
                        return;
                    }
                    write = _mm_andnot_si128(keyed, write);
                }
                const __m128i old = Load(out);
                if constexpr (kDstKey) write = _mm_and_si128(write, L::Equal(old, dstKey));
                Store(out, _mm_or_si128(_mm_and_si128(write, v), _mm_andnot_si128(write, old)));
            });
        });
}

// The same for 24-bit pixels, sixteen (three registers) at a time. A block starts at a pixel that
// is a multiple of 16, so a pattern row's eight entries repeat twice across it.
template <bool kSrcKey, bool kDstKey, bool kPattern>
void KeyedScaledTriplets(const ScaledRect& r, ScaledScratch& scratch, uint32_t srcKeyValue,
                         uint32_t dstKeyValue, const StipplePattern* pattern) {
    const TripletConstants srcKey(srcKeyValue);
    const TripletConstants dstKey(dstKeyValue);
    Triplets refused[8] = {};
    if constexpr (kPattern) {
        alignas(16) uint8_t bytes[48];
        for (int row = 0; row < 8; ++row) {
            for (int b = 0; b < 48; ++b) bytes[b] = pattern->admit[row][(b / 3) & 7] ? 0 : 0xFF;
#pragma GCC unroll 3
            for (int q = 0; q < 3; ++q) refused[row].r[q] = Load(bytes + 16 * q);
        }
    }
    const __m128i ones = _mm_set1_epi8(-1);
    const size_t rowBytes = static_cast<size_t>(r.width) * 3;
    const uint8_t* pixels = scratch.pixels;
    ForEachScaledRow<Pixel24>(
        r, [&](int32_t i, uint8_t* d, const uint8_t* s, const uint8_t*, bool fresh) {
            if (fresh) GatherSourceRow<Pixel24>(scratch.pixels, s, scratch, r.width);
            ForEachBlock<48>(d, rowBytes, [&](uint8_t* out, size_t k) {
                Triplets v, old;
#pragma GCC unroll 3
                for (int q = 0; q < 3; ++q) v.r[q] = Load(pixels + k + 16 * q);
                // Bytes that keep the destination's value.
                Triplets keep = refused[i & 7];
                if constexpr (kSrcKey) {
                    const Triplets first = EqualFirstBytes(v, srcKey);
                    if (!kDstKey && !kPattern && IsClear(first)) {
#pragma GCC unroll 3
                        for (int q = 0; q < 3; ++q) Store(out + 16 * q, v.r[q]);
                        return;
                    }
                    const Triplets keyed = WholePixels(first);
#pragma GCC unroll 3
                    for (int q = 0; q < 3; ++q) keep.r[q] = _mm_or_si128(keep.r[q], keyed.r[q]);
                }
#pragma GCC unroll 3
                for (int q = 0; q < 3; ++q) old.r[q] = Load(out + 16 * q);
                if constexpr (kDstKey) {
                    const Triplets target = EqualPixels(old, dstKey);
#pragma GCC unroll 3
                    for (int q = 0; q < 3; ++q) {
                        keep.r[q] = _mm_or_si128(keep.r[q], _mm_xor_si128(target.r[q], ones));
                    }
                }
#pragma GCC unroll 3
                for (int q = 0; q < 3; ++q) {
                    Store(out + 16 * q, _mm_or_si128(_mm_andnot_si128(keep.r[q], v.r[q]),
                                                     _mm_and_si128(keep.r[q], old.r[q])));
                }
            });
        });
}

// The keyed and stipple walk of one depth for the key flags; pattern null admits every pixel.
template <class P, bool kSrcKey, bool kDstKey, bool kPattern>
void KeyedScaledDepth(const ScaledRect& r, ScaledScratch& scratch, uint32_t srcKey, uint32_t dstKey,
                      const StipplePattern* pattern) {
    if constexpr (P::kBytes == 3) {
        KeyedScaledTriplets<kSrcKey, kDstKey, kPattern>(r, scratch, srcKey, dstKey, pattern);
    } else {
        using L = typename LanesOf<P>::type;
        if constexpr (kPattern) {
            const Admitters<L> admitters(KeyedRowsOf(r, srcKey, dstKey, pattern),
                                         Admission::Pattern);
            KeyedScaledRows<L, kSrcKey, kDstKey, true>(r, scratch, srcKey, dstKey, &admitters);
        } else {
            KeyedScaledRows<L, kSrcKey, kDstKey, false>(r, scratch, srcKey, dstKey, nullptr);
        }
    }
}

template <class P, bool kPattern>
void KeyedScaledFlags(const ScaledRect& r, ScaledScratch& scratch, uint32_t srcKey, uint32_t dstKey,
                      const StipplePattern* pattern) {
    const bool useSrcKey = (r.flags & BLIT_SRCKEY) != 0;
    const bool useDstKey = (r.flags & BLIT_DESTKEY) != 0;
    if (useSrcKey) {
        if (useDstKey)
            return KeyedScaledDepth<P, true, true, kPattern>(r, scratch, srcKey, dstKey, pattern);
        return KeyedScaledDepth<P, true, false, kPattern>(r, scratch, srcKey, dstKey, pattern);
    }
    if (useDstKey)
        return KeyedScaledDepth<P, false, true, kPattern>(r, scratch, srcKey, dstKey, pattern);
    if constexpr (kPattern) {
        return KeyedScaledDepth<P, false, false, true>(r, scratch, srcKey, dstKey, pattern);
    } else {
        CopyScaledRows<P>(r, scratch);
    }
}

// The walk for the key flags; pattern null admits every pixel.
template <class P>
void KeyedScaledWalk(const ScaledRect& r, ScaledScratch& scratch, uint32_t srcKey, uint32_t dstKey,
                     const StipplePattern* pattern) {
    if (pattern) return KeyedScaledFlags<P, true>(r, scratch, srcKey, dstKey, pattern);
    KeyedScaledFlags<P, false>(r, scratch, srcKey, dstKey, nullptr);
}

// The stipple level at which every pixel is admitted: the keyed routines are stipple at it.
inline constexpr uint32_t kEveryPixel = 256;

// The frame of every keyed and stipple body: nothing is drawn where the level admits no pixel;
// blits whose rows share memory, or whose scratch is refused, take the scalar body; otherwise
// `walk(r, scratch, srcKey, dstKey, pattern)` draws, pattern null where every pixel is admitted.
template <class P, class Walk>
int32_t RunScaledKeyed(const ScaledRect& r, uint32_t srcKey, uint32_t dstKey, uint32_t level,
                       Walk walk) {
    // The thresholds run from 1 to 64: below 1 nothing is admitted, from 64 everything.
    const uint32_t density = level >> 2;
    if (r.width <= 0 || r.height <= 0 || density == 0) return 0;
    ScaledScratch scratch(r.width, P::kBytes, 0);
    if (r.Overlaps(P::kBytes) || !scratch.Ok()) {
        if (density >= 64) {
            return ScaledKeyedScalar<P>(r.dst, r.dstPitch, r.dx, r.dy, r.width, r.height, r.src,
                                        r.srcPitch, r.sx, r.sy, r.sw, r.sh, r.flags, srcKey,
                                        dstKey);
        }
        return ScaledStippleScalar<P>(r.dst, r.dstPitch, r.dx, r.dy, r.width, r.height, r.src,
                                      r.srcPitch, r.sx, r.sy, r.sw, r.sh, r.flags, srcKey, dstKey,
                                      level);
    }
    scratch.FillColumns(r.width, r.sw, (r.flags & BLIT_MIRROR_X) != 0);
    if (density >= 64) {
        walk(r, scratch, srcKey, dstKey, nullptr);
        return 0;
    }
    const StipplePattern pattern(r.dx, r.dy, level);
    walk(r, scratch, srcKey, dstKey, &pattern);
    return 0;
}

// One channel of the 16-bit table blend: the 5-bit fields at kShift of eight source and
// destination words, weighed ws and wd, back at kShift.
template <int kShift>
inline __m128i BlendChannel16(__m128i s, __m128i d, __m128i ws, __m128i wd) {
    const __m128i low5 = _mm_set1_epi16(31);
    const __m128i sc = _mm_and_si128(_mm_srli_epi16(s, kShift), low5);
    const __m128i dc = _mm_and_si128(_mm_srli_epi16(d, kShift), low5);
    const __m128i sum = _mm_add_epi16(_mm_mullo_epi16(sc, ws), _mm_mullo_epi16(dc, wd));
    return _mm_slli_epi16(_mm_srli_epi16(sum, 5), kShift);
}

// The 16-bit table blend of eight pixels by their mask bytes (the low eight bytes of `maskBytes`):
// per channel floor((s * ws + d * wd) / 32) with ws = m >> 3 and wd = (255 - m) >> 3 = 31 - ws,
// which is the sum of two ChannelProductTable entries shifted right by 8. Mask byte 0 keeps the
// destination, 255 takes the source word whole.
template <int kHigh, int kMiddle>
inline __m128i MaskBlend16(__m128i s, __m128i d, __m128i maskBytes) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i m = _mm_unpacklo_epi8(maskBytes, zero);
    const __m128i ws = _mm_srli_epi16(m, 3);
    const __m128i wd = _mm_sub_epi16(_mm_set1_epi16(31), ws);
    __m128i out = _mm_or_si128(
        _mm_or_si128(BlendChannel16<kHigh>(s, d, ws, wd), BlendChannel16<kMiddle>(s, d, ws, wd)),
        BlendChannel16<0>(s, d, ws, wd));
    const __m128i full = _mm_cmpeq_epi16(m, _mm_set1_epi16(255));
    const __m128i none = _mm_cmpeq_epi16(m, zero);
    out = _mm_or_si128(_mm_and_si128(full, s), _mm_andnot_si128(full, out));
    return _mm_or_si128(_mm_and_si128(none, d), _mm_andnot_si128(none, out));
}

// Where each layout keeps its two upper channels.
template <class C>
struct ChannelShifts;
template <>
struct ChannelShifts<Channels555> {
    static constexpr int kHigh = 10, kMiddle = 5;
};
template <>
struct ChannelShifts<Channels565> {
    static constexpr int kHigh = 11, kMiddle = 6;
};

// Blends no part of a row: the blocks of a wider body are none.
struct NoWideBlocks {
    static size_t Blend(uint8_t*, const uint8_t*, const uint8_t*, size_t) { return 0; }
    static int32_t BlendHalved(uint8_t*, const uint8_t*, const uint8_t*, int32_t) { return 0; }
    template <bool kExact>
    static size_t Blend24(uint8_t*, const uint8_t*, const uint8_t*, size_t) {
        return 0;
    }
    // Gathers a 16-bit source row and its mask row.
    static void Gather16(uint8_t* pixels, uint8_t* maskRow, const uint8_t* s, const uint8_t* m,
                         const ScaledScratch& scratch, int32_t width) {
        GatherSourceRow<Pixel16>(pixels, s, scratch, width);
        GatherMaskRow<1>(maskRow, m, scratch, width);
    }
    // Gathers a 24-bit source row and its mask row of three bytes a pixel.
    static void Gather24(uint8_t* pixels, uint8_t* maskRow, const uint8_t* s, const uint8_t* m,
                         const ScaledScratch& scratch, int32_t width) {
        GatherSourceRow<Pixel24>(pixels, s, scratch, width);
        GatherMaskRow<3>(maskRow, m, scratch, width);
    }
};

// Blends the gathered rows onto the destination; `Wide::Blend(d, pixels, maskRow, rowBytes)`
// blends the first bytes of a row in wider registers and says how many, `Wide::BlendHalved(d, s,
// m, width)` the first pixels of a halving row from the source and mask rows themselves, and
// `Wide::Gather16` gathers the rows.
template <class C, class Wide = NoWideBlocks>
void MaskAlpha16ScaledRows(const ScaledRect& r, ScaledScratch& scratch) {
    const size_t rowBytes = static_cast<size_t>(r.width) * 2;
    ForEachScaledRow<Pixel16>(r, [&](int32_t, uint8_t* d, const uint8_t* s, const uint8_t* m,
                                     bool fresh) {
        size_t done = 0;
        if (scratch.everyOther) {
            // A halving row's first pixels may be blended straight from the source; the rest of
            // the row (the same pixels on every row) is gathered once per source row.
            const int32_t first = Wide::BlendHalved(d, s, m, r.width);
            done = static_cast<size_t>(first) * 2;
            if (fresh) {
                Wide::Gather16(scratch.pixels + done, scratch.maskRow + first, s + 2 * done,
                               m + 2 * first, scratch, r.width - first);
            }
        } else {
            if (fresh) Wide::Gather16(scratch.pixels, scratch.maskRow, s, m, scratch, r.width);
            done = Wide::Blend(d, scratch.pixels, scratch.maskRow, rowBytes);
        }
        const uint8_t* pixels = scratch.pixels + done;
        const uint8_t* maskRow = scratch.maskRow + done / 2;
        ForEachBlock<16>(d + done, rowBytes - done, [&](uint8_t* out, size_t k) {
            const __m128i mb = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(maskRow + k / 2));
            // A transparent stretch of the mask leaves the destination as it is, an opaque one
            // takes the source (255 gives the source's channels exactly).
            if (_mm_movemask_epi8(_mm_cmpeq_epi8(mb, _mm_setzero_si128())) == 0xFFFF) return;
            if ((_mm_movemask_epi8(_mm_cmpeq_epi8(mb, _mm_set1_epi8(-1))) & 0xFF) == 0xFF) {
                Store(out, Load(pixels + k));
                return;
            }
            Store(out, MaskBlend16<ChannelShifts<C>::kHigh, ChannelShifts<C>::kMiddle>(
                           Load(pixels + k), Load(out), mb));
        });
    });
}

// The 24-bit blend of sixteen channel bytes by their mask bytes (one per byte), at every byte:
// through the table floor(((s >> 3) * ws + (d >> 3) * wd) / 4) with ws = m >> 3, wd = 31 - ws;
// exactly (s * m + d * (256 - m)) >> 8, whose terms and sum stay below 65536.
template <bool kExact>
inline __m128i MaskBlend24Half(__m128i s, __m128i d, __m128i m) {
    if constexpr (kExact) {
        const __m128i dw = _mm_sub_epi16(_mm_set1_epi16(256), m);
        return _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(s, m), _mm_mullo_epi16(d, dw)), 8);
    } else {
        const __m128i ws = _mm_srli_epi16(m, 3);
        const __m128i wd = _mm_sub_epi16(_mm_set1_epi16(31), ws);
        const __m128i sum = _mm_add_epi16(_mm_mullo_epi16(_mm_srli_epi16(s, 3), ws),
                                          _mm_mullo_epi16(_mm_srli_epi16(d, 3), wd));
        return _mm_srli_epi16(sum, 2);
    }
}

template <bool kExact>
inline __m128i MaskBlend24(__m128i s, __m128i d, __m128i m) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i lo = MaskBlend24Half<kExact>(
        _mm_unpacklo_epi8(s, zero), _mm_unpacklo_epi8(d, zero), _mm_unpacklo_epi8(m, zero));
    const __m128i hi = MaskBlend24Half<kExact>(
        _mm_unpackhi_epi8(s, zero), _mm_unpackhi_epi8(d, zero), _mm_unpackhi_epi8(m, zero));
    return _mm_packus_epi16(lo, hi);
}

template <bool kExact, class Wide = NoWideBlocks>
void MaskAlpha24ScaledRows(const ScaledRect& r, ScaledScratch& scratch) {
    const size_t rowBytes = static_cast<size_t>(r.width) * 3;
    ForEachScaledRow<Pixel24>(
        r, [&](int32_t, uint8_t* d, const uint8_t* s, const uint8_t* m, bool fresh) {
            if (fresh) Wide::Gather24(scratch.pixels, scratch.maskRow, s, m, scratch, r.width);
            const size_t done =
                Wide::template Blend24<kExact>(d, scratch.pixels, scratch.maskRow, rowBytes);
            const uint8_t* pixels = scratch.pixels + done;
            const uint8_t* maskRow = scratch.maskRow + done;
            ForEachBlock<16>(d + done, rowBytes - done, [&](uint8_t* out, size_t k) {
                Store(out, MaskBlend24<kExact>(Load(pixels + k), Load(out), Load(maskRow + k)));
            });
        });
}

}  // namespace gfx::sse2

namespace gfx {

template <class P>
int32_t ScaledKeyedSse2(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy, int32_t width,
                        int32_t height, const uint8_t* src, int32_t srcPitch, int32_t sx,
                        int32_t sy, int32_t sw, int32_t sh, uint32_t flags, uint32_t srcKey,
                        uint32_t dstKey) {
    return sse2::RunScaledKeyed<P>(
        {dst, dstPitch, dx, dy, width, height, src, srcPitch, sx, sy, sw, sh, nullptr, 0, flags},
        srcKey, dstKey, sse2::kEveryPixel, sse2::KeyedScaledWalk<P>);
}

template <class P>
int32_t ScaledStippleSse2(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy, int32_t width,
                          int32_t height, const uint8_t* src, int32_t srcPitch, int32_t sx,
                          int32_t sy, int32_t sw, int32_t sh, uint32_t flags, uint32_t srcKey,
                          uint32_t dstKey, uint32_t level) {
    return sse2::RunScaledKeyed<P>(
        {dst, dstPitch, dx, dy, width, height, src, srcPitch, sx, sy, sw, sh, nullptr, 0, flags},
        srcKey, dstKey, level, sse2::KeyedScaledWalk<P>);
}

template <class C, class Wide = sse2::NoWideBlocks>
int32_t ScaledMaskAlpha16Sse2(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy, int32_t width,
                              int32_t height, const uint8_t* src, int32_t srcPitch, int32_t sx,
                              int32_t sy, int32_t sw, int32_t sh, const uint8_t* mask,
                              int32_t maskPitch, uint32_t flags) {
    if (width <= 0 || height <= 0) return 0;
    const sse2::ScaledRect r{dst, dstPitch, dx, dy, width, height,    src,  srcPitch,
                             sx,  sy,       sw, sh, mask,  maskPitch, flags};
    sse2::ScaledScratch scratch(width, Pixel16::kBytes, 1);
    if (r.Overlaps(Pixel16::kBytes) || !scratch.Ok()) {
        return ScaledMaskAlpha16Scalar<C>(dst, dstPitch, dx, dy, width, height, src, srcPitch, sx,
                                          sy, sw, sh, mask, maskPitch, flags);
    }
    scratch.FillColumns(width, sw, (flags & BLIT_MIRROR_X) != 0);
    sse2::MaskAlpha16ScaledRows<C, Wide>(r, scratch);
    return 0;
}

template <class Wide = sse2::NoWideBlocks>
int32_t ScaledMaskAlpha24Sse2(uint8_t* dst, int32_t dstPitch, int32_t dx, int32_t dy, int32_t width,
                              int32_t height, const uint8_t* src, int32_t srcPitch, int32_t sx,
                              int32_t sy, int32_t sw, int32_t sh, const uint8_t* mask,
                              int32_t maskPitch, uint32_t flags) {
    if (width <= 0 || height <= 0) return 0;
    const sse2::ScaledRect r{dst, dstPitch, dx, dy, width, height,    src,  srcPitch,
                             sx,  sy,       sw, sh, mask,  maskPitch, flags};
    sse2::ScaledScratch scratch(width, Pixel24::kBytes, 3);
    if (r.Overlaps(Pixel24::kBytes) || !scratch.Ok()) {
        return ScaledMaskAlpha24Scalar(dst, dstPitch, dx, dy, width, height, src, srcPitch, sx, sy,
                                       sw, sh, mask, maskPitch, flags);
    }
    scratch.FillColumns(width, sw, (flags & BLIT_MIRROR_X) != 0);
    if (flags & BLIT_EXACT) {
        sse2::MaskAlpha24ScaledRows<true, Wide>(r, scratch);
    } else {
        sse2::MaskAlpha24ScaledRows<false, Wide>(r, scratch);
    }
    return 0;
}

}  // namespace gfx

#endif  // __SSE2__
