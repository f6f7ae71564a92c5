// The ink-wash brush: a brush loaded with a fixed supply of ink that runs
// dry.  Every stroke starts with 15 K units of ink out of a capacity of
// 20 K (K the third parameter, "かすれ"), every dab spends one unit, every
// painting call (one a pointer move) adds one back, and each dab's
// coverage is scaled by the share of ink left, so a long stroke fades into
// a scratchy trail of bristle marks.
//
//   tips    3 masks: the bristle marks 111 turned -10, 0 and +10 degrees
//   state   carried blue = ink, green = capacity, red = 1 (set at the
//           stroke begin, not on a Ctrl press)
//   paint   ink := min(ink + 1, capacity); dabs 4 percent of the diagonal
//           apart; per dab on the canvas mask rand() % 3, then for every
//           tip byte t > 0, cv = clamp(pressure + t - 128, 0, 128):
//               f = ink x cv / capacity     (truncated)
//               channel = old + (colour - old) x f / 128
//           and ink := max(ink - 1, 0).  A dab wholly off the canvas
//           spends nothing.  The colour is not jittered.
//   K = 0   no ink and no capacity: the dabs paint nothing.
//
// Speed: the masks are sparse bristle marks, so each dab row is blended as
// a run of channel bytes, 16 at a time, skipping blocks the tip leaves
// empty.  For that the select command also keeps in workBits every mask
// with each tip byte written three times (one per channel).  The share f
// is worked out without a division per pixel: with M = ceil(ink x 2^18 /
// capacity), f = floor(cv x M / 2^18), which equals ink x cv / capacity
// truncated as long as cv x capacity < 2^18 (cv is at most 128, capacity
// at most 2000).
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "brush_engine.h"
#include "brush_platform.h"
#include "brush_textures.h"
#include "penlith_brushes.h"
#include "turned_tips.h"

