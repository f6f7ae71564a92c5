// Tips turned from a texture: the masks of the brushes whose tip is a
// 128 x 128 texture picture (bristle marks, blobs, nibs) turned a few
// degrees from mask to mask, so that consecutive dabs differ.
#pragma once

#include <cstddef>
#include <cstdint>

#include "brush_engine.h"
#include "brush_textures.h"

namespace penlith {

// Frees the old tip, loads texture `id` and builds `count` masks of the
// size parameter 1, mask v the texture turned firstAngle + step x v
// degrees and scaled to size x size at gain p = density x 128 / 100
// (brush::RotateTexture).  The texture is released on every path.  False,
// with no tip, when the texture or memory cannot be had or the size is
// unusable.
inline bool BuildTurnedTips(brush::EngineState &engine, PlugInBrushContext *ctx, int32_t id, int32_t count,
                            int32_t firstAngle, int32_t step) {
    brush::ReleaseTipBuffers(engine, ctx);
    const HeldTexture texture(id);
    const int32_t size = brush::ParamValue(ctx, 1);
    uint8_t *masks = texture ? brush::AllocTipMasks(engine, ctx, size, count) : nullptr;
    if (!masks) {
        ctx->tipWidth = ctx->tipHeight = 0;
        return false;
    }
    ctx->tipVariantCount = count;
    const int32_t peak = brush::PeakOfDensity(brush::ParamValue(ctx, 2));
    const size_t area = static_cast<size_t>(size) * static_cast<size_t>(size);
    for (int32_t v = 0; v < count; ++v) {
        brush::RotateTexture(texture.bits(), kTipTextureSide, kTipTextureSide, masks + v * area, size, size, peak,
                             firstAngle + step * v);
    }
    return true;
}

}  // namespace penlith
