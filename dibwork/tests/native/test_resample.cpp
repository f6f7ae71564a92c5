// Resampling, tiling and fitting kernels under the sanitizers: the rules
// of each kernel checked on small pictures whose results follow from the
// rule by hand, and the decoded (indexed) paths against the 24-bit path.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <utility>
#include <random>
#include <string>

#include "fit.h"
#include "kernel_pictures.h"
#include "resample.h"

using namespace dibwork;
using kernel_test::Picture;

namespace {

TEST(Bilinear, LastColumnBlendsTheLastTwoPixels) {
    // Source columns 0, 0, 0, 128: the last destination column is taken at
    // px = sw - 2 with fx = 63, so it is 0 + 128 * 63 / 64 = 126, not 128.
    Picture src(4, 1, 24), dst(4, 1, 24);
    src.Set(3, 0, 128, 128, 128);
    ASSERT_TRUE(BilinearTo24(src.view, dst.view));
    EXPECT_EQ(dst.At(0, 0)[0], 0);
    EXPECT_EQ(dst.At(2, 0)[0], 0);
    EXPECT_EQ(dst.At(3, 0)[0], 126);
}

TEST(Bilinear, DifferencesTruncateTowardZero) {
    // Falling edge 100 -> 0 at fx = 63: 100 + (-6300 / 64) = 100 - 98 = 2
    // (flooring would give 1).
    Picture src(2, 1, 24), dst(2, 1, 24);
    src.Set(0, 0, 100, 100, 100);
    ASSERT_TRUE(BilinearTo24(src.view, dst.view));
    EXPECT_EQ(dst.At(0, 0)[0], 100);
    EXPECT_EQ(dst.At(1, 0)[1], 2);
}

TEST(Bilinear, RowsBlendWithTheRowWeight) {
    // Rows (memory order) 0 and 64; a 1 x 3 destination samples rows at
    // sy = 0, 32 and 63 (clamped), so the values are 0, 32 and 63.
    Picture src(1, 2, 24), dst(1, 3, 24);
    src.Set(0, 1, 64, 64, 64);
    ASSERT_TRUE(BilinearTo24(src.view, dst.view));
    EXPECT_EQ(dst.At(0, 0)[2], 0);
    EXPECT_EQ(dst.At(0, 1)[2], 32);
    EXPECT_EQ(dst.At(0, 2)[2], 63);
}

TEST(Bilinear, SinglePixelSourceFillsEverything) {
    Picture src(1, 1, 24), dst(7, 5, 24);
    src.Set(0, 0, 10, 20, 30);
    ASSERT_TRUE(BilinearTo24(src.view, dst.view));
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x) {
            EXPECT_EQ(dst.At(x, y)[0], 10);
            EXPECT_EQ(dst.At(x, y)[2], 30);
        }
}

// An indexed picture and its 24-bit twin (every index looked up by hand)
// must resample identically: the decoded rows are the 24-bit rows.
void ExpectIndexedMatchesTwin(int bits, int width, int height, int dw, int dh, unsigned seed) {
    std::mt19937 rng(seed);
    const int entries = 1 << bits;
    Picture indexed(width, height, bits, entries), twin(width, height, 24);
    for (auto &e : indexed.table) e = Bgra{uint8_t(rng()), uint8_t(rng()), uint8_t(rng()), 0};
    indexed.FillRandom(rng);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const Bgra c = indexed.table[IndexAt(MemRow(indexed.view, y), x, bits)];
            twin.Set(x, y, c.b, c.g, c.r);
        }
    using Kernel = bool (*)(const PixelView &, const PixelView &);
    const Kernel boxThenBilinear = [](const PixelView &s, const PixelView &d) {
        return BoxThenBilinearTo24(s, d, std::max(1, s.width / 2), std::max(1, s.height / 2));
    };
    for (Kernel k : {static_cast<Kernel>(BilinearTo24), static_cast<Kernel>(QuadraticTo24), boxThenBilinear}) {
        Picture a(dw, dh, 24), b(dw, dh, 24);
        ASSERT_TRUE(k(indexed.view, a.view));
        ASSERT_TRUE(k(twin.view, b.view));
        for (int y = 0; y < dh; ++y)
            ASSERT_EQ(0, std::memcmp(MemRow(a.view, y), MemRow(b.view, y), size_t(dw) * 3)) << bits << " row " << y;
    }
}

