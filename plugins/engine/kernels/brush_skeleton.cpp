// The command skeleton every brush entry point follows.
//
//   BRUSHCMD_PAINT    BeginBrushDraw with the plug-in's lock (0 if it
//                     fails); with the pick flag the colour under cur is
//                     picked, otherwise the brush lays its dabs;
//                     EndBrushDraw hands back the rectangle.
//   BRUSHCMD_BEGIN    with the pick flag: pick the colour; else the
//                     brush's own stroke start.  1 unless the brush refuses.
//   BRUSHCMD_END      the brush's own stroke end; 1.
//   BRUSHCMD_SELECT   the brush builds its tip.
//   BRUSHCMD_RELEASE  FreeBrushBuffers; 1.
//   BRUSHCMD_PREVIEW  the brush's own preview, else its painting step
//                     previewRuns times over the preview background, else
//                     DrawBrushPreview.
//   other             0.  A NULL record gives 0 for every command.
#include "brush_engine.h"

namespace brush {

namespace {

bool Picks(const PlugInBrushContext *ctx, const BrushOps &ops) {
    return ops.picksColor && (ctx->flags & BRUSHKEY_CONTROL);
}

int32_t Paint(EngineState &engine, PlugInBrushContext *ctx, const BrushOps &ops) {
    BrushLock *lock = engine.lock;
    if (!BeginBrushDraw(ctx, lock)) return 0;
    DirtyRect rect;
    if (Picks(ctx, ops)) {
        PickCanvasColor(ctx, &rect);
        return EndBrushDraw(ctx, lock, &rect);
    }
    if (!ops.paint) return EndBrushDraw(ctx, lock, &rect);
    switch (ops.paint(engine, ctx, rect)) {
    case PaintResult::kPainted:
        return EndBrushDraw(ctx, lock, &rect);
    case PaintResult::kRefusedEmpty: {
        const DirtyRect empty;
        EndBrushDraw(ctx, lock, &empty);
        return 0;
    }
    case PaintResult::kRefusedUntouched:
        break;
    }
    if (lock) lock->Leave();
    return 0;
}

int32_t Begin(EngineState &engine, PlugInBrushContext *ctx, const BrushOps &ops) {
    if (Picks(ctx, ops)) {
        PickCanvasColor(ctx, nullptr);
        return 1;
    }
    return ops.beginStroke ? ops.beginStroke(engine, ctx) : 1;
}

}  // namespace

int32_t RunBrush(EngineState &engine, PlugInBrushContext *ctx, const BrushOps &ops) {
    if (!ctx) return 0;
    // Selecting, releasing and previewing may rebuild or replace the tip
    // by whatever means the brush has: nothing cached about a tip outlives
    // them.
    if (ctx->command == BRUSHCMD_SELECT || ctx->command == BRUSHCMD_RELEASE ||
        ctx->command == BRUSHCMD_PREVIEW) {
        ++engine.tipGeneration;
    }
    switch (ctx->command) {
    case BRUSHCMD_PAINT:
        return Paint(engine, ctx, ops);
    case BRUSHCMD_BEGIN:
        return Begin(engine, ctx, ops);
    case BRUSHCMD_END:
        return ops.endStroke ? ops.endStroke(engine, ctx) : 1;
    case BRUSHCMD_SELECT:
        return ops.buildTip ? ops.buildTip(engine, ctx) : 0;
    case BRUSHCMD_RELEASE:
        return FreeBrushBuffers(engine, ctx);
    case BRUSHCMD_PREVIEW:
        if (ops.preview) return ops.preview(engine, ctx);
        if (ops.previewRuns > 0) return PreviewByRepeatedPaint(engine, ctx, ops, ops.previewRuns);
        return DrawBrushPreview(engine, ctx, ops.previewStrength);
    default:
        return 0;
    }
}

int32_t PreviewByRepeatedPaint(EngineState &engine, PlugInBrushContext *ctx, const BrushOps &ops,
                               int32_t runs) {
    if (!FillPreviewBackground(ctx)) return 0;
    ctx->command = BRUSHCMD_PAINT;
    for (int32_t k = 0; k < runs; ++k) {
        if (!RunBrush(engine, ctx, ops)) return 0;
    }
    return 1;
}

}  // namespace brush
