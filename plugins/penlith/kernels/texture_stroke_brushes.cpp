// Five brushes whose tip masks are grey textures turned to several angles
// when the brush is selected; each dab lays one of the turned masks,
// chosen at random or by the direction of the stroke.
//
//   brush            texture        masks  angle of mask v   spacing     mask per dab
//   cross-hatch      101            10     35 - 5v           pressure    rand() % 10
//   ripple           101            10     110 - 5v          pressure    rand() % 10
//   direction hatch  101            32     45v / 4           pressure    by direction
//   impressionist    102            10     45 - 7v           20 percent  rand() % 10
//   cloud            105 + v / 3    12     15v - 15          25 percent  rand() % 12
//
// Every mask is RotateTexture of its texture to size x size with gain
// p = density x 128 / 100, so a byte never exceeds 128.
//
// The hatching and impressionist dabs each get a colour of their own: with
// r the third parameter, blue, green and red in turn become
//     clamp(colour channel + rand() % (2r) - r, 0, 255)
// (drawn after the mask), and are laid with the standard blend.
//
// The direction hatching turns with the stroke: the segment's octant o
// (0 up, then clockwise: 1 up-right, 2 right ... 7 up-left, with the
// limits 42 and 241 on |100 dy / dx| as 100 tan 22.5 and 100 tan 67.5
// degrees) picks mask (32 + rand() % 5 + 4o - 2) % 32, i.e. the texture
// turned by 45o degrees, give or take two steps of 11.25.
//
// The cloud keeps the colour and shades each puff over the part of the
// dab inside the canvas (sizeW x sizeH, row 0 lowest on screen): pixel
// (i, j) moves toward
//     clamp(colour channel + (sizeW - 1 - i + j) x 120 / (sizeW + sizeH) - 60)
// by the standard coverage, lighter at the upper left, darker at the
// lower right.  For tips up to kMaxExpandedTipSide the cloud keeps its
// masks and the shading of a whole dab expanded in workBits, and a dab
// wholly inside the canvas is blended span by span in SSE2 runs; dabs cut
// by the edge (whose shading depends on the cut) gather row by row.
#include <cstdlib>
#include <memory>
#include <optional>
#include <vector>

#include "bgr_row_blend.h"
#include "brush_engine.h"
#include "brush_platform.h"
#include "brush_textures.h"
#include "penlith_brushes.h"

