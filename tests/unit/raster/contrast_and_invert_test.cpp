#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <utility>

#include "graphics/raster/contrast_table.h"
#include "tests/unit/raster/raster_surfaces.h"

using namespace gfx;

namespace {

// The mean luminance: per-byte means, plain (integer means, single-precision weights) or
// weighted by the mask (sums in extended precision, double-precision weights).
int32_t ModelMean(RowImage& rows, const RowImage* mask, int32_t w, int32_t h, int32_t bytes) {
    long double weight = 0, sum[3] = {};
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x) {
            const long double m = mask ? mask->bytes[size_t(y) * mask->rowBytes + x] : 1;
            weight += m;
            for (int k = 0; k < 3; ++k) sum[k] += m * rows.Row(y)[x * bytes + k];
        }
    int64_t a[3];
    for (int k = 0; k < 3; ++k) a[k] = int64_t(sum[k] / weight);
    if (!mask) return int32_t(float(a[0]) * 0.114f + float(a[1]) * 0.587f + float(a[2]) * 0.299f);
    return int32_t(double(a[1]) * 0.587 + double(a[2]) * 0.299 + double(a[0]) * 0.114);
}

}  // namespace

TEST(ContrastTable, CompressesAndExpandsAboutTheMean) {
    const ContrastTable lower = MakeContrastTable(-50, 100);
    EXPECT_EQ(lower.entry[200], 150);
    EXPECT_EQ(lower.entry[0], 50);
    EXPECT_EQ(lower.entry[101], 100);  // 0.5 truncates toward zero
    EXPECT_EQ(lower.entry[99], 100);
    EXPECT_EQ(MakeContrastTable(-100, 77).entry[255], 77);
    const ContrastTable raise = MakeContrastTable(100, 100);
    EXPECT_EQ(raise.entry[255], 255);
    EXPECT_EQ(raise.entry[0], 0);
    EXPECT_EQ(raise.entry[101], 255);  // 101 + trunc(155 * 1.05), clamped
    const ContrastTable gentle = MakeContrastTable(10, 128);
    EXPECT_EQ(gentle.entry[128], 127);  // 128 - trunc(128^0.1 * 1.05)
    EXPECT_EQ(gentle.entry[129], 130);  // 129 + trunc(127^0.1 * 1.05)
    EXPECT_EQ(MakeContrastTable(60, 0).entry[0], 0);  // 0^h is 0
}

