// Shared by the engine's tests: a record over a test canvas with a tip and
// an engine state of the test's own, for calling the engine operations
// directly.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "brush_engine.h"
#include "brush_harness.h"

namespace engine_test {

using brush_test::Bgr;
using brush_test::Rect;
using brush_test::TestCanvas;

// A record over `canvas` with a tipW x tipH tip of bytes `tipByte`, and a
// fresh engine state to call the engine with.
class EngineRecord {
public:
    EngineRecord(TestCanvas &canvas, int32_t tipW, int32_t tipH, uint8_t tipByte = 128)
        : tip_(static_cast<size_t>(tipW) * tipH, tipByte) {
        ctx_.canvasInfo = canvas.info();
        ctx_.canvasBits = canvas.bits();
        ctx_.width = canvas.width();
        ctx_.height = canvas.height();
        ctx_.stride = canvas.stride();
        ctx_.tipBits = tip_.data();
        ctx_.tipWidth = tipW;
        ctx_.tipHeight = tipH;
        ctx_.pressure = 128;
        ctx_.color = 0x02000000;
    }
    PlugInBrushContext *operator->() { return &ctx_; }
    PlugInBrushContext *get() { return &ctx_; }
    std::vector<uint8_t> &tip() { return tip_; }

    brush::EngineState engine;

    // A segment from prev to cur (start = prev).
    void Segment(int32_t px, int32_t py, int32_t cx, int32_t cy) {
        ctx_.prevX = ctx_.startX = px;
        ctx_.prevY = ctx_.startY = py;
        ctx_.curX = cx;
        ctx_.curY = cy;
    }

private:
    std::vector<uint8_t> tip_;
    PlugInBrushContext ctx_{};
};

// A lock that counts, to see that every path leaves what it entered.
class CountingLock final : public brush::BrushLock {
public:
    void Enter() override { ++depth, ++entered; }
    void Leave() override { --depth; }
    int depth = 0;
    int entered = 0;
};

inline Rect ToRect(const brush::DirtyRect &r) { return Rect{r.left, r.top, r.right, r.bottom}; }

}  // namespace engine_test
