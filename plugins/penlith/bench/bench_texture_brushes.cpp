// The painting speed of the oil (size 20) and the cloud (size 50, its
// default), each against a plain scalar replay of its rule in the same
// process.
//
// Run with:   tools/bench penlith_texture_bench     (or tools/bench for all)
//
// Each brush of the built Penlith.brs paints a long stroke (a looping
// curve over a 1920 x 1080 canvas, the pointer moving about 6 pixels a
// move) through its entry point.  The reference replays the same dabs
// (placed by the same engine code, linked in here) from the same random
// numbers (srand is fixed before both), with the rule written out pixel by
// pixel:
//   oil    per call: the colour jittered (roughness 8), the direction
//          class of the segment, the carried paint (3 target + 2 sample) / 5
//          at the first dab; per dab row relief 2 class + (rand() & 1); per
//          pixel with t > 0
//              channel = old + (clamp(g + carried - 128) - old) x c / 128
//   cloud  per dab mask rand() % 12; per pixel with t > 0
//              shade   = (sizeW - 1 - i + j) x 120 / (sizeW + sizeH)
//              channel = old + (clamp(colour + shade - 60) - old) x c / 128
//   with c = clamp(pressure + t - 128, 0, 128).
// Printed per brush:
//   B.dabs             dabs of the stroke
//   B.engine           ns per dab of the plug-in (whole entry point), and
//                      per tip pixel
//   B.scalar           the same for the reference loop
//   B.ratio_vs_scalar  engine time / reference time
//   B.identical        1 when both canvases are byte for byte equal
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench_support.h"
#include "penlith_bench_support.h"

