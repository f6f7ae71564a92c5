// The India ink, oil, hatching, impressionist and cloud strokes of the
// sample-strokes picture (penlith_colour_bench with a file name).
#pragma once

#include <windows.h>

#include <cstdint>

#include "penlith_bench_support.h"

namespace penlith_bench {

// Height of the block the strokes take.
constexpr int32_t kTextureSamplesHeight = 740;

// Paints the block onto `paper` (at least 720 pixels wide) from row `top`
// (top-down) on: an India-ink stroke that fades along its length, oil
// strokes in every direction (on white and over blue), vertical,
// horizontal and direction-following hatching, impressionist dabs and
// cloud puffs over a sky.  False when a brush is missing or refuses.
bool PaintTextureBrushSamples(HMODULE penlith, Canvas &paper, int32_t top);

}  // namespace penlith_bench
