// Colour jitter and the standard blend of a solid colour through a tip mask
// onto the 24-bit canvas.
//
// The blend, for every tip byte t > 0 and every channel:
//     c   = clamp(pressure + t - 128, 0, 128)
//     new = old + (target - old) x c / 128        (truncated toward zero)
//
// The fast path treats a dab row as a run of 3 x sizeW channel bytes: each
// byte has its own coverage (the pixel's, repeated three times) and its own
// target channel (blue, green, red repeating), so SSE2 blends 16 bytes at a
// time in 16-bit lanes.  (target - old) x c lies within +-255 x 128 and
// fits a 16-bit lane; the truncating division by 128 adds 127 to negative
// products before the arithmetic shift, as C's division does.
//
// A tip kept between calls (UseFixedTip) has its coverage stored as 2c in
// 16-bit lanes, and its dabs take a shorter route: with the distance
// d = |target - old| from saturating byte differences, the step
// d x c / 128, floored, is the high half of (d x 256) x 2c, and moving old
// by that step toward the target truncates toward zero as the formula
// does.  Only the painted span of each tip row is blended.
#include <cstdlib>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "brush_engine.h"
#include "brush_platform.h"

namespace brush {

namespace {

uint8_t ClampByte(int32_t v) { return static_cast<uint8_t>(v < 0 ? 0 : (v > 255 ? 255 : v)); }

// Pixels whose coverage is expanded at a time; keeps the buffer on the stack.
constexpr int32_t kChunkPixels = 256;

// Larger tips are expanded row by row instead (a 512 x 512 tip keeps 1.5 MB
// of lanes and 2 KB of spans).
constexpr int32_t kMaxFixedTipSide = 512;

#if defined(__SSE2__)

// 16 channel bytes blended toward the targets in `target` (16-bit lanes,
// low and high halves) by the coverage bytes in `coverage`.
inline __m128i Blend16(__m128i old, __m128i coverage, __m128i targetLo, __m128i targetHi) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i round = _mm_set1_epi16(127);
    const __m128i oldLo = _mm_unpacklo_epi8(old, zero);
    const __m128i oldHi = _mm_unpackhi_epi8(old, zero);
    __m128i lo = _mm_mullo_epi16(_mm_sub_epi16(targetLo, oldLo), _mm_unpacklo_epi8(coverage, zero));
    __m128i hi = _mm_mullo_epi16(_mm_sub_epi16(targetHi, oldHi), _mm_unpackhi_epi8(coverage, zero));
    lo = _mm_srai_epi16(_mm_add_epi16(lo, _mm_and_si128(_mm_srai_epi16(lo, 15), round)), 7);
    hi = _mm_srai_epi16(_mm_add_epi16(hi, _mm_and_si128(_mm_srai_epi16(hi, 15), round)), 7);
    return _mm_packus_epi16(_mm_add_epi16(oldLo, lo), _mm_add_epi16(oldHi, hi));
}

// 16 channel bytes moved toward the bytes of `target` by c / 128 of the
// way, truncated toward zero, with 2c in the lanes twiceLo (bytes 0..7)
// and twiceHi (bytes 8..15).  The step never passes the target, so the
// saturating add and subtract are exact.
inline __m128i BlendToward16(__m128i old, __m128i target, __m128i twiceLo, __m128i twiceHi) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i up = _mm_subs_epu8(target, old);    // target - old where the target is above
    const __m128i down = _mm_subs_epu8(old, target);  // old - target where it is below
    const __m128i distance = _mm_or_si128(up, down);
    const __m128i lo = _mm_mulhi_epu16(_mm_unpacklo_epi8(zero, distance), twiceLo);
    const __m128i hi = _mm_mulhi_epu16(_mm_unpackhi_epi8(zero, distance), twiceHi);
    const __m128i step = _mm_packus_epi16(lo, hi);
    return _mm_subs_epu8(_mm_adds_epu8(old, _mm_min_epu8(step, up)), _mm_min_epu8(step, down));
}

