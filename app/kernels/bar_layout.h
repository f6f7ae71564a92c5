// Where the tool bars' buttons sit and which picture each shows, the
// bars' client sizes and screen places, and the values of the kids-mode
// options.  Plain data: the window code places and draws from it.
#pragma once

#include <array>
#include <cstdint>

namespace pintora {

enum class BarKind { kAction, kEnd, kColor, kSize, kPen };

constexpr int kMaxBarButtons = 14;

struct BarLayout {
    int firstButton;   // control id of the first button; the rest follow by one
    int buttonCount;
    int buttonWidth, buttonHeight;
    int step;          // from one button's left edge to the next one's
    int clientWidth, clientHeight;
    int x, y;          // top-left of the bar's frame on the screen
    int yBelowPenBar;  // y when the pen bar shows above it (else y)
    std::array<int, kMaxBarButtons> bitmaps;  // bitmap id of each button
};

const BarLayout &LayoutOf(BarKind bar);

// Left edge of button `index` within the client area (its top is 0).
inline int ButtonLeft(const BarLayout &layout, int index) { return index * layout.step; }

// Index of the button with control id `id`, or -1 when it is not one of
// the bar's buttons.
int ButtonIndex(const BarLayout &layout, int id);

// The value the kids-mode dialog ends with: bit 1 always (the dialog was
// confirmed), 2 the pen bar, 4 the size bar, 8 the flat paper colour.
int32_t KidsModeValue(bool penBar, bool sizeBar, bool flatPaper);
// The option bits the canvas's kids-mode command takes (1 pen bar, 2 size
// bar, 4 flat paper): the dialog's value without its confirmation bit.
inline int32_t KidsOptionsOf(int32_t kidsModeValue) { return kidsModeValue >> 1; }

// The paper brightness trackbar: positions 0..60 for the values -30..30.
constexpr int kBrightnessTrackMax = 60;
constexpr int kBrightnessPage = 5;
inline int BrightnessToTrack(int32_t value) { return static_cast<int>(value) + kBrightnessTrackMax / 2; }
inline int32_t TrackToBrightness(int position) { return position - kBrightnessTrackMax / 2; }

}  // namespace pintora
