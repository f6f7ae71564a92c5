// India ink and oil through their entry points, against replays of their
// rules from the same rand() draws: the ink's haired masks, its load at
// the stroke start and its thinning dab by dab; the oil's relief, its
// direction classes, its mixing once a call and its row-by-row relief
// choice.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "penlith_checks.h"
#include "penlith_harness.h"
#include "texture_brush_replay.h"

#ifndef _WIN32
#include "brush_platform.h"
#include "textures_native.h"
#endif

namespace {

using namespace penlith_test;

// ------------------------------------------------------------ India ink --

// The 12 masks from the rule, drawing rand() as the brush does: one draw
// per pixel inside the disc, mask by mask, row by row.
std::vector<uint8_t> ReferenceInkMasks(int32_t size, int32_t density) {
    std::vector<uint8_t> masks(12 * static_cast<size_t>(size) * size, 0);
    if (size < 3) return masks;
    const int32_t p = density * 128 / 100;
    for (int v = 0; v < 12; ++v) {
        for (int32_t j = 0; j < size; ++j) {
            for (int32_t i = 0; i < size; ++i) {
                const int32_t r = Radius4(size, i, j);
                if (r >= 2 * size) continue;
                auto byte = static_cast<int32_t>((std::cos(r * 3.1415926535 / (2 * size)) + 1) * p * 0.5);
                if ((std::rand() & 15) == 15) byte /= 2;
                masks[(static_cast<size_t>(v) * size + j) * size + i] = static_cast<uint8_t>(byte);
            }
        }
    }
    return masks;
}

TEST(IndiaInk, TwelveSoftMasksWithOneHairInSixteenHalvedDrawForDraw) {
    for (int32_t size : {2, 3, 20, 37}) {
        for (int32_t density : {20, 100}) {
            PenlithBrush b("Xi_IndiaInkBrush", 8, 8);
            b.brush.SetParams(size, density, 0);
            std::srand(500 + size);
            ASSERT_EQ(b.brush.Select(), 1) << size;
            std::srand(500 + size);
            const std::vector<uint8_t> want = ReferenceInkMasks(size, density);
            const PlugInBrushContext &ctx = b.brush.ctx();
            ASSERT_EQ(ctx.tipVariantCount, 12);
            ASSERT_EQ(ctx.tipWidth, size);
            const auto *tips = static_cast<const uint8_t *>(ctx.tipBits);
            EXPECT_TRUE(std::equal(want.begin(), want.end(), tips)) << "size " << size << " density " << density;
        }
    }
}

// Replays one painting call of the ink over `ref`: per dab mask
// rand() % 12, the ink thinned by the pixel under the dab's centre, the
// standard blend in the ink.
void ReplayInkCall(ReferenceCanvas &ref, const PlugInBrushContext &ctx, int32_t (&ink)[3]) {
    for (const brush::DabPlace &p : DabsOfCall(ctx, brush::DabSpacing::Pressure())) {
        const auto mask = MaskOf(ctx, std::rand() % 12);
        const uint8_t *sample = ref.Centre(p);
        for (int k = 0; k < 3; ++k) ink[k] = (ink[k] * 15 + sample[k] + 8) / 16;
        ref.ForDab(p, mask.data(), ctx.tipWidth, [&](uint8_t *px, int32_t t, int32_t, int32_t) {
            const int32_t c = Coverage(t, ctx.pressure);
            for (int k = 0; k < 3; ++k) px[k] = Mix(px[k], ink[k], c);
        });
    }
}

// A stroke over noise from a press in the corner (a dab cut by the edge,
// sampled at the centre of its inside part) through two drags, then a
// painting call without a stroke start in another colour: the ink is
// loaded at the start only, and every dab matches the replay byte for byte.
TEST(IndiaInk, InkLoadedAtTheStartAndThinnedBySixteenthsReplaysByteForByte) {
    PenlithBrush b("Xi_IndiaInkBrush", 90, 60);
    b.canvas.FillNoise(3);
    b.brush.SetParams(16, 80, 0);
    ASSERT_EQ(b.brush.Select(), 1);
    ReferenceCanvas ref(b.canvas);
    b.brush.ctx().color = brush_test::ColorValue(10, 40, 200);  // blue ink
    int32_t ink[3] = {200, 40, 10};
    const unsigned seed = 99;
    std::srand(seed);
    ASSERT_EQ(b.brush.Start(3, 2), 1);
    std::srand(seed);
    ReplayInkCall(ref, b.brush.ctx(), ink);
    ASSERT_EQ(b.canvas.Snapshot(), ref.bytes) << "the press";
    for (auto [x, y] : {std::pair{40, 30}, std::pair{80, 50}}) {
        PlugInBrushContext next = b.brush.ctx();
        next.prevX = next.curX;
        next.prevY = next.curY;
        next.curX = x;
        next.curY = y;
        std::srand(seed + x);
        ASSERT_EQ(b.brush.Drag(x, y), 1);
        std::srand(seed + x);
        ReplayInkCall(ref, next, ink);
        ASSERT_EQ(b.canvas.Snapshot(), ref.bytes) << "drag to " << x;
    }
    b.brush.End();
    // No stroke start: the red colour is not loaded, the carried ink goes on.
    b.brush.ctx().color = brush_test::ColorValue(255, 0, 0);
    AimCall(b, 20, 45, 20, 45);
    std::srand(seed);
    ASSERT_EQ(b.brush.Send(BRUSHCMD_PAINT), 1);
    std::srand(seed);
    ReplayInkCall(ref, b.brush.ctx(), ink);
    EXPECT_EQ(b.canvas.Snapshot(), ref.bytes) << "a call without a stroke start";
    EXPECT_GT(ink[0], ink[2]) << "still blue ink";
}

#ifndef _WIN32
// Another brush may leave numbers far outside 0..255 in the carried slots:
// the ink thins them without overflowing and paints them clamped, never
// wrapped round (thinned once, 1e9 would wrap to 112, 300 to 41, -112 to
// 168).
TEST(IndiaInk, CarriedNumbersOutsideTheLevelsAreClampedNotWrapped) {
    PenlithBrush b("Xi_IndiaInkBrush", 40, 40);
    b.brush.SetParams(12, 100, 0);
    ASSERT_EQ(b.brush.Select(), 1);
    int32_t(&carried)[3] = brush::ModuleEngine().carriedColor;
    carried[0] = 1000000000;
    carried[1] = -7 * 16;
    carried[2] = 300;
    AimCall(b, 20, 20, 20, 20);
    ASSERT_EQ(b.brush.Send(BRUSHCMD_PAINT), 1);  // no stroke start: the slots as they are
    EXPECT_EQ(carried[0], 937500016);
    EXPECT_EQ(carried[1], (-7 * 16 * 15 + 255 + 8) / 16);
    const Bgr centre = b.canvas.Pixel(20, 20);
    EXPECT_EQ(centre.b, 255);
    EXPECT_LT(centre.g, 140);
    EXPECT_EQ(centre.r, 255);
}
#endif

// Black ink across white paper: each dab takes up a sixteenth of the
// partly painted paper under its centre, so the stroke starts black and
// turns grey along its length.
TEST(IndiaInk, BlackStrokeAcrossWhiteTurnsGreyAlongItsLength) {
    PenlithBrush b("Xi_IndiaInkBrush", 400, 40);
    b.brush.SetParams(20, 100, 0);
    ASSERT_EQ(b.brush.Select(), 1);
    b.brush.ctx().color = brush_test::ColorValue(0, 0, 0);
    ASSERT_EQ(b.brush.Start(10, 20), 1);
    for (int32_t x = 16; x <= 390; x += 6) b.brush.Drag(x, 20);
    b.brush.End();
    auto meanAround = [&](int32_t x0) {
        int sum = 0;
        for (int32_t x = x0; x < x0 + 10; ++x) sum += b.canvas.Pixel(x, 20).g;
        return sum / 10;
    };
    const int start = meanAround(10), middle = meanAround(190), end = meanAround(375);
    EXPECT_LT(start, 40);
    EXPECT_LT(start + 20, middle);
    EXPECT_LT(middle + 10, end);
    EXPECT_LT(end, 230) << "still ink, not paper";
}

// ------------------------------------------------------------------ oil --

TEST(Oil, CubicTipAndEightFlattenedReliefsTurnedByMinus45DegreesAPair) {
    const auto a = TextureLevels(103), bTexture = TextureLevels(104);
    ASSERT_EQ(a.size(), 128u * 128u);
    ASSERT_EQ(bTexture.size(), 128u * 128u);
    for (int32_t size : {2, 3, 20, 57}) {
        PenlithBrush b("Xi_OilBrush", 8, 8);
        b.brush.SetParams(size, 70, 8);
        ASSERT_EQ(b.brush.Select(), 1) << size;
        const PlugInBrushContext &ctx = b.brush.ctx();
        ASSERT_EQ(ctx.tipWidth, size);
        ASSERT_EQ(ctx.tipVariantCount, 8);
        const int32_t p = 70 * 128 / 100;
        const auto tip = MaskOf(ctx, 0);
        for (int32_t j = 0; j < size; ++j) {
            for (int32_t i = 0; i < size; ++i) {
                int32_t want;
                if (size < 3) {
                    want = p / 2;  // a marker tip of size 2
                } else {
                    const int32_t r = Radius4(size, i, j);
                    const double q = r / (2.0 * size);
                    want = r < 2 * size ? static_cast<int32_t>((1 - q * q * q) * p) : 0;
                }
                ASSERT_EQ(tip[j * size + i], want) << size << " at " << i << "," << j;
            }
        }
        const auto *relief = static_cast<const uint8_t *>(ctx.workBits);
        ASSERT_NE(relief, nullptr);
        for (int32_t v = 0; v < 8; ++v) {
            std::vector<uint8_t> want(static_cast<size_t>(size) * size, 0);
            brush::RotateTexture((v % 2 ? bTexture : a).data(), 128, 128, want.data(), size, size, 255, -45 * (v / 2));
            for (uint8_t &w : want) w = static_cast<uint8_t>((w - 128) / 6 + 128);
            EXPECT_TRUE(std::equal(want.begin(), want.end(), relief + v * want.size())) << size << " relief " << v;
            // The target is carried + g - 128: the relief moves a channel
            // by at most 21 from the mixed colour.
            const auto [lo, hi] = std::minmax_element(relief + v * want.size(), relief + (v + 1) * want.size());
            EXPECT_GE(*lo, 128 - 21);
            EXPECT_LE(*hi, 128 + 21);
            if (size >= 20) {
                EXPECT_GT(*hi - *lo, 20) << "a relief, not a flat grey";
            }
        }
    }
}

// One oil call replayed: the colour jittered once, the carried paint
// mixed at the call's first dab, then per dab row one rand() for the
// relief 2 class + (rand & 1).
void ReplayOilCall(ReferenceCanvas &ref, const PlugInBrushContext &ctx, int32_t directionClass, int32_t roughness) {
    brush::BgrColor target = brush::ColorOf(ctx.color);
    brush::JitterColor(&target, roughness);
    const int32_t want[3] = {target.b, target.g, target.r};
    int32_t carried[3] = {};
    const auto tip = MaskOf(ctx, 0);
    const size_t area = tip.size();
    const auto *relief = static_cast<const uint8_t *>(ctx.workBits);
    bool mixed = false;
    for (const brush::DabPlace &p : DabsOfCall(ctx, brush::DabSpacing::Pressure())) {
        if (!mixed) {
            mixed = true;
            const uint8_t *sample = ref.Centre(p);
            for (int k = 0; k < 3; ++k) carried[k] = (3 * want[k] + 2 * sample[k]) / 5;
        }
        int32_t rowRelief = -1, lastRow = -1;
        ref.ForDab(p, tip.data(), ctx.tipWidth, [&](uint8_t *px, int32_t t, int32_t i, int32_t j) {
            if (j != lastRow) {
                lastRow = j;
                rowRelief = 2 * directionClass + (std::rand() & 1);
            }
            if (t == 0) return;
            const int32_t g = relief[rowRelief * area + static_cast<size_t>(p.tipY + j) * ctx.tipWidth + p.tipX + i];
            const int32_t c = Coverage(t, ctx.pressure);
            for (int k = 0; k < 3; ++k) px[k] = Mix(px[k], Clamp255(g + carried[k] - 128), c);
        });
    }
}

// Drags in every direction over noise, each a call of several dabs: the
// class of each (0 vertical, 2 horizontal, 1 and 3 the diagonals by the
// signs, with the limits 42 and 241 on |100 dy / dx|) picks the relief,
// and the whole call matches the replay byte for byte.
TEST(Oil, DirectionClassChoosesTheReliefAndEveryCallReplaysByteForByte) {
    struct Drag {
        int32_t dx, dy, directionClass;
    };
    const Drag drags[] = {
        {24, 0, 2},   {-24, 0, 2}, {0, 24, 0},  {0, -24, 0},  {20, 20, 1},  {-20, -20, 1}, {20, -20, 3},
        {-20, 20, 3}, {50, 21, 1}, {50, 20, 2}, {10, 24, 1},  {10, 25, 0},  {-50, 21, 3},  {2, 30, 0},
    };
    // Size 14 paints from the expanded tip, 130 (beyond its limit) row by
    // row gathered; pressure 70 lowers the coverage and the spacing.
    struct Setting {
        int32_t size, roughness, pressure;
    };
    for (const Drag &d : drags) {
        for (const Setting &set : {Setting{14, 0, 128}, Setting{14, 30, 128}, Setting{14, 30, 70}, Setting{130, 30, 128},
                                   Setting{130, 0, 90}}) {
            const int32_t roughness = set.roughness;
            PenlithBrush b("Xi_OilBrush", 80, 80);
            b.canvas.FillNoise(static_cast<uint32_t>(d.dx * 7 + d.dy));
            b.brush.SetParams(set.size, 90, roughness);
            ASSERT_EQ(b.brush.Select(), 1);
            b.brush.ctx().color = brush_test::ColorValue(200, 120, 40);
            ReferenceCanvas ref(b.canvas);
            ReferenceCanvas wrong = ref;
            AimCall(b, 40 - d.dx / 2, 40 - d.dy / 2, 40 - d.dx / 2 + d.dx, 40 - d.dy / 2 + d.dy);
            b.brush.ctx().pressure = set.pressure;
            const PlugInBrushContext aimed = b.brush.ctx();
            std::srand(1234);
            ASSERT_EQ(b.brush.Send(BRUSHCMD_PAINT), 1);
            std::srand(1234);
            ReplayOilCall(ref, aimed, d.directionClass, roughness);
            EXPECT_EQ(b.canvas.Snapshot(), ref.bytes)
                << d.dx << "," << d.dy << " size " << set.size << " roughness " << roughness << " pressure " << set.pressure;
            // The classes differ in their reliefs: another class does not fit.
            std::srand(1234);
            ReplayOilCall(wrong, aimed, (d.directionClass + 1) % 4, roughness);
            EXPECT_NE(b.canvas.Snapshot(), wrong.bytes) << d.dx << "," << d.dy;
        }
    }
}

#ifndef _WIN32
TEST(Oil, MissingTextureFailsSelectThenPaintingFailsAtTheStart) {
    CheckMissingTextureRefusesSelect("Xi_OilBrush", 8);
}
#endif

}  // namespace
