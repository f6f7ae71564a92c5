// The painting speed of a stamp (the fruit at size 100, interval 12)
// against a plain scalar loop of its rule in the same process.
//
// Run with:   tools/bench stampwell_bench     (or tools/bench for all)
//
// The fruit stamp of the built Stampwell.brs paints a long stroke (a
// looping curve over a 1920 x 1080 canvas, the pointer moving about 6
// pixels a move) through its entry point.  The reference replays the same
// dabs (placed by the same engine code, linked in here), drawing the
// picture of each dab with rand() from the same seed, with the rule
// written out pixel by pixel:
//     cv = clamp(pressure + t - 128, 0, 128) for a mask byte t > 0,
//     channel = old + (picture - old) x cv / 128
// Printed:
//     fruit100.dabs                  dabs of the stroke
//     fruit100.engine / .scalar      ns per dab and per tip pixel
//     fruit100.ratio_vs_scalar       engine time / reference time
//     fruit100.identical             1 when both canvases are byte for byte equal
//
// With an argument, the program instead lays all five stamps along wavy
// strokes, over white and over a band of colour, and writes the picture as
// a 24-bit BMP file of that name:
//     wine stampwell_bench.exe stamps.bmp
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench_support.h"
#include "penlith_bench_support.h"

namespace {

using namespace penlith_bench;

constexpr int32_t kPressure = BRUSH_PRESSURE_FULL;

// Stampwell.brs from the current folder (tools/bench runs in build/dist)
// or from ..\dist beside this program's folder.
HMODULE LoadStampwell() {
    if (HMODULE m = LoadLibraryW(L"Stampwell.brs")) return m;
    wchar_t path[MAX_PATH];
    const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring dir(path, n);
    dir = dir.substr(0, dir.find_last_of(L"\\/"));
    dir = dir.substr(0, dir.find_last_of(L"\\/"));
    return LoadLibraryW((dir + L"\\dist\\Stampwell.brs").c_str());
}

__attribute__((noinline)) void ScalarStamps(Canvas &canvas, const std::vector<brush::DabPlace> &places,
                                            const PlugInBrushContext &stamp) {
    const int32_t side = stamp.tipWidth;
    const auto *masks = static_cast<const uint8_t *>(stamp.tipBits);
    const auto *pictures = static_cast<const uint8_t *>(stamp.workBits);
    for (const brush::DabPlace &p : places) {
        const int32_t v = std::rand() % stamp.tipVariantCount;
        for (int32_t j = 0; j < p.sizeH; ++j) {
            const int32_t tipRow = p.tipY + j;
            uint8_t *row = canvas.Row(p.canvasRow + j);
            for (int32_t i = 0; i < p.sizeW; ++i) {
                const int32_t tipCol = p.tipX + i;
                const int32_t t = masks[(static_cast<size_t>(v) * side + tipRow) * side + tipCol];
                if (t <= 0) continue;
                const int32_t cv = std::clamp(kPressure + t - 128, 0, 128);
                const uint8_t *picture =
                    pictures + (static_cast<size_t>(v) * side + tipRow) * stamp.color3 + 3 * tipCol;
                uint8_t *px = row + 3 * (p.canvasX + i);
                for (int c = 0; c < 3; ++c) px[c] = static_cast<uint8_t>(px[c] + (picture[c] - px[c]) * cv / 128);
            }
        }
    }
}

void MeasureFruit(PlugInBrushProc fruit, const std::vector<POINT> &points) {
    PlugInBrushContext ctx{};
    BrushParam params[3] = {};
    if (!SelectBrush(fruit, ctx, params, 100, 100, 12, 0)) {
        std::printf("# the fruit stamp could not be selected\n");
        return;
    }
    int64_t tipPixels = 0;
    const std::vector<brush::DabPlace> places =
        PlaceDabs(ctx, brush::DabSpacing::Ratio(8 * 12), points, kPressure, &tipPixels);
    Canvas pristine;
    pristine.FillNoise();
    const Timing t = BestOfRuns(
        5, pristine,
        [&](Canvas &canvas) {
            AttachCanvas(ctx, canvas);
            std::srand(7);
            return Seconds([&] { PaintThroughEntry(fruit, ctx, points, kPressure); });
        },
        [&](Canvas &canvas) {
            std::srand(7);
            return Seconds([&] { ScalarStamps(canvas, places, ctx); });
        });
    ReportTiming("fruit100", places.size(), tipPixels, t);
    ReleaseBrush(fruit, ctx);
}

// ---------------------------------------------------------- the picture --

// A wave across the paper at height y.
std::vector<POINT> Wave(int32_t y, int32_t amplitude, int32_t left, int32_t right, double phase) {
    std::vector<POINT> points;
    for (int32_t x = left; x <= right; x += 4) {
        points.push_back(POINT{x, static_cast<LONG>(y + amplitude * std::sin((x - left) * 0.018 + phase))});
    }
    return points;
}

// Each stamp along a wave of its own, top to bottom, at sizes from 60 to
// 90, then all five small (size 30) in a row of short strokes; the right
// third of the paper is a band of pale blue, so the stamps show over
// colour as well as over white.
bool PaintSamples(HMODULE stampwell, const char *path) {
    Canvas paper(960, 900);
    std::fill(paper.bits.begin(), paper.bits.end(), uint8_t{255});
    for (int32_t y = 0; y < paper.height; ++y) {
        uint8_t *row = paper.Row(y);
        for (int32_t x = 640; x < paper.width; ++x) {
            row[3 * x] = 235;
            row[3 * x + 1] = 200;
            row[3 * x + 2] = 150;
        }
    }
    struct Sample {
        const char *exportName;
        int32_t size, interval;
        std::vector<POINT> points;
    };
    const Sample samples[] = {
        {"Xi_StampRFruitBrush", 90, 12, Wave(90, 30, 60, 900, 0.0)},
        {"Xi_StampLeafBrush", 80, 14, Wave(250, 35, 60, 900, 1.5)},
        {"Xi_StampShellBrush", 80, 12, Wave(410, 30, 60, 900, 3.0)},
        {"Xi_StampButterflyBrush", 90, 16, Wave(570, 40, 60, 900, 0.7)},
        {"Xi_StampStarBrush", 60, 9, Wave(730, 35, 60, 900, 2.2)},
        {"Xi_StampRFruitBrush", 30, 12, Wave(850, 10, 30, 160, 0.0)},
        {"Xi_StampLeafBrush", 30, 12, Wave(850, 10, 220, 350, 0.0)},
        {"Xi_StampShellBrush", 30, 12, Wave(850, 10, 410, 540, 0.0)},
        {"Xi_StampButterflyBrush", 30, 12, Wave(850, 10, 600, 730, 0.0)},
        {"Xi_StampStarBrush", 30, 12, Wave(850, 10, 790, 920, 0.0)},
    };
    std::srand(2026);
    for (const Sample &s : samples) {
        const PlugInBrushProc stamp = Entry(stampwell, s.exportName);
        PlugInBrushContext ctx{};
        BrushParam params[3] = {};
        if (!stamp || !SelectBrush(stamp, ctx, params, s.size, 100, s.interval, 0x020000FF)) return false;
        AttachCanvas(ctx, paper);
        PaintThroughEntry(stamp, ctx, s.points, kPressure);
        ReleaseBrush(stamp, ctx);
    }
    return WriteBmp(path, paper);
}

}  // namespace

int main(int argc, char **argv) {
    pintora_bench::PrintHeader("stampwell_bench");
    HMODULE stampwell = LoadStampwell();
    const PlugInBrushProc fruit = Entry(stampwell, "Xi_StampRFruitBrush");
    if (!fruit) {
        std::printf("# Stampwell.brs or its fruit stamp could not be loaded\n");
        return 1;
    }
    if (argc > 1) {
        const bool written = PaintSamples(stampwell, argv[1]);
        std::printf("# sample strokes %s %s\n", written ? "written to" : "could not be written to", argv[1]);
        return written ? 0 : 1;
    }
    MeasureFruit(fruit, StrokePoints());
    return 0;
}
