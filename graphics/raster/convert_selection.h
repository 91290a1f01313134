#pragma once

#include <cstdint>

#include "graphics/raster/convert_flags.h"
#include "graphics/raster/convert_routines.h"

namespace gfx {

// One row of the choice of conversion routine: for these sides and dithering, this routine.
struct ConvertSelectionRow {
    bool sourceIndexed;
    bool targetIndexed;
    bool dither;
    const char* name;
    ConvertRoutine routine;
};

// The row for the two formats (indexed or direct) and CONVERT_DITHER in `flags`.
const ConvertSelectionRow& SelectConvertRoutine(bool sourceIndexed, bool targetIndexed,
                                                uint32_t flags);

}  // namespace gfx
