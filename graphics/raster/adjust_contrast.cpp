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
bool MaskedMean(const ContrastRows& rows, int32_t* mean) {
    const MaskedChannelSums sums = ServedRasterBody<RasterRoutine::SumMaskedChannels>()(rows);
    if (sums.weight == 0) return false;
    const double a0 = static_cast<double>(sums.sum[0] / sums.weight);
    const double a1 = static_cast<double>(sums.sum[1] / sums.weight);
    const double a2 = static_cast<double>(sums.sum[2] / sums.weight);
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
        const ContrastRows rows{
            image.base, image.pitch, mask ? maskRows.base : nullptr, maskRows.pitch, w, h, bytes};
        int32_t mean = 0;
        // Nothing to change when no pixel takes part.
        const bool any = mask ? MaskedMean(rows, &mean) : PlainMean(rows, &mean);
        if (any) {
            ServedRasterBody<RasterRoutine::ApplyContrastRows>()(MakeContrastTable(amount, mean),
                                                                 rows);
        }
    }

    if (mask) mask->Unlock();
    Unlock();
    return result;
}

}  // namespace gfx
