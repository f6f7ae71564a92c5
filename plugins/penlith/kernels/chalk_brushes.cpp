// The dry brushes: chalk, the dry (splitting) brush and pastel.  None lays
// the plain target colour: each pixel's goal is the target shifted lighter
// or darker, by the paper grain under it (chalk, pastel) or by the
// strength of the bristle mark (dry brush); chalk and the dry brush thin
// the coverage too, so the paper shows through.
//
// Tips (size s, peak p = density x 128 / 100):
//   chalk   one roller mask (flat p, rim p, p/2, p/3, p/4) for s >= 4; an
//           all-zero mask below, so the smallest chalk paints nothing
//   dry     5 masks: the bristle-mark texture 111 turned 0, 7, 14, 21 and
//           28 degrees, scaled to s x s at gain p
//   pastel  3 masks: the mottled blob 112 turned -10, 0 and +10 degrees
// Chalk and pastel keep in workBits the 64 x 64 fine paper grain 202,
// tiled over the canvas from its bottom-left corner: the grain value g of
// canvas pixel (x, memory row r) is grain[(r mod 64) x 64 + x mod 64], so
// strokes over the same place meet the same grain.
//
// Painting (target = colour jittered once a call by the third parameter;
// cv = pressure + t - 128 within 0..128 for a tip byte t > 0; each
// channel = old + (clamp(target + off, 0, 255) - old) x a / 128, truncated
// toward zero):
//   chalk   dabs by pressure;  a = cv x g / 256,  off = g / 8 - 16
//   dry     dabs 4 percent of the diagonal apart; per dab the strength
//           s = (rand() % 128 + 384) / 4 (96..127), then the mask
//           rand() % 5;  a = cv x s / 128,  off = a / 2 - 32: strong marks
//           are laid fully and a little lighter, faint edges thin and darker
//   pastel  dabs by pressure; per dab the mask rand() % 3;  a = cv,
//           off = g / 8 - 16: the grain tints, the mottled tip thins
// Random numbers come from the C runtime's rand() in that order: the
// colour jitter's three (when it jitters at all), then per dab.
#include <cstdlib>
#include <cstring>

#include "brush_engine.h"
#include "brush_platform.h"
#include "brush_textures.h"
#include "penlith_brushes.h"
#include "pixel_target_blend.h"
#include "turned_tips.h"

namespace penlith {

namespace {

using brush::BgrColor;
using brush::CanvasView;
using brush::DabPlace;
using brush::DirtyRect;
using brush::PaintResult;

constexpr int32_t kDryMasks = 5;
constexpr int32_t kDryAngleStep = 7;
constexpr int32_t kDrySpacingPercent = 4;
constexpr int32_t kPastelMasks = 3;
constexpr int32_t kPastelAngleStep = 10;

int32_t ClampChannel(int32_t v) { return v < 0 ? 0 : (v > 255 ? 255 : v); }

// Drops whatever a failed build had made, so painting is refused rather
// than done with half a tip.
int FailBuild(brush::EngineState &engine, PlugInBrushContext *ctx) {
    brush::ReleaseTipBuffers(engine, ctx);
    ctx->tipWidth = ctx->tipHeight = 0;
    return 0;
}

// A copy of the paper grain 202 as the brush's workBits.
bool KeepGrain(PlugInBrushContext *ctx, const HeldTexture &paper) {
    void *grain = brush::AllocBrushBuffer(kGrainBytes);
    if (!grain) return false;
    std::memcpy(grain, paper.bits(), kGrainBytes);
    ctx->workBits = grain;
    return true;
}

int BuildChalkTip(brush::EngineState &engine, PlugInBrushContext *ctx) {
    if (!ctx) return 0;
    brush::ReleaseTipBuffers(engine, ctx);
    const HeldTexture paper(kTextureFinePaper);
    if (!paper || !KeepGrain(ctx, paper)) return FailBuild(engine, ctx);
    const int32_t size = brush::ParamValue(ctx, 1);
    uint8_t *mask = brush::AllocTipMasks(engine, ctx, size, 1);
    if (!mask) return FailBuild(engine, ctx);
    if (size > 3) brush::FillRollerMask(engine, mask, size, brush::PeakOfDensity(brush::ParamValue(ctx, 2)));
    return 1;
}

int BuildDryBrushTips(brush::EngineState &engine, PlugInBrushContext *ctx) {
    if (!ctx) return 0;
    return BuildTurnedTips(engine, ctx, kTextureBristleMarks, kDryMasks, 0, kDryAngleStep) ? 1 : 0;
}

int BuildPastelTips(brush::EngineState &engine, PlugInBrushContext *ctx) {
    if (!ctx) return 0;
    if (!BuildTurnedTips(engine, ctx, kTexturePastel, kPastelMasks, -kPastelAngleStep, kPastelAngleStep)) return 0;
    const HeldTexture paper(kTextureFinePaper);
    if (!paper || !KeepGrain(ctx, paper)) return FailBuild(engine, ctx);
    return 1;
}

// What one painting call of the grain brushes works from: the jittered
// target shifted by each of the 32 grain steps g / 8 (off = g / 8 - 16),
// and the coverage cv of every tip byte at the call's pressure.
struct GrainCall {
    uint32_t tinted[32];
    int32_t coverage[256];

