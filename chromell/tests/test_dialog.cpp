// The colour window driven by messages: the history (defaults, the timer's
// four-tick rule, OK), Cancel and the quiet close, the number fields, the
// remembered page and the restricted nested dialog, placement near the
// owner, the swatch popup's keys, the hint and the refused arguments.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <thread>

#include "chromell_test_support.h"
#include "color_model.h"
#include "dialog_rules.h"
#include "test_support.h"

namespace {

using namespace chromell_test;

constexpr COLORREF kOrange = 0x020080FF;  // (255, 128, 0)

// A floating window over an owner, closed (quietly) at the end.
struct Floating {
    explicit Floating(COLORREF start, COLORREF *historyBuffer = nullptr, POINT *where = nullptr) : color(start) {
        owner.watched = &color;
        dialog = Chromell().selectFloatMru(owner.hwnd(), &color, where, historyBuffer);
        Pump();
    }
    ~Floating() {
        if (IsWindow(dialog)) SendMessageW(dialog, CHROMELL_WM_CLOSE_QUIETLY, 0, 0);
    }
    ColorDialogState *state() const { return StateOf(dialog); }
    void ShowPage(int page) {
        while (state()->page != page) Click(dialog, CHROMELL_ID_PAGE_BUTTON);
    }
    COLORREF color;
    Owner owner;
    HWND dialog = nullptr;
};

void Tick(HWND dialog, int ticks) {
    for (int i = 0; i < ticks; ++i) SendMessageW(dialog, WM_TIMER, CHROMELL_HISTORY_TIMER, 0);
}

// A press and release in a selector at a client point, with extra keys.
void PressAt(HWND control, int x, int y, WPARAM keys = 0) {
    SendMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON | keys, At(x, y));
    SendMessageW(control, WM_LBUTTONUP, keys, At(x, y));
}

TEST(ChromellHistory, AZeroFilledHistoryGetsTheDefaultsAndAUsedOneIsKept) {
    ASSERT_NE(Chromell().module, nullptr);
    COLORREF history[CHROMELL_HISTORY_LENGTH] = {};
    {
        Floating window(kOrange, history);
        ASSERT_TRUE(IsWindow(window.dialog));
        for (int i = 0; i < CHROMELL_HISTORY_LENGTH; ++i) EXPECT_EQ(history[i], chromell::kDefaultHistory[i]) << i;
    }
    history[0] = 0x02010203;
    history[5] = 0;
    Floating again(kOrange, history);
    EXPECT_EQ(history[0], 0x02010203u);
    EXPECT_EQ(history[5], 0u);
}

TEST(ChromellHistory, AColourSettledOnForFourTicksEntersTheHistory) {
    COLORREF history[CHROMELL_HISTORY_LENGTH] = {};
    Floating window(kOrange, history);
    window.ShowPage(CHROMELL_PAGE_QUICK);
    HWND square = Control(window.dialog, CHROMELL_ID_SATINT);
    RECT r{};
    GetClientRect(square, &r);

    // A first colour, left after three ticks of standing still, never
    // enters; the next one does once it has stood for four.
    PressAt(square, r.right / 3, r.bottom / 3);
    const COLORREF passing = window.color;
    Tick(window.dialog, 4);  // seen, then three unchanged ticks
    PressAt(square, r.right - 1, 0);
    const COLORREF settled = window.color;
    ASSERT_NE(passing, settled);
    Tick(window.dialog, 4);
    EXPECT_EQ(history[0], chromell::kDefaultHistory[0]) << "added too early";
    Tick(window.dialog, 1);
    EXPECT_EQ(history[0], (settled & 0xFFFFFF) | 0x02000000);
    EXPECT_EQ(std::count(history, history + CHROMELL_HISTORY_LENGTH, passing), 0);
    // OK (here a double click in the square) adds the colour of the moment
    // too, and closes.
    PressAt(square, 0, r.bottom - 1);  // black
    SendMessageW(square, WM_LBUTTONDBLCLK, MK_LBUTTON, At(0, r.bottom - 1));
    EXPECT_FALSE(IsWindow(window.dialog));
    EXPECT_EQ(history[0], 0x02000000u);
    EXPECT_EQ(history[1], (settled & 0xFFFFFF) | 0x02000000);
}

