// The stamps: their masks, their painting and the command skeleton they
// share.
#include "stamp_brushes.h"

#include <cstdlib>
#include <cstring>

#include "brush_platform.h"

namespace stampwell {

// ------------------------------------------------------------- masks --

int ScaleStampMask(const uint8_t *src, int32_t sw, int32_t sh, size_t srcStride, uint8_t *dst, int32_t dw,
                   int32_t dh, int32_t gain) {
    if (!src || !dst || sw < 2 || sh < 2 || dw < 2 || dh < 2 || srcStride < static_cast<size_t>(sw)) return 0;
    const int64_t maxFx = 64 * int64_t{sw} - 65, maxFy = 64 * int64_t{sh} - 65;
    for (int32_t y = 0; y < dh; ++y) {
        int64_t fy = int64_t{y} * (64 * int64_t{sh} - 64) / (dh - 1);
        if (fy > maxFy) fy = maxFy;
        const int32_t wy = static_cast<int32_t>(fy % 64);
        const uint8_t *upper = src + static_cast<size_t>(fy / 64) * srcStride;
        const uint8_t *lower = upper + srcStride;
        uint8_t *out = dst + static_cast<size_t>(y) * static_cast<size_t>(dw);
        for (int32_t x = 0; x < dw; ++x) {
            int64_t fx = int64_t{x} * (64 * int64_t{sw} - 64) / (dw - 1);
            if (fx > maxFx) fx = maxFx;
            const size_t sc = static_cast<size_t>(fx / 64);
            const int32_t wx = static_cast<int32_t>(fx % 64);
            const int32_t top = upper[sc] + (upper[sc + 1] - upper[sc]) * wx / 64;
            const int32_t value = (top * (64 - wy) + lower[sc] * wy) / 64;
            out[x] = static_cast<uint8_t>(value * gain / 255);
        }
    }
    return 1;
}

int32_t StampSide(PlugInBrushContext *ctx) {
    const int32_t asked = brush::ParamValue(ctx, 1);
    if (asked >= kMinStampSide) return asked;
    if (ctx && ctx->tipParams) ctx->tipParams[0].value = kMinStampSide;
    return kMinStampSide;
}

int32_t KeepStamp(brush::EngineState &engine, PlugInBrushContext *ctx, int32_t side, int32_t count,
                  const ScaledPictures &pictures, const MaskStrip &masks) {
    if (!ctx || side < kMinStampSide || side > brush::kMaxTipSide || count < 1 || !pictures.bits ||
        !masks.bits || masks.width < 2 || masks.frameHeight < 2 || masks.stride < static_cast<size_t>(masks.width)) {
        return 0;
    }
    const uint64_t rows = uint64_t{static_cast<uint32_t>(side)} * static_cast<uint32_t>(count);
    if (rows > INT32_MAX || pictures.stride < 3 * static_cast<size_t>(side) || pictures.stride > UINT32_MAX ||
        pictures.bytes / pictures.stride < rows) {
        return 0;
    }
    void *work = brush::AllocBrushBuffer(pictures.bytes);
    if (!work) return 0;
    uint8_t *tips = brush::AllocTipMasks(engine, ctx, side, count);
    if (!tips) {
        brush::FreeBrushBuffer(work);
        return 0;
    }
    std::memcpy(work, pictures.bits, pictures.bytes);
    const int32_t gain = brush::PeakOfDensity(brush::ParamValue(ctx, 2));
    const size_t maskBytes = static_cast<size_t>(side) * static_cast<size_t>(side);
    for (int32_t v = 0; v < count; ++v) {
        const uint8_t *picture =
            masks.bits + static_cast<size_t>(v) * static_cast<size_t>(masks.frameHeight) * masks.stride;
        ScaleStampMask(picture, masks.width, masks.frameHeight, masks.stride, tips + v * maskBytes, side, side,
                       gain);
    }
    ctx->workBits = work;
    ctx->tipVariantCount = count;
    ctx->color3 = static_cast<uint32_t>(pictures.stride);
    return 1;
}

// ---------------------------------------------------------- painting --

namespace {

// The colour strip a selected stamp keeps: usable when it holds the rows
// and columns of all its pictures.
bool PicturesUsable(const PlugInBrushContext *ctx) {
    return ctx->workBits && ctx->tipVariantCount > 0 && ctx->tipWidth == ctx->tipHeight &&
           ctx->color3 >= 3 * static_cast<uint32_t>(ctx->tipWidth);
}

// One dab of picture v through its mask, for every mask byte t > 0:
//     cv      = clamp(pressure + t - 128, 0, 128)
//     channel = old + (picture - old) x cv / 128, truncated toward zero
void LayPicture(const brush::CanvasView &canvas, const brush::DabPlace &place, const PlugInBrushContext *ctx,
                int32_t v) {
    const int32_t side = ctx->tipWidth;
    const uint8_t *mask = brush::TipMask(ctx, v);
    const auto *pictures = static_cast<const uint8_t *>(ctx->workBits);
    const size_t pictureRow0 = static_cast<size_t>(v) * static_cast<size_t>(side);
    for (int32_t j = 0; j < place.sizeH; ++j) {
        const size_t tipRow = static_cast<size_t>(place.tipY + j);
        const uint8_t *t = mask + tipRow * static_cast<size_t>(side) + place.tipX;
        const uint8_t *colour = pictures + (pictureRow0 + tipRow) * ctx->color3 + 3 * static_cast<size_t>(place.tipX);
        uint8_t *pixel = canvas.Pixel(place.canvasX, place.canvasRow + j);
        for (int32_t i = 0; i < place.sizeW; ++i, pixel += 3, colour += 3) {
            const int32_t cv = brush::StandardCoverage(t[i], ctx->pressure);
            if (cv == 0) continue;
            pixel[0] = brush::BlendChannel(pixel[0], colour[0], cv);
            pixel[1] = brush::BlendChannel(pixel[1], colour[1], cv);
            pixel[2] = brush::BlendChannel(pixel[2], colour[2], cv);
        }
    }
}

// Spacing: 8 x parameter 3 percent of the tip diagonal (interval 12, the
// default, nearly touching; 1 overlapping; 32 wide gaps).
brush::PaintResult PaintStamps(brush::EngineState &engine, PlugInBrushContext *ctx, brush::DirtyRect &rect) {
    if (!PicturesUsable(ctx)) return brush::PaintResult::kRefusedUntouched;
    const brush::CanvasView canvas = brush::CanvasOf(ctx);
    const auto spacing = brush::DabSpacing::Ratio(8 * brush::ParamValue(ctx, 3));
    brush::LayDabs(engine, ctx, rect, spacing, [&](const brush::DabPlace &place) {
        engine.tipVariantIndex = std::rand() % ctx->tipVariantCount;
        LayPicture(canvas, place, ctx, engine.tipVariantIndex);
    });
    return brush::PaintResult::kPainted;
}

// A stroke start with the pick flag takes the colour under the pointer;
// painting never picks.
int BeginStamp(brush::EngineState &, PlugInBrushContext *ctx) {
    if (ctx->flags & BRUSHKEY_CONTROL) brush::PickCanvasColor(ctx, nullptr);
    return 1;
}

template <int32_t Strip, int32_t Pictures>
int BuildStamp(brush::EngineState &engine, PlugInBrushContext *ctx) {
    const int32_t frame[2] = {kPictureSide, kPictureSide};
    return CreateStamp(engine, ctx, Strip, frame, Pictures);
}

// Every stamp: its own strip on select, one dab painted for the preview.
template <int32_t Strip, int32_t Pictures>
int32_t RunStamp(brush::EngineState &engine, PlugInBrushContext *ctx) {
    static const brush::BrushOps ops = [] {
        brush::BrushOps o;
        o.buildTip = BuildStamp<Strip, Pictures>;
        o.paint = PaintStamps;
        o.beginStroke = BeginStamp;
        o.previewRuns = 1;
        o.picksColor = false;
        return o;
    }();
    return brush::RunBrush(engine, ctx, ops);
}

}  // namespace

#define STAMPWELL_STAMP(name, ordinal, strip, pictures)                 \
    int32_t name(brush::EngineState &engine, PlugInBrushContext *ctx) { \
        return RunStamp<strip, pictures>(engine, ctx);                  \
    }
#include "stamp_list.h"
#undef STAMPWELL_STAMP

}  // namespace stampwell
