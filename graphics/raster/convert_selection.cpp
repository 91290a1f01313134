#include "graphics/raster/convert_selection.h"

#include "graphics/raster/raster_registry.h"

namespace gfx {

namespace {

// The re-pack and the lookup and pack run the body the registry serves.
Result ServedRepack(const ConvertJob& job) {
    return ServedRasterBody<RasterRoutine::ConvertRepack>()(job);
}

Result ServedLookupPack(const ConvertJob& job) {
    return ServedRasterBody<RasterRoutine::ConvertLookupPack>()(job);
}

constexpr bool kIndexed = true;
constexpr bool kDirect = false;
constexpr bool kPlain = false;
constexpr bool kDithered = true;

constexpr ConvertSelectionRow kRows[] = {
    {kIndexed, kIndexed, kPlain, "RemapPalette", ConvertRemapPalette},
    {kIndexed, kIndexed, kDithered, "DitherPalette", ConvertDitherPalette},
    {kDirect, kIndexed, kPlain, "NearestColor", ConvertNearestColor},
    {kDirect, kIndexed, kDithered, "DitherNearest", ConvertDitherNearest},
    {kIndexed, kDirect, kPlain, "LookupPack", ServedLookupPack},
    {kIndexed, kDirect, kDithered, "DitherPack", ConvertDitherPack},
    {kDirect, kDirect, kPlain, "Repack", ServedRepack},
    {kDirect, kDirect, kDithered, "DitherRepack", ConvertDitherRepack},
};

}  // namespace

const ConvertSelectionRow& SelectConvertRoutine(bool sourceIndexed, bool targetIndexed,
                                                uint32_t flags) {
    const bool dither = (flags & CONVERT_DITHER) != 0;
    for (const ConvertSelectionRow& row : kRows) {
        if (row.sourceIndexed == sourceIndexed && row.targetIndexed == targetIndexed &&
            row.dither == dither) {
            return row;
        }
    }
    return kRows[0];  // not reached: the rows cover every combination
}

}  // namespace gfx
