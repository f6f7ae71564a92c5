// The harness for Penlith's brush tests: a brush of Penlith.brs chosen by
// its export name, over a 24-bit test canvas, driven the way the brush
// manager drives it (brush_harness.h has the commands).
//
// Under Wine the entry point is the real export of build/dist/Penlith.brs,
// loaded once with LoadLibrary and resolved with GetProcAddress by name,
// exactly as the manager does; in the native sanitizer build it is the same
// brush function linked in.  So one test source serves both builds.
//
//     penlith_test::PenlithBrush airbrush("Xi_NormalBrush", 64, 48);
//     airbrush.brush.SetParams(20, 100, 0);
//     ASSERT_EQ(airbrush.brush.Select(), 1);
//     airbrush.Stroke({{10, 10}, {40, 10}});   // begin, paint, drags, end
//     EXPECT_EQ(airbrush.canvas.Pixel(10, 10), ...);
#pragma once

#include <cstdint>
#include <initializer_list>
#include <utility>

#include <gtest/gtest.h>

#include <chrono>
#include <future>

#include "brush_harness.h"

namespace penlith_test {

using brush_test::Bgr;
using brush_test::BrushHarness;
using brush_test::Rect;
using brush_test::TestCanvas;

// The entry point Penlith exports under `exportName`, or an empty function
// when it exports none by that name.  The first call loads the plug-in
// (its start-up seeds rand() with the time).
BrushHarness::Entry PenlithEntry(const char *exportName);

// A brush of Penlith with a canvas of its own, filled white.
struct PenlithBrush {
    PenlithBrush(const char *exportName, int32_t width, int32_t height)
        : canvas(width, height), brush(PenlithEntry(exportName), canvas) {
        canvas.Fill(Bgr{255, 255, 255});
    }

    // A whole stroke through the points (press at the first, a drag to
    // each further one, release).  The union of the rectangles the calls
    // handed back; a refused start gives a zero rectangle.
    Rect Stroke(std::initializer_list<std::pair<int32_t, int32_t>> points,
                int32_t flags = BRUSHKEY_LBUTTON, int32_t pressure = BRUSH_PRESSURE_FULL) {
        auto it = points.begin();
        if (it == points.end() || !brush.Start(it->first, it->second, flags, pressure)) return Rect{};
        for (++it; it != points.end(); ++it) brush.Drag(it->first, it->second, pressure);
        const Rect dirty = brush.StrokeDirty();
        brush.End();
        return dirty;
    }

    TestCanvas canvas;
    BrushHarness brush;
};

// The dirty rectangle clipped to a canvas: what a host repaints.
inline Rect ClipTo(const Rect &r, const TestCanvas &canvas) {
    Rect c{r.left < 0 ? 0 : r.left, r.top < 0 ? 0 : r.top, r.right > canvas.width() ? canvas.width() : r.right,
           r.bottom > canvas.height() ? canvas.height() : r.bottom};
    if (c.left >= c.right || c.top >= c.bottom) return Rect{};
    return c;
}

// True when every pixel of `inner` lies in `outer` (a zero `inner` always).
inline bool Covers(const Rect &outer, const Rect &inner) {
    if (inner.IsZero()) return true;
    return outer.left <= inner.left && outer.top <= inner.top && outer.right >= inner.right &&
           outer.bottom >= inner.bottom;
}

// A grey of level v in every channel.
inline Bgr Grey(int v) {
    const auto level = static_cast<uint8_t>(v);
    return Bgr{level, level, level};
}

// The patterned background every preview paints first: bands of 8 rows,
// cells of 8 columns; even bands grey 96 and blue (163, 114, 61), odd
// bands grey 192 and (128, 149, 255).
inline Bgr PreviewBackground(int32_t x, int32_t y) {
    const bool oddBand = (y / 8) % 2 == 1, oddCell = (x / 8) % 2 == 1;
    if (!oddBand) return oddCell ? Bgr{163, 114, 61} : Grey(96);
    return oddCell ? Bgr{128, 149, 255} : Grey(192);
}

// Painting with brush `name` on another thread finishes: no earlier call
// left the plug-in's lock held.
inline void ExpectLockFree(const char *name) {
    auto painted = std::async(std::launch::async, [name] {
        PenlithBrush other(name, 30, 30);
        other.brush.SetParams(10, 100, 0);
        if (other.brush.Select() != 1) return 0;
        return other.brush.Start(15, 15);
    });
    ASSERT_EQ(painted.wait_for(std::chrono::seconds(20)), std::future_status::ready) << "lock still held";
    EXPECT_EQ(painted.get(), 1);
}

}  // namespace penlith_test
