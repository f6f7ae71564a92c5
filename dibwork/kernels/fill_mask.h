// Fills, cut-out rows and mask blends.
//
// Conventions: pictures are PixelViews (pixel_view.h).  Functions that
// take a rectangle use picture coordinates with y counted from the top and
// right/bottom exclusive; functions that match whole pictures match rows in
// memory order (equal heights make both orders the same).  Colours are
// given as blue, green, red bytes.  Nothing here reads or writes outside a
// view: rectangles are clipped, mismatched views are refused (false).
#pragma once

#include <cstdint>
#include <optional>

#include "pixel_view.h"

namespace dibwork {

struct Bgr {
    uint8_t b, g, r;
};

struct IntRect {
    int64_t left, top, right, bottom;
};

// ------------------------------------------------------------------ fills

// Every pixel of every row of a 24-bit view set to c (padding untouched).
bool FillBgr24(const PixelView &v, Bgr c);

// Index of the first colour-table entry equal to c on blue, green and red.
std::optional<unsigned> FindTableColour(const Bgra *table, int count, Bgr c);

// The byte that fills a 1-, 4- or 8-bit picture with index i: 1 bit
// 0xFF for any i > 0 (else 0), 4 bits i in both nibbles, 8 bits i.
uint8_t IndexedFillByte(int bitCount, unsigned index);

// A 24-bit destination and an 8-bit mask of the same size: each pixel
// becomes `whereSet` where its mask byte is non-zero, else `whereClear`.
bool FillThroughMask24(const PixelView &dst, const PixelView &mask8, Bgr whereSet, Bgr whereClear);

// ---------------------------------------------------------------- cut-out

// The cut-out rectangle of a packed DIB widened to whole bytes: for 1 bit
// left rounded down and right rounded up to a multiple of 8, for 4 bits
// to a multiple of 2; other bit counts unchanged (floor toward -infinity,
// so negative edges widen outward too).
void AlignCutOutColumns(int bitCount, int64_t &left, int64_t &right);

// Copies the bytes of rectangle r (columns already aligned as above) of
// src into dst (same bit count, r's size): dst row k from the top takes
// source row r.top + k from the top, bytes from r.left to r.right.  Parts
// of r outside src leave the destination bytes as they are.
bool CutOutRows(const PixelView &src, const IntRect &r, const PixelView &dst);

// ------------------------------------------------------------ mask covers

// 24-bit dst and src of equal size, 1-bit mask of that size: where a mask
// bit is set (most significant bit = leftmost pixel) the destination pixel
// becomes the source pixel.  Rows in memory order.
bool CoverThroughMask1(const PixelView &dst, const PixelView &src, const PixelView &mask1);

// Where a source picture placed with its top-left corner at (x, y) of the
// destination lands after clipping to the destination: `width` x `height`
// pixels from source (sx, sy) to destination (dx, dy), y from the top.
struct BlitSpan {
    int sx, sy, dx, dy, width, height;
};

// The span of a (right - left) x (bottom - top) source at (left, top),
// the rectangle normalised first and its size cut to the source's own
// size; nothing when no pixel remains.
std::optional<BlitSpan> ClipBlit(IntRect r, int sourceWidth, int sourceHeight, int destWidth, int destHeight);

// Masked copy of a span of 24-bit pictures; the mask has the source's size.
//   1-bit mask: destination = source where the mask bit is CLEAR; a set
//               bit keeps the destination.
//   8-bit mask: per channel d + (s - d) * m / 128 (truncating toward zero),
//               m the mask byte clamped to 0..128: 0 keeps the
//               destination, 128 gives the source.
// Other mask bit counts draw nothing (false).
bool BlendSpanThroughMask(const PixelView &dst, const PixelView &src, const PixelView &mask, const BlitSpan &span);

}  // namespace dibwork
