// The command skeleton every brush entry point follows.
//
//   1 paint    BeginBrushDraw with the plug-in's lock (0 if it fails); with
//              the pick flag the colour under cur is picked, otherwise the
//              brush lays its dabs; EndBrushDraw hands back the rectangle.
//   2 begin    with the pick flag: pick the colour; else the brush's own
//              stroke start.  1 unless the brush refuses.
//   3 end      the brush's own stroke end; 1.
//   4 select   the brush builds its tip.
//   5 release  FreeBrushBuffers; 1.
//   6 preview  DrawBrushPreview (or the brush's own preview).
//   other      0.  A NULL record gives 0 for every command.
#include "brush_engine.h"
#include "brush_platform.h"

namespace brush {

namespace {

bool Picks(const PlugInBrushContext *ctx, const BrushOps &ops) {
    return ops.picksColor && (ctx->flags & BRUSHKEY_CONTROL);
}

int32_t Paint(PlugInBrushContext *ctx, const BrushOps &ops) {
    BrushLock *lock = ModuleLock();
    if (!BeginBrushDraw(ctx, lock)) return 0;
    DirtyRect rect;
    if (Picks(ctx, ops)) {
        PickCanvasColor(ctx, &rect);
        return EndBrushDraw(ctx, lock, &rect);
    }
    if (!ops.paint) return EndBrushDraw(ctx, lock, &rect);
    switch (ops.paint(ctx, rect)) {
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

int32_t Begin(PlugInBrushContext *ctx, const BrushOps &ops) {
    if (Picks(ctx, ops)) {
        PickCanvasColor(ctx, nullptr);
        return 1;
    }
    return ops.beginStroke ? ops.beginStroke(ctx) : 1;
}

}  // namespace

int32_t RunBrush(PlugInBrushContext *ctx, const BrushOps &ops) {
    if (!ctx) return 0;
    // Selecting, releasing and previewing may rebuild or replace the tip
    // by whatever means the brush has: nothing cached about a tip outlives
    // them.
    if (ctx->command == BRUSHCMD_SELECT || ctx->command == BRUSHCMD_RELEASE ||
        ctx->command == BRUSHCMD_PREVIEW) {
        ++Engine().tipGeneration;
    }
    switch (ctx->command) {
    case BRUSHCMD_PAINT:
        return Paint(ctx, ops);
    case BRUSHCMD_BEGIN:
        return Begin(ctx, ops);
    case BRUSHCMD_END:
        return ops.endStroke ? ops.endStroke(ctx) : 1;
    case BRUSHCMD_SELECT:
        return ops.buildTip ? ops.buildTip(ctx) : 0;
    case BRUSHCMD_RELEASE:
        return FreeBrushBuffers(ctx);
    case BRUSHCMD_PREVIEW:
        return ops.preview ? ops.preview(ctx)
                           : DrawBrushPreview(ctx, ModuleLock(), ops.previewStrength);
    default:
        return 0;
    }
}

int32_t PreviewByRepeatedPaint(PlugInBrushContext *ctx, const BrushOps &ops, int32_t runs) {
    if (!FillPreviewBackground(ctx)) return 0;
    ctx->command = BRUSHCMD_PAINT;
    for (int32_t k = 0; k < runs; ++k) {
        if (!RunBrush(ctx, ops)) return 0;
    }
    return 1;
}

}  // namespace brush
