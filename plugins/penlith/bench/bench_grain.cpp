// The painting speed of the crayon (size 15) and the art brush (size 20),
// each against a plain scalar loop of the same work in the same process.
//
// Run with:   tools/bench penlith_grain_bench     (or tools/bench for all)
//
// Each brush of the built Penlith.brs paints a long stroke (a looping
// curve over a 1920 x 1080 canvas, the pointer moving about 6 pixels a
// move) with its own spacing, density 60.  The reference replays the same
// dabs (placed by the same engine code, linked in here) from the same
// random numbers (srand is fixed before both):
//   crayon  one mask rand() % 12 per dab (roughness 0: no colour jitter),
//           blended pixel by pixel with the formula
//               channel = old + (target - old) x clamp(pressure + t - 128, 0, 128) / 128
//   art     a 64-colour palette drawn at the stroke start, then per tip
//           pixel with t > 0 entry rand() & 63, blended the same way
// Printed per brush:
//   B.dabs             dabs of the stroke
//   B.engine           ns per dab of the plug-in (whole entry point)
//   B.scalar           ns per dab of the reference loop
//   B.ratio_vs_scalar  engine time / reference time
//   B.identical        1 when both canvases are byte for byte equal
#include <windows.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench_support.h"
#include "brush_engine.h"

