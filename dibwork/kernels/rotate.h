// Rotation kernels: quarter and half turns of 1-, 4-, 8- and 24-bit
// pictures, and free rotation by any whole number of degrees in fixed
// point with 12 fractional bits (units of 1/4096 pixel).
//
// Directions are as seen on screen: a positive angle turns clockwise.
// Quarter and half turns address pixels with y from the top; the free
// rotation works on rows in memory order (bottom row first), which is the
// same turn with the y axis pointing up.  Destinations must have the size
// the turn gives; every kernel writes the whole destination (pixel bytes
// and row padding) and refuses (false) views of other bit counts or sizes.
#pragma once

#include <cstdint>

#include "pixel_view.h"

namespace dibwork {

// Any angle in degrees brought into 0..359 (INT_MIN and INT_MAX included).
int NormaliseDegrees(int32_t angle);

// Clockwise quarter turn: dst is sh x sw; source (x, y) goes to
// (sh - 1 - y, x).
bool QuarterTurnRight(const PixelView &src, const PixelView &dst);

// Counter-clockwise quarter turn: source (x, y) goes to (y, sw - 1 - x).
bool QuarterTurnLeft(const PixelView &src, const PixelView &dst);

// Half turn, same size: source (x, y) goes to (w - 1 - x, h - 1 - y).
bool HalfTurn(const PixelView &src, const PixelView &dst);

// Sine and cosine of a 0..359 angle times 4096, truncated toward zero, and
// the size of the turned picture: ceil(extent / 4096) of the turned x
// extents {0, w CS, -h SN, w CS - h SN} and y extents {0, w SN, h CS,
// w SN + h CS}.  A 45-degree turn of 100 x 100 gives CS = SN = 2896 and
// 142 x 142.
struct FreeRotation {
    int sn, cs;
    int64_t width, height;
};
FreeRotation PlanFreeRotation(int degrees, int width, int height);

// Free rotation into dst of the planned size, already filled with the
// background.  For result pixel (i, j), j the memory row,
//   X = (w/2) 4096 + (i - W/2) CS - (j - H/2) SN + 2048
//   Y = (h/2) 4096 + (i - W/2) SN + (j - H/2) CS + 2048
// and source column px = floor(X / 4096), memory row py = floor(Y / 4096).
//   1, 4, 8 bits: the nearest source pixel where 0 <= px < w, 0 <= py < h.
//   24 bits: where 0 <= px < w - 1 and 0 <= py < h - 1 the bilinear blend
//            of (px, py), (px + 1, py), (px, py + 1), (px + 1, py + 1) with
//            fx = (X >> 6) & 63, fy = (Y >> 6) & 63:
//              top = F0 + (F1 - F0) fx / 64, bottom = G0 + (G1 - G0) fx / 64,
//              value = (top (64 - fy) + bottom fy) / 64.
// Elsewhere the background stays.
bool FreeRotate(const PixelView &src, const PixelView &dst, const FreeRotation &plan);

}  // namespace dibwork