// Blends bytes [first, end) of one dab row (at least 16) from the kept
// lanes, byte o taking target phase o % 3.  As in BlendRowBytes the last
// 16 bytes are computed before anything is written.
inline void BlendKeptSpan(uint8_t *row, const uint16_t *lanes, int32_t first, int32_t end,
                          const __m128i (&targets)[3]) {
    auto blendAt = [row, lanes](int32_t o, __m128i target) {
        return BlendToward16(_mm_loadu_si128(reinterpret_cast<const __m128i *>(row + o)), target,
                             _mm_loadu_si128(reinterpret_cast<const __m128i *>(lanes + o)),
                             _mm_loadu_si128(reinterpret_cast<const __m128i *>(lanes + o + 8)));
    };
    const int32_t last = end - 16;
    const __m128i lastResult = blendAt(last, targets[last % 3]);
    int32_t phase = first % 3;
    for (int32_t o = first; o < last; o += 16, phase = phase == 2 ? 0 : phase + 1) {
        _mm_storeu_si128(reinterpret_cast<__m128i *>(row + o), blendAt(o, targets[phase]));
    }
    _mm_storeu_si128(reinterpret_cast<__m128i *>(row + last), lastResult);
}

inline bool AllZero(__m128i v) {
    return _mm_movemask_epi8(_mm_cmpeq_epi8(v, _mm_setzero_si128())) == 0xFFFF;
}

// Blends `count` channel bytes of one dab row.  Byte o takes target
// channel o % 3.  The last 16 bytes are computed from the original pixels
// before the main loop writes, so the overlap of the final block with the
// one before it gets the same bytes from both.
void BlendRowBytes(uint8_t *dst, const uint8_t *coverage, int32_t count, const uint8_t *pattern) {
    if (count < 16) {
        for (int32_t o = 0; o < count; ++o) {
            if (coverage[o]) dst[o] = BlendChannel(dst[o], pattern[o % 3], coverage[o]);
        }
        return;
    }
    // Byte o of the row takes the pattern from phase o % 3; 16 bytes move
    // the phase on by one.
    const __m128i zero = _mm_setzero_si128();
    __m128i targets[3][2];
    for (int32_t k = 0; k < 3; ++k) {
        const __m128i t = _mm_loadu_si128(reinterpret_cast<const __m128i *>(pattern + k));
        targets[k][0] = _mm_unpacklo_epi8(t, zero);
        targets[k][1] = _mm_unpackhi_epi8(t, zero);
    }

    const int32_t last = count - 16;
    const __m128i lastCoverage = _mm_loadu_si128(reinterpret_cast<const __m128i *>(coverage + last));
    const bool lastEmpty = AllZero(lastCoverage);
    __m128i lastResult = zero;
    if (!lastEmpty) {
        const __m128i *t = targets[last % 3];
        lastResult = Blend16(_mm_loadu_si128(reinterpret_cast<const __m128i *>(dst + last)), lastCoverage, t[0], t[1]);
    }
    int32_t phase = 0;
    for (int32_t o = 0; o < last; o += 16, phase = phase == 2 ? 0 : phase + 1) {
        const __m128i cov = _mm_loadu_si128(reinterpret_cast<const __m128i *>(coverage + o));
        if (AllZero(cov)) continue;
        __m128i *p = reinterpret_cast<__m128i *>(dst + o);
        _mm_storeu_si128(p, Blend16(_mm_loadu_si128(p), cov, targets[phase][0], targets[phase][1]));
    }
    if (!lastEmpty) _mm_storeu_si128(reinterpret_cast<__m128i *>(dst + last), lastResult);
}

#else

