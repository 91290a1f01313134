// Checks the launcher's artwork files the way the launcher and Windows read them: exact bitmap
// layout and a shared colour table, loading through the system's own image loaders, distinct
// button looks that blend with the background, and the icon's and cursor's images.

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

struct Picture {
    const char* name;
    int width, height;
    int x, y;  // where the launcher puts it on the background
};

const Picture kBackground = {"BACKGROUND", 500, 420, 0, 0};
const Picture kButtons[] = {
    {"INSTALL", 153, 48, 37, 32},
    {"RUN", 133, 46, 38, 95},
    {"EXIT", 101, 47, 387, 356},
};
const char kStates[] = "UDFX";

std::vector<uint8_t> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

uint32_t U32(const std::vector<uint8_t>& b, size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}
uint16_t U16(const std::vector<uint8_t>& b, size_t at) { return b[at] | b[at + 1] << 8; }

// An 8-bit bottom-up bitmap file, checked field by field on the way in.
struct Bitmap {
    int width = 0, height = 0;
    std::vector<uint8_t> table;   // 1024 bytes: blue, green, red, 0
    std::vector<uint8_t> pixels;  // top row first, no padding

    COLORREF Colour(int x, int y) const {
        const uint8_t* e = &table[pixels[y * width + x] * 4];
        return RGB(e[2], e[1], e[0]);
    }
};

class ArtworkTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = [] {
            char buffer[1024];
            DWORD n = GetEnvironmentVariableA("DISC_ARTWORK_DIR", buffer, sizeof(buffer));
            return (n == 0 || n >= sizeof(buffer)) ? std::string() : std::string(buffer, n);
        }();
        if (dir_.empty()) GTEST_SKIP() << "DISC_ARTWORK_DIR is not set";
        dir_ += "/";
    }

    Bitmap Load(const Picture& picture, const std::string& name) {
        Bitmap bitmap;
        std::vector<uint8_t> b = ReadBytes(dir_ + name + ".bmp");
        const size_t rowBytes = (picture.width + 3) & ~3;
        const size_t bitsAt = 14 + 40 + 1024;
        EXPECT_GE(b.size(), bitsAt) << name;
        if (b.size() < bitsAt) return bitmap;
        EXPECT_EQ(b[0], 'B');
        EXPECT_EQ(b[1], 'M');
        EXPECT_EQ(U32(b, 2), b.size()) << name;
        EXPECT_EQ(U32(b, 10), bitsAt) << name << ": bits do not follow a full colour table";
        EXPECT_EQ(U32(b, 14), 40u) << name;
        EXPECT_EQ(static_cast<int32_t>(U32(b, 18)), picture.width) << name;
        EXPECT_EQ(static_cast<int32_t>(U32(b, 22)), picture.height) << name << " (bottom-up)";
        EXPECT_EQ(U16(b, 26), 1) << name;
        EXPECT_EQ(U16(b, 28), 8) << name;
        EXPECT_EQ(U32(b, 30), 0u) << name << " is compressed";
        uint32_t used = U32(b, 46);
        EXPECT_TRUE(used == 0 || used == 256) << name << " biClrUsed " << used;
        EXPECT_EQ(b.size(), bitsAt + rowBytes * picture.height) << name;
        if (b.size() != bitsAt + rowBytes * picture.height) return bitmap;

        bitmap.width = picture.width;
        bitmap.height = picture.height;
        bitmap.table.assign(b.begin() + 54, b.begin() + bitsAt);
        for (int y = 0; y < picture.height; ++y) {
            const uint8_t* row = &b[bitsAt + (picture.height - 1 - y) * rowBytes];
            bitmap.pixels.insert(bitmap.pixels.end(), row, row + picture.width);
        }
        return bitmap;
    }

    std::string dir_;
};

