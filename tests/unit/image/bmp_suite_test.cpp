// The loader over a suite of real-world bitmap files: good files load with the right size, format,
// palette and picture; damaged ones are refused or load consistently, and nothing reads outside
// the file (the sanitized build proves it for the copies in global memory).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "graphics/image/load_flags.h"
#include "graphics/image/memory_dib_surface.h"
#include "graphics/io/global_memory_stream.h"
#include "tests/unit/image/png_reader.h"

using namespace gfx;

namespace {

std::string SuiteFolder() {
    const char* data = std::getenv("GFX_TEST_DATA");
    if (!data || !data[0]) return {};
    const std::string folder = std::string(data) + "/bmpsuite";
    return std::filesystem::is_directory(folder) ? folder : std::string();
}

std::vector<std::string> FilesIn(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.path().extension() == ".bmp") names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<uint8_t> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// A stream holding exactly these bytes, so that a read past them is a read past the block.
Stream* StreamOf(const uint8_t* bytes, size_t size) {
    auto* stream = new GlobalMemoryStream(static_cast<uint32_t>(size), true);
    if (size) std::memcpy(stream->data, bytes, size);
    return stream;
}

// What a load produced, for comparing the ways of loading one file.
struct Outcome {
    Result status = ResultOk;
    int width = 0, height = 0;
    PixelFormat format = 0;
    uint32_t encoded = 0;
    std::vector<uint8_t> rows;
    std::vector<PaletteEntry> colours;

    bool operator==(const Outcome& other) const {
        return status == other.status && width == other.width && height == other.height &&
               format == other.format && encoded == other.encoded && rows == other.rows &&
               std::equal(colours.begin(), colours.end(), other.colours.begin(),
                          other.colours.end(), [](const PaletteEntry& a, const PaletteEntry& b) {
                              return std::memcmp(&a, &b, sizeof a) == 0;
                          });
    }
};

// Reads everything the surface offers: every row byte through Lock, and the palette.
Outcome Inspect(MemoryDibSurface& surface, Result status) {
    Outcome outcome;
    outcome.status = status;
    outcome.width = surface.GetWidth();
    outcome.height = surface.GetHeight();
    outcome.format = surface.GetFormat();
    outcome.encoded = surface.IsEncoded();
    uint8_t* rows = nullptr;
    int32_t pitch = 0;
    const Result locked = surface.Lock(&rows, &pitch);
    if (locked == ResultOk) {
        const uint32_t rowBytes = RowBytes(surface.GetFormat(), surface.GetWidth());
        EXPECT_EQ(uint32_t(pitch), rowBytes);
        for (int y = 0; y < surface.GetHeight(); ++y) {
            outcome.rows.insert(outcome.rows.end(), rows + y * pitch, rows + y * pitch + rowBytes);
        }
        surface.Unlock();
    } else {
        EXPECT_EQ(locked, status == ResultOk ? ResultEncoded : ResultNoImage);
    }
    if (const Palette* palette = surface.GetPalette()) {
        outcome.colours.assign(palette->GetEntryData(),
                               palette->GetEntryData() + palette->GetEntryCount());
    }
    return outcome;
}

// Loads the file from its path (mapped), from a stream that passes to the surface, and as a
// private copy of a stream; the three must agree.
Outcome LoadEveryWay(const std::string& path, const std::vector<uint8_t>& bytes) {
    MemoryDibSurface mapped;
    const Outcome fromFile = Inspect(
        mapped, mapped.Load(path.c_str(), LOAD_FROM_FILE, nullptr, nullptr, nullptr, 0, nullptr));
    MemoryDibSurface passed;
    const Outcome fromStream =
        Inspect(passed, passed.Load(StreamOf(bytes.data(), bytes.size()), LOAD_FROM_STREAM, nullptr,
                                    nullptr, nullptr, 0, nullptr));
    MemoryDibSurface copied;
    Stream* kept = StreamOf(bytes.data(), bytes.size());
    const Outcome fromCopy = Inspect(copied, copied.Load(kept, LOAD_FROM_STREAM | LOAD_COPY,
                                                         nullptr, nullptr, nullptr, 0, nullptr));
    delete kept;
    EXPECT_TRUE(fromFile == fromStream) << path;
    EXPECT_TRUE(fromFile == fromCopy) << path;
    return fromFile;
}

struct Expected {
    int width, height;
    PixelFormat format;
    uint32_t encoded;
    const char* reference;  // picture in ref/, or null
};

struct Rgb {
    int r, g, b;
};

// The colour of image pixel (x, y), top line first, read from bottom-up rows.
Rgb ColourAt(const Outcome& image, int x, int y) {
    const uint32_t pitch = RowBytes(image.format, image.width);
    const uint8_t* row = image.rows.data() + size_t(image.height - 1 - y) * pitch;
    const uint32_t bits = BitsPerPixel(image.format);
    if (bits <= 8) {
        const uint32_t bit = uint32_t(x) * bits;
        const uint32_t index = (row[bit / 8] >> (8 - bits - bit % 8)) & ((1u << bits) - 1);
        const PaletteEntry& entry = image.colours.at(index);
        return {entry.red, entry.green, entry.blue};
    }
    if (bits == 16) {
        const uint32_t value = row[2 * x] | row[2 * x + 1] << 8;
        const bool wide = image.format == FMT_RGB565;
        const uint32_t red = wide ? value >> 11 : (value >> 10) & 31;
        const uint32_t green = wide ? (value >> 5) & 63 : (value >> 5) & 31;
        const uint32_t blue = value & 31;
        return {int(red * 255 / 31), int(green * 255 / (wide ? 63 : 31)), int(blue * 255 / 31)};
    }
    const uint8_t* pixel = row + x * (bits / 8);
    return {pixel[2], pixel[1], pixel[0]};
}

void ComparePicture(const Outcome& image, const std::string& reference, int tolerance) {
    PngPicture picture;
    std::string error;
    ASSERT_TRUE(ReadPng(reference, &picture, &error)) << reference << ": " << error;
    ASSERT_EQ(picture.width, image.width);
    ASSERT_EQ(picture.height, image.height);
    int wrong = 0;
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            const Rgb got = ColourAt(image, x, y);
            const uint8_t* want = picture.Pixel(x, y);
            if (std::abs(got.r - want[0]) > tolerance || std::abs(got.g - want[1]) > tolerance ||
                std::abs(got.b - want[2]) > tolerance) {
                if (++wrong <= 3) {
                    ADD_FAILURE() << reference << " at " << x << "," << y << ": " << got.r << " "
                                  << got.g << " " << got.b << " instead of " << int(want[0]) << " "
                                  << int(want[1]) << " " << int(want[2]);
                }
            }
        }
    }
    EXPECT_EQ(wrong, 0) << reference;
}

}  // namespace