void BlendRowBytes(uint8_t *dst, const uint8_t *coverage, int32_t count, const uint8_t *pattern) {
    for (int32_t o = 0; o < count; ++o) {
        if (coverage[o]) dst[o] = BlendChannel(dst[o], pattern[o % 3], coverage[o]);
    }
}

#endif

}  // namespace

void JitterColor(BgrColor *color, int32_t roughness) {
    if (!color || roughness <= 0) return;
    if (roughness > 0x7FFFFFFF / 3) roughness = 0x7FFFFFFF / 3;
    const int32_t half = 3 * roughness / 2;
    if (half <= 0) return;
    color->b = ClampByte(color->b + std::rand() % (2 * half) - half);
    color->g = ClampByte(color->g + std::rand() % (2 * half) - half);
    color->r = ClampByte(color->r + std::rand() % (2 * half) - half);
}

SolidDabBlender::SolidDabBlender(int32_t pressure) {
    if (pressure > 256) pressure = 256;
    if (pressure < -256) pressure = -256;
    pressure_ = pressure;
    SetTarget(BgrColor{});
}

// The coverage table is built when first needed: a call whose dabs all
// come from kept coverage never needs it.
void SolidDabBlender::BuildTable() const {
    if (tableBuilt_) return;
    tableBuilt_ = true;
#if defined(__SSE2__)
    // Eight entries at a time: clamp(pressure + t - 128, 0, 128) in 16-bit
    // lanes, widened and repeated into three bytes.  Entry 0 never paints.
    const __m128i zero = _mm_setzero_si128();
    const __m128i full = _mm_set1_epi16(128);
    const __m128i step = _mm_set1_epi16(8);
    __m128i c = _mm_add_epi16(_mm_setr_epi16(0, 1, 2, 3, 4, 5, 6, 7),
                              _mm_set1_epi16(static_cast<int16_t>(pressure_ - 128)));
    for (int32_t t = 0; t < 256; t += 8, c = _mm_add_epi16(c, step)) {
        const __m128i clamped = _mm_min_epi16(_mm_max_epi16(c, zero), full);
        __m128i lo = _mm_unpacklo_epi16(clamped, zero), hi = _mm_unpackhi_epi16(clamped, zero);
        lo = _mm_or_si128(lo, _mm_or_si128(_mm_slli_epi32(lo, 8), _mm_slli_epi32(lo, 16)));
        hi = _mm_or_si128(hi, _mm_or_si128(_mm_slli_epi32(hi, 8), _mm_slli_epi32(hi, 16)));
        _mm_storeu_si128(reinterpret_cast<__m128i *>(coverage3_ + t), lo);
        _mm_storeu_si128(reinterpret_cast<__m128i *>(coverage3_ + t + 4), hi);
    }
    coverage3_[0] = 0;
#else
    for (int32_t t = 0; t < 256; ++t) {
        coverage3_[t] = static_cast<uint32_t>(StandardCoverage(t, pressure_)) * 0x010101u;
    }
#endif
}

void SolidDabBlender::SetTarget(BgrColor target) {
    for (int32_t o = 0; o < 48; o += 3) {
        pattern_[o] = target.b;
        pattern_[o + 1] = target.g;
        pattern_[o + 2] = target.r;
    }
}

