// Window placement through the exports: centring, keeping a window on the
// work area, and positions remembered in the registry.
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "dibwork_binding.h"
#include "window_test_support.h"

using namespace window_test;

namespace {

std::pair<long, long> TopLeft(HWND window) {
    const RECT rect = WindowRect(window);
    return {rect.left, rect.top};
}

std::pair<long, long> At(long left, long top) { return {left, top}; }

#define EXPECT_AT(window, left, top) EXPECT_EQ(TopLeft(window), At((left), (top)))

TEST(CenteringWindow, CentresOverTheReference) {
    PlainWindow reference(100, 100, 400, 300);
    PlainWindow window(0, 0, 200, 100);
    Dw().CenteringWindow(reference.get(), window.get());
    EXPECT_AT(window.get(), 200, 200);
    const RECT rect = WindowRect(window.get());
    EXPECT_EQ(rect.right - rect.left, 200) << "size unchanged";
    EXPECT_EQ(rect.bottom - rect.top, 100);
}

TEST(CenteringWindow, KeepsTheWindowOnTheScreen) {
    const SIZE screen = ScreenSize();
    // Centred over a reference that hangs off the bottom-right corner, the
    // far edges are held at the screen's edges.
    PlainWindow reference(screen.cx - 124, screen.cy - 168, 200, 200);
    PlainWindow window(0, 0, 300, 200);
    Dw().CenteringWindow(reference.get(), window.get());
    EXPECT_AT(window.get(), screen.cx - 300, screen.cy - 200);

    // Larger than the screen: the near edges stay at 0.
    PlainWindow huge(10, 10, screen.cx + 200, 100);
    Dw().CenteringWindow(nullptr, huge.get());
    EXPECT_AT(huge.get(), 0, (screen.cy - 100) / 2);

    // On the desktop.
    Dw().CenteringWindow(nullptr, window.get());
    EXPECT_AT(window.get(), (screen.cx - 300) / 2, (screen.cy - 200) / 2);
    Dw().CenteringWindow(reference.get(), nullptr);  // nothing to move
}

TEST(SetSafeWindowPos, PullsTheWindowIntoTheWorkArea) {
    auto &dw = Dw();
    PlainWindow window(0, 0, 300, 200);
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    ASSERT_TRUE(GetMonitorInfoA(MonitorFromPoint(POINT{2000, -50}, MONITOR_DEFAULTTONEAREST), &info));
    const RECT work = info.rcWork;

    POINT wanted{2000, -50};
    EXPECT_EQ(dw.SetSafeWindowPos(window.get(), &wanted), 1);
    EXPECT_EQ(wanted.x, work.right - 300);
    EXPECT_EQ(wanted.y, work.top);
    EXPECT_AT(window.get(), wanted.x, wanted.y);

    wanted = POINT{40, 60};  // inside: taken as it is
    EXPECT_EQ(dw.SetSafeWindowPos(window.get(), &wanted), 1);
    EXPECT_EQ(wanted.x, 40);
    EXPECT_EQ(wanted.y, 60);
    EXPECT_AT(window.get(), 40, 60);

    EXPECT_EQ(dw.SetSafeWindowPos(nullptr, &wanted), 0);
    EXPECT_EQ(dw.SetSafeWindowPos(window.get(), nullptr), 0);

    // A hidden window is shown, its size kept.
    HWND hidden = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 120, 80, nullptr, nullptr, nullptr, nullptr);
    wanted = POINT{work.left - 500, work.top - 500};
    EXPECT_EQ(dw.SetSafeWindowPos(hidden, &wanted), 1);
    EXPECT_TRUE(IsWindowVisible(hidden));
    EXPECT_EQ(WindowRect(hidden).right, work.left + 120);
    EXPECT_EQ(WindowRect(hidden).bottom, work.top + 80);
    DestroyWindow(hidden);
}

