#pragma once

#include <cstdint>

#include "graphics/core/palette_entry.h"
#include "graphics/image/surface.h"
#include "graphics/io/stream.h"

namespace gfx {

// A surface read from the library's own zbm container (graphics/codec/container_header.h): its
// rows are used where they lie, top line first, in a stream that starts at row 0. Loaded from a
// file without LOAD_COPY, that is the file's read-only mapping, whose pixels must not be written.
// Lock hands out the address without counting; it stays valid until Free.
class ContainerSurface : public Surface {
  public:
    ContainerSurface() = default;
    ~ContainerSurface() override;

    // New zeroed rows in a fixed global-memory block. ResultInvalid for a format or size no
    // surface can hold; ResultNoMemory when there is no block.
    Result Create(int32_t width, int32_t height, PixelFormat format, uint32_t createFlags,
                  DeviceContextHandle referenceDC) override;
    // Reads a container from a file, a resource or a Stream (graphics/image/load_flags.h). With
    // image type 0 a path ending in "bmp" is read as a bitmap and copied in. ResultNoSource when
    // the source does not open or is empty, ResultFailed without the container magic,
    // ResultInvalid for a damaged header (see ReadContainerHeader). A caller's stream passes to
    // the surface unless LOAD_COPY is given.
    Result Load(const void* source, uint32_t loadFlags, ModuleHandle module,
                const char* resourceType, Surface* templateSurface, uint32_t createFlags,
                DeviceContextHandle referenceDC) override;
    // Destroys the pixel stream (when owned), then the base Free.
    Result Free() override;
    SurfaceKind GetKind() const override;
    Surface* NewSurface() override;
    // The address of row 0 in the pixel stream and RowBytes as the pitch.
    Result Lock(uint8_t** address, int32_t* pitch) override;
    Result Unlock() override;

    // Takes `stream` as the rows of a width x height image of `format` (width and height modulo
    // 65536) and, for indexed formats, a palette of 2^bpp entries copied from `entries` (black
    // when null). The stream must hold every row: ResultInvalid otherwise, or for a null stream,
    // an unknown format or a size no surface can hold. On failure the caller keeps the stream.
    // With `takeOwnership` the surface destroys the stream in Free.
    virtual Result AttachRaw(Stream* stream, int32_t width, int32_t height, PixelFormat format,
                             const PaletteEntry* entries, bool takeOwnership);

    Stream* GetPixelStream() const { return pixelStream; }

  private:
    Result LoadBitmapCopy(const void* source, uint32_t loadFlags, ModuleHandle module,
                          const char* resourceType, Surface* templateSurface);

    Stream* pixelStream = nullptr;
    bool ownsPixelStream = false;
};

}  // namespace gfx
