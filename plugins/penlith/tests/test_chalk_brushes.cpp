// Chalk, the dry brush and pastel through their entry points: their masks
// against the rules replayed from the textures, single dabs replayed pixel
// by pixel from the paper grain and the same rand() draws, the grain fixed
// to the canvas, the smallest sizes and a missing grain or texture.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "penlith_checks.h"
#include "penlith_harness.h"
#include "texture_levels.h"

#ifndef _WIN32
#include "textures_native.h"
#endif

namespace {

using namespace penlith_test;

int Clamp(int v, int lo, int hi) { return v < lo ? lo : (v > hi ? hi : v); }

// Four times the distance of tip pixel (i, j) from the tip centre, rounded
// as the tips round it: g with g (g - 1) <= v < g (g + 1).
int Radius4(int size, int i, int j) {
    const long long v = (2LL * size - 4 * i) * (2LL * size - 4 * i) + (2LL * size - 4 * j) * (2LL * size - 4 * j);
    long long g = 0;
    while (g * (g + 1) <= v) ++g;
    return static_cast<int>(v < 2 ? v : g);
}

std::vector<uint8_t> TipBytes(PenlithBrush &b, int variant) {
    const int size = b.brush.ctx().tipWidth;
    const auto *masks = static_cast<const uint8_t *>(b.brush.ctx().tipBits) + variant * size * size;
    return std::vector<uint8_t>(masks, masks + size * size);
}

TEST(DryBrushes, MasksAreTheRulesReplayedAtTwoSizesAndChalkAndPastelKeepThePaperGrain) {
    const std::vector<uint8_t> marks = TextureLevels(111), blob = TextureLevels(112), paper = TextureLevels(202);
    ASSERT_EQ(marks.size(), 128u * 128u);
    ASSERT_EQ(blob.size(), 128u * 128u);
    ASSERT_EQ(paper.size(), 64u * 64u);
    for (int size : {7, 30}) {
        PenlithBrush chalk("Xi_ChalkBrush", 40, 40);
        chalk.brush.SetParams(size, 70, 0);
        ASSERT_EQ(chalk.brush.Select(), 1);
        ASSERT_EQ(chalk.brush.ctx().tipWidth, size);
        std::vector<uint8_t> roller(size * size);
        const int p = 70 * 128 / 100;
        for (int j = 0; j < size; ++j) {
            for (int i = 0; i < size; ++i) {
                const int r = Radius4(size, i, j);
                roller[j * size + i] =
                    static_cast<uint8_t>(r < 2 * size - 4 ? p : (r < 2 * size ? p / (r - 2 * size + 5) : 0));
            }
        }
        EXPECT_EQ(TipBytes(chalk, 0), roller) << "chalk " << size;
        const auto *grain = static_cast<const uint8_t *>(chalk.brush.ctx().workBits);
        ASSERT_NE(grain, nullptr);
        EXPECT_EQ(std::vector<uint8_t>(grain, grain + 4096), paper);

        PenlithBrush dry("Xi_DryBrush", 40, 40);
        dry.brush.SetParams(size, 90, 0);
        ASSERT_EQ(dry.brush.Select(), 1);
        ASSERT_EQ(dry.brush.ctx().tipVariantCount, 5);
        for (int v = 0; v < 5; ++v) {
            EXPECT_EQ(TipBytes(dry, v), TurnedTexture(marks, size, 90 * 128 / 100, 7 * v)) << size << " " << v;
        }
        PenlithBrush pastel("Xi_PastelBrush", 40, 40);
        pastel.brush.SetParams(size, 40, 0);
        ASSERT_EQ(pastel.brush.Select(), 1);
        ASSERT_EQ(pastel.brush.ctx().tipVariantCount, 3);
        for (int v = 0; v < 3; ++v) {
            EXPECT_EQ(TipBytes(pastel, v), TurnedTexture(blob, size, 40 * 128 / 100, 10 * v - 10)) << size << " " << v;
        }
        grain = static_cast<const uint8_t *>(pastel.brush.ctx().workBits);
        ASSERT_NE(grain, nullptr);
        EXPECT_EQ(std::vector<uint8_t>(grain, grain + 4096), paper);
    }
}

// One click of a brush over a canvas, replayed: the rand() draws taken in
// the brushes' order (colour jitter, then the dry brush's strength and
// mask, or the pastel's mask), then for every tip byte t > 0 under the dab
// the rule of the brush with the grain value g of that canvas pixel.
struct Click {
    const char *name;
    int size, density, third, pressure;
    int x, y;  // where the click lands
    unsigned seed;
};

void ExpectClickReplayed(const Click &c, TestCanvas &canvas, BrushHarness &brush) {
    const std::vector<uint8_t> paper = TextureLevels(202);
    ASSERT_EQ(paper.size(), 4096u);
    const bool chalk = std::string(c.name) == "Xi_ChalkBrush", dry = std::string(c.name) == "Xi_DryBrush";
    brush.ctx().color = brush_test::ColorValue(200, 90, 30);
    std::srand(c.seed);
    int target[3] = {30, 90, 200};
    const int half = 3 * c.third / 2;
    if (half > 0) {
        for (int &channel : target) channel = Clamp(channel + std::rand() % (2 * half) - half, 0, 255);
    }
    const int strength = dry ? (std::rand() % 128 + 384) / 4 : 0;
    const int variant = dry ? std::rand() % 5 : (chalk ? 0 : std::rand() % 3);
    std::vector<Bgr> expected;
    for (int y = 0; y < canvas.height(); ++y) {
        for (int x = 0; x < canvas.width(); ++x) expected.push_back(canvas.Pixel(x, y));
    }
    const auto *tips = static_cast<const uint8_t *>(brush.ctx().tipBits) + variant * c.size * c.size;
    const int firstRow = (canvas.height() - 1 - c.y) - c.size / 2;
    for (int j = 0; j < c.size; ++j) {
        for (int i = 0; i < c.size; ++i) {
            const int x = c.x - c.size / 2 + i, row = firstRow + j, y = canvas.height() - 1 - row;
            const int t = tips[j * c.size + i];
            if (x < 0 || x >= canvas.width() || row < 0 || row >= canvas.height() || t == 0) continue;
            const int cv = Clamp(c.pressure + t - 128, 0, 128), g = paper[(row % 64) * 64 + x % 64];
            const int a = chalk ? cv * g / 256 : (dry ? cv * strength / 128 : cv);
            const int off = dry ? a / 2 - 32 : g / 8 - 16;
            Bgr &px = expected[y * canvas.width() + x];
            uint8_t *channels[3] = {&px.b, &px.g, &px.r};
            for (int k = 0; k < 3; ++k) {
                const int goal = Clamp(target[k] + off, 0, 255);
                *channels[k] = static_cast<uint8_t>(*channels[k] + (goal - *channels[k]) * a / 128);
            }
        }
    }
    std::srand(c.seed);
    ASSERT_EQ(brush.Start(c.x, c.y, BRUSHKEY_LBUTTON, c.pressure), 1) << c.name;
    brush.End();
    for (int y = 0; y < canvas.height(); ++y) {
        for (int x = 0; x < canvas.width(); ++x) {
            ASSERT_EQ(canvas.Pixel(x, y), expected[y * canvas.width() + x])
                << c.name << " size " << c.size << " at " << x << ", " << y;
        }
    }
    EXPECT_TRUE(canvas.GuardsIntact());
}

TEST(DryBrushes, ClicksAreTheirRulesReplayedFromTheGrainAndTheSameRandomDraws) {
    const Click clicks[] = {
        {"Xi_ChalkBrush", 20, 100, 0, 128, 70, 50, 1},
        {"Xi_ChalkBrush", 21, 70, 9, 100, 3, 96, 2},     // clipped at the left edge, jittered
        {"Xi_ChalkBrush", 4, 50, 8, 128, 130, 10, 3},    // the smallest chalk that paints
        {"Xi_DryBrush", 20, 80, 10, 128, 60, 40, 4},
        {"Xi_DryBrush", 5, 50, 0, 90, 150, 97, 5},
        {"Xi_DryBrush", 5, 50, 0, 90, 150, 97, 6},       // the same click: another mask and strength
        {"Xi_PastelBrush", 100, 60, 10, 128, 90, 50, 7}, // columns 40..139: the grain wraps at 64
        {"Xi_PastelBrush", 2, 100, 0, 128, 20, 20, 8},
    };
    for (const Click &c : clicks) {
        PenlithBrush b(c.name, 160, 100);
        b.canvas.FillNoise(c.seed);
        b.brush.SetParams(c.size, c.density, c.third);
        ASSERT_EQ(b.brush.Select(), 1) << c.name;
        ASSERT_NO_FATAL_FAILURE(ExpectClickReplayed(c, b.canvas, b.brush));
    }
}

// The grain lies on the canvas: a chalk dab 64 pixels further right or up
// lays the same pixels, one a pixel over does not.
TEST(Chalk, GrainRepeatsEvery64CanvasPixels) {
    auto dab = [](int x, int y) {
        PenlithBrush b("Xi_ChalkBrush", 200, 200);
        b.brush.SetParams(24, 100, 0);
        EXPECT_EQ(b.brush.Select(), 1);
        b.brush.ctx().color = brush_test::ColorValue(0, 0, 0);
        EXPECT_EQ(b.brush.Start(x, y), 1);
        std::vector<Bgr> pixels;
        for (int j = -12; j < 12; ++j) {
            for (int i = -12; i < 12; ++i) pixels.push_back(b.canvas.Pixel(x + i, y + j));
        }
        return pixels;
    };
    const auto here = dab(40, 100);
    EXPECT_EQ(dab(104, 100), here);
    EXPECT_EQ(dab(40, 36), here);
    EXPECT_NE(dab(41, 100), here);
}

// Below its minimum the chalk's mask is empty: every call still paints
// its dabs' rectangle and returns 1, and nothing changes.  The other two
// paint at their smallest sizes and size 1.
TEST(DryBrushes, SmallestSizes) {
    PenlithBrush chalk("Xi_ChalkBrush", 40, 40);
    chalk.brush.SetParams(3, 100, 0);
    ASSERT_EQ(chalk.brush.Select(), 1);
    EXPECT_EQ(TipBytes(chalk, 0), std::vector<uint8_t>(9, 0));
    chalk.brush.ctx().color = brush_test::ColorValue(0, 0, 0);
    const auto white = chalk.canvas.Snapshot();
    ASSERT_EQ(chalk.brush.Start(10, 10), 1);
    EXPECT_FALSE(chalk.brush.Dirty().IsZero());
    EXPECT_EQ(chalk.brush.Drag(30, 12), 1);
    chalk.brush.End();
    EXPECT_EQ(chalk.canvas.Snapshot(), white);
    for (const char *name : {"Xi_DryBrush", "Xi_PastelBrush"}) {
        for (int size : {1, 2, 5}) {
            PenlithBrush b(name, 40, 40);
            b.brush.SetParams(size, 100, 0);
            ASSERT_EQ(b.brush.Select(), 1) << name << " " << size;
            b.brush.ctx().color = brush_test::ColorValue(0, 0, 0);
            EXPECT_FALSE(b.Stroke({{5, 5}, {20, 30}, {35, 8}}).IsZero()) << name << " " << size;
            EXPECT_TRUE(b.canvas.GuardsIntact()) << name << " " << size;
        }
    }
}

// Without the grain in workBits chalk and pastel refuse to paint, hand back
// an empty rectangle and leave the lock free; a plug-in without its
// textures fails select for all three.
TEST(DryBrushes, MissingGrainOrTextureGivesZeroAndLeavesTheLockFree) {
    for (const char *name : {"Xi_ChalkBrush", "Xi_PastelBrush"}) {
        PenlithBrush b(name, 40, 40);
        b.brush.SetParams(20, 100, 0);
        ASSERT_EQ(b.brush.Select(), 1);
        void *grain = b.brush.ctx().workBits;
        b.brush.ctx().workBits = nullptr;
        const auto before = b.canvas.Snapshot();
        EXPECT_EQ(b.brush.Start(20, 20), 0) << name;
        EXPECT_TRUE(b.brush.Dirty().IsZero()) << name;
        EXPECT_EQ(b.canvas.Snapshot(), before) << name;
        b.brush.ctx().workBits = grain;
        ExpectLockFree(name);
    }
#ifndef _WIN32
    for (const char *name : {"Xi_ChalkBrush", "Xi_DryBrush", "Xi_PastelBrush"}) {
        ASSERT_NO_FATAL_FAILURE(CheckMissingTextureRefusesSelect(name, 0));
    }
#endif
}

TEST(DryBrushes, TheContractEveryBrushKeeps) {
    for (const char *name : {"Xi_ChalkBrush", "Xi_DryBrush", "Xi_PastelBrush"}) {
        ASSERT_NO_FATAL_FAILURE(CheckBrushContract(name, {11}));
    }
}

}  // namespace