// Whole pictures with and without a mask, 24 and 32-bit, every kind, against the model; byte 3
// of 32-bit pixels is never touched. Then every refusal: ResultFailed, nothing changed or left
// locked.
TEST(AdjustContrast, MatchesTheModelAndRefusesCleanly) {
    std::mt19937 rng(31);
    for (RasterKind kind : kRasterKinds) {
        for (PixelFormat format : {FMT_RGB24, FMT_RGB32}) {
            for (int32_t amount : {-100, -37, 45, 100}) {
                // Small, and wide enough for whole registers of masked pixels and a tail.
                for (const auto& [w, h] : {std::pair{13, 6}, std::pair{70, 5}}) {
                    for (bool masked : {false, true}) {
                        SCOPED_TRACE(Describe(kind, format) + " amount " + std::to_string(amount) +
                                     " width " + std::to_string(w));
                        const int32_t bytes = int32_t(BitsPerPixel(format) / 8);
                        SurfacePtr s = MakeSurface(kind, w, h, format);
                        SurfacePtr mask = MakeSurface(kind, w + 2, h + 1, FMT_INDEX8);
                        RowImage model = PaintRows(*s, &rng);
                        RowImage maskRows = PaintRows(*mask, &rng);
                        for (uint8_t& m : maskRows.bytes) m = m < 100 ? 0 : m;
                        MoveRows(*mask, maskRows, true);
                        ASSERT_EQ(s->AdjustContrast(amount, masked ? mask.get() : nullptr), ResultOk);
                        const RowImage* m = masked ? &maskRows : nullptr;
                        const ContrastTable table = MakeContrastTable(amount, ModelMean(model, m, w, h, bytes));
                        for (int32_t y = 0; y < h; ++y)
                            for (int32_t x = 0; x < w; ++x)
                                if (!m || maskRows.Row(y)[x])
                                    for (int k = 0; k < 3; ++k) model.Row(y)[x * bytes + k] = table.entry[model.Row(y)[x * bytes + k]];
                        EXPECT_EQ(ReadRows(*s), model);
                        EXPECT_EQ(s->GetAccessCount() + mask->GetAccessCount(), 0);
                    }
                }
            }
        }
    }

    SurfacePtr s = MakeSurface(RasterKind::Buffer, 8, 5, FMT_RGB32);
    const RowImage before = PaintRows(*s, &rng);
    EXPECT_EQ(s->AdjustContrast(0, nullptr), ResultOk);
    EXPECT_EQ(s->AdjustContrast(101, nullptr), ResultFailed);
    EXPECT_EQ(s->AdjustContrast(-101, nullptr), ResultFailed);
    SurfacePtr zeros = MakeSurface(RasterKind::Buffer, 8, 5, FMT_INDEX8);
    PaintRows(*zeros, nullptr);
    EXPECT_EQ(s->AdjustContrast(50, zeros.get()), ResultOk);
    // Masks that do not cover the picture, or are not one byte per pixel.
    for (const SurfacePtr& m : {MakeSurface(RasterKind::Buffer, 7, 5, FMT_INDEX8),
                          MakeSurface(RasterKind::Buffer, 8, 4, FMT_INDEX8),
                          MakeSurface(RasterKind::Buffer, 8, 5, FMT_RGB565)}) {
        PaintRows(*m, nullptr, 0xFF);
        EXPECT_EQ(s->AdjustContrast(50, m.get()), ResultFailed);
    }
    static_cast<BufferSurface&>(*zeros).refuseLock = true;
    EXPECT_EQ(s->AdjustContrast(50, zeros.get()), ResultFailed);
    EXPECT_EQ(s->GetAccessCount(), 0);
    static_cast<BufferSurface&>(*s).refuseLock = true;
    EXPECT_EQ(s->AdjustContrast(50, nullptr), ResultFailed);
    static_cast<BufferSurface&>(*s).refuseLock = false;
    EXPECT_EQ(ReadRows(*s), before);
    EXPECT_EQ(MakeSurface(RasterKind::DibSection, 4, 4, FMT_RGB565)->AdjustContrast(50, nullptr), ResultFailed);
}

// Every byte holding pixel bits is complemented (byte 3 of 32-bit pixels too, the padding of
// packed rows not), and twice restores the picture.
TEST(Invert, ComplementsEveryPixelByte) {
    std::mt19937 rng(6);
    for (RasterKind kind : kRasterKinds) {
        for (PixelFormat format : {FMT_INDEX1, FMT_INDEX4, FMT_INDEX8, FMT_RGB565, FMT_RGB24, FMT_RGB32}) {
            SCOPED_TRACE(Describe(kind, format));
            SurfacePtr s = MakeSurface(kind, 11, 3, format);
            const RowImage before = PaintRows(*s, &rng);
            ASSERT_EQ(s->Invert(), ResultOk);
            RowImage model = before;
            for (int32_t y = 0; y < 3; ++y)
                for (size_t k = 0; k < (11 * BitsPerPixel(format) + 7) / 8; ++k) model.Row(y)[k] ^= 0xFF;
            EXPECT_EQ(ReadRows(*s), model);
            ASSERT_EQ(s->Invert(), ResultOk);
            EXPECT_EQ(ReadRows(*s), before);
        }
    }
    EXPECT_EQ(MemoryDibSurface().Invert(), ResultNoImage);
    SurfacePtr refusing = MakeSurface(RasterKind::Buffer, 2, 2, FMT_INDEX8);
    static_cast<BufferSurface&>(*refusing).refuseLock = true;
    EXPECT_EQ(refusing->Invert(), ResultEncoded);
}
