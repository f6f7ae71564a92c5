// The brush engine every brush of a plug-in is built on: the command
// skeleton, the validity check and lock around painting calls, the placement
// of dabs along a segment with clipping and the dirty rectangle, colour
// jitter and the standard blend, the tip-mask builders, buffer release, the
// preview picture and the colour pick.  It is a static library linked into
// each plug-in.  What the engine keeps from call to call lives in one
// EngineState that the kernels take as an argument: the plug-in module owns
// one (brush_platform.h), a test makes its own.
//
// Plain C++ without <windows.h>: the few platform services (the global heap,
// the lock, the start-up) are declared in brush_platform.h and supplied by
// win32/ in the plug-in build and by native/ in the sanitizer build.
//
// Conventions
//   Canvas    24-bit, bytes blue, green, red; rows bottom-up, `stride` bytes
//             each.  Pixel (x, y), y from the top, lies in memory row
//             r = height - 1 - y at canvasBits + r * stride + 3 x.
//   Tip mask  tipWidth x tipHeight bytes, row-major, no padding; a byte is
//             the coverage of that tip pixel, 128 = full, 0 = not painted.
//             Variant v starts at v x tipWidth x tipHeight.  Tip row j of a
//             dab lands on memory row (first row of the dab) + j, so tip
//             row 0 is the lowest screen row of the dab.
//   Distances are in eighths of a pixel ("8" suffix); tip radii in quarter
//             pixels.
//   Coordinates far outside any canvas (beyond +-2^24) are treated as
//             +-2^24, so no arithmetic on them can overflow.
#pragma once

#include <cstddef>
#include <cstdint>

#include "plugin/brush_plugin.h"

namespace brush {

// ------------------------------------------------------------------ types --

// Where one dab lands: the first tip column and row inside the canvas, the
// canvas column and memory row (bottom-up) they land on, and how many tip
// columns and rows lie inside the canvas (0 or more).
struct DabPlace {
    int32_t tipX = 0, tipY = 0;
    int32_t canvasX = 0, canvasRow = 0;
    int32_t sizeW = 0, sizeH = 0;
};

// A rectangle of top-down canvas pixels, right and bottom exclusive.  Each
// painting call keeps one, lets the placement grow it and hands it to
// EndBrushDraw.
struct DirtyRect {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
};

// A target colour in canvas byte order.
struct BgrColor {
    uint8_t b = 0, g = 0, r = 0;
};

// The colour of a Windows colour value (red in the lowest byte).
constexpr BgrColor ColorOf(uint32_t color) {
    return BgrColor{static_cast<uint8_t>(color >> 16), static_cast<uint8_t>(color >> 8),
                    static_cast<uint8_t>(color)};
}

// The plug-in's lock around painting calls (a critical section on Windows).
class BrushLock {
public:
    virtual void Enter() = 0;
    virtual void Leave() = 0;

protected:
    ~BrushLock() = default;
};

// Per-pixel planes a brush derives from its tip and keeps between calls
// (the pipe's coverage and shaded target bytes), in a buffer of the
// plug-in's heap.  The brush decides what the key fields mean; the engine
// only frees the buffer.
struct KeptTipPlanes {
    uint8_t *bytes = nullptr;
    size_t capacity = 0;
    bool valid = false;
    uint32_t generation = 0;
    const uint8_t *mask = nullptr;
    int32_t width = 0, height = 0, pressure = 0;
    uint32_t color = 0;
};

// The expanded coverage of the last fixed tip (SolidDabBlender::UseFixedTip)
// in a buffer of the plug-in's heap: three 16-bit lanes a tip pixel, each
// twice the pixel's coverage, then for every tip row of the kept masks the
// first painted column and one past the last (two 16-bit values, 0 0 for a
// row that paints nothing).
struct FixedTipCoverage {
    uint8_t *bytes = nullptr;
    size_t capacity = 0;
    bool valid = false;
    uint32_t generation = 0;
    const uint8_t *mask = nullptr;
    int32_t width = 0, height = 0, pressure = 0;
    int32_t variants = 0;  // masks kept, one after the other from `mask`
};

// Everything the engine keeps between the calls of all brushes of one
// plug-in: alive as long as the plug-in is loaded and never reset by the
// engine.  Painting calls use it under `lock`.
struct EngineState {
    EngineState() = default;
    EngineState(const EngineState &) = delete;
    EngineState &operator=(const EngineState &) = delete;
    ~EngineState();  // frees the caches (ReleaseEngineCaches)

