#include "graphics/core/dib_header.h"

#include <algorithm>
#include <cstring>

#include "graphics/core/little_endian.h"

namespace gfx {

namespace {

bool KnownBitCount(uint32_t bits) {
    return bits == 1 || bits == 2 || bits == 4 || bits == 8 || bits == 16 || bits == 24 ||
           bits == 32;
}

// Whether the header can be sized at all.
bool Sizable(const DibHeader& header) {
    return KnownBitCount(header.biBitCount) && header.biWidth >= 0 && header.biHeight >= 0;
}

uint32_t Fit32(uint64_t value) { return value > UINT32_MAX ? 0 : static_cast<uint32_t>(value); }

// Offset of the green mask among the three masks that follow the header.
constexpr size_t kGreenMaskOffset = DIB_HEADER_BYTES + 4;

}  // namespace

bool ReadDibHeader(const void* data, size_t length, DibHeader* out) {
    if (!data || !out || length < DIB_HEADER_BYTES) return false;
    const auto* p = static_cast<const uint8_t*>(data);
    out->biSize = LoadLE32(p);
    out->biWidth = static_cast<int32_t>(LoadLE32(p + 4));
    out->biHeight = static_cast<int32_t>(LoadLE32(p + 8));
    out->biPlanes = LoadLE16(p + 12);
    out->biBitCount = LoadLE16(p + 14);
    out->biCompression = LoadLE32(p + 16);
    out->biSizeImage = LoadLE32(p + 20);
    out->biXPelsPerMeter = static_cast<int32_t>(LoadLE32(p + 24));
    out->biYPelsPerMeter = static_cast<int32_t>(LoadLE32(p + 28));
    out->biClrUsed = LoadLE32(p + 32);
    out->biClrImportant = LoadLE32(p + 36);
    return true;
}

void WriteDibHeader(const DibHeader& header, void* out) {
    auto* p = static_cast<uint8_t*>(out);
    StoreLE32(p, header.biSize);
    StoreLE32(p + 4, static_cast<uint32_t>(header.biWidth));
    StoreLE32(p + 8, static_cast<uint32_t>(header.biHeight));
    StoreLE16(p + 12, header.biPlanes);
    StoreLE16(p + 14, header.biBitCount);
    StoreLE32(p + 16, header.biCompression);
    StoreLE32(p + 20, header.biSizeImage);
    StoreLE32(p + 24, static_cast<uint32_t>(header.biXPelsPerMeter));
    StoreLE32(p + 28, static_cast<uint32_t>(header.biYPelsPerMeter));
    StoreLE32(p + 32, header.biClrUsed);
    StoreLE32(p + 36, header.biClrImportant);
}

uint32_t DibHeaderSize(const DibHeader& header) {
    if (!Sizable(header)) return 0;
    const uint32_t bits = header.biBitCount;
    if (bits <= 8) {
        const uint64_t colours = header.biClrUsed ? header.biClrUsed : (uint64_t{1} << bits);
        return Fit32(DIB_HEADER_BYTES + 4 * colours);
    }
    if (header.biCompression == COMPRESSION_BITFIELDS || header.biCompression == COMPRESSION_PKC2) {
        return DIB_HEADER_BYTES + 12;
    }
    return Fit32(DIB_HEADER_BYTES + 4 * uint64_t{header.biClrUsed});
}

uint32_t DibImageSize(const DibHeader& header) {
    if (!Sizable(header)) return 0;
    if (IsEncodedCompression(header.biCompression)) return header.biSizeImage;
    const uint64_t row = PaddedRowBytes(header.biBitCount, uint32_t(header.biWidth));
    return Fit32(row * uint32_t(header.biHeight));
}

uint32_t PackedDibSize(const DibHeader& header) {
    if (header.biSize != DIB_HEADER_BYTES) return 0;
    const uint32_t headerSize = DibHeaderSize(header);
    if (headerSize == 0) return 0;
    const uint32_t imageSize = DibImageSize(header);
    // A plain image with no rows is still a usable size; anything else that sizes to 0 is not.
    if (imageSize == 0 && header.biWidth != 0 && header.biHeight != 0 &&
        !IsEncodedCompression(header.biCompression)) {
        return 0;
    }
    return Fit32(uint64_t{headerSize} + imageSize);
}

uint32_t PackedDibSize(const void* header, size_t length) {
    DibHeader parsed;
    if (!ReadDibHeader(header, length, &parsed)) return 0;
    return PackedDibSize(parsed);
}

PixelFormat FormatFromHeader(const void* header, size_t length) {
    DibHeader parsed;
    if (!ReadDibHeader(header, length, &parsed) || !Sizable(parsed)) return 0;
    switch (parsed.biBitCount) {
        case 1:
            return FMT_INDEX1;
        case 2:
            return FMT_INDEX2;
        case 4:
            return FMT_INDEX4;
        case 8:
            return FMT_INDEX8;
        case 16: {
            if (parsed.biCompression == COMPRESSION_NONE ||
                parsed.biCompression == COMPRESSION_PKC1) {
                return FMT_RGB555;
            }
            // An encoded image keeps its masks in its data area: bytes after its biSizeImage
            // belong to no image and must not decide the format.
            uint64_t limit = length;
            if (IsEncodedCompression(parsed.biCompression)) {
                limit = std::min<uint64_t>(limit, uint64_t{DibHeaderSize(parsed)} +
                                                      parsed.biSizeImage);
            }
            if (limit < kGreenMaskOffset + 4) return 0;
            const uint32_t green = LoadLE32(static_cast<const uint8_t*>(header) + kGreenMaskOffset);
            return green == 0x3E0 ? FMT_RGB555 : FMT_RGB565;
        }
        case 24:
            return FMT_RGB24;
        case 32:
            return FMT_RGB32;
        default:
            return 0;
    }
}

void ReadDibColours(const uint8_t* table, uint32_t count, PaletteEntry* out) {
    for (uint32_t i = 0; i < count; ++i, table += DIB_COLOUR_BYTES) {
        out[i] = PaletteEntry{table[2], table[1], table[0], 0};
    }
}

void WriteDibColours(const PaletteEntry* entries, uint32_t count, uint8_t* table) {
    for (uint32_t i = 0; i < count; ++i, table += DIB_COLOUR_BYTES) {
        table[0] = entries[i].blue;
        table[1] = entries[i].green;
        table[2] = entries[i].red;
        table[3] = 0;
    }
}

uint32_t BuildDibHeader(int32_t width, int32_t height, PixelFormat format, void* out,
                        size_t outLength) {
    uint32_t masks[3] = {0, 0, 0};  // red, green, blue
    uint32_t length = 0;
    uint32_t compression = COMPRESSION_NONE;
    switch (format) {
        case FMT_RGB555:
            masks[0] = 0x7C00, masks[1] = 0x03E0, masks[2] = 0x001F;
            break;
        case FMT_BGR555:
            masks[0] = 0x001F, masks[1] = 0x03E0, masks[2] = 0x7C00;
            break;
        case FMT_RGB565:
            masks[0] = 0xF800, masks[1] = 0x07E0, masks[2] = 0x001F;
            break;
        case FMT_BGR565:
            masks[0] = 0x001F, masks[1] = 0x07E0, masks[2] = 0xF800;
            break;
        case FMT_RGB24:
        case FMT_RGB32:
        case FMT_INDEX1:
        case FMT_INDEX2:
        case FMT_INDEX4:
        case FMT_INDEX8:
            break;
        default:
            return 0;
    }
    const uint32_t bits = BitsPerPixel(format);
    if (bits == 16) {
        compression = COMPRESSION_BITFIELDS;
        length = DIB_HEADER_BYTES + 12;
    } else if (bits <= 8) {
        length = DIB_HEADER_BYTES + 4 * (1u << bits);
    } else {
        length = DIB_HEADER_BYTES;
    }
    if (!out || outLength < length) return 0;

    auto* p = static_cast<uint8_t*>(out);
    std::memset(p, 0, length);
    DibHeader header{};
    header.biSize = DIB_HEADER_BYTES;
    header.biWidth = static_cast<int32_t>(static_cast<uint32_t>(width) & 0xFFFF);
    header.biHeight = static_cast<int32_t>(static_cast<uint32_t>(height) & 0xFFFF);
    header.biPlanes = 1;
    header.biBitCount = static_cast<uint16_t>(bits);
    header.biCompression = compression;
    WriteDibHeader(header, p);
    if (compression == COMPRESSION_BITFIELDS) {
        for (int i = 0; i < 3; ++i) StoreLE32(p + DIB_HEADER_BYTES + 4 * i, masks[i]);
    }
    return length;
}

}  // namespace gfx
