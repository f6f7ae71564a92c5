// The kids-mode drawing paper: its brightness is set by moving every
// colour of the texture's colour table by the same amount.
#pragma once

#include <cstdint>

namespace pintora {

// Adds `delta` to the blue, green and red of `count` colour-table entries
// (RGBQUAD order: blue, green, red, reserved), each clamped to 0..255; the
// reserved bytes are left alone.
void ShiftColorTable(uint8_t *table, int count, int32_t delta);

}  // namespace pintora
