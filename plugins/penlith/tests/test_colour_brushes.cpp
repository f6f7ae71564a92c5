// The rainbow, the roller and the pipe driven through their entry points:
// the hue walk along and across strokes, the roller's one-opacity limit,
// the pipe's light and its quality-dependent spacing; and, for these and
// the fur brush, the rectangles, edges, bad records and previews.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <set>
#include <vector>

#include "penlith_checks.h"
#include "penlith_harness.h"

namespace {

using namespace penlith_test;

const char *const kBrushes[] = {"Xi_RainbowBrush", "Xi_RollerBrush", "Xi_PipeBrush", "Xi_FurBrush"};

const Bgr kWhite{255, 255, 255};
const Bgr kBlack{0, 0, 0};

// The roller's blend by k / 128 with its +64 before the truncating division.
int Coat(int old, int target, int k) { return old + ((target - old) * k + 64) / 128; }

// The hue circle as the rainbow's users see it: blue, cyan, green, yellow,
// red, magenta, 40 steps each.
Bgr HueColor(int h) {
    const int sector = h / 40;
    const auto f = static_cast<uint8_t>((h % 40) * 255 / 40), rf = static_cast<uint8_t>(255 - f);
    const Bgr table[6] = {{255, f, 0}, {rf, 255, 0}, {0, 255, f}, {0, rf, 255}, {f, 0, 255}, {255, 0, rf}};
    return table[sector];
}

int HueOf(const Bgr &c) {
    for (int h = 0; h < 240; ++h) {
        if (HueColor(h) == c) return h;
    }
    return -1;
}

// ------------------------------------------------------------- rainbow --

// A size-4 soft tip at full density has one full-coverage pixel at its
// centre, so every dab shows its hue exactly there.  Every colour seen must
// be one of the circle's 240 (h = 40 cyan, h = 120 yellow, ...), and the
// hues must step by 13 from dab to dab, within a stroke and across strokes.
TEST(Rainbow, EveryDabStepsThirteenHuesAlongAndAcrossStrokesAndRepeatsAfter240) {
    PenlithBrush rainbow("Xi_RainbowBrush", 16, 16);
    rainbow.brush.SetParams(4, 100, 0);
    ASSERT_EQ(rainbow.brush.Select(), 1);
    rainbow.brush.ctx().color = brush_test::ColorValue(12, 34, 56);  // ignored
    std::vector<int> hues;
    for (int stroke = 0; stroke < 3; ++stroke) {
        ASSERT_EQ(rainbow.brush.Start(8, 8), 1);
        hues.push_back(HueOf(rainbow.canvas.Pixel(8, 8)));
        for (int k = 0; k < 99; ++k) {  // cur = prev: one dab per call
            ASSERT_EQ(rainbow.brush.Drag(8, 8), 1);
            hues.push_back(HueOf(rainbow.canvas.Pixel(8, 8)));
        }
        rainbow.brush.End();
    }
    ASSERT_NE(hues[0], -1) << "not a rainbow colour";
    std::set<int> firstTurn;
    for (size_t n = 1; n < hues.size(); ++n) {
        ASSERT_EQ(hues[n], (hues[n - 1] + 13) % 240) << "dab " << n;
        if (n < 240) firstTurn.insert(hues[n - 1]);
    }
    EXPECT_EQ(firstTurn.size(), 239u);  // no repeat before 240 dabs
    EXPECT_EQ(hues[240], hues[0]);
    EXPECT_EQ(rainbow.brush.ctx().color, brush_test::ColorValue(12, 34, 56));
}

TEST(Rainbow, PaintsEvenWithThePickFlagAndPicksNothing) {
    PenlithBrush rainbow("Xi_RainbowBrush", 20, 20);
    rainbow.brush.SetParams(6, 100, 0);
    ASSERT_EQ(rainbow.brush.Select(), 1);
    rainbow.brush.ctx().color = 0x02123456;
    ASSERT_EQ(rainbow.brush.Start(10, 10, BRUSHKEY_LBUTTON | BRUSHKEY_CONTROL), 1);
    EXPECT_NE(HueOf(rainbow.canvas.Pixel(10, 10)), -1);
    EXPECT_EQ(rainbow.brush.ctx().color, 0x02123456u);
    EXPECT_FALSE(rainbow.brush.Dirty().IsZero());
    rainbow.brush.End();
}

// -------------------------------------------------------------- roller --

TEST(Roller, FullDensityCoversAPixelWithItsFirstDabAndNeverTouchesItAgain) {
    PenlithBrush roller("Xi_RollerBrush", 60, 40);
    roller.brush.SetParams(10, 100, 0);
    ASSERT_EQ(roller.brush.Select(), 1);
    roller.brush.ctx().color = brush_test::ColorValue(0, 0, 0);
    ASSERT_EQ(roller.brush.Start(20, 20), 1);
    const Bgr full = Grey(Coat(255, 0, 128));  // 1: -254.5 truncates toward zero
    EXPECT_EQ(roller.canvas.Pixel(20, 20), full);
    // Mark the pixel; dabs of the same stroke passing over it leave it.
    roller.canvas.SetPixel(20, 20, Bgr{1, 2, 3});
    for (int32_t x = 21; x <= 26; ++x) ASSERT_EQ(roller.brush.Drag(x, 20), 1);
    EXPECT_EQ(roller.canvas.Pixel(20, 20), (Bgr{1, 2, 3}));
    EXPECT_EQ(roller.canvas.Pixel(26, 20), full);
    roller.brush.End();
    EXPECT_EQ(roller.brush.ctx().workBits, nullptr);  // the map ends with the stroke
    // A new stroke starts from a clean map.
    roller.Stroke({{20, 20}});
    EXPECT_EQ(roller.canvas.Pixel(20, 20), Grey(Coat(1, 0, 128)));
}

TEST(Roller, HalfDensityStrokeCrossingItselfIsNoDarkerThanOneCoat) {
    PenlithBrush roller("Xi_RollerBrush", 100, 80);
    roller.brush.SetParams(12, 50, 0);  // L = 64
    ASSERT_EQ(roller.brush.Select(), 1);
    roller.brush.ctx().color = brush_test::ColorValue(0, 0, 0);
    // there and back, then across: every pixel of the cross is covered
    // many times over
    roller.Stroke({{10, 40}, {90, 40}, {10, 40}, {50, 40}, {50, 5}, {50, 75}, {50, 40}});
    const int oneCoat = Coat(255, 0, 64);  // 128
    EXPECT_EQ(roller.canvas.Pixel(50, 40), Grey(oneCoat));
    EXPECT_EQ(roller.canvas.Pixel(30, 40), Grey(oneCoat));
    EXPECT_EQ(roller.canvas.Pixel(50, 20), Grey(oneCoat));
    for (int32_t y = 0; y < 80; ++y) {
        for (int32_t x = 0; x < 100; ++x) ASSERT_GE(roller.canvas.Pixel(x, y).g, oneCoat - 1) << x << "," << y;
    }
    // A second stroke is a second coat.
    roller.Stroke({{10, 40}, {90, 40}});
    EXPECT_EQ(roller.canvas.Pixel(30, 40), Grey(Coat(oneCoat, 0, 64)));
}

TEST(Roller, LightPressureStillTopsUpToItsOwnCoverageOnly) {
    PenlithBrush roller("Xi_RollerBrush", 60, 40);
    roller.brush.SetParams(10, 100, 0);
    ASSERT_EQ(roller.brush.Select(), 1);
    roller.brush.ctx().color = brush_test::ColorValue(0, 0, 0);
    // pressure 64: c = 64 on the core; the core is at a = 64 < t = 128
    // after the first dab, so a later dab adds min(128, 64 + 64) - 64.
    roller.Stroke({{20, 20}}, BRUSHKEY_LBUTTON, 64);
    EXPECT_EQ(roller.canvas.Pixel(20, 20), Grey(Coat(255, 0, 64)));
    PenlithBrush twice("Xi_RollerBrush", 60, 40);
    twice.brush.SetParams(10, 100, 0);
    ASSERT_EQ(twice.brush.Select(), 1);
    twice.brush.ctx().color = brush_test::ColorValue(0, 0, 0);
    ASSERT_EQ(twice.brush.Start(20, 20, BRUSHKEY_LBUTTON, 64), 1);
    ASSERT_EQ(twice.brush.Drag(20, 20, 64), 1);
    twice.brush.End();
    // k = (128 - 64) x 128 / 64 = 128: the second dab finishes the pixel
    EXPECT_EQ(twice.canvas.Pixel(20, 20), Grey(Coat(Coat(255, 0, 64), 0, 128)));
}

TEST(Roller, AStrokeWithoutItsBeginMakesItsMapAndOneFromAnotherCanvasIsReplaced) {
    PenlithBrush roller("Xi_RollerBrush", 30, 20);
    roller.brush.SetParams(8, 100, 0);
    ASSERT_EQ(roller.brush.Select(), 1);
    roller.brush.ctx().color = brush_test::ColorValue(0, 0, 0);
    roller.brush.AttachCanvas();
    PlugInBrushContext &ctx = roller.brush.ctx();
    ctx.curX = ctx.prevX = ctx.startX = 10;
    ctx.curY = ctx.prevY = ctx.startY = 10;
    ctx.pressure = 128;
    ASSERT_EQ(roller.brush.Send(BRUSHCMD_PAINT), 1);
    EXPECT_NE(ctx.workBits, nullptr);
    EXPECT_EQ(roller.canvas.Pixel(10, 10), Grey(1));

    // The stroke never ends; the same record now paints a larger canvas.
    TestCanvas big(300, 200);
    big.Fill(kWhite);
    ctx.canvasInfo = big.info();
    ctx.canvasBits = big.bits();
    ctx.width = big.width();
    ctx.height = big.height();
    ctx.stride = big.stride();
    ctx.curX = ctx.prevX = 280;
    ctx.curY = ctx.prevY = 190;
    ASSERT_EQ(roller.brush.Send(BRUSHCMD_PAINT), 1);
    EXPECT_EQ(big.Pixel(280, 190), Grey(1));
    EXPECT_TRUE(big.GuardsIntact());
    EXPECT_EQ(roller.brush.Send(BRUSHCMD_END), 1);
    EXPECT_EQ(ctx.workBits, nullptr);
    roller.brush.AttachCanvas();
}

TEST(Roller, ABeginOnACanvasWithoutPixelsIsRefused) {
    PenlithBrush roller("Xi_RollerBrush", 30, 20);
    ASSERT_EQ(roller.brush.Select(), 1);
    roller.brush.AttachCanvas();
    roller.brush.ctx().width = 0;
    EXPECT_EQ(roller.brush.Send(BRUSHCMD_BEGIN), 0);
    EXPECT_EQ(roller.brush.ctx().workBits, nullptr);
}

// ---------------------------------------------------------------- pipe --

void SetUpPipe(PenlithBrush &pipe, Bgr canvas, int32_t size, int32_t density, int32_t quality, Bgr color) {
    pipe.canvas.Fill(canvas);
    pipe.brush.SetParams(size, density, quality);
    pipe.brush.params()[2].minimum = 1;
    pipe.brush.params()[2].maximum = 10;
    ASSERT_EQ(pipe.brush.Select(), 1);
    pipe.brush.ctx().color = brush_test::ColorValue(color.r, color.g, color.b);
}

// One dab of a size-20 black pipe on black: lit above and left of the
// diagonal through its centre, black on and below it.  Tip pixel (7, 13)
// (3 pixels up and left of the centre) has r = 17, t = 118, shade 166:
// target 38, so 38 x 118 / 128 = 35.
TEST(Pipe, BlackDabOnBlackIsLitAtTheTopLeftUpToGrey127AndBlackBottomRight) {
    PenlithBrush pipe("Xi_PipeBrush", 60, 60);
    SetUpPipe(pipe, kBlack, 20, 100, 1, kBlack);
    pipe.Stroke({{30, 30}});
    EXPECT_EQ(pipe.canvas.Pixel(27, 27), Grey(35));
    int brightest = 0;
    for (int32_t y = 0; y < 60; ++y) {
        for (int32_t x = 0; x < 60; ++x) {
            const Bgr p = pipe.canvas.Pixel(x, y);
            ASSERT_TRUE(p.b == p.g && p.g == p.r) << x << "," << y;
            ASSERT_LE(p.g, 127) << x << "," << y;
            if (x + y >= 60) {
                ASSERT_EQ(p, kBlack) << x << "," << y;
            }
            brightest = std::max(brightest, int{p.g});
        }
    }
    EXPECT_GT(brightest, 30);

    // A whole stroke never passes grey 127 either, and beyond the last
    // dab's diagonal it stays black.
    for (int32_t quality : {1, 10}) {
        PenlithBrush stroke("Xi_PipeBrush", 80, 60);
        SetUpPipe(stroke, kBlack, 20, 100, quality, kBlack);
        stroke.Stroke({{15, 30}, {65, 30}});
        const int32_t lastX = stroke.brush.ctx().curX;
        for (int32_t y = 0; y < 60; ++y) {
            for (int32_t x = 0; x < 80; ++x) {
                ASSERT_LE(stroke.canvas.Pixel(x, y).g, 127) << x << "," << y;
                if (x + y >= lastX + 30 + 2) {
                    ASSERT_EQ(stroke.canvas.Pixel(x, y), kBlack) << x << "," << y;
                }
            }
        }
    }
}

// Across a horizontal tube of mid-grey on mid-grey the light falls off
// from top to bottom; quality 10 gives the same profile all along the
// tube, quality 1 ripples where its dabs lie further apart.
TEST(Pipe, ShadingProfileAcrossTheTubeForQualityOneAndTen) {
    std::vector<int> profiles[2][2];
    const int32_t columns[2] = {60, 63};
    for (int q = 0; q < 2; ++q) {
        PenlithBrush pipe("Xi_PipeBrush", 140, 60);
        SetUpPipe(pipe, Grey(128), 24, 100, q == 0 ? 1 : 10, Grey(128));
        pipe.Stroke({{20, 30}, {120, 30}});
        for (int c = 0; c < 2; ++c) {
            for (int32_t y = 17; y <= 43; ++y) profiles[q][c].push_back(pipe.canvas.Pixel(columns[c], y).g);
        }
    }
    // Rows 17..43 of two nearby columns: y = 22..39 is the tube's body
    // (the rows outside it lie on the rims or off the tube).
    for (int q = 0; q < 2; ++q) {
        for (int c = 0; c < 2; ++c) {
            const std::vector<int> &p = profiles[q][c];
            const char *what = q == 0 ? "quality 1" : "quality 10";
            EXPECT_EQ(p.front(), 128) << what;  // off the tube
            EXPECT_GT(p[22 - 17], 180) << what;
            EXPECT_LT(p[39 - 17], 115) << what;
            for (int y = 23; y <= 39; ++y) EXPECT_LE(p[y - 17], p[y - 18]) << what << " y " << y;
        }
    }
    // Quality 10 lays the same profile three pixels further on; quality 1
    // shows its dabs.
    int ripple1 = 0, ripple10 = 0;
    for (size_t k = 0; k < profiles[0][0].size(); ++k) {
        ripple1 = std::max(ripple1, std::abs(profiles[0][0][k] - profiles[0][1][k]));
        ripple10 = std::max(ripple10, std::abs(profiles[1][0][k] - profiles[1][1][k]));
    }
    EXPECT_LE(ripple10, 1);
    EXPECT_GT(ripple1, ripple10);
}

// Spacing of max(1, 9 - quality) percent of the diagonal: with a 100-pixel
// tip (diagonal 1131 eighths) a move shorter than one spacing paints
// nothing and pulls cur back; one spacing paints.
TEST(Pipe, QualitySetsTheSpacingDownToOnePercent) {
    for (int32_t quality = 1; quality <= 10; ++quality) {
        const int32_t percent = std::max(1, 9 - quality);
        const int32_t spacing8 = 1131 * (percent * 128 / 100) / 128;
        const int32_t shortMove = (spacing8 - 1) / 8, longMove = (spacing8 + 7) / 8;
        PenlithBrush pipe("Xi_PipeBrush", 300, 200);
        SetUpPipe(pipe, kWhite, 100, 80, quality, kBlack);
        ASSERT_EQ(pipe.brush.Start(100, 100), 1);
        if (shortMove > 0) {
            ASSERT_EQ(pipe.brush.Drag(100 + shortMove, 100), 1);
            EXPECT_EQ(pipe.brush.ctx().curX, 100) << "quality " << quality;
            EXPECT_TRUE(pipe.brush.Dirty().IsZero()) << "quality " << quality;
        }
        ASSERT_EQ(pipe.brush.Drag(100 + longMove, 100), 1);
        EXPECT_EQ(pipe.brush.ctx().curX, 100 + longMove) << "quality " << quality;
        EXPECT_FALSE(pipe.brush.Dirty().IsZero()) << "quality " << quality;
        pipe.brush.End();
    }
}

// One dab of size 17 at density 70 and pressure 90 over noise, in a
// colour that the light pushes past both ends of the channel range:
//     t = trunc((1 - (r / 34)^3) x 89), shade = 128 + 128 (j - i) / 17,
//     target = clamp(colour + shade - 128), c = clamp(90 + t - 128),
//     channel = old + (target - old) x c / 128
// Dabs one after the other, each checked against the rule: the brush keeps
// what it derives from tip, colour and pressure between calls, so a new
// colour or pressure must take effect with the very next dab.
TEST(Pipe, DabsOverNoiseFollowTheShadedBlendPixelByPixel) {
    const int s = 17, p = 70 * 128 / 100, cx = 20, cy = 14;
    PenlithBrush pipe("Xi_PipeBrush", 40, 30);
    SetUpPipe(pipe, kWhite, s, 70, 1, Bgr{100, 30, 220});
    pipe.canvas.FillNoise(17);
    struct Dab {
        int colour[3];  // blue, green, red
        int pressure;
    };
    const Dab dabs[] = {{{100, 30, 220}, 90}, {{100, 30, 220}, 90}, {{5, 250, 128}, 90}, {{5, 250, 128}, 200}};
    for (const Dab &dab : dabs) {
        TestCanvas original(40, 30);
        for (int y = 0; y < 30; ++y) {
            for (int x = 0; x < 40; ++x) original.SetPixel(x, y, pipe.canvas.Pixel(x, y));
        }
        pipe.brush.ctx().color = brush_test::ColorValue(static_cast<uint8_t>(dab.colour[2]),
                                                        static_cast<uint8_t>(dab.colour[1]),
                                                        static_cast<uint8_t>(dab.colour[0]));
        pipe.Stroke({{cx, cy}}, BRUSHKEY_LBUTTON, dab.pressure);
        for (int y = 0; y < 30; ++y) {
            for (int x = 0; x < 40; ++x) {
                const int i = x - (cx - s / 2), j = cy - y + s / 2;  // tip row 0 is the lowest screen row
                const Bgr old = original.Pixel(x, y);
                Bgr want = old;
                if (i >= 0 && i < s && j >= 0 && j < s) {
                    const int dx = 2 * s - 4 * i, dy = 2 * s - 4 * j;
                    int r = static_cast<int>(std::sqrt(dx * dx + dy * dy));
                    while (r * (r - 1) > dx * dx + dy * dy) --r;
                    while (r * (r + 1) <= dx * dx + dy * dy) ++r;
                    const double q = r / (2.0 * s);
                    const int t = r < 2 * s ? static_cast<int>((1 - q * q * q) * p) : 0;
                    const int c = t == 0 ? 0 : std::min(128, std::max(0, dab.pressure + t - 128));
                    const int shade = 128 + 128 * (j - i) / s;
                    uint8_t *channels[3] = {&want.b, &want.g, &want.r};
                    for (int k = 0; k < 3; ++k) {
                        const int target = std::min(255, std::max(0, dab.colour[k] + shade - 128));
                        *channels[k] = static_cast<uint8_t>(*channels[k] + (target - *channels[k]) * c / 128);
                    }
                }
                ASSERT_EQ(pipe.canvas.Pixel(x, y), want) << x << "," << y << " pressure " << dab.pressure;
            }
        }
    }
}

TEST(Pipe, SmallTipsAreMarkerTipsInTheColourItself) {
    PenlithBrush one("Xi_PipeBrush", 10, 10);
    SetUpPipe(one, kWhite, 1, 100, 1, Bgr{10, 20, 30});
    const auto before = one.canvas.Snapshot();
    one.Stroke({{4, 4}});
    EXPECT_EQ(one.canvas.ChangedSince(before), (Rect{4, 4, 5, 5}));
    EXPECT_EQ(one.canvas.Pixel(4, 4), (Bgr{10, 20, 30}));  // shade 128 on a one-pixel tip

    PenlithBrush two("Xi_PipeBrush", 10, 10);
    SetUpPipe(two, kWhite, 2, 100, 1, kBlack);
    two.Stroke({{4, 4}});
    // coverage 64; the top-left pixel lit by 64, the bottom-right by none
    EXPECT_EQ(two.canvas.Pixel(3, 4), Grey(255 + (64 - 255) * 64 / 128));
    EXPECT_EQ(two.canvas.Pixel(4, 5), Grey(128));
}

TEST(Pipe, WithoutItsShadeMapItPaintsNothing) {
    PenlithBrush pipe("Xi_PipeBrush", 30, 30);
    SetUpPipe(pipe, kWhite, 10, 100, 1, kBlack);
    void *shade = pipe.brush.ctx().workBits;
    ASSERT_NE(shade, nullptr);
    pipe.brush.ctx().workBits = nullptr;
    const auto before = pipe.canvas.Snapshot();
    EXPECT_EQ(pipe.brush.Start(15, 15), 0);
    EXPECT_EQ(pipe.canvas.Snapshot(), before);
    pipe.brush.ctx().workBits = shade;
    EXPECT_EQ(pipe.brush.Start(15, 15), 1);
    pipe.brush.End();
}

// ------------------------------------------------ all four: the contract --

TEST(ColourStrokes, EveryCallsRectangleHoldsWhatItChangedAndNothingSpills) {
    std::srand(777);
    for (const char *name : kBrushes) {
        for (int32_t size : {5, 9, 24, 61}) ASSERT_NO_FATAL_FAILURE(CheckEveryCallsRectangle(name, size, 5, 40));
    }
}

TEST(ColourStrokes, TipsLargerThanTheCanvasStayInside) {
    for (const char *name : kBrushes) {
        PenlithBrush small(name, 7, 5);
        small.brush.SetParams(100, 100, 3);
        ASSERT_EQ(small.brush.Select(), 1) << name;
        small.Stroke({{3, 2}, {6, 4}, {-50, -50}, {60, 3}, {0, 0}});
        EXPECT_TRUE(small.canvas.GuardsIntact()) << name;
    }
}

TEST(ColourStrokes, UnusableRecordsAndUnknownCommandsAreRefused) {
    for (const char *name : kBrushes) {
        PenlithBrush b(name, 16, 16);
        b.brush.SetParams(6, 100, 1);
        ASSERT_EQ(b.brush.Select(), 1) << name;
        ExpectNullRecordAndCommandsRefused(name, b, {0, 7, -1});
        ASSERT_NO_FATAL_FAILURE(ExpectEightBitCanvasRefused(name, 1));
        // released, nothing is left to paint with
        ExpectReleaseLeavesNothingToPaint(name, b);
    }
}

TEST(ColourStrokes, CtrlPicksTheColourExceptWithTheRainbow) {
    for (const char *name : {"Xi_RollerBrush", "Xi_PipeBrush", "Xi_FurBrush"}) {
        PenlithBrush b(name, 30, 30);
        b.brush.SetParams(10, 100, 0);
        ASSERT_EQ(b.brush.Select(), 1);
        std::vector<uint8_t> before;
        ASSERT_NO_FATAL_FAILURE(CtrlPressPicks(name, b, 12, 7, before));
        EXPECT_EQ(b.canvas.Snapshot(), before) << name;
        b.brush.End();
    }
}

// The previews paint the patterned background and then the brush's own
// dabs at the centre: the rainbow once, the pipe six times, the fur three
// times, the roller as one dab of strength 1.
TEST(ColourPreview, BackgroundAndTheBrushsOwnDabsAtTheCentre) {
    for (const char *name : kBrushes) {
        PenlithBrush b(name, 8, 8);
        b.brush.SetParams(12, 100, 0);
        ASSERT_EQ(b.brush.Select(), 1);
        b.brush.ctx().color = brush_test::ColorValue(0, 0, 0);
        TestCanvas preview(64, 48);
        ASSERT_EQ(b.brush.Preview(preview), 1) << name;
        EXPECT_TRUE(preview.GuardsIntact(false)) << name;
        EXPECT_EQ(preview.Pixel(0, 0), Grey(96)) << name;
        EXPECT_EQ(preview.Pixel(63, 47), (Bgr{128, 149, 255})) << name;  // band 5 odd, cell 7 odd
        EXPECT_EQ(b.brush.PreviewDirty(), (Rect{26, 18, 38, 31})) << name;
        int changed = 0;
        for (int32_t y = 0; y < 48; ++y) {
            for (int32_t x = 0; x < 64; ++x) {
                if (preview.Pixel(x, y) == PreviewBackground(x, y)) continue;
                ASSERT_TRUE(x >= 26 && x < 38 && y >= 18 && y < 31) << name << " " << x << "," << y;
                ++changed;
            }
        }
        EXPECT_GT(changed, 4) << name;
    }
    // The roller's dab of strength 1 lays the peak itself: black at the core.
    PenlithBrush roller("Xi_RollerBrush", 8, 8);
    roller.brush.SetParams(12, 100, 0);
    ASSERT_EQ(roller.brush.Select(), 1);
    roller.brush.ctx().color = brush_test::ColorValue(0, 0, 0);
    TestCanvas preview(64, 48);
    ASSERT_EQ(roller.brush.Preview(preview), 1);
    EXPECT_EQ(preview.Pixel(32, 24), kBlack);
    // Six black pipe runs: its shadow side all but black (each run keeps
    // what the truncating division leaves, so 192 ends at 1).
    PenlithBrush pipe("Xi_PipeBrush", 8, 8);
    SetUpPipe(pipe, kWhite, 12, 100, 1, kBlack);
    ASSERT_EQ(pipe.brush.Preview(preview), 1);
    EXPECT_EQ(preview.Pixel(34, 26), Grey(1));
}

}  // namespace
