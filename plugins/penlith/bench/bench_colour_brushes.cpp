// The painting speed of the pipe (size 24, quality 2: the kids-mode pen)
// and of the rainbow, each against a plain scalar loop of its own rule in
// the same process.
//
// Run with:   tools/bench penlith_colour_bench     (or tools/bench for all)
//
// Each brush of the built Penlith.brs paints a long stroke (a looping
// curve over a 1920 x 1080 canvas, the pointer moving about 6 pixels a
// move) through its entry point.  The reference replays the same dabs
// (placed by the same engine code, linked in here) with the rule written
// out pixel by pixel:
//     pipe     target = clamp(colour + shade - 128), channel = old +
//              (target - old) x clamp(pressure + t - 128, 0, 128) / 128
//     rainbow  the standard blend in the dab's hue, the hue stepping 13
//              of 240 per dab
// Printed per brush:
//     B.dabs                 dabs of the stroke
//     B.engine / B.scalar    ns per dab and per tip pixel
//     B.ratio_vs_scalar      engine time / reference time
//     B.identical            1 when both canvases are byte for byte equal
//
// With an argument, the program also paints one stroke of each of the
// rainbow, roller, pipe and fur brushes on white paper and writes the
// picture as a 24-bit BMP file of that name:
//     wine penlith_colour_bench.exe strokes.bmp
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "bench_support.h"
#include "penlith_bench_support.h"

