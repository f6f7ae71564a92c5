// The tool bars and the end bar's dialogs end to end: every button clicked
// at its centre with real input on the real PintoraKids.exe, judged by the
// screen, the program's windows, its exit and its settings file.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "e2e_support.h"
#include "test_support.h"

using namespace pintora_e2e;

namespace {

constexpr const char *kActionCaption = "Pintora  ( F1を押すとヘルプ表示 )";
constexpr const char *kEndCaption = "Pintora ( F1を押すとヘルプ表示 )";
constexpr const char *kColorCaption = "Pintora   いろをえらぶ";
constexpr const char *kSizeCaption = "Pintora おおきさ";
constexpr const char *kPenCaption = "Pintora  ふでをえらぶ";
constexpr const char *kKidsCaption = "お子様モード";
constexpr const char *kBrightnessCaption = "画用紙の明るさ調整";
constexpr const char *kAirbrushSettingsCaption = "エアブラシの設定";
constexpr const char *kColorPopupCaption = "色の選択";

struct BarShape {
    int x, y;                 // frame's top-left on the screen
    int clientWidth, clientHeight;
    int firstButton, buttons;
    int buttonWidth, step;    // every button is as high as the client area
};

std::wstring ShotPath(const char *name) {
    return pintora_test::TestDir() + pintora_test::Widen(std::string("e2e-bars-") + name + ".bmp");
}

// What a click at p reaches (the window itself or its top-level window),
// waiting up to 3 s for `expected`: a canvas raised to the top (by an
// activation that reaches the display late) has its bars and dialogs put
// back over it a moment later.
HWND ReachedAt(POINT p, HWND expected) {
    const DWORD start = GetTickCount();
    HWND hit;
    do {
        hit = WindowFromPoint(p);
        if (hit != expected && GetAncestor(hit, GA_ROOT) == expected) hit = expected;
        if (hit == expected) break;
        Pump(50);
    } while (GetTickCount() - start < 3000);
    return hit;
}

// The bar where it belongs, its client area of the given size, each button
// at its place and what a click at its centre reaches.
void ExpectBar(HWND bar, const BarShape &s) {
    ASSERT_NE(bar, nullptr);
    RECT frame, client;
    GetWindowRect(bar, &frame);
    GetClientRect(bar, &client);
    EXPECT_EQ(frame.left, s.x);
    EXPECT_EQ(frame.top, s.y);
    EXPECT_EQ(client.right, s.clientWidth);
    EXPECT_EQ(client.bottom, s.clientHeight);
    POINT origin{0, 0};
    ClientToScreen(bar, &origin);
    for (int i = 0; i < s.buttons; ++i) {
        HWND button = GetDlgItem(bar, s.firstButton + i);
        ASSERT_NE(button, nullptr) << "button " << s.firstButton + i;
        RECT r;
        GetWindowRect(button, &r);
        EXPECT_EQ(r.left - origin.x, i * s.step) << "button " << s.firstButton + i;
        EXPECT_EQ(r.top - origin.y, 0);
        EXPECT_EQ(r.right - r.left, s.buttonWidth);
        EXPECT_EQ(r.bottom - r.top, s.clientHeight);
        EXPECT_EQ(ReachedAt({(r.left + r.right) / 2, (r.top + r.bottom) / 2}, button), button)
            << "button " << s.firstButton + i << " is covered";
    }
}

// Whether a window is seen on the screen: at least nine in ten of the
// pixels of its rectangle, less `covering`, differ from the desktop that
// the canvas shows (a window under the canvas shows none), and a point
// on its caption reaches it.
void ExpectSeen(HWND window, const Shot &desktop, const char *when, const RECT *covering = nullptr) {
    ASSERT_NE(window, nullptr) << when;
    RECT r;
    GetWindowRect(window, &r);
    const POINT caption{(r.left + r.right) / 2, r.top + GetSystemMetrics(SM_CYSMCAPTION) / 2 + 2};
    EXPECT_EQ(ReachedAt(caption, window), window) << when;
    const Shot screen = SettledScreen();
    size_t inside = 0, differing = 0;
    for (int y = std::max(0L, r.top); y < std::min<long>(r.bottom, screen.height); ++y) {
        for (int x = std::max(0L, r.left); x < std::min<long>(r.right, screen.width); ++x) {
            if (covering && PtInRect(covering, {x, y})) continue;
            ++inside;
            if (screen.at(x, y) != desktop.at(x, y)) ++differing;
        }
    }
    ASSERT_GT(inside, 0u) << when;
    EXPECT_GE(differing * 10, inside * 9) << when << ": " << WindowText(window) << " is covered ("
                                          << differing << " of " << inside << " pixels shown)";
}

Shot Solid(uint32_t color) {
    Shot s;
    s.width = GetSystemMetrics(SM_CXSCREEN);
    s.height = GetSystemMetrics(SM_CYSCREEN);
    s.pixels.assign(static_cast<size_t>(s.width) * s.height, color);
    return s;
}

Shot DesktopShot() {
    Shot s = Solid(0);
    for (int y = 0; y < s.height; ++y) {
        for (int x = 0; x < s.width; ++x) s.pixels[static_cast<size_t>(y) * s.width + x] = Backdrop::ColorAt(x, y);
    }
    return s;
}

// Waits until the screen shows `expected` outside the program's other
// windows (taken anew each time: a bar may show a moment later) and
// `extra`; the last difference, the screen saved under `name` when it
// never did.
Difference WaitForScreen(const Shot &expected, const Kids &kids, const char *name,
                         const std::vector<RECT> &extra = {}) {
    const DWORD start = GetTickCount();
    Difference d;
    Shot now;
    do {
        now = SettledScreen();
        std::vector<RECT> others = kids.OtherWindows();
        others.insert(others.end(), extra.begin(), extra.end());
        d = Compare(now, expected, others);
        if (d.count == 0) return d;
        Pump(100);
    } while (GetTickCount() - start < 8000);
    SaveShot(now, ShotPath(name));
    return d;
}

// The width, across a horizontal stroke at x, of the pixels it changed.
int StrokeWidth(const Shot &before, const Shot &after, int x, int y) {
    int top = y, bottom = y;
    while (top > 0 && before.at(x, top - 1) != after.at(x, top - 1)) --top;
    while (bottom + 1 < after.height && before.at(x, bottom + 1) != after.at(x, bottom + 1)) ++bottom;
    return before.at(x, y) == after.at(x, y) ? 0 : bottom - top + 1;
}

// The colour bar's blue (0x08, 0x08, 0xE0), give or take the marker's
// rounding.
bool NearBlue(uint32_t rgb) {
    const int r = (rgb >> 16) & 0xFF, g = (rgb >> 8) & 0xFF, b = rgb & 0xFF;
    return std::abs(r - 0x08) <= 4 && std::abs(g - 0x08) <= 4 && std::abs(b - 0xE0) <= 4;
}

class BarsE2E : public testing::Test {
protected:
    void SetUp() override {
        settings_.Write({"bFirstRun=1", "KidsRunAlready=1"});
        desktop_ = DesktopShot();
        const Difference d = Compare(SettledScreen(), desktop_);
        ASSERT_EQ(d.count, 0u) << "the test's own desktop is not on the screen";
    }

