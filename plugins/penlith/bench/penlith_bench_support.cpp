#include "penlith_bench_support.h"

#include <cmath>
#include <cstdio>

#include "bench_support.h"

namespace penlith_bench {

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

Canvas::Canvas(int32_t w, int32_t h) : width(w), height(h), stride(((w * 24 + 31) / 32) * 4) {
    bits.resize(static_cast<size_t>(stride) * h);
    info.biSize = sizeof info;
    info.biWidth = w;
    info.biHeight = h;
    info.biPlanes = 1;
    info.biBitCount = 24;
}

void Canvas::FillNoise() {
    for (size_t k = 0; k < bits.size(); ++k) bits[k] = static_cast<uint8_t>((k * 2654435761u) >> 24);
}

void AttachCanvas(PlugInBrushContext &ctx, Canvas &canvas) {
    ctx.canvasInfo = reinterpret_cast<tagBITMAPINFOHEADER *>(&canvas.info);
    ctx.canvasBits = canvas.bits.data();
    ctx.width = canvas.width;
    ctx.height = canvas.height;
    ctx.stride = canvas.stride;
}

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

void PaintThroughEntry(PlugInBrushProc brush, PlugInBrushContext &ctx, const std::vector<POINT> &points,
                       int32_t pressure) {
    DriveStroke(ctx, points, pressure, [&](PlugInBrushContext &c, bool first) {
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

std::vector<brush::DabPlace> PlaceDabs(const PlugInBrushContext &selected, const brush::DabSpacing &spacing,
                                       const std::vector<POINT> &points, int32_t pressure, int64_t *tipPixels) {
    PlugInBrushContext placer = selected;
    Canvas scratch;
    AttachCanvas(placer, scratch);
    std::vector<brush::DabPlace> places;
    int64_t area = 0;
    brush::EngineState engine;  // the bench's own, apart from the plug-in's
    DriveStroke(placer, points, pressure, [&](PlugInBrushContext &ctx, bool) {
        brush::DirtyRect rect;
        brush::LayDabs(engine, &ctx, rect, spacing, [&](const brush::DabPlace &p) {
            places.push_back(p);
            area += int64_t{p.sizeW} * p.sizeH;
        });
    });
    if (tipPixels) *tipPixels = area;
    return places;
}

void ReportTiming(const std::string &name, size_t dabs, int64_t tipPixels, const Timing &t) {
    const double n = static_cast<double>(dabs), px = static_cast<double>(tipPixels);
    pintora_bench::Report(name + ".dabs", n, "dabs");
    pintora_bench::Report(name + ".engine", t.engine * 1e9 / n, "ns/dab");
    if (tipPixels > 0) pintora_bench::Report(name + ".engine", t.engine * 1e9 / px, "ns/tip-pixel");
    pintora_bench::Report(name + ".scalar", t.scalar * 1e9 / n, "ns/dab");
    if (tipPixels > 0) pintora_bench::Report(name + ".scalar", t.scalar * 1e9 / px, "ns/tip-pixel");
    pintora_bench::Report(name + ".ratio_vs_scalar", t.engine / t.scalar, "x");
    pintora_bench::Report(name + ".identical", t.identical ? 1 : 0, "bool");
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

}  // namespace penlith_bench
