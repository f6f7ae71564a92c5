// The bracket of a painting call (validity, lock, rectangle), the command
// skeleton, the colour pick and the shared preview.

#include "brush_platform.h"
#include "engine_test_support.h"

namespace {

using namespace engine_test;
using brush_test::BrushHarness;

// A brush made of the engine's parts: a soft tip in one colour.  Which
// painting outcome it reports is up to the test.
brush::PaintResult g_outcome = brush::PaintResult::kPainted;

brush::PaintResult PaintSolid(brush::EngineState &engine, PlugInBrushContext *ctx, brush::DirtyRect &rect) {
    brush::SolidDabBlender blender(ctx->pressure);
    blender.SetTarget(brush::ColorOf(ctx->color));
    const brush::CanvasView canvas = brush::CanvasOf(ctx);
    brush::LayDabs(engine, ctx, rect, brush::DabSpacing::Pressure(), [&](const brush::DabPlace &place) {
        blender.Blend(canvas, place, brush::TipMask(ctx), ctx->tipWidth);
    });
    return g_outcome;
}

brush::BrushOps SolidOps() {
    brush::BrushOps ops;
    ops.buildTip = brush::MakeSoftTip;
    ops.paint = PaintSolid;
    return ops;
}

// The brush as a plug-in's entry point runs it: over the module's engine
// state, whose lock StartPlugIn sets.
int32_t SolidBrush(PlugInBrushContext *ctx) { return brush::RunBrush(brush::ModuleEngine(), ctx, SolidOps()); }

// Stands between the engine and the plug-in's own lock and counts how
// deep it is held: a call that returns holding the lock leaves the count
// above zero.  (Asking another thread to take the lock instead made the
// check depend on how soon a new thread runs on a busy machine.)
class DepthCountingLock final : public brush::BrushLock {
public:
    explicit DepthCountingLock(brush::BrushLock *inner) : inner_(inner) {}
    void Enter() override {
        inner_->Enter();
        ++depth_;
    }
    void Leave() override {
        --depth_;
        inner_->Leave();
    }
    int depth() const { return depth_; }

private:
    brush::BrushLock *inner_;
    int depth_ = 0;
};

class Skeleton : public ::testing::Test {
protected:
    Skeleton() : canvas(60, 40), brush(SolidBrush, canvas), lock_(StartedLock()) {
        brush::ModuleEngine().lock = &lock_;
        g_outcome = brush::PaintResult::kPainted;
        canvas.Fill({255, 255, 255});
        brush.SetParams(10, 100, 0);
        brush.ctx().color = brush_test::ColorValue(200, 100, 50);
    }
    ~Skeleton() override { brush::ModuleEngine().lock = plugInLock_; }

    // No call has returned holding the plug-in's lock.
    bool LockIsFree() const { return lock_.depth() == 0; }

