// The brush settings dialog driven by its messages: what it shows for a
// brush, where it opens, its trackbars, the floating colour window beside
// it, the brush list and a plug-in's own dialog.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "bristler_test_support.h"
#include "dialog_helpers.h"

using namespace bristler_test;
using pintora_test::MessageBoxWatcher;
using pintora_test::PumpMessages;

namespace {

// A manager on the basic plug-in (えんぴつ, ふで, ペン) and the settings
// plug-in (虹色, 太筆), owned by a large window in the middle of the
// screen.
class SettingsDialog : public ::testing::Test {
protected:
    void SetUp() override {
        SetWindowPos(owner_.hwnd(), nullptr, 200, 150, 600, 400, SWP_NOZORDER | SWP_NOACTIVATE);
        folder_.Add(L"basic", L"a.brs").Add(L"settings", L"b.brs");
        ASSERT_EQ(manager_.Init(folder_.Ansi(), owner_.hwnd()), 1);
    }
    void TearDown() override { EXPECT_EQ(watcher_.Seen().size(), expectedBoxes_); }
    PlugInBrushManager *m() { return manager_.get(); }
    int Index(const char *name) { return BrushIndex(m(), name); }
    HWND Item(int id) { return GetDlgItem(m()->settingsDialog, id); }
    bool Select(const char *name) { return Bw().SelectPlugInBrush(m(), Index(name), nullptr) == 1; }

    MessageBoxWatcher watcher_;
    CountingWindow owner_;
    PlugInFolder folder_;
    Manager manager_;
    size_t expectedBoxes_ = 0;
};

TEST_F(SettingsDialog, OpensCentredForTheBrushAndReopensWhereItWasClosed) {
    SetActiveWindow(owner_.hwnd());
    ASSERT_TRUE(Select(u8"太筆"));
    HWND dialog = m()->settingsDialog;
    EXPECT_EQ(GetActiveWindow(), owner_.hwnd()) << "the host's window keeps the keyboard";
    ASSERT_TRUE(IsWindow(dialog));
    EXPECT_TRUE(IsWindowVisible(dialog));
    EXPECT_EQ(GetWindow(dialog, GW_OWNER), owner_.hwnd());
    EXPECT_EQ(WindowText(dialog), u8"太筆の設定");
    EXPECT_EQ(GetWindowLongPtrW(dialog, GWLP_USERDATA), reinterpret_cast<LONG_PTR>(m()));
    RECT box{}, owner{};
    GetWindowRect(dialog, &box);
    GetWindowRect(owner_.hwnd(), &owner);
    EXPECT_NEAR((box.left + box.right) / 2, (owner.left + owner.right) / 2, 1);
    EXPECT_NEAR((box.top + box.bottom) / 2, (owner.top + owner.bottom) / 2, 1);

    // Labels, ranges, positions and page sizes of the three parameters.
    const char *labels[3] = {u8"大きさ", u8"濃さ", u8"品質"};
    const int ranges[3][4] = {{20, 250, 40, 11}, {0, 100, 50, 5}, {1, 10, 3, 1}};
    for (int k = 0; k < 3; ++k) {
        HWND trackbar = Item(1000 + k);
        EXPECT_EQ(WindowText(Item(1010 + k)), labels[k]);
        EXPECT_TRUE(IsWindowVisible(trackbar)) << k;
        EXPECT_EQ(SendMessageW(trackbar, TBM_GETRANGEMIN, 0, 0), ranges[k][0]) << k;
        EXPECT_EQ(SendMessageW(trackbar, TBM_GETRANGEMAX, 0, 0), ranges[k][1]) << k;
        EXPECT_EQ(SendMessageW(trackbar, TBM_GETPOS, 0, 0), ranges[k][2]) << k;
        EXPECT_EQ(SendMessageW(trackbar, TBM_GETPAGESIZE, 0, 0), ranges[k][3]) << k;
    }
    EXPECT_TRUE(IsWindowVisible(Item(1030))) << "a colour brush has the colour button";
    EXPECT_EQ(WindowText(Item(1009)), u8"ブラシの選択▼");
    EXPECT_EQ(m()->context.markX, -1024);
    EXPECT_EQ(m()->context.markY, -1024);
    EXPECT_NE(m()->previewPicture, nullptr);

    // The floating colour window opened below the colour button and edits
    // the manager's colour; its history was allocated.
    ASSERT_TRUE(m()->colorPopup && IsWindow(m()->colorPopup));
    EXPECT_EQ(GetWindow(m()->colorPopup, GW_OWNER), dialog);
    RECT button{};
    GetWindowRect(Item(1030), &button);
    EXPECT_EQ(m()->colorAnchorX, button.left);
    EXPECT_EQ(m()->colorAnchorY, button.bottom);
    ASSERT_NE(m()->colorHistory, nullptr);
    EXPECT_GE(GlobalSize(m()->colorHistory), 80u);

    // The posted render reaches the brush's preview call.
    probe::Log *log = ProbeLogOf(FindBrush(m(), u8"太筆"));
    const int before = log->count;
    PumpMessages(50);
    EXPECT_EQ(CommandsSince(log, before), (std::vector<int>{BRUSHCMD_PREVIEW}));

    // A click on the eyedropper picture explains the Ctrl+click pick.
    expectedBoxes_ = 1;
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(1013, STN_CLICKED), reinterpret_cast<LPARAM>(Item(1013)));
    ASSERT_TRUE(watcher_.WaitFor(1));
    EXPECT_EQ(watcher_.Seen()[0].caption, u8"スポイトの説明");
    EXPECT_EQ(watcher_.Seen()[0].text,
              u8"画像から直接色を採取するには、\n画像上の取得したい色があるところで[Ctrl+左クリック]です。");
    EXPECT_TRUE(IsWindow(dialog));

