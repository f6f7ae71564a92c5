// Distances and the placement of dabs along the segment prev -> cur: where
// dab n lies, how much of the tip falls inside the canvas, and the dirty
// rectangle the dabs of one call add up to.
//
// Distances are in eighths of a pixel.  With D = eight times the tip's
// diagonal and dist8 = eight times the segment's length:
//   by pressure  spacing s8 = D x pressure / 1024 (double); dab n exists
//                while dist8 >= (D n / 8 + D / 24) x pressure / 128, i.e.
//                dist8 >= s8 (n + 1/3); it lies (n + 1) spacings from prev.
//   by ratio     k = percent x 128 / 100, s8 = D k / 128 (integers); dab n
//                exists while D k n / 128 + D k / 384 <= dist8.
//   by pixel     dabs n = 0 .. dist8 / 8, one pixel apart.
// cur = prev places exactly one dab, on cur.
#include <cmath>
#include <limits>

#include "brush_engine.h"

namespace brush {

namespace {

// Points this far out are off any canvas; keeping them here keeps every
// product below 2^63.
constexpr int64_t kCoordLimit = int64_t{1} << 24;

int64_t Coord(int32_t v) {
    return v > kCoordLimit ? kCoordLimit : (v < -kCoordLimit ? -kCoordLimit : v);
}

int32_t Saturate32(int64_t v) {
    if (v > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
    if (v < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(v);
}

// A centre computed in double precision, truncated toward zero.
int64_t TruncCoord(double v) {
    const double limit = static_cast<double>(kCoordLimit) * 4;
    if (!(v > -limit)) return -static_cast<int64_t>(limit);  // also NaN
    if (v > limit) return static_cast<int64_t>(limit);
    return static_cast<int64_t>(v);
}

// The segment of the current call, cur possibly pulled back later.
struct Segment {
    int64_t prevX, prevY, curX, curY;
    uint32_t dist8;
};

Segment SegmentOf(EngineState &engine, const PlugInBrushContext *ctx) {
    Segment s;
    s.prevX = Coord(ctx->prevX);
    s.prevY = Coord(ctx->prevY);
    s.curX = Coord(ctx->curX);
    s.curY = Coord(ctx->curY);
    // Each dab of a call measures the same segment: its root is taken once.
    const int32_t ends[4] = {ctx->curX, ctx->curY, ctx->prevX, ctx->prevY};
    if (!engine.segmentKept || ends[0] != engine.segmentEnds[0] || ends[1] != engine.segmentEnds[1] ||
        ends[2] != engine.segmentEnds[2] || ends[3] != engine.segmentEnds[3]) {
        engine.segment8 = GetDistance8(engine, ends[0], ends[1], ends[2], ends[3]);
        for (int k = 0; k < 4; ++k) engine.segmentEnds[k] = ends[k];
        engine.segmentKept = true;
    }
    s.dist8 = engine.segment8;
    return s;
}

// The pointer has not moved one spacing yet: keep the anchor where it is.
void PullBack(PlugInBrushContext *ctx, DirtyRect *rect) {
    ctx->curX = ctx->prevX;
    ctx->curY = ctx->prevY;
    *rect = DirtyRect{};
}

// Places a dab centred on (x, y) (top-down) and grows the rectangle.  Left
// and rowStart are clipped, right and rowEnd are not, so the rectangle may
// reach past the right and top edges; it takes one spare row above the dab.
void PlaceAt(const PlugInBrushContext *ctx, int64_t x, int64_t y, int32_t n, DabPlace *place,
             DirtyRect *rect) {
    const int64_t width = ctx->width, height = ctx->height;
    const int64_t tipW = ctx->tipWidth, tipH = ctx->tipHeight;
    const int64_t row = height - 1 - y;

    int64_t left = x - tipW / 2;
    const int64_t right = x + (tipW + 1) / 2;
    int64_t sizeW = tipW, tipX = 0;
    if (left < 0) {
        sizeW += left;
        tipX = -left;
        left = 0;
    }
    if (right > width) sizeW -= right - width;
    if (sizeW < 0) sizeW = 0;

    int64_t rowStart = row - tipH / 2;
    const int64_t rowEnd = row + (tipH + 1) / 2;
    int64_t sizeH = tipH, tipY = 0;
    if (rowStart < 0) {
        sizeH += rowStart;
        tipY = -rowStart;
        rowStart = 0;
    }
    if (rowEnd > height) sizeH -= rowEnd - height;
    if (sizeH < 0) sizeH = 0;

    place->tipX = Saturate32(tipX);
    place->tipY = Saturate32(tipY);
    place->canvasX = Saturate32(left);
    place->canvasRow = Saturate32(rowStart);
    place->sizeW = Saturate32(sizeW);
    place->sizeH = Saturate32(sizeH);

    const int32_t dabLeft = Saturate32(left);
    const int32_t dabTop = Saturate32(height - rowEnd - 1);
    const int32_t dabRight = Saturate32(right);
    const int32_t dabBottom = Saturate32(height - rowStart);
    if (n == 0) *rect = DirtyRect{dabLeft, dabTop, dabRight, Saturate32(height - rowStart - 1)};
    if (dabLeft < rect->left) rect->left = dabLeft;
    if (dabTop < rect->top) rect->top = dabTop;
    if (dabRight > rect->right) rect->right = dabRight;
    if (dabBottom > rect->bottom) rect->bottom = dabBottom;
}

// cur = prev: exactly one dab, on cur.
int PlaceSingle(PlugInBrushContext *ctx, const Segment &s, DabPlace *place, DirtyRect *rect,
                int32_t n) {
    if (n != 0) return 0;
    PlaceAt(ctx, s.curX, s.curY, 0, place, rect);
    return 1;
}

}  // namespace

uint32_t IntegerRoot(EngineState &engine, uint32_t v) {
    if (v < 2) return v;
    uint32_t g = engine.sqrtGuess;
    if (g == 0) g = 1;
    // Newton's step for the rounded root; its only fixed point is the g
    // with g (g - 1) <= v < g (g + 1), reached from any start in a few
    // dozen steps.  The bound only guards against a wrong start.
    for (int step = 0; step < 64; ++step) {
        // v / g in 32 bits (a plain divide on x86, not a 64-bit library
        // call); the sum can pass 2^32 when g is small.
        const uint32_t next = static_cast<uint32_t>((uint64_t{v / g} + g + 1) / 2);
        if (next == g) break;
        g = next;
    }
    while (uint64_t{g} * (g - 1) > v) --g;
    while (uint64_t{g} * (g + 1) <= v) ++g;
    if (g < 65536) engine.sqrtGuess = static_cast<uint16_t>(g);
    return g;
}

uint16_t GetDistance8(EngineState &engine, int32_t ax, int32_t ay, int32_t bx, int32_t by) {
    const int64_t dx = Coord(ax) - Coord(bx), dy = Coord(ay) - Coord(by);
    const uint64_t v = 64 * static_cast<uint64_t>(dx * dx + dy * dy);
    // 65535 eighths is over 8000 pixels: beyond that the distance saturates
    // instead of wrapping round to a short one.
    if (v >= uint64_t{65535} * 65536) return 65535;
    const uint32_t root = IntegerRoot(engine, static_cast<uint32_t>(v));
    return static_cast<uint16_t>(root > 65535 ? 65535 : root);
}

uint32_t TipDiagonal8(EngineState &engine, const PlugInBrushContext *ctx) {
    // Every dab asks again, alternating with the segment's length; keeping
    // the last diagonal spares the root a long way back from the distance.
    if (ctx->tipWidth == engine.diagonalTipWidth && ctx->tipHeight == engine.diagonalTipHeight &&
        engine.diagonal8 != 0) {
        return engine.diagonal8;
    }
    const uint64_t w = static_cast<uint64_t>(ctx->tipWidth), h = static_cast<uint64_t>(ctx->tipHeight);
    const uint64_t v = 64 * (w * w + h * h);
    const uint32_t diagonal = IntegerRoot(engine, v > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<uint32_t>(v));
    engine.diagonalTipWidth = ctx->tipWidth;
    engine.diagonalTipHeight = ctx->tipHeight;
    engine.diagonal8 = diagonal;
    return diagonal;
}

uint32_t TipRadius4(EngineState &engine, int32_t size, int32_t i, int32_t j) {
    const int64_t a = 2 * int64_t{size} - 4 * int64_t{i};
    const int64_t b = 2 * int64_t{size} - 4 * int64_t{j};
    const uint64_t v = static_cast<uint64_t>(a * a + b * b);
    return IntegerRoot(engine, v > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<uint32_t>(v));
}

int32_t RatioSpacingK(int32_t percent) {
    if (percent > 10000) percent = 10000;
    const int32_t k = percent * 128 / 100;
    return k < 1 ? 1 : k;
}

int GetDabPlace(EngineState &engine, PlugInBrushContext *ctx, DabPlace *place, DirtyRect *rect, int32_t n) {
    if (!ctx || !place || !rect || n < 0) return 0;
    if (ctx->pressure < 2) return 0;
    const Segment s = SegmentOf(engine, ctx);
    if (s.dist8 == 0) return PlaceSingle(ctx, s, place, rect, n);

    const double diag8 = TipDiagonal8(engine, ctx);
    const double pressure = ctx->pressure;
    const double spacing8 = diag8 * pressure / 1024;
    if (n == 0 && spacing8 > s.dist8) {
        PullBack(ctx, rect);
        return 0;
    }
    if (s.dist8 < (diag8 * n / 8 + diag8 / 24) * pressure / 128) return 0;

    // Written in the order of the formula: the products of integers are
    // exact in double precision, so only the division rounds.
    const double divisor = s.dist8 * 128.0;
    const double factor = (n + 1.0) * diag8 * pressure * 0.125;
    const int64_t x = TruncCoord(s.prevX + static_cast<double>(s.curX - s.prevX) * factor / divisor);
    const int64_t y = TruncCoord(s.prevY + static_cast<double>(s.curY - s.prevY) * factor / divisor);
    PlaceAt(ctx, x, y, n, place, rect);
    return 1;
}

int GetDabPlaceByRatio(EngineState &engine, PlugInBrushContext *ctx, DabPlace *place, DirtyRect *rect,
                       int32_t percent, int32_t n) {
    if (!ctx || !place || !rect || n < 0) return 0;
    const Segment s = SegmentOf(engine, ctx);
    if (s.dist8 == 0) return PlaceSingle(ctx, s, place, rect, n);

    const int64_t diag8 = TipDiagonal8(engine, ctx);
    const int64_t k = RatioSpacingK(percent);
    const int64_t spacing8 = diag8 * k / 128;
    if (n == 0 && s.dist8 < spacing8) {
        PullBack(ctx, rect);
        return 0;
    }
    if (diag8 * k * n / 128 + diag8 * k / 384 > s.dist8) return 0;

    // n is bounded by the test above, so these products stay below 2^53.
    const int64_t scale = (n + int64_t{1}) * diag8 * k;
    const int64_t divisor = int64_t{s.dist8} * 128;
    const int64_t x = s.prevX + (s.curX - s.prevX) * scale / divisor;
    const int64_t y = s.prevY + (s.curY - s.prevY) * scale / divisor;
    PlaceAt(ctx, x, y, n, place, rect);
    return 1;
}

int GetDabPlaceByPixel(EngineState &engine, PlugInBrushContext *ctx, DabPlace *place, DirtyRect *rect,
                       int32_t n) {
    if (!ctx || !place || !rect || n < 0) return 0;
    const Segment s = SegmentOf(engine, ctx);
    if (s.dist8 == 0) return PlaceSingle(ctx, s, place, rect, n);
    if (n > static_cast<int32_t>(s.dist8 / 8)) return 0;

    const int64_t scale = (n + int64_t{1}) * 8;
    const int64_t x = s.prevX + (s.curX - s.prevX) * scale / s.dist8;
    const int64_t y = s.prevY + (s.curY - s.prevY) * scale / s.dist8;
    PlaceAt(ctx, x, y, n, place, rect);
    return 1;
}

int PlaceDab(EngineState &engine, PlugInBrushContext *ctx, DabPlace *place, DirtyRect *rect,
             const DabSpacing &spacing, int32_t n) {
    switch (spacing.kind) {
    case DabSpacing::kRatio:
        return GetDabPlaceByRatio(engine, ctx, place, rect, spacing.percent, n);
    case DabSpacing::kPixel:
        return GetDabPlaceByPixel(engine, ctx, place, rect, n);
    case DabSpacing::kPressure:
        break;
    }
    return GetDabPlace(engine, ctx, place, rect, n);
}

}  // namespace brush
