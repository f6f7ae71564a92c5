// The brush manager's plain rules, kept apart from Win32 so that they also
// build natively under the sanitizers: reading decimal descriptor strings,
// fitting text into fixed record fields, the table order, menu mnemonics
// and parameter clamping.
#pragma once

#include <cstddef>
#include <cstdint>

namespace bristler {

// The decimal value of a descriptor string, read like the C library's
// decimal conversion: leading blanks, an optional sign, then the leading
// digits; text without digits gives 0.  Values beyond the int32 range
// saturate instead of wrapping.
int32_t ParseDecimal(const char *text);

// Bytes of the character that starts at text[0] (at least 1, and never
// past a NUL).  One function per kind of ANSI code page.
using CharLengthFn = size_t (*)(const char *text);
size_t Utf8CharLength(const char *text);

// Copies NUL-terminated `text` into a field of `fieldBytes` bytes (NUL
// included).  Text that does not fit is cut at the last whole character
// that fits, so a field never holds half a character and never overflows.
// Returns true when the whole text fitted.
bool CopyTextToField(char *field, size_t fieldBytes, const char *text, CharLengthFn charLength);

// Sorts `indices` (count entries) with repeated adjacent comparisons: a
// pair is swapped while compare(a, b) > 0.  Stable, and quadratic: brush
// tables hold a few dozen entries.
template <typename Compare>
void BubbleSortIndices(int32_t *indices, int32_t count, Compare compare) {
    for (int32_t pass = count - 1; pass > 0; --pass) {
        bool swapped = false;
        for (int32_t j = 0; j < pass; ++j) {
            if (compare(indices[j], indices[j + 1]) > 0) {
                const int32_t t = indices[j];
                indices[j] = indices[j + 1];
                indices[j + 1] = t;
                swapped = true;
            }
        }
        if (!swapped) return;
    }
}

// Mnemonic character of the brush menu item at `position`: A..Z, then
// 1..9, then 0, repeating every 36 items.
char MenuMnemonic(int32_t position);

// A parameter value kept within its range: min(maximum, max(minimum, v)).
int32_t ClampParam(int32_t value, int32_t minimum, int32_t maximum);

// Page size of a parameter's trackbar: a twentieth of its range (integer
// division), at least 1.
int32_t TrackbarPageSize(int32_t minimum, int32_t maximum);

// A screen rectangle, edges as in RECT.
struct Box {
    int32_t left, top, right, bottom;
};

// Whether the floating colour window has to be moved back to the colour
// button after the dialog moved: when the button's right edge has passed
// the window's right edge, the window is further right of the button than
// half its width, the button's top is below the window's bottom, or the
// window is further below the button's top than half its width.
bool PopupNeedsReanchor(const Box &button, const Box &popup);

// The most brushes one plug-in can describe: brush i uses the string ids
// base + i, so from i = 100 on the ids of one field run into the next.
constexpr int32_t kMaxBrushesPerPlugIn = 100;

}  // namespace bristler
