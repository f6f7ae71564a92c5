// The three brushes whose colour or coverage follows a rule of its own
// rather than the plain colour of the standard blend.
//
//   rainbow  soft tip (MakeSoftTip), dabs spaced by pressure (GetDabPlace);
//            ignores `color` and the pick flag: every dab steps the
//            engine state's hue (walkingHue) 13 of 240 steps round a
//            six-sector circle and is laid with the standard blend in that
//            hue.  The hue lives as long as the plug-in and is never reset,
//            so a new stroke goes on where the last one stopped.
//   roller   flat tip (MakeRollerTip), dabs 10 percent of the diagonal
//            apart.  A per-stroke coverage map of the canvas (one byte per
//            pixel) records what the stroke has laid on each pixel, and a
//            dab adds only what is missing up to the limit
//            L = density x 128 / 100, so the stroke never builds up beyond
//            one opacity however often it crosses itself:
//                c   = clamp(pressure + t - 128, 0, 128)   (only if a < t)
//                new = min(L, c + a)
//                k   = new                            when a = 0
//                      (new - a) x 128 / (128 - a)    otherwise
//                channel = old + ((target - old) x k + 64) / 128
//            with a the map's byte; the map byte then becomes new.
//   pipe     a round tip with a cubic fall-off and a shade map of the same
//            size, lit from the top left:
//                t     = trunc((1 - (r / 2s)^3) x p)          (r < 2s)
//                shade = 128 + 128 (j - i) / s                (1..255)
//                target channel = clamp(colour + shade - 128, 0, 255)
//                channel = old + (target - old) x c / 128
//            so a stroke looks like a tube.  The third parameter (quality
//            1..10) sets the spacing: max(1, 9 - quality) percent.
#include <cstring>

#include "brush_engine.h"
#include "brush_platform.h"
#include "penlith_brushes.h"

