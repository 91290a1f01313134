#pragma once

#include <cstdint>

namespace gfx {

// Status of every library operation that reports one. Callers test for ResultOk and pass any
// other value on unchanged. 9 and 13 to 17 are not used.
enum Result : uint32_t {
    ResultOk = 0,
    ResultUnsupported = 1,
    ResultInvalid = 2,
    ResultNoImage = 3,
    ResultLocked = 4,
    ResultUnknownEncoding = 5,
    ResultNotEncoded = 6,
    ResultAlreadyEncoded = 7,
    ResultDCOut = 8,
    ResultPaletteMismatch = 10,
    ResultEmptyPalette = 11,
    ResultEncoded = 12,
    ResultFailed = 18,
    ResultNoMemory = 19,
    ResultNoSource = 20,
};

}  // namespace gfx
