// Rotation and paste through the ordinals: angle normalisation (negative,
// beyond 360, INT_MIN, INT_MAX), the quarter turns' corners and sizes for
// 24- and 1-bit pictures, half turns of 4-bit pictures, the 45-degree turn
// with its background corners, DIB or DIBitmap results, and pastes with
// raster operations and hostile rectangles.
#include <gtest/gtest.h>

#include <climits>

#include "dibwork_binding.h"
#include "picture_helpers.h"

using namespace picture_test;

namespace {

COLORREF Gradient(int x, int y) { return RGB(x * 40 % 256, y * 60 % 256, 17 + x + 5 * y); }

// True when two 24-bit sections have the same size and pixels.
bool SamePixels(HBITMAP a, HBITMAP b) {
    const SIZE sa = SectionSize(a), sb = SectionSize(b);
    if (sa.cx != sb.cx || sa.cy != sb.cy) return false;
    for (int y = 0; y < sa.cy; ++y)
        for (int x = 0; x < sa.cx; ++x)
            if (Read24(a, x, y) != Read24(b, x, y)) return false;
    return true;
}

HBITMAP Rotated(HBITMAP src, int degrees, COLORREF background = RGB(0, 0, 0)) {
    HBITMAP out = nullptr;
    return Dw().RotateMetaDIB(nullptr, src, nullptr, &out, degrees, background) ? out : nullptr;
}

TEST(Rotate, QuarterTurnsMoveTheCorners) {
    auto &dw = Dw();
    BitmapGuard src(New24(3, 2, Gradient));
    BitmapGuard right;
    ASSERT_EQ(dw.RotateRightMetaDIB(nullptr, src.get(), nullptr, right.ptr()), 1);
    ASSERT_EQ(SectionSize(right.get()).cx, 2);
    ASSERT_EQ(SectionSize(right.get()).cy, 3);
    EXPECT_EQ(Read24(right.get(), 0, 0), Gradient(0, 1));  // the source's bottom-left
    EXPECT_EQ(Read24(right.get(), 1, 0), Gradient(0, 0));
    EXPECT_EQ(Read24(right.get(), 0, 2), Gradient(2, 1));
    BitmapGuard left;
    ASSERT_EQ(dw.RotateLeftMetaDIB(nullptr, src.get(), nullptr, left.ptr()), 1);
    EXPECT_EQ(Read24(left.get(), 0, 0), Gradient(2, 0));   // the source's top-right
    EXPECT_EQ(Read24(left.get(), 1, 2), Gradient(0, 1));
    EXPECT_EQ(dw.RotateRightMetaDIB(nullptr, src.get(), nullptr, nullptr), 0);
    EXPECT_EQ(dw.RotateLeftMetaDIB(nullptr, nullptr, nullptr, left.ptr()), 0);
}

TEST(Rotate, AnglesAreBroughtIntoOneTurn) {
    BitmapGuard src(New24(5, 3, Gradient));
    BitmapGuard r90(Rotated(src.get(), 90)), r270(Rotated(src.get(), 270)), r180(Rotated(src.get(), 180));
    BitmapGuard m90(Rotated(src.get(), -90)), r450(Rotated(src.get(), 450)), r0(Rotated(src.get(), 0));
    BitmapGuard m720(Rotated(src.get(), -720));
    EXPECT_TRUE(SamePixels(m90.get(), r270.get()));
    EXPECT_TRUE(SamePixels(r450.get(), r90.get()));
    EXPECT_TRUE(SamePixels(r0.get(), src.get()));
    EXPECT_NE(r0.get(), src.get());  // a copy, not the same picture
    EXPECT_TRUE(SamePixels(m720.get(), src.get()));
    EXPECT_EQ(Read24(r180.get(), 0, 0), Gradient(4, 2));
    EXPECT_EQ(Read24(r180.get(), 4, 1), Gradient(0, 1));

    // INT_MIN = -2147483648 comes to 232 and INT_MAX to 127: free turns of
    // the sizes those angles give.
    BitmapGuard low(Rotated(src.get(), INT_MIN)), high(Rotated(src.get(), INT_MAX));
    BitmapGuard r232(Rotated(src.get(), 232)), r127(Rotated(src.get(), 127));
    ASSERT_NE(low.get(), nullptr);
    ASSERT_NE(high.get(), nullptr);
    EXPECT_TRUE(SamePixels(low.get(), r232.get()));
    EXPECT_TRUE(SamePixels(high.get(), r127.get()));

    HBITMAP none = nullptr;
    EXPECT_EQ(Dw().RotateMetaDIB(nullptr, nullptr, nullptr, &none, 30, 0), 0);
    EXPECT_EQ(Dw().RotateMetaDIB(nullptr, src.get(), nullptr, nullptr, 30, 0), 0);
}

TEST(Rotate, FortyFiveDegreesShowsTheBackgroundInTheCorners) {
    const COLORREF background = RGB(10, 200, 30);
    BitmapGuard src(NewUniform24(100, 100, RGB(250, 250, 0)));
    BitmapGuard turned(Rotated(src.get(), 45, background));
    ASSERT_EQ(SectionSize(turned.get()).cx, 142);
    ASSERT_EQ(SectionSize(turned.get()).cy, 142);
    EXPECT_EQ(Read24(turned.get(), 0, 0), background);
    EXPECT_EQ(Read24(turned.get(), 141, 0), background);
    EXPECT_EQ(Read24(turned.get(), 0, 141), background);
    EXPECT_EQ(Read24(turned.get(), 141, 141), background);
    EXPECT_EQ(Read24(turned.get(), 71, 71), RGB(250, 250, 0));
    EXPECT_EQ(Read24(turned.get(), 71, 4), RGB(250, 250, 0));  // the turned square's top corner
}

TEST(Rotate, PositiveAnglesTurnClockwise) {
    // Left half red, right half blue: turned clockwise by 80 degrees the red
    // half is on top.
    BitmapGuard src(New24(41, 41, [](int x, int) { return x < 20 ? RGB(255, 0, 0) : RGB(0, 0, 255); }));
    BitmapGuard turned(Rotated(src.get(), 80, RGB(0, 255, 0)));
    const SIZE s = SectionSize(turned.get());
    EXPECT_EQ(Read24(turned.get(), s.cx / 2, s.cy / 2 - 12), RGB(255, 0, 0));
    EXPECT_EQ(Read24(turned.get(), s.cx / 2, s.cy / 2 + 12), RGB(0, 0, 255));
}

TEST(Rotate, IndexedPicturesAndDibResults) {
    auto &dw = Dw();
    // 1 bit, 11 x 3 (the last byte of each row is partial): a quarter turn
    // there and back restores every bit.
    BitmapGuard mono(dw.MakeBlankMonoDIBitmap(11, 3));
    uint8_t *bits = SectionPixels(mono.get());
    const uint8_t pattern[12] = {0xA5, 0xE0, 0, 0, 0x3C, 0x20, 0, 0, 0xFF, 0xC0, 0, 0};
    memcpy(bits, pattern, 12);
    BitmapGuard right, back;
    ASSERT_EQ(dw.RotateRightMetaDIB(nullptr, mono.get(), nullptr, right.ptr()), 1);
    ASSERT_EQ(SectionSize(right.get()).cx, 3);
    ASSERT_EQ(SectionBits(right.get()), 1);
    ASSERT_EQ(dw.RotateLeftMetaDIB(nullptr, right.get(), nullptr, back.ptr()), 1);
    const uint8_t *restored = SectionPixels(back.get());
    for (int row = 0; row < 3; ++row) {
        EXPECT_EQ(restored[4 * row], pattern[4 * row]) << row;
        EXPECT_EQ(restored[4 * row + 1] & 0xE0, pattern[4 * row + 1] & 0xE0) << row;
    }
    // Result pixel (0, 0) is source (0, bottom row): bit 7 of 0xA5 = 1.
    EXPECT_EQ(SectionPixels(right.get())[8] & 0x80, 0x80);

    // 4 bits, 3 x 1 into a DIB result: nibbles mirrored, table kept.
    const std::vector<RGBQUAD> table = {{0, 0, 0, 0}, {1, 1, 1, 0}, {2, 2, 2, 0}, {3, 3, 3, 0}};
    BlockGuard nibbles(NewPackedDib(InfoHeader(3, 1, 4, BI_RGB, 4), table, {0x12, 0x30, 0, 0}));
    BlockGuard half;
    ASSERT_EQ(dw.RotateMetaDIB(nibbles.get(), nullptr, half.ptr(), nullptr, 180, 0), 1);
    {
        LockedBlock b(half.get());
        ASSERT_TRUE(b);
        EXPECT_EQ(b.header()->biBitCount, 4);
        EXPECT_EQ(b.table()[3].rgbBlue, 3);
        EXPECT_EQ(b.bits(4)[0], 0x32);
        EXPECT_EQ(b.bits(4)[1], 0x10);
    }
    // An 8-bit free turn: nearest pixels, background where nothing lands.
    BitmapGuard grey(dw.MakeBlank256GrayDIBitmap(20, 20));
    memset(SectionPixels(grey.get()), 99, 400);
    BitmapGuard greyTurned(Rotated(grey.get(), 30, RGB(255, 255, 255)));
    ASSERT_EQ(SectionBits(greyTurned.get()), 8);
    const SIZE s = SectionSize(greyTurned.get());
    const uint8_t *g = SectionPixels(greyTurned.get());
    EXPECT_EQ(g[0], 255);
    EXPECT_EQ(g[size_t(s.cy / 2) * ((s.cx + 3) & ~3) + s.cx / 2], 99);
}

TEST(Paste, CopiesTheSourceTopLeftWithRasterOperations) {
    auto &dw = Dw();
    BitmapGuard dst(NewUniform24(8, 6, RGB(1, 1, 1))), src(New24(4, 4, Gradient));
    RECT r{2, 1, 5, 3};
    ASSERT_EQ(dw.DIBitmapPaste(dst.get(), src.get(), &r), 1);
    EXPECT_EQ(Read24(dst.get(), 2, 1), Gradient(0, 0));
    EXPECT_EQ(Read24(dst.get(), 4, 2), Gradient(2, 1));
    EXPECT_EQ(Read24(dst.get(), 5, 2), RGB(1, 1, 1));
    EXPECT_EQ(Read24(dst.get(), 2, 3), RGB(1, 1, 1));

    RECT inv{0, 0, 1, 1};
    ASSERT_EQ(dw.DIBitmapPasteRop(dst.get(), src.get(), &inv, DSTINVERT), 1);
    EXPECT_EQ(Read24(dst.get(), 0, 0), RGB(254, 254, 254));
    EXPECT_EQ(Read24(dst.get(), 1, 0), RGB(1, 1, 1));

    // Partly outside on the left and top: the source keeps its top-left
    // corner at (left, top).
    RECT corner{-1, -2, 2, 1};
    ASSERT_EQ(dw.DIBitmapPaste(dst.get(), src.get(), &corner), 1);
    EXPECT_EQ(Read24(dst.get(), 0, 0), Gradient(1, 2));
    EXPECT_EQ(Read24(dst.get(), 1, 0), Gradient(2, 2));
    EXPECT_EQ(Read24(dst.get(), 0, 1), RGB(1, 1, 1));

    // Huge, far-away and inverted rectangles neither fault nor spill.
    RECT huge{INT_MIN, INT_MIN, INT_MAX, INT_MAX};
    EXPECT_EQ(dw.DIBitmapPaste(dst.get(), src.get(), &huge), 1);
    RECT away{INT_MAX - 2, 0, INT_MAX, 2};
    EXPECT_EQ(dw.DIBitmapPaste(dst.get(), src.get(), &away), 1);
    BitmapGuard fresh(NewUniform24(8, 6, RGB(1, 1, 1)));
    RECT backwards{5, 3, 2, 1};
    ASSERT_EQ(dw.DIBitmapPaste(fresh.get(), src.get(), &backwards), 1);
    EXPECT_EQ(Read24(fresh.get(), 2, 1), Gradient(0, 0));
    EXPECT_EQ(dw.DIBitmapPaste(nullptr, src.get(), &r), 0);
    EXPECT_EQ(dw.DIBitmapPaste(dst.get(), nullptr, &r), 0);
    EXPECT_EQ(dw.DIBitmapPasteRop(dst.get(), src.get(), nullptr, SRCCOPY), 0);
}

}  // namespace
