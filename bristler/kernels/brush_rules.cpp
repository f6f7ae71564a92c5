#include "brush_rules.h"

#include <cstring>

namespace bristler {

int32_t ParseDecimal(const char *text) {
    if (!text) return 0;
    const char *p = text;
    while (*p == ' ' || (*p >= '\t' && *p <= '\r')) ++p;
    bool negative = false;
    if (*p == '+' || *p == '-') negative = (*p++ == '-');
    // The magnitude stops growing once it is past the int32 range, so long
    // digit strings saturate instead of overflowing.
    uint64_t magnitude = 0;
    for (; *p >= '0' && *p <= '9'; ++p) {
        if (magnitude <= (uint64_t{1} << 32)) magnitude = magnitude * 10 + static_cast<uint64_t>(*p - '0');
    }
    if (negative) {
        return magnitude >= (uint64_t{1} << 31) ? INT32_MIN : -static_cast<int32_t>(magnitude);
    }
    return magnitude > uint64_t{INT32_MAX} ? INT32_MAX : static_cast<int32_t>(magnitude);
}

size_t Utf8CharLength(const char *text) {
    const auto lead = static_cast<unsigned char>(text[0]);
    size_t expected = 1;
    if (lead >= 0xF0 && lead <= 0xF7) expected = 4;
    else if (lead >= 0xE0) expected = lead <= 0xEF ? 3 : 1;
    else if (lead >= 0xC0) expected = 2;
    // Only continuation bytes belong to the character, so a broken
    // sequence (or one cut by a NUL) ends early.
    size_t length = 1;
    while (length < expected && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80) ++length;
    return length;
}

bool CopyTextToField(char *field, size_t fieldBytes, const char *text, CharLengthFn charLength) {
    if (!field || fieldBytes == 0) return false;
    if (!text) {
        field[0] = '\0';
        return true;
    }
    size_t used = 0;
    while (text[used] != '\0') {
        const size_t length = charLength(text + used);
        if (used + length > fieldBytes - 1) {
            std::memcpy(field, text, used);
            field[used] = '\0';
            return false;
        }
        used += length;
    }
    std::memcpy(field, text, used);
    field[used] = '\0';
    return true;
}

char MenuMnemonic(int32_t position) {
    const int32_t k = ((position % 36) + 36) % 36;
    if (k < 26) return static_cast<char>('A' + k);
    if (k < 35) return static_cast<char>('1' + (k - 26));
    return '0';
}

int32_t ClampParam(int32_t value, int32_t minimum, int32_t maximum) {
    const int32_t raised = value < minimum ? minimum : value;
    return raised > maximum ? maximum : raised;
}

int32_t TrackbarPageSize(int32_t minimum, int32_t maximum) {
    // In 64 bits: a range can span more than int32 holds.
    const int64_t page = (int64_t{maximum} - minimum) / 20;
    return page < 1 ? 1 : static_cast<int32_t>(page);
}

bool PopupNeedsReanchor(const Box &button, const Box &popup) {
    const int64_t half = (int64_t{popup.right} - popup.left) / 2;
    return button.right > popup.right || int64_t{popup.left} - button.right > half || button.top > popup.bottom ||
           int64_t{popup.top} - button.top > half;
}

}  // namespace bristler
