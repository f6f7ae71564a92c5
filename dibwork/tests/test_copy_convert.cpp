// Copying and converting pictures: duplicates, kind changes, pixel copies
// with their argument order, palettes, 24-bit and normal-form conversion
// (with hostile headers), and the octree reduction.
#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <set>

#include "dibwork_binding.h"
#include "picture_helpers.h"

using namespace picture_test;

namespace {

COLORREF Gradient(int x, int y) { return RGB(x * 7 % 256, y * 5 % 256, (x + y) % 256); }

TEST(Copies, DuplicatesAreIndependentPictures) {
    auto &dw = Dw();
    BitmapGuard src(New24(33, 17, Gradient));
    BitmapGuard copy(dw.CopyDIBitmap(src.get()));
    ASSERT_NE(copy.get(), nullptr);
    ASSERT_NE(copy.get(), src.get());
    EXPECT_EQ(Read24(copy.get(), 32, 16), Gradient(32, 16));
    Write24(copy.get(), 0, 0, RGB(1, 2, 3));
    EXPECT_EQ(Read24(src.get(), 0, 0), Gradient(0, 0));

    // DIBitmap -> DIB -> DIBitmap keeps header, table and pixels.
    const std::vector<RGBQUAD> table = {{0, 0, 0, 0}, {10, 20, 30, 0}, {40, 50, 60, 0}};
    BitmapGuard indexed(NewSection(5, 3, 8, table));
    SectionPixels(indexed.get())[1] = 2;
    BlockGuard dib(dw.ConvertDIBitmap2DIB(indexed.get()));
    {
        LockedBlock b(dib.get());
        ASSERT_TRUE(b);
        EXPECT_EQ(b.header()->biBitCount, 8);
        EXPECT_EQ(b.table()[2].rgbRed, 60);
        EXPECT_EQ(b.bits(dw.DibNumColors(b.header()))[1], 2);
    }
    BitmapGuard back(dw.ConvertDIB2DIBitmap(dib.get()));
    EXPECT_EQ(SectionPixels(back.get())[1], 2);
    BlockGuard dibCopy(dw.CopyDIB(dib.get()));
    EXPECT_EQ(GlobalSize(dibCopy.get()), GlobalSize(dib.get()));
    // CopyMetaDIB always makes a DIBitmap, from either member.
    BitmapGuard fromDib(dw.CopyMetaDIB(dib.get(), nullptr));
    EXPECT_EQ(SectionBits(fromDib.get()), 8);
    EXPECT_EQ(SectionPixels(fromDib.get())[1], 2);
    BitmapGuard fromBitmap(dw.CopyMetaDIB(nullptr, indexed.get()));
    EXPECT_EQ(SectionPixels(fromBitmap.get())[1], 2);
    EXPECT_EQ(dw.CopyMetaDIB(nullptr, nullptr), nullptr);

    BitmapGuard viaMeta;
    EXPECT_EQ(dw.ConvertMetaDIB(dib.get(), nullptr, nullptr, viaMeta.ptr()), 1);
    EXPECT_EQ(SectionPixels(viaMeta.get())[1], 2);
    EXPECT_EQ(dw.ConvertMetaDIB(dib.get(), nullptr, nullptr, nullptr), 0);
    EXPECT_EQ(dw.ConvertMetaDIB(nullptr, nullptr, dibCopy.ptr(), nullptr), 0);
}

TEST(Copies, ForwardNeedsEqualGeometry) {
    auto &dw = Dw();
    BitmapGuard a(New24(640, 480, Gradient)), b(NewSection(640, 480, 24)), gray(NewSection(640, 480, 8));
    EXPECT_EQ(dw.ForwardDIBitmap2DIBitmap(a.get(), gray.get()), 0);  // image sizes differ
    ASSERT_EQ(dw.ForwardDIBitmap2DIBitmap(a.get(), b.get()), 1);
    EXPECT_EQ(0, memcmp(SectionPixels(a.get()), SectionPixels(b.get()), 921600));
    BitmapGuard narrow(NewSection(639, 480, 24));
    EXPECT_EQ(dw.ForwardDIBitmap2DIBitmap(a.get(), narrow.get()), 0);
    EXPECT_EQ(dw.ForwardDIBitmap2DIBitmap(a.get(), nullptr), 0);
}

TEST(Copies, FirstArgumentReceivesIn37And38ButSendsIn39To41) {
    auto &dw = Dw();
    const auto h = InfoHeader(4, 2, 24);
    BlockGuard dib(NewPackedDib(h, {}, std::vector<uint8_t>(24, 0xAA)));
    BitmapGuard bitmap(NewSection(4, 2, 24));
    ASSERT_EQ(dw.CopyDIBitmap2DIB(bitmap.get(), dib.get()), 1);  // bitmap receives
    EXPECT_EQ(SectionPixels(bitmap.get())[5], 0xAA);
    SectionPixels(bitmap.get())[5] = 0x11;
    ASSERT_EQ(dw.CopyDIB2DIBitmap(dib.get(), bitmap.get()), 1);  // DIB receives
    EXPECT_EQ(LockedBlock(dib.get()).bits(0)[5], 0x11);

    BlockGuard other(NewPackedDib(h, {}, std::vector<uint8_t>(24, 0x22)));
    ASSERT_EQ(dw.ForwardDIB2DIB(other.get(), dib.get()), 1);  // first is the source
    EXPECT_EQ(LockedBlock(dib.get()).bits(0)[5], 0x22);
    ASSERT_EQ(dw.ForwardMetaDIB2MetaDIB(nullptr, bitmap.get(), other.get(), nullptr), 1);
    EXPECT_EQ(LockedBlock(other.get()).bits(0)[5], 0x11);

    // Refusals: another bit count, and a block too short for its rows.
    BitmapGuard gray(NewSection(12, 2, 8));
    EXPECT_EQ(dw.CopyDIB2DIBitmap(dib.get(), gray.get()), 0);
    BlockGuard cut(NewPackedDib(h, {}, std::vector<uint8_t>(12, 0)));
    EXPECT_EQ(dw.ForwardDIB2DIB(cut.get(), dib.get()), 0);
    EXPECT_EQ(dw.CopyDIBitmap2DIB(bitmap.get(), cut.get()), 0);
}

TEST(Palettes, FromHeaderAndFromBitmap) {
    auto &dw = Dw();
    struct {
        BITMAPINFOHEADER h;
        RGBQUAD t[3];
    } info{InfoHeader(2, 2, 8, BI_RGB, 3), {{1, 2, 3, 0}, {4, 5, 6, 0}, {7, 8, 9, 0}}};
    HPALETTE palette = dw.CreateBIPalette(&info.h);
    ASSERT_NE(palette, nullptr);
    PALETTEENTRY e[4]{};
    EXPECT_EQ(GetPaletteEntries(palette, 0, 4, e), 3u);
    EXPECT_EQ(e[2].peRed, 9);
    EXPECT_EQ(e[2].peBlue, 7);
    DeleteObject(palette);
    info.h.biSize = 108;
    EXPECT_EQ(dw.CreateBIPalette(&info.h), nullptr);
    auto full = InfoHeader(2, 2, 24);
    EXPECT_EQ(dw.CreateBIPalette(&full), nullptr);

    BitmapGuard gray(dw.MakeBlank256GrayDIBitmap(4, 4));
    palette = dw.CreateBmpPalette(gray.get());
    ASSERT_NE(palette, nullptr);
    PALETTEENTRY g{};
    GetPaletteEntries(palette, 200, 1, &g);
    EXPECT_EQ(g.peGreen, 200);
    DeleteObject(palette);
    BitmapGuard wide(NewSection(4, 4, 24));
    EXPECT_EQ(dw.CreateBmpPalette(wide.get()), nullptr);
}

TEST(FullColour, IndexedDibsExpandThroughTheirTable) {
    auto &dw = Dw();
    // 1 bit, width 10: bits 1011001110 -> each pixel its own colour.
    const std::vector<RGBQUAD> table = {{255, 0, 0, 0}, {0, 0, 255, 0}};  // blue, red
    const uint16_t pattern = 0b1011001110;
    std::vector<uint8_t> bits = {uint8_t(pattern >> 2), uint8_t((pattern & 3) << 6), 0, 0};
    BlockGuard mono(NewPackedDib(InfoHeader(10, 1, 1), table, bits));
    BlockGuard wide(dw.ConvFullColDIB(mono.get()));
    LockedBlock b(wide.get());
    ASSERT_TRUE(b);
    EXPECT_EQ(b.header()->biBitCount, 24);
    EXPECT_EQ(b.header()->biSizeImage, 32u);
    for (int x = 0; x < 10; ++x) {
        const bool set = (pattern >> (9 - x)) & 1;
        EXPECT_EQ(b.bits(0)[3 * x + 2], set ? 255 : 0) << x;
        EXPECT_EQ(b.bits(0)[3 * x], set ? 0 : 255) << x;
    }
}

TEST(FullColour, InPlaceAndSystemConversions) {
    auto &dw = Dw();
    BitmapGuard wide(NewSection(3, 3, 24));
    HBITMAP same = wide.get();
    EXPECT_EQ(dw.Convert24DIBitmap(wide.ptr()), 1);
    EXPECT_EQ(wide.get(), same);

    BitmapGuard indexed(NewSection(3, 3, 8, {{0, 0, 0, 0}, {30, 20, 10, 0}}));
    SectionPixels(indexed.get())[0] = 1;  // bottom-left
    EXPECT_EQ(dw.Convert24DIBitmap(indexed.ptr()), 1);
    EXPECT_EQ(SectionBits(indexed.get()), 24);
    EXPECT_EQ(Read24(indexed.get(), 0, 2), RGB(10, 20, 30));
    EXPECT_EQ(dw.Convert24DIBitmap(nullptr), 0);

    // A 32-bit DIB through the system's conversion.
    BlockGuard dib32(NewPackedDib(InfoHeader(2, 1, 32), {}, {1, 2, 3, 0, 4, 5, 6, 0}));
    BlockGuard dib24(dw.Create24DIBFromAnyDIB(dib32.get()));
    LockedBlock b(dib24.get());
    ASSERT_TRUE(b);
    EXPECT_EQ(b.header()->biBitCount, 24);
    EXPECT_EQ(b.bits(0)[3], 4);
    BitmapGuard fromMeta(dw.Create24DIBFromMetaDIB(dib32.get(), nullptr));
    EXPECT_EQ(Read24(fromMeta.get(), 1, 0), RGB(6, 5, 4));

    // A 4-bit DIBitmap made 24-bit as a new picture; the source stays.
    BitmapGuard nibbles(NewSection(3, 1, 4, {{0, 0, 0, 0}, {1, 2, 3, 0}, {4, 5, 6, 0}}));
    SectionPixels(nibbles.get())[0] = 0x21;
    BitmapGuard widened(dw.Create24DIBFromAnyDIBitmap(nibbles.get()));
    ASSERT_NE(widened.get(), nibbles.get());
    EXPECT_EQ(SectionBits(nibbles.get()), 4);
    EXPECT_EQ(Read24(widened.get(), 0, 0), RGB(6, 5, 4));
    EXPECT_EQ(Read24(widened.get(), 1, 0), RGB(3, 2, 1));
    EXPECT_EQ(dw.Create24DIBFromAnyDIBitmap(nullptr), nullptr);
}

// 4 x 2 RLE8: bottom row a run of four 1s; top row the literal 2, 3, 1
// and a run of one 2.
std::vector<uint8_t> Rle8Stream() { return {4, 1, 0, 0, 0, 3, 2, 3, 1, 0, 1, 2, 0, 1}; }

TEST(NormalForm, ConvertsWhatTheSystemKnowsAndRefusesTheRest) {
    auto &dw = Dw();
    const std::vector<RGBQUAD> table(4, RGBQUAD{9, 9, 9, 0});
    BlockGuard plain(NewPackedDib(InfoHeader(4, 2, 8, BI_RGB, 4), table, std::vector<uint8_t>(8, 1)));
    HGLOBAL before = plain.get();
    EXPECT_EQ(dw.ConvNormalDIB(plain.ptr()), 1);
    EXPECT_EQ(plain.get(), before);

    const auto stream = Rle8Stream();
    BlockGuard rle(NewPackedDib(InfoHeader(4, 2, 8, BI_RLE8, 4, DWORD(stream.size())), table, stream));
    ASSERT_EQ(dw.ConvNormalDIB(rle.ptr()), 1);
    {
        LockedBlock b(rle.get());
        EXPECT_EQ(b.header()->biCompression, DWORD(BI_RGB));
        EXPECT_EQ(b.header()->biBitCount, 8);
        const uint8_t *px = b.bits(dw.DibNumColors(b.header()));
        const uint8_t expected[8] = {1, 1, 1, 1, 2, 3, 1, 2};
        EXPECT_EQ(0, memcmp(px, expected, 8));
    }

    BlockGuard dib32(NewPackedDib(InfoHeader(2, 1, 32), {}, {1, 2, 3, 0, 4, 5, 6, 0}));
    ASSERT_EQ(dw.ConvNormalDIB(dib32.ptr()), 1);
    EXPECT_EQ(LockedBlock(dib32.get()).header()->biBitCount, 24);

    // 12-byte core header with 3-byte colour entries.
    std::vector<uint8_t> core(12 + 6 + 4);
    const BITMAPCOREHEADER ch{12, 3, 1, 1, 1};
    memcpy(core.data(), &ch, 12);
    core[12 + 5] = 200;  // entry 1 red
    core[18] = 0x40;     // pixel 1 set
    BlockGuard coreDib(GlobalAlloc(GHND, core.size()));
    memcpy(GlobalLock(coreDib.get()), core.data(), core.size());
    GlobalUnlock(coreDib.get());
    BlockGuard coreWide(dw.ConvFullColDIB(coreDib.get()));
    {
        LockedBlock b(coreWide.get());
        ASSERT_TRUE(b);
        EXPECT_EQ(b.header()->biBitCount, 24);
        EXPECT_EQ(b.bits(0)[3 + 2], 200);  // pixel 1 takes entry 1
        EXPECT_EQ(b.bits(0)[2], 0);
    }
    ASSERT_EQ(dw.ConvNormalDIB(coreDib.ptr()), 1);
    {
        LockedBlock b(coreDib.get());
        EXPECT_EQ(b.header()->biSize, 40u);
        EXPECT_EQ(b.table()[1].rgbRed, 200);
        EXPECT_EQ(b.bits(2)[0], 0x40);
    }

    // Refused, the handle kept: a 108-byte header; run-length data that
    // leaves its rows; rows the block does not hold.
    auto v4 = InfoHeader(4, 2, 8);
    v4.biSize = 108;
    BlockGuard big(NewPackedDib(v4, {}, std::vector<uint8_t>(68 + 8)));
    before = big.get();
    EXPECT_EQ(dw.ConvNormalDIB(big.ptr()), 0);
    EXPECT_EQ(big.get(), before);
    auto runaway = stream;
    runaway[0] = 9;  // a run of 9 in a row of 4
    BlockGuard bad(NewPackedDib(InfoHeader(4, 2, 8, BI_RLE8, 4, DWORD(runaway.size())), table, runaway));
    EXPECT_EQ(dw.ConvNormalDIB(bad.ptr()), 0);
    BlockGuard noEnd(NewPackedDib(InfoHeader(4, 2, 8, BI_RLE8, 4, 0), table, stream));
    EXPECT_EQ(dw.ConvNormalDIB(noEnd.ptr()), 0);  // no data size
    BlockGuard cut(NewPackedDib(InfoHeader(64, 64, 24), {}, std::vector<uint8_t>(100)));
    EXPECT_EQ(dw.ConvNormalDIB(cut.ptr()), 0);
}

TEST(NormalForm, RandomHeadersForABoundedTime) {
    // Headers of every kind over random data: the result is 0 or a block
    // in normal form that holds its rows, and nothing reads or writes
    // outside a block (a fault would end the process).
    auto &dw = Dw();
    std::mt19937 rng(97);
    const int sizes[] = {12, 40, 40, 40, 108, 16};
    const int bitCounts[] = {0, 1, 4, 8, 16, 24, 32, 2, 7};
    const auto stop = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    int converted = 0, runs = 0;
    while (std::chrono::steady_clock::now() < stop && runs < 20000) {
        ++runs;
        std::vector<uint8_t> block(40 + rng() % 1200);
        for (auto &b : block) b = uint8_t(rng() % 3 ? rng() % 8 : rng());
        BITMAPINFOHEADER h = InfoHeader(int(rng() % 24) - 2, int(rng() % 24) - 6, bitCounts[rng() % 9],
                                        rng() % 7, rng() % 4 ? 0 : rng() % 300, rng() % 4 ? rng() % 600 : rng());
        h.biSize = DWORD(sizes[rng() % 6]);
        if (rng() % 8 == 0) h.biWidth = int(rng());
        memcpy(block.data(), &h, sizeof(h));
        BlockGuard dib(GlobalAlloc(GMEM_MOVEABLE, block.size()));
        memcpy(GlobalLock(dib.get()), block.data(), block.size());
        GlobalUnlock(dib.get());
        const int result = dw.ConvNormalDIB(dib.ptr());
        ASSERT_TRUE(result == 0 || result == 1);
        if (result == 1) {
            ++converted;
            LockedBlock b(dib.get());
            const BITMAPINFOHEADER *out = b.header();
            ASSERT_EQ(out->biSize, 40u);
            ASSERT_EQ(out->biCompression, DWORD(BI_RGB));
            ASSERT_GT(out->biHeight, 0);
            ASSERT_GE(b.size(), 40u + dw.GetPaletteSize(out) + dw.GetImageSize(out));
        }
    }
    EXPECT_GT(converted, 0);
}

TEST(HostileHeaders, GiveNullWithoutTouchingMemoryOutsideTheBlock) {
    // Small blocks whose headers announce overflowing sizes, non-positive
    // dimensions or unknown bit counts: every operation on a DIB refuses.
    auto &dw = Dw();
    const BITMAPINFOHEADER headers[] = {
        InfoHeader(0x40000000, 0x40000000, 24, BI_RGB, 0, 64), InfoHeader(-5, 4, 24, BI_RGB, 0, 64),
        InfoHeader(4, 0, 8, BI_RGB, 0, 64), InfoHeader(4, 4, 7, BI_RGB, 0, 64),
        InfoHeader(70000, 70000, 1, BI_RGB, 0, 64), InfoHeader(4, 4, 8, BI_RLE8, 0xFFFFFFF0u, 64)};
    for (const auto &h : headers) {
        BlockGuard dib(NewPackedDib(h, {}, std::vector<uint8_t>(64, 0x11)));
        RECT r{0, 0, 2, 2};
        HGLOBAL outDib = nullptr;
        EXPECT_EQ(dw.CopyDIB(dib.get()), nullptr) << h.biWidth << " " << h.biBitCount;
        EXPECT_EQ(dw.ConvertDIB2DIBitmap(dib.get()), nullptr);
        EXPECT_EQ(dw.ConvFullColDIB(dib.get()), nullptr);
        EXPECT_EQ(dw.Create24DIBFromAnyDIB(dib.get()), nullptr);
        EXPECT_EQ(dw.Create24DIBFromMetaDIB(dib.get(), nullptr), nullptr);
        EXPECT_EQ(dw.StretchDIB2DIB(dib.get(), 3, 3), nullptr);
        EXPECT_EQ(dw.TilingDIB(dib.get(), 9, 9), nullptr);
        EXPECT_EQ(dw.MakeSmallDIB(dib.get(), &r), nullptr);
        EXPECT_EQ(dw.CutOutDIB(dib.get(), &r), nullptr);
        EXPECT_EQ(dw.RotateMetaDIB(dib.get(), nullptr, &outDib, nullptr, 90, 0), 0);
        EXPECT_EQ(dw.ConvNormalDIB(dib.ptr()), 0);
    }
}

// A colour count beyond what the bit count indexes (49152 colours at 8
// bits once wrapped the table size to 0, so a 44-byte block passed for a
// whole 1 x 1 picture): refused by everything, its count never wrapped.
TEST(HostileHeaders, ColourCountsBeyondTheBitCountAreRefused) {
    auto &dw = Dw();
    for (const DWORD used : {257u, 16384u, 49152u}) {
        BITMAPINFOHEADER h = InfoHeader(1, 1, 8);
        h.biClrUsed = used;
        BlockGuard dib(NewPackedDib(h, {}, std::vector<uint8_t>(4, 0)));
        BITMAPINFOHEADER *header = nullptr;
        EXPECT_EQ(dw.GetMetaBitmapInfoHeader(dib.get(), nullptr, &header), nullptr) << used;
        EXPECT_EQ(dw.MetaDIBFillColor(dib.get(), nullptr, RGB(1, 2, 3)), 0) << used;
        EXPECT_EQ(dw.ConvFullColDIB(dib.get()), nullptr) << used;
        EXPECT_EQ(dw.ConvNormalDIB(dib.ptr()), 0) << used;
        EXPECT_LE(dw.DibNumColors(&h), 256) << used;
        EXPECT_LE(dw.GetPaletteSize(&h), 1024) << used;
    }
}

TEST(Reduction, FewColoursMapExactly) {
    auto &dw = Dw();
    const COLORREF colours[] = {RGB(200, 10, 10), RGB(10, 200, 10), RGB(10, 10, 200), RGB(255, 255, 255)};
    BitmapGuard src(New24(16, 8, [&](int x, int y) { return colours[(x + y) % 4]; }));
    BitmapGuard reduced(dw.CreateReducedColorDIBitmap(nullptr, src.get()));
    ASSERT_NE(reduced.get(), nullptr);
    ASSERT_EQ(SectionBits(reduced.get()), 8);
    const std::vector<RGBQUAD> table = SectionColorTable(reduced.get());
    // Four colours (white among them) plus black; the system pads the
    // section's table with black entries.
    std::set<COLORREF> distinct;
    for (const RGBQUAD &q : table) distinct.insert(RGB(q.rgbRed, q.rgbGreen, q.rgbBlue));
    EXPECT_EQ(distinct.size(), 5u);
    const uint8_t *px = SectionPixels(reduced.get());
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 16; ++x) {
            const uint8_t index = px[size_t(7 - y) * 16 + x];
            ASSERT_LT(index, table.size()) << x << "," << y;
            const RGBQUAD q = table[index];
            ASSERT_EQ(RGB(q.rgbRed, q.rgbGreen, q.rgbBlue), colours[(x + y) % 4]) << x << "," << y;
        }