    TestCanvas canvas;
    BrushHarness brush;

private:
    brush::BrushLock *StartedLock() {
        brush::StartPlugIn(nullptr, brush::RandomSeeding::kSeedWithTime);
        plugInLock_ = brush::ModuleEngine().lock;
        return plugInLock_;
    }
    brush::BrushLock *plugInLock_ = nullptr;
    DepthCountingLock lock_;
};

// ------------------------------------------------------- begin and end --

TEST(BeginBrushDraw, RefusesEveryUnusableRecordWithoutTakingTheLock) {
    TestCanvas canvas(8, 8), gray(8, 8, 0, 8), narrow(8, 8, 20);
    using Spoil = void (*)(PlugInBrushContext *);
    const Spoil spoilers[] = {
        [](PlugInBrushContext *c) { c->canvasInfo = nullptr; },
        [](PlugInBrushContext *c) { c->canvasBits = nullptr; },
        [](PlugInBrushContext *c) { c->tipBits = nullptr; },
        [](PlugInBrushContext *c) { c->width = 0; },
        [](PlugInBrushContext *c) { c->height = 0; },
        [](PlugInBrushContext *c) { c->stride = 0; },
        [](PlugInBrushContext *c) { c->tipWidth = 0; },
        [](PlugInBrushContext *c) { c->tipHeight = 0; },
        [](PlugInBrushContext *c) { c->width = -8; },
        [](PlugInBrushContext *c) { c->tipHeight = -1; },
        [](PlugInBrushContext *c) { c->tipWidth = brush::kMaxTipSide + 1; },
    };
    CountingLock lock;
    for (const Spoil spoil : spoilers) {
        EngineRecord rec(canvas, 3, 3);
        spoil(rec.get());
        EXPECT_EQ(brush::BeginBrushDraw(rec.get(), &lock), 0);
    }
    EngineRecord grayRec(gray, 3, 3), narrowRec(narrow, 3, 3);
    EXPECT_EQ(brush::BeginBrushDraw(grayRec.get(), &lock), 0);    // 8 bits per pixel
    EXPECT_EQ(brush::BeginBrushDraw(narrowRec.get(), &lock), 0);  // 20 < 3 x 8 bytes a row
    EXPECT_EQ(brush::BeginBrushDraw(nullptr, &lock), 0);
    EXPECT_EQ(lock.entered, 0);

    EngineRecord good(canvas, 3, 3);
    EXPECT_EQ(brush::BeginBrushDraw(good.get(), &lock), 1);
    EXPECT_EQ(lock.depth, 1);
    brush::DirtyRect rect{1, 2, 3, 4};
    EXPECT_EQ(brush::EndBrushDraw(good.get(), &lock, &rect), 1);
    EXPECT_EQ(lock.depth, 0);
    EXPECT_EQ(good->dirtyLeft, 1);
    EXPECT_EQ(good->dirtyBottom, 4);
}

TEST(EndBrushDraw, LeavesTheLockEvenWithoutARectangle) {
    TestCanvas canvas(8, 8);
    EngineRecord rec(canvas, 3, 3);
    CountingLock lock;
    ASSERT_EQ(brush::BeginBrushDraw(rec.get(), &lock), 1);
    EXPECT_EQ(brush::EndBrushDraw(rec.get(), &lock, nullptr), 0);
    EXPECT_EQ(lock.depth, 0);
}

// ----------------------------------------------------------- commands --

TEST_F(Skeleton, UnknownCommandsAndANullRecordGiveZero) {
    ASSERT_EQ(brush.Select(), 1);
    for (int32_t command : {0, 7, -1, 100}) EXPECT_EQ(brush.Send(command), 0) << command;
    for (int32_t command = 1; command <= 6; ++command) {
        EXPECT_EQ(SolidBrush(nullptr), 0) << command;
    }
}

TEST_F(Skeleton, PaintsOnlyAfterASuccessfulSelect) {
    brush.SetParams(0, 100, 0);
    EXPECT_EQ(brush.Select(), 0);
    EXPECT_EQ(brush.Start(30, 20), 0);
    brush.SetParams(10, 100, 0);
    ASSERT_EQ(brush.Select(), 1);
    ASSERT_EQ(brush.Start(30, 20), 1);
    EXPECT_EQ(canvas.Pixel(30, 20), (Bgr{50, 100, 200}));
    EXPECT_EQ(brush.End(), 1);
    EXPECT_EQ(brush.Release(), 1);
    EXPECT_EQ(brush.ctx().tipBits, nullptr);
    EXPECT_EQ(brush.Start(30, 20), 0);
}

TEST_F(Skeleton, RefusalsReturnZeroWithTheRightRectangleAndTheLockFree) {
    ASSERT_EQ(brush.Select(), 1);
    brush.AttachCanvas();
    brush.ctx().curX = brush.ctx().prevX = 30;
    brush.ctx().curY = brush.ctx().prevY = 20;

    g_outcome = brush::PaintResult::kRefusedEmpty;
    brush.ctx().dirtyRight = 99;
    EXPECT_EQ(brush.Send(BRUSHCMD_PAINT), 0);
    EXPECT_TRUE(brush.Dirty().IsZero());
    EXPECT_TRUE(LockIsFree());

    g_outcome = brush::PaintResult::kRefusedUntouched;
    brush.ctx().dirtyRight = 99;
    EXPECT_EQ(brush.Send(BRUSHCMD_PAINT), 0);
    EXPECT_EQ(brush.ctx().dirtyRight, 99);
    EXPECT_TRUE(LockIsFree());

    g_outcome = brush::PaintResult::kPainted;
    EXPECT_EQ(brush.Send(BRUSHCMD_PAINT), 1);
    EXPECT_TRUE(LockIsFree());
}

// -------------------------------------------------------------- pick --

TEST_F(Skeleton, PickWritesThePixelWithTheFlagByteAndPaintsNothing) {
    ASSERT_EQ(brush.Select(), 1);
    canvas.SetPixel(12, 7, Bgr{30, 20, 10});
    canvas.SetPixel(40, 7, Bgr{1, 2, 3});
    const auto before = canvas.Snapshot();
    brush.ctx().color = 0;
    ASSERT_EQ(brush.Start(12, 7, BRUSHKEY_LBUTTON | BRUSHKEY_CONTROL), 1);
    EXPECT_EQ(brush.ctx().color, 0x02000000u + 30 * 65536 + 20 * 256 + 10);
    EXPECT_TRUE(brush.Dirty().IsZero());
    // Every drag of a stroke started with Ctrl picks again.
    EXPECT_EQ(brush.Drag(40, 7), 1);
    EXPECT_EQ(brush.ctx().color, 0x02010203u);
    EXPECT_TRUE(brush.Dirty().IsZero());
    EXPECT_EQ(canvas.Snapshot(), before);
}

TEST_F(Skeleton, PickOffTheCanvasKeepsTheColour) {
    ASSERT_EQ(brush.Select(), 1);
    brush.ctx().color = 0x00123456;
    ASSERT_EQ(brush.Start(-1, 5, BRUSHKEY_CONTROL), 1);
    EXPECT_EQ(brush.ctx().color, 0x00123456u);
    EXPECT_EQ(brush.Drag(60, 5), 1);
    EXPECT_EQ(brush.ctx().color, 0x00123456u);
    EXPECT_TRUE(brush.Dirty().IsZero());
}

TEST_F(Skeleton, PickFollowsTheShiftConstraint) {
    ASSERT_EQ(brush.Select(), 1);
    canvas.SetPixel(20, 10, Bgr{9, 9, 9});
    ASSERT_EQ(brush.Start(10, 10, BRUSHKEY_CONTROL | BRUSHKEY_SHIFT), 1);
    EXPECT_EQ(brush.Drag(20, 14), 1);  // bent to (20, 10)
    EXPECT_EQ(brush.ctx().curY, 10);
    EXPECT_EQ(brush.ctx().color, 0x02090909u);
}

// ------------------------------------------------------------ preview --

Bgr Background(int32_t x, int32_t y) {
    const bool oddBand = (y / 8) % 2 == 1, oddCell = (x / 8) % 2 == 1;
    if (!oddBand) return oddCell ? Bgr{163, 114, 61} : Bgr{96, 96, 96};
    return oddCell ? Bgr{128, 149, 255} : Bgr{192, 192, 192};
}

TEST(Preview, CoverageOfStrengthThreeIsThatOfFourStackedDabs) {
    EXPECT_EQ(brush::PreviewCoverage(64, 3), 120);   // a = 64 -> 32 -> 8
    EXPECT_EQ(brush::PreviewCoverage(1, 3), 4);      // 127 -> 126 -> 124
    EXPECT_EQ(brush::PreviewCoverage(128, 3), 128);
    EXPECT_EQ(brush::PreviewCoverage(0, 3), 0);
    EXPECT_EQ(brush::PreviewCoverage(64, 1), 64);
    EXPECT_EQ(brush::PreviewCoverage(64, 0), 64);    // kept within 1..32
    EXPECT_EQ(brush::PreviewCoverage(1, 1000), brush::PreviewCoverage(1, 32));
    EXPECT_EQ(brush::PreviewCoverage(200, 3), 128);
}

TEST_F(Skeleton, PreviewDrawsTheBackgroundAndOneStrengthThreeDabAtTheCentre) {
    brush.SetParams(12, 50, 0);
    ASSERT_EQ(brush.Select(), 1);
    TestCanvas preview(41, 30);
    ASSERT_EQ(brush.Preview(preview), 1);
    EXPECT_TRUE(preview.GuardsIntact(false));
    const uint8_t *tip = static_cast<const uint8_t *>(brush.ctx().tipBits);
    const Bgr target{50, 100, 200};
    // Dab centred on (20, 15): tip column i is x - 14, tip row j is 21 - y.
    for (int32_t y = 0; y < 30; ++y) {
        for (int32_t x = 0; x < 41; ++x) {
            Bgr want = Background(x, y);
            const int32_t i = x - 14, j = 21 - y;
            if (i >= 0 && i < 12 && j >= 0 && j < 12) {
                const int32_t c = brush::PreviewCoverage(tip[j * 12 + i], 3);
                want = Bgr{static_cast<uint8_t>(want.b + (target.b - want.b) * c / 128),
                           static_cast<uint8_t>(want.g + (target.g - want.g) * c / 128),
                           static_cast<uint8_t>(want.r + (target.r - want.r) * c / 128)};
            }
            ASSERT_EQ(preview.Pixel(x, y), want) << x << "," << y;
        }
    }
    EXPECT_EQ(brush.PreviewDirty(), (Rect{14, 9, 26, 22}));
    EXPECT_NE(preview.Pixel(20, 15), Background(20, 15));
}

TEST_F(Skeleton, PreviewRefusesAnUnusableCanvas) {
    ASSERT_EQ(brush.Select(), 1);
    TestCanvas gray(20, 20, 0, 8);
    const auto before = gray.Snapshot();
    EXPECT_EQ(brush.Preview(gray), 0);
    EXPECT_EQ(gray.Snapshot(), before);
    EXPECT_TRUE(LockIsFree());
}

}  // namespace
