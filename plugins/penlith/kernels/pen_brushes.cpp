// The two pens: the oily pen, a felt marker whose ink darkens whatever lies
// under it, and the fountain pen, a nib whose line swells where the pen is
// slow or resting and thins where it is fast.  Both keep their stroke
// state in the engine's carriedColor, set when a stroke begins (after the
// colour pick of a Ctrl press, so a picked colour is the one inked).
//
// Oily pen (size s, peak p = density x 128 / 100):
//   tips    3 masks: the nib texture 113 turned -10, 0 and +10 degrees
//   stroke  carried = the blue, green, red of the colour at its begin; the
//           colour is not read again and not jittered
//   dab     (by pressure) mask rand() % 3; the canvas pixel at the middle
//           of the dab's visible part is sampled first, and per channel
//               k = 230 - (sample + ink) / 2       (-25..230)
//               channel = clamp(old - cv x k / 128, 0, 255)
//           for every tip byte t > 0, cv = clamp(pressure + t - 128, 0, 128):
//           the ink takes away from what is there, so overlaps darken
//
// Fountain pen:
//   tips    10 raised-cosine discs, disc v of radius R = (24 s - 2 s v) / 6
//           quarter pixels: cos(r pi / R) + 1 times p / 2 inside r < R
//   ink     carried blue: 64 at the stroke begin.  Each painting call
//           first adds (3 w - d) x 3 / w (w the tip width, d the pointer's
//           move in whole pixels) while d < 3 w, up to 256; then every dab
//           (one a pixel of path, painted or clipped away) spends 1, down
//           to 64.  Dab colour: the colour jittered once a call by the
//           third parameter; disc (256 - ink) x 10 / 256 with the standard
//           blend: a full pen (slow, resting) lays the widest disc
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "brush_engine.h"
#include "brush_platform.h"
#include "brush_textures.h"
#include "penlith_brushes.h"
#include "turned_tips.h"

