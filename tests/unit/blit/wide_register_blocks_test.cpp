// The shuffles under the SSSE3 24-bit walk and the AVX2 lanes, checked against the byte order
// they stand for on random blocks; and whole sprite rows (hundreds of registers, keys in runs)
// through every fast body against the scalar one, the case the benchmarks time.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

#include "graphics/blit/blit_registry.h"
#include "graphics/blit/blit_scaled_avx2.h"
#include "graphics/blit/blit_scaled_ssse3.h"
#include "graphics/blit/instruction_sets.h"
#include "graphics/blit/scaled_gather_triplets_avx2.h"
#include "graphics/blit/triplets_avx2.h"
#include "graphics/blit/triplets_ssse3.h"
#include "graphics/blit/unscaled_walk_avx2.h"
#include "graphics/core/blit_flags.h"

namespace {

using namespace gfx;

#if defined(GFX_HAVE_X86_TARGETS)

__attribute__((target("ssse3"))) void CheckTripletShuffles(std::mt19937& rng) {
    uint8_t block[48];
    for (uint8_t& b : block) b = static_cast<uint8_t>(rng() % 4);  // keys match often
    const uint32_t key = static_cast<uint32_t>(rng() % 4) * 0x010101u ^ (rng() % 2);
    uint8_t out[48];

    ssse3::StoreBlock(out, ssse3::Reverse(ssse3::LoadBlock(block)));
    for (int k = 0; k < 16; ++k) {
        ASSERT_EQ(0, std::memcmp(out + 3 * k, block + 3 * (15 - k), 3)) << "pixel " << k;
    }

    uint8_t equal[16];
    sse2::Store(equal, ssse3::EqualPixelBytes(block, _mm_set1_epi32(static_cast<int>(key))));
    for (int k = 0; k < 16; ++k) {
        const uint32_t pixel = block[3 * k] | block[3 * k + 1] << 8 | block[3 * k + 2] << 16;
        ASSERT_EQ(pixel == key ? 0xFF : 0, equal[k]) << "pixel " << k;
    }

    ssse3::StoreBlock(out, ssse3::Spread(sse2::Load(equal)));
    for (int b = 0; b < 48; ++b) ASSERT_EQ(equal[b / 3], out[b]) << "byte " << b;
}

// The AVX2 blocks of 32 pixels, whose pixels 5, 10, 21 and 26 straddle 128-bit lanes; the key
// test by 16-bit words never misses a pixel that equals the key.
__attribute__((target("avx2"))) void CheckTripletShuffles32(std::mt19937& rng) {
    uint8_t block[96];
    for (uint8_t& b : block) b = static_cast<uint8_t>(rng() % 4);  // keys match often
    const uint32_t key = static_cast<uint32_t>(rng() % 4) * 0x010101u ^ (rng() % 2);
    uint8_t out[96];

    avx2::StoreTriplets(out, avx2::Reverse(avx2::LoadTriplets(block)));
    for (int k = 0; k < 32; ++k) {
        ASSERT_EQ(0, std::memcmp(out + 3 * k, block + 3 * (31 - k), 3)) << "pixel " << k;
    }

    uint8_t equal[32];
    avx2::Store(equal, avx2::EqualPixelBytes(block, _mm256_set1_epi32(static_cast<int>(key))));
    bool anyEqual = false;
    for (int k = 0; k < 32; ++k) {
        const uint32_t pixel = block[3 * k] | block[3 * k + 1] << 8 | block[3 * k + 2] << 16;
        ASSERT_EQ(pixel == key ? 0xFF : 0, equal[k]) << "pixel " << k;
        anyEqual = anyEqual || pixel == key;
    }
    if (anyEqual) {
        ASSERT_TRUE(avx2::MayHoldKey(avx2::LoadTriplets(block), avx2::KeyTriplets(key)));
    }

    avx2::StoreTriplets(out, avx2::Spread(avx2::Load(equal)));
    for (int b = 0; b < 96; ++b) ASSERT_EQ(equal[b / 3], out[b]) << "byte " << b;
}

// Each single pixel equal to the key, in a block whose other bytes all differ from the key's, is
// found by the word test wherever it lies.
__attribute__((target("avx2"))) void CheckKeyTestAtEveryPixel() {
    const uint32_t key = 0x123456;
    for (int k = 0; k < 32; ++k) {
        uint8_t block[96];
        std::memset(block, 0xEE, sizeof block);
        std::memcpy(block + 3 * k, &key, 3);
        ASSERT_TRUE(avx2::MayHoldKey(avx2::LoadTriplets(block), avx2::KeyTriplets(key)))
            << "pixel " << k;
    }
    uint8_t none[96];
    std::memset(none, 0xEE, sizeof none);
    ASSERT_FALSE(avx2::MayHoldKey(avx2::LoadTriplets(none), avx2::KeyTriplets(key)));
}

// What the 5-bit blend leaves of a channel that takes the whole weight, for every byte.
__attribute__((target("avx2"))) void CheckWholeWeight() {
    uint8_t in[32], out[32];
    for (int x0 = 0; x0 < 256; x0 += 32) {
        for (int b = 0; b < 32; ++b) in[b] = static_cast<uint8_t>(x0 + b);
        avx2::Store(out, blend_avx2::WholeWeight(avx2::Load(in)));
        for (int b = 0; b < 32; ++b) ASSERT_EQ(((in[b] >> 3) * 31) >> 2, out[b]) << int(in[b]);
    }
}

template <class L>
__attribute__((target("avx2"))) void CheckLaneReversal(std::mt19937& rng) {
    constexpr int kBytes = L::Pixel::kBytes;
    uint8_t in[32], out[32];
    for (uint8_t& b : in) b = static_cast<uint8_t>(rng());
    avx2::Store(out, L::Reverse(avx2::Load(in)));
    for (int k = 0; k < L::kLanes; ++k) {
        ASSERT_EQ(0, std::memcmp(out + k * kBytes, in + (L::kLanes - 1 - k) * kBytes, kBytes));
    }
    // Mask bytes of the lanes, read in mirrored order, and widened to whole lanes.
    uint8_t mask[32];
    for (uint8_t& b : mask) b = rng() % 2 ? 0xFF : 0;
    uint8_t widened[32];
    avx2::Store(widened, L::Widen(L::MaskBytes(mask, true)));
    for (int b = 0; b < 32; ++b) {
        ASSERT_EQ(mask[L::kLanes - 1 - b / kBytes], widened[b]) << "byte " << b;
    }
}

TEST(WideRegisterBlocks, ShufflesKeepThePixelOrderTheyStandFor) {
    std::mt19937 rng(31);
    if (BodyKindRunsHere(BodyKind::Ssse3)) {
        for (int trial = 0; trial < 500; ++trial) CheckTripletShuffles(rng);
    }
    if (BodyKindRunsHere(BodyKind::Avx2)) {
        CheckKeyTestAtEveryPixel();
        CheckWholeWeight();
        for (int trial = 0; trial < 500; ++trial) CheckTripletShuffles32(rng);
        for (int trial = 0; trial < 100; ++trial) {
            CheckLaneReversal<avx2::Lanes8>(rng);
            CheckLaneReversal<avx2::Lanes16>(rng);
            CheckLaneReversal<avx2::Lanes32>(rng);
        }
    }
}

// Halving by shuffles takes source pixel 2j (and mask byte 2j, three times) for pixel j, doubling
// source pixel j / 2; neither reads past the row's last pixel read (2 * (width - 1) or
// (width - 1) / 2): the source is exactly that long (the address sanitizer build sees a read past
// it), the output has guard bytes.
enum class Resampler { HalveSsse3, DoubleSsse3, HalveAvx2 };

__attribute__((target("ssse3"))) void ResampleSsse3(bool halve, uint8_t* pixels, uint8_t* masks,
                                                    const uint8_t* src, const uint8_t* mask,
                                                    int32_t width) {
    if (halve) {
        ssse3::HalveTriplets(pixels, src, width);
        ssse3::HalveMaskTriplets(masks, mask, width);
    } else {
        ssse3::DoubleTriplets(pixels, src, width);
        ssse3::DoubleMaskTriplets(masks, mask, width);
    }
}

__attribute__((target("avx2"))) void HalveAvx2(uint8_t* pixels, uint8_t* masks, const uint8_t* src,
                                               const uint8_t* mask, int32_t width) {
    avx2::HalveTriplets(pixels, src, width);
    avx2::HalveMaskTriplets(masks, mask, width);
}

void Resample(Resampler how, uint8_t* pixels, uint8_t* masks, const uint8_t* src,
              const uint8_t* mask, int32_t width) {
    if (how == Resampler::HalveAvx2) {
        HalveAvx2(pixels, masks, src, mask, width);
    } else {
        ResampleSsse3(how == Resampler::HalveSsse3, pixels, masks, src, mask, width);
    }
}

void CheckResampling(std::mt19937& rng, int32_t width, Resampler resampler) {
    const bool halve = resampler != Resampler::DoubleSsse3;
    const auto column = [halve](int32_t j) { return halve ? 2 * j : j / 2; };
    const size_t sourcePixels = static_cast<size_t>(column(width - 1) + 1);
    std::vector<uint8_t> src(3 * sourcePixels), mask(sourcePixels);
    for (uint8_t& b : src) b = static_cast<uint8_t>(rng());
    for (uint8_t& b : mask) b = static_cast<uint8_t>(rng());
    constexpr size_t kGuard = 16;
    std::vector<uint8_t> pixels(3 * width + kGuard, 0xA5), masks(3 * width + kGuard, 0xA5);
    Resample(resampler, pixels.data(), masks.data(), src.data(), mask.data(), width);
    const char* how = halve ? "halving" : "doubling";
    for (int32_t j = 0; j < width; ++j) {
        for (int c = 0; c < 3; ++c) {
            ASSERT_EQ(src[3 * column(j) + c], pixels[3 * j + c])
                << how << " width " << width << " pixel " << j;
            ASSERT_EQ(mask[column(j)], masks[3 * j + c])
                << how << " width " << width << " pixel " << j;
        }
    }
    for (size_t g = 3 * width; g < pixels.size(); ++g) {
        ASSERT_EQ(0xA5, pixels[g]) << how << " width " << width;
        ASSERT_EQ(0xA5, masks[g]) << how << " width " << width;
    }
}

TEST(WideRegisterBlocks, HalvingAndDoublingShufflesStayInsideTheRow) {
    if (!BodyKindRunsHere(BodyKind::Ssse3)) GTEST_SKIP() << "no SSSE3";
    std::mt19937 rng(7);
    const bool avx2 = BodyKindRunsHere(BodyKind::Avx2);
    // Up to four blocks of 32 pixels and every remainder.
    for (int32_t width = 1; width <= 140; ++width) {
        CheckResampling(rng, width, Resampler::HalveSsse3);
        CheckResampling(rng, width, Resampler::DoubleSsse3);
        if (avx2) CheckResampling(rng, width, Resampler::HalveAvx2);
        if (HasFatalFailure()) return;
    }
}

#endif  // GFX_HAVE_X86_TARGETS

// A sprite row: the key around an opaque run, as the benchmark's pictures; the destination has
// the destination key in runs.
TEST(WideRegisterBlocks, WholeSpriteRowsMatchTheScalarBody) {
    std::mt19937 rng(5);
    constexpr int32_t kWidth = 643, kHeight = 9;
    for (size_t i = 0; i < kRoutineCount; ++i) {
        const RoutineId id = RoutineAt(i);
        const RoutineInfo& info = InfoOf(id);
        if (IsScaledShape(info.shape) || !BodyOf(id, BodyKind::Scalar).IsAvailable()) continue;
        const int bytes = static_cast<int>(info.bitsPerPixel / 8);
        const int32_t pitch = (kWidth * bytes + 3) / 4 * 4;
        const uint32_t key = 0x00A0B0C0u & (bytes == 4 ? 0xFFFFFFFFu : (1u << (8 * bytes)) - 1);
        std::vector<uint8_t> src(static_cast<size_t>(pitch) * kHeight);
        std::vector<uint8_t> dst(src.size()), mask(static_cast<size_t>(kWidth) * kHeight);
        for (int32_t y = 0; y < kHeight; ++y) {
            for (int32_t x = 0; x < kWidth; ++x) {
                const bool inside = x > 40 + 7 * y && x < kWidth - 50 - 5 * y;
                const uint32_t s = inside ? static_cast<uint32_t>(rng()) : key;
                const uint32_t d = (x / 97) % 2 ? key : static_cast<uint32_t>(rng());
                for (int b = 0; b < bytes; ++b) {
                    src[static_cast<size_t>(y) * pitch + x * bytes + b] =
                        static_cast<uint8_t>(s >> (8 * b));
                    dst[static_cast<size_t>(y) * pitch + x * bytes + b] =
                        static_cast<uint8_t>(d >> (8 * b));
                }
                mask[static_cast<size_t>(y) * kWidth + x] =
                    static_cast<uint8_t>(x * 256 / kWidth + y);
            }
        }
        for (int k = 1; k < kBodyKindCount; ++k) {
            const BodyKind kind = static_cast<BodyKind>(k);
            if (!HasRunnableBody(id, kind)) continue;
            for (uint32_t flags = 0; flags < 16; ++flags) {
                BlitCall c;
                c.dstPitch = c.srcPitch = pitch;
                c.dx = 3, c.sx = 2, c.width = kWidth - 3, c.height = kHeight;
                c.src = src.data(), c.flags = flags, c.srcKey = c.dstKey = key, c.level = 128;
                c.mask = mask.data(), c.maskPitch = kWidth;
                std::vector<uint8_t> expected = dst, actual = dst;
                c.dst = expected.data();
                BodyOf(id, BodyKind::Scalar).Call(c);
                c.dst = actual.data();
                BodyOf(id, kind).Call(c);
                ASSERT_EQ(expected, actual)
                    << info.name << " (" << BodyKindName(kind) << ") flags " << flags;
            }
        }
    }
}

}  // namespace
