// Colour jitter, the standard blend (fast path against the formula) and the
// tip builders.
#include <cmath>
#include <cstdlib>

#include "brush_platform.h"
#include "engine_test_support.h"

namespace {

using namespace engine_test;

constexpr double kPi = 3.14159265358979;

int Clamp255(int v) { return v < 0 ? 0 : (v > 255 ? 255 : v); }

// ------------------------------------------------------------- jitter --

TEST(JitterColor, RoughnessZeroKeepsTheColourAndDrawsNothing) {
    std::srand(99);
    const int expected = std::rand();
    std::srand(99);
    brush::BgrColor c{10, 20, 30};
    brush::JitterColor(&c, 0);
    EXPECT_EQ(c.b, 10);
    EXPECT_EQ(c.g, 20);
    EXPECT_EQ(c.r, 30);
    EXPECT_EQ(std::rand(), expected);
}

TEST(JitterColor, DrawsBlueGreenRedInTurnFromTheSharedGenerator) {
    for (int32_t roughness : {1, 7, 100}) {
        std::srand(1234);
        const int32_t half = 3 * roughness / 2;
        const int db = std::rand() % (2 * half) - half;
        const int dg = std::rand() % (2 * half) - half;
        const int dr = std::rand() % (2 * half) - half;
        std::srand(1234);
        brush::BgrColor c{128, 0, 255};
        brush::JitterColor(&c, roughness);
        EXPECT_EQ(c.b, Clamp255(128 + db)) << roughness;
        EXPECT_EQ(c.g, Clamp255(dg)) << roughness;
        EXPECT_EQ(c.r, Clamp255(255 + dr)) << roughness;
        if (roughness == 1) {
            EXPECT_TRUE(db == -1 || db == 0);
        }
    }
}

// -------------------------------------------------------------- blend --

TEST(BlendPixel, MovesEachChannelByCoverageTruncatingTowardZero) {
    uint8_t px[3] = {255, 0, 100};
    // coverage 1: 255 -> 0 moves by -255/128 = -1.99 -> -1; 0 -> 255 by +1
    brush::BlendPixel(px, brush::BgrColor{0, 255, 100}, 1, 128);
    EXPECT_EQ(px[0], 254);
    EXPECT_EQ(px[1], 1);
    EXPECT_EQ(px[2], 100);
    // Full coverage lands on the target exactly.
    brush::BlendPixel(px, brush::BgrColor{7, 8, 9}, 128, 128);
    EXPECT_EQ(px[0], 7);
    EXPECT_EQ(px[1], 8);
    EXPECT_EQ(px[2], 9);
}

TEST(BlendPixel, CoverageIsPressurePlusTipMinus128WithinRange) {
    EXPECT_EQ(brush::StandardCoverage(64, 128), 64);
    EXPECT_EQ(brush::StandardCoverage(64, 100), 36);
    EXPECT_EQ(brush::StandardCoverage(20, 100), 0);
    EXPECT_EQ(brush::StandardCoverage(255, 128), 128);
    EXPECT_EQ(brush::StandardCoverage(0, 1000), 0);  // a zero tip byte never paints
    EXPECT_EQ(brush::StandardCoverage(1, 2147483647), 128);
    EXPECT_EQ(brush::StandardCoverage(255, -2147483647 - 1), 0);
}

// Random dabs, tips, pressures and canvases: the SSE2 path must give
// exactly the bytes of the formula, and touch nothing else.
TEST(SolidDabBlender, GivesTheBytesOfTheFormulaOnRandomDabs) {
    std::srand(2024);
    const int32_t pressures[] = {-300, 0, 1, 2, 64, 127, 128, 129, 200, 300};
    for (int trial = 0; trial < 400; ++trial) {
        const int32_t tipW = 1 + std::rand() % (trial % 10 == 0 ? 320 : 40);
        const int32_t tipH = 1 + std::rand() % 30;
        const int32_t width = 1 + std::rand() % 400, height = 1 + std::rand() % 40;
        TestCanvas fast(width, height), slow(width, height);
        fast.FillNoise(static_cast<uint32_t>(trial));
        slow.FillNoise(static_cast<uint32_t>(trial));
        EngineRecord recFast(fast, tipW, tipH), recSlow(slow, tipW, tipH);
        // Every fourth trial keeps several masks (as the grain brushes do)
        // and blends one of them.
        const int32_t variants = trial % 4 == 3 ? 1 + std::rand() % 12 : 1;
        const size_t maskBytes = static_cast<size_t>(tipW) * tipH;
        recFast.tip().resize(maskBytes * variants);
        recFast->tipBits = recFast.tip().data();
        recFast->tipVariantCount = variants;
        for (auto &t : recFast.tip()) t = static_cast<uint8_t>(std::rand() % 4 == 0 ? 0 : std::rand());
        // Every third trial clears whole rows and both ends of the others,
        // as round and speckled tips have them: kept tips blend only what
        // lies between.
        if (trial % 3 == 0) {
            for (size_t at = 0; at < recFast.tip().size(); at += tipW) {
                const int32_t lead = std::rand() % (tipW + 1), trail = std::rand() % (tipW + 1);
                for (int32_t i = 0; i < tipW; ++i) {
                    if (i < lead || tipW - i <= trail) recFast.tip()[at + i] = 0;
                }
            }
        }
        recSlow.tip() = recFast.tip();
        recSlow->tipBits = recSlow.tip().data();
        const size_t chosen = maskBytes * static_cast<size_t>(std::rand() % variants);

        const int32_t x = std::rand() % (width + tipW) - tipW / 2;
        const int32_t y = std::rand() % (height + tipH) - tipH / 2;
        recFast.Segment(x, y, x, y);
        brush::DirtyRect rect;
        brush::DabPlace place;
        ASSERT_EQ(brush::GetDabPlace(recFast.engine, recFast.get(), &place, &rect, 0), 1);
        const brush::BgrColor target{static_cast<uint8_t>(std::rand()), static_cast<uint8_t>(std::rand()),
                                     static_cast<uint8_t>(std::rand())};
        const int32_t pressure = pressures[std::rand() % 10];

        // Every other trial through the kept coverage of a fixed tip, kept
        // in the trial's own engine state.
        brush::SolidDabBlender blender(pressure);
        if (trial % 2) blender.UseFixedTip(recFast.engine, recFast.get(), variants);
        blender.SetTarget(target);
        blender.Blend(brush::CanvasOf(recFast.get()), place, recFast.tip().data() + chosen, tipW);
        brush::BlendSolidThroughTipOntoBgr24Scalar(brush::CanvasOf(recSlow.get()), place,
                                                   recSlow.tip().data() + chosen, tipW, target, pressure);
        ASSERT_EQ(fast.Snapshot(), slow.Snapshot())
            << "trial " << trial << " tip " << tipW << "x" << tipH << " pressure " << pressure;
        ASSERT_TRUE(fast.GuardsIntact()) << "trial " << trial;
    }
}

// Every old byte, target and coverage through a kept tip: tip row c gives
// coverage c (0..128) to a canvas whose column i holds i in every channel,
// and each channel has its own target.
TEST(SolidDabBlender, AKeptTipMovesEveryByteAsTheFormula) {
    TestCanvas canvas(256, 129);
    EngineRecord rec(canvas, 256, 129);
    for (size_t k = 0; k < rec.tip().size(); ++k) rec.tip()[k] = static_cast<uint8_t>(k / 256);
    rec.Segment(128, 64, 128, 64);
    brush::DirtyRect rect;
    brush::DabPlace place;
    ASSERT_EQ(brush::GetDabPlace(rec.engine, rec.get(), &place, &rect, 0), 1);
    ASSERT_EQ(place.sizeW, 256);
    ASSERT_EQ(place.sizeH, 129);
    int wrong = 0;
    for (int32_t target = 0; target < 256; ++target) {
        const int32_t targets[3] = {target, 255 - target, target ^ 0x5A};
        for (int32_t r = 0; r < 129; ++r) {
            uint8_t *row = canvas.bits() + static_cast<size_t>(r) * canvas.stride();
            for (int32_t o = 0; o < 3 * 256; ++o) row[o] = static_cast<uint8_t>(o / 3);
        }
        brush::SolidDabBlender blender(128);
        blender.UseFixedTip(rec.engine, rec.get());
        blender.SetTarget(brush::BgrColor{static_cast<uint8_t>(targets[0]), static_cast<uint8_t>(targets[1]),
                                          static_cast<uint8_t>(targets[2])});
        blender.Blend(brush::CanvasOf(rec.get()), place, rec.tip().data(), 256);
        for (int32_t c = 0; c < 129; ++c) {
            const uint8_t *row = canvas.bits() + static_cast<size_t>(c) * canvas.stride();
            for (int32_t o = 0; o < 3 * 256; ++o) {
                const int32_t old = o / 3;
                wrong += row[o] != old + (targets[o % 3] - old) * c / 128;
            }
        }
    }
    EXPECT_EQ(wrong, 0);
    EXPECT_TRUE(canvas.GuardsIntact());
}

// Two blenders of one call at different pressures share the one kept
// coverage: the one whose coverage was replaced must not use the other's.
TEST(SolidDabBlender, AReplacedFixedTipCoverageIsNotUsedByTheEarlierBlender) {
    TestCanvas fast(20, 20), slow(20, 20);
    fast.FillNoise(5);
    slow.FillNoise(5);
    EngineRecord rec(fast, 9, 9, 100);
    rec.Segment(10, 10, 10, 10);
    brush::DirtyRect rect;
    brush::DabPlace place;
    ASSERT_EQ(brush::GetDabPlace(rec.engine, rec.get(), &place, &rect, 0), 1);
    brush::SolidDabBlender heavy(128), light(60);
    heavy.UseFixedTip(rec.engine, rec.get());
    light.UseFixedTip(rec.engine, rec.get());
    heavy.SetTarget(brush::BgrColor{0, 0, 0});
    heavy.Blend(brush::CanvasOf(rec.get()), place, rec.tip().data(), 9);
    EngineRecord slowRec(slow, 9, 9, 100);
    brush::BlendSolidThroughTipOntoBgr24Scalar(brush::CanvasOf(slowRec.get()), place, slowRec.tip().data(), 9,
                                               brush::BgrColor{0, 0, 0}, 128);
    EXPECT_EQ(fast.Snapshot(), slow.Snapshot());
}

// -------------------------------------------------------------- tips --

class TipBuilders : public ::testing::Test {
protected:
    TipBuilders() : brush(nullptr, canvas) {}
    const uint8_t *Build(int (*builder)(brush::EngineState &, PlugInBrushContext *), int32_t size,
                         int32_t density) {
        brush.SetParams(size, density, 0);
        brush.ctx().tipParams = brush.params();
        result = builder(engine, &brush.ctx());
        return static_cast<const uint8_t *>(brush.ctx().tipBits);
    }
    ~TipBuilders() override { brush::FreeBrushBuffers(engine, &brush.ctx()); }
    brush::EngineState engine;
    TestCanvas canvas{4, 4};
    brush_test::BrushHarness brush;
    int result = 0;
};

TEST_F(TipBuilders, SizeOneAndTwo) {
    const uint8_t *soft = Build(brush::MakeSoftTip, 1, 100);
    ASSERT_TRUE(soft);
    EXPECT_EQ(soft[0], 128 / 3);
    EXPECT_EQ(Build(brush::MakeMarkerTip, 1, 50)[0], 64);
    EXPECT_EQ(Build(brush::MakeRollerTip, 1, 100)[0], 128);
    for (auto builder : {brush::MakeSoftTip, brush::MakeMarkerTip, brush::MakeRollerTip}) {
        const uint8_t *tip = Build(builder, 2, 50);
        ASSERT_TRUE(tip);
        EXPECT_EQ(brush.ctx().tipWidth, 2);
        for (int k = 0; k < 4; ++k) EXPECT_EQ(tip[k], 32);
    }
}

TEST_F(TipBuilders, SoftTipPeaksAtTheCentreAndFadesToNothingAtTheRim) {
    const int32_t size = 20;
    const uint8_t *tip = Build(brush::MakeSoftTip, size, 100);
    ASSERT_TRUE(tip);
    EXPECT_EQ(tip[10 * size + 10], 128);
    for (int32_t j = 0; j < size; ++j) {
        for (int32_t i = 0; i < size; ++i) {
            const double d = std::hypot(i - 10.0, j - 10.0);
            const uint8_t t = tip[j * size + i];
            if (d >= 10.2) { EXPECT_EQ(t, 0) << i << "," << j; }
            if (d <= 9.0) { EXPECT_GT(t, 0) << i << "," << j; }
            // trunc((cos(pi d / 10) + 1) x 64), within the rounding of d
            const double lo = (std::cos(kPi * std::min(10.0, d + 0.13) / 10) + 1) * 64 - 1;
            const double hi = (std::cos(kPi * std::max(0.0, d - 0.13) / 10) + 1) * 64;
            EXPECT_GE(t, std::floor(lo)) << i << "," << j;
            EXPECT_LE(t, hi) << i << "," << j;
        }
    }
}

TEST_F(TipBuilders, MarkerHasAFlatCoreOfHalfTheRadius) {
    const int32_t size = 20;
    const uint8_t *tip = Build(brush::MakeMarkerTip, size, 100);
    ASSERT_TRUE(tip);
    for (int32_t j = 0; j < size; ++j) {
        for (int32_t i = 0; i < size; ++i) {
            const double d = std::hypot(i - 10.0, j - 10.0);
            const uint8_t t = tip[j * size + i];
            if (d < 4.85) { EXPECT_EQ(t, 128) << i << "," << j; }
            if (d > 5.2 && d < 9.0) {
                EXPECT_LT(t, 128) << i << "," << j;
                EXPECT_GT(t, 0) << i << "," << j;
            }
            if (d >= 10.2) { EXPECT_EQ(t, 0) << i << "," << j; }
        }
    }
}

TEST_F(TipBuilders, RollerIsFlatWithAOnePixelRim) {
    const int32_t size = 16;
    const uint8_t *tip = Build(brush::MakeRollerTip, size, 100);
    ASSERT_TRUE(tip);
    for (int32_t j = 0; j < size; ++j) {
        for (int32_t i = 0; i < size; ++i) {
            const int32_t r = static_cast<int32_t>(brush::TipRadius4(engine, size, i, j));
            const uint8_t t = tip[j * size + i];
            const int32_t want = r < 28 ? 128 : (r < 32 ? 128 / (r - 27) : 0);
            EXPECT_EQ(t, want) << "r " << r;
        }
    }
}

TEST_F(TipBuilders, FreeTheOldBuffersAndRefuseUnusableSizes) {
    brush.ctx().workBits = brush::AllocBrushBuffer(16);
    ASSERT_TRUE(Build(brush::MakeSoftTip, 5, 50));
    EXPECT_EQ(brush.ctx().workBits, nullptr);
    for (int32_t size : {0, -3, brush::kMaxTipSide + 1}) {
        EXPECT_EQ(Build(brush::MakeSoftTip, size, 50), nullptr) << size;
        EXPECT_EQ(result, 0);
        EXPECT_EQ(brush.ctx().tipWidth, 0);
    }
    brush.ctx().tipParams = nullptr;
    EXPECT_EQ(brush::MakeMarkerTip(engine, &brush.ctx()), 0);
}

TEST_F(TipBuilders, DensityOutsideItsRangeStaysWithinFullCoverage) {
    EXPECT_EQ(Build(brush::MakeRollerTip, 1, 1000)[0], 128);
    EXPECT_EQ(Build(brush::MakeRollerTip, 1, -5)[0], 0);
    EXPECT_EQ(brush::PeakOfDensity(30), 38);
}

TEST(FreeBrushBuffers, FreesAllThreeBuffersAndClearsThem) {
    brush::EngineState engine;
    PlugInBrushContext ctx{};
    ctx.tipBits = brush::AllocBrushBuffer(8);
    ctx.workBits = brush::AllocBrushBuffer(8);
    ctx.spareBits = brush::AllocBrushBuffer(8);
    EXPECT_EQ(brush::FreeBrushBuffers(engine, &ctx), 1);
    EXPECT_EQ(ctx.tipBits, nullptr);
    EXPECT_EQ(ctx.workBits, nullptr);
    EXPECT_EQ(ctx.spareBits, nullptr);
    EXPECT_EQ(brush::FreeBrushBuffers(engine, &ctx), 1);
    EXPECT_EQ(brush::FreeBrushBuffers(engine, nullptr), 0);
}

}  // namespace
