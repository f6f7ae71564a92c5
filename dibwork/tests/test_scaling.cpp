// Scaling, tiling and thumbnails through the exports: the three-way
// resize of thumbnails and the export picture, stretch copies of both
// kinds, the reuse rules of StretchMetaDIB, tiling and fitting.
#include <gtest/gtest.h>

#include <cstdlib>

#include "dibwork_binding.h"
#include "picture_helpers.h"

using namespace picture_test;

namespace {

// Every pixel of a 24-bit section within `tolerance` of c.
void ExpectUniform(HBITMAP b, COLORREF c, int tolerance) {
    const SIZE s = SectionSize(b);
    for (int y = 0; y < s.cy; ++y)
        for (int x = 0; x < s.cx; ++x) {
            const COLORREF p = Read24(b, x, y);
            ASSERT_LE(std::abs(GetRValue(p) - GetRValue(c)), tolerance) << x << "," << y;
            ASSERT_LE(std::abs(GetGValue(p) - GetGValue(c)), tolerance) << x << "," << y;
            ASSERT_LE(std::abs(GetBValue(p) - GetBValue(c)), tolerance) << x << "," << y;
        }
}

TEST(TriStretch, ThumbnailsAverageWholeBlocks) {
    auto &dw = Dw();
    // 16 x 16 blocks: a picture whose every 16 x 16 block is one colour
    // keeps each block's colour exactly in the 64 x 48 thumbnail.
    auto block = [](int x, int y) { return RGB(x / 16 * 4, y / 16 * 5, 99); };
    BitmapGuard canvas(New24(1024, 768, block));
    BitmapGuard thumb(dw.TriStretchDIBitmap2DIBitmap(canvas.get(), 64, 48));
    ASSERT_EQ(SectionSize(thumb.get()).cx, 64);
    ASSERT_EQ(SectionSize(thumb.get()).cy, 48);
    // The bilinear pass at equal size reads column i at px = i except the
    // last, blended 63/64 with the one before.
    EXPECT_EQ(Read24(thumb.get(), 0, 0), block(0, 0));
    EXPECT_EQ(Read24(thumb.get(), 30, 20), block(30 * 16, 20 * 16));

    // 1280 x 1024 uses 20 x 21 blocks counted in memory order (from the
    // bottom row; the top 16 rows fall outside the 48 blocks).
    auto block2 = [](int x, int y) { return RGB(x / 20 * 3, (1023 - y) / 21 * 4, 7); };
    BitmapGuard large(New24(1280, 1024, block2));
    BitmapGuard thumb2(dw.TriStretchDIBitmap2DIBitmap(large.get(), 64, 48));
    // Thumbnail row 10 from the top is memory row 37: block (10, 37).
    EXPECT_EQ(Read24(thumb2.get(), 10, 10), RGB(10 * 3, 37 * 4, 7));
}

TEST(TriStretch, AreaAveragingAndQuadraticKeepUniformColours) {
    auto &dw = Dw();
    const COLORREF c = RGB(90, 160, 230);
    BitmapGuard canvas(NewUniform24(1024, 768, c));
    BitmapGuard exportPicture(dw.TriStretchDIBitmap2DIBitmap(canvas.get(), 640, 480));
    ASSERT_EQ(SectionSize(exportPicture.get()).cx, 640);
    ExpectUniform(exportPicture.get(), c, 2);

    BitmapGuard small(NewUniform24(50, 40, c));
    BitmapGuard twice(dw.TriStretchDIBitmap2DIBitmap(small.get(), 100, 80));
    ExpectUniform(twice.get(), c, 0);

    BitmapGuard same(dw.TriStretchDIBitmap2DIBitmap(small.get(), 50, 40));
    EXPECT_NE(same.get(), small.get());
    EXPECT_EQ(dw.TriStretchDIBitmap2DIBitmap(small.get(), 0, 40), nullptr);
}

TEST(Stretch, CopiesOfBothKindsKeepTheOrientation) {
    auto &dw = Dw();
    // Top half red, bottom half blue: stretched copies keep red on top.
    auto halves = [](int, int y) { return y < 8 ? RGB(255, 0, 0) : RGB(0, 0, 255); };
    BitmapGuard src(New24(16, 16, halves));
    BitmapGuard big(dw.StretchDIBitmap2DIBitmap(src.get(), 40, 40));
    EXPECT_EQ(Read24(big.get(), 20, 0), RGB(255, 0, 0));
    EXPECT_EQ(Read24(big.get(), 20, 39), RGB(0, 0, 255));
    BitmapGuard same(dw.StretchDIBitmap2DIBitmap(src.get(), 16, 16));
    EXPECT_NE(same.get(), src.get());

    BlockGuard dib(dw.ConvertDIBitmap2DIB(src.get()));
    BlockGuard dibBig(dw.StretchDIB2DIB(dib.get(), 8, 30));
    LockedBlock b(dibBig.get());
    ASSERT_TRUE(b);
    EXPECT_EQ(b.header()->biWidth, 8);
    EXPECT_EQ(b.bits(0)[2], 0);      // bottom row blue
    EXPECT_EQ(b.bits(0)[0], 255);

    // An 8-bit source gets a 24-bit copy with its colours.
    BitmapGuard gray(dw.MakeBlank256GrayDIBitmap(4, 4));
    memset(SectionPixels(gray.get()), 77, 16);
    BitmapGuard grayBig(dw.StretchDIBitmap2DIBitmap(gray.get(), 9, 9));
    EXPECT_EQ(SectionBits(grayBig.get()), 24);
    EXPECT_EQ(Read24(grayBig.get(), 4, 4), RGB(77, 77, 77));
}

TEST(StretchMeta, ReusesOrReplacesTheDestination) {
    auto &dw = Dw();
    BitmapGuard src(NewUniform24(10, 10, RGB(1, 2, 3)));
    BitmapGuard out(NewSection(20, 20, 24));
    HBITMAP kept = out.get();
    ASSERT_EQ(dw.StretchMetaDIB(nullptr, src.get(), 20, 20, nullptr, out.ptr()), 1);
    EXPECT_EQ(out.get(), kept);  // right size and format: written in place
    EXPECT_EQ(Read24(out.get(), 19, 19), RGB(1, 2, 3));

    ASSERT_EQ(dw.StretchMetaDIB(nullptr, src.get(), 5, 7, nullptr, out.ptr()), 1);
    EXPECT_EQ(SectionSize(out.get()).cx, 5);  // another size: replaced

    // Same size with a destination of the other kind: the DIBitmap source
    // is converted into the DIB asked for.
    BlockGuard dibOut;
    ASSERT_EQ(dw.StretchMetaDIB(nullptr, src.get(), 10, 10, dibOut.ptr(), nullptr), 1);
    LockedBlock b(dibOut.get());
    ASSERT_TRUE(b);
    EXPECT_EQ(b.bits(0)[2], 1);
    EXPECT_EQ(dw.StretchMetaDIB(nullptr, nullptr, 10, 10, dibOut.ptr(), nullptr), 0);
    EXPECT_EQ(dw.StretchMetaDIB(nullptr, src.get(), 10, 10, nullptr, nullptr), 0);
}

// One picture named as source and destination: the new picture is made
// from the source, which stays alive (it is the caller's); a destination
// that is not the source is freed once the new picture is in place.
TEST(StretchMeta, AndTilingIntoTheSourceItselfReadTheSourceToTheEnd) {
    auto &dw = Dw();
    auto colour = [](int x, int y) { return RGB(x * 20, y * 20, 40); };
    BitmapGuard src(New24(10, 10, colour));
    HBITMAP h = src.get();
    ASSERT_EQ(dw.StretchMetaDIB(nullptr, h, 20, 20, nullptr, &h), 1);
    BitmapGuard stretched(h);
    ASSERT_NE(h, src.get());
    EXPECT_EQ(SectionSize(src.get()).cx, 10) << "the source lives on";
    EXPECT_EQ(Read24(src.get(), 3, 4), colour(3, 4));
    EXPECT_EQ(Read24(stretched.get(), 0, 0), colour(0, 0));
    EXPECT_EQ(SectionSize(stretched.get()).cy, 20);

    // Same size: a copy, the source again untouched.
    h = src.get();
    ASSERT_EQ(dw.StretchMetaDIB(nullptr, h, 10, 10, nullptr, &h), 1);
    BitmapGuard copy(h);
    EXPECT_EQ(SectionSize(src.get()).cx, 10);
    EXPECT_EQ(Read24(copy.get(), 9, 9), colour(9, 9));

    BlockGuard dib(dw.ConvertDIBitmap2DIB(src.get()));
    HGLOBAL d = dib.get();
    ASSERT_EQ(dw.TilingMetaDIB(d, nullptr, 25, 3, &d, nullptr), 1);
    BlockGuard tiled(d);
    ASSERT_NE(d, dib.get());
    EXPECT_EQ(GlobalFlags(dib.get()) & (GMEM_INVALID_HANDLE | GMEM_LOCKCOUNT), 0u) << "alive and unlocked";
    EXPECT_EQ(LockedBlock(tiled.get()).header()->biWidth, 25);
    EXPECT_EQ(LockedBlock(tiled.get()).bits(0)[3 * 23 + 2], GetRValue(colour(3, 9)));

    // A destination that is not the source is replaced and freed.
    HBITMAP other = NewSection(4, 4, 24);
    ASSERT_EQ(dw.TilingMetaDIB(nullptr, src.get(), 6, 6, nullptr, &other), 1);
    BitmapGuard otherOut(other);
    EXPECT_EQ(SectionSize(other).cx, 6);
}

TEST(Tiling, CoversFromTheBottomLeft) {
    auto &dw = Dw();
    // 3 x 2 -> 8 x 5: memory row r is source row r mod 2; column x is
    // source column x mod 3.
    auto colour = [](int x, int y) { return RGB(x * 80, y * 100, 5); };
    BitmapGuard src(New24(3, 2, colour));
    BitmapGuard tiled(dw.TilingDIBitmap(src.get(), 8, 5));
    ASSERT_EQ(SectionSize(tiled.get()).cy, 5);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 8; ++x) {
            const int memoryRow = 4 - y, sourceRow = memoryRow % 2;
            ASSERT_EQ(Read24(tiled.get(), x, y), colour(x % 3, 1 - sourceRow)) << x << "," << y;
        }
    BlockGuard dib(dw.ConvertDIBitmap2DIB(src.get()));
    BlockGuard tiledDib(dw.TilingDIB(dib.get(), 7, 3));
    EXPECT_EQ(LockedBlock(tiledDib.get()).header()->biWidth, 7);

