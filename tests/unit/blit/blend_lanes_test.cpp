// The register forms of the SSE2 blends: 24-bit pixels go to 32-bit lanes and back touching
// exactly their twelve bytes, and mask bytes reach the lanes of their own pixel in blit order.
#if defined(__SSE2__)

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "graphics/blit/blend_lanes_sse2.h"

namespace {

using namespace gfx;

TEST(BlendLanes, TripletsRoundTripWithinTheirTwelveBytes) {
    uint8_t block[20];
    for (int k = 0; k < 20; ++k) block[k] = static_cast<uint8_t>(0xA0 + k);
    // Pixel p of the twelve bytes from block + 4 is lane p, with a top byte of 0.
    alignas(16) uint32_t lanes[4];
    _mm_store_si128(reinterpret_cast<__m128i*>(lanes), sse2::LoadTriplets(block + 4));
    for (int p = 0; p < 4; ++p) {
        const uint32_t expected =
            block[4 + 3 * p] | (block[5 + 3 * p] << 8) | (block[6 + 3 * p] << 16);
        EXPECT_EQ(expected, lanes[p]) << "pixel " << p;
    }
    // Storing lanes whose top bytes are set writes their low three bytes and nothing around.
    uint8_t out[20];
    std::memset(out, 0x55, sizeof out);
    sse2::StoreTriplets(out + 4, _mm_or_si128(_mm_load_si128(reinterpret_cast<__m128i*>(lanes)),
                                              _mm_set1_epi32(static_cast<int>(0xEE000000u))));
    for (int k = 0; k < 20; ++k) {
        const bool inside = k >= 4 && k < 16;
        EXPECT_EQ(inside ? block[k] : 0x55, out[k]) << "byte " << k;
    }
}

TEST(BlendLanes, MaskBytesReachTheirPixelsLanes) {
    const uint8_t mask[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    alignas(16) uint16_t words[8];
    // 16-bit pixels: one lane each; mirrored rows take the bytes from the far end.
    for (const bool mirrored : {false, true}) {
        const auto bits = sse2::ReadMaskBits<sse2::WordPixels>(mask, mirrored);
        _mm_store_si128(reinterpret_cast<__m128i*>(words), sse2::WordPixels::MaskValues(bits));
        for (int lane = 0; lane < 8; ++lane) {
            EXPECT_EQ(mirrored ? mask[7 - lane] : mask[lane], words[lane]);
        }
    }
    // 32-bit pixels: both 16-bit lanes of a pixel carry its byte.
    for (const bool mirrored : {false, true}) {
        const auto bits = sse2::ReadMaskBits<sse2::DwordPixels>(mask, mirrored);
        _mm_store_si128(reinterpret_cast<__m128i*>(words), sse2::DwordPixels::MaskValues(bits));
        for (int lane = 0; lane < 8; ++lane) {
            const int pixel = lane / 2;
            EXPECT_EQ(mirrored ? mask[3 - pixel] : mask[pixel], words[lane]);
        }
    }
}

}  // namespace

#endif  // __SSE2__
