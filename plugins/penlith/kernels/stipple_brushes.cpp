// The brushes that break the paint colour into many nearby colours: the art
// brush and the stippling brush.
//
// Art brush
//   tip      the soft raised-cosine tip (MakeSoftTip)
//   palette  built at every stroke start (BRUSHCMD_BEGIN) in workBits: 64
//            entries of blue, green, red, each channel
//                clamp(colour + rand() % spread - spread / 2, 0, 255)
//            with spread = roughness x 256 / 100, drawn entry by entry,
//            blue, green, red.  Freed at the stroke end (BRUSHCMD_END), on
//            release and when the tip is rebuilt.  tipVariantCount is set
//            to the palette size.
//   paint    every tip pixel with a byte t > 0, row by row, takes palette
//            entry rand() & 63 and is blended with the standard blend.
//            Without a palette (no stroke start) the call paints nothing
//            and returns 0.
//   preview  background, a palette (BRUSHCMD_BEGIN), three dabs
//            (BRUSHCMD_PAINT).
//
// Stippling brush
//   masks    12 masks, each one round dot: R = rand(); the centre in
//            quarter pixels is cx = s + R % 2s, cy = s + (R >> 8) % 2s, in
//            the middle half of the tip; pixel (i, j) at quarter-pixel
//            distance r < s from it gets trunc((1 - (r / s)^3) p).  Sizes
//            below 3 leave the masks empty.
//   paint    every dab takes mask rand() % 12 and a colour of its own, the
//            paint colour jittered by the roughness (JitterColor).
//   preview  background and four dabs.
#include <cstdlib>
#include <cstring>

#include "brush_engine.h"
#include "brush_platform.h"
#include "penlith_brushes.h"

