// Every fast body of the raster registry that runs here against its routine's scalar body, on
// random rows inside larger blocks: the bytes around the rows are random too, so a stray write
// shows as a difference. Widths run from 1 to several registers, starting addresses take every
// misalignment, and some areas span the whole pitch (rows without a gap between them).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "graphics/raster/raster_registry.h"
#include "tests/unit/raster/raster_surfaces.h"

namespace {

using namespace gfx;

// The fast kinds of a routine that run here.
std::vector<BodyKind> FastKindsOf(RasterRoutine id) {
    std::vector<BodyKind> kinds;
    for (int k = 1; k < kBodyKindCount; ++k) {
        if (HasRunnableRasterBody(id, static_cast<BodyKind>(k)))
            kinds.push_back(static_cast<BodyKind>(k));
    }
    return kinds;
}

std::string Name(RasterRoutine id, BodyKind kind) {
    return std::string(NameOf(id)) + " (" + BodyKindName(kind) + ")";
}

class Random {
  public:
    explicit Random(uint32_t seed) : rng_(seed) {}
    int Int(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }
    uint32_t Word() { return static_cast<uint32_t>(rng_()); }
    std::vector<uint8_t> Bytes(size_t n) {
        std::vector<uint8_t> bytes(n);
        for (uint8_t& b : bytes) b = static_cast<uint8_t>(rng_());
        return bytes;
    }

  private:
    std::mt19937 rng_;
};

// Random rows in a random block: `area` lies inside rows of `pitch` bytes that start `offset`
// bytes into `block`, with rows to spare above and below.
struct RowScene {
    FillArea area{};
    int32_t pitch = 0;
    size_t offset = 0;
    std::vector<uint8_t> block;