    BitmapGuard metaOut;
    BlockGuard metaDib;
    ASSERT_EQ(dw.TilingMetaDIB(nullptr, src.get(), 6, 6, metaDib.ptr(), metaOut.ptr()), 1);
    EXPECT_NE(metaOut.get(), nullptr);
    EXPECT_EQ(metaDib.get(), nullptr);  // with both asked for, only the DIBitmap
}

TEST(Fitting, ThumbnailsNeverGrow) {
    auto &dw = Dw();
    BitmapGuard src(NewUniform24(100, 50, RGB(4, 5, 6)));
    const RECT box{10, 10, 50, 50};
    BitmapGuard small(dw.MakeSmallDIBitmap(nullptr, src.get(), &box));
    ASSERT_NE(small.get(), nullptr);
    EXPECT_EQ(SectionSize(small.get()).cx, 40);
    EXPECT_EQ(SectionSize(small.get()).cy, 20);
    EXPECT_EQ(Read24(small.get(), 39, 19), RGB(4, 5, 6));
    const RECT wide{0, 0, 200, 200};
    BitmapGuard copy(dw.MakeSmallDIBitmap(nullptr, src.get(), &wide));
    EXPECT_EQ(SectionSize(copy.get()).cx, 100);
    const RECT empty{5, 5, 5, 50};
    EXPECT_EQ(dw.MakeSmallDIBitmap(nullptr, src.get(), &empty), nullptr);

    BlockGuard dib(dw.ConvertDIBitmap2DIB(src.get()));
    BlockGuard smallDib(dw.MakeSmallDIB(dib.get(), &box));
    EXPECT_EQ(LockedBlock(smallDib.get()).header()->biHeight, 20);

    // 1-bit: nearest sampling keeps set bits, other formats are refused.
    BitmapGuard mono(dw.MakeBlankMonoDIBitmap(16, 8));
    memset(SectionPixels(mono.get()), 0xFF, 32);
    const RECT half{0, 0, 8, 8};
    BitmapGuard monoSmall(dw.MakeSmallMonoDIBitmap(nullptr, mono.get(), &half));
    EXPECT_EQ(SectionBits(monoSmall.get()), 1);
    EXPECT_EQ(SectionSize(monoSmall.get()).cx, 8);
    EXPECT_EQ(SectionPixels(monoSmall.get())[0], 0xFF);
    EXPECT_EQ(dw.MakeSmallMonoDIBitmap(nullptr, src.get(), &half), nullptr);
}

}  // namespace
