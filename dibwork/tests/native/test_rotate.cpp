// Rotation kernels under the sanitizers: quarter and half turns against a
// slow pixel-by-pixel reference for every format (1-bit widths that are not
// a multiple of 8 included), the free rotation's size and fixed-point
// sampling, and its direction against the quarter turn.
#include <gtest/gtest.h>

#include <climits>
#include <random>

#include "kernel_pictures.h"
#include "pixel_rows.h"
#include "rotate.h"

using namespace dibwork;
using kernel_test::Picture;

namespace {

// Pixel value of any turnable format at (x, y from the top).
uint32_t PixelAt(const PixelView &v, int x, int y) {
    const uint8_t *row = v.Row(y);
    if (v.bitCount == 24) return row[3 * x] | (row[3 * x + 1] << 8) | (row[3 * x + 2] << 16);
    return IndexAt(row, x, v.bitCount);
}

TEST(QuarterTurns, EveryFormatMovesEachPixelOnce) {
    std::mt19937 rng(11);
    for (int bits : {1, 4, 8, 24}) {
        for (auto [w, h] : {std::pair{13, 5}, std::pair{8, 3}, std::pair{1, 9}, std::pair{17, 1}}) {
            Picture src(w, h, bits), right(h, w, bits), left(h, w, bits), back(w, h, bits);
            src.FillRandom(rng);
            right.FillRandom(rng);  // stale bits must not survive in 1-bit rows
            ASSERT_TRUE(QuarterTurnRight(src.view, right.view));
            ASSERT_TRUE(QuarterTurnLeft(src.view, left.view));
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x) {
                    ASSERT_EQ(PixelAt(right.view, h - 1 - y, x), PixelAt(src.view, x, y)) << bits << " " << x << "," << y;
                    ASSERT_EQ(PixelAt(left.view, y, w - 1 - x), PixelAt(src.view, x, y)) << bits << " " << x << "," << y;
                }
            // Right then left gives the picture back, bits of partial bytes
            // included.
            ASSERT_TRUE(QuarterTurnLeft(right.view, back.view));
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x) ASSERT_EQ(PixelAt(back.view, x, y), PixelAt(src.view, x, y));
        }
    }
}

TEST(HalfTurn, MirrorsBothWaysIncludingNibbles) {
    std::mt19937 rng(5);
    for (int bits : {1, 4, 8, 24}) {
        Picture src(7, 4, bits), dst(7, 4, bits);
        src.FillRandom(rng);
        dst.FillRandom(rng);
        ASSERT_TRUE(HalfTurn(src.view, dst.view));
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 7; ++x) ASSERT_EQ(PixelAt(dst.view, 6 - x, 3 - y), PixelAt(src.view, x, y)) << bits;
    }
    // 4 bits, 3 pixels 0x1, 0x2, 0x3 in one row: 0x32, 0x10 after the turn.
    Picture nib(3, 1, 4), out(3, 1, 4);
    nib.bytes[0] = 0x12;
    nib.bytes[1] = 0x30;
    ASSERT_TRUE(HalfTurn(nib.view, out.view));
    EXPECT_EQ(out.bytes[0], 0x32);
    EXPECT_EQ(out.bytes[1], 0x10);
}

TEST(Turns, RefuseWrongSizesAndFormats) {
    Picture src(4, 2, 24), wrong(4, 2, 24), grey(2, 4, 8), deep(4, 2, 32), deepOut(2, 4, 32);
    EXPECT_FALSE(QuarterTurnRight(src.view, wrong.view));
    EXPECT_FALSE(QuarterTurnLeft(src.view, grey.view));
    EXPECT_FALSE(QuarterTurnRight(deep.view, deepOut.view));
    EXPECT_FALSE(HalfTurn(src.view, PixelView{}));
}

TEST(Angles, AnyIntegerComesIntoARange) {
    EXPECT_EQ(NormaliseDegrees(-90), 270);
    EXPECT_EQ(NormaliseDegrees(450), 90);
    EXPECT_EQ(NormaliseDegrees(-360), 0);
    EXPECT_EQ(NormaliseDegrees(-1), 359);
    EXPECT_EQ(NormaliseDegrees(INT_MAX), INT_MAX % 360);
    EXPECT_EQ(NormaliseDegrees(INT_MIN), static_cast<int>((int64_t{INT_MIN} % 360 + 360) % 360));
}

