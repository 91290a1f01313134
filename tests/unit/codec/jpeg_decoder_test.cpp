// JPEG loading through the decoder module: the reference pictures of ../shared/data/jpeg decode
// close to their reference, greyscale and CMYK files give their formats, and every file the
// decoder refuses (12-bit, arithmetic where unsupported, cut short, not a JPEG, no module at all)
// fails with ResultInvalid, leaves the surface empty and leaves no temporary file behind.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

#include "graphics/codec/jpeg_decoder.h"
#include "graphics/core/dib_header.h"
#include "graphics/image/load_flags.h"
#include "graphics/image/memory_dib_surface.h"
#include "graphics/image/palette.h"
#include "graphics/io/global_memory_stream.h"
#include "graphics/platform/global_memory.h"
#include "tests/unit/platform/scratch_folder.h"

using namespace gfx;

namespace {

std::string JpegFolder() {
    const char* data = std::getenv("GFX_TEST_DATA");
    if (!data || !data[0]) return {};
    const std::string folder = std::string(data) + "/jpeg";
    return std::filesystem::is_directory(folder) ? folder : std::string();
}

#define REQUIRE_JPEG_FOLDER(folder)                                     \
    const std::string folder = JpegFolder();                           \
    if (folder.empty()) GTEST_SKIP() << "no ../shared/data/jpeg here"

std::vector<uint8_t> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// A top-down picture of blue, green, red triplets.
struct Picture {
    int width = 0, height = 0;
    std::vector<uint8_t> bgr;
};

// Reads a binary PPM (P6, maxval 255) as blue, green, red.
Picture ReadPpm(const std::string& path) {
    Picture picture;
    std::ifstream in(path, std::ios::binary);
    std::string magic;
    int maxval = 0;
    in >> magic >> picture.width >> picture.height >> maxval;
    in.get();
    if (magic != "P6" || maxval != 255) return {};
    std::vector<uint8_t> rgb(size_t(picture.width) * picture.height * 3);
    in.read(reinterpret_cast<char*>(rgb.data()), std::streamsize(rgb.size()));
    picture.bgr.resize(rgb.size());
    for (size_t i = 0; i < rgb.size(); i += 3) {
        picture.bgr[i] = rgb[i + 2], picture.bgr[i + 1] = rgb[i + 1], picture.bgr[i + 2] = rgb[i];
    }
    return picture;
}

// The surface's 24-bit pixels, top line first, through Lock (memory row 0 is the bottom line).
Picture PixelsOf(MemoryDibSurface& surface) {
    Picture picture;
    uint8_t* rows = nullptr;
    int32_t pitch = 0;
    if (surface.GetFormat() != FMT_RGB24 || surface.Lock(&rows, &pitch) != ResultOk) return {};
    picture.width = surface.GetWidth();
    picture.height = surface.GetHeight();
    for (int y = 0; y < picture.height; ++y) {
        const uint8_t* row = rows + ptrdiff_t(picture.height - 1 - y) * pitch;
        picture.bgr.insert(picture.bgr.end(), row, row + 3 * picture.width);
    }
    surface.Unlock();
    return picture;
}

struct Difference {
    int largest = 0;
    double mean = 0;
};

Difference Compare(const Picture& a, const Picture& b) {
    Difference difference;
    if (a.bgr.size() != b.bgr.size() || a.bgr.empty()) return {256, 256};
    double total = 0;
    for (size_t i = 0; i < a.bgr.size(); ++i) {
        const int d = std::abs(int(a.bgr[i]) - int(b.bgr[i]));
        difference.largest = std::max(difference.largest, d);
        total += d;
    }
    difference.mean = total / double(a.bgr.size());
    return difference;
}

// Other decoders' IDCT and upsampling differ from the reference decode by a few levels; a swapped
// channel order or upside-down rows differ by far more on average.
constexpr int kLargestDifference = 40;
constexpr double kMeanDifference = 2.0;

// Points the platform's temporary folder at a scratch folder for one test, so that a temporary
// file left behind shows, whatever other programs do in the real temporary folder.
class TemporaryFolderRedirect {
  public:
    TemporaryFolderRedirect() { Set(folder_.Path() + "/"); }
    ~TemporaryFolderRedirect() { Set(saved_); }
    bool Ok() const { return folder_.Ok(); }
    size_t FileCount() const {
        return size_t(std::distance(std::filesystem::directory_iterator(folder_.Path()),
                                    std::filesystem::directory_iterator()));
    }

