// The painting speed of the chalk, the fountain pen and the ink-wash brush
// (size 20 each) against plain scalar loops of their rules in the same
// process.
//
// Run with:   tools/bench penlith_dry_pen_bench     (or tools/bench for all)
//
// The brush of the built Penlith.brs paints a long stroke (a looping curve
// over a 1920 x 1080 canvas, the pointer moving about 6 pixels a move)
// through its entry point.  The reference replays the same dabs (placed by
// the same engine code, linked in here) with the rule written out pixel by
// pixel:
//     chalk   g = paper grain under the pixel, cv = clamp(pressure + t - 128),
//             a = cv x g / 256, channel = old + (clamp(target + g / 8 - 16)
//             - old) x a / 128  (roughness 0: no colour jitter)
//     fountain pen   per call ink += (3 w - d) x 3 / w while the move d is
//             below 3 w (up to 256); per dab (one a pixel of path) disc
//             (256 - ink) x 10 / 256 with the standard blend, then
//             ink = max(ink - 1, 64)
//     ink wash   per call ink = min(ink + 1, capacity); per dab mask
//             rand() % 3 (srand fixed before both), f = ink x cv / capacity
//             per tip pixel, channel = old + (colour - old) x f / 128, then
//             ink = max(ink - 1, 0)
// Printed per brush:
//     B.dabs                 dabs of the stroke
//     B.engine / B.scalar    ns per dab and per tip pixel
//     B.ratio_vs_scalar      engine time / reference time
//     B.identical            1 when both canvases are byte for byte equal
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "bench_support.h"
#include "penlith_bench_support.h"