TEST(ChromellMessages, CancelRestoresTheColourThenTellsTheOwnerTwice) {
    Floating window(kOrange);
    window.ShowPage(CHROMELL_PAGE_QUICK);
    PressAt(Control(window.dialog, CHROMELL_ID_SATINT), 2, 2);
    EXPECT_NE(window.color, kOrange);
    Pump();
    window.owner.log.clear();
    Click(window.dialog, IDCANCEL);
    EXPECT_FALSE(IsWindow(window.dialog));
    EXPECT_EQ(window.color, kOrange);
    ASSERT_EQ(window.owner.log.size(), 2u);
    EXPECT_EQ(window.owner.log[0].message, static_cast<UINT>(CHROMELL_WM_COLOR_CHANGED));
    EXPECT_EQ(window.owner.log[0].color, kOrange) << "the owner is told after the colour is back";
    EXPECT_EQ(window.owner.log[1].message, static_cast<UINT>(CHROMELL_WM_POPUP_CLOSED));

    Floating quiet(kOrange);
    Pump();
    quiet.owner.log.clear();
    SendMessageW(quiet.dialog, CHROMELL_WM_CLOSE_QUIETLY, 0, 0);
    Pump();
    EXPECT_FALSE(IsWindow(quiet.dialog));
    EXPECT_TRUE(quiet.owner.log.empty());
}

TEST(ChromellPages, ATypedValueAbove255BecomesItAndThePageIsRemembered) {
    {
        Floating window(0x02102030);
        window.ShowPage(CHROMELL_PAGE_RGB);
        EXPECT_EQ(GetDlgItemInt(window.dialog, CHROMELL_ID_GREEN_FIELD, nullptr, FALSE), 0x20u);
        EXPECT_TRUE(IsWindowVisible(Control(window.dialog, CHROMELL_ID_RED_FIELD)));
        EXPECT_FALSE(IsWindowVisible(Control(window.dialog, CHROMELL_ID_SATINT)));
        window.owner.log.clear();
        SetDlgItemTextW(window.dialog, CHROMELL_ID_RED_FIELD, L"300");
        EXPECT_EQ(GetDlgItemInt(window.dialog, CHROMELL_ID_RED_FIELD, nullptr, FALSE), 255u);
        EXPECT_EQ(SendMessageW(Control(window.dialog, CHROMELL_ID_RED_UPDOWN), UDM_GETPOS32, 0, 0), 255);
        EXPECT_EQ(window.color, 0x021020FFu);
        Pump();
        EXPECT_FALSE(window.owner.log.empty()) << "the owner hears of the change";
        Click(window.dialog, IDCANCEL);
    }
    Floating next(kOrange);
    EXPECT_EQ(next.state()->page, CHROMELL_PAGE_RGB);
}

// Inside the nested dialog's own loop: note its page, then cancel it.
struct Nested {
    HWND outer;
    int page = -1;
    int restricted = -1;
};
Nested g_nested;

BOOL CALLBACK FindOwned(HWND window, LPARAM param) {
    if (GetWindow(window, GW_OWNER) != g_nested.outer || !IsWindowVisible(window)) return TRUE;
    char name[16] = "";
    GetClassNameA(window, name, sizeof(name));
    if (lstrcmpA(name, "#32770") != 0) return TRUE;
    *reinterpret_cast<HWND *>(param) = window;
    return FALSE;
}

void CALLBACK InspectNested(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND nested = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindOwned, reinterpret_cast<LPARAM>(&nested));
    if (!nested) return;
    KillTimer(nullptr, timer);
    ColorDialogState *state = StateOf(nested);
    g_nested.page = state->page;
    g_nested.restricted = state->restricted;
    Click(nested, CHROMELL_ID_PAGE_BUTTON);  // 0 -> 2 in a restricted dialog
    g_nested.page = g_nested.page * 10 + state->page;
    Click(nested, IDCANCEL);
}

TEST(ChromellPages, TheRestrictedNestedDialogOfACornerOpensOnTheQuickPage) {
    {
        Floating last(kOrange);  // leaves the gradient page remembered
        last.ShowPage(CHROMELL_PAGE_GRADIENT);
        Click(last.dialog, IDCANCEL);
    }
    Floating window(kOrange);
    ASSERT_EQ(window.state()->page, CHROMELL_PAGE_GRADIENT);
    window.ShowPage(CHROMELL_PAGE_GRADIENT);
    const COLORREF corner = window.state()->gradCorners[1];
    g_nested = Nested{window.dialog};
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, InspectNested);
    HWND well = Control(window.dialog, CHROMELL_ID_CORNER_TR);
    SendMessageW(window.dialog, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(well), MAKELPARAM(400, 300));
    KillTimer(nullptr, timer);
    EXPECT_EQ(g_nested.restricted, 1);
    EXPECT_EQ(g_nested.page, 2) << "page 0 first, then 2 after one click";
    EXPECT_EQ(window.state()->gradCorners[1], corner) << "a cancelled corner dialog keeps the corner";
    EXPECT_EQ(window.state()->page, CHROMELL_PAGE_GRADIENT);
}