TEST(Bilinear, IndexedSourcesReadThroughTheirColourTable) {
    ExpectIndexedMatchesTwin(1, 13, 5, 29, 11, 1);  // width not a multiple of 8
    ExpectIndexedMatchesTwin(4, 7, 6, 15, 13, 2);   // odd width: last nibble alone
    ExpectIndexedMatchesTwin(8, 9, 4, 20, 9, 3);
}

TEST(Bilinear, IndexBeyondTheTableReadsBlack) {
    Picture src(2, 1, 8, 2), dst(2, 1, 24);
    src.table[0] = Bgra{255, 255, 255, 0};
    src.bytes[0] = 0;
    src.bytes[1] = 200;  // only two entries exist
    ASSERT_TRUE(BilinearTo24(src.view, dst.view));
    EXPECT_EQ(dst.At(0, 0)[0], 255);
    EXPECT_EQ(dst.At(1, 0)[0], 255 - 255 * 63 / 64);
}

TEST(Kernels, RefuseUnusableViews) {
    Picture src(4, 4, 24), dst(2, 2, 24), dst8(2, 2, 8);
    PixelView noBits = src.view;
    noBits.bits = nullptr;
    PixelView shortStride = src.view;
    shortStride.stride = 8;  // 4 pixels need 12 bytes
    PixelView odd = src.view;
    odd.bitCount = 2;
    EXPECT_FALSE(BilinearTo24(noBits, dst.view));
    EXPECT_FALSE(BilinearTo24(shortStride, dst.view));
    EXPECT_FALSE(BilinearTo24(odd, dst.view));
    EXPECT_FALSE(BilinearTo24(src.view, dst8.view));
    EXPECT_FALSE(BoxAverageTo24(dst.view, src.view));   // would enlarge
    EXPECT_FALSE(AreaAverageTo24(dst.view, src.view));  // would enlarge
    EXPECT_FALSE(TileRows(src.view, dst8.view));        // bit counts differ
}

TEST(TriStretch, PlanFollowsTheRatios) {
    auto p = PlanTriStretch(1024, 768, 64, 48);
    EXPECT_EQ(p.method, TriStretchMethod::kBoxThenBilinear);
    EXPECT_EQ(p.kx, 16);
    EXPECT_EQ(p.ky, 16);
    EXPECT_EQ(p.iw, 64);
    EXPECT_EQ(p.ih, 48);

    p = PlanTriStretch(1280, 1024, 64, 48);
    EXPECT_EQ(p.method, TriStretchMethod::kBoxThenBilinear);
    EXPECT_EQ(p.kx, 20);
    EXPECT_EQ(p.ky, 21);
    EXPECT_EQ(p.iw, 64);
    EXPECT_EQ(p.ih, 48);

    EXPECT_EQ(PlanTriStretch(1024, 768, 640, 480).method, TriStretchMethod::kAreaAverage);
    EXPECT_EQ(PlanTriStretch(1920, 1080, 640, 480).method, TriStretchMethod::kBoxThenBilinear);
    EXPECT_EQ(PlanTriStretch(100, 100, 200, 200).method, TriStretchMethod::kQuadratic);
    EXPECT_EQ(PlanTriStretch(100, 100, 50, 200).method, TriStretchMethod::kQuadratic);
    EXPECT_EQ(PlanTriStretch(100, 100, 100, 100).method, TriStretchMethod::kCopy);
    // A ratio of 1.75 rounds up to 2, just below stays 1.
    EXPECT_EQ(PlanTriStretch(175, 10, 100, 10).kx, 2);
    EXPECT_EQ(PlanTriStretch(174, 10, 100, 10).kx, 1);
}

TEST(BoxAverage, EachPixelIsTheRoundedMeanOfItsBlock) {
    std::mt19937 rng(7);
    Picture src(1280, 1024, 24), dst(64, 48, 24);
    src.FillRandom(rng);
    ASSERT_TRUE(BoxAverageTo24(src.view, dst.view));
    // 20 x 21 blocks from the first pixel (x * 20, y * 21).
    for (int y = 0; y < 48; y += 7)
        for (int x = 0; x < 64; x += 5)
            for (int c = 0; c < 3; ++c) {
                unsigned sum = 0;
                for (int v = 0; v < 21; ++v)
                    for (int u = 0; u < 20; ++u) sum += src.At(x * 20 + u, y * 21 + v)[c];
                ASSERT_EQ(dst.At(x, y)[c], (sum + 210) / 420) << x << "," << y;
            }
}

