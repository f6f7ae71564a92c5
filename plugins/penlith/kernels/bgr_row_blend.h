// Blending one dab row whose pixels each have their own target colour and
// coverage (the oil's relief, the cloud's shading): the row's targets and
// coverage are gathered three channels a pixel, then blended in one pass by
// BlendChannelsToTargets (pixel_target_blend.h), or, for tips known at
// select time, from expanded lanes without gathering.
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "brush_engine.h"
#include "pixel_target_blend.h"

namespace penlith {

// What one painting call gathers rows into: the standard coverage of
// every tip byte as four 16-bit copies (the pressure's), and room for one
// row of targets and coverage, three channels a pixel plus one spare (each
// pixel writes four and the next overwrites the last).
struct BgrRowScratch {
    BgrRowScratch(int32_t pressure, int32_t tipWidth)
        : targets(3 * static_cast<size_t>(tipWidth) + 1), coverage(3 * static_cast<size_t>(tipWidth) + 1) {
        for (int32_t t = 0; t < 256; ++t) {
            coverage4[t] = static_cast<uint64_t>(brush::StandardCoverage(t, pressure)) * 0x0001000100010001u;
        }
    }
    // Pixel i of the row gets the packed target (blue, green, red in the
    // low three bytes) and the coverage of tip byte t.
    void Put(int32_t i, uint32_t packedTarget, uint8_t t) {
        std::memcpy(targets.data() + 3 * i, &packedTarget, 4);
        std::memcpy(coverage.data() + 3 * i, &coverage4[t], 8);
    }
    void BlendInto(uint8_t *pixels, int32_t width) {
        BlendChannelsToTargets(pixels, targets.data(), coverage.data(), 3 * width);
    }

    uint64_t coverage4[256];
    std::vector<uint8_t> targets;
    std::vector<int16_t> coverage;
};

// ------------------------------------------------- expanded tip rows --
//
// A faster form for tips known at select time: every tip pixel's byte t
// and its target offset o are kept as three 16-bit lanes (one a channel),
// so that a run of a row is blended lane by lane without gathering:
//     coverage = 0 where t = 0, else clamp(t + pressure - 128, 0, 128)
//     target   = clamp(base channel + o, 0, 255)
//     channel  = old + (target - old) x coverage / 128, toward zero
// with `base` blue, green, red.  The bytes are those of the rule.

// Tips up to this side keep the expanded form (12 masks of it stay under
// 1.2 MB); larger ones gather row by row.
constexpr int32_t kMaxExpandedTipSide = 128;

// Blends `pixels` (pixelCount pixels of a row) with the expanded lanes.
inline void BlendExpandedRun(uint8_t *pixels, const int16_t *tips3, const int16_t *offsets3, int32_t pixelCount,
                             const int32_t (&base)[3], int32_t pressure) {
    if (pressure > 256) pressure = 256;  // coverage stops changing beyond these
    if (pressure < -256) pressure = -256;
    const int32_t lanes = 3 * pixelCount;
    int32_t k = 0;
#if defined(__SSE2__)
    // The base channels for a run of 8 lanes starting at channel 0, 1, 2.
    __m128i pattern[3];
    for (int phase = 0; phase < 3; ++phase) {
        pattern[phase] = _mm_setr_epi16(
            static_cast<int16_t>(base[phase % 3]), static_cast<int16_t>(base[(phase + 1) % 3]),
            static_cast<int16_t>(base[(phase + 2) % 3]), static_cast<int16_t>(base[phase % 3]),
            static_cast<int16_t>(base[(phase + 1) % 3]), static_cast<int16_t>(base[(phase + 2) % 3]),
            static_cast<int16_t>(base[phase % 3]), static_cast<int16_t>(base[(phase + 1) % 3]));
    }
    const __m128i zero = _mm_setzero_si128();
    const __m128i full = _mm_set1_epi16(128);
    const __m128i top = _mm_set1_epi16(255);
    const __m128i roundToZero = _mm_set1_epi16(127);
    const __m128i lift = _mm_set1_epi16(static_cast<int16_t>(pressure - 128));
    int phase = 0;
    for (; k + 8 <= lanes; k += 8, phase = (phase + 2) % 3) {
        const __m128i t = _mm_loadu_si128(reinterpret_cast<const __m128i *>(tips3 + k));
        __m128i c = _mm_min_epi16(_mm_max_epi16(_mm_add_epi16(t, lift), zero), full);
        c = _mm_andnot_si128(_mm_cmpeq_epi16(t, zero), c);
        const __m128i o = _mm_loadu_si128(reinterpret_cast<const __m128i *>(offsets3 + k));
        const __m128i to = _mm_min_epi16(_mm_max_epi16(_mm_add_epi16(pattern[phase], o), zero), top);
        const __m128i old = _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i *>(pixels + k)), zero);
        __m128i product = _mm_mullo_epi16(_mm_sub_epi16(to, old), c);
        product = _mm_add_epi16(product, _mm_and_si128(_mm_srai_epi16(product, 15), roundToZero));
        const __m128i blended = _mm_add_epi16(old, _mm_srai_epi16(product, 7));
        _mm_storel_epi64(reinterpret_cast<__m128i *>(pixels + k), _mm_packus_epi16(blended, zero));
    }
#endif
    for (; k < lanes; ++k) {
        const int32_t c = brush::StandardCoverage(tips3[k], pressure);
        if (c == 0) continue;
        const int32_t to = base[k % 3] + offsets3[k];
        pixels[k] = brush::BlendChannel(pixels[k], static_cast<uint8_t>(to < 0 ? 0 : (to > 255 ? 255 : to)), c);
    }
}

// The expanded lanes of `count` tip pixels: t three times each.
inline void ExpandTipLanes(const uint8_t *tip, size_t count, int16_t *tips3) {
    for (size_t n = 0; n < count; ++n) tips3[3 * n] = tips3[3 * n + 1] = tips3[3 * n + 2] = tip[n];
}

// For each of `rows` rows of `width` tip bytes, the first painted column
// and one past the last (0, 0 for a row with nothing painted).
inline void FindPaintedSpans(const uint8_t *tip, int32_t width, int32_t rows, int16_t *spans) {
    for (int32_t j = 0; j < rows; ++j) {
        const uint8_t *row = tip + static_cast<size_t>(j) * width;
        int32_t first = 0, end = width;
        while (first < width && row[first] == 0) ++first;
        while (end > first && row[end - 1] == 0) --end;
        if (first == end) first = end = 0;
        spans[2 * j] = static_cast<int16_t>(first);
        spans[2 * j + 1] = static_cast<int16_t>(end);
    }
}

// Memory for expanded data placed after other bytes in one buffer:
// offsets rounded up to 16 bytes.
constexpr size_t AlignUp16(size_t bytes) { return (bytes + 15) & ~static_cast<size_t>(15); }

// A channel level clamped to 0..255.
inline uint32_t ClampLevel255(int32_t v) { return static_cast<uint32_t>(v < 0 ? 0 : (v > 255 ? 255 : v)); }

}  // namespace penlith