class WindowPositions : public testing::Test {
protected:
    int Load(HWND window, const char *base) {
        return Dw().LoadWindowPos(Self(), window, IDS_TEST_KEY_PATH, IDS_TEST_SUB_KEY, base);
    }
    int Save(HWND window, const char *base) {
        return Dw().SaveWindowPos(Self(), window, IDS_TEST_KEY_PATH, IDS_TEST_SUB_KEY, base);
    }
    void Store(const char *name, const char *text) {
        ASSERT_NE(Dw().SetRegistryString(TEST_KEY_FULL, name, text), 0);
    }
    TestKeyScope scope_;
};

TEST_F(WindowPositions, FirstLoadCentresAndMarksNoPosition) {
    const SIZE screen = ScreenSize();
    PlainWindow window(5, 5, 300, 200);
    EXPECT_EQ(Load(window.get(), "Palette"), 1);
    EXPECT_AT(window.get(), (screen.cx - 300) / 2, (screen.cy - 200) / 2);
    EXPECT_EQ(StoredText(TEST_KEY_FULL, "Palette_X"), "-1000");
    EXPECT_EQ(StoredText(TEST_KEY_FULL, "Palette_Y"), "-1000");
}

TEST_F(WindowPositions, SavedPositionComesBack) {
    PlainWindow window(40, 50, 300, 200);
    EXPECT_EQ(Save(window.get(), "Palette"), 1);
    EXPECT_EQ(StoredText(TEST_KEY_FULL, "Palette_X"), "40");
    EXPECT_EQ(StoredText(TEST_KEY_FULL, "Palette_Y"), "50");

    PlainWindow other(300, 300, 300, 200);
    EXPECT_EQ(Load(other.get(), "Palette"), 1);
    EXPECT_AT(other.get(), 40, 50);
}

TEST_F(WindowPositions, StoredPositionIsBroughtBackOnScreen) {
    const SIZE screen = ScreenSize();
    PlainWindow window(5, 5, 300, 200);
    Store("Far_X", "5000");
    Store("Far_Y", "5000");
    EXPECT_EQ(Load(window.get(), "Far"), 1);
    EXPECT_AT(window.get(), screen.cx - 300, screen.cy - 200);

    Store("Before_X", "-20");
    Store("Before_Y", "-30");
    EXPECT_EQ(Load(window.get(), "Before"), 1);
    EXPECT_AT(window.get(), 0, 0);

    // One coordinate marked as unset is enough to centre.
    Store("Half_X", "10");
    Store("Half_Y", "-1000");
    EXPECT_EQ(Load(window.get(), "Half"), 1);
    EXPECT_AT(window.get(), (screen.cx - 300) / 2, (screen.cy - 200) / 2);
}

TEST_F(WindowPositions, RefusedArguments) {
    PlainWindow window(70, 80, 100, 100);
    const std::string longest(254, 'n');
    const std::string tooLong(255, 'n');
    EXPECT_EQ(Save(window.get(), tooLong.c_str()), 0);
    EXPECT_EQ(Load(window.get(), tooLong.c_str()), 0);
    EXPECT_FALSE(KeyExists(TEST_KEY_FULL)) << "nothing read or written for a refused name";
    EXPECT_AT(window.get(), 70, 80);

    EXPECT_EQ(Save(window.get(), longest.c_str()), 1);
    EXPECT_EQ(StoredText(TEST_KEY_FULL, (longest + "_Y").c_str()), "80");

    EXPECT_EQ(Save(nullptr, "Palette"), 0);
    EXPECT_EQ(Load(nullptr, "Palette"), 0);
    EXPECT_EQ(Save(window.get(), nullptr), 0);
    EXPECT_EQ(Load(window.get(), nullptr), 0);

    // A window that is gone stores nothing over the last good position.
    EXPECT_EQ(Save(window.get(), "Palette"), 1);
    HWND gone = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    DestroyWindow(gone);
    EXPECT_EQ(Save(gone, "Palette"), 0);
    EXPECT_EQ(StoredText(TEST_KEY_FULL, "Palette_X"), "70");
}

}  // namespace