    // The kids-mode dialog of the end bar.
    HWND OpenKidsDialog(const Kids &kids, HWND endBar) {
        EXPECT_TRUE(ClickControl(endBar, 1002));
        return kids.WaitForWindow(kKidsCaption, 5000);
    }

    SettingsGuard settings_;
    Backdrop backdrop_;
    Shot desktop_;
};

// Normal mode: white, clear, end (the page is saved and the canvas gives
// way to the end bar), again (a fresh capture of the desktop), end and
// really end.
TEST_F(BarsE2E, ActionAndEndBarsInNormalMode) {
    Kids kids;
    HWND canvas = kids.WaitForCanvas();
    ASSERT_NE(canvas, nullptr);
    HWND action = kids.WaitForWindow(kActionCaption);
    Pump(300);
    ExpectBar(action, {5, 5, 379, 34, 1000, 4, 94, 95});

    ASSERT_TRUE(ClickControl(action, 1002));  // まっしろ
    EXPECT_EQ(WaitForScreen(Solid(0xFFFFFF), kids, "white").count, 0u);
    ASSERT_TRUE(ClickControl(action, 1001));  // ぜんぶ消去
    EXPECT_EQ(WaitForScreen(desktop_, kids, "cleared").count, 0u);

    // A stroke that the end keeps in the page and the capture does not see.
    const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    Drag({w / 2 - 150, h / 2}, {w / 2 + 150, h / 2}, false);
    const Shot painted = SettledScreen();
    ASSERT_GT(Compare(painted, desktop_, kids.OtherWindows()).count, 100u) << "the drag painted nothing";

    ASSERT_TRUE(ClickControl(action, 1000));  // おわり
    HWND end = kids.WaitForWindow(kEndCaption, 8000);
    ASSERT_NE(end, nullptr) << "no end bar";
    for (int i = 0; i < 100 && IsWindowVisible(canvas); ++i) Pump(50);
    Pump(300);
    ExpectBar(end, {5, 5, 379, 34, 1000, 4, 94, 95});
    EXPECT_FALSE(IsWindowVisible(canvas)) << "the canvas stays";
    EXPECT_EQ(WaitForScreen(desktop_, kids, "end-bar").count, 0u);
    const std::wstring page = InstalledCopy() + L"Save\\Normal\\01.bmp";
    EXPECT_NE(GetFileAttributesW(page.c_str()), INVALID_FILE_ATTRIBUTES) << "the page was not saved";

    const RECT endBarPlace = [&] { RECT r; GetWindowRect(end, &r); return r; }();
    ASSERT_TRUE(ClickControl(end, 1001));  // 再開
    action = kids.WaitForWindow(kActionCaption, 8000);
    ASSERT_NE(action, nullptr) << "no action bar after 再開";
    EXPECT_EQ(kids.WaitForCanvas(8000), canvas);
    // Where the end bar was when the screen was taken may show it still.
    EXPECT_EQ(WaitForScreen(desktop_, kids, "again", {endBarPlace}).count, 0u) << "not a fresh capture";

    ASSERT_TRUE(ClickControl(action, 1000));
    end = kids.WaitForWindow(kEndCaption, 8000);
    ASSERT_NE(end, nullptr);
    ASSERT_TRUE(ClickControl(end, 1000));  // ほんとにおわり
    EXPECT_EQ(kids.WaitForExit(), 0u);
}

// Normal mode: Bristler's settings dialog and its colour popup over the
// canvas at the start, after the user worked in the dialog and then on the
// canvas (which raises the canvas), and after 再開.
TEST_F(BarsE2E, SettingsDialogAndColourPopupShowOverTheCanvas) {
    Kids kids;
    HWND canvas = kids.WaitForCanvas();
    ASSERT_NE(canvas, nullptr);
    HWND dialog = kids.WaitForWindow(kAirbrushSettingsCaption);
    HWND popup = kids.WaitForWindow(kColorPopupCaption);
    ASSERT_NE(dialog, nullptr);
    ASSERT_NE(popup, nullptr);
    auto expectBothSeen = [&](const char *when) {
        RECT popupPlace;
        GetWindowRect(popup, &popupPlace);
        ExpectSeen(popup, desktop_, when);
        ExpectSeen(dialog, desktop_, when, &popupPlace);
    };
    Pump(300);
    expectBothSeen("at the start");

    // A click in the dialog activates it; a stroke on the canvas takes the
    // activation back, away from both windows.
    RECT d;
    GetWindowRect(dialog, &d);
    MoveTo({(d.left + d.right) / 2, d.top + 6});
    MouseButton(false, true);
    MouseButton(false, false);
    Pump(300);
    const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    Drag({w - 200, h - 60}, {w - 40, h - 60}, false);
    Pump(300);
    const Shot painted = SettledScreen();
    for (int x = w - 190; x < w - 50; x += 20) {
        EXPECT_NE(painted.at(x, h - 60), desktop_.at(x, h - 60)) << "the stroke is missing at x " << x;
    }
    expectBothSeen("after a stroke on the canvas");

    HWND action = kids.WaitForWindow(kActionCaption);
    ASSERT_TRUE(ClickControl(action, 1000));  // おわり
    HWND end = kids.WaitForWindow(kEndCaption, 8000);
    ASSERT_NE(end, nullptr);
    ASSERT_TRUE(ClickControl(end, 1001));  // 再開
    ASSERT_NE(kids.WaitForWindow(kActionCaption, 8000), nullptr);
    ASSERT_EQ(kids.WaitForWindow(kAirbrushSettingsCaption, 8000), dialog);
    Pump(300);
    expectBothSeen("after 再開");
}

// A child's sequence in kids mode with every bar: the options chosen in the
// kids-mode dialog, blue, the big size, the marker, a drag; then the small
// size; then the paper again.
TEST_F(BarsE2E, KidsModeWithAllBarsPaintsTheChosenColourAndWidth) {
    Kids kids(L"/c");
    HWND end = kids.WaitForWindow(kEndCaption);
    ASSERT_NE(end, nullptr) << "/c shows no end bar";
    Pump(300);
    HWND dialog = OpenKidsDialog(kids, end);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(IsDlgButtonChecked(dialog, 1009), BST_CHECKED);
    EXPECT_EQ(IsDlgButtonChecked(dialog, 1011), BST_CHECKED);
    EXPECT_EQ(IsDlgButtonChecked(dialog, 1013), BST_CHECKED);
    ASSERT_TRUE(ClickControl(dialog, 1010));
    ASSERT_TRUE(ClickControl(dialog, 1012));
    ASSERT_TRUE(ClickControl(dialog, IDOK));

    // KidsMode 7: 1009 gets 3, the pen and the size bar on the paper.
    HWND canvas = kids.WaitForCanvas(8000);
    ASSERT_NE(canvas, nullptr);
    HWND pen = kids.WaitForWindow(kPenCaption, 5000);
    HWND color = kids.WaitForWindow(kColorCaption, 5000);
    HWND size = kids.WaitForWindow(kSizeCaption, 5000);
    Pump(500);
    ExpectBar(pen, {5, 5, 664, 34, 1040, 7, 94, 95});
    ExpectBar(color, {5, 59, 489, 34, 1020, 14, 34, 35});
    ExpectBar(size, {500, 59, 104, 34, 1015, 3, 34, 35});
    EXPECT_EQ(kids.WaitForWindow(kActionCaption, 0), nullptr);
    const Shot paper = SettledScreen();

    ASSERT_TRUE(ClickControl(color, 1030));  // あお
    ASSERT_TRUE(ClickControl(size, 1015));   // おおきい
    ASSERT_TRUE(ClickControl(pen, 1042));    // まーかー
    const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    const int y1 = h / 2 - 60, y2 = h / 2 + 100;
    Drag({w / 2 - 200, y1}, {w / 2 + 200, y1}, false);
    ASSERT_TRUE(ClickControl(size, 1017));   // ちいさい
    Drag({w / 2 - 200, y2}, {w / 2 + 200, y2}, false);
    const Shot drawn = SettledScreen();
    SaveShot(drawn, ShotPath("kids-strokes"));

    // The marker of size 24 x (4 - 0) / 4 = 24, then 24 x 2 / 4 = 12.
    const int big = StrokeWidth(paper, drawn, w / 2, y1);
    const int small = StrokeWidth(paper, drawn, w / 2, y2);
    EXPECT_TRUE(NearBlue(drawn.at(w / 2, y1))) << std::hex << drawn.at(w / 2, y1);
    EXPECT_TRUE(NearBlue(drawn.at(w / 2, y2))) << std::hex << drawn.at(w / 2, y2);
    EXPECT_GE(big, 18);
    EXPECT_LE(big, 30);
    EXPECT_GE(small, 8);
    EXPECT_LE(small, 16);
    EXPECT_GE(big - small, 8);

    ASSERT_TRUE(ClickControl(pen, 1040));  // the paper again
    EXPECT_EQ(WaitForScreen(paper, kids, "paper-again").count, 0u);

    EXPECT_EQ(kids.Close(), 0u);
    const auto text = settings_.Read();
    ASSERT_TRUE(text);
    for (const char *line : {"KidsMode=7", "CurrentPen=1", "CurrentPenSize=2"}) {
        EXPECT_NE(text->find(line), std::string::npos) << line << " in\n" << *text;
    }
}

// The chalk pen "ちょーく" selects Penlith's chalk by name: a drag paints a
// stroke of the pen's big size (20) whose pixels the paper grain thins and
// shades.  Where the grain lets the chalk cover a pixel it also lifts it
// lighter, so hardly a pixel of the core comes within 12 of the blue
// itself; the crayon, which the pen keeps when the chalk is not installed,
// lays a third of its core there.
TEST_F(BarsE2E, KidsChalkPenPaintsAGrainyStroke) {
    Kids kids(L"/c");
    HWND end = kids.WaitForWindow(kEndCaption);
    ASSERT_NE(end, nullptr);
    Pump(300);
    HWND dialog = OpenKidsDialog(kids, end);
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(ClickControl(dialog, 1010));
    ASSERT_TRUE(ClickControl(dialog, 1012));
    ASSERT_TRUE(ClickControl(dialog, IDOK));
    ASSERT_NE(kids.WaitForCanvas(8000), nullptr);
    HWND pen = kids.WaitForWindow(kPenCaption, 5000);
    HWND color = kids.WaitForWindow(kColorCaption, 5000);
    HWND size = kids.WaitForWindow(kSizeCaption, 5000);
    ASSERT_TRUE(pen && color && size);
    Pump(500);
    const Shot paper = SettledScreen();

    ASSERT_TRUE(ClickControl(color, 1030));  // あお
    ASSERT_TRUE(ClickControl(size, 1015));   // おおきい
    ASSERT_TRUE(ClickControl(pen, 1043));    // ちょーく
    const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    const int y = h / 2 + 40;
    Drag({w / 2 - 200, y}, {w / 2 + 200, y}, false);
    const Shot drawn = SettledScreen();
    SaveShot(drawn, ShotPath("kids-chalk"));

    // Across the stroke: about the tip's 20 pixels changed.
    for (int x : {w / 2 - 100, w / 2, w / 2 + 100}) {
        const int width = StrokeWidth(paper, drawn, x, y);
        EXPECT_GE(width, 14) << "at " << x;
        EXPECT_LE(width, 24) << "at " << x;
    }
    // Along its core: blue over the paper, in many different strengths.
    int changed = 0, pureBlue = 0, bluer = 0;
    std::vector<uint32_t> levels;
    for (int x = w / 2 - 150; x < w / 2 + 150; ++x) {
        for (int dy = -4; dy <= 4; ++dy) {
            const uint32_t before = paper.at(x, y + dy), after = drawn.at(x, y + dy);
            changed += before != after;
            const int r = (after >> 16) & 0xFF, g = (after >> 8) & 0xFF, b = after & 0xFF;
            pureBlue += std::abs(r - 0x08) <= 12 && std::abs(g - 0x08) <= 12 && std::abs(b - 0xE0) <= 12;
            bluer += static_cast<int>(after & 0xFF) - static_cast<int>((after >> 16) & 0xFF) >
                     static_cast<int>(before & 0xFF) - static_cast<int>((before >> 16) & 0xFF);
            levels.push_back(after);
        }
    }
    std::sort(levels.begin(), levels.end());
    const auto distinct = std::unique(levels.begin(), levels.end()) - levels.begin();
    const int total = 300 * 9;
    EXPECT_GT(changed, total * 9 / 10);
    EXPECT_GT(bluer, total * 8 / 10);
    EXPECT_LT(pureBlue, total / 20);
    EXPECT_GT(distinct, 100);

    EXPECT_EQ(kids.Close(), 0u);
    const auto text = settings_.Read();
    ASSERT_TRUE(text);
    EXPECT_NE(text->find("CurrentPen=2"), std::string::npos) << *text;
}

// The brightness dialog: a page key moves the thumb one page (5);
// Cancel leaves the value, OK keeps it and chooses the paper texture.
// Cancelling the kids-mode dialog afterwards stores no options.
TEST_F(BarsE2E, BrightnessOkStoresTheValueAndCancelLeavesIt) {
    settings_.Write({"bFirstRun=1", "KidsRunAlready=1", "KidsMode=9", "PaperIntensity=-10"});
    Kids kids(L"/c");
    HWND end = kids.WaitForWindow(kEndCaption);
    ASSERT_NE(end, nullptr);
    Pump(300);
    HWND dialog = OpenKidsDialog(kids, end);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(IsDlgButtonChecked(dialog, 1014), BST_CHECKED) << "KidsMode 9 has the flat paper";

    // Page Down on the trackbar, which has the focus when the dialog opens
    // (a held click would repeat the page as long as it is held).
    auto moveOnePageUp = [&](HWND brightness) {
        SetForegroundWindow(brightness);
        Pump(50);
        PressKeys({VK_NEXT});
        Pump(300);
        return static_cast<int>(SendMessageW(GetDlgItem(brightness, 1051), TBM_GETPOS, 0, 0));
    };

    ASSERT_TRUE(ClickControl(dialog, 1001));
    HWND brightness = kids.WaitForWindow(kBrightnessCaption, 5000);
    ASSERT_NE(brightness, nullptr);
    EXPECT_EQ(SendMessageW(GetDlgItem(brightness, 1051), TBM_GETPOS, 0, 0), 20) << "-10 + 30";
    RECT preview;
    GetWindowRect(GetDlgItem(brightness, 1000), &preview);
    const Shot before = SettledScreen();
    EXPECT_EQ(moveOnePageUp(brightness), 25);
    const Shot after = SettledScreen();
    const int px = (preview.left + preview.right) / 2, py = (preview.top + preview.bottom) / 2;
    EXPECT_GT(after.at(px, py) & 0xFF, before.at(px, py) & 0xFF) << "the preview did not brighten";
    ASSERT_TRUE(ClickControl(brightness, IDCANCEL));
    EXPECT_EQ(IsDlgButtonChecked(dialog, 1014), BST_CHECKED) << "a cancelled brightness chose the texture";

    ASSERT_TRUE(ClickControl(dialog, 1001));
    brightness = kids.WaitForWindow(kBrightnessCaption, 5000);
    ASSERT_NE(brightness, nullptr);
    EXPECT_EQ(SendMessageW(GetDlgItem(brightness, 1051), TBM_GETPOS, 0, 0), 20) << "Cancel changed the value";
    EXPECT_EQ(moveOnePageUp(brightness), 25);
    ASSERT_TRUE(ClickControl(brightness, IDOK));
    EXPECT_EQ(IsDlgButtonChecked(dialog, 1013), BST_CHECKED) << "OK chooses the paper texture";

    ASSERT_TRUE(ClickControl(dialog, IDCANCEL));
    EXPECT_EQ(kids.WaitForCanvas(1000), nullptr) << "a cancelled kids-mode dialog started kids mode";
    ASSERT_TRUE(ClickControl(end, 1000));
    EXPECT_EQ(kids.WaitForExit(), 0u);
    const auto text = settings_.Read();
    ASSERT_TRUE(text);
    EXPECT_NE(text->find("PaperIntensity=-5"), std::string::npos) << *text;
    EXPECT_NE(text->find("KidsMode=9"), std::string::npos) << *text;
}

// F1 shows the tips over the action bar; the end bar's last button the
// about box with its version, and a double click on its picture a box.
TEST_F(BarsE2E, TipsAndAbout) {
    Kids kids;
    HWND canvas = kids.WaitForCanvas();
    ASSERT_NE(canvas, nullptr);
    HWND action = kids.WaitForWindow(kActionCaption);
    ASSERT_NE(action, nullptr);
    SetForegroundWindow(canvas);
    Pump(100);
    PressKeys({VK_F1});
    HWND tips = kids.WaitForWindow("Pintora (ちょっといい使い方)", 5000);
    ASSERT_NE(tips, nullptr);
    EXPECT_NE(DialogText(tips).find("右ドラッグでは消しゴム機能となります。"), std::string::npos);
    EXPECT_NE(DialogText(tips).find("[Ctrl+Z]でひとつ前に戻す。[Ctrl+Y]で戻したのをやり直す。"), std::string::npos);
    EXPECT_EQ(GetWindow(tips, GW_OWNER), action);
    ASSERT_TRUE(ClickControl(tips, IDOK));

    ASSERT_TRUE(ClickControl(action, 1000));
    HWND end = kids.WaitForWindow(kEndCaption, 8000);
    ASSERT_NE(end, nullptr);
    ASSERT_TRUE(ClickControl(end, 1003));
    HWND about = kids.WaitForWindow("Pintoraのご紹介", 5000);
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(WindowText(GetDlgItem(about, 1054)), "Pintora version 1.11");
    RECT picture;
    GetWindowRect(GetDlgItem(about, 1050), &picture);
    MoveTo({(picture.left + picture.right) / 2, (picture.top + picture.bottom) / 2});
    for (int i = 0; i < 2; ++i) {
        MouseButton(false, true);
        MouseButton(false, false);
    }
    HWND ouch = kids.WaitForWindow("Pintora Tessaro", 5000);
    ASSERT_NE(ouch, nullptr) << "a double click on the picture shows no box";
    EXPECT_EQ(DialogText(ouch), "あいたっ！いてぇーな。\nたたくんじゃねーよ。");
    SetForegroundWindow(ouch);
    Pump(50);
    PressKeys({VK_RETURN});
    Pump(200);
    ASSERT_TRUE(ClickControl(about, IDCANCEL));
    EXPECT_EQ(kids.WaitForWindow("Pintoraのご紹介", 300), nullptr);
    ASSERT_TRUE(ClickControl(end, 1000));
    EXPECT_EQ(kids.WaitForExit(), 0u);
}

}  // namespace