    // Only DIB sections of 24 bits are reduced.
    BlockGuard dib(NewPackedDib(InfoHeader(2, 2, 24), {}, std::vector<uint8_t>(16)));
    EXPECT_EQ(dw.CreateReducedColorDIBitmap(dib.get(), src.get()), nullptr);
    BitmapGuard gray(dw.MakeBlank256GrayDIBitmap(4, 4));
    EXPECT_EQ(dw.CreateReducedColorDIBitmap(nullptr, gray.get()), nullptr);
}

TEST(Reduction, ManyColoursFitInTheTableWithWhiteAndBlack) {
    auto &dw = Dw();
    std::mt19937 rng(3);
    BitmapGuard src(New24(200, 100, [&](int, int) { return COLORREF(rng() & 0xFFFFFF); }));
    BitmapGuard reduced(dw.CreateReducedColorDIBitmap(nullptr, src.get()));
    ASSERT_NE(reduced.get(), nullptr);
    std::set<COLORREF> seen;
    for (const RGBQUAD &q : SectionColorTable(reduced.get())) seen.insert(RGB(q.rgbRed, q.rgbGreen, q.rgbBlue));
    EXPECT_LE(seen.size(), 255u);
    EXPECT_TRUE(seen.count(RGB(255, 255, 255)));
    EXPECT_TRUE(seen.count(RGB(0, 0, 0)));
}

}  // namespace
