#pragma once

#include <cstdint>

#include "graphics/blit/blit_registry.h"
#include "graphics/core/pixel_format.h"

namespace gfx {

// One test of the routine selection, made on the blit's flags (and, for the 16-bit blends, on
// the source format's family).
struct BlitTest {
    enum class Kind : uint8_t {
        AnyOf,      // any of `bits` is set
        FlagsZero,  // the whole flags word is 0
        Otherwise,  // always
    };
    enum class Family : uint8_t {
        Any,
        Is555,  // FMT_RGB555 or FMT_BGR555
        Not555,
    };

    Kind kind;
    uint32_t bits;
    // The row needs the mask surface in extra (an 8-bit surface that locks); without one the
    // blit draws nothing.
    bool mask;
    Family family;

    bool Matches(uint32_t flags, PixelFormat format) const;
};

// One row of the selection: for this source depth and scaling, when the test holds, this
// routine of the registry draws. A row whose routine is not built yet draws nothing and the blit
// succeeds.
struct BlitSelectionRow {
    uint32_t depth;
    bool scaled;
    BlitTest test;
    RoutineId routine;
};

// The first row, in table order, for the source depth and scaling whose test holds; null for a
// depth that has no routines (1, 2 and 4 bits).
const BlitSelectionRow* SelectBlitRoutine(uint32_t depth, bool scaled, uint32_t flags,
                                          PixelFormat format);

}  // namespace gfx
