// The gfx program run as a user runs it: on real files and on pictures made here, its outputs
// read back through the library and compared with what the library computes directly.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "graphics/codec/bitmap_file_writer.h"
#include "graphics/codec/container_header.h"
#include "graphics/core/channel_layout.h"
#include "graphics/core/dib_header.h"
#include "graphics/core/little_endian.h"
#include "graphics/image/load_flags.h"
#include "graphics/image/memory_dib_surface.h"
#include "graphics/image/palette.h"
#include "graphics/raster/convert_flags.h"
#include "tests/e2e/gfx_tool/tool_run.h"
#include "tests/unit/image/png_reader.h"

using namespace gfx;
namespace fs = std::filesystem;

namespace {

// A folder of its own for each test, removed afterwards.
class GfxTool : public ::testing::Test {
  protected:
    void SetUp() override {
        if (ToolPath().empty()) GTEST_SKIP() << "GFX_TOOL is not set";
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        // The native, sanitized and Windows runs of this program may run at once: each run's
        // folders carry a number of their own.
        static const std::string run = std::to_string(std::random_device{}());
        folder_ = fs::temp_directory_path() / ("gfx_tool_" + run + "_" + info->name());
        fs::remove_all(folder_);
        fs::create_directories(folder_);
    }
    void TearDown() override {
        std::error_code error;
        if (!folder_.empty()) fs::remove_all(folder_, error);
    }
    std::string Path(const std::string& name) const { return (folder_ / name).string(); }
    // The names in the folder, to show that a failed run left nothing behind.
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder_)) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    fs::path folder_;
};

std::string SharedData(const std::string& name) {
    const char* data = std::getenv("GFX_TEST_DATA");
    if (!data || !data[0]) return {};
    const std::string path = std::string(data) + "/" + name;
    return fs::exists(path) ? path : std::string();
}

// A picture with every pixel different enough to show a misplaced one, and for indexed formats
// a palette of distinct colours.
void MakePicture(MemoryDibSurface& surface, PixelFormat format, int width, int height, int seed) {
    ASSERT_EQ(surface.Create(width, height, format, 0, 0), ResultOk);
    const uint32_t bpp = BitsPerPixel(format);
    if (IsIndexedFormat(format)) {
        const uint32_t count = 1u << bpp;
        std::vector<PaletteEntry> entries(count);
        for (uint32_t i = 0; i < count; ++i) {
            entries[i] = {uint8_t(i * 37 + seed), uint8_t(255 - i), uint8_t(i * 91 + 3 * seed), 0};
        }
        Palette* palette = surface.NewPalette();
        ASSERT_EQ(palette->Create(count), ResultOk);
        palette->SetEntries(entries.data(), 0, count);
        ASSERT_EQ(surface.SetPalette(palette), ResultOk);
        palette->Release();
    }
    uint8_t* rows = nullptr;
    int32_t pitch = 0;
    ASSERT_EQ(surface.Lock(&rows, &pitch), ResultOk);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < pitch; ++x) rows[y * pitch + x] = uint8_t((x * 7 + y * 13 + seed) ^ (x * y));
    }
    // The bits that carry no colour are 0, as bitmaps hold them: the fourth byte of 32-bit
    // pixels and bit 15 of 5-5-5 ones.
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if (bpp == 32) rows[y * pitch + 4 * x + 3] = 0;
            if (Is555Format(format)) rows[y * pitch + 2 * x + 1] &= 0x7F;
        }
    }
    surface.Unlock();
}

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

std::vector<uint8_t> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void WriteBitmap(Surface& surface, const std::string& path) {
    ASSERT_EQ(SaveBitmapFile(surface, path.c_str()), ResultOk) << path;
}

void Load(MemoryDibSurface& surface, const std::string& path) {
    ASSERT_EQ(surface.Load(path.c_str(), LOAD_COPY, nullptr, nullptr, nullptr, 0, 0), ResultOk) << path;
}

