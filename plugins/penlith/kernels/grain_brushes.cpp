// The grain brushes: crayon, pencil and spray.  Each keeps a stack of
// random tip masks, built when the brush is selected, and every dab paints
// one mask chosen at random, so a stroke never repeats its pattern.
//
// Masks (size s, peak p = density x 128 / 100; r = TipRadius4(s, i, j),
// four times the distance of pixel (i, j) from (s / 2, s / 2)):
//   crayon  12 masks.  Speckles: a rand() whose low four bits are all set
//           drops a 2 x 2 block of min(2p, 255) at (i, j).  Box blur with
//           the edge rules below, capped at 128; then the disc cut r >= 2s.
//   pencil  10 + max(0, 20 - s) masks (size 1 makes masks of 2 at half p).
//           Speckles: a rand() with low four bits above 6 sets the pixel to
//           (rand() % 256) x p / 256.  The same blur; then the cut r > 2s
//           and a thinning draw per pixel: low three bits 6 or 7 clear it,
//           5 halves it.
//   spray   12 masks of loose dots: inside the disc (r < 2s) a rand() with
//           low three bits above 4 sets the pixel to
//           (rand() % 1024) x p / 2048.  Size 1 leaves the masks empty.
//
// Box blur of one mask, row j, with the row above (j - 1, or j itself on
// the first row) and below (j + 1, or j itself on the last row):
//   column 0       (sum of columns 0 and 1 of the three rows + 3) / 6
//   inner columns  (sum of the 3 x 3 neighbourhood + 4) / 9
//   last column    (sum of the last two columns of the three rows + 3) / 6
//
// Painting: the colour is jittered once per call by the third parameter;
// every dab (spacing of GetDabPlace) takes mask rand() % tipVariantCount
// and lays it with the standard blend.  The preview lays three dabs at the
// centre of the preview background.
//
// Every random number comes from the C runtime's rand(), the process's one
// generator, in the order written above (mask by mask, row by row, column
// by column).
#include <cstdlib>
#include <cstring>

#include "brush_engine.h"
#include "brush_platform.h"
#include "penlith_brushes.h"