void SolidDabBlender::UseFixedTip(EngineState &engine, const PlugInBrushContext *ctx, int32_t variants) {
    fixedMask_ = fixedCoverage_ = nullptr;
    fixedLanes_ = fixedSpans_ = nullptr;
    fixedEngine_ = nullptr;
    fixedWidth_ = 0;
    fixedMaskBytes_ = 0;
    if (!ctx || !ctx->tipBits || ctx->tipWidth <= 0 || ctx->tipHeight <= 0 ||
        ctx->tipWidth > kMaxFixedTipSide || ctx->tipHeight > kMaxFixedTipSide || variants < 1 ||
        variants > (ctx->tipVariantCount > 1 ? ctx->tipVariantCount : 1)) {
        return;
    }
    const size_t pixels = static_cast<size_t>(ctx->tipWidth) * static_cast<size_t>(ctx->tipHeight) *
                          static_cast<size_t>(variants);
    if (pixels > static_cast<size_t>(kMaxFixedTipSide) * kMaxFixedTipSide) return;
    FixedTipCoverage &cache = engine.fixedTip;
    const uint8_t *mask = TipMask(ctx);
    const int32_t width = ctx->tipWidth;
    const size_t rows = pixels / static_cast<size_t>(width);
    const size_t bytes = 3 * sizeof(uint16_t) * pixels + 2 * sizeof(uint16_t) * rows;
    const bool current = cache.valid && cache.generation == engine.tipGeneration && cache.mask == mask &&
                         cache.width == ctx->tipWidth && cache.height == ctx->tipHeight &&
                         cache.pressure == pressure_ && cache.variants == variants;
    if (!current) {
        cache.valid = false;
        if (bytes > cache.capacity) {
            FreeBrushBuffer(cache.bytes);
            cache.bytes = static_cast<uint8_t *>(AllocBrushBuffer(bytes));
            cache.capacity = cache.bytes ? bytes : 0;
            if (!cache.bytes) return;
        }
        uint16_t twice[256];
        for (int32_t t = 0; t < 256; ++t) twice[t] = static_cast<uint16_t>(2 * StandardCoverage(t, pressure_));
        uint16_t *lanes = reinterpret_cast<uint16_t *>(cache.bytes);
        uint16_t *spans = lanes + 3 * pixels;
        for (size_t r = 0; r < rows; ++r) {
            const uint8_t *tip = mask + r * static_cast<size_t>(width);
            int32_t first = width, end = 0;
            for (int32_t i = 0; i < width; ++i) {
                const uint16_t c = twice[tip[i]];
                uint16_t *at = lanes + 3 * (r * static_cast<size_t>(width) + static_cast<size_t>(i));
                at[0] = at[1] = at[2] = c;
                if (c == 0) continue;
                if (first == width) first = i;
                end = i + 1;
            }
            spans[2 * r] = static_cast<uint16_t>(end > 0 ? first : 0);
            spans[2 * r + 1] = static_cast<uint16_t>(end);
        }
        cache.generation = engine.tipGeneration;
        cache.mask = mask;
        cache.width = ctx->tipWidth;
        cache.height = ctx->tipHeight;
        cache.pressure = pressure_;
        cache.variants = variants;
        cache.valid = true;
    }
    fixedMask_ = mask;
    fixedMaskBytes_ = pixels;
    fixedCoverage_ = cache.bytes;
    fixedLanes_ = reinterpret_cast<const uint16_t *>(cache.bytes);
    fixedSpans_ = fixedLanes_ + 3 * pixels;
    fixedEngine_ = &engine;
    fixedWidth_ = ctx->tipWidth;
}

// True while the kept coverage is still the one UseFixedTip chose: another
// blender of the same call may have asked for another tip or pressure.
bool SolidDabBlender::FixedTipStillKept() const {
    if (!fixedEngine_) return false;
    const FixedTipCoverage &cache = fixedEngine_->fixedTip;
    return cache.valid && cache.bytes == fixedCoverage_ && cache.mask == fixedMask_ &&
           cache.pressure == pressure_ && cache.generation == fixedEngine_->tipGeneration &&
           static_cast<size_t>(cache.width) * cache.height * cache.variants == fixedMaskBytes_;
}

void ReleaseEngineCaches(EngineState &engine) {
    FixedTipCoverage &cache = engine.fixedTip;
    FreeBrushBuffer(cache.bytes);
    cache = FixedTipCoverage{};
    FreeBrushBuffer(engine.keptPlanes.bytes);
    engine.keptPlanes = KeptTipPlanes{};
}