// Raw pixel values in image order (top line first), whatever the depth and row order.
std::vector<uint32_t> Pixels(Surface& surface) {
    std::vector<uint32_t> values;
    uint8_t* rows = nullptr;
    int32_t pitch = 0;
    if (surface.Lock(&rows, &pitch) != ResultOk) return values;
    const uint32_t bpp = BitsPerPixel(surface.GetFormat());
    for (int y = 0; y < surface.GetHeight(); ++y) {
        const int row = (surface.IsBottomUp() & 1) ? surface.GetHeight() - 1 - y : y;
        const uint8_t* p = rows + row * pitch;
        for (int x = 0; x < surface.GetWidth(); ++x) {
            if (bpp < 8) {
                const uint32_t bit = x * bpp;
                values.push_back((p[bit / 8] >> (8 - bpp - bit % 8)) & ((1u << bpp) - 1));
            } else {
                uint32_t v = 0;
                for (uint32_t k = 0; k < bpp / 8; ++k) v |= uint32_t(p[x * (bpp / 8) + k]) << (8 * k);
                values.push_back(v);
            }
        }
    }
    surface.Unlock();
    return values;
}

// Palette colours as 0xRRGGBB.
std::vector<uint32_t> Colours(Surface& surface) {
    std::vector<uint32_t> colours;
    if (const Palette* palette = surface.GetPalette()) {
        for (uint32_t i = 0; i < palette->GetEntryCount(); ++i) {
            const PaletteEntry& e = palette->GetEntryData()[i];
            colours.push_back(uint32_t(e.red) << 16 | uint32_t(e.green) << 8 | e.blue);
        }
    }
    return colours;
}

// The colour of each pixel as 0xRRGGBB, through the palette or the channel layout.
std::vector<uint32_t> PixelColours(Surface& surface) {
    const std::vector<uint32_t> pixels = Pixels(surface), palette = Colours(surface);
    const ChannelLayout layout = DecodeChannelLayout(surface.GetFormat());
    std::vector<uint32_t> colours;
    for (uint32_t p : pixels) {
        if (IsIndexedFormat(surface.GetFormat())) {
            colours.push_back(palette.at(p));
        } else {
            colours.push_back(layout.channel[2].Read(p) << 16 | layout.channel[1].Read(p) << 8 |
                              layout.channel[0].Read(p));
        }
    }
    return colours;
}

std::vector<uint32_t> PngColours(const std::string& path) {
    PngPicture picture;
    std::string error;
    EXPECT_TRUE(ReadPng(path, &picture, &error)) << path << ": " << error;
    std::vector<uint32_t> colours;
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            const uint8_t* p = picture.Pixel(x, y);
            colours.push_back(uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2]);
        }
    }
    return colours;
}

// A failed run: its exit code, one message line naming the file (and the pointer to --help
// for usage errors), nothing on standard output.
void ExpectFailure(const ToolRun& run, int exitCode, const std::string& mentioned) {
    EXPECT_EQ(run.exitCode, exitCode) << run.err;
    EXPECT_EQ(run.out, "");
    ASSERT_FALSE(run.err.empty());
    EXPECT_EQ(run.err.rfind("gfx: ", 0), 0u) << run.err;
    EXPECT_NE(run.err.find(mentioned), std::string::npos) << run.err;
    const size_t lines = size_t(std::count(run.err.begin(), run.err.end(), '\n'));
    EXPECT_EQ(lines, exitCode == 2 ? 2u : 1u) << run.err;
    if (exitCode == 2) {
        EXPECT_NE(run.err.find("Run with --help"), std::string::npos);
    }
}

}  // namespace

