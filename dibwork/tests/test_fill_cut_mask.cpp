// Fills, cut-outs and mask copies through the ordinals: the GDI and the
// direct fill paths with their result quirks, cut-outs reaching outside
// the picture, the covers' constant 0, and MetaDIBMaskBltRect's coverage,
// bit order, clipping and refusals.
#include <gtest/gtest.h>

#include <climits>

#include "dibwork_binding.h"
#include "picture_helpers.h"

using namespace picture_test;

namespace {

COLORREF Gradient(int x, int y) { return RGB(x * 9 % 256, y * 13 % 256, (x * y) % 256); }

// An 8-bit packed DIB with a four-entry table that lacks white.
HGLOBAL NewGreyDib(int width, int height, uint8_t fill) {
    const std::vector<RGBQUAD> table = {{0, 0, 0, 0}, {0, 0, 255, 0}, {50, 50, 50, 0}, {0, 0, 255, 0}};
    return NewPackedDib(InfoHeader(width, height, 8, BI_RGB, 4), table,
                        std::vector<uint8_t>(Stride(width, 8) * height, fill));
}

TEST(Fill, SectionsThroughTheSystemAndDibsDirectly) {
    auto &dw = Dw();
    BitmapGuard canvas(NewSection(5, 3, 24));
    ASSERT_EQ(dw.MetaDIBFillColor(nullptr, canvas.get(), RGB(255, 0, 0)), 1);
    const uint8_t *p = SectionPixels(canvas.get());
    EXPECT_EQ(p[0], 0);
    EXPECT_EQ(p[1], 0);
    EXPECT_EQ(p[2], 255);
    EXPECT_EQ(Read24(canvas.get(), 4, 2), RGB(255, 0, 0));
    ASSERT_EQ(dw.MetaDIBFillWhite(nullptr, canvas.get()), 1);
    EXPECT_EQ(Read24(canvas.get(), 2, 1), RGB(255, 255, 255));
    ASSERT_EQ(dw.MetaDIBFillBlack(nullptr, canvas.get()), 1);
    EXPECT_EQ(Read24(canvas.get(), 2, 1), RGB(0, 0, 0));
    EXPECT_EQ(dw.MetaDIBFillColor(nullptr, nullptr, 0), 0);
    // Held in the caller's DC, a 24-bit section is still filled; an 8-bit
    // one that GDI cannot reach reports the failure.
    HGDIOBJ previous = nullptr;
    HDC held = dw.CreateDIBitmapDC(nullptr, canvas.get(), &previous);
    EXPECT_EQ(dw.MetaDIBFillColor(nullptr, canvas.get(), RGB(0, 128, 0)), 1);
    EXPECT_EQ(Read24(canvas.get(), 3, 1), RGB(0, 128, 0));
    dw.DeleteDIBitmapDC(nullptr, held, previous);
    BitmapGuard greySection(dw.MakeBlank256GrayDIBitmap(2, 2));
    held = dw.CreateDIBitmapDC(nullptr, greySection.get(), &previous);
    EXPECT_EQ(dw.MetaDIBFillWhite(nullptr, greySection.get()), 0);
    dw.DeleteDIBitmapDC(nullptr, held, previous);
    EXPECT_EQ(dw.MetaDIBFillWhite(nullptr, greySection.get()), 1);
    EXPECT_EQ(SectionPixels(greySection.get())[0], 255);

    // A 24-bit DIB is filled pixel by pixel, the row padding left alone.
    BlockGuard wide(NewPackedDib(InfoHeader(3, 2, 24), {}, std::vector<uint8_t>(24, 0xEE)));
    ASSERT_EQ(dw.MetaDIBFillColor(wide.get(), nullptr, RGB(1, 2, 3)), 1);
    {
        LockedBlock b(wide.get());
        EXPECT_EQ(b.bits(0)[12 + 6], 3);
        EXPECT_EQ(b.bits(0)[12 + 8], 1);
        EXPECT_EQ(b.bits(0)[12 + 9], 0xEE);
    }

    // 8 bits: the first table entry of the colour; a missing colour fails
    // without writing, except for White (0xFF) and Black (0x00).
    BlockGuard grey(NewGreyDib(6, 2, 7));
    ASSERT_EQ(dw.MetaDIBFillColor(grey.get(), nullptr, RGB(255, 0, 0)), 1);
    EXPECT_EQ(LockedBlock(grey.get()).bits(4)[9], 1);
    EXPECT_EQ(dw.MetaDIBFillColor(grey.get(), nullptr, RGB(0, 255, 0)), 0);
    EXPECT_EQ(LockedBlock(grey.get()).bits(4)[9], 1);
    ASSERT_EQ(dw.MetaDIBFillWhite(grey.get(), nullptr), 1);
    EXPECT_EQ(LockedBlock(grey.get()).bits(4)[0], 255);
    EXPECT_EQ(LockedBlock(grey.get()).bits(4)[15], 255);
    ASSERT_EQ(dw.MetaDIBFillBlack(grey.get(), nullptr), 1);  // black is entry 0
    EXPECT_EQ(LockedBlock(grey.get()).bits(4)[3], 0);

    // 4 and 1 bits: the index in both nibbles; any non-zero index sets all bits.
    const std::vector<RGBQUAD> table16 = {{0, 0, 0, 0}, {1, 1, 1, 0}, {2, 2, 2, 0}, {9, 8, 7, 0}};
    BlockGuard nibbles(NewPackedDib(InfoHeader(3, 1, 4, BI_RGB, 4), table16, {0, 0, 0, 0}));
    ASSERT_EQ(dw.MetaDIBFillColor(nibbles.get(), nullptr, RGB(7, 8, 9)), 1);
    EXPECT_EQ(LockedBlock(nibbles.get()).bits(4)[1], 0x33);
    BlockGuard mono(NewPackedDib(InfoHeader(9, 1, 1), {{0, 0, 0, 0}, {255, 255, 255, 0}}, {0, 0, 0, 0}));
    ASSERT_EQ(dw.MetaDIBFillWhite(mono.get(), nullptr), 1);
    EXPECT_EQ(LockedBlock(mono.get()).bits(2)[1], 0xFF);

    // 32 bits are not handled: 1, nothing written.  A DIB too short for its
    // rows is refused.
    BlockGuard deep(NewPackedDib(InfoHeader(1, 1, 32), {}, {5, 5, 5, 5}));
    EXPECT_EQ(dw.MetaDIBFillColor(deep.get(), nullptr, RGB(1, 1, 1)), 1);
    EXPECT_EQ(LockedBlock(deep.get()).bits(0)[0], 5);
    BlockGuard cut(NewPackedDib(InfoHeader(64, 64, 24), {}, std::vector<uint8_t>(64)));
    EXPECT_EQ(dw.MetaDIBFillColor(cut.get(), nullptr, RGB(1, 1, 1)), 0);
}

TEST(Fill, ThroughAnEightBitMask) {
    auto &dw = Dw();
    BitmapGuard canvas(NewSection(4, 2, 24));
    BitmapGuard mask(dw.MakeBlank256GrayDIBitmap(4, 2));
    SectionPixels(mask.get())[4 + 1] = 9;  // top row (memory row 1), x 1
    ASSERT_EQ(dw.MetaDIBFillColorMasked(nullptr, canvas.get(), nullptr, mask.get(), RGB(200, 0, 0), RGB(0, 0, 50)),
              1);
    EXPECT_EQ(Read24(canvas.get(), 1, 0), RGB(200, 0, 0));
    EXPECT_EQ(Read24(canvas.get(), 1, 1), RGB(0, 0, 50));
    EXPECT_EQ(Read24(canvas.get(), 0, 0), RGB(0, 0, 50));

    // Sizes agree but the mask is 1-bit: 1, nothing written.
    BitmapGuard mono(dw.MakeBlankMonoDIBitmap(4, 2));
    ASSERT_EQ(dw.MetaDIBFillColorMasked(nullptr, canvas.get(), nullptr, mono.get(), RGB(1, 1, 1), RGB(2, 2, 2)), 1);
    EXPECT_EQ(Read24(canvas.get(), 0, 0), RGB(0, 0, 50));
    // Refused: other sizes, a destination that is not 24-bit, missing pictures.
    BitmapGuard other(dw.MakeBlank256GrayDIBitmap(5, 2));
    EXPECT_EQ(dw.MetaDIBFillColorMasked(nullptr, canvas.get(), nullptr, other.get(), 0, 0), 0);
    EXPECT_EQ(dw.MetaDIBFillColorMasked(nullptr, mask.get(), nullptr, mask.get(), 0, 0), 0);
    EXPECT_EQ(dw.MetaDIBFillColorMasked(nullptr, canvas.get(), nullptr, nullptr, 0, 0), 0);
}

TEST(CutOut, DibRectangleWidenedToWholeBytes) {
    auto &dw = Dw();
    // 1 bit, 24 x 2: bytes 0x12 0x34 0x56 (bottom row), 0xAB 0xCD 0xEF (top).
    BlockGuard mono(NewPackedDib(InfoHeader(24, 2, 1), {{0, 0, 0, 0}, {255, 255, 255, 0}},
                                 {0x12, 0x34, 0x56, 0, 0xAB, 0xCD, 0xEF, 0}));
    RECT r{3, 0, 10, 1};
    BlockGuard part(dw.CutOutDIB(mono.get(), &r));
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.right, 16);
    LockedBlock b(part.get());
    ASSERT_TRUE(b);
    EXPECT_EQ(b.header()->biWidth, 16);
    EXPECT_EQ(b.header()->biHeight, 1);
    EXPECT_EQ(b.table()[1].rgbRed, 255);
    EXPECT_EQ(b.bits(2)[0], 0xAB);  // the top row
    EXPECT_EQ(b.bits(2)[1], 0xCD);

