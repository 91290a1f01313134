#include "graphics/raster/clip_line.h"

#include "graphics/core/clip_rule.h"

namespace gfx {

namespace {

constexpr uint32_t kLeft = 1;
constexpr uint32_t kRight = 2;
constexpr uint32_t kAbove = 4;
constexpr uint32_t kBelow = 8;

// The clip rectangle with inclusive edges.
struct Edges {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
};

uint32_t Outcode(const Edges& e, LineEnd p) {
    uint32_t code = p.y > e.bottom ? kBelow : (p.y < e.top ? kAbove : 0);
    code |= p.x > e.right ? kRight : (p.x < e.left ? kLeft : 0);
    return code;
}

// from + along * delta / span, truncated toward zero. The edge being crossed lies between the
// two ends, so |along| <= |span| < 2^32 and |delta| < 2^32: the product's magnitude fits in 64
// unsigned bits and the result lies between the ends' coordinates.
int32_t Interpolate(int32_t from, int64_t along, int64_t delta, int64_t span) {
    const bool negative = ((along < 0) != (delta < 0)) != (span < 0);
    const auto magnitude = [](int64_t v) { return static_cast<uint64_t>(v < 0 ? -v : v); };
    const uint64_t quotient = magnitude(along) * magnitude(delta) / magnitude(span);
    const int64_t offset = negative ? -static_cast<int64_t>(quotient) : static_cast<int64_t>(quotient);
    return static_cast<int32_t>(from + offset);
}

}  // namespace

bool ClipLine(const ClipRect& clip, LineEnd* start, LineEnd* end) {
    // An empty rectangle would leave every point outside with no edge to settle on.
    if (IsEmpty(clip)) return false;
    const Edges e{clip.left, clip.top, clip.right - 1, clip.bottom - 1};
    uint32_t code0 = Outcode(e, *start);
    uint32_t code1 = Outcode(e, *end);
    while (code0 | code1) {
        if (code0 & code1) return false;
        const bool movesStart = code0 != 0;
        const uint32_t code = movesStart ? code0 : code1;
        const LineEnd a = *start;
        const LineEnd b = *end;
        const int64_t dx = int64_t{b.x} - a.x;
        const int64_t dy = int64_t{b.y} - a.y;
        LineEnd p;
        if (code & kBelow) {
            p = {Interpolate(a.x, int64_t{e.bottom} - a.y, dx, dy), e.bottom};
        } else if (code & kRight) {
            p = {e.right, Interpolate(a.y, int64_t{e.right} - a.x, dy, dx)};
        } else if (code & kLeft) {
            p = {e.left, Interpolate(a.y, int64_t{e.left} - a.x, dy, dx)};
        } else {
            p = {Interpolate(a.x, int64_t{e.top} - a.y, dx, dy), e.top};
        }
        if (movesStart) {
            *start = p;
            code0 = Outcode(e, p);
        } else {
            *end = p;
            code1 = Outcode(e, p);
        }
    }
    return true;
}

}  // namespace gfx
