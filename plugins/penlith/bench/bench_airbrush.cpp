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

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "bench_support.h"
#include "brush_engine.h"

namespace {

constexpr int32_t kWidth = 1920, kHeight = 1080;
constexpr int32_t kStride = ((kWidth * 24 + 31) / 32) * 4;
constexpr int32_t kDensity = 60;
constexpr uint32_t kColor = 0x02306090;  // red 0x90, green 0x60, blue 0x30

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

struct Canvas {
    BITMAPINFOHEADER info{};
    std::vector<uint8_t> bits;
    Canvas() : bits(static_cast<size_t>(kStride) * kHeight) {
        info.biSize = sizeof info;
        info.biWidth = kWidth;
        info.biHeight = kHeight;
        info.biPlanes = 1;
        info.biBitCount = 24;
        for (size_t k = 0; k < bits.size(); ++k) bits[k] = static_cast<uint8_t>((k * 2654435761u) >> 24);
    }
};

void AttachCanvas(PlugInBrushContext &ctx, Canvas &canvas) {
    ctx.canvasInfo = reinterpret_cast<tagBITMAPINFOHEADER *>(&canvas.info);
    ctx.canvasBits = canvas.bits.data();
    ctx.width = kWidth;
    ctx.height = kHeight;
    ctx.stride = kStride;
}

// One stroke as the manager drives it: begin and paint at the first point,
// paint for every further one (prev = cur as the brush left it), end.
template <typename Paint>
void DriveStroke(PlugInBrushContext &ctx, const std::vector<POINT> &points, Paint &&paint) {
    ctx.curX = ctx.prevX = ctx.startX = points[0].x;
    ctx.curY = ctx.prevY = ctx.startY = points[0].y;
    ctx.flags = BRUSHKEY_LBUTTON;
    ctx.pressure = BRUSH_PRESSURE_FULL;
    paint(ctx, true);
    for (size_t k = 1; k < points.size(); ++k) {
        ctx.prevX = ctx.curX;
        ctx.prevY = ctx.curY;
        ctx.curX = points[k].x;
        ctx.curY = points[k].y;
        paint(ctx, false);
    }
}

// The reference: the blend written as the formula.
__attribute__((noinline)) void ScalarDabs(Canvas &canvas, const std::vector<brush::DabPlace> &places,
                                          const uint8_t *tip, int32_t tipWidth, brush::BgrColor target,
                                          int32_t pressure) {
    const int32_t channels[3] = {target.b, target.g, target.r};
    for (const brush::DabPlace &p : places) {
        for (int32_t j = 0; j < p.sizeH; ++j) {
            uint8_t *row = canvas.bits.data() + static_cast<size_t>(p.canvasRow + j) * kStride + 3 * p.canvasX;
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
    params[0].value = size;
    params[1].value = kDensity;

    // The plug-in's tip, and the dabs its engine places along the stroke.
    PlugInBrushContext plugin{};
    plugin.tipParams = params;
    plugin.color = kColor;
    plugin.command = BRUSHCMD_SELECT;
    if (!airbrush(&plugin)) {
        std::printf("# %s: the brush refused its tip\n", name.c_str());
        return;
    }
    PlugInBrushContext placer = plugin;
    Canvas scratch;
    AttachCanvas(placer, scratch);
    std::vector<brush::DabPlace> places;
    int64_t tipPixels = 0;
    DriveStroke(placer, points, [&](PlugInBrushContext &ctx, bool) {
        brush::DirtyRect rect;
        brush::LayDabs(&ctx, rect, brush::DabSpacing::Pressure(), [&](const brush::DabPlace &p) {
            places.push_back(p);
            tipPixels += int64_t{p.sizeW} * p.sizeH;
        });
    });
    const double dabs = static_cast<double>(places.size());

    const int repeats = 9;
    double engineBest = 1e30, scalarBest = 1e30;
    Canvas engineCanvas, scalarCanvas;
    const Canvas pristine;
    for (int r = 0; r < repeats; ++r) {
        engineCanvas.bits = pristine.bits;
        AttachCanvas(plugin, engineCanvas);
        const double t0 = pintora_bench::Now();
        DriveStroke(plugin, points, [&](PlugInBrushContext &ctx, bool first) {
            if (first) {
                ctx.command = BRUSHCMD_BEGIN;
                airbrush(&ctx);
            }
            ctx.command = BRUSHCMD_PAINT;
            airbrush(&ctx);
        });
        engineBest = std::min(engineBest, pintora_bench::Now() - t0);

        scalarCanvas.bits = pristine.bits;
        const double t1 = pintora_bench::Now();
        ScalarDabs(scalarCanvas, places, static_cast<const uint8_t *>(plugin.tipBits), plugin.tipWidth,
                   brush::ColorOf(kColor), BRUSH_PRESSURE_FULL);
        scalarBest = std::min(scalarBest, pintora_bench::Now() - t1);
    }
    plugin.command = BRUSHCMD_RELEASE;
    airbrush(&plugin);

    pintora_bench::Report(name + ".dabs", dabs, "dabs");
    pintora_bench::Report(name + ".engine", engineBest * 1e9 / dabs, "ns/dab");
    pintora_bench::Report(name + ".engine", engineBest * 1e9 / static_cast<double>(tipPixels), "ns/tip-pixel");
    pintora_bench::Report(name + ".scalar", scalarBest * 1e9 / dabs, "ns/dab");
    pintora_bench::Report(name + ".scalar", scalarBest * 1e9 / static_cast<double>(tipPixels), "ns/tip-pixel");
    pintora_bench::Report(name + ".ratio_vs_scalar", engineBest / scalarBest, "x");
    pintora_bench::Report(name + ".identical", engineCanvas.bits == scalarCanvas.bits ? 1 : 0, "bool");
}

}  // namespace

int main() {
    pintora_bench::PrintHeader("penlith_airbrush_bench");
    HMODULE penlith = LoadPenlith();
    const auto airbrush = penlith ? reinterpret_cast<PlugInBrushProc>(
                                        reinterpret_cast<void *>(GetProcAddress(penlith, "Xi_NormalBrush")))
                                  : nullptr;
    if (!airbrush) {
        std::printf("# Penlith.brs or its Xi_NormalBrush could not be loaded\n");
        return 1;
    }
    const std::vector<POINT> points = StrokePoints();
    for (int32_t size : {20, 100}) Measure(airbrush, size, points);
    return 0;
}
