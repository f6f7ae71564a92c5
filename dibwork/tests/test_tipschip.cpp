// The tips chip driven by its real timer: the test dispatches the messages
// itself, counts the chip's ticks and looks at the chip after each one.
// The pointer is placed with SetCursorPos; nothing else moves it on the
// tests' own display.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "dibwork_binding.h"
#include "window_test_support.h"

using namespace window_test;

namespace {

const char kChipClass[] = "TipsChipWndClass";
// "色の選択\nクリックで決定" in UTF-8: two lines of Japanese.
const char kTwoLines[] =
    "\xE8\x89\xB2\xE3\x81\xAE\xE9\x81\xB8\xE6\x8A\x9E\n"
    "\xE3\x82\xAF\xE3\x83\xAA\xE3\x83\x83\xE3\x82\xAF\xE3\x81\xA7\xE6\xB1\xBA\xE5\xAE\x9A";

// Dispatches this thread's messages until the chip's timer has ticked
// `count` times (or ten seconds pass); says after each tick whether the
// chip is shown.
std::vector<bool> RunTicks(HWND chip, UINT timerId, size_t count) {
    std::vector<bool> shown;
    const DWORD start = GetTickCount();
    while (shown.size() < count && GetTickCount() - start < 10000) {
        MSG msg;
        if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
            continue;
        }
        const bool tick = msg.hwnd == chip && msg.message == WM_TIMER && msg.wParam == timerId;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
        if (tick) shown.push_back(IsWindowVisible(chip) != FALSE);
    }
    return shown;
}

const std::vector<bool> kShownOnTheSixth = {false, false, false, false, false, true};

