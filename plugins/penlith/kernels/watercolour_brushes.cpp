// The two watercolours: transparent paint that mixes with what is already
// on the canvas, so overlapping strokes darken instead of covering.
//
// Both keep the paint they carry in the engine's carriedColor (blue, green,
// red), shared by the two brushes and never reset: each dab or row first
// picks up colour from one sample pixel, fixed at the centre of the call's
// first non-empty dab and read afresh every time.
//
//   round  8 masks of size x size: a flat core p where the radius r (in
//          quarter pixels) is below size, a cosine rim out to 2 size with
//          one pixel in seven left as a hole (rand() % 7 == 0), so the rim
//          is ragged.  Dabs spaced by pressure use the masks in turn.  Per
//          dab:  carried = (7 carried + sample) / 8
//                colour  = (target + 3 min(target, carried)) / 4
//          laid with the standard blend.
//   flat   one mask whose paint pools toward the rim:
//              2s - 4 <= r < 2s   p / (r - 2s + 5)    soft outer pixel
//              3r >= 4s           p                   dark rim ring
//              5r >= 6s           (15r / 2 - 8s) p / 2s   rising to it
//              otherwise          p / 3               pale inside
//          (a marker tip below size 4), and in workBits the 64 x 64 paper
//          grain of texture 201, tiled over the canvas from its bottom-left
//          corner.  Dabs 8 percent of the diagonal apart.  Per dab row:
//                carried = (carried + 3 sample) / 4
//                colour  = (target + 3 carried) / 4
//          and each pixel moves toward colour + g / 16 - 4 (g the grain
//          under it, clamped to 0..255) by the standard coverage.
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "brush_engine.h"
#include "brush_platform.h"
#include "brush_textures.h"
#include "penlith_brushes.h"
#include "pixel_target_blend.h"
#include "watercolour_rules.h"

