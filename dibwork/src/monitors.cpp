// Multi-monitor functions looked up at run time, with the single-monitor
// stand-in for systems that lack them, and the safe placement of a window
// on the work area of a monitor.
#include "monitors.h"

#include <algorithm>
#include <cstring>

namespace dibwork {

namespace {

BOOL SystemWorkArea(RECT *area) { return SystemParametersInfoA(SPI_GETWORKAREA, 0, area, 0); }

template <typename F>
F Lookup(HMODULE module, const char *name) {
    return reinterpret_cast<F>(reinterpret_cast<void *>(GetProcAddress(module, name)));
}

bool Intersects(const RECT &a, const RECT &b) {
    RECT common;
    return IntersectRect(&common, &a, &b) != FALSE;
}

}  // namespace

ScreenFacts SystemScreenFacts() { return ScreenFacts{&::GetSystemMetrics, &SystemWorkArea}; }

MonitorApi MonitorApi::Resolve(HMODULE user32, const ScreenFacts &facts) {
    MonitorApi api;
    api.facts_ = facts;
    if (user32) {
        api.fromWindow_ = Lookup<decltype(api.fromWindow_)>(user32, "MonitorFromWindow");
        api.fromRect_ = Lookup<decltype(api.fromRect_)>(user32, "MonitorFromRect");
        api.fromPoint_ = Lookup<decltype(api.fromPoint_)>(user32, "MonitorFromPoint");
        api.enumMonitors_ = Lookup<decltype(api.enumMonitors_)>(user32, "EnumDisplayMonitors");
        api.monitorInfo_ = Lookup<decltype(api.monitorInfo_)>(user32, "GetMonitorInfoA");
        api.metrics_ = Lookup<decltype(api.metrics_)>(user32, "GetSystemMetrics");
    }
    api.single_ = !(api.fromWindow_ && api.fromRect_ && api.fromPoint_ && api.enumMonitors_ &&
                    api.monitorInfo_ && api.metrics_);
    return api;
}

const MonitorApi &MonitorApi::System() {
    static const MonitorApi api = Resolve(GetModuleHandleA("USER32"), SystemScreenFacts());
    return api;
}

int MonitorApi::Metrics(int index) const {
    return single_ ? facts_.metrics(index) : metrics_(index);
}

RECT MonitorApi::ScreenRect() const {
    return RECT{0, 0, facts_.metrics(SM_CXSCREEN), facts_.metrics(SM_CYSCREEN)};
}

RECT MonitorApi::FallbackWorkArea() const {
    RECT work;
    if (!facts_.workArea(&work)) work = ScreenRect();
    return work;
}

// The stand-in answers the nearest and primary requests with its one
// monitor, and otherwise only what lies on the screen.
HMONITOR MonitorApi::SingleFor(bool onScreen, DWORD flags) const {
    if (flags == MONITOR_DEFAULTTONEAREST || flags == MONITOR_DEFAULTTOPRIMARY || onScreen) {
        return SingleMonitorHandle();
    }
    return nullptr;
}

HMONITOR MonitorApi::FromPoint(POINT point, DWORD flags) const {
    if (!single_) return fromPoint_(point, flags);
    const RECT screen = ScreenRect();
    return SingleFor(PtInRect(&screen, point) != FALSE, flags);
}

HMONITOR MonitorApi::FromRect(const RECT &rect, DWORD flags) const {
    if (!single_) return fromRect_(&rect, flags);
    return SingleFor(Intersects(rect, ScreenRect()), flags);
}

HMONITOR MonitorApi::FromWindow(HWND window, DWORD flags) const {
    if (!single_) return fromWindow_(window, flags);
    RECT rect;
    if (!GetWindowRect(window, &rect)) return SingleFor(false, flags);
    return SingleFor(Intersects(rect, ScreenRect()), flags);
}

BOOL MonitorApi::Info(HMONITOR monitor, MONITORINFO *info) const {
    if (!single_) return monitorInfo_(monitor, info);
    if (monitor != SingleMonitorHandle() || !info || info->cbSize < sizeof(MONITORINFO)) return FALSE;
    info->rcMonitor = ScreenRect();
    info->rcWork = FallbackWorkArea();
    info->dwFlags = MONITORINFOF_PRIMARY;
    if (info->cbSize >= sizeof(MONITORINFOEXA)) {
        auto *extended = reinterpret_cast<MONITORINFOEXA *>(info);
        std::strcpy(extended->szDevice, "DISPLAY");
    }
    return TRUE;
}

BOOL MonitorApi::Enum(HDC dc, const RECT *clip, MONITORENUMPROC proc, LPARAM data) const {
    if (!single_) return enumMonitors_(dc, clip, proc, data);
    if (!proc) return FALSE;
    RECT area = ScreenRect();
    if (clip && !IntersectRect(&area, &area, clip)) return TRUE;
    proc(SingleMonitorHandle(), dc, &area, data);
    return TRUE;
}

RECT MonitorApi::WorkAreaNear(POINT point) const {
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    const HMONITOR monitor = FromPoint(point, MONITOR_DEFAULTTONEAREST);
    if (monitor && Info(monitor, &info)) return info.rcWork;
    return FallbackWorkArea();
}

bool PlaceWindowSafely(HWND window, POINT &wanted, const MonitorApi &monitors) {
    const RECT work = monitors.WorkAreaNear(wanted);
    RECT rect;
    if (!GetWindowRect(window, &rect)) return false;
    const LONG width = rect.right - rect.left;
    const LONG height = rect.bottom - rect.top;
    // Wholly inside when it fits; otherwise its left and top edges stay in.
    wanted.x = std::max(work.left, std::min(wanted.x, work.right - width));
    wanted.y = std::max(work.top, std::min(wanted.y, work.bottom - height));
    SetWindowPos(window, nullptr, wanted.x, wanted.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_SHOWWINDOW);
    return true;
}

}  // namespace dibwork