TEST(BmpSuite, GoodFilesLoadWithTheirSizeFormatPaletteAndPicture) {
    const std::string suite = SuiteFolder();
    if (suite.empty()) GTEST_SKIP() << "GFX_TEST_DATA/bmpsuite is not available";

    // Channel masks that no format of the library describes are refused. The other header
    // forms and top-down rows load as converted copies.
    const std::set<std::string> refused = {"rgb32bf.bmp"};
    const std::map<std::string, Expected> expected = {
        {"pal1.bmp", {127, 64, FMT_INDEX1, 0, "pal1.png"}},
        {"pal1bg.bmp", {127, 64, FMT_INDEX1, 0, "pal1bg.png"}},
        {"pal1wb.bmp", {127, 64, FMT_INDEX1, 0, "pal1.png"}},
        {"pal4.bmp", {127, 64, FMT_INDEX4, 0, "pal4.png"}},
        {"pal4gs.bmp", {127, 64, FMT_INDEX4, 0, "pal4gs.png"}},
        {"pal4rle.bmp", {127, 64, FMT_INDEX4, 1, nullptr}},
        {"pal8-0.bmp", {127, 64, FMT_INDEX8, 0, "pal8.png"}},
        {"pal8.bmp", {127, 64, FMT_INDEX8, 0, "pal8.png"}},
        {"pal8gs.bmp", {127, 64, FMT_INDEX8, 0, "pal8gs.png"}},
        {"pal8nonsquare.bmp", {127, 32, FMT_INDEX8, 0, nullptr}},
        {"pal8os2.bmp", {127, 64, FMT_INDEX8, 0, "pal8.png"}},
        {"pal8topdown.bmp", {127, 64, FMT_INDEX8, 0, "pal8.png"}},
        {"pal8v4.bmp", {127, 64, FMT_INDEX8, 0, "pal8.png"}},
        {"pal8v5.bmp", {127, 64, FMT_INDEX8, 0, "pal8.png"}},
        {"pal8rle.bmp", {127, 64, FMT_INDEX8, 1, nullptr}},
        {"pal8w124.bmp", {124, 61, FMT_INDEX8, 0, "pal8w124.png"}},
        {"pal8w125.bmp", {125, 62, FMT_INDEX8, 0, "pal8w125.png"}},
        {"pal8w126.bmp", {126, 63, FMT_INDEX8, 0, "pal8w126.png"}},
        {"rgb16-565.bmp", {127, 64, FMT_RGB565, 0, "rgb16-565.png"}},
        {"rgb16-565pal.bmp", {127, 64, FMT_RGB565, 0, "rgb16-565.png"}},
        {"rgb16.bmp", {127, 64, FMT_RGB555, 0, "rgb16.png"}},
        {"rgb16bfdef.bmp", {127, 64, FMT_RGB555, 0, "rgb16.png"}},
        {"rgb24.bmp", {127, 64, FMT_RGB24, 0, "rgb24.png"}},
        {"rgb24pal.bmp", {127, 64, FMT_RGB24, 0, "rgb24.png"}},
        {"rgb32.bmp", {127, 64, FMT_RGB32, 0, "rgb24.png"}},
        {"rgb32bfdef.bmp", {127, 64, FMT_RGB32, 0, "rgb24.png"}},
    };

    const std::vector<std::string> names = FilesIn(suite + "/g");
    ASSERT_FALSE(names.empty());
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        const std::string path = suite + "/g/" + name;
        const Outcome outcome = LoadEveryWay(path, ReadBytes(path));
        if (refused.count(name)) {
            EXPECT_EQ(outcome.status, ResultInvalid);
            EXPECT_EQ(outcome.format, 0u);
            EXPECT_EQ(outcome.width + outcome.height, 0);
            continue;
        }
        const auto found = expected.find(name);
        ASSERT_NE(found, expected.end()) << "no expectation for this file";
        const Expected& want = found->second;
        ASSERT_EQ(outcome.status, ResultOk);
        EXPECT_EQ(outcome.width, want.width);
        EXPECT_EQ(outcome.height, want.height);
        EXPECT_EQ(outcome.format, want.format);
        EXPECT_EQ(outcome.encoded, want.encoded);
        const uint32_t bits = BitsPerPixel(want.format);
        EXPECT_EQ(outcome.colours.size(), bits <= 8 ? size_t{1} << bits : 0u);
        if (want.reference) {
            ComparePicture(outcome, suite + "/ref/" + want.reference, bits == 16 ? 2 : 0);
        }
    }
}

