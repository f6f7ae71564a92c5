#include "settings_model.h"

#include <algorithm>
#include <cstdint>

namespace pintora {

int32_t DefaultOf(const SettingKey &key) {
    static const Settings defaults;
    return defaults.*(key.member);
}

Settings Clamped(const Settings &s) {
    Settings c = s;
    c.firstRun = s.firstRun != 0 ? 1 : 0;
    c.currentPenSize = std::clamp<int32_t>(s.currentPenSize, 0, 2);
    c.currentPen = std::clamp<int32_t>(s.currentPen, 0, 5);
    c.paperIntensity = std::clamp<int32_t>(s.paperIntensity, -kPaperIntensityLimit, kPaperIntensityLimit);
    c.kidsMode = (s.kidsMode >= 0 && s.kidsMode <= 15) ? s.kidsMode : 0;
    c.lastNormalPage = std::clamp<int32_t>(s.lastNormalPage, 0, kPagesPerMode - 1);
    c.lastKidsPage = std::clamp<int32_t>(s.lastKidsPage, 0, kPagesPerMode - 1);
    c.colKidsPaper = static_cast<int32_t>(static_cast<uint32_t>(s.colKidsPaper) & 0x02FFFFFFu);
    c.kidsRunAlready = s.kidsRunAlready != 0 ? 1 : 0;
    c.undoMegabytes = std::clamp<int32_t>(s.undoMegabytes, 0, kUndoMegabytesLimit);
    c.autoSaveSeconds = std::clamp<int32_t>(s.autoSaveSeconds, 1, kAutoSaveSecondsLimit);
    return c;
}

Settings ForNextRun(const Settings &s) {
    Settings next = Clamped(s);
    next.lastNormalPage = (next.lastNormalPage + 1) % kPagesPerMode;
    next.lastKidsPage = (next.lastKidsPage + 1) % kPagesPerMode;
    return next;
}

int32_t ParseProfileInt(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
    }
    int64_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = std::min<int64_t>(value * 10 + (text[i] - '0'), int64_t{1} << 32);
    }
    if (negative) value = -value;
    return static_cast<int32_t>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}

}  // namespace pintora
