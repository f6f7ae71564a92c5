// The hatching, impressionist and cloud brushes through their entry
// points: masks that are their textures turned to their angles, the mask
// of every dab (at random, or by the stroke's octant) and its colour,
// replayed from the same rand() draws byte for byte, and the cloud's
// shading over the part of a dab inside the canvas.  The last test runs
// the checks every brush must pass over all seven brushes of the family
// files (India ink and oil included).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "penlith_checks.h"
#include "penlith_harness.h"
#include "texture_brush_replay.h"

#ifndef _WIN32
#include "textures_native.h"
#endif

namespace {

using namespace penlith_test;

struct TextureBrush {
    const char *name;
    int32_t masks;
    std::function<int(int32_t v)> texture;
    std::function<int(int32_t v)> angle;
};

const TextureBrush kBrushes[] = {
    {"Xi_CrossHatchBrush", 10, [](int32_t) { return 101; }, [](int32_t v) { return 35 - 5 * v; }},
    {"Xi_RippleBrush", 10, [](int32_t) { return 101; }, [](int32_t v) { return 110 - 5 * v; }},
    {"Xi_CrossHatchingBrush", 32, [](int32_t) { return 101; }, [](int32_t v) { return 45 * v / 4; }},
    {"Xi_ImpressionistBrush", 10, [](int32_t) { return 102; }, [](int32_t v) { return 45 - 7 * v; }},
    {"Xi_CloudBrush", 12, [](int32_t v) { return 105 + v / 3; }, [](int32_t v) { return 15 * v - 15; }},
};

// Every mask is its texture turned by its angle and scaled to the tip,
// with gain density x 128 / 100: at size 4 as at 100, the whole 128 x 128
// texture over the tip.
TEST(TextureTips, EveryMaskIsItsTextureTurnedToItsAngleWithTheDensityAsGain) {
    for (const TextureBrush &brush : kBrushes) {
        for (int32_t size : {4, 30, 100}) {
            const int32_t density = size == 30 ? 100 : 45;
            PenlithBrush b(brush.name, 8, 8);
            b.brush.SetParams(size, density, 30);
            ASSERT_EQ(b.brush.Select(), 1) << brush.name;
            const PlugInBrushContext &ctx = b.brush.ctx();
            ASSERT_EQ(ctx.tipVariantCount, brush.masks) << brush.name;
            ASSERT_EQ(ctx.tipWidth, size);
            ASSERT_EQ(ctx.tipHeight, size);
            for (int32_t v = 0; v < brush.masks; ++v) {
                const auto texture = TextureLevels(brush.texture(v));
                ASSERT_EQ(texture.size(), 128u * 128u) << brush.texture(v);
                std::vector<uint8_t> want(static_cast<size_t>(size) * size, 0);
                brush::RotateTexture(texture.data(), 128, 128, want.data(), size, size, density * 128 / 100,
                                     brush.angle(v));
                const auto got = MaskOf(ctx, v);
                EXPECT_EQ(got, want) << brush.name << " size " << size << " mask " << v;
            }
        }
    }
}

// The colour of one dab: blue, green, red each shifted by
// rand() % (2r) - r and clamped.
brush::BgrColor DabColorReplay(brush::BgrColor c, int32_t r) {
    if (r == 0) return c;
    const int32_t b = Clamp255(c.b + std::rand() % (2 * r) - r);
    const int32_t g = Clamp255(c.g + std::rand() % (2 * r) - r);
    const int32_t red = Clamp255(c.r + std::rand() % (2 * r) - r);
    return brush::BgrColor{static_cast<uint8_t>(b), static_cast<uint8_t>(g), static_cast<uint8_t>(red)};
}

// One painting call replayed: per dab the mask from `chooseMask`, then
// its colour, laid with the standard blend.  The masks used are counted.
void ReplayTexturedCall(ReferenceCanvas &ref, const PlugInBrushContext &ctx, const brush::DabSpacing &spacing,
                        int32_t roughness, const std::function<int32_t()> &chooseMask, std::vector<int> &used) {
    for (const brush::DabPlace &p : DabsOfCall(ctx, spacing)) {
        const int32_t v = chooseMask();
        used.at(static_cast<size_t>(v))++;
        const brush::BgrColor colour = DabColorReplay(brush::ColorOf(ctx.color), roughness);
        const int32_t target[3] = {colour.b, colour.g, colour.r};
        const auto mask = MaskOf(ctx, v);
        ref.ForDab(p, mask.data(), ctx.tipWidth, [&](uint8_t *px, int32_t t, int32_t, int32_t) {
            const int32_t c = Coverage(t, ctx.pressure);
            for (int k = 0; k < 3; ++k) px[k] = Mix(px[k], target[k], c);
        });
    }
}

// Cross-hatch, ripple and impressionist: a stroke of several calls over
// noise, each dab's mask rand() % 10 and its colour three more draws;
// every call matches the replay, and the stroke uses many of the masks.
TEST(TexturedDabs, RandomMaskAndColourPerDabReplayByteForByte) {
    for (const TextureBrush &brush : kBrushes) {
        const bool impressionist = std::string(brush.name) == "Xi_ImpressionistBrush";
        if (brush.masks != 10) continue;
        for (int32_t roughness : {0, 30, 100}) {
            PenlithBrush b(brush.name, 120, 90);
            b.canvas.FillNoise(11);
            b.brush.SetParams(24, 70, roughness);
            ASSERT_EQ(b.brush.Select(), 1);
            b.brush.ctx().color = brush_test::ColorValue(30, 150, 250);
            ReferenceCanvas ref(b.canvas);
            std::vector<int> used(10, 0);
            const brush::DabSpacing spacing =
                impressionist ? brush::DabSpacing::Ratio(20) : brush::DabSpacing::Pressure();
            const std::pair<int32_t, int32_t> points[] = {{10, 10}, {60, 20}, {100, 80}, {20, 70}, {5, 85}};
            for (size_t k = 0; k + 1 < std::size(points); ++k) {
                AimCall(b, points[k].first, points[k].second, points[k + 1].first, points[k + 1].second);
                const PlugInBrushContext aimed = b.brush.ctx();
                std::srand(77 + k);
                ASSERT_EQ(b.brush.Send(BRUSHCMD_PAINT), 1);
                std::srand(77 + k);
                ReplayTexturedCall(ref, aimed, spacing, roughness, [] { return std::rand() % 10; }, used);
                ASSERT_EQ(b.canvas.Snapshot(), ref.bytes) << brush.name << " call " << k << " roughness " << roughness;
            }
            EXPECT_GE(std::count_if(used.begin(), used.end(), [](int n) { return n > 0; }), 8) << brush.name;
        }
    }
}

// The direction hatching: the octant of each drag (clockwise from up,
// y growing downward) picks masks 4 x octant - 2 to 4 x octant + 2 (mod
// 32); a drag to the right uses masks 6 to 10, straight down (dx = 0) and
// steeply down (dx = 1, dy = 10) both octant 4.
TEST(DirectionHatching, TheOctantOfTheDragPicksTheMaskGiveOrTakeTwoSteps) {
    struct Drag {
        int32_t dx, dy, octant;
    };
    const Drag drags[] = {
        {0, -30, 0}, {20, -20, 1}, {30, 0, 2},  {20, 20, 3},  {0, 30, 4},   {1, 10, 4},   {-20, 20, 5},
        {-30, 0, 6}, {-20, -20, 7}, {50, 20, 2}, {50, 21, 3}, {10, 24, 3}, {10, 25, 4}, {-10, -25, 0},
        {-50, -21, 7}, {0, 0, 0},
    };
    for (const Drag &d : drags) {
        PenlithBrush b("Xi_CrossHatchingBrush", 90, 90);
        b.canvas.FillNoise(static_cast<uint32_t>(d.dx + 100 * d.dy));
        b.brush.SetParams(12, 80, 30);
        ASSERT_EQ(b.brush.Select(), 1);
        b.brush.ctx().color = brush_test::ColorValue(20, 60, 120);
        ReferenceCanvas ref(b.canvas);
        std::vector<int> used(32, 0);
        AimCall(b, 45 - d.dx / 2, 45 - d.dy / 2, 45 - d.dx / 2 + d.dx, 45 - d.dy / 2 + d.dy);
        const PlugInBrushContext aimed = b.brush.ctx();
        std::srand(4242);
        ASSERT_EQ(b.brush.Send(BRUSHCMD_PAINT), 1);
        std::srand(4242);
        ReplayTexturedCall(ref, aimed, brush::DabSpacing::Pressure(), 30,
                           [&] { return (32 + std::rand() % 5 + 4 * d.octant - 2) % 32; }, used);
        EXPECT_EQ(b.canvas.Snapshot(), ref.bytes) << d.dx << "," << d.dy;
    }
}

// The cloud: mask rand() % 12 per dab, no jitter, and the shade
//     ((sizeW - 1 - i + j) x 120) / (sizeW + sizeH) - 60
// counted over the part of the dab inside the canvas, so a puff cut by the
// edge still runs from light to dark inside it.
TEST(Cloud, RandomMaskAndShadeOverTheClippedDabReplayByteForByte) {
    PenlithBrush b("Xi_CloudBrush", 100, 80);
    b.canvas.FillNoise(5);
    b.brush.SetParams(50, 60, 0);
    ASSERT_EQ(b.brush.Select(), 1);
    b.brush.ctx().color = brush_test::ColorValue(120, 160, 230);
    ReferenceCanvas ref(b.canvas);
    std::vector<int> used(12, 0);
    // A click inside, a click cut at the top left, a drag out over the right
    // edge, and a drag at light pressure.
    const int32_t calls[][5] = {{50, 40, 50, 40, 128}, {5, 3, 5, 3, 128}, {40, 60, 130, 30, 128}, {10, 50, 70, 45, 60}};
    for (const auto &c : calls) {
        AimCall(b, c[0], c[1], c[2], c[3]);
        b.brush.ctx().pressure = c[4];
        const PlugInBrushContext aimed = b.brush.ctx();
        std::srand(c[0] * 31 + 1);
        ASSERT_EQ(b.brush.Send(BRUSHCMD_PAINT), 1);
        std::srand(c[0] * 31 + 1);
        const brush::BgrColor colour = brush::ColorOf(aimed.color);
        const int32_t base[3] = {colour.b, colour.g, colour.r};
        for (const brush::DabPlace &p : DabsOfCall(aimed, brush::DabSpacing::Ratio(25))) {
            const int32_t v = std::rand() % 12;
            ++used[v];
            const auto mask = MaskOf(aimed, v);
            ref.ForDab(p, mask.data(), aimed.tipWidth, [&](uint8_t *px, int32_t t, int32_t i, int32_t j) {
                const int32_t shade = ((p.sizeW - 1 - i + j) * 120) / (p.sizeW + p.sizeH);
                const int32_t cover = Coverage(t, aimed.pressure);
                for (int k = 0; k < 3; ++k) px[k] = Mix(px[k], Clamp255(base[k] + shade - 60), cover);
            });
        }
        ASSERT_EQ(b.canvas.Snapshot(), ref.bytes) << "call from " << c[0] << "," << c[1];
    }
    EXPECT_GE(std::count_if(used.begin(), used.end(), [](int n) { return n > 0; }), 6);
}

#ifndef _WIN32
TEST(TextureTips, MissingTextureFailsSelectAndPaintingUntilSelectedAgain) {
    for (const TextureBrush &brush : kBrushes) {
        ASSERT_NO_FATAL_FAILURE(CheckMissingTextureRefusesSelect(brush.name, 30));
    }
}
#endif

// The seven brushes of the ink, oil, hatching, impressionist and cloud
// files; hatching lines may miss the preview's centre itself.
TEST(InkOilAndTextureBrushes, TheContractEveryBrushKeeps) {
    for (const char *name : {"Xi_IndiaInkBrush", "Xi_OilBrush", "Xi_CrossHatchBrush", "Xi_RippleBrush",
                             "Xi_CrossHatchingBrush", "Xi_ImpressionistBrush", "Xi_CloudBrush"}) {
        ASSERT_NO_FATAL_FAILURE(CheckBrushContract(name, {8, 30, false, true}));
    }
}

}  // namespace