namespace {

using namespace penlith_bench;

constexpr int32_t kPressure = BRUSH_PRESSURE_FULL;
constexpr int kRepeats = 5;

int32_t Clamp255(int32_t v) { return v < 0 ? 0 : (v > 255 ? 255 : v); }
int32_t Coverage(int32_t t) { return std::min(128, std::max(0, kPressure + t - 128)); }

__attribute__((noinline)) void ScalarChalk(Canvas &canvas, const std::vector<brush::DabPlace> &places,
                                           const uint8_t *tip, const uint8_t *grain, int32_t tipWidth,
                                           brush::BgrColor color) {
    const int32_t target[3] = {color.b, color.g, color.r};
    for (const brush::DabPlace &p : places) {
        for (int32_t j = 0; j < p.sizeH; ++j) {
            const int32_t memoryRow = p.canvasRow + j;
            uint8_t *row = canvas.Row(memoryRow) + 3 * p.canvasX;
            const uint8_t *t = tip + static_cast<size_t>(p.tipY + j) * tipWidth + p.tipX;
            for (int32_t i = 0; i < p.sizeW; ++i) {
                if (t[i] == 0) continue;
                const int32_t g = grain[(memoryRow % 64) * 64 + (p.canvasX + i) % 64];
                const int32_t a = Coverage(t[i]) * g / 256;
                for (int k = 0; k < 3; ++k) {
                    const int32_t goal = Clamp255(target[k] + g / 8 - 16);
                    row[3 * i + k] = static_cast<uint8_t>(row[3 * i + k] + (goal - row[3 * i + k]) * a / 128);
                }
            }
        }
    }
}

void MeasureChalk(PlugInBrushProc chalk, const std::vector<POINT> &points) {
    constexpr uint32_t kColor = 0x02D0E8F0;  // a warm white chalk
    PlugInBrushContext plugin{};
    BrushParam params[3] = {};
    if (!SelectBrush(chalk, plugin, params, 20, 70, 0, kColor)) {
        std::printf("# chalk: the brush refused its tip\n");
        return;
    }
    int64_t tipPixels = 0;
    const auto places = PlaceDabs(plugin, brush::DabSpacing::Pressure(), points, kPressure, &tipPixels);
    Canvas pristine;
    pristine.FillNoise();
    const Timing t = BestOfRuns(
        kRepeats, pristine,
        [&](Canvas &canvas) {
            AttachCanvas(plugin, canvas);
            return Seconds([&] { PaintThroughEntry(chalk, plugin, points, kPressure); });
        },
        [&](Canvas &canvas) {
            return Seconds([&] {
                ScalarChalk(canvas, places, static_cast<const uint8_t *>(plugin.tipBits),
                            static_cast<const uint8_t *>(plugin.workBits), plugin.tipWidth, brush::ColorOf(kColor));
            });
        });
    ReleaseBrush(chalk, plugin);
    ReportTiming("chalk20", places.size(), tipPixels, t);
}

// The dabs of the stroke grouped by painting call, clipped ones too, with
// each call's pointer move in whole pixels.
struct Call {
    int32_t move = 0;
    std::vector<brush::DabPlace> dabs;
};

std::vector<Call> PlaceCalls(const PlugInBrushContext &selected, const brush::DabSpacing &spacing,
                             const std::vector<POINT> &points, size_t *dabCount) {
    PlugInBrushContext placer = selected;
    Canvas scratch;
    AttachCanvas(placer, scratch);
    std::vector<Call> calls;
    brush::EngineState engine;
    *dabCount = 0;
    DriveStroke(placer, points, kPressure, [&](PlugInBrushContext &ctx, bool) {
        Call call;
        const int64_t dx = ctx.prevX - ctx.curX, dy = ctx.prevY - ctx.curY;
        call.move = static_cast<int32_t>(brush::IntegerRoot(engine, static_cast<uint32_t>(dx * dx + dy * dy)));
        brush::DirtyRect rect;
        brush::DabPlace place;
        for (int32_t n = 0; brush::PlaceDab(engine, &ctx, &place, &rect, spacing, n); ++n) call.dabs.push_back(place);
        *dabCount += call.dabs.size();
        calls.push_back(std::move(call));
    });
    return calls;
}

// Calls `pixel(canvas pixel, coverage)` for every tip byte t > 0 of a dab,
// coverage = clamp(pressure + t - 128, 0, 128).
template <typename Pixel>
inline void ForTipPixels(Canvas &canvas, const brush::DabPlace &p, const uint8_t *mask, int32_t tipWidth,
                         Pixel &&pixel) {
    for (int32_t j = 0; j < p.sizeH; ++j) {
        uint8_t *row = canvas.Row(p.canvasRow + j) + 3 * p.canvasX;
        const uint8_t *t = mask + static_cast<size_t>(p.tipY + j) * tipWidth + p.tipX;
        for (int32_t i = 0; i < p.sizeW; ++i) {
            if (t[i]) pixel(row + 3 * i, Coverage(t[i]));
        }
    }
}

__attribute__((noinline)) void ScalarFountainPen(Canvas &canvas, const std::vector<Call> &calls,
                                                 const uint8_t *discs, int32_t tipWidth, brush::BgrColor color) {
    const int32_t target[3] = {color.b, color.g, color.r};
    const size_t area = static_cast<size_t>(tipWidth) * tipWidth;
    int32_t ink = 64;
    for (const Call &call : calls) {
        if (call.move < 3 * tipWidth) ink = std::min(ink + (3 * tipWidth - call.move) * 3 / tipWidth, 256);
        for (const brush::DabPlace &p : call.dabs) {
            if (p.sizeW > 0 && p.sizeH > 0) {
                const uint8_t *disc = discs + static_cast<size_t>((256 - ink) * 10 / 256) * area;
                ForTipPixels(canvas, p, disc, tipWidth, [&](uint8_t *px, int32_t c) {
                    for (int k = 0; k < 3; ++k) px[k] = static_cast<uint8_t>(px[k] + (target[k] - px[k]) * c / 128);
                });
            }
            ink = std::max(ink - 1, 64);
        }
    }
}

__attribute__((noinline)) void ScalarInkWash(Canvas &canvas, const std::vector<Call> &calls, const uint8_t *masks,
                                             int32_t tipWidth, brush::BgrColor color, int32_t supply) {
    const int32_t target[3] = {color.b, color.g, color.r};
    const size_t area = static_cast<size_t>(tipWidth) * tipWidth;
    const int32_t capacity = 20 * supply;
    int32_t ink = 15 * supply;
    for (const Call &call : calls) {
        ink = std::min(ink + 1, capacity);
        for (const brush::DabPlace &p : call.dabs) {
            if (p.sizeW <= 0 || p.sizeH <= 0) continue;
            const uint8_t *mask = masks + static_cast<size_t>(std::rand() % 3) * area;
            ForTipPixels(canvas, p, mask, tipWidth, [&](uint8_t *px, int32_t c) {
                const int32_t f = ink * c / capacity;
                for (int k = 0; k < 3; ++k) px[k] = static_cast<uint8_t>(px[k] + (target[k] - px[k]) * f / 128);
            });
            ink = std::max(ink - 1, 0);
        }
    }
}

constexpr unsigned kSeed = 20261207;

void MeasureFountainPenAndInkWash(PlugInBrushProc pen, PlugInBrushProc wash, const std::vector<POINT> &points) {
    constexpr uint32_t kInk = 0x02402010;  // a dark blue-black
    constexpr int32_t kSupply = 30;
    PlugInBrushContext penCtx{}, washCtx{};
    BrushParam penParams[3] = {}, washParams[3] = {};
    if (!SelectBrush(pen, penCtx, penParams, 20, 70, 0, kInk) ||
        !SelectBrush(wash, washCtx, washParams, 20, 70, kSupply, kInk)) {
        std::printf("# fountain pen, ink wash: a brush refused its tip\n");
        return;
    }
    Canvas pristine;
    pristine.FillNoise();
    size_t dabs = 0;
    const auto penCalls = PlaceCalls(penCtx, brush::DabSpacing::Pixel(), points, &dabs);
    Timing t = BestOfRuns(
        kRepeats, pristine,
        [&](Canvas &canvas) {
            AttachCanvas(penCtx, canvas);
            return Seconds([&] { PaintThroughEntry(pen, penCtx, points, kPressure); });
        },
        [&](Canvas &canvas) {
            return Seconds([&] {
                ScalarFountainPen(canvas, penCalls, static_cast<const uint8_t *>(penCtx.tipBits), penCtx.tipWidth,
                                  brush::ColorOf(kInk));
            });
        });
    ReportTiming("fountainpen20", dabs, 0, t);

    const auto washCalls = PlaceCalls(washCtx, brush::DabSpacing::Ratio(4), points, &dabs);
    t = BestOfRuns(
        kRepeats, pristine,
        [&](Canvas &canvas) {
            AttachCanvas(washCtx, canvas);
            std::srand(kSeed);
            return Seconds([&] { PaintThroughEntry(wash, washCtx, points, kPressure); });
        },
        [&](Canvas &canvas) {
            std::srand(kSeed);
            return Seconds([&] {
                ScalarInkWash(canvas, washCalls, static_cast<const uint8_t *>(washCtx.tipBits), washCtx.tipWidth,
                              brush::ColorOf(kInk), kSupply);
            });
        });
    ReportTiming("inkwash20", dabs, 0, t);
    ReleaseBrush(pen, penCtx);
    ReleaseBrush(wash, washCtx);
}

}  // namespace

int main() {
    pintora_bench::PrintHeader("penlith_dry_pen_bench");
    HMODULE penlith = LoadPenlith();
    const PlugInBrushProc chalk = Entry(penlith, "Xi_ChalkBrush");
    if (!chalk) {
        std::printf("# Penlith.brs or its chalk could not be loaded\n");
        return 1;
    }
    const std::vector<POINT> points = StrokePoints();
    MeasureChalk(chalk, points);
    const PlugInBrushProc pen = Entry(penlith, "Xi_FountainPenBrush");
    const PlugInBrushProc wash = Entry(penlith, "Xi_SumieBrush");
    if (pen && wash) {
        MeasureFountainPenAndInkWash(pen, wash, points);
    } else {
        std::printf("# the fountain pen or the ink-wash brush could not be found\n");
    }
    return 0;
}
