#include "paper.h"

#include <algorithm>

namespace pintora {

void ShiftColorTable(uint8_t *table, int count, int32_t delta) {
    if (table == nullptr) return;
    for (int i = 0; i < count; ++i) {
        uint8_t *entry = table + 4 * i;
        for (int channel = 0; channel < 3; ++channel) {
            entry[channel] = static_cast<uint8_t>(std::clamp<int32_t>(entry[channel] + delta, 0, 255));
        }
    }
}

}  // namespace pintora