TEST(BoxAverage, RoundingHoldsForEveryBlockSize) {
    // The mean is taken by a multiplication for blocks below 4096 pixels and
    // by a division from there on: both must give (sum + n / 2) / n for
    // sums from 0 to 255 n, including the halves that decide the rounding.
    std::mt19937 rng(29);
    const std::pair<int, int> blocks[] = {{1, 1}, {3, 2}, {2, 3}, {4, 1}, {7, 5}, {45, 91}, {64, 64}, {65, 64}};
    for (const auto &[kx, ky] : blocks) {
        const int n = kx * ky;
        Picture src(kx * 6, ky * 3, 24), dst(6, 3, 24);
        // Block (x, y) gets its own sum: all zero, all 255, sums just below,
        // at and above a half step, and random values.
        for (int by = 0; by < 3; ++by)
            for (int bx = 0; bx < 6; ++bx) {
                const int block = by * 6 + bx;
                const int target = block == 0 ? 0 : block == 1 ? 255 * n
                                 : block < 8 ? (block * 37 % 255) * n + n / 2 + (block % 3) - 1
                                             : -1;
                int left = std::max(0, target);
                for (int v = 0; v < ky; ++v)
                    for (int u = 0; u < kx; ++u) {
                        uint8_t value;
                        if (target < 0) {
                            value = static_cast<uint8_t>(rng());
                        } else {
                            const int remaining = n - (v * kx + u);
                            value = static_cast<uint8_t>(std::min(255, (left + remaining - 1) / remaining));
                            left -= value;
                        }
                        src.Set(bx * kx + u, by * ky + v, value, value, static_cast<uint8_t>(255 - value));
                    }
            }
        ASSERT_TRUE(BoxAverageTo24(src.view, dst.view));
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 6; ++x)
                for (int c = 0; c < 3; ++c) {
                    uint64_t sum = 0;
                    for (int v = 0; v < ky; ++v)
                        for (int u = 0; u < kx; ++u) sum += src.At(x * kx + u, y * ky + v)[c];
                    ASSERT_EQ(dst.At(x, y)[c], (sum + n / 2) / n) << kx << "x" << ky << " block " << x << "," << y;
                }
    }
}

TEST(BoxAverage, EveryRoundingStepOfEveryBlockUpTo300Pixels) {
    // Blocks of one column and n rows, n = 2..300 (the mean is taken on
    // 16-bit lanes for small blocks, one block at a time for larger ones).
    // Column k's blue sum sits just below the step from mean k to k + 1,
    // green exactly on it, red at k n (the smallest sum of mean k).
    for (int n = 2; n <= 300; ++n) {
        Picture src(256, n, 24), dst(256, 1, 24);
        for (int k = 0; k < 256; ++k) {
            const int step = k * n + (n + 1) / 2;
            const int sums[3] = {std::min(step - 1, 255 * n), std::min(step, 255 * n), k * n};
            for (int c = 0; c < 3; ++c)
                for (int v = 0, left = sums[c]; v < n; ++v) {
                    const int value = std::min(255, left / (n - v) + (left % (n - v) != 0));
                    src.At(k, v)[c] = static_cast<uint8_t>(value);
                    left -= value;
                }
        }
        ASSERT_TRUE(BoxAverageTo24(src.view, dst.view));
        for (int k = 0; k < 256; ++k)
            for (int c = 0; c < 3; ++c) {
                int sum = 0;
                for (int v = 0; v < n; ++v) sum += src.At(k, v)[c];
                ASSERT_EQ(dst.At(k, 0)[c], (sum + n / 2) / n) << "n " << n << " column " << k << " channel " << c;
            }
    }
}

// The box average and the bilinear blend written out plainly (24-bit).
void PlainBox(Picture &src, Picture &dst) {
    const int kx = std::max(1, src.view.width / dst.view.width), ky = std::max(1, src.view.height / dst.view.height);
    const uint64_t n = uint64_t(kx) * ky;
    for (int y = 0; y < dst.view.height; ++y)
        for (int x = 0; x < dst.view.width; ++x)
            for (int c = 0; c < 3; ++c) {
                uint64_t sum = 0;
                for (int v = 0; v < ky; ++v)
                    for (int u = 0; u < kx; ++u) sum += src.At(x * kx + u, y * ky + v)[c];
                dst.At(x, y)[c] = static_cast<uint8_t>((sum + n / 2) / n);
            }
}

