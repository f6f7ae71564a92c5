// The sample-strokes picture's column of the dry brushes (chalk, the dry
// brush, pastel) and the pens, painted beside the other brushes' strokes.
#pragma once

#include <windows.h>

#include <cstdint>

#include "penlith_bench_support.h"

namespace penlith_bench {

// The width of the column and its height from the top of the paper.
constexpr int32_t kSampleColumnWidth = 720;
constexpr int32_t kSampleColumnHeight = 1140;

// Strokes of chalk, the dry brush and pastel, with the crayon beside them
// for comparison, on white (rows 0..379) and on a dark band (380..759),
// in the column from x = left.  False when a brush is missing or refuses.
bool PaintDryBrushSamples(HMODULE penlith, Canvas &paper, int32_t left);

// Below them (rows 760..1139): a fountain-pen stroke that goes slow and
// fast by turns, a fast one, an oily pen looping over itself and a long
// ink-wash stroke that runs dry.
bool PaintPenSamples(HMODULE penlith, Canvas &paper, int32_t left);

}  // namespace penlith_bench
