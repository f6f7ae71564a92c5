// The two watercolours through their entry points: the round brush's masks
// in turn and its darkening mix with the carried paint, the flat brush's
// pooled tip and its paper grain fixed to the canvas, and what happens
// without the paper.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <future>
#include <thread>
#include <vector>

#include "penlith_checks.h"
#include "penlith_harness.h"

#ifndef _WIN32
#include "textures_native.h"
#endif

namespace {

using namespace penlith_test;

const Bgr kBlue{255, 0, 0};

// Which of the brush's 8 masks a black dab on white laid at (x, y): with
// full pressure and a black target a tip byte t leaves 255 - 255 t / 128,
// so the dab shows its mask byte for byte.  -1 when none matches.
int MaskOfDab(PenlithBrush &b, int32_t x, int32_t y) {
    const int32_t size = b.brush.ctx().tipWidth;
    const auto *masks = static_cast<const uint8_t *>(b.brush.ctx().tipBits);
    for (int v = 0; v < 8; ++v) {
        const uint8_t *mask = masks + v * size * size;
        bool same = true;
        for (int32_t j = 0; j < size && same; ++j) {
            for (int32_t i = 0; i < size && same; ++i) {
                // Tip row 0 is the dab's lowest screen row: memory rows run up.
                const int32_t sx = x - size / 2 + i;
                const int32_t sy = y + size / 2 - j;
                same = b.canvas.Pixel(sx, sy).r == 255 - 255 * mask[j * size + i] / 128;
            }
        }
        if (same) return v;
    }
    return -1;
}

TEST(RoundWatercolour, TwoConsecutiveDabsNeverShareAMaskAndAllEightComeInTurn) {
    PenlithBrush b("Xi_WaterColorBrush", 40, 40);
    b.brush.SetParams(20, 100, 0);
    ASSERT_EQ(b.brush.Select(), 1);
    EXPECT_EQ(b.brush.ctx().tipVariantCount, 8);
    // Ragged rims: outside the flat core (half the radius) about one pixel
    // in seven of the rim is a hole, differently in every mask.
    const auto *masks = static_cast<const uint8_t *>(b.brush.ctx().tipBits);
    int rim = 0, holes = 0;
    for (int v = 0; v < 8; ++v) {
        const uint8_t *mask = masks + v * 400;
        EXPECT_EQ(mask[10 * 20 + 10], 128) << "core of mask " << v;
        for (int j = 0; j < 20; ++j) {
            for (int i = 0; i < 20; ++i) {
                const double r4 = 4 * std::hypot(i - 10, j - 10);
                if (r4 < 21 || r4 > 34) continue;  // well inside the rim
                ++rim;
                holes += mask[j * 20 + i] == 0;
            }
        }
        if (v > 0) {
            EXPECT_NE(std::vector<uint8_t>(mask, mask + 400), std::vector<uint8_t>(masks, masks + 400)) << v;
        }
    }
    EXPECT_NEAR(static_cast<double>(holes) / rim, 1.0 / 7, 0.05);
    b.brush.ctx().color = brush_test::ColorValue(0, 0, 0);
    std::vector<int> used;
    for (int dab = 0; dab < 17; ++dab) {
        b.canvas.Fill(Bgr{255, 255, 255});
        ASSERT_EQ(b.brush.Start(20, 20), 1);  // a click: one dab
        b.brush.End();
        used.push_back(MaskOfDab(b, 20, 20));
        ASSERT_NE(used.back(), -1) << "dab " << dab << " matches no mask";
    }
    for (size_t n = 1; n < used.size(); ++n) EXPECT_EQ(used[n], (used[n - 1] + 1) % 8) << "dab " << n;
}

// The carried paint forgets a colour at an eighth a dab: after 60 dabs
// each on fresh blue it holds no green or red, and pure yellow laid over
// blue comes out dark olive, each of red and green (255 + 3 x 0) / 4.
TEST(RoundWatercolour, YellowOverBlueOnceTheCarriedPaintHasAdaptedGivesDarkOlive) {
    PenlithBrush b("Xi_WaterColorBrush", 200, 200);
    b.canvas.Fill(kBlue);
    b.brush.SetParams(10, 100, 0);
    ASSERT_EQ(b.brush.Select(), 1);
    b.brush.ctx().color = brush_test::ColorValue(255, 255, 0);
    for (int n = 0; n < 61; ++n) {
        const int32_t x = 8 + 12 * (n % 15), y = 8 + 12 * (n / 15);
        ASSERT_EQ(b.brush.Start(x, y), 1);
        b.brush.End();
        if (n == 60) {
            EXPECT_EQ(b.canvas.Pixel(x, y), (Bgr{0, 63, 63}));
        }
    }
    EXPECT_EQ(b.canvas.Pixel(0, 199), kBlue);  // between dabs
}

// Size 20, density 100: the pale inside holds 128 / 3, the rim ring (from
// three quarters of the radius) full 128, the outermost pixel 128 again
// and the corners nothing.
TEST(FlatWatercolour, TipPoolsTowardTheRim) {
    PenlithBrush b("Xi_WaterColorDashBrush", 40, 40);
    b.brush.SetParams(20, 100, 8);
    ASSERT_EQ(b.brush.Select(), 1);
    ASSERT_EQ(b.brush.ctx().tipWidth, 20);
    const auto *tip = static_cast<const uint8_t *>(b.brush.ctx().tipBits);
    auto at = [&](int i, int j) { return static_cast<int>(tip[j * 20 + i]); };
    EXPECT_EQ(at(10, 10), 42);
    EXPECT_EQ(at(10, 3), 128);   // r = 28: the rim ring
    EXPECT_EQ(at(10, 4), 64);    // r = 24: rising from p / 2, (180 - 160) x 128 / 40
    EXPECT_EQ(at(10, 1), 128);   // r = 36: the soft edge's first pixel, p / 1
    EXPECT_EQ(at(0, 0), 0);
    ASSERT_NE(b.brush.ctx().workBits, nullptr);  // the paper grain
}

// The paper lies on the canvas, not on the dab: a dab 64 pixels further
// right or further up lays exactly the same pixels, one a single pixel
// over does not.  On black the carried paint settles at black within a
// few rows whatever it held before, so every dab mixes the same colour.
TEST(FlatWatercolour, PaperGrainRepeatsEvery64CanvasPixelsAndStaysOnTheCanvas) {
    const Bgr grey{0, 0, 0};
    auto dab = [&](int32_t x, int32_t y) {
        PenlithBrush b("Xi_WaterColorDashBrush", 200, 200);
        b.canvas.Fill(grey);
        b.brush.SetParams(24, 100, 0);
        EXPECT_EQ(b.brush.Select(), 1);
        b.brush.ctx().color = brush_test::ColorValue(200, 200, 200);
        for (int settle = 0; settle < 2; ++settle) {  // settle the carried paint, then the dab
            b.canvas.Fill(grey);
            EXPECT_EQ(b.brush.Start(x, y), 1);
            b.brush.End();
        }
        std::vector<Bgr> pixels;
        for (int32_t j = -12; j < 12; ++j) {
            for (int32_t i = -12; i < 12; ++i) pixels.push_back(b.canvas.Pixel(x + i, y + j));
        }
        return pixels;
    };
    const auto here = dab(40, 100);
    bool marked = false;
    for (const Bgr &p : here) marked |= !(p == grey);
    ASSERT_TRUE(marked);
    EXPECT_EQ(dab(104, 100), here);
    EXPECT_EQ(dab(40, 36), here);
    EXPECT_NE(dab(41, 100), here);
}

// Without its paper the flat brush refuses to paint, hands back an empty
// rectangle and leaves the lock free.
TEST(FlatWatercolour, WithoutPaperPaintingGivesZeroAndLeavesTheLockFree) {
    PenlithBrush b("Xi_WaterColorDashBrush", 40, 40);
    b.brush.SetParams(20, 100, 0);
    ASSERT_EQ(b.brush.Select(), 1);
    void *paper = b.brush.ctx().workBits;
    b.brush.ctx().workBits = nullptr;  // as a host that lost the block would hand it
    const auto before = b.canvas.Snapshot();
    EXPECT_EQ(b.brush.Start(20, 20), 0);
    EXPECT_TRUE(b.brush.Dirty().IsZero());
    EXPECT_EQ(b.canvas.Snapshot(), before);
    b.brush.ctx().workBits = paper;  // released with the brush
    ExpectLockFree("Xi_WaterColorBrush");
}

#ifndef _WIN32
TEST(FlatWatercolour, MissingTextureFailsSelectAndPaintingAndLeavesTheLockFree) {
    CheckMissingTextureRefusesSelect("Xi_WaterColorDashBrush", 0);
}
#endif

TEST(Watercolours, TheContractEveryBrushKeeps) {
    for (const char *name : {"Xi_WaterColorBrush", "Xi_WaterColorDashBrush"}) {
        ASSERT_NO_FATAL_FAILURE(CheckBrushContract(name, {7}));
    }
}

}  // namespace