namespace penlith {

namespace {

using brush::BgrColor;
using brush::CanvasView;
using brush::DabPlace;
using brush::DirtyRect;
using brush::PaintResult;

uint8_t ClampChannel(int32_t v) { return static_cast<uint8_t>(v < 0 ? 0 : (v > 255 ? 255 : v)); }

// ---------------------------------------------------------------- rainbow --

constexpr int32_t kHueSteps = 240;
constexpr int32_t kHueStride = 13;

// The colour of a hue 0..239: six sectors of 40 steps, blue, cyan, green,
// yellow, red, magenta, with f = (hue - start of sector) x 255 / 40 rising
// or falling across each.
BgrColor RainbowColor(int32_t hue) {
    const int32_t sector = hue / 40;
    const auto f = static_cast<uint8_t>((hue - 40 * sector) * 255 / 40);
    const auto rf = static_cast<uint8_t>(255 - f);
    switch (sector) {
    case 0: return BgrColor{255, f, 0};     // blue, toward cyan
    case 1: return BgrColor{rf, 255, 0};    // cyan, toward green
    case 2: return BgrColor{0, 255, f};     // green, toward yellow
    case 3: return BgrColor{0, rf, 255};    // yellow, toward red
    case 4: return BgrColor{f, 0, 255};     // red, toward magenta
    default: return BgrColor{255, 0, rf};   // magenta, toward blue
    }
}

PaintResult PaintRainbow(brush::EngineState &engine, PlugInBrushContext *ctx, DirtyRect &rect) {
    brush::SolidDabBlender blender(ctx->pressure);
    blender.UseFixedTip(engine, ctx);  // the soft tip stays as it was built on select
    const CanvasView canvas = brush::CanvasOf(ctx);
    const uint8_t *mask = brush::TipMask(ctx);
    brush::LayDabs(engine, ctx, rect, brush::DabSpacing::Pressure(), [&](const DabPlace &place) {
        engine.walkingHue = (engine.walkingHue + kHueStride) % kHueSteps;
        blender.SetTarget(RainbowColor(engine.walkingHue));
        blender.Blend(canvas, place, mask, ctx->tipWidth);
    });
    return PaintResult::kPainted;
}

brush::BrushOps RainbowOps() {
    brush::BrushOps ops;
    ops.buildTip = brush::MakeSoftTip;
    ops.paint = PaintRainbow;
    ops.previewRuns = 1;
    ops.picksColor = false;  // it has no colour of its own to pick into
    return ops;
}

// ----------------------------------------------------------------- roller --
//
// The coverage map lives in workBits: a small header naming the canvas it
// was made for, then width x height bytes, memory row by memory row.  The
// header lets a painting call notice a map left over from a stroke on
// another canvas (one that never saw its end) and make a fresh one instead
// of indexing past the old one.

struct CoverageMapHeader {
    int32_t width;
    int32_t height;
    int32_t reserved[2];
};
constexpr size_t kCoverageHeaderBytes = sizeof(CoverageMapHeader);
constexpr uint64_t kMaxCoverageBytes = 0x7FFF0000u;

void FreeCoverageMap(PlugInBrushContext *ctx) {
    brush::FreeBrushBuffer(ctx->workBits);
    ctx->workBits = nullptr;
}

// A zero-filled map for the record's canvas in workBits (any old one
// freed first); NULL when the canvas has no size or memory fails.
uint8_t *NewCoverageMap(PlugInBrushContext *ctx) {
    FreeCoverageMap(ctx);
    if (ctx->width <= 0 || ctx->height <= 0) return nullptr;
    const uint64_t bytes = kCoverageHeaderBytes + static_cast<uint64_t>(ctx->width) * static_cast<uint64_t>(ctx->height);
    if (bytes > kMaxCoverageBytes) return nullptr;
    void *buffer = brush::AllocBrushBuffer(static_cast<size_t>(bytes));
    if (!buffer) return nullptr;
    CoverageMapHeader header{};
    header.width = ctx->width;
    header.height = ctx->height;
    std::memcpy(buffer, &header, sizeof header);
    ctx->workBits = buffer;
    return static_cast<uint8_t *>(buffer) + kCoverageHeaderBytes;
}

// The map of the running stroke, made on the spot for a stroke that began
// without BRUSHCMD_BEGIN (or whose map belongs to another canvas).
uint8_t *CoverageMapOf(PlugInBrushContext *ctx) {
    if (ctx->workBits) {
        CoverageMapHeader header;
        std::memcpy(&header, ctx->workBits, sizeof header);
        if (header.width == ctx->width && header.height == ctx->height) {
            return static_cast<uint8_t *>(ctx->workBits) + kCoverageHeaderBytes;
        }
    }
    return NewCoverageMap(ctx);
}

// One channel moved toward the target by k / 128, rounded to the nearest.
inline uint8_t RoundedBlendChannel(uint8_t old, uint8_t target, int32_t k) {
    return static_cast<uint8_t>(old + ((target - old) * k + 64) / 128);
}

// One roller dab: each pixel gets what the stroke has not yet laid on it,
// up to the limit.
void LayRollerDab(const CanvasView &canvas, uint8_t *map, const DabPlace &place, const uint8_t *mask,
                  int32_t tipWidth, BgrColor target, int32_t pressure, int32_t limit) {
    for (int32_t j = 0; j < place.sizeH; ++j) {
        uint8_t *pixel = canvas.Pixel(place.canvasX, place.canvasRow + j);
        uint8_t *covered = map + static_cast<size_t>(place.canvasRow + j) * static_cast<size_t>(canvas.width) +
                           place.canvasX;
        const uint8_t *tip = mask + static_cast<size_t>(place.tipY + j) * tipWidth + place.tipX;
        for (int32_t i = 0; i < place.sizeW; ++i, pixel += 3) {
            const int32_t t = tip[i];
            const int32_t a = covered[i];
            if (t == 0 || a >= t) continue;
            const int32_t c = brush::StandardCoverage(t, pressure);
            const int32_t reached = c + a < limit ? c + a : limit;
            const int32_t k = a == 0 ? reached : (reached - a) * 128 / (128 - a);
            if (k > 0) {
                pixel[0] = RoundedBlendChannel(pixel[0], target.b, k);
                pixel[1] = RoundedBlendChannel(pixel[1], target.g, k);
                pixel[2] = RoundedBlendChannel(pixel[2], target.r, k);
            }
            covered[i] = static_cast<uint8_t>(reached);
        }
    }
}

PaintResult PaintRoller(brush::EngineState &engine, PlugInBrushContext *ctx, DirtyRect &rect) {
    uint8_t *map = CoverageMapOf(ctx);
    if (!map) return PaintResult::kRefusedEmpty;
    const int32_t limit = brush::PeakOfDensity(brush::ParamValue(ctx, 2));
    const BgrColor target = brush::ColorOf(ctx->color);
    const CanvasView canvas = brush::CanvasOf(ctx);
    const uint8_t *mask = brush::TipMask(ctx);
    brush::LayDabs(engine, ctx, rect, brush::DabSpacing::Ratio(10), [&](const DabPlace &place) {
        LayRollerDab(canvas, map, place, mask, ctx->tipWidth, target, ctx->pressure, limit);
    });
    return PaintResult::kPainted;
}

int BeginRollerStroke(brush::EngineState &, PlugInBrushContext *ctx) { return NewCoverageMap(ctx) ? 1 : 0; }

int EndRollerStroke(brush::EngineState &, PlugInBrushContext *ctx) {
    FreeCoverageMap(ctx);
    return 1;
}

brush::BrushOps RollerOps() {
    brush::BrushOps ops;
    ops.buildTip = brush::MakeRollerTip;
    ops.paint = PaintRoller;
    ops.beginStroke = BeginRollerStroke;
    ops.endStroke = EndRollerStroke;
    ops.previewStrength = 1;
    return ops;
}

// ------------------------------------------------------------------- pipe --

// The pipe's tip: a disc whose coverage falls off with the cube of the
// radius (a marker tip below size 3), and in workBits the shade map, one
// byte per tip pixel, 128 on the diagonal, brighter above it (higher tip
// rows, further left) and darker below.
int MakePipeTip(brush::EngineState &engine, PlugInBrushContext *ctx) {
    if (!ctx) return 0;
    brush::ReleaseTipBuffers(engine, ctx);
    if (!ctx->tipParams) return 0;
    uint8_t *mask = brush::AllocTipMasks(engine, ctx, brush::ParamValue(ctx, 1), 1);
    if (!mask) return 0;
    const int32_t size = ctx->tipWidth;
    const int32_t peak = brush::PeakOfDensity(brush::ParamValue(ctx, 2));
    if (size < 3) {
        brush::FillMarkerMask(engine, mask, size, peak);
    } else {
        for (int32_t j = 0; j < size; ++j) {
            for (int32_t i = 0; i < size; ++i) {
                const int32_t r = static_cast<int32_t>(brush::TipRadius4(engine, size, i, j));
                if (r >= 2 * size) continue;
                const double q = static_cast<double>(r) / (2.0 * size);
                mask[static_cast<size_t>(j) * size + i] = static_cast<uint8_t>((1 - q * q * q) * peak);
            }
        }
    }
    auto *shade = static_cast<uint8_t *>(brush::AllocBrushBuffer(static_cast<size_t>(size) * size));
    if (!shade) return 0;
    for (int32_t j = 0; j < size; ++j) {
        for (int32_t i = 0; i < size; ++i) {
            shade[static_cast<size_t>(j) * size + i] = static_cast<uint8_t>(128 + 128 * (j - i) / size);
        }
    }
    ctx->workBits = shade;
    return 1;
}

// Dab spacing of the pipe in percent of the tip diagonal: 8 at quality 1
// down to 1 at quality 8 and above.
int32_t PipeSpacingPercent(int32_t quality) {
    const int64_t percent = 9 - static_cast<int64_t>(quality);
    if (percent < 1) return 1;
    return percent > 100 ? 100 : static_cast<int32_t>(percent);
}

// The target of every shade value for the call's colour: each channel
// lifted or lowered by shade - 128 and clamped.
struct ShadedTargets {
    uint8_t bgr[256][3];
    explicit ShadedTargets(BgrColor color) {
        for (int32_t s = 0; s < 256; ++s) {
            bgr[s][0] = ClampChannel(color.b + s - 128);
            bgr[s][1] = ClampChannel(color.g + s - 128);
            bgr[s][2] = ClampChannel(color.r + s - 128);
        }
    }
};

// The pipe's tip as two planes of three bytes a tip pixel, for one colour
// and pressure: the coverage of each channel byte, then its shaded target.
// Kept in the engine between calls while tip, colour and pressure stay;
// NULL when they cannot be kept (the caller then paints pixel by pixel).
const uint8_t *PipePlanes(brush::EngineState &engine, const PlugInBrushContext *ctx, const uint8_t *mask,
                          const uint8_t *shade) {
    const size_t pixels = static_cast<size_t>(ctx->tipWidth) * static_cast<size_t>(ctx->tipHeight);
    brush::KeptTipPlanes &kept = engine.keptPlanes;
    if (kept.valid && kept.generation == engine.tipGeneration && kept.mask == mask &&
        kept.width == ctx->tipWidth && kept.height == ctx->tipHeight && kept.pressure == ctx->pressure &&
        kept.color == (ctx->color & 0xFFFFFFu) && kept.capacity >= 6 * pixels) {
        return kept.bytes;
    }
    kept.valid = false;
    // Tips beyond 512 x 512 pixels (far above the largest size offered) are
    // painted pixel by pixel rather than kept.
    if (pixels > 512 * 512 || !brush::ReserveKeptPlanes(engine, 6 * pixels)) return nullptr;
    const ShadedTargets targets(brush::ColorOf(ctx->color));
    uint8_t *coverage = kept.bytes, *target = kept.bytes + 3 * pixels;
    for (size_t k = 0; k < pixels; ++k) {
        const auto c = static_cast<uint8_t>(brush::StandardCoverage(mask[k], ctx->pressure));
        coverage[3 * k] = coverage[3 * k + 1] = coverage[3 * k + 2] = c;
        std::memcpy(target + 3 * k, targets.bgr[shade[k]], 3);
    }
    kept.generation = engine.tipGeneration;
    kept.mask = mask;
    kept.width = ctx->tipWidth;
    kept.height = ctx->tipHeight;
    kept.pressure = ctx->pressure;
    kept.color = ctx->color & 0xFFFFFFu;
    kept.valid = true;
    return kept.bytes;
}

// Per channel byte: coverage c = clamp(pressure + t - 128, 0, 128) of the
// tip byte t, target = the colour's channel + shade - 128 clamped, and
//     channel = old + (target - old) x c / 128, truncated toward zero.
void LayPipeDab(const CanvasView &canvas, const DabPlace &place, const uint8_t *planes, int32_t tipWidth,
                size_t tipPixels) {
    for (int32_t j = 0; j < place.sizeH; ++j) {
        const size_t first = 3 * (static_cast<size_t>(place.tipY + j) * tipWidth + place.tipX);
        brush::BlendBytesTowardTargets(canvas.Pixel(place.canvasX, place.canvasRow + j), planes + first,
                                       planes + 3 * tipPixels + first, 3 * place.sizeW);
    }
}

// The same dab pixel by pixel, for when the planes cannot be allocated.
void LayPipeDabByPixel(const CanvasView &canvas, const DabPlace &place, const uint8_t *mask, const uint8_t *shade,
                       int32_t tipWidth, const ShadedTargets &targets, int32_t pressure) {
    for (int32_t j = 0; j < place.sizeH; ++j) {
        uint8_t *pixel = canvas.Pixel(place.canvasX, place.canvasRow + j);
        const size_t tipRow = static_cast<size_t>(place.tipY + j) * tipWidth + place.tipX;
        for (int32_t i = 0; i < place.sizeW; ++i, pixel += 3) {
            const int32_t c = brush::StandardCoverage(mask[tipRow + i], pressure);
            if (c == 0) continue;
            const uint8_t *target = targets.bgr[shade[tipRow + i]];
            for (int k = 0; k < 3; ++k) pixel[k] = brush::BlendChannel(pixel[k], target[k], c);
        }
    }
}

PaintResult PaintPipe(brush::EngineState &engine, PlugInBrushContext *ctx, DirtyRect &rect) {
    const auto *shade = static_cast<const uint8_t *>(ctx->workBits);
    if (!shade) return PaintResult::kRefusedEmpty;
    const uint8_t *mask = brush::TipMask(ctx);
    const uint8_t *planes = PipePlanes(engine, ctx, mask, shade);
    const CanvasView canvas = brush::CanvasOf(ctx);
    const size_t tipPixels = static_cast<size_t>(ctx->tipWidth) * static_cast<size_t>(ctx->tipHeight);
    const int32_t percent = PipeSpacingPercent(brush::ParamValue(ctx, 3));
    if (!planes) {
        const ShadedTargets targets(brush::ColorOf(ctx->color));
        brush::LayDabs(engine, ctx, rect, brush::DabSpacing::Ratio(percent), [&](const DabPlace &place) {
            LayPipeDabByPixel(canvas, place, mask, shade, ctx->tipWidth, targets, ctx->pressure);
        });
        return PaintResult::kPainted;
    }
    brush::LayDabs(engine, ctx, rect, brush::DabSpacing::Ratio(percent), [&](const DabPlace &place) {
        LayPipeDab(canvas, place, planes, ctx->tipWidth, tipPixels);
    });
    return PaintResult::kPainted;
}

brush::BrushOps PipeOps() {
    brush::BrushOps ops;
    ops.buildTip = MakePipeTip;
    ops.paint = PaintPipe;
    ops.previewRuns = 6;
    return ops;
}

}  // namespace

int32_t RainbowBrush(brush::EngineState &engine, PlugInBrushContext *ctx) {
    static const brush::BrushOps ops = RainbowOps();
    return brush::RunBrush(engine, ctx, ops);
}

int32_t RollerBrush(brush::EngineState &engine, PlugInBrushContext *ctx) {
    static const brush::BrushOps ops = RollerOps();
    return brush::RunBrush(engine, ctx, ops);
}

int32_t PipeBrush(brush::EngineState &engine, PlugInBrushContext *ctx) {
    static const brush::BrushOps ops = PipeOps();
    return brush::RunBrush(engine, ctx, ops);
}

}  // namespace penlith
