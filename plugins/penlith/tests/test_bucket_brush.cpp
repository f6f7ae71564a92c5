// The paint bucket driven through its entry point as the brush manager
// drives it: fills replayed against a slow reference written from the
// rules, outlines with and without a gap, a click on a line, the band's
// rectangle, the tolerance at its edges, the diagonal growth, a second
// click, one fill per stroke, the pick, a 1 x 1 canvas and a screen-sized
// serpentine.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <future>
#include <memory>
#include <thread>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

#include "penlith_checks.h"
#include "penlith_harness.h"

namespace {

using namespace penlith_test;

const char *const kBucket = "Xi_BucketBrush";
const Bgr kWhite{255, 255, 255};
const Bgr kBlack{0, 0, 0};

Bgr Toward(Bgr old, Bgr target, int a) {
    const auto channel = [a](int o, int t) { return static_cast<uint8_t>(o + (t - o) * a / 128); };
    return Bgr{channel(old.b, target.b), channel(old.g, target.g), channel(old.r, target.r)};
}

// What a click at (x, y) must leave, worked out from the rules in the
// plainest way: a breadth-first search for the matching pixels joined to
// the seed by edges, a pixel painted when it or a diagonal neighbour
// belongs to them and its row lies between the first rows without any
// match above and below the seed (the one below included).
struct Expected {
    std::vector<Bgr> pixels;  // row by row from the top
    Rect dirty;
};

Expected ReferenceFill(const TestCanvas &canvas, int32_t x0, int32_t y0, int tolerance, int a, Bgr target) {
    const int32_t w = canvas.width(), h = canvas.height();
    Expected e;
    for (int32_t y = 0; y < h; ++y) {
        for (int32_t x = 0; x < w; ++x) e.pixels.push_back(canvas.Pixel(x, y));
    }
    const Bgr seed = canvas.Pixel(x0, y0);
    const auto within = [tolerance](int v, int s) { return std::abs(v - s) < tolerance; };
    const auto matches = [&](int32_t x, int32_t y) {
        const Bgr p = canvas.Pixel(x, y);
        return within(p.b, seed.b) && within(p.g, seed.g) && within(p.r, seed.r);
    };
    const auto rowMatches = [&](int32_t y) {
        for (int32_t x = 0; x < w; ++x) {
            if (matches(x, y)) return true;
        }
        return false;
    };
    int32_t top = -1;  // the first row above the seed without a match
    for (int32_t y = y0 - 1; y >= 0 && top < 0; --y) {
        if (!rowMatches(y)) top = y;
    }
    int32_t bottom = h - 1;  // the last painted row
    for (int32_t y = y0 + 1; y < h; ++y) {
        if (!rowMatches(y)) {
            bottom = y;
            break;
        }
    }
    std::vector<uint8_t> area(static_cast<size_t>(w) * h, 0);
    std::vector<int32_t> queue{y0 * w + x0};
    area[queue[0]] = 1;
    for (size_t k = 0; k < queue.size(); ++k) {
        const int32_t x = queue[k] % w, y = queue[k] / w;
        const int32_t next[4][2] = {{x - 1, y}, {x + 1, y}, {x, y - 1}, {x, y + 1}};
        for (const auto &n : next) {
            if (n[0] < 0 || n[0] >= w || n[1] < 0 || n[1] >= h) continue;
            const int32_t i = n[1] * w + n[0];
            if (!area[i] && matches(n[0], n[1])) {
                area[i] = 1;
                queue.push_back(i);
            }
        }
    }
    const auto inArea = [&](int32_t x, int32_t y) { return x >= 0 && x < w && y >= 0 && y < h && area[y * w + x]; };
    for (int32_t y = top + 1; y <= bottom; ++y) {
        for (int32_t x = 0; x < w; ++x) {
            if (inArea(x, y) || inArea(x - 1, y - 1) || inArea(x + 1, y - 1) || inArea(x - 1, y + 1) ||
                inArea(x + 1, y + 1)) {
                Bgr &p = e.pixels[static_cast<size_t>(y) * w + x];
                p = Toward(p, target, a);
            }
        }
    }
    e.dirty = Rect{0, top, w, bottom + 1};
    return e;
}

// The first pixel where the canvas differs from the expectation, or "".
std::string FirstDifference(const TestCanvas &canvas, const Expected &e) {
    for (int32_t y = 0; y < canvas.height(); ++y) {
        for (int32_t x = 0; x < canvas.width(); ++x) {
            const Bgr got = canvas.Pixel(x, y), want = e.pixels[static_cast<size_t>(y) * canvas.width() + x];
            if (got != want) {
                return std::to_string(x) + "," + std::to_string(y) + ": " + ::testing::PrintToString(got) +
                       " instead of " + ::testing::PrintToString(want);
            }
        }
    }
    return "";
}

// A bucket over a white canvas: tolerance, density and colour set, selected.
struct Bucket : PenlithBrush {
    Bucket(int32_t width, int32_t height, int32_t tolerance = 20, int32_t density = 100, Bgr colour = Bgr{30, 60, 200})
        : PenlithBrush(kBucket, width, height), target(colour) {
        brush.SetParams(tolerance, density, 0);
        brush.ctx().color = brush_test::ColorValue(colour.r, colour.g, colour.b);
        EXPECT_EQ(brush.Select(), 1);
    }
    // A click at (x, y), checked against the reference; the stroke's result.
    int32_t ClickMatchingReference(int32_t x, int32_t y) {
        const int tolerance = brush.params()[0].value;
        const Expected e = ReferenceFill(canvas, x, y, tolerance, brush.params()[1].value * 128 / 100, target);
        const int32_t started = brush.Start(x, y);
        const Rect dirty = brush.Dirty();
        brush.End();
        EXPECT_EQ(FirstDifference(canvas, e), "") << "click at " << x << "," << y << " T " << tolerance;
        EXPECT_EQ(dirty, e.dirty) << "click at " << x << "," << y;
        EXPECT_TRUE(canvas.GuardsIntact());
        return started;
    }
    // Paints a filled rectangle of pixels (right and bottom exclusive).
    void Box(int32_t left, int32_t top, int32_t right, int32_t bottom, Bgr colour) {
        for (int32_t y = top; y < bottom; ++y) {
            for (int32_t x = left; x < right; ++x) canvas.SetPixel(x, y, colour);
        }
    }
    Bgr target;
};

// A ring of thickness 3 around (cx, cy) with inner radius r.
void Ring(Bucket &b, int32_t cx, int32_t cy, int32_t r) {
    for (int32_t y = 0; y < b.canvas.height(); ++y) {
        for (int32_t x = 0; x < b.canvas.width(); ++x) {
            const int32_t d2 = (x - cx) * (x - cx) + (y - cy) * (y - cy);
            if (d2 >= r * r && d2 < (r + 3) * (r + 3)) b.canvas.SetPixel(x, y, kBlack);
        }
    }
}

TEST(Bucket, IsExportedAndRefusesWhatEveryBrushRefuses) {
    ASSERT_TRUE(static_cast<bool>(PenlithEntry(kBucket)));
    Bucket b(16, 16);
    ExpectNullRecordAndCommandsRefused(kBucket, b, {0, 7});
    ExpectEightBitCanvasRefused(kBucket, 0);
    ExpectReleaseLeavesNothingToPaint(kBucket, b);
}

// Random blobs of four colours with a little noise, clicked at random
// points with tolerances and densities across their ranges.
TEST(Bucket, FillsMatchASlowReferenceOnRandomBlobs) {
    std::srand(25);
    const int32_t tolerances[] = {2, 5, 12, 40, 100};
    const int32_t densities[] = {1, 50, 90, 100};
    for (int round = 0; round < 20; ++round) {
        Bucket b(97, 61, tolerances[round % 5], densities[round % 4],
                 Bgr{static_cast<uint8_t>(std::rand() % 256), static_cast<uint8_t>(std::rand() % 256), 0});
        const Bgr colours[4] = {{250, 250, 250}, {20, 30, 40}, {200, 100, 50}, {90, 180, 120}};
        for (int blob = 0; blob < 60; ++blob) {
            const int32_t x = std::rand() % 97, y = std::rand() % 61;
            b.Box(x, y, std::min(97, x + 1 + std::rand() % 12), std::min(61, y + 1 + std::rand() % 8),
                  colours[std::rand() % 4]);
        }
        for (int32_t y = 0; y < 61; ++y) {
            for (int32_t x = 0; x < 97; ++x) {
                Bgr p = b.canvas.Pixel(x, y);
                p.g = static_cast<uint8_t>(std::min(255, p.g + std::rand() % 4));
                b.canvas.SetPixel(x, y, p);
            }
        }
        EXPECT_EQ(b.ClickMatchingReference(std::rand() % 97, std::rand() % 61), 1) << "round " << round;
    }
}

TEST(Bucket, AClosedOutlineFillsInsideOnlyAndAOnePixelGapLeaks) {
    Bucket closed(80, 60);
    Ring(closed, 40, 30, 15);
    const Bgr inside = Toward(kWhite, closed.target, 128);
    EXPECT_EQ(closed.ClickMatchingReference(40, 30), 1);
    EXPECT_EQ(closed.canvas.Pixel(40, 30), inside);
    EXPECT_EQ(closed.canvas.Pixel(40 + 14, 30), inside);
    for (int32_t y = 0; y < 60; ++y) {
        for (int32_t x = 0; x < 80; ++x) {
            const int32_t d2 = (x - 40) * (x - 40) + (y - 30) * (y - 30);
            if (d2 >= 18 * 18) {
                ASSERT_EQ(closed.canvas.Pixel(x, y), kWhite) << x << "," << y;
            }
        }
    }

    // The same ring with a gap one pixel wide straight through it.
    Bucket gapped(80, 60);
    Ring(gapped, 40, 30, 15);
    gapped.Box(55, 30, 58, 31, kWhite);
    EXPECT_EQ(gapped.ClickMatchingReference(40, 30), 1);
    EXPECT_EQ(gapped.canvas.Pixel(2, 2), inside);
    EXPECT_EQ(gapped.canvas.Pixel(79, 59), inside);
}

// A line of a colour far from the paper's: the line and the grown fringe
// below and beside it are painted, the row above the band is not.
TEST(Bucket, AClickOnALineFillsNothingBeyondTheLinesColourClass) {
    Bucket b(60, 40, 20, 100, Bgr{0, 255, 0});
    b.Box(10, 20, 50, 21, Bgr{200, 40, 40});
    EXPECT_EQ(b.ClickMatchingReference(30, 20), 1);
    EXPECT_EQ(b.canvas.Pixel(10, 20), (Bgr{0, 255, 0}));
    EXPECT_EQ(b.canvas.Pixel(9, 21), (Bgr{0, 255, 0}));   // diagonal to the line's end
    EXPECT_EQ(b.canvas.Pixel(8, 21), kWhite);
    EXPECT_EQ(b.canvas.Pixel(30, 19), kWhite);            // the row above the band
    EXPECT_EQ(b.canvas.Pixel(9, 20), kWhite);             // beside the line's end: no diagonal area neighbour
    EXPECT_EQ(b.brush.StrokeDirty(), (Rect{0, 19, 60, 22}));
}

TEST(Bucket, AUniformCanvasFillsWholeWithTheBandRectangle) {
    for (const auto &size : {std::pair<int32_t, int32_t>{50, 30}, {1, 1}, {1, 7}, {9, 1}}) {
        Bucket b(size.first, size.second, 20, 100, kBlack);
        ASSERT_EQ(b.brush.Start(size.first / 2, size.second / 2), 1);
        EXPECT_EQ(b.brush.Dirty(), (Rect{0, -1, size.first, size.second})) << size.first << "x" << size.second;
        b.brush.End();
        EXPECT_EQ(b.canvas.ChangedSince(std::vector<uint8_t>(b.canvas.Snapshot().size(), 0)), Rect{})
            << size.first << "x" << size.second;
        EXPECT_TRUE(b.canvas.GuardsIntact());
    }
}

// 3 x 3 blocks on a grey of 120: a block's centre is painted exactly when
// the block matches, since its diagonal neighbours lie in the block.
TEST(Bucket, ToleranceTwoAndHundredAtTheirEdges) {
    struct Case {
        int32_t tolerance;
        Bgr block;
        bool matches;
    };
    const Case cases[] = {
        {2, {121, 121, 121}, true},  {2, {119, 119, 119}, true},   {2, {122, 120, 120}, false},
        {2, {120, 118, 120}, false}, {2, {120, 120, 122}, false},  {100, {219, 219, 219}, true},
        {100, {21, 21, 21}, true},   {100, {220, 120, 120}, false}, {100, {120, 20, 120}, false},
        {100, {120, 120, 220}, false},
    };
    for (const Case &c : cases) {
        Bucket b(30, 30, c.tolerance, 100, kBlack);
        b.Box(0, 0, 30, 30, Bgr{120, 120, 120});
        b.Box(10, 10, 13, 13, c.block);
        EXPECT_EQ(b.ClickMatchingReference(2, 2), 1);
        EXPECT_EQ(b.canvas.Pixel(11, 11) == kBlack, c.matches)
            << "T " << c.tolerance << " block " << int{c.block.b} << "/" << int{c.block.g} << "/" << int{c.block.r};
    }
}

// A white square on black with a chain of white pixels leaving its corner
// diagonally: the first pixel of the chain and the black pixels along the
// square's edges are painted by the growth, the rest of the chain is not.
TEST(Bucket, CornerTouchingPixelsArePaintedByTheGrowthOnly) {
    Bucket b(40, 40, 10, 100, Bgr{0, 0, 255});
    b.Box(0, 0, 40, 40, kBlack);
    b.Box(5, 5, 15, 15, kWhite);
    for (int32_t k = 0; k < 5; ++k) b.canvas.SetPixel(15 + k, 15 + k, kWhite);
    EXPECT_EQ(b.ClickMatchingReference(8, 8), 1);
    const Bgr red{0, 0, 255};
    EXPECT_EQ(b.canvas.Pixel(15, 15), red);
    EXPECT_EQ(b.canvas.Pixel(16, 16), kWhite);
    EXPECT_EQ(b.canvas.Pixel(4, 9), red);    // just outside a straight edge
    EXPECT_EQ(b.canvas.Pixel(3, 9), kBlack);
    EXPECT_EQ(b.canvas.Pixel(4, 15), red);   // diagonal to the square's corner
    EXPECT_EQ(b.canvas.Pixel(4, 4), kBlack); // the same, but in the row above the band
}

TEST(Bucket, ASecondClickAtDensityNinetyMovesTheAreaFurtherTowardTheTarget) {
    Bucket b(20, 20, 20, 90, kBlack);
    b.Stroke({{5, 5}});
    EXPECT_EQ(b.canvas.Pixel(12, 17), Grey(255 - 255 * 115 / 128));  // 26
    b.Stroke({{5, 5}});
    EXPECT_EQ(b.canvas.Pixel(12, 17), Grey(26 - 26 * 115 / 128));  // 3
}

TEST(Bucket, OneFillPerStrokeAndNoneFromAStartOffTheCanvas) {
    Bucket b(40, 30, 20, 50, kBlack);
    b.Box(20, 0, 21, 30, Bgr{0, 0, 200});  // a wall: the right half is a second area
    ASSERT_EQ(b.brush.Start(5, 5), 1);
    EXPECT_EQ(b.brush.ctx().startX, -1024);
    EXPECT_EQ(b.brush.ctx().startY, -1024);
    const auto afterClick = b.canvas.Snapshot();
    EXPECT_EQ(b.brush.Drag(30, 10), 0);
    EXPECT_EQ(b.brush.Drag(5, 5), 0);
    EXPECT_EQ(b.canvas.Snapshot(), afterClick);
    b.brush.End();
    EXPECT_EQ(b.canvas.Pixel(30, 10), kWhite);

    Bucket off(40, 30);
    const auto before = off.canvas.Snapshot();
    EXPECT_EQ(off.brush.Start(-1, 5), 0);
    EXPECT_EQ(off.brush.Drag(10, 10), 0);
    EXPECT_EQ(off.brush.Start(5, 30), 0);
    EXPECT_EQ(off.canvas.Snapshot(), before);
    // Refused without touching the rectangle fields.
    off.brush.AttachCanvas();
    PlugInBrushContext &ctx = off.brush.ctx();
    ctx.curX = ctx.prevX = ctx.startX = 40;
    ctx.curY = ctx.prevY = ctx.startY = 3;
    ctx.dirtyLeft = ctx.dirtyTop = 3, ctx.dirtyRight = ctx.dirtyBottom = 9;
    EXPECT_EQ(off.brush.Send(BRUSHCMD_PAINT), 0);
    EXPECT_EQ(off.brush.Dirty(), (Rect{3, 3, 9, 9}));
    EXPECT_EQ(off.canvas.Snapshot(), before);
}

TEST(Bucket, TheCtrlPressPicksTheColourAndFillsNothing) {
    Bucket b(20, 20);
    std::vector<uint8_t> before;
    ASSERT_NO_FATAL_FAILURE(CtrlPressPicks(kBucket, b, 7, 7, before));
    EXPECT_TRUE(b.brush.Dirty().IsZero());
    b.brush.End();
    EXPECT_EQ(b.canvas.Snapshot(), before);
}

// Corridors one pixel wide winding through a canvas of the largest screen
// size: about four million runs joined end to end, which no recursive fill
// survives; and through 80 x 50 pixels, just under the 2048 runs up to
// which the plug-in leaves the connected part to the platform.  The last
// corridor is sealed off and stays unpainted.
TEST(Bucket, SerpentinesFillWithoutExhaustingTheStack) {
    for (const auto &size : {std::pair<int32_t, int32_t>{3840, 2160}, {80, 50}}) {
        const int32_t w = size.first, h = size.second;
        Bucket b(w, h, 20, 100, Bgr{0, 0, 255});
        for (int32_t x = 1; x < w; x += 2) {
            const int32_t gap = (x / 2) % 2 == 0 ? h - 1 : 0;  // alternately open at the bottom and the top
            for (int32_t y = 0; y < h; ++y) {
                if (y != gap || x == w - 3) b.canvas.SetPixel(x, y, kBlack);
            }
        }
        EXPECT_EQ(b.ClickMatchingReference(0, 0), 1);
        EXPECT_EQ(b.canvas.Pixel(w - 4, h / 2), (Bgr{0, 0, 255})) << w;
        EXPECT_EQ(b.canvas.Pixel(w - 2, h / 2), kWhite) << w;
    }
}

#ifdef _WIN32
// With every GDI handle of the process taken, the one-bit picture cannot be
// made: the click is refused, the canvas stays as it was, and another
// thread can still paint (the lock was left).
TEST(Bucket, AMaskThatCannotBeMadeLeavesTheCanvasAndTheLockAlone) {
    Bucket b(64, 48);
    const auto before = b.canvas.Snapshot();
    std::vector<HBRUSH> hoard;
    for (HBRUSH brush; hoard.size() < 200000 && (brush = CreateSolidBrush(RGB(1, 2, 3))) != nullptr;) {
        hoard.push_back(brush);
    }
    const int32_t started = b.brush.Start(10, 10);
    for (HBRUSH brush : hoard) DeleteObject(brush);
    ASSERT_LT(hoard.size(), 200000u) << "the GDI handles never ran out";
    EXPECT_EQ(started, 0);
    EXPECT_EQ(b.canvas.Snapshot(), before);

    ExpectLockFree("Xi_BucketBrush");
    EXPECT_EQ(b.brush.Start(10, 10), 1);
}
#endif

}  // namespace
