// Tablet pressure, kept apart from the Wintab calls: the response curve,
// the scaling of a raw pressure and the read that drains the packet queue.
#pragma once

#include <array>
#include <cstdint>

namespace bristler {

// One tablet packet as the manager asks for it (cursor, buttons, x, y,
// normal pressure; 32 bits each, in Wintab's field order).
struct TabletPacket {
    uint32_t cursor;    // 0: no cursor (mouse); 2 and 5: an eraser end
    uint32_t buttons;
    int32_t x;
    int32_t y;
    uint32_t normalPressure;
};
static_assert(sizeof(TabletPacket) == 20, "five 32-bit fields");

// Brush pressure 0..128 by scaled pen pressure 0..128:
// entry i = floor(i^0.3 * 128^0.7 + 0.5).  It rises steeply at first and
// flattens, so a light touch already paints.
using PressureTable = std::array<uint8_t, 129>;
PressureTable MakePressureTable();

// Brush pressure of a raw pen pressure, with `maxPressure` the device's
// full scale (non-zero): curve[min(128, raw * 128 / max)].
int32_t PressureOfRaw(const PressureTable &curve, uint32_t raw, uint32_t maxPressure);

// The eraser ends in Wintab's cursor numbering.
inline bool IsEraserCursor(uint32_t cursor) { return cursor == 2 || cursor == 5; }

// Where packets come from: the tablet context in the product, a script in
// tests.
class PacketSource {
public:
    virtual ~PacketSource() = default;
    // Takes the oldest queued packet; false when the queue is empty.
    virtual bool Take(TabletPacket *packet) = 0;
    // The one wait a read may make when the tablet has sent nothing.
    virtual void WaitForPacket() = 0;
};

// The pressure of a stroke call.  Without a source (no tablet): 128.
// Otherwise the whole queue is drained so that the newest pen packet wins
// (packets without a cursor are ignored); a pen packet of pressure 0 means
// the pen is lifted and gives 0.  When no pen packet was queued, one wait
// and one more packet are tried; when that too brings none, 128 (the
// pointer is the mouse).
int32_t ReadPressure(PacketSource *source, const PressureTable &curve, uint32_t maxPressure);

// A queue that never empties (a broken driver) is drained at most this
// many packets per read.
constexpr int kMaxPacketsPerRead = 4096;

}  // namespace bristler
