// The fur brush through its entry point: its random tip against a plain
// reference drawn from the same rand() sequence, the tip's bounds, the
// small sizes it refuses, and the one-row offset of its dabs.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <vector>

#include "penlith_harness.h"

namespace {

using namespace penlith_test;

const Bgr kWhite{255, 255, 255};

// The rounded integer root: g with g (g - 1) <= v < g (g + 1).
uint32_t RoundedRoot(uint32_t v) {
    if (v < 2) return v;
    uint64_t g = static_cast<uint64_t>(std::sqrt(static_cast<double>(v)));
    while (g * (g - 1) > v) --g;
    while (g * (g + 1) <= v) ++g;
    return static_cast<uint32_t>(g);
}

bool InDisc(int s, int x, int y) {
    const int dx = 2 * s - 4 * x, dy = 2 * s - 4 * y;
    return RoundedRoot(static_cast<uint32_t>(dx * dx + dy * dy)) < static_cast<uint32_t>(2 * s);
}

struct ReferenceTip {
    std::vector<uint8_t> mask;
    int dots = 0;
};

// The tip written out plainly: dots, clumps, box blur, disc.
ReferenceTip MakeReferenceTip(int s, int density) {
    const int p = density * 128 / 100;
    ReferenceTip tip;
    std::vector<int> m(static_cast<size_t>(s * s), 0);
    auto at = [&](int x, int y) -> int & { return m[static_cast<size_t>(y * s + x)]; };
    tip.dots = std::max(1, (s + 2) / 4);
    for (int placed = 0; placed < tip.dots;) {
        const int x = std::rand() % s;
        const int y = std::rand() % s;
        if (InDisc(s, x, y)) {
            at(x, y) = p;
            ++placed;
        }
    }
    const int clump = std::min(2 * p, 255);
    for (int y = 0; y < s; ++y) {
        for (int x = 0; x < s; ++x) {
            if ((std::rand() & 15) != 15) continue;
            at(x, y) = clump;
            if (x < s - 1) at(x + 1, y) = clump;
            if (y + 1 < s - 1) at(x, y + 1) = clump;
            if (y + 1 < s - 1 && x + 1 < s - 1) at(x + 1, y + 1) = clump;
        }
    }
    tip.mask.assign(static_cast<size_t>(s * s), 0);
    for (int y = 0; y < s; ++y) {
        const int above = y == 0 ? y : y - 1, below = y == s - 1 ? y : y + 1;
        for (int x = 0; x < s; ++x) {
            int sum = 0, v;
            if (x == 0 || x == s - 1) {
                const int a = x == 0 ? 0 : s - 2;
                for (int r : {above, y, below}) sum += at(a, r) + at(a + 1, r);
                v = (sum + 3) / 6;
            } else {
                for (int r : {above, y, below}) sum += at(x - 1, r) + at(x, r) + at(x + 1, r);
                v = (sum + 4) / 9;
            }
            tip.mask[static_cast<size_t>(y * s + x)] = static_cast<uint8_t>(InDisc(s, x, y) ? std::min(v, 128) : 0);
        }
    }
    return tip;
}

std::vector<uint8_t> TipOf(const BrushHarness &brush) {
    const auto *bits = static_cast<const uint8_t *>(brush.ctx().tipBits);
    const size_t bytes = static_cast<size_t>(brush.ctx().tipWidth) * static_cast<size_t>(brush.ctx().tipHeight);
    return bits ? std::vector<uint8_t>(bits, bits + bytes) : std::vector<uint8_t>{};
}

TEST(Fur, TipIsTheDotsClumpsBlurAndDiscOfTheSharedGenerator) {
    struct Case {
        int size, density;
        unsigned seed;
    };
    for (const Case c : {Case{5, 100, 1}, Case{6, 37, 2}, Case{9, 100, 3}, Case{16, 60, 4}, Case{33, 100, 5},
                         Case{100, 100, 6}, Case{100, 1, 7}}) {
        std::srand(c.seed);
        const ReferenceTip want = MakeReferenceTip(c.size, c.density);
        const int after = std::rand();  // what a caller draws next

        PenlithBrush fur("Xi_FurBrush", 8, 8);
        fur.brush.SetParams(c.size, c.density, 0);
        std::srand(c.seed);
        ASSERT_EQ(fur.brush.Select(), 1) << c.size;
        EXPECT_EQ(std::rand(), after) << "size " << c.size << ": the tip drew a different number of values";
        EXPECT_EQ(fur.brush.ctx().tipWidth, c.size);
        EXPECT_EQ(fur.brush.ctx().tipHeight, c.size);
        EXPECT_EQ(fur.brush.ctx().tipVariantCount, 1);
        EXPECT_EQ(TipOf(fur.brush), want.mask) << "size " << c.size << " density " << c.density;
    }
    // (size + 2) / 4 dots, at least one
    std::srand(1);
    EXPECT_EQ(MakeReferenceTip(5, 100).dots, 1);
    EXPECT_EQ(MakeReferenceTip(100, 100).dots, 25);
}

TEST(Fur, TipStaysInsideItsDiscAndBelowFullCoverageWhateverTheDraws) {
    for (int size = 5; size <= 40; size += 7) {
        for (unsigned seed = 1; seed <= 20; ++seed) {
            PenlithBrush fur("Xi_FurBrush", 8, 8);
            fur.brush.SetParams(size, 100, 0);  // dots 128, clumps 255 before the blur
            std::srand(seed);
            ASSERT_EQ(fur.brush.Select(), 1);
            const std::vector<uint8_t> tip = TipOf(fur.brush);
            ASSERT_EQ(tip.size(), static_cast<size_t>(size * size));
            int painted = 0;
            for (int y = 0; y < size; ++y) {
                for (int x = 0; x < size; ++x) {
                    const uint8_t t = tip[static_cast<size_t>(y * size + x)];
                    ASSERT_LE(t, 128) << size << " seed " << seed;
                    if (!InDisc(size, x, y)) {
                        ASSERT_EQ(t, 0) << size << " at " << x << "," << y;
                    }
                    painted += t > 0;
                }
            }
            EXPECT_GT(painted, 0) << size << " seed " << seed;
            EXPECT_LT(painted, size * size * 79 / 100) << size << " seed " << seed;  // fur, not a disc
        }
    }
}

TEST(Fur, SizesBelowFiveHaveNoTipAndCannotPaint) {
    for (int size : {1, 2, 3, 4}) {
        PenlithBrush fur("Xi_FurBrush", 20, 20);
        fur.brush.SetParams(size, 100, 0);
        EXPECT_EQ(fur.brush.Select(), 0) << size;
        EXPECT_EQ(fur.brush.ctx().tipBits, nullptr) << size;
        EXPECT_EQ(fur.brush.Start(10, 10), 0) << size;
        EXPECT_EQ(fur.canvas.Pixel(10, 10), kWhite) << size;
    }
}

// Tip row j of a dab lands on memory row canvasRow + j but reads mask row
// j + 1, so mask row m shows one screen row lower than with the other
// brushes: at y = cy + s / 2 - m + 1.  The dab's top row reads nothing.
TEST(Fur, DabsShowTheMaskOneScreenRowLowerAndLeaveTheTopRowAlone) {
    const int s = 12, cx = 20, cy = 15;
    PenlithBrush fur("Xi_FurBrush", 40, 30);
    fur.brush.SetParams(s, 100, 0);
    std::srand(99);
    ASSERT_EQ(fur.brush.Select(), 1);
    const std::vector<uint8_t> tip = TipOf(fur.brush);
    fur.brush.ctx().color = brush_test::ColorValue(0, 0, 0);
    const auto before = fur.canvas.Snapshot();
    fur.Stroke({{cx, cy}});
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 40; ++x) {
            const int i = x - (cx - s / 2), m = cy + s / 2 - y + 1;
            const bool onMask = i >= 0 && i < s && m >= 1 && m < s;
            const int t = onMask ? tip[static_cast<size_t>(m * s + i)] : 0;
            const auto v = static_cast<uint8_t>(255 - 255 * t / 128);
            ASSERT_EQ(fur.canvas.Pixel(x, y), (Bgr{v, v, v})) << x << "," << y;
        }
    }
    EXPECT_FALSE(fur.canvas.ChangedSince(before).IsZero());
    EXPECT_TRUE(fur.canvas.GuardsIntact());
}

