// The fur brush: a fuzzy, speckled round tip generated at random on every
// selection, laid with the standard blend so that the stroke looks like
// tufts of fur.  No descriptor row offers it; it is reachable only by its
// export.
//
// The tip (size s >= 5, peak p = density x 128 / 100), drawn with the
// process's one rand() in this order:
//   dots    (s + 2) / 4 of them (at least 1): x = rand() % s, then
//           y = rand() % s, drawn again until the pixel lies in the disc
//           (quarter-pixel radius r < 2s); the pixel becomes p
//   clumps  one rand() per pixel in row-major order; when its low four
//           bits are all set, min(2p, 255) goes into the pixel and its
//           right, lower and lower-right neighbours within the limits
//   blur    3 x 3 box (3 x 2 at the side columns, edge rows repeated),
//           rounded, capped at 128; then everything outside the disc is 0
//
// Painting: the colour jittered once per call by the third parameter, dabs
// 10 percent of the diagonal apart, and each dab row reads the mask one
// row further on than the other brushes do, so the mask shows one screen
// row lower than the dab centre.  The dab's top row would read past the
// mask's last row and paints nothing.
#include <cstdlib>

#include "brush_engine.h"
#include "brush_platform.h"
#include "penlith_brushes.h"

namespace penlith {

namespace {

using brush::DabPlace;
using brush::DirtyRect;
using brush::PaintResult;

constexpr int32_t kMinFurSize = 5;

bool InsideDisc(brush::EngineState &engine, int32_t size, int32_t x, int32_t y) {
    return brush::TipRadius4(engine, size, x, y) < static_cast<uint32_t>(2 * size);
}

// Scatters the dots: each lands on a pixel of the disc with the peak.
void ScatterDots(brush::EngineState &engine, uint8_t *mask, int32_t size, int32_t peak) {
    int32_t dots = (size + 2) / 4;
    if (dots < 1) dots = 1;
    while (dots > 0) {
        const int32_t x = std::rand() % size;
        const int32_t y = std::rand() % size;
        if (!InsideDisc(engine, size, x, y)) continue;
        mask[static_cast<size_t>(y) * size + x] = static_cast<uint8_t>(peak);
        --dots;
    }
}

// Drops a clump of up to 2 x 2 pixels on one pixel in sixteen.
void DropClumps(uint8_t *mask, int32_t size, int32_t peak) {
    const auto clump = static_cast<uint8_t>(2 * peak < 255 ? 2 * peak : 255);
    for (int32_t y = 0; y < size; ++y) {
        for (int32_t x = 0; x < size; ++x) {
            if ((std::rand() & 15) != 15) continue;
            uint8_t *at = mask + static_cast<size_t>(y) * size + x;
            at[0] = clump;
            if (x < size - 1) at[1] = clump;
            if (y + 1 < size - 1) {
                at[size] = clump;
                if (x + 1 < size - 1) at[size + 1] = clump;
            }
        }
    }
}

// The box blur of `from` into `to` (both size x size), capped at 128, with
// everything outside the disc cut to 0.
void BlurIntoDisc(brush::EngineState &engine, const uint8_t *from, uint8_t *to, int32_t size) {
    for (int32_t y = 0; y < size; ++y) {
        const uint8_t *rows[3] = {from + static_cast<size_t>(y > 0 ? y - 1 : y) * size,
                                  from + static_cast<size_t>(y) * size,
                                  from + static_cast<size_t>(y < size - 1 ? y + 1 : y) * size};
        uint8_t *out = to + static_cast<size_t>(y) * size;
        for (int32_t x = 0; x < size; ++x) {
            const int32_t first = x > 0 ? x - 1 : 0;
            const int32_t last = x < size - 1 ? x + 1 : size - 1;
            int32_t sum = 0;
            for (const uint8_t *row : rows) {
                for (int32_t k = first; k <= last; ++k) sum += row[k];
            }
            const bool side = x == 0 || x == size - 1;
            const int32_t value = side ? (sum + 3) / 6 : (sum + 4) / 9;
            out[x] = static_cast<uint8_t>(value > 128 ? 128 : value);
        }
    }
    for (int32_t y = 0; y < size; ++y) {
        for (int32_t x = 0; x < size; ++x) {
            if (!InsideDisc(engine, size, x, y)) to[static_cast<size_t>(y) * size + x] = 0;
        }
    }
}

int MakeFurTip(brush::EngineState &engine, PlugInBrushContext *ctx) {
    if (!ctx) return 0;
    brush::FreeBrushBuffers(engine, ctx);
    if (!ctx->tipParams) return 0;
    const int32_t size = brush::ParamValue(ctx, 1);
    ctx->tipWidth = ctx->tipHeight = size;
    if (size < kMinFurSize) return 0;
    ctx->tipVariantCount = 1;
    uint8_t *mask = brush::AllocTipMasks(engine, ctx, size, 1);
    if (!mask) return 0;
    const int32_t peak = brush::PeakOfDensity(brush::ParamValue(ctx, 2));
    ScatterDots(engine, mask, size, peak);
    DropClumps(mask, size, peak);
    const size_t bytes = static_cast<size_t>(size) * static_cast<size_t>(size);
    auto *blurred = static_cast<uint8_t *>(brush::AllocBrushBuffer(bytes));
    if (!blurred) {
        brush::ReleaseTipBuffers(engine, ctx);  // no half-built tip to paint with
        return 0;
    }
    BlurIntoDisc(engine, mask, blurred, size);
    for (size_t k = 0; k < bytes; ++k) mask[k] = blurred[k];
    brush::FreeBrushBuffer(blurred);
    return 1;
}

// One fur dab: canvas row canvasRow + j shows mask row tipY + j + 1.
void LayFurDab(const brush::CanvasView &canvas, const DabPlace &place, const uint8_t *mask, int32_t tipWidth,
               int32_t tipHeight, brush::BgrColor target, int32_t pressure) {
    for (int32_t j = 0; j < place.sizeH; ++j) {
        const int32_t maskRow = place.tipY + j + 1;
        if (maskRow >= tipHeight) break;
        uint8_t *pixel = canvas.Pixel(place.canvasX, place.canvasRow + j);
        const uint8_t *tip = mask + static_cast<size_t>(maskRow) * tipWidth + place.tipX;
        for (int32_t i = 0; i < place.sizeW; ++i, pixel += 3) brush::BlendPixel(pixel, target, tip[i], pressure);
    }
}

PaintResult PaintFur(brush::EngineState &engine, PlugInBrushContext *ctx, DirtyRect &rect) {
    brush::BgrColor target = brush::ColorOf(ctx->color);
    brush::JitterColor(&target, brush::ParamValue(ctx, 3));
    const brush::CanvasView canvas = brush::CanvasOf(ctx);
    const uint8_t *mask = brush::TipMask(ctx);
    brush::LayDabs(engine, ctx, rect, brush::DabSpacing::Ratio(10), [&](const DabPlace &place) {
        LayFurDab(canvas, place, mask, ctx->tipWidth, ctx->tipHeight, target, ctx->pressure);
    });
    return PaintResult::kPainted;
}

brush::BrushOps FurOps() {
    brush::BrushOps ops;
    ops.buildTip = MakeFurTip;
    ops.paint = PaintFur;
    ops.previewRuns = 3;
    return ops;
}

}  // namespace

int32_t FurBrush(brush::EngineState &engine, PlugInBrushContext *ctx) {
    static const brush::BrushOps ops = FurOps();
    return brush::RunBrush(engine, ctx, ops);
}

}  // namespace penlith
