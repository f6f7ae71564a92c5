// Octree colour reduction: the palette of at most 255 colours used to make
// an 8-bit copy of a true-colour picture (before writing GIF files).
//
// The tree has 8 levels; a level-d node picks its child by bit 7 - d of red,
// green and blue (index = r << 2 | g << 1 | b).  Nodes at depth 8 are
// leaves that sum the colours reaching them.  Whenever a pixel makes the
// leaf count exceed the limit, the most recently created node of the
// deepest level that still has inner nodes is folded into a leaf (its
// children's counts and sums merged).  Memory thus stays bounded for any
// picture, and the result depends on pixel order: rows in memory order
// (bottom row first), pixels left to right.
#pragma once

#include <cstdint>
#include <vector>

#include "pixel_view.h"

namespace dibwork {

struct PaletteColour {
    uint8_t r, g, b;
    bool operator==(const PaletteColour &o) const { return r == o.r && g == o.g && b == o.b; }
};

constexpr int kOctreeLeafLimit = 253;

// The palette of a 24-bit picture: one entry per leaf in depth-first order
// (children 0..7), each the mean colour of its pixels (sums / count,
// truncating); then white if no entry is pure white, then black if none is
// pure black.  With the default limit the palette has at most 255 entries
// and always holds white and black.  False for a view that is not a usable
// 24-bit picture, or when memory runs out.
bool BuildOctreePalette(const PixelView &src, std::vector<PaletteColour> &palette,
                        int leafLimit = kOctreeLeafLimit);

}  // namespace dibwork