    uint8_t* Base(std::vector<uint8_t>& b) const { return b.data() + offset; }
    std::string Describe() const {
        return "area (" + std::to_string(area.x) + "," + std::to_string(area.y) + " " +
               std::to_string(area.width) + "x" + std::to_string(area.height) +
               ") pitch " + std::to_string(pitch) + " offset " + std::to_string(offset);
    }
};

RowScene MakeRowScene(Random& r, int bytes, int maxWidth) {
    RowScene s;
    s.area.width = r.Int(1, maxWidth);
    s.area.height = r.Int(1, 4);
    const bool wholePitch = r.Int(0, 3) == 0;
    s.area.x = wholePitch ? 0 : r.Int(0, 9);
    s.area.y = r.Int(0, 2);
    const int32_t used = (s.area.x + s.area.width) * bytes;
    s.pitch = wholePitch ? used : used + r.Int(0, 40);
    s.offset = static_cast<size_t>(r.Int(0, 63));
    s.block = r.Bytes(s.offset + static_cast<size_t>(s.area.y + s.area.height + 1) * s.pitch + 64);
    return s;
}

// The routines and fast kinds, the forcing calls and the start-up choice.
TEST(RasterRegistry, ServesTheWidestRunnableBodyAndCanBeForced) {
    for (size_t i = 0; i < kRasterRoutineCount; ++i) {
        const RasterRoutine id = RasterRoutineAt(i);
        SCOPED_TRACE(NameOf(id));
        ASSERT_NE(AnyRasterBodyOf(id, BodyKind::Scalar), nullptr);
        BodyKind widest = BodyKind::Scalar;
        for (BodyKind kind : FastKindsOf(id)) widest = kind;
        EXPECT_EQ(ServedRasterKind(id), widest);
        EXPECT_EQ(AnyServedRasterBody(id), AnyRasterBodyOf(id, widest));

        ForceRasterBody(BodyKind::Scalar);
        EXPECT_EQ(AnyServedRasterBody(id), AnyRasterBodyOf(id, BodyKind::Scalar));
        for (BodyKind kind : FastKindsOf(id)) {
            EXPECT_TRUE(ForceRasterRoutineBody(id, kind));
            EXPECT_EQ(ServedRasterKind(id), kind);
        }
        RestoreRasterBodies();
        EXPECT_EQ(ServedRasterKind(id), widest);
    }
#if defined(__SSE2__)
    EXPECT_EQ(ServedRasterKind(RasterRoutine::FillRows32) == BodyKind::Scalar, false);
#endif
    // A kind that does not run here, or that the routine lacks, changes nothing.
    for (int k = 1; k < kBodyKindCount; ++k) {
        const BodyKind kind = static_cast<BodyKind>(k);
        if (HasRunnableRasterBody(RasterRoutine::FillRows8, kind)) continue;
        const BodyKind before = ServedRasterKind(RasterRoutine::FillRows8);
        EXPECT_FALSE(ForceRasterRoutineBody(RasterRoutine::FillRows8, kind));
        EXPECT_EQ(ServedRasterKind(RasterRoutine::FillRows8), before);
    }
}

template <RasterRoutine R>
void CheckFill(Random& r, int bytes) {
    const FillRowsBody scalar = RasterBodyOf<R>(BodyKind::Scalar);
    for (BodyKind kind : FastKindsOf(R)) {
        const FillRowsBody fast = RasterBodyOf<R>(kind);
        // Up to four 96-byte rotations of 24-bit stores and their remainders.
        const int maxWidth = 4 * 96 / bytes + 8;
        for (int trial = 0; trial < 1500; ++trial) {
            RowScene s = MakeRowScene(r, bytes, maxWidth);
            const uint32_t value = r.Word();
            std::vector<uint8_t> expected = s.block, actual = s.block;
            scalar(s.Base(expected), s.pitch, s.area, value);
            fast(s.Base(actual), s.pitch, s.area, value);
            ASSERT_EQ(expected, actual) << Name(R, kind) << " " << s.Describe();
        }
        // Empty areas write nothing.
        RowScene s = MakeRowScene(r, bytes, 8);
        std::vector<uint8_t> actual = s.block;
        for (FillArea empty : {FillArea{1, 0, 0, 2}, FillArea{1, 0, 3, 0}, FillArea{0, 0, -4, 2}}) {
            fast(s.Base(actual), s.pitch, empty, 0xA5A5A5A5u);
            ASSERT_EQ(s.block, actual) << Name(R, kind);
        }
    }
}

TEST(RasterFastPath, FillsMatchScalar) {
    Random r(20261208);
    CheckFill<RasterRoutine::FillRows8>(r, 1);
    CheckFill<RasterRoutine::FillRows16>(r, 2);
    CheckFill<RasterRoutine::FillRows24>(r, 3);
    CheckFill<RasterRoutine::FillRows32>(r, 4);
}

template <RasterRoutine R>
void CheckBlendFill(Random& r) {
    const BlendFillRowsBody scalar = RasterBodyOf<R>(BodyKind::Scalar);
    for (BodyKind kind : FastKindsOf(R)) {
        const BlendFillRowsBody fast = RasterBodyOf<R>(kind);
        for (int trial = 0; trial < 1500; ++trial) {
            // Only even row addresses hold 16-bit pixels on a surface, but odd ones must work too.
            RowScene s = MakeRowScene(r, 2, 80);
            const uint32_t colour = r.Word();
            const uint32_t weight = r.Int(0, 5) == 0 ? r.Word() : static_cast<uint32_t>(r.Int(0, 260));
            std::vector<uint8_t> expected = s.block, actual = s.block;
            scalar(s.Base(expected), s.pitch, s.area, colour, weight);
            fast(s.Base(actual), s.pitch, s.area, colour, weight);
            ASSERT_EQ(expected, actual) << Name(R, kind) << " " << s.Describe() << " colour "
                                        << colour << " weight " << weight;
        }
    }
}

TEST(RasterFastPath, BlendFillsMatchScalar) {
    Random r(5);
    CheckBlendFill<RasterRoutine::BlendFillRows555>(r);
    CheckBlendFill<RasterRoutine::BlendFillRows565>(r);
}

TEST(RasterFastPath, InversionMatchesScalar) {
    Random r(11);
    const InvertRowsBody scalar = RasterBodyOf<RasterRoutine::InvertRows>(BodyKind::Scalar);
    for (BodyKind kind : FastKindsOf(RasterRoutine::InvertRows)) {
        const InvertRowsBody fast = RasterBodyOf<RasterRoutine::InvertRows>(kind);
        for (int trial = 0; trial < 1500; ++trial) {
            RowScene s = MakeRowScene(r, 1, 300);
            const size_t rowBytes = static_cast<size_t>(s.area.x + s.area.width);
            uint8_t* first = s.Base(s.block) + static_cast<ptrdiff_t>(s.area.y) * s.pitch;
            std::vector<uint8_t> expected = s.block, actual = s.block;
            const ptrdiff_t at = first - s.block.data();
            scalar(expected.data() + at, s.pitch, s.area.height, rowBytes);
            fast(actual.data() + at, s.pitch, s.area.height, rowBytes);
            ASSERT_EQ(expected, actual) << Name(RasterRoutine::InvertRows, kind) << " "
                                        << s.Describe();
            // Twice is the identity.
            fast(actual.data() + at, s.pitch, s.area.height, rowBytes);
            ASSERT_EQ(s.block, actual) << Name(RasterRoutine::InvertRows, kind);
        }
    }
}

// A picture of 24 or 32-bit pixels in random rows; `pitch` may be the bare row (rows without a
// gap) or padded. Bytes are random, or all 255 (the largest sums), or a few values. The first
// row starts at any byte of a 32-byte register, so that bodies that start their registers at a
// boundary meet every head and every phase of the pixels there.
struct Picture {
    ContrastRows rows;
    std::vector<uint8_t> block, mask;
    size_t start = 0;

