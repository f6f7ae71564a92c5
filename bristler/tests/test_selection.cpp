// Selecting brushes and parameters, leaving brush mode, the page steps of
// the parameters and the brush menu.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <cstring>

#include "bristler_test_support.h"

using namespace bristler_test;
using pintora_test::MessageBoxWatcher;
using Names = std::vector<std::string>;

namespace {

// A manager started on the basic plug-in (えんぴつ, ふで, ペン) and the
// drawing-brush stand-in (エアブラシ, クレヨン).
class Selection : public ::testing::Test {
protected:
    void SetUp() override {
        folder_.Add(L"basic", L"a.brs").Add(L"penlith_standin", L"b.brs");
        ASSERT_EQ(manager_.Init(folder_.Ansi(), owner_.hwnd()), 1);
        ASSERT_EQ(BrushNames(manager_.get()),
                  (Names{u8"えんぴつ", u8"ふで", u8"ペン", u8"エアブラシ", u8"クレヨン"}));
    }
    PlugInBrushManager *m() { return manager_.get(); }
    const BrushDescriptor *Brush(const std::string &name) { return FindBrush(m(), name); }
    probe::Log *LogOf(const std::string &name) { return ProbeLogOf(Brush(name)); }

    MessageBoxWatcher watcher_;
    CountingWindow owner_;
    PlugInFolder folder_;
    Manager manager_;
};

TEST_F(Selection, SelectingSendsTheBrushItsParameterBlock) {
    probe::Log *log = LogOf(u8"ふで");
    const int before = log->count;
    HCURSOR cursor = nullptr;
    ASSERT_EQ(Bw().SelectPlugInBrush(m(), 1, &cursor), 1);
    EXPECT_EQ(m()->currentBrush, 1);
    EXPECT_EQ(m()->active, 1);
    EXPECT_EQ(cursor, m()->brushes[1].cursor);
    ASSERT_EQ(CommandsSince(log, before), (std::vector<int>{BRUSHCMD_SELECT}));
    const probe::Call &call = log->calls[before];
    EXPECT_EQ(call.entry, probe::kSecondBrush);
    EXPECT_EQ(call.context.tipParams, m()->brushes[1].params);
    EXPECT_EQ(call.context.pressure, 128);
    EXPECT_EQ(call.params[0].value, 10);
    EXPECT_NE(m()->context.tipBits, nullptr) << "the tip the brush built stays in the context";

    // -1 keeps the current brush and selects it again; EnterBrushMode is
    // the same call.
    ASSERT_EQ(Bw().SelectPlugInBrush(m(), -1, nullptr), 1);
    ASSERT_EQ(Bw().EnterBrushMode(m(), -1, nullptr), 1);
    EXPECT_EQ(m()->currentBrush, 1);
    EXPECT_EQ(CommandsSince(log, before), (std::vector<int>{4, 4, 4}));
    EXPECT_EQ(log->tipAllocations - log->tipFrees, 1) << "each select frees the tip it replaces";
    EXPECT_TRUE(watcher_.Seen().empty());
}

TEST_F(Selection, SelectionFailsWithoutAManagerTablesOrSuchABrush) {
    EXPECT_EQ(Bw().SelectPlugInBrush(nullptr, 0, nullptr), 0);
    Manager unstarted;
    EXPECT_EQ(Bw().SelectPlugInBrush(unstarted.get(), 0, nullptr), 0);
    EXPECT_EQ(Bw().SelectPlugInBrushEx(unstarted.get(), "x", 1, 1, 1, nullptr, 0, nullptr), 0);
    EXPECT_EQ(Bw().SelectPlugInBrushEx(nullptr, "x", 1, 1, 1, nullptr, 0, nullptr), 0);

    // An index past the table changes nothing and calls nothing.
    probe::Log *log = LogOf(u8"えんぴつ");
    const int before = log->count;
    EXPECT_EQ(Bw().SelectPlugInBrush(m(), m()->brushCount, nullptr), 0);
    EXPECT_EQ(m()->currentBrush, 0);
    EXPECT_EQ(m()->active, 0);
    EXPECT_EQ(log->count, before);
}

TEST_F(Selection, ByNameTheValuesAreClampedToTheBrushsRanges) {
    HCURSOR cursor = nullptr;
    const COLORREF blue = 0x00FF0000;
    ASSERT_EQ(Bw().SelectPlugInBrushEx(m(), u8"クレヨン", 20 * 3 / 4, 60, 7, &blue, 0, &cursor), 1);
    const int crayon = BrushIndex(m(), u8"クレヨン");
    EXPECT_EQ(m()->currentBrush, crayon);
    const BrushParam *params = m()->brushes[crayon].params;
    EXPECT_EQ(params[0].value, 15);
    EXPECT_EQ(params[1].value, 60);
    EXPECT_EQ(params[2].value, 7);
    EXPECT_EQ(m()->context.color, blue);
    EXPECT_EQ(cursor, m()->brushes[crayon].cursor);
    EXPECT_EQ(m()->active, 1);
    probe::Log *log = LogOf(u8"クレヨン");
    ASSERT_GT(log->count, 0);
    const probe::Call &call = log->calls[log->count - 1];
    EXPECT_EQ(call.command, BRUSHCMD_SELECT);
    EXPECT_EQ(call.params[0].value, 15) << "the brush sees the new values";

    ASSERT_EQ(Bw().SelectPlugInBrushEx(m(), u8"クレヨン", 2, 60, 7, nullptr, 0, nullptr), 1);
    EXPECT_EQ(params[0].value, 4) << "raised to the minimum";
    EXPECT_EQ(m()->context.color, blue) << "no colour given: the colour stays";
    ASSERT_EQ(Bw().SelectPlugInBrushEx(m(), u8"クレヨン", 1000, -5, 1000, nullptr, 0, nullptr), 1);
    EXPECT_EQ(params[0].value, 100);
    EXPECT_EQ(params[1].value, 1);
    EXPECT_EQ(params[2].value, 100);
}

TEST_F(Selection, AnUnknownNameKeepsTheBrushButStillAppliesTheValues) {
    ASSERT_EQ(Bw().SelectPlugInBrushEx(m(), u8"えんぴつ", 5, 5, 5, nullptr, 0, nullptr), 1);
    const COLORREF green = 0x0000FF00;
    ASSERT_EQ(Bw().SelectPlugInBrushEx(m(), u8"ないブラシ", 50, 50, 50, &green, 0, nullptr), 1);
    EXPECT_EQ(m()->currentBrush, 0);
    const BrushParam *params = m()->brushes[0].params;
    EXPECT_EQ(params[0].value, 10) << "clamped to えんぴつ's 1..10";
    EXPECT_EQ(params[1].value, 50);
    EXPECT_EQ(params[2].value, 0) << "a brush without a third parameter gets 0";
    EXPECT_EQ(m()->context.color, green);
    EXPECT_EQ(Bw().SelectPlugInBrushEx(m(), nullptr, 3, 3, 3, nullptr, 0, nullptr), 1);
    EXPECT_EQ(params[0].value, 3);
}

TEST_F(Selection, SelectingByNameClosesAnOpenSettingsDialog) {
    CountingWindow dialog;
    m()->settingsDialog = dialog.hwnd();
    ASSERT_EQ(Bw().SelectPlugInBrushEx(m(), u8"ペン", 5, 5, 5, nullptr, 0, nullptr), 1);
    EXPECT_EQ(dialog.hwnd(), nullptr) << "destroyed";
    EXPECT_EQ(m()->settingsDialog, nullptr);
}

TEST_F(Selection, LeavingReleasesTheBrushAndClosesItsWindows) {
    probe::Log *log = LogOf(u8"ペン");
    EXPECT_EQ(Bw().LeaveBrushMode(m()), 1) << "not in brush mode: nothing to do";
    EXPECT_EQ(log->count, 0);

    ASSERT_EQ(Bw().SelectPlugInBrush(m(), 2, nullptr), 1);
    HWND popup = m()->colorPopup;
    HWND dialog = m()->settingsDialog;
    ASSERT_TRUE(IsWindow(popup));
    ASSERT_TRUE(IsWindow(dialog));
    const int before = log->count;
    ASSERT_EQ(Bw().LeaveBrushMode(m()), 1);
    EXPECT_EQ(CommandsSince(log, before), (std::vector<int>{BRUSHCMD_RELEASE}));
    EXPECT_EQ(m()->context.tipBits, nullptr) << "the brush freed its tip";
    EXPECT_FALSE(IsWindow(popup)) << "the colour window was asked to close";
    EXPECT_EQ(m()->colorPopup, nullptr);
    EXPECT_FALSE(IsWindow(dialog));
    EXPECT_EQ(m()->settingsDialog, nullptr);
    EXPECT_EQ(m()->active, 0);

    // A hidden popup is only forgotten.
    ASSERT_EQ(Bw().SelectPlugInBrush(m(), 2, nullptr), 1);
    DestroyWindow(m()->colorPopup);
    CountingWindow hidden(nullptr, 0, false);
    m()->colorPopup = hidden.hwnd();
    ASSERT_EQ(Bw().LeaveBrushMode(m()), 1);
    EXPECT_EQ(hidden.Count(1045), 0);
    EXPECT_EQ(m()->colorPopup, nullptr);
    EXPECT_EQ(Bw().LeaveBrushMode(nullptr), 0);
}

// The host's parameter steps open the dialog when needed and page its
// trackbars as the user would.
TEST_F(Selection, ParameterStepsPageTheDialogsTrackbars) {
    EXPECT_EQ(Bw().PlugInBrushSetParam(nullptr, 0, 1), 0);
    ASSERT_EQ(Bw().SelectPlugInBrush(m(), 1, nullptr), 1);  // ふで: size 3..50 = 10, density 1..100 = 70
    DestroyWindow(m()->settingsDialog);
    ASSERT_EQ(m()->settingsDialog, nullptr);
    EXPECT_EQ(Bw().PlugInBrushSetParam(m(), 0, 0), 1) << "step 0: is the parameter there";
    ASSERT_TRUE(IsWindow(m()->settingsDialog)) << "opened again";
    EXPECT_EQ(Bw().PlugInBrushSetParam(m(), 2, 0), 0) << "ふで has no third parameter";
    EXPECT_EQ(Bw().PlugInBrushSetParam(m(), 3, 1), 0);

    HWND size = GetDlgItem(m()->settingsDialog, 1000);
    HWND density = GetDlgItem(m()->settingsDialog, 1001);
    ASSERT_EQ(Bw().PlugInBrushSetParam(m(), 0, 7), 1);
    EXPECT_EQ(SendMessageW(size, TBM_GETPOS, 0, 0), 12) << "value 10 plus one page of 2";
    EXPECT_EQ(Brush(u8"ふで")->params[0].value, 12);
    ASSERT_EQ(Bw().PlugInBrushSetParam(m(), 1, -3), 1);
    EXPECT_EQ(SendMessageW(density, TBM_GETPOS, 0, 0), 66) << "density 70 minus one page of 4";
    EXPECT_EQ(Brush(u8"ふで")->params[1].value, 66);
    for (int i = 0; i < 30; ++i) Bw().PlugInBrushSetParam(m(), 0, 1);
    EXPECT_EQ(Brush(u8"ふで")->params[0].value, 50) << "the trackbar stops at the maximum";
}

// ----------------------------------------------------------------- menus --

std::string MenuText(HMENU menu, UINT position) {
    wchar_t text[128] = L"";
    GetMenuStringW(menu, position, text, 128, MF_BYPOSITION);
    return pintora_test::Narrow(text);
}

TEST_F(Selection, TheMenuListsTheBrushesByGroupWithMnemonics) {
    HMENU menu = CreatePopupMenu();
    Manager withMenu;
    ASSERT_EQ(withMenu.Init(folder_.Ansi(), owner_.hwnd(), menu, 8000), 1);
    EXPECT_EQ(withMenu->menuBaseId, 8000);
    ASSERT_EQ(GetMenuItemCount(menu), 5);
    const Names texts = {u8"えんぴつ(&A)", u8"ふで(&B)", u8"ペン(&C)", u8"エアブラシ(&D)", u8"クレヨン(&E)"};
    for (UINT i = 0; i < 5; ++i) {
        EXPECT_EQ(MenuText(menu, i), texts[i]);
        EXPECT_EQ(GetMenuItemID(menu, static_cast<int>(i)), 8000 + i);
        const UINT state = GetMenuState(menu, i, MF_BYPOSITION);
        // えんぴつ is group 2, every other brush group 1.
        EXPECT_EQ((state & MF_MENUBARBREAK) != 0, i == 1) << texts[i];
    }
    DestroyMenu(menu);
}

TEST(Menu, MnemonicsContinueWithDigitsThenStartAgain) {
    // A table of 38 brushes of one group, built by hand.
    PlugInBrushManager manager{};
    const int count = 38;
    manager.brushCount = count;
    manager.brushes = static_cast<BrushDescriptor *>(GlobalAlloc(GPTR, sizeof(BrushDescriptor) * count));
    for (int i = 0; i < count; ++i) {
        manager.brushes[i].group = 1;
        std::snprintf(manager.brushes[i].name, sizeof(manager.brushes[i].name), "b%d", i);
    }
    HMENU menu = CreatePopupMenu();
    ASSERT_EQ(Bw().SetPlugInMenu(&manager, menu, 100), 1);
    ASSERT_EQ(GetMenuItemCount(menu), count);
    EXPECT_EQ(MenuText(menu, 25), "b25(&Z)");
    EXPECT_EQ(MenuText(menu, 26), "b26(&1)");
    EXPECT_EQ(MenuText(menu, 34), "b34(&9)");
    EXPECT_EQ(MenuText(menu, 35), "b35(&0)");
    EXPECT_EQ(MenuText(menu, 36), "b36(&A)");
    EXPECT_EQ(GetMenuItemID(menu, 37), 137u);
    EXPECT_EQ(manager.menuBaseId, 100);

    EXPECT_EQ(Bw().SetPlugInMenu(nullptr, menu, 100), 0);
    EXPECT_EQ(Bw().SetPlugInMenu(&manager, nullptr, 100), 0);
    GlobalFree(manager.brushes);
    manager.brushes = nullptr;
    EXPECT_EQ(Bw().SetPlugInMenu(&manager, menu, 100), 0);
    DestroyMenu(menu);
}

// ------------------------------------------------------------------- end --

TEST(End, ReleasesTheBrushUnloadsThePlugInsAndKeepsTheCounts) {
    PlugInFolder folder;
    folder.Add(L"basic", L"a.brs");
    Manager manager;
    ASSERT_EQ(manager.Init(folder.Ansi()), 1);
    ASSERT_EQ(Bw().SelectPlugInBrush(manager.get(), 0, nullptr), 1);
    // A reference of the test's own keeps the plug-in's log readable.
    HMODULE held = LoadLibraryW((folder.path() + L"a.brs").c_str());
    ASSERT_NE(held, nullptr);
    probe::Log *log = ProbeLogOf(&manager->brushes[0]);
    const int before = log->count;

    ASSERT_EQ(manager.End(), 1);
    EXPECT_EQ(CommandsSince(log, before), (std::vector<int>{BRUSHCMD_RELEASE}));
    EXPECT_EQ(manager->modules, nullptr);
    EXPECT_EQ(manager->brushes, nullptr);
    EXPECT_EQ(manager->moduleCount, 1);
    EXPECT_EQ(manager->brushCount, 3);
    EXPECT_EQ(manager->active, 0);
    FreeLibrary(held);
    EXPECT_FALSE(IsLoaded(folder.path() + L"a.brs")) << "the manager let go of its reference";
    EXPECT_EQ(Bw().EndBrushPlugInDLL(nullptr), 0);
}

}  // namespace