void PlainBilinear(Picture &src, Picture &dst) {
    const int sw = src.view.width, sh = src.view.height;
    auto position = [](int i, int from, int to) {
        const int64_t pos = i * (64 * int64_t{from} - 64) / (std::max(to, 2) - 1);
        return std::max<int64_t>(0, std::min(pos, 64 * int64_t{from} - 65));
    };
    for (int j = 0; j < dst.view.height; ++j) {
        const int64_t sy = position(j, sh, dst.view.height);
        const int ry = int(sy >> 6), fy = int(sy & 63), ry1 = std::min(ry + 1, sh - 1);
        for (int i = 0; i < dst.view.width; ++i) {
            const int64_t sx = position(i, sw, dst.view.width);
            const int px = int(sx >> 6), fx = int(sx & 63), px1 = std::min(px + 1, sw - 1);
            for (int c = 0; c < 3; ++c) {
                const int f0 = src.At(px, ry)[c], f1 = src.At(px1, ry)[c];
                const int g0 = src.At(px, ry1)[c], g1 = src.At(px1, ry1)[c];
                const int top = f0 + (f1 - f0) * fx / 64, bottom = g0 + (g1 - g0) * fx / 64;
                dst.At(i, j)[c] = static_cast<uint8_t>((top * (64 - fy) + bottom * fy) / 64);
            }
        }
    }
}

TEST(BoxThenBilinear, MatchesThePlainRulesOverOddSizes) {
    // Source, box result and final sizes: odd widths (row ends that fill no
    // whole 16-byte vector), columns and rows left over by the blocks, block
    // widths on both sides of 8 and heights on both sides of 257, runs of
    // columns on source columns broken by blended ones, and enlarging.
    struct Case { int sw, sh, iw, ih, dw, dh; };
    const Case cases[] = {
        {1923, 7, 641, 3, 641, 2},  {77, 31, 25, 15, 25, 13},  {61, 9, 61, 9, 23, 5},   {47, 5, 5, 2, 11, 7},
        {8 * 7 + 5, 20, 7, 1, 3, 1}, {8 * 7 + 5, 40, 7, 1, 3, 1}, {9 * 5 + 1, 3, 5, 1, 4, 1}, {5, 257, 1, 1, 1, 1},     {6, 258 * 2, 3, 2, 3, 2},
        {64 * 3, 64, 3, 1, 2, 1},    {33, 17, 1, 1, 3, 4},      {19, 13, 19, 13, 20, 14}, {3, 2, 1, 2, 1, 3},
    };
    std::mt19937 rng(41);
    for (const Case &t : cases) {
        Picture src(t.sw, t.sh, 24), box(t.iw, t.ih, 24), plainBox(t.iw, t.ih, 24);
        Picture out(t.dw, t.dh, 24), fused(t.dw, t.dh, 24), plainOut(t.dw, t.dh, 24);
        src.FillRandom(rng);
        PlainBox(src, plainBox);
        PlainBilinear(plainBox, plainOut);
        ASSERT_TRUE(BoxAverageTo24(src.view, box.view));
        ASSERT_TRUE(BilinearTo24(box.view, out.view));
        ASSERT_TRUE(BoxThenBilinearTo24(src.view, fused.view, t.iw, t.ih));
        const std::string name = std::to_string(t.sw) + "x" + std::to_string(t.sh) + " -> " + std::to_string(t.iw) +
                                 "x" + std::to_string(t.ih) + " -> " + std::to_string(t.dw) + "x" + std::to_string(t.dh);
        for (int y = 0; y < t.ih; ++y)
            ASSERT_EQ(0, std::memcmp(box.At(0, y), plainBox.At(0, y), size_t(t.iw) * 3)) << name << " box row " << y;
        for (int y = 0; y < t.dh; ++y) {
            ASSERT_EQ(0, std::memcmp(out.At(0, y), plainOut.At(0, y), size_t(t.dw) * 3)) << name << " row " << y;
            ASSERT_EQ(0, std::memcmp(fused.At(0, y), plainOut.At(0, y), size_t(t.dw) * 3)) << name << " fused row " << y;
        }
    }
}

TEST(AreaAverage, SameSizeIsAnExactCopy) {
    std::mt19937 rng(11);
    Picture src(37, 23, 24), dst(37, 23, 24);
    src.FillRandom(rng);
    ASSERT_TRUE(AreaAverageTo24(src.view, dst.view));
    for (int y = 0; y < 23; ++y) ASSERT_EQ(0, std::memcmp(src.At(0, y), dst.At(0, y), 37 * 3));
}

