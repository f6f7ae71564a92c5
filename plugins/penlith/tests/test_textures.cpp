// The thirteen brush textures as the plug-in ships them: under Wine the
// bitmap resources of Penlith.brs (RLE8 with the identity grey table,
// expanded by the system's loader), in the sanitizer build the same
// bitmaps through the plug-in's own reader.  Each must keep the character
// its brushes rely on.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#ifdef _WIN32
#include <windows.h>

#include "test_support.h"
#else
#include "brush_textures.h"
#endif

namespace {

const int kIds[] = {101, 102, 103, 104, 105, 106, 107, 108, 111, 112, 113, 201, 202};

int SideOf(int id) { return id >= 200 ? 64 : 128; }

// The grey levels of texture `id`, bottom row first; empty when it cannot
// be loaded.
std::vector<uint8_t> Levels(int id) {
    const int side = SideOf(id);
    std::vector<uint8_t> levels;
#ifdef _WIN32
    static const HMODULE module = pintora_test::LoadProductLibrary(L"Penlith.brs");
    if (!module) return levels;
    // The resource itself: 8 bits, RLE8, 256 greys in index order.
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(2));
    const auto *info = found ? static_cast<const BITMAPINFOHEADER *>(LockResource(LoadResource(module, found)))
                             : nullptr;
    if (!info) return levels;
    EXPECT_EQ(info->biBitCount, 8) << id;
    EXPECT_EQ(info->biCompression, static_cast<DWORD>(BI_RLE8)) << id;
    EXPECT_EQ(info->biWidth, side) << id;
    EXPECT_EQ(info->biHeight, side) << id;
    const auto *table = reinterpret_cast<const RGBQUAD *>(reinterpret_cast<const uint8_t *>(info) + info->biSize);
    for (int g = 0; g < 256; ++g) {
        EXPECT_TRUE(table[g].rgbRed == g && table[g].rgbGreen == g && table[g].rgbBlue == g) << id << " entry " << g;
    }
    // As a brush gets it: a DIB section of one byte a pixel.
    auto bitmap = static_cast<HBITMAP>(LoadImageA(module, MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0,
                                                  LR_CREATEDIBSECTION));
    DIBSECTION section{};
    if (bitmap && GetObjectA(bitmap, sizeof section, &section) == sizeof section &&
        section.dsBmih.biBitCount == 8 && section.dsBm.bmWidthBytes == side && section.dsBm.bmBits) {
        const auto *bits = static_cast<const uint8_t *>(section.dsBm.bmBits);
        levels.assign(bits, bits + side * side);
    }
    if (bitmap) DeleteObject(bitmap);
#else
    penlith::TextureBits texture;
    if (penlith::LoadTexture(id, &texture)) {
        EXPECT_EQ(texture.side, side);
        levels.assign(texture.bits, texture.bits + side * side);
    }
    penlith::ReleaseTexture(&texture);
#endif
    return levels;
}

struct Stats {
    int lo = 255, hi = 0;
    double mean = 0, lit = 0;  // share of non-zero pixels
};

Stats StatsOf(const std::vector<uint8_t> &v) {
    Stats s;
    for (uint8_t b : v) {
        s.lo = b < s.lo ? b : s.lo;
        s.hi = b > s.hi ? b : s.hi;
        s.mean += b;
        s.lit += b != 0;
    }
    s.mean /= v.size();
    s.lit /= v.size();
    return s;
}

TEST(Textures, EveryTextureLoadsAndKeepsTheCharacterItsBrushesNeed) {
    for (int id : kIds) {
        const auto levels = Levels(id);
        const int side = SideOf(id);
        ASSERT_EQ(levels.size(), static_cast<size_t>(side * side)) << id;
        const Stats s = StatsOf(levels);
        auto at = [&](int x, int y) { return levels[y * side + x]; };
        if (id == 103 || id == 104) {
            // Reliefs: furrows over the whole square, around mid grey.
            EXPECT_GT(s.lit, 0.99) << id;
            EXPECT_NEAR(s.mean, 128, 20) << id;
            EXPECT_GT(s.hi - s.lo, 150) << id;
        } else if (id == 201) {
            // Watercolour paper: grain offsets g / 16 - 4 over the whole range.
            EXPECT_LT(s.lo, 16);
            EXPECT_GT(s.hi, 224);
            EXPECT_NEAR(s.mean, 96, 24);
        } else if (id == 202) {
            EXPECT_EQ(s.lo, 12);
            EXPECT_EQ(s.hi, 254);
            EXPECT_NEAR(s.mean, 111, 3);
        } else {
            // Tips: shapes on black, never touching the square's corners.
            EXPECT_EQ(at(0, 0) | at(side - 1, 0) | at(0, side - 1) | at(side - 1, side - 1), 0) << id;
            EXPECT_GT(s.hi, 200) << id;
            if (id == 111) {
                EXPECT_NEAR(s.lit, 0.2, 0.05);  // a fifth lit: bristle marks
            } else if (id == 113) {
                EXPECT_EQ(at(64, 64), 255);  // a solid nib
            } else if (id == 112) {
                EXPECT_GT(s.lit, 0.5);  // a blob filling most of the square
            }
        }
    }
}

}  // namespace