namespace penlith {

namespace {

using brush::BgrColor;
using brush::CanvasView;
using brush::DabPlace;
using brush::DirtyRect;
using brush::PaintResult;

// A brush's masks: how many, the texture and angle of mask v.
struct TextureTipRule {
    int32_t masks;
    int32_t (*texture)(int32_t v);
    int32_t (*angle)(int32_t v);
};

constexpr int32_t kMostTextures = 4;

// The textures a rule uses, loaded in id order and released together.
int32_t TexturesOf(const TextureTipRule &rule, int32_t (&ids)[kMostTextures]) {
    int32_t count = 0;
    for (int32_t v = 0; v < rule.masks; ++v) {
        const int32_t id = rule.texture(v);
        bool known = false;
        for (int32_t k = 0; k < count; ++k) known |= ids[k] == id;
        if (!known && count < kMostTextures) ids[count++] = id;
    }
    return count;
}

int MakeTextureTips(brush::EngineState &engine, PlugInBrushContext *ctx, const TextureTipRule &rule) {
    if (!ctx) return 0;
    brush::ReleaseTipBuffers(engine, ctx);
    if (!ctx->tipParams) return 0;
    int32_t ids[kMostTextures] = {};
    const int32_t count = TexturesOf(rule, ids);
    // Held until the masks are built, released on every way out.
    std::vector<std::unique_ptr<HeldTexture>> textures;
    for (int32_t k = 0; k < count; ++k) {
        textures.push_back(std::make_unique<HeldTexture>(ids[k]));
        if (!*textures.back()) return 0;
    }
    const int32_t size = brush::ParamValue(ctx, 1);
    uint8_t *masks = brush::AllocTipMasks(engine, ctx, size, rule.masks);
    if (!masks) return 0;
    ctx->tipVariantCount = rule.masks;
    const int32_t gain = brush::PeakOfDensity(brush::ParamValue(ctx, 2));
    const size_t area = static_cast<size_t>(size) * static_cast<size_t>(size);
    for (int32_t v = 0; v < rule.masks; ++v) {
        const int32_t id = rule.texture(v);
        int32_t k = 0;
        while (ids[k] != id) ++k;
        brush::RotateTexture(textures[k]->bits(), kTipTextureSide, kTipTextureSide, masks + v * area, size, size,
                             gain, rule.angle(v));
    }
    return 1;
}

const TextureTipRule kCrossHatchRule{10, [](int32_t) { return int32_t{kTextureHatching}; },
                                     [](int32_t v) { return 35 - 5 * v; }};
const TextureTipRule kRippleRule{10, [](int32_t) { return int32_t{kTextureHatching}; },
                                 [](int32_t v) { return 110 - 5 * v; }};
const TextureTipRule kDirectionHatchRule{32, [](int32_t) { return int32_t{kTextureHatching}; },
                                         [](int32_t v) { return 45 * v / 4; }};
const TextureTipRule kImpressionistRule{10, [](int32_t) { return int32_t{kTextureImpressionist}; },
                                        [](int32_t v) { return 45 - 7 * v; }};
const TextureTipRule kCloudRule{12, [](int32_t v) { return kTextureCloudFirst + v / 3; },
                                [](int32_t v) { return 15 * v - 15; }};

int MakeCrossHatchTips(brush::EngineState &e, PlugInBrushContext *c) { return MakeTextureTips(e, c, kCrossHatchRule); }
int MakeRippleTips(brush::EngineState &e, PlugInBrushContext *c) { return MakeTextureTips(e, c, kRippleRule); }
int MakeDirectionHatchTips(brush::EngineState &e, PlugInBrushContext *c) {
    return MakeTextureTips(e, c, kDirectionHatchRule);
}
int MakeImpressionistTips(brush::EngineState &e, PlugInBrushContext *c) {
    return MakeTextureTips(e, c, kImpressionistRule);
}
// ---------------------------------------------------------------- cloud --

constexpr int32_t kCloudShadeRange = 120;
constexpr int32_t kCloudShadeMiddle = 60;

// The cloud's workBits (tips up to kMaxExpandedTipSide): the expanded
// lanes of its 12 masks, the shade offsets of a dab inside the canvas
// (sizeW = sizeH = size), and the painted span of every mask row.
struct CloudLayout {
    explicit CloudLayout(int32_t side)
        : size(side), area(static_cast<size_t>(side) * static_cast<size_t>(side)),
          expanded(side <= kMaxExpandedTipSide) {
        const size_t masks = static_cast<size_t>(kCloudRule.masks);
        shadesAt = 2 * 3 * area * masks;
        spansAt = shadesAt + 2 * 3 * area;
        bytes = spansAt + 2 * 2 * static_cast<size_t>(side) * masks;
    }
    const int16_t *Tips3(const void *work, int32_t mask) const {
        return static_cast<const int16_t *>(work) + 3 * area * mask;
    }
    const int16_t *Shades3(const void *work) const {
        return reinterpret_cast<const int16_t *>(static_cast<const uint8_t *>(work) + shadesAt);
    }
    const int16_t *Spans(const void *work, int32_t mask) const {
        return reinterpret_cast<const int16_t *>(static_cast<const uint8_t *>(work) + spansAt) + 2 * size * mask;
    }

