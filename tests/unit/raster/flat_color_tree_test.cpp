// The flattened tree finds the leaf the pointer tree's nearest descent finds, for sparse and
// full palettes, clustered ones (where the descent leaves the colour's side early and the
// target bits flip), and colours all over the cube.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "graphics/raster/color_tree.h"
#include "graphics/raster/flat_color_tree.h"

namespace {

using namespace gfx;

struct Rgb {
    uint8_t r, g, b;
};

std::vector<Rgb> RandomPalette(std::mt19937& rng, int count, int spread) {
    std::vector<Rgb> colours;
    const int base[3] = {int(rng() % 256), int(rng() % 256), int(rng() % 256)};
    for (int i = 0; i < count; ++i) {
        Rgb c;
        uint8_t* ch[3] = {&c.r, &c.g, &c.b};
        for (int k = 0; k < 3; ++k) {
            const int v = base[k] + int(rng() % (2 * spread + 1)) - spread;
            *ch[k] = uint8_t(v < 0 ? 0 : v > 255 ? 255 : v);
        }
        colours.push_back(c);
    }
    return colours;
}

void ExpectSameAsTree(const ColorTree& tree, const FlatColorTree& flat, Rgb c) {
    uint8_t r = c.r, g = c.g, b = c.b;
    const ColorTreeNode* leaf = tree.Lookup(&r, &g, &b, false);
    ASSERT_NE(leaf, nullptr);
    uint32_t colour = 0;
    ASSERT_EQ(flat.Nearest(c.r, c.g, c.b, &colour), leaf->paletteIndex)
        << int(c.r) << "," << int(c.g) << "," << int(c.b);
    ASSERT_EQ(colour, leaf->colour);
}

TEST(FlatColorTree, FindsThePointerTreesLeafEverywhere) {
    std::mt19937 rng(2024);
    const int counts[] = {1, 2, 3, 7, 16, 64, 255, 256, 400};
    const int spreads[] = {2, 20, 128};
    for (int count : counts) {
        for (int spread : spreads) {
            ColorTree tree;
            const std::vector<Rgb> palette = RandomPalette(rng, count, spread);
            for (size_t i = 0; i < palette.size(); ++i) {
                tree.Insert(palette[i].r, palette[i].g, palette[i].b, int32_t(i));
            }
            FlatColorTree flat;
            ASSERT_TRUE(flat.Build(tree));
            // A grid over the cube, odd steps so that every bit of a channel varies; the
            // palette's own colours and their neighbours, where the paths part late.
            for (int r = 0; r < 256; r += 13) {
                for (int g = 0; g < 256; g += 11) {
                    for (int b = 0; b < 256; b += 7) {
                        ExpectSameAsTree(tree, flat, Rgb{uint8_t(r), uint8_t(g), uint8_t(b)});
                    }
                }
            }
            for (const Rgb& p : palette) {
                ExpectSameAsTree(tree, flat, p);
                ExpectSameAsTree(tree, flat, Rgb{uint8_t(p.r + 1), p.g, uint8_t(p.b - 1)});
                ExpectSameAsTree(tree, flat, Rgb{p.r, uint8_t(p.g ^ 0x80), p.b});
            }
        }
    }
}

TEST(FlatColorTree, EmptyTreeAndRebuild) {
    ColorTree empty;
    FlatColorTree flat;
    EXPECT_FALSE(flat.Build(empty));
    EXPECT_EQ(flat.Nearest(1, 2, 3), -1);

    // Black and white only: the root's wanted slot is missing and the difference weights decide.
    ColorTree two;
    two.Insert(0, 0, 0, 4);
    two.Insert(255, 255, 255, 9);
    ASSERT_TRUE(flat.Build(two));
    uint32_t colour = 1;
    EXPECT_EQ(flat.Nearest(200, 10, 10, &colour), 4);
    EXPECT_EQ(colour, 0u);
    EXPECT_EQ(flat.Nearest(200, 200, 10, &colour), 9);
    EXPECT_EQ(colour, 0xFFFFFFu);

    // Building again replaces what the first build held.
    ColorTree one;
    one.Insert(10, 20, 30, 7);
    ASSERT_TRUE(flat.Build(one));
    EXPECT_EQ(flat.Nearest(200, 200, 10, &colour), 7);
    EXPECT_EQ(colour, (10u << 16) | (20u << 8) | 30u);
    EXPECT_FALSE(flat.Build(empty));
    EXPECT_EQ(flat.Nearest(10, 20, 30), -1);
}

}  // namespace
