#include "graphics/blit/blit_selection.h"

#include "graphics/core/blit_flags.h"

namespace gfx {

bool BlitTest::Matches(uint32_t flags, PixelFormat format) const {
    if (family == Family::Is555 && !Is555Format(format)) return false;
    if (family == Family::Not555 && Is555Format(format)) return false;
    switch (kind) {
        case Kind::AnyOf:
            return (flags & bits) != 0;
        case Kind::FlagsZero:
            return flags == 0;
        case Kind::Otherwise:
            return true;
    }
    return false;
}

namespace {

constexpr BlitTest Any(uint32_t bits, BlitTest::Family family = BlitTest::Family::Any) {
    return BlitTest{BlitTest::Kind::AnyOf, bits, false, family};
}
constexpr BlitTest Mask(uint32_t bits, BlitTest::Family family = BlitTest::Family::Any) {
    return BlitTest{BlitTest::Kind::AnyOf, bits, true, family};
}
constexpr BlitTest kFlagsZero{BlitTest::Kind::FlagsZero, 0, false, BlitTest::Family::Any};
constexpr BlitTest kOtherwise{BlitTest::Kind::Otherwise, 0, false, BlitTest::Family::Any};
constexpr BlitTest::Family k555 = BlitTest::Family::Is555;
constexpr BlitTest::Family k565 = BlitTest::Family::Not555;

constexpr bool kUnscaled = false;
constexpr bool kScaled = true;

using R = RoutineId;

// Within one depth and scaling the rows are tried in order; the first whose test holds wins.
constexpr BlitSelectionRow kRows[] = {
    // Unscaled, 8-bit.
    {8, kUnscaled, Mask(BLIT_MASK_ALPHA | BLIT_MASK_STIPPLE), R::Blt8MaskStipple},
    {8, kUnscaled, Any(BLIT_STIPPLE | BLIT_ALPHA), R::Blt8Stipple},
    {8, kUnscaled, kFlagsZero, R::Blt8Copy},
    {8, kUnscaled, kOtherwise, R::Blt8Keyed},
    // Unscaled, 16-bit.
    {16, kUnscaled, Mask(BLIT_MASK_ALPHA, k555), R::Blt16MaskAlpha555},
    {16, kUnscaled, Mask(BLIT_MASK_ALPHA, k565), R::Blt16MaskAlpha565},
    {16, kUnscaled, Mask(BLIT_MASK_STIPPLE), R::Blt16MaskStipple},
    {16, kUnscaled, Any(BLIT_STIPPLE), R::Blt16Stipple},
    {16, kUnscaled, Any(BLIT_ALPHA, k555), R::Blt16Alpha555},
    {16, kUnscaled, Any(BLIT_ALPHA, k565), R::Blt16Alpha565},
    {16, kUnscaled, kFlagsZero, R::Blt16Copy},
    {16, kUnscaled, kOtherwise, R::Blt16Keyed},
    // Unscaled, 24-bit.
    {24, kUnscaled, Mask(BLIT_MASK_ALPHA), R::Blt24MaskAlpha},
    {24, kUnscaled, Mask(BLIT_MASK_STIPPLE), R::Blt24MaskStipple},
    {24, kUnscaled, Any(BLIT_ALPHA), R::Blt24Alpha},
    {24, kUnscaled, Any(BLIT_STIPPLE), R::Blt24Stipple},
    {24, kUnscaled, kOtherwise, R::Blt24Keyed},
    // Unscaled, 32-bit.
    {32, kUnscaled, Mask(BLIT_MASK_ALPHA), R::Blt32MaskAlpha},
    {32, kUnscaled, Mask(BLIT_MASK_PREMUL), R::Blt32MaskPremul},
    {32, kUnscaled, Mask(BLIT_MASK_STIPPLE), R::Blt32MaskStipple},
    {32, kUnscaled, Any(BLIT_ALPHA), R::Blt32Alpha},
    {32, kUnscaled, Any(BLIT_STIPPLE), R::Blt32Stipple},
    {32, kUnscaled, kOtherwise, R::Blt32Keyed},
    // Scaled, 8-bit.
    {8, kScaled, Any(BLIT_STIPPLE | BLIT_ALPHA), R::Blt8ScaledStipple},
    {8, kScaled, Any(BLIT_SMOOTH), R::Blt8ScaledSmooth},
    {8, kScaled, kOtherwise, R::Blt8ScaledKeyed},
    // Scaled, 16-bit.
    {16, kScaled, Mask(BLIT_MASK_ALPHA, k555), R::Blt16ScaledMaskAlpha555},
    {16, kScaled, Mask(BLIT_MASK_ALPHA, k565), R::Blt16ScaledMaskAlpha565},
    {16, kScaled, Any(BLIT_STIPPLE | BLIT_ALPHA), R::Blt16ScaledStipple},
    {16, kScaled, kOtherwise, R::Blt16ScaledKeyed},
    // Scaled, 24-bit.
    {24, kScaled, Mask(BLIT_MASK_ALPHA), R::Blt24ScaledMaskAlpha},
    {24, kScaled, Any(BLIT_STIPPLE | BLIT_ALPHA), R::Blt24ScaledStipple},
    {24, kScaled, Any(BLIT_SMOOTH), R::Blt24ScaledSmooth},
    {24, kScaled, kOtherwise, R::Blt24ScaledKeyed},
    // Scaled, 32-bit.
    {32, kScaled, Any(BLIT_STIPPLE | BLIT_ALPHA), R::Blt32ScaledStipple},
    {32, kScaled, Any(BLIT_SMOOTH), R::Blt32ScaledSmooth},
    {32, kScaled, kOtherwise, R::Blt32ScaledKeyed},
};

// Each row's depth and scaling are its routine's.
constexpr bool RowsFitTheirRoutines() {
    for (const BlitSelectionRow& row : kRows) {
        const RoutineInfo& info = InfoOf(row.routine);
        if (info.bitsPerPixel != row.depth || IsScaledShape(info.shape) != row.scaled) return false;
    }
    return true;
}
static_assert(RowsFitTheirRoutines());

}  // namespace

const BlitSelectionRow* SelectBlitRoutine(uint32_t depth, bool scaled, uint32_t flags,
                                          PixelFormat format) {
    for (const BlitSelectionRow& row : kRows) {
        if (row.depth == depth && row.scaled == scaled && row.test.Matches(flags, format)) {
            return &row;
        }
    }
    return nullptr;
}

}  // namespace gfx
