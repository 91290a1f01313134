#pragma once

#include <cstdint>

#include "graphics/core/clip_rect.h"
#include "graphics/core/result.h"
#include "graphics/platform/region_handle.h"

namespace gfx {

// One clip rectangle shared by reference counting, mirrored in a platform region. A surface
// with a region clips what it receives to the region's bounds.
class ClipRegion {
  public:
    // A region without rectangle, with one reference held by its creator.
    ClipRegion() = default;
    // A region without rectangle that then copies the rectangle of `source` (not its user
    // value); a failed copy leaves it without rectangle.
    explicit ClipRegion(const ClipRegion* source);
    ClipRegion(const ClipRegion&) = delete;
    ClipRegion& operator=(const ClipRegion&) = delete;

    // Reference counting: the last Release destroys the region. Both return the new count.
    int32_t AddRef();
    int32_t Release();

    // Virtual operations, in slot order.
    virtual ~ClipRegion();
    // The rectangle; ResultUnsupported (and nothing written) before the first SetRect,
    // ResultInvalid for a null output.
    virtual Result GetBounds(ClipRect* out) const;
    // Replaces the rectangle with {x, y, x + width, y + height}; edges beyond the 32-bit range
    // are held at its limits.
    virtual Result SetRect(int32_t x, int32_t y, int32_t width, int32_t height);
    virtual uint32_t GetUserValue() const;
    virtual Result SetUserValue(uint32_t value);
    // SetRect with the rectangle of `source`; ResultInvalid when it has none or is null.
    virtual Result CopyFrom(const ClipRegion* source);
    // A new region with this one's rectangle, or null when memory is short.
    virtual ClipRegion* Clone() const;
    virtual int32_t Reserved7();

    int32_t GetRefCount() const { return refCount; }
    RegionHandle GetHandle() const { return hRegion; }

  protected:
    ClipRect bounds{};
    RegionHandle hRegion = nullptr;
    uint32_t userValue = 0;
    int32_t refCount = 1;
    // Set by the first SetRect. The rectangle does not depend on the platform region, so a
    // region the platform refuses still clips.
    bool hasRect = false;
};

}  // namespace gfx
