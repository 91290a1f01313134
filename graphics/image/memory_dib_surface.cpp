#include "graphics/image/memory_dib_surface.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "graphics/image/dib_codec_table.h"
#include "graphics/core/dib_header.h"
#include "graphics/core/dib_layout.h"
#include "graphics/core/foreign_dib.h"
#include "graphics/image/page_touch.h"
#include "graphics/io/buffer_stream.h"
#include "graphics/io/global_memory_stream.h"
#include "graphics/platform/global_memory.h"

namespace gfx {

namespace {

// Offset of the 40-byte header in a block: after the "BM" file header when there is one.
uint32_t HeaderOffset(const Stream* stream) {
    const bool file =
        stream->size >= DIB_FILE_HEADER_BYTES && stream->data[0] == 'B' && stream->data[1] == 'M';
    return file ? DIB_FILE_HEADER_BYTES : 0;
}

// Keeps a stream locked for one scope.
class StreamLock {
  public:
    explicit StreamLock(Stream* stream) : stream_(stream) { stream_->Lock(); }
    ~StreamLock() { stream_->Unlock(); }
    StreamLock(const StreamLock&) = delete;
    StreamLock& operator=(const StreamLock&) = delete;

  private:
    Stream* stream_;
};

// A packed copy of a bitmap file whose rows do not follow its colour table.
Stream* PackedCopy(const uint8_t* block, const DibLayout& layout) {
    auto* copy = new (std::nothrow) GlobalMemoryStream(layout.tableBytes + layout.imageBytes, true);
    if (!copy || !copy->data) {
        delete copy;
        return nullptr;
    }
    std::memcpy(copy->data, block + layout.headerOffset, layout.tableBytes);
    std::memcpy(copy->data + layout.tableBytes, block + layout.pixelOffset, layout.imageBytes);
    return copy;
}

// The converted copy of a bitmap in one of the other header forms, or null when it is none.
Stream* ConvertedCopy(const uint8_t* block, uint32_t size) {
    ForeignDib foreign;
    if (!ReadForeignDib(block, size, &foreign)) return nullptr;
    auto* copy = new (std::nothrow) GlobalMemoryStream(foreign.convertedBytes, true);
    if (!copy || !copy->data) {
        delete copy;
        return nullptr;
    }
    WriteConvertedDib(block, foreign, copy->data);
    return copy;
}

}  // namespace

MemoryDibSurface::~MemoryDibSurface() { MemoryDibSurface::Free(); }

void MemoryDibSurface::Reset() {
    Surface::Reset();
    dibStream = nullptr;
    encoded = 0;
}

Result MemoryDibSurface::Free() {
    // The base forms: detaching must not depend on the image this surface still holds.
    Surface::SetPalette(nullptr);
    Surface::SetRegion(nullptr);
    delete dibStream;
    Reset();
    return ResultOk;
}

SurfaceKind MemoryDibSurface::GetKind() const { return KIND_MEMORY_DIB; }

int32_t MemoryDibSurface::IsBottomUp() const { return 1; }

Surface* MemoryDibSurface::NewSurface() { return new (std::nothrow) MemoryDibSurface; }

uint32_t MemoryDibSurface::IsEncoded() const { return encoded; }

const uint8_t* MemoryDibSurface::GetDibHeader() const {
    if (!dibStream || !dibStream->data) return nullptr;
    return dibStream->data + HeaderOffset(dibStream);
}

uint32_t MemoryDibSurface::GetDibLength() const {
    if (!dibStream || !dibStream->data) return 0;
    return dibStream->size - HeaderOffset(dibStream);
}

Result MemoryDibSurface::Create(int32_t newWidth, int32_t newHeight, PixelFormat newFormat,
                                uint32_t, DeviceContextHandle) {
    Free();
    if (!SurfaceSizeSupported(newWidth, newHeight, newFormat)) return ResultInvalid;
    uint8_t header[DIB_HEADER_BUFFER_BYTES];
    const uint32_t headerLength =
        BuildDibHeader(newWidth, newHeight, newFormat, header, sizeof header);
    const uint32_t total = PackedDibSize(header, headerLength);
    if (headerLength == 0 || total < headerLength) return ResultInvalid;

    auto* stream = new (std::nothrow) GlobalMemoryStream(total, true);
    if (!stream || !stream->data) {
        delete stream;
        return ResultInvalid;
    }
    std::memcpy(stream->data, header, headerLength);
    // Zeroed rows: a new image reads the same on every run.
    std::memset(stream->data + headerLength, 0, total - headerLength);
    const Result status = AttachDib(stream);
    if (status != ResultOk) delete stream;
    return status;
}

Result MemoryDibSurface::AttachDib(Stream* stream) {
    // The block held now is attached again rather than freed first.
    if (stream && stream == dibStream) dibStream = nullptr;
    Free();
    if (!stream) return ResultInvalid;
    stream->Lock();
    // A bitmap the library does not keep as it stands (another header form, a gap before the
    // rows) is held as a packed copy, so that every reader of the block (Lock, the codecs,
    // CopyFrom) finds a 40-byte header with the rows bottom-up after the table.
    Stream* copy = nullptr;
    DibLayout layout;
    if (!stream->data || !ReadDibLayout(stream->data, stream->size, &layout)) {
        copy = stream->data ? ConvertedCopy(stream->data, stream->size) : nullptr;
        if (!copy || !ReadDibLayout(copy->data, copy->size, &layout) || !layout.IsPacked()) {
            delete copy;
            stream->Unlock();
            return ResultInvalid;
        }
    }
    const uint8_t* header = (copy ? copy->data : stream->data) + layout.headerOffset;

    // The palette is made before anything is given up, so that a failure leaves the stream with
    // the caller as it was.
    Palette* built = nullptr;
    if (IsIndexedFormat(layout.format)) {
        const uint32_t count = 1u << BitsPerPixel(layout.format);
        PaletteEntry entries[256] = {};
        // Entries the table does not hold stay black.
        const uint32_t stored = std::min(count, layout.TableEntries());
        ReadDibColours(header + DIB_HEADER_BYTES, stored, entries);
        built = NewPalette();
        if (!built || built->Create(count) != ResultOk ||
            built->SetEntries(entries, 0, count) != ResultOk) {
            if (built) built->Release();
            delete copy;
            stream->Unlock();
            return ResultInvalid;
        }
    }

    if (!copy && !layout.IsPacked()) {
        copy = PackedCopy(stream->data, layout);
        if (!copy) {
            if (built) built->Release();
            stream->Unlock();
            return ResultInvalid;
        }
    }
    stream->Unlock();
    Stream* held = stream;
    if (copy) {
        delete stream;
        held = copy;
    }

    dibStream = held;
    width = static_cast<uint16_t>(layout.header.biWidth);
    height = static_cast<uint16_t>(layout.header.biHeight);
    format = layout.format;
    encoded = layout.encoded ? 1 : 0;
    if (built) {
        SetPalette(built);
        built->Release();
    }
    return ResultOk;
}

Result MemoryDibSurface::Lock(uint8_t** address, int32_t* pitch) {
    if (!dibStream || format == 0) return ResultNoImage;
    if (encoded) return ResultEncoded;
    if (!address || !pitch) return ResultInvalid;
    // Kind 1 hands out no device context, so any outstanding access is a lock; an image without
    // columns (pitch 0) nests like any other.
    if (accessCount > 0) {
        if (accessCount == UINT16_MAX) return ResultInvalid;
        ++accessCount;
        *address = static_cast<uint8_t*>(accessPointer);
        *pitch = accessPitch;
        return ResultOk;
    }
    dibStream->Lock();
    DibLayout layout;
    // The block is checked again: a movable block may have moved, and a writable one may have
    // been written since it was attached.
    if (!dibStream->data || !ReadDibLayout(dibStream->data, dibStream->size, &layout) ||
        !layout.IsPacked() || layout.encoded || layout.format != format ||
        layout.header.biWidth != width || layout.header.biHeight != height) {
        dibStream->Unlock();
        return ResultInvalid;
    }
    accessPointer = dibStream->data + layout.pixelOffset;
    accessPitch = static_cast<uint16_t>(RowBytes(format, width));
    accessCount = 1;
    *address = static_cast<uint8_t*>(accessPointer);
    *pitch = accessPitch;
    return ResultOk;
}

Result MemoryDibSurface::Unlock() {
    if (accessCount > 1) {
        --accessCount;
    } else if (accessCount == 1) {
        accessCount = 0;
        accessPointer = nullptr;
        accessPitch = 0;
        if (dibStream) dibStream->Unlock();
    }
    return ResultOk;
}

Result MemoryDibSurface::SetPalette(Palette* newPalette) {
    return SetColourTablePalette(newPalette, &paletteSerialSeen);
}

bool MemoryDibSurface::TableWritable() const {
    return dibStream && dibStream->kind != STREAM_MAPPED_FILE &&
           dibStream->kind != STREAM_RESOURCE && dibStream->readOnly == 0;
}

Result MemoryDibSurface::SyncPalette() {
    if (!palette || palette->GetSerial() == paletteSerialSeen || !TableWritable()) {
        return ResultOk;
    }
    StreamLock lock(dibStream);
    DibLayout layout;
    if (!dibStream->data || !ReadDibLayout(dibStream->data, dibStream->size, &layout)) {
        return ResultOk;
    }
    // Only the entries the table holds: a short table is followed by the rows.
    const uint32_t count = std::min(palette->GetEntryCount(), layout.TableEntries());
    WriteDibColours(palette->GetEntryData(), count,
                    dibStream->data + layout.headerOffset + DIB_HEADER_BYTES);
    return ResultOk;
}

void MemoryDibSurface::TouchPages() {
    if (!dibStream) return;
    StreamLock lock(dibStream);
    if (dibStream->data) PageTouch(dibStream->data, dibStream->size);
}

Result MemoryDibSurface::CopyFrom(Surface* source) {
    // Freeing this surface first would free the source.
    if (source == this) return ResultOk;
    Free();
    if (!source) return ResultInvalid;
    if (source->GetFormat() == 0) return ResultNoImage;
    auto* dib =
        source->GetKind() == KIND_MEMORY_DIB ? dynamic_cast<MemoryDibSurface*>(source) : nullptr;
    if (!dib) return Surface::CopyFrom(source);
    if (!dib->dibStream) return ResultNoImage;

    // The block is copied as it is, encoded or not.
    GlobalMemoryStream* copy = nullptr;
    {
        StreamLock lock(dib->dibStream);
        const uint8_t* header = dib->GetDibHeader();
        DibLayout layout;
        if (!header || !ReadDibLayout(header, dib->GetDibLength(), &layout)) return ResultInvalid;
        const uint32_t total = layout.tableBytes + layout.imageBytes;
        copy = new (std::nothrow) GlobalMemoryStream(total, true);
        if (!copy || !copy->data) {
            delete copy;
            return ResultInvalid;
        }
        std::memcpy(copy->data, header, total);
    }
    const Result status = AttachDib(copy);
    if (status != ResultOk) {
        delete copy;
        return status;
    }
    // The source's colour table may not have followed its palette (a read-only block); the copy
    // takes the palette's colours, as a copy by rows would.
    if (Palette* sourcePalette = dib->GetPalette()) {
        if (Palette* colours = NewPalette()) {
            if (colours->CopyFrom(sourcePalette) == ResultOk) SetPalette(colours);
            colours->Release();
        }
    }
    return ResultOk;
}

Result MemoryDibSurface::ConvertFormat(PixelFormat newFormat, Palette* newPalette, uint32_t flags,
                                       int32_t reserved, ConvertProgress progress,
                                       int32_t userData) {
    if (encoded) return ResultEncoded;
    return Surface::ConvertFormat(newFormat, newPalette, flags, reserved, progress, userData);
}

Result MemoryDibSurface::Encode(uint32_t tag) {
    if (!dibStream) return ResultNoImage;
    if (encoded) return ResultAlreadyEncoded;
    if (accessCount > 0) return ResultLocked;
    const DibCodec* codec = FindDibCodec(tag);
    if (!codec || !codec->encodes) return ResultUnknownEncoding;
    if (!codec->encode) return ResultUnsupported;
    CodedDib result;
    {
        StreamLock lock(dibStream);
        const uint8_t* header = GetDibHeader();
        if (!header) return ResultNoImage;
        result = codec->encode(header, GetDibLength());
    }
    return SwapStream(result.block, result.size, true);
}

Result MemoryDibSurface::Decode() {
    if (!dibStream) return ResultNoImage;
    if (!encoded) return ResultNotEncoded;
    CodedDib result;
    {
        StreamLock lock(dibStream);
        const uint8_t* header = GetDibHeader();
        DibHeader parsed;
        if (!header || !ReadDibHeader(header, GetDibLength(), &parsed)) return ResultNoImage;
        const DibCodec* codec = FindDibCodec(parsed.biCompression);
        if (!codec || !codec->decodes) return ResultUnknownEncoding;
        if (!codec->decode) return ResultUnsupported;
        result = codec->decode(header, GetDibLength());
    }
    return SwapStream(result.block, result.size, false);
}

Result MemoryDibSurface::SwapStream(void* block, uint32_t size, bool nowEncoded) {
    if (!block) return ResultInvalid;
    // A codec's result must describe the same image, packed, in the state asked for.
    DibLayout layout;
    const bool fits = ReadDibLayout(static_cast<const uint8_t*>(block), size, &layout) &&
                      layout.headerOffset == 0 && layout.IsPacked() &&
                      layout.encoded == nowEncoded && layout.format == format &&
                      layout.header.biWidth == width && layout.header.biHeight == height;
    BufferStream* stream = fits ? new (std::nothrow) BufferStream(
                                      block, layout.tableBytes + layout.imageBytes, true, false)
                                : nullptr;
    if (!stream) {
        GlobalMemoryFree(block);
        return ResultInvalid;
    }
    delete dibStream;
    dibStream = stream;
    encoded = nowEncoded ? 1 : 0;
    return ResultOk;
}

}  // namespace gfx
