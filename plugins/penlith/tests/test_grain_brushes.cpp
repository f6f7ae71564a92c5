// The crayon, pencil, spray, art brush and stippling brush through their
// entry points, with srand fixed wherever rand() enters: the masks they
// build (speckle, blur, disc cut, thinning, dots), the masks and colours
// each dab takes, the art brush's stroke palette, the previews, and the
// failures (sizes below the minimum, painting without a stroke start).
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <future>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "penlith_checks.h"
#include "penlith_harness.h"

namespace {

using namespace penlith_test;

const char *const kGrainBrushes[] = {"Xi_CrayonBrush", "Xi_PencilBrush", "Xi_SprayBrush", "Xi_SeuratBrush",
                                     "Xi_PointillismBrush"};
const char *const kMaskBrushes[] = {"Xi_CrayonBrush", "Xi_PencilBrush", "Xi_SprayBrush"};

const Bgr kWhite{255, 255, 255};

int Peak(int density) { return density * 128 / 100; }

uint8_t Blend(int old, int target, int coverage) {
    return static_cast<uint8_t>(old + (target - old) * coverage / 128);
}

Bgr BlendOnto(Bgr old, Bgr target, int coverage) {
    return Bgr{Blend(old.b, target.b, coverage), Blend(old.g, target.g, coverage), Blend(old.r, target.r, coverage)};
}

uint8_t Clamp(int v) { return static_cast<uint8_t>(std::min(255, std::max(0, v))); }

// The root of v rounded to the nearest integer: g (g - 1) <= v < g (g + 1).
uint32_t RoundedRoot(uint32_t v) {
    if (v < 2) return v;
    uint64_t g = static_cast<uint64_t>(std::sqrt(static_cast<double>(v)));
    while (g * (g + 1) <= v) ++g;
    while (g * (g - 1) > v) --g;
    return static_cast<uint32_t>(g);
}
// Four times the distance of tip pixel (i, j) from (size / 2, size / 2).
uint32_t Radius4(int size, int i, int j) {
    const int dx = 2 * size - 4 * i, dy = 2 * size - 4 * j;
    return RoundedRoot(static_cast<uint32_t>(dx * dx + dy * dy));
}

// The masks a brush holds after command 4.
std::vector<std::vector<uint8_t>> Masks(const PlugInBrushContext &ctx) {
    std::vector<std::vector<uint8_t>> masks;
    const size_t bytes = static_cast<size_t>(ctx.tipWidth) * ctx.tipHeight;
    const auto *tips = static_cast<const uint8_t *>(ctx.tipBits);
    for (int32_t m = 0; tips && m < ctx.tipVariantCount; ++m) masks.emplace_back(tips + m * bytes, tips + (m + 1) * bytes);
    return masks;
}

// The single tip of a brush that keeps one.
std::vector<uint8_t> SingleTip(const PlugInBrushContext &ctx) {
    const auto *tip = static_cast<const uint8_t *>(ctx.tipBits);
    return std::vector<uint8_t>(tip, tip + static_cast<size_t>(ctx.tipWidth) * ctx.tipHeight);
}

// The 3 x 3 box blur of the grain masks written out from its rules: the
// edge row is repeated, a missing column is left out, the mean is
// rounded and capped at 128.
void ReferenceBlur(const uint8_t *mask, uint8_t *out, int size) {
    for (int j = 0; j < size; ++j) {
        for (int i = 0; i < size; ++i) {
            const int i0 = i == 0 ? 0 : i - 1, i1 = i == size - 1 ? size - 1 : i + 1;
            int sum = 0, n = 0;
            for (int y : {std::max(j - 1, 0), j, std::min(j + 1, size - 1)}) {
                for (int x = i0; x <= i1; ++x, ++n) sum += mask[y * size + x];
            }
            out[j * size + i] = static_cast<uint8_t>(std::min(128, (sum + n / 2) / n));
        }
    }
}

// The crayon's 12 masks: a one-in-16 draw drops a 2 x 2 block of
// min(2p, 255) (no lower row from the last two rows, no right column from
// the last one); the blur; the disc cut at r >= 2 size.
std::vector<uint8_t> ReferenceCrayonMasks(int size, int density) {
    const size_t bytes = static_cast<size_t>(size) * size;
    const uint8_t v = static_cast<uint8_t>(std::min(255, 2 * Peak(density)));
    std::vector<uint8_t> raw(12 * bytes, 0), out(12 * bytes, 0);
    for (int m = 0; m < 12; ++m) {
        uint8_t *mask = raw.data() + m * bytes;
        for (int j = 0; j < size; ++j) {
            for (int i = 0; i < size; ++i) {
                if ((std::rand() & 15) != 15) continue;
                mask[j * size + i] = v;
                if (i < size - 1) mask[j * size + i + 1] = v;
                if (j + 1 < size - 1) mask[(j + 1) * size + i] = v;
                if (j + 1 < size - 1 && i + 1 < size - 1) mask[(j + 1) * size + i + 1] = v;
            }
        }
        ReferenceBlur(mask, out.data() + m * bytes, size);
    }
    for (size_t k = 0; k < out.size(); ++k) {
        const int i = static_cast<int>(k % size), j = static_cast<int>(k / size % size);
        if (Radius4(size, i, j) >= static_cast<uint32_t>(2 * size)) out[k] = 0;
    }
    return out;
}

// The pencil's masks of a size of 2 or more: 9 draws in 16 set a pixel to
// (rand() % 256) x p / 256; the blur; then per pixel the cut at
// r > 2 size and a thinning draw (low three bits 6, 7 clear, 5 halves).
std::vector<uint8_t> ReferencePencilMasks(int size, int density) {
    const int count = 10 + std::max(0, 20 - size), peak = Peak(density);
    const size_t bytes = static_cast<size_t>(size) * size;
    std::vector<uint8_t> raw(count * bytes, 0), out(count * bytes, 0);
    for (uint8_t &pixel : raw) {
        if ((std::rand() & 15) > 6) pixel = static_cast<uint8_t>((std::rand() % 256) * peak / 256);
    }
    for (int m = 0; m < count; ++m) ReferenceBlur(raw.data() + m * bytes, out.data() + m * bytes, size);
    for (size_t k = 0; k < out.size(); ++k) {
        const int i = static_cast<int>(k % size), j = static_cast<int>(k / size % size);
        if (Radius4(size, i, j) > static_cast<uint32_t>(2 * size)) out[k] = 0;
        const int thin = std::rand() & 7;
        if (thin >= 6) out[k] = 0;
        if (thin == 5) out[k] /= 2;
    }
    return out;
}

// The spray's 12 masks: inside the disc (r < 2 size) 3 draws in 8 set a
// pixel to (rand() % 1024) x p / 2048; outside, nothing is drawn.
std::vector<uint8_t> ReferenceSprayMasks(int size, int density) {
    std::vector<uint8_t> out(12 * static_cast<size_t>(size) * size, 0);
    for (size_t k = 0; k < out.size(); ++k) {
        const int i = static_cast<int>(k % size), j = static_cast<int>(k / size % size);
        if (Radius4(size, i, j) >= static_cast<uint32_t>(2 * size)) continue;
        if ((std::rand() & 7) > 4) out[k] = static_cast<uint8_t>((std::rand() % 1024) * Peak(density) / 2048);
    }
    return out;
}

// Tip pixel (i, j) of a dab centred at (x, y): tip row 0 is the lowest
// screen row of the dab.
struct TipPixel {
    int32_t x, y;
};
TipPixel OnCanvas(int32_t size, int32_t x, int32_t y, int32_t i, int32_t j) {
    return TipPixel{x - size / 2 + i, y + size / 2 - j};
}

TEST(GrainEntries, AllFiveBrushesAreExported) {
    for (const char *name : kGrainBrushes) EXPECT_TRUE(static_cast<bool>(PenlithEntry(name))) << name;
}

// ------------------------------------------------------------ the masks --

// The masks of the three, at sizes whose counts (pencil: 28 down to 10)
// and disc edges differ, against the rules written out above.
TEST(GrainMasks, SpeckleBlurCutAndThinningFollowTheRulesDrawForDraw) {
    struct Case {
        const char *name;
        std::vector<uint8_t> (*reference)(int size, int density);
    };
    for (const Case c : {Case{"Xi_CrayonBrush", ReferenceCrayonMasks}, Case{"Xi_PencilBrush", ReferencePencilMasks},
                         Case{"Xi_SprayBrush", ReferenceSprayMasks}}) {
        for (int size : {2, 3, 5, 15, 24}) {
            for (int density : {30, 100}) {
                PenlithBrush b(c.name, 8, 8);
                b.brush.SetParams(size, density, 10);
                const unsigned seed = 777u + static_cast<unsigned>(size);
                std::srand(seed);
                ASSERT_EQ(b.brush.Select(), 1);
                std::srand(seed);
                const std::vector<uint8_t> want = c.reference(size, density);
                const PlugInBrushContext &ctx = b.brush.ctx();
                ASSERT_EQ(ctx.tipWidth, size);
                ASSERT_EQ(ctx.tipHeight, size);
                ASSERT_EQ(static_cast<size_t>(ctx.tipVariantCount) * size * size, want.size()) << c.name;
                const auto *tips = static_cast<const uint8_t *>(ctx.tipBits);
                EXPECT_TRUE(std::equal(want.begin(), want.end(), tips))
                    << c.name << " size " << size << " density " << density;
                // Nothing outside the disc (the pencil keeps r = 2 size).
                const uint32_t cut = 2 * size + (c.reference == ReferencePencilMasks ? 1 : 0);
                for (size_t k = 0; k < want.size(); ++k) {
                    const int i = static_cast<int>(k % size), j = static_cast<int>(k / size % size);
                    if (Radius4(size, i, j) < cut) continue;
                    ASSERT_EQ(tips[k], 0) << c.name << " size " << size << " at " << i << "," << j;
                }
            }
        }
    }
}

TEST(CrayonMasks, FullDensitySpecklesOf255AreCappedAt128ByTheBlur) {
    PenlithBrush crayon("Xi_CrayonBrush", 8, 8);
    crayon.brush.SetParams(40, 100, 0);
    std::srand(31);
    ASSERT_EQ(crayon.brush.Select(), 1);
    int highest = 0;
    for (const auto &mask : Masks(crayon.brush.ctx())) highest = std::max<int>(highest, *std::max_element(mask.begin(), mask.end()));
    EXPECT_EQ(highest, 128);
}

TEST(Crayon, SizeOneFailsSelectionAndPaintsNothingUntilAValidSize) {
    PenlithBrush crayon("Xi_CrayonBrush", 30, 30);
    crayon.brush.ctx().color = brush_test::ColorValue(0, 0, 0);
    crayon.brush.SetParams(15, 100, 0);
    ASSERT_EQ(crayon.brush.Select(), 1);
    crayon.brush.SetParams(1, 100, 0);
    EXPECT_EQ(crayon.brush.Select(), 0);
    EXPECT_EQ(crayon.brush.ctx().tipBits, nullptr);
    const auto before = crayon.canvas.Snapshot();
    EXPECT_EQ(crayon.brush.Start(15, 15), 0);
    EXPECT_EQ(crayon.brush.Drag(20, 15), 0);
    TestCanvas preview(40, 30);
    EXPECT_EQ(crayon.brush.Preview(preview), 0);
    EXPECT_EQ(crayon.canvas.Snapshot(), before);

    crayon.brush.SetParams(4, 100, 0);
    ASSERT_EQ(crayon.brush.Select(), 1);
    EXPECT_EQ(crayon.Stroke({{15, 15}, {25, 15}}).IsZero(), false);
}

TEST(PencilMasks, SizeOneBuildsTwentyEightTwoByTwoMasksAtHalfDensity) {
    PenlithBrush pencil("Xi_PencilBrush", 8, 8);
    pencil.brush.SetParams(1, 100, 0);
    std::srand(2024);
    ASSERT_EQ(pencil.brush.Select(), 1);
    EXPECT_EQ(pencil.brush.ctx().tipWidth, 2);
    EXPECT_EQ(pencil.brush.ctx().tipHeight, 2);
    EXPECT_EQ(pencil.brush.ctx().tipVariantCount, 28);
    const auto thin = Masks(pencil.brush.ctx());

    // Size 2 draws the same random numbers (no draw depends on a value),
    // with the full peak: every byte about twice the size-1 byte.
    pencil.brush.SetParams(2, 100, 0);
    std::srand(2024);
    ASSERT_EQ(pencil.brush.Select(), 1);
    EXPECT_EQ(pencil.brush.ctx().tipVariantCount, 28);
    const auto full = Masks(pencil.brush.ctx());
    ASSERT_EQ(thin.size(), 28u);
    ASSERT_EQ(full.size(), 28u);
    int thinSum = 0;
    int keptAt[4] = {};
    for (size_t m = 0; m < thin.size(); ++m) {
        // Pixel (0, 0) lies outside the disc (r = 6 > 4); the other three
        // are kept unless thinned.
        EXPECT_EQ(thin[m][0], 0) << m;
        EXPECT_EQ(full[m][0], 0) << m;
        for (size_t k = 0; k < 4; ++k) {
            EXPECT_LE(thin[m][k], 63) << m;
            EXPECT_GE(full[m][k] - 2 * thin[m][k], -1) << m << "/" << k;
            EXPECT_LE(full[m][k] - 2 * thin[m][k], 2) << m << "/" << k;
            thinSum += thin[m][k];
            keptAt[k] += thin[m][k] > 0;
        }
    }
    EXPECT_GT(thinSum, 0);
    for (size_t k = 1; k < 4; ++k) EXPECT_GT(keptAt[k], 0) << "pixel " << k << " is inside the disc";
}

TEST(Spray, SizeOneBuildsEmptyMasksAndPaintsNothingButSucceeds) {
    PenlithBrush spray("Xi_SprayBrush", 20, 20);
    spray.brush.SetParams(1, 100, 0);
    ASSERT_EQ(spray.brush.Select(), 1);
    EXPECT_EQ(spray.brush.ctx().tipVariantCount, 12);
    for (const auto &mask : Masks(spray.brush.ctx())) EXPECT_EQ(mask, std::vector<uint8_t>(1, 0));
    spray.brush.ctx().color = brush_test::ColorValue(0, 0, 0);
    const auto before = spray.canvas.Snapshot();
    ASSERT_EQ(spray.brush.Start(10, 10), 1);
    EXPECT_EQ(spray.brush.Drag(15, 12), 1);
    spray.brush.End();
    EXPECT_EQ(spray.canvas.Snapshot(), before);
}

TEST(StipplingMasks, OneSmallDotPerMaskInTheMiddleHalf) {
    // Size 3: the dot's radius is under a pixel, so a mask holds at most a
    // few pixels, none at full strength.
    PenlithBrush dots("Xi_PointillismBrush", 8, 8);
    dots.brush.SetParams(3, 100, 20);
    for (unsigned seed : {1u, 2u, 3u, 4u}) {
        std::srand(seed);
        ASSERT_EQ(dots.brush.Select(), 1);
        ASSERT_EQ(dots.brush.ctx().tipVariantCount, 12);
        for (const auto &mask : Masks(dots.brush.ctx())) {
            EXPECT_LE(std::count_if(mask.begin(), mask.end(), [](uint8_t t) { return t > 0; }), 4);
            EXPECT_LE(*std::max_element(mask.begin(), mask.end()), 128);
        }
    }
    // Size 20: a dot of radius 5 pixels, its centre in the middle half,
    // no byte above the peak.
    dots.brush.SetParams(20, 50, 20);
    std::srand(99);
    ASSERT_EQ(dots.brush.Select(), 1);
    for (const auto &mask : Masks(dots.brush.ctx())) {
        int count = 0, sumX = 0, sumY = 0, left = 20, right = -1, top = 20, bottom = -1;
        for (int j = 0; j < 20; ++j) {
            for (int i = 0; i < 20; ++i) {
                if (!mask[j * 20 + i]) continue;
                EXPECT_LE(mask[j * 20 + i], Peak(50));
                ++count, sumX += i, sumY += j;
                left = std::min(left, i), right = std::max(right, i);
                top = std::min(top, j), bottom = std::max(bottom, j);
            }
        }
        ASSERT_GT(count, 4);
        EXPECT_LE(right - left, 9);
        EXPECT_LE(bottom - top, 9);
        // the centroid, in quarter pixels, within size - 4 .. 3 size + 4
        EXPECT_GE(4 * sumX, 16 * count);
        EXPECT_LT(4 * sumX, 64 * count);
        EXPECT_GE(4 * sumY, 16 * count);
        EXPECT_LT(4 * sumY, 64 * count);
    }
    // Below size 3 the masks stay empty.
    for (int size : {1, 2}) {
        dots.brush.SetParams(size, 100, 20);
        ASSERT_EQ(dots.brush.Select(), 1);
        for (const auto &mask : Masks(dots.brush.ctx())) {
            EXPECT_EQ(std::count(mask.begin(), mask.end(), 0), size * size);
        }
    }
}

// ------------------------------------------------------------- painting --

// A click of a brush at (20, 20) of a white 40 x 40 canvas against the
// dab the test expects: mask `mask` of the brush in `target`.
void ExpectOneDab(PenlithBrush &b, const std::vector<uint8_t> &mask, Bgr target, const char *name) {
    const int32_t size = b.brush.ctx().tipWidth;
    for (int32_t j = 0; j < size; ++j) {
        for (int32_t i = 0; i < size; ++i) {
            const TipPixel p = OnCanvas(size, 20, 20, i, j);
            const uint8_t t = mask[j * size + i];
            ASSERT_EQ(b.canvas.Pixel(p.x, p.y), t ? BlendOnto(kWhite, target, t) : kWhite)
                << name << " tip " << i << "," << j;
        }
    }
}

TEST(GrainPainting, EachDabLaysARandomMaskInTheCallsJitteredColour) {
    for (const char *name : kMaskBrushes) {
        PenlithBrush b(name, 40, 40);
        b.brush.SetParams(11, 100, 10);  // roughness 10: half 15
        ASSERT_EQ(b.brush.Select(), 1);
        b.brush.ctx().color = brush_test::ColorValue(200, 100, 50);
        const auto masks = Masks(b.brush.ctx());
        for (unsigned seed : {5u, 6u, 7u}) {
            std::srand(seed);
            const int db = std::rand() % 30 - 15, dg = std::rand() % 30 - 15, dr = std::rand() % 30 - 15;
            const int chosen = std::rand() % static_cast<int>(masks.size());
            b.canvas.Fill(kWhite);
            std::srand(seed);
            b.Stroke({{20, 20}});
            ExpectOneDab(b, masks[chosen], Bgr{Clamp(50 + db), Clamp(100 + dg), Clamp(200 + dr)}, name);
        }
    }
}

TEST(StipplingPainting, EachDabHasItsOwnMaskAndColour) {
    PenlithBrush dots("Xi_PointillismBrush", 40, 40);
    dots.brush.SetParams(16, 100, 20);  // roughness 20: half 30
    ASSERT_EQ(dots.brush.Select(), 1);
    dots.brush.ctx().color = brush_test::ColorValue(10, 128, 250);
    const auto masks = Masks(dots.brush.ctx());
    for (unsigned seed : {8u, 9u}) {
        std::srand(seed);
        const int chosen = std::rand() % 12;
        const int db = std::rand() % 60 - 30, dg = std::rand() % 60 - 30, dr = std::rand() % 60 - 30;
        dots.canvas.Fill(kWhite);
        std::srand(seed);
        dots.Stroke({{20, 20}});
        ExpectOneDab(dots, masks[chosen], Bgr{Clamp(250 + db), Clamp(128 + dg), Clamp(10 + dr)}, "stippling");
    }
}

// --------------------------------------------------------- the art brush --

TEST(ArtBrush, StrokeStartDrawsA64ColourPaletteSpreadAroundTheColour) {
    PenlithBrush art("Xi_SeuratBrush", 30, 30);
    art.brush.SetParams(6, 100, 100);  // spread 256: colour - 128 .. colour + 127
    ASSERT_EQ(art.brush.Select(), 1);
    art.brush.ctx().color = brush_test::ColorValue(10, 128, 250);
    const uint8_t base[3] = {250, 128, 10};
    std::srand(4711);
    std::vector<uint8_t> want(192);
    for (size_t k = 0; k < want.size(); ++k) want[k] = Clamp(base[k % 3] + std::rand() % 256 - 128);
    std::srand(4711);
    ASSERT_EQ(art.brush.Send(BRUSHCMD_BEGIN), 1);
    ASSERT_NE(art.brush.ctx().workBits, nullptr);
    EXPECT_EQ(art.brush.ctx().tipVariantCount, 64);
    const auto *palette = static_cast<const uint8_t *>(art.brush.ctx().workBits);
    EXPECT_EQ(std::vector<uint8_t>(palette, palette + 192), want);
    // Green around 128 spreads over nearly the whole range.
    uint8_t low = 255, high = 0;
    for (int e = 0; e < 64; ++e) low = std::min(low, palette[3 * e + 1]), high = std::max(high, palette[3 * e + 1]);
    EXPECT_LT(low, 40);
    EXPECT_GT(high, 215);

    // The least roughness (1) gives spread 2: each channel colour - 1 or
    // colour itself.
    art.brush.SetParams(6, 100, 1);
    ASSERT_EQ(art.brush.Select(), 1);
    ASSERT_EQ(art.brush.Send(BRUSHCMD_BEGIN), 1);
    palette = static_cast<const uint8_t *>(art.brush.ctx().workBits);
    for (int k = 0; k < 192; ++k) {
        EXPECT_LE(palette[k], base[k % 3]);
        EXPECT_GE(palette[k], base[k % 3] - 1);
    }
    art.brush.Send(BRUSHCMD_END);
}

TEST(ArtBrush, EveryPixelTakesARandomPaletteEntryRowByRow) {
    PenlithBrush art("Xi_SeuratBrush", 40, 40);
    art.brush.SetParams(9, 100, 50);  // spread 128
    ASSERT_EQ(art.brush.Select(), 1);
    art.brush.ctx().color = brush_test::ColorValue(100, 150, 200);
    const auto tip = SingleTip(art.brush.ctx());
    const uint8_t base[3] = {200, 150, 100};
    std::srand(99);
    uint8_t palette[192];
    for (int k = 0; k < 192; ++k) palette[k] = Clamp(base[k % 3] + std::rand() % 128 - 64);
    std::vector<Bgr> want(tip.size(), kWhite);
    for (size_t k = 0; k < tip.size(); ++k) {
        if (!tip[k]) continue;
        const uint8_t *e = palette + 3 * (std::rand() & 63);
        want[k] = BlendOnto(kWhite, Bgr{e[0], e[1], e[2]}, tip[k]);
    }
    std::srand(99);
    ASSERT_EQ(art.brush.Start(20, 20), 1);
    for (int32_t j = 0; j < 9; ++j) {
        for (int32_t i = 0; i < 9; ++i) {
            const TipPixel p = OnCanvas(9, 20, 20, i, j);
            EXPECT_EQ(art.canvas.Pixel(p.x, p.y), want[j * 9 + i]) << i << "," << j;
        }
    }
    art.brush.End();
}

TEST(ArtBrush, PaintingWithoutAStrokeStartReturnsZeroAndLeavesTheLockFree) {
    PenlithBrush art("Xi_SeuratBrush", 20, 20);
    art.brush.SetParams(8, 100, 50);
    ASSERT_EQ(art.brush.Select(), 1);
    art.brush.AttachCanvas();
    PlugInBrushContext &ctx = art.brush.ctx();
    ctx.curX = ctx.prevX = ctx.startX = 10;
    ctx.curY = ctx.prevY = ctx.startY = 10;
    ctx.dirtyLeft = ctx.dirtyTop = 3, ctx.dirtyRight = ctx.dirtyBottom = 9;
    const auto before = art.canvas.Snapshot();
    EXPECT_EQ(art.brush.Send(BRUSHCMD_PAINT), 0);
    EXPECT_EQ(art.canvas.Snapshot(), before);
    EXPECT_TRUE(art.brush.Dirty().IsZero());

    // Another thread can still paint: the plug-in's lock was left.
    ExpectLockFree("Xi_NormalBrush");

    // With a stroke start it paints.
    EXPECT_EQ(art.brush.Send(BRUSHCMD_BEGIN), 1);
    EXPECT_EQ(art.brush.Send(BRUSHCMD_PAINT), 1);
    EXPECT_NE(art.canvas.Snapshot(), before);
}

TEST(ArtBrush, ThePaletteLivesFromStrokeStartToStrokeEnd) {
    PenlithBrush art("Xi_SeuratBrush", 20, 20);
    art.brush.SetParams(8, 100, 50);
    ASSERT_EQ(art.brush.Select(), 1);
    ASSERT_EQ(art.brush.Start(10, 10), 1);
    EXPECT_NE(art.brush.ctx().workBits, nullptr);
    EXPECT_EQ(art.brush.End(), 1);
    EXPECT_EQ(art.brush.ctx().workBits, nullptr);
    EXPECT_EQ(art.brush.ctx().tipVariantCount, 64);  // stays after the palette goes
    ASSERT_EQ(art.brush.Start(10, 10), 1);
    EXPECT_EQ(art.brush.Release(), 1);
    EXPECT_EQ(art.brush.ctx().workBits, nullptr);
    EXPECT_EQ(art.brush.ctx().tipBits, nullptr);
}

// -------------------------------------------------------------- previews --

TEST(GrainPreview, ShowsTheStackedDabsAStrokeOfTheSameDrawsWouldPaint) {
    struct Case {
        const char *name;
        int dabs;
    };
    for (const Case c : {Case{"Xi_CrayonBrush", 3}, Case{"Xi_PencilBrush", 3}, Case{"Xi_SprayBrush", 3},
                         Case{"Xi_SeuratBrush", 3}, Case{"Xi_PointillismBrush", 4}}) {
        PenlithBrush b(c.name, 61, 42);
        for (int32_t y = 0; y < 42; ++y) {
            for (int32_t x = 0; x < 61; ++x) b.canvas.SetPixel(x, y, PreviewBackground(x, y));
        }
        b.brush.SetParams(12, 60, 30);
        ASSERT_EQ(b.brush.Select(), 1);
        b.brush.ctx().color = brush_test::ColorValue(20, 40, 200);
        TestCanvas preview(61, 42);
        std::srand(1234);
        ASSERT_EQ(b.brush.Preview(preview), 1) << c.name;
        EXPECT_TRUE(preview.GuardsIntact(false)) << c.name;

        // The same commands on the canvas: a stroke start and further
        // paints at the same point.
        const auto background = b.canvas.Snapshot();
        std::srand(1234);
        ASSERT_EQ(b.brush.Start(30, 21), 1);
        for (int k = 1; k < c.dabs; ++k) ASSERT_EQ(b.brush.Drag(30, 21), 1);
        b.brush.End();
        EXPECT_NE(b.canvas.Snapshot(), background) << c.name;
        for (int32_t y = 0; y < 42; ++y) {
            for (int32_t x = 0; x < 61; ++x) {
                ASSERT_EQ(preview.Pixel(x, y), b.canvas.Pixel(x, y)) << c.name << " at " << x << "," << y;
            }
        }
        EXPECT_EQ(b.brush.PreviewDirty(), (Rect{24, 15, 36, 28})) << c.name;
    }
}

// ------------------------------------------------ strokes and bad records --

TEST(GrainStrokes, EveryCallsRectangleHoldsWhatItChangedAndNothingOutsideIsWritten) {
    std::srand(4242);
    for (const char *name : kGrainBrushes) {
        for (int32_t size : {3, 9, 24, 61}) ASSERT_NO_FATAL_FAILURE(CheckEveryCallsRectangle(name, size, 20, 30));
    }
}

TEST(GrainBadRecords, NullRecordsUnknownCommandsMissingParametersAndThePick) {
    for (const char *name : kGrainBrushes) {
        PenlithBrush b(name, 16, 16);
        ASSERT_EQ(b.brush.Select(), 1);
        ExpectNullRecordAndCommandsRefused(name, b, {0, 7, -1});

        // Ctrl picks the colour at the start and on every paint; even the
        // art brush, which has no palette then, succeeds.
        std::vector<uint8_t> before;
        ASSERT_NO_FATAL_FAILURE(CtrlPressPicks(name, b, 4, 5, before));
        EXPECT_EQ(b.brush.Drag(12, 12), 1) << name;
        b.brush.End();
        EXPECT_EQ(b.canvas.Snapshot(), before) << name;

        ExpectSelectWithoutParametersRefused(name, b);
        EXPECT_EQ(b.brush.Start(8, 8), 0) << name;
    }
}

}  // namespace