TEST(ChromellPlacement, AStoredPositionFarFromTheOwnerIsPulledBack) {
    const int eighth = GetSystemMetrics(SM_CXSCREEN) / 8;
    POINT where{100 + 300 + eighth + 200, 150};  // owner spans x 100..400
    Floating window(kOrange, nullptr, &where);
    RECT r{};
    GetWindowRect(window.dialog, &r);
    EXPECT_EQ(r.left, 400);
    EXPECT_EQ(r.top, 150);
    EXPECT_EQ(where.x, 400);
    // Without a position it opens at the owner's bottom-left corner.
    Floating plain(kOrange);
    GetWindowRect(plain.dialog, &r);
    RECT owner{};
    GetWindowRect(plain.owner.hwnd(), &owner);
    EXPECT_EQ(r.left, owner.left);
    EXPECT_EQ(r.top, owner.bottom);
    // Closing stores the last top-left.
    SetWindowPos(window.dialog, nullptr, 420, 170, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    Click(window.dialog, IDOK);
    EXPECT_EQ(where.x, 420);
    EXPECT_EQ(where.y, 170);
}

TEST(ChromellSwatches, KeysWalkTheGridAndEnterSendsTheSwatchToTheCorner) {
    Floating window(kOrange);
    window.ShowPage(CHROMELL_PAGE_GRADIENT);
    auto walk = [&](std::initializer_list<WPARAM> keys) {
        Click(window.dialog, CHROMELL_ID_CORNER_TL);
        HWND popup = FindPopup(CHROMELL_SWATCH_CLASS);
        if (!popup) return false;
        RECT r{};
        GetWindowRect(popup, &r);
        EXPECT_EQ(r.right - r.left, 132);
        EXPECT_EQ(r.bottom - r.top, 78);
        for (WPARAM key : keys) SendMessageW(popup, WM_KEYDOWN, key, 0);
        return !IsWindow(popup);
    };
    // 0 -Up-> 21 -Right x4-> 25 -Down-> 4: navy.
    ASSERT_TRUE(walk({VK_UP, VK_RIGHT, VK_RIGHT, VK_RIGHT, VK_RIGHT, VK_DOWN, VK_RETURN}));
    EXPECT_EQ(window.state()->gradCorners[0] & 0xFFFFFF, 0x800000u);
    // 0 -Left-> 27: black.
    ASSERT_TRUE(walk({VK_LEFT, VK_RETURN}));
    EXPECT_EQ(window.state()->gradCorners[0] & 0xFFFFFF, 0u);
    // Escape closes without a change.
    ASSERT_TRUE(walk({VK_RIGHT, VK_ESCAPE}));
    EXPECT_EQ(window.state()->gradCorners[0] & 0xFFFFFF, 0u);
    // The gradient's top-left pixel follows the corner.
    DIBSECTION section{};
    ASSERT_EQ(GetObjectW(window.state()->gradPicture, sizeof(section), &section), static_cast<int>(sizeof(section)));
    const auto *top = static_cast<const BYTE *>(section.dsBm.bmBits) +
                      (section.dsBmih.biHeight - 1) * section.dsBm.bmWidthBytes;
    EXPECT_EQ(top[0] | top[1] | top[2], 0);
}

TEST(ChromellHint, CtrlInTheSquareShowsNoHintAndTheTextEndsInABlank) {
    Floating window(kOrange);
    window.ShowPage(CHROMELL_PAGE_QUICK);
    HWND square = Control(window.dialog, CHROMELL_ID_SATINT);
    SendMessageW(square, WM_LBUTTONDOWN, MK_LBUTTON | MK_CONTROL, At(5, 5));
    EXPECT_EQ(window.state()->hint, nullptr);
    EXPECT_EQ(FindPopup(CHROMELL_HINT_CLASS), nullptr);
    SendMessageW(square, WM_LBUTTONUP, MK_CONTROL, At(5, 5));

    SendMessageW(square, WM_LBUTTONDOWN, MK_LBUTTON, At(5, 5));
    HWND hint = window.state()->hint;
    ASSERT_NE(hint, nullptr);
    window.color = 0x028000FF;  // (255, 0, 128)
    SendMessageW(hint, CHROMELL_WM_HINT_UPDATE, 0, 0);
    wchar_t text[64] = L"";
    GetWindowTextW(hint, text, 64);
    EXPECT_STREQ(text, L"RGB(255,0,128) ");
    EXPECT_TRUE(GetWindowLongW(hint, GWL_EXSTYLE) & WS_EX_TOPMOST);
    SendMessageW(square, WM_LBUTTONUP, 0, At(5, 5));
    EXPECT_FALSE(IsWindow(hint));
    EXPECT_EQ(window.state()->hint, nullptr);
}

TEST(ChromellArguments, UnwritableStorageIsRefusedBeforeAnythingOpens) {
    Owner owner;
    COLORREF color = kOrange;
    // A read-only page: the colour and a history there are refused.
    void *page = VirtualAlloc(nullptr, 4096, MEM_COMMIT | MEM_RESERVE, PAGE_READONLY);
    ASSERT_NE(page, nullptr);
    auto *readOnly = static_cast<COLORREF *>(page);
    EXPECT_EQ(Chromell().selectMru(owner.hwnd(), nullptr, nullptr, nullptr), 0);
    EXPECT_EQ(Chromell().selectMru(owner.hwnd(), readOnly, nullptr, nullptr), 0);
    EXPECT_EQ(Chromell().selectFloatMru(owner.hwnd(), &color, nullptr, readOnly), nullptr);
    // A history of 80 bytes that runs off the end of writable memory.
    auto *buffer = static_cast<BYTE *>(VirtualAlloc(nullptr, 8192, MEM_RESERVE, PAGE_NOACCESS));
    ASSERT_TRUE(VirtualAlloc(buffer, 4096, MEM_COMMIT, PAGE_READWRITE));
    auto *shortHistory = reinterpret_cast<COLORREF *>(buffer + 4096 - 40);
    EXPECT_EQ(Chromell().selectFloatMru(owner.hwnd(), &color, nullptr, shortHistory), nullptr);
    // A position that cannot be written is ignored: the window still opens.
    HWND window = Chromell().selectFloat(owner.hwnd(), &color, reinterpret_cast<POINT *>(readOnly));
    EXPECT_NE(window, nullptr);
    if (window) SendMessageW(window, CHROMELL_WM_CLOSE_QUIETLY, 0, 0);
    EXPECT_EQ(color, kOrange);
    VirtualFree(page, 0, MEM_RELEASE);
    VirtualFree(buffer, 0, MEM_RELEASE);
}

}  // namespace

