// MemoryDibSurface::Load: the choice between the bitmap, JPEG and container readers, and the
// bitmap and JPEG readers themselves.
#include <new>
#include <string>

#include "graphics/core/dib_header.h"
#include "graphics/image/image_readers.h"
#include "graphics/image/load_flags.h"
#include "graphics/image/load_source.h"
#include "graphics/image/make_temp_file_name.h"
#include "graphics/image/memory_dib_surface.h"
#include "graphics/image/split_path.h"
#include "graphics/io/buffer_stream.h"
#include "graphics/io/resource_stream.h"
#include "graphics/platform/file.h"
#include "graphics/platform/global_memory.h"

namespace gfx {

namespace {

enum class ImagePath { Bitmap, Jpeg, Container, Refused };

ImagePath ChoosePath(const void* source, uint32_t loadFlags) {
    const uint32_t type = loadFlags & LOAD_TYPE_MASK;
    if (type == LOAD_JPEG) return ImagePath::Jpeg;
    if (type == LOAD_CONTAINER) return ImagePath::Container;
    if (type != LOAD_AUTO || (loadFlags & LOAD_SOURCE_MASK) != LOAD_FROM_FILE) {
        return ImagePath::Bitmap;
    }
    PathParts parts;
    if (!SplitPath(static_cast<const char*>(source), &parts)) return ImagePath::Refused;
    if (HasExtension(parts, "jpg") || HasExtension(parts, "jpeg")) {
        return ImagePath::Jpeg;
    }
    if (HasExtension(parts, "zbm")) return ImagePath::Container;
    return ImagePath::Bitmap;
}

// Writes `stream` to a new temporary file and decodes that. The file is gone afterwards.
void* ReadJpegThroughTempFile(Stream* stream, bool destroyStream) {
    const uint32_t size = stream->size;
    const std::string temp = MakeTempFileName("BMP");
    const uint32_t written = temp.empty() ? 0 : stream->WriteToFile(temp.c_str());
    if (destroyStream) delete stream;
    if (temp.empty()) return nullptr;
    void* dib = written >= size ? ReadJpegFile(temp.c_str()) : nullptr;
    FileDelete(temp.c_str());
    return dib;
}

// Whether the stream holds any bytes.
bool HasBytes(Stream* stream) {
    stream->Lock();
    const bool bytes = stream->data && stream->size != 0;
    stream->Unlock();
    return bytes;
}

}  // namespace

Result MemoryDibSurface::Load(const void* source, uint32_t loadFlags, ModuleHandle module,
                              const char* resourceType, Surface* templateSurface,
                              uint32_t createFlags, DeviceContextHandle referenceDC) {
    // A stream this surface holds already is loaded again, not freed before it is read; it stays
    // the surface's to destroy, so it is taken as it is.
    if ((loadFlags & LOAD_SOURCE_MASK) == LOAD_FROM_STREAM && source && source == dibStream) {
        dibStream = nullptr;
        loadFlags &= ~LOAD_COPY;
    }
    Free();
    if (!source) return ResultInvalid;
    switch (ChoosePath(source, loadFlags)) {
        case ImagePath::Bitmap:
            return LoadBitmap(source, loadFlags, module, resourceType, templateSurface);
        case ImagePath::Jpeg:
            return LoadJpeg(source, loadFlags, module, resourceType);
        case ImagePath::Container:
            return LoadContainer(source, loadFlags, module, resourceType, templateSurface,
                                 createFlags, referenceDC);
        case ImagePath::Refused:
            break;
    }
    return ResultInvalid;
}

Result MemoryDibSurface::LoadBitmap(const void* source, uint32_t loadFlags, ModuleHandle module,
                                    const char* resourceType, Surface* templateSurface) {
    LoadSource opened;
    if (!opened.Open(source, loadFlags, module, resourceType) || !opened.stream) {
        return ResultInvalid;
    }
    if (!opened.stream->data) {
        opened.GiveUp();
        return ResultInvalid;
    }
    if ((loadFlags & LOAD_COPY) && !opened.TakeCopy()) return ResultInvalid;

    // The stream is the load's now: the surface takes it, or it goes.
    Stream* stream = opened.stream;
    const Result status = AttachDib(stream);
    if (status != ResultOk) {
        delete stream;
        return status;
    }
    if (encoded && (loadFlags & LOAD_DECODE)) Decode();
    if ((loadFlags & LOAD_CONVERT) && templateSurface && templateSurface->GetFormat() != 0) {
        return ConvertFormat(templateSurface->GetFormat(), templateSurface->GetPalette(), 0, 0,
                             nullptr, 0);
    }
    return status;
}

Result MemoryDibSurface::LoadJpeg(const void* source, uint32_t loadFlags, ModuleHandle module,
                                  const char* resourceType) {
    void* dib = nullptr;
    switch (loadFlags & LOAD_SOURCE_MASK) {
        case LOAD_FROM_FILE:
            dib = ReadJpegFile(static_cast<const char*>(source));
            break;
        case LOAD_FROM_RESOURCE: {
            auto* resource = new (std::nothrow)
                ResourceStream(module, static_cast<const char*>(source), resourceType);
            if (!resource) return ResultInvalid;
            if (resource->kind == STREAM_NONE || !HasBytes(resource)) {
                delete resource;
                return ResultInvalid;
            }
            dib = ReadJpegThroughTempFile(resource, true);
            break;
        }
        case LOAD_FROM_STREAM: {
            auto* stream = static_cast<Stream*>(const_cast<void*>(source));
            const bool destroy = (loadFlags & LOAD_COPY) == 0;
            if (!HasBytes(stream)) {
                if (destroy) delete stream;
                return ResultInvalid;
            }
            dib = ReadJpegThroughTempFile(stream, destroy);
            break;
        }
        default:
            return ResultInvalid;
    }
    if (!dib) return ResultInvalid;

    // The decoder's block is trusted no further than its allocation reaches.
    const size_t allocated = GlobalMemorySize(dib);
    const uint32_t packed = PackedDibSize(dib, allocated);
    auto* stream = packed != 0 && packed <= allocated ? new (std::nothrow)
                                                            BufferStream(dib, packed, true, false)
                                                      : nullptr;
    if (!stream) {
        GlobalMemoryFree(dib);
        return ResultInvalid;
    }
    const Result status = AttachDib(stream);
    if (status != ResultOk) delete stream;
    return status;
}

Result MemoryDibSurface::LoadContainer(const void* source, uint32_t loadFlags, ModuleHandle module,
                                       const char* resourceType, Surface* templateSurface,
                                       uint32_t createFlags, DeviceContextHandle referenceDC) {
    // A temporary container surface reads the image, which is then copied.
    Surface* container = NewContainerSurface();
    if (!container) {
        // A caller's stream is consumed as the container reader would consume it.
        if ((loadFlags & LOAD_SOURCE_MASK) == LOAD_FROM_STREAM && (loadFlags & LOAD_COPY) == 0) {
            delete static_cast<Stream*>(const_cast<void*>(source));
        }
        return ResultUnsupported;
    }
    Result status = container->Load(source, loadFlags, module, resourceType, templateSurface,
                                    createFlags, referenceDC);
    if (status == ResultOk) status = CopyFrom(container);
    container->Release();
    return status;
}

}  // namespace gfx
