// The engine state's end and the record helpers of the engine.
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "brush_engine.h"
#include "brush_platform.h"

namespace brush {

EngineState::~EngineState() { ReleaseEngineCaches(*this); }

void SeedRandomWithTime() { std::srand(static_cast<unsigned>(std::time(nullptr))); }

int32_t ParamValue(const PlugInBrushContext *ctx, int k) {
    if (!ctx || !ctx->tipParams || k < 1 || k > BRUSH_PARAM_COUNT) return 0;
    return ctx->tipParams[k - 1].value;
}

int32_t PeakOfDensity(int32_t density) {
    if (density <= 0) return 0;
    if (density >= 100) return 128;
    return density * 128 / 100;
}

namespace {

// biBitCount sits at byte 14 of a BITMAPINFOHEADER; read as bytes, so no
// Windows header is needed.
uint16_t BitCountOf(const struct tagBITMAPINFOHEADER *info) {
    uint16_t bits;
    std::memcpy(&bits, reinterpret_cast<const uint8_t *>(info) + 14, sizeof bits);
    return bits;
}

}  // namespace

bool CanvasUsable(const PlugInBrushContext *ctx) {
    if (!ctx || !ctx->canvasInfo || !ctx->canvasBits) return false;
    if (ctx->width <= 0 || ctx->height <= 0 || ctx->stride <= 0) return false;
    if (BitCountOf(ctx->canvasInfo) != 24) return false;
    if (static_cast<int64_t>(ctx->stride) < 3 * static_cast<int64_t>(ctx->width)) return false;
    // The rows must be addressable with size_t arithmetic.
    const uint64_t bytes = static_cast<uint64_t>(ctx->stride) * static_cast<uint64_t>(ctx->height);
    return bytes <= static_cast<uint64_t>(SIZE_MAX);
}

CanvasView CanvasOf(const PlugInBrushContext *ctx) {
    CanvasView view;
    view.bits = ctx->canvasBits;
    view.width = ctx->width;
    view.height = ctx->height;
    view.stride = static_cast<size_t>(ctx->stride);
    return view;
}

}  // namespace brush