// Bitmap -> zbm -> bitmap keeps the pixels and the palette in every format, and PNG keeps the
// colours (and the indices of a palette with distinct colours; 16-bit pixels come back exactly
// when converted to their own format again).
TEST_F(GfxTool, ConversionsRoundTripWhereLossless) {
    const PixelFormat formats[] = {FMT_INDEX1, FMT_INDEX4, FMT_INDEX8, FMT_RGB555,
                                   FMT_RGB565, FMT_RGB24,  FMT_RGB32};
    for (PixelFormat format : formats) {
        SCOPED_TRACE(format);
        MemoryDibSurface original;
        MakePicture(original, format, 13, 7, int(format >> 24));
        WriteBitmap(original, Path("in.bmp"));
        ASSERT_EQ(RunTool({"convert", Path("in.bmp"), Path("mid.zbm")}).exitCode, 0);
        ASSERT_EQ(RunTool({"convert", Path("mid.zbm"), Path("back.bmp")}).exitCode, 0);
        MemoryDibSurface container, back;
        Load(container, Path("mid.zbm"));
        Load(back, Path("back.bmp"));
        EXPECT_EQ(container.GetFormat(), format);
        EXPECT_EQ(back.GetFormat(), format);
        EXPECT_EQ(Pixels(back), Pixels(original));
        EXPECT_EQ(Colours(back), Colours(original));
        EXPECT_EQ(Pixels(container), Pixels(original));

        ASSERT_EQ(RunTool({"convert", Path("in.bmp"), Path("out.png")}).exitCode, 0);
        const std::vector<uint32_t> png = PngColours(Path("out.png"));
        if (format == FMT_RGB555 || format == FMT_RGB565) {
            // Widened channels in the file, truncated back to the same pixels.
            const char* name = format == FMT_RGB555 ? "rgb555" : "rgb565";
            ASSERT_EQ(RunTool({"convert", Path("out.png"), Path("again.bmp"), "--format", name}).exitCode, 0);
            MemoryDibSurface again;
            Load(again, Path("again.bmp"));
            EXPECT_EQ(Pixels(again), Pixels(original));
        } else {
            EXPECT_EQ(png, PixelColours(original));
            ASSERT_EQ(RunTool({"convert", Path("out.png"), Path("again.zbm")}).exitCode, 0);
            MemoryDibSurface again;
            Load(again, Path("again.zbm"));
            EXPECT_EQ(PixelColours(again), PixelColours(original));
            if (format == FMT_INDEX8) {
                EXPECT_EQ(Pixels(again), Pixels(original));
            }
        }
    }
}

// Every encoding decodes back to the same pixels, and both commands print the sizes.
TEST_F(GfxTool, EncodingsDecodeToTheSamePixels) {
    MemoryDibSurface sprite;
    MakePicture(sprite, FMT_INDEX8, 40, 20, 5);
    sprite.FillRect(0, 0, 40, 6, 0);  // transparent margins and runs to encode
    sprite.FillRect(30, 0, 10, 20, 0);
    WriteBitmap(sprite, Path("sprite.bmp"));
    for (const char* encoding : {"trle", "arle", "prle", "pkc"}) {
        SCOPED_TRACE(encoding);
        const ToolRun encoded = RunTool({"encode", Path("sprite.bmp"), Path("coded.bmp"), "--as", encoding});
        ASSERT_EQ(encoded.exitCode, 0) << encoded.err;
        EXPECT_NE(encoded.out.find("800 bytes plain"), std::string::npos) << encoded.out;
        MemoryDibSurface coded;
        Load(coded, Path("coded.bmp"));
        EXPECT_EQ(coded.IsEncoded(), 1u);
        const ToolRun decoded = RunTool({"decode", Path("coded.bmp"), Path("plain.bmp")});
        ASSERT_EQ(decoded.exitCode, 0) << decoded.err;
        EXPECT_NE(decoded.out.find("-> " + Path("plain.bmp") + ": 800 bytes plain"), std::string::npos)
            << decoded.out;
        MemoryDibSurface plain;
        Load(plain, Path("plain.bmp"));
        EXPECT_EQ(plain.IsEncoded(), 0u);
        EXPECT_EQ(Pixels(plain), Pixels(sprite));
        EXPECT_EQ(Colours(plain), Colours(sprite));
    }
    // The packed encoding takes any format; the run-length ones refuse 24 bits.
    MemoryDibSurface photo;
    MakePicture(photo, FMT_RGB24, 9, 9, 1);
    WriteBitmap(photo, Path("photo.bmp"));
    ASSERT_EQ(RunTool({"encode", Path("photo.bmp"), Path("photo_pkc.bmp"), "--as", "pkc"}).exitCode, 0);
    ASSERT_EQ(RunTool({"decode", Path("photo_pkc.bmp"), Path("photo_back.zbm")}).exitCode, 0);
    MemoryDibSurface back;
    Load(back, Path("photo_back.zbm"));
    EXPECT_EQ(Pixels(back), Pixels(photo));
    ExpectFailure(RunTool({"encode", Path("photo.bmp"), Path("no.bmp"), "--as", "arle"}), 1, "photo.bmp");
    ExpectFailure(RunTool({"decode", Path("photo.bmp"), Path("no.bmp")}), 1, "ResultNotEncoded");
    EXPECT_FALSE(fs::exists(Path("no.bmp")));
}