TEST(FreeRotation, FortyFiveDegreesOfASquare) {
    const FreeRotation p = PlanFreeRotation(45, 100, 100);
    EXPECT_EQ(p.cs, 2896);
    EXPECT_EQ(p.sn, 2896);
    EXPECT_EQ(p.width, 142);
    EXPECT_EQ(p.height, 142);

    Picture src(100, 100, 24), dst(142, 142, 24);
    src.Fill(10, 20, 30);
    dst.Fill(1, 2, 3);  // the background
    ASSERT_TRUE(FreeRotate(src.view, dst.view, p));
    for (auto [x, y] : {std::pair{0, 0}, std::pair{141, 0}, std::pair{0, 141}, std::pair{141, 141}}) {
        EXPECT_EQ(dst.At(x, y)[0], 1) << x << "," << y;
    }
    // A uniform source blends to its own colour everywhere it is sampled.
    EXPECT_EQ(dst.At(71, 71)[0], 10);
    EXPECT_EQ(dst.At(71, 71)[2], 30);
    EXPECT_EQ(dst.At(71, 5)[1], 20);
}

TEST(FreeRotation, NinetyDegreesOfAnOddPictureIsTheClockwiseQuarterTurn) {
    // CS = 0, SN = 4096: for odd sizes the sampling lands exactly on the
    // pixels the quarter turn moves, which pins the direction (clockwise
    // on screen) and the centre arithmetic.
    std::mt19937 rng(2);
    Picture src(7, 5, 8), turned(5, 7, 8), free(5, 7, 8);
    src.FillRandom(rng);
    const FreeRotation p = PlanFreeRotation(90, 7, 5);
    ASSERT_EQ(p.sn, 4096);
    ASSERT_EQ(p.cs, 0);
    ASSERT_EQ(p.width, 5);
    ASSERT_EQ(p.height, 7);
    ASSERT_TRUE(QuarterTurnRight(src.view, turned.view));
    ASSERT_TRUE(FreeRotate(src.view, free.view, p));
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 5; ++x) ASSERT_EQ(PixelAt(free.view, x, y), PixelAt(turned.view, x, y)) << x << "," << y;
}

TEST(FreeRotation, BilinearWeightsComeFromTheSixtyFourths) {
    // 3 x 2 source, 24 bits: the result pixel whose X, Y fall between the
    // four top-left pixels blends them with fx = (X >> 6) & 63 and
    // fy = (Y >> 6) & 63; check one pixel against the formula by hand.
    Picture src(3, 2, 24);
    src.Set(0, 0, 0, 0, 0);
    src.Set(1, 0, 64, 64, 64);
    src.Set(0, 1, 128, 128, 128);
    src.Set(1, 1, 192, 192, 192);
    const FreeRotation p = PlanFreeRotation(10, 3, 2);
    Picture dst(static_cast<int>(p.width), static_cast<int>(p.height), 24);
    ASSERT_TRUE(FreeRotate(src.view, dst.view, p));
    const int64_t halfW = p.width / 2, halfH = p.height / 2;
    bool checked = false;
    for (int j = 0; j < p.height; ++j)
        for (int i = 0; i < p.width; ++i) {
            const int64_t X = 1 * 4096 + (i - halfW) * p.cs - (j - halfH) * p.sn + 2048;
            const int64_t Y = 1 * 4096 + (i - halfW) * p.sn + (j - halfH) * p.cs + 2048;
            if (X < 0 || Y < 0 || X / 4096 != 0 || Y / 4096 != 0) continue;
            const int fx = static_cast<int>((X >> 6) & 63), fy = static_cast<int>((Y >> 6) & 63);
            const int top = 0 + 64 * fx / 64, bottom = 128 + 64 * fx / 64;
            EXPECT_EQ(dst.At(i, j)[0], (top * (64 - fy) + bottom * fy) / 64) << i << "," << j;
            checked = true;
        }
    EXPECT_TRUE(checked);
}

TEST(FreeRotation, IndexedPixelsAreTakenNearestAndTinyPicturesWork) {
    Picture src(1, 1, 4), dst(2, 2, 4);
    src.bytes[0] = 0x70;
    const FreeRotation p = PlanFreeRotation(30, 1, 1);
    Picture out(static_cast<int>(p.width), static_cast<int>(p.height), 4);
    ASSERT_TRUE(FreeRotate(src.view, out.view, p));
    bool found = false;
    for (int y = 0; y < out.view.height; ++y)
        for (int x = 0; x < out.view.width; ++x) found = found || PixelAt(out.view, x, y) == 7;
    EXPECT_TRUE(found);
    EXPECT_FALSE(FreeRotate(src.view, dst.view, PlanFreeRotation(45, 100, 100)));  // wrong size
}

}  // namespace
