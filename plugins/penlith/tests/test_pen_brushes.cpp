// The oily pen, the fountain pen and the ink-wash brush through their
// entry points: their masks against the rules replayed, the fountain
// pen's slow and fast strokes replayed dab by dab from its ink rule, the
// oily pen's darkening overlaps, the ink wash running dry, the smallest
// sizes and missing textures.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <utility>
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

// The integer root rounded as the engine rounds it: g with
// g (g - 1) <= v < g (g + 1); v itself below 2.
long long Root(long long v) {
    if (v < 2) return v;
    long long g = 1;
    while (g * (g + 1) <= v) ++g;
    return g;
}

std::vector<uint8_t> TipBytes(PenlithBrush &b, int variant) {
    const int size = b.brush.ctx().tipWidth;
    const auto *masks = static_cast<const uint8_t *>(b.brush.ctx().tipBits) + variant * size * size;
    return std::vector<uint8_t>(masks, masks + size * size);
}

TEST(Pens, MasksAreTheRulesReplayedAtTwoSizes) {
    const std::vector<uint8_t> nib = TextureLevels(113), marks = TextureLevels(111);
    ASSERT_EQ(nib.size(), 128u * 128u);
    ASSERT_EQ(marks.size(), 128u * 128u);
    for (int size : {6, 25}) {
        PenlithBrush oily("Xi_OilyPenBrush", 40, 40), sumie("Xi_SumieBrush", 40, 40);
        oily.brush.SetParams(size, 80, 0);
        sumie.brush.SetParams(size, 60, 30);
        ASSERT_EQ(oily.brush.Select(), 1);
        ASSERT_EQ(sumie.brush.Select(), 1);
        ASSERT_EQ(oily.brush.ctx().tipVariantCount, 3);
        ASSERT_EQ(sumie.brush.ctx().tipVariantCount, 3);
        for (int v = 0; v < 3; ++v) {
            EXPECT_EQ(TipBytes(oily, v), TurnedTexture(nib, size, 80 * 128 / 100, 10 * v - 10)) << size << " " << v;
            EXPECT_EQ(TipBytes(sumie, v), TurnedTexture(marks, size, 60 * 128 / 100, 10 * v - 10)) << size << " " << v;
        }
        PenlithBrush pen("Xi_FountainPenBrush", 40, 40);
        pen.brush.SetParams(size, 70, 0);
        ASSERT_EQ(pen.brush.Select(), 1);
        ASSERT_EQ(pen.brush.ctx().tipVariantCount, 10);
        const int p = 70 * 128 / 100;
        for (int v = 0; v < 10; ++v) {
            const int radius = (24 * size - 2 * size * v) / 6;
            std::vector<uint8_t> disc(size * size);
            for (int j = 0; j < size; ++j) {
                for (int i = 0; i < size; ++i) {
                    const auto r = static_cast<int>(
                        Root((2LL * size - 4 * i) * (2LL * size - 4 * i) + (2LL * size - 4 * j) * (2LL * size - 4 * j)));
                    if (r < radius) disc[j * size + i] = static_cast<uint8_t>((std::cos(r * 3.1415926535 / radius) + 1) * p * 0.5);
                }
            }
            EXPECT_EQ(TipBytes(pen, v), disc) << size << " " << v;
        }
    }
}

// The fountain pen replayed: each call adds (3 w - d) x 3 / w of ink while
// the move d is below three tip widths (up to 256), lays a dab every pixel
// of path with disc (256 - ink) x 10 / 256 and spends one unit a dab (down
// to 64).  A slow stroke (2 pixels a move) pools into the widest disc, a
// fast one (24 a move) dries to disc 7: its line is narrower.
struct PenReplay {
    TestCanvas &canvas;
    const uint8_t *discs;
    int size, ink = 64;