    int32_t size;
    size_t area;
    bool expanded;
    size_t shadesAt = 0, spansAt = 0, bytes = 0;
};

// The masks, then the expanded form where the tip is small enough (a
// cloud without it paints the same bytes, row by row gathered).
int MakeCloudTips(brush::EngineState &engine, PlugInBrushContext *ctx) {
    if (!MakeTextureTips(engine, ctx, kCloudRule)) return 0;
    const CloudLayout layout(ctx->tipWidth);
    if (!layout.expanded) return 1;
    auto *work = static_cast<uint8_t *>(brush::AllocBrushBuffer(layout.bytes));
    if (!work) return 1;
    auto *lanes = reinterpret_cast<int16_t *>(work);
    for (int32_t v = 0; v < kCloudRule.masks; ++v) {
        ExpandTipLanes(brush::TipMask(ctx, v), layout.area, lanes + 3 * layout.area * v);
        FindPaintedSpans(brush::TipMask(ctx, v), layout.size, layout.size,
                         reinterpret_cast<int16_t *>(work + layout.spansAt) + 2 * layout.size * v);
    }
    auto *shades = reinterpret_cast<int16_t *>(work + layout.shadesAt);
    const int32_t size = layout.size;
    for (int32_t j = 0; j < size; ++j) {
        for (int32_t i = 0; i < size; ++i) {
            const auto shade = static_cast<int16_t>((size - 1 - i + j) * kCloudShadeRange / (2 * size) -
                                                    kCloudShadeMiddle);
            int16_t *at = shades + 3 * (static_cast<size_t>(j) * size + i);
            at[0] = at[1] = at[2] = shade;
        }
    }
    ctx->workBits = work;
    return 1;
}

// The colour of one dab: each channel of `color`, blue first, shifted by
// rand() % (2r) - r and clamped; r = 0 (or less) keeps the colour.
BgrColor DabColor(BgrColor color, int32_t r) {
    if (r <= 0) return color;
    if (r > 16384) r = 16384;  // 2r then still exceeds every rand()
    auto shift = [r](uint8_t channel) {
        return static_cast<uint8_t>(ClampLevel255(channel + std::rand() % (2 * r) - r));
    };
    BgrColor out;
    out.b = shift(color.b);
    out.g = shift(color.g);
    out.r = shift(color.r);
    return out;
}

// Direction octant of the segment prev -> cur, clockwise from up (y grows
// downward): 0 up, 1 up-right, 2 right, 3 down-right, 4 down, 5 down-left,
// 6 left, 7 up-left.  No movement counts as up.
int32_t DirectionOctant(const PlugInBrushContext *ctx) {
    const int64_t dx = static_cast<int64_t>(ctx->curX) - ctx->prevX;
    const int64_t dy = static_cast<int64_t>(ctx->curY) - ctx->prevY;
    if (dx == 0) return dy > 0 ? 4 : 0;
    const int64_t s = std::llabs(dy * 100 / dx);
    if (s < 42) return dx > 0 ? 2 : 6;
    if (s >= 241) return dy > 0 ? 4 : 0;
    if (dx > 0) return dy < 0 ? 1 : 3;
    return dy > 0 ? 5 : 7;
}

// The mask of a dab: at random, or by the segment's octant.
enum class MaskChoice { kRandom, kDirection };

// Hatching and impressionist dabs: a mask and a colour per dab, laid with
// the standard blend.
PaintResult PaintTexturedDabs(brush::EngineState &engine, PlugInBrushContext *ctx, DirtyRect &rect,
                              const brush::DabSpacing &spacing, MaskChoice choice, int32_t masks) {
    if (ctx->tipVariantCount < masks) return PaintResult::kRefusedEmpty;  // another brush's tip
    const BgrColor color = brush::ColorOf(ctx->color);
    const int32_t roughness = brush::ParamValue(ctx, 3);
    const int32_t octant = choice == MaskChoice::kDirection ? DirectionOctant(ctx) : 0;
    const CanvasView canvas = brush::CanvasOf(ctx);
    brush::SolidDabBlender blender(ctx->pressure);
    brush::LayDabs(engine, ctx, rect, spacing, [&](const DabPlace &place) {
        if (choice == MaskChoice::kDirection) {
            engine.tipVariantIndex = (32 + std::rand() % 5 + 4 * octant - 2) % 32;
        } else {
            engine.tipVariantIndex = std::rand() % masks;
        }
        blender.SetTarget(DabColor(color, roughness));
        blender.Blend(canvas, place, brush::TipMask(ctx, engine.tipVariantIndex), ctx->tipWidth);
    });
    return PaintResult::kPainted;
}

PaintResult PaintCrossHatch(brush::EngineState &e, PlugInBrushContext *c, DirtyRect &rect) {
    return PaintTexturedDabs(e, c, rect, brush::DabSpacing::Pressure(), MaskChoice::kRandom, kCrossHatchRule.masks);
}
PaintResult PaintRipple(brush::EngineState &e, PlugInBrushContext *c, DirtyRect &rect) {
    return PaintTexturedDabs(e, c, rect, brush::DabSpacing::Pressure(), MaskChoice::kRandom, kRippleRule.masks);
}
PaintResult PaintDirectionHatch(brush::EngineState &e, PlugInBrushContext *c, DirtyRect &rect) {
    return PaintTexturedDabs(e, c, rect, brush::DabSpacing::Pressure(), MaskChoice::kDirection,
                             kDirectionHatchRule.masks);
}
PaintResult PaintImpressionist(brush::EngineState &e, PlugInBrushContext *c, DirtyRect &rect) {
    return PaintTexturedDabs(e, c, rect, brush::DabSpacing::Ratio(20), MaskChoice::kRandom,
                             kImpressionistRule.masks);
}

// One puff: the shade depends on i - j only, so the targets of a dab are
// laid out once along its diagonal index d = sizeW - 1 - i + j.
void LayCloudDab(const CanvasView &canvas, const DabPlace &place, const uint8_t *mask, int32_t tipWidth,
                 const uint32_t (&shaded)[kCloudShadeRange + 1], std::vector<uint32_t> &diagonal,
                 BgrRowScratch &scratch) {
    const int32_t span = place.sizeW + place.sizeH;
    diagonal.resize(static_cast<size_t>(span));
    for (int32_t d = 0; d < span - 1; ++d) diagonal[d] = shaded[d * kCloudShadeRange / span];
    for (int32_t j = 0; j < place.sizeH; ++j) {
        const uint8_t *t = mask + static_cast<size_t>(place.tipY + j) * tipWidth + place.tipX;
        const uint32_t *along = diagonal.data() + (place.sizeW - 1 + j);  // d of column 0
        for (int32_t i = 0; i < place.sizeW; ++i) scratch.Put(i, along[-i], t[i]);
        scratch.BlendInto(canvas.Pixel(place.canvasX, place.canvasRow + j), place.sizeW);
    }
}

// A puff inside the canvas from the expanded lanes: each row's painted
// span in one run.
void LayCloudDabExpanded(const CanvasView &canvas, const DabPlace &place, const void *work,
                         const CloudLayout &layout, int32_t mask, const int32_t (&colour)[3], int32_t pressure) {
    const int16_t *tips3 = layout.Tips3(work, mask);
    const int16_t *shades3 = layout.Shades3(work);
    const int16_t *spans = layout.Spans(work, mask);
    for (int32_t j = 0; j < layout.size; ++j) {
        const int32_t first = spans[2 * j], end = spans[2 * j + 1];
        if (first >= end) continue;
        const size_t at = 3 * (static_cast<size_t>(j) * layout.size + first);
        BlendExpandedRun(canvas.Pixel(place.canvasX + first, place.canvasRow + j), tips3 + at, shades3 + at,
                         end - first, colour, pressure);
    }
}

PaintResult PaintCloud(brush::EngineState &engine, PlugInBrushContext *ctx, DirtyRect &rect) {
    if (ctx->tipVariantCount < kCloudRule.masks) return PaintResult::kRefusedEmpty;  // another brush's tip
    const BgrColor color = brush::ColorOf(ctx->color);
    const int32_t colour[3] = {color.b, color.g, color.r};
    const CanvasView canvas = brush::CanvasOf(ctx);
    const CloudLayout layout(ctx->tipWidth);
    const bool expanded = layout.expanded && ctx->workBits && ctx->tipWidth == ctx->tipHeight;
    // Dabs cut by the canvas edge (and large tips) gather their rows, with
    // the target of every shade 0..120, made when the first needs them.
    std::optional<BgrRowScratch> scratch;
    std::vector<uint32_t> diagonal;
    uint32_t shaded[kCloudShadeRange + 1];
    brush::LayDabs(engine, ctx, rect, brush::DabSpacing::Ratio(25), [&](const DabPlace &place) {
        engine.tipVariantIndex = std::rand() % kCloudRule.masks;
        if (expanded && place.sizeW == layout.size && place.sizeH == layout.size) {
            LayCloudDabExpanded(canvas, place, ctx->workBits, layout, engine.tipVariantIndex, colour, ctx->pressure);
            return;
        }
        if (!scratch) {
            scratch.emplace(ctx->pressure, ctx->tipWidth);
            for (int32_t level = 0; level <= kCloudShadeRange; ++level) {
                const int32_t lift = level - kCloudShadeMiddle;
                shaded[level] = PackTarget(ClampLevel255(color.b + lift), ClampLevel255(color.g + lift),
                                        ClampLevel255(color.r + lift));
            }
        }
        LayCloudDab(canvas, place, brush::TipMask(ctx, engine.tipVariantIndex), ctx->tipWidth, shaded, diagonal,
                    *scratch);
    });
    return PaintResult::kPainted;
}

}  // namespace

int32_t CrossHatchBrush(brush::EngineState &engine, PlugInBrushContext *ctx) {
    static const brush::BrushOps ops = brush::TipAndPaintOps(MakeCrossHatchTips, PaintCrossHatch, 4);
    return brush::RunBrush(engine, ctx, ops);
}

int32_t RippleBrush(brush::EngineState &engine, PlugInBrushContext *ctx) {
    static const brush::BrushOps ops = brush::TipAndPaintOps(MakeRippleTips, PaintRipple, 4);
    return brush::RunBrush(engine, ctx, ops);
}

int32_t CrossHatchingBrush(brush::EngineState &engine, PlugInBrushContext *ctx) {
    static const brush::BrushOps ops = brush::TipAndPaintOps(MakeDirectionHatchTips, PaintDirectionHatch, 4);
    return brush::RunBrush(engine, ctx, ops);
}

int32_t ImpressionistBrush(brush::EngineState &engine, PlugInBrushContext *ctx) {
    static const brush::BrushOps ops = brush::TipAndPaintOps(MakeImpressionistTips, PaintImpressionist, 4);
    return brush::RunBrush(engine, ctx, ops);
}

int32_t CloudBrush(brush::EngineState &engine, PlugInBrushContext *ctx) {
    static const brush::BrushOps ops = brush::TipAndPaintOps(MakeCloudTips, PaintCloud, 4);
    return brush::RunBrush(engine, ctx, ops);
}

}  // namespace penlith
