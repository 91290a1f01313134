#pragma once

#include <cstdint>

#include "graphics/core/channel_layout.h"
#include "graphics/core/palette_entry.h"
#include "graphics/core/result.h"
#include "graphics/image/surface.h"
#include "graphics/raster/nearest_color.h"

namespace gfx {

// Everything a conversion routine reads: the locked rows of both sides (same width and height,
// each with its own pitch), the layouts of direct sides, the 256 colours of an indexed source,
// the matcher of an indexed target, and the progress callback.
struct ConvertJob {
    const uint8_t* source = nullptr;
    int32_t sourcePitch = 0;
    uint8_t* target = nullptr;
    int32_t targetPitch = 0;
    int32_t width = 0;
    int32_t height = 0;
    ChannelLayout sourceLayout;
    ChannelLayout targetLayout;
    const PaletteEntry* sourceEntries = nullptr;
    const NearestColor* nearest = nullptr;
    ConvertProgress progress = nullptr;
    int32_t userData = 0;
};

using ConvertRoutine = Result (*)(const ConvertJob& job);

// The eight routines. Each calls the progress callback before each row and converts the rows
// top to bottom in buffer order, each left to right. ResultInvalid only when memory for the
// error rows is short.
Result ConvertRemapPalette(const ConvertJob& job);    // indexed to indexed
Result ConvertDitherPalette(const ConvertJob& job);   // indexed to indexed, dithered
Result ConvertNearestColor(const ConvertJob& job);    // direct to indexed
Result ConvertDitherNearest(const ConvertJob& job);   // direct to indexed, dithered
Result ConvertLookupPack(const ConvertJob& job);      // indexed to direct
Result ConvertDitherPack(const ConvertJob& job);      // indexed to direct, dithered
Result ConvertRepack(const ConvertJob& job);          // direct to direct
Result ConvertDitherRepack(const ConvertJob& job);    // direct to direct, dithered

}  // namespace gfx
