// The painting speed of the chalk (size 20) against a plain scalar loop of
// its rule in the same process.
//
// Run with:   tools/bench penlith_dry_pen_bench     (or tools/bench for all)
//
// The brush of the built Penlith.brs paints a long stroke (a looping curve
// over a 1920 x 1080 canvas, the pointer moving about 6 pixels a move)
// through its entry point.  The reference replays the same dabs (placed by
// the same engine code, linked in here) with the rule written out pixel by
// pixel:
//     chalk   g = paper grain under the pixel, cv = clamp(pressure + t - 128),
//             a = cv x g / 256, channel = old + (clamp(target + g / 8 - 16)
//             - old) x a / 128  (roughness 0: no colour jitter)
// Printed per brush:
//     B.dabs                 dabs of the stroke
//     B.engine / B.scalar    ns per dab and per tip pixel
//     B.ratio_vs_scalar      engine time / reference time
//     B.identical            1 when both canvases are byte for byte equal
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench_support.h"
#include "penlith_bench_support.h"

namespace {

using namespace penlith_bench;

constexpr int32_t kPressure = BRUSH_PRESSURE_FULL;
constexpr int kRepeats = 5;

int32_t Clamp255(int32_t v) { return v < 0 ? 0 : (v > 255 ? 255 : v); }
int32_t Coverage(int32_t t) { return std::min(128, std::max(0, kPressure + t - 128)); }

__attribute__((noinline)) void ScalarChalk(Canvas &canvas, const std::vector<brush::DabPlace> &places,
                                           const uint8_t *tip, const uint8_t *grain, int32_t tipWidth,
                                           brush::BgrColor color) {
    const int32_t target[3] = {color.b, color.g, color.r};
    for (const brush::DabPlace &p : places) {
        for (int32_t j = 0; j < p.sizeH; ++j) {
            const int32_t memoryRow = p.canvasRow + j;
            uint8_t *row = canvas.Row(memoryRow) + 3 * p.canvasX;
            const uint8_t *t = tip + static_cast<size_t>(p.tipY + j) * tipWidth + p.tipX;
            for (int32_t i = 0; i < p.sizeW; ++i) {
                if (t[i] == 0) continue;
                const int32_t g = grain[(memoryRow % 64) * 64 + (p.canvasX + i) % 64];
                const int32_t a = Coverage(t[i]) * g / 256;
                for (int k = 0; k < 3; ++k) {
                    const int32_t goal = Clamp255(target[k] + g / 8 - 16);
                    row[3 * i + k] = static_cast<uint8_t>(row[3 * i + k] + (goal - row[3 * i + k]) * a / 128);
                }
            }
        }
    }
}

void MeasureChalk(PlugInBrushProc chalk, const std::vector<POINT> &points) {
    constexpr uint32_t kColor = 0x02D0E8F0;  // a warm white chalk
    PlugInBrushContext plugin{};
    BrushParam params[3] = {};
    if (!SelectBrush(chalk, plugin, params, 20, 70, 0, kColor)) {
        std::printf("# chalk: the brush refused its tip\n");
        return;
    }
    int64_t tipPixels = 0;
    const auto places = PlaceDabs(plugin, brush::DabSpacing::Pressure(), points, kPressure, &tipPixels);
    Canvas pristine;
    pristine.FillNoise();
    const Timing t = BestOfRuns(
        kRepeats, pristine,
        [&](Canvas &canvas) {
            AttachCanvas(plugin, canvas);
            return Seconds([&] { PaintThroughEntry(chalk, plugin, points, kPressure); });
        },
        [&](Canvas &canvas) {
            return Seconds([&] {
                ScalarChalk(canvas, places, static_cast<const uint8_t *>(plugin.tipBits),
                            static_cast<const uint8_t *>(plugin.workBits), plugin.tipWidth, brush::ColorOf(kColor));
            });
        });
    ReleaseBrush(chalk, plugin);
    ReportTiming("chalk20", places.size(), tipPixels, t);
}

}  // namespace

int main() {
    pintora_bench::PrintHeader("penlith_dry_pen_bench");
    HMODULE penlith = LoadPenlith();
    const PlugInBrushProc chalk = Entry(penlith, "Xi_ChalkBrush");
    if (!chalk) {
        std::printf("# Penlith.brs or its chalk could not be loaded\n");
        return 1;
    }
    const std::vector<POINT> points = StrokePoints();
    MeasureChalk(chalk, points);
    return 0;
}
