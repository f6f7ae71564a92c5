// What the Penlith benchmarks share: the plug-in loaded from the product
// folder, the long test stroke, a 24-bit canvas, and the brush driven the
// way the brush manager drives it.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "bench_support.h"
#include "brush_engine.h"

namespace penlith_bench {

// The canvas every benchmark stroke is painted on.
constexpr int32_t kWidth = 1920, kHeight = 1080;

// Penlith.brs from the current folder (tools/bench runs in build/dist) or
// from ..\dist beside this program's folder; null when neither loads.
HMODULE LoadPenlith();

// The brush Penlith exports as `name`; null for a null module or a name it
// does not export.
PlugInBrushProc Entry(HMODULE module, const char *name);

// The stroke: a looping curve over the kWidth x kHeight canvas, sampled
// about every 6 pixels.
std::vector<POINT> StrokePoints();

// A 24-bit bottom-up canvas with its header.
struct Canvas {
    int32_t width, height, stride;
    BITMAPINFOHEADER info{};
    std::vector<uint8_t> bits;
    Canvas(int32_t w = kWidth, int32_t h = kHeight);
    // Fills the bytes with a fixed hash pattern, the same on every run.
    void FillNoise();
    uint8_t *Row(int32_t memoryRow) { return bits.data() + static_cast<size_t>(memoryRow) * stride; }
};

void AttachCanvas(PlugInBrushContext &ctx, Canvas &canvas);

// Writes the canvas as a 24-bit BMP file; false when it cannot.
bool WriteBmp(const char *path, const Canvas &canvas);

// Selects the brush with the three parameter values (kept in `params`,
// which must outlive the selection); false when it refuses.
bool SelectBrush(PlugInBrushProc brush, PlugInBrushContext &ctx, BrushParam (&params)[3], int32_t size,
                 int32_t density, int32_t third, uint32_t color);
void ReleaseBrush(PlugInBrushProc brush, PlugInBrushContext &ctx);

// One stroke as the manager drives it at a constant pressure: `paint(ctx,
// true)` at the first point, then `paint(ctx, false)` for every further
// one (prev = cur as the brush left it).
template <typename Paint>
void DriveStroke(PlugInBrushContext &ctx, const std::vector<POINT> &points, int32_t pressure, Paint &&paint) {
    ctx.curX = ctx.prevX = ctx.startX = points[0].x;
    ctx.curY = ctx.prevY = ctx.startY = points[0].y;
    ctx.flags = BRUSHKEY_LBUTTON;
    ctx.pressure = pressure;
    paint(ctx, true);
    for (size_t k = 1; k < points.size(); ++k) {
        ctx.prevX = ctx.curX;
        ctx.prevY = ctx.curY;
        ctx.curX = points[k].x;
        ctx.curY = points[k].y;
        paint(ctx, false);
    }
}

// The whole stroke through the entry point: begin, a paint per point, end.
void PaintThroughEntry(PlugInBrushProc brush, PlugInBrushContext &ctx, const std::vector<POINT> &points,
                       int32_t pressure);

// The dabs the engine places along the stroke for the selected tip with
// the brush's spacing; `tipPixels`, when given, receives their total area.
std::vector<brush::DabPlace> PlaceDabs(const PlugInBrushContext &selected, const brush::DabSpacing &spacing,
                                       const std::vector<POINT> &points, int32_t pressure,
                                       int64_t *tipPixels = nullptr);

// Best times of the plug-in and of the reference loop, and whether their
// canvases came out byte for byte equal.
struct Timing {
    double engine = 1e30, scalar = 1e30;
    bool identical = false;
};

// The seconds one run of f takes.
template <typename F>
double Seconds(F &&f) {
    const double start = pintora_bench::Now();
    f();
    return pintora_bench::Now() - start;
}

// Runs the plug-in and the reference `repeats` times each, every run on a
// fresh copy of `pristine`: engine(canvas) and reference(canvas) paint the
// canvas and return the seconds of their timed part.  Keeps the best time
// of each; identical holds when every run left both canvases byte for byte
// equal.
template <typename Engine, typename Reference>
Timing BestOfRuns(int repeats, const Canvas &pristine, Engine &&engine, Reference &&reference) {
    Timing t;
    t.identical = true;
    Canvas engineCanvas(pristine.width, pristine.height), scalarCanvas(pristine.width, pristine.height);
    for (int r = 0; r < repeats; ++r) {
        engineCanvas.bits = pristine.bits;
        t.engine = std::min(t.engine, engine(engineCanvas));
        scalarCanvas.bits = pristine.bits;
        t.scalar = std::min(t.scalar, reference(scalarCanvas));
        t.identical = t.identical && engineCanvas.bits == scalarCanvas.bits;
    }
    return t;
}

// Prints the figures of one brush as name.dabs, name.engine, name.scalar
// (ns per dab, and ns per tip pixel when tipPixels is above 0),
// name.ratio_vs_scalar and name.identical.
void ReportTiming(const std::string &name, size_t dabs, int64_t tipPixels, const Timing &t);

}  // namespace penlith_bench
