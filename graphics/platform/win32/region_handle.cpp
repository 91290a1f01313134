#include "graphics/platform/region_handle.h"

#include <windows.h>

namespace gfx {

namespace {

HRGN ToNative(RegionHandle region) { return reinterpret_cast<HRGN>(region); }

}  // namespace

RegionHandle CreateRectRegion(const ClipRect& rect) {
    return reinterpret_cast<RegionHandle>(
        CreateRectRgn(rect.left, rect.top, rect.right, rect.bottom));
}

bool CopyRegion(RegionHandle destination, RegionHandle source) {
    if (!destination || !source) return false;
    return CombineRgn(ToNative(destination), ToNative(source), nullptr, RGN_COPY) != ERROR;
}

bool GetRegionBox(RegionHandle region, ClipRect* out) {
    if (!region || !out) return false;
    RECT box{};
    if (GetRgnBox(ToNative(region), &box) == 0) return false;
    *out = ClipRect{box.left, box.top, box.right, box.bottom};
    return true;
}

void DestroyRegion(RegionHandle region) {
    if (region) DeleteObject(ToNative(region));
}

}  // namespace gfx
