// The single-monitor stand-in of the library's monitor code, exercised by
// resolving the multi-monitor functions against a module that lacks them
// and feeding it a 1024 x 768 screen whose work area is 1024 x 740.
#include <gtest/gtest.h>

#include <vector>

#include "monitors.h"
#include "window_test_support.h"

using dibwork::MonitorApi;
using dibwork::ScreenFacts;
using dibwork::SingleMonitorHandle;
using namespace window_test;

namespace {

int WINAPI SmallScreenMetrics(int index) {
    switch (index) {
    case SM_CXSCREEN: return 1024;
    case SM_CYSCREEN: return 768;
    default: return GetSystemMetrics(index);
    }
}

BOOL WorkAreaAboveATaskbar(RECT *area) {
    *area = RECT{0, 0, 1024, 740};
    return TRUE;
}

MonitorApi StandIn() {
    // KERNEL32 has none of the monitor functions.
    return MonitorApi::Resolve(GetModuleHandleA("KERNEL32"), ScreenFacts{&SmallScreenMetrics, &WorkAreaAboveATaskbar});
}

TEST(SingleMonitorStandIn, TakesOverWhenAFunctionIsMissing) {
    EXPECT_TRUE(StandIn().singleMonitor());
    EXPECT_TRUE(MonitorApi::Resolve(nullptr, dibwork::SystemScreenFacts()).singleMonitor());
    const MonitorApi real = MonitorApi::Resolve(GetModuleHandleA("USER32"), dibwork::SystemScreenFacts());
    EXPECT_FALSE(real.singleMonitor());
    const POINT origin{0, 0};
    EXPECT_EQ(real.FromPoint(origin, MONITOR_DEFAULTTONEAREST), MonitorFromPoint(origin, MONITOR_DEFAULTTONEAREST));
}

TEST(SingleMonitorStandIn, PlacesTheWindowOnTheWorkArea) {
    PlainWindow window(0, 0, 300, 200);
    POINT wanted{2000, -50};
    ASSERT_TRUE(dibwork::PlaceWindowSafely(window.get(), wanted, StandIn()));
    EXPECT_EQ(wanted.x, 724);
    EXPECT_EQ(wanted.y, 0);
    const RECT rect = WindowRect(window.get());
    EXPECT_EQ(rect.left, 724);
    EXPECT_EQ(rect.top, 0);

    // Below the work area the window rises above the taskbar.
    wanted = POINT{100, 700};
    ASSERT_TRUE(dibwork::PlaceWindowSafely(window.get(), wanted, StandIn()));
    EXPECT_EQ(wanted.x, 100);
    EXPECT_EQ(wanted.y, 540);
}

TEST(SingleMonitorStandIn, AnswersForItsOneMonitor) {
    const MonitorApi api = StandIn();
    const HMONITOR one = SingleMonitorHandle();
    EXPECT_EQ(reinterpret_cast<UINT_PTR>(one), 0x12340042u);
    EXPECT_EQ(api.FromPoint(POINT{5000, 5000}, MONITOR_DEFAULTTONEAREST), one);
    EXPECT_EQ(api.FromPoint(POINT{5000, 5000}, MONITOR_DEFAULTTOPRIMARY), one);
    EXPECT_EQ(api.FromPoint(POINT{5000, 5000}, MONITOR_DEFAULTTONULL), nullptr);
    EXPECT_EQ(api.FromPoint(POINT{1023, 767}, MONITOR_DEFAULTTONULL), one);
    EXPECT_EQ(api.FromPoint(POINT{1024, 0}, MONITOR_DEFAULTTONULL), nullptr);
    EXPECT_EQ(api.FromRect(RECT{1000, 700, 1100, 800}, MONITOR_DEFAULTTONULL), one);
    EXPECT_EQ(api.FromRect(RECT{2000, 0, 2100, 100}, MONITOR_DEFAULTTONULL), nullptr);
    EXPECT_EQ(api.Metrics(SM_CXSCREEN), 1024);

    MONITORINFOEXA info{};
    info.cbSize = sizeof(info);
    ASSERT_TRUE(api.Info(one, &info));
    EXPECT_EQ(info.rcMonitor.right, 1024);
    EXPECT_EQ(info.rcMonitor.bottom, 768);
    EXPECT_EQ(info.rcWork.bottom, 740);
    EXPECT_EQ(info.dwFlags, static_cast<DWORD>(MONITORINFOF_PRIMARY));
    EXPECT_STREQ(info.szDevice, "DISPLAY");

    MONITORINFO plain{};
    plain.cbSize = sizeof(plain);
    EXPECT_TRUE(api.Info(one, &plain));
    EXPECT_FALSE(api.Info(reinterpret_cast<HMONITOR>(static_cast<UINT_PTR>(0x1234)), &plain));
    plain.cbSize = 8;
    EXPECT_FALSE(api.Info(one, &plain)) << "a record too small is refused";
}

BOOL CALLBACK CollectMonitor(HMONITOR monitor, HDC, RECT *area, LPARAM data) {
    reinterpret_cast<std::vector<std::pair<HMONITOR, RECT>> *>(data)->push_back({monitor, *area});
    return TRUE;
}

TEST(SingleMonitorStandIn, EnumeratesItsOneMonitorWithinTheClip) {
    std::vector<std::pair<HMONITOR, RECT>> seen;
    const RECT clip{1000, 10, 1200, 20};
    const RECT away{3000, 0, 3100, 10};
    EXPECT_TRUE(StandIn().Enum(nullptr, &clip, CollectMonitor, reinterpret_cast<LPARAM>(&seen)));
    EXPECT_TRUE(StandIn().Enum(nullptr, &away, CollectMonitor, reinterpret_cast<LPARAM>(&seen)));
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].first, SingleMonitorHandle());
    EXPECT_EQ(seen[0].second.left, 1000);
    EXPECT_EQ(seen[0].second.right, 1024) << "clipped to the screen";
}

}  // namespace
