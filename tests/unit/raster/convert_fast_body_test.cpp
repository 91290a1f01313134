// The fast bodies of the direct re-pack and of the palette lookup and pack against their scalar
// bodies on random rows: every pair of direct layouts (and a few channel orders no format has),
// every width from 1 to a few registers, padded pitches, pixel bits outside the channels set.
// Target rows sit between guard bytes, so a stray write shows as a difference; the source block
// ends right after its last pixel, so the sanitized build reports a read past it.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "graphics/core/channel_layout.h"
#include "graphics/core/pixel_format.h"
#include "graphics/raster/convert_pixels.h"
#include "graphics/raster/convert_routines.h"
#include "tests/unit/raster/convert_fast_bodies.h"

namespace {

using namespace gfx;

// The direct formats, and channel orders a surface kind could report: red lowest in 24 and 32
// bits, green highest in 16 bits.
const PixelFormat kDirectFormats[] = {
    FMT_RGB555, FMT_BGR555, FMT_RGB565, FMT_BGR565, FMT_RGB24, FMT_RGB32,
    (FMT_RGB24 & ~0x00FF0000u) | 0x00C60000u,
    (FMT_RGB32 & ~0x00FF0000u) | 0x00C60000u,
    (FMT_RGB565 & ~0x00FF0000u) | 0x00D80000u,
};

constexpr size_t kGuard = 16;
constexpr uint8_t kGuardByte = 0xA5;

struct Rows {
    int32_t width = 0, height = 0;
    int32_t sourcePitch = 0, targetPitch = 0;
    std::vector<uint8_t> source;
    std::vector<uint8_t> target;  // guard, rows, guard
};

Rows MakeRows(std::mt19937& rng, int32_t width, int32_t height, uint32_t sourceBytes,
              uint32_t targetBytes) {
    Rows r;
    r.width = width;
    r.height = height;
    r.sourcePitch = int32_t(width * sourceBytes + rng() % 7);
    r.targetPitch = int32_t(width * targetBytes + rng() % 7);
    r.source.resize(size_t(height - 1) * r.sourcePitch + width * sourceBytes);
    for (uint8_t& b : r.source) b = uint8_t(rng());
    r.target.assign(2 * kGuard + size_t(height) * r.targetPitch, kGuardByte);
    return r;
}

struct Heard {
    std::vector<int> percents;
};

Heard* listening = nullptr;
constexpr int32_t kUserData = 77;

void Listen(int32_t userData, int32_t percent) {
    EXPECT_EQ(userData, kUserData);
    listening->percents.push_back(percent);
}

// Runs `routine` over the rows into a fresh copy of the target block; returns the block.
std::vector<uint8_t> Convert(ConvertRoutine routine, const Rows& rows, const ChannelLayout& from,
                         const ChannelLayout& to, const PaletteEntry* entries, Heard* heard) {
    std::vector<uint8_t> block = rows.target;
    ConvertJob job;
    job.source = rows.source.data();
    job.sourcePitch = rows.sourcePitch;
    job.target = block.data() + kGuard;
    job.targetPitch = rows.targetPitch;
    job.width = rows.width;
    job.height = rows.height;
    job.sourceLayout = from;
    job.targetLayout = to;
    job.sourceEntries = entries;
    job.progress = Listen;
    job.userData = kUserData;
    listening = heard;
    EXPECT_EQ(routine(job), ResultOk);
    return block;
}

std::string Describe(const char* body, PixelFormat from, PixelFormat to, const Rows& r) {
    return std::string(body) + " " + std::to_string(from) + " -> " + std::to_string(to) +
           " width " + std::to_string(r.width) + " height " + std::to_string(r.height);
}

TEST(ConvertFastBodies, RepackMatchesScalarForEveryLayoutPair) {
    std::mt19937 rng(1234);
    for (const FastConvertBody& body : FastConvertBodies<RasterRoutine::ConvertRepack>()) {
        for (PixelFormat from : kDirectFormats) {
            for (PixelFormat to : kDirectFormats) {
                const ChannelLayout fromLayout = DecodeChannelLayout(from);
                const ChannelLayout toLayout = DecodeChannelLayout(to);
                for (int32_t width = 1; width <= 70; width += 1 + int32_t(rng() % 3)) {
                    Rows rows = MakeRows(rng, width, 1 + int32_t(rng() % 3),
                                         fromLayout.bytesPerPixel, toLayout.bytesPerPixel);
                    Heard scalarHeard, fastHeard;
                    const auto want =
                        Convert(ConvertRepack, rows, fromLayout, toLayout, nullptr, &scalarHeard);
                    const auto got = Convert(body.fn, rows, fromLayout, toLayout, nullptr, &fastHeard);
                    ASSERT_EQ(got, want) << Describe(body.name, from, to, rows);
                    ASSERT_EQ(fastHeard.percents, scalarHeard.percents);
                }
            }
        }
    }
}

TEST(ConvertFastBodies, LookupPackMatchesScalarForEveryTarget) {
    std::mt19937 rng(99);
    PaletteEntry entries[256];
    for (PaletteEntry& e : entries) {
        e = PaletteEntry{uint8_t(rng()), uint8_t(rng()), uint8_t(rng()), uint8_t(rng() % 3)};
    }
    // The extremes, where a lost or shifted bit shows.
    entries[0] = {0, 0, 0, 0};
    entries[255] = {255, 255, 255, 1};
    for (const FastConvertBody& body : FastConvertBodies<RasterRoutine::ConvertLookupPack>()) {
        for (PixelFormat to : kDirectFormats) {
            const ChannelLayout toLayout = DecodeChannelLayout(to);
            for (int32_t width = 1; width <= 70; width += 1 + int32_t(rng() % 2)) {
                Rows rows = MakeRows(rng, width, 1 + int32_t(rng() % 3), 1, toLayout.bytesPerPixel);
                Heard scalarHeard, fastHeard;
                const ChannelLayout none;
                const auto want =
                    Convert(ConvertLookupPack, rows, none, toLayout, entries, &scalarHeard);
                const auto got = Convert(body.fn, rows, none, toLayout, entries, &fastHeard);
                ASSERT_EQ(got, want) << Describe(body.name, FMT_INDEX8, to, rows);
                ASSERT_EQ(fastHeard.percents, scalarHeard.percents);
            }
        }
    }
}

// The plan the fast bodies run equals the scalar round trip through 8-bit channels on every
// value of the 16-bit formats and on random wider ones.
TEST(ConvertFastBodies, RepackPlanIsTheChannelRoundTrip) {
    std::mt19937 rng(7);
    for (PixelFormat from : kDirectFormats) {
        for (PixelFormat to : kDirectFormats) {
            const ChannelLayout f = DecodeChannelLayout(from);
            const ChannelLayout t = DecodeChannelLayout(to);
            const RepackPlan plan = MakeRepackPlan(f, t);
            EXPECT_LE(plan.count, 3);
            const uint32_t values = f.bytesPerPixel == 2 ? 0x10000u : 20000u;
            for (uint32_t k = 0; k < values; ++k) {
                const uint32_t v = f.bytesPerPixel == 2 ? k : uint32_t(rng());
                uint32_t want = 0;
                for (int c = 0; c < 3; ++c) want |= t.channel[c].Write(f.channel[c].Read(v));
                ASSERT_EQ(plan.Apply(v), want) << from << " -> " << to << " value " << v;
            }
        }
    }
}

}  // namespace
