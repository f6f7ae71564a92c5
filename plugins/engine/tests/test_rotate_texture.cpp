// RotateTexture, the sampler that turns texture resources into tip masks:
// replayed against the formula written out plainly, and on ramps whose
// turned and scaled images can be worked out by hand.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "brush_engine.h"

namespace {

// The sampler as the formula reads: doubles for the fixed-point floors,
// one pixel at a time.
void ReferenceRotate(const std::vector<uint8_t> &src, int sw, int sh, std::vector<uint8_t> &dst, int dw, int dh,
                     int gain, int angle) {
    const double theta = angle * 0.01745329251994;
    const long long a = static_cast<long long>(64.0 * sw * std::sin(theta) / dw);
    const long long b = static_cast<long long>(64.0 * sh * std::cos(theta) / dh);
    for (int r = 0; r < dh; ++r) {
        for (int c = 0; c < dw; ++c) {
            const long long u = b * (c + 1 - dw / 2) - a * (r - dh / 2) + 32;
            const long long v = a * (c + 1 - dw / 2) + b * (r - dh / 2) + 32;
            const long long fx = static_cast<long long>(std::floor(u / 64.0));
            const long long fy = static_cast<long long>(std::floor(v / 64.0));
            const long long sx = sw / 2 + fx, sy = sh / 2 + fy;
            const int fu = static_cast<int>(u - 64 * fx), fv = static_cast<int>(v - 64 * fy);
            if (sx < 0 || sx >= sw - 1 || sy < 0 || sy >= sh - 1) continue;
            auto at = [&](long long x, long long y) { return static_cast<int>(src[y * sw + x]); };
            const int top = at(sx, sy) + (at(sx + 1, sy) - at(sx, sy)) * fu / 64;
            const int bottom = at(sx, sy + 1) + (at(sx + 1, sy + 1) - at(sx, sy + 1)) * fu / 64;
            const int value = (bottom * fv + top * (64 - fv)) / 64;
            dst[r * dw + c] = static_cast<uint8_t>(value * gain / 255);
        }
    }
}

std::vector<uint8_t> Ramp(int w, int h, int dx, int dy) {
    std::vector<uint8_t> img(static_cast<size_t>(w) * h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) img[y * w + x] = static_cast<uint8_t>(dx * x + dy * y);
    }
    return img;
}

// Random textures, sizes from 1 to 140 (up and down scaling, odd and even
// halves), every angle from -360 to 360 and every gain: the same bytes as
// the reference, including the bytes both leave alone (the destination
// starts as noise, so a byte written where it should stay shows).
TEST(RotateTexture, AgreesWithTheFormulaOnRandomSizesAnglesAndGains) {
    std::mt19937 rng(2024);
    for (int round = 0; round < 400; ++round) {
        const int sw = 1 + rng() % 140, sh = 1 + rng() % 140;
        const int dw = 1 + rng() % 140, dh = 1 + rng() % 140;
        const int gain = rng() % 256, angle = static_cast<int>(rng() % 721) - 360;
        std::vector<uint8_t> src(static_cast<size_t>(sw) * sh), dst(static_cast<size_t>(dw) * dh);
        for (auto &b : src) b = static_cast<uint8_t>(rng());
        for (auto &b : dst) b = static_cast<uint8_t>(rng());
        std::vector<uint8_t> expected = dst;
        ReferenceRotate(src, sw, sh, expected, dw, dh, gain, angle);
        ASSERT_EQ(brush::RotateTexture(src.data(), sw, sh, dst.data(), dw, dh, gain, angle), 1);
        ASSERT_EQ(dst, expected) << sw << "x" << sh << " -> " << dw << "x" << dh << " gain " << gain
                                 << " angle " << angle;
    }
}

// At angle 0 and equal size a pixel samples the source half a pixel right
// and down of its right neighbour: a ramp of 2 per column comes back as
// 2c + 3, one of 2 per row as 2r + 1, and gain 255 changes nothing.  The
// last two columns and the last row have no full source cell and stay.
TEST(RotateTexture, AngleZeroAtEqualSizeReproducesTheSourceAwayFromTheEdges) {
    const int n = 64;
    for (const bool alongRows : {true, false}) {
        const auto src = alongRows ? Ramp(n, n, 2, 0) : Ramp(n, n, 0, 2);
        std::vector<uint8_t> dst(n * n, 7);
        ASSERT_EQ(brush::RotateTexture(src.data(), n, n, dst.data(), n, n, 255, 0), 1);
        for (int r = 0; r < n; ++r) {
            for (int c = 0; c < n; ++c) {
                const int expected = (c >= n - 2 || r >= n - 1) ? 7 : (alongRows ? 2 * c + 3 : 2 * r + 1);
                ASSERT_EQ(dst[r * n + c], expected) << c << "," << r;
            }
        }
    }
}

// Turned by 90 degrees, the column ramp runs down the rows instead:
// destination (c, r) samples source column n - r + 1/2, so it holds
// 2 (n - r) + 1 whatever its column.  Gain 128 halves it (truncated).
TEST(RotateTexture, NinetyDegreesTurnsThePatternAndGainScalesIt) {
    const int n = 32;
    const auto src = Ramp(n, n, 2, 0);
    std::vector<uint8_t> dst(n * n, 0), half(n * n, 0);
    ASSERT_EQ(brush::RotateTexture(src.data(), n, n, dst.data(), n, n, 255, 90), 1);
    ASSERT_EQ(brush::RotateTexture(src.data(), n, n, half.data(), n, n, 128, 90), 1);
    for (int r = 2; r < n; ++r) {
        for (int c = 0; c < n - 2; ++c) {
            ASSERT_EQ(dst[r * n + c], 2 * (n - r) + 1) << c << "," << r;
            ASSERT_EQ(half[r * n + c], (2 * (n - r) + 1) * 128 / 255) << c << "," << r;
        }
    }
}

TEST(RotateTexture, NullPointersAndSizesBelowOneGiveZeroAndWriteNothing) {
    std::vector<uint8_t> src(16, 200), dst(16, 9);
    const std::vector<uint8_t> untouched = dst;
    EXPECT_EQ(brush::RotateTexture(nullptr, 4, 4, dst.data(), 4, 4, 255, 0), 0);
    EXPECT_EQ(brush::RotateTexture(src.data(), 4, 4, nullptr, 4, 4, 255, 0), 0);
    const int sizes[4][4] = {{0, 4, 4, 4}, {4, 0, 4, 4}, {4, 4, 0, 4}, {4, 4, 4, -1}};
    for (const auto &s : sizes) {
        EXPECT_EQ(brush::RotateTexture(src.data(), s[0], s[1], dst.data(), s[2], s[3], 255, 0), 0);
    }
    EXPECT_EQ(dst, untouched);
    // Gain outside 0..255 is kept within it: never more than the texture.
    EXPECT_EQ(brush::RotateTexture(src.data(), 4, 4, dst.data(), 4, 4, 1000, 0), 1);
    EXPECT_EQ(dst[0], 200);
}

}  // namespace
