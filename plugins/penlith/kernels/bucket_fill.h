// The paint bucket ("バケツ"): one flood fill per stroke, at the point where
// the stroke began, with the current colour.  The fill works on a one-bit
// match mask of the canvas's size:
//
//   1. band scans: from the seed's row downward, then upward, every pixel
//      whose blue, green and red each differ from the seed colour's by
//      less than T (parameter 1) is marked; a row without any match ends
//      the scan, since it cuts every connection across it;
//   2. the connected part: only the marked pixels edge-connected to the
//      seed stay marked (the area);
//   3. growth: a pixel is also marked when one of its four diagonal
//      neighbours belongs to the area, which takes in the antialiased
//      fringe just outside the area's edges;
//   4. painting: every marked pixel of the band's rows (the row where the
//      downward scan stopped included, the one above the band not) moves
//      toward the target by a = density x 128 / 100:
//          channel = old + (target - old) x a / 128, truncated toward zero.
//
// The mask, the connected part and the growth come from the platform
// (MakeMaskPicture): in the plug-in a one-bit picture of the image library
// with the platform's border flood fill and raster operations; in the
// sanitizer build plain memory.  The functions below are the plug-in's own
// versions of those steps, which both platforms use where they need them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "brush_engine.h"

namespace penlith::bucket {

// A one-bit picture laid out as the image library lays out 1-bit rows:
// bottom-up like the canvas, each row padded to a multiple of four bytes,
// the leftmost pixel of a byte in its highest bit; bit 1 = marked.  The
// padding bits stay 0.
struct MonoMask {
    uint8_t *bits = nullptr;
    int32_t width = 0, height = 0;
    size_t rowBytes = 0;
    uint8_t *Row(int32_t memoryRow) const { return bits + static_cast<size_t>(memoryRow) * rowBytes; }
    bool Get(int32_t x, int32_t memoryRow) const { return (Row(memoryRow)[x >> 3] >> (7 - (x & 7))) & 1; }
};

// Bytes of a one-bit row of `width` pixels, padded to four bytes.
constexpr size_t MonoRowBytes(int32_t width) { return (static_cast<size_t>(width) + 31) / 32 * 4; }

// The memory rows the band scans searched: lowRow up to highRow - 1 (the
// rows that are painted), and the number of runs of marked pixels in them
// (a run: marked pixels side by side in one row, unmarked on both ends).
struct Band {
    int32_t lowRow = 0, highRow = 0;
    uint64_t runs = 0;
};

// Which pixels match the seed colour at tolerance T: |b - sb| < T and
// |g - sg| < T and |r - sr| < T.
class MatchRule {
public:
    MatchRule(brush::BgrColor seed, int32_t tolerance);
    bool Matches(const uint8_t *pixel) const { return blue_[pixel[0]] & green_[pixel[1]] & red_[pixel[2]]; }

private:
    uint8_t blue_[256], green_[256], red_[256];
};

// Steps 1: marks the matching pixels of the mask (which must be all 0)
// from memory row seedRow down to the first row without a match (lowRow,
// or 0), then from seedRow + 1 up to the first row without one (highRow,
// or the height).
Band ScanBand(const brush::CanvasView &canvas, const MonoMask &mask, int32_t seedRow, const MatchRule &rule);

// Step 2 by a scanline fill with its work list on the heap (no recursion,
// so no area is too large for it): keeps marked only the pixels
// edge-connected to (x, memoryRow).  Every marked pixel must lie in the
// band's rows.  False (the mask then undefined) when memory fails.
bool KeepConnectedPart(const MonoMask &mask, int32_t x, int32_t memoryRow, const Band &band);

// Step 3: mask := mask OR the mask shifted by (-1, -1), (-1, +1), (+1, -1)
// and (+1, +1).  False when memory for two rows fails (mask unchanged).
bool GrowDiagonally(const MonoMask &mask);

// Step 4: every marked pixel of memory rows band.lowRow .. band.highRow - 1
// moves toward the target by a / 128.
void PaintArea(const brush::CanvasView &canvas, const MonoMask &mask, const Band &band, brush::BgrColor target,
               int32_t a);

// The rectangle a fill hands back: the whole width, from the row above the
// band down to the band's lowest row: (0, height - highRow - 1, width,
// height - lowRow).
brush::DirtyRect AreaRect(int32_t width, int32_t height, const Band &band);

// ------------------------------------------------------- the platform --

// One fill's match mask, made cleared by the platform.
class MaskPicture {
public:
    virtual ~MaskPicture() = default;
    virtual const MonoMask &Mask() const = 0;
    // Step 2 from the seed (x, memoryRow), which is marked.  False when the
    // platform cannot make what it needs; the fill is then abandoned.
    virtual bool KeepConnectedPart(int32_t x, int32_t memoryRow, const Band &band) = 0;
    // Step 3.  False as above.
    virtual bool GrowDiagonally() = 0;
};

// A cleared mask of width x height, or null when it cannot be made.
// Supplied by the platform: src/bucket_win32.cpp in the plug-in,
// native/bucket_native.cpp in the sanitizer build.
std::unique_ptr<MaskPicture> MakeMaskPicture(int32_t width, int32_t height);

// The wait cursor for the length of a fill (platform: nothing natively).
// ShowWaitCursor returns the cursor it replaced, for RestoreCursor.
void *ShowWaitCursor();
void RestoreCursor(void *previous);

// A mask in plain memory that does steps 2 and 3 with the functions above:
// the sanitizer build's platform.  Null when memory fails or the size is
// unusable.
std::unique_ptr<MaskPicture> MakeMemoryMaskPicture(int32_t width, int32_t height);

}  // namespace penlith::bucket