// info on files whose contents are known: shared real files and a container with frames.
TEST_F(GfxTool, InfoDescribesKnownFiles) {
    std::vector<uint8_t> zbm(CONTAINER_HEADER_BYTES + 4 * 256 + 8 * 6);
    StoreLE32(zbm.data(), CONTAINER_MAGIC);
    StoreLE32(zbm.data() + CONTAINER_DATA_OFFSET_AT, CONTAINER_HEADER_BYTES);
    StoreLE32(zbm.data() + CONTAINER_WIDTH_AT, 5);
    StoreLE32(zbm.data() + CONTAINER_HEIGHT_AT, 6);
    StoreLE32(zbm.data() + CONTAINER_FORMAT_AT, FMT_INDEX8);
    StoreLE32(zbm.data() + CONTAINER_FRAMES_AT, 3);
    WriteBytes(Path("film.zbm"), zbm);
    const ToolRun film = RunTool({"info", Path("film.zbm")});
    ASSERT_EQ(film.exitCode, 0) << film.err;
    EXPECT_EQ(film.out, Path("film.zbm") + "\n"
                        "  kind      zbm container\n"
                        "  size      5 x 6\n"
                        "  format    8 (8-bit indexed)\n"
                        "  palette   256 entries\n"
                        "  encoding  none, 48 bytes\n"
                        "  file      1100 bytes\n"
                        "  frames    3\n");

    const std::string pal8 = SharedData("bmpsuite/g/pal8.bmp");
    const std::string rgb16 = SharedData("bmpsuite/g/rgb16-565.bmp");
    const std::string jpeg = SharedData("jpeg/testorig.jpg");
    if (pal8.empty() || rgb16.empty() || jpeg.empty()) GTEST_SKIP() << "shared data absent";
    const ToolRun run = RunTool({"info", pal8, rgb16, jpeg});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    for (const char* line : {"  size      127 x 64\n  format    8 (8-bit indexed)\n"
                             "  palette   256 entries (252 stored)\n  encoding  none, 8192 bytes\n",
                             "  format    rgb565 (16-bit 5-6-5)\n  palette   none\n",
                             "  kind      JPEG\n  size      227 x 149\n  format    24 (24-bit)\n"}) {
        EXPECT_NE(run.out.find(line), std::string::npos) << run.out;
    }
    // One unreadable file among good ones: described as far as possible, status 1.
    const ToolRun mixed = RunTool({"info", pal8, Path("missing.bmp")});
    EXPECT_EQ(mixed.exitCode, 1);
    EXPECT_NE(mixed.out.find("127 x 64"), std::string::npos);
    EXPECT_EQ(mixed.err, "gfx: " + Path("missing.bmp") + ": ResultNoSource: no such file\n");
}

