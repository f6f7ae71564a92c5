// The three single-tip brushes: airbrush, marker and finger.  Each paints
// one round tip per dab with the engine's standard blend
//     channel = old + (target - old) x clamp(pressure + t - 128, 0, 128) / 128
// and spaces its dabs by the tip diagonal and the pressure (GetDabPlace).
//
//   airbrush  soft raised-cosine tip (MakeSoftTip), the colour jittered
//             once per call by the third parameter (colour roughness)
//   marker    flat core, cosine rim (MakeMarkerTip), otherwise the same
//   finger    soft tip of size 3 and up; its colour is taken from one
//             sample pixel of the canvas, fixed at the centre of the first
//             dab the call paints, and re-read before every dab:
//                 dab colour = (sample x 7 + target) / 8 per channel
//             so the smear drifts as the call's own dabs cover the sample.
#include "brush_engine.h"
#include "brush_platform.h"
#include "penlith_brushes.h"

namespace penlith {

namespace {

// The target colour of a painting call: `color`, jittered once by the
// third parameter (nothing happens at roughness 0 or without one).
brush::BgrColor CallTarget(const PlugInBrushContext *ctx) {
    brush::BgrColor target = brush::ColorOf(ctx->color);
    brush::JitterColor(&target, brush::ParamValue(ctx, 3));
    return target;
}

// Airbrush and marker: every dab in the call's one target colour.
brush::PaintResult PaintSolid(brush::EngineState &engine, PlugInBrushContext *ctx, brush::DirtyRect &rect) {
    brush::SolidDabBlender blender(ctx->pressure);
    blender.UseFixedTip(engine, ctx);
    blender.SetTarget(CallTarget(ctx));
    const brush::CanvasView canvas = brush::CanvasOf(ctx);
    const uint8_t *mask = brush::TipMask(ctx);
    brush::LayDabs(engine, ctx, rect, brush::DabSpacing::Pressure(), [&](const brush::DabPlace &place) {
        blender.Blend(canvas, place, mask, ctx->tipWidth);
    });
    return brush::PaintResult::kPainted;
}

// Finger: each dab mixes the target into the sample pixel as it is now.
brush::PaintResult PaintSmear(brush::EngineState &engine, PlugInBrushContext *ctx, brush::DirtyRect &rect) {
    const brush::BgrColor target = CallTarget(ctx);
    brush::SolidDabBlender blender(ctx->pressure);
    blender.UseFixedTip(engine, ctx);
    const brush::CanvasView canvas = brush::CanvasOf(ctx);
    const uint8_t *mask = brush::TipMask(ctx);
    const uint8_t *sample = nullptr;
    brush::LayDabs(engine, ctx, rect, brush::DabSpacing::Pressure(), [&](const brush::DabPlace &place) {
        if (!sample) sample = canvas.Pixel(place.canvasX + place.sizeW / 2, place.canvasRow + place.sizeH / 2);
        blender.SetTarget(brush::BgrColor{static_cast<uint8_t>((sample[0] * 7 + target.b) / 8),
                                          static_cast<uint8_t>((sample[1] * 7 + target.g) / 8),
                                          static_cast<uint8_t>((sample[2] * 7 + target.r) / 8)});
        blender.Blend(canvas, place, mask, ctx->tipWidth);
    });
    return brush::PaintResult::kPainted;
}

// The finger's tip: the soft tip from size 3 up; below its parameter's
// minimum the mask stays empty, so the finger paints nothing.
int MakeFingerTip(brush::EngineState &engine, PlugInBrushContext *ctx) {
    if (!ctx) return 0;
    brush::ReleaseTipBuffers(engine, ctx);
    if (!ctx->tipParams) return 0;
    uint8_t *mask = brush::AllocTipMasks(engine, ctx, brush::ParamValue(ctx, 1), 1);
    if (!mask) return 0;
    if (ctx->tipWidth >= 3) {
        brush::FillSoftMask(engine, mask, ctx->tipWidth, brush::PeakOfDensity(brush::ParamValue(ctx, 2)));
    }
    return 1;
}

brush::BrushOps SingleTipOps(
    int (*buildTip)(brush::EngineState &, PlugInBrushContext *),
    brush::PaintResult (*paint)(brush::EngineState &, PlugInBrushContext *, brush::DirtyRect &)) {
    brush::BrushOps ops;
    ops.buildTip = buildTip;
    ops.paint = paint;
    ops.previewStrength = 3;
    return ops;
}

}  // namespace

int32_t NormalBrush(brush::EngineState &engine, PlugInBrushContext *ctx) {
    static const brush::BrushOps ops = SingleTipOps(brush::MakeSoftTip, PaintSolid);
    return brush::RunBrush(engine, ctx, ops);
}

int32_t MarkerBrush(brush::EngineState &engine, PlugInBrushContext *ctx) {
    static const brush::BrushOps ops = SingleTipOps(brush::MakeMarkerTip, PaintSolid);
    return brush::RunBrush(engine, ctx, ops);
}

int32_t TouchBrush(brush::EngineState &engine, PlugInBrushContext *ctx) {
    static const brush::BrushOps ops = SingleTipOps(MakeFingerTip, PaintSmear);
    return brush::RunBrush(engine, ctx, ops);
}

}  // namespace penlith