    void Dab(int cx, int cy, int disc) {
        const int firstRow = canvas.height() - 1 - cy - size / 2;
        for (int j = 0; j < size; ++j) {
            for (int i = 0; i < size; ++i) {
                const int x = cx - size / 2 + i, row = firstRow + j, y = canvas.height() - 1 - row;
                const int t = discs[(disc * size + j) * size + i];
                if (t == 0 || x < 0 || x >= canvas.width() || row < 0 || row >= canvas.height()) continue;
                const Bgr old = canvas.Pixel(x, y);
                auto blend = [t](int o) { return static_cast<uint8_t>(o + (0 - o) * std::min(t, 128) / 128); };
                canvas.SetPixel(x, y, Bgr{blend(old.b), blend(old.g), blend(old.r)});
            }
        }
    }
    void Call(int px, int py, int x, int y) {
        const long long d = Root(1LL * (px - x) * (px - x) + 1LL * (py - y) * (py - y));
        if (d < 3 * size) ink = std::min<int>(ink + static_cast<int>((3 * size - d) * 3 / size), 256);
        const long long dist8 = Root(64LL * ((px - x) * (px - x) + (py - y) * (py - y)));
        for (long long n = 0; n <= (dist8 == 0 ? 0 : dist8 / 8); ++n) {
            const int cx = dist8 == 0 ? x : px + static_cast<int>((x - px) * (n + 1) * 8 / dist8);
            const int cy = dist8 == 0 ? y : py + static_cast<int>((y - py) * (n + 1) * 8 / dist8);
            Dab(cx, cy, (256 - ink) * 10 / 256);
            ink = std::max(ink - 1, 64);
        }
    }
};

int ChangedRun(const TestCanvas &canvas, int x) {
    int run = 0;
    for (int y = 0; y < canvas.height(); ++y) run += canvas.Pixel(x, y) != Grey(255);
    return run;
}

TEST(FountainPen, SlowAndFastStrokesAreTheInkRuleReplayedAndDifferInWidth) {
    int widths[2] = {};
    for (int step : {2, 24}) {
        PenlithBrush b("Xi_FountainPenBrush", 200, 40);
        TestCanvas expected(200, 40);
        expected.Fill(Grey(255));
        b.brush.SetParams(10, 100, 0);
        ASSERT_EQ(b.brush.Select(), 1);
        b.brush.ctx().color = brush_test::ColorValue(0, 0, 0);
        PenReplay replay{expected, static_cast<const uint8_t *>(b.brush.ctx().tipBits), 10};
        ASSERT_EQ(b.brush.Start(10, 20), 1);
        replay.Call(10, 20, 10, 20);
        for (int x = 10 + step, y = 20; x <= 190; x += step) {
            const int nextY = 20 + (x / step) % 2;  // a slight zigzag
            ASSERT_EQ(b.brush.Drag(x, nextY), 1);
            replay.Call(x - step, y, x, nextY);
            y = nextY;
        }
        b.brush.End();
        ASSERT_EQ(b.canvas.Snapshot(), expected.Snapshot()) << "step " << step;
        widths[step == 24] = ChangedRun(b.canvas, 150);
    }
    EXPECT_GE(widths[0], 10);  // disc 0: the whole tip
    EXPECT_LE(widths[1], 10);  // disc 7: a radius of 10 x 10 / 24 pixels
    EXPECT_GT(widths[0], widths[1]);
}

// A click raises the ink from 64 to 73 and lays disc 7; holding still
// adds 8 a call until the pen is full and lays disc 0.  A new stroke
// starts dry again.
TEST(FountainPen, ARestingPenPoolsAndEveryStrokeStartsDry) {
    PenlithBrush b("Xi_FountainPenBrush", 40, 40);
    b.brush.SetParams(12, 100, 0);
    ASSERT_EQ(b.brush.Select(), 1);
    b.brush.ctx().color = brush_test::ColorValue(0, 0, 0);
    ASSERT_EQ(b.brush.Start(20, 20), 1);
    const int clicked = ChangedRun(b.canvas, 20);
    for (int call = 0; call < 30; ++call) b.brush.Drag(20, 20);
    const int rested = ChangedRun(b.canvas, 20);
    b.brush.End();
    b.canvas.Fill(Grey(255));
    ASSERT_EQ(b.brush.Start(20, 20), 1);
    EXPECT_EQ(ChangedRun(b.canvas, 20), clicked);
    b.brush.End();
    TestCanvas replayed(40, 40);
    replayed.Fill(Grey(255));
    PenReplay replay{replayed, static_cast<const uint8_t *>(b.brush.ctx().tipBits), 12};
    replay.Call(20, 20, 20, 20);
    EXPECT_EQ(replay.ink, 72);  // 64 + 9, then one dab spent
    EXPECT_EQ(ChangedRun(replayed, 20), clicked);
    EXPECT_GT(rested, clicked);
}

