#include "graphics/platform/region_handle.h"

#include <new>
#include <utility>

namespace gfx {

// The in-memory stand-in for a platform region: its one rectangle, normalised.
struct RegionObject {
    ClipRect box{};
};

RegionHandle CreateRectRegion(const ClipRect& rect) {
    auto* region = new (std::nothrow) RegionObject;
    if (!region) return nullptr;
    ClipRect box = rect;
    if (box.right < box.left) std::swap(box.left, box.right);
    if (box.bottom < box.top) std::swap(box.top, box.bottom);
    if (box.left == box.right || box.top == box.bottom) box = ClipRect{};
    region->box = box;
    return region;
}

bool CopyRegion(RegionHandle destination, RegionHandle source) {
    if (!destination || !source) return false;
    destination->box = source->box;
    return true;
}

bool GetRegionBox(RegionHandle region, ClipRect* out) {
    if (!region || !out) return false;
    *out = region->box;
    return true;
}

void DestroyRegion(RegionHandle region) { delete region; }

}  // namespace gfx
