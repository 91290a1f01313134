#include "graphics/codec/container_surface.h"

#include <cstring>
#include <new>
#include <string>

#include "graphics/codec/container_header.h"
#include "graphics/image/load_flags.h"
#include "graphics/image/load_source.h"
#include "graphics/image/memory_dib_surface.h"
#include "graphics/image/split_path.h"
#include "graphics/io/global_memory_stream.h"
#include "graphics/io/sub_stream.h"

namespace gfx {

namespace {

// With image type 0, a source named like a bitmap is read as one. Only a path or a resource name
// given as text has an extension: a stream or a resource id is never taken for text.
bool NamesABitmap(const void* source, uint32_t loadFlags) {
    if ((loadFlags & LOAD_TYPE_MASK) != LOAD_AUTO || !source) return false;
    const auto* name = static_cast<const char*>(source);
    switch (loadFlags & LOAD_SOURCE_MASK) {
        case LOAD_FROM_FILE:
            break;
        case LOAD_FROM_RESOURCE:
            if (IsIntResource(name)) return false;
            break;
        default:
            return false;
    }
    PathParts parts;
    return SplitPath(name, &parts) && HasExtension(parts, "bmp");
}

}  // namespace

ContainerSurface::~ContainerSurface() { ContainerSurface::Free(); }

SurfaceKind ContainerSurface::GetKind() const { return KIND_CONTAINER; }

Surface* ContainerSurface::NewSurface() { return new (std::nothrow) ContainerSurface; }

Result ContainerSurface::Free() {
    if (ownsPixelStream) delete pixelStream;
    pixelStream = nullptr;
    ownsPixelStream = false;
    return Surface::Free();
}

Result ContainerSurface::Create(int32_t newWidth, int32_t newHeight, PixelFormat newFormat,
                                uint32_t, DeviceContextHandle) {
    Free();
    if (!SurfaceSizeSupported(newWidth, newHeight, newFormat)) return ResultInvalid;
    // At most 65532 x 65535 bytes: the product fits in 32 bits.
    const uint32_t bytes = RowBytes(newFormat, newWidth) * static_cast<uint32_t>(newHeight);
    auto* stream = new (std::nothrow) GlobalMemoryStream(bytes, true);
    if (!stream || !stream->data) {
        delete stream;
        return ResultNoMemory;
    }
    // Zeroed rows: a new image reads the same on every run.
    if (bytes) std::memset(stream->data, 0, bytes);
    const Result status = AttachRaw(stream, newWidth, newHeight, newFormat, nullptr, true);
    if (status != ResultOk) delete stream;
    return status;
}

Result ContainerSurface::AttachRaw(Stream* stream, int32_t newWidth, int32_t newHeight,
                                   PixelFormat newFormat, const PaletteEntry* entries,
                                   bool takeOwnership) {
    // The stream held now is attached again rather than destroyed first.
    if (stream && stream == pixelStream) pixelStream = nullptr;
    Free();
    if (!stream || !stream->data) return ResultInvalid;
    const int32_t keptWidth = newWidth & 0xFFFF;
    const int32_t keptHeight = newHeight & 0xFFFF;
    if (!SurfaceSizeSupported(keptWidth, keptHeight, newFormat)) return ResultInvalid;
    const uint64_t rowsBytes =
        uint64_t{RowBytes(newFormat, keptWidth)} * static_cast<uint64_t>(keptHeight);
    if (stream->size < rowsBytes) return ResultInvalid;

    // The palette is made before the stream is taken, so that a failure leaves it with the caller.
    Palette* built = nullptr;
    if (IsIndexedFormat(newFormat)) {
        const uint32_t count = 1u << BitsPerPixel(newFormat);
        built = NewPalette();
        if (!built || built->Create(count) != ResultOk ||
            (entries && built->SetEntries(entries, 0, count) != ResultOk)) {
            if (built) built->Release();
            return ResultInvalid;
        }
    }
    pixelStream = stream;
    ownsPixelStream = takeOwnership;
    width = static_cast<uint16_t>(keptWidth);
    height = static_cast<uint16_t>(keptHeight);
    format = newFormat;
    if (built) {
        SetPalette(built);
        built->Release();
    }
    return ResultOk;
}

Result ContainerSurface::Lock(uint8_t** address, int32_t* pitch) {
    if (!pixelStream || format == 0) return ResultNoImage;
    if (!address || !pitch) return ResultInvalid;
    *address = pixelStream->data;
    *pitch = static_cast<int32_t>(RowBytes(format, width));
    return ResultOk;
}

Result ContainerSurface::Unlock() { return ResultOk; }

Result ContainerSurface::Load(const void* source, uint32_t loadFlags, ModuleHandle module,
                              const char* resourceType, Surface* templateSurface, uint32_t,
                              DeviceContextHandle) {
    // The stream this surface holds is read again, not destroyed before it is read: one it owns
    // is consumed, one it was lent stays with the lender, whatever LOAD_COPY says.
    if ((loadFlags & LOAD_SOURCE_MASK) == LOAD_FROM_STREAM && source && source == pixelStream) {
        loadFlags = ownsPixelStream ? loadFlags & ~LOAD_COPY : loadFlags | LOAD_COPY;
        pixelStream = nullptr;
        ownsPixelStream = false;
    }
    Free();
    if (NamesABitmap(source, loadFlags)) {
        return LoadBitmapCopy(source, loadFlags, module, resourceType, templateSurface);
    }

    LoadSource opened;
    if (!opened.Open(source, loadFlags, module, resourceType)) return ResultInvalid;
    if (!opened.stream) return ResultNoSource;
    // The lock lasts as long as the stream: the rows are used where they lie.
    if (!opened.stream->data || opened.stream->size == 0) {
        opened.GiveUp();
        return ResultNoSource;
    }
    ContainerHeader header;
    Result status = ReadContainerHeader(opened.stream->data, opened.stream->size, &header);
    if (status != ResultOk) {
        opened.GiveUp();
        return status;
    }
    if ((loadFlags & LOAD_COPY) && !opened.TakeCopy()) return ResultNoMemory;
    Stream* stream = opened.stream;

    PaletteEntry entries[256];
    if (header.paletteBytes) {
        std::memcpy(entries, stream->data + header.paletteOffset, header.paletteBytes);
    }
    auto* rows = new (std::nothrow)
        SubStream(stream, header.pixelOffset, stream->size - header.pixelOffset, true);
    if (!rows) {
        delete stream;
        return ResultNoMemory;
    }
    status = AttachRaw(rows, header.width, header.height, header.format,
                       header.paletteBytes ? entries : nullptr, true);
    if (status != ResultOk) {
        delete rows;
        return status;
    }
    SetFrameCount(header.frameCount);
    if ((loadFlags & LOAD_CONVERT) && templateSurface && templateSurface->GetFormat() != 0) {
        return ConvertFormat(templateSurface->GetFormat(), templateSurface->GetPalette(), 0, 0,
                             nullptr, 0);
    }
    return status;
}

Result ContainerSurface::LoadBitmapCopy(const void* source, uint32_t loadFlags, ModuleHandle module,
                                        const char* resourceType, Surface* templateSurface) {
    MemoryDibSurface bitmap;
    const Result status = bitmap.Load(source, loadFlags & ~(LOAD_TYPE_MASK | LOAD_COPY), module,
                                      resourceType, templateSurface, 0, nullptr);
    if (status != ResultOk) return status;
    // A plain bitmap answers ResultNotEncoded; an encoding without a decoder shows at the copy.
    bitmap.Decode();
    return CopyFrom(&bitmap);
}

}  // namespace gfx
