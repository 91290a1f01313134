// The SSE2 and AVX2 channel mixes multiply where the scalar blends read ChannelProductTable.
// These loops show, over every channel value pair and every weight pair a blend can use, that
// the multiplies give the table's results bit for bit, and that the exact mixes keep full 8-bit
// precision.
#if defined(__SSE2__)

#include "graphics/blit/channel_mix_sse2.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

#include "graphics/blit/channel_mix_avx2.h"
#include "graphics/blit/instruction_sets.h"
#include "graphics/blit/mask_byte_blend.h"
#include "graphics/core/channel_product_table.h"
#include "graphics/core/channel_traits.h"

namespace {

using namespace gfx;

// The mixes of one register width, taking and giving 128-bit registers.
using Mix4 = __m128i (*)(__m128i, __m128i, __m128i, __m128i);
using Scale2 = __m128i (*)(__m128i, __m128i);
struct Mixes {
    const char* name;
    Mix4 byTable, exact, words555, words565;
    Scale2 scaleByTable, scaleExact;
};

const Mixes kSse2Mixes{"sse2",
                       &sse2::MixBytesByTable,
                       &sse2::MixBytesExact,
                       &sse2::MixWords<Channels555>::Mix,
                       &sse2::MixWords<Channels565>::Mix,
                       &sse2::ScaleBytesByTable,
                       &sse2::ScaleBytesExact};

#if defined(GFX_HAVE_X86_TARGETS)
// The 256-bit mixes run on the same 128 bits in both halves; a result whose halves differ is
// given as a value that cannot match.
__attribute__((target("avx2"))) __m128i Halves(__m256i r) {
    const __m128i low = _mm256_castsi256_si128(r);
    const __m128i high = _mm256_extracti128_si256(r, 1);
    const __m128i same = _mm_cmpeq_epi8(low, high);
    return _mm_movemask_epi8(same) == 0xFFFF ? low : _mm_xor_si128(low, _mm_set1_epi8(-1));
}
template <__m256i (*kMix)(__m256i, __m256i, __m256i, __m256i)>
__attribute__((target("avx2"))) __m128i Wide(__m128i a, __m128i b, __m128i c, __m128i d) {
    return Halves(kMix(_mm256_broadcastsi128_si256(a), _mm256_broadcastsi128_si256(b),
                       _mm256_broadcastsi128_si256(c), _mm256_broadcastsi128_si256(d)));
}
template <__m256i (*kScale)(__m256i, __m256i)>
__attribute__((target("avx2"))) __m128i Wide(__m128i a, __m128i b) {
    return Halves(kScale(_mm256_broadcastsi128_si256(a), _mm256_broadcastsi128_si256(b)));
}
const Mixes kAvx2Mixes{"avx2",
                       &Wide<&blend_avx2::MixBytesByTable>,
                       &Wide<&blend_avx2::MixBytesExact>,
                       &Wide<&blend_avx2::MixWords<Channels555>::Mix>,
                       &Wide<&blend_avx2::MixWords<Channels565>::Mix>,
                       &Wide<&blend_avx2::ScaleBytesByTable>,
                       &Wide<&blend_avx2::ScaleBytesExact>};
#endif

// The register widths that run here.
std::vector<const Mixes*> MixesHere() {
    std::vector<const Mixes*> all{&kSse2Mixes};
#if defined(GFX_HAVE_X86_TARGETS)
    if (BodyKindRunsHere(BodyKind::Avx2)) all.push_back(&kAvx2Mixes);
#endif
    return all;
}

// (source, destination) weights out of 32: those of constant levels (summing to 32 or 31) and of
// mask bytes (summing to 31).
std::vector<std::pair<int, int>> BlendWeights() {
    std::vector<std::pair<int, int>> weights;
    for (int l = 0; l <= 256; ++l) {
        const std::pair<int, int> w{l >> 3, (256 - l) >> 3};
        if (weights.empty() || weights.back() != w) weights.push_back(w);
    }
    for (int m = 0; m < 256; m += 8) weights.push_back({m >> 3, (255 - m) >> 3});
    return weights;
}

__m128i Words(const uint16_t (&w)[8]) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(w));
}

// Every pair of channel values meets in every channel: channel 0 takes (a, b) itself and the
// others odd-multiplier images of it, while the bits outside the channels vary.
template <class C>
void CheckWordMix(Mix4 mix, int top, int middle, uint16_t spareBit) {
    for (const auto& [ws, wd] : BlendWeights()) {
        const __m128i wsLanes = _mm_set1_epi16(static_cast<short>(ws));
        const __m128i wdLanes = _mm_set1_epi16(static_cast<short>(wd));
        for (int a = 0; a < 32; ++a) {
            uint16_t s[8], d[8], out[8];
            for (int k = 0; k < 32; k += 8) {
                for (int lane = 0; lane < 8; ++lane) {
                    const int b = k + lane;
                    const auto pack = [&](int c0, int c1, int c2, bool spare) {
                        return static_cast<uint16_t>((c0 << top) | ((c1 & 31) << middle) |
                                                     (c2 & 31) | (spare ? spareBit : 0));
                    };
                    s[lane] = pack(a, a + 7, a * 3 + 1, lane & 1);
                    d[lane] = pack(b, b * 5 + 2, b + 13, lane & 2);
                }
                _mm_storeu_si128(reinterpret_cast<__m128i*>(out),
                                 mix(Words(s), Words(d), wsLanes, wdLanes));
                for (int lane = 0; lane < 8; ++lane) {
                    const uint32_t expected = BlendWithProducts<C>(
                        SourceProductsOf<C>(s[lane], ChannelProductTable.entry[ws]), d[lane],
                        ChannelProductTable.entry[wd]);
                    ASSERT_EQ(expected, out[lane])
                        << "s=" << s[lane] << " d=" << d[lane] << " ws=" << ws << " wd=" << wd;
                }
            }
        }
    }
}

