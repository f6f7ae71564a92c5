// A plug-in descriptor string as the brush manager reads it: its decimal
// value, and the text fitted into record fields of several sizes with the
// UTF-8 and a double-byte character rule.  The text is the input up to its
// first NUL.  A field always ends in a NUL inside its size and holds a
// prefix of the text made of whole characters; the decimal value agrees
// with a plain 128-bit reading that saturates.
#include <cstring>
#include <memory>
#include <string>

#include "brush_rules.h"
#include "fuzz_support.h"

using namespace bristler;

namespace {

// Lead bytes of a double-byte code page; the second byte is never a NUL.
size_t DoubleByteCharLength(const char *text) {
    const auto lead = static_cast<unsigned char>(text[0]);
    const bool isLead = (lead >= 0x81 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xFC);
    return isLead && text[1] != '\0' ? 2 : 1;
}

int32_t ReferenceDecimal(const std::string &s) {
    size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || (s[i] >= '\t' && s[i] <= '\r'))) ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
    __int128 v = 0;
    for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) {
        if (v < (__int128{1} << 40)) v = v * 10 + (s[i] - '0');
    }
    if (negative) v = -v;
    if (v > INT32_MAX) return INT32_MAX;
    if (v < INT32_MIN) return INT32_MIN;
    return static_cast<int32_t>(v);
}

void CheckField(const std::string &text, size_t fieldBytes, CharLengthFn charLength) {
    std::unique_ptr<char[]> field(new char[fieldBytes]);
    std::memset(field.get(), 0x7F, fieldBytes);
    const bool whole = CopyTextToField(field.get(), fieldBytes, text.c_str(), charLength);
    const size_t used = strnlen(field.get(), fieldBytes);
    FUZZ_CHECK(used < fieldBytes);
    FUZZ_CHECK(text.compare(0, used, field.get(), used) == 0);
    FUZZ_CHECK(whole == (used == text.size()));
    // The cut lies on a character boundary of the text.
    size_t at = 0;
    while (at < used) at += charLength(text.c_str() + at);
    FUZZ_CHECK(at == used);
    if (!whole) FUZZ_CHECK(used + charLength(text.c_str() + used) > fieldBytes - 1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const std::string text(reinterpret_cast<const char *>(data), strnlen(reinterpret_cast<const char *>(data), size));
    FUZZ_CHECK(ParseDecimal(text.c_str()) == ReferenceDecimal(text));
    for (size_t fieldBytes : {size_t{1}, size_t{2}, size_t{3}, size_t{5}, size_t{32}, size_t{128}}) {
        CheckField(text, fieldBytes, Utf8CharLength);
        CheckField(text, fieldBytes, DoubleByteCharLength);
    }
    return 0;
}
