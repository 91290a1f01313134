#include "graphics/image/surface.h"

#include <new>

#include "graphics/image/copy_surface_rows.h"


namespace gfx {

int32_t Surface::AddRef() { return ++refCount; }

int32_t Surface::Release() {
    const int32_t count = --refCount;
    if (count <= 0) delete this;
    return count;
}

void Surface::Reset() {
    width = 0;
    height = 0;
    format = 0;
    accessPointer = nullptr;
    accessPitch = 0;
    accessCount = 0;
    sourceKey = 0;
    destKey = 0;
    palette = nullptr;
    region = nullptr;
    frameCount = 1;
}

Surface::~Surface() { Surface::Free(); }

Result Surface::Create(int32_t, int32_t, PixelFormat, uint32_t, DeviceContextHandle) {
    return ResultUnsupported;
}

Result Surface::Load(const void*, uint32_t, ModuleHandle, const char*, Surface*, uint32_t,
                     DeviceContextHandle) {
    return ResultUnsupported;
}

Result Surface::CopyFrom(Surface* source) {
    if (!source) return ResultInvalid;
    // Freeing this surface would free the rows being copied; a surface already equals itself.
    if (source == this) return ResultOk;

    // A source that cannot be read leaves this surface as it is.
    uint8_t* from = nullptr;
    int32_t fromPitch = 0;
    Result status = source->Lock(&from, &fromPitch);
    if (status != ResultOk) return status;

    Free();
    status = Create(source->GetWidth(), source->GetHeight(), source->format, 0, nullptr);
    if (status == ResultOk) status = CopySurfaceRows(source, this);
    source->Unlock();
    if (status != ResultOk) {
        Free();
        return status;
    }

    if (Palette* sourcePalette = source->GetPalette()) {
        if (Palette* copy = NewPalette()) {
            copy->CopyFrom(sourcePalette);
            SetPalette(copy);
            copy->Release();
        }
    }
    SetFrameCount(source->GetFrameCount());
    return ResultOk;
}

Result Surface::Free() {
    // The base forms: a kind's SetPalette may refuse to detach, but Free must always release.
    Surface::SetPalette(nullptr);
    Surface::SetRegion(nullptr);
    Reset();
    return ResultOk;
}

SurfaceKind Surface::GetKind() const { return KIND_BASE; }

int32_t Surface::GetWidth() const { return width; }

int32_t Surface::GetHeight() const { return height; }

Palette* Surface::GetPalette() const { return palette; }

Result Surface::SyncPalette() { return ResultUnsupported; }

Result Surface::SetPalette(Palette* newPalette) {
    // Add before dropping, so that attaching the palette already held keeps it alive.
    if (newPalette) newPalette->AddRef();
    if (palette) palette->Release();
    palette = newPalette;
    return ResultOk;
}

Result Surface::SetColourTablePalette(Palette* newPalette, int32_t* serialSeen) {
    if (format == 0) return ResultNoImage;
    if (!newPalette) return Surface::SetPalette(nullptr);
    const uint32_t count = newPalette->GetEntryCount();
    if (count == 0) return ResultEmptyPalette;
    if (!IsIndexedFormat(format) || count != 1u << BitsPerPixel(format)) {
        return ResultPaletteMismatch;
    }
    Surface::SetPalette(newPalette);
    // One behind the palette's serial, so that the next SyncPalette copies.
    *serialSeen = newPalette->GetSerial() - 1;
    SyncPalette();
    return ResultOk;
}

Palette* Surface::NewPalette() { return new (std::nothrow) Palette; }

ClipRegion* Surface::GetRegion() const { return region; }

Result Surface::SetRegion(ClipRegion* newRegion) {
    if (newRegion) newRegion->AddRef();
    if (region) region->Release();
    region = newRegion;
    return ResultOk;
}

ClipRegion* Surface::NewRegion() { return new (std::nothrow) ClipRegion; }

Surface* Surface::NewSurface() { return new (std::nothrow) Surface; }

Result Surface::Reserved22(int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t) {
    return ResultUnsupported;
}

Result Surface::GetSourceKey(uint32_t* out) const {
    if (!out) return ResultInvalid;
    *out = sourceKey;
    return ResultOk;
}

Result Surface::SetSourceKey(uint32_t value) {
    sourceKey = value;
    return ResultOk;
}

Result Surface::GetDestKey(uint32_t* out) const {
    if (!out) return ResultInvalid;
    *out = destKey;
    return ResultOk;
}

Result Surface::SetDestKey(uint32_t value) {
    destKey = value;
    return ResultOk;
}

int32_t Surface::GetFrameCount() const { return frameCount; }

int32_t Surface::SetFrameCount(int32_t count) {
    frameCount = count < 1 ? 1 : count;
    return frameCount;
}

Result Surface::Lock(uint8_t**, int32_t*) { return ResultUnsupported; }

Result Surface::Unlock() { return ResultUnsupported; }

void Surface::TouchPages() {}

DeviceContextHandle Surface::AcquireDC() { return nullptr; }

void Surface::ReleaseDC() {}

int32_t Surface::IsBottomUp() const { return 0; }

}  // namespace gfx
