// Resampling and tiling kernels.
//
// Conventions (see pixel_rows.h): rows in memory order for source and
// destination alike; sources of 1, 4, 8, 16, 24 or 32 bits are read as
// blue, green, red; every colour kernel writes 24-bit destination pixels.
// Positions are fixed point with 6 fractional bits (1/64 pixel); divisions
// truncate toward zero.  Step positions are recomputed from the index with
// one multiplication and division, so no error accumulates.
//
// Each kernel returns false, writing nothing, when a view is unusable (no
// bits, empty, stride shorter than a row), the destination is not 24-bit or
// the source format cannot be read.  They allocate at most a few rows of
// work space and never fail otherwise.
#pragma once

#include "pixel_view.h"

namespace dibwork {

// General bilinear stretch to any size.  Destination column i samples
// sx = i * (64 sw - 64) / (max(dw, 2) - 1), clamped to 64 sw - 65 so that the
// right neighbour px + 1 stays inside the row (the last column is pixel
// sw - 2 at fraction 63/64); rows likewise.  Per channel
//   top    = F0 + (F1 - F0) * fx / 64      (pixels px, px + 1 of row ry)
//   bottom = G0 + (G1 - G0) * fx / 64      (the same of row ry + 1)
//   value  = (top * (64 - fy) + bottom * fy) / 64.
// A source one pixel wide or high uses the pixel itself as its neighbour.
bool BilinearTo24(const PixelView &src, const PixelView &dst);

// Box average by whole factors kx = max(1, sw / dw), ky = max(1, sh / dh):
// destination (x, y) = rounded mean of the kx x ky block at (x kx, y ky).
// The destination must not be larger than the source.
bool BoxAverageTo24(const PixelView &src, const PixelView &dst);

// BoxAverageTo24 to width x height followed by BilinearTo24 to dst, with
// the same result, but the box-averaged rows are made two at a time as the
// bilinear pass reaches them rather than as a whole picture.
bool BoxThenBilinearTo24(const PixelView &src, const PixelView &dst, int width, int height);

// Area averaging for shrinking by factors below 2 (destination not larger
// than the source).  Source pixel u covers [u 64 dw / sw, (u + 1) 64 dw / sw)
// in 1/64 destination pixels (rows likewise), split over at most two
// destination columns and rows.  Each part adds
//   (value * widthWeight * heightWeight + 2049) / 4096
// to its destination pixel, saturating at 255.
bool AreaAverageTo24(const PixelView &src, const PixelView &dst);

// Quadratic interpolation through three samples, for enlarging.  Position
// s = i * 64 sw / dw clamped to 64 sw - 191 (so px + 2 stays inside); the
// weights of fraction f,
//   w0 = (f - 64)(f - 128),  w1 = -2 f (f - 128),  w2 = f (f - 64),
// sum to 8192.  Rows are filtered first, h = (sum w v) >> 13 clamped to
// 0..255, then h of three rows the same way.  Sources narrower or lower
// than 3 pixels have no three samples to fit: they use BilinearTo24.
bool QuadraticTo24(const PixelView &src, const PixelView &dst);

// The sampling of the thumbnail functions (destination not larger than the
// source): sx = x 64 sw / dw, sy = y 64 sh / dh, blended as in BilinearTo24.
bool ShrinkBilinearTo24(const PixelView &src, const PixelView &dst);

// Nearest sampling of indexed pictures of equal bit count (1, 4 or 8):
// destination (x, y) takes source (x sw / dw, y sh / dh).
bool SampleNearestIndexed(const PixelView &src, const PixelView &dst);

// Covers dst with copies of src (equal bit count, any format): destination
// row y is source row y mod sh, laid dw / sw whole times from the left and
// then its first dw mod sw pixels.  Tiles start at the bottom-left corner.
bool TileRows(const PixelView &src, const PixelView &dst);

// How TriStretchDIBitmap2DIBitmap resizes sw x sh to dw x dh.
enum class TriStretchMethod {
    kCopy,             // same size
    kBoxThenBilinear,  // box average to iw x ih, then bilinear to dw x dh
    kAreaAverage,      // shrinking by less than 1.75 in both directions
    kQuadratic,        // enlarging in at least one direction
};

struct TriStretchPlan {
    TriStretchMethod method = TriStretchMethod::kCopy;
    int kx = 1, ky = 1;  // box factors: the ratio rounded up from .75 on
    int iw = 0, ih = 0;  // intermediate size (sw / kx, sh / ky)
};

// All sizes must be at least 1.
TriStretchPlan PlanTriStretch(int sw, int sh, int dw, int dh);

}  // namespace dibwork