TEST_F(ArtworkTest, BitmapsShareTheBackgroundsColourTable) {
    Bitmap background = Load(kBackground, "BACKGROUND");
    ASSERT_EQ(background.table.size(), 1024u);
    for (const Picture& button : kButtons) {
        for (int s = 0; s < 4; ++s) {
            std::string name = std::string(button.name) + kStates[s];
            Bitmap bitmap = Load(button, name);
            EXPECT_EQ(bitmap.table, background.table) << name;
        }
    }
}

TEST_F(ArtworkTest, WindowsLoadsEveryBitmapAsEightBitPicture) {
    std::vector<std::pair<Picture, std::string>> all = {{kBackground, "BACKGROUND"}};
    for (const Picture& button : kButtons) {
        for (int s = 0; s < 4; ++s) all.push_back({button, std::string(button.name) + kStates[s]});
    }
    for (const auto& [picture, name] : all) {
        std::string path = dir_ + name + ".bmp";
        HANDLE image = LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0,
                                  LR_LOADFROMFILE | LR_CREATEDIBSECTION);
        ASSERT_NE(image, nullptr) << path;
        DIBSECTION dib = {};
        ASSERT_EQ(GetObjectA(image, sizeof(dib), &dib), static_cast<int>(sizeof(dib))) << name;
        EXPECT_EQ(dib.dsBm.bmWidth, picture.width) << name;
        EXPECT_EQ(dib.dsBm.bmHeight, picture.height) << name;
        EXPECT_EQ(dib.dsBm.bmBitsPixel, 8) << name;
        DeleteObject(image);
    }
}

int ColourDistance(COLORREF a, COLORREF b) {
    return abs(GetRValue(a) - GetRValue(b)) + abs(GetGValue(a) - GetGValue(b)) +
           abs(GetBValue(a) - GetBValue(b));
}

TEST_F(ArtworkTest, ButtonLooksAreDistinctAndBlendWithTheBackground) {
    Bitmap background = Load(kBackground, "BACKGROUND");
    ASSERT_FALSE(background.pixels.empty());
    for (const Picture& button : kButtons) {
        std::vector<Bitmap> looks;
        for (int s = 0; s < 4; ++s)
            looks.push_back(Load(button, std::string(button.name) + kStates[s]));
        for (int s = 0; s < 4; ++s) {
            const Bitmap& look = looks[s];
            ASSERT_FALSE(look.pixels.empty());
            std::string name = std::string(button.name) + kStates[s];
            // The corners lie outside the rounded plate: they show the background beneath.
            for (auto [cx, cy] : {std::pair{0, 0},
                                  {button.width - 1, 0},
                                  {0, button.height - 1},
                                  {button.width - 1, button.height - 1}}) {
                EXPECT_LE(ColourDistance(look.Colour(cx, cy),
                                         background.Colour(button.x + cx, button.y + cy)),
                          60)
                    << name << " corner " << cx << "," << cy;
            }
            // Each look differs visibly from each other look of the same button.
            for (int t = 0; t < s; ++t) {
                int differing = 0;
                for (int y = 0; y < button.height; ++y) {
                    for (int x = 0; x < button.width; ++x) {
                        differing += ColourDistance(look.Colour(x, y), looks[t].Colour(x, y)) > 48;
                    }
                }
                EXPECT_GT(differing, button.width * button.height / 10)
                    << name << " looks too much like " << button.name << kStates[t];
            }
        }
    }
}