    // Reaching past the right and bottom edges: the outside reads zero.
    RECT beyond{16, 1, 32, 4};
    BlockGuard outside(dw.CutOutDIB(mono.get(), &beyond));
    LockedBlock o(outside.get());
    ASSERT_TRUE(o);
    EXPECT_EQ(o.header()->biHeight, 3);
    EXPECT_EQ(o.bits(2)[8], 0x56);  // rect row 0 = picture row 1 = bottom row, stored last
    EXPECT_EQ(o.bits(2)[9], 0x00);
    EXPECT_EQ(o.bits(2)[0], 0x00);

    BlockGuard copy(dw.CutOutDIB(mono.get(), nullptr));
    EXPECT_EQ(GlobalSize(copy.get()), GlobalSize(mono.get()));
    RECT huge{INT_MIN, 0, INT_MAX, 1};
    EXPECT_EQ(dw.CutOutDIB(mono.get(), &huge), nullptr);
    RECT empty{8, 1, 8, 2};
    EXPECT_EQ(dw.CutOutDIB(mono.get(), &empty), nullptr);
}

TEST(CutOut, BitmapRectangleBeyondTheEdgesStaysBlack) {
    auto &dw = Dw();
    BitmapGuard src(New24(20, 10, [](int, int) { return RGB(90, 90, 90); }));
    const RECT left{-10, 0, 10, 5};
    BitmapGuard part(dw.CutOutDIBitmap(src.get(), &left));
    ASSERT_EQ(SectionSize(part.get()).cx, 20);
    for (int x = 0; x < 20; ++x) EXPECT_EQ(Read24(part.get(), x, 2), x < 10 ? RGB(0, 0, 0) : RGB(90, 90, 90)) << x;

    // The rows come from the right place (y from the top), also when the
    // rectangle is inverted or starts above the picture.
    BitmapGuard rows(New24(4, 6, Gradient));
    const RECT inverted{3, 5, 1, 2};
    BitmapGuard mid(dw.CutOutMetaDIBitmap(nullptr, rows.get(), &inverted));
    ASSERT_EQ(SectionSize(mid.get()).cy, 3);
    EXPECT_EQ(Read24(mid.get(), 0, 0), Gradient(1, 2));
    EXPECT_EQ(Read24(mid.get(), 1, 2), Gradient(2, 4));
    const RECT above{0, -2, 4, 2};
    BitmapGuard top(dw.CutOutDIBitmap(rows.get(), &above));
    EXPECT_EQ(Read24(top.get(), 0, 1), RGB(0, 0, 0));
    EXPECT_EQ(Read24(top.get(), 3, 2), Gradient(3, 0));
    const RECT away{100, 100, 104, 102};
    BitmapGuard none(dw.CutOutDIBitmap(rows.get(), &away));
    EXPECT_EQ(Read24(none.get(), 3, 1), RGB(0, 0, 0));

    // DIB members and the variable form; no rectangle gives a copy.
    BlockGuard dib(dw.ConvertDIBitmap2DIB(rows.get()));
    HGLOBAL dibVar = dib.get();
    const RECT one{2, 3, 3, 4};
    BitmapGuard fromDib(dw.lpCutOutMetaDIBitmap(&dibVar, nullptr, &one));
    EXPECT_EQ(Read24(fromDib.get(), 0, 0), Gradient(2, 3));
    BitmapGuard whole(dw.CutOutMetaDIBitmap(dib.get(), nullptr, nullptr));
    EXPECT_EQ(Read24(whole.get(), 3, 5), Gradient(3, 5));
    EXPECT_EQ(dw.lpCutOutMetaDIBitmap(nullptr, nullptr, &one), nullptr);
    const RECT huge{INT_MIN, 0, INT_MAX, 1};
    EXPECT_EQ(dw.CutOutDIBitmap(rows.get(), &huge), nullptr);
}

