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
#include "brush_engine.h"

namespace {

constexpr int32_t kWidth = 1920, kHeight = 1080;
constexpr int32_t kPressure = BRUSH_PRESSURE_FULL;

// Penlith.brs from the current folder (tools/bench runs in build/dist) or
// from ..\dist beside this program's folder.
HMODULE LoadPenlith() {
    if (HMODULE m = LoadLibraryW(L"Penlith.brs")) return m;
    wchar_t path[MAX_PATH];
    const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring dir(path, n);
    dir = dir.substr(0, dir.find_last_of(L"\\/"));
    dir = dir.substr(0, dir.find_last_of(L"\\/"));
    return LoadLibraryW((dir + L"\\dist\\Penlith.brs").c_str());
}

PlugInBrushProc Entry(HMODULE module, const char *name) {
    return module ? reinterpret_cast<PlugInBrushProc>(reinterpret_cast<void *>(GetProcAddress(module, name)))
                  : nullptr;
}

// A 24-bit bottom-up canvas with its header.
struct Canvas {
    int32_t width, height, stride;
    BITMAPINFOHEADER info{};
    std::vector<uint8_t> bits;
    Canvas(int32_t w, int32_t h) : width(w), height(h), stride(((w * 24 + 31) / 32) * 4) {
        bits.resize(static_cast<size_t>(stride) * h);
        info.biSize = sizeof info;
        info.biWidth = w;
        info.biHeight = h;
        info.biPlanes = 1;
        info.biBitCount = 24;
    }
    void FillNoise() {
        for (size_t k = 0; k < bits.size(); ++k) bits[k] = static_cast<uint8_t>((k * 2654435761u) >> 24);
    }
    uint8_t *Row(int32_t memoryRow) { return bits.data() + static_cast<size_t>(memoryRow) * stride; }
};

void AttachCanvas(PlugInBrushContext &ctx, Canvas &canvas) {
    ctx.canvasInfo = reinterpret_cast<tagBITMAPINFOHEADER *>(&canvas.info);
    ctx.canvasBits = canvas.bits.data();
    ctx.width = canvas.width;
    ctx.height = canvas.height;
    ctx.stride = canvas.stride;
}

// The stroke: a looping curve sampled about every 6 pixels.
std::vector<POINT> StrokePoints() {
    std::vector<POINT> points;
    const int count = 2400;
    for (int k = 0; k < count; ++k) {
        const double a = 2 * 3.14159265358979 * k / count;
        points.push_back(POINT{static_cast<LONG>(kWidth / 2 + 900 * std::sin(3 * a)),
                               static_cast<LONG>(kHeight / 2 + 520 * std::sin(4 * a + 0.5))});
    }
    return points;
}

// One stroke as the manager drives it: begin and paint at the first point,
// paint for every further one (prev = cur as the brush left it), end.
template <typename Paint>
void DriveStroke(PlugInBrushContext &ctx, const std::vector<POINT> &points, Paint &&paint) {
    ctx.curX = ctx.prevX = ctx.startX = points[0].x;
    ctx.curY = ctx.prevY = ctx.startY = points[0].y;
    ctx.flags = BRUSHKEY_LBUTTON;
    ctx.pressure = kPressure;
    paint(ctx, true);
    for (size_t k = 1; k < points.size(); ++k) {
        ctx.prevX = ctx.curX;
        ctx.prevY = ctx.curY;
        ctx.curX = points[k].x;
        ctx.curY = points[k].y;
        paint(ctx, false);
    }
}

// The whole stroke through the entry point, begin to end.
void PaintThroughEntry(PlugInBrushProc brush, PlugInBrushContext &ctx, const std::vector<POINT> &points) {
    DriveStroke(ctx, points, [&](PlugInBrushContext &c, bool first) {
        if (first) {
            c.command = BRUSHCMD_BEGIN;
            brush(&c);
        }
        c.command = BRUSHCMD_PAINT;
        brush(&c);
    });
    ctx.command = BRUSHCMD_END;
    brush(&ctx);
}

// Selects the brush with the three parameter values; false when it refuses.
bool SelectBrush(PlugInBrushProc brush, PlugInBrushContext &ctx, BrushParam (&params)[3], int32_t size,
                 int32_t density, int32_t third, uint32_t color) {
    params[0].value = size;
    params[1].value = density;
    params[2].value = third;
    ctx.tipParams = params;
    ctx.color = color;
    ctx.command = BRUSHCMD_SELECT;
    return brush(&ctx) != 0;
}

void ReleaseBrush(PlugInBrushProc brush, PlugInBrushContext &ctx) {
    ctx.command = BRUSHCMD_RELEASE;
    brush(&ctx);
}

// The dabs the engine places along the stroke for a tip of the record's
// size, with the brush's spacing.
std::vector<brush::DabPlace> PlaceDabs(const PlugInBrushContext &selected, const brush::DabSpacing &spacing,
                                       const std::vector<POINT> &points, int64_t *tipPixels) {
    PlugInBrushContext placer = selected;
    Canvas scratch(kWidth, kHeight);
    AttachCanvas(placer, scratch);
    std::vector<brush::DabPlace> places;
    *tipPixels = 0;
    DriveStroke(placer, points, [&](PlugInBrushContext &ctx, bool) {
        brush::DirtyRect rect;
        brush::LayDabs(&ctx, rect, spacing, [&](const brush::DabPlace &p) {
            places.push_back(p);
            *tipPixels += int64_t{p.sizeW} * p.sizeH;
        });
    });
    return places;
}

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
    PaintThroughEntry(rainbow, ctx, {POINT{4, 4}});
    ReleaseBrush(rainbow, ctx);
    const uint8_t *pixel = canvas.Row(8 - 1 - 4) + 3 * 4;
    for (int32_t h = 0; h < 240; ++h) {
        const brush::BgrColor c = HueColor(h);
        if (c.b == pixel[0] && c.g == pixel[1] && c.r == pixel[2]) return h;
    }
    return -1;
}

