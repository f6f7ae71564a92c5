// The sample-strokes picture's column of the dry brushes (chalk, the dry
// brush, pastel) and the pens, painted beside the other brushes' strokes.
#pragma once

#include <windows.h>

#include <cstdint>

#include "penlith_bench_support.h"

namespace penlith_bench {

// The width of the column; it spans 760 rows from the top of the paper.
constexpr int32_t kSampleColumnWidth = 720;

// Strokes of chalk, the dry brush and pastel, with the crayon beside them
// for comparison, on white (rows 0..379) and on a dark band (380..759),
// in the column from x = left.  False when a brush is missing or refuses.
bool PaintDryBrushSamples(HMODULE penlith, Canvas &paper, int32_t left);

}  // namespace penlith_bench