SIZE SizeOf(HWND window) {
    const RECT rect = WindowRect(window);
    return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

// The chip of the given text, ended with the object.
class Chip {
public:
    Chip(const char *text, HWND target, UINT timerId, UINT delay)
        : window_(Dw().StartTipsChipWindow(text, target, Self(), timerId, delay)), timerId_(timerId) {}
    ~Chip() { Dw().EndTipsChipWindow(window_); }
    Chip(const Chip &) = delete;
    Chip &operator=(const Chip &) = delete;
    HWND get() const { return window_; }
    std::vector<bool> Ticks(size_t count) const { return RunTicks(window_, timerId_, count); }
private:
    HWND window_;
    UINT timerId_;
};

// Replaces Dibwork's import of SetTimer for the object's life, noting the
// interval asked for before passing the call on.
class SetTimerSpy {
public:
    explicit SetTimerSpy(HMODULE module) : slot_(FindImport(module, "user32.dll", "SetTimer")) {
        if (!slot_) return;
        original_ = reinterpret_cast<decltype(&::SetTimer)>(*slot_);
        Write(reinterpret_cast<void *>(&Record));
    }
    ~SetTimerSpy() {
        if (slot_) Write(reinterpret_cast<void *>(original_));
    }
    SetTimerSpy(const SetTimerSpy &) = delete;
    SetTimerSpy &operator=(const SetTimerSpy &) = delete;
    bool installed() const { return slot_ != nullptr; }
    static inline UINT interval = 0;
    static inline UINT_PTR id = 0;

private:
    static UINT_PTR WINAPI Record(HWND window, UINT_PTR timerId, UINT elapse, TIMERPROC proc) {
        interval = elapse;
        id = timerId;
        return original_(window, timerId, elapse, proc);
    }
    void Write(void *value) {
        DWORD old;
        VirtualProtect(slot_, sizeof(void *), PAGE_READWRITE, &old);
        *slot_ = value;
        VirtualProtect(slot_, sizeof(void *), old, &old);
    }
    static void **FindImport(HMODULE module, const char *dll, const char *function) {
        auto *base = reinterpret_cast<BYTE *>(module);
        auto *nt = reinterpret_cast<IMAGE_NT_HEADERS *>(base + reinterpret_cast<IMAGE_DOS_HEADER *>(base)->e_lfanew);
        const auto &directory = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
        for (auto *entry = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR *>(base + directory.VirtualAddress); entry->Name;
             ++entry) {
            if (lstrcmpiA(reinterpret_cast<char *>(base + entry->Name), dll) != 0) continue;
            auto *names = reinterpret_cast<IMAGE_THUNK_DATA *>(base + entry->OriginalFirstThunk);
            auto *slots = reinterpret_cast<IMAGE_THUNK_DATA *>(base + entry->FirstThunk);
            for (; names->u1.AddressOfData; ++names, ++slots) {
                if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
                auto *byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME *>(base + names->u1.AddressOfData);
                if (std::strcmp(reinterpret_cast<char *>(byName->Name), function) == 0) {
                    return reinterpret_cast<void **>(&slots->u1.Function);
                }
            }
        }
        return nullptr;
    }
    void **slot_;
    static inline decltype(&::SetTimer) original_ = nullptr;
};

class TipsChip : public testing::Test {
protected:
    void SetUp() override { ASSERT_NE(Dw().module, nullptr); }
    // No messages are dispatched here, so the next tick that RunTicks
    // counts is the first to see the pointer at its new place.
    static void PointAt(int x, int y) { ASSERT_TRUE(SetCursorPos(x, y)); }
};

TEST_F(TipsChip, TimerRunsAtASixthOfTheDelay) {
    PlainWindow target(100, 100, 200, 100);
    SetTimerSpy spy(Dw().module);
    ASSERT_TRUE(spy.installed());
    PointAt(150, 150);
    const DWORD start = GetTickCount();
    Chip chip("tip", target.get(), 42, 600);
    ASSERT_NE(chip.get(), nullptr);
    EXPECT_EQ(SetTimerSpy::interval, 100u);
    EXPECT_EQ(SetTimerSpy::id, 42u);

    // Six ticks of 100 ms: the chip appears about 600 ms after it was made.
    EXPECT_EQ(chip.Ticks(6), kShownOnTheSixth);
    EXPECT_GE(GetTickCount() - start, 550u);
}

TEST_F(TipsChip, ShownBesideTheRestingPointerAndSizedToItsText) {
    PlainWindow target(200, 200, 400, 300);
    PointAt(300, 250);
    Chip chip(kTwoLines, target.get(), 7, 120);
    ASSERT_NE(chip.get(), nullptr);
    EXPECT_FALSE(IsWindowVisible(chip.get())) << "created hidden";

    EXPECT_EQ(chip.Ticks(6), kShownOnTheSixth);
    const RECT rect = WindowRect(chip.get());
    EXPECT_EQ(rect.left, 316);
    EXPECT_EQ(rect.top, 266);
    EXPECT_NE(GetWindowLongW(chip.get(), GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
    EXPECT_NE(GetForegroundWindow(), chip.get()) << "never activated";

    // Further still ticks keep it shown.
    EXPECT_EQ(chip.Ticks(2), std::vector<bool>({true, true}));

    // The size is the text's, measured in the chip font, plus 4.
    HFONT font = CreateFontW(13, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                             L"\xFF2D\xFF33 \xFF30\x30B4\x30B7\x30C3\x30AF");  // "ＭＳ Ｐゴシック"
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font);
    RECT text{0, 0, 100, 10};
    const std::wstring wide = pintora_test::Widen(kTwoLines);
    DrawTextW(dc, wide.c_str(), -1, &text, DT_CALCRECT);
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(font);
    EXPECT_EQ(SizeOf(chip.get()).cx, text.right + 4);
    EXPECT_EQ(SizeOf(chip.get()).cy, text.bottom + 4);
    EXPECT_GT(text.bottom, 20) << "two lines";
}

TEST_F(TipsChip, NearTheBottomRightCornerItGoesAboveLeft) {
    const SIZE screen = ScreenSize();
    PlainWindow target(screen.cx - 300, screen.cy - 200, 300, 200);
    const POINT pointer{screen.cx - 10, screen.cy - 10};
    PointAt(pointer.x, pointer.y);
    Chip chip(kTwoLines, target.get(), 8, 120);
    ASSERT_NE(chip.get(), nullptr);
    EXPECT_EQ(chip.Ticks(6), kShownOnTheSixth);
    const RECT rect = WindowRect(chip.get());
    EXPECT_EQ(rect.right, pointer.x);
    EXPECT_EQ(rect.bottom, pointer.y);

    // One pixel of movement hides it at the next tick; resting again shows
    // it after six more.
    PointAt(pointer.x - 1, pointer.y);
    EXPECT_EQ(chip.Ticks(1), std::vector<bool>({false}));
    EXPECT_EQ(chip.Ticks(6), kShownOnTheSixth);
    EXPECT_EQ(WindowRect(chip.get()).right, pointer.x - 1);
}

TEST_F(TipsChip, OnlyOverTheTargetOrItsDirectChildren) {
    PlainWindow target(100, 100, 300, 300);
    PlainWindow child(0, 0, 100, 100, target.get());
    PlainWindow grandchild(0, 0, 50, 50, child.get());
    PlainWindow cover(250, 250, 100, 100);
    PointAt(180, 180);  // on the child
    Chip chip("tip", target.get(), 9, 120);
    ASSERT_NE(chip.get(), nullptr);
    EXPECT_EQ(chip.Ticks(6), kShownOnTheSixth);

    PointAt(120, 120);  // on the grandchild: not a direct child
    EXPECT_EQ(chip.Ticks(7), std::vector<bool>(7, false));

    PointAt(300, 300);  // inside the target's rectangle, under another window
    EXPECT_EQ(chip.Ticks(7), std::vector<bool>(7, false));

    PointAt(500, 500);  // outside
    EXPECT_EQ(chip.Ticks(7), std::vector<bool>(7, false));
}

// Tool-tip colours of the test's own for the object's life (Wine's
// defaults, black on white, would not show which colour went where).
class ToolTipColours {
public:
    ToolTipColours(COLORREF background, COLORREF text) {
        saved_[0] = GetSysColor(COLOR_INFOBK);
        saved_[1] = GetSysColor(COLOR_INFOTEXT);
        const COLORREF wanted[2] = {background, text};
        SetSysColors(2, kElements, wanted);
    }
    ~ToolTipColours() { SetSysColors(2, kElements, saved_); }
    ToolTipColours(const ToolTipColours &) = delete;
    ToolTipColours &operator=(const ToolTipColours &) = delete;
private:
    static inline const INT kElements[2] = {COLOR_INFOBK, COLOR_INFOTEXT};
    COLORREF saved_[2];
};

// What the user sees: the text in the tool-tip colours on its background.
TEST_F(TipsChip, PaintsItsTextInTheToolTipColours) {
    ToolTipColours colours(RGB(255, 240, 200), RGB(0, 0, 160));
    ASSERT_EQ(GetSysColor(COLOR_INFOBK), RGB(255, 240, 200));
    PlainWindow target(100, 100, 300, 200);
    PointAt(150, 150);
    Chip chip(kTwoLines, target.get(), 10, 120);
    ASSERT_NE(chip.get(), nullptr);
    ASSERT_EQ(chip.Ticks(6), kShownOnTheSixth);
    UpdateWindow(chip.get());
    pintora_test::PumpMessages(200);

    const RECT rect = WindowRect(chip.get());
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB};
    void *bits = nullptr;
    HBITMAP capture = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, capture);
    BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    SelectObject(memory, old);

    const COLORREF background = GetSysColor(COLOR_INFOBK);
    const COLORREF ink = GetSysColor(COLOR_INFOTEXT);
    auto distance = [](COLORREF a, DWORD bgrx) {
        return abs(GetRValue(a) - static_cast<int>((bgrx >> 16) & 0xFF)) +
               abs(GetGValue(a) - static_cast<int>((bgrx >> 8) & 0xFF)) + abs(GetBValue(a) - static_cast<int>(bgrx & 0xFF));
    };
    int onBackground = 0, inInk = 0;
    const auto *pixels = static_cast<const DWORD *>(bits);
    for (int y = 1; y < height - 1; ++y) {
        for (int x = 1; x < width - 1; ++x) {
            const DWORD p = pixels[y * width + x];
            if (distance(background, p) == 0) ++onBackground;
            if (distance(ink, p) < 120) ++inInk;
        }
    }
    DeleteObject(capture);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    const int interior = (width - 2) * (height - 2);
    EXPECT_GT(onBackground, interior / 2) << "tool-tip background";
    EXPECT_GT(inInk, 40) << "the strokes of the text";
}

