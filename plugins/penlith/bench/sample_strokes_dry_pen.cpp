// The dry brushes' and pens' column of the sample-strokes picture
// (penlith_colour_bench given a file name): chalk, the dry brush, pastel
// and, for comparison, the crayon, each once on white and once on a dark
// slate band; below them a fountain-pen stroke that changes pace and a
// fast one, an oily pen looping over itself and a long ink-wash stroke.
#include "sample_strokes_dry_pen.h"

#include <cmath>
#include <vector>

namespace penlith_bench {

namespace {

struct Stroke {
    const char *exportName;
    int32_t size, density, third;
    uint32_t color;
    std::vector<POINT> points;
};

// A gentle wave across the column at height y, a point every `step`
// pixels.
std::vector<POINT> ColumnWave(int32_t left, int32_t y, int32_t step = 4) {
    std::vector<POINT> points;
    for (int32_t x = left + 40; x <= left + kSampleColumnWidth - 40; x += step) {
        points.push_back(POINT{x, static_cast<LONG>(y + 22 * std::sin((x - left) * 0.02))});
    }
    return points;
}

// A pen that changes pace: in every 240 pixels, 60 at a pixel a move
// (the ink pools, the line swells) and 180 at 24 pixels a move (it dries
// and thins).
std::vector<POINT> ChangingPaceWave(int32_t left, int32_t y) {
    std::vector<POINT> points;
    for (const POINT &p : ColumnWave(left, y, 1)) {
        const bool slow = (p.x - left) % 240 < 60;
        if (slow || (p.x - left) % 24 == 0) points.push_back(p);
    }
    return points;
}

// A loop that crosses itself twice.
std::vector<POINT> Loop(int32_t left, int32_t y) {
    std::vector<POINT> points;
    for (int k = 0; k <= 200; ++k) {
        const double a = 2 * 3.14159265358979 * k / 200;
        points.push_back(POINT{static_cast<LONG>(left + 360 + 280 * std::sin(a)),
                               static_cast<LONG>(y + 40 * std::sin(2 * a))});
    }
    return points;
}

bool PaintStroke(HMODULE penlith, Canvas &paper, const Stroke &s) {
    const PlugInBrushProc brushProc = Entry(penlith, s.exportName);
    PlugInBrushContext ctx{};
    BrushParam params[3] = {};
    if (!brushProc || !SelectBrush(brushProc, ctx, params, s.size, s.density, s.third, s.color)) return false;
    AttachCanvas(ctx, paper);
    PaintThroughEntry(brushProc, ctx, s.points, BRUSH_PRESSURE_FULL);
    ReleaseBrush(brushProc, ctx);
    return true;
}

}  // namespace

bool PaintPenSamples(HMODULE penlith, Canvas &paper, int32_t left) {
    const Stroke strokes[] = {
        {"Xi_FountainPenBrush", 10, 90, 0, 0x02501808, ChangingPaceWave(left, 800)},
        {"Xi_FountainPenBrush", 10, 90, 0, 0x02501808, ColumnWave(left, 870, 36)},
        {"Xi_OilyPenBrush", 15, 25, 0, 0x02C09060, Loop(left, 960)},
        {"Xi_SumieBrush", 24, 90, 30, 0x02101010, ColumnWave(left, 1070, 6)},
    };
    for (const Stroke &s : strokes) {
        if (!PaintStroke(penlith, paper, s)) return false;
    }
    return true;
}

bool PaintDryBrushSamples(HMODULE penlith, Canvas &paper, int32_t left) {
    // The dark band under the second group.
    for (int32_t y = 380; y < 760; ++y) {
        uint8_t *row = paper.Row(paper.height - 1 - y);
        for (int32_t x = left; x < left + kSampleColumnWidth; ++x) {
            row[3 * x] = 70;
            row[3 * x + 1] = 55;
            row[3 * x + 2] = 40;
        }
    }
    const Stroke strokes[] = {
        // On white: dark strokes.
        {"Xi_ChalkBrush", 30, 70, 9, 0x02804020, ColumnWave(left, 60)},
        {"Xi_DryBrush", 40, 80, 10, 0x02203080, ColumnWave(left, 150)},
        {"Xi_PastelBrush", 36, 60, 10, 0x026030C0, ColumnWave(left, 240)},
        {"Xi_CrayonBrush", 30, 70, 7, 0x02306020, ColumnWave(left, 330)},
        // On the dark band: light strokes.
        {"Xi_ChalkBrush", 30, 70, 9, 0x02F0F0F0, ColumnWave(left, 440)},
        {"Xi_DryBrush", 40, 80, 10, 0x0240D0F0, ColumnWave(left, 530)},
        {"Xi_PastelBrush", 36, 60, 10, 0x02C0A0F8, ColumnWave(left, 620)},
        {"Xi_CrayonBrush", 30, 70, 7, 0x0280F0A0, ColumnWave(left, 710)},
    };
    for (const Stroke &s : strokes) {
        if (!PaintStroke(penlith, paper, s)) return false;
    }
    return true;
}

}  // namespace penlith_bench