TEST(AreaAverage, UniformColourStaysWithinRounding) {
    // Each destination pixel receives 4096 units of weight from at most
    // four parts, each rounded on its own.
    for (uint8_t value : {uint8_t(0), uint8_t(77), uint8_t(200), uint8_t(255)}) {
        Picture src(1024, 768, 24), dst(640, 480, 24);
        src.Fill(value, value, value);
        ASSERT_TRUE(AreaAverageTo24(src.view, dst.view));
        for (int y = 0; y < 480; ++y)
            for (int x = 0; x < 640; ++x)
                ASSERT_LE(std::abs(int(dst.At(x, y)[1]) - value), 2) << int(value) << " at " << x << "," << y;
    }
}

TEST(AreaAverage, HalvingAveragesPairs) {
    // 2:1: each source pixel is a 32 x 32 quarter; the four parts give
    // (s * 1024 + 2049) / 4096 each.
    Picture src(4, 2, 24), dst(2, 1, 24);
    const uint8_t values[4] = {0, 40, 80, 120};
    for (int x = 0; x < 4; ++x)
        for (int y = 0; y < 2; ++y) src.Set(x, y, values[x], values[x], values[x]);
    ASSERT_TRUE(AreaAverageTo24(src.view, dst.view));
    auto part = [](int s) { return (s * 1024 + 2049) / 4096; };
    EXPECT_EQ(dst.At(0, 0)[0], 2 * part(0) + 2 * part(40));
    EXPECT_EQ(dst.At(1, 0)[0], 2 * part(80) + 2 * part(120));
}

TEST(Quadratic, UniformColourStaysExact) {
    Picture src(20, 15, 24), dst(40, 30, 24);
    src.Fill(17, 128, 250);
    ASSERT_TRUE(QuadraticTo24(src.view, dst.view));
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x) {
            ASSERT_EQ(dst.At(x, y)[0], 17);
            ASSERT_EQ(dst.At(x, y)[1], 128);
            ASSERT_EQ(dst.At(x, y)[2], 250);
        }
}

TEST(Quadratic, ReproducesALinearRamp) {
    // Interpolation through three samples is exact on a straight line:
    // column i samples s = i * 64 * 10 / 40 = 16 i, i.e. value 10 * s / 64.
    Picture src(10, 3, 24), dst(40, 3, 24);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 10; ++x) src.Set(x, y, uint8_t(10 * x), 0, 0);
    ASSERT_TRUE(QuadraticTo24(src.view, dst.view));
    for (int i = 0; i < 40; ++i) {
        const int s = std::min(16 * i, 64 * 10 - 191);
        EXPECT_NEAR(dst.At(i, 1)[0], 10 * s / 64.0, 1.0) << i;
    }
}

TEST(Quadratic, SourcesBelowThreePixelsStayInside) {
    // No three samples to fit: the bilinear kernel takes over, so the
    // corners keep the source corners and nothing is read outside.
    for (auto [w, h] : {std::pair{1, 1}, std::pair{2, 2}, std::pair{2, 7}, std::pair{9, 1}}) {
        Picture src(w, h, 24), dst(3 * w + 1, 3 * h + 1, 24);
        std::mt19937 rng(w * 31 + h);
        src.FillRandom(rng);
        ASSERT_TRUE(QuadraticTo24(src.view, dst.view));
        EXPECT_EQ(dst.At(0, 0)[0], src.At(0, 0)[0]);
    }
}

TEST(ShrinkSampling, NearestIndexedKeepsBitsOfPartialBytes) {
    // A 1-bit picture 20 wide (last byte half used) halved: destination
    // pixel x takes source pixel 2x.
    Picture src(20, 2, 1, 2), dst(10, 1, 1, 2);
    for (int x = 0; x < 20; ++x) SetIndexAt(MemRow(src.view, 0), x, 1, (x % 4 == 0 || x == 18) ? 1 : 0);
    ASSERT_TRUE(SampleNearestIndexed(src.view, dst.view));
    for (int x = 0; x < 10; ++x) {
        const unsigned expected = (2 * x % 4 == 0 || 2 * x == 18) ? 1 : 0;
        EXPECT_EQ(IndexAt(MemRow(dst.view, 0), x, 1), expected) << x;
    }
}

