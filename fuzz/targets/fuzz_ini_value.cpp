// Values of the settings file: each line of the input is the text of one
// key, in the order the program reads them.  Every value agrees with a
// plain 128-bit reading that saturates, and the clamped settings lie in
// the ranges the program indexes its tables with.
#include <string_view>

#include "fuzz_support.h"
#include "settings_model.h"

using namespace pintora;

namespace {

int32_t ReferenceProfileInt(std::string_view s) {
    size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const std::string_view all(reinterpret_cast<const char *>(data), size);
    FUZZ_CHECK(ParseProfileInt(all) == ReferenceProfileInt(all));

    Settings s;
    size_t start = 0;
    for (size_t k = 0; k <= kRunKeys.size() && start <= all.size(); ++k) {
        size_t end = all.find('\n', start);
        if (end == std::string_view::npos) end = all.size();
        const std::string_view line = all.substr(start, end - start);
        const int32_t value = ParseProfileInt(line);
        FUZZ_CHECK(value == ReferenceProfileInt(line));
        const SettingKey &key = k == 0 ? kFirstRunKey : kRunKeys[k - 1];
        s.*(key.member) = value;
        start = end + 1;
    }
    for (const Settings &c : {Clamped(s), ForNextRun(s)}) {
        FUZZ_CHECK(c.firstRun == 0 || c.firstRun == 1);
        FUZZ_CHECK(c.currentPenSize >= 0 && c.currentPenSize <= 2);
        FUZZ_CHECK(c.currentPen >= 0 && c.currentPen <= 5);
        FUZZ_CHECK(c.paperIntensity >= -kPaperIntensityLimit && c.paperIntensity <= kPaperIntensityLimit);
        FUZZ_CHECK(c.kidsMode >= 0 && c.kidsMode <= 15);
        FUZZ_CHECK(c.lastNormalPage >= 0 && c.lastNormalPage < kPagesPerMode);
        FUZZ_CHECK(c.lastKidsPage >= 0 && c.lastKidsPage < kPagesPerMode);
        FUZZ_CHECK((static_cast<uint32_t>(c.colKidsPaper) & ~0x02FFFFFFu) == 0);
        FUZZ_CHECK(c.kidsRunAlready == 0 || c.kidsRunAlready == 1);
    }
    return 0;
}
