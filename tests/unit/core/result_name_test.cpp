#include "graphics/core/result_name.h"

#include <gtest/gtest.h>

TEST(ResultName, NamesEveryStatusAndNumbersTheRest) {
    using namespace gfx;
    const char* const names[] = {
        "ResultOk", "ResultUnsupported", "ResultInvalid", "ResultNoImage", "ResultLocked",
        "ResultUnknownEncoding", "ResultNotEncoded", "ResultAlreadyEncoded", "ResultDCOut",
        "Result9", "ResultPaletteMismatch", "ResultEmptyPalette", "ResultEncoded", "Result13",
        "Result14", "Result15", "Result16", "Result17", "ResultFailed", "ResultNoMemory",
        "ResultNoSource", "Result21"};
    for (uint32_t value = 0; value < std::size(names); ++value) {
        EXPECT_STREQ(ResultName(Result(value)), names[value]);
    }
    EXPECT_STREQ(ResultName(Result(0xFFFFFFFFu)), "Result4294967295");
}
