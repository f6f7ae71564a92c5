// The round tip masks shared by the brushes, and the release of the
// plug-in's buffers.
//
// For a tip of size s >= 3, pixel (i, j) has the quarter-pixel radius
// r = TipRadius4(s, i, j), four times its distance from (s / 2, s / 2); the
// disc of the tip is r < 2s.  With peak p:
//   soft    trunc((cos(r pi / 2s) + 1) p / 2)
//   marker  p for r < s, else trunc((cos(2 (r - s) pi / 2s) + 1) p / 2)
//   roller  p for r < 2s - 4, else p / (r - 2s + 5)
// Size 2 gives four bytes p / 2; size 1 one byte p / 3 (soft) or p.
#include <cmath>

#include "brush_engine.h"
#include "brush_platform.h"

namespace brush {

namespace {

constexpr double kPi = 3.1415926535;

// Largest buffer the engine asks for in one piece.
constexpr uint64_t kMaxBufferBytes = 0x7FFF0000u;

uint8_t RaisedCosine(double angle, int32_t peak) {
    return static_cast<uint8_t>((std::cos(angle) + 1) * peak * 0.5);
}

// Small tips and the per-pixel rule shared by the three round masks.
template <typename Rule>
void FillRoundMask(EngineState &engine, uint8_t *mask, int32_t size, int32_t peak, int32_t sizeOnePeak, Rule rule) {
    if (!mask || size < 1) return;
    if (size == 1) {
        mask[0] = static_cast<uint8_t>(sizeOnePeak);
        return;
    }
    if (size == 2) {
        for (int k = 0; k < 4; ++k) mask[k] = static_cast<uint8_t>(peak / 2);
        return;
    }
    for (int32_t j = 0; j < size; ++j) {
        for (int32_t i = 0; i < size; ++i) {
            const int32_t r = static_cast<int32_t>(TipRadius4(engine, size, i, j));
            mask[static_cast<size_t>(j) * size + i] = rule(r);
        }
    }
}

int32_t TipSize(const PlugInBrushContext *ctx) { return ParamValue(ctx, 1); }
int32_t TipPeak(const PlugInBrushContext *ctx) { return PeakOfDensity(ParamValue(ctx, 2)); }

// Frees the old tip and builds a new one with `fill`.
int BuildSingleTip(EngineState &engine, PlugInBrushContext *ctx,
                   void (*fill)(EngineState &, uint8_t *, int32_t, int32_t)) {
    if (!ctx) return 0;
    ReleaseTipBuffers(engine, ctx);
    if (!ctx->tipParams) return 0;
    uint8_t *mask = AllocTipMasks(engine, ctx, TipSize(ctx), 1);
    if (!mask) return 0;
    fill(engine, mask, ctx->tipWidth, TipPeak(ctx));
    return 1;
}

void FreeField(void *&field) {
    FreeBrushBuffer(field);
    field = nullptr;
}

}  // namespace

void ReleaseTipBuffers(EngineState &engine, PlugInBrushContext *ctx) {
    if (!ctx) return;
    ++engine.tipGeneration;
    FreeField(ctx->tipBits);
    FreeField(ctx->workBits);
}

uint8_t *AllocTipMasks(EngineState &engine, PlugInBrushContext *ctx, int32_t size, int32_t variants) {
    if (!ctx) return nullptr;
    ++engine.tipGeneration;
    FreeField(ctx->tipBits);
    ctx->tipWidth = ctx->tipHeight = 0;
    if (size < 1 || size > kMaxTipSide || variants < 1) return nullptr;
    const uint64_t bytes = static_cast<uint64_t>(size) * static_cast<uint64_t>(size) *
                           static_cast<uint64_t>(variants);
    if (bytes > kMaxBufferBytes) return nullptr;
    void *mask = AllocBrushBuffer(static_cast<size_t>(bytes));
    if (!mask) return nullptr;
    ctx->tipBits = mask;
    ctx->tipWidth = ctx->tipHeight = size;
    return static_cast<uint8_t *>(mask);
}

void FillSoftMask(EngineState &engine, uint8_t *mask, int32_t size, int32_t peak) {
    FillRoundMask(engine, mask, size, peak, peak / 3, [size, peak](int32_t r) -> uint8_t {
        return r < 2 * size ? RaisedCosine(r * kPi / (2 * size), peak) : 0;
    });
}

void FillMarkerMask(EngineState &engine, uint8_t *mask, int32_t size, int32_t peak) {
    FillRoundMask(engine, mask, size, peak, peak, [size, peak](int32_t r) -> uint8_t {
        if (r < size) return static_cast<uint8_t>(peak);
        return r < 2 * size ? RaisedCosine(2.0 * (r - size) * kPi / (2 * size), peak) : 0;
    });
}

void FillRollerMask(EngineState &engine, uint8_t *mask, int32_t size, int32_t peak) {
    FillRoundMask(engine, mask, size, peak, peak, [size, peak](int32_t r) -> uint8_t {
        if (r < 2 * size - 4) return static_cast<uint8_t>(peak);
        return r < 2 * size ? static_cast<uint8_t>(peak / (r - 2 * size + 5)) : 0;
    });
}

int MakeSoftTip(EngineState &engine, PlugInBrushContext *ctx) {
    return BuildSingleTip(engine, ctx, FillSoftMask);
}
int MakeMarkerTip(EngineState &engine, PlugInBrushContext *ctx) {
    return BuildSingleTip(engine, ctx, FillMarkerMask);
}
int MakeRollerTip(EngineState &engine, PlugInBrushContext *ctx) {
    return BuildSingleTip(engine, ctx, FillRollerMask);
}

int FreeBrushBuffers(EngineState &engine, PlugInBrushContext *ctx) {
    if (!ctx) return 0;
    ++engine.tipGeneration;
    FreeField(ctx->tipBits);
    FreeField(ctx->workBits);
    FreeField(ctx->spareBits);
    return 1;
}

}  // namespace brush
