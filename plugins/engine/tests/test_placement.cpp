// Distances, dab spacing, clipping and the dirty rectangle.
#include <cmath>
#include <algorithm>
#include <climits>
#include <cstdlib>
#include <tuple>

#include "engine_test_support.h"

namespace {

using namespace engine_test;

// ----------------------------------------------------------- the root --

bool IsRoundedRoot(uint64_t v, uint64_t g) {
    if (v < 2) return g == v;
    return g * (g - 1) <= v && v < g * (g + 1);
}

TEST(IntegerRoot, IsTheRoundedRootFromAnyStartingGuess) {
    brush::EngineState engine;
    const uint16_t guesses[] = {1, 2, 4, 100, 4000, 65535};
    for (uint16_t guess : guesses) {
        for (uint32_t v = 0; v < 20000; ++v) {
            engine.sqrtGuess = guess;
            ASSERT_TRUE(IsRoundedRoot(v, brush::IntegerRoot(engine, v))) << "v " << v << " guess " << guess;
        }
    }
    std::srand(7);
    for (int k = 0; k < 20000; ++k) {
        const uint32_t v = (static_cast<uint32_t>(std::rand()) << 17) ^ (static_cast<uint32_t>(std::rand()) << 2);
        engine.sqrtGuess = static_cast<uint16_t>(std::rand());
        ASSERT_TRUE(IsRoundedRoot(v, brush::IntegerRoot(engine, v))) << "v " << v;
    }
    // Exactly at g (g - 1) the root is g; the largest values still work.
    EXPECT_EQ(brush::IntegerRoot(engine, 12), 4u);
    EXPECT_EQ(brush::IntegerRoot(engine, 11), 3u);
    EXPECT_EQ(brush::IntegerRoot(engine, 0xFFFFFFFFu), 65536u);
    EXPECT_EQ(brush::IntegerRoot(engine, 65535u * 65536u - 1), 65535u);
}

TEST(IntegerRoot, RemembersItsLastResultAsTheNextGuess) {
    brush::EngineState engine;
    brush::IntegerRoot(engine, 10000);
    EXPECT_EQ(engine.sqrtGuess, 100);
}

TEST(Distance, IsEightTimesTheDistanceRounded) {
    brush::EngineState engine;
    EXPECT_EQ(brush::GetDistance8(engine, 0, 0, 5, 0), 40);
    EXPECT_EQ(brush::GetDistance8(engine, 3, 4, 0, 0), 40);
    EXPECT_EQ(brush::GetDistance8(engine, 0, 0, 1, 1), 11);  // 11.31
    EXPECT_EQ(brush::GetDistance8(engine, 7, 7, 7, 7), 0);
    EXPECT_EQ(brush::GetDistance8(engine, 0, 0, 0, 1), 8);
}

TEST(Distance, SaturatesInsteadOfWrappingOnHugeMoves) {
    brush::EngineState engine;
    // 64 (dx^2 + dy^2) no longer fits 32 bits here; a wrapped value would
    // make the brush think the pointer had hardly moved.
    EXPECT_EQ(brush::GetDistance8(engine, 0, 0, 9000, 0), 65535);
    EXPECT_EQ(brush::GetDistance8(engine, -2147483647 - 1, 0, 2147483647, 2147483647), 65535);
    EXPECT_EQ(brush::GetDistance8(engine, 0, 0, 8191, 0), 65528);
}

TEST(Distance, TipDiagonalOfA30PixelTipIs339) {
    TestCanvas canvas(40, 40);
    EngineRecord rec(canvas, 30, 30);
    EXPECT_EQ(brush::TipDiagonal8(rec.engine, rec.get()), 339u);
}

// ------------------------------------------------------ pressure spacing --

class PressureSpacing : public ::testing::Test {
protected:
    PressureSpacing() : canvas(200, 100), rec(canvas, 30, 30) {}
    int32_t CountDabs(std::vector<int32_t> *xs = nullptr) {
        brush::DirtyRect rect;
        brush::DabPlace place;
        int32_t n = 0;
        while (brush::GetDabPlace(rec.engine, rec.get(), &place, &rect, n)) {
            if (xs) xs->push_back(place.canvasX + rec->tipWidth / 2 - place.tipX);
            ++n;
        }
        return n;
    }
    TestCanvas canvas;
    EngineRecord rec;
};

TEST_F(PressureSpacing, FiveInAThirtyPixelTipPlacesNoDabAndPullsCurBack) {
    rec.Segment(100, 50, 105, 50);
    brush::DirtyRect rect{1, 2, 3, 4};
    brush::DabPlace place;
    EXPECT_EQ(brush::GetDabPlace(rec.engine, rec.get(), &place, &rect, 0), 0);
    EXPECT_EQ(rec->curX, 100);
    EXPECT_EQ(rec->curY, 50);
    EXPECT_TRUE(ToRect(rect).IsZero());
}

TEST_F(PressureSpacing, SixPixelsPlaceOneDabFivePointThreeFromPrev) {
    rec.Segment(100, 50, 106, 50);
    std::vector<int32_t> xs;
    EXPECT_EQ(CountDabs(&xs), 1);
    ASSERT_EQ(xs.size(), 1u);
    EXPECT_EQ(xs[0], 105);  // 100 + 5.297, truncated
    EXPECT_EQ(rec->curX, 106);
}

TEST_F(PressureSpacing, AClickPlacesExactlyOneDabOnCur) {
    rec.Segment(40, 30, 40, 30);
    std::vector<int32_t> xs;
    EXPECT_EQ(CountDabs(&xs), 1);
    EXPECT_EQ(xs, std::vector<int32_t>{40});
}

TEST_F(PressureSpacing, DabsFollowOneSpacingApartAndOvershootByLessThanTwoThirds) {
    rec.Segment(10, 50, 110, 50);  // dist8 800, spacing 42.375
    std::vector<int32_t> xs;
    const int32_t n = CountDabs(&xs);
    // dab n exists while 800 >= 42.375 (n + 1/3): n = 0 .. 18
    EXPECT_EQ(n, 19);
    for (int32_t k = 0; k < n; ++k) {
        EXPECT_EQ(xs[k], 10 + static_cast<int32_t>((k + 1) * 42.375 / 8)) << "dab " << k;
    }
    EXPECT_LE(xs.back(), 110 + 4);
}

TEST_F(PressureSpacing, LightPressureSpacesCloserAndBelowTwoPaintsNothing) {
    rec.Segment(10, 50, 110, 50);
    rec->pressure = 64;
    EXPECT_EQ(CountDabs(), 38);  // half the spacing: 800 >= 21.19 (n + 1/3)
    rec->pressure = 1;
    brush::DirtyRect rect;
    brush::DabPlace place;
    EXPECT_EQ(brush::GetDabPlace(rec.engine, rec.get(), &place, &rect, 0), 0);
    rec.Segment(10, 50, 10, 50);
    EXPECT_EQ(brush::GetDabPlace(rec.engine, rec.get(), &place, &rect, 0), 0);
}

TEST_F(PressureSpacing, DiagonalDabCentresAreTruncatedTowardZero) {
    // Toward negative coordinates the centre is truncated toward zero, not
    // floored: a dab a fraction left of x = 0 still centres on column 0.
    rec.Segment(3, 50, -97, 50);
    brush::DirtyRect rect;
    brush::DabPlace place;
    ASSERT_EQ(brush::GetDabPlace(rec.engine, rec.get(), &place, &rect, 0), 1);
    // 3 - 5.297 = -2.297 -> -2: the tip reaches from -17 to 12
    EXPECT_EQ(rect.right, -2 + 15);
}

// --------------------------------------------------------- ratio spacing --

TEST(RatioSpacing, PercentIsTruncatedTo128ths) {
    EXPECT_EQ(brush::RatioSpacingK(10), 12);
    EXPECT_EQ(brush::RatioSpacingK(8), 10);
    EXPECT_EQ(brush::RatioSpacingK(20), 25);
    EXPECT_EQ(brush::RatioSpacingK(25), 32);
    EXPECT_EQ(brush::RatioSpacingK(4), 5);
    EXPECT_EQ(brush::RatioSpacingK(1), 1);
    // A zero or negative spacing would never reach the segment's end.
    EXPECT_EQ(brush::RatioSpacingK(0), 1);
    EXPECT_EQ(brush::RatioSpacingK(-50), 1);
}

int32_t FirstDabWithRatio(EngineRecord &rec, int32_t percent, int32_t dx) {
    rec.Segment(100, 100, 100 + dx, 100);
    brush::DirtyRect rect;
    brush::DabPlace place;
    return brush::GetDabPlaceByRatio(rec.engine, rec.get(), &place, &rect, percent, 0);
}

TEST(RatioSpacing, TheTruncatedSpacingDecidesWhenTheFirstDabComes) {
    TestCanvas canvas(300, 200);
    EngineRecord rec(canvas, 100, 100);  // D = 1131
    // 10 percent: s8 = 1131 x 12 / 128 = 106 (an exact 10 % would be 113)
    EXPECT_EQ(FirstDabWithRatio(rec, 10, 13), 0);
    EXPECT_EQ(rec->curX, 100);
    EXPECT_EQ(FirstDabWithRatio(rec, 10, 14), 1);
    // 8 percent: s8 = 88; 20 percent: s8 = 220
    EXPECT_EQ(FirstDabWithRatio(rec, 8, 10), 0);
    EXPECT_EQ(FirstDabWithRatio(rec, 8, 11), 1);
    EXPECT_EQ(FirstDabWithRatio(rec, 20, 27), 0);
    EXPECT_EQ(FirstDabWithRatio(rec, 20, 28), 1);
}

TEST(RatioSpacing, PlacesDabsAtWholeSpacingsUpToTheEnd) {
    TestCanvas canvas(300, 200);
    EngineRecord rec(canvas, 100, 100);
    rec.Segment(50, 100, 250, 100);  // dist8 1600, s8 = 1131 x 32 / 128 = 282
    brush::DirtyRect rect;
    brush::DabPlace place;
    int32_t n = 0;
    while (brush::GetDabPlaceByRatio(rec.engine, rec.get(), &place, &rect, 25, n)) {
        const int64_t offset = int64_t{200} * (n + 1) * 1131 * 32 / (1600 * 128);
        EXPECT_EQ(place.canvasX - place.tipX + 50, 50 + offset) << "dab " << n;
        ++n;
    }
    // 1131 x 32 x n / 128 + 1131 x 32 / 384 <= 1600 holds up to n = 5
    EXPECT_EQ(n, 6);
}

TEST(PixelSpacing, OneDabPerPixelOfPath) {
    TestCanvas canvas(100, 100);
    EngineRecord rec(canvas, 3, 3);
    rec.Segment(10, 20, 20, 20);
    brush::DirtyRect rect;
    brush::DabPlace place;
    int32_t n = 0;
    while (brush::GetDabPlaceByPixel(rec.engine, rec.get(), &place, &rect, n)) {
        EXPECT_EQ(place.canvasX + 1, 11 + n) << "dab " << n;
        ++n;
    }
    EXPECT_EQ(n, 11);  // n = 0 .. dist8 / 8, the last one past cur
    EXPECT_EQ(rec->curX, 20);
}

// ------------------------------------------------ clipping and rectangle --

// Where the tip of a dab centred on (x, y) meets the canvas, worked out
// pixel by pixel: tip pixel (i, j) lands on column x - w/2 + i and memory
// row (height - 1 - y) - h/2 + j.
brush::DabPlace BruteForcePlace(int32_t W, int32_t H, int32_t w, int32_t h, int32_t x, int32_t y) {
    brush::DabPlace p;
    int32_t firstI = -1, countI = 0, firstJ = -1, countJ = 0;
    for (int32_t i = 0; i < w; ++i) {
        const int32_t col = x - w / 2 + i;
        if (col >= 0 && col < W) {
            if (firstI < 0) firstI = i;
            ++countI;
        }
    }
    for (int32_t j = 0; j < h; ++j) {
        const int32_t row = (H - 1 - y) - h / 2 + j;
        if (row >= 0 && row < H) {
            if (firstJ < 0) firstJ = j;
            ++countJ;
        }
    }
    p.sizeW = countI;
    p.sizeH = countJ;
    if (countI) {
        p.tipX = firstI;
        p.canvasX = x - w / 2 + firstI;
    }
    if (countJ) {
        p.tipY = firstJ;
        p.canvasRow = (H - 1 - y) - h / 2 + firstJ;
    }
    return p;
}

TEST(Clipping, MatchesThePixelsOfTheTipThatFallOnTheCanvasAtEveryEdge) {
    TestCanvas canvas(23, 17);
    const int32_t sizes[][2] = {{1, 1}, {2, 2}, {5, 5}, {6, 4}, {30, 30}, {31, 9}};
    for (const auto &size : sizes) {
        EngineRecord rec(canvas, size[0], size[1]);
        for (int32_t y = -25; y < 45; y += 3) {
            for (int32_t x = -25; x < 50; x += 2) {
                rec.Segment(x, y, x, y);
                brush::DirtyRect rect;
                brush::DabPlace got;
                ASSERT_EQ(brush::GetDabPlace(rec.engine, rec.get(), &got, &rect, 0), 1);
                const brush::DabPlace want = BruteForcePlace(23, 17, size[0], size[1], x, y);
                const std::string where = "tip " + std::to_string(size[0]) + "x" + std::to_string(size[1]) +
                                          " at " + std::to_string(x) + "," + std::to_string(y);
                ASSERT_EQ(got.sizeW, want.sizeW) << where;
                ASSERT_EQ(got.sizeH, want.sizeH) << where;
                if (want.sizeW > 0 && want.sizeH > 0) {
                    ASSERT_EQ(got.tipX, want.tipX) << where;
                    ASSERT_EQ(got.tipY, want.tipY) << where;
                    ASSERT_EQ(got.canvasX, want.canvasX) << where;
                    ASSERT_EQ(got.canvasRow, want.canvasRow) << where;
                }
            }
        }
    }
}

TEST(DirtyRect, CoversTheDabWithASpareRowAbove) {
    TestCanvas canvas(100, 100);
    EngineRecord rec(canvas, 20, 20);
    rec.Segment(50, 50, 50, 50);
    brush::DirtyRect rect;
    brush::DabPlace place;
    ASSERT_EQ(brush::GetDabPlace(rec.engine, rec.get(), &place, &rect, 0), 1);
    // painted rows 41..60 and columns 40..59; the rectangle starts one row
    // higher
    EXPECT_EQ(ToRect(rect), (Rect{40, 40, 60, 61}));
}

TEST(DirtyRect, ReachesPastTheRightAndTopEdgesButNotLeftAndBottom) {
    TestCanvas canvas(30, 30);
    EngineRecord rec(canvas, 10, 10);
    brush::DirtyRect rect;
    brush::DabPlace place;
    rec.Segment(28, 1, 28, 1);
    ASSERT_EQ(brush::GetDabPlace(rec.engine, rec.get(), &place, &rect, 0), 1);
    EXPECT_EQ(ToRect(rect), (Rect{23, -4, 33, 7}));
    rec.Segment(1, 28, 1, 28);
    ASSERT_EQ(brush::GetDabPlace(rec.engine, rec.get(), &place, &rect, 0), 1);
    EXPECT_EQ(ToRect(rect), (Rect{0, 23, 6, 30}));
}

TEST(DirtyRect, ADabWhollyOutsideStillCountsAndWidensTheRectangle) {
    TestCanvas canvas(60, 40);
    EngineRecord rec(canvas, 10, 10);
    rec.Segment(50, 20, 120, 20);  // runs off the right edge
    brush::DirtyRect rect;
    brush::DabPlace place;
    int32_t n = 0, outside = 0;
    while (brush::GetDabPlace(rec.engine, rec.get(), &place, &rect, n)) {
        if (place.sizeW == 0) ++outside;
        ++n;
    }
    EXPECT_GT(outside, 0);
    EXPECT_EQ(n, 40);  // 560 >= 14.125 (n + 1/3) up to n = 39
    EXPECT_GT(rect.right, 120);
    EXPECT_EQ(rect.left, 46);
}

// A walk of many dabs gives what placing one dab at a time gives; a single
// dab (cur = prev) lands where 64-bit arithmetic, saturated to 32 bits,
// puts it, on tips and canvases small enough for 32-bit placement and on
// ones far too large (placing never touches the pixels or the tip).
TEST(DabWalk, PlacesWhatOneDabAtATimeAndSixtyFourBitsPlace) {
    TestCanvas canvas(4, 4);
    std::srand(77);
    auto coordinate = [](bool mayBeFar) {
        const int32_t far = (1 << 24) + std::rand() % 1000;
        return mayBeFar && std::rand() % 4 == 0 ? (std::rand() % 2 ? far : -far) : std::rand() % 400 - 60;
    };
    auto sat = [](int64_t v) {
        return static_cast<int32_t>(std::min<int64_t>(std::max<int64_t>(v, INT32_MIN), INT32_MAX));
    };
    const brush::DabSpacing spacings[] = {brush::DabSpacing::Pressure(), brush::DabSpacing::Ratio(7),
                                          brush::DabSpacing::Pixel()};
    for (int trial = 0; trial < 2000; ++trial) {
        const bool wideCanvas = trial % 5 == 0, single = trial % 2 == 0;
        EngineRecord rec(canvas, 1, 1);
        rec->tipWidth = trial % 7 == 0 ? (1 << 24) + 1 + std::rand() % 9 : 1 + std::rand() % 40;
        rec->tipHeight = 1 + std::rand() % 40;
        rec->width = wideCanvas ? INT32_MAX - std::rand() % 100 : 1 + std::rand() % 300;
        rec->height = wideCanvas ? INT32_MAX - std::rand() % 100 : 1 + std::rand() % 300;
        rec->pressure = 32 + std::rand() % 300;
        rec.Segment(coordinate(single), coordinate(single), coordinate(false), coordinate(false));
        if (single) rec->curX = rec->prevX, rec->curY = rec->prevY;
        const brush::DabSpacing spacing = spacings[trial % 3];
        PlugInBrushContext alone = *rec.get();
        const brush::DabWalk walk(rec.engine, rec.get(), spacing);
        brush::DirtyRect walkedRect, aloneRect;
        for (int32_t n = 0; n < 2000; ++n) {
            brush::DabPlace got, want;
            brush::EngineState fresh;
            const int placed = walk.Place(&got, &walkedRect, n);
            ASSERT_EQ(placed, brush::PlaceDab(fresh, &alone, &want, &aloneRect, spacing, n)) << trial << " " << n;
            ASSERT_EQ(ToRect(walkedRect), ToRect(aloneRect)) << trial << " " << n;
            ASSERT_EQ(std::make_pair(rec->curX, rec->curY), std::make_pair(alone.curX, alone.curY));
            if (!placed) break;
            ASSERT_EQ(std::make_tuple(got.tipX, got.tipY, got.canvasX, got.canvasRow, got.sizeW, got.sizeH),
                      std::make_tuple(want.tipX, want.tipY, want.canvasX, want.canvasRow, want.sizeW, want.sizeH));
        }
        if (!single) continue;
        const int64_t x = std::max(-(1 << 24), std::min(1 << 24, rec->curX));
        const int64_t y = std::max(-(1 << 24), std::min(1 << 24, rec->curY));
        const int64_t W = rec->width, H = rec->height, w = rec->tipWidth, h = rec->tipHeight;
        const int64_t left = x - w / 2, right = x + (w + 1) / 2;
        const int64_t rowStart = H - 1 - y - h / 2, rowEnd = H - 1 - y + (h + 1) / 2;
        const int64_t clippedLeft = std::max<int64_t>(left, 0), clippedStart = std::max<int64_t>(rowStart, 0);
        brush::DabPlace got;
        brush::DirtyRect rect;
        ASSERT_EQ(walk.Place(&got, &rect, 0), 1);
        ASSERT_EQ(std::make_tuple(got.tipX, got.tipY, got.canvasX, got.canvasRow, got.sizeW, got.sizeH),
                  std::make_tuple(sat(clippedLeft - left), sat(clippedStart - rowStart), sat(clippedLeft),
                                  sat(clippedStart), sat(std::max<int64_t>(0, std::min(right, W) - clippedLeft)),
                                  sat(std::max<int64_t>(0, std::min(rowEnd, H) - clippedStart))))
            << trial;
        ASSERT_EQ(ToRect(rect), (Rect{sat(clippedLeft), sat(H - rowEnd - 1), sat(right), sat(H - clippedStart)}))
            << trial;
    }
}

// ------------------------------------------------------ Shift constraint --

TEST(ShiftConstraint, BendsTheFirstSegmentByItsLongerSideWithTiesGoingVertical) {
    TestCanvas canvas(50, 50);
    EngineRecord rec(canvas, 3, 3);
    rec->flags = BRUSHKEY_SHIFT;
    const int32_t cases[][4] = {{30, 15, 30, 10}, {15, 30, 10, 30}, {20, 20, 10, 20}};
    for (const auto &c : cases) {
        rec.Segment(10, 10, c[0], c[1]);
        ASSERT_EQ(brush::BeginBrushDraw(rec.get(), nullptr), 1);
        EXPECT_EQ(rec->curX, c[2]) << c[0] << "," << c[1];
        EXPECT_EQ(rec->curY, c[3]) << c[0] << "," << c[1];
    }
}

TEST(ShiftConstraint, LaterSegmentsKeepTheDirectionOfThePreviousPoint) {
    TestCanvas canvas(50, 50);
    EngineRecord rec(canvas, 3, 3);
    rec->flags = BRUSHKEY_SHIFT;
    rec->startX = 10, rec->startY = 10;
    rec->prevX = 30, rec->prevY = 10;  // the stroke went horizontal
    rec->curX = 31, rec->curY = 40;    // a steep move is flattened
    ASSERT_EQ(brush::BeginBrushDraw(rec.get(), nullptr), 1);
    EXPECT_EQ(rec->curX, 31);
    EXPECT_EQ(rec->curY, 10);
    rec->flags = 0;
    rec->curY = 40;
    ASSERT_EQ(brush::BeginBrushDraw(rec.get(), nullptr), 1);
    EXPECT_EQ(rec->curY, 40);
}

}  // namespace