TEST(Masks, CoversAlwaysReturnZero) {
    auto &dw = Dw();
    BitmapGuard dst(NewSection(9, 2, 24)), src(NewUniform24(9, 2, RGB(3, 4, 5)));
    BitmapGuard mask(dw.MakeBlankMonoDIBitmap(9, 2));
    SectionPixels(mask.get())[4] = 0x80;  // top row, pixel 0
    SectionPixels(mask.get())[5] = 0x80;  // top row, pixel 8 (the partial byte)
    EXPECT_EQ(dw.DIBitmapMaskCover(dst.get(), src.get(), mask.get()), 0);
    EXPECT_EQ(Read24(dst.get(), 0, 0), RGB(3, 4, 5));
    EXPECT_EQ(Read24(dst.get(), 8, 0), RGB(3, 4, 5));
    EXPECT_EQ(Read24(dst.get(), 1, 0), RGB(0, 0, 0));
    EXPECT_EQ(Read24(dst.get(), 0, 1), RGB(0, 0, 0));

    // The meta form with DIBitmap members, and the DIB form.
    SectionPixels(mask.get())[0] = 0x40;  // bottom row, pixel 1
    EXPECT_EQ(dw.MetaDIBMaskCover(nullptr, dst.get(), nullptr, src.get(), nullptr, mask.get()), 0);
    EXPECT_EQ(Read24(dst.get(), 1, 1), RGB(3, 4, 5));
    BlockGuard d(NewPackedDib(InfoHeader(9, 2, 24), {}, std::vector<uint8_t>(64, 0)));
    BlockGuard s(dw.ConvertDIBitmap2DIB(src.get())), m(dw.ConvertDIBitmap2DIB(mask.get()));
    EXPECT_EQ(dw.DIBMaskCover(d.get(), s.get(), m.get()), 0);
    {
        LockedBlock b(d.get());
        EXPECT_EQ(b.bits(0)[3], 5);   // bottom row, pixel 1: blue byte of the source
        EXPECT_EQ(b.bits(0)[0], 0);   // bottom row, pixel 0: kept
        EXPECT_EQ(b.bits(0)[28 + 24 + 2], 3);  // top row (stride 28), pixel 8: red
    }

    // Refused cleanly: 8-bit pictures are left alone; the meta form needs
    // all three DIBitmap members; sizes must agree.
    BitmapGuard grey(dw.MakeBlank256GrayDIBitmap(9, 2)), greySrc(dw.MakeBlank256GrayDIBitmap(9, 2));
    memset(SectionPixels(greySrc.get()), 7, 24);
    EXPECT_EQ(dw.DIBitmapMaskCover(grey.get(), greySrc.get(), mask.get()), 0);
    EXPECT_EQ(SectionPixels(grey.get())[4], 0);
    BitmapGuard fresh(NewSection(9, 2, 24));
    EXPECT_EQ(dw.MetaDIBMaskCover(nullptr, fresh.get(), nullptr, src.get(), m.get(), nullptr), 0);
    EXPECT_EQ(Read24(fresh.get(), 1, 1), RGB(0, 0, 0));
    BitmapGuard smallMask(dw.MakeBlankMonoDIBitmap(8, 2));
    memset(SectionPixels(smallMask.get()), 0xFF, 8);
    EXPECT_EQ(dw.DIBitmapMaskCover(fresh.get(), src.get(), smallMask.get()), 0);
    EXPECT_EQ(Read24(fresh.get(), 0, 0), RGB(0, 0, 0));
}

