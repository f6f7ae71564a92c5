#include "pressure.h"

#include <cmath>

namespace bristler {

PressureTable MakePressureTable() {
    PressureTable curve{};
    const double scale = std::pow(128.0, 0.7);
    for (int i = 0; i <= 128; ++i) {
        curve[static_cast<size_t>(i)] = static_cast<uint8_t>(std::pow(i, 0.3) * scale + 0.5);
    }
    return curve;
}

int32_t PressureOfRaw(const PressureTable &curve, uint32_t raw, uint32_t maxPressure) {
    if (maxPressure == 0) maxPressure = 1;
    uint64_t index = uint64_t{raw} * 128u / maxPressure;
    if (index > 128) index = 128;
    return curve[static_cast<size_t>(index)];
}

int32_t ReadPressure(PacketSource *source, const PressureTable &curve, uint32_t maxPressure) {
    if (!source) return 128;
    int32_t pressure = 0;
    bool penSeen = false;
    TabletPacket packet{};
    for (int n = 0; n < kMaxPacketsPerRead && source->Take(&packet); ++n) {
        if (packet.cursor != 0) {
            pressure = PressureOfRaw(curve, packet.normalPressure, maxPressure);
            penSeen = true;
        }
    }
    if (penSeen) return pressure;  // 0 here: the pen is lifted
    source->WaitForPacket();
    if (source->Take(&packet) && packet.cursor != 0) {
        return PressureOfRaw(curve, packet.normalPressure, maxPressure);
    }
    return 128;
}

}  // namespace bristler
