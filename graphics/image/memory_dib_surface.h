#pragma once

#include <cstdint>

#include "graphics/image/surface.h"
#include "graphics/io/stream.h"

namespace gfx {

// A surface that holds its image as one packed DIB (header, colour table or masks, bottom-up
// rows) inside a Stream: a read-only file mapping or resource when loaded without a copy, else
// global memory. It is also the host of the library's encodings: Encode and Decode swap the
// packed DIB for an encoded one and back, and an encoded image refuses Lock.
class MemoryDibSurface : public Surface {
  public:
    MemoryDibSurface() = default;
    ~MemoryDibSurface() override;

    void Reset() override;
    // A new image with zeroed pixels and, for indexed formats, an all-black palette.
    Result Create(int32_t width, int32_t height, PixelFormat format, uint32_t createFlags,
                  DeviceContextHandle referenceDC) override;
    // Reads a Windows bitmap (from a file, a resource or a Stream), a JPEG file or a container,
    // by the load flags (graphics/image/load_flags.h).
    Result Load(const void* source, uint32_t loadFlags, ModuleHandle module,
                const char* resourceType, Surface* templateSurface, uint32_t createFlags,
                DeviceContextHandle referenceDC) override;
    // Another MemoryDibSurface is copied block for block (encoded data stays encoded).
    Result CopyFrom(Surface* source) override;
    Result ConvertFormat(PixelFormat format, Palette* palette, uint32_t flags, int32_t reserved,
                         ConvertProgress progress, int32_t userData) override;
    Result Free() override;
    SurfaceKind GetKind() const override;
    // Copies the palette into the colour table when the block is writable.
    Result SyncPalette() override;
    // Accepts only a palette of exactly 2^bpp entries on an indexed image (or null to detach).
    Result SetPalette(Palette* palette) override;
    Surface* NewSurface() override;
    Result Lock(uint8_t** address, int32_t* pitch) override;
    Result Unlock() override;
    void TouchPages() override;
    int32_t IsBottomUp() const override;

    // Takes a stream holding a packed DIB, with or without the 14-byte "BM" file header. The
    // block is checked to hold everything its header claims (see ReadDibLayout); a bitmap file
    // whose rows do not follow the colour table is copied into packed form. On success the
    // surface owns the stream; on failure the caller still does, and the surface is empty.
    virtual Result AttachDib(Stream* stream);
    // The 40-byte header of the packed DIB, or null when empty. Does not lock.
    virtual const uint8_t* GetDibHeader() const;
    // Swaps the pixels for the encoding `tag` ("PKCC", "ARLE", "PRLE", "TRLE").
    virtual Result Encode(uint32_t tag);
    // Swaps encoded data back for plain pixels.
    virtual Result Decode();
    virtual uint32_t IsEncoded() const;

    // Bytes of the packed DIB from GetDibHeader on (header, table and rows or encoded data).
    uint32_t GetDibLength() const;
    Stream* GetDibStream() const { return dibStream; }

  private:
    // Replaces the block with a codec's result, keeping size, format and palette.
    Result SwapStream(void* block, uint32_t size, bool nowEncoded);
    // Whether SyncPalette may write the colour table.
    bool TableWritable() const;

    Result LoadBitmap(const void* source, uint32_t loadFlags, ModuleHandle module,
                      const char* resourceType, Surface* templateSurface);
    Result LoadJpeg(const void* source, uint32_t loadFlags, ModuleHandle module,
                    const char* resourceType);
    Result LoadContainer(const void* source, uint32_t loadFlags, ModuleHandle module,
                         const char* resourceType, Surface* templateSurface, uint32_t createFlags,
                         DeviceContextHandle referenceDC);

    Stream* dibStream = nullptr;
    uint32_t encoded = 0;
    int32_t paletteSerialSeen = 0;
};

}  // namespace gfx
