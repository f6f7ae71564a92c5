// The kids mode's pens and colours.  Texts (button labels and the brush
// names a pen selects) live in the program's string table, so the tables
// hold string ids; the ids equal the button ids for labels, and button id
// + 100 for the brush names.
#pragma once

#include <array>
#include <cstdint>

namespace pintora {

struct KidsPen {
    int button;        // pen bar button id
    int labelId;       // string: the button's label
    int brushNameId;   // string: the brush selected by name
    int32_t size;      // full size; the size bar scales it
    int32_t density;
    int32_t third;     // the brush's third parameter
};

struct KidsColor {
    int button;        // colour bar button id
    int labelId;       // string: the button's label
    uint8_t red, green, blue;
    // Windows colour value: red in the low byte, flag byte 0.
    uint32_t Value() const {
        return static_cast<uint32_t>(red) | (static_cast<uint32_t>(green) << 8) |
               (static_cast<uint32_t>(blue) << 16);
    }
};

constexpr int kKidsPenCount = 6;
constexpr int kKidsColorCount = 14;
constexpr int kKidsSizeCount = 3;       // big, middle, small
constexpr int kFirstKidsColor = 1;      // red, at every start
constexpr int kFirstPenButton = 1041;
constexpr int kFirstColorButton = 1020;
constexpr int kFirstSizeButton = 1015;  // labels 1015..1017 as well
constexpr int kBrushNameIdOffset = 100;

const std::array<KidsPen, kKidsPenCount> &PenTable();
const std::array<KidsColor, kKidsColorCount> &ColorTable();

// The size handed to the brush: size x (4 - step) / 4 with the size step
// 0 big, 1 middle, 2 small.  A step outside 0..2 counts as the nearest one.
int32_t KidsPenSize(const KidsPen &pen, int32_t sizeStep);

}  // namespace pintora
