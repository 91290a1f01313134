#include "graphics/image/dib_surface.h"

#include <new>

#include "graphics/core/dib_header.h"
#include "graphics/image/page_touch.h"
#include "graphics/platform/dib_section.h"

namespace gfx {

namespace {

// accessCount is 16 bits wide: one more Lock or AcquireDC would wrap it to 0.
constexpr uint16_t kMaxAccessCount = UINT16_MAX;

// Offset of biHeight in the stored header.
constexpr size_t kHeightOffset = 8;

// Forces the next SyncPalette to copy whatever the palette's serial.
constexpr int32_t kSerialUnknown = -1;

}  // namespace

DibSurface::~DibSurface() { DibSurface::Free(); }

void DibSurface::Reset() {
    Surface::Reset();
    hBitmap = nullptr;
    oldBitmap = nullptr;
    bits = nullptr;
    paletteSerialSeen = 0;
    keepDC = 0;
}

Result DibSurface::Create(int32_t newWidth, int32_t newHeight, PixelFormat newFormat,
                          uint32_t createFlags, DeviceContextHandle referenceDC) {
    Free();
    if (!SurfaceSizeSupported(newWidth, newHeight, newFormat)) return ResultInvalid;

    uint8_t header[DIB_HEADER_BUFFER_BYTES];
    const uint32_t headerLength =
        BuildDibHeader(newWidth, newHeight, newFormat, header, sizeof(header));
    if (headerLength == 0) return ResultInvalid;
    // Negative height: top-down rows. The size check above keeps the height within 16 bits.
    const uint32_t topDownHeight = static_cast<uint32_t>(-newHeight);
    for (int i = 0; i < 4; ++i) {
        header[kHeightOffset + i] = static_cast<uint8_t>(topDownHeight >> (8 * i));
    }

    const bool keep = (createFlags & (CREATE_REFERENCE_DC | CREATE_KEEP_DC)) != 0;
    memoryDC = CreateMemoryDC((createFlags & CREATE_REFERENCE_DC) ? referenceDC : nullptr);

    void* pixels = nullptr;
    hBitmap = CreateDibSection(memoryDC, header, headerLength, &pixels);
    bits = static_cast<uint8_t*>(pixels);

    if (keep) {
        // A kept context that does not hold the bitmap would be handed out empty: refuse.
        oldBitmap = hBitmap && memoryDC ? SelectBitmap(memoryDC, hBitmap) : nullptr;
        keepDC = 1;
        if (!oldBitmap) {
            Free();
            return ResultInvalid;
        }
    } else {
        keepDC = 0;
        if (memoryDC) DeleteMemoryDC(memoryDC);
        memoryDC = nullptr;
    }

    if (!hBitmap || !bits) {
        Free();
        return ResultInvalid;
    }
    width = static_cast<uint16_t>(newWidth);
    height = static_cast<uint16_t>(newHeight);
    format = newFormat;
    return ResultOk;
}

void DibSurface::DropMemoryDC() {
    if (!memoryDC) return;
    if (oldBitmap) SelectBitmap(memoryDC, oldBitmap);
    DeleteMemoryDC(memoryDC);
    memoryDC = nullptr;
    oldBitmap = nullptr;
}

Result DibSurface::Free() {
    if (hBitmap) {
        while (accessCount > 0 && accessPitch == 0) ReleaseDC();
        while (accessCount > 0 && accessPointer && accessPitch != 0) Unlock();
    }
    // Also without a bitmap: a Create that failed after making its context leaves one here.
    DropMemoryDC();
    if (hBitmap) DestroyBitmap(hBitmap);
    hBitmap = nullptr;
    // Drops palette and region, then Reset.
    return Surface::Free();
}

SurfaceKind DibSurface::GetKind() const { return KIND_DIB; }

Result DibSurface::SyncPalette() {
    if (!palette) return ResultOk;
    const int32_t serial = palette->GetSerial();
    if (serial == paletteSerialSeen && paletteSerialSeen != kSerialUnknown) return ResultOk;

    const uint32_t count = palette->GetEntryCount();
    if (memoryDC && count > 0 && count <= 256) {
        SetDibColorTable(memoryDC, 0, count, palette->GetEntryData());
    }
    // Recorded even when no context exists to write through; the next AcquireDC forces a copy.
    paletteSerialSeen = serial;
    return ResultOk;
}

Result DibSurface::SetPalette(Palette* newPalette) {
    return SetColourTablePalette(newPalette, &paletteSerialSeen);
}

Surface* DibSurface::NewSurface() { return new (std::nothrow) DibSurface; }

Result DibSurface::Lock(uint8_t** address, int32_t* pitch) {
    if (format == 0 || !bits) return ResultNoImage;
    if (!address || !pitch) return ResultInvalid;
    FlushDrawing();
    if (accessCount > 0 && accessPitch == 0) return ResultDCOut;
    if (accessCount == kMaxAccessCount) return ResultInvalid;
    SyncPalette();

    const uint16_t rowPitch = static_cast<uint16_t>(RowBytes(format, width));
    ++accessCount;
    accessPointer = bits;
    accessPitch = rowPitch;
    *address = bits;
    *pitch = rowPitch;
    return ResultOk;
}

Result DibSurface::Unlock() {
    if (accessCount == 0 || !accessPointer || accessPitch == 0) return ResultOk;
    if (--accessCount == 0) {
        accessPointer = nullptr;
        accessPitch = 0;
    }
    return ResultOk;
}

void DibSurface::TouchPages() {
    if (bits) PageTouch(bits, size_t{RowBytes(format, width)} * height);
}

DeviceContextHandle DibSurface::AcquireDC() {
    if (format == 0 || !hBitmap) return nullptr;
    if (accessCount > 0) {
        if (accessPitch != 0) return nullptr;  // locked
        if (accessCount == kMaxAccessCount) return nullptr;
        ++accessCount;
        return memoryDC;
    }
    if (!keepDC) {
        memoryDC = CreateMemoryDC(nullptr);
        if (!memoryDC) return nullptr;
        oldBitmap = SelectBitmap(memoryDC, hBitmap);
        if (!oldBitmap) {
            DeleteMemoryDC(memoryDC);
            memoryDC = nullptr;
            return nullptr;
        }
        // A fresh context: its colour table must be written whatever was recorded.
        paletteSerialSeen = kSerialUnknown;
    }
    // A kept context too picks up palette changes made since the last copy.
    accessPointer = memoryDC;
    accessPitch = 0;
    SyncPalette();
    ++accessCount;
    return memoryDC;
}

void DibSurface::ReleaseDC() {
    if (accessCount == 0 || accessPitch != 0) return;
    if (--accessCount > 0) return;
    accessPointer = nullptr;
    if (!keepDC) DropMemoryDC();
}

}  // namespace gfx
