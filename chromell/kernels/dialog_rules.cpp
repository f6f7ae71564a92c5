// The colour window's rules that need no window (see dialog_rules.h).
#include "dialog_rules.h"

namespace chromell {

namespace {
constexpr ColorValue Plain(int r, int g, int b) { return MakeColor(r, g, b) & 0xFFFFFF; }
}  // namespace

const ColorValue kDefaultHistory[kHistoryLength] = {
    MakeColor(255, 255, 255), MakeColor(0, 0, 0),       MakeColor(255, 0, 0),     MakeColor(0, 255, 0),
    MakeColor(0, 0, 255),     MakeColor(255, 255, 0),   MakeColor(0, 255, 255),   MakeColor(255, 0, 255),
    MakeColor(128, 128, 128), MakeColor(128, 0, 0),     MakeColor(0, 128, 0),     MakeColor(0, 0, 128),
    MakeColor(128, 128, 0),   MakeColor(128, 0, 128),   MakeColor(255, 128, 192), MakeColor(128, 64, 0),
    MakeColor(128, 192, 255), MakeColor(128, 255, 0),   MakeColor(255, 128, 0),   MakeColor(224, 192, 128),
};

const ColorValue kSwatchesAndPresets[kSwatchCount + 4 * kPresetCount] = {
    // the swatch grid, 7 a row
    Plain(128, 0, 0), Plain(128, 128, 0), Plain(0, 128, 0), Plain(0, 128, 128), Plain(0, 0, 128),
    Plain(128, 0, 128), Plain(255, 255, 255),
    Plain(255, 0, 0), Plain(255, 255, 0), Plain(0, 255, 0), Plain(0, 255, 255), Plain(0, 0, 255),
    Plain(255, 0, 255), Plain(192, 192, 192),
    Plain(255, 153, 153), Plain(255, 255, 204), Plain(204, 255, 204), Plain(204, 255, 255),
    Plain(153, 153, 255), Plain(255, 204, 255), Plain(128, 128, 128),
    Plain(255, 153, 0), Plain(153, 102, 0), Plain(204, 255, 51), Plain(192, 220, 192), Plain(51, 102, 204),
    Plain(240, 200, 164), Plain(0, 0, 0),
    // the presets 2001..2010: top-left, top-right, bottom-left, bottom-right
    Plain(255, 0, 255), Plain(255, 255, 255), Plain(255, 0, 0), Plain(255, 255, 255),      // 桜花
    Plain(255, 255, 0), Plain(160, 128, 32), Plain(255, 192, 0), Plain(255, 128, 0),       // 菊花
    Plain(160, 255, 255), Plain(0, 108, 204), Plain(96, 160, 255), Plain(0, 32, 136),      // 冬空
    Plain(0, 255, 0), Plain(224, 255, 0), Plain(0, 96, 0), Plain(192, 255, 128),           // 若葉
    Plain(0, 255, 255), Plain(32, 96, 160), Plain(0, 0, 255), Plain(128, 160, 255),        // 夏空
    Plain(255, 0, 0), Plain(128, 0, 0), Plain(255, 128, 0), Plain(255, 255, 0),            // 紅葉
    Plain(255, 240, 224), Plain(224, 112, 96), Plain(255, 192, 144), Plain(176, 128, 96),  // 肌色
    Plain(128, 112, 0), Plain(192, 96, 16), Plain(192, 128, 112), Plain(64, 32, 32),       // 木々
    Plain(255, 224, 0), Plain(112, 104, 0), Plain(255, 114, 0), Plain(104, 64, 0),         // 稲穂
    Plain(255, 255, 255), Plain(204, 238, 255), Plain(219, 219, 219), Plain(221, 199, 234), // 白雪
};

bool PresetCorners(int id, GradientCorners *corners) {
    const int n = id - kPresetFirstId;
    if (n < 0 || n >= kPresetCount || !corners) return false;
    const ColorValue *c = kSwatchesAndPresets + kSwatchCount + 4 * n;
    *corners = GradientCorners{c[0], c[1], c[2], c[3]};
    return true;
}

bool AddToHistory(ColorValue history[kHistoryLength], ColorValue color) {
    color = (color & 0xFFFFFF) | kPaletteRelative;
    int found = kHistoryLength - 1;  // absent: the last entry falls out
    for (int i = 0; i < kHistoryLength; ++i) {
        if (history[i] == color) {
            found = i;
            break;
        }
    }
    if (found == 0 && history[0] == color) return false;
    for (int i = found; i > 0; --i) history[i] = history[i - 1];
    history[0] = color;
    return true;
}

HistoryTick TickHistory(uint32_t tracker, ColorValue color) {
    HistoryTick tick;
    const uint32_t seen = color & 0xFFFFFF;
    if (seen != (tracker & 0xFFFFFF)) {
        tick.tracker = seen;  // a new colour, count 0
        return tick;
    }
    uint32_t count = tracker >> 24;
    if (count < 4) ++count;
    if (count >= 4) {
        tick.addColor = true;
        count = 0;
    }
    tick.tracker = seen | count << 24;
    return tick;
}

ScreenPoint PlaceNearOwner(ScreenPoint wanted, const ScreenRect &window, const ScreenRect &owner,
                           int screenWidth, int screenHeight) {
    const int64_t width = int64_t{window.right} - window.left;
    const int64_t height = int64_t{window.bottom} - window.top;
    const int64_t mx = screenWidth / 8;
    const int64_t my = screenHeight / 8;
    // 64-bit arithmetic: a stored position may be anything a file held.
    int64_t left = wanted.x, top = wanted.y;
    if (owner.left - (left + width) > mx) left = owner.left - width;
    if (left - owner.right > mx) left = owner.right;
    if (owner.top - (top + height) > my) top = owner.top - height;
    if (top - owner.bottom > my) top = owner.bottom;
    auto fit = [](int64_t v) {
        return static_cast<int32_t>(v < INT32_MIN ? INT32_MIN : v > INT32_MAX ? INT32_MAX : v);
    };
    return ScreenPoint{fit(left), fit(top)};
}

int StepSwatch(int cell, SwatchKey key) {
    if (cell < 0 || cell >= kSwatchCount) cell = 0;
    switch (key) {
    case SwatchKey::kLeft: return (cell + kSwatchCount - 1) % kSwatchCount;
    case SwatchKey::kUp: return (cell + kSwatchCount - kSwatchColumns) % kSwatchCount;
    case SwatchKey::kRight: return (cell + 1) % kSwatchCount;
    case SwatchKey::kDown: return (cell + kSwatchColumns) % kSwatchCount;
    }
    return cell;
}

int GridCellAt(int x, int y, int columns, int rows) {
    if (x < 0 || y < 0 || x >= columns * kCellPitch || y >= rows * kCellPitch) return -1;
    return (y / kCellPitch) * columns + x / kCellPitch;
}

}  // namespace chromell