namespace {

constexpr int32_t kWidth = 1920, kHeight = 1080;
constexpr int32_t kStride = ((kWidth * 24 + 31) / 32) * 4;
constexpr int32_t kDensity = 60;
constexpr uint32_t kColor = 0x02306090;  // red 0x90, green 0x60, blue 0x30
constexpr unsigned kSeed = 20261207;

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
void DriveStroke(PlugInBrushContext &ctx, const std::vector<POINT> &points, PlugInBrushProc brush) {
    ctx.curX = ctx.prevX = ctx.startX = points[0].x;
    ctx.curY = ctx.prevY = ctx.startY = points[0].y;
    ctx.flags = BRUSHKEY_LBUTTON;
    ctx.pressure = BRUSH_PRESSURE_FULL;
    ctx.command = BRUSHCMD_BEGIN;
    brush(&ctx);
    ctx.command = BRUSHCMD_PAINT;
    brush(&ctx);
    for (size_t k = 1; k < points.size(); ++k) {
        ctx.prevX = ctx.curX;
        ctx.prevY = ctx.curY;
        ctx.curX = points[k].x;
        ctx.curY = points[k].y;
        ctx.command = BRUSHCMD_PAINT;
        brush(&ctx);
    }
    ctx.command = BRUSHCMD_END;
    brush(&ctx);
}

// The dabs the engine places along the stroke for the brush's tip.
std::vector<brush::DabPlace> PlaceDabs(const PlugInBrushContext &tip, const std::vector<POINT> &points) {
    PlugInBrushContext ctx = tip;
    Canvas scratch;
    AttachCanvas(ctx, scratch);
    std::vector<brush::DabPlace> places;
    auto segment = [&] {
        brush::DirtyRect rect;
        brush::LayDabs(&ctx, rect, brush::DabSpacing::Pressure(),
                       [&](const brush::DabPlace &p) { places.push_back(p); });
    };
    ctx.curX = ctx.prevX = points[0].x;
    ctx.curY = ctx.prevY = points[0].y;
    ctx.pressure = BRUSH_PRESSURE_FULL;
    segment();
    for (size_t k = 1; k < points.size(); ++k) {
        ctx.prevX = ctx.curX;
        ctx.prevY = ctx.curY;
        ctx.curX = points[k].x;
        ctx.curY = points[k].y;
        segment();
    }
    return places;
}

inline void BlendFormula(uint8_t *pixel, const uint8_t *bgr, int32_t t) {
    int32_t c = BRUSH_PRESSURE_FULL + t - 128;
    c = c < 0 ? 0 : (c > 128 ? 128 : c);
    for (int k = 0; k < 3; ++k) pixel[k] = static_cast<uint8_t>(pixel[k] + (bgr[k] - pixel[k]) * c / 128);
}

// Calls `pixel(canvas pixel, tip byte)` for every tip byte t > 0 of a dab.
template <typename Pixel>
inline void ForTipPixels(Canvas &canvas, const brush::DabPlace &p, const uint8_t *mask, int32_t tipWidth,
                         Pixel &&pixel) {
    for (int32_t j = 0; j < p.sizeH; ++j) {
        uint8_t *row = canvas.bits.data() + static_cast<size_t>(p.canvasRow + j) * kStride + 3 * p.canvasX;
        const uint8_t *t = mask + static_cast<size_t>(p.tipY + j) * tipWidth + p.tipX;
        for (int32_t i = 0; i < p.sizeW; ++i) {
            if (t[i]) pixel(row + 3 * i, t[i]);
        }
    }
}

// Crayon reference: mask rand() % count per dab, the blend as the formula.
__attribute__((noinline)) void CrayonReference(Canvas &canvas, const std::vector<brush::DabPlace> &places,
                                               const PlugInBrushContext &tip) {
    const brush::BgrColor c = brush::ColorOf(kColor);
    const uint8_t bgr[3] = {c.b, c.g, c.r};
    const size_t maskBytes = static_cast<size_t>(tip.tipWidth) * tip.tipHeight;
    for (const brush::DabPlace &p : places) {
        const uint8_t *mask = static_cast<const uint8_t *>(tip.tipBits) + (std::rand() % tip.tipVariantCount) * maskBytes;
        ForTipPixels(canvas, p, mask, tip.tipWidth, [&](uint8_t *px, int32_t t) { BlendFormula(px, bgr, t); });
    }
}

// Art reference: the palette, then a palette entry per painted tip pixel.
__attribute__((noinline)) void ArtReference(Canvas &canvas, const std::vector<brush::DabPlace> &places,
                                            const PlugInBrushContext &tip, int32_t roughness) {
    const brush::BgrColor c = brush::ColorOf(kColor);
    const int32_t base[3] = {c.b, c.g, c.r};
    const int32_t spread = roughness * 256 / 100, half = spread / 2;
    uint8_t palette[192];
    for (int k = 0; k < 192; ++k) {
        const int32_t v = base[k % 3] + std::rand() % spread - half;
        palette[k] = static_cast<uint8_t>(v < 0 ? 0 : (v > 255 ? 255 : v));
    }
    const uint8_t *mask = static_cast<const uint8_t *>(tip.tipBits);
    for (const brush::DabPlace &p : places) {
        ForTipPixels(canvas, p, mask, tip.tipWidth,
                     [&](uint8_t *px, int32_t t) { BlendFormula(px, palette + 3 * (std::rand() & 63), t); });
    }
}

struct Figures {
    double engine = 1e30, scalar = 1e30;
    bool identical = true;
};

template <typename Reference>
void Measure(const char *label, PlugInBrushProc brushProc, int32_t size, int32_t third,
             const std::vector<POINT> &points, Reference &&reference) {
    const std::string name = std::string(label) + std::to_string(size);
    BrushParam params[3] = {};
    params[0].value = size;
    params[1].value = kDensity;
    params[2].value = third;
    PlugInBrushContext plugin{};
    plugin.tipParams = params;
    plugin.color = kColor;
    plugin.pressure = BRUSH_PRESSURE_FULL;
    plugin.command = BRUSHCMD_SELECT;
    if (!brushProc(&plugin)) {
        std::printf("# %s: the brush refused its tip\n", name.c_str());
        return;
    }
    const std::vector<brush::DabPlace> places = PlaceDabs(plugin, points);
    const double dabs = static_cast<double>(places.size());

    Figures f;
    const Canvas pristine;
    Canvas engineCanvas, scalarCanvas;
    for (int r = 0; r < 5; ++r) {
        engineCanvas.bits = pristine.bits;
        AttachCanvas(plugin, engineCanvas);
        std::srand(kSeed);
        const double t0 = pintora_bench::Now();
        DriveStroke(plugin, points, brushProc);
        f.engine = std::min(f.engine, pintora_bench::Now() - t0);

        scalarCanvas.bits = pristine.bits;
        std::srand(kSeed);
        const double t1 = pintora_bench::Now();
        reference(scalarCanvas, places, plugin);
        f.scalar = std::min(f.scalar, pintora_bench::Now() - t1);
        f.identical = f.identical && engineCanvas.bits == scalarCanvas.bits;
    }
    plugin.command = BRUSHCMD_RELEASE;
    brushProc(&plugin);

    pintora_bench::Report(name + ".dabs", dabs, "dabs");
    pintora_bench::Report(name + ".engine", f.engine * 1e9 / dabs, "ns/dab");
    pintora_bench::Report(name + ".scalar", f.scalar * 1e9 / dabs, "ns/dab");
    pintora_bench::Report(name + ".ratio_vs_scalar", f.engine / f.scalar, "x");
    pintora_bench::Report(name + ".identical", f.identical ? 1 : 0, "bool");
}

PlugInBrushProc Entry(HMODULE penlith, const char *name) {
    return reinterpret_cast<PlugInBrushProc>(reinterpret_cast<void *>(GetProcAddress(penlith, name)));
}

}  // namespace

int main() {
    pintora_bench::PrintHeader("penlith_grain_bench");
    HMODULE penlith = LoadPenlith();
    const PlugInBrushProc crayon = penlith ? Entry(penlith, "Xi_CrayonBrush") : nullptr;
    const PlugInBrushProc art = penlith ? Entry(penlith, "Xi_SeuratBrush") : nullptr;
    if (!crayon || !art) {
        std::printf("# Penlith.brs or its crayon and art brush could not be loaded\n");
        return 1;
    }
    const std::vector<POINT> points = StrokePoints();
    Measure("crayon", crayon, 15, 0, points, CrayonReference);
    const int32_t artRoughness = 50;
    Measure("art", art, 20, artRoughness, points,
            [&](Canvas &canvas, const std::vector<brush::DabPlace> &places, const PlugInBrushContext &tip) {
                ArtReference(canvas, places, tip, artRoughness);
            });
    return 0;
}