TEST_F(TipsChip, NullTextCreatesNothing) {
    Dw().UnregisterTipsChipWndClass(Self());
    PlainWindow target(100, 100, 100, 100);
    EXPECT_EQ(Dw().StartTipsChipWindow(nullptr, target.get(), Self(), 1, 600), nullptr);
    WNDCLASSA registered;
    EXPECT_FALSE(GetClassInfoA(Self(), kChipClass, &registered)) << "not even the class";
    EXPECT_EQ(FindWindowA(kChipClass, nullptr), nullptr);
}

TEST_F(TipsChip, ClassRecordAndEnd) {
    auto &dw = Dw();
    dw.UnregisterTipsChipWndClass(Self());
    EXPECT_NE(dw.TipsChipWndClassset(Self()), 0);
    EXPECT_EQ(dw.TipsChipWndClassset(Self()), 0) << "already registered";
    WNDCLASSA registered{};
    ASSERT_TRUE(GetClassInfoA(Self(), kChipClass, &registered));
    EXPECT_EQ(registered.style, static_cast<UINT>(CS_BYTEALIGNCLIENT));
    EXPECT_EQ(registered.hbrBackground, reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_INFOBK + 1)));
    EXPECT_EQ(dw.UnregisterTipsChipWndClass(nullptr), 0);
    EXPECT_EQ(dw.UnregisterTipsChipWndClass(Self()), 1);
    EXPECT_FALSE(GetClassInfoA(Self(), kChipClass, &registered));

    // Starting a chip registers the class again; the record is its user data.
    PlainWindow target(100, 100, 100, 100);
    char text[] = "tip text";
    HWND chip = dw.StartTipsChipWindow(text, target.get(), Self(), 77, 900);
    ASSERT_NE(chip, nullptr);
    EXPECT_TRUE(GetClassInfoA(Self(), kChipClass, &registered));
    EXPECT_EQ(GetWindowLongW(chip, GWL_STYLE) & (WS_POPUP | WS_BORDER), static_cast<LONG>(WS_POPUP | WS_BORDER));
    const auto *record = reinterpret_cast<const TipsChipRecord *>(GetWindowLongPtrW(chip, GWLP_USERDATA));
    ASSERT_NE(record, nullptr);
    EXPECT_NE(record->text, text) << "a private copy";
    EXPECT_STREQ(record->text, "tip text");
    EXPECT_EQ(record->target, target.get());
    EXPECT_EQ(record->timerId, 77u);
    EXPECT_EQ(record->delay, 900u);

    dw.EndTipsChipWindow(chip);
    EXPECT_FALSE(IsWindow(chip));
    dw.EndTipsChipWindow(nullptr);
    // A window of another class is left alone, user data and all.
    SetWindowLongPtrW(target.get(), GWLP_USERDATA, 1234);
    dw.EndTipsChipWindow(target.get());
    EXPECT_TRUE(IsWindow(target.get()));
    EXPECT_EQ(GetWindowLongPtrW(target.get(), GWLP_USERDATA), 1234);
}

}  // namespace
