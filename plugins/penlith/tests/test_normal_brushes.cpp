// The airbrush, the marker and the finger driven through their entry
// points as the brush manager drives them: exact pixels at dab centres,
// coverage rims, spacing and short moves, the Shift constraint, clipping
// and dirty rectangles, bad records, the pick and the preview.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>

#include "penlith_harness.h"

namespace {

using namespace penlith_test;

const char *const kBrushes[] = {"Xi_NormalBrush", "Xi_MarkerBrush", "Xi_TouchBrush"};

const Bgr kWhite{255, 255, 255};

uint8_t Blend(int old, int target, int coverage) {
    return static_cast<uint8_t>(old + (target - old) * coverage / 128);
}

Bgr Grey(uint8_t v) { return Bgr{v, v, v}; }

// Pixels no further than `within` from (cx, cy) and no closer than `beyond`.
template <typename F>
void ForPixelsAround(int32_t cx, int32_t cy, double beyond, double within, F &&f) {
    const int32_t r = static_cast<int32_t>(std::ceil(within)) + 1;
    for (int32_t y = cy - r; y <= cy + r; ++y) {
        for (int32_t x = cx - r; x <= cx + r; ++x) {
            const double d = std::hypot(x - cx, y - cy);
            if (d >= beyond && d <= within) f(x, y, d);
        }
    }
}

TEST(PenlithEntries, AllThreeBrushesAreExported) {
    for (const char *name : kBrushes) EXPECT_TRUE(static_cast<bool>(PenlithEntry(name))) << name;
    EXPECT_FALSE(static_cast<bool>(PenlithEntry("Xi_NoSuchBrush")));
}

// ------------------------------------------------------------ airbrush --

TEST(Airbrush, EvenSizeAtFullDensityPaintsTheExactColourAtTheCentreAndFadesOut) {
    PenlithBrush air("Xi_NormalBrush", 64, 48);
    air.brush.SetParams(20, 100, 0);
    ASSERT_EQ(air.brush.Select(), 1);
    air.brush.ctx().color = brush_test::ColorValue(200, 100, 50);
    air.Stroke({{30, 20}});
    EXPECT_EQ(air.canvas.Pixel(30, 20), (Bgr{50, 100, 200}));
    // The rim fades to nothing at the radius; the inside is painted and
    // lighter toward the rim.
    ForPixelsAround(30, 20, 10.2, 14, [&](int32_t x, int32_t y, double) {
        EXPECT_EQ(air.canvas.Pixel(x, y), kWhite) << x << "," << y;
    });
    ForPixelsAround(30, 20, 0.5, 8.5, [&](int32_t x, int32_t y, double) {
        EXPECT_NE(air.canvas.Pixel(x, y), kWhite) << x << "," << y;
    });
    EXPECT_LT(air.canvas.Pixel(30, 20).r, 255);
    EXPECT_GT(air.canvas.Pixel(37, 20).b, air.canvas.Pixel(33, 20).b);
    EXPECT_TRUE(air.canvas.GuardsIntact());
}

TEST(Airbrush, RoughnessShiftsEachChannelByTheSharedGenerator) {
    PenlithBrush air("Xi_NormalBrush", 16, 16);
    air.brush.ctx().color = brush_test::ColorValue(200, 100, 50);
    // Roughness 0 paints the colour itself (a size-4 tip has a full centre).
    air.brush.SetParams(4, 100, 0);
    ASSERT_EQ(air.brush.Select(), 1);
    air.Stroke({{8, 8}});
    EXPECT_EQ(air.canvas.Pixel(8, 8), (Bgr{50, 100, 200}));

    // Roughness 1: half = 1, so each channel moves by rand() % 2 - 1, drawn
    // blue, green, red from the process's one generator.
    air.brush.SetParams(4, 100, 1);
    ASSERT_EQ(air.brush.Select(), 1);
    for (unsigned seed : {1u, 2u, 3u, 12345u}) {
        std::srand(seed);
        const int db = std::rand() % 2 - 1, dg = std::rand() % 2 - 1, dr = std::rand() % 2 - 1;
        air.canvas.Fill(kWhite);
        std::srand(seed);
        air.Stroke({{8, 8}});
        EXPECT_EQ(air.canvas.Pixel(8, 8), (Bgr{static_cast<uint8_t>(50 + db), static_cast<uint8_t>(100 + dg),
                                               static_cast<uint8_t>(200 + dr)}))
            << "seed " << seed;
    }
}

// The coverage of a fixed tip is kept between calls: a new tip of the same
// size (likely at the same address) and a change of pressure must show.
TEST(Airbrush, KeptCoverageFollowsANewTipAndTheCurrentPressure) {
    PenlithBrush air("Xi_NormalBrush", 90, 20);
    air.brush.ctx().color = brush_test::ColorValue(0, 0, 0);
    air.brush.SetParams(10, 100, 0);
    ASSERT_EQ(air.brush.Select(), 1);
    air.Stroke({{10, 10}});
    EXPECT_EQ(air.canvas.Pixel(10, 10), Grey(0));
    air.brush.SetParams(10, 50, 0);  // centre byte 64
    ASSERT_EQ(air.brush.Select(), 1);
    air.Stroke({{30, 10}});
    EXPECT_EQ(air.canvas.Pixel(30, 10), Grey(Blend(255, 0, 64)));
    air.Stroke({{50, 10}}, BRUSHKEY_LBUTTON, 100);  // coverage 100 + 64 - 128
    EXPECT_EQ(air.canvas.Pixel(50, 10), Grey(Blend(255, 0, 36)));
    air.Stroke({{70, 10}});
    EXPECT_EQ(air.canvas.Pixel(70, 10), Grey(Blend(255, 0, 64)));
}

TEST(Airbrush, SizeOneAndTwoTips) {
    PenlithBrush air("Xi_NormalBrush", 12, 12);
    air.brush.ctx().color = brush_test::ColorValue(0, 0, 0);
    air.brush.SetParams(1, 100, 0);
    ASSERT_EQ(air.brush.Select(), 1);
    auto before = air.canvas.Snapshot();
    air.Stroke({{5, 5}});
    // one pixel, coverage 128 / 3 = 42
    EXPECT_EQ(air.canvas.ChangedSince(before), (Rect{5, 5, 6, 6}));
    EXPECT_EQ(air.canvas.Pixel(5, 5), Grey(Blend(255, 0, 42)));

    air.canvas.Fill(kWhite);
    air.brush.SetParams(2, 100, 0);
    ASSERT_EQ(air.brush.Select(), 1);
    before = air.canvas.Snapshot();
    air.Stroke({{5, 5}});
    // four pixels of coverage 64: columns 4 and 5, rows 5 and 6
    EXPECT_EQ(air.canvas.ChangedSince(before), (Rect{4, 5, 6, 7}));
    for (int32_t y : {5, 6}) {
        for (int32_t x : {4, 5}) EXPECT_EQ(air.canvas.Pixel(x, y), Grey(128)) << x << "," << y;
    }
}

// -------------------------------------------------------------- marker --

TEST(Marker, SizeTwentyHasAFullDensityCoreOfFivePixelsAndFadesByTen) {
    PenlithBrush marker("Xi_MarkerBrush", 64, 48);
    marker.brush.SetParams(20, 30, 0);  // density 30: peak 38
    ASSERT_EQ(marker.brush.Select(), 1);
    marker.brush.ctx().color = brush_test::ColorValue(0, 0, 255);
    marker.Stroke({{30, 24}});
    const Bgr core{Blend(255, 255, 38), Blend(255, 0, 38), Blend(255, 0, 38)};
    ForPixelsAround(30, 24, 0, 4.8, [&](int32_t x, int32_t y, double) {
        EXPECT_EQ(marker.canvas.Pixel(x, y), core) << x << "," << y;
    });
    ForPixelsAround(30, 24, 5.3, 9.0, [&](int32_t x, int32_t y, double) {
        const Bgr p = marker.canvas.Pixel(x, y);
        EXPECT_GT(p.g, core.g) << x << "," << y;
        EXPECT_LT(p.g, 255) << x << "," << y;
    });
    ForPixelsAround(30, 24, 10.2, 14, [&](int32_t x, int32_t y, double) {
        EXPECT_EQ(marker.canvas.Pixel(x, y), kWhite) << x << "," << y;
    });
}

// -------------------------------------------------------------- finger --

TEST(Finger, SmearsTheCanvasColourAndDriftsAsItsOwnDabsCoverTheSample) {
    PenlithBrush finger("Xi_TouchBrush", 100, 40);
    finger.brush.SetParams(20, 100, 0);
    ASSERT_EQ(finger.brush.Select(), 1);
    finger.brush.ctx().color = brush_test::ColorValue(0, 0, 0);
    ASSERT_EQ(finger.brush.Start(30, 20), 1);
    // (7 x 255 + 0) / 8 = 223 at the centre of the first dab
    EXPECT_EQ(finger.canvas.Pixel(30, 20), Grey(223));

    // A 30-pixel drag in one call: dabs 3.5 pixels apart at 33, 37, ... 61,
    // all mixed from the pixel under the first of them as it is darkened.
    ASSERT_EQ(finger.brush.Drag(60, 20), 1);
    finger.brush.End();
    for (int32_t x = 20; x < 72; ++x) {
        const Bgr p = finger.canvas.Pixel(x, 20);
        EXPECT_TRUE(p.b == p.g && p.g == p.r) << x;
    }
    // Without drift every dab would be at most as dark as 7/8 of the
    // sample's first value (201); the last dab is much darker.
    EXPECT_LT(finger.canvas.Pixel(61, 20).g, 180);
    EXPECT_LT(finger.canvas.Pixel(61, 20).g, finger.canvas.Pixel(40, 20).g);
    EXPECT_GT(finger.canvas.Pixel(61, 20).g, 0);
}

TEST(Finger, TakesItsColourFromTheCanvasNotOnlyFromTheBrush) {
    PenlithBrush finger("Xi_TouchBrush", 40, 40);
    finger.canvas.Fill(Bgr{0, 0, 255});  // red canvas
    finger.brush.SetParams(10, 100, 0);
    ASSERT_EQ(finger.brush.Select(), 1);
    finger.brush.ctx().color = brush_test::ColorValue(0, 0, 255);  // blue paint
    finger.Stroke({{20, 20}});
    EXPECT_EQ(finger.canvas.Pixel(20, 20), (Bgr{255 / 8, 0, 255 * 7 / 8}));
}

TEST(Finger, SizesBelowThreePaintNothing) {
    for (int32_t size : {1, 2}) {
        PenlithBrush finger("Xi_TouchBrush", 20, 20);
        finger.brush.SetParams(size, 100, 0);
        ASSERT_EQ(finger.brush.Select(), 1);
        finger.brush.ctx().color = brush_test::ColorValue(0, 0, 0);
        const auto before = finger.canvas.Snapshot();
        finger.Stroke({{10, 10}, {15, 10}});
        EXPECT_EQ(finger.canvas.Snapshot(), before) << size;
    }
}

// ------------------------------------------------- spacing and strokes --

TEST(Stroke, ThirtyPixelTipSpacingShortMovesAndTheSpareRow) {
    for (const char *name : kBrushes) {
        PenlithBrush b(name, 200, 100);
        b.brush.SetParams(30, 100, 0);
        ASSERT_EQ(b.brush.Select(), 1);
        b.brush.ctx().color = brush_test::ColorValue(0, 0, 0);
        ASSERT_EQ(b.brush.Start(100, 50), 1);
        const auto before = b.canvas.Snapshot();

        // 5 pixels: below the 5.3-pixel spacing, no dab, cur pulled back.
        EXPECT_EQ(b.brush.Drag(105, 50), 1) << name;
        EXPECT_EQ(b.brush.ctx().curX, 100) << name;
        EXPECT_TRUE(b.brush.Dirty().IsZero()) << name;
        EXPECT_EQ(b.canvas.Snapshot(), before) << name;

        // A 1-pixel move adds up to 6 from the anchor: one dab, 5.3 pixels
        // from it at 105 (a second would need 7.1).
        EXPECT_EQ(b.brush.Drag(106, 50), 1) << name;
        EXPECT_EQ(b.brush.ctx().curX, 106) << name;
        // tip columns 90..119, rows 36..65; the rectangle has a spare row
        EXPECT_EQ(b.brush.Dirty(), (Rect{90, 35, 120, 66})) << name;
        const Rect changed = b.canvas.ChangedSince(before);
        EXPECT_TRUE(Covers(b.brush.Dirty(), changed)) << name;
        EXPECT_GT(changed.right, 115) << name;  // past the first dab's 115
        b.brush.End();
    }
}

TEST(Stroke, ShiftKeepsTheStrokeHorizontalOrVerticalWithTiesVertical) {
    struct Case {
        int32_t x, y, wantX, wantY;
    };
    for (const Case c : {Case{30, 15, 30, 10}, Case{15, 30, 10, 30}, Case{20, 20, 10, 20}}) {
        PenlithBrush b("Xi_NormalBrush", 60, 60);
        b.brush.SetParams(4, 100, 0);
        ASSERT_EQ(b.brush.Select(), 1);
        b.brush.ctx().color = brush_test::ColorValue(0, 0, 0);
        ASSERT_EQ(b.brush.Start(10, 10, BRUSHKEY_LBUTTON | BRUSHKEY_SHIFT), 1);
        ASSERT_EQ(b.brush.Drag(c.x, c.y), 1);
        EXPECT_EQ(b.brush.ctx().curX, c.wantX) << c.x << "," << c.y;
        EXPECT_EQ(b.brush.ctx().curY, c.wantY) << c.x << "," << c.y;
        // the paint runs along the line, none of it off it
        EXPECT_NE(b.canvas.Pixel(c.wantX, c.wantY), kWhite);
        EXPECT_EQ(b.canvas.Pixel(c.x, c.y), kWhite) << c.x << "," << c.y;
        b.brush.End();
    }
}

TEST(Stroke, PressureBelowTwoPaintsNothingAndStillSucceeds) {
    for (const char *name : kBrushes) {
        PenlithBrush b(name, 40, 40);
        b.brush.SetParams(10, 100, 0);
        ASSERT_EQ(b.brush.Select(), 1);
        b.brush.ctx().color = brush_test::ColorValue(0, 0, 0);
        const auto before = b.canvas.Snapshot();
        ASSERT_EQ(b.brush.Start(20, 20, BRUSHKEY_LBUTTON, 1), 1) << name;
        EXPECT_TRUE(b.brush.Dirty().IsZero()) << name;
        EXPECT_EQ(b.brush.Drag(30, 30, 1), 1) << name;
        EXPECT_TRUE(b.brush.Dirty().IsZero()) << name;
        EXPECT_EQ(b.canvas.Snapshot(), before) << name;
        b.brush.End();
    }
}

// Long random strokes: every call's rectangle holds every pixel the call
// changed, and nothing outside the pixel rows is written.
TEST(Stroke, EveryCallsRectangleHoldsWhatItChanged) {
    std::srand(4242);
    for (const char *name : kBrushes) {
        for (int32_t size : {3, 9, 24, 61}) {
            PenlithBrush b(name, 70, 50);
            b.canvas.FillNoise(static_cast<uint32_t>(size));
            b.brush.SetParams(size, 80, 20);
            ASSERT_EQ(b.brush.Select(), 1);
            int32_t x = std::rand() % 70, y = std::rand() % 50;
            auto before = b.canvas.Snapshot();
            ASSERT_EQ(b.brush.Start(x, y), 1);
            for (int step = 0; step < 40; ++step) {
                const Rect changed = b.canvas.ChangedSince(before);
                ASSERT_TRUE(Covers(ClipTo(b.brush.Dirty(), b.canvas), changed))
                    << name << " size " << size << " step " << step;
                before = b.canvas.Snapshot();
                x += std::rand() % 41 - 20;
                y += std::rand() % 41 - 20;
                b.brush.Drag(x, y, 2 + std::rand() % 127);
            }
            b.brush.End();
            ASSERT_TRUE(b.canvas.GuardsIntact()) << name << " size " << size;
        }
    }
}

// ------------------------------------------------ edges and bad records --

TEST(Edges, DabsAtAndBeyondEveryEdgePaintOnlyInsideTheCanvas) {
    // The last two lie so far out that only the tip's empty corner reaches
    // the canvas.
    const int32_t points[][2] = {{0, 0},   {39, 0},  {0, 29},  {39, 29}, {-5, 15},
                                 {45, 15}, {20, -5}, {20, 35}, {-9, -9}, {48, 38}};
    const size_t painting = 8;
    for (const char *name : kBrushes) {
        for (size_t k = 0; k < sizeof points / sizeof points[0]; ++k) {
            const int32_t *p = points[k];
            PenlithBrush b(name, 40, 30);
            b.brush.SetParams(20, 100, 0);
            ASSERT_EQ(b.brush.Select(), 1);
            b.brush.ctx().color = brush_test::ColorValue(0, 0, 0);
            const auto before = b.canvas.Snapshot();
            ASSERT_EQ(b.brush.Start(p[0], p[1]), 1);
            const Rect changed = b.canvas.ChangedSince(before);
            EXPECT_EQ(changed.IsZero(), k >= painting) << name << " at " << p[0] << "," << p[1];
            EXPECT_TRUE(Covers(ClipTo(b.brush.Dirty(), b.canvas), changed)) << name;
            EXPECT_TRUE(b.canvas.GuardsIntact()) << name << " at " << p[0] << "," << p[1];
            b.brush.End();
        }
    }
}

TEST(Edges, ADabWhollyOutsidePaintsNothingButStillReportsItsRectangle) {
    PenlithBrush b("Xi_NormalBrush", 40, 30);
    b.brush.SetParams(10, 100, 0);
    ASSERT_EQ(b.brush.Select(), 1);
    const auto before = b.canvas.Snapshot();
    ASSERT_EQ(b.brush.Start(100, 15), 1);
    EXPECT_EQ(b.canvas.Snapshot(), before);
    EXPECT_EQ(b.brush.Dirty(), (Rect{95, 10, 105, 21}));
    EXPECT_TRUE(b.canvas.GuardsIntact());
}

TEST(Edges, TipsLargerThanTheCanvasAndAOnePixelCanvas) {
    for (const char *name : kBrushes) {
        PenlithBrush tiny(name, 1, 1);
        tiny.brush.SetParams(20, 100, 0);
        ASSERT_EQ(tiny.brush.Select(), 1);
        tiny.brush.ctx().color = brush_test::ColorValue(0, 0, 0);
        ASSERT_EQ(tiny.brush.Start(0, 0), 1) << name;
        EXPECT_NE(tiny.canvas.Pixel(0, 0), kWhite) << name;
        EXPECT_TRUE(tiny.canvas.GuardsIntact()) << name;
        EXPECT_EQ(tiny.brush.Drag(0, 0), 1) << name;
        tiny.brush.End();

        PenlithBrush small(name, 7, 5);
        small.brush.SetParams(100, 100, 0);
        ASSERT_EQ(small.brush.Select(), 1);
        small.Stroke({{3, 2}, {6, 4}, {-50, -50}, {60, 3}});
        EXPECT_TRUE(small.canvas.GuardsIntact()) << name;
    }
}

TEST(BadRecords, UnusableCanvasesAreRefusedAndLeftUntouched) {
    struct Spoil {
        const char *what;
        void (*apply)(PlugInBrushContext *);
    };
    const Spoil spoilers[] = {
        {"no header", [](PlugInBrushContext *c) { c->canvasInfo = nullptr; }},
        {"no bits", [](PlugInBrushContext *c) { c->canvasBits = nullptr; }},
        {"zero width", [](PlugInBrushContext *c) { c->width = 0; }},
        {"zero height", [](PlugInBrushContext *c) { c->height = 0; }},
        {"zero stride", [](PlugInBrushContext *c) { c->stride = 0; }},
        {"stride below 3 x width", [](PlugInBrushContext *c) { c->stride = 3 * c->width - 1; }},
        {"no tip", [](PlugInBrushContext *c) { c->tipBits = nullptr; }},
        {"zero tip", [](PlugInBrushContext *c) { c->tipWidth = 0; }},
    };
    for (const char *name : kBrushes) {
        for (const Spoil &spoil : spoilers) {
            PenlithBrush b(name, 16, 16);
            b.brush.SetParams(6, 100, 0);
            ASSERT_EQ(b.brush.Select(), 1);
            b.brush.AttachCanvas();
            b.brush.ctx().curX = b.brush.ctx().prevX = b.brush.ctx().startX = 8;
            b.brush.ctx().curY = b.brush.ctx().prevY = b.brush.ctx().startY = 8;
            void *tip = b.brush.ctx().tipBits;
            const int32_t tipWidth = b.brush.ctx().tipWidth;
            spoil.apply(&b.brush.ctx());
            const auto before = b.canvas.Snapshot();
            EXPECT_EQ(b.brush.Send(BRUSHCMD_PAINT), 0) << name << ": " << spoil.what;
            EXPECT_EQ(b.canvas.Snapshot(), before) << name << ": " << spoil.what;
            b.brush.ctx().tipBits = tip;  // hand the tip back for the release
            b.brush.ctx().tipWidth = tipWidth;
        }
        // An 8-bit canvas is refused at the stroke start.
        TestCanvas gray(16, 16, 0, 8);
        BrushHarness b(PenlithEntry(name), gray);
        b.SetParams(6, 100, 0);
        ASSERT_EQ(b.Select(), 1);
        const auto before = gray.Snapshot();
        EXPECT_EQ(b.Start(8, 8), 0) << name;
        EXPECT_EQ(gray.Snapshot(), before) << name;
    }
}

TEST(BadRecords, NullRecordsUnknownCommandsAndAMissingParameterBlock) {
    for (const char *name : kBrushes) {
        const BrushHarness::Entry entry = PenlithEntry(name);
        EXPECT_EQ(entry(nullptr), 0) << name;
        PenlithBrush b(name, 16, 16);
        ASSERT_EQ(b.brush.Select(), 1);
        for (int32_t command : {0, 7, 8, -1, 1000}) EXPECT_EQ(b.brush.Send(command), 0) << name << " " << command;

        // Select without parameters: no tip, so painting is refused.
        b.brush.ctx().tipParams = nullptr;
        EXPECT_EQ(b.brush.Send(BRUSHCMD_SELECT), 0) << name;
        EXPECT_EQ(b.brush.ctx().tipBits, nullptr) << name;
        b.brush.SetParams(0, 100, 0);
        EXPECT_EQ(b.brush.Select(), 0) << name;
        EXPECT_EQ(b.brush.Start(8, 8), 0) << name;
        EXPECT_EQ(b.canvas.Pixel(8, 8), kWhite) << name;
    }
}

TEST(Lifecycle, ReleaseFreesTheTipAndEndsPainting) {
    for (const char *name : kBrushes) {
        PenlithBrush b(name, 16, 16);
        ASSERT_EQ(b.brush.Select(), 1);
        EXPECT_NE(b.brush.ctx().tipBits, nullptr);
        EXPECT_EQ(b.brush.ctx().tipWidth, 20);
        EXPECT_EQ(b.brush.Send(BRUSHCMD_BEGIN), 1) << name;
        EXPECT_EQ(b.brush.Send(BRUSHCMD_END), 1) << name;
        EXPECT_EQ(b.brush.Release(), 1) << name;
        EXPECT_EQ(b.brush.ctx().tipBits, nullptr) << name;
        EXPECT_EQ(b.brush.ctx().workBits, nullptr) << name;
        EXPECT_EQ(b.brush.Start(8, 8), 0) << name;
        // selected again, it paints again
        ASSERT_EQ(b.brush.Select(), 1);
        EXPECT_EQ(b.brush.Start(8, 8), 1) << name;
        b.brush.End();
    }
}

// ----------------------------------------------------- pick and preview --

TEST(Pick, CtrlPicksThePixelWithTheFlagByteInsteadOfPainting) {
    for (const char *name : kBrushes) {
        PenlithBrush b(name, 30, 30);
        ASSERT_EQ(b.brush.Select(), 1);
        b.canvas.SetPixel(12, 7, Bgr{30, 20, 10});
        const auto before = b.canvas.Snapshot();
        b.brush.ctx().color = 0;
        ASSERT_EQ(b.brush.Start(12, 7, BRUSHKEY_LBUTTON | BRUSHKEY_CONTROL), 1);
        EXPECT_EQ(b.brush.ctx().color, 0x02000000u + 30 * 65536 + 20 * 256 + 10) << name;
        EXPECT_TRUE(b.brush.Dirty().IsZero()) << name;
        EXPECT_EQ(b.brush.Drag(40, 7), 1);  // off the canvas: the colour stays
        EXPECT_EQ(b.brush.ctx().color, 0x021E140Au) << name;
        EXPECT_EQ(b.canvas.Snapshot(), before) << name;
        b.brush.End();
    }
}

Bgr PreviewBackground(int32_t x, int32_t y) {
    const bool oddBand = (y / 8) % 2 == 1, oddCell = (x / 8) % 2 == 1;
    if (!oddBand) return oddCell ? Bgr{163, 114, 61} : Grey(96);
    return oddCell ? Bgr{128, 149, 255} : Grey(192);
}

TEST(Preview, PatternedBackgroundAndOneStrengthThreeDabAtTheCentre) {
    for (const char *name : kBrushes) {
        PenlithBrush b(name, 8, 8);
        b.brush.SetParams(10, 50, 0);  // peak 64
        ASSERT_EQ(b.brush.Select(), 1);
        b.brush.ctx().color = brush_test::ColorValue(0, 0, 0);
        TestCanvas preview(61, 42);
        ASSERT_EQ(b.brush.Preview(preview), 1) << name;
        EXPECT_TRUE(preview.GuardsIntact(false)) << name;
        // Dab centred on (30, 21): 10 x 10 pixels from (25, 17) to (34, 26).
        for (int32_t y = 0; y < 42; ++y) {
            for (int32_t x = 0; x < 61; ++x) {
                if (x >= 25 && x < 35 && y >= 17 && y < 27) continue;
                ASSERT_EQ(preview.Pixel(x, y), PreviewBackground(x, y)) << name << " " << x << "," << y;
            }
        }
        // The centre byte 64 gives a = 64 -> 32 -> 8: coverage 120 over the
        // blue cell (163, 114, 61).
        EXPECT_EQ(preview.Pixel(30, 21), (Bgr{Blend(163, 0, 120), Blend(114, 0, 120), Blend(61, 0, 120)}))
            << name;
        EXPECT_EQ(b.brush.PreviewDirty(), (Rect{25, 16, 35, 27})) << name;
    }
}

}  // namespace
