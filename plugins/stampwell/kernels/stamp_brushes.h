// Stampwell's picture stamps as plain functions over a PlugInBrushContext,
// without <windows.h>.  A stamp lays small pictures along the stroke, one
// picked at random per dab from a strip of several, each through its own
// grey mask, which gives the picture its outline and soft edge.  The
// stamps keep their own colours: the paint colour plays no part.
//
// What a selected stamp keeps in the context:
//   tipWidth = tipHeight = S   the stamp side, parameter 1 raised to at least
//                              kMinStampSide
//   tipVariantCount = n        pictures in the strip
//   tipBits                    n masks of S x S bytes, back to back (the
//                              engine's tip layout), values 0..128
//   workBits                   the picture strip scaled to S x (n S),
//                              24 bits (blue, green, red), rows bottom-up:
//                              picture v is memory rows v S .. (v + 1) S - 1
//   color3                     bytes per row of workBits (a multiple of 4)
// Tip row j and column i index the mask byte and the picture pixel alike.
#pragma once

#include <cstddef>
#include <cstdint>

#include "brush_engine.h"
#include "plugin/brush_plugin.h"

namespace stampwell {

// Side of one picture of the strips, and the smallest stamp side.
constexpr int32_t kPictureSide = 200;
constexpr int32_t kMinStampSide = 5;

// A stamp: one command of the context over the plug-in's engine state.
using StampFunction = int32_t (*)(brush::EngineState &engine, PlugInBrushContext *ctx);

#define STAMPWELL_STAMP(name, ordinal, strip, pictures) \
    int32_t name(brush::EngineState &engine, PlugInBrushContext *ctx);
#include "stamp_list.h"
#undef STAMPWELL_STAMP

// Builds the stamp of picture strip `stripId` (its low 16 bits; the mask
// strip is the resource after it) whose pictures are frame[0] x frame[1]
// pixels, `count` of them stacked: the masks and the scaled pictures from
// parameters 1 (size) and 2 (density) of the record.  1 when built; 0
// otherwise, with the record's buffers freed and nothing kept.  A platform
// service: src/stamp_builder_win32.cpp loads the strips from the plug-in's
// resources through the image library.
int32_t CreateStamp(brush::EngineState &engine, PlugInBrushContext *ctx, int32_t stripId, const int32_t *frame,
                    int32_t count);

// The stamp mask scaler: the grey picture src (sw x sh bytes, rows
// `srcStride` bytes apart) scaled to dst (dw x dh bytes, dw a row), each
// byte value x gain / 255.  In 1/64 pixel: fy = y (64 sh - 64) / (dh - 1)
// and fx = x (64 sw - 64) / (dw - 1), each kept within 0 .. 64 s - 65;
// sr = fy / 64, wy = fy % 64, sc = fx / 64, wx = fx % 64;
//     top    = src[sr][sc] + (src[sr][sc + 1] - src[sr][sc]) wx / 64
//     value  = (top (64 - wy) + src[sr + 1][sc] wy) / 64
// (the lower row is not interpolated across).  1; 0, writing nothing, when
// a pointer is NULL, a size is below 2 or the stride is shorter than sw.
int ScaleStampMask(const uint8_t *src, int32_t sw, int32_t sh, size_t srcStride, uint8_t *dst, int32_t dw,
                   int32_t dh, int32_t gain);

// What CreateStamp hands over once the strips are read: the picture strip
// already scaled to S x (count S) pixels of 24 bits, and the unscaled mask
// strip of 8 bits.  Both bottom-up, as bitmaps store them.
struct ScaledPictures {
    const uint8_t *bits = nullptr;
    size_t stride = 0;  // bytes per row, at least 3 S
    size_t bytes = 0;   // stride x rows
};
struct MaskStrip {
    const uint8_t *bits = nullptr;
    int32_t width = 0;        // bytes per mask row that are read
    int32_t frameHeight = 0;  // rows per picture
    size_t stride = 0;        // bytes from one row to the next
};

// The stamp side parameter 1 asks for: at least kMinStampSide, which is
// written back into the parameter block when it was smaller.
int32_t StampSide(PlugInBrushContext *ctx);

// Keeps the stamp: copies the scaled pictures into a new workBits, builds
// `count` masks of side x side into tipBits with the gain of parameter 2,
// sets tipWidth, tipHeight, tipVariantCount and color3.  1; 0 when memory
// fails or a size is unusable, with nothing kept.  The record's buffers
// must be free already.
int32_t KeepStamp(brush::EngineState &engine, PlugInBrushContext *ctx, int32_t side, int32_t count,
                  const ScaledPictures &pictures, const MaskStrip &masks);

}  // namespace stampwell
