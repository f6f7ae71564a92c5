// Picture handles: creation rules, header and colour tables, locking and
// freeing, and the refusal of sizes that do not fit.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "dibwork_binding.h"

namespace {

bool SameColor(const RGBQUAD &q, BYTE r, BYTE g, BYTE b) {
    return q.rgbRed == r && q.rgbGreen == g && q.rgbBlue == b && q.rgbReserved == 0;
}

// A header with room for a full colour table behind it.
struct HeaderWithTable {
    BITMAPINFOHEADER h{};
    RGBQUAD table[256]{};
};

HeaderWithTable InfoHeader(int width, int height, WORD bits, DWORD used = 0, DWORD compression = BI_RGB) {
    HeaderWithTable t;
    t.h.biSize = sizeof(BITMAPINFOHEADER);
    t.h.biWidth = width;
    t.h.biHeight = height;
    t.h.biPlanes = 1;
    t.h.biBitCount = bits;
    t.h.biClrUsed = used;
    t.h.biCompression = compression;
    return t;
}

TEST(Layout, StrideFollowsTheRowFormula) {
    auto &dw = Dw();
    EXPECT_EQ(dw.BitmapWidthBytes(1, 24), 4u);
    EXPECT_EQ(dw.BitmapWidthBytes(3, 24), 12u);
    EXPECT_EQ(dw.BitmapWidthBytes(33, 1), 8u);
    EXPECT_EQ(dw.BitmapWidthBytes(64, 24), 192u);
    EXPECT_EQ(dw.BitmapWidthBytes(10, 4), 8u);
    auto t = InfoHeader(10, 5, 8);
    EXPECT_EQ(dw.GetBitmapWidthBytes(&t.h), 12u);
    EXPECT_EQ(dw.GetImageSize(&t.h), 60u);
    EXPECT_EQ(dw.GetBitmapWidthBytes(nullptr), 0u);
    EXPECT_EQ(dw.GetImageSize(nullptr), 0u);
}

TEST(Layout, ColourTableRules) {
    auto &dw = Dw();
    auto used5 = InfoHeader(4, 4, 8, 5);
    EXPECT_EQ(dw.DibNumColors(&used5.h), 5);
    EXPECT_EQ(dw.GetPaletteSize(&used5.h), 20);

    auto bitfields = InfoHeader(4, 4, 16, 0, BI_BITFIELDS);
    EXPECT_EQ(dw.DibNumColors(&bitfields.h), 0);
    EXPECT_EQ(dw.GetPaletteSize(&bitfields.h), 12);
    bitfields.h.biClrUsed = 7;  // masks stay 12 bytes whatever the count
    EXPECT_EQ(dw.GetPaletteSize(&bitfields.h), 12);

    for (WORD bits : {1, 4, 8, 16, 24, 32}) {
        auto t = InfoHeader(4, 4, bits);
        const WORD expected = bits == 1 ? 2 : bits == 4 ? 16 : bits == 8 ? 256 : 0;
        EXPECT_EQ(dw.DibNumColors(&t.h), expected) << bits;
        EXPECT_EQ(dw.GetPaletteSize(&t.h), expected * 4) << bits;
    }

    // The 12-byte core header counts 3 bytes a colour and ignores nothing
    // of its own layout: width and height are 16-bit there.
    BITMAPCOREHEADER core{sizeof(BITMAPCOREHEADER), 10, 3, 1, 8};
    auto *asInfo = reinterpret_cast<const BITMAPINFOHEADER *>(&core);
    EXPECT_EQ(dw.DibNumColors(asInfo), 256);
    EXPECT_EQ(dw.GetPaletteSize(asInfo), 768);
    EXPECT_EQ(dw.GetBitmapWidthBytes(asInfo), 12u);
    EXPECT_EQ(dw.GetImageSize(asInfo), 36u);

    EXPECT_EQ(dw.DibNumColors(nullptr), 0);
    EXPECT_EQ(dw.GetPaletteSize(nullptr), 0);
}

TEST(MakeBlankDIB, RefusesBadSizesAndBitCounts) {
    auto &dw = Dw();
    EXPECT_EQ(dw.MakeBlankDIB(0, 10, 24), nullptr);
    EXPECT_EQ(dw.MakeBlankDIB(10, 0, 24), nullptr);
    EXPECT_EQ(dw.MakeBlankDIB(-3, 10, 24), nullptr);
    EXPECT_EQ(dw.MakeBlankDIB(10, -3, 24), nullptr);
    EXPECT_EQ(dw.MakeBlankDIB(10, 10, 16), nullptr);
    EXPECT_EQ(dw.MakeBlankDIB(10, 10, 32), nullptr);
    EXPECT_EQ(dw.MakeBlankDIB(10, 10, 0), nullptr);
    EXPECT_EQ(dw.MakeBlankDIB(10, 10, 0xFFFF), nullptr);
}

TEST(MakeBlankDIB, OneBitPictureHasBlackWhiteTableAndPackedLayout) {
    auto &dw = Dw();
    HGLOBAL dib = dw.MakeBlankDIB(10, 10, 1);
    ASSERT_NE(dib, nullptr);
    EXPECT_GE(GlobalSize(dib), 40u + 8u + 40u);
    EXPECT_EQ(GlobalFlags(dib) & GMEM_LOCKCOUNT, 0u) << "returned unlocked";

    BITMAPINFOHEADER *h = nullptr;
    BYTE *bits = dw.GetMetaBitmapInfoHeader(dib, nullptr, &h);
    ASSERT_NE(bits, nullptr);
    EXPECT_EQ(reinterpret_cast<BYTE *>(h), static_cast<BYTE *>(GlobalLock(dib)));
    GlobalUnlock(dib);
    EXPECT_EQ(h->biSize, 40u);
    EXPECT_EQ(h->biWidth, 10);
    EXPECT_EQ(h->biHeight, 10);
    EXPECT_EQ(h->biPlanes, 1);
    EXPECT_EQ(h->biBitCount, 1);
    EXPECT_EQ(h->biCompression, static_cast<DWORD>(BI_RGB));
    EXPECT_EQ(h->biSizeImage, 40u);
    EXPECT_EQ(h->biClrUsed, 2u);
    EXPECT_EQ(h->biClrImportant, 2u);
    EXPECT_EQ(h->biXPelsPerMeter, 0);
    auto *table = reinterpret_cast<RGBQUAD *>(h + 1);
    EXPECT_TRUE(SameColor(table[0], 0, 0, 0));
    EXPECT_TRUE(SameColor(table[1], 255, 255, 255));
    EXPECT_EQ(bits, reinterpret_cast<BYTE *>(h) + 48);
    EXPECT_EQ(dw.GetDIBDataAdress(h), bits);
    dw.ReleaseMetaBitmapInfoHeader(dib, nullptr, h);
    EXPECT_EQ(dw.FreeDIB(&dib), 1);
    EXPECT_EQ(dib, nullptr);
}

TEST(MakeBlankDIB, HeaderFieldsFor8And24Bits) {
    auto &dw = Dw();
    HGLOBAL dib8 = dw.MakeBlankDIB(3, 2, 8);
    HGLOBAL dib24 = dw.MakeBlankDIB(3, 2, 24);
    ASSERT_NE(dib8, nullptr);
    ASSERT_NE(dib24, nullptr);
    auto *h8 = static_cast<BITMAPINFOHEADER *>(GlobalLock(dib8));
    auto *h24 = static_cast<BITMAPINFOHEADER *>(GlobalLock(dib24));
    EXPECT_EQ(h8->biClrUsed, 256u);
    EXPECT_EQ(h8->biSizeImage, 8u);
    EXPECT_GE(GlobalSize(dib8), 40u + 1024u + 8u);
    EXPECT_EQ(h24->biClrUsed, 0u);
    EXPECT_EQ(h24->biClrImportant, 0u);
    EXPECT_EQ(h24->biSizeImage, 24u);
    GlobalUnlock(dib8);
    GlobalUnlock(dib24);
    dw.FreeDIB(&dib8);
    dw.FreeDIB(&dib24);
}

// Sizes whose row, image or block size would not fit in 32 bits must give
// NULL from every creator, never a short block.
TEST(Creators, RefuseSizesThatOverflow) {
    auto &dw = Dw();
    EXPECT_EQ(dw.MakeBlankDIB(0x7FFFFFFF, 2, 24), nullptr);
    EXPECT_EQ(dw.MakeBlankDIB(65536, 65536, 24), nullptr);   // 12 GiB
    EXPECT_EQ(dw.MakeBlankDIB(0x40000001, 1, 8), nullptr);
    EXPECT_EQ(dw.MakeBlankDIBitmap(65536, 65536, 24), nullptr);
    EXPECT_EQ(dw.MakeBlankFCDIBitmap(0x7FFFFFFF, 0x7FFFFFFF), nullptr);
    EXPECT_EQ(dw.MakeBlankMonoDIBitmap(-1, 5), nullptr);
    EXPECT_EQ(dw.MakeBlank256GrayDIBitmap(5, -1), nullptr);
    EXPECT_EQ(dw.MakeBlankDIBitmap(10, 10, 7), nullptr);
    EXPECT_EQ(dw.MakeBlankDIBitmap(10, 10, 0), nullptr);
    EXPECT_EQ(dw.MakeBlankDIBitmap(10, 10, 0xFFFF), nullptr);

    auto huge = InfoHeader(100000, 100000, 24);
    EXPECT_EQ(dw.MakeBlankDIBImg(&huge.h), nullptr);
    EXPECT_EQ(dw.MakeBlankDIBitmapImg(reinterpret_cast<BITMAPINFO *>(&huge.h)), nullptr);
    auto templ = InfoHeader(4, 4, 24);
    EXPECT_EQ(dw.MakeBlankDIBWithBI(&templ.h, 0x20000000, 0x20000000), nullptr);
    EXPECT_EQ(dw.MakeBlankDIBitmapWithBI(&templ.h, 0x20000000, 16), nullptr);
    auto negative = InfoHeader(-4, 4, 24);
    EXPECT_EQ(dw.MakeBlankDIBImg(&negative.h), nullptr);
    auto absurdHeader = InfoHeader(4, 4, 24);
    absurdHeader.h.biSize = 0x7FFFFFF0;
    EXPECT_EQ(dw.MakeBlankDIBImg(&absurdHeader.h), nullptr);

    HBITMAP small = dw.MakeBlankFCDIBitmap(4, 4);
    EXPECT_EQ(dw.MakeBlankDIBitmapWithDIBitmap(small, 0x7FFFFFFF, 0x7FFFFFFF), nullptr);
    dw.FreeDIBitmap(&small);
}

TEST(Creators, SectionsHaveTheirFormatsAndTables) {
    auto &dw = Dw();
    struct Case {
        HBITMAP bitmap;
        WORD bits;
        DWORD used;
    } cases[] = {
        {dw.MakeBlankFCDIBitmap(7, 3), 24, 0},
        {dw.MakeBlankMonoDIBitmap(7, 3), 1, 2},
        {dw.MakeBlank256GrayDIBitmap(7, 3), 8, 256},
        {dw.MakeBlankDIBitmap(7, 3, 4), 4, 16},
        {dw.MakeBlankDIBitmap(7, 3, 8), 8, 256},
    };
    for (auto &c : cases) {
        ASSERT_NE(c.bitmap, nullptr) << c.bits;
        BITMAPINFOHEADER *h = nullptr;
        BYTE *bits = dw.GetMetaBitmapInfoHeader(nullptr, c.bitmap, &h);
        ASSERT_NE(bits, nullptr);
        EXPECT_EQ(h->biWidth, 7);
        EXPECT_EQ(h->biHeight, 3);
        EXPECT_EQ(h->biBitCount, c.bits);
        EXPECT_EQ(h->biClrUsed, c.used);
        EXPECT_EQ(bits, dw.GetDIBitmapDataAddress(c.bitmap));
        const DWORD stride = dw.GetBitmapWidthBytes(h);
        // A fresh section is zero-filled.
        for (DWORD i = 0; i < stride * 3; ++i) ASSERT_EQ(bits[i], 0) << "byte " << i;
        if (c.bits <= 8) {
            auto *table = reinterpret_cast<RGBQUAD *>(h + 1);
            for (DWORD i = 0; i < (1u << c.bits); ++i) {
                const BYTE grey = static_cast<BYTE>(i);
                if (c.bits == 1) {
                    EXPECT_TRUE(SameColor(table[i], i ? 255 : 0, i ? 255 : 0, i ? 255 : 0));
                } else if (c.used == 256 && c.bitmap == cases[2].bitmap) {
                    EXPECT_TRUE(SameColor(table[i], grey, grey, grey)) << i;
                } else {
                    EXPECT_TRUE(SameColor(table[i], 0, 0, 0)) << i;
                }
            }
        }
        dw.ReleaseMetaBitmapInfoHeader(nullptr, c.bitmap, h);
        EXPECT_EQ(dw.FreeDIBitmap(&c.bitmap), 1);
    }
}

TEST(Creators, TemplatesKeepFormatAndPalette) {
    auto &dw = Dw();
    auto t = InfoHeader(2, 2, 8, 3);
    t.table[0] = RGBQUAD{10, 20, 30, 0};
    t.table[1] = RGBQUAD{40, 50, 60, 0};
    t.table[2] = RGBQUAD{70, 80, 90, 0};

    HGLOBAL dib = dw.MakeBlankDIBWithBI(&t.h, 9, 4);
    ASSERT_NE(dib, nullptr);
    auto *h = static_cast<BITMAPINFOHEADER *>(GlobalLock(dib));
    EXPECT_EQ(h->biWidth, 9);
    EXPECT_EQ(h->biHeight, 4);
    EXPECT_EQ(h->biSizeImage, 12u * 4u);
    EXPECT_EQ(h->biClrUsed, 3u);
    EXPECT_EQ(std::memcmp(h + 1, t.table, 12), 0);
    GlobalUnlock(dib);
    dw.FreeDIB(&dib);

    auto rle = InfoHeader(2, 2, 8, 0, BI_RLE8);
    EXPECT_EQ(dw.MakeBlankDIBWithBI(&rle.h, 4, 4), nullptr);
    auto bits16 = InfoHeader(2, 2, 16);
    EXPECT_EQ(dw.MakeBlankDIBWithBI(&bits16.h, 4, 4), nullptr);
    EXPECT_EQ(dw.MakeBlankDIBWithBI(nullptr, 4, 4), nullptr);

    HBITMAP fromHeader = dw.MakeBlankDIBitmapWithBI(&t.h, 5, 6);
    ASSERT_NE(fromHeader, nullptr);
    HBITMAP fromBitmap = dw.MakeBlankDIBitmapWithDIBitmap(fromHeader, 11, 2);
    ASSERT_NE(fromBitmap, nullptr);
    for (HBITMAP b : {fromHeader, fromBitmap}) {
        BITMAPINFOHEADER *copy = nullptr;
        ASSERT_NE(dw.GetMetaBitmapInfoHeader(nullptr, b, &copy), nullptr);
        EXPECT_EQ(copy->biBitCount, 8);
        auto *table = reinterpret_cast<RGBQUAD *>(copy + 1);
        EXPECT_TRUE(SameColor(table[0], 30, 20, 10));
        EXPECT_TRUE(SameColor(table[2], 90, 80, 70));
        dw.ReleaseMetaBitmapInfoHeader(nullptr, b, copy);
    }
    BITMAPINFOHEADER info{};
    dw.GetDIBitmapInfoHeader(&info, fromBitmap);
    EXPECT_EQ(info.biWidth, 11);
    EXPECT_EQ(info.biHeight, 2);
    EXPECT_EQ(dw.MakeBlankDIBitmapWithDIBitmap(nullptr, 3, 3), nullptr);
    EXPECT_EQ(dw.MakeBlankDIBitmapWithDIBitmap(fromBitmap, 0, 3), nullptr);
    dw.FreeDIBitmap(&fromHeader);
    dw.FreeDIBitmap(&fromBitmap);
}

TEST(MakeBlankDIBImg, CopiesHeaderAndTableVerbatim) {
    auto &dw = Dw();
    auto t = InfoHeader(5, 3, 4);
    t.h.biSizeImage = 12345;  // kept as given
    t.h.biXPelsPerMeter = 2835;
    for (int i = 0; i < 16; ++i) t.table[i] = RGBQUAD{BYTE(i), BYTE(2 * i), BYTE(3 * i), 0};
    HGLOBAL dib = dw.MakeBlankDIBImg(&t.h);
    ASSERT_NE(dib, nullptr);
    EXPECT_GE(GlobalSize(dib), 40u + 64u + 12u);
    auto *h = static_cast<BITMAPINFOHEADER *>(GlobalLock(dib));
    EXPECT_EQ(std::memcmp(h, &t, 40 + 64), 0);
    GlobalUnlock(dib);
    dw.FreeDIB(&dib);
    EXPECT_EQ(dw.MakeBlankDIBImg(nullptr), nullptr);
}

TEST(HeaderAccess, SectionCopyIsDetachedButBitsAreLive) {
    auto &dw = Dw();
    HBITMAP bitmap = dw.MakeBlankFCDIBitmap(4, 2);
    BITMAPINFOHEADER *copy = nullptr;
    BYTE *bits = dw.GetMetaBitmapInfoHeader(nullptr, bitmap, &copy);
    ASSERT_NE(bits, nullptr);
    EXPECT_EQ(GlobalSize(copy), 40u) << "24-bit copy holds just the header";
    copy->biWidth = 99;                  // editing the copy changes nothing
    bits[0] = 0x11;                      // bottom-left pixel, blue byte
    bits[1] = 0x22;
    bits[2] = 0x33;
    dw.ReleaseMetaBitmapInfoHeader(nullptr, bitmap, copy);

    BITMAPINFOHEADER info{};
    void *live = nullptr;
    EXPECT_EQ(dw.GetDIBitmapInfo(bitmap, &info, &live), 1);
    EXPECT_EQ(info.biWidth, 4);
    EXPECT_EQ(live, bits);

    HGDIOBJ previous = nullptr;
    HDC dc = dw.CreateDIBitmapDC(nullptr, bitmap, &previous);
    ASSERT_NE(dc, nullptr);
    EXPECT_NE(previous, nullptr);
    GdiFlush();
    EXPECT_EQ(GetPixel(dc, 0, 1), RGB(0x33, 0x22, 0x11)) << "bottom row is y = height - 1";
    SetPixel(dc, 3, 0, RGB(1, 2, 3));   // top-right pixel
    GdiFlush();
    const DWORD stride = dw.BitmapWidthBytes(4, 24);
    EXPECT_EQ(bits[stride + 9], 3);
    EXPECT_EQ(bits[stride + 10], 2);
    EXPECT_EQ(bits[stride + 11], 1);
    dw.DeleteDIBitmapDC(nullptr, dc, previous);
    dw.DeleteDIBitmapDC(nullptr, nullptr, nullptr);  // no DC: nothing happens
    EXPECT_EQ(dw.FreeDIBitmap(&bitmap), 1);
}

TEST(HeaderAccess, EightBitCopyHoldsAll256Entries) {
    auto &dw = Dw();
    auto t = InfoHeader(3, 3, 8, 16);
    for (int i = 0; i < 16; ++i) t.table[i] = RGBQUAD{BYTE(i * 16), 0, 0, 0};
    HBITMAP bitmap = dw.MakeBlankDIBitmapWithBI(&t.h, 3, 3);
    ASSERT_NE(bitmap, nullptr);
    BITMAPINFOHEADER *copy = nullptr;
    ASSERT_NE(dw.GetMetaBitmapInfoHeader(nullptr, bitmap, &copy), nullptr);
    EXPECT_EQ(GlobalSize(copy), 40u + 256u * 4u);
    auto *table = reinterpret_cast<RGBQUAD *>(copy + 1);
    EXPECT_EQ(table[15].rgbBlue, 240);
    dw.ReleaseMetaBitmapInfoHeader(nullptr, bitmap, copy);
    dw.FreeDIBitmap(&bitmap);
}

TEST(HeaderAccess, NullAndForeignHandles) {
    auto &dw = Dw();
    BITMAPINFOHEADER *h = reinterpret_cast<BITMAPINFOHEADER *>(0x1234);
    EXPECT_EQ(dw.GetMetaBitmapInfoHeader(nullptr, nullptr, &h), nullptr);
    EXPECT_EQ(h, reinterpret_cast<BITMAPINFOHEADER *>(0x1234)) << "out value untouched on failure";
    EXPECT_EQ(dw.lpGetMetaBitmapInfoHeader(nullptr, nullptr, &h), nullptr);

    // A device-dependent bitmap is not a DIB section.
    HDC screen = GetDC(nullptr);
    HBITMAP ddb = CreateCompatibleBitmap(screen, 4, 4);
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(dw.GetMetaBitmapInfoHeader(nullptr, ddb, &h), nullptr);
    EXPECT_EQ(dw.GetDIBitmapDataAddress(ddb), nullptr);
    EXPECT_EQ(dw.GetDIBitmapInfo(ddb, nullptr, nullptr), 0);
    BITMAPINFOHEADER info{};
    info.biSize = 40;
    dw.GetDIBitmapInfoHeader(&info, ddb);
    EXPECT_EQ(info.biSize, 0u);
    info.biSize = 40;
    dw.GetDIBitmapInfoHeader(&info, nullptr);
    EXPECT_EQ(info.biSize, 0u);
    DeleteObject(ddb);

    EXPECT_EQ(dw.GetDIBitmapInfo(nullptr, &info, nullptr), 0);
    EXPECT_EQ(dw.GetDIBitmapDataAddress(nullptr), nullptr);
    EXPECT_EQ(dw.GetDIBDataAdress(nullptr), nullptr);
    EXPECT_EQ(dw.CreateDIBitmapDC(nullptr, nullptr, nullptr), nullptr);
}

TEST(HeaderAccess, VariableFormsReadThroughPointers) {
    auto &dw = Dw();
    HBITMAP bitmap = dw.MakeBlankFCDIBitmap(2, 2);
    HGLOBAL noDib = nullptr;
    BITMAPINFOHEADER *h = nullptr;
    BYTE *bits = dw.lpGetMetaBitmapInfoHeader(&noDib, &bitmap, &h);
    ASSERT_NE(bits, nullptr);
    EXPECT_EQ(h->biWidth, 2);
    dw.lpReleaseMetaBitmapInfoHeader(&noDib, &bitmap, h);
    ASSERT_NE(dw.lpGetMetaBitmapInfoHeader(nullptr, &bitmap, &h), nullptr);
    dw.lpReleaseMetaBitmapInfoHeader(nullptr, &bitmap, h);

    HGLOBAL dib = dw.MakeBlankDIB(2, 2, 24);
    bits = dw.lpGetMetaBitmapInfoHeader(&dib, &bitmap, &h);  // the DIB wins
    ASSERT_NE(bits, nullptr);
    EXPECT_EQ(GlobalFlags(dib) & GMEM_LOCKCOUNT, 1u);
    dw.lpReleaseMetaBitmapInfoHeader(&dib, &bitmap, h);
    EXPECT_EQ(GlobalFlags(dib) & GMEM_LOCKCOUNT, 0u);
    dw.FreeMetaDIB(&bitmap, &dib);
    EXPECT_EQ(bitmap, nullptr);
    EXPECT_EQ(dib, nullptr);
}

TEST(HeaderAccess, DibBlockTooSmallForItsHeaderIsRefused) {
    auto &dw = Dw();
    HGLOBAL tiny = GlobalAlloc(GHND, 20);
    auto *p = static_cast<DWORD *>(GlobalLock(tiny));
    p[0] = 40;  // announces a 40-byte header in a 20-byte block
    GlobalUnlock(tiny);
    BITMAPINFOHEADER *h = nullptr;
    EXPECT_EQ(dw.GetMetaBitmapInfoHeader(tiny, nullptr, &h), nullptr);
    EXPECT_EQ(GlobalFlags(tiny) & GMEM_LOCKCOUNT, 0u) << "the lock is undone";
    GlobalFree(tiny);
}

TEST(Freeing, LocksAreCountedAndUndone) {
    auto &dw = Dw();
    HGLOBAL dib = dw.MakeBlankDIB(8, 8, 8);
    BITMAPINFOHEADER *h1 = nullptr, *h2 = nullptr;
    ASSERT_NE(dw.GetMetaBitmapInfoHeader(dib, nullptr, &h1), nullptr);
    ASSERT_NE(dw.GetMetaBitmapInfoHeader(dib, nullptr, &h2), nullptr);
    EXPECT_EQ(h1, h2);
    EXPECT_EQ(GlobalFlags(dib) & GMEM_LOCKCOUNT, 2u);
    dw.ReleaseMetaBitmapInfoHeader(dib, nullptr, h1);
    EXPECT_EQ(GlobalFlags(dib) & GMEM_LOCKCOUNT, 1u);
    GlobalLock(dib);  // a forgotten lock on top
    HGLOBAL copy = dib;
    EXPECT_EQ(dw.FreeHandle(&dib), 1);
    EXPECT_EQ(dib, nullptr);
    EXPECT_EQ(GlobalFlags(copy), static_cast<UINT>(GMEM_INVALID_HANDLE)) << "block is gone";
    EXPECT_EQ(dw.FreeHandle(&dib), 0) << "second free of a cleared variable";
    EXPECT_EQ(dw.FreeHandle(nullptr), 0);
    EXPECT_EQ(dw.FreeDIB(nullptr), 0);
}

TEST(Freeing, BitmapsThroughPointersAndTwice) {
    auto &dw = Dw();
    HBITMAP none = nullptr;
    EXPECT_EQ(dw.FreeDIBitmap(&none), 0);
    EXPECT_EQ(dw.FreeDIBitmap(nullptr), 0);

    HBITMAP bitmap = dw.MakeBlankFCDIBitmap(3, 3);
    EXPECT_EQ(dw.FreeDIBitmap(&bitmap), 1);
    EXPECT_EQ(bitmap, nullptr);
    EXPECT_EQ(dw.FreeDIBitmap(&bitmap), 0);

    HBITMAP only = dw.MakeBlankFCDIBitmap(3, 3);
    EXPECT_EQ(dw.FreeMetaDIB(&only, nullptr), 1);
    EXPECT_EQ(only, nullptr);
    EXPECT_EQ(dw.FreeMetaDIB(nullptr, nullptr), 1);
}

}  // namespace
