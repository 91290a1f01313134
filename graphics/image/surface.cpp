#include "graphics/image/surface.h"

#include <cstddef>
#include <cstring>
#include <new>


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

    uint8_t* from = nullptr;
    int32_t fromPitch = 0;
    Result status = source->Lock(&from, &fromPitch);
    if (status != ResultOk) return status;

    Free();
    const int32_t rows = source->GetHeight();
    status = Create(source->GetWidth(), rows, source->format, 0, nullptr);
    if (status != ResultOk) {
        source->Unlock();
        return status;
    }
    uint8_t* to = nullptr;
    int32_t toPitch = 0;
    status = Lock(&to, &toPitch);
    if (status != ResultOk) {
        source->Unlock();
        return status;
    }

    const uint32_t rowBytes = RowBytes(format, GetWidth());
    // Both sides must really hold rows of this size; a kind that made something else is refused
    // rather than read or written past its rows.
    const bool rowsFit =
        rowBytes == 0 || rows == 0 ||
        (from && to && fromPitch >= int64_t{rowBytes} && toPitch >= int64_t{rowBytes});
    if (format != source->format || GetWidth() != source->GetWidth() || GetHeight() != rows ||
        !rowsFit) {
        Unlock();
        source->Unlock();
        Free();
        return ResultInvalid;
    }
    if (rowBytes != 0) {
        const bool reverse = ((IsBottomUp() ^ source->IsBottomUp()) & 1) != 0;
        for (int32_t i = 0; i < rows; ++i) {
            const int32_t target = reverse ? rows - 1 - i : i;
            std::memcpy(to + std::ptrdiff_t{target} * toPitch, from + std::ptrdiff_t{i} * fromPitch,
                        rowBytes);
        }
    }
    Unlock();
    source->Unlock();

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