TEST(ShrinkSampling, BilinearSamplesWithoutStepClamp) {
    // 4 -> 2: columns sample sx = 0 and 128, i.e. source pixels 0 and 2.
    Picture src(4, 1, 24), dst(2, 1, 24);
    for (int x = 0; x < 4; ++x) src.Set(x, 0, uint8_t(50 * x), 0, 0);
    ASSERT_TRUE(ShrinkBilinearTo24(src.view, dst.view));
    EXPECT_EQ(dst.At(0, 0)[0], 0);
    EXPECT_EQ(dst.At(1, 0)[0], 100);
}

TEST(Tiling, RowsAndColumnsRepeatFromTheBottomLeft) {
    Picture src(3, 2, 24), dst(8, 5, 24);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) src.Set(x, y, uint8_t(x), uint8_t(y), 9);
    ASSERT_TRUE(TileRows(src.view, dst.view));
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 8; ++x) {
            ASSERT_EQ(dst.At(x, y)[0], x % 3) << x << "," << y;
            ASSERT_EQ(dst.At(x, y)[1], y % 2) << x << "," << y;
        }
}

TEST(Tiling, SubBytePixelsTileOneByOne) {
    for (int bits : {1, 4}) {
        Picture src(3, 2, bits, 1 << bits), dst(11, 3, bits, 1 << bits);
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 3; ++x) SetIndexAt(MemRow(src.view, y), x, bits, unsigned(x + y) & ((1u << bits) - 1));
        ASSERT_TRUE(TileRows(src.view, dst.view));
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 11; ++x)
                ASSERT_EQ(IndexAt(MemRow(dst.view, y), x, bits), unsigned(x % 3 + y % 2) & ((1u << bits) - 1));
    }
}

TEST(Fit, ThumbnailBox) {
    auto f = FitIntoBox(100, 50, 40, 40);
    ASSERT_TRUE(f);
    EXPECT_EQ(f->width, 40);
    EXPECT_EQ(f->height, 20);
    f = FitIntoBox(50, 100, 40, 40);
    EXPECT_EQ(f->width, 20);
    EXPECT_EQ(f->height, 40);
    f = FitIntoBox(1000, 1, 10, 10);  // never below 1
    EXPECT_EQ(f->height, 1);
    EXPECT_FALSE(FitIntoBox(100, 50, 0, 40));
    EXPECT_FALSE(FitIntoBox(100, 50, 40, -3));
    EXPECT_FALSE(FitIntoBox(0, 50, 40, 40));
}

TEST(Fit, PreviewPlacement) {
    auto p = FitIntoClient(64, 48, 200, 200);  // enlarged, centred vertically
    EXPECT_EQ(p.x, 0);
    EXPECT_EQ(p.y, 25);
    EXPECT_EQ(p.width, 200);
    EXPECT_EQ(p.height, 150);
    p = FitIntoClient(48, 64, 200, 200);  // enlarged, centred horizontally
    EXPECT_EQ(p.x, 25);
    EXPECT_EQ(p.width, 150);
    EXPECT_EQ(p.height, 200);
    p = FitIntoClient(640, 480, 200, 200);  // kept, clipped from the top left
    EXPECT_EQ(p.x, 0);
    EXPECT_EQ(p.y, 0);
    EXPECT_EQ(p.width, 640);
    EXPECT_EQ(p.height, 480);
    p = FitIntoClient(100, 300, 200, 200);  // smaller in one direction only
    EXPECT_EQ(p.x, 50);
    EXPECT_EQ(p.y, 0);
    EXPECT_EQ(p.width, 100);
    EXPECT_EQ(p.height, 300);
}

TEST(Decode, SixteenAndThirtyTwoBitRows) {
    Picture p16(2, 1, 16), p32(1, 1, 32);
    // 5-5-5: red 31, green 0, blue 16 -> 255, 0, 132
    const unsigned v = (31u << 10) | 16u;
    p16.bytes[0] = uint8_t(v);
    p16.bytes[1] = uint8_t(v >> 8);
    p32.bytes = {1, 2, 3, 4};
    p32.view.bits = p32.bytes.data();
    uint8_t out[6];
    DecodeRowBgr(p16.view, 0, out);
    EXPECT_EQ(out[0], 132);
    EXPECT_EQ(out[1], 0);
    EXPECT_EQ(out[2], 255);
    DecodeRowBgr(p32.view, 0, out);
    EXPECT_EQ(out[0], 1);
    EXPECT_EQ(out[1], 2);
    EXPECT_EQ(out[2], 3);
}

}  // namespace