namespace penlith {

namespace {

using brush::BgrColor;
using brush::CanvasView;
using brush::DabPlace;
using brush::DirtyRect;
using brush::PaintResult;

constexpr double kPi = 3.1415926535;

// The colour of the carried paint as a target.
BgrColor CarriedAsColor(const brush::EngineState &engine) {
    return BgrColor{static_cast<uint8_t>(engine.carriedColor[0]), static_cast<uint8_t>(engine.carriedColor[1]),
                    static_cast<uint8_t>(engine.carriedColor[2])};
}

// ------------------------------------------------------------- round --

int MakeRoundWatercolourTips(brush::EngineState &engine, PlugInBrushContext *ctx) {
    if (!ctx) return 0;
    brush::ReleaseTipBuffers(engine, ctx);
    if (!ctx->tipParams) return 0;
    const int32_t size = brush::ParamValue(ctx, 1);
    uint8_t *masks = brush::AllocTipMasks(engine, ctx, size, kRoundWatercolourMasks);
    if (!masks) return 0;
    ctx->tipVariantCount = kRoundWatercolourMasks;
    if (size < 3) return 1;  // below the parameter's minimum: nothing to paint with
    const int32_t peak = brush::PeakOfDensity(brush::ParamValue(ctx, 2));
    const size_t area = static_cast<size_t>(size) * static_cast<size_t>(size);
    for (int32_t v = 0; v < kRoundWatercolourMasks; ++v) {
        uint8_t *mask = masks + v * area;
        for (int32_t j = 0; j < size; ++j) {
            for (int32_t i = 0; i < size; ++i) {
                const auto r = static_cast<int32_t>(brush::TipRadius4(engine, size, i, j));
                uint8_t &byte = mask[static_cast<size_t>(j) * size + i];
                if (r < size) {
                    byte = static_cast<uint8_t>(peak);
                } else if (r < 2 * size && std::rand() % 7 != 0) {
                    byte = static_cast<uint8_t>((std::cos(2.0 * (r - size) * kPi / (2 * size)) + 1) * peak * 0.5);
                }
            }
        }
    }
    return 1;
}

PaintResult PaintRoundWatercolour(brush::EngineState &engine, PlugInBrushContext *ctx, DirtyRect &rect) {
    BgrColor target = brush::ColorOf(ctx->color);
    brush::JitterColor(&target, brush::ParamValue(ctx, 3));
    const CanvasView canvas = brush::CanvasOf(ctx);
    brush::SolidDabBlender blender(ctx->pressure);
    const uint8_t *sample = nullptr;
    brush::LayDabs(engine, ctx, rect, brush::DabSpacing::Pressure(), [&](const DabPlace &place) {
        engine.tipVariantIndex = (engine.tipVariantIndex + 1) % kRoundWatercolourMasks;
        if (!sample) sample = canvas.Pixel(place.canvasX + place.sizeW / 2, place.canvasRow + place.sizeH / 2);
        PickUpForRoundDab(engine.carriedColor, sample);
        blender.SetTarget(RoundWatercolourColor(target, CarriedAsColor(engine)));
        blender.Blend(canvas, place, brush::TipMask(ctx, engine.tipVariantIndex), ctx->tipWidth);
    });
    return PaintResult::kPainted;
}

brush::BrushOps RoundWatercolourOps() {
    brush::BrushOps ops;
    ops.buildTip = MakeRoundWatercolourTips;
    ops.paint = PaintRoundWatercolour;
    return ops;
}

// -------------------------------------------------------------- flat --

void FillFlatWatercolourMask(brush::EngineState &engine, uint8_t *mask, int32_t size, int32_t peak) {
    for (int32_t j = 0; j < size; ++j) {
        for (int32_t i = 0; i < size; ++i) {
            const auto r = static_cast<int32_t>(brush::TipRadius4(engine, size, i, j));
            int32_t byte;
            if (r >= 2 * size) {
                byte = 0;
            } else if (r >= 2 * size - 4) {
                byte = peak / (r - 2 * size + 5);
            } else if (3 * r >= 4 * size) {
                byte = peak;
            } else if (5 * r >= 6 * size) {
                byte = ((15 * r) / 2 - 8 * size) * peak / (2 * size);
            } else {
                byte = peak / 3;
            }
            mask[static_cast<size_t>(j) * size + i] = static_cast<uint8_t>(byte);
        }
    }
}

int MakeFlatWatercolourTip(brush::EngineState &engine, PlugInBrushContext *ctx) {
    if (!ctx) return 0;
    brush::ReleaseTipBuffers(engine, ctx);
    if (!ctx->tipParams) return 0;
    const HeldTexture paper(kTextureWatercolourPaper);
    if (!paper) return 0;
    void *grain = brush::AllocBrushBuffer(kGrainBytes);
    if (!grain) return 0;
    std::memcpy(grain, paper.bits(), kGrainBytes);
    ctx->workBits = grain;
    const int32_t size = brush::ParamValue(ctx, 1);
    uint8_t *mask = brush::AllocTipMasks(engine, ctx, size, 1);
    if (!mask) return 0;
    const int32_t peak = brush::PeakOfDensity(brush::ParamValue(ctx, 2));
    if (size < 4) {
        brush::FillMarkerMask(engine, mask, size, peak);
    } else {
        FillFlatWatercolourMask(engine, mask, size, peak);
    }
    return 1;
}

// Per painting call: the coverage of every tip byte as four 16-bit
// copies, and room for one dab row's targets and coverage, three channels
// a pixel (plus one spare, as each pixel writes four and the next
// overwrites the last).
struct FlatRowScratch {
    uint64_t coverage4[256];
    uint32_t shifted[16];
    uint32_t shiftedColour = 0xFFFFFFFFu;  // no colour yet
    std::vector<uint8_t> targets;
    std::vector<int16_t> channelCoverage;
};

// One flat dab: each row picks up paint, then every pixel gets its target
// (the row colour shifted by the grain step under it) and its coverage,
// and the row is blended in one pass.
void LayFlatDab(brush::EngineState &engine, const CanvasView &canvas, const DabPlace &place, const uint8_t *mask,
                int32_t tipWidth, const uint8_t *grain, BgrColor target, const uint8_t *sample,
                FlatRowScratch &scratch) {
    uint8_t *targets = scratch.targets.data();
    int16_t *coverage = scratch.channelCoverage.data();
    for (int32_t j = 0; j < place.sizeH; ++j) {
        PickUpForFlatRow(engine.carriedColor, sample);
        const BgrColor colour = FlatWatercolourColor(target, CarriedAsColor(engine));
        // The row colour shifted by each of the 16 grain steps, blue,
        // green and red in the low three bytes; kept while the colour stays.
        uint32_t *shifted = scratch.shifted;
        const uint32_t packed = colour.b | colour.g << 8 | static_cast<uint32_t>(colour.r) << 16;
        if (packed != scratch.shiftedColour) {
            scratch.shiftedColour = packed;
            for (int32_t step = 0; step < 16; ++step) {
                shifted[step] = ClampLevel(colour.b + step - 4) | ClampLevel(colour.g + step - 4) << 8 |
                                static_cast<uint32_t>(ClampLevel(colour.r + step - 4)) << 16;
            }
        }
        const int32_t row = place.canvasRow + j;
        const uint8_t *paper = grain + static_cast<size_t>(row % kGrainTextureSide) * kGrainTextureSide;
        const uint8_t *tip = mask + static_cast<size_t>(place.tipY + j) * tipWidth + place.tipX;
        int32_t column = place.canvasX % kGrainTextureSide;
        for (int32_t i = 0; i < place.sizeW; ++i, column = (column + 1) & (kGrainTextureSide - 1)) {
            std::memcpy(targets + 3 * i, &shifted[paper[column] >> 4], 4);
            std::memcpy(coverage + 3 * i, &scratch.coverage4[tip[i]], 8);
        }
        BlendChannelsToTargets(canvas.Pixel(place.canvasX, row), targets, coverage, 3 * place.sizeW);
    }
}

PaintResult PaintFlatWatercolour(brush::EngineState &engine, PlugInBrushContext *ctx, DirtyRect &rect) {
    BgrColor target = brush::ColorOf(ctx->color);
    brush::JitterColor(&target, brush::ParamValue(ctx, 3));
    const auto *grain = static_cast<const uint8_t *>(ctx->workBits);
    if (!grain) return PaintResult::kRefusedEmpty;  // no paper: the tip was never built
    FlatRowScratch scratch;
    for (int32_t t = 0; t < 256; ++t) {
        scratch.coverage4[t] = static_cast<uint64_t>(brush::StandardCoverage(t, ctx->pressure)) * 0x0001000100010001u;
    }
    scratch.targets.resize(3 * static_cast<size_t>(ctx->tipWidth) + 1);
    scratch.channelCoverage.resize(3 * static_cast<size_t>(ctx->tipWidth) + 1);
    const CanvasView canvas = brush::CanvasOf(ctx);
    const uint8_t *mask = brush::TipMask(ctx);
    const uint8_t *sample = nullptr;
    brush::LayDabs(engine, ctx, rect, brush::DabSpacing::Ratio(8), [&](const DabPlace &place) {
        if (!sample) sample = canvas.Pixel(place.canvasX + place.sizeW / 2, place.canvasRow + place.sizeH / 2);
        LayFlatDab(engine, canvas, place, mask, ctx->tipWidth, grain, target, sample, scratch);
    });
    return PaintResult::kPainted;
}

brush::BrushOps FlatWatercolourOps() {
    brush::BrushOps ops;
    ops.buildTip = MakeFlatWatercolourTip;
    ops.paint = PaintFlatWatercolour;
    return ops;
}

}  // namespace

int32_t WaterColorBrush(brush::EngineState &engine, PlugInBrushContext *ctx) {
    static const brush::BrushOps ops = RoundWatercolourOps();
    return brush::RunBrush(engine, ctx, ops);
}

int32_t WaterColorDashBrush(brush::EngineState &engine, PlugInBrushContext *ctx) {
    static const brush::BrushOps ops = FlatWatercolourOps();
    return brush::RunBrush(engine, ctx, ops);
}

}  // namespace penlith
