// Surface::AdjustHueSaturation: turns the hue, scales the saturation and adds a lightness offset
// to every pixel of a 24 or 32-bit surface (only where an 8-bit mask is not 0, when one is given).

#include <cstddef>

#include "graphics/image/surface.h"
#include "graphics/raster/adjustment_mask.h"
#include "graphics/raster/hsi_adjustment.h"

namespace gfx {

namespace {

struct Rows {
    uint8_t* pixels;
    int32_t pitch;
    const uint8_t* mask;  // null without a mask
    int32_t maskPitch;
    int32_t width;
    int32_t height;
};

// One routine per depth and mask presence: the three floating-point ones and, for 32 bits with
// a mask, the fixed-point one.
template <int kBytes, bool kMasked, class Amounts, void (*kAdjust)(uint8_t*, const Amounts&)>
void AdjustRows(const Rows& rows, const Amounts& amounts) {
    for (int32_t y = 0; y < rows.height; ++y) {
        uint8_t* p = rows.pixels + static_cast<ptrdiff_t>(y) * rows.pitch;
        const uint8_t* m = kMasked ? rows.mask + static_cast<ptrdiff_t>(y) * rows.maskPitch : nullptr;
        for (int32_t x = 0; x < rows.width; ++x, p += kBytes) {
            if (kMasked && m[x] == 0) continue;
            kAdjust(p, amounts);
        }
    }
}

}  // namespace

Result Surface::AdjustHueSaturation(int32_t hue, int32_t saturation, int32_t lightness,
                                    Surface* mask) {
    if (format != FMT_RGB24 && format != FMT_RGB32) return ResultFailed;
    if (mask && !MaskCoversPicture(*mask, *this)) return ResultFailed;

    Rows rows{nullptr, 0, nullptr, 0, width, height};
    if (Lock(&rows.pixels, &rows.pitch) != ResultOk) return ResultFailed;
    if (mask) {
        uint8_t* maskRows = nullptr;
        if (mask->Lock(&maskRows, &rows.maskPitch) != ResultOk) {
            Unlock();
            return ResultFailed;
        }
        rows.mask = maskRows;
    }

    const FloatHsiAmounts floating = MakeFloatHsiAmounts(hue, saturation, lightness);
    if (format == FMT_RGB24) {
        if (mask) {
            AdjustRows<3, true, FloatHsiAmounts, AdjustHsiFloat>(rows, floating);
        } else {
            AdjustRows<3, false, FloatHsiAmounts, AdjustHsiFloat>(rows, floating);
        }
    } else if (mask) {
        AdjustRows<4, true, FixedHsiAmounts, AdjustHsiFixed>(
            rows, MakeFixedHsiAmounts(hue, saturation, lightness));
    } else {
        AdjustRows<4, false, FloatHsiAmounts, AdjustHsiFloat>(rows, floating);
    }

    if (mask) mask->Unlock();
    Unlock();
    return ResultOk;
}

}  // namespace gfx