namespace penlith {

namespace {

using brush::DabPlace;
using brush::DirtyRect;
using brush::PaintResult;

constexpr int32_t kSumieMasks = 3;
constexpr int32_t kSumieAngleStep = 10;
constexpr int32_t kSumieSpacingPercent = 4;
constexpr int32_t kMostSupply = 100;                 // the third parameter's maximum
constexpr int32_t kMostCapacity = 20 * kMostSupply;  // keeps cv x capacity below 2^18

int BuildSumieTips(brush::EngineState &engine, PlugInBrushContext *ctx) {
    if (!ctx) return 0;
    if (!BuildTurnedTips(engine, ctx, kTextureBristleMarks, kSumieMasks, -kSumieAngleStep, kSumieAngleStep)) return 0;
    // The masks with every byte three times, one per channel: for speed
    // only, so without the memory for them the brush paints from its masks.
    const size_t bytes = static_cast<size_t>(ctx->tipWidth) * static_cast<size_t>(ctx->tipHeight) * kSumieMasks;
    auto *tripled = static_cast<uint8_t *>(brush::AllocBrushBuffer(3 * bytes));
    if (tripled) {
        const auto *masks = static_cast<const uint8_t *>(ctx->tipBits);
        for (size_t k = 0; k < bytes; ++k) std::memset(tripled + 3 * k, masks[k], 3);
        ctx->workBits = tripled;
    }
    return 1;
}

int FillTheBrush(brush::EngineState &engine, PlugInBrushContext *ctx) {
    const int32_t supply = std::max(0, std::min(brush::ParamValue(ctx, 3), kMostSupply));
    engine.carriedColor[0] = 15 * supply;
    engine.carriedColor[1] = 60 * supply / 3;
    engine.carriedColor[2] = 1;
    return 1;
}

// The share of the ink left, as the multiplier M = ceil(ink x 2^18 /
// capacity) (at most 2^18) split into its high and low 16 bits.
struct InkShare {
    uint16_t high, low;
    InkShare(int32_t ink, int32_t capacity) {
        const uint32_t m = ((static_cast<uint32_t>(ink) << 18) + static_cast<uint32_t>(capacity) - 1) /
                           static_cast<uint32_t>(capacity);
        high = static_cast<uint16_t>(m >> 16);
        low = static_cast<uint16_t>(m & 0xFFFF);
    }
    // ink x cv / capacity, truncated, for cv 0..128.
    int32_t Of(int32_t cv) const { return (cv * high + ((cv * low) >> 16)) >> 2; }
};

// The colour as channel bytes in row order (blue, green, red, blue, ...),
// and for SSE2 as 16-bit lanes for a block of 16 bytes starting at each of
// the three channels.
struct InkColour {
    uint8_t pattern[48];
#if defined(__SSE2__)
    __m128i lanesLo[3], lanesHi[3];
#endif
    explicit InkColour(brush::BgrColor colour) {
        for (int32_t o = 0; o < 48; o += 3) {
            pattern[o] = colour.b;
            pattern[o + 1] = colour.g;
            pattern[o + 2] = colour.r;
        }
#if defined(__SSE2__)
        for (int32_t phase = 0; phase < 3; ++phase) {
            const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i *>(pattern + phase));
            lanesLo[phase] = _mm_unpacklo_epi8(bytes, _mm_setzero_si128());
            lanesHi[phase] = _mm_unpackhi_epi8(bytes, _mm_setzero_si128());
        }
#endif
    }
};

// One dab row as `count` channel bytes: each moves toward its colour
// channel by the share of its tip byte's coverage.  With kFullPressure the
// coverage is the tip byte itself (pressure 128 and tip bytes of at most
// 128, as the masks are built), which saves the clamp.
template <bool kFullPressure>
void BlendInkRow(uint8_t *pixels, const uint8_t *tips, int32_t count, int32_t pressure, const InkShare &share,
                 const InkColour &colour) {
    int32_t o = 0;
    const int32_t offset = std::max(-256, std::min(pressure, 256)) - 128;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    const __m128i full = _mm_set1_epi16(128);
    const __m128i shift = _mm_set1_epi16(static_cast<int16_t>(offset));
    const __m128i high = _mm_set1_epi16(static_cast<int16_t>(share.high));
    const __m128i low = _mm_set1_epi16(static_cast<int16_t>(share.low));
    const __m128i roundToZero = _mm_set1_epi16(127);
    // The coverage share of eight tip bytes (16-bit lanes); 0 where t = 0.
    auto shareOf = [&](__m128i t) {
        __m128i cv = t;
        if (!kFullPressure) {
            const __m128i painted = _mm_cmpgt_epi16(t, zero);
            cv = _mm_and_si128(_mm_min_epi16(_mm_max_epi16(_mm_add_epi16(t, shift), zero), full), painted);
        }
        return _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(cv, high), _mm_mulhi_epu16(cv, low)), 2);
    };
    auto blend = [&](__m128i old, __m128i target, __m128i f) {
        __m128i product = _mm_mullo_epi16(_mm_sub_epi16(target, old), f);
        product = _mm_add_epi16(product, _mm_and_si128(_mm_srai_epi16(product, 15), roundToZero));
        return _mm_add_epi16(old, _mm_srai_epi16(product, 7));
    };
    // 16 channel bytes from `from`, blended.
    auto block = [&](int32_t from, __m128i t) {
        const __m128i old = _mm_loadu_si128(reinterpret_cast<const __m128i *>(pixels + from));
        const int32_t phase = from % 3;
        const __m128i lo = blend(_mm_unpacklo_epi8(old, zero), colour.lanesLo[phase], shareOf(_mm_unpacklo_epi8(t, zero)));
        const __m128i hi = blend(_mm_unpackhi_epi8(old, zero), colour.lanesHi[phase], shareOf(_mm_unpackhi_epi8(t, zero)));
        return _mm_packus_epi16(lo, hi);
    };
    auto empty = [&](__m128i t) { return _mm_movemask_epi8(_mm_cmpeq_epi8(t, zero)) == 0xFFFF; };
    if (count >= 16) {
        // The last 16 bytes are blended from the pixels as they were and
        // stored after the others, so the bytes where the final block
        // overlaps the one before come out the same from both.
        const int32_t last = count - 16;
        const __m128i lastTips = _mm_loadu_si128(reinterpret_cast<const __m128i *>(tips + last));
        const bool lastEmpty = empty(lastTips);
        const __m128i lastResult = lastEmpty ? zero : block(last, lastTips);
        for (; o < last; o += 16) {
            const __m128i t = _mm_loadu_si128(reinterpret_cast<const __m128i *>(tips + o));
            if (!empty(t)) _mm_storeu_si128(reinterpret_cast<__m128i *>(pixels + o), block(o, t));
        }
        if (!lastEmpty) _mm_storeu_si128(reinterpret_cast<__m128i *>(pixels + last), lastResult);
        return;
    }
