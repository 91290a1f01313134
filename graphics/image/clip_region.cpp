#include "graphics/image/clip_region.h"

#include <algorithm>
#include <new>

namespace gfx {

namespace {

int32_t ClampEdge(int64_t value) {
    return static_cast<int32_t>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}

}  // namespace

ClipRegion::ClipRegion(const ClipRegion* source) { CopyFrom(source); }

ClipRegion::~ClipRegion() { DestroyRegion(hRegion); }

int32_t ClipRegion::AddRef() { return ++refCount; }

int32_t ClipRegion::Release() {
    const int32_t count = --refCount;
    if (count <= 0) delete this;
    return count;
}

Result ClipRegion::GetBounds(ClipRect* out) const {
    if (!hasRect) return ResultUnsupported;
    if (!out) return ResultInvalid;
    *out = bounds;
    return ResultOk;
}

Result ClipRegion::SetRect(int32_t x, int32_t y, int32_t width, int32_t height) {
    const ClipRect rect{x, y, ClampEdge(int64_t{x} + width), ClampEdge(int64_t{y} + height)};
    if (hRegion) {
        RegionHandle temporary = CreateRectRegion(rect);
        CopyRegion(hRegion, temporary);
        DestroyRegion(temporary);
    } else {
        hRegion = CreateRectRegion(rect);
    }
    bounds = rect;
    hasRect = true;
    return ResultOk;
}

uint32_t ClipRegion::GetUserValue() const { return userValue; }

Result ClipRegion::SetUserValue(uint32_t value) {
    userValue = value;
    return ResultOk;
}

Result ClipRegion::CopyFrom(const ClipRegion* source) {
    ClipRect rect;
    if (!source || source->GetBounds(&rect) != ResultOk) return ResultInvalid;
    // Edges made by SetRect always lie within 32 bits of each other.
    return SetRect(rect.left, rect.top, static_cast<int32_t>(int64_t{rect.right} - rect.left),
                   static_cast<int32_t>(int64_t{rect.bottom} - rect.top));
}

ClipRegion* ClipRegion::Clone() const { return new (std::nothrow) ClipRegion(this); }

int32_t ClipRegion::Reserved7() { return 0; }

}  // namespace gfx
