// The canvas window's logical palette, realised on palette displays so that
// the desktop picture and the brushes' colours keep their look.
//
// 256 entries of red, green, blue and flags (PALETTEENTRY order); the
// palette made from it uses the first 255.
#pragma once

#include <array>
#include <cstdint>

namespace pintora {

struct PaletteColor {
    uint8_t red, green, blue, flags;
};

// The PALETTEENTRY flag that keeps an entry from being mapped onto an
// existing system colour.
constexpr uint8_t kPaletteNoCollapse = 0x04;

// Entries handed to the system palette (the last table entry is unused).
constexpr int kLogicalPaletteEntries = 255;

// Layout: 0-9 the first ten static colours; 10-217 the 6 x 6 x 6 colour
// cube (levels 00 33 66 99 cc ff, red slowest, blue fastest) without the
// eight corners black, white, red, green, blue, yellow, magenta and cyan;
// 218-224 greys; 225-245 warm tints; 246-255 the last ten static colours.
// Entries 10, 14, ..., 42 carry kPaletteNoCollapse.
const std::array<PaletteColor, 256> &LogicalPaletteTable();

}  // namespace pintora
