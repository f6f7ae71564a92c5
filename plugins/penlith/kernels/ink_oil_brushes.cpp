// The two brushes that paint with a load of paint held in the engine's
// carriedColor (blue, green, red) rather than with the selected colour
// directly.
//
//   India ink  12 soft masks (size s, peak p = density x 128 / 100, r the
//              radius in quarter pixels): where r < 2s
//                  byte = trunc((cos(r pi / 2s) + 1) x p / 2)
//              then a rand() drawn for that pixel halves it when its low
//              four bits are all set: scattered weak hairs.  Sizes below 3
//              leave the masks empty.  The stroke start loads the ink
//              (carried := colour); every dab (spacing of GetDabPlace)
//              takes mask rand() % 12, thins the ink with the pixel under
//              the dab's centre
//                  carried = (15 carried + sample + 8) / 16
//              and lays it with the standard blend, so a stroke fades
//              along its length.  Without a stroke start the ink is
//              whatever carriedColor holds.
//   oil        a cubic tip, trunc((1 - (r / 2s)^3) x p) where r < 2s (a
//              marker tip below size 3), and 8 relief masks in workBits:
//              mask 2k and 2k + 1 are textures 103 and 104 turned by
//              -45k degrees, flattened to (b - 128) / 6 + 128 so that a
//              relief byte lies within about 21 of 128.  Painting:
//                  target  = colour jittered once by the third parameter
//                  class   = direction of the segment, 0 vertical,
//                            1 and 3 the diagonals, 2 horizontal
//                  carried = (3 target + 2 sample) / 5 once a call, the
//                            sample the centre of the call's first dab
//              and per dab row one rand() picks relief 2 class + (rand & 1);
//              each pixel with tip byte t > 0 moves toward
//                  clamp(g + carried - 128, 0, 255)
//              (g the relief byte at the same tip position) by the
//              standard coverage.  Tips up to kMaxExpandedTipSide keep an
//              expanded copy of tip and reliefs after the reliefs in
//              workBits, so that each row's painted span is blended in one
//              SSE2 run (bgr_row_blend.h); larger ones gather row by row.
//              Both give the bytes of the rule.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <optional>

#include "bgr_row_blend.h"
#include "brush_engine.h"
#include "brush_platform.h"
#include "brush_textures.h"
#include "penlith_brushes.h"