namespace penlith {

namespace {

using brush::BgrColor;
using brush::CanvasView;
using brush::DabPlace;
using brush::DirtyRect;
using brush::PaintResult;

constexpr double kPi = 3.1415926535;

constexpr int32_t kOilyPenMasks = 3;
constexpr int32_t kOilyPenAngleStep = 10;

constexpr int32_t kFountainPenMasks = 10;
constexpr int32_t kInkDry = 64;    // the ink level of a fresh stroke, and the least
constexpr int32_t kInkFull = 256;  // the most: the widest disc

int32_t ClampByte(int32_t v) { return v < 0 ? 0 : (v > 255 ? 255 : v); }

// ------------------------------------------------------------ oily pen --

int BuildOilyPenTips(brush::EngineState &engine, PlugInBrushContext *ctx) {
    if (!ctx) return 0;
    return BuildTurnedTips(engine, ctx, kTextureNib, kOilyPenMasks, -kOilyPenAngleStep, kOilyPenAngleStep) ? 1 : 0;
}

// The stroke's ink: the colour as the stroke begins.
void LoadOilyInk(brush::EngineState &engine, const PlugInBrushContext *ctx) {
    const BgrColor ink = brush::ColorOf(ctx->color);
    engine.carriedColor[0] = ink.b;
    engine.carriedColor[1] = ink.g;
    engine.carriedColor[2] = ink.r;
}

// One oily dab: the strength of the ink per channel from the pixel under
// the dab's middle, then every tip pixel darkened by it.
void LayOilyDab(const CanvasView &canvas, const DabPlace &place, const uint8_t *mask, int32_t tipWidth,
                const int32_t (&ink)[3], int32_t pressure) {
    const uint8_t *sample = canvas.Pixel(place.canvasX + place.sizeW / 2, place.canvasRow + place.sizeH / 2);
    int32_t k[3];
    for (int c = 0; c < 3; ++c) k[c] = 230 - (sample[c] + ink[c]) / 2;
    for (int32_t j = 0; j < place.sizeH; ++j) {
        uint8_t *pixel = canvas.Pixel(place.canvasX, place.canvasRow + j);
        const uint8_t *tip = mask + static_cast<size_t>(place.tipY + j) * tipWidth + place.tipX;
        for (int32_t i = 0; i < place.sizeW; ++i, pixel += 3) {
            const int32_t cv = brush::StandardCoverage(tip[i], pressure);
            if (cv == 0) continue;
            for (int c = 0; c < 3; ++c) pixel[c] = static_cast<uint8_t>(ClampByte(pixel[c] - cv * k[c] / 128));
        }
    }
}

PaintResult PaintOilyPen(brush::EngineState &engine, PlugInBrushContext *ctx, DirtyRect &rect) {
    // The carried slots are shared with other brushes; a preview, which
    // paints without a stroke begin, may find any number there.  The ink
    // is a colour, so each slot is read as a level 0..255.
    const int32_t ink[3] = {ClampByte(engine.carriedColor[0]), ClampByte(engine.carriedColor[1]),
                            ClampByte(engine.carriedColor[2])};
    const CanvasView canvas = brush::CanvasOf(ctx);
    const int32_t variants = ctx->tipVariantCount > 0 ? ctx->tipVariantCount : 1;
    brush::LayDabs(engine, ctx, rect, brush::DabSpacing::Pressure(), [&](const DabPlace &place) {
        engine.tipVariantIndex = std::rand() % variants;
        LayOilyDab(canvas, place, brush::TipMask(ctx, engine.tipVariantIndex), ctx->tipWidth, ink, ctx->pressure);
    });
    return PaintResult::kPainted;
}

// --------------------------------------------------------- fountain pen --

int BuildFountainPenTips(brush::EngineState &engine, PlugInBrushContext *ctx) {
    if (!ctx) return 0;
    brush::ReleaseTipBuffers(engine, ctx);
    const int32_t size = brush::ParamValue(ctx, 1);
    uint8_t *masks = size >= 2 ? brush::AllocTipMasks(engine, ctx, size, kFountainPenMasks) : nullptr;
    if (!masks) {
        ctx->tipWidth = ctx->tipHeight = 0;
        return 0;
    }
    ctx->tipVariantCount = kFountainPenMasks;
    const int32_t peak = brush::PeakOfDensity(brush::ParamValue(ctx, 2));
    for (int32_t v = 0; v < kFountainPenMasks; ++v) {
        const int32_t radius = (24 * size - 2 * size * v) / 6;
        for (int32_t j = 0; j < size; ++j) {
            for (int32_t i = 0; i < size; ++i, ++masks) {
                const auto r = static_cast<int32_t>(brush::TipRadius4(engine, size, i, j));
                if (r < radius) *masks = static_cast<uint8_t>((std::cos(r * kPi / radius) + 1) * peak * 0.5);
            }
        }
    }
    return 1;
}

// How far the pointer moved in this call, in whole pixels, rounded (the
// engine's integer root); moves beyond any canvas count as very far.
int32_t MoveInPixels(brush::EngineState &engine, const PlugInBrushContext *ctx) {
    const int64_t dx = static_cast<int64_t>(ctx->prevX) - ctx->curX, dy = static_cast<int64_t>(ctx->prevY) - ctx->curY;
    const int64_t squared = dx * dx + dy * dy;
    if (squared > 0xFFFFFFFFLL) return 65536;
    return static_cast<int32_t>(brush::IntegerRoot(engine, static_cast<uint32_t>(squared)));
}

PaintResult PaintFountainPen(brush::EngineState &engine, PlugInBrushContext *ctx, DirtyRect &rect) {
    BgrColor target = brush::ColorOf(ctx->color);
    brush::JitterColor(&target, brush::ParamValue(ctx, 3));
    // The level lives in a slot other brushes use too: kept within the
    // pen's own range, so a disc index never leaves the ten masks.
    int32_t ink = engine.carriedColor[0];
    ink = ink < kInkDry ? kInkDry : (ink > kInkFull ? kInkFull : ink);
    const int32_t width = ctx->tipWidth;
    const int32_t move = MoveInPixels(engine, ctx);
    if (move < 3 * width) ink = std::min(ink + (3 * width - move) * 3 / width, kInkFull);

    brush::SolidDabBlender blender(ctx->pressure);
    blender.SetTarget(target);
    const CanvasView canvas = brush::CanvasOf(ctx);
    DabPlace place;
    for (int32_t n = 0; brush::GetDabPlaceByPixel(engine, ctx, &place, &rect, n); ++n) {
        if (place.sizeW > 0 && place.sizeH > 0) {
            engine.tipVariantIndex = (kInkFull - ink) * kFountainPenMasks / kInkFull;
            blender.Blend(canvas, place, brush::TipMask(ctx, engine.tipVariantIndex), width);
        }
        ink = std::max(ink - 1, kInkDry);
    }
    engine.carriedColor[0] = ink;
    return PaintResult::kPainted;
}

}  // namespace

// Both pens set their stroke state after the skeleton's stroke begin,
// which picks the colour first when Ctrl is held.
int32_t OilyPenBrush(brush::EngineState &engine, PlugInBrushContext *ctx) {
    static const brush::BrushOps ops = brush::TipAndPaintOps(BuildOilyPenTips, PaintOilyPen, 3);
    const int32_t result = brush::RunBrush(engine, ctx, ops);
    if (ctx && ctx->command == BRUSHCMD_BEGIN) LoadOilyInk(engine, ctx);
    return result;
}

int32_t FountainPenBrush(brush::EngineState &engine, PlugInBrushContext *ctx) {
    static const brush::BrushOps ops = brush::TipAndPaintOps(BuildFountainPenTips, PaintFountainPen, 3);
    const int32_t result = brush::RunBrush(engine, ctx, ops);
    if (ctx && ctx->command == BRUSHCMD_BEGIN) engine.carriedColor[0] = kInkDry;
    return result;
}

}  // namespace penlith
