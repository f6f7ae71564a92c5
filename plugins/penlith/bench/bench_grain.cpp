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
//   B.placement        ns per dab of placing the dabs alone (the engine's
//                      GetDabPlace over the same stroke), part of B.engine
// and for the art brush, whose rule draws one rand() per painted pixel:
//   art20.rand_floor   ns per dab of those rand() calls alone
//   art20.rand_floor_share_of_engine   their time / the plug-in's time
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench_support.h"
#include "penlith_bench_support.h"

namespace {

using namespace penlith_bench;

constexpr int32_t kDensity = 60;
constexpr uint32_t kColor = 0x02306090;  // red 0x90, green 0x60, blue 0x30
constexpr unsigned kSeed = 20261207;

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
        uint8_t *row = canvas.Row(p.canvasRow + j) + 3 * p.canvasX;
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

template <typename Reference>
void Measure(const char *label, PlugInBrushProc brushProc, int32_t size, int32_t third,
             const std::vector<POINT> &points, Reference &&reference, bool randPerPixel = false) {
    const std::string name = std::string(label) + std::to_string(size);
    BrushParam params[3] = {};
    PlugInBrushContext plugin{};
    plugin.pressure = BRUSH_PRESSURE_FULL;
    if (!SelectBrush(brushProc, plugin, params, size, kDensity, third, kColor)) {
        std::printf("# %s: the brush refused its tip\n", name.c_str());
        return;
    }
    const std::vector<brush::DabPlace> places =
        PlaceDabs(plugin, brush::DabSpacing::Pressure(), points, BRUSH_PRESSURE_FULL);

    // Painted tip pixels of the stroke (the tip is freed before the figures).
    int64_t painted = 0;
    for (const brush::DabPlace &p : places) {
        for (int32_t j = 0; j < p.sizeH; ++j) {
            const uint8_t *tip = static_cast<const uint8_t *>(plugin.tipBits) +
                                 static_cast<size_t>(p.tipY + j) * plugin.tipWidth + p.tipX;
            for (int32_t i = 0; i < p.sizeW; ++i) painted += tip[i] != 0;
        }
    }
    Canvas pristine;
    pristine.FillNoise();
    // Both start from the same random numbers.
    const Timing t = BestOfRuns(
        5, pristine,
        [&](Canvas &canvas) {
            AttachCanvas(plugin, canvas);
            std::srand(kSeed);
            return Seconds([&] { PaintThroughEntry(brushProc, plugin, points, BRUSH_PRESSURE_FULL); });
        },
        [&](Canvas &canvas) {
            std::srand(kSeed);
            return Seconds([&] { reference(canvas, places, plugin); });
        });
    // The placement of the dabs alone, which the engine's time includes and
    // the reference's does not.
    PlugInBrushContext placer = plugin;
    Canvas scratch;
    AttachCanvas(placer, scratch);
    int64_t placedPixels = 0;
    const double placing = pintora_bench::BestOf(5, [&] {
        brush::EngineState engine;
        DriveStroke(placer, points, BRUSH_PRESSURE_FULL, [&](PlugInBrushContext &ctx, bool) {
            brush::DirtyRect rect;
            brush::LayDabs(engine, &ctx, rect, brush::DabSpacing::Pressure(),
                           [&](const brush::DabPlace &p) { placedPixels += p.sizeW; });
        });
    });
    if (placedPixels == 0) std::printf("# %s: no dab was placed\n", name.c_str());
    ReleaseBrush(brushProc, plugin);
    // Per dab only: the references do not count tip pixels.
    ReportTiming(name, places.size(), 0, t);
    pintora_bench::Report(name + ".placement", placing * 1e9 / static_cast<double>(places.size()), "ns/dab");
    if (randPerPixel) {
        // The rule draws one rand() for every painted tip pixel, in order:
        // that many calls of the C runtime's rand() alone are the floor.
        unsigned sink = 0;
        const double draws = pintora_bench::BestOf(5, [&] {
            for (int64_t k = 0; k < painted; ++k) sink += static_cast<unsigned>(std::rand());
        });
        if (sink == 1) std::printf("#\n");
        std::printf("# %s is bound by one rand() per painted pixel (%lld draws): the rule fixes the order of\n"
                    "# the draws, so they cannot be batched or replaced; the figures below are that floor\n",
                    name.c_str(), static_cast<long long>(painted));
        pintora_bench::Report(name + ".rand_floor", draws * 1e9 / static_cast<double>(places.size()), "ns/dab");
        pintora_bench::Report(name + ".rand_floor_share_of_engine", draws / t.engine, "x");
    }
}

}  // namespace

int main() {
    pintora_bench::PrintHeader("penlith_grain_bench");
    HMODULE penlith = LoadPenlith();
    const PlugInBrushProc crayon = Entry(penlith, "Xi_CrayonBrush");
    const PlugInBrushProc art = Entry(penlith, "Xi_SeuratBrush");
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
            },
            true);
    return 0;
}
