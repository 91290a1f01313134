// The file writers on whatever the loaders accept: the input is loaded from a stream as a bitmap
// and as a container, each loaded image is written as a bitmap file and (when it has plain rows)
// as a container into memory, and what is written must load back as the same picture: size,
// format, palette and rows, and for an encoded bitmap the same encoded bytes.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "fuzz/surface_input.h"
#include "graphics/codec/bitmap_file_writer.h"
#include "graphics/codec/container_file_writer.h"
#include "graphics/codec/container_surface.h"
#include "graphics/core/dib_layout.h"
#include "graphics/image/load_flags.h"
#include "graphics/image/memory_dib_surface.h"

namespace {

class MemoryWriter : public gfx::ByteWriter {
  public:
    bool Write(const void* data, uint32_t size) override {
        const auto* bytes = static_cast<const uint8_t*>(data);
        written.insert(written.end(), bytes, bytes + size);
        return true;
    }
    std::vector<uint8_t> written;
};

void Check(bool holds) {
    if (!holds) __builtin_trap();
}

// Size, format, palette (flags too when both keep them) and every row, top line first.
std::vector<uint8_t> Picture(gfx::Surface& surface, bool withFlags) {
    std::vector<uint8_t> picture(12);
    const int32_t fields[] = {surface.GetWidth(), surface.GetHeight(),
                              static_cast<int32_t>(surface.GetFormat())};
    std::memcpy(picture.data(), fields, sizeof fields);
    if (const gfx::Palette* palette = surface.GetPalette()) {
        for (uint32_t i = 0; i < palette->GetEntryCount(); ++i) {
            const gfx::PaletteEntry e = palette->GetEntryData()[i];
            picture.insert(picture.end(),
                           {e.red, e.green, e.blue, withFlags ? e.flags : uint8_t(0)});
        }
    }
    uint8_t* rows = nullptr;
    int32_t pitch = 0;
    if (surface.Lock(&rows, &pitch) != gfx::ResultOk) return picture;
    const uint32_t rowBytes = gfx::RowBytes(surface.GetFormat(), surface.GetWidth());
    const int32_t height = surface.GetHeight();
    for (int32_t i = 0; i < height; ++i) {
        const uint8_t* row = rows + ptrdiff_t(surface.IsBottomUp() ? height - 1 - i : i) * pitch;
        picture.insert(picture.end(), row, row + rowBytes);
    }
    surface.Unlock();
    return picture;
}

// The encoded bytes after the header and table of an encoded image.
std::vector<uint8_t> EncodedData(gfx::MemoryDibSurface& surface) {
    gfx::DibLayout layout;
    Check(gfx::ReadDibLayout(surface.GetDibHeader(), surface.GetDibLength(), &layout));
    const uint8_t* data = surface.GetDibHeader() + layout.tableBytes;
    return std::vector<uint8_t>(data, data + layout.imageBytes);
}

void CheckBitmapRoundTrip(gfx::Surface& source) {
    MemoryWriter file;
    if (gfx::WriteBitmapFile(source, file) != gfx::ResultOk) return;
    gfx::MemoryDibSurface back;
    Check(back.Load(StreamOf(file.written.data(), file.written.size()), gfx::LOAD_FROM_STREAM,
                    nullptr, nullptr, nullptr, 0, nullptr) == gfx::ResultOk);
    auto* held = dynamic_cast<gfx::MemoryDibSurface*>(&source);
    const bool encoded = held && held->IsEncoded();
    Check(back.IsEncoded() == (encoded ? 1u : 0u));
    if (encoded) Check(EncodedData(back) == EncodedData(*held));
    // A bitmap reads a BGR code back as the RGB code of its family: compared as such.
    const gfx::PixelFormat format = source.GetFormat();
    if (format != gfx::FMT_BGR555 && format != gfx::FMT_BGR565) {
        Check(Picture(back, false) == Picture(source, false));
    }
}

void CheckContainerRoundTrip(gfx::Surface& source) {
    MemoryWriter file;
    if (gfx::WriteContainerFile(source, file) != gfx::ResultOk) return;
    gfx::ContainerSurface back;
    Check(back.Load(StreamOf(file.written.data(), file.written.size()),
                    gfx::LOAD_FROM_STREAM | gfx::LOAD_CONTAINER, nullptr, nullptr, nullptr, 0,
                    nullptr) == gfx::ResultOk);
    Check(back.GetFrameCount() == source.GetFrameCount());
    Check(Picture(back, source.GetKind() == gfx::KIND_CONTAINER) ==
          Picture(source, source.GetKind() == gfx::KIND_CONTAINER));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > UINT32_MAX) return 0;
    gfx::MemoryDibSurface bitmap;
    if (bitmap.Load(StreamOf(data, size), gfx::LOAD_FROM_STREAM, nullptr, nullptr, nullptr, 0,
                    nullptr) == gfx::ResultOk) {
        CheckBitmapRoundTrip(bitmap);
        CheckContainerRoundTrip(bitmap);
    }
    gfx::ContainerSurface container;
    if (container.Load(StreamOf(data, size), gfx::LOAD_FROM_STREAM | gfx::LOAD_CONTAINER, nullptr,
                       nullptr, nullptr, 0, nullptr) == gfx::ResultOk) {
        CheckBitmapRoundTrip(container);
        CheckContainerRoundTrip(container);
    }
    return 0;
}
