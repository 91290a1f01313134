#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "graphics/core/blit_flags.h"
#include "graphics/core/pixel_traits.h"

namespace gfx {

// The nearest-neighbour walk shared by the scaled routines. Destination pixel (i, j) of a
// width x height rectangle takes source row r0 +- floor(i * sh / height) and column
// c0 +- floor(j * sw / width), where (c0, r0) is the first source pixel in reading order (the
// far end of a mirrored axis). The steps come from two error accumulators, so there is no
// multiplication or division per pixel; the mask, when the treatment reads one, moves with the
// source.
//
// A treatment is told of each source pixel it is to use, before the destination pixels that show
// it:
//   treatment.BeginRow(i)          before destination row i,
//   treatment.Source(s, m)         at the start of a row and each time the column moves (m is the
//                                  mask byte's address, null unless kReadsMask),
//   treatment.Draw(j, d)           for destination pixel j of the row, at address d.
// A pixel that enlarging repeats is therefore read and prepared once.
struct ScaledWalk {
    uint8_t* dst;
    int32_t dstPitch;
    int32_t dx, dy, width, height;
    const uint8_t* src;
    int32_t srcPitch;
    int32_t sx, sy, sw, sh;
    const uint8_t* mask = nullptr;
    int32_t maskPitch = 0;
    uint32_t flags = 0;

    template <class P, class Treatment>
    void Run(Treatment& treatment) const {
        if (width <= 0 || height <= 0) return;
        const bool mirrorX = (flags & BLIT_MIRROR_X) != 0;
        const bool mirrorY = (flags & BLIT_MIRROR_Y) != 0;
        // A source side of 0 (less than one pixel left by clipping) is read as its first pixel
        // throughout; counting it as 1 keeps a mirrored start inside the source.
        const uint32_t sourceWidth = static_cast<uint32_t>(std::max(sw, 1));
        const uint32_t sourceHeight = static_cast<uint32_t>(std::max(sh, 1));
        const uint32_t destWidth = static_cast<uint32_t>(width);
        const uint32_t destHeight = static_cast<uint32_t>(height);
        const int32_t c0 = mirrorX ? sx + static_cast<int32_t>(sourceWidth) - 1 : sx;
        const int32_t r0 = mirrorY ? sy + static_cast<int32_t>(sourceHeight) - 1 : sy;
        const ptrdiff_t columnStep = mirrorX ? -P::kBytes : P::kBytes;
        const ptrdiff_t maskColumnStep = mirrorX ? -1 : 1;
        const ptrdiff_t rowStep = mirrorY ? -ptrdiff_t{srcPitch} : ptrdiff_t{srcPitch};
        const ptrdiff_t maskRowStep = mirrorY ? -ptrdiff_t{maskPitch} : ptrdiff_t{maskPitch};

        const uint8_t* srcRow = PixelAt<P>(src, srcPitch, c0, r0);
        const uint8_t* maskRow = nullptr;
        if constexpr (Treatment::kReadsMask) maskRow = PixelAt<Pixel8>(mask, maskPitch, c0, r0);

        // Steps are taken between pixels and between rows, never after the last, so no address
        // outside the source rectangle is formed.
        uint32_t rowError = 0;
        for (int32_t i = 0; i < height; ++i) {
            if (i > 0) {
                rowError += sourceHeight;
                while (rowError >= destHeight) {
                    rowError -= destHeight;
                    srcRow += rowStep;
                    if constexpr (Treatment::kReadsMask) maskRow += maskRowStep;
                }
            }
            uint8_t* d = PixelAt<P>(dst, dstPitch, dx, dy + i);
            const uint8_t* s = srcRow;
            const uint8_t* m = maskRow;
            treatment.BeginRow(i);
            treatment.Source(s, m);
            treatment.Draw(0, d);
            uint32_t columnError = 0;
            for (int32_t j = 1; j < width; ++j) {
                d += P::kBytes;
                columnError += sourceWidth;
                if (columnError >= destWidth) {
                    do {
                        columnError -= destWidth;
                        s += columnStep;
                        if constexpr (Treatment::kReadsMask) m += maskColumnStep;
                    } while (columnError >= destWidth);
                    treatment.Source(s, m);
                }
                treatment.Draw(j, d);
            }
        }
    }
};

}  // namespace gfx
