#pragma once

#include <cstdint>

#include "graphics/image/surface.h"
#include "graphics/platform/device_context_handle.h"

namespace gfx {

// Create flags of DibSurface.
// Make the memory device context compatible with the reference context, and keep it.
inline constexpr uint32_t CREATE_REFERENCE_DC = 0x08;
// Keep a memory device context (compatible with the screen) for the lifetime of the image.
inline constexpr uint32_t CREATE_KEEP_DC = 0x10;

// The surface the application draws with and copies to the screen: its pixels live in a
// top-down DIB section, reached as plain memory through Lock and as a memory device context
// through AcquireDC (never both at once). Loading goes through a temporary MemoryDibSurface
// whose picture is drawn into a new DIB section.
class DibSurface : public Surface {
  public:
    DibSurface() = default;
    ~DibSurface() override;

    // Clears the base fields and the DIB-section fields; the memory device context is left for
    // Free to delete. Frees nothing.
    void Reset() override;
    // A new zeroed DIB section of this size and format (indexed formats get an all-zero colour
    // table). `createFlags` CREATE_REFERENCE_DC or CREATE_KEEP_DC keep a memory device context.
    Result Create(int32_t width, int32_t height, PixelFormat format, uint32_t createFlags,
                  DeviceContextHandle referenceDC) override;
    // Reads the image as MemoryDibSurface::Load does, then makes a DIB section of its size and
    // format (`createFlags`, `referenceDC` as for Create), draws it upright and takes its palette.
    Result Load(const void* source, uint32_t loadFlags, ModuleHandle module,
                const char* resourceType, Surface* templateSurface, uint32_t createFlags,
                DeviceContextHandle referenceDC) override;
    // Gives back every outstanding device context and lock, then the platform objects.
    Result Free() override;
    SurfaceKind GetKind() const override;
    // Copies the palette into the DIB colour table when it changed since the last copy.
    Result SyncPalette() override;
    // Accepts only a palette of exactly 2^bpp entries on an indexed image (or null to detach).
    Result SetPalette(Palette* palette) override;
    Surface* NewSurface() override;
    // Refused with ResultDCOut while a device context is out; flushes platform drawing first.
    Result Lock(uint8_t** address, int32_t* pitch) override;
    Result Unlock() override;
    void TouchPages() override;
    // The memory device context with the DIB section selected, or null while locked. Calls nest
    // and each is matched by one ReleaseDC.
    DeviceContextHandle AcquireDC() override;
    void ReleaseDC() override;

    // Direct reads of the fields, for tests and platform code.
    BitmapHandle GetBitmap() const { return hBitmap; }
    DeviceContextHandle GetMemoryDC() const { return memoryDC; }
    uint8_t* GetBits() const { return bits; }
    int32_t GetPaletteSerialSeen() const { return paletteSerialSeen; }
    uint32_t GetKeepDC() const { return keepDC; }

  private:
    // Selects the original bitmap back into the memory device context and deletes it.
    void DropMemoryDC();

    BitmapHandle hBitmap = nullptr;
    BitmapHandle oldBitmap = nullptr;
    DeviceContextHandle memoryDC = nullptr;
    uint8_t* bits = nullptr;
    int32_t paletteSerialSeen = 0;
    uint32_t keepDC = 0;
};

}  // namespace gfx
