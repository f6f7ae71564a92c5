#include "eraser.h"

#include <algorithm>

namespace pintora {

uint32_t NewtonRoot(uint64_t d, uint16_t &guess) {
    if (d < 2) return static_cast<uint32_t>(d);
    uint64_t r = guess != 0 ? guess : 1;
    // The rounded Newton step reaches a fixed point in a few dozen steps
    // from any start (d below 2^34, a start in 1..65535); the bound only
    // guards the loop.
    for (int step = 0; step < 64; ++step) {
        const uint64_t next = (d / r + r + 1) >> 1;
        if (next == r) break;
        r = next;
    }
    guess = static_cast<uint16_t>(r);
    if (guess == 0) guess = 1;
    return static_cast<uint32_t>(r);
}

CanvasRect EraserSquare(const EraserSegment &segment, int32_t i) {
    const int64_t n = segment.count > 0 ? segment.count : 1;
    const int64_t dx = static_cast<int64_t>(segment.from.x) - segment.to.x;
    const int64_t dy = static_cast<int64_t>(segment.from.y) - segment.to.y;
    const auto cx = static_cast<int32_t>(segment.to.x + dx * i / n);
    const auto cy = static_cast<int32_t>(segment.to.y + dy * i / n);
    return {cx - kEraserHalf, cy - kEraserHalf, cx + kEraserHalf, cy + kEraserHalf};
}

EraserSegment EraserTrack::Step(CanvasPoint p, bool start, int32_t width, int32_t height) {
    if (start) last_ = p;
    EraserSegment s;
    s.to = p;
    s.from = last_;

    // The distance is squared in 64 bits: pointer positions are signed
    // 16-bit values, whose squared distance may pass 2^32.
    const int64_t dx = static_cast<int64_t>(p.x) - last_.x;
    const int64_t dy = static_cast<int64_t>(p.y) - last_.y;
    const auto d = static_cast<uint64_t>(dx * dx + dy * dy);
    const uint32_t r = NewtonRoot(d, guess_);
    s.count = std::max<int32_t>(1, static_cast<int32_t>(r / 3));

    s.repaint.left = std::max(0, std::min(p.x, last_.x) - kEraserHalf);
    s.repaint.top = std::max(0, std::min(p.y, last_.y) - kEraserHalf);
    s.repaint.right = std::min(width, std::max(p.x, last_.x) + kEraserHalf);
    s.repaint.bottom = std::min(height, std::max(p.y, last_.y) + kEraserHalf);

    last_ = p;
    return s;
}

}  // namespace pintora