bool ReserveKeptPlanes(EngineState &engine, size_t bytes) {
    KeptTipPlanes &planes = engine.keptPlanes;
    if (bytes <= planes.capacity && planes.bytes) return true;
    FreeBrushBuffer(planes.bytes);
    planes = KeptTipPlanes{};
    planes.bytes = static_cast<uint8_t *>(AllocBrushBuffer(bytes));
    if (!planes.bytes) return false;
    planes.capacity = bytes;
    return true;
}

void BlendBytesTowardTargets(uint8_t *dst, const uint8_t *coverage, const uint8_t *targets, int32_t count) {
#if defined(__SSE2__)
    if (count >= 16) {
        // As BlendRowBytes: the last 16 bytes are blended from the original
        // pixels first, so the overlap gets the same bytes from both.
        const __m128i zero = _mm_setzero_si128();
        auto blendAt = [&](int32_t o, __m128i cov) {
            const __m128i t = _mm_loadu_si128(reinterpret_cast<const __m128i *>(targets + o));
            return Blend16(_mm_loadu_si128(reinterpret_cast<const __m128i *>(dst + o)), cov,
                           _mm_unpacklo_epi8(t, zero), _mm_unpackhi_epi8(t, zero));
        };
        const int32_t last = count - 16;
        const __m128i lastCoverage = _mm_loadu_si128(reinterpret_cast<const __m128i *>(coverage + last));
        const bool lastEmpty = AllZero(lastCoverage);
        const __m128i lastResult = lastEmpty ? zero : blendAt(last, lastCoverage);
        for (int32_t o = 0; o < last; o += 16) {
            const __m128i cov = _mm_loadu_si128(reinterpret_cast<const __m128i *>(coverage + o));
            if (!AllZero(cov)) _mm_storeu_si128(reinterpret_cast<__m128i *>(dst + o), blendAt(o, cov));
        }
        if (!lastEmpty) _mm_storeu_si128(reinterpret_cast<__m128i *>(dst + last), lastResult);
        return;
    }
#endif
    for (int32_t o = 0; o < count; ++o) {
        if (coverage[o]) dst[o] = BlendChannel(dst[o], targets[o], coverage[o]);
    }
}

void SolidDabBlender::Blend(const CanvasView &canvas, const DabPlace &place, const uint8_t *mask,
                            int32_t tipWidth) const {
    if (place.sizeW <= 0 || place.sizeH <= 0 || !mask) return;
    // A mask inside the kept ones: its offset from the first is the offset
    // of its coverage (three lanes a tip byte), as long as the dab's rows
    // lie inside them.
    if (fixedCoverage_ && mask >= fixedMask_ && mask < fixedMask_ + fixedMaskBytes_ && tipWidth == fixedWidth_ &&
        static_cast<size_t>(mask - fixedMask_) + static_cast<size_t>(place.tipY + place.sizeH) * tipWidth <=
            fixedMaskBytes_ &&
        FixedTipStillKept()) {
        BlendKept(canvas, place, static_cast<size_t>(mask - fixedMask_));
        return;
    }
    // Three coverage bytes per pixel; the expansion writes four bytes at a
    // time, one past the last pixel.
    BuildTable();
    uint8_t coverage[3 * kChunkPixels + 4];
    for (int32_t j = 0; j < place.sizeH; ++j) {
        uint8_t *row = canvas.Pixel(place.canvasX, place.canvasRow + j);
        const uint8_t *tip = mask + static_cast<size_t>(place.tipY + j) * tipWidth + place.tipX;
        for (int32_t first = 0; first < place.sizeW; first += kChunkPixels) {
            const int32_t pixels = place.sizeW - first < kChunkPixels ? place.sizeW - first : kChunkPixels;
            for (int32_t i = 0; i < pixels; ++i) {
                std::memcpy(coverage + 3 * i, &coverage3_[tip[first + i]], 4);
            }
            BlendRowBytes(row + 3 * first, coverage, 3 * pixels, pattern_);
        }
    }
}