TEST(ChannelMix, WordMixesEqualTheTableBlends) {
    for (const Mixes* mixes : MixesHere()) {
        SCOPED_TRACE(mixes->name);
        CheckWordMix<Channels555>(mixes->words555, 10, 5, 0x8000);
        CheckWordMix<Channels565>(mixes->words565, 11, 6, 0x0020);
    }
}

// Runs `mix` on all 65536 (s, d) byte pairs, sixteen a register, and compares each result byte
// with `expected(s, d)`.
template <class Mix, class Expected>
void CheckEveryBytePair(Mix mix, Expected expected) {
    alignas(16) uint8_t s[16], d[16], out[16], want[16];
    for (int sv = 0; sv < 256; ++sv) {
        for (int dv = 0; dv < 256; dv += 16) {
            for (int k = 0; k < 16; ++k) {
                s[k] = static_cast<uint8_t>(sv);
                d[k] = static_cast<uint8_t>(dv + k);
                want[k] = expected(s[k], d[k]);
            }
            const __m128i r = mix(_mm_load_si128(reinterpret_cast<const __m128i*>(s)),
                                  _mm_load_si128(reinterpret_cast<const __m128i*>(d)));
            _mm_store_si128(reinterpret_cast<__m128i*>(out), r);
            if (std::memcmp(out, want, sizeof out) == 0) continue;
            for (int k = 0; k < 16; ++k) {
                ASSERT_EQ(want[k], out[k]) << "s=" << sv << " d=" << dv + k;
            }
        }
    }
}

TEST(ChannelMix, ByteMixesEqualTheTableBlends) {
    for (const Mixes* mixes : MixesHere()) {
        SCOPED_TRACE(mixes->name);
        for (const auto& [ws, wd] : BlendWeights()) {
            SCOPED_TRACE(testing::Message() << "ws=" << ws << " wd=" << wd);
            const __m128i wsLanes = _mm_set1_epi16(static_cast<short>(ws));
            const __m128i wdLanes = _mm_set1_epi16(static_cast<short>(wd));
            CheckEveryBytePair(
                [&](__m128i s, __m128i d) { return mixes->byTable(s, d, wsLanes, wdLanes); },
                [&](uint8_t s, uint8_t d) {
                    return static_cast<uint8_t>((ChannelProductTable.entry[ws][s >> 3] +
                                                 ChannelProductTable.entry[wd][d >> 3]) >>
                                                5);
                });
        }
        // The destination's share in premultiplied compositing, for every weight of a mask byte.
        for (int w = 0; w < 32; ++w) {
            const __m128i lanes = _mm_set1_epi16(static_cast<short>(w));
            CheckEveryBytePair(
                [&](__m128i, __m128i d) { return mixes->scaleByTable(d, lanes); },
                [&](uint8_t, uint8_t d) {
                    return static_cast<uint8_t>(ChannelProductTable.entry[w][d >> 3] >> 5);
                });
        }
    }
}

TEST(ChannelMix, ExactMixesKeepEightBits) {
    for (const Mixes* mixes : MixesHere()) {
        SCOPED_TRACE(mixes->name);
        // Every mask byte that is mixed, with the two totals of the 24 and 32-bit routines; the
        // largest sums (255 * 256) must not overflow their lanes.
        for (const int total : {255, 256}) {
            for (int m = 1; m < 255; ++m) {
                SCOPED_TRACE(testing::Message() << "total=" << total << " m=" << m);
                const __m128i ws = _mm_set1_epi16(static_cast<short>(m));
                const __m128i wd = _mm_set1_epi16(static_cast<short>(total - m));
                CheckEveryBytePair([&](__m128i s, __m128i d) { return mixes->exact(s, d, ws, wd); },
                                   [&](uint8_t s, uint8_t d) {
                                       return static_cast<uint8_t>((s * m + d * (total - m)) >> 8);
                                   });
            }
        }
        for (int m = 0; m < 256; ++m) {
            const __m128i lanes = _mm_set1_epi16(static_cast<short>(m));
            CheckEveryBytePair(
                [&](__m128i, __m128i d) { return mixes->scaleExact(d, lanes); },
                [&](uint8_t, uint8_t d) { return static_cast<uint8_t>((d * m) >> 8); });
        }
    }
}

}  // namespace

#endif  // __SSE2__