namespace penlith {

namespace {

constexpr int32_t kCrayonMasks = 12;
constexpr int32_t kSprayMasks = 12;

// A temporary plug-in buffer, freed when the builder returns.
class ScratchBuffer {
public:
    explicit ScratchBuffer(size_t bytes) : bits_(static_cast<uint8_t *>(brush::AllocBrushBuffer(bytes))) {}
    ~ScratchBuffer() { brush::FreeBrushBuffer(bits_); }
    ScratchBuffer(const ScratchBuffer &) = delete;
    ScratchBuffer &operator=(const ScratchBuffer &) = delete;
    uint8_t *get() const { return bits_; }

private:
    uint8_t *bits_;
};

size_t MaskBytes(const PlugInBrushContext *ctx) {
    return static_cast<size_t>(ctx->tipWidth) * static_cast<size_t>(ctx->tipHeight);
}

// Drops the masks again after a failed build, so painting is refused
// rather than done with half-built masks.
int FailBuild(brush::EngineState &engine, PlugInBrushContext *ctx) {
    brush::ReleaseTipBuffers(engine, ctx);
    ctx->tipWidth = ctx->tipHeight = 0;
    return 0;
}

// The box blur of one size x size mask (size >= 2) from `src` into `dst`,
// with the edge rules of the file comment, capped at 128.
void BoxBlurMask(const uint8_t *src, uint8_t *dst, int32_t size) {
    const size_t stride = static_cast<size_t>(size);
    for (int32_t j = 0; j < size; ++j) {
        const uint8_t *rows[3] = {src + (j > 0 ? j - 1 : j) * stride, src + j * stride,
                                  src + (j < size - 1 ? j + 1 : j) * stride};
        // Column sums of the three rows.
        auto column = [&rows](int32_t i) { return rows[0][i] + rows[1][i] + rows[2][i]; };
        uint8_t *out = dst + j * stride;
        int32_t value = (column(0) + column(1) + 3) / 6;
        out[0] = static_cast<uint8_t>(value > 128 ? 128 : value);
        for (int32_t i = 1; i < size - 1; ++i) {
            value = (column(i - 1) + column(i) + column(i + 1) + 4) / 9;
            out[i] = static_cast<uint8_t>(value > 128 ? 128 : value);
        }
        value = (column(size - 2) + column(size - 1) + 3) / 6;
        out[size - 1] = static_cast<uint8_t>(value > 128 ? 128 : value);
    }
}

// Blurs every mask of tipBits into `scratch`, then `finish` runs on each
// blurred pixel (mask by mask, row by row) before the result is copied
// back over tipBits.
template <typename Finish>
void BlurMasks(PlugInBrushContext *ctx, uint8_t *scratch, Finish &&finish) {
    const int32_t size = ctx->tipWidth;
    const size_t bytes = MaskBytes(ctx);
    uint8_t *tips = static_cast<uint8_t *>(ctx->tipBits);
    for (int32_t m = 0; m < ctx->tipVariantCount; ++m) {
        uint8_t *blurred = scratch + m * bytes;
        BoxBlurMask(tips + m * bytes, blurred, size);
        for (int32_t j = 0; j < size; ++j) {
            for (int32_t i = 0; i < size; ++i) finish(blurred[j * size + i], i, j);
        }
    }
    std::memcpy(tips, scratch, bytes * static_cast<size_t>(ctx->tipVariantCount));
}

// Crayon speckles: a one-in-16 draw drops a 2 x 2 block (the right and
// lower neighbours only where the rules allow them).
void SpeckleCrayon(uint8_t *mask, int32_t size, uint8_t v) {
    for (int32_t j = 0; j < size; ++j) {
        for (int32_t i = 0; i < size; ++i) {
            if ((std::rand() & 15) != 15) continue;
            uint8_t *at = mask + j * size + i;
            at[0] = v;
            if (i < size - 1) at[1] = v;
            if (j + 1 < size - 1) {
                at[size] = v;
                if (i + 1 < size - 1) at[size + 1] = v;
            }
        }
    }
}

int BuildCrayonMasks(brush::EngineState &engine, PlugInBrushContext *ctx) {
    if (!ctx) return 0;
    brush::ReleaseTipBuffers(engine, ctx);
    const int32_t size = brush::ParamValue(ctx, 1);
    if (!ctx->tipParams || size < 2) return FailBuild(engine, ctx);
    uint8_t *tips = brush::AllocTipMasks(engine, ctx, size, kCrayonMasks);
    if (!tips) return FailBuild(engine, ctx);
    ctx->tipVariantCount = kCrayonMasks;
    const int32_t peak = brush::PeakOfDensity(brush::ParamValue(ctx, 2));
    const uint8_t speckle = static_cast<uint8_t>(2 * peak > 255 ? 255 : 2 * peak);
    const size_t bytes = MaskBytes(ctx);
    for (int32_t m = 0; m < kCrayonMasks; ++m) SpeckleCrayon(tips + m * bytes, size, speckle);

    ScratchBuffer scratch(bytes * kCrayonMasks);
    if (!scratch.get()) return FailBuild(engine, ctx);
    BlurMasks(ctx, scratch.get(), [&engine, size](uint8_t &pixel, int32_t i, int32_t j) {
        if (brush::TipRadius4(engine, size, i, j) >= static_cast<uint32_t>(2 * size)) pixel = 0;
    });
    return 1;
}

int BuildPencilMasks(brush::EngineState &engine, PlugInBrushContext *ctx) {
    if (!ctx) return 0;
    brush::ReleaseTipBuffers(engine, ctx);
    if (!ctx->tipParams) return FailBuild(engine, ctx);
    int32_t size = brush::ParamValue(ctx, 1);
    int32_t peak = brush::PeakOfDensity(brush::ParamValue(ctx, 2));
    if (size < 2) {  // the thinnest pencil: masks of 2 x 2 at half the density
        size = 2;
        peak /= 2;
    }
    const int32_t count = 10 + (size < 20 ? 20 - size : 0);
    uint8_t *tips = brush::AllocTipMasks(engine, ctx, size, count);
    if (!tips) return FailBuild(engine, ctx);
    ctx->tipVariantCount = count;
    const size_t total = MaskBytes(ctx) * static_cast<size_t>(count);
    for (size_t k = 0; k < total; ++k) {
        if ((std::rand() & 15) > 6) tips[k] = static_cast<uint8_t>((std::rand() % 256) * peak / 256);
    }

    ScratchBuffer scratch(total);
    if (!scratch.get()) return FailBuild(engine, ctx);
    // The cut and the thinning use the mask's own size (2 for the thinnest
    // pencil), so its masks keep three of their four pixels.
    BlurMasks(ctx, scratch.get(), [&engine, size](uint8_t &pixel, int32_t i, int32_t j) {
        if (brush::TipRadius4(engine, size, i, j) > static_cast<uint32_t>(2 * size)) pixel = 0;
        const int thin = std::rand() & 7;
        if (thin >= 6) {
            pixel = 0;
        } else if (thin == 5) {
            pixel = static_cast<uint8_t>(pixel / 2);
        }
    });
    return 1;
}

int BuildSprayMasks(brush::EngineState &engine, PlugInBrushContext *ctx) {
    if (!ctx) return 0;
    brush::ReleaseTipBuffers(engine, ctx);
    if (!ctx->tipParams) return FailBuild(engine, ctx);
    const int32_t size = brush::ParamValue(ctx, 1);
    uint8_t *tips = brush::AllocTipMasks(engine, ctx, size, kSprayMasks);
    if (!tips) return FailBuild(engine, ctx);
    ctx->tipVariantCount = kSprayMasks;
    if (size < 2) return 1;  // empty masks: the spray paints nothing
    const int32_t peak = brush::PeakOfDensity(brush::ParamValue(ctx, 2));
    for (int32_t m = 0; m < kSprayMasks; ++m) {
        for (int32_t j = 0; j < size; ++j) {
            for (int32_t i = 0; i < size; ++i, ++tips) {
                if (brush::TipRadius4(engine, size, i, j) >= static_cast<uint32_t>(2 * size)) continue;
                if ((std::rand() & 7) > 4) *tips = static_cast<uint8_t>((std::rand() % 1024) * peak / 2048);
            }
        }
    }
    return 1;
}

// BRUSHCMD_PAINT of all three: one jittered colour per call, a random
// mask per dab.
brush::PaintResult PaintRandomMasks(brush::EngineState &engine, PlugInBrushContext *ctx, brush::DirtyRect &rect) {
    brush::BgrColor target = brush::ColorOf(ctx->color);
    brush::JitterColor(&target, brush::ParamValue(ctx, 3));
    brush::SolidDabBlender blender(ctx->pressure);
    blender.SetTarget(target);
    const brush::CanvasView canvas = brush::CanvasOf(ctx);
    const int32_t variants = ctx->tipVariantCount > 0 ? ctx->tipVariantCount : 1;
    // The masks stay as built on select: their coverage is kept between calls.
    blender.UseFixedTip(engine, ctx, variants);
    int32_t &chosen = engine.tipVariantIndex;
    brush::LayDabs(engine, ctx, rect, brush::DabSpacing::Pressure(), [&](const brush::DabPlace &place) {
        chosen = std::rand() % variants;
        blender.Blend(canvas, place, brush::TipMask(ctx, chosen), ctx->tipWidth);
    });
    return brush::PaintResult::kPainted;
}

brush::BrushOps GrainOps(int (*buildTip)(brush::EngineState &, PlugInBrushContext *)) {
    brush::BrushOps ops;
    ops.buildTip = buildTip;
    ops.paint = PaintRandomMasks;
    ops.previewRuns = 3;
    return ops;
}

const brush::BrushOps &CrayonOps() {
    static const brush::BrushOps ops = GrainOps(BuildCrayonMasks);
    return ops;
}
const brush::BrushOps &PencilOps() {
    static const brush::BrushOps ops = GrainOps(BuildPencilMasks);
    return ops;
}
const brush::BrushOps &SprayOps() {
    static const brush::BrushOps ops = GrainOps(BuildSprayMasks);
    return ops;
}

}  // namespace

int32_t CrayonBrush(brush::EngineState &engine, PlugInBrushContext *ctx) {
    return brush::RunBrush(engine, ctx, CrayonOps());
}
int32_t PencilBrush(brush::EngineState &engine, PlugInBrushContext *ctx) {
    return brush::RunBrush(engine, ctx, PencilOps());
}
int32_t SprayBrush(brush::EngineState &engine, PlugInBrushContext *ctx) {
    return brush::RunBrush(engine, ctx, SprayOps());
}

}  // namespace penlith
