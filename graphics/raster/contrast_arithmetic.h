#pragma once

#include <cstdint>

#include "graphics/raster/contrast_table.h"

namespace gfx {

// A contrast table as a few byte and 16-bit operations, for bodies that compute entries in
// vector registers instead of looking each one up. Each side of the mean takes q = (d * factor)
// >> 16 of a distance d, the side's factor being [0] at or below the mean and [1] above it:
//   compress: d = |x - mean|; mean + q above the mean, mean - q at or below it;
//   expand:   d = x - mean + 20 above the mean, mean + 21 - x at or below it, each saturated to
//             0..255; min(255, x + q) above, max(0, x - q) at or below.
// An expansion pushes a value by trunc(p * (1 + 0.05 * k)) for its side's power p and step k
// from the mean, which is (0.05 * p) * (20 + k): the distance carries the 20 and the factor the
// 0.05 * p. The larger distance of the two is the one of the byte's own side. A factor below
// 65536 (p below 20) takes one 16-bit multiply a distance; a wide one, of strong expansions, its
// whole part and its fraction one each. These are the operations the vector bodies do lane by
// lane; `ContrastArithmeticOf` gives the form only when it reproduces all 256 entries of the
// table, otherwise the table is looked up.
struct ContrastArithmetic {
    enum class Kind : uint8_t { Lookup, Compress, Expand };
    // A wide factor's whole part stays below 128, so that q fits a signed 16-bit lane.
    static constexpr uint32_t kMaxFactor = (128u << 16) - 1;
    Kind kind = Kind::Lookup;
    uint8_t mean = 0;
    uint32_t factor[2] = {0, 0};  // [0] at or below the mean, [1] above it

    bool Wide() const { return factor[0] > 0xFFFF || factor[1] > 0xFFFF; }
};

ContrastArithmetic ContrastArithmeticOf(const ContrastTable& table);

// The operations a vector body takes for a form: a compression, or an expansion whose mean lies
// near an edge (below 20 or above 234, where the distances take a lift and an overflow that are
// 0 for the others) or not, and whose factors are wide or not.
struct ContrastShape {
    ContrastArithmetic::Kind kind;
    bool nearEdge = false;
    bool wide = false;
};

template <ContrastShape kShape>
struct ContrastShapeTag {
    static constexpr ContrastShape kValue = kShape;
};

// Calls fn(ContrastShapeTag<shape>{}) with the shape of a form that is not Kind::Lookup, so that
// a body compiles one loop for each shape.
template <class Fn>
void WithContrastShape(const ContrastArithmetic& form, Fn&& fn);

// The saturated distances of an expansion: (x - mean + 20, mean + 21 - x).
struct ExpansionDistances {
    uint8_t above, atOrBelow;
};
ExpansionDistances ExpansionDistancesOf(uint8_t mean, uint8_t x);

// The byte constants that give an expansion's distances by saturating byte operations:
//   above     = (x + lift) - drop,      lift = max(0, 20 - mean), drop = max(0, mean - 20);
//   atOrBelow = (reach - x) + overflow, reach = min(255, mean + 21), overflow = the rest.
// Means from 20 to 234 have lift and overflow 0, which the bodies use to skip two operations.
struct ExpansionConstants {
    uint8_t lift, drop, reach, overflow;
};
ExpansionConstants ExpansionConstantsOf(uint8_t mean);

// The entry of `x` by the form's operations (not for Kind::Lookup).
uint8_t ContrastEntry(const ContrastArithmetic& form, uint8_t x);

template <class Fn>
void WithContrastShape(const ContrastArithmetic& form, Fn&& fn) {
    using Kind = ContrastArithmetic::Kind;
    const ExpansionConstants e = ExpansionConstantsOf(form.mean);
    const bool nearEdge = e.lift != 0 || e.overflow != 0;
    if (form.kind == Kind::Compress) {
        fn(ContrastShapeTag<ContrastShape{Kind::Compress}>{});
    } else if (form.Wide()) {
        if (nearEdge) {
            fn(ContrastShapeTag<ContrastShape{Kind::Expand, true, true}>{});
        } else {
            fn(ContrastShapeTag<ContrastShape{Kind::Expand, false, true}>{});
        }
    } else if (nearEdge) {
        fn(ContrastShapeTag<ContrastShape{Kind::Expand, true, false}>{});
    } else {
        fn(ContrastShapeTag<ContrastShape{Kind::Expand, false, false}>{});
    }
}

}  // namespace gfx