namespace {

using namespace penlith_bench;

constexpr int32_t kPressure = BRUSH_PRESSURE_FULL;
constexpr unsigned kSeed = 20261208;
constexpr int kRepeats = 5;

inline int32_t Clamp255(int32_t v) { return v < 0 ? 0 : (v > 255 ? 255 : v); }
inline int32_t CoverageOf(int32_t t) {
    const int32_t c = kPressure + t - 128;
    return c < 0 ? 0 : (c > 128 ? 128 : c);
}

// One painting call of the stroke: its segment and its dabs.
struct Call {
    int32_t dx = 0, dy = 0;
    std::vector<brush::DabPlace> dabs;
};

std::vector<Call> PlaceCalls(const PlugInBrushContext &selected, const brush::DabSpacing &spacing,
                             const std::vector<POINT> &points, int64_t *tipPixels) {
    PlugInBrushContext placer = selected;
    Canvas scratch;
    AttachCanvas(placer, scratch);
    std::vector<Call> calls;
    int64_t area = 0;
    brush::EngineState engine;
    DriveStroke(placer, points, kPressure, [&](PlugInBrushContext &ctx, bool) {
        Call call;
        call.dx = ctx.curX - ctx.prevX;
        call.dy = ctx.curY - ctx.prevY;
        brush::DirtyRect rect;
        brush::LayDabs(engine, &ctx, rect, spacing, [&](const brush::DabPlace &p) {
            call.dabs.push_back(p);
            area += int64_t{p.sizeW} * p.sizeH;
        });
        calls.push_back(std::move(call));
    });
    *tipPixels = area;
    return calls;
}

// ------------------------------------------------------------------ oil --

int32_t OilClass(int32_t dx, int32_t dy) {
    if (dx == 0) return 0;
    const int32_t s = std::abs(dy * 100 / dx);
    if (s < 42) return 2;
    if (s >= 241) return 0;
    return (dx > 0) == (dy > 0) ? 1 : 3;
}

__attribute__((noinline)) void OilReference(Canvas &canvas, const std::vector<Call> &calls,
                                            const PlugInBrushContext &tip, uint32_t color, int32_t roughness) {
    const auto *mask = static_cast<const uint8_t *>(tip.tipBits);
    const auto *relief = static_cast<const uint8_t *>(tip.workBits);
    const int32_t w = tip.tipWidth;
    const size_t area = static_cast<size_t>(w) * w;
    const brush::BgrColor base = brush::ColorOf(color);
    for (const Call &call : calls) {
        int32_t target[3] = {base.b, base.g, base.r};
        const int32_t half = 3 * roughness / 2;
        if (half > 0) {
            for (int k = 0; k < 3; ++k) target[k] = Clamp255(target[k] + std::rand() % (2 * half) - half);
        }
        const int32_t directionClass = OilClass(call.dx, call.dy);
        int32_t carried[3];
        bool mixed = false;
        for (const brush::DabPlace &p : call.dabs) {
            if (!mixed) {
                mixed = true;
                const uint8_t *sample = canvas.Row(p.canvasRow + p.sizeH / 2) + 3 * (p.canvasX + p.sizeW / 2);
                for (int k = 0; k < 3; ++k) carried[k] = (3 * target[k] + 2 * sample[k]) / 5;
            }
            for (int32_t j = 0; j < p.sizeH; ++j) {
                const uint8_t *g = relief + (2 * directionClass + (std::rand() & 1)) * area;
                const size_t at = static_cast<size_t>(p.tipY + j) * w + p.tipX;
                uint8_t *row = canvas.Row(p.canvasRow + j) + 3 * p.canvasX;
                for (int32_t i = 0; i < p.sizeW; ++i) {
                    const int32_t t = mask[at + i];
                    if (t == 0) continue;
                    const int32_t c = CoverageOf(t);
                    for (int k = 0; k < 3; ++k) {
                        const int32_t to = Clamp255(g[at + i] + carried[k] - 128);
                        row[3 * i + k] = static_cast<uint8_t>(row[3 * i + k] + (to - row[3 * i + k]) * c / 128);
                    }
                }
            }
        }
    }
}

// ---------------------------------------------------------------- cloud --

__attribute__((noinline)) void CloudReference(Canvas &canvas, const std::vector<Call> &calls,
                                              const PlugInBrushContext &tip, uint32_t color) {
    const int32_t w = tip.tipWidth;
    const size_t area = static_cast<size_t>(w) * w;
    const brush::BgrColor base = brush::ColorOf(color);
    const int32_t channels[3] = {base.b, base.g, base.r};
    for (const Call &call : calls) {
        for (const brush::DabPlace &p : call.dabs) {
            const uint8_t *mask = static_cast<const uint8_t *>(tip.tipBits) + (std::rand() % 12) * area;
            for (int32_t j = 0; j < p.sizeH; ++j) {
                const uint8_t *t = mask + static_cast<size_t>(p.tipY + j) * w + p.tipX;
                uint8_t *row = canvas.Row(p.canvasRow + j) + 3 * p.canvasX;
                for (int32_t i = 0; i < p.sizeW; ++i) {
                    if (t[i] == 0) continue;
                    const int32_t c = CoverageOf(t[i]);
                    const int32_t shade = (p.sizeW - 1 - i + j) * 120 / (p.sizeW + p.sizeH);
                    for (int k = 0; k < 3; ++k) {
                        const int32_t to = Clamp255(channels[k] + shade - 60);
                        row[3 * i + k] = static_cast<uint8_t>(row[3 * i + k] + (to - row[3 * i + k]) * c / 128);
                    }
                }
            }
        }
    }
}

template <typename Reference>
void Measure(const std::string &name, PlugInBrushProc brushProc, int32_t size, int32_t density, int32_t third,
             uint32_t color, const brush::DabSpacing &spacing, const std::vector<POINT> &points,
             Reference &&reference) {
    BrushParam params[3] = {};
    PlugInBrushContext plugin{};
    plugin.pressure = kPressure;
    if (!SelectBrush(brushProc, plugin, params, size, density, third, color)) {
        std::printf("# %s: the brush refused its tip\n", name.c_str());
        return;
    }
    int64_t tipPixels = 0;
    const std::vector<Call> calls = PlaceCalls(plugin, spacing, points, &tipPixels);
    size_t dabs = 0;
    for (const Call &call : calls) dabs += call.dabs.size();
    Canvas pristine;
    pristine.FillNoise();
    const Timing t = BestOfRuns(
        kRepeats, pristine,
        [&](Canvas &canvas) {
            AttachCanvas(plugin, canvas);
            std::srand(kSeed);
            return Seconds([&] { PaintThroughEntry(brushProc, plugin, points, kPressure); });
        },
        [&](Canvas &canvas) {
            std::srand(kSeed);
            return Seconds([&] { reference(canvas, calls, plugin); });
        });
    ReleaseBrush(brushProc, plugin);
    ReportTiming(name, dabs, tipPixels, t);
}

}  // namespace

int main() {
    pintora_bench::PrintHeader("penlith_texture_bench");
    HMODULE penlith = LoadPenlith();
    const PlugInBrushProc oil = Entry(penlith, "Xi_OilBrush");
    const PlugInBrushProc cloud = Entry(penlith, "Xi_CloudBrush");
    if (!oil || !cloud) {
        std::printf("# Penlith.brs or its oil and cloud brushes could not be loaded\n");
        return 1;
    }
    const std::vector<POINT> points = StrokePoints();
    constexpr uint32_t kOilColor = 0x022060C0;    // an orange brown
    constexpr uint32_t kCloudColor = 0x02E0C8B0;  // a pale blue
    constexpr int32_t kRoughness = 8;
    Measure("oil20", oil, 20, 70, kRoughness, kOilColor, brush::DabSpacing::Pressure(), points,
            [&](Canvas &canvas, const std::vector<Call> &calls, const PlugInBrushContext &tip) {
                OilReference(canvas, calls, tip, kOilColor, kRoughness);
            });
    Measure("cloud50", cloud, 50, 30, 0, kCloudColor, brush::DabSpacing::Ratio(25), points,
            [&](Canvas &canvas, const std::vector<Call> &calls, const PlugInBrushContext &tip) {
                CloudReference(canvas, calls, tip, kCloudColor);
            });
    return 0;
}
