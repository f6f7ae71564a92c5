// Fill, cut-out and mask kernels under the sanitizers: the fill bytes of
// indexed pictures, cut-out rows with their alignment and parts outside
// the picture, the covers, and the masked span copy with its clipping and
// coverage arithmetic.
#include <gtest/gtest.h>

#include <climits>

#include "fill_mask.h"
#include "kernel_pictures.h"
#include "pixel_rows.h"

using namespace dibwork;
using kernel_test::Picture;

namespace {

TEST(Fill, IndexedFillBytesAndTableLookup) {
    EXPECT_EQ(IndexedFillByte(1, 0), 0x00);
    EXPECT_EQ(IndexedFillByte(1, 1), 0xFF);
    EXPECT_EQ(IndexedFillByte(4, 5), 0x55);
    EXPECT_EQ(IndexedFillByte(8, 200), 200);
    const Bgra table[3] = {{1, 2, 3, 0}, {0, 0, 255, 9}, {0, 0, 255, 0}};
    EXPECT_EQ(FindTableColour(table, 3, Bgr{0, 0, 255}), 1u);  // first match, fourth byte ignored
    EXPECT_FALSE(FindTableColour(table, 3, Bgr{0, 255, 0}));
    EXPECT_FALSE(FindTableColour(nullptr, 3, Bgr{1, 2, 3}));
}

TEST(Fill, TwentyFourBitsLeavesThePadding) {
    Picture p(3, 2, 24);
    p.bytes.assign(p.bytes.size(), 0xEE);
    ASSERT_TRUE(FillBgr24(p.view, Bgr{0, 0, 255}));
    EXPECT_EQ(p.At(2, 1)[0], 0);
    EXPECT_EQ(p.At(2, 1)[2], 255);
    EXPECT_EQ(p.bytes[9], 0xEE);  // row padding
    Picture grey(3, 2, 8);
    EXPECT_FALSE(FillBgr24(grey.view, Bgr{1, 1, 1}));
}

TEST(Fill, ThroughAnEightBitMask) {
    Picture dst(3, 2, 24), mask(3, 2, 8), small(2, 2, 8);
    mask.bytes[1] = 1;
    mask.bytes[4 + 2] = 200;
    ASSERT_TRUE(FillThroughMask24(dst.view, mask.view, Bgr{9, 9, 9}, Bgr{1, 1, 1}));
    EXPECT_EQ(dst.At(0, 0)[0], 1);
    EXPECT_EQ(dst.At(1, 0)[0], 9);
    EXPECT_EQ(dst.At(2, 1)[0], 9);
    EXPECT_FALSE(FillThroughMask24(dst.view, small.view, Bgr{}, Bgr{}));
}

TEST(CutOut, AlignmentWidensToWholeBytes) {
    int64_t l = 3, r = 10;
    AlignCutOutColumns(1, l, r);
    EXPECT_EQ(l, 0);
    EXPECT_EQ(r, 16);
    l = 3, r = 8;
    AlignCutOutColumns(4, l, r);
    EXPECT_EQ(l, 2);
    EXPECT_EQ(r, 8);
    l = -3, r = 5;
    AlignCutOutColumns(1, l, r);
    EXPECT_EQ(l, -8);
    EXPECT_EQ(r, 8);
    l = 3, r = 10;
    AlignCutOutColumns(24, l, r);
    EXPECT_EQ(l, 3);
    EXPECT_EQ(r, 10);
}

TEST(CutOut, RowsInsideAndOutsideThePicture) {
    // 24 bits: rectangle (1, 0)-(3, 2) of a 4 x 3 picture, y from the top.
    Picture src(4, 3, 24), dst(2, 2, 24);
    for (int row = 0; row < 3; ++row)
        for (int x = 0; x < 4; ++x) src.Set(x, row, uint8_t(x), uint8_t(2 - row), 0);  // g = y from the top
    ASSERT_TRUE(CutOutRows(src.view, IntRect{1, 0, 3, 2}, dst.view));
    EXPECT_EQ(dst.view.Row(0)[0], 1);  // x 1 of the top row
    EXPECT_EQ(dst.view.Row(0)[1], 0);
    EXPECT_EQ(dst.view.Row(1)[3], 2);  // x 2 of row 1
    EXPECT_EQ(dst.view.Row(1)[4], 1);

    // Reaching past every edge: only the overlap is copied, the rest stays.
    Picture big(8, 6, 24);
    big.bytes.assign(big.bytes.size(), 0xAB);
    ASSERT_TRUE(CutOutRows(src.view, IntRect{-2, -1, 6, 5}, big.view));
    EXPECT_EQ(big.view.Row(0)[0], 0xAB);         // above the picture
    EXPECT_EQ(big.view.Row(1)[3 * 1], 0xAB);     // left of it
    EXPECT_EQ(big.view.Row(1)[3 * 2], 0);        // source (0, 0)
    EXPECT_EQ(big.view.Row(3)[3 * 5 + 1], 2);    // source (3, 2)
    EXPECT_EQ(big.view.Row(3)[3 * 6], 0xAB);     // right of it
    EXPECT_EQ(big.view.Row(4)[3 * 2], 0xAB);     // below it

    // 1 bit, width 10: the aligned 0..16 takes both bytes of each row.
    Picture mono(10, 2, 1), monoOut(16, 2, 1);
    mono.bytes[0] = 0xA5;
    mono.bytes[1] = 0xC0;
    ASSERT_TRUE(CutOutRows(mono.view, IntRect{0, 1, 16, 3}, monoOut.view));
    EXPECT_EQ(monoOut.view.Row(0)[0], 0xA5);  // bottom row = row 1 from the top
    EXPECT_EQ(monoOut.view.Row(0)[1], 0xC0);
    EXPECT_EQ(monoOut.view.Row(1)[0], 0);     // below the picture
}

TEST(Covers, MaskBitsPickTheSource) {
    Picture dst(10, 1, 24), src(10, 1, 24), mask(10, 1, 1);
    src.Fill(7, 7, 7);
    mask.bytes[0] = 0x81;  // pixels 0 and 7
    mask.bytes[1] = 0x40;  // pixel 9
    ASSERT_TRUE(CoverThroughMask1(dst.view, src.view, mask.view));
    for (int x = 0; x < 10; ++x) EXPECT_EQ(dst.At(x, 0)[0], (x == 0 || x == 7 || x == 9) ? 7 : 0) << x;
    Picture other(9, 1, 24);
    EXPECT_FALSE(CoverThroughMask1(dst.view, other.view, mask.view));
}

TEST(MaskBlt, ClippingOnEverySide) {
    EXPECT_FALSE(ClipBlit(IntRect{10, 0, 14, 4}, 4, 4, 10, 10));   // right of the destination
    EXPECT_FALSE(ClipBlit(IntRect{0, -4, 4, 0}, 4, 4, 10, 10));    // above it
    EXPECT_FALSE(ClipBlit(IntRect{3, 3, 3, 7}, 4, 4, 10, 10));     // empty
    const auto left = ClipBlit(IntRect{-2, -1, 2, 3}, 4, 4, 10, 10);
    ASSERT_TRUE(left);
    EXPECT_EQ(left->sx, 2);
    EXPECT_EQ(left->sy, 1);
    EXPECT_EQ(left->dx, 0);
    EXPECT_EQ(left->width, 2);
    EXPECT_EQ(left->height, 3);
    const auto right = ClipBlit(IntRect{12, 9, 8, 7}, 4, 4, 10, 10);  // inverted: 8..12 x 7..9
    ASSERT_TRUE(right);
    EXPECT_EQ(right->dx, 8);
    EXPECT_EQ(right->dy, 7);
    EXPECT_EQ(right->width, 2);
    EXPECT_EQ(right->height, 2);
    // A rectangle larger than the source gives only the source's pixels.
    const auto big = ClipBlit(IntRect{0, 0, 100, 100}, 4, 4, 10, 10);
    ASSERT_TRUE(big);
    EXPECT_EQ(big->width, 4);
    const auto huge = ClipBlit(IntRect{INT_MIN, INT_MIN, INT_MAX, INT_MAX}, 4, 4, 10, 10);
    EXPECT_FALSE(huge);  // the source's 4 x 4 lie far outside
}

TEST(MaskBlt, EightBitCoverageMeanAndClamp) {
    Picture dst(3, 1, 24), src(3, 1, 24), mask(3, 1, 8);
    dst.Fill(100, 100, 100);
    src.Fill(200, 0, 51);
    mask.bytes[0] = 64;
    mask.bytes[1] = 128;
    mask.bytes[2] = 255;  // clamped to 128: the source, no wrap
    ASSERT_TRUE(BlendSpanThroughMask(dst.view, src.view, mask.view, BlitSpan{0, 0, 0, 0, 3, 1}));
    EXPECT_EQ(dst.At(0, 0)[0], 150);
    EXPECT_EQ(dst.At(0, 0)[1], 50);
    EXPECT_EQ(dst.At(0, 0)[2], 100 + (51 - 100) * 64 / 128);  // -24.5 truncates to -24
    EXPECT_EQ(dst.At(0, 0)[2], 76);
    EXPECT_EQ(dst.At(1, 0)[0], 200);
    EXPECT_EQ(dst.At(2, 0)[0], 200);
    EXPECT_EQ(dst.At(2, 0)[1], 0);
}

TEST(MaskBlt, OneBitMaskWithinOneByteAndSpanChecks) {
    // A span of pixels 2..4 of a 1-bit mask lies within its first byte;
    // bits are read from the most significant down; set bits keep the
    // destination.
    Picture dst(8, 1, 24), src(8, 1, 24), mask(8, 1, 1);
    src.Fill(9, 9, 9);
    mask.bytes[0] = 0x10;  // pixel 3 set
    ASSERT_TRUE(BlendSpanThroughMask(dst.view, src.view, mask.view, BlitSpan{2, 0, 2, 0, 3, 1}));
    for (int x = 0; x < 8; ++x) EXPECT_EQ(dst.At(x, 0)[0], (x == 2 || x == 4) ? 9 : 0) << x;
    EXPECT_FALSE(BlendSpanThroughMask(dst.view, src.view, mask.view, BlitSpan{6, 0, 0, 0, 3, 1}));
    Picture mask4(8, 1, 4);
    EXPECT_FALSE(BlendSpanThroughMask(dst.view, src.view, mask4.view, BlitSpan{0, 0, 0, 0, 1, 1}));
}

}  // namespace
