// The India ink, oil, hatching, impressionist and cloud strokes of the
// sample-strokes picture.
#include "texture_brush_samples.h"

#include <cmath>
#include <initializer_list>
#include <vector>

namespace penlith_bench {

namespace {

// A pointer path through the corners, one point every 4 pixels as a quick
// mouse gives them.
std::vector<POINT> Path(int32_t top, std::initializer_list<POINT> corners) {
    std::vector<POINT> points;
    const POINT *prev = nullptr;
    for (const POINT &c : corners) {
        if (!prev) {
            points.push_back(POINT{c.x, c.y + top});
        } else {
            const double length = std::hypot(c.x - prev->x, c.y - prev->y);
            const int steps = static_cast<int>(length / 4) + 1;
            for (int k = 1; k <= steps; ++k) {
                points.push_back(POINT{static_cast<LONG>(prev->x + (c.x - prev->x) * k / steps),
                                       static_cast<LONG>(prev->y + (c.y - prev->y) * k / steps + top)});
            }
        }
        prev = &c;
    }
    return points;
}

// A wave across the block at height y.
std::vector<POINT> Wave(int32_t top, int32_t y, int32_t amplitude, int32_t left, int32_t right, double period = 0.025) {
    std::vector<POINT> points;
    for (int32_t x = left; x <= right; x += 4) {
        points.push_back(POINT{x, static_cast<LONG>(top + y + amplitude * std::sin((x - left) * period))});
    }
    return points;
}

// A rectangle of one colour (blue, green, red), rows y0..y1 top-down.
void Band(Canvas &paper, int32_t x0, int32_t x1, int32_t y0, int32_t y1, uint8_t b, uint8_t g, uint8_t r) {
    for (int32_t y = y0; y < y1; ++y) {
        uint8_t *row = paper.Row(paper.height - 1 - y);
        for (int32_t x = x0; x < x1; ++x) {
            row[3 * x] = b;
            row[3 * x + 1] = g;
            row[3 * x + 2] = r;
        }
    }
}

}  // namespace

bool PaintTextureBrushSamples(HMODULE penlith, Canvas &paper, int32_t top) {
    // Blue under the right end of the oil, a sky under the clouds.
    Band(paper, 470, 700, top + 110, top + 260, 200, 110, 40);
    Band(paper, 20, 700, top + 610, top + 735, 235, 190, 120);
    struct Sample {
        const char *exportName;
        int32_t size, density, third;
        uint32_t color;  // red in the lowest byte
        std::vector<POINT> points;
    };
    const Sample samples[] = {
        // India ink: black, fading to grey along the stroke.
        {"Xi_IndiaInkBrush", 26, 80, 0, 0x02000000, Wave(top, 50, 25, 40, 680)},
        // Oil: along, down, up and across (the relief turns with each),
        // then over the blue, where it mixes.
        {"Xi_OilBrush", 30, 90, 8, 0x002080E0, Path(top, {{40, 130}, {200, 130}, {280, 220}, {360, 130}, {360, 240}})},
        {"Xi_OilBrush", 30, 90, 8, 0x002080E0, Path(top, {{420, 240}, {420, 130}})},
        {"Xi_OilBrush", 30, 90, 8, 0x0030C0F0, Path(top, {{480, 150}, {690, 150}})},
        {"Xi_OilBrush", 30, 90, 8, 0x0030C0F0, Path(top, {{480, 240}, {560, 180}, {690, 235}})},
        // Hatching: vertical cross, horizontal cross, and the cross that
        // follows the stroke round a loop.
        {"Xi_CrossHatchBrush", 40, 60, 30, 0x00306020, Wave(top, 310, 20, 40, 680)},
        {"Xi_RippleBrush", 40, 60, 30, 0x00202090, Wave(top, 385, 20, 40, 680)},
        {"Xi_CrossHatchingBrush", 40, 60, 30, 0x00803020,
         Path(top, {{40, 470}, {140, 430}, {240, 470}, {240, 540}, {140, 560}, {60, 520}, {120, 470},
                    {330, 470}, {430, 520}, {530, 450}, {680, 500}})},
        // Impressionist dabs in three colours.
        {"Xi_ImpressionistBrush", 30, 80, 50, 0x0020C0F0, Wave(top, 560, 18, 300, 680, 0.05)},
        {"Xi_ImpressionistBrush", 30, 80, 50, 0x002070E0, Wave(top, 585, 18, 320, 680, 0.04)},
        {"Xi_ImpressionistBrush", 30, 80, 50, 0x0040A040, Wave(top, 540, 15, 330, 680, 0.06)},
        // Clouds over the sky.
        {"Xi_CloudBrush", 60, 60, 0, 0x00FAF5F5, Wave(top, 660, 20, 60, 330, 0.03)},
        {"Xi_CloudBrush", 50, 60, 0, 0x00E0D8D8, Wave(top, 690, 12, 380, 660, 0.04)},
    };
    for (const Sample &s : samples) {
        const PlugInBrushProc brushProc = Entry(penlith, s.exportName);
        PlugInBrushContext ctx{};
        BrushParam params[3] = {};
        if (!brushProc || !SelectBrush(brushProc, ctx, params, s.size, s.density, s.third, s.color)) return false;
        AttachCanvas(ctx, paper);
        PaintThroughEntry(brushProc, ctx, s.points, BRUSH_PRESSURE_FULL);
        ReleaseBrush(brushProc, ctx);
    }
    return true;
}

}  // namespace penlith_bench
