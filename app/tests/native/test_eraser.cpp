// The eraser's geometry: the rounded Newton root, the squares laid between
// two pointer positions and the clipped repaint rectangle.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

#include "eraser.h"

using namespace pintora;

namespace {

uint64_t FloorRoot(uint64_t d) {
    auto r = static_cast<uint64_t>(std::sqrt(static_cast<double>(d)));
    while (r * r > d) --r;
    while ((r + 1) * (r + 1) <= d) ++r;
    return r;
}

TEST(NewtonRoot, IsTheFloorOrTheNextRootFromAnyGuess) {
    for (uint64_t d = 0; d < 70000; ++d) {
        for (uint16_t start : {uint16_t{1}, uint16_t{2}, uint16_t{4}, uint16_t{7}, uint16_t{255}, uint16_t{65535}}) {
            uint16_t guess = start;
            const uint64_t r = NewtonRoot(d, guess);
            const uint64_t floor = FloorRoot(d);
            ASSERT_TRUE(r == floor || r == floor + 1) << "d=" << d << " guess=" << start << " r=" << r;
        }
    }
}

TEST(NewtonRoot, SmallDistancesAreTakenAsTheyAre) {
    uint16_t guess = 9;
    EXPECT_EQ(NewtonRoot(0, guess), 0u);
    EXPECT_EQ(NewtonRoot(1, guess), 1u);
    EXPECT_EQ(guess, 9) << "the guess is only replaced by a Newton result";
    EXPECT_EQ(NewtonRoot(100, guess), 10u);
    EXPECT_EQ(guess, 10);
    EXPECT_EQ(NewtonRoot(2, guess), 2u) << "rounded: (2/2 + 2 + 1) / 2 = 2";
}

TEST(NewtonRoot, ARootOf65536DoesNotLeaveAZeroGuess) {
    // dx = dy = 46341: the squared distance is just below 2^32 and the
    // rounded root is 65536, which does not fit the 16-bit guess.
    uint16_t guess = 4;
    const uint64_t d = 2ull * 46341 * 46341;
    const uint32_t r = NewtonRoot(d, guess);
    EXPECT_EQ(r, 65536u);
    EXPECT_NE(guess, 0) << "a zero guess would divide by zero at the next step";
    EXPECT_EQ(NewtonRoot(144, guess), 12u);
}

TEST(EraserTrack, APressErasesOneSquareCentredOnThePoint) {
    EraserTrack track;
    const EraserSegment s = track.Step({100, 50}, true, 640, 480);
    EXPECT_EQ(s.count, 1);
    const CanvasRect sq = EraserSquare(s, 0);
    EXPECT_EQ(sq.left, 87);
    EXPECT_EQ(sq.top, 37);
    EXPECT_EQ(sq.right, 113);
    EXPECT_EQ(sq.bottom, 63);
    EXPECT_EQ(s.repaint.left, 87);
    EXPECT_EQ(s.repaint.top, 37);
    EXPECT_EQ(s.repaint.right, 113);
    EXPECT_EQ(s.repaint.bottom, 63);
    EXPECT_EQ(track.last().x, 100);
}

TEST(EraserTrack, AFastDragLaysAboutAHundredSquaresExcludingThePreviousPoint) {
    EraserTrack track;
    track.Step({10, 200}, true, 1024, 768);
    const EraserSegment s = track.Step({310, 200}, false, 1024, 768);
    EXPECT_EQ(s.count, 100);  // r = 300, n = 300 / 3
    // Square i is centred at P + (L - P) * i / n: from the new point back
    // towards the previous one, in steps of 3 pixels, the last point
    // itself not repeated.
    for (int i = 0; i < s.count; ++i) {
        const CanvasRect sq = EraserSquare(s, i);
        EXPECT_EQ(sq.left + kEraserHalf, 310 - 3 * i);
        EXPECT_EQ(sq.top + kEraserHalf, 200);
        EXPECT_EQ(sq.right - sq.left, 26);
        EXPECT_EQ(sq.bottom - sq.top, 26);
    }
    EXPECT_EQ(EraserSquare(s, s.count - 1).left + kEraserHalf, 13);
    EXPECT_EQ(s.repaint.left, 0);  // 10 - 13 clipped
    EXPECT_EQ(s.repaint.right, 323);
    EXPECT_EQ(s.repaint.top, 187);
    EXPECT_EQ(s.repaint.bottom, 213);
}

TEST(EraserTrack, CentresUseSignedTruncatingDivision) {
    EraserTrack track;
    track.Step({50, 50}, true, 200, 200);
    // d = 7^2 + 10^2 = 149, rounded root 12, n = 4.
    const EraserSegment s = track.Step({43, 40}, false, 200, 200);
    ASSERT_EQ(s.count, 4);
    // L - P = (7, 10): centre i = (43 + 7 i / 4, 40 + 10 i / 4).
    const int cx[] = {43, 44, 46, 48};
    const int cy[] = {40, 42, 45, 47};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(EraserSquare(s, i).left + kEraserHalf, cx[i]) << i;
        EXPECT_EQ(EraserSquare(s, i).top + kEraserHalf, cy[i]) << i;
    }
    // And moving the other way: (L - P) negative, truncated toward zero.
    const EraserSegment back = track.Step({50, 50}, false, 200, 200);
    ASSERT_EQ(back.count, 4);
    const int bx[] = {50, 49, 47, 45};  // 50 + (-7 * i) / 4
    for (int i = 0; i < 4; ++i) EXPECT_EQ(EraserSquare(back, i).left + kEraserHalf, bx[i]) << i;
}

TEST(EraserTrack, RepaintIsClippedToTheCanvas) {
    EraserTrack track;
    track.Step({635, 475}, true, 640, 480);
    const EraserSegment s = track.Step({-20, -5}, false, 640, 480);
    EXPECT_EQ(s.repaint.left, 0);
    EXPECT_EQ(s.repaint.top, 0);
    EXPECT_EQ(s.repaint.right, 640);
    EXPECT_EQ(s.repaint.bottom, 480);
}

TEST(EraserTrack, TheGuessFollowsTheLastRoot) {
    EraserTrack track;
    EXPECT_EQ(track.guess(), 4);
    track.Step({0, 0}, true, 100, 100);
    EXPECT_EQ(track.guess(), 4) << "a press has distance 0";
    track.Step({30, 40}, false, 100, 100);
    EXPECT_EQ(track.guess(), 50);
}

TEST(EraserTrack, ExtremePointerJumpsStayFinite) {
    EraserTrack track;
    track.Step({-32768, -32768}, true, 1024, 768);
    const EraserSegment s = track.Step({32767, 32767}, false, 1024, 768);
    // Root of 2 * 65535^2 is 92680; n = 30893 squares.
    EXPECT_EQ(s.count, 30893);
    EXPECT_EQ(s.repaint.left, 0);
    EXPECT_EQ(s.repaint.right, 1024);
    const CanvasRect last = EraserSquare(s, s.count - 1);
    EXPECT_LT(last.left + kEraserHalf, -32760);
}

}  // namespace