    ContrastRows In(std::vector<uint8_t>& b) const {
        ContrastRows r = rows;
        r.base = b.data() + start;
        return r;
    }
};

Picture MakePicture(Random& r, int32_t bytes, int32_t width, int32_t height, bool withMask) {
    Picture pic;
    const int32_t rowBytes = width * bytes;
    const int32_t pitch = r.Int(0, 1) ? rowBytes : (rowBytes + 3) / 4 * 4 + 4 * r.Int(0, 2);
    pic.start = static_cast<size_t>(r.Int(0, 31));
    pic.block = r.Bytes(pic.start + static_cast<size_t>(pitch) * height + 5);
    const int style = r.Int(0, 3);
    for (uint8_t& b : pic.block) {
        if (style == 0) b = 255;
        if (style == 1) b = static_cast<uint8_t>(b & 0x81);
    }
    const int32_t maskPitch = width + 5 * r.Int(0, 1);
    if (withMask) {
        pic.mask = r.Bytes(static_cast<size_t>(maskPitch) * height);
        for (uint8_t& m : pic.mask) m = m & 1 ? 0 : m;
    }
    pic.rows = ContrastRows{nullptr, pitch, withMask ? pic.mask.data() : nullptr, maskPitch,
                            width, height, bytes};
    pic.rows.base = pic.block.data() + pic.start;
    return pic;
}

std::string Describe(const ContrastRows& rows) {
    return std::to_string(rows.width) + "x" + std::to_string(rows.height) + " bytes " +
           std::to_string(rows.bytes) + " pitch " + std::to_string(rows.pitch) +
           (rows.mask ? " masked" : "");
}

// Small pictures of every width up to several blocks, and large ones: past the 16-bit lanes'
// flush of the sums and past the size from which the table is applied through pairs.
std::vector<Picture> ContrastPictures(Random& r) {
    std::vector<Picture> pictures;
    for (int trial = 0; trial < 400; ++trial) {
        pictures.push_back(MakePicture(r, r.Int(3, 4), r.Int(1, 70), r.Int(1, 4), r.Int(0, 2) == 0));
    }
    for (int32_t bytes : {3, 4}) {
        for (int32_t width : {512, 513, 511}) pictures.push_back(MakePicture(r, bytes, width, 257, false));
        pictures.push_back(MakePicture(r, bytes, 4200, 2, false));
    }
    return pictures;
}

TEST(RasterFastPath, ContrastSumsAndTableMatchScalar) {
    Random r(17);
    const std::vector<Picture> pictures = ContrastPictures(r);
    const SumChannelsBody scalarSums = RasterBodyOf<RasterRoutine::SumChannels>(BodyKind::Scalar);
    for (BodyKind kind : FastKindsOf(RasterRoutine::SumChannels)) {
        const SumChannelsBody fast = RasterBodyOf<RasterRoutine::SumChannels>(kind);
        for (const Picture& pic : pictures) {
            const ChannelSums expected = scalarSums(pic.rows), actual = fast(pic.rows);
            for (int c = 0; c < 3; ++c) {
                ASSERT_EQ(expected.sum[c], actual.sum[c])
                    << Name(RasterRoutine::SumChannels, kind) << " " << Describe(pic.rows) << " channel " << c;
            }
        }
    }
    // The masked sums, on the masked pictures and on masked ones large enough to pass the 32-bit
    // lanes' flush with every byte and weight at 255 (1024 pixels of each of 520 rows in steps
    // of eight, past the 66051 steps a lane holds); their rows fill their blocks to the last
    // byte, whole steps to the row's end, so that the address-sanitizer build sees any read past
    // them.
    std::vector<Picture> masked;
    for (const Picture& pic : pictures) {
        if (pic.rows.mask) masked.push_back(pic);
    }
    for (int32_t bytes : {3, 4}) {
        Picture full;
        full.rows = ContrastRows{nullptr, 1024 * bytes, nullptr, 1024, 1024, 520, bytes};
        full.block.assign(size_t(1024) * 520 * size_t(bytes), 255);
        full.mask.assign(size_t(1024) * 520, 255);
        full.rows.base = full.block.data();
        full.rows.mask = full.mask.data();
        masked.push_back(std::move(full));
    }
    const MaskedSumsBody scalarMasked =
        RasterBodyOf<RasterRoutine::SumMaskedChannels>(BodyKind::Scalar);
    for (BodyKind kind : FastKindsOf(RasterRoutine::SumMaskedChannels)) {
        const MaskedSumsBody fast = RasterBodyOf<RasterRoutine::SumMaskedChannels>(kind);
        for (const Picture& pic : masked) {
            const MaskedChannelSums expected = scalarMasked(pic.rows), actual = fast(pic.rows);
            ASSERT_EQ(expected.weight, actual.weight) << Describe(pic.rows);
            for (int c = 0; c < 3; ++c) {
                ASSERT_EQ(expected.sum[c], actual.sum[c])
                    << Name(RasterRoutine::SumMaskedChannels, kind) << " " << Describe(pic.rows)
                    << " channel " << c;
            }
        }
    }
    const ContrastRowsBody scalar = RasterBodyOf<RasterRoutine::ApplyContrastRows>(BodyKind::Scalar);
    for (BodyKind kind : FastKindsOf(RasterRoutine::ApplyContrastRows)) {
        const ContrastRowsBody fast = RasterBodyOf<RasterRoutine::ApplyContrastRows>(kind);
        for (const Picture& pic : pictures) {
            // Tables MakeContrastTable gives (computed where the body can), the same with an
            // entry changed, and any table at all (looked up).
            ContrastTable table;
            const int style = r.Int(0, 2);
            if (style == 2) {
                for (uint8_t& e : table.entry) e = static_cast<uint8_t>(r.Word());
            } else {
                table =
                    MakeContrastTable(r.Int(0, 1) ? r.Int(-100, -1) : r.Int(1, 100), r.Int(0, 255));
                if (style == 1) table.entry[r.Int(0, 255)] ^= 4;
            }
            std::vector<uint8_t> expected = pic.block, actual = pic.block;
            scalar(table, pic.In(expected));
            fast(table, pic.In(actual));
            ASSERT_EQ(expected, actual) << Name(RasterRoutine::ApplyContrastRows, kind) << " "
                                        << Describe(pic.rows);
        }
    }
}

// Every byte value through every table MakeContrastTable makes (a mean in steps of 3, and the
// means about 20 and 234, where an expansion's distances begin to saturate), on rows long enough
// for whole registers and a tail: a fast body's computed entries, side by side in its lanes, must
// equal the table's for both sides of the mean and the clamps.
TEST(RasterFastPath, ContrastBodiesGiveEveryEntryOfMadeTables) {
    const ContrastRowsBody scalar =
        RasterBodyOf<RasterRoutine::ApplyContrastRows>(BodyKind::Scalar);
    std::vector<int32_t> means = {19, 20, 234, 235};
    for (int32_t mean = 0; mean < 256; mean += 3) means.push_back(mean);
    for (int32_t bytes : {3, 4}) {
        // 264 pixels: every value at an even and at an odd byte, then a tail.
        const int32_t width = 264;
        std::vector<uint8_t> values(size_t(width) * bytes);
        for (size_t k = 0; k < values.size(); ++k) values[k] = uint8_t(k + k / 256);
        for (BodyKind kind : FastKindsOf(RasterRoutine::ApplyContrastRows)) {
            const ContrastRowsBody fast = RasterBodyOf<RasterRoutine::ApplyContrastRows>(kind);
            for (int32_t amount = -100; amount <= 100; amount += amount == -1 ? 2 : 1) {
                for (int32_t mean : means) {
                    const ContrastTable table = MakeContrastTable(amount, mean);
                    std::vector<uint8_t> expected = values, actual = values;
                    const ContrastRows rows{nullptr, width * bytes, nullptr, 0, width, 1, bytes};
                    ContrastRows e = rows, a = rows;
                    e.base = expected.data();
                    a.base = actual.data();
                    scalar(table, e);
                    fast(table, a);
                    ASSERT_EQ(expected, actual)
                        << Name(RasterRoutine::ApplyContrastRows, kind) << " bytes " << bytes
                        << " amount " << amount << " mean " << mean;
                }
            }
        }
    }
}

// The surface operations under every forced body kind give what they give on scalar bodies:
// each operation reaches the routine of its depth, on real surface rows (whose rows follow each
// other without a gap where the width allows).
TEST(RasterFastPath, OperationsDrawAlikeUnderEveryBodyKind) {
    const PixelFormat formats[] = {FMT_INDEX8, FMT_RGB555, FMT_BGR565, FMT_RGB24, FMT_RGB32};
    const auto draw = [](RasterKind kind, PixelFormat format, int32_t w, int32_t h) {
        SurfacePtr s = MakeSurface(kind, w, h, format);
        std::mt19937 rng(uint32_t(format) + uint32_t(w));
        PaintRows(*s, &rng);
        std::vector<RowImage> steps;
        s->FillRect(1, 1, w - 2, h / 2, 0x89ABCDEFu);
        steps.push_back(ReadRows(*s));
        s->FillRect(0, h / 2, w, h - h / 2, 0x10203040u);
        steps.push_back(ReadRows(*s));
        PaintRows(*s, &rng);
        s->BlendFillRect(2, 0, w - 3, h, 1, 0x7A5Bu, 100);
        steps.push_back(ReadRows(*s));
        s->Invert();
        steps.push_back(ReadRows(*s));
        s->AdjustContrast(45, nullptr);
        steps.push_back(ReadRows(*s));
        s->AdjustContrast(-60, nullptr);
        steps.push_back(ReadRows(*s));
        // A strong change (wide factors), and one through a mask with rows of their own pitch.
        s->AdjustContrast(85, nullptr);
        steps.push_back(ReadRows(*s));
        SurfacePtr mask = MakeSurface(kind, w + 1, h, FMT_INDEX8);
        RowImage maskRows = PaintRows(*mask, &rng);
        for (uint8_t& m : maskRows.bytes) m = m < 90 ? 0 : m;
        MoveRows(*mask, maskRows, true);
        s->AdjustContrast(-35, mask.get());
        steps.push_back(ReadRows(*s));
        s->AdjustContrast(70, mask.get());
        steps.push_back(ReadRows(*s));
        return steps;
    };
    struct Restore {
        ~Restore() { RestoreRasterBodies(); }
    } restore;
    for (RasterKind kind : kRasterKinds) {
        for (PixelFormat format : formats) {
            // Narrow, a few registers wide, and large enough for the pair table of the contrast.
            for (const auto& [w, h] :
                 {std::pair{7, 5}, std::pair{64, 9}, std::pair{66, 3}, std::pair{520, 260}}) {
                ForceRasterBody(BodyKind::Scalar);
                const std::vector<RowImage> expected = draw(kind, format, w, h);
                for (int k = 1; k < kBodyKindCount; ++k) {
                    if (!BodyKindRunsHere(static_cast<BodyKind>(k))) continue;
                    ForceRasterBody(static_cast<BodyKind>(k));
                    const std::vector<RowImage> actual = draw(kind, format, w, h);
                    for (size_t step = 0; step < expected.size(); ++step) {
                        ASSERT_TRUE(expected[step] == actual[step])
                            << Describe(kind, format) << " " << w << "x" << h << " step " << step
                            << " " << BodyKindName(static_cast<BodyKind>(k));
                    }
                }
            }
        }
    }
}

}  // namespace
