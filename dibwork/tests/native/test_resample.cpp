// Resampling, tiling and fitting kernels under the sanitizers: the rules
// of each kernel checked on small pictures whose results follow from the
// rule by hand, and the decoded (indexed) paths against the 24-bit path.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <utility>
#include <random>

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
    for (Kernel k : {static_cast<Kernel>(BilinearTo24), static_cast<Kernel>(QuadraticTo24)}) {
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