  private:
#ifdef _WIN32
    static constexpr const char* kVariable = "TMP";
    static void Set(const std::string& value) {
        SetEnvironmentVariableA(kVariable, value.empty() ? nullptr : value.c_str());
    }
#else
    static constexpr const char* kVariable = "TMPDIR";
    static void Set(const std::string& value) {
        if (value.empty()) {
            unsetenv(kVariable);
        } else {
            setenv(kVariable, value.c_str(), 1);
        }
    }
#endif
    static std::string Saved() {
        const char* value = std::getenv(kVariable);
        return value ? value : "";
    }
    std::string saved_ = Saved();
    ScratchFolder folder_;
};

Stream* StreamOf(const std::vector<uint8_t>& bytes) {
    auto* stream = new GlobalMemoryStream(uint32_t(bytes.size()), true);
    std::copy(bytes.begin(), bytes.end(), stream->data);
    return stream;
}

Result LoadResource(MemoryDibSurface& surface, const char* name) {
    return surface.Load(name, LOAD_FROM_RESOURCE | LOAD_JPEG, nullptr, "JPEG", nullptr, 0,
                        nullptr);
}

Result LoadFile(MemoryDibSurface& surface, const std::string& path) {
    return surface.Load(path.c_str(), LOAD_FROM_FILE, nullptr, nullptr, nullptr, 0, nullptr);
}

void ExpectRefused(MemoryDibSurface& surface, Result status, const char* what) {
    EXPECT_EQ(status, ResultInvalid) << what;
    EXPECT_EQ(surface.GetFormat(), 0u) << what;
    EXPECT_EQ(surface.GetDibHeader(), nullptr) << what;
    EXPECT_EQ(surface.GetWidth(), 0) << what;
}

TEST(JpegDecoder, ReferencePicturesDecodeCloseToTheirReference) {
    REQUIRE_JPEG_FOLDER(folder);
    const Picture reference = ReadPpm(folder + "/testorig.ppm");
    ASSERT_FALSE(reference.bgr.empty());
    for (const char* name : {"testorig.jpg", "testimgint.jpg", "testprog.jpg"}) {
        MemoryDibSurface surface;
        ASSERT_EQ(LoadFile(surface, folder + "/" + name), ResultOk) << name;
        EXPECT_EQ(surface.GetFormat(), FMT_RGB24) << name;
        EXPECT_EQ(surface.IsEncoded(), 0u) << name;
        DibHeader header{};
        ASSERT_TRUE(ReadDibHeader(surface.GetDibHeader(), 40, &header));
        EXPECT_EQ(header.biSize, 40u);
        EXPECT_EQ(header.biCompression, COMPRESSION_NONE);
        EXPECT_EQ(header.biBitCount, 24);
        EXPECT_GT(header.biHeight, 0) << "rows are stored bottom-up";

        const Picture decoded = PixelsOf(surface);
        ASSERT_EQ(decoded.width, reference.width) << name;
        ASSERT_EQ(decoded.height, reference.height) << name;
        const Difference difference = Compare(decoded, reference);
        EXPECT_LE(difference.largest, kLargestDifference) << name;
        EXPECT_LE(difference.mean, kMeanDifference) << name;
        std::printf("%s: largest difference %d, mean %.3f\n", name, difference.largest,
                    difference.mean);
    }

    // Upside-down rows or swapped red and blue would not pass the bound.
    MemoryDibSurface surface;
    ASSERT_EQ(LoadFile(surface, folder + "/testorig.jpg"), ResultOk);
    Picture flipped = PixelsOf(surface), swapped = flipped;
    const size_t line = size_t(flipped.width) * 3;
    for (int y = 0; y < flipped.height / 2; ++y) {
        std::swap_ranges(flipped.bgr.begin() + ptrdiff_t(y * line),
                         flipped.bgr.begin() + ptrdiff_t((y + 1) * line),
                         flipped.bgr.begin() + ptrdiff_t((flipped.height - 1 - y) * line));
    }
    for (size_t i = 0; i < swapped.bgr.size(); i += 3) std::swap(swapped.bgr[i], swapped.bgr[i + 2]);
    EXPECT_GT(Compare(flipped, reference).mean, kMeanDifference);
    EXPECT_GT(Compare(swapped, reference).mean, kMeanDifference);
}

TEST(JpegDecoder, FilesTheDecoderCannotReadFailCleanly) {
    REQUIRE_JPEG_FOLDER(folder);
    ScratchFolder scratch;  // made before the redirect, so that it is not counted
    TemporaryFolderRedirect temporary;
    ASSERT_TRUE(temporary.Ok());
    MemoryDibSurface surface;

    // Arithmetic coding: decoded where the decoder has it, otherwise refused.
    const Result arithmetic = LoadFile(surface, folder + "/testimgari.jpg");
    std::printf("arithmetic coding: %s\n", arithmetic == ResultOk ? "decoded" : "refused");
    if (arithmetic == ResultOk) {
        const Difference difference = Compare(PixelsOf(surface), ReadPpm(folder + "/testorig.ppm"));
        EXPECT_LE(difference.largest, kLargestDifference);
        EXPECT_LE(difference.mean, kMeanDifference);
    } else {
        ExpectRefused(surface, arithmetic, "arithmetic coding");
    }

    // 12 bits per sample, from a file and through a temporary file from a stream.
    const std::string twelveBits = folder + "/testorig12.jpg";
    ExpectRefused(surface, LoadFile(surface, twelveBits), "12-bit file");
    ExpectRefused(surface,
                  surface.Load(StreamOf(ReadBytes(twelveBits)), LOAD_FROM_STREAM | LOAD_JPEG,
                               nullptr, nullptr, nullptr, 0, nullptr),
                  "12-bit stream");

    // Data that ends early, down to a file that lacks only its end-of-image marker.
    const std::vector<uint8_t> whole = ReadBytes(folder + "/testorig.jpg");
    ASSERT_GT(whole.size(), 1000u);
    for (size_t cut : {whole.size() / 2, whole.size() - 2, size_t(100)}) {
        const std::vector<uint8_t> part(whole.begin(), whole.begin() + ptrdiff_t(cut));
        ExpectRefused(surface,
                      surface.Load(StreamOf(part), LOAD_FROM_STREAM | LOAD_JPEG, nullptr, nullptr,
                                   nullptr, 0, nullptr),
                      ("cut at " + std::to_string(cut)).c_str());
    }
    // A resource that is cut short, and a file named .jpg that holds no JPEG.
    ExpectRefused(surface, LoadResource(surface, "CUTSHORT"), "short resource");
    const std::string notJpeg = scratch.File("bitmap.jpg");
    std::ofstream(notJpeg, std::ios::binary) << "BM not a JPEG at all";
    ExpectRefused(surface, LoadFile(surface, notJpeg), "not a JPEG");
    EXPECT_EQ(temporary.FileCount(), 0u);

    // The whole file still loads through the same temporary-file path, and leaves nothing either.
    EXPECT_EQ(surface.Load(StreamOf(whole), LOAD_FROM_STREAM | LOAD_JPEG, nullptr, nullptr,
                           nullptr, 0, nullptr),
              ResultOk);
    EXPECT_EQ(surface.GetWidth(), 227);
    EXPECT_EQ(temporary.FileCount(), 0u);
}

TEST(JpegDecoder, GreyscaleGivesEightBitsWithAGreyTableAndCmykGivesColour) {
    TemporaryFolderRedirect temporary;
    ASSERT_TRUE(temporary.Ok());

    MemoryDibSurface grey;
    ASSERT_EQ(LoadResource(grey, "RAMPGREY"), ResultOk);
    ASSERT_EQ(grey.GetFormat(), FMT_INDEX8);
    ASSERT_EQ(grey.GetWidth(), 16);
    ASSERT_EQ(grey.GetHeight(), 12);
    ASSERT_NE(grey.GetPalette(), nullptr);
    ASSERT_EQ(grey.GetPalette()->GetEntryCount(), 256u);
    PaletteEntry entries[256];
    ASSERT_EQ(grey.GetPalette()->GetEntries(entries, 0, 256), ResultOk);
    for (int i = 0; i < 256; ++i) {
        ASSERT_TRUE(entries[i].red == i && entries[i].green == i && entries[i].blue == i) << i;
    }
    // The upper half ramps up from the left, the lower half down: the first line is the top one.
    uint8_t* rows = nullptr;
    int32_t pitch = 0;
    ASSERT_EQ(grey.Lock(&rows, &pitch), ResultOk);
    EXPECT_EQ(pitch, 16);
    auto level = [&](int x, int y) { return int(rows[(11 - y) * pitch + x]); };
    for (int x = 1; x < 15; ++x) {
        EXPECT_NEAR(level(x, 2), 16 * x, 12) << x;
        EXPECT_NEAR(level(x, 9), 255 - 16 * x, 12) << x;
    }
    grey.Unlock();

    // Red, green, blue and white quadrants stored as Adobe CMYK.
    MemoryDibSurface cmyk;
    ASSERT_EQ(LoadResource(cmyk, "QUADCMYK"), ResultOk);
    ASSERT_EQ(cmyk.GetFormat(), FMT_RGB24);
    const Picture picture = PixelsOf(cmyk);
    ASSERT_EQ(picture.width, 16);
    ASSERT_EQ(picture.height, 12);
    auto expectColour = [&](int x, int y, int red, int green, int blue) {
        const uint8_t* p = &picture.bgr[(size_t(y) * 16 + x) * 3];
        EXPECT_NEAR(p[2], red, 16) << x << "," << y;
        EXPECT_NEAR(p[1], green, 16) << x << "," << y;
        EXPECT_NEAR(p[0], blue, 16) << x << "," << y;
    };
    expectColour(2, 2, 255, 0, 0);
    expectColour(13, 2, 0, 255, 0);
    expectColour(2, 9, 0, 0, 255);
    expectColour(13, 9, 255, 255, 255);
    EXPECT_EQ(temporary.FileCount(), 0u);
}

TEST(JpegDecoder, WithoutTheModuleAJpegLoadFailsAndLeavesTheSurfaceEmpty) {
    TemporaryFolderRedirect temporary;
    ASSERT_TRUE(temporary.Ok());
    MemoryDibSurface surface;
    ASSERT_EQ(LoadResource(surface, "RAMPGREY"), ResultOk);

    SetJpegDecoderModuleForTesting("zd_jpeg_absent.dll");
    ExpectRefused(surface, LoadResource(surface, "RAMPGREY"), "no module");
    EXPECT_EQ(CallJpegDecoder("whatever.jpg", 0, 0), nullptr);
    SetJpegDecoderModuleForTesting(nullptr);
    EXPECT_EQ(temporary.FileCount(), 0u);

    // The module's result is a packed DIB that the caller frees with the library's allocator.
    const std::string folder = JpegFolder();
    if (folder.empty()) return;
    void* dib = CallJpegDecoder((folder + "/testorig.jpg").c_str(), 0, 0);
    ASSERT_NE(dib, nullptr);
    EXPECT_EQ(PackedDibSize(dib, GlobalMemorySize(dib)), 40u + 684u * 149u);
    GlobalMemoryFree(dib);
}

}  // namespace