// A dab of a kept mask starting `maskOffset` pixels after the first.
void SolidDabBlender::BlendKept(const CanvasView &canvas, const DabPlace &place, size_t maskOffset) const {
    const int32_t width = fixedWidth_;
    const uint16_t *lanes = fixedLanes_ + 3 * maskOffset;
    const int32_t rowBytes = 3 * place.sizeW;
    // The spans are kept per row of the kept masks: they apply while the
    // mask starts on such a row.
    const bool spansApply = maskOffset % static_cast<size_t>(width) == 0;
    const uint16_t *spans = fixedSpans_ + 2 * (maskOffset / static_cast<size_t>(width));
#if defined(__SSE2__)
    if (rowBytes >= 16) {
        const __m128i targets[3] = {_mm_loadu_si128(reinterpret_cast<const __m128i *>(pattern_)),
                                    _mm_loadu_si128(reinterpret_cast<const __m128i *>(pattern_ + 1)),
                                    _mm_loadu_si128(reinterpret_cast<const __m128i *>(pattern_ + 2))};
        // Local copies: the canvas stores could alias the records, which
        // would otherwise be read again on every row.
        const int32_t tipX = place.tipX, tipEnd = place.tipX + place.sizeW, rows = place.sizeH;
        const size_t stride = canvas.stride, laneStride = 3 * static_cast<size_t>(width);
        uint8_t *row = canvas.Pixel(place.canvasX, place.canvasRow);
        const uint16_t *rowLanes = lanes + 3 * (static_cast<size_t>(place.tipY) * width + tipX);
        const uint16_t *rowSpan = spans + 2 * static_cast<size_t>(place.tipY);
        for (int32_t j = 0; j < rows; ++j, row += stride, rowLanes += laneStride, rowSpan += 2) {
            int32_t first = 0, end = rowBytes;
            if (spansApply) {
                // The painted columns of the row within the dab, in bytes.
                const int32_t from = rowSpan[0] > tipX ? rowSpan[0] : tipX;
                const int32_t to = rowSpan[1] < tipEnd ? rowSpan[1] : tipEnd;
                if (from >= to) continue;
                first = 3 * (from - tipX);
                end = 3 * (to - tipX);
                // Short spans widen to 16 bytes inside the dab row; the
                // extra bytes have no coverage and keep their values.
                if (end - first < 16) {
                    if (first + 16 <= rowBytes) {
                        end = first + 16;
                    } else {
                        first = rowBytes - 16;
                        end = rowBytes;
                    }
                }
            }
            BlendKeptSpan(row, rowLanes, first, end, targets);
        }
        return;
    }
#endif
    (void)spansApply;
    (void)spans;
    for (int32_t j = 0; j < place.sizeH; ++j) {
        uint8_t *row = canvas.Pixel(place.canvasX, place.canvasRow + j);
        const uint16_t *at = lanes + 3 * (static_cast<size_t>(place.tipY + j) * width + place.tipX);
        for (int32_t o = 0; o < rowBytes; ++o) {
            if (at[o]) row[o] = BlendChannel(row[o], pattern_[o % 3], at[o] / 2);
        }
    }
}

void BlendSolidThroughTipOntoBgr24Scalar(const CanvasView &canvas, const DabPlace &place,
                                         const uint8_t *mask, int32_t tipWidth, BgrColor target,
                                         int32_t pressure) {
    if (!mask) return;
    for (int32_t j = 0; j < place.sizeH; ++j) {
        uint8_t *row = canvas.Pixel(place.canvasX, place.canvasRow + j);
        const uint8_t *tip = mask + static_cast<size_t>(place.tipY + j) * tipWidth + place.tipX;
        for (int32_t i = 0; i < place.sizeW; ++i) {
            BlendPixel(row + 3 * i, target, tip[i], pressure);
        }
    }
}

}  // namespace brush
