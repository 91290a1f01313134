// The blit benchmarks' cases and pictures: that every case is a valid blit of the shape it names
// (the pictures cover what the call reads, which the sanitized build checks by running each case),
// that the served body draws what the scalar body draws on them, and that the pictures hold what
// the peers' comparisons rely on.
#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "bench/blit_cases.h"
#include "bench/blit_pictures.h"
#include "graphics/blit/blit_registry.h"
#include "graphics/core/blit_flags.h"

namespace {

using bench::Picture;
using bench::Size;

TEST(BlitBenchCases, ModesMatchTheirRoutines) {
    for (size_t i = 0; i < gfx::kRoutineCount; ++i) {
        const gfx::RoutineInfo& info = gfx::InfoOf(gfx::RoutineAt(i));
        const std::vector<bench::Mode> modes = bench::ModesOf(info);
        EXPECT_FALSE(modes.empty()) << info.name;
        std::set<std::string> names;
        for (const bench::Mode& mode : modes) {
            EXPECT_TRUE(names.insert(mode.name).second) << info.name << " " << mode.name;
            // Scaled routines are timed scaled and unscaled ones unscaled.
            EXPECT_EQ(gfx::IsScaledShape(info.shape), mode.scaling != bench::Scaling::None)
                << info.name << " " << mode.name;
            // The exact path only where a routine has one, and named so.
            const bool exact = (mode.flags & gfx::BLIT_EXACT) != 0;
            EXPECT_EQ(exact, std::string(mode.name).find("exact") != std::string::npos);
            if (exact) {
                EXPECT_TRUE(bench::IsBlend(info) && info.bitsPerPixel >= 24) << info.name;
            }
        }
    }
}

// Each case at its smallest size, run once by each of its bodies: the pictures are large enough
// for every read (the sanitizer reports one past them) and every body draws the scalar result.
TEST(BlitBenchCases, EveryBodyDrawsTheScalarResultOnTheBenchPictures) {
    int cases = 0;
    bench::ForEachCase(
        [](const gfx::RoutineInfo&) { return true; },
        [&](gfx::RoutineId id, bench::Mode mode, Size size, bench::BodyChoice body) {
            if (size.width != 64 || (!body.named && body.kind == gfx::BodyKind::Scalar)) return;
            const gfx::RoutineInfo& info = gfx::InfoOf(id);
            const bench::Scene reference(info, mode, size);
            const bench::Scene scene(info, mode, size);
            ASSERT_EQ(scene.src.width, bench::SourceSize(mode.scaling, size).width);
            ASSERT_EQ(scene.call.sw, scene.src.width);
            ASSERT_EQ(scene.call.sh, scene.src.height);
            ASSERT_EQ(scene.mask.width, scene.src.width);
            ASSERT_EQ(scene.mask.height, scene.src.height);
            gfx::BodyOf(id, gfx::BodyKind::Scalar).Call(reference.call);
            body.Body(id).Call(scene.call);
            EXPECT_EQ(scene.dst.rows, reference.dst.rows)
                << bench::CaseName(info, mode, body.name, size);
            ++cases;
        });
    EXPECT_GT(cases, 0);
}

TEST(BlitBenchPictures, SpritesAndMasksHoldWhatTheComparisonsNeed) {
    const Size size{64, 48};
    for (int bytes = 1; bytes <= 4; ++bytes) {
        const Picture sprite = bench::Sprite(size, bytes);
        int keyed = 0;
        for (int32_t y = 0; y < size.height; ++y) {
            for (int32_t x = 0; x < size.width; ++x) {
                const bool outside = bench::EllipseRadius2(size, x, y) > 1.0;
                EXPECT_EQ(sprite.Get(x, y) == bench::KeyOf(bytes), outside)
                    << bytes << " " << x << "," << y;
                keyed += outside;
            }
        }
        EXPECT_GT(keyed, size.width * size.height / 10);
    }

    // The soft mask: a real share each of transparent, opaque and partial coverage.
    const Picture mask = bench::SoftMask(size);
    int zero = 0, full = 0, partial = 0;
    for (int32_t y = 0; y < size.height; ++y) {
        for (int32_t x = 0; x < size.width; ++x) {
            const uint32_t m = mask.Get(x, y);
            zero += m == 0;
            full += m == 255;
            partial += m != 0 && m != 255;
        }
    }
    const int pixels = size.width * size.height;
    for (int share : {zero, full, partial}) {
        EXPECT_GT(share, pixels / 5);
        EXPECT_LT(share, pixels / 2);
    }

    // The premultiplied sprite: alpha is what the mask leaves uncovered, and no colour byte
    // exceeds it, so that an OVER of it never carries past 255.
    const Picture remaining = bench::RemainingMask(size);
    const Picture premul = bench::PremulSprite(size, remaining);
    for (int32_t y = 0; y < size.height; ++y) {
        for (int32_t x = 0; x < size.width; ++x) {
            const uint32_t v = premul.Get(x, y), alpha = v >> 24;
            ASSERT_EQ(alpha, 255 - remaining.Get(x, y));
            for (int b = 0; b < 3; ++b) ASSERT_LE((v >> (8 * b)) & 0xFF, alpha);
        }
    }
}

}  // namespace