    // The plug-in's lock around painting calls; NULL runs them unguarded
    // (harmless on the one user-interface thread).
    BrushLock *lock = nullptr;
    uint16_t sqrtGuess = 4;       // last integer root: the next starting guess
    int32_t tipVariantIndex = 0;  // tip variant of the current dab
    int32_t carriedColor[3] = {}; // blue, green, red: the paint a brush carries
    // Position on the hue circle of the last dab of a brush whose colour
    // walks round it (the rainbow): shared by all its strokes and records.
    int32_t walkingHue = 0;
    // Changes whenever a tip may have been built, rebuilt or freed (every
    // AllocTipMasks and tip release, every select, release and preview
    // command), so that what is cached about a tip is never taken for a
    // newer one.
    uint32_t tipGeneration = 0;
    // The last tip diagonal asked for (every dab asks; speed only).
    int32_t diagonalTipWidth = 0, diagonalTipHeight = 0;
    uint32_t diagonal8 = 0;
    // The last segment measured and its length in eighths (every dab of a
    // painting call asks for the same one; speed only).
    bool segmentKept = false;
    int32_t segmentEnds[4] = {};
    uint16_t segment8 = 0;
    // The coverage of the last fixed tip (speed only).
    FixedTipCoverage fixedTip;
    // Planes a brush keeps for its tip (speed only).
    KeptTipPlanes keptPlanes;
};

// Largest tip side the engine builds or paints with.
constexpr int32_t kMaxTipSide = 4096;

// -------------------------------------------------------- record helpers --

// Value of parameter k (1, 2 or 3) of the selected brush; 0 without a
// parameter block.
int32_t ParamValue(const PlugInBrushContext *ctx, int k);

// Peak tip value of a density: density x 128 / 100, truncated, kept within
// 0..128 (density 100 gives 128).
int32_t PeakOfDensity(int32_t density);

// The canvas described by a usable record.
struct CanvasView {
    uint8_t *bits = nullptr;
    int32_t width = 0;
    int32_t height = 0;
    size_t stride = 0;
    uint8_t *Pixel(int32_t x, int32_t memoryRow) const {
        return bits + static_cast<size_t>(memoryRow) * stride + 3 * static_cast<size_t>(x);
    }
};
CanvasView CanvasOf(const PlugInBrushContext *ctx);

// True when the record describes a 24-bit canvas whose pointers are set,
// whose sizes are positive and whose rows hold 3 x width bytes.
bool CanvasUsable(const PlugInBrushContext *ctx);

// Tip mask number `variant` of the record.
inline const uint8_t *TipMask(const PlugInBrushContext *ctx, int32_t variant = 0) {
    return static_cast<const uint8_t *>(ctx->tipBits) +
           static_cast<size_t>(variant) * static_cast<size_t>(ctx->tipWidth) *
               static_cast<size_t>(ctx->tipHeight);
}

// ------------------------------------------------------- begin and end --

// 1 when painting may go on (the lock, if given, is then held), 0 when the
// record, its canvas or its tip is unusable (no lock taken).  Applies the
// Shift constraint: with BRUSHKEY_SHIFT, cur is bent onto the horizontal or
// vertical line through the start point (a tie goes vertical).
int BeginBrushDraw(PlugInBrushContext *ctx, BrushLock *lock);

// Copies the rectangle into the dirty fields and leaves the lock if one was
// given (always, so no path returns holding it).  1; 0 without a record or
// a rectangle.
int EndBrushDraw(PlugInBrushContext *ctx, BrushLock *lock, const DirtyRect *rect);

// ----------------------------------------------------------- distances --

// The integer root of v rounded to the nearest integer: g with
// g (g - 1) <= v < g (g + 1); v itself below 2.  Newton's steps start from
// the engine's sqrtGuess and store the result back (speed only).
uint32_t IntegerRoot(EngineState &engine, uint32_t v);

// Eight times the distance between two points, rounded: the root of
// 64 ((ax - bx)^2 + (ay - by)^2), saturated at 65535.
uint16_t GetDistance8(EngineState &engine, int32_t ax, int32_t ay, int32_t bx, int32_t by);

// Eight times the tip's diagonal: the root of 64 (tipWidth^2 + tipHeight^2).
uint32_t TipDiagonal8(EngineState &engine, const PlugInBrushContext *ctx);

// Four times the distance of tip pixel (i, j) from (size / 2, size / 2),
// rounded: the root of (2 size - 4i)^2 + (2 size - 4j)^2.
uint32_t TipRadius4(EngineState &engine, int32_t size, int32_t i, int32_t j);

// ------------------------------------------------------- dab placement --
//
// Each returns 1 when dab n of the segment prev -> cur exists: the place is
// filled and the rectangle grown (for n = 0 it is first reset to the dab).
// A dab wholly off the canvas still exists (sizeW or sizeH 0) and still
// grows the rectangle.  When the pointer has not yet moved one spacing,
// dab 0 does not exist, cur is set back to prev (so short moves add up)
// and the rectangle becomes empty.

// Spacing of one eighth of the tip diagonal at full pressure, less under
// light pressure; nothing at all below pressure 2.
int GetDabPlace(EngineState &engine, PlugInBrushContext *ctx, DabPlace *place, DirtyRect *rect, int32_t n);

// Spacing of `percent` of the tip diagonal, counted in 128ths
// (RatioSpacingK); pressure plays no part.
int GetDabPlaceByRatio(EngineState &engine, PlugInBrushContext *ctx, DabPlace *place, DirtyRect *rect,
                       int32_t percent, int32_t n);

// One dab per pixel of path, no too-short rule, no pressure.
int GetDabPlaceByPixel(EngineState &engine, PlugInBrushContext *ctx, DabPlace *place, DirtyRect *rect,
                       int32_t n);

// The spacing of GetDabPlaceByRatio in 128ths of the diagonal:
// percent x 128 / 100, truncated (10 gives 12), at least 1 so that a
// segment always has an end.
int32_t RatioSpacingK(int32_t percent);

// Which placement a brush uses.
struct DabSpacing {
    enum Kind { kPressure, kRatio, kPixel } kind = kPressure;
    int32_t percent = 0;
    static DabSpacing Pressure() { return {kPressure, 0}; }
    static DabSpacing Ratio(int32_t percent) { return {kRatio, percent}; }
    static DabSpacing Pixel() { return {kPixel, 0}; }
};
int PlaceDab(EngineState &engine, PlugInBrushContext *ctx, DabPlace *place, DirtyRect *rect,
             const DabSpacing &spacing, int32_t n);

// The dabs of one painting call along the record's segment.  What they all
// share (the segment's length, the tip's diagonal, the spacing) is worked
// out once when the walk starts; Place(n) then gives exactly what PlaceDab
// gives for dab n, as long as the record's segment, tip, canvas and
// pressure stay as they were (a dab 0 that pulls cur back ends the walk).
// The functions above are each one walk that places one dab.
class DabWalk {
public:
    DabWalk(EngineState &engine, PlugInBrushContext *ctx, const DabSpacing &spacing);
    int Place(DabPlace *place, DirtyRect *rect, int32_t n) const;

private:
    enum class Path { kNone, kSingle, kAlong };
    PlugInBrushContext *ctx_;
    DabSpacing::Kind kind_;
    Path path_ = Path::kNone;
    bool narrow_ = false;  // tip and canvas small enough for 32-bit placement
    int64_t prevX_ = 0, prevY_ = 0, curX_ = 0, curY_ = 0;
    uint32_t dist8_ = 0;
    // By pressure: the diagonal, the pressure, the spacing, and D / 24.
    double diag8_ = 0, pressure_ = 0, spacing8_ = 0, lead8_ = 0;
    // By ratio: D k and its spacing D k / 128.
    int64_t diagK_ = 0, spacingK8_ = 0;
};

// The painting loop of a brush: places dab n = 0, 1, ... until the
// placement says there is no dab n, and hands every dab with sizeW > 0 and
// sizeH > 0 to paintDab(const DabPlace &).  Returns the number of dabs
// placed, painted or not.
template <typename PaintDab>
int32_t LayDabs(EngineState &engine, PlugInBrushContext *ctx, DirtyRect &rect, const DabSpacing &spacing,
                PaintDab &&paintDab) {
    const DabWalk walk(engine, ctx, spacing);
    DabPlace place;
    int32_t n = 0;
    while (walk.Place(&place, &rect, n)) {
        if (place.sizeW > 0 && place.sizeH > 0) paintDab(static_cast<const DabPlace &>(place));
        ++n;
    }
    return n;
}

// ----------------------------------------------------- colour and blend --

// Colour roughness r: half = 3r / 2; when half > 0, blue, green and red in
// that order get rand() % (2 half) - half added, clamped to 0..255.
void JitterColor(BgrColor *color, int32_t roughness);

// Coverage of the standard blend: pressure + tip byte - 128 within 0..128;
// 0 for a tip byte of 0.
inline int32_t StandardCoverage(int32_t tipByte, int32_t pressure) {
    if (tipByte <= 0) return 0;
    if (pressure > 256) pressure = 256;  // coverage is 128 from here on
    if (pressure < -256) pressure = -256;
    const int32_t c = pressure + tipByte - 128;
    return c < 0 ? 0 : (c > 128 ? 128 : c);
}

// One channel moved toward the target by coverage / 128, truncated toward
// zero.
inline uint8_t BlendChannel(uint8_t old, uint8_t target, int32_t coverage) {
    return static_cast<uint8_t>(old + (target - old) * coverage / 128);
}

// The standard blend of one pixel (blue, green, red bytes); a tip byte of 0
// leaves it alone.
inline void BlendPixel(uint8_t *pixel, BgrColor target, int32_t tipByte, int32_t pressure) {
    const int32_t c = StandardCoverage(tipByte, pressure);
    if (c == 0) return;
    pixel[0] = BlendChannel(pixel[0], target.b, c);
    pixel[1] = BlendChannel(pixel[1], target.g, c);
    pixel[2] = BlendChannel(pixel[2], target.r, c);
}

// A dab of one solid colour through a tip mask onto the 24-bit canvas with
// the standard blend:
//     channel = old + (target - old) x clamp(pressure + t - 128, 0, 128) / 128
// for every tip byte t > 0, truncated toward zero.  Made once per painting
// call (the coverage table depends on the pressure only); the target may
// change from dab to dab.  SSE2 does 16 channel bytes at a time and gives
// exactly the bytes of BlendSolidThroughTipOntoBgr24Scalar.
class SolidDabBlender {
public:
    explicit SolidDabBlender(int32_t pressure);
    void SetTarget(BgrColor target);