// MetaDIBMaskBltRect over a 6 x 4 destination of colour (100, 100, 100).
struct BltFixture {
    BitmapGuard dst{NewUniform24(6, 4, RGB(100, 100, 100))};
    BitmapGuard src{NewUniform24(3, 2, RGB(200, 0, 50))};
    int Blt(HBITMAP mask, RECT r) {
        return Dw().MetaDIBMaskBltRect(nullptr, dst.get(), nullptr, src.get(), nullptr, mask, &r);
    }
};

TEST(MaskBlt, CoverageBlendsAndClampsAboveFull) {
    auto &dw = Dw();
    BltFixture f;
    BitmapGuard mask(dw.MakeBlank256GrayDIBitmap(3, 2));
    uint8_t *m = SectionPixels(mask.get());
    m[4 + 0] = 64;   // top row: mean, full, above full
    m[4 + 1] = 128;
    m[4 + 2] = 255;
    m[0] = 0;        // bottom row: keep
    EXPECT_EQ(f.Blt(mask.get(), RECT{1, 1, 4, 3}), 0);
    EXPECT_EQ(Read24(f.dst.get(), 1, 1), RGB(150, 50, 75));  // 100 + (50 - 100) * 64 / 128 = 75
    EXPECT_EQ(Read24(f.dst.get(), 2, 1), RGB(200, 0, 50));
    EXPECT_EQ(Read24(f.dst.get(), 3, 1), RGB(200, 0, 50));   // clamped, no wrap
    EXPECT_EQ(Read24(f.dst.get(), 1, 2), RGB(100, 100, 100));
    EXPECT_EQ(Read24(f.dst.get(), 0, 1), RGB(100, 100, 100));
}

