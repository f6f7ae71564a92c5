// The painting speed of the pipe (size 24, quality 2: the kids-mode pen),
// the rainbow and the two watercolours (size 40), each against a plain
// scalar loop of its own rule in the same process.
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
//     watercolour, round   per dab: carried = (7 carried + sample) / 8,
//              colour = (target + 3 min(target, carried)) / 4, the
//              standard blend through the next of the 8 masks
//     watercolour, flat    per dab row: carried = (carried + 3 sample) / 4,
//              colour = (target + 3 carried) / 4; per pixel the standard
//              coverage toward clamp(colour + grain / 16 - 4)
//     (the sample pixel is the centre of each call's first dab; the
//     carried paint is set to black before every run by a flat dab on
//     black, and the round brush's mask index is read from a probe dab)
// Printed per brush:
//     B.dabs                 dabs of the stroke
//     B.engine / B.scalar    ns per dab and per tip pixel
//     B.ratio_vs_scalar      engine time / reference time
//     B.identical            1 when both canvases are byte for byte equal
//
// With an argument, the program also paints one stroke of each of the
// rainbow, roller, pipe and fur brushes and of the two watercolours (on
// white and over a band of colour, crossing themselves), in a column
// beside them chalk, the dry brush and pastel next to the crayon (on white
// and on a dark band) and the pens and the ink wash, and below them the
// India ink, oil, hatching, impressionist and cloud strokes
// (texture_brush_samples.cpp), and writes the picture as a 24-bit BMP file
// of that name:
//     wine penlith_colour_bench.exe strokes.bmp
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "bench_support.h"
#include "penlith_bench_support.h"
#include "sample_strokes_dry_pen.h"
#include "texture_brush_samples.h"

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

// The dabs of the stroke grouped by painting call: the watercolours fix
// their sample pixel once a call.
std::vector<std::vector<brush::DabPlace>> PlaceDabsByCall(const PlugInBrushContext &selected,
                                                          const brush::DabSpacing &spacing,
                                                          const std::vector<POINT> &points, int64_t *tipPixels) {
    PlugInBrushContext placer = selected;
    Canvas scratch;
    AttachCanvas(placer, scratch);
    std::vector<std::vector<brush::DabPlace>> calls;
    int64_t area = 0;
    brush::EngineState engine;
    DriveStroke(placer, points, kPressure, [&](PlugInBrushContext &ctx, bool) {
        brush::DirtyRect rect;
        calls.emplace_back();
        brush::LayDabs(engine, &ctx, rect, spacing, [&](const brush::DabPlace &p) {
            calls.back().push_back(p);
            area += int64_t{p.sizeW} * p.sizeH;
        });
    });
    *tipPixels = area;
    return calls;
}

size_t CountDabs(const std::vector<std::vector<brush::DabPlace>> &calls) {
    size_t n = 0;
    for (const auto &call : calls) n += call.size();
    return n;
}

__attribute__((noinline)) void ScalarRoundWatercolour(Canvas &canvas,
                                                      const std::vector<std::vector<brush::DabPlace>> &calls,
                                                      const uint8_t *masks, int32_t tipWidth, brush::BgrColor color,
                                                      int32_t (&carried)[3], int32_t &variant) {
    const int32_t target[3] = {color.b, color.g, color.r};
    for (const auto &call : calls) {
        const uint8_t *sample = nullptr;
        for (const brush::DabPlace &p : call) {
            variant = (variant + 1) % 8;
            if (!sample) sample = canvas.Row(p.canvasRow + p.sizeH / 2) + 3 * (p.canvasX + p.sizeW / 2);
            int32_t colour[3];
            for (int k = 0; k < 3; ++k) {
                carried[k] = (carried[k] * 7 + sample[k]) / 8;
                colour[k] = (target[k] + 3 * std::min(target[k], carried[k])) / 4;
            }
            const uint8_t *mask = masks + static_cast<size_t>(variant) * tipWidth * tipWidth;
            for (int32_t j = 0; j < p.sizeH; ++j) {
                uint8_t *row = canvas.Row(p.canvasRow + j) + 3 * p.canvasX;
                const uint8_t *t = mask + static_cast<size_t>(p.tipY + j) * tipWidth + p.tipX;
                for (int32_t i = 0; i < p.sizeW; ++i) {
                    if (t[i] == 0) continue;
                    const int32_t c = std::min(128, std::max(0, kPressure + t[i] - 128));
                    for (int k = 0; k < 3; ++k) row[3 * i + k] = static_cast<uint8_t>(Blend(row[3 * i + k], colour[k], c));
                }
            }
        }
    }
}

