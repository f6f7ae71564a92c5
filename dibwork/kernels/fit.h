// Fitting a picture into a box: the size of a thumbnail, and the place of
// a preview in a window's client area.
#pragma once

#include <optional>

namespace dibwork {

struct FitSize {
    int width;
    int height;
};

// The largest size of the picture's proportions that fits a bw x bh box,
// never below 1 in either direction (integer arithmetic, truncating):
//   sw bh > sh bw:  bw x max(1, sh bw / sw)
//   otherwise:      max(1, sw bh / sh) x bh
// Nothing for an empty box or picture.
std::optional<FitSize> FitIntoBox(int sw, int sh, int bw, int bh);

struct FitPlacement {
    int x, y, width, height;
};

// Where a pw x ph picture goes in a cw x ch client area.  A picture smaller
// in both directions is enlarged to touch two sides, keeping its
// proportions, and centred in the other direction.  Any other picture keeps
// its size; it is centred in each direction in which it is smaller and
// placed at 0 in the others (the window clips the rest).
FitPlacement FitIntoClient(int pw, int ph, int cw, int ch);

}  // namespace dibwork