namespace {

TEST(ChromellHistoryPopup, ACellTakenBecomesTheColourAndTheTimerWaitsWhileItIsOpen) {
    COLORREF history[CHROMELL_HISTORY_LENGTH] = {};
    Floating window(kOrange, history);
    window.ShowPage(CHROMELL_PAGE_QUICK);
    HWND square = Control(window.dialog, CHROMELL_ID_SATINT);
    PressAt(square, 3, 3);
    const COLORREF picked = window.color;

    SendMessageW(square, WM_RBUTTONUP, 0, At(5, 5));
    HWND popup = window.state()->historyPopup;
    ASSERT_NE(popup, nullptr);
    ASSERT_EQ(FindPopup(CHROMELL_HISTORY_CLASS), popup);
    RECT r{};
    GetWindowRect(popup, &r);
    EXPECT_EQ(r.right - r.left, 96);
    EXPECT_EQ(r.bottom - r.top, 78);
    Tick(window.dialog, 8);
    EXPECT_EQ(history[0], chromell::kDefaultHistory[0]) << "no history ticks while the popup is open";

    // Cell (2, 1) of the 5-column grid is entry 7 (magenta).
    const LPARAM cell7 = At(2 * 18 + 9, 18 + 9);
    SendMessageW(popup, WM_MOUSEMOVE, 0, cell7);
    EXPECT_EQ(window.state()->historyIndex, 7);
    window.owner.log.clear();
    SendMessageW(popup, WM_LBUTTONUP, 0, cell7);
    EXPECT_FALSE(IsWindow(popup));
    EXPECT_EQ(window.state()->historyPopup, nullptr);
    EXPECT_EQ(window.color, chromell::kDefaultHistory[7]);
    Pump();
    EXPECT_FALSE(window.owner.log.empty());
    EXPECT_NE(picked, window.color);

    // Released outside, the popup closes without a change.
    SendMessageW(square, WM_RBUTTONUP, 0, At(5, 5));
    popup = window.state()->historyPopup;
    ASSERT_NE(popup, nullptr);
    SendMessageW(popup, WM_LBUTTONUP, 0, At(-20, 200));
    EXPECT_FALSE(IsWindow(popup));
    EXPECT_EQ(window.color, chromell::kDefaultHistory[7]);
}

// Sends WM_CONTEXTMENU for `target` while a thread types the keys into
// the menu that opens (the menu runs its own loop meanwhile).
void ChooseFromContextMenu(HWND dialog, HWND target, std::initializer_list<WORD> keys) {
    SetForegroundWindow(dialog);
    std::thread typist([keys] {
        Sleep(700);
        for (WORD key : keys) {
            INPUT input[2] = {};
            input[0].type = input[1].type = INPUT_KEYBOARD;
            input[0].ki.wVk = input[1].ki.wVk = key;
            input[1].ki.dwFlags = KEYEVENTF_KEYUP;
            SendInput(2, input, sizeof(INPUT));
            Sleep(150);
        }
    });
    SendMessageW(dialog, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(target), MAKELPARAM(300, 300));
    typist.join();
}

TEST(ChromellMenus, APresetReplacesTheFourCornersAndThePageMenuSetsThePage) {
    Floating window(kOrange);
    window.ShowPage(CHROMELL_PAGE_GRADIENT);
    ChooseFromContextMenu(window.dialog, window.dialog, {VK_DOWN, VK_DOWN, VK_RETURN});
    // The second item of the menu is 菊花 (2002).
    chromell::GradientCorners expected;
    ASSERT_TRUE(chromell::PresetCorners(2002, &expected));
    const ColorDialogState *s = window.state();
    EXPECT_EQ(s->gradCorners[0], expected.topLeft);
    EXPECT_EQ(s->gradCorners[1], expected.topRight);
    EXPECT_EQ(s->gradCorners[2], expected.bottomLeft);
    EXPECT_EQ(s->gradCorners[3], expected.bottomRight);

    // The page button's menu: the third item is the RGB page.
    ChooseFromContextMenu(window.dialog, Control(window.dialog, CHROMELL_ID_PAGE_BUTTON),
                          {VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN});
    EXPECT_EQ(window.state()->page, CHROMELL_PAGE_RGB);
    EXPECT_TRUE(IsWindowVisible(Control(window.dialog, CHROMELL_ID_BLUE_FIELD)));
}

}  // namespace

