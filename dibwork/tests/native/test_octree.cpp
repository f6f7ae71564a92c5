// Octree colour reduction under the sanitizers: exact palettes for few
// colours, the tree's depth-first order, and the bounds for many colours.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <tuple>

#include "kernel_pictures.h"
#include "octree.h"

using namespace dibwork;
using kernel_test::Picture;

namespace {

std::set<std::tuple<int, int, int>> AsSet(const std::vector<PaletteColour> &p) {
    std::set<std::tuple<int, int, int>> s;
    for (const auto &c : p) s.insert({c.r, c.g, c.b});
    return s;
}

TEST(Octree, FewColoursComeOutExactlyPlusWhiteAndBlack) {
    // 200 distinct colours, none white or black: no merge happens, so the
    // palette is exactly those colours, then white, then black.
    Picture src(20, 10, 24);
    std::set<std::tuple<int, int, int>> expected;
    for (int i = 0; i < 200; ++i) {
        const uint8_t r = uint8_t(1 + i), g = uint8_t(7 * i % 250 + 1), b = uint8_t(100 + i % 50);
        src.Set(i % 20, i / 20, b, g, r);
        expected.insert({r, g, b});
    }
    std::vector<PaletteColour> palette;
    ASSERT_TRUE(BuildOctreePalette(src.view, palette));
    ASSERT_EQ(palette.size(), 202u);
    EXPECT_EQ(palette[200], (PaletteColour{255, 255, 255}));
    EXPECT_EQ(palette[201], (PaletteColour{0, 0, 0}));
    palette.resize(200);
    EXPECT_EQ(AsSet(palette), expected);
}

TEST(Octree, WhitePresentAddsOnlyBlack) {
    Picture src(2, 1, 24);
    src.Set(0, 0, 255, 255, 255);
    src.Set(1, 0, 10, 20, 30);
    std::vector<PaletteColour> palette;
    ASSERT_TRUE(BuildOctreePalette(src.view, palette));
    ASSERT_EQ(palette.size(), 3u);
    EXPECT_EQ(std::count(palette.begin(), palette.end(), PaletteColour{255, 255, 255}), 1);
    EXPECT_EQ(palette.back(), (PaletteColour{0, 0, 0}));
}

TEST(Octree, LeavesComeInDepthFirstChildOrder) {
    // Red takes child 4 (r << 2) at the root, blue child 1: blue first.
    Picture src(2, 1, 24);
    src.Set(0, 0, 0, 0, 255);  // red
    src.Set(1, 0, 255, 0, 0);  // blue
    std::vector<PaletteColour> palette;
    ASSERT_TRUE(BuildOctreePalette(src.view, palette));
    ASSERT_EQ(palette.size(), 4u);
    EXPECT_EQ(palette[0], (PaletteColour{0, 0, 255}));
    EXPECT_EQ(palette[1], (PaletteColour{255, 0, 0}));
}

TEST(Octree, ManyColoursStayWithinTheLimit) {
    std::mt19937 rng(5);
    Picture src(300, 200, 24);
    src.FillRandom(rng);
    std::vector<PaletteColour> palette;
    ASSERT_TRUE(BuildOctreePalette(src.view, palette));
    EXPECT_LE(palette.size(), 255u);
    EXPECT_GE(palette.size(), 200u);  // reduction folds a node at a time
    EXPECT_NE(std::find(palette.begin(), palette.end(), PaletteColour{255, 255, 255}), palette.end());
    EXPECT_NE(std::find(palette.begin(), palette.end(), PaletteColour{0, 0, 0}), palette.end());
}

TEST(Octree, MergedLeavesAverageTheirPixels) {
    // A limit of 1 folds everything into the root: one mean colour.
    Picture src(2, 1, 24);
    src.Set(0, 0, 10, 20, 30);
    src.Set(1, 0, 21, 41, 61);
    std::vector<PaletteColour> palette;
    ASSERT_TRUE(BuildOctreePalette(src.view, palette, 1));
    ASSERT_GE(palette.size(), 1u);
    EXPECT_EQ(palette[0], (PaletteColour{45, 30, 15}));
}

TEST(Octree, RefusesWhatIsNotA24BitPicture) {
    Picture p8(4, 4, 8, 256);
    std::vector<PaletteColour> palette;
    EXPECT_FALSE(BuildOctreePalette(p8.view, palette));
    PixelView none;
    EXPECT_FALSE(BuildOctreePalette(none, palette));
}

}  // namespace