namespace penlith {

namespace {

using brush::BgrColor;
using brush::CanvasView;
using brush::DabPlace;
using brush::DirtyRect;
using brush::PaintResult;

constexpr double kPi = 3.1415926535;
constexpr int32_t kInkMasks = 12;
constexpr int32_t kOilReliefs = 8;

// The carried paint as a target colour.  The slots may hold numbers that
// another brush keeps there; a level outside 0..255 is clamped, never
// wrapped round.
BgrColor CarriedAsTarget(const brush::EngineState &engine) {
    return BgrColor{static_cast<uint8_t>(ClampLevel255(engine.carriedColor[0])),
                    static_cast<uint8_t>(ClampLevel255(engine.carriedColor[1])),
                    static_cast<uint8_t>(ClampLevel255(engine.carriedColor[2]))};
}

// ------------------------------------------------------------ India ink --

int MakeIndiaInkTips(brush::EngineState &engine, PlugInBrushContext *ctx) {
    if (!ctx) return 0;
    brush::ReleaseTipBuffers(engine, ctx);
    if (!ctx->tipParams) return 0;
    const int32_t size = brush::ParamValue(ctx, 1);
    uint8_t *masks = brush::AllocTipMasks(engine, ctx, size, kInkMasks);
    if (!masks) return 0;
    ctx->tipVariantCount = kInkMasks;
    if (size < 3) return 1;  // below the parameter's minimum: nothing to paint with
    const int32_t peak = brush::PeakOfDensity(brush::ParamValue(ctx, 2));
    const size_t area = static_cast<size_t>(size) * static_cast<size_t>(size);
    for (int32_t v = 0; v < kInkMasks; ++v) {
        uint8_t *mask = masks + v * area;
        for (int32_t j = 0; j < size; ++j) {
            for (int32_t i = 0; i < size; ++i) {
                const auto r = static_cast<int32_t>(brush::TipRadius4(engine, size, i, j));
                if (r >= 2 * size) continue;
                auto byte = static_cast<int32_t>((std::cos(r * kPi / (2 * size)) + 1) * peak * 0.5);
                if ((std::rand() & 15) == 15) byte /= 2;  // a weak hair
                mask[static_cast<size_t>(j) * size + i] = static_cast<uint8_t>(byte);
            }
        }
    }
    return 1;
}

// The stroke start loads the ink.
int BeginIndiaInkStroke(brush::EngineState &engine, PlugInBrushContext *ctx) {
    const BgrColor ink = brush::ColorOf(ctx->color);
    engine.carriedColor[0] = ink.b;
    engine.carriedColor[1] = ink.g;
    engine.carriedColor[2] = ink.r;
    return 1;
}

PaintResult PaintIndiaInk(brush::EngineState &engine, PlugInBrushContext *ctx, DirtyRect &rect) {
    const CanvasView canvas = brush::CanvasOf(ctx);
    brush::SolidDabBlender blender(ctx->pressure);
    // A tip of fewer masks (built by another brush) is read at its first.
    const bool allMasks = ctx->tipVariantCount >= kInkMasks;
    brush::LayDabs(engine, ctx, rect, brush::DabSpacing::Pressure(), [&](const DabPlace &place) {
        engine.tipVariantIndex = std::rand() % kInkMasks;
        const int32_t variant = allMasks ? engine.tipVariantIndex : 0;
        const uint8_t *sample = canvas.Pixel(place.canvasX + place.sizeW / 2, place.canvasRow + place.sizeH / 2);
        // In 64 bits: a slot may hold a large number another brush keeps.
        for (int k = 0; k < 3; ++k) {
            engine.carriedColor[k] = static_cast<int32_t>((int64_t{engine.carriedColor[k]} * 15 + sample[k] + 8) / 16);
        }
        blender.SetTarget(CarriedAsTarget(engine));
        blender.Blend(canvas, place, brush::TipMask(ctx, variant), ctx->tipWidth);
    });
    return PaintResult::kPainted;
}

brush::BrushOps IndiaInkOps() {
    brush::BrushOps ops;
    ops.buildTip = MakeIndiaInkTips;
    ops.paint = PaintIndiaInk;
    ops.beginStroke = BeginIndiaInkStroke;
    return ops;
}

// ------------------------------------------------------------------ oil --

// The oil's workBits: the 8 relief masks (size x size bytes each), and for
// tips up to kMaxExpandedTipSide their expanded form after them (16-bit
// lanes, 16-byte aligned): the tip's bytes, each relief's offsets g - 128,
// and the painted span of every tip row.
struct OilLayout {
    explicit OilLayout(int32_t side)
        : size(side), area(static_cast<size_t>(side) * static_cast<size_t>(side)),
          expanded(side <= kMaxExpandedTipSide) {
        tipsAt = AlignUp16(kOilReliefs * area);
        offsetsAt = tipsAt + 2 * 3 * area;
        spansAt = offsetsAt + 2 * 3 * kOilReliefs * area;
        bytes = expanded ? spansAt + 2 * 2 * static_cast<size_t>(side) : kOilReliefs * area;
    }
    int16_t *Tips3(void *work) const { return reinterpret_cast<int16_t *>(static_cast<uint8_t *>(work) + tipsAt); }
    int16_t *Offsets3(void *work, int32_t relief) const {
        return reinterpret_cast<int16_t *>(static_cast<uint8_t *>(work) + offsetsAt) + 3 * area * relief;
    }
    int16_t *Spans(void *work) const { return reinterpret_cast<int16_t *>(static_cast<uint8_t *>(work) + spansAt); }