namespace penlith {

namespace {

// ------------------------------------------------------------- art brush --

constexpr int32_t kPaletteEntries = 64;
constexpr size_t kPaletteBytes = 3 * kPaletteEntries;

uint8_t ClampChannel(int32_t v) { return static_cast<uint8_t>(v < 0 ? 0 : (v > 255 ? 255 : v)); }

void FreePalette(PlugInBrushContext *ctx) {
    brush::FreeBrushBuffer(ctx->workBits);
    ctx->workBits = nullptr;
}

// BRUSHCMD_BEGIN without the pick flag: a new palette around `color`.
int BuildPalette(brush::EngineState &, PlugInBrushContext *ctx) {
    FreePalette(ctx);
    ctx->tipVariantCount = kPaletteEntries;
    auto *palette = static_cast<uint8_t *>(brush::AllocBrushBuffer(kPaletteBytes));
    if (!palette) return 0;
    ctx->workBits = palette;
    // Roughness is kept within what 32 bits can scale; the manager keeps it
    // within 1..100 anyway.
    int32_t roughness = brush::ParamValue(ctx, 3);
    roughness = roughness < 0 ? 0 : (roughness > 0x7FFFFF ? 0x7FFFFF : roughness);
    const int32_t spread = roughness * 256 / 100, half = spread / 2;
    const brush::BgrColor color = brush::ColorOf(ctx->color);
    const uint8_t channels[3] = {color.b, color.g, color.r};
    for (size_t k = 0; k < kPaletteBytes; ++k) {
        const int32_t base = channels[k % 3];
        palette[k] = spread > 0 ? ClampChannel(base + std::rand() % spread - half) : static_cast<uint8_t>(base);
    }
    return 1;
}

int EndArtStroke(brush::EngineState &, PlugInBrushContext *ctx) {
    FreePalette(ctx);
    return 1;
}

brush::PaintResult PaintFromPalette(brush::EngineState &engine, PlugInBrushContext *ctx, brush::DirtyRect &rect) {
    const auto *palette = static_cast<const uint8_t *>(ctx->workBits);
    if (!palette) return brush::PaintResult::kRefusedEmpty;
    const brush::CanvasView canvas = brush::CanvasOf(ctx);
    const uint8_t *mask = brush::TipMask(ctx);
    // The coverage of every tip byte depends on the pressure only.
    uint8_t coverage[256];
    for (int32_t t = 0; t < 256; ++t) coverage[t] = static_cast<uint8_t>(brush::StandardCoverage(t, ctx->pressure));
    int32_t chosen = -1;
    // Each row is gathered first (the rand() draws in pixel order, as the
    // rule has them: one per painted pixel), then blended 16 channel bytes
    // at a time; an unpainted pixel gets coverage 0 and stays as it is.
    constexpr int32_t kChunk = 256;
    uint8_t rowCoverage[3 * kChunk], rowTargets[3 * kChunk];
    brush::LayDabs(engine, ctx, rect, brush::DabSpacing::Pressure(), [&](const brush::DabPlace &place) {
        for (int32_t j = 0; j < place.sizeH; ++j) {
            uint8_t *row = canvas.Pixel(place.canvasX, place.canvasRow + j);
            const uint8_t *tip = mask + static_cast<size_t>(place.tipY + j) * ctx->tipWidth + place.tipX;
            for (int32_t first = 0; first < place.sizeW; first += kChunk) {
                const int32_t count = place.sizeW - first < kChunk ? place.sizeW - first : kChunk;
                for (int32_t i = 0; i < count; ++i) {
                    const uint8_t t = tip[first + i];
                    uint8_t *cov = rowCoverage + 3 * i, *target = rowTargets + 3 * i;
                    if (t == 0) {
                        cov[0] = cov[1] = cov[2] = 0;
                        target[0] = target[1] = target[2] = 0;
                        continue;
                    }
                    chosen = std::rand() & (kPaletteEntries - 1);
                    cov[0] = cov[1] = cov[2] = coverage[t];
                    std::memcpy(target, palette + 3 * chosen, 3);
                }
                brush::BlendBytesTowardTargets(row + 3 * first, rowCoverage, rowTargets, 3 * count);
            }
        }
    });
    if (chosen >= 0) engine.tipVariantIndex = chosen;
    return brush::PaintResult::kPainted;
}

int ArtPreview(brush::EngineState &engine, PlugInBrushContext *ctx);

const brush::BrushOps &ArtOps() {
    static const brush::BrushOps ops = [] {
        brush::BrushOps o;
        o.buildTip = brush::MakeSoftTip;
        o.paint = PaintFromPalette;
        o.beginStroke = BuildPalette;
        o.endStroke = EndArtStroke;
        o.preview = ArtPreview;
        return o;
    }();
    return ops;
}

// Three dabs drawn from one palette.
int ArtPreview(brush::EngineState &engine, PlugInBrushContext *ctx) {
    if (!brush::FillPreviewBackground(ctx)) return 0;
    ctx->command = BRUSHCMD_BEGIN;
    if (!brush::RunBrush(engine, ctx, ArtOps())) return 0;
    ctx->command = BRUSHCMD_PAINT;
    for (int k = 0; k < 3; ++k) {
        if (!brush::RunBrush(engine, ctx, ArtOps())) return 0;
    }
    return 1;
}

// ------------------------------------------------------------ stippling --

constexpr int32_t kDotMasks = 12;

// One dot of quarter-pixel radius `size` centred at (cx, cy) quarter
// pixels, with a cubic fall-off.  Only the pixels of its bounding box can
// lie inside.
void DrawDot(brush::EngineState &engine, uint8_t *mask, int32_t size, int32_t peak, int32_t cx, int32_t cy) {
    auto first = [size](int32_t c) { return (c - size) / 4 > 0 ? (c - size) / 4 : 0; };
    auto last = [size](int32_t c) { return (c + size) / 4 + 1 < size ? (c + size) / 4 + 1 : size - 1; };
    for (int32_t j = first(cy); j <= last(cy); ++j) {
        for (int32_t i = first(cx); i <= last(cx); ++i) {
            const int32_t dx = cx - 4 * i, dy = cy - 4 * j;
            const uint32_t r =
                brush::IntegerRoot(engine, static_cast<uint32_t>(dx * dx) + static_cast<uint32_t>(dy * dy));
            if (r >= static_cast<uint32_t>(size)) continue;
            const double q = static_cast<double>(r) / size;
            mask[static_cast<size_t>(j) * size + i] = static_cast<uint8_t>((1 - q * q * q) * peak);
        }
    }
}

int BuildDotMasks(brush::EngineState &engine, PlugInBrushContext *ctx) {
    if (!ctx) return 0;
    brush::ReleaseTipBuffers(engine, ctx);
    if (!ctx->tipParams) return 0;
    const int32_t size = brush::ParamValue(ctx, 1);
    uint8_t *tips = brush::AllocTipMasks(engine, ctx, size, kDotMasks);
    if (!tips) return 0;
    ctx->tipVariantCount = kDotMasks;
    if (size < 3) return 1;  // empty masks
    const int32_t peak = brush::PeakOfDensity(brush::ParamValue(ctx, 2));
    const size_t bytes = static_cast<size_t>(size) * static_cast<size_t>(size);
    for (int32_t m = 0; m < kDotMasks; ++m) {
        const int32_t R = std::rand();
        DrawDot(engine, tips + m * bytes, size, peak, size + R % (2 * size), size + (R >> 8) % (2 * size));
    }
    return 1;
}

brush::PaintResult PaintDots(brush::EngineState &engine, PlugInBrushContext *ctx, brush::DirtyRect &rect) {
    const brush::BgrColor color = brush::ColorOf(ctx->color);
    const int32_t roughness = brush::ParamValue(ctx, 3);
    brush::SolidDabBlender blender(ctx->pressure);
    const brush::CanvasView canvas = brush::CanvasOf(ctx);
    int32_t &chosen = engine.tipVariantIndex;
    brush::LayDabs(engine, ctx, rect, brush::DabSpacing::Pressure(), [&](const brush::DabPlace &place) {
        chosen = std::rand() % kDotMasks;
        brush::BgrColor dabColor = color;
        brush::JitterColor(&dabColor, roughness);
        blender.SetTarget(dabColor);
        blender.Blend(canvas, place, brush::TipMask(ctx, chosen), ctx->tipWidth);
    });
    return brush::PaintResult::kPainted;
}

const brush::BrushOps &DotOps() {
    static const brush::BrushOps ops = [] {
        brush::BrushOps o;
        o.buildTip = BuildDotMasks;
        o.paint = PaintDots;
        o.previewRuns = 4;
        return o;
    }();
    return ops;
}

}  // namespace

int32_t SeuratBrush(brush::EngineState &engine, PlugInBrushContext *ctx) {
    return brush::RunBrush(engine, ctx, ArtOps());
}
int32_t PointillismBrush(brush::EngineState &engine, PlugInBrushContext *ctx) {
    return brush::RunBrush(engine, ctx, DotOps());
}

}  // namespace penlith
