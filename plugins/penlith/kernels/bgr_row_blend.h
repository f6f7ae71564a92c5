// Blending one dab row whose pixels each have their own target colour and
// coverage (the oil's relief, the cloud's shading): the row's targets and
// coverage are gathered three channels a pixel, then blended in one pass
//     channel = old + (target - old) x coverage / 128
// truncated toward zero, coverage 0..128 (0 leaves a byte as it was).
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "brush_engine.h"

namespace penlith {

// n channel bytes moved toward their own targets by their own coverage.
// SSE2 takes 8 channels at a time and gives the same bytes as the loop.
inline void BlendBgrRowToTargets(uint8_t *pixels, const uint8_t *targets, const int16_t *coverage, int32_t n) {
    int32_t k = 0;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    const __m128i roundToZero = _mm_set1_epi16(127);
    for (; k + 8 <= n; k += 8) {
        const __m128i old = _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i *>(pixels + k)), zero);
        const __m128i to = _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i *>(targets + k)), zero);
        const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i *>(coverage + k));
        // |to - old| x c <= 255 x 128 fits 16 bits; adding 127 to negative
        // products makes the arithmetic shift truncate toward zero.
        __m128i product = _mm_mullo_epi16(_mm_sub_epi16(to, old), c);
        product = _mm_add_epi16(product, _mm_and_si128(_mm_srai_epi16(product, 15), roundToZero));
        const __m128i blended = _mm_add_epi16(old, _mm_srai_epi16(product, 7));
        _mm_storel_epi64(reinterpret_cast<__m128i *>(pixels + k), _mm_packus_epi16(blended, zero));
    }
#endif
    for (; k < n; ++k) pixels[k] = brush::BlendChannel(pixels[k], targets[k], coverage[k]);
}

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
        BlendBgrRowToTargets(pixels, targets.data(), coverage.data(), 3 * width);
    }

    uint64_t coverage4[256];
    std::vector<uint8_t> targets;
    std::vector<int16_t> coverage;
};

// A channel level clamped to 0..255.
inline uint32_t ClampLevel255(int32_t v) { return static_cast<uint32_t>(v < 0 ? 0 : (v > 255 ? 255 : v)); }

// Blue, green and red packed into the low three bytes.
inline uint32_t PackBgr(uint32_t b, uint32_t g, uint32_t r) { return b | g << 8 | r << 16; }

}  // namespace penlith
