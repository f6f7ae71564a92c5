// The bracket around every painting call: the validity check, the Shift
// constraint and the lock (BeginBrushDraw), the hand-back of the dirty
// rectangle (EndBrushDraw), and the colour pick that runs inside it.
#include "brush_engine.h"

namespace brush {

namespace {

int64_t Abs64(int64_t v) { return v < 0 ? -v : v; }

// With Shift held the stroke stays on the horizontal or vertical line
// through its start.  The first segment decides by cur, later ones by prev,
// so the direction chosen at the first move holds for the whole stroke.
void ApplyShiftConstraint(PlugInBrushContext *ctx) {
    const bool firstSegment = ctx->prevX == ctx->startX && ctx->prevY == ctx->startY;
    const int64_t refX = firstSegment ? ctx->curX : ctx->prevX;
    const int64_t refY = firstSegment ? ctx->curY : ctx->prevY;
    if (Abs64(refX - ctx->startX) > Abs64(refY - ctx->startY)) {
        ctx->curY = ctx->startY;
    } else {
        ctx->curX = ctx->startX;  // a tie goes vertical
    }
}

bool TipUsable(const PlugInBrushContext *ctx) {
    return ctx->tipBits && ctx->tipWidth > 0 && ctx->tipHeight > 0 &&
           ctx->tipWidth <= kMaxTipSide && ctx->tipHeight <= kMaxTipSide;
}

}  // namespace

int BeginBrushDraw(PlugInBrushContext *ctx, BrushLock *lock) {
    if (!CanvasUsable(ctx) || !TipUsable(ctx)) return 0;
    if (ctx->flags & BRUSHKEY_SHIFT) ApplyShiftConstraint(ctx);
    if (lock) lock->Enter();
    return 1;
}

int EndBrushDraw(PlugInBrushContext *ctx, BrushLock *lock, const DirtyRect *rect) {
    const bool complete = ctx && rect;
    if (complete) {
        ctx->dirtyLeft = rect->left;
        ctx->dirtyTop = rect->top;
        ctx->dirtyRight = rect->right;
        ctx->dirtyBottom = rect->bottom;
    }
    // The lock is left on every path: a painting call never returns
    // holding it.
    if (lock) lock->Leave();
    return complete ? 1 : 0;
}

int PickCanvasColor(PlugInBrushContext *ctx, DirtyRect *rect) {
    if (!BeginBrushDraw(ctx, nullptr)) return 0;
    if (ctx->curX >= 0 && ctx->curX < ctx->width && ctx->curY >= 0 && ctx->curY < ctx->height) {
        const uint8_t *pixel = CanvasOf(ctx).Pixel(ctx->curX, ctx->height - 1 - ctx->curY);
        ctx->color = BRUSH_COLOR_FLAG | (static_cast<uint32_t>(pixel[0]) << 16) |
                     (static_cast<uint32_t>(pixel[1]) << 8) | pixel[2];
    }
    if (rect) *rect = DirtyRect{};
    return 1;
}

}  // namespace brush