// Black ink over white at full coverage takes 103 away (255 to 152); a
// second pass over the same place takes 154 more and reaches 0, though the
// colour turned white in between: the ink is the stroke's.  White ink
// cannot lighten white paper, and a stroke crossing itself is darker where
// it crosses than where it passes once.
TEST(OilyPen, OverlapsDarkenByTheInkRule) {
    PenlithBrush b("Xi_OilyPenBrush", 60, 60);
    b.brush.SetParams(15, 100, 0);
    ASSERT_EQ(b.brush.Select(), 1);
    b.brush.ctx().color = brush_test::ColorValue(0, 0, 0);
    ASSERT_EQ(b.brush.Start(30, 30), 1);
    EXPECT_EQ(b.canvas.Pixel(30, 30), Grey(152));
    b.brush.ctx().color = brush_test::ColorValue(255, 255, 255);
    ASSERT_EQ(b.brush.Drag(30, 30), 1);
    b.brush.End();
    EXPECT_EQ(b.canvas.Pixel(30, 30), Grey(0));

    b.canvas.Fill(Grey(255));
    const auto white = b.canvas.Snapshot();
    b.Stroke({{10, 30}, {50, 30}});
    EXPECT_EQ(b.canvas.Snapshot(), white);

    b.canvas.Fill(Grey(255));
    b.brush.SetParams(15, 30, 0);
    ASSERT_EQ(b.brush.Select(), 1);
    b.brush.ctx().color = brush_test::ColorValue(128, 128, 128);
    b.Stroke({{5, 30}, {55, 30}, {30, 5}, {30, 55}});
    const int once = b.canvas.Pixel(12, 30).r, alsoOnce = b.canvas.Pixel(30, 45).r, twice = b.canvas.Pixel(30, 30).r;
    EXPECT_LT(once, 255);
    EXPECT_GT(alsoOnce, 0);
    EXPECT_LT(twice, std::min(once, alsoOnce) - 20);
}