TEST(BmpSuite, DamagedFilesAreRefusedOrLoadConsistently) {
    const std::string suite = SuiteFolder();
    if (suite.empty()) GTEST_SKIP() << "GFX_TEST_DATA/bmpsuite is not available";

    const std::set<std::string> refused = {
        "badbitcount.bmp", "badheadersize.bmp", "badpalettesize.bmp", "badwidth.bmp",
        "reallybig.bmp",   "rletopdown.bmp",    "shortfile.bmp",      "rgb16-880.bmp"};
    const std::vector<std::string> names = FilesIn(suite + "/b");
    ASSERT_FALSE(names.empty());
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        const std::string path = suite + "/b/" + name;
        const Outcome outcome = LoadEveryWay(path, ReadBytes(path));
        if (refused.count(name)) {
            EXPECT_NE(outcome.status, ResultOk);
            EXPECT_EQ(outcome.format, 0u);
            continue;
        }
        // Harmless damage (density, planes, sizes the loader does not rely on, indexes beyond
        // the colour table, run-length data it does not decode): a whole, usable image.
        ASSERT_EQ(outcome.status, ResultOk);
        EXPECT_EQ(outcome.width, 127);
        EXPECT_EQ(outcome.height, 64);
        EXPECT_EQ(outcome.rows.size(),
                  outcome.encoded ? 0u : size_t{RowBytes(outcome.format, 127)} * 64);
    }
}

// Every good file cut short at many lengths: each is refused or loads, and nothing reads past
// the cut.
TEST(BmpSuite, TruncatedFilesNeverReadPastTheirEnd) {
    const std::string suite = SuiteFolder();
    if (suite.empty()) GTEST_SKIP() << "GFX_TEST_DATA/bmpsuite is not available";
    for (const std::string& name : FilesIn(suite + "/g")) {
        SCOPED_TRACE(name);
        const std::vector<uint8_t> bytes = ReadBytes(suite + "/g/" + name);
        const size_t step = std::max<size_t>(1, bytes.size() / 61);
        for (size_t length = 0; length < bytes.size(); length += length < 80 ? 1 : step) {
            MemoryDibSurface surface;
            const Result status = surface.Load(StreamOf(bytes.data(), length), LOAD_FROM_STREAM,
                                               nullptr, nullptr, nullptr, 0, nullptr);
            // A cut that removes only bytes after the image leaves a whole image.
            if (status == ResultOk) {
                Inspect(surface, status);
            } else {
                EXPECT_EQ(surface.GetFormat(), 0u);
            }
        }
    }
}