namespace {

// Inside the modal dialog's loop: start a drag in the square, take its
// picture away and move on, as if the picture could not be read.
struct Failing {
    HBITMAP taken = nullptr;
    bool capturedDuringDrag = false;
};
Failing g_failing;

BOOL CALLBACK FindColorDialog(HWND window, LPARAM param) {
    wchar_t title[32] = L"";
    GetWindowTextW(window, title, 32);
    if (lstrcmpW(title, L"色の選択") != 0) return TRUE;
    *reinterpret_cast<HWND *>(param) = window;
    return FALSE;
}

void CALLBACK BreakTheSquare(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND dialog = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindColorDialog, reinterpret_cast<LPARAM>(&dialog));
    if (!dialog) return;
    KillTimer(nullptr, timer);
    ColorDialogState *state = StateOf(dialog);
    HWND square = Control(dialog, CHROMELL_ID_SATINT);
    SendMessageW(square, WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, At(4, 4));
    g_failing.capturedDuringDrag = GetCapture() == square;
    g_failing.taken = state->satIntPicture;
    state->satIntPicture = nullptr;
    SendMessageW(square, WM_MOUSEMOVE, MK_LBUTTON, At(8, 8));
}

TEST(ChromellFailure, AFailingHandlerEndsTheModalDialogAndTheColourComesBack) {
    {
        Floating quick(kOrange);  // the modal dialog opens on the quick page
        quick.ShowPage(CHROMELL_PAGE_QUICK);
        Click(quick.dialog, IDCANCEL);
    }
    Owner owner;
    COLORREF color = kOrange;
    g_failing = Failing{};
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, BreakTheSquare);
    EXPECT_EQ(Chromell().selectMru(owner.hwnd(), &color, nullptr, nullptr), 0);
    KillTimer(nullptr, timer);
    ASSERT_NE(g_failing.taken, nullptr);
    DeleteObject(g_failing.taken);
    EXPECT_TRUE(g_failing.capturedDuringDrag);
    EXPECT_EQ(color, kOrange) << "the modal entry point restores the colour";
    // (Wine clips the cursor only for a foreground window, so the capture
    // stands for both here.)
    EXPECT_EQ(GetCapture(), nullptr) << "the capture is released";
}

TEST(ChromellFailure, AModalDialogThatCannotBeCreatedLeavesTheColourAndAnswers0) {
    COLORREF color = kOrange;
    HWND gone = CreateWindowExW(0, L"Static", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    DestroyWindow(gone);
    EXPECT_EQ(Chromell().selectMru(gone, &color, nullptr, nullptr), 0);
    EXPECT_EQ(color, kOrange);
}

}  // namespace
