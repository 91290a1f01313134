#include "graphics/core/clip_rule.h"

#include <algorithm>

namespace gfx {

ClipRect ClipRectWithin(const ClipRect* regionBounds, int32_t width, int32_t height) {
    const ClipRect whole{0, 0, width, height};
    if (!regionBounds) return whole;
    return ClipRect{
        std::max(regionBounds->left, whole.left), std::max(regionBounds->top, whole.top),
        std::min(regionBounds->right, whole.right), std::min(regionBounds->bottom, whole.bottom)};
}

PixelSpan ClipSpan(PixelSpan requested, int64_t low, int64_t high) {
    const int64_t start = std::max(requested.start, low);
    const int64_t end = std::min(requested.End(), high);
    return PixelSpan{start, end - start};
}

PixelSpan ScaleSpan(PixelSpan source, PixelSpan requested, PixelSpan clipped, bool mirrored) {
    const int64_t cutStart = clipped.start - requested.start;
    const int64_t cutEnd = requested.End() - clipped.End();
    const int64_t skipped = mirrored ? cutEnd : cutStart;
    return PixelSpan{source.start + skipped * source.length / requested.length,
                     source.length * clipped.length / requested.length};
}

}  // namespace gfx