    GrainCall(BgrColor target, int32_t pressure) {
        for (int32_t step = 0; step < 32; ++step) {
            tinted[step] = PackTarget(ClampChannel(target.b + step - 16), ClampChannel(target.g + step - 16),
                                      ClampChannel(target.r + step - 16));
        }
        for (int32_t t = 0; t < 256; ++t) coverage[t] = brush::StandardCoverage(t, pressure);
    }
};

BgrColor JitteredTarget(const PlugInBrushContext *ctx) {
    BgrColor target = brush::ColorOf(ctx->color);
    brush::JitterColor(&target, brush::ParamValue(ctx, 3));
    return target;
}

// The grain row under memory row r.
const uint8_t *GrainRow(const uint8_t *grain, int32_t memoryRow) {
    return grain + static_cast<size_t>(memoryRow % kGrainTextureSide) * kGrainTextureSide;
}

PaintResult PaintChalk(brush::EngineState &engine, PlugInBrushContext *ctx, DirtyRect &rect) {
    const GrainCall call(JitteredTarget(ctx), ctx->pressure);
    const auto *grain = static_cast<const uint8_t *>(ctx->workBits);
    if (!grain) return PaintResult::kRefusedEmpty;  // no paper: the tip was never built
    const CanvasView canvas = brush::CanvasOf(ctx);
    const uint8_t *mask = brush::TipMask(ctx);
    DabRowScratch row(ctx->tipWidth);
    brush::LayDabs(engine, ctx, rect, brush::DabSpacing::Pressure(), [&](const DabPlace &place) {
        LayDabRows(canvas, place, mask, ctx->tipWidth, row,
                   [&](const uint8_t *tip, int32_t x, int32_t memoryRow, int32_t count, DabRowScratch &out) {
                       const uint8_t *paper = GrainRow(grain, memoryRow);
                       for (int32_t i = 0; i < count; ++i, x = (x + 1) & (kGrainTextureSide - 1)) {
                           const int32_t g = paper[x & (kGrainTextureSide - 1)];
                           out.Set(i, call.tinted[g >> 3], call.coverage[tip[i]] * g >> 8);
                       }
                   });
    });
    return PaintResult::kPainted;
}

PaintResult PaintPastel(brush::EngineState &engine, PlugInBrushContext *ctx, DirtyRect &rect) {
    const GrainCall call(JitteredTarget(ctx), ctx->pressure);
    const auto *grain = static_cast<const uint8_t *>(ctx->workBits);
    if (!grain) return PaintResult::kRefusedEmpty;
    const CanvasView canvas = brush::CanvasOf(ctx);
    const int32_t variants = ctx->tipVariantCount > 0 ? ctx->tipVariantCount : 1;
    DabRowScratch row(ctx->tipWidth);
    brush::LayDabs(engine, ctx, rect, brush::DabSpacing::Pressure(), [&](const DabPlace &place) {
        engine.tipVariantIndex = std::rand() % variants;
        LayDabRows(canvas, place, brush::TipMask(ctx, engine.tipVariantIndex), ctx->tipWidth, row,
                   [&](const uint8_t *tip, int32_t x, int32_t memoryRow, int32_t count, DabRowScratch &out) {
                       const uint8_t *paper = GrainRow(grain, memoryRow);
                       for (int32_t i = 0; i < count; ++i, x = (x + 1) & (kGrainTextureSide - 1)) {
                           const int32_t g = paper[x & (kGrainTextureSide - 1)];
                           out.Set(i, call.tinted[g >> 3], call.coverage[tip[i]]);
                       }
                   });
    });
    return PaintResult::kPainted;
}

PaintResult PaintDryBrush(brush::EngineState &engine, PlugInBrushContext *ctx, DirtyRect &rect) {
    const BgrColor target = JitteredTarget(ctx);
    // The goal of each coverage a (0..127): the target shifted by a / 2 - 32.
    uint32_t goal[128];
    for (int32_t a = 0; a < 128; ++a) {
        const int32_t off = a / 2 - 32;
        goal[a] = PackTarget(ClampChannel(target.b + off), ClampChannel(target.g + off), ClampChannel(target.r + off));
    }
    int32_t coverage[256];
    for (int32_t t = 0; t < 256; ++t) coverage[t] = brush::StandardCoverage(t, ctx->pressure);
    const CanvasView canvas = brush::CanvasOf(ctx);
    const int32_t variants = ctx->tipVariantCount > 0 ? ctx->tipVariantCount : 1;
    DabRowScratch row(ctx->tipWidth);
    brush::LayDabs(engine, ctx, rect, brush::DabSpacing::Ratio(kDrySpacingPercent), [&](const DabPlace &place) {
        const int32_t strength = (std::rand() % 128 + 384) / 4;
        engine.tipVariantIndex = std::rand() % variants;
        LayDabRows(canvas, place, brush::TipMask(ctx, engine.tipVariantIndex), ctx->tipWidth, row,
                   [&](const uint8_t *tip, int32_t, int32_t, int32_t count, DabRowScratch &out) {
                       for (int32_t i = 0; i < count; ++i) {
                           const int32_t a = coverage[tip[i]] * strength >> 7;
                           out.Set(i, goal[a], a);
                       }
                   });
    });
    return PaintResult::kPainted;
}

}  // namespace

int32_t ChalkBrush(brush::EngineState &engine, PlugInBrushContext *ctx) {
    static const brush::BrushOps ops = brush::TipAndPaintOps(BuildChalkTip, PaintChalk, 3);
    return brush::RunBrush(engine, ctx, ops);
}

int32_t DryBrush(brush::EngineState &engine, PlugInBrushContext *ctx) {
    static const brush::BrushOps ops = brush::TipAndPaintOps(BuildDryBrushTips, PaintDryBrush, 3);
    return brush::RunBrush(engine, ctx, ops);
}

int32_t PastelBrush(brush::EngineState &engine, PlugInBrushContext *ctx) {
    static const brush::BrushOps ops = brush::TipAndPaintOps(BuildPastelTips, PaintPastel, 3);
    return brush::RunBrush(engine, ctx, ops);
}

}  // namespace penlith
