#include <cstddef>

#include "graphics/core/pixel_format.h"
#include "graphics/image/surface.h"
#include "graphics/raster/adjustment_mask.h"
#include "graphics/raster/contrast_rows.h"
#include "graphics/raster/contrast_table.h"
#include "graphics/raster/raster_registry.h"

namespace gfx {

namespace {

// 24 and 32-bit codes in either channel order.
constexpr PixelFormat kBgr24 = 0x18C60888;
constexpr PixelFormat kBgr32 = 0x20C60888;

bool TakesContrast(PixelFormat f) {
    return f == FMT_RGB24 || f == FMT_RGB32 || f == kBgr24 || f == kBgr32;
}

// Locked rows of the picture, or of its mask.
struct Rows {
    uint8_t* base = nullptr;
    int32_t pitch = 0;

    uint8_t* Row(int32_t y) const { return base + static_cast<ptrdiff_t>(y) * pitch; }
};

// The mean luminance of the whole picture: the per-byte integer means, weighted in single
// precision. False for an empty picture.
bool PlainMean(const ContrastRows& rows, int32_t* mean) {
    const uint64_t count = uint64_t(rows.width) * uint64_t(rows.height);
    if (count == 0) return false;
    const ChannelSums sums = ServedRasterBody<RasterRoutine::SumChannels>()(rows);
    const float a0 = static_cast<float>(sums.sum[0] / count);
    const float a1 = static_cast<float>(sums.sum[1] / count);
    const float a2 = static_cast<float>(sums.sum[2] / count);
    *mean = static_cast<int32_t>(a0 * 0.114f + a1 * 0.587f + a2 * 0.299f);
    return true;
}

// The mean luminance weighted by the mask bytes, in double precision. The sums are exact
// integers, so their truncated quotients are too. False when the mask holds only zeros.
bool MaskedMean(const Rows& image, const Rows& mask, int32_t width, int32_t height, int32_t bytes,
                int32_t* mean) {
    uint64_t weight = 0;
    uint64_t sum[3] = {0, 0, 0};
    for (int32_t y = 0; y < height; ++y) {
        const uint8_t* p = image.Row(y);
        const uint8_t* m = mask.Row(y);
        for (int32_t x = 0; x < width; ++x, p += bytes) {
            weight += m[x];
            sum[0] += uint64_t{m[x]} * p[0];
            sum[1] += uint64_t{m[x]} * p[1];
            sum[2] += uint64_t{m[x]} * p[2];
        }
    }
    if (weight == 0) return false;
    const double a0 = static_cast<double>(sum[0] / weight);
    const double a1 = static_cast<double>(sum[1] / weight);
    const double a2 = static_cast<double>(sum[2] / weight);
    *mean = static_cast<int32_t>(a1 * 0.587 + a2 * 0.299 + a0 * 0.114);
    return true;
}

}  // namespace

Result Surface::AdjustContrast(int32_t amount, Surface* mask) {
    if (!TakesContrast(GetFormat())) return ResultFailed;
    if (mask && !MaskCoversPicture(*mask, *this)) return ResultFailed;
    Rows image;
    if (Lock(&image.base, &image.pitch) != ResultOk) return ResultFailed;
    Rows maskRows;
    if (mask && mask->Lock(&maskRows.base, &maskRows.pitch) != ResultOk) {
        Unlock();
        return ResultFailed;
    }

    Result result = ResultOk;
    if (amount < -100 || amount > 100) {
        result = ResultFailed;
    } else if (amount != 0) {
        const int32_t w = GetWidth();
        const int32_t h = GetHeight();
        const int32_t bytes = static_cast<int32_t>(BitsPerPixel(GetFormat()) / 8);
        const ContrastRows rows{image.base, image.pitch, mask ? maskRows.base : nullptr,
                                maskRows.pitch, w, h, bytes};
        int32_t mean = 0;
        // Nothing to change when no pixel takes part.
        const bool any = mask ? MaskedMean(image, maskRows, w, h, bytes, &mean) : PlainMean(rows, &mean);
        if (any) {
            ServedRasterBody<RasterRoutine::ApplyContrastRows>()(MakeContrastTable(amount, mean), rows);
        }
    }

    if (mask) mask->Unlock();
    Unlock();
    return result;
}

}  // namespace gfx
