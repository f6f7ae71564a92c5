#include "bar_layout.h"

namespace pintora {
namespace {

// Bitmaps of the action bar: end, clear, white, save; of the end bar:
// really end, again, kids mode, about; of the pen bar: clear (the paper
// again), then the six pens.
constexpr BarLayout kAction = {1000, 4, 94, 34, 95, 379, 34, 5, 5, 5, {110, 111, 112, 114}};
constexpr BarLayout kEnd = {1000, 4, 94, 34, 95, 379, 34, 5, 5, 5, {115, 116, 123, 113}};
constexpr BarLayout kColor = {1020, 14, 34, 34, 35, 489, 34, 5, 5, 59,
                              {1020, 1021, 1022, 1023, 1024, 1025, 1026, 1027, 1028, 1029, 1030, 1031, 1032, 1033}};
constexpr BarLayout kSize = {1015, 3, 34, 34, 35, 104, 34, 500, 5, 59, {1015, 1016, 1017}};
constexpr BarLayout kPen = {1040, 7, 94, 34, 95, 664, 34, 5, 5, 5, {111, 1041, 1042, 1043, 1044, 1045, 1046}};

}  // namespace

const BarLayout &LayoutOf(BarKind bar) {
    switch (bar) {
        case BarKind::kAction: return kAction;
        case BarKind::kEnd: return kEnd;
        case BarKind::kColor: return kColor;
        case BarKind::kSize: return kSize;
        case BarKind::kPen: return kPen;
    }
    return kAction;
}

int ButtonIndex(const BarLayout &layout, int id) {
    const int index = id - layout.firstButton;
    return index >= 0 && index < layout.buttonCount ? index : -1;
}

int32_t KidsModeValue(bool penBar, bool sizeBar, bool flatPaper) {
    return 1 + 2 * (penBar ? 1 : 0) + 4 * (sizeBar ? 1 : 0) + 8 * (flatPaper ? 1 : 0);
}

}  // namespace pintora
