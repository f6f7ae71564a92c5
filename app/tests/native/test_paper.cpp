// The paper texture's brightness shift of its colour table.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "paper.h"

using namespace pintora;

TEST(Paper, ShiftsEveryChannelAndClampsWithoutTouchingTheFourthByte) {
    std::vector<uint8_t> table = {10, 128, 250, 7, 0, 5, 255, 9};
    ShiftColorTable(table.data(), 2, 10);
    EXPECT_EQ(table, (std::vector<uint8_t>{20, 138, 255, 7, 10, 15, 255, 9}));
    ShiftColorTable(table.data(), 2, -30);
    EXPECT_EQ(table, (std::vector<uint8_t>{0, 108, 225, 7, 0, 0, 225, 9}));
    ShiftColorTable(table.data(), 1, 0);
    EXPECT_EQ(table[1], 108);
    ShiftColorTable(nullptr, 256, 5);  // nothing to do, no fault
}
