// The preview picture of the brush settings dialog: a patterned background
// so that light and dark colours both show, and one dab at the centre.
#include <cstring>

#include "brush_engine.h"

namespace brush {

namespace {

// The background: 8 x 8 cells in bands of 8 rows.  Even bands alternate
// grey 96 and a blue; odd bands grey 192 and a salmon.
struct Cell {
    bool keep;  // stays grey 96
    BgrColor color;
};

Cell CellAt(int32_t x, int32_t y) {
    const bool oddBand = (y / 8) % 2 != 0, oddCell = (x / 8) % 2 != 0;
    if (!oddBand) return oddCell ? Cell{false, BgrColor{163, 114, 61}} : Cell{true, {}};
    return oddCell ? Cell{false, BgrColor{128, 149, 255}} : Cell{false, BgrColor{192, 192, 192}};
}

}  // namespace

int FillPreviewBackground(PlugInBrushContext *ctx) {
    if (!CanvasUsable(ctx)) return 0;
    const CanvasView canvas = CanvasOf(ctx);
    std::memset(canvas.bits, 96, canvas.stride * static_cast<size_t>(canvas.height));
    for (int32_t y = 0; y < canvas.height; ++y) {
        uint8_t *row = canvas.Pixel(0, canvas.height - 1 - y);
        for (int32_t x = 0; x < canvas.width; ++x) {
            const Cell cell = CellAt(x, y);
            if (cell.keep) continue;
            row[3 * x] = cell.color.b;
            row[3 * x + 1] = cell.color.g;
            row[3 * x + 2] = cell.color.r;
        }
    }
    return 1;
}

int32_t PreviewCoverage(int32_t tipByte, int32_t strength) {
    if (tipByte <= 0) return 0;
    if (strength < 1) strength = 1;
    if (strength > 32) strength = 32;
    int32_t a = 128 - (tipByte > 128 ? 128 : tipByte);
    for (int32_t k = 1; k < strength; ++k) a = a * a / 128;
    return 128 - a;
}

int DrawBrushPreview(EngineState &engine, PlugInBrushContext *ctx, int32_t strength) {
    BrushLock *lock = engine.lock;
    if (!FillPreviewBackground(ctx)) return 0;
    if (!BeginBrushDraw(ctx, lock)) return 0;
    const BgrColor target = ColorOf(ctx->color);
    DirtyRect rect;
    DabPlace place;
    if (GetDabPlace(engine, ctx, &place, &rect, 0) && place.sizeW > 0 && place.sizeH > 0) {
        const CanvasView canvas = CanvasOf(ctx);
        const uint8_t *mask = TipMask(ctx);
        for (int32_t j = 0; j < place.sizeH; ++j) {
            uint8_t *row = canvas.Pixel(place.canvasX, place.canvasRow + j);
            const uint8_t *tip = mask + static_cast<size_t>(place.tipY + j) * ctx->tipWidth + place.tipX;
            for (int32_t i = 0; i < place.sizeW; ++i) {
                const int32_t c = PreviewCoverage(tip[i], strength);
                if (c == 0) continue;
                uint8_t *pixel = row + 3 * i;
                pixel[0] = BlendChannel(pixel[0], target.b, c);
                pixel[1] = BlendChannel(pixel[1], target.g, c);
                pixel[2] = BlendChannel(pixel[2], target.r, c);
            }
        }
    }
    return EndBrushDraw(ctx, lock, &rect);
}

}  // namespace brush
