#include "tools/gfx/png_file.h"

#include <zlib.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <unordered_map>

#include <stb/stb_image.h>
#include <stb/stb_image_write.h>

#include "graphics/core/channel_layout.h"
#include "graphics/core/palette_entry.h"
#include "graphics/core/pixel_format.h"
#include "graphics/image/palette.h"

namespace gfx_tool {

using namespace gfx;

namespace {

constexpr uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr uint8_t kColourGreyAlpha = 4;
constexpr uint8_t kColourIndexed = 3;
constexpr uint8_t kColourRgbAlpha = 6;
// zlib never expands data by more than this factor (deflate's longest match for its shortest
// code), so more pixel bytes than this times the compressed ones cannot be in the file.
constexpr uint64_t kInflateLimit = 1032;

uint32_t BigEndian32(const uint8_t* p) {
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

void PutBigEndian32(std::vector<uint8_t>& out, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(uint8_t(value >> shift));
}

// What the chunks of a PNG say before its pixels are inflated.
struct PngFacts {
    uint32_t width = 0, height = 0;
    uint8_t bitDepth = 0, colourType = 0;
    std::vector<PaletteEntry> palette;
    uint64_t compressedBytes = 0;
};

// Walks the chunks up to IEND, each checked to lie inside the block. False (with a reason) for
// something that is not a PNG or whose chunks do not add up.
bool ScanPng(const uint8_t* bytes, size_t size, PngFacts* facts, std::string* what) {
    if (size < sizeof kSignature || std::memcmp(bytes, kSignature, sizeof kSignature) != 0) {
        *what = "not a PNG file";
        return false;
    }
    size_t at = sizeof kSignature;
    bool header = false;
    while (true) {
        if (size - at < 12) {
            *what = "PNG file cut short";
            return false;
        }
        const uint32_t length = BigEndian32(bytes + at);
        const uint8_t* type = bytes + at + 4;
        const uint8_t* data = bytes + at + 8;
        if (length > size - at - 12) {
            *what = "PNG file cut short";
            return false;
        }
        if (!header) {
            if (std::memcmp(type, "IHDR", 4) != 0 || length != 13) {
                *what = "damaged PNG file: no header";
                return false;
            }
            facts->width = BigEndian32(data);
            facts->height = BigEndian32(data + 4);
            facts->bitDepth = data[8];
            facts->colourType = data[9];
            header = true;
        } else if (std::memcmp(type, "PLTE", 4) == 0) {
            if (length % 3 != 0 || length / 3 > 256 || length == 0) {
                *what = "damaged PNG file: bad palette";
                return false;
            }
            facts->palette.clear();
            for (uint32_t i = 0; i < length / 3; ++i) {
                facts->palette.push_back({data[3 * i], data[3 * i + 1], data[3 * i + 2], 0});
            }
        } else if (std::memcmp(type, "IDAT", 4) == 0) {
            facts->compressedBytes += length;
        } else if (std::memcmp(type, "IEND", 4) == 0) {
            break;
        }
        at += size_t(length) + 12;
    }
    if (facts->colourType == kColourIndexed && facts->palette.empty()) {
        *what = "damaged PNG file: indexed without a palette";
        return false;
    }
    return true;
}

// Memory row of image line y.
uint8_t* RowOf(Surface& surface, uint8_t* rows, int32_t pitch, int32_t y) {
    const int32_t row = (surface.IsBottomUp() & 1) ? surface.GetHeight() - 1 - y : y;
    return rows + ptrdiff_t(row) * pitch;
}

Result AttachPalette(Surface* surface, const std::vector<PaletteEntry>& entries) {
    Palette* palette = surface->NewPalette();
    if (!palette) return ResultInvalid;
    std::vector<PaletteEntry> full(256, PaletteEntry{0, 0, 0, 0});
    std::memcpy(full.data(), entries.data(), entries.size() * sizeof(PaletteEntry));
    Result status = palette->Create(256);
    if (status == ResultOk) status = palette->SetEntries(full.data(), 0, 256);
    if (status == ResultOk) status = surface->SetPalette(palette);
    palette->Release();
    return status;
}

// A channel's 8-bit value (left-aligned, low bits zero) widened to the full range.
uint8_t Widen(const ChannelPlace& place, uint32_t pixel) {
    const uint32_t value = place.Read(pixel);
    const uint32_t bits = 8 - place.scaleShift;
    return uint8_t(bits == 0 ? 0 : bits >= 8 ? value : value | (value >> bits) | (value >> (2 * bits)));
}

void AppendChunk(std::vector<uint8_t>& out, const char* type, const uint8_t* data, size_t length) {
    PutBigEndian32(out, uint32_t(length));
    const size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data, data + length);
    uLong crc = crc32(0, out.data() + start, uInt(length + 4));
    PutBigEndian32(out, uint32_t(crc));
}

// An 8-bit indexed PNG of `indices` (width x height, top line first).
bool EncodeIndexedPng(uint32_t width, uint32_t height, const std::vector<uint8_t>& indices,
                      const std::vector<PaletteEntry>& palette, std::vector<uint8_t>* png) {
    std::vector<uint8_t> filtered;
    filtered.reserve(size_t(width + 1) * height);
    for (uint32_t y = 0; y < height; ++y) {
        filtered.push_back(0);  // filter type None
        filtered.insert(filtered.end(), indices.begin() + ptrdiff_t(y) * width,
                        indices.begin() + ptrdiff_t(y + 1) * width);
    }
    uLongf packedLength = compressBound(uLong(filtered.size()));
    std::vector<uint8_t> packed(packedLength);
    if (compress2(packed.data(), &packedLength, filtered.data(), uLong(filtered.size()), 9) != Z_OK) {
        return false;
    }
    uint8_t header[13];
    const uint32_t size[2] = {width, height};
    for (int i = 0; i < 2; ++i) {
        for (int k = 0; k < 4; ++k) header[4 * i + k] = uint8_t(size[i] >> (24 - 8 * k));
    }
    header[8] = 8;               // bits per index
    header[9] = kColourIndexed;  // colour type
    header[10] = header[11] = header[12] = 0;
    std::vector<uint8_t> plte;
    for (const PaletteEntry& e : palette) plte.insert(plte.end(), {e.red, e.green, e.blue});

    png->assign(kSignature, kSignature + sizeof kSignature);
    AppendChunk(*png, "IHDR", header, sizeof header);
    AppendChunk(*png, "PLTE", plte.data(), plte.size());
    AppendChunk(*png, "IDAT", packed.data(), packedLength);
    AppendChunk(*png, "IEND", nullptr, 0);
    return true;
}

void AppendBytes(void* context, void* data, int size) {
    auto* out = static_cast<std::vector<uint8_t>*>(context);
    const auto* bytes = static_cast<const uint8_t*>(data);
    out->insert(out->end(), bytes, bytes + size);
}

}  // namespace

Result ReadPng(const uint8_t* bytes, size_t size, Surface* surface, std::string* what) {
    PngFacts facts;
    if (!ScanPng(bytes, size, &facts, what)) return ResultInvalid;
    const bool indexed = facts.colourType == kColourIndexed;
    const bool alpha = facts.colourType == kColourGreyAlpha || facts.colourType == kColourRgbAlpha;
    const PixelFormat format = indexed ? FMT_INDEX8 : alpha ? FMT_RGB32 : FMT_RGB24;
    if (facts.width == 0 || facts.height == 0 || facts.width > uint32_t(MAX_SURFACE_SIDE) ||
        facts.height > uint32_t(MAX_SURFACE_SIDE) ||
        !SurfaceSizeSupported(int32_t(facts.width), int32_t(facts.height), format)) {
        *what = "PNG picture too large for a surface";
        return ResultUnsupported;
    }
    // Refuse before inflating a picture whose pixels cannot be in the file: the decoder would
    // allocate the whole picture first.
    const uint64_t samples = facts.colourType == 2 ? 3 : facts.colourType == 6 ? 4
                             : facts.colourType == 4 ? 2 : 1;
    const uint64_t pixelBytes =
        (uint64_t(facts.width) * samples * facts.bitDepth + 7) / 8 * facts.height;
    if (size > size_t(INT_MAX) || pixelBytes > kInflateLimit * facts.compressedBytes + 1024) {
        *what = "damaged PNG file: too little image data";
        return ResultInvalid;
    }

    int width = 0, height = 0, channels = 0;
    const int wanted = alpha ? 4 : 3;
    stbi_uc* pixels = stbi_load_from_memory(bytes, int(size), &width, &height, &channels, wanted);
    if (!pixels) {
        *what = std::string("damaged PNG file: ") + stbi_failure_reason();
        return ResultInvalid;
    }
    Result status = surface->Create(width, height, format, 0, 0);
    if (status == ResultOk && indexed) status = AttachPalette(surface, facts.palette);
    uint8_t* rows = nullptr;
    int32_t pitch = 0;
    if (status == ResultOk) status = surface->Lock(&rows, &pitch);
    if (status != ResultOk) {
        stbi_image_free(pixels);
        surface->Free();
        *what = "cannot make the picture";
        return status;
    }
    std::unordered_map<uint32_t, uint8_t> indexOf;
    for (size_t i = facts.palette.size(); i-- > 0;) {
        const PaletteEntry& e = facts.palette[i];
        indexOf[uint32_t(e.red) << 16 | uint32_t(e.green) << 8 | e.blue] = uint8_t(i);
    }
    for (int y = 0; y < height; ++y) {
        uint8_t* row = RowOf(*surface, rows, pitch, y);
        const stbi_uc* in = pixels + ptrdiff_t(y) * width * wanted;
        for (int x = 0; x < width; ++x, in += wanted) {
            if (indexed) {
                const auto found = indexOf.find(uint32_t(in[0]) << 16 | uint32_t(in[1]) << 8 | in[2]);
                row[x] = found == indexOf.end() ? 0 : found->second;
            } else {
                uint8_t* out = row + ptrdiff_t(x) * wanted;
                out[0] = in[2];
                out[1] = in[1];
                out[2] = in[0];
                if (alpha) out[3] = in[3];
            }
        }
    }
    surface->Unlock();
    stbi_image_free(pixels);
    return ResultOk;
}

Result EncodePng(Surface& surface, std::vector<uint8_t>* png, std::string* what) {
    const PixelFormat format = surface.GetFormat();
    if (format == 0) {
        *what = "no picture";
        return ResultNoImage;
    }
    uint8_t* rows = nullptr;
    int32_t pitch = 0;
    const Result status = surface.Lock(&rows, &pitch);
    if (status != ResultOk) {
        *what = "cannot read the pixels";
        return status;
    }
    const uint32_t width = uint32_t(surface.GetWidth()), height = uint32_t(surface.GetHeight());
    const uint32_t bpp = BitsPerPixel(format);
    bool written = false;
    if (IsIndexedFormat(format)) {
        std::vector<uint8_t> indices(size_t(width) * height);
        const uint32_t perByte = 8 / bpp, mask = (1u << bpp) - 1;
        for (uint32_t y = 0; y < height; ++y) {
            const uint8_t* row = RowOf(surface, rows, pitch, int32_t(y));
            for (uint32_t x = 0; x < width; ++x) {
                const uint32_t shift = 8 - bpp * (x % perByte + 1);
                indices[size_t(y) * width + x] = uint8_t((row[x / perByte] >> shift) & mask);
            }
        }
        surface.Unlock();
        std::vector<PaletteEntry> colours(size_t(1) << bpp, PaletteEntry{0, 0, 0, 0});
        if (const Palette* palette = surface.GetPalette()) {
            const uint32_t count = std::min<uint32_t>(palette->GetEntryCount(), uint32_t(colours.size()));
            if (palette->GetEntryData()) std::memcpy(colours.data(), palette->GetEntryData(), count * 4);
        }
        written = EncodeIndexedPng(width, height, indices, colours, png);
    } else {
        const ChannelLayout layout = DecodeChannelLayout(format);
        bool alpha = false;
        if (bpp == 32) {
            for (uint32_t y = 0; y < height && !alpha; ++y) {
                const uint8_t* row = rows + ptrdiff_t(y) * pitch;
                for (uint32_t x = 0; x < width && !alpha; ++x) alpha = row[4 * x + 3] != 0;
            }
        }
        const uint32_t channels = alpha ? 4 : 3;
        std::vector<uint8_t> rgb(size_t(width) * height * channels);
        for (uint32_t y = 0; y < height; ++y) {
            const uint8_t* row = RowOf(surface, rows, pitch, int32_t(y));
            uint8_t* out = rgb.data() + size_t(y) * width * channels;
            for (uint32_t x = 0; x < width; ++x, out += channels) {
                if (bpp == 16) {
                    const uint32_t pixel = uint32_t(row[2 * x]) | uint32_t(row[2 * x + 1]) << 8;
                    out[0] = Widen(layout.channel[2], pixel);
                    out[1] = Widen(layout.channel[1], pixel);
                    out[2] = Widen(layout.channel[0], pixel);
                } else {
                    const uint8_t* in = row + size_t(x) * (bpp / 8);
                    out[0] = in[2];
                    out[1] = in[1];
                    out[2] = in[0];
                    if (alpha) out[3] = in[3];
                }
            }
        }
        surface.Unlock();
        png->clear();
        written = stbi_write_png_to_func(AppendBytes, png, int(width), int(height), int(channels),
                                         rgb.data(), int(width * channels)) != 0;
    }
    if (!written) {
        *what = "cannot encode the PNG";
        return ResultInvalid;
    }
    return ResultOk;
}

}  // namespace gfx_tool
