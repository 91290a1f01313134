#include "graphics/raster/color_tree.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

using namespace gfx;

namespace {

struct Colour {
    uint8_t r, g, b;
};

// The palette index the nearest descent reaches, with the colour written back into `c`.
int Nearest(const ColorTree& tree, Colour* c) {
    const ColorTreeNode* leaf = tree.Lookup(&c->r, &c->g, &c->b, false);
    return leaf ? leaf->paletteIndex : -1;
}

int Slot(Colour c, int level) {
    const int bit = 0x80 >> level;
    return ((c.r & bit) ? 4 : 0) | ((c.g & bit) ? 2 : 0) | ((c.b & bit) ? 1 : 0);
}

}  // namespace

TEST(ColorTree, InsertKeepsTheFirstIndexAndLookupsFindLeaves) {
    ColorTree tree;
    Colour c{1, 2, 3};
    EXPECT_EQ(Nearest(tree, &c), -1);
    EXPECT_EQ(tree.Insert(10, 20, 30, 5), ColorTree::InsertResult::Added);
    EXPECT_EQ(tree.Insert(10, 20, 30, 9), ColorTree::InsertResult::Present);
    EXPECT_EQ(tree.Insert(10, 20, 31, 7), ColorTree::InsertResult::Added);  // differs at level 7
    EXPECT_EQ(tree.LeafCount(), 2);

    uint8_t r = 10, g = 20, b = 30;
    const ColorTreeNode* leaf = tree.Lookup(&r, &g, &b, true);
    ASSERT_NE(leaf, nullptr);
    EXPECT_EQ(leaf->paletteIndex, 5);
    EXPECT_EQ(leaf->colour, 0x0A141Eu);
    int level = 8;
    for (const ColorTreeNode* n = leaf; n->parent; n = n->parent, --level) {
        EXPECT_EQ(n->level, level);
        EXPECT_EQ(n->parent->children[n->indexInParent], n);
    }
    EXPECT_EQ(level, 0);
    b = 29;
    EXPECT_EQ(tree.Lookup(&r, &g, &b, true), nullptr);

    c = {10, 20, 31};
    EXPECT_EQ(Nearest(tree, &c), 7);
    EXPECT_EQ(c.b, 31);
}

TEST(ColorTree, NearestDescentFollowsTheDifferenceWeights) {
    ColorTree bw;
    bw.Insert(0, 0, 0, 0);
    bw.Insert(255, 255, 255, 1);
    Colour c{200, 10, 10};  // slot 4 missing: slot 0 is one channel off, slot 7 two
    EXPECT_EQ(Nearest(bw, &c), 0);
    EXPECT_EQ(c.r, 0);
    c = {10, 200, 200};  // slot 3: slot 7 one off, slot 0 two
    EXPECT_EQ(Nearest(bw, &c), 1);

    ColorTree split;
    split.Insert(128, 0, 0, 1);
    split.Insert(127, 255, 255, 2);
    c = {129, 255, 255};  // slot 7 missing: slot 3 one off; then as high as it can go
    EXPECT_EQ(Nearest(split, &c), 2);
    EXPECT_EQ(c.r, 127);

    ColorTree ties;  // from slot 0, slots 1, 2 and 4 are all one off: the lowest wins
    ties.Insert(255, 0, 0, 5);
    ties.Insert(0, 255, 0, 4);
    ties.Insert(0, 0, 255, 3);
    c = {0, 0, 0};
    EXPECT_EQ(Nearest(ties, &c), 3);
}

// Against a model of the descent over the leaves still on the path, for sparse and dense trees.
TEST(ColorTree, NearestMatchesAModelDescentOverRandomTrees) {
    srand(7);
    for (int round = 0; round < 40; ++round) {
        ColorTree tree;
        std::vector<Colour> leaves;
        for (int i = 0, n = 1 + rand() % (round < 20 ? 6 : 200); i < n; ++i) {
            Colour c{uint8_t(rand()), uint8_t(rand()), uint8_t(rand())};
            if (tree.Insert(c.r, c.g, c.b, i) == ColorTree::InsertResult::Added) leaves.push_back(c);
        }
        for (int q = 0; q < 50; ++q) {
            const Colour want{uint8_t(rand()), uint8_t(rand()), uint8_t(rand())};
            std::vector<Colour> alive = leaves;
            int targetAbove = 0, chosenAbove = 0;
            for (int level = 0; level < 8; ++level) {
                int target = 0;
                for (int k = 0; k < 3; ++k) {
                    const int ta = (targetAbove >> k) & 1, ca = (chosenAbove >> k) & 1;
                    target |= (ta == ca ? (Slot(want, level) >> k) & 1 : !ca) << k;
                }
                int chosen = -1;
                for (Colour c : alive) {
                    const int j = Slot(c, level);
                    const int wj = __builtin_popcount(unsigned(target ^ j));
                    const int wc = chosen < 0 ? 9 : __builtin_popcount(unsigned(target ^ chosen));
                    if (wj < wc || (wj == wc && j < chosen)) chosen = j;
                }
                std::erase_if(alive, [&](Colour c) { return Slot(c, level) != chosen; });
                targetAbove = target, chosenAbove = chosen;
            }
            ASSERT_EQ(alive.size(), 1u);
            Colour got = want;
            ASSERT_GE(Nearest(tree, &got), 0);
            EXPECT_EQ(got.r * 65536 + got.g * 256 + got.b, alive[0].r * 65536 + alive[0].g * 256 + alive[0].b);
        }
    }
}