// ------------------------------------------------------------ measuring --

struct Timing {
    double engine = 1e30, scalar = 1e30;
    bool identical = false;
};

void Report(const std::string &name, size_t dabs, int64_t tipPixels, const Timing &t) {
    const double n = static_cast<double>(dabs), px = static_cast<double>(tipPixels);
    pintora_bench::Report(name + ".dabs", n, "dabs");
    pintora_bench::Report(name + ".engine", t.engine * 1e9 / n, "ns/dab");
    pintora_bench::Report(name + ".engine", t.engine * 1e9 / px, "ns/tip-pixel");
    pintora_bench::Report(name + ".scalar", t.scalar * 1e9 / n, "ns/dab");
    pintora_bench::Report(name + ".scalar", t.scalar * 1e9 / px, "ns/tip-pixel");
    pintora_bench::Report(name + ".ratio_vs_scalar", t.engine / t.scalar, "x");
    pintora_bench::Report(name + ".identical", t.identical ? 1 : 0, "bool");
}

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
    const auto places = PlaceDabs(plugin, brush::DabSpacing::Ratio(9 - 2), points, &tipPixels);
    Canvas pristine(kWidth, kHeight), engine(kWidth, kHeight), scalar(kWidth, kHeight);
    pristine.FillNoise();
    Timing t;
    for (int r = 0; r < kRepeats; ++r) {
        engine.bits = pristine.bits;
        AttachCanvas(plugin, engine);
        const double t0 = pintora_bench::Now();
        PaintThroughEntry(pipe, plugin, points);
        t.engine = std::min(t.engine, pintora_bench::Now() - t0);

        scalar.bits = pristine.bits;
        const double t1 = pintora_bench::Now();
        ScalarPipe(scalar, places, static_cast<const uint8_t *>(plugin.tipBits),
                   static_cast<const uint8_t *>(plugin.workBits), plugin.tipWidth, brush::ColorOf(kColor));
        t.scalar = std::min(t.scalar, pintora_bench::Now() - t1);
    }
    t.identical = engine.bits == scalar.bits;
    ReleaseBrush(pipe, plugin);
    Report("pipe24q2", places.size(), tipPixels, t);
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
    const auto places = PlaceDabs(plugin, brush::DabSpacing::Pressure(), points, &tipPixels);
    Canvas pristine(kWidth, kHeight), engine(kWidth, kHeight), scalar(kWidth, kHeight);
    pristine.FillNoise();
    Timing t;
    int32_t hue = probed;
    for (int r = 0; r < kRepeats; ++r) {
        engine.bits = pristine.bits;
        AttachCanvas(plugin, engine);
        const double t0 = pintora_bench::Now();
        PaintThroughEntry(rainbow, plugin, points);
        t.engine = std::min(t.engine, pintora_bench::Now() - t0);

        scalar.bits = pristine.bits;
        const double t1 = pintora_bench::Now();
        ScalarRainbow(scalar, places, static_cast<const uint8_t *>(plugin.tipBits), plugin.tipWidth, hue);
        t.scalar = std::min(t.scalar, pintora_bench::Now() - t1);
        t.identical = engine.bits == scalar.bits;
        hue = static_cast<int32_t>((hue + 13 * static_cast<int64_t>(places.size())) % 240);
    }
    ReleaseBrush(rainbow, plugin);
    Report("rainbow20", places.size(), tipPixels, t);
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

bool WriteBmp(const char *path, const Canvas &canvas) {
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof file + sizeof canvas.info;
    file.bfSize = static_cast<DWORD>(file.bfOffBits + canvas.bits.size());
    FILE *out = std::fopen(path, "wb");
    if (!out) return false;
    const bool ok = std::fwrite(&file, sizeof file, 1, out) == 1 &&
                    std::fwrite(&canvas.info, sizeof canvas.info, 1, out) == 1 &&
                    std::fwrite(canvas.bits.data(), canvas.bits.size(), 1, out) == 1;
    return std::fclose(out) == 0 && ok;
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
        PaintThroughEntry(brushProc, ctx, s.points);
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
