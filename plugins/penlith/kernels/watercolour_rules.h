// The colour rules of the two watercolours (watercolour_brushes.cpp), also
// used by the benchmark's scalar replay.
#pragma once

#include <cstdint>

#include "brush_engine.h"

namespace penlith {

constexpr int32_t kRoundWatercolourMasks = 8;

inline uint8_t ClampLevel(int32_t v) { return static_cast<uint8_t>(v < 0 ? 0 : (v > 255 ? 255 : v)); }

// The round brush picks up an eighth of the sample pixel each dab, the
// flat one three quarters each row (carried and sample: blue, green, red).
inline void PickUpForRoundDab(int32_t (&carried)[3], const uint8_t *sample) {
    for (int k = 0; k < 3; ++k) carried[k] = (carried[k] * 7 + sample[k]) / 8;
}
inline void PickUpForFlatRow(int32_t (&carried)[3], const uint8_t *sample) {
    for (int k = 0; k < 3; ++k) carried[k] = (carried[k] + 3 * sample[k]) / 4;
}

// The round dab's colour: mixed with the darker of target and carried
// paint, so overlaps darken.
inline brush::BgrColor RoundWatercolourColor(brush::BgrColor target, brush::BgrColor carried) {
    auto mix = [](int32_t t, int32_t c) { return static_cast<uint8_t>((t + 3 * (c < t ? c : t)) / 4); };
    return brush::BgrColor{mix(target.b, carried.b), mix(target.g, carried.g), mix(target.r, carried.r)};
}

// The flat row's colour: a quarter target, three quarters carried paint.
inline brush::BgrColor FlatWatercolourColor(brush::BgrColor target, brush::BgrColor carried) {
    auto mix = [](int32_t t, int32_t c) { return static_cast<uint8_t>((t + 3 * c) / 4); };
    return brush::BgrColor{mix(target.b, carried.b), mix(target.g, carried.g), mix(target.r, carried.r)};
}

}  // namespace penlith
