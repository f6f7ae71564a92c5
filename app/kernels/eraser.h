// The eraser's geometry: which 26 x 26 squares a right drag restores
// between the last pointer position and the new one, and which rectangle
// of the canvas must be repainted afterwards.
//
// Coordinates are canvas pixels with y counted from the top; rectangles
// are left, top, right, bottom with right and bottom exclusive.
#pragma once

#include <cstdint>

namespace pintora {

struct CanvasPoint {
    int32_t x = 0;
    int32_t y = 0;
};

struct CanvasRect {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
    bool Empty() const { return right <= left || bottom <= top; }
};

// Half the side of an eraser square: squares run from centre - 13 to
// centre + 13, 26 pixels each way.
constexpr int32_t kEraserHalf = 13;

// Rounded integer square root of d (floor or floor + 1) by Newton steps
// r' = (d / r + r + 1) / 2, starting from `guess` and stopping when a step
// changes nothing.  The result is stored back into `guess` so that the
// next call, whose distance is usually similar, needs one or two steps.
// A guess of 0 (a root of 65536 truncated to 16 bits) starts from 1.
uint32_t NewtonRoot(uint64_t d, uint16_t &guess);

// One eraser step from the last point to the new one.
struct EraserSegment {
    CanvasPoint to;       // the new pointer position P
    CanvasPoint from;     // the last position L
    int32_t count = 1;    // squares to restore, at least 1
    CanvasRect repaint;   // the part of the canvas to redraw, clipped
};

// Square i (0 <= i < count) of a segment: centred at P + (L - P) * i / count
// (per coordinate, truncating division), so square 0 sits on the new point
// and the last point itself is not repeated.
CanvasRect EraserSquare(const EraserSegment &segment, int32_t i);

// The eraser's memory between mouse messages: the last point and the
// square-root guess.
class EraserTrack {
public:
    // A step to `p`.  On a button press (`start`) the last point becomes p
    // first, so exactly one square is erased at p.  width and height are
    // the canvas size, to clip the repaint rectangle.
    EraserSegment Step(CanvasPoint p, bool start, int32_t width, int32_t height);

    CanvasPoint last() const { return last_; }
    uint16_t guess() const { return guess_; }

private:
    CanvasPoint last_;
    uint16_t guess_ = 4;
};

}  // namespace pintora
