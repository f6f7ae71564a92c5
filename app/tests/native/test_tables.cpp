// The fixed tables of the program: the logical palette and the kids pens
// and colours, and the command line.
#include <gtest/gtest.h>

#include <set>
#include <tuple>

#include "kids_tables.h"
#include "logical_palette.h"
#include "start_mode.h"

using namespace pintora;

namespace {

std::tuple<int, int, int> Rgb(const PaletteColor &c) { return {c.red, c.green, c.blue}; }

TEST(LogicalPalette, SectionsSitAtTheirIndices) {
    const auto &t = LogicalPaletteTable();
    EXPECT_EQ(Rgb(t[0]), std::make_tuple(0, 0, 0));
    EXPECT_EQ(Rgb(t[1]), std::make_tuple(0xbf, 0, 0));
    EXPECT_EQ(Rgb(t[9]), std::make_tuple(0xa4, 0xc8, 0xf0));
    // The cube starts with 000033 (000000 is skipped) and ends with ffffcc.
    EXPECT_EQ(Rgb(t[10]), std::make_tuple(0, 0, 0x33));
    EXPECT_EQ(Rgb(t[14]), std::make_tuple(0, 0x33, 0));
    EXPECT_EQ(Rgb(t[217]), std::make_tuple(0xff, 0xff, 0xcc));
    EXPECT_EQ(Rgb(t[218]), std::make_tuple(0x55, 0x55, 0x55));
    EXPECT_EQ(Rgb(t[224]), std::make_tuple(0xee, 0xee, 0xee));
    EXPECT_EQ(Rgb(t[225]), std::make_tuple(0xe1, 0x4b, 0x19));
    EXPECT_EQ(Rgb(t[227]), std::make_tuple(0xe1, 0x4b, 0x19));
    EXPECT_EQ(Rgb(t[245]), std::make_tuple(0xe1, 0xe1, 0xaf));
    EXPECT_EQ(Rgb(t[246]), std::make_tuple(0xff, 0xfb, 0xf0));
    EXPECT_EQ(Rgb(t[254]), std::make_tuple(0, 0xff, 0xff));
    EXPECT_EQ(Rgb(t[255]), std::make_tuple(0xff, 0xff, 0xff));
}

TEST(LogicalPalette, TheCubeHoldsEveryNonCornerLevelComboOnce) {
    const auto &t = LogicalPaletteTable();
    std::set<std::tuple<int, int, int>> cube;
    for (int i = 10; i <= 217; ++i) {
        const auto c = t[i];
        EXPECT_EQ(c.red % 0x33, 0);
        EXPECT_EQ(c.green % 0x33, 0);
        EXPECT_EQ(c.blue % 0x33, 0);
        const bool corner = (c.red == 0 || c.red == 0xff) && (c.green == 0 || c.green == 0xff) &&
                            (c.blue == 0 || c.blue == 0xff);
        EXPECT_FALSE(corner) << i;
        cube.insert(Rgb(c));
    }
    EXPECT_EQ(cube.size(), 208u);
    // Red slowest, blue fastest.
    EXPECT_LT(std::get<0>(Rgb(t[40])), std::get<0>(Rgb(t[200])));
}

TEST(LogicalPalette, OnlyEveryFourthEntryFromTenToFortyTwoIsNoCollapse) {
    const auto &t = LogicalPaletteTable();
    for (int i = 0; i < 256; ++i) {
        const bool flagged = i >= 10 && i <= 42 && (i - 10) % 4 == 0;
        EXPECT_EQ(t[i].flags, flagged ? kPaletteNoCollapse : 0) << i;
    }
}

TEST(KidsTables, PensScaleWithTheSizeStep) {
    const auto &pens = PenTable();
    EXPECT_EQ(pens[0].button, 1041);
    EXPECT_EQ(pens[5].button, 1046);
    EXPECT_EQ(pens[0].brushNameId, 1141);
    EXPECT_EQ(KidsPenSize(pens[0], 0), 20);
    EXPECT_EQ(KidsPenSize(pens[0], 1), 15);
    EXPECT_EQ(KidsPenSize(pens[0], 2), 10);
    EXPECT_EQ(KidsPenSize(pens[4], 1), 21);  // 28 x 3 / 4
    EXPECT_EQ(KidsPenSize(pens[3], 2), 12);
    EXPECT_EQ(KidsPenSize(pens[0], 7), 10) << "an out-of-range step counts as the smallest";
    EXPECT_EQ(KidsPenSize(pens[0], -1), 20);
    EXPECT_EQ(pens[2].density, 70);
    EXPECT_EQ(pens[5].third, 2);
}

TEST(KidsTables, ColoursAreRedInTheLowByteWithoutFlag) {
    const auto &colors = ColorTable();
    EXPECT_EQ(colors[0].Value(), 0x000000u);
    EXPECT_EQ(colors[1].Value(), 0x000808E0u);
    EXPECT_EQ(colors[3].Value(), 0x00ADD0F0u);
    EXPECT_EQ(colors[7].Value(), 0x007FFFABu);
    EXPECT_EQ(colors[13].Value(), 0x00FFFFFFu);
    EXPECT_EQ(colors[13].button, 1033);
    EXPECT_EQ(colors[kFirstKidsColor].button, 1021);
}

TEST(StartMode, SwitchesAreFoundAnywhereWithoutRegardToCase) {
    EXPECT_EQ(ParseStartMode(""), StartMode::kNormal);
    EXPECT_EQ(ParseStartMode("/k"), StartMode::kKids);
    EXPECT_EQ(ParseStartMode("/K"), StartMode::kKids);
    EXPECT_EQ(ParseStartMode("/w"), StartMode::kWhite);
    EXPECT_EQ(ParseStartMode(" /W "), StartMode::kWhite);
    EXPECT_EQ(ParseStartMode("/c"), StartMode::kEndBar);
    EXPECT_EQ(ParseStartMode("/w /k"), StartMode::kKids);
    EXPECT_EQ(ParseStartMode("/c /w"), StartMode::kWhite);
    EXPECT_EQ(ParseStartMode("C:/kids"), StartMode::kKids) << "a substring, as anywhere in the line";
    EXPECT_EQ(ParseStartMode("-k k/ x"), StartMode::kNormal);
    // Bytes of a multi-byte text are not folded into switch letters.
    EXPECT_EQ(ParseStartMode("\xE3\x81\x8B/x"), StartMode::kNormal);
}

}  // namespace
