// The pressure curve and the queue-draining read, against a scripted
// packet source.
#include <gtest/gtest.h>

#include <deque>

#include "pressure.h"

using namespace bristler;

namespace {

class ScriptedPackets : public PacketSource {
public:
    std::deque<TabletPacket> queue;
    std::deque<TabletPacket> afterWait;  // arrive during the wait
    int takes = 0;
    int waits = 0;
    bool endless = false;

    bool Take(TabletPacket *packet) override {
        ++takes;
        if (endless) {
            *packet = TabletPacket{1, 0, 0, 0, 512};
            return true;
        }
        if (queue.empty()) return false;
        *packet = queue.front();
        queue.pop_front();
        return true;
    }
    void WaitForPacket() override {
        ++waits;
        queue.insert(queue.end(), afterWait.begin(), afterWait.end());
        afterWait.clear();
    }
};

TabletPacket Pen(uint32_t pressure, uint32_t cursor = 1) { return TabletPacket{cursor, 1, 100, 100, pressure}; }

TEST(PressureTable, RisesSteeplyThenFlattens) {
    const PressureTable table = MakePressureTable();
    const int at[] = {0, 1, 2, 4, 8, 16, 32, 64, 100, 128};
    const int expected[] = {0, 30, 37, 45, 56, 69, 84, 104, 119, 128};
    for (size_t i = 0; i < std::size(at); ++i) EXPECT_EQ(table[at[i]], expected[i]) << "entry " << at[i];
    for (size_t i = 1; i < table.size(); ++i) EXPECT_GE(table[i], table[i - 1]);
}

TEST(PressureOfRaw, ScalesToTheDeviceMaximum) {
    const PressureTable table = MakePressureTable();
    EXPECT_EQ(PressureOfRaw(table, 1023, 1023), 128);
    EXPECT_EQ(PressureOfRaw(table, 512, 1024), 104) << "half the maximum is entry 64";
    EXPECT_EQ(PressureOfRaw(table, 0, 1023), 0);
    EXPECT_EQ(PressureOfRaw(table, 5000, 1023), 128) << "beyond the maximum stays at full";
    EXPECT_EQ(PressureOfRaw(table, 0xFFFFFFFFu, 256), 128) << "no overflow in raw x 128";
    EXPECT_EQ(PressureOfRaw(table, 10, 0), 128) << "a zero maximum never divides";
}

TEST(ReadPressure, NoTabletMeansFullPressure) {
    EXPECT_EQ(ReadPressure(nullptr, MakePressureTable(), 1023), 128);
}

TEST(ReadPressure, TheNewestPenPacketWinsAndNothingWaits) {
    ScriptedPackets source;
    source.queue = {Pen(1023), Pen(0, 0), Pen(512)};
    EXPECT_EQ(ReadPressure(&source, MakePressureTable(), 1024), 104);
    EXPECT_TRUE(source.queue.empty()) << "the whole queue is drained";
    EXPECT_EQ(source.waits, 0);
}

TEST(ReadPressure, ALiftedPenGivesZero) {
    ScriptedPackets source;
    source.queue = {Pen(600), Pen(0)};
    EXPECT_EQ(ReadPressure(&source, MakePressureTable(), 1023), 0);
    EXPECT_EQ(source.waits, 0);
}

TEST(ReadPressure, AnEmptyQueueCostsOneWaitThenFullPressure) {
    ScriptedPackets source;
    EXPECT_EQ(ReadPressure(&source, MakePressureTable(), 1023), 128);
    EXPECT_EQ(source.waits, 1);
    EXPECT_EQ(source.takes, 2) << "one drain that finds nothing, one packet after the wait";
}

TEST(ReadPressure, APacketArrivingDuringTheWaitIsUsed) {
    ScriptedPackets source;
    source.afterWait = {Pen(512)};
    EXPECT_EQ(ReadPressure(&source, MakePressureTable(), 1024), 104);
    EXPECT_EQ(source.waits, 1);

    ScriptedPackets lifted;
    lifted.afterWait = {Pen(0)};
    EXPECT_EQ(ReadPressure(&lifted, MakePressureTable(), 1024), 0) << "a lifted pen after the wait stays 0";
}

TEST(ReadPressure, MousePacketsAloneCountAsNoPacket) {
    ScriptedPackets source;
    source.queue = {Pen(900, 0), Pen(900, 0)};
    source.afterWait = {Pen(900, 0)};
    EXPECT_EQ(ReadPressure(&source, MakePressureTable(), 1023), 128);
    EXPECT_EQ(source.waits, 1);
}

TEST(ReadPressure, AQueueThatNeverEmptiesStillEnds) {
    ScriptedPackets source;
    source.endless = true;
    EXPECT_EQ(ReadPressure(&source, MakePressureTable(), 1024), 104);
    EXPECT_EQ(source.takes, kMaxPacketsPerRead);
}

TEST(IsEraserCursor, TheEraserEndsAreTwoAndFive) {
    for (uint32_t cursor = 0; cursor < 8; ++cursor) {
        EXPECT_EQ(IsEraserCursor(cursor), cursor == 2 || cursor == 5) << cursor;
    }
}

}  // namespace
