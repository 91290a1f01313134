#include "graphics/platform/dib_section_format.h"

#include "graphics/core/dib_header.h"
#include "graphics/core/pixel_format.h"

namespace gfx {

namespace {

// Far beyond any surface (65535 rows of at most 65532 bytes fit in 4 GiB, but no platform
// gives a DIB section that large); keeps the size arithmetic well inside 32 bits.
constexpr uint64_t kMaxImageBytes = uint64_t{1} << 30;

}  // namespace

bool ReadDibSectionFormat(const void* header, size_t length, DibSectionFormat* out) {
    DibHeader h{};
    if (!out || !ReadDibHeader(header, length, &h)) return false;
    if (h.biSize != DIB_HEADER_BYTES || h.biPlanes != 1) return false;
    if (h.biWidth <= 0 || h.biHeight == 0 || h.biHeight == INT32_MIN) return false;

    DibSectionFormat f;
    f.width = h.biWidth;
    f.topDown = h.biHeight < 0;
    f.height = f.topDown ? -h.biHeight : h.biHeight;
    f.bitCount = h.biBitCount;
    f.compression = h.biCompression;
    switch (f.bitCount) {
        case 1:
        case 4:
        case 8:
            if (f.compression != COMPRESSION_NONE) return false;
            f.tableEntries = 1u << f.bitCount;
            // A shorter table given by biClrUsed leaves the remaining entries black.
            f.tableBytes = 4 * (h.biClrUsed != 0 && h.biClrUsed < f.tableEntries ? h.biClrUsed
                                                                                 : f.tableEntries);
            break;
        case 24:
            if (f.compression != COMPRESSION_NONE) return false;
            break;
        case 16:
        case 32:
            if (f.compression == COMPRESSION_BITFIELDS) {
                f.tableBytes = 12;
            } else if (f.compression != COMPRESSION_NONE) {
                return false;
            }
            break;
        default:
            return false;
    }
    if (length < DIB_HEADER_BYTES + uint64_t{f.tableBytes}) return false;

    const uint64_t pitch = PaddedRowBytes(f.bitCount, static_cast<uint32_t>(f.width));
    const uint64_t image = pitch * static_cast<uint32_t>(f.height);
    if (image > kMaxImageBytes) return false;
    f.pitch = static_cast<uint32_t>(pitch);
    f.imageBytes = image;
    *out = f;
    return true;
}

}  // namespace gfx