// blit, fill, line and adjust give the pixels that the library's own calls give, with the
// command's top-left coordinates turned into the bitmap's bottom-up rows.
TEST_F(GfxTool, DrawingMatchesTheLibrary) {
    MemoryDibSurface source, destination, mask;
    MakePicture(source, FMT_RGB24, 30, 20, 1);
    MakePicture(destination, FMT_RGB24, 50, 40, 2);
    MakePicture(mask, FMT_INDEX8, 30, 20, 3);
    WriteBitmap(source, Path("src.bmp"));
    WriteBitmap(destination, Path("dst.bmp"));
    WriteBitmap(mask, Path("mask.bmp"));
    const uint32_t key = source.GetPixelValue(3, 4);

    struct Case {
        std::vector<std::string> arguments;
        // The library's call on (source, destination), in memory rows of the 40-line destination.
        std::function<void(MemoryDibSurface&, MemoryDibSurface&, MemoryDibSurface&)> expected;
    };
    char keyText[16];
    std::snprintf(keyText, sizeof keyText, "0x%06X", key);
    const Case cases[] = {
        {{"--from", "2,3,20,10", "--to", "5,6"},
         [](auto& s, auto& d, auto&) { s.Blit(&d, 5, 24, 20, 10, 2, 7, 20, 10, 0, 0); }},
        {{"--to", "-4,30", "-f", "mirror-x,mirror-y", "--src-key", keyText},
         [key](auto& s, auto& d, auto&) {
             s.SetSourceKey(key);
             s.Blit(&d, -4, -10, 30, 20, 0, 0, 30, 20, BLIT_SRCKEY | BLIT_MIRROR_X | BLIT_MIRROR_Y, 0);
         }},
        {{"--to", "1,2,45,33", "--smooth"},
         [](auto& s, auto& d, auto&) { s.Blit(&d, 1, 5, 45, 33, 0, 0, 30, 20, BLIT_SMOOTH, 0); }},
        {{"--to", "10,10", "--level", "100"},
         [](auto& s, auto& d, auto&) { s.Blit(&d, 10, 10, 30, 20, 0, 0, 30, 20, BLIT_ALPHA, 100); }},
        {{"--to", "0,0", "--mask", Path("mask.bmp"), "-f", "BLIT_MASK_STIPPLE"},
         [](auto& s, auto& d, auto& m) {
             s.Blit(&d, 0, 20, 30, 20, 0, 0, 30, 20, BLIT_MASK_STIPPLE,
                    reinterpret_cast<BlitExtra>(static_cast<Surface*>(&m)));
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments[1]);
        std::vector<std::string> arguments{"blit", Path("src.bmp"), Path("dst.bmp"), Path("out.bmp")};
        arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
        const ToolRun run = RunTool(arguments);
        ASSERT_EQ(run.exitCode, 0) << run.err;
        MemoryDibSurface s, d, m, out;
        Load(s, Path("src.bmp"));
        Load(d, Path("dst.bmp"));
        Load(m, Path("mask.bmp"));
        c.expected(s, d, m);
        Load(out, Path("out.bmp"));
        EXPECT_EQ(Pixels(out), Pixels(d));
    }

    // fill and line on an indexed picture: the colour is the nearest palette entry.
    MemoryDibSurface indexed;
    MakePicture(indexed, FMT_INDEX8, 20, 10, 4);
    WriteBitmap(indexed, Path("indexed.bmp"));
    const PaletteEntry target = indexed.GetPalette()->GetEntryData()[77];
    char colour[16];
    std::snprintf(colour, sizeof colour, "#%02x%02x%02x", target.red, target.green, target.blue);
    ASSERT_EQ(RunTool({"fill", Path("indexed.bmp"), Path("filled.bmp"), "-r", "2,1,5,3", "-c", colour}).exitCode, 0);
    ASSERT_EQ(RunTool({"line", Path("filled.bmp"), Path("lined.png"), "--from", "0,9", "--to", "19,0", "-c", "200"}).exitCode, 0);
    MemoryDibSurface expected;
    Load(expected, Path("indexed.bmp"));
    expected.FillRect(2, 6, 5, 3, 77);
    expected.DrawLine(0, 0, 19, 9, 200);
    EXPECT_EQ(PngColours(Path("lined.png")), PixelColours(expected));

    // adjust: hue, saturation and lightness with a mask, then contrast, then inversion.
    ASSERT_EQ(RunTool({"adjust", Path("src.bmp"), Path("adjusted.bmp"), "--hue", "40", "--saturation",
                       "-30", "--lightness", "5", "--contrast", "25", "--mask", Path("mask.bmp"),
                       "--invert"}).exitCode, 0);
    MemoryDibSurface adjusted, reference, m;
    Load(reference, Path("src.bmp"));
    Load(m, Path("mask.bmp"));
    ASSERT_EQ(reference.AdjustHueSaturation(40, -30, 5, &m), ResultOk);
    ASSERT_EQ(reference.AdjustContrast(25, &m), ResultOk);
    ASSERT_EQ(reference.Invert(), ResultOk);
    Load(adjusted, Path("adjusted.bmp"));
    EXPECT_EQ(Pixels(adjusted), Pixels(reference));
}

// convert with a palette file and dithering: the library's ConvertFormat on the same palette.
TEST_F(GfxTool, ConvertUsesTheGivenPalette) {
    MemoryDibSurface photo, palette;
    MakePicture(photo, FMT_RGB24, 24, 16, 7);
    MakePicture(palette, FMT_INDEX8, 2, 2, 9);
    WriteBitmap(photo, Path("photo.bmp"));
    WriteBitmap(palette, Path("palette.bmp"));
    ASSERT_EQ(RunTool({"convert", Path("photo.bmp"), Path("indexed.zbm"), "--palette",
                       Path("palette.bmp"), "--dither", "--tree"}).exitCode, 0);
    MemoryDibSurface out;
    Load(out, Path("indexed.zbm"));
    ASSERT_EQ(photo.ConvertFormat(FMT_INDEX8, palette.GetPalette(), CONVERT_DITHER | CONVERT_TREE_MATCH,
                                  0, nullptr, 0), ResultOk);
    EXPECT_EQ(Pixels(out), Pixels(photo));
    EXPECT_EQ(Colours(out), Colours(palette));
}

// Bad input gets one line naming the file and the status, its exit code, and no output; an
// output that is an input is refused whatever its spelling.
TEST_F(GfxTool, BadInputLeavesNothingBehind) {
    MemoryDibSurface picture;
    MakePicture(picture, FMT_INDEX8, 8, 8, 1);
    WriteBitmap(picture, Path("good.bmp"));
    std::vector<uint8_t> damaged = ReadBytes(Path("good.bmp"));
    StoreLE16(damaged.data() + 14 + 14, 7);  // a bit count no bitmap has
    WriteBytes(Path("damaged.bmp"), damaged);
    const std::vector<std::string> before = Names();

    ExpectFailure(RunTool({"convert", Path("missing.bmp"), Path("out.bmp")}), 1,
                  Path("missing.bmp") + ": ResultNoSource");
    ExpectFailure(RunTool({"convert", Path("damaged.bmp"), Path("out.png")}), 1,
                  Path("damaged.bmp") + ": ResultInvalid");
    ExpectFailure(RunTool({"blit", Path("good.bmp"), Path("good.bmp"), Path("out.bmp"), "-f", "sideways"}),
                  2, "sideways");
    ExpectFailure(RunTool({"fill", Path("good.bmp"), Path("out.bmp"), "-r", "1,2,three,4", "-c", "1"}),
                  2, "1,2,three,4");
    ExpectFailure(RunTool({"convert", Path("good.bmp"), Path("nowhere/out.bmp")}), 1,
                  Path("nowhere/out.bmp"));
    ExpectFailure(RunTool({"convert", Path("good.bmp"), (folder_ / "." / "good.bmp").string()}), 2,
                  "refusing to overwrite");
    ExpectFailure(RunTool({"encode", Path("good.bmp"), Path("out.bmp"), "--as", "zip"}), 2, "zip");
    ExpectFailure(RunTool({"adjust", Path("good.bmp"), Path("out.bmp"), "--hue", "10"}), 1,
                  "ResultFailed");
    EXPECT_EQ(Names(), before);
    EXPECT_EQ(ReadBytes(Path("good.bmp")).size(), damaged.size());
}

// --help of the program and of each command, and the exit codes of asking for it.
TEST_F(GfxTool, HelpDescribesEveryCommand) {
    const ToolRun help = RunTool({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    for (const char* command : {"info", "convert", "encode", "decode", "blit", "fill", "line", "adjust"}) {
        EXPECT_NE(help.out.find(std::string("  ") + command + " "), std::string::npos) << command;
    }
    const ToolRun blit = RunTool({"blit", "--help"});
    EXPECT_EQ(blit.exitCode, 0);
    for (const char* option : {"--from", "--to", "--flags", "--src-key", "--dest-key", "--level",
                               "--mask", "--smooth", "mirror-x", "mask-premul"}) {
        EXPECT_NE(blit.out.find(option), std::string::npos) << option;
    }
    ExpectFailure(RunTool({}), 2, "subcommand");
}