// Clicks of the ink wash replayed: 451 of 600 units (K = 30) scale the
// coverage of every tip byte, on the mask of the first rand() draw, at a
// light and at full pressure.  A
// long stroke (K = 10: 151 of 200 units) then fades out, and a fresh
// stroke starts full again; with no ink at all (K = 0) nothing is laid.
TEST(InkWash, StrokesStartFullAndRunDry) {
    PenlithBrush b("Xi_SumieBrush", 300, 60);
    b.brush.SetParams(16, 100, 30);
    ASSERT_EQ(b.brush.Select(), 1);
    b.brush.ctx().color = brush_test::ColorValue(0, 0, 0);
    for (int pressure : {90, 128}) {
        b.canvas.Fill(Grey(255));
        std::srand(5);
        const int variant = std::rand() % 3;
        std::srand(5);
        ASSERT_EQ(b.brush.Start(20, 30, BRUSHKEY_LBUTTON, pressure), 1);
        b.brush.End();
        const auto *mask = static_cast<const uint8_t *>(b.brush.ctx().tipBits) + variant * 256;
        for (int j = 0; j < 16; ++j) {
            for (int i = 0; i < 16; ++i) {
                const int t = mask[j * 16 + i], f = t ? 451 * Clamp(pressure + t - 128, 0, 128) / 600 : 0;
                ASSERT_EQ(b.canvas.Pixel(20 - 8 + i, 30 + 8 - j), Grey(255 - 255 * f / 128))
                    << i << ", " << j << " at pressure " << pressure;
            }
        }
    }
    // Without the tripled masks it keeps in workBits the brush lays the
    // same dab from its masks alone.
    const auto clicked = b.canvas.Snapshot();
    void *tripled = b.brush.ctx().workBits;
    b.brush.ctx().workBits = nullptr;
    b.canvas.Fill(Grey(255));
    std::srand(5);
    ASSERT_EQ(b.brush.Start(20, 30), 1);
    b.brush.End();
    b.brush.ctx().workBits = tripled;
    EXPECT_EQ(b.canvas.Snapshot(), clicked);

    auto darkness = [&](int x0, int x1, int y) {
        long sum = 0;
        for (int x = x0; x < x1; ++x) {
            for (int dy = -8; dy < 8; ++dy) sum += 255 - b.canvas.Pixel(x, y + dy).r;
        }
        return sum;
    };
    b.canvas.Fill(Grey(255));
    b.brush.SetParams(16, 100, 10);
    ASSERT_EQ(b.brush.Select(), 1);
    b.Stroke({{10, 20}, {70, 20}, {130, 20}, {190, 20}, {250, 20}, {290, 20}});
    b.Stroke({{10, 44}, {70, 44}});
    const long start = darkness(10, 40, 20), middle = darkness(80, 110, 20), end = darkness(250, 280, 20);
    const long fresh = darkness(10, 40, 44);
    EXPECT_GT(middle, 0);
    EXPECT_LT(middle, start * 2 / 3) << "the ink does not run down";
    EXPECT_LT(end, start / 8) << "the ink never ran out";
    EXPECT_NEAR(fresh, start, start / 7) << "a fresh stroke starts full";

    b.canvas.Fill(Grey(255));
    b.brush.SetParams(16, 100, 0);
    ASSERT_EQ(b.brush.Select(), 1);
    EXPECT_FALSE(b.Stroke({{10, 20}, {200, 30}}).IsZero());
    EXPECT_EQ(b.canvas.Pixel(100, 25), Grey(255));
}

// The smallest sizes paint and stay inside the canvas; a fountain pen
// below size 2 has no tip and refuses to paint.
TEST(Pens, SmallestSizes) {
    for (const char *name : {"Xi_OilyPenBrush", "Xi_FountainPenBrush", "Xi_SumieBrush"}) {
        for (int size : {1, 2, 3}) {
            PenlithBrush b(name, 40, 40);
            b.brush.SetParams(size, 100, 50);
            const bool noTip = size == 1 && std::string(name) == "Xi_FountainPenBrush";
            ASSERT_EQ(b.brush.Select(), noTip ? 0 : 1) << name << " " << size;
            b.brush.ctx().color = brush_test::ColorValue(0, 0, 0);
            const Rect dirty = b.Stroke({{5, 5}, {20, 30}, {35, 8}});
            EXPECT_EQ(dirty.IsZero(), noTip) << name << " " << size;
            EXPECT_TRUE(b.canvas.GuardsIntact()) << name << " " << size;
        }
    }
}

#ifndef _WIN32
TEST(Pens, MissingTextureFailsSelectAndLeavesTheLockFree) {
    for (const char *name : {"Xi_OilyPenBrush", "Xi_SumieBrush"}) {
        ASSERT_NO_FATAL_FAILURE(CheckMissingTextureRefusesSelect(name, 30));
    }
}
#endif

TEST(Pens, TheContractEveryBrushKeeps) {
    // A stroke of the brush itself loads what its preview carries.
    for (const char *name : {"Xi_OilyPenBrush", "Xi_FountainPenBrush", "Xi_SumieBrush"}) {
        ASSERT_NO_FATAL_FAILURE(CheckBrushContract(name, {13, 30, true}));
    }
}

}  // namespace