    // Closed somewhere else, it opens there again.
    SetWindowPos(dialog, nullptr, 37, 41, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    SendMessageW(dialog, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(dialog));
    EXPECT_EQ(m()->settingsDialog, nullptr);
    EXPECT_EQ(m()->dialogX, 37);
    EXPECT_EQ(m()->dialogY, 41);
    ASSERT_TRUE(Select(u8"ペン"));
    GetWindowRect(m()->settingsDialog, &box);
    EXPECT_EQ(box.left, 37);
    EXPECT_EQ(box.top, 41);
}

// "虹色" has two parameters and no colour: the third trackbar and the
// colour button go, and the open colour window is closed; back on a
// colour brush, the same dialog opens a new colour window.
TEST_F(SettingsDialog, ABrushWithoutColourRefreshesTheDialogAndClosesTheColourWindow) {
    ASSERT_TRUE(Select(u8"太筆"));
    HWND dialog = m()->settingsDialog;
    HWND popup = m()->colorPopup;
    ASSERT_TRUE(IsWindow(popup));
    ASSERT_TRUE(Select(u8"虹色"));
    EXPECT_EQ(m()->settingsDialog, dialog) << "refreshed, not made again";
    EXPECT_EQ(WindowText(dialog), u8"虹色の設定");
    EXPECT_TRUE(IsWindowVisible(Item(1000)));
    EXPECT_TRUE(IsWindowVisible(Item(1001)));
    EXPECT_FALSE(IsWindowVisible(Item(1002)));
    EXPECT_FALSE(IsWindowVisible(Item(1012)));
    EXPECT_EQ(WindowText(Item(1010)), u8"太さ");
    EXPECT_EQ(SendMessageW(Item(1000), TBM_GETRANGEMAX, 0, 0), 20);
    EXPECT_FALSE(IsWindowVisible(Item(1030)));
    EXPECT_FALSE(IsWindow(popup));
    EXPECT_EQ(m()->colorPopup, nullptr);

    ASSERT_TRUE(Select(u8"ペン"));
    EXPECT_EQ(m()->settingsDialog, dialog);
    EXPECT_TRUE(m()->colorPopup && IsWindow(m()->colorPopup));
    EXPECT_TRUE(IsWindowVisible(Item(1002)));

    // The colour window closing itself is forgotten.
    SendMessageW(dialog, 1046, 0, 0);
    EXPECT_EQ(m()->colorPopup, nullptr);
}

TEST_F(SettingsDialog, TrackbarMovesCallTheBrushOnlyForANewValue) {
    ASSERT_TRUE(Select(u8"太筆"));
    PumpMessages(30);
    probe::Log *log = ProbeLogOf(FindBrush(m(), u8"太筆"));
    HWND trackbar = Item(1000);
    const auto move = [&](int position, WORD code) {
        SendMessageW(trackbar, TBM_SETPOS, TRUE, position);
        SendMessageW(m()->settingsDialog, WM_HSCROLL, MAKEWPARAM(code, 0), reinterpret_cast<LPARAM>(trackbar));
    };
    const int before = log->count;
    move(40, TB_THUMBPOSITION);
    move(40, TB_ENDTRACK);
    EXPECT_EQ(log->count, before) << "the position it already had";

    move(120, TB_THUMBTRACK);
    EXPECT_EQ(CommandsSince(log, before), (std::vector<int>{BRUSHCMD_SELECT, BRUSHCMD_PREVIEW}));
    EXPECT_EQ(FindBrush(m(), u8"太筆")->params[0].value, 120);
    EXPECT_EQ(log->calls[before].params[0].value, 120) << "the brush sees the new value";
    EXPECT_EQ(log->calls[before].context.tipParams, FindBrush(m(), u8"太筆")->params);
}

// The colour window stays while the colour button keeps within its reach
// and is placed below the button again once the button has left it.
TEST_F(SettingsDialog, MovingTheDialogReanchorsTheColourWindowOnlyOutOfReach) {
    ASSERT_TRUE(Select(u8"太筆"));
    HWND dialog = m()->settingsDialog;
    HWND popup = m()->colorPopup;
    ASSERT_TRUE(IsWindow(popup));
    SetWindowPos(dialog, nullptr, 100, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    PumpMessages(30);
    RECT button{}, placed{};
    GetWindowRect(Item(1030), &button);
    GetWindowRect(popup, &placed);
    ASSERT_EQ(placed.left, button.left);
    ASSERT_EQ(placed.top, button.bottom);

    // 10 pixels right and down: the window is still below and right of
    // the button's top-left, within half its width.
    SetWindowPos(dialog, nullptr, 110, 110, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    PumpMessages(30);
    RECT now{};
    GetWindowRect(popup, &now);
    EXPECT_EQ(now.left, placed.left);
    EXPECT_EQ(now.top, placed.top);

    // The button's right edge passes the window's right edge.
    const int width = placed.right - placed.left;
    SetWindowPos(dialog, nullptr, 110 + width, 110, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    PumpMessages(30);
    GetWindowRect(Item(1030), &button);
    GetWindowRect(popup, &now);
    EXPECT_EQ(m()->colorAnchorX, button.left);
    EXPECT_EQ(m()->colorAnchorY, button.bottom);
    EXPECT_EQ(now.left, button.left);
    EXPECT_EQ(now.top, button.bottom);
}

// The brush list pops up at the right-click point and below the list
// button, lists every brush with a column break where the group changes
// and the current one checked, and sends a choice to the owner.
TEST_F(SettingsDialog, TheBrushListShowsEveryBrushAndSendsTheChoiceToTheOwner) {
    ASSERT_TRUE(Select(u8"ペン"));
    HWND dialog = m()->settingsDialog;

    const auto rightClick = [](void *d) {
        PostMessageW(static_cast<HWND>(d), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(15, 12));
    };
    MenuSeen seen = WithPoppedMenu(rightClick, dialog, MenuAction::kCancel, 0);
    ASSERT_TRUE(seen.found);
    POINT click{15, 12};
    ClientToScreen(dialog, &click);
    EXPECT_EQ(seen.at.x, click.x);
    EXPECT_EQ(seen.at.y, click.y);
    ASSERT_EQ(seen.items.size(), static_cast<size_t>(m()->brushCount));
    for (int i = 0; i < m()->brushCount; ++i) {
        const MenuItemSeen &item = seen.items[static_cast<size_t>(i)];
        EXPECT_EQ(item.text, m()->brushes[i].name) << i;
        EXPECT_EQ(item.id, static_cast<UINT>(i + 1)) << i;
        const bool newGroup = i > 0 && m()->brushes[i].group != m()->brushes[i - 1].group;
        EXPECT_EQ((item.type & MFT_MENUBARBREAK) != 0, newGroup) << i;
        EXPECT_EQ((item.state & MFS_CHECKED) != 0, i == m()->currentBrush) << i;
        if (i == m()->currentBrush) {
            EXPECT_NE(item.type & MFT_RADIOCHECK, 0u);
        }
    }
    EXPECT_EQ(owner_.Count(WM_COMMAND), 0) << "cancelled";

    // The list button: a choice goes to the owner as 7999 + choice.
    const int target = Index(u8"虹色");
    SendMessageW(Item(1009), BM_SETCHECK, BST_CHECKED, 0);
    const auto listButton = [](void *d) {
        HWND button = GetDlgItem(static_cast<HWND>(d), 1009);
        PostMessageW(static_cast<HWND>(d), WM_COMMAND, MAKEWPARAM(1009, BN_CLICKED), reinterpret_cast<LPARAM>(button));
    };
    seen = WithPoppedMenu(listButton, dialog, MenuAction::kChoose, target);
    ASSERT_TRUE(seen.found);
    RECT button{};
    GetWindowRect(Item(1009), &button);
    EXPECT_EQ(seen.at.x, button.left);
    EXPECT_EQ(seen.at.y, button.bottom);
    EXPECT_EQ(owner_.Count(WM_COMMAND), 1);
    EXPECT_EQ(LOWORD(owner_.LastWParam(WM_COMMAND)), 8000 + target);
    EXPECT_EQ(SendMessageW(Item(1009), BM_GETCHECK, 0, 0), BST_UNCHECKED);

    // With a host menu the ids follow its base.
    m()->menuBaseId = 500;
    WithPoppedMenu(rightClick, dialog, MenuAction::kChoose, 0);
    EXPECT_EQ(LOWORD(owner_.LastWParam(WM_COMMAND)), 500);
}

// A brush with its own dialog gets it from its plug-in (template 3000 + i,
// procedure 3100 + i) with the manager as parameter; a brush without one
// gets Bristler's dialog back.
TEST(OwnSettingsDialog, ComesFromThePlugInAndMakesWayForBristlersOwn) {
    MessageBoxWatcher watcher;
    CountingWindow owner;
    PlugInFolder folder;
    folder.Add(L"own_dialog", L"a.brs").Add(L"basic", L"b.brs");
    Manager manager;
    ASSERT_EQ(manager.Init(folder.Ansi(), owner.hwnd()), 1);
    const BrushDescriptor *own = FindBrush(manager.get(), u8"自前");
    ASSERT_NE(own, nullptr);
    probe::Log *log = ProbeLogOf(own);
    const int inits = log->dialogInits;
    ASSERT_EQ(Bw().SelectPlugInBrush(manager.get(), BrushIndex(manager.get(), u8"自前"), nullptr), 1);
    HWND dialog = manager->settingsDialog;
    ASSERT_TRUE(IsWindow(dialog));
    EXPECT_TRUE(IsWindowVisible(dialog));
    EXPECT_EQ(WindowText(GetDlgItem(dialog, 4242)), u8"自前");
    EXPECT_EQ(GetDlgItem(dialog, 1000), nullptr);
    EXPECT_EQ(log->dialogInits, inits + 1);
    EXPECT_EQ(log->dialogInitParam, reinterpret_cast<intptr_t>(manager.get()));

    ASSERT_EQ(Bw().SelectPlugInBrush(manager.get(), -1, nullptr), 1);
    EXPECT_EQ(manager->settingsDialog, dialog) << "the same brush keeps its dialog";
    EXPECT_EQ(log->dialogInits, inits + 1);

    ASSERT_EQ(Bw().SelectPlugInBrush(manager.get(), BrushIndex(manager.get(), u8"えんぴつ"), nullptr), 1);
    EXPECT_FALSE(IsWindow(dialog));
    ASSERT_TRUE(IsWindow(manager->settingsDialog));
    EXPECT_NE(GetDlgItem(manager->settingsDialog, 1000), nullptr);
    EXPECT_TRUE(watcher.Seen().empty());
}

}  // namespace
