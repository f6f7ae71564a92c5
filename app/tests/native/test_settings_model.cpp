// Settings values: defaults, the ranges every value is brought into before
// a table is indexed or a file name built, the page advance at the end of
// a run, and the reading of the stored decimal text.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "settings_model.h"

using namespace pintora;

namespace {

TEST(SettingsModel, DefaultsAndKeyOrder) {
    const Settings s;
    EXPECT_EQ(s.currentPenSize, 1);
    EXPECT_EQ(s.colKidsPaper, 13421772);
    const char *order[] = {"CurrentPenSize", "CurrentPen",   "PaperIntensity", "KidsMode",
                           "LastNormalPage", "LastKidsPage", "ColKidsPaper",   "KidsRunAlready"};
    // Every key has its own member: writing distinct values through the
    // keys reads them back distinct.
    Settings marked;
    for (size_t i = 0; i < kRunKeys.size(); ++i) {
        EXPECT_STREQ(kRunKeys[i].name, order[i]);
        marked.*(kRunKeys[i].member) = 1000 + static_cast<int32_t>(i);
    }
    std::set<int32_t> values;
    for (const auto &key : kRunKeys) values.insert(marked.*(key.member));
    EXPECT_EQ(values.size(), kRunKeys.size());
    EXPECT_EQ(marked.firstRun, 0) << "bFirstRun is not among the run keys";
    EXPECT_EQ(DefaultOf(kRunKeys[6]), 0xCCCCCC);
    EXPECT_EQ(DefaultOf(kFirstRunKey), 0);
}

TEST(SettingsModel, OutOfRangeValuesAreBroughtIntoRange) {
    Settings s;
    s.currentPen = 99;
    s.currentPenSize = 7;
    s.lastNormalPage = 40;
    s.lastKidsPage = -3;
    s.paperIntensity = 500;
    s.kidsMode = 77;
    s.firstRun = 5;
    s.kidsRunAlready = -1;
    s.colKidsPaper = static_cast<int32_t>(0xFF123456u);
    s.undoMegabytes = 1025;
    s.autoSaveSeconds = 0;
    const Settings c = Clamped(s);
    EXPECT_EQ(c.undoMegabytes, 1024);
    EXPECT_EQ(c.autoSaveSeconds, 1) << "an autosave on every message would stall the drawing";
    EXPECT_EQ(c.currentPen, 5);
    EXPECT_EQ(c.currentPenSize, 2);
    EXPECT_EQ(c.lastNormalPage, 23);
    EXPECT_EQ(c.lastKidsPage, 0);
    EXPECT_EQ(c.paperIntensity, 30);
    EXPECT_EQ(c.kidsMode, 0);
    EXPECT_EQ(c.firstRun, 1);
    EXPECT_EQ(c.kidsRunAlready, 1);
    EXPECT_EQ(c.colKidsPaper, 0x02123456);

    s.currentPen = -1;
    s.paperIntensity = -500;
    s.currentPenSize = -2;
    s.undoMegabytes = -1;
    s.autoSaveSeconds = 3601;
    const Settings d = Clamped(s);
    EXPECT_EQ(d.undoMegabytes, 0);
    EXPECT_EQ(d.autoSaveSeconds, 3600);
    EXPECT_EQ(d.currentPen, 0);
    EXPECT_EQ(d.paperIntensity, -30);
    EXPECT_EQ(d.currentPenSize, 0);
}

TEST(SettingsModel, ValuesInRangeAreKept) {
    Settings s;
    s.currentPen = 3;
    s.currentPenSize = 0;
    s.paperIntensity = -12;
    s.kidsMode = 15;
    s.lastNormalPage = 23;
    s.colKidsPaper = 0x02ABCDEF;
    const Settings c = Clamped(s);
    EXPECT_EQ(c.currentPen, 3);
    EXPECT_EQ(c.currentPenSize, 0);
    EXPECT_EQ(c.paperIntensity, -12);
    EXPECT_EQ(c.kidsMode, 15);
    EXPECT_EQ(c.lastNormalPage, 23);
    EXPECT_EQ(c.colKidsPaper, 0x02ABCDEF);
}

TEST(SettingsModel, PagesMoveOnByOneForTheNextRun) {
    Settings s;
    s.lastNormalPage = 23;
    s.lastKidsPage = 4;
    const Settings next = ForNextRun(s);
    EXPECT_EQ(next.lastNormalPage, 0);
    EXPECT_EQ(next.lastKidsPage, 5);
    s.lastKidsPage = 40;  // clamped first: never a page 41 or 17
    EXPECT_EQ(ForNextRun(s).lastKidsPage, 0);
}

TEST(SettingsModel, ProfileIntegersKeepTheirSign) {
    EXPECT_EQ(ParseProfileInt("12"), 12);
    EXPECT_EQ(ParseProfileInt("  -7"), -7);
    EXPECT_EQ(ParseProfileInt("+3"), 3);
    EXPECT_EQ(ParseProfileInt("42abc"), 42);
    EXPECT_EQ(ParseProfileInt("abc"), 0);
    EXPECT_EQ(ParseProfileInt(""), 0);
    EXPECT_EQ(ParseProfileInt("-"), 0);
    EXPECT_EQ(ParseProfileInt("99999999999999999999"), INT32_MAX);
    EXPECT_EQ(ParseProfileInt("-99999999999999999999"), INT32_MIN);
    EXPECT_EQ(ParseProfileInt("13421772"), 13421772);
    EXPECT_EQ(ParseProfileInt(std::string("5\0" "9", 3)), 5);
}

}  // namespace
