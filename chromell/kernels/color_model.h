// Chromell's colour model: hue, saturation and intensity (an HSV model)
// and the three pictures the colour window's selectors pick from.
//
// Plain C++ without <windows.h>, shared by Chromell.dll and the native
// sanitizer build.
//
// Conventions
//   Colour values are 32-bit Windows colour values: red in the lowest byte,
//   then green, then blue.  Colours made here carry 0x02 in the top byte
//   (a palette-relative value); the top byte of colours passed in is
//   ignored.
//   hue runs from 0 to 240, 40 to a sixth of the colour circle: 0 red,
//   40 yellow, 80 green, 120 cyan, 160 blue, 200 magenta, 240 red again.
//   saturation and intensity run from 0 to 1.
//   Pictures are 24-bit views (blue, green, red bytes) with rows stored
//   bottom-up.  Here x is a column (0 at the left) and i a memory row
//   (0 at the bottom); pointer rows y count from the top, i = H - 1 - y.
//   Integer divisions truncate toward zero, and so do conversions from
//   double to integer.  The selectors always take the picked colour from
//   the picture's pixel, so these formulas decide the colours users get.
//   Arithmetic is IEEE double throughout (the cross build uses SSE2 for
//   it, so both builds give the same bytes).
#pragma once

#include <cstdint>

#include "pixel_view.h"

namespace chromell {

using ColorValue = uint32_t;

constexpr ColorValue kPaletteRelative = 0x02000000;
constexpr double kHueCircle = 240.0;
constexpr double kHueSixth = 40.0;

constexpr ColorValue MakeColor(int red, int green, int blue) {
    return kPaletteRelative | static_cast<ColorValue>(blue & 0xFF) << 16 |
           static_cast<ColorValue>(green & 0xFF) << 8 | static_cast<ColorValue>(red & 0xFF);
}
constexpr int RedOf(ColorValue c) { return static_cast<int>(c & 0xFF); }
constexpr int GreenOf(ColorValue c) { return static_cast<int>((c >> 8) & 0xFF); }
constexpr int BlueOf(ColorValue c) { return static_cast<int>((c >> 16) & 0xFF); }

struct HsbColor {
    double hue = 0.0;         // 0..240
    double saturation = 0.0;  // 0..1
    double intensity = 0.0;   // 0..1
};

// ---------------------------------------------------------- conversions --

// The pure (fully saturated, full intensity) colour of a hue; hues outside
// 0..240 are brought into it a whole circle at a time.
ColorValue HueColor(double hue);

// Hue, saturation and intensity of a colour.  A grey has no hue of its
// own: it keeps previousHue (and saturation 0).
HsbColor ColorToHSB(ColorValue color, double previousHue);

// ------------------------------------------------------------- pictures --
// Each builder fills the whole picture and returns false, writing nothing,
// when the view is not a usable 24-bit picture.

// The hue strip: red, yellow, green, cyan, blue, magenta, red from left to
// right, the same in every row.
bool BuildHueStrip(const dibwork::PixelView &picture);

// The saturation-intensity square of a hue: saturation grows from the
// left (grey) to the right (the pure hue), intensity from the bottom
// (black) to the top.
bool BuildSatIntSquare(const dibwork::PixelView &picture, double hue);

struct GradientCorners {
    ColorValue topLeft = 0;
    ColorValue topRight = 0;
    ColorValue bottomLeft = 0;
    ColorValue bottomRight = 0;
};

// The four-corner gradient palette, blended per channel down the two
// sides and then across.  A picture of one row is not made (false).
bool BuildGradient(const dibwork::PixelView &picture, const GradientCorners &corners);

// The colour value of a 24-bit picture's pixel (column x, memory row i),
// with 0x02 in the top byte.  The caller keeps x and i inside the picture.
ColorValue PixelColor(const dibwork::PixelView &picture, int x, int memoryRow);

// --------------------------------------------------------------- picking --
// Pointer positions are client coordinates of the selector whose picture
// is width x height.

// The hue under the pointer in the hue strip.  The column is held inside
// the strip, the row is not: above or below the strip the pointer
// fine-tunes the hue by an eighth of a pixel per pixel.  With snap (Shift
// or Ctrl held) the hue is that of the nearest of the six pure colours.
double HueAtStripPoint(int x, int y, int width, int height, bool snap);

// A picked cell of a picture: its column and memory row.
struct PictureCell {
    int column = 0;
    int memoryRow = 0;
};

// Saturation and intensity under the pointer in the square, the pointer
// held inside it; the colour is the square's pixel at `cell`.
struct SatIntPick {
    PictureCell cell;
    double saturation = 0.0;
    double intensity = 0.0;
};
SatIntPick PickSatInt(int x, int y, int width, int height);

// The square's cell of a saturation and intensity (after a hue change the
// colour is read there from the rebuilt square).
PictureCell SatIntCell(double saturation, double intensity, int width, int height);

// The gradient cell under the pointer, held inside the palette, and where
// the marker is drawn (client coordinates).
struct GradientPick {
    PictureCell cell;
    int markerX = 0;
    int markerY = 0;
};
GradientPick PickGradient(int x, int y, int width, int height);

}  // namespace chromell
