#pragma once

#include <cstdint>

#include "graphics/core/blit_flags.h"
#include "graphics/image/clip_region.h"
#include "graphics/image/palette.h"
#include "graphics/core/pixel_format.h"
#include "graphics/core/result.h"
#include "graphics/image/surface_kind.h"
#include "graphics/platform/device_context_handle.h"
#include "graphics/platform/module_resource.h"

namespace gfx {

// Told the percentage done before each row of a format conversion.
using ConvertProgress = void (*)(int32_t userData, int32_t percent);

// The image object: a rectangle of pixels in one pixel format, with an optional shared palette
// and clip region, colour keys and a frame count for vertically stacked film strips. Kinds differ
// only in where the rows live; every operation reaches pixels through Lock/Unlock, so the shared
// operations serve every kind.
//
// Surfaces are reference-counted: the creator holds the first reference and the last Release
// destroys the surface through its virtual destructor. A kind's destructor runs its own Free.
class Surface {
  public:
    Surface() = default;
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;

    int32_t AddRef();
    // Drops a reference; the last one destroys the surface. Returns the new count.
    int32_t Release();

    // Virtual operations, in slot order.

    // Writes the empty values of the fields (frame count 1, reference count kept); frees nothing.
    virtual void Reset();
    // Draws a rectangle of this surface into `destination`.
    virtual Result Blit(Surface* destination, int32_t dx, int32_t dy, int32_t dw, int32_t dh,
                        int32_t sx, int32_t sy, int32_t sw, int32_t sh, uint32_t flags,
                        BlitExtra extra);
    virtual ~Surface();
    // Makes a new image; kinds refuse a size SurfaceSizeSupported rejects.
    virtual Result Create(int32_t width, int32_t height, PixelFormat format, uint32_t createFlags,
                          DeviceContextHandle referenceDC);
    // Reads an image. `source` is a path, a resource name or a stream, by the load flags.
    virtual Result Load(const void* source, uint32_t loadFlags, ModuleHandle module,
                        const char* resourceType, Surface* templateSurface, uint32_t createFlags,
                        DeviceContextHandle referenceDC);
    // Makes this surface a copy of `source`: same size, format, picture, palette colours and
    // frame count, whatever the row order of either side. Keys and region are not copied.
    virtual Result CopyFrom(Surface* source);
    virtual Result ConvertFormat(PixelFormat format, Palette* palette, uint32_t flags,
                                 int32_t reserved, ConvertProgress progress, int32_t userData);
    // Drops the palette and region references, then Reset.
    virtual Result Free();
    virtual SurfaceKind GetKind() const;
    virtual int32_t GetWidth() const;
    virtual int32_t GetHeight() const;
    virtual Palette* GetPalette() const;
    virtual Result SyncPalette();
    // Attaches `palette` (or detaches with null), holding a reference to it.
    virtual Result SetPalette(Palette* palette);
    // A new empty palette owned by the caller, or null when memory is short.
    virtual Palette* NewPalette();
    virtual ClipRegion* GetRegion() const;
    // Attaches `region` (or detaches with null), holding a reference to it.
    virtual Result SetRegion(ClipRegion* region);
    virtual ClipRegion* NewRegion();
    // A new empty surface of the same kind, or null.
    virtual Surface* NewSurface();
    // The destination-side form of Blit: `source`'s Blit into this surface.
    virtual Result DrawFrom(int32_t dx, int32_t dy, int32_t dw, int32_t dh, Surface* source,
                            int32_t sx, int32_t sy, int32_t sw, int32_t sh, uint32_t flags,
                            BlitExtra extra);
    // Draws frame `index` of `source`, unscaled, at (x, y).
    virtual Result DrawFrame(int32_t x, int32_t y, Surface* source, int32_t index, uint32_t flags,
                             BlitExtra extra);
    virtual Result FillRect(int32_t x, int32_t y, int32_t width, int32_t height, uint32_t value);
    virtual Result Reserved22(int32_t a, int32_t b, int32_t c, int32_t d, int32_t e, int32_t f,
                              int32_t g);
    virtual Result DrawLine(int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint32_t value);
    virtual Result BlendFillRect(int32_t x, int32_t y, int32_t width, int32_t height, int32_t mode,
                                 uint32_t colour, uint32_t weight);
    // The raw value of one pixel; 0 when it cannot be read.
    virtual uint32_t GetPixelValue(int32_t x, int32_t y);
    virtual void SetPixelValue(int32_t x, int32_t y, uint32_t value);
    virtual Result AdjustHueSaturation(int32_t hue, int32_t saturation, int32_t lightness,
                                       Surface* mask);
    virtual Result AdjustContrast(int32_t amount, Surface* mask);
    virtual Result Invert();
    virtual Result GetSourceKey(uint32_t* out) const;
    virtual Result SetSourceKey(uint32_t value);
    virtual Result GetDestKey(uint32_t* out) const;
    virtual Result SetDestKey(uint32_t value);
    virtual int32_t GetFrameCount() const;
    // Stores max(count, 1) and returns it.
    virtual int32_t SetFrameCount(int32_t count);
    // Gives the address of memory row 0 and the row pitch; calls nest and each is matched by
    // one Unlock.
    virtual Result Lock(uint8_t** address, int32_t* pitch);
    virtual Result Unlock();
    // Makes the pixel memory resident (PageTouch).
    virtual void TouchPages();
    virtual DeviceContextHandle AcquireDC();
    virtual void ReleaseDC();
    // 1 when memory row 0 is the bottom line of the image, else 0.
    virtual int32_t IsBottomUp() const;

    // Direct reads of the fields, for the shared operations and for tests.
    PixelFormat GetFormat() const { return format; }
    void* GetAccessPointer() const { return accessPointer; }
    uint16_t GetAccessPitch() const { return accessPitch; }
    uint16_t GetAccessCount() const { return accessCount; }
    int32_t GetRefCount() const { return refCount; }

  protected:
    // SetPalette of the kinds that keep a colour table beside their rows: they take only a
    // palette of exactly 2^bpp entries on an indexed image (or null, to detach), and copy its
    // colours into the table at once. `serialSeen` is the kind's record of the palette change it
    // copied last.
    Result SetColourTablePalette(Palette* newPalette, int32_t* serialSeen);

    uint16_t width = 0;
    uint16_t height = 0;
    PixelFormat format = 0;
    // While locked: memory row 0. While a device context is out: that context.
    void* accessPointer = nullptr;
    uint16_t accessPitch = 0;
    uint16_t accessCount = 0;
    uint32_t sourceKey = 0;
    uint32_t destKey = 0;
    int32_t refCount = 1;
    Palette* palette = nullptr;
    ClipRegion* region = nullptr;
    int32_t frameCount = 1;
};

}  // namespace gfx
