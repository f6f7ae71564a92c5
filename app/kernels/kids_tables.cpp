#include "kids_tables.h"

#include <algorithm>

namespace pintora {
namespace {

constexpr KidsPen Pen(int index, int32_t size, int32_t density, int32_t third) {
    const int button = kFirstPenButton + index;
    return {button, button, button + kBrushNameIdOffset, size, density, third};
}

constexpr KidsColor Color(int index, uint8_t r, uint8_t g, uint8_t b) {
    const int button = kFirstColorButton + index;
    return {button, button, r, g, b};
}

// Crayon, marker, chalk, watercolour, rainbow, pipe.
constexpr std::array<KidsPen, kKidsPenCount> kPens = {
    Pen(0, 20, 60, 7), Pen(1, 24, 80, 0), Pen(2, 20, 70, 9),
    Pen(3, 24, 40, 9), Pen(4, 28, 80, 0), Pen(5, 24, 80, 2),
};

// Black, red, pink, skin, brown, orange, yellow, yellow-green, green,
// light blue, blue, purple, grey, white.
constexpr std::array<KidsColor, kKidsColorCount> kColors = {
    Color(0, 0x00, 0x00, 0x00),  Color(1, 0xE0, 0x08, 0x08),  Color(2, 0xF0, 0x90, 0xC0),
    Color(3, 0xF0, 0xD0, 0xAD),  Color(4, 0x80, 0x40, 0x10),  Color(5, 0xF0, 0x80, 0x08),
    Color(6, 0xF0, 0xF0, 0x08),  Color(7, 0xAB, 0xFF, 0x7F),  Color(8, 0x08, 0x90, 0x20),
    Color(9, 0x08, 0xF0, 0xF0),  Color(10, 0x08, 0x08, 0xE0), Color(11, 0xC0, 0x08, 0xC0),
    Color(12, 0xC0, 0xC0, 0xC0), Color(13, 0xFF, 0xFF, 0xFF),
};

}  // namespace

const std::array<KidsPen, kKidsPenCount> &PenTable() { return kPens; }
const std::array<KidsColor, kKidsColorCount> &ColorTable() { return kColors; }

int32_t KidsPenSize(const KidsPen &pen, int32_t sizeStep) {
    const int32_t s = std::clamp<int32_t>(sizeStep, 0, kKidsSizeCount - 1);
    return pen.size * (4 - s) / 4;
}

}  // namespace pintora
