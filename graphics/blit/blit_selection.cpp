#include "graphics/blit/blit_selection.h"

#include "graphics/core/blit_flags.h"
#include "graphics/blit/blit_routines.h"

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

// A routine of the alpha-blend and scaling families that is not built yet: its row is selected
// as usual and draws nothing.
constexpr BlitRoutine kNotBuilt{};

// Within one depth and scaling the rows are tried in order; the first whose test holds wins.
constexpr BlitSelectionRow kRows[] = {
    // Unscaled, 8-bit.
    {8, kUnscaled, Mask(BLIT_MASK_ALPHA | BLIT_MASK_STIPPLE), Blt8MaskStipple, "Blt8MaskStipple"},
    {8, kUnscaled, Any(BLIT_STIPPLE | BLIT_ALPHA), Blt8Stipple, "Blt8Stipple"},
    {8, kUnscaled, kFlagsZero, Blt8Copy, "Blt8Copy"},
    {8, kUnscaled, kOtherwise, Blt8Keyed, "Blt8Keyed"},
    // Unscaled, 16-bit.
    {16, kUnscaled, Mask(BLIT_MASK_ALPHA, k555), kNotBuilt, "Blt16MaskAlpha555"},
    {16, kUnscaled, Mask(BLIT_MASK_ALPHA, k565), kNotBuilt, "Blt16MaskAlpha565"},
    {16, kUnscaled, Mask(BLIT_MASK_STIPPLE), Blt16MaskStipple, "Blt16MaskStipple"},
    {16, kUnscaled, Any(BLIT_STIPPLE), Blt16Stipple, "Blt16Stipple"},
    {16, kUnscaled, Any(BLIT_ALPHA, k555), kNotBuilt, "Blt16Alpha555"},
    {16, kUnscaled, Any(BLIT_ALPHA, k565), kNotBuilt, "Blt16Alpha565"},
    {16, kUnscaled, kFlagsZero, Blt16Copy, "Blt16Copy"},
    {16, kUnscaled, kOtherwise, Blt16Keyed, "Blt16Keyed"},
    // Unscaled, 24-bit.
    {24, kUnscaled, Mask(BLIT_MASK_ALPHA), kNotBuilt, "Blt24MaskAlpha"},
    {24, kUnscaled, Mask(BLIT_MASK_STIPPLE), Blt24MaskStipple, "Blt24MaskStipple"},
    {24, kUnscaled, Any(BLIT_ALPHA), kNotBuilt, "Blt24Alpha"},
    {24, kUnscaled, Any(BLIT_STIPPLE), Blt24Stipple, "Blt24Stipple"},
    {24, kUnscaled, kOtherwise, Blt24Keyed, "Blt24Keyed"},
    // Unscaled, 32-bit.
    {32, kUnscaled, Mask(BLIT_MASK_ALPHA), kNotBuilt, "Blt32MaskAlpha"},
    {32, kUnscaled, Mask(BLIT_MASK_PREMUL), kNotBuilt, "Blt32MaskPremul"},
    {32, kUnscaled, Mask(BLIT_MASK_STIPPLE), Blt32MaskStipple, "Blt32MaskStipple"},
    {32, kUnscaled, Any(BLIT_ALPHA), kNotBuilt, "Blt32Alpha"},
    {32, kUnscaled, Any(BLIT_STIPPLE), Blt32Stipple, "Blt32Stipple"},
    {32, kUnscaled, kOtherwise, Blt32Keyed, "Blt32Keyed"},
    // Scaled, 8-bit.
    {8, kScaled, Any(BLIT_STIPPLE | BLIT_ALPHA), kNotBuilt, "Blt8ScaledStipple"},
    {8, kScaled, Any(BLIT_SMOOTH), kNotBuilt, "Blt8ScaledSmooth"},
    {8, kScaled, kOtherwise, kNotBuilt, "Blt8ScaledKeyed"},
    // Scaled, 16-bit.
    {16, kScaled, Mask(BLIT_MASK_ALPHA, k555), kNotBuilt, "Blt16ScaledMaskAlpha555"},
    {16, kScaled, Mask(BLIT_MASK_ALPHA, k565), kNotBuilt, "Blt16ScaledMaskAlpha565"},
    {16, kScaled, Any(BLIT_STIPPLE | BLIT_ALPHA), kNotBuilt, "Blt16ScaledStipple"},
    {16, kScaled, kOtherwise, kNotBuilt, "Blt16ScaledKeyed"},
    // Scaled, 24-bit.
    {24, kScaled, Mask(BLIT_MASK_ALPHA), kNotBuilt, "Blt24ScaledMaskAlpha"},
    {24, kScaled, Any(BLIT_STIPPLE | BLIT_ALPHA), kNotBuilt, "Blt24ScaledStipple"},
    {24, kScaled, Any(BLIT_SMOOTH), kNotBuilt, "Blt24ScaledSmooth"},
    {24, kScaled, kOtherwise, kNotBuilt, "Blt24ScaledKeyed"},
    // Scaled, 32-bit.
    {32, kScaled, Any(BLIT_STIPPLE | BLIT_ALPHA), kNotBuilt, "Blt32ScaledStipple"},
    {32, kScaled, Any(BLIT_SMOOTH), kNotBuilt, "Blt32ScaledSmooth"},
    {32, kScaled, kOtherwise, kNotBuilt, "Blt32ScaledKeyed"},
};

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
