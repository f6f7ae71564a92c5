// The standard blend with a target and a coverage of its own for every
// pixel, for the brushes whose grain or bristle marks shift the colour and
// thin the paint pixel by pixel (the flat watercolour, chalk, pastel, the
// dry brush):
//     channel = old + (target - old) x coverage / 128,  truncated toward zero
// with coverage 0..128.  A brush works out each dab row's targets and
// coverage into a DabRowScratch, then one pass blends the whole row; SSE2
// takes 8 channels at a time and gives exactly the bytes of the formula.
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "brush_engine.h"

namespace penlith {

// n channel bytes moved toward their own targets by their own coverage
// (0..128), truncated toward zero.  A coverage of 0 leaves a byte alone.
inline void BlendChannelsToTargets(uint8_t *pixels, const uint8_t *targets, const int16_t *coverage, int32_t n) {
#if defined(__SSE2__)
    if (n >= 8) {
        const __m128i zero = _mm_setzero_si128();
        const __m128i roundToZero = _mm_set1_epi16(127);
        auto blend8 = [&](int32_t k) {
            const __m128i old =
                _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i *>(pixels + k)), zero);
            const __m128i to =
                _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i *>(targets + k)), zero);
            const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i *>(coverage + k));
            // |to - old| x c <= 255 x 128 fits 16 bits; adding 127 to
            // negative products makes the arithmetic shift truncate toward
            // zero.
            __m128i product = _mm_mullo_epi16(_mm_sub_epi16(to, old), c);
            product = _mm_add_epi16(product, _mm_and_si128(_mm_srai_epi16(product, 15), roundToZero));
            return _mm_packus_epi16(_mm_add_epi16(old, _mm_srai_epi16(product, 7)), zero);
        };
        // The last 8 bytes are blended from the pixels as they were and
        // stored after the others, so where they overlap the block before
        // both give the same bytes.
        const int32_t last = n - 8;
        const __m128i lastResult = blend8(last);
        for (int32_t k = 0; k < last; k += 8) _mm_storel_epi64(reinterpret_cast<__m128i *>(pixels + k), blend8(k));
        _mm_storel_epi64(reinterpret_cast<__m128i *>(pixels + last), lastResult);
        return;
    }
#endif
    for (int32_t k = 0; k < n; ++k) pixels[k] = brush::BlendChannel(pixels[k], targets[k], coverage[k]);
}

// A target of three channels packed blue, green, red from the low byte.
inline uint32_t PackTarget(int32_t b, int32_t g, int32_t r) {
    return static_cast<uint32_t>(b) | static_cast<uint32_t>(g) << 8 | static_cast<uint32_t>(r) << 16;
}

// One dab row's targets and coverage, three channels a pixel, plus one
// spare: each pixel writes four target bytes and four coverage words, and
// the next pixel overwrites the last of them.  Rows of up to kInlinePixels
// stay on the stack (a painting call may lay a single dab, so a heap
// allocation per call would cost more than the dab).
class DabRowScratch {
public:
    explicit DabRowScratch(int32_t tipWidth) {
        const size_t channels = 3 * static_cast<size_t>(tipWidth > 0 ? tipWidth : 0) + 1;
        if (channels > 3 * kInlinePixels + 1) {
            heapTargets_.resize(channels);
            heapCoverage_.resize(channels);
            targets_ = heapTargets_.data();
            coverage_ = heapCoverage_.data();
        }
    }
    DabRowScratch(const DabRowScratch &) = delete;
    DabRowScratch &operator=(const DabRowScratch &) = delete;

    // Pixel i of the row: its packed target and its coverage (0..128).
    void Set(int32_t i, uint32_t packedTarget, int32_t coverage) {
        std::memcpy(targets_ + 3 * i, &packedTarget, 4);
        const uint32_t twice = static_cast<uint32_t>(coverage) * 0x00010001u;
        int16_t *at = coverage_ + 3 * i;
        std::memcpy(at, &twice, 4);
        std::memcpy(at + 2, &twice, 4);
    }
    void Blend(uint8_t *pixels, int32_t count) const { BlendChannelsToTargets(pixels, targets_, coverage_, 3 * count); }

private:
    static constexpr int32_t kInlinePixels = 256;
    uint8_t inlineTargets_[3 * kInlinePixels + 1];
    int16_t inlineCoverage_[3 * kInlinePixels + 1];
    std::vector<uint8_t> heapTargets_;
    std::vector<int16_t> heapCoverage_;
    uint8_t *targets_ = inlineTargets_;
    int16_t *coverage_ = inlineCoverage_;
};

// Lays one dab row by row: fillRow(tipRow, canvasX, memoryRow, count, row)
// sets pixels 0..count - 1 of `row` (a DabRowScratch) from the tip bytes
// tipRow[0..count - 1] that land on canvas columns canvasX.. of that
// memory row (a tip byte of 0 must get coverage 0), and each row is then
// blended in one pass.
template <typename FillRow>
void LayDabRows(const brush::CanvasView &canvas, const brush::DabPlace &place, const uint8_t *mask,
                int32_t tipWidth, DabRowScratch &row, FillRow &&fillRow) {
    for (int32_t j = 0; j < place.sizeH; ++j) {
        const int32_t memoryRow = place.canvasRow + j;
        const uint8_t *tip = mask + static_cast<size_t>(place.tipY + j) * tipWidth + place.tipX;
        fillRow(tip, place.canvasX, memoryRow, place.sizeW, row);
        row.Blend(canvas.Pixel(place.canvasX, memoryRow), place.sizeW);
    }
}

}  // namespace penlith