TEST(Fur, EverySelectionDrawsANewTipThatLastsAcrossStrokes) {
    PenlithBrush fur("Xi_FurBrush", 40, 40);
    fur.brush.SetParams(20, 100, 0);
    std::srand(5);
    ASSERT_EQ(fur.brush.Select(), 1);
    const std::vector<uint8_t> first = TipOf(fur.brush);
    fur.Stroke({{10, 10}, {30, 30}});
    fur.Stroke({{30, 10}});
    EXPECT_EQ(TipOf(fur.brush), first);
    std::srand(6);
    ASSERT_EQ(fur.brush.Select(), 1);
    EXPECT_NE(TipOf(fur.brush), first);
}

TEST(Fur, ColourRoughnessDrawsThreeValuesOncePerPaintingCall) {
    PenlithBrush fur("Xi_FurBrush", 40, 40);
    fur.brush.SetParams(10, 100, 10);
    ASSERT_EQ(fur.brush.Select(), 1);
    std::srand(31);
    for (int k = 0; k < 3; ++k) std::rand();
    const int next = std::rand();
    std::srand(31);
    ASSERT_EQ(fur.brush.Start(20, 20), 1);  // begin draws nothing, paint three
    EXPECT_EQ(std::rand(), next);
    fur.brush.End();
}

}  // namespace
