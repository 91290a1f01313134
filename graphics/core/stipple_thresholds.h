#pragma once

#include <cstdint>

namespace gfx {

// The 8 x 8 ordered-dither matrix with the values 1 to 64. Each row is stored twice (16 bytes a
// row) so that eight consecutive entries starting at any column 0-7 read without wrapping.
inline constexpr uint8_t StippleThresholds[8][16] = {
    {1, 33, 9, 41, 3, 35, 11, 43, 1, 33, 9, 41, 3, 35, 11, 43},
    {49, 17, 57, 25, 51, 19, 59, 27, 49, 17, 57, 25, 51, 19, 59, 27},
    {13, 45, 5, 37, 15, 47, 7, 39, 13, 45, 5, 37, 15, 47, 7, 39},
    {61, 29, 53, 21, 63, 31, 55, 23, 61, 29, 53, 21, 63, 31, 55, 23},
    {4, 36, 12, 44, 2, 34, 10, 42, 4, 36, 12, 44, 2, 34, 10, 42},
    {52, 20, 60, 28, 50, 18, 58, 26, 52, 20, 60, 28, 50, 18, 58, 26},
    {16, 48, 8, 40, 14, 46, 6, 38, 16, 48, 8, 40, 14, 46, 6, 38},
    {64, 32, 56, 24, 62, 30, 54, 22, 64, 32, 56, 24, 62, 30, 54, 22},
};

}  // namespace gfx