#endif
    for (; o < count; ++o) {
        if (tips[o] == 0) continue;
        const int32_t cv = std::max(0, std::min(tips[o] + offset, 128));
        pixels[o] = brush::BlendChannel(pixels[o], colour.pattern[o % 3], share.Of(cv));
    }
}

PaintResult PaintSumie(brush::EngineState &engine, PlugInBrushContext *ctx, DirtyRect &rect) {
    const InkColour colour(brush::ColorOf(ctx->color));
    // The slots are shared with other brushes: read back within the
    // brush's own ranges, so a share never exceeds the coverage.
    const int32_t capacity = std::min(engine.carriedColor[1], kMostCapacity);
    if (capacity <= 0) {  // an empty brush (K = 0): dabs placed, nothing laid
        brush::LayDabs(engine, ctx, rect, brush::DabSpacing::Ratio(kSumieSpacingPercent), [](const DabPlace &) {});
        return PaintResult::kPainted;
    }
    int32_t ink = std::max(0, std::min(engine.carriedColor[0], capacity));
    ink = std::min(ink + 1, capacity);
    const brush::CanvasView canvas = brush::CanvasOf(ctx);
    const int32_t width = ctx->tipWidth;
    const size_t maskBytes = 3 * static_cast<size_t>(width) * static_cast<size_t>(ctx->tipHeight);
    const auto *tripled = static_cast<const uint8_t *>(ctx->workBits);
    std::vector<uint8_t> rowTips;  // tips tripled row by row when workBits is gone
    if (!tripled) rowTips.resize(3 * static_cast<size_t>(width));
    brush::LayDabs(engine, ctx, rect, brush::DabSpacing::Ratio(kSumieSpacingPercent), [&](const DabPlace &place) {
        engine.tipVariantIndex = std::rand() % kSumieMasks;
        const InkShare share(ink, capacity);
        for (int32_t j = 0; j < place.sizeH; ++j) {
            const uint8_t *tips;
            if (tripled) {
                tips = tripled + engine.tipVariantIndex * maskBytes +
                       3 * (static_cast<size_t>(place.tipY + j) * width + place.tipX);
            } else {
                const uint8_t *mask = brush::TipMask(ctx, engine.tipVariantIndex) +
                                      static_cast<size_t>(place.tipY + j) * width + place.tipX;
                for (int32_t i = 0; i < place.sizeW; ++i) std::memset(&rowTips[3 * i], mask[i], 3);
                tips = rowTips.data();
            }
            uint8_t *pixels = canvas.Pixel(place.canvasX, place.canvasRow + j);
            if (ctx->pressure == BRUSH_PRESSURE_FULL) {
                BlendInkRow<true>(pixels, tips, 3 * place.sizeW, ctx->pressure, share, colour);
            } else {
                BlendInkRow<false>(pixels, tips, 3 * place.sizeW, ctx->pressure, share, colour);
            }
        }
        ink = std::max(ink - 1, 0);
    });
    engine.carriedColor[0] = ink;
    return PaintResult::kPainted;
}

}  // namespace

int32_t SumieBrush(brush::EngineState &engine, PlugInBrushContext *ctx) {
    static const brush::BrushOps ops = [] {
        brush::BrushOps o;
        o.buildTip = BuildSumieTips;
        o.paint = PaintSumie;
        o.beginStroke = FillTheBrush;
        return o;
    }();
    return brush::RunBrush(engine, ctx, ops);
}

}  // namespace penlith