TEST_F(ArtworkTest, IconHoldsLargeAndSmallImagesInSixteenAndTwoHundredFiftySixColours) {
    std::vector<uint8_t> b = ReadBytes(dir_ + "launcher.ico");
    ASSERT_GE(b.size(), 6u + 4 * 16);
    EXPECT_EQ(U16(b, 0), 0);
    EXPECT_EQ(U16(b, 2), 1);
    ASSERT_EQ(U16(b, 4), 4);
    int seen[2][2] = {};
    for (int i = 0; i < 4; ++i) {
        size_t e = 6 + 16 * i;
        int size = b[e];
        int bpp = U16(b, e + 6);
        uint32_t length = U32(b, e + 8);
        uint32_t offset = U32(b, e + 12);
        ASSERT_TRUE(size == 32 || size == 16) << size;
        ASSERT_TRUE(bpp == 4 || bpp == 8) << bpp;
        EXPECT_EQ(b[e + 2], bpp == 4 ? 16 : 0);
        ASSERT_LE(static_cast<size_t>(offset) + length, b.size());
        // The image: doubled height for the mask, then colours, then the AND mask.
        EXPECT_EQ(U32(b, offset), 40u);
        EXPECT_EQ(static_cast<int32_t>(U32(b, offset + 8)), 2 * size);
        EXPECT_EQ(U16(b, offset + 14), bpp);
        size_t expected = 40 + 4 * (1u << bpp) + size * ((size * bpp + 31) / 32 * 4) +
                          size * ((size + 31) / 32 * 4);
        EXPECT_EQ(length, expected);
        seen[size == 32][bpp == 8]++;
    }
    EXPECT_TRUE(seen[0][0] == 1 && seen[0][1] == 1 && seen[1][0] == 1 && seen[1][1] == 1);

    for (int size : {32, 16}) {
        HANDLE icon = LoadImageA(nullptr, (dir_ + "launcher.ico").c_str(), IMAGE_ICON, size, size,
                                 LR_LOADFROMFILE);
        EXPECT_NE(icon, nullptr) << size;
        if (icon) DestroyIcon(static_cast<HICON>(icon));
    }
}

TEST_F(ArtworkTest, CursorIsAMonochromeHandWithItsHotSpotOnTheFingertip) {
    HANDLE cursor = LoadImageA(nullptr, (dir_ + "hand.cur").c_str(), IMAGE_CURSOR, 0, 0,
                               LR_LOADFROMFILE | LR_DEFAULTSIZE);
    ASSERT_NE(cursor, nullptr);
    ICONINFO info = {};
    ASSERT_TRUE(GetIconInfo(static_cast<HICON>(cursor), &info));
    EXPECT_FALSE(info.fIcon);
    EXPECT_EQ(info.xHotspot, 4u);
    EXPECT_EQ(info.yHotspot, 1u);
    EXPECT_EQ(info.hbmColor, nullptr) << "a monochrome cursor has no colour bitmap";
    BITMAP mask = {};
    GetObjectA(info.hbmMask, sizeof(mask), &mask);
    EXPECT_EQ(mask.bmWidth, 32);
    EXPECT_EQ(mask.bmHeight, 64);
    if (info.hbmMask) DeleteObject(info.hbmMask);
    if (info.hbmColor) DeleteObject(info.hbmColor);
    DestroyCursor(static_cast<HCURSOR>(cursor));

    // In the file: the hot spot is a visible white pixel (mask 0, colour 1) and the pixel above
    // it is the black outline (mask 0, colour 0): the fingertip.
    std::vector<uint8_t> b = ReadBytes(dir_ + "hand.cur");
    ASSERT_EQ(b.size(), 6u + 16 + 40 + 8 + 128 + 128);
    EXPECT_EQ(U16(b, 2), 2);
    EXPECT_EQ(U16(b, 6 + 4), 4);  // hot spot in the directory entry
    EXPECT_EQ(U16(b, 6 + 6), 1);
    const size_t xorAt = 22 + 40 + 8, andAt = xorAt + 128;
    auto bit = [&](size_t at, int x, int y) {
        return (b[at + (31 - y) * 4 + x / 8] >> (7 - x % 8)) & 1;
    };
    EXPECT_EQ(bit(andAt, 4, 1), 0);
    EXPECT_EQ(bit(xorAt, 4, 1), 1);
    EXPECT_EQ(bit(andAt, 4, 0), 0);
    EXPECT_EQ(bit(xorAt, 4, 0), 0);
    EXPECT_EQ(bit(andAt, 31, 31), 1) << "the corner is transparent";
}

}  // namespace
