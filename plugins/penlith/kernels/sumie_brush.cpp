// The ink-wash brush: a brush loaded with a fixed supply of ink that runs
// dry.  Every stroke starts with 15 K units of ink out of a capacity of
// 20 K (K the third parameter, "かすれ"), every dab spends one unit, every
// painting call (one a pointer move) adds one back, and each dab's
// coverage is scaled by the share of ink left, so a long stroke fades into
// a scratchy trail of bristle marks.
//
//   tips    3 masks: the bristle marks 111 turned -10, 0 and +10 degrees
//   state   carried blue = ink, green = capacity, red = 1 (set at the
//           stroke begin, not on a Ctrl press)
//   paint   ink := min(ink + 1, capacity); dabs 4 percent of the diagonal
//           apart; per dab on the canvas mask rand() % 3, then for every
//           tip byte t > 0, cv = clamp(pressure + t - 128, 0, 128):
//               f = ink x cv / capacity     (truncated)
//               channel = old + (colour - old) x f / 128
//           and ink := max(ink - 1, 0).  A dab wholly off the canvas
//           spends nothing.  The colour is not jittered.
//   K = 0   no ink and no capacity: the dabs paint nothing.
#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "brush_engine.h"
#include "brush_textures.h"
#include "penlith_brushes.h"
#include "pixel_target_blend.h"
#include "turned_tips.h"

namespace penlith {

namespace {

using brush::DabPlace;
using brush::DirtyRect;
using brush::PaintResult;

constexpr int32_t kSumieMasks = 3;
constexpr int32_t kSumieAngleStep = 10;
constexpr int32_t kSumieSpacingPercent = 4;

int BuildSumieTips(brush::EngineState &engine, PlugInBrushContext *ctx) {
    if (!ctx) return 0;
    return BuildTurnedTips(engine, ctx, kTextureBristleMarks, kSumieMasks, -kSumieAngleStep, kSumieAngleStep) ? 1
                                                                                                            : 0;
}

int FillTheBrush(brush::EngineState &engine, PlugInBrushContext *ctx) {
    const int32_t supply = std::max(0, std::min(brush::ParamValue(ctx, 3), 100));
    engine.carriedColor[0] = 15 * supply;
    engine.carriedColor[1] = 60 * supply / 3;
    engine.carriedColor[2] = 1;
    return 1;
}

// The coverage f = ink x cv / capacity of every cv (0..128) for the ink
// there is, kept exact as the ink falls one unit a dab: each quotient
// keeps its remainder, and a unit less takes cv from the remainder.
class InkShare {
public:
    InkShare(int32_t ink, int32_t capacity) : ink_(ink), capacity_(capacity) {
        for (int32_t cv = 0; cv <= 128; ++cv) {
            const int64_t whole = static_cast<int64_t>(ink) * cv;
            share_[cv] = static_cast<int32_t>(whole / capacity);
            rest_[cv] = static_cast<int32_t>(whole % capacity);
        }
    }
    int32_t ink() const { return ink_; }
    int32_t Of(int32_t cv) const { return share_[cv]; }
    // One unit spent (none below 0).
    void Spend() {
        if (ink_ == 0) return;
        --ink_;
        for (int32_t cv = 1; cv <= 128; ++cv) {
            rest_[cv] -= cv;
            while (rest_[cv] < 0) {
                rest_[cv] += capacity_;
                --share_[cv];
            }
        }
    }

private:
    int32_t ink_, capacity_;
    int32_t share_[129];
    int32_t rest_[129];
};

PaintResult PaintSumie(brush::EngineState &engine, PlugInBrushContext *ctx, DirtyRect &rect) {
    const brush::BgrColor colour = brush::ColorOf(ctx->color);
    const uint32_t target = PackTarget(colour.b, colour.g, colour.r);
    // The slots are shared with other brushes: read back within the
    // brush's own ranges, so a share never exceeds the coverage.
    const int32_t capacity = engine.carriedColor[1];
    if (capacity <= 0) {  // an empty brush (K = 0): dabs placed, nothing laid
        brush::LayDabs(engine, ctx, rect, brush::DabSpacing::Ratio(kSumieSpacingPercent), [](const DabPlace &) {});
        return PaintResult::kPainted;
    }
    const int32_t ink = std::max(0, std::min(engine.carriedColor[0], capacity));
    InkShare share(std::min(ink + 1, capacity), capacity);
    int32_t coverage[256];
    for (int32_t t = 0; t < 256; ++t) coverage[t] = brush::StandardCoverage(t, ctx->pressure);
    const brush::CanvasView canvas = brush::CanvasOf(ctx);
    DabRowScratch row(ctx->tipWidth);
    brush::LayDabs(engine, ctx, rect, brush::DabSpacing::Ratio(kSumieSpacingPercent), [&](const DabPlace &place) {
        engine.tipVariantIndex = std::rand() % kSumieMasks;
        LayDabRows(canvas, place, brush::TipMask(ctx, engine.tipVariantIndex), ctx->tipWidth, row,
                   [&](const uint8_t *tip, int32_t, int32_t, int32_t count, DabRowScratch &out) {
                       for (int32_t i = 0; i < count; ++i) out.Set(i, target, share.Of(coverage[tip[i]]));
                   });
        share.Spend();
    });
    engine.carriedColor[0] = share.ink();
    return PaintResult::kPainted;
}

}  // namespace

int32_t SumieBrush(brush::EngineState &engine, PlugInBrushContext *ctx) {
    static const brush::BrushOps ops = [] {
        brush::BrushOps o;
        o.buildTip = BuildSumieTips;
        o.paint = PaintSumie;
        o.beginStroke = FillTheBrush;
        return o;
    }();
    return brush::RunBrush(engine, ctx, ops);
}

}  // namespace penlith
