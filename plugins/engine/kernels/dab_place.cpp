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

// A centre computed in double precision, truncated toward zero.  Within
// the limit it fits 32 bits, whose conversion is one SSE2 instruction on
// both flavours (a 64-bit one costs two changes of the x87 control word
// on i686).
int64_t TruncCoord(double v) {
    const double limit = static_cast<double>(kCoordLimit) * 4;
    if (!(v > -limit)) return -static_cast<int64_t>(limit);  // also NaN
    if (v > limit) return static_cast<int64_t>(limit);
    return static_cast<int32_t>(v);
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

// 32-bit placement needs no saturation.
inline int32_t Saturate32(int32_t v) { return v; }

// Places a dab centred on (x, y) (top-down) and grows the rectangle.  Left
// and rowStart are clipped, right and rowEnd are not, so the rectangle may
// reach past the right and top edges; it takes one spare row above the dab.
// Int is int64_t in general; int32_t gives the same results when the tip,
// canvas and centre are narrow (see Narrow and NarrowCentre).
template <typename Int>
void PlaceAt(const PlugInBrushContext *ctx, Int x, Int y, int32_t n, DabPlace *place, DirtyRect *rect) {
    const Int width = ctx->width, height = ctx->height;
    const Int tipW = ctx->tipWidth, tipH = ctx->tipHeight;
    const Int row = height - 1 - y;

    Int left = x - tipW / 2;
    const Int right = x + (tipW + 1) / 2;
    Int sizeW = tipW, tipX = 0;
    if (left < 0) {
        sizeW += left;
        tipX = -left;
        left = 0;
    }
    if (right > width) sizeW -= right - width;
    if (sizeW < 0) sizeW = 0;

    Int rowStart = row - tipH / 2;
    const Int rowEnd = row + (tipH + 1) / 2;
    Int sizeH = tipH, tipY = 0;
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

// With centres within +-2^27 (NarrowCentre), tip sides within 0..2^24 and
// canvas sides within +-2^28, every value PlaceAt forms stays below 2^30 in
// magnitude, so 32-bit arithmetic gives the 64-bit results.
constexpr int64_t kNarrowCentre = int64_t{1} << 27;

bool NarrowCentre(int64_t x, int64_t y) {
    return x >= -kNarrowCentre && x <= kNarrowCentre && y >= -kNarrowCentre && y <= kNarrowCentre;
}

bool Narrow(const PlugInBrushContext *ctx) {
    constexpr int32_t kTipLimit = 1 << 24, kCanvasLimit = 1 << 28;
    return ctx->tipWidth >= 0 && ctx->tipWidth <= kTipLimit && ctx->tipHeight >= 0 &&
           ctx->tipHeight <= kTipLimit && ctx->width >= -kCanvasLimit && ctx->width <= kCanvasLimit &&
           ctx->height >= -kCanvasLimit && ctx->height <= kCanvasLimit;
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

DabWalk::DabWalk(EngineState &engine, PlugInBrushContext *ctx, const DabSpacing &spacing)
    : ctx_(ctx), kind_(spacing.kind) {
    if (!ctx) return;
    if (kind_ == DabSpacing::kPressure && ctx->pressure < 2) return;  // nothing below pressure 2
    const Segment s = SegmentOf(engine, ctx);
    prevX_ = s.prevX;
    prevY_ = s.prevY;
    curX_ = s.curX;
    curY_ = s.curY;
    dist8_ = s.dist8;
    narrow_ = Narrow(ctx);
    path_ = dist8_ == 0 ? Path::kSingle : Path::kAlong;
    if (path_ == Path::kSingle) return;
    switch (kind_) {
    case DabSpacing::kPressure:
        diag8_ = TipDiagonal8(engine, ctx);
        pressure_ = ctx->pressure;
        spacing8_ = diag8_ * pressure_ / 1024;
        lead8_ = diag8_ / 24;
        break;
    case DabSpacing::kRatio: {
        const int64_t diag8 = TipDiagonal8(engine, ctx);
        diagK_ = diag8 * RatioSpacingK(spacing.percent);
        spacingK8_ = diagK_ / 128;
        break;
    }
    case DabSpacing::kPixel:
        break;
    }
}

int DabWalk::Place(DabPlace *place, DirtyRect *rect, int32_t n) const {
    if (!place || !rect || n < 0 || path_ == Path::kNone) return 0;
    int64_t x = 0, y = 0;
    if (path_ == Path::kSingle) {  // cur = prev: exactly one dab, on cur
        if (n != 0) return 0;
        x = curX_;
        y = curY_;
    } else {
        switch (kind_) {
        case DabSpacing::kPressure: {
            if (n == 0 && spacing8_ > dist8_) {
                PullBack(ctx_, rect);
                return 0;
            }
            if (dist8_ < (diag8_ * n / 8 + lead8_) * pressure_ / 128) return 0;
            // Written in the order of the formula: the products of integers
            // are exact in double precision, so only the division rounds.
            const double divisor = dist8_ * 128.0;
            const double factor = (n + 1.0) * diag8_ * pressure_ * 0.125;
            x = TruncCoord(prevX_ + static_cast<double>(curX_ - prevX_) * factor / divisor);
            y = TruncCoord(prevY_ + static_cast<double>(curY_ - prevY_) * factor / divisor);
            break;
        }
        case DabSpacing::kRatio: {
            if (n == 0 && dist8_ < spacingK8_) {
                PullBack(ctx_, rect);
                return 0;
            }
            if (diagK_ * n / 128 + diagK_ / 384 > dist8_) return 0;
            // n is bounded by the test above, so these products stay below 2^53.
            const int64_t scale = (n + int64_t{1}) * diagK_;
            const int64_t divisor = int64_t{dist8_} * 128;
            x = prevX_ + (curX_ - prevX_) * scale / divisor;
            y = prevY_ + (curY_ - prevY_) * scale / divisor;
            break;
        }
        case DabSpacing::kPixel: {
            if (n > static_cast<int32_t>(dist8_ / 8)) return 0;
            const int64_t scale = (n + int64_t{1}) * 8;
            x = prevX_ + (curX_ - prevX_) * scale / dist8_;
            y = prevY_ + (curY_ - prevY_) * scale / dist8_;
            break;
        }
        }
    }
    if (narrow_ && NarrowCentre(x, y)) {
        PlaceAt<int32_t>(ctx_, static_cast<int32_t>(x), static_cast<int32_t>(y), n, place, rect);
    } else {
        PlaceAt<int64_t>(ctx_, x, y, n, place, rect);
    }
    return 1;
}

int GetDabPlace(EngineState &engine, PlugInBrushContext *ctx, DabPlace *place, DirtyRect *rect, int32_t n) {
    return PlaceDab(engine, ctx, place, rect, DabSpacing::Pressure(), n);
}

int GetDabPlaceByRatio(EngineState &engine, PlugInBrushContext *ctx, DabPlace *place, DirtyRect *rect,
                       int32_t percent, int32_t n) {
    return PlaceDab(engine, ctx, place, rect, DabSpacing::Ratio(percent), n);
}

int GetDabPlaceByPixel(EngineState &engine, PlugInBrushContext *ctx, DabPlace *place, DirtyRect *rect,
                       int32_t n) {
    return PlaceDab(engine, ctx, place, rect, DabSpacing::Pixel(), n);
}

int PlaceDab(EngineState &engine, PlugInBrushContext *ctx, DabPlace *place, DirtyRect *rect,
             const DabSpacing &spacing, int32_t n) {
    if (!ctx || !place || !rect || n < 0) return 0;
    return DabWalk(engine, ctx, spacing).Place(place, rect, n);
}

}  // namespace brush
