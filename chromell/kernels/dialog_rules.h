// The colour window's rules that need no window: the colour history, the
// history timer's tracker, placement near the owner, the swatch grid's
// keys, and the swatch, preset and default-history tables.
//
// Plain C++ without <windows.h>, shared by Chromell.dll and the native
// sanitizer build.
#pragma once

#include <cstdint>

#include "color_model.h"

namespace chromell {

constexpr int kHistoryLength = 20;
constexpr int kSwatchCount = 28;
constexpr int kSwatchColumns = 7;
constexpr int kPresetCount = 10;
constexpr int kPresetFirstId = 2001;

// The twenty colours a history starts with (0x02 in the top byte).
extern const ColorValue kDefaultHistory[kHistoryLength];

// The swatch grid's 28 colours, row by row (plain values, top byte 0),
// followed by the ten presets' corners: preset n (command 2001 + n) at
// entries 28 + 4n .. 31 + 4n, top-left, top-right, bottom-left,
// bottom-right.
extern const ColorValue kSwatchesAndPresets[kSwatchCount + 4 * kPresetCount];

// The corners of preset command `id`; false for any other id.
bool PresetCorners(int id, GradientCorners *corners);

// Puts `color` (with 0x02 in the top byte) first in the history: the
// entries before its old place move one down; a colour not yet present
// pushes the last entry out.  A colour already first changes nothing.
// Returns true when the history changed.
bool AddToHistory(ColorValue history[kHistoryLength], ColorValue color);

// The history timer's tracker: low 24 bits the colour last seen, top byte
// the number of ticks it has stayed unchanged.
struct HistoryTick {
    uint32_t tracker = 0;
    bool addColor = false;  // the colour has stayed four ticks: add it
};
constexpr uint32_t TrackerStart(ColorValue color) { return color & 0xFFFFFF; }
HistoryTick TickHistory(uint32_t tracker, ColorValue color);

// A rectangle of screen coordinates, right and bottom exclusive.
struct ScreenRect {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
};
struct ScreenPoint {
    int32_t x = 0, y = 0;
};

// Where the window of size `window` (only its width and height count)
// goes when the caller wants it at `wanted`: never farther than an eighth
// of the screen beyond the owner's edges; beyond that it is moved until
// it touches the owner's edge.
ScreenPoint PlaceNearOwner(ScreenPoint wanted, const ScreenRect &window, const ScreenRect &owner,
                           int screenWidth, int screenHeight);

// The swatch grid's cursor keys.
enum class SwatchKey { kLeft, kUp, kRight, kDown };
int StepSwatch(int cell, SwatchKey key);

// The cell of a popup grid under the client point (x, y); -1 outside the
// grid of columns x rows cells of 18 pixels.
constexpr int kCellPitch = 18;
int GridCellAt(int x, int y, int columns, int rows);

// A number typed into a colour field, held at 255.
constexpr unsigned ClampFieldValue(unsigned value) { return value >= 256 ? 255 : value; }

}  // namespace chromell