    int32_t size;
    size_t area;
    bool expanded;
    size_t tipsAt = 0, offsetsAt = 0, spansAt = 0, bytes = 0;
};

int MakeOilTipAndRelief(brush::EngineState &engine, PlugInBrushContext *ctx) {
    if (!ctx) return 0;
    brush::ReleaseTipBuffers(engine, ctx);
    if (!ctx->tipParams) return 0;
    const HeldTexture reliefA(kTextureOilReliefA), reliefB(kTextureOilReliefB);
    if (!reliefA || !reliefB) return 0;
    uint8_t *mask = brush::AllocTipMasks(engine, ctx, brush::ParamValue(ctx, 1), 1);
    if (!mask) return 0;
    const int32_t size = ctx->tipWidth;
    const int32_t peak = brush::PeakOfDensity(brush::ParamValue(ctx, 2));
    if (size < 3) {
        brush::FillMarkerMask(engine, mask, size, peak);
    } else {
        for (int32_t j = 0; j < size; ++j) {
            for (int32_t i = 0; i < size; ++i) {
                const auto r = static_cast<int32_t>(brush::TipRadius4(engine, size, i, j));
                if (r >= 2 * size) continue;
                const double q = static_cast<double>(r) / (2.0 * size);
                mask[static_cast<size_t>(j) * size + i] = static_cast<uint8_t>((1 - q * q * q) * peak);
            }
        }
    }
    const OilLayout layout(size);
    auto *relief = static_cast<uint8_t *>(brush::AllocBrushBuffer(layout.bytes));
    if (!relief) return 0;
    ctx->workBits = relief;
    ctx->tipVariantCount = kOilReliefs;
    for (int32_t v = 0; v < kOilReliefs; ++v) {
        const HeldTexture &texture = v % 2 == 0 ? reliefA : reliefB;
        uint8_t *out = relief + v * layout.area;
        brush::RotateTexture(texture.bits(), kTipTextureSide, kTipTextureSide, out, size, size, 255, -45 * (v / 2));
        for (size_t k = 0; k < layout.area; ++k) out[k] = static_cast<uint8_t>((out[k] - 128) / 6 + 128);
    }
    if (layout.expanded) {
        ExpandTipLanes(mask, layout.area, layout.Tips3(relief));
        int16_t *offsets3 = layout.Offsets3(relief, 0);
        for (size_t k = 0; k < kOilReliefs * layout.area; ++k) {
            offsets3[3 * k] = offsets3[3 * k + 1] = offsets3[3 * k + 2] = static_cast<int16_t>(relief[k] - 128);
        }
        FindPaintedSpans(mask, size, size, layout.Spans(relief));
    }
    return 1;
}

// Direction class of the segment prev -> cur: 0 nearly vertical (or no
// horizontal movement), 2 nearly horizontal, 1 and 3 the diagonals where
// dx and dy have the same and opposite signs.  The limits 42 and 241 are
// 100 tan 22.5 and 100 tan 67.5 degrees.
int32_t OilDirectionClass(const PlugInBrushContext *ctx) {
    const int64_t dx = static_cast<int64_t>(ctx->curX) - ctx->prevX;
    const int64_t dy = static_cast<int64_t>(ctx->curY) - ctx->prevY;
    if (dx == 0) return 0;
    const int64_t s = std::llabs(dy * 100 / dx);
    if (s < 42) return 2;
    if (s >= 241) return 0;
    return (dx > 0) == (dy > 0) ? 1 : 3;
}

void LayOilDab(const CanvasView &canvas, const DabPlace &place, const uint8_t *tip, const uint8_t *relief,
               int32_t tipWidth, const uint32_t (&targets)[256], int32_t directionClass, BgrRowScratch &scratch) {
    const size_t area = static_cast<size_t>(tipWidth) * static_cast<size_t>(tipWidth);
    for (int32_t j = 0; j < place.sizeH; ++j) {
        const int32_t variant = 2 * directionClass + (std::rand() & 1);
        const size_t at = static_cast<size_t>(place.tipY + j) * tipWidth + place.tipX;
        const uint8_t *t = tip + at;
        const uint8_t *g = relief + variant * area + at;
        for (int32_t i = 0; i < place.sizeW; ++i) scratch.Put(i, targets[g[i]], t[i]);
        scratch.BlendInto(canvas.Pixel(place.canvasX, place.canvasRow + j), place.sizeW);
    }
}

// The same dab from the expanded lanes: each row's painted span in one run.
void LayOilDabExpanded(const CanvasView &canvas, const DabPlace &place, void *work, const OilLayout &layout,
                       int32_t directionClass, const int32_t (&carried)[3], int32_t pressure) {
    const int16_t *tips3 = layout.Tips3(work);
    const int16_t *spans = layout.Spans(work);
    for (int32_t j = 0; j < place.sizeH; ++j) {
        const int32_t variant = 2 * directionClass + (std::rand() & 1);
        const int32_t tipRow = place.tipY + j;
        const int32_t first = std::max<int32_t>(spans[2 * tipRow], place.tipX);
        const int32_t end = std::min<int32_t>(spans[2 * tipRow + 1], place.tipX + place.sizeW);
        if (first >= end) continue;
        const size_t at = 3 * (static_cast<size_t>(tipRow) * layout.size + first);
        BlendExpandedRun(canvas.Pixel(place.canvasX + first - place.tipX, place.canvasRow + j), tips3 + at,
                         layout.Offsets3(work, variant) + at, end - first, carried, pressure);
    }
}

PaintResult PaintOil(brush::EngineState &engine, PlugInBrushContext *ctx, DirtyRect &rect) {
    const auto *relief = static_cast<const uint8_t *>(ctx->workBits);
    // No relief built (or another brush's buffers): nothing to paint with.
    if (!relief || ctx->tipVariantCount != kOilReliefs || ctx->tipWidth != ctx->tipHeight) {
        return PaintResult::kRefusedEmpty;
    }
    BgrColor target = brush::ColorOf(ctx->color);
    brush::JitterColor(&target, brush::ParamValue(ctx, 3));
    const int32_t directionClass = OilDirectionClass(ctx);
    const CanvasView canvas = brush::CanvasOf(ctx);
    const uint8_t *tip = brush::TipMask(ctx);
    const OilLayout layout(ctx->tipWidth);
    // Large tips gather their rows: the target of every relief byte for the
    // carried paint, and room for a row.
    std::optional<BgrRowScratch> scratch;
    if (!layout.expanded) scratch.emplace(ctx->pressure, ctx->tipWidth);
    uint32_t targets[256];
    bool mixed = false;
    brush::LayDabs(engine, ctx, rect, brush::DabSpacing::Pressure(), [&](const DabPlace &place) {
        if (!mixed) {
            mixed = true;
            const uint8_t *sample = canvas.Pixel(place.canvasX + place.sizeW / 2, place.canvasRow + place.sizeH / 2);
            const int32_t want[3] = {target.b, target.g, target.r};
            for (int k = 0; k < 3; ++k) engine.carriedColor[k] = (3 * want[k] + 2 * sample[k]) / 5;
            const int32_t *carried = engine.carriedColor;
            for (int32_t g = 0; g < 256 && !layout.expanded; ++g) {
                targets[g] = PackTarget(ClampLevel255(g + carried[0] - 128), ClampLevel255(g + carried[1] - 128),
                                     ClampLevel255(g + carried[2] - 128));
            }
        }
        if (layout.expanded) {
            LayOilDabExpanded(canvas, place, ctx->workBits, layout, directionClass, engine.carriedColor,
                              ctx->pressure);
        } else {
            LayOilDab(canvas, place, tip, relief, ctx->tipWidth, targets, directionClass, *scratch);
        }
    });
    return PaintResult::kPainted;
}

}  // namespace

int32_t IndiaInkBrush(brush::EngineState &engine, PlugInBrushContext *ctx) {
    static const brush::BrushOps ops = IndiaInkOps();
    return brush::RunBrush(engine, ctx, ops);
}

int32_t OilBrush(brush::EngineState &engine, PlugInBrushContext *ctx) {
    static const brush::BrushOps ops = brush::TipAndPaintOps(MakeOilTipAndRelief, PaintOil);
    return brush::RunBrush(engine, ctx, ops);
}

}  // namespace penlith
