#include "graphics/raster/contrast_arithmetic.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>

#include "graphics/raster/contrast_table.h"

using namespace gfx;

namespace {

using Kind = ContrastArithmetic::Kind;

bool GivesEveryEntry(const ContrastArithmetic& form, const ContrastTable& table) {
    for (int32_t x = 0; x < 256; ++x) {
        if (ContrastEntry(form, uint8_t(x)) != table.entry[x]) return false;
    }
    return true;
}

}  // namespace

// Every table MakeContrastTable gives: an arithmetic form, where there is one, gives all its
// entries; every compressing table has one, and nearly every expanding one, the strong ones
// (from about amount 55 up, where a side's push grows by more than its distance) through wide
// factors. The others are looked up, which is slower, never wrong.
TEST(ContrastArithmetic, TakesTheUsualTablesExactly) {
    int32_t expanding = 0, expanded = 0, wide = 0;
    for (int32_t amount = -100; amount <= 100; ++amount) {
        if (amount == 0) continue;
        for (int32_t mean = 0; mean < 256; ++mean) {
            const ContrastTable table = MakeContrastTable(amount, mean);
            const ContrastArithmetic form = ContrastArithmeticOf(table);
            if (form.kind != Kind::Lookup) {
                ASSERT_TRUE(GivesEveryEntry(form, table))
                    << "amount " << amount << " mean " << mean;
            }
            if (amount < 0) {
                ASSERT_EQ(form.kind, Kind::Compress) << "amount " << amount << " mean " << mean;
            } else {
                ++expanding;
                if (form.kind == Kind::Expand) ++expanded;
                if (form.kind == Kind::Expand && form.Wide()) ++wide;
                if (amount >= 62) {
                    EXPECT_TRUE(form.Wide()) << "amount " << amount << " mean " << mean;
                }
            }
        }
    }
    EXPECT_GE(expanded * 1000, expanding * 999) << expanded << " of " << expanding;
    EXPECT_GT(wide, 0);
}

// Entries that no longer follow the change they were made for, or a table made some other
// way, are looked up.
TEST(ContrastArithmetic, LooksUpTablesItCannotReproduce) {
    for (int32_t amount : {-30, 30}) {
        ContrastTable table = MakeContrastTable(amount, 120);
        ASSERT_NE(ContrastArithmeticOf(table).kind, Kind::Lookup);
        table.entry[77] ^= 1;
        EXPECT_EQ(ContrastArithmeticOf(table).kind, Kind::Lookup);
        table = MakeContrastTable(amount, 120);
        table.mean = 121;
        EXPECT_EQ(ContrastArithmeticOf(table).kind, Kind::Lookup);
    }
    ContrastTable byHand{};
    for (int32_t x = 0; x < 256; ++x) byHand.entry[x] = uint8_t(255 - x);
    EXPECT_EQ(ContrastArithmeticOf(byHand).kind, Kind::Lookup);
    ContrastTable outOfRange = MakeContrastTable(40, 90);
    outOfRange.amount = 140;
    EXPECT_EQ(ContrastArithmeticOf(outOfRange).kind, Kind::Lookup);
}

// The bodies take an expansion's distances by saturating byte operations with the constants of
// its mean; the form's entries take them from ExpansionDistancesOf. Both agree for every mean
// and byte, and the larger distance is always the one of the byte's own side.
TEST(ContrastArithmetic, ExpansionConstantsGiveTheDistances) {
    const auto add = [](int32_t a, int32_t b) { return std::min(255, a + b); };
    const auto sub = [](int32_t a, int32_t b) { return std::max(0, a - b); };
    for (int32_t mean = 0; mean < 256; ++mean) {
        const ExpansionConstants c = ExpansionConstantsOf(uint8_t(mean));
        EXPECT_EQ(c.lift == 0 && c.overflow == 0, mean >= 20 && mean <= 234) << mean;
        for (int32_t x = 0; x < 256; ++x) {
            const ExpansionDistances d = ExpansionDistancesOf(uint8_t(mean), uint8_t(x));
            ASSERT_EQ(d.above, sub(add(x, c.lift), c.drop)) << mean << " " << x;
            ASSERT_EQ(d.atOrBelow, add(sub(c.reach, x), c.overflow)) << mean << " " << x;
            ASSERT_EQ(d.above > d.atOrBelow, x > mean) << mean << " " << x;
        }
    }
}