    // For brushes whose mask stays exactly as it was built on select (the
    // single round tips): the coverage of the record's whole first mask,
    // with the painted span of each of its rows, is kept between calls and
    // reused by Blend for that mask while the tip generation, the tip and
    // the pressure stay the same.  The coverage is kept in `engine`, which must outlive the
    // blender.  Call it once per painting call, under the plug-in's lock.
    // Without it (or for tips too large to keep) Blend expands the coverage
    // row by row; the bytes are the same either way.  `variants` > 1 keeps
    // that many masks of the record (the random grain brushes pick one per
    // dab), as long as they hold no more than 512 x 512 pixels together.
    void UseFixedTip(EngineState &engine, const PlugInBrushContext *ctx, int32_t variants = 1);

    void Blend(const CanvasView &canvas, const DabPlace &place, const uint8_t *mask,
               int32_t tipWidth) const;

private:
    bool FixedTipStillKept() const;

    void BuildTable() const;

    void BlendKept(const CanvasView &canvas, const DabPlace &place, size_t maskOffset) const;

    mutable uint32_t coverage3_[256];  // coverage of tip byte t, repeated in three bytes
    mutable bool tableBuilt_ = false;  // coverage3_ is filled
    uint8_t pattern_[48];      // the target's channels repeated: b, g, r, b, ...
    int32_t pressure_;         // within -256..256, where coverage stops changing
    const uint8_t *fixedMask_ = nullptr;     // the (first) mask of UseFixedTip
    size_t fixedMaskBytes_ = 0;              // bytes of all kept masks
    const uint8_t *fixedCoverage_ = nullptr; // the kept buffer (FixedTipCoverage)
    const uint16_t *fixedLanes_ = nullptr;   // its coverage lanes
    const uint16_t *fixedSpans_ = nullptr;   // its painted span of every tip row
    const EngineState *fixedEngine_ = nullptr; // where it is kept
    int32_t fixedWidth_ = 0;
};

// Frees what the engine keeps between calls (the fixed-tip coverage and the
// kept tip planes); the plug-in's shutdown calls it.
void ReleaseEngineCaches(EngineState &engine);

// Makes engine.keptPlanes hold at least `bytes` bytes (its contents are
// then undefined and it is marked not valid when it had to grow); false
// when they cannot be allocated.
bool ReserveKeptPlanes(EngineState &engine, size_t bytes);

// The standard blend of one row with a target and a coverage per channel
// byte: for each of `count` bytes with coverage[o] > 0 (0..128),
//     dst[o] = dst[o] + (targets[o] - dst[o]) x coverage[o] / 128
// truncated toward zero.  SSE2 blends 16 bytes at a time.
void BlendBytesTowardTargets(uint8_t *dst, const uint8_t *coverage, const uint8_t *targets, int32_t count);

// The same blend written as the formula, pixel by pixel: the reference the
// fast path is tested against.
void BlendSolidThroughTipOntoBgr24Scalar(const CanvasView &canvas, const DabPlace &place,
                                         const uint8_t *mask, int32_t tipWidth, BgrColor target,
                                         int32_t pressure);

// ------------------------------------------------------------ tip masks --

// Frees tipBits and workBits (where set) and sets them NULL.
void ReleaseTipBuffers(EngineState &engine, PlugInBrushContext *ctx);

// Sets tipWidth = tipHeight = size and allocates `variants` zero-filled
// masks as tipBits.  The mask, or NULL (tipBits NULL, tip size 0) for a size
// outside 1..kMaxTipSide or when memory fails.
uint8_t *AllocTipMasks(EngineState &engine, PlugInBrushContext *ctx, int32_t size, int32_t variants);

// Fill a size x size mask with peak p (see MakeSoftTip and friends).
void FillSoftMask(EngineState &engine, uint8_t *mask, int32_t size, int32_t peak);
void FillMarkerMask(EngineState &engine, uint8_t *mask, int32_t size, int32_t peak);
void FillRollerMask(EngineState &engine, uint8_t *mask, int32_t size, int32_t peak);

// Tip builders: free the old tip and work buffer, then build one square
// tip of size parameter 1 and peak PeakOfDensity(parameter 2).  1, or 0
// when the size is unusable or memory fails.
//   soft    raised cosine over the radius (size 1: p / 3)
//   marker  flat core of half the radius, cosine rim
//   roller  flat, with a one-pixel rim p, p/2, p/3, p/4
// Size 2 gives four bytes p / 2 for all three.
int MakeSoftTip(EngineState &engine, PlugInBrushContext *ctx);
int MakeMarkerTip(EngineState &engine, PlugInBrushContext *ctx);
int MakeRollerTip(EngineState &engine, PlugInBrushContext *ctx);

// Frees tipBits, workBits and spareBits where set and sets them NULL.  1.
int FreeBrushBuffers(EngineState &engine, PlugInBrushContext *ctx);

// ------------------------------------------------------------ textures --

// Writes into dst (dw x dh bytes, dw a row) the grey texture src (sw x sh
// bytes, sw a row) turned by `angle` whole degrees and scaled to the
// destination size, each byte the bilinear sample x gain / 255 (gain kept
// within 0..255).  Destination pixels whose source cell has no right or
// lower neighbour inside the texture are left as they were.  1; 0, writing
// nothing, when a pointer is NULL or a size is below 1.
int RotateTexture(const uint8_t *src, int32_t sw, int32_t sh, uint8_t *dst, int32_t dw, int32_t dh, int32_t gain,
                  int32_t angle);

// ------------------------------------------------------ preview and pick --

// Fills the canvas with grey 96 and lays the 8 x 8 cell pattern of the
// preview background.  1; 0 when the canvas is unusable.
int FillPreviewBackground(PlugInBrushContext *ctx);

// Coverage of a preview dab: a = 128 - t, squared (strength - 1) times in
// 128ths, coverage 128 - a; strength 3 equals four stacked dabs.
int32_t PreviewCoverage(int32_t tipByte, int32_t strength);

// The shared preview: background, then dab 0 at cur in `color` (no jitter,
// no pressure) with PreviewCoverage, under the engine's lock.  As
// EndBrushDraw; 0 when the record is unusable.  strength is kept within
// 1..32.
int DrawBrushPreview(EngineState &engine, PlugInBrushContext *ctx, int32_t strength);

// Colour pick: applies the Shift constraint (BeginBrushDraw without a
// lock); when cur lies on the canvas, color = 0x02000000 + the pixel's
// blue x 65536 + green x 256 + red.  A given rectangle becomes empty.
// 1; 0 when the record is unusable.
int PickCanvasColor(PlugInBrushContext *ctx, DirtyRect *rect);

// ---------------------------------------------------------- the skeleton --

// What a brush's painting step tells the skeleton.
enum class PaintResult {
    kPainted,         // EndBrushDraw with the grown rectangle, its result
    kRefusedEmpty,    // EndBrushDraw with an empty rectangle, then 0
    kRefusedUntouched // leave the lock, dirty fields untouched, 0
};

// The slots a brush fills in the command skeleton.  Unset slots take the
// engine's behaviour.
struct BrushOps {
    // BRUSHCMD_SELECT: build the tip (and whatever else the brush keeps).
    int (*buildTip)(EngineState &engine, PlugInBrushContext *ctx) = nullptr;
    // BRUSHCMD_PAINT without the pick flag, between BeginBrushDraw and
    // EndBrushDraw: lay the dabs and grow the rectangle.
    PaintResult (*paint)(EngineState &engine, PlugInBrushContext *ctx, DirtyRect &rect) = nullptr;
    // BRUSHCMD_BEGIN without the pick flag (default: nothing, 1).
    int (*beginStroke)(EngineState &engine, PlugInBrushContext *ctx) = nullptr;
    // BRUSHCMD_END (default: nothing, 1).
    int (*endStroke)(EngineState &engine, PlugInBrushContext *ctx) = nullptr;
    // BRUSHCMD_PREVIEW (default: PreviewByRepeatedPaint with previewRuns
    // when it is above 0, else DrawBrushPreview with previewStrength).
    int (*preview)(EngineState &engine, PlugInBrushContext *ctx) = nullptr;
    int32_t previewRuns = 0;
    int32_t previewStrength = 3;
    // False for brushes that ignore the pick flag and always paint.
    bool picksColor = true;
};

// The ops of a brush that only builds its tip and paints, with the preview
// of `previewRuns` painting steps (0: the single-dab preview).
inline BrushOps TipAndPaintOps(int (*buildTip)(EngineState &, PlugInBrushContext *),
                               PaintResult (*paint)(EngineState &, PlugInBrushContext *, DirtyRect &),
                               int32_t previewRuns = 0) {
    BrushOps ops;
    ops.buildTip = buildTip;
    ops.paint = paint;
    ops.previewRuns = previewRuns;
    return ops;
}

// Runs one command of a brush over the plug-in's engine state: the whole
// entry point of most brushes.  Unknown commands and a NULL record give 0.
int32_t RunBrush(EngineState &engine, PlugInBrushContext *ctx, const BrushOps &ops);

// The own-preview pattern of several brushes: the preview background, then
// the brush's painting step `runs` times (BRUSHCMD_PAINT through
// RunBrush); 0 as soon as one run fails.
int32_t PreviewByRepeatedPaint(EngineState &engine, PlugInBrushContext *ctx, const BrushOps &ops,
                               int32_t runs);

}  // namespace brush
