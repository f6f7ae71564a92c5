// What the tests of the ink, oil, hatching, impressionist and cloud brushes
// share: the dabs a painting call will lay (placed by the engine's own
// placement, linked into the test), a reference copy of the canvas bytes
// that the tests paint with the brushes' rules written out, and the
// textures as the plug-in carries them.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "brush_engine.h"
#include "penlith_harness.h"
#include "texture_levels.h"

namespace penlith_test {

// Four times the distance of tip pixel (i, j) from (size / 2, size / 2),
// rounded as the tips round it: g with g (g - 1) <= v < g (g + 1).
inline int32_t Radius4(int32_t size, int32_t i, int32_t j) {
    const int64_t di = 2 * size - 4 * i, dj = 2 * size - 4 * j;
    const int64_t v = di * di + dj * dj;
    if (v < 2) return static_cast<int32_t>(v);
    auto g = static_cast<int64_t>(std::floor(std::sqrt(static_cast<double>(v) + 0.25) + 0.5));
    while (g * (g - 1) > v) --g;
    while (v >= g * (g + 1)) ++g;
    return static_cast<int32_t>(g);
}

inline int32_t Clamp255(int32_t v) { return v < 0 ? 0 : (v > 255 ? 255 : v); }
inline int32_t Coverage(int32_t t, int32_t pressure) {
    return t <= 0 ? 0 : (pressure + t - 128 < 0 ? 0 : (pressure + t - 128 > 128 ? 128 : pressure + t - 128));
}
inline uint8_t Mix(int32_t old, int32_t target, int32_t c) { return static_cast<uint8_t>(old + (target - old) * c / 128); }

// The dabs (with sizeW, sizeH > 0) of the painting call that the record
// would make with prev -> cur as they stand, and the spacing given.
inline std::vector<brush::DabPlace> DabsOfCall(const PlugInBrushContext &ctx, const brush::DabSpacing &spacing) {
    PlugInBrushContext copy = ctx;
    brush::EngineState engine;
    brush::DirtyRect rect;
    std::vector<brush::DabPlace> places;
    brush::LayDabs(engine, &copy, rect, spacing, [&](const brush::DabPlace &p) { places.push_back(p); });
    return places;
}

// The canvas bytes of a test canvas (memory rows bottom-up, its stride),
// painted by a test's replay of a brush's rules.
struct ReferenceCanvas {
    explicit ReferenceCanvas(const TestCanvas &canvas)
        : bytes(canvas.Snapshot()), stride(static_cast<size_t>(canvas.stride())) {}
    uint8_t *Pixel(int32_t x, int32_t memoryRow) {
        return bytes.data() + static_cast<size_t>(memoryRow) * stride + 3 * static_cast<size_t>(x);
    }
    // The pixel under the centre of a dab, as the brushes sample it.
    const uint8_t *Centre(const brush::DabPlace &p) {
        return Pixel(p.canvasX + p.sizeW / 2, p.canvasRow + p.sizeH / 2);
    }
    // Calls pixel(canvas bytes, tip byte, i, j) for every tip byte of a dab.
    template <typename F>
    void ForDab(const brush::DabPlace &p, const uint8_t *mask, int32_t tipWidth, F &&pixel) {
        for (int32_t j = 0; j < p.sizeH; ++j) {
            for (int32_t i = 0; i < p.sizeW; ++i) {
                pixel(Pixel(p.canvasX + i, p.canvasRow + j),
                      static_cast<int32_t>(mask[static_cast<size_t>(p.tipY + j) * tipWidth + p.tipX + i]), i, j);
            }
        }
    }
    std::vector<uint8_t> bytes;
    size_t stride;
};

// Sets the record up for one painting call from (x0, y0) to (x1, y1) at
// full pressure, over the harness's canvas.
inline void AimCall(PenlithBrush &b, int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
    b.brush.AttachCanvas();
    PlugInBrushContext &ctx = b.brush.ctx();
    ctx.prevX = ctx.startX = x0;
    ctx.prevY = ctx.startY = y0;
    ctx.curX = x1;
    ctx.curY = y1;
    ctx.flags = BRUSHKEY_LBUTTON;
    ctx.pressure = BRUSH_PRESSURE_FULL;
}

// Mask v of the record's tip as bytes.
inline std::vector<uint8_t> MaskOf(const PlugInBrushContext &ctx, int32_t v) {
    const size_t area = static_cast<size_t>(ctx.tipWidth) * ctx.tipHeight;
    const auto *tips = static_cast<const uint8_t *>(ctx.tipBits) + v * area;
    return {tips, tips + area};
}

}  // namespace penlith_test