TEST(MaskBlt, OneBitMaskClearBitsCopyTheSource) {
    auto &dw = Dw();
    BltFixture f;
    BitmapGuard mask(dw.MakeBlankMonoDIBitmap(3, 2));
    SectionPixels(mask.get())[4] = 0x40;  // top row, pixel 1 set: kept
    // Starting left of the destination: the span is source pixels 1..2,
    // which lie inside one mask byte.
    EXPECT_EQ(f.Blt(mask.get(), RECT{-1, 0, 2, 2}), 0);
    EXPECT_EQ(Read24(f.dst.get(), 0, 0), RGB(100, 100, 100));  // source pixel 1: bit set
    EXPECT_EQ(Read24(f.dst.get(), 1, 0), RGB(200, 0, 50));     // source pixel 2: bit clear
    EXPECT_EQ(Read24(f.dst.get(), 0, 1), RGB(200, 0, 50));
    EXPECT_EQ(Read24(f.dst.get(), 2, 0), RGB(100, 100, 100));
}

TEST(MaskBlt, ClippedOnEverySideAndRefusals) {
    auto &dw = Dw();
    BitmapGuard mask(dw.MakeBlankMonoDIBitmap(3, 2));
    {
        BltFixture f;  // right and bottom edges
        EXPECT_EQ(f.Blt(mask.get(), RECT{5, 3, 8, 5}), 0);
        EXPECT_EQ(Read24(f.dst.get(), 5, 3), RGB(200, 0, 50));
        EXPECT_EQ(Read24(f.dst.get(), 4, 3), RGB(100, 100, 100));
    }
    {
        BltFixture f;  // above the top edge
        EXPECT_EQ(f.Blt(mask.get(), RECT{2, -1, 5, 1}), 0);
        EXPECT_EQ(Read24(f.dst.get(), 2, 0), RGB(200, 0, 50));
        EXPECT_EQ(Read24(f.dst.get(), 2, 1), RGB(100, 100, 100));
    }
    {
        BltFixture f;  // inverted: normalised to (3, 2)-(6, 4)
        EXPECT_EQ(f.Blt(mask.get(), RECT{6, 4, 3, 2}), 0);
        EXPECT_EQ(Read24(f.dst.get(), 5, 3), RGB(200, 0, 50));
        EXPECT_EQ(Read24(f.dst.get(), 2, 2), RGB(100, 100, 100));
    }
    {
        BltFixture f;  // wholly outside or huge: 1, nothing drawn
        EXPECT_EQ(f.Blt(mask.get(), RECT{6, 0, 9, 2}), 1);
        EXPECT_EQ(f.Blt(mask.get(), RECT{-3, -2, 0, 0}), 1);
        EXPECT_EQ(f.Blt(mask.get(), RECT{INT_MIN, INT_MIN, INT_MIN + 3, INT_MIN + 2}), 1);
        // A rectangle larger than the source draws only the source.
        EXPECT_EQ(f.Blt(mask.get(), RECT{0, 0, INT_MAX, INT_MAX}), 0);
        EXPECT_EQ(Read24(f.dst.get(), 2, 1), RGB(200, 0, 50));
        EXPECT_EQ(Read24(f.dst.get(), 3, 1), RGB(100, 100, 100));
        EXPECT_EQ(Read24(f.dst.get(), 0, 2), RGB(100, 100, 100));
    }
    BltFixture f;
    BitmapGuard wrongSize(dw.MakeBlankMonoDIBitmap(4, 2));
    EXPECT_EQ(f.Blt(wrongSize.get(), RECT{0, 0, 3, 2}), 0);
    EXPECT_EQ(Read24(f.dst.get(), 0, 0), RGB(100, 100, 100));
    BitmapGuard greySrc(dw.MakeBlank256GrayDIBitmap(3, 2));
    RECT r{0, 0, 3, 2};
    EXPECT_EQ(dw.MetaDIBMaskBltRect(nullptr, f.dst.get(), nullptr, greySrc.get(), nullptr, mask.get(), &r), 0);
    EXPECT_EQ(dw.MetaDIBMaskBltRect(nullptr, f.dst.get(), nullptr, f.src.get(), nullptr, mask.get(), nullptr), 0);
    EXPECT_EQ(dw.MetaDIBMaskBltRect(nullptr, f.dst.get(), nullptr, f.src.get(), nullptr, nullptr, &r), 0);
    BitmapGuard mask4(NewSection(3, 2, 4));
    EXPECT_EQ(f.Blt(mask4.get(), RECT{0, 0, 3, 2}), 0);
    EXPECT_EQ(Read24(f.dst.get(), 0, 0), RGB(100, 100, 100));  // other mask depths draw nothing
}

}  // namespace