namespace {

using namespace penlith_bench;

constexpr int32_t kPressure = BRUSH_PRESSURE_FULL;

int32_t Clamp255(int32_t v) { return v < 0 ? 0 : (v > 255 ? 255 : v); }
int32_t Blend(int32_t old, int32_t target, int32_t c) { return old + (target - old) * c / 128; }

// ------------------------------------------------------ the references --

__attribute__((noinline)) void ScalarPipe(Canvas &canvas, const std::vector<brush::DabPlace> &places,
                                          const uint8_t *tip, const uint8_t *shade, int32_t tipWidth,
                                          brush::BgrColor color) {
    const int32_t channels[3] = {color.b, color.g, color.r};
    for (const brush::DabPlace &p : places) {
        for (int32_t j = 0; j < p.sizeH; ++j) {
            uint8_t *row = canvas.Row(p.canvasRow + j) + 3 * p.canvasX;
            const size_t at = static_cast<size_t>(p.tipY + j) * tipWidth + p.tipX;
            for (int32_t i = 0; i < p.sizeW; ++i) {
                const int32_t t = tip[at + i];
                if (t == 0) continue;
                const int32_t c = std::min(128, std::max(0, kPressure + t - 128));
                for (int k = 0; k < 3; ++k) {
                    const int32_t target = Clamp255(channels[k] + shade[at + i] - 128);
                    row[3 * i + k] = static_cast<uint8_t>(Blend(row[3 * i + k], target, c));
                }
            }
        }
    }
}

brush::BgrColor HueColor(int32_t h) {
    const int32_t sector = h / 40;
    const auto f = static_cast<uint8_t>((h % 40) * 255 / 40), rf = static_cast<uint8_t>(255 - f);
    const brush::BgrColor table[6] = {{255, f, 0}, {rf, 255, 0}, {0, 255, f}, {0, rf, 255}, {f, 0, 255}, {255, 0, rf}};
    return table[sector];
}

__attribute__((noinline)) void ScalarRainbow(Canvas &canvas, const std::vector<brush::DabPlace> &places,
                                             const uint8_t *tip, int32_t tipWidth, int32_t hue) {
    for (const brush::DabPlace &p : places) {
        hue = (hue + 13) % 240;
        const brush::BgrColor color = HueColor(hue);
        const int32_t channels[3] = {color.b, color.g, color.r};
        for (int32_t j = 0; j < p.sizeH; ++j) {
            uint8_t *row = canvas.Row(p.canvasRow + j) + 3 * p.canvasX;
            const uint8_t *t = tip + static_cast<size_t>(p.tipY + j) * tipWidth + p.tipX;
            for (int32_t i = 0; i < p.sizeW; ++i) {
                if (t[i] == 0) continue;
                const int32_t c = std::min(128, std::max(0, kPressure + t[i] - 128));
                for (int k = 0; k < 3; ++k) row[3 * i + k] = static_cast<uint8_t>(Blend(row[3 * i + k], channels[k], c));
            }
        }
    }
}

// The rainbow's hue is module state of the plug-in: a one-dab stroke of a
// size-4 full-density tip shows it exactly at the dab's centre.
int32_t ProbeRainbowHue(PlugInBrushProc rainbow) {
    PlugInBrushContext ctx{};
    BrushParam params[3] = {};
    if (!SelectBrush(rainbow, ctx, params, 4, 100, 0, 0)) return -1;
    Canvas canvas(8, 8);
    AttachCanvas(ctx, canvas);
    PaintThroughEntry(rainbow, ctx, {POINT{4, 4}}, kPressure);
    ReleaseBrush(rainbow, ctx);
    const uint8_t *pixel = canvas.Row(8 - 1 - 4) + 3 * 4;
    for (int32_t h = 0; h < 240; ++h) {
        const brush::BgrColor c = HueColor(h);
        if (c.b == pixel[0] && c.g == pixel[1] && c.r == pixel[2]) return h;
    }
    return -1;
}

// ------------------------------------------------------------ measuring --

constexpr int kRepeats = 5;

void MeasurePipe(PlugInBrushProc pipe, const std::vector<POINT> &points) {
    constexpr uint32_t kColor = 0x02206AE0;  // orange-red
    PlugInBrushContext plugin{};
    BrushParam params[3] = {};
    if (!SelectBrush(pipe, plugin, params, 24, 80, 2, kColor)) {
        std::printf("# pipe: the brush refused its tip\n");
        return;
    }
    int64_t tipPixels = 0;
    const auto places = PlaceDabs(plugin, brush::DabSpacing::Ratio(9 - 2), points, kPressure, &tipPixels);
    Canvas pristine;
    pristine.FillNoise();
    const Timing t = BestOfRuns(
        kRepeats, pristine,
        [&](Canvas &canvas) {
            AttachCanvas(plugin, canvas);
            return Seconds([&] { PaintThroughEntry(pipe, plugin, points, kPressure); });
        },
        [&](Canvas &canvas) {
            return Seconds([&] {
                ScalarPipe(canvas, places, static_cast<const uint8_t *>(plugin.tipBits),
                           static_cast<const uint8_t *>(plugin.workBits), plugin.tipWidth, brush::ColorOf(kColor));
            });
        });
    ReleaseBrush(pipe, plugin);
    ReportTiming("pipe24q2", places.size(), tipPixels, t);
}

void MeasureRainbow(PlugInBrushProc rainbow, const std::vector<POINT> &points) {
    const int32_t probed = ProbeRainbowHue(rainbow);
    PlugInBrushContext plugin{};
    BrushParam params[3] = {};
    if (probed < 0 || !SelectBrush(rainbow, plugin, params, 20, 50, 0, 0)) {
        std::printf("# rainbow: the brush refused its tip or its hue could not be read\n");
        return;
    }
    int64_t tipPixels = 0;
    const auto places = PlaceDabs(plugin, brush::DabSpacing::Pressure(), points, kPressure, &tipPixels);
    Canvas pristine;
    pristine.FillNoise();
    // The plug-in's hue carries on from run to run; the reference's follows.
    int32_t hue = probed;
    const Timing t = BestOfRuns(
        kRepeats, pristine,
        [&](Canvas &canvas) {
            AttachCanvas(plugin, canvas);
            return Seconds([&] { PaintThroughEntry(rainbow, plugin, points, kPressure); });
        },
        [&](Canvas &canvas) {
            const double seconds = Seconds([&] {
                ScalarRainbow(canvas, places, static_cast<const uint8_t *>(plugin.tipBits), plugin.tipWidth, hue);
            });
            hue = static_cast<int32_t>((hue + 13 * static_cast<int64_t>(places.size())) % 240);
            return seconds;
        });
    ReleaseBrush(rainbow, plugin);
    ReportTiming("rainbow20", places.size(), tipPixels, t);
}

// --------------------------------------------------------- the picture --

// A wave across the paper at height y.
std::vector<POINT> Wave(int32_t y, int32_t amplitude, int32_t left, int32_t right) {
    std::vector<POINT> points;
    for (int32_t x = left; x <= right; x += 4) {
        points.push_back(POINT{x, static_cast<LONG>(y + amplitude * std::sin((x - left) * 0.025))});
    }
    return points;
}

// One stroke of each brush, top to bottom: rainbow, roller (a loop that
// crosses itself), pipe (the kids pen) and fur.
bool PaintSamples(HMODULE penlith, const char *path) {
    Canvas paper(720, 480);
    std::fill(paper.bits.begin(), paper.bits.end(), uint8_t{255});
    struct Sample {
        const char *exportName;
        int32_t size, density, third;
        uint32_t color;
        std::vector<POINT> points;
    };
    std::vector<POINT> loop;
    for (int k = 0; k <= 160; ++k) {
        const double a = 2 * 3.14159265358979 * k / 160;
        loop.push_back(POINT{static_cast<LONG>(360 + 300 * std::sin(a)), static_cast<LONG>(170 + 45 * std::sin(2 * a))});
    }
    const Sample samples[] = {
        {"Xi_RainbowBrush", 36, 80, 0, 0, Wave(60, 25, 40, 680)},
        {"Xi_RollerBrush", 40, 50, 0, 0x02C06020, loop},  // blue, crossing itself
        {"Xi_PipeBrush", 24, 80, 2, 0x0220A0F0, Wave(290, 30, 40, 680)},
        {"Xi_FurBrush", 40, 70, 10, 0x02204080, Wave(400, 30, 40, 680)},
    };
    for (const Sample &s : samples) {
        const PlugInBrushProc brushProc = Entry(penlith, s.exportName);
        PlugInBrushContext ctx{};
        BrushParam params[3] = {};
        if (!brushProc || !SelectBrush(brushProc, ctx, params, s.size, s.density, s.third, s.color)) return false;
        AttachCanvas(ctx, paper);
        PaintThroughEntry(brushProc, ctx, s.points, kPressure);
        ReleaseBrush(brushProc, ctx);
    }
    return WriteBmp(path, paper);
}

}  // namespace

int main(int argc, char **argv) {
    pintora_bench::PrintHeader("penlith_colour_bench");
    HMODULE penlith = LoadPenlith();
    const PlugInBrushProc pipe = Entry(penlith, "Xi_PipeBrush");
    const PlugInBrushProc rainbow = Entry(penlith, "Xi_RainbowBrush");
    if (!pipe || !rainbow) {
        std::printf("# Penlith.brs or its pipe and rainbow brushes could not be loaded\n");
        return 1;
    }
    if (argc > 1) {
        const bool written = PaintSamples(penlith, argv[1]);
        std::printf("# sample strokes %s %s\n", written ? "written to" : "could not be written to", argv[1]);
        return written ? 0 : 1;
    }
    const std::vector<POINT> points = StrokePoints();
    MeasurePipe(pipe, points);
    MeasureRainbow(rainbow, points);
    return 0;
}
