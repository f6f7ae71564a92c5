// The multi-monitor functions of USER32, looked up by name at first need.
//
// Systems before the multi-monitor API lack MonitorFromPoint and friends;
// on them the library acts as on one monitor: the handle kSingleMonitor,
// whose monitor rectangle is the whole screen and whose work area is the
// system's work area.  Everything that places windows goes through a
// MonitorApi, so the stand-in can be exercised on any system by resolving
// against a module that lacks the functions.
#pragma once

#include <windows.h>

namespace dibwork {

// The handle of the one monitor of the single-monitor stand-in.
inline HMONITOR SingleMonitorHandle() { return reinterpret_cast<HMONITOR>(static_cast<UINT_PTR>(0x12340042)); }

// Where the single-monitor stand-in reads the screen: the system metrics
// and the work area (SPI_GETWORKAREA) in the library, fixed figures in
// tests.
struct ScreenFacts {
    int(WINAPI *metrics)(int index);
    BOOL (*workArea)(RECT *area);
};

// The facts of this system.
ScreenFacts SystemScreenFacts();

class MonitorApi {
public:
    // The functions exported by `user32` under their names; when any of
    // them is missing (or the module is NULL), the single-monitor stand-in
    // fed by `facts`.
    static MonitorApi Resolve(HMODULE user32, const ScreenFacts &facts);
    // Resolved against the loaded "USER32" at the first call, then kept.
    static const MonitorApi &System();

    bool singleMonitor() const { return single_; }

    HMONITOR FromPoint(POINT point, DWORD flags) const;
    HMONITOR FromRect(const RECT &rect, DWORD flags) const;
    HMONITOR FromWindow(HWND window, DWORD flags) const;
    BOOL Info(HMONITOR monitor, MONITORINFO *info) const;
    BOOL Enum(HDC dc, const RECT *clip, MONITORENUMPROC proc, LPARAM data) const;
    int Metrics(int index) const;

    // The work area of the monitor nearest to a point; the system's work
    // area if the monitor cannot be asked.
    RECT WorkAreaNear(POINT point) const;

private:
    MonitorApi() = default;
    RECT ScreenRect() const;
    RECT FallbackWorkArea() const;
    HMONITOR SingleFor(bool onScreen, DWORD flags) const;

    bool single_ = true;
    ScreenFacts facts_{};
    decltype(&::MonitorFromWindow) fromWindow_ = nullptr;
    decltype(&::MonitorFromRect) fromRect_ = nullptr;
    decltype(&::MonitorFromPoint) fromPoint_ = nullptr;
    decltype(&::EnumDisplayMonitors) enumMonitors_ = nullptr;
    decltype(&::GetMonitorInfoA) monitorInfo_ = nullptr;
    decltype(&::GetSystemMetrics) metrics_ = nullptr;
};

// Moves the window, without changing its size or Z order, so that it lies
// inside the work area of the monitor nearest to `wanted` (its left and
// top edges at least, when it is larger), shows it, and writes the
// position used into `wanted`.  False when the window has no rectangle.
bool PlaceWindowSafely(HWND window, POINT &wanted, const MonitorApi &monitors);

}  // namespace dibwork