__attribute__((noinline)) void ScalarFlatWatercolour(Canvas &canvas,
                                                     const std::vector<std::vector<brush::DabPlace>> &calls,
                                                     const uint8_t *tip, const uint8_t *grain, int32_t tipWidth,
                                                     brush::BgrColor color, int32_t (&carried)[3]) {
    const int32_t target[3] = {color.b, color.g, color.r};
    for (const auto &call : calls) {
        const uint8_t *sample = nullptr;
        for (const brush::DabPlace &p : call) {
            if (!sample) sample = canvas.Row(p.canvasRow + p.sizeH / 2) + 3 * (p.canvasX + p.sizeW / 2);
            for (int32_t j = 0; j < p.sizeH; ++j) {
                int32_t colour[3];
                for (int k = 0; k < 3; ++k) {
                    carried[k] = (carried[k] + 3 * sample[k]) / 4;
                    colour[k] = (target[k] + 3 * carried[k]) / 4;
                }
                const int32_t memoryRow = p.canvasRow + j;
                uint8_t *row = canvas.Row(memoryRow) + 3 * p.canvasX;
                const uint8_t *t = tip + static_cast<size_t>(p.tipY + j) * tipWidth + p.tipX;
                for (int32_t i = 0; i < p.sizeW; ++i) {
                    if (t[i] == 0) continue;
                    const int32_t g = grain[(memoryRow % 64) * 64 + (p.canvasX + i) % 64];
                    const int32_t c = std::min(128, std::max(0, kPressure + t[i] - 128));
                    for (int k = 0; k < 3; ++k) {
                        const int32_t to = Clamp255(colour[k] + g / 16 - 4);
                        row[3 * i + k] = static_cast<uint8_t>(Blend(row[3 * i + k], to, c));
                    }
                }
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

// Sets the plug-in's carried paint to black: a flat watercolour dab on
// black picks up three quarters of black every row.
bool ClearCarriedPaint(PlugInBrushProc flat) {
    PlugInBrushContext ctx{};
    BrushParam params[3] = {};
    if (!SelectBrush(flat, ctx, params, 40, 100, 0, 0)) return false;
    Canvas black(64, 64);
    std::fill(black.bits.begin(), black.bits.end(), uint8_t{0});
    AttachCanvas(ctx, black);
    PaintThroughEntry(flat, ctx, {POINT{32, 32}}, kPressure);
    ReleaseBrush(flat, ctx);
    return true;
}

// The mask index of the round watercolour's last dab: a black click on
// white shows the mask it used byte for byte (255 - 255 t / 128).
int32_t ProbeRoundMask(PlugInBrushProc round, PlugInBrushContext &selected) {
    Canvas white(64, 64);
    std::fill(white.bits.begin(), white.bits.end(), uint8_t{255});
    PlugInBrushContext ctx = selected;
    ctx.color = 0;
    AttachCanvas(ctx, white);
    PaintThroughEntry(round, ctx, {POINT{32, 32}}, kPressure);
    const int32_t size = ctx.tipWidth;
    const int32_t left = 32 - size / 2, rowStart = (64 - 1 - 32) - size / 2;
    for (int32_t v = 0; v < 8; ++v) {
        const uint8_t *mask = static_cast<const uint8_t *>(ctx.tipBits) + static_cast<size_t>(v) * size * size;
        bool same = true;
        for (int32_t j = 0; j < size && same; ++j) {
            for (int32_t i = 0; i < size && same; ++i) {
                same = white.Row(rowStart + j)[3 * (left + i)] == 255 - 255 * mask[j * size + i] / 128;
            }
        }
        if (same) return v;
    }
    return -1;
}

void MeasureWatercolours(PlugInBrushProc round, PlugInBrushProc flat, const std::vector<POINT> &points) {
    constexpr uint32_t kColor = 0x02C08030;  // a mid blue
    PlugInBrushContext roundCtx{}, flatCtx{};
    BrushParam roundParams[3] = {}, flatParams[3] = {};
    if (!SelectBrush(round, roundCtx, roundParams, 40, 60, 0, kColor) ||
        !SelectBrush(flat, flatCtx, flatParams, 40, 60, 0, kColor)) {
        std::printf("# watercolours: a brush refused its tip\n");
        return;
    }
    int32_t variant = ProbeRoundMask(round, roundCtx);
    if (variant < 0) {
        std::printf("# watercolour: the round brush's mask index could not be read\n");
        return;
    }
    Canvas pristine;
    pristine.FillNoise();
    int64_t tipPixels = 0;
    const auto roundCalls = PlaceDabsByCall(roundCtx, brush::DabSpacing::Pressure(), points, &tipPixels);
    Timing t = BestOfRuns(
        kRepeats, pristine,
        [&](Canvas &canvas) {
            ClearCarriedPaint(flat);
            AttachCanvas(roundCtx, canvas);
            return Seconds([&] { PaintThroughEntry(round, roundCtx, points, kPressure); });
        },
        [&](Canvas &canvas) {
            int32_t carried[3] = {0, 0, 0};
            return Seconds([&] {
                ScalarRoundWatercolour(canvas, roundCalls, static_cast<const uint8_t *>(roundCtx.tipBits),
                                       roundCtx.tipWidth, brush::ColorOf(kColor), carried, variant);
            });
        });
    ReportTiming("watercolour40", CountDabs(roundCalls), tipPixels, t);

    const auto flatCalls = PlaceDabsByCall(flatCtx, brush::DabSpacing::Ratio(8), points, &tipPixels);
    t = BestOfRuns(
        kRepeats, pristine,
        [&](Canvas &canvas) {
            ClearCarriedPaint(flat);
            AttachCanvas(flatCtx, canvas);
            return Seconds([&] { PaintThroughEntry(flat, flatCtx, points, kPressure); });
        },
        [&](Canvas &canvas) {
            int32_t carried[3] = {0, 0, 0};
            return Seconds([&] {
                ScalarFlatWatercolour(canvas, flatCalls, static_cast<const uint8_t *>(flatCtx.tipBits),
                                      static_cast<const uint8_t *>(flatCtx.workBits), flatCtx.tipWidth,
                                      brush::ColorOf(kColor), carried);
            });
        });
    ReportTiming("watercolour_flat40", CountDabs(flatCalls), tipPixels, t);
    ReleaseBrush(round, roundCtx);
    ReleaseBrush(flat, flatCtx);
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
    // The first 720 columns hold the strokes below and, under them, the
    // textured brushes (texture_brush_samples.cpp); the column to their
    // right the dry brushes and pens (sample_strokes_dry_pen.cpp).
    constexpr int32_t kColourSamplesHeight = 760;
    Canvas paper(720 + kSampleColumnWidth,
                 std::max(kSampleColumnHeight, kColourSamplesHeight + kTextureSamplesHeight));
    std::fill(paper.bits.begin(), paper.bits.end(), uint8_t{255});
    // A band of yellow under the right half of the watercolours, to show
    // them over colour as well as on white.
    for (int32_t y = 470; y < 740; ++y) {
        uint8_t *row = paper.Row(paper.height - 1 - y);
        for (int32_t x = 380; x < 700; ++x) {
            row[3 * x] = 40;
            row[3 * x + 1] = 210;
            row[3 * x + 2] = 250;
        }
    }
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
        // Watercolours: two round strokes crossing (red over blue darkens
        // where they meet), then two flat strokes crossing.
        {"Xi_WaterColorBrush", 40, 40, 8, 0x02D08020, Wave(520, 30, 40, 680)},
        {"Xi_WaterColorBrush", 40, 40, 8, 0x022030E0, {{80, 470}, {200, 560}, {330, 620}, {460, 640}, {620, 600}}},
        {"Xi_WaterColorDashBrush", 40, 60, 8, 0x0240A020, Wave(680, 25, 40, 680)},
        {"Xi_WaterColorDashBrush", 40, 60, 8, 0x02A02080, {{120, 740}, {260, 660}, {420, 620}, {600, 700}}},
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
    if (!PaintDryBrushSamples(penlith, paper, 720) || !PaintPenSamples(penlith, paper, 720)) return false;
    // Below: India ink, oil, hatching, impressionist and cloud strokes.
    if (!PaintTextureBrushSamples(penlith, paper, kColourSamplesHeight)) return false;
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
    const PlugInBrushProc round = Entry(penlith, "Xi_WaterColorBrush");
    const PlugInBrushProc flat = Entry(penlith, "Xi_WaterColorDashBrush");
    if (round && flat) {
        MeasureWatercolours(round, flat, points);
    } else {
        std::printf("# the watercolour brushes could not be found\n");
    }
    return 0;
}
