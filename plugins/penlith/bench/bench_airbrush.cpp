// The airbrush's painting speed, against a plain scalar loop of the same
// blend in the same process.
//
// Run with:   tools/bench penlith_airbrush_bench     (or tools/bench for all)
//
// Xi_NormalBrush of the built Penlith.brs paints a long stroke (a looping
// curve over a 1920 x 1080 canvas, the pointer moving about 6 pixels a
// move) with its own spacing, at tip sizes 20 and 100, density 60.  The
// reference replays the same dabs (placed by the same engine code, linked
// in here) with the blend written as the formula, pixel by pixel:
//     channel = old + (target - old) x clamp(pressure + t - 128, 0, 128) / 128
// Printed per size:
//     airbrushS.engine        ns per dab and ns per tip pixel of the plug-in
//     airbrushS.scalar        the same for the reference loop
//     airbrushS.ratio_vs_scalar   engine time / reference time (goal <= 0.5)
//     airbrushS.identical     1 when both canvases are byte for byte equal
// The engine's time includes the whole entry point (placement, clipping,
// the rectangle); the reference's only the blend.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "bench_support.h"
#include "penlith_bench_support.h"

namespace {

using namespace penlith_bench;

constexpr int32_t kDensity = 60;
constexpr uint32_t kColor = 0x02306090;  // red 0x90, green 0x60, blue 0x30

// The reference: the blend written as the formula.
__attribute__((noinline)) void ScalarDabs(Canvas &canvas, const std::vector<brush::DabPlace> &places,
                                          const uint8_t *tip, int32_t tipWidth, brush::BgrColor target,
                                          int32_t pressure) {
    const int32_t channels[3] = {target.b, target.g, target.r};
    for (const brush::DabPlace &p : places) {
        for (int32_t j = 0; j < p.sizeH; ++j) {
            uint8_t *row = canvas.Row(p.canvasRow + j) + 3 * p.canvasX;
            const uint8_t *t = tip + static_cast<size_t>(p.tipY + j) * tipWidth + p.tipX;
            for (int32_t i = 0; i < p.sizeW; ++i) {
                if (t[i] == 0) continue;
                int32_t c = pressure + t[i] - 128;
                c = c < 0 ? 0 : (c > 128 ? 128 : c);
                for (int k = 0; k < 3; ++k) {
                    const int32_t old = row[3 * i + k];
                    row[3 * i + k] = static_cast<uint8_t>(old + (channels[k] - old) * c / 128);
                }
            }
        }
    }
}

void Measure(PlugInBrushProc airbrush, int32_t size, const std::vector<POINT> &points) {
    const std::string name = "airbrush" + std::to_string(size);
    BrushParam params[3] = {};

    // The plug-in's tip, and the dabs its engine places along the stroke.
    PlugInBrushContext plugin{};
    if (!SelectBrush(airbrush, plugin, params, size, kDensity, 0, kColor)) {
        std::printf("# %s: the brush refused its tip\n", name.c_str());
        return;
    }
    int64_t tipPixels = 0;
    const std::vector<brush::DabPlace> places =
        PlaceDabs(plugin, brush::DabSpacing::Pressure(), points, BRUSH_PRESSURE_FULL, &tipPixels);

    Canvas pristine;
    pristine.FillNoise();
    const Timing t = BestOfRuns(
        9, pristine,
        [&](Canvas &canvas) {
            AttachCanvas(plugin, canvas);
            // Begin and paints only: the stroke is timed without its end.
            return Seconds([&] {
                DriveStroke(plugin, points, BRUSH_PRESSURE_FULL, [&](PlugInBrushContext &ctx, bool first) {
                    if (first) {
                        ctx.command = BRUSHCMD_BEGIN;
                        airbrush(&ctx);
                    }
                    ctx.command = BRUSHCMD_PAINT;
                    airbrush(&ctx);
                });
            });
        },
        [&](Canvas &canvas) {
            return Seconds([&] {
                ScalarDabs(canvas, places, static_cast<const uint8_t *>(plugin.tipBits), plugin.tipWidth,
                           brush::ColorOf(kColor), BRUSH_PRESSURE_FULL);
            });
        });
    ReleaseBrush(airbrush, plugin);
    ReportTiming(name, places.size(), tipPixels, t);
}

}  // namespace

int main() {
    pintora_bench::PrintHeader("penlith_airbrush_bench");
    HMODULE penlith = LoadPenlith();
    const PlugInBrushProc airbrush = Entry(penlith, "Xi_NormalBrush");
    if (!airbrush) {
        std::printf("# Penlith.brs or its Xi_NormalBrush could not be loaded\n");
        return 1;
    }
    const std::vector<POINT> points = StrokePoints();
    for (int32_t size : {20, 100}) Measure(airbrush, size, points);
    return 0;
}
