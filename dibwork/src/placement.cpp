// Window placement: keeping a window on a monitor's work area, centring it
// over another window, and remembering its position in the registry as
// two decimal values "<base>_X" and "<base>_Y" ("-1000": none stored).
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "dibwork.h"
#include "monitors.h"

namespace {

constexpr int kNoPosition = -1000;
constexpr char kNoPositionText[] = "-1000";
// Base names of 255 characters or more are refused.
constexpr size_t kBaseNameLimit = 255;
constexpr int kValueTextBytes = 256;

SIZE WindowSize(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return SIZE{std::max(0L, rect.right - rect.left), std::max(0L, rect.bottom - rect.top)};
}

SIZE ScreenSizeFromDC() {
    SIZE size{0, 0};
    if (HDC screen = GetDC(nullptr)) {
        size.cx = GetDeviceCaps(screen, HORZRES);
        size.cy = GetDeviceCaps(screen, VERTRES);
        ReleaseDC(nullptr, screen);
    }
    return size;
}

// One axis of the centring: the far edge of the centred window, kept on
// the screen, and the near edge, kept at 0 or more.
LONG CentredStart(LONG refStart, LONG refEnd, LONG extent, LONG screenExtent) {
    const LONG end = std::min(((refEnd - refStart) - extent) / 2 + refStart + extent, screenExtent);
    return std::max(0L, end - extent);
}

bool UsableBaseName(const char *baseName) {
    return baseName && std::strlen(baseName) < kBaseNameLimit;
}

int ReadCoordinate(HINSTANCE instance, UINT keyPathId, UINT subKeyId, const std::string &name) {
    char text[kValueTextBytes] = "";
    GetRegistryValue(instance, keyPathId, subKeyId, name.c_str(), text, sizeof(text), kNoPositionText);
    return std::atoi(text);
}

void WriteCoordinate(HINSTANCE instance, UINT keyPathId, UINT subKeyId, const std::string &name, LONG value) {
    char text[16];
    std::snprintf(text, sizeof(text), "%ld", value);
    SetRegistryValue(instance, keyPathId, subKeyId, name.c_str(), text);
}

}  // namespace

void WINAPI CenteringWindow(HWND reference, HWND window) {
    if (!window) return;
    const SIZE screen = ScreenSizeFromDC();
    RECT ref{};
    GetWindowRect(reference ? reference : GetDesktopWindow(), &ref);
    const SIZE size = WindowSize(window);
    const LONG left = CentredStart(ref.left, ref.right, size.cx, screen.cx);
    const LONG top = CentredStart(ref.top, ref.bottom, size.cy, screen.cy);
    SetWindowPos(window, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOREDRAW);
}

int WINAPI SetSafeWindowPos(HWND window, POINT *wanted) {
    if (!window || !wanted) return 0;
    return dibwork::PlaceWindowSafely(window, *wanted, dibwork::MonitorApi::System()) ? 1 : 0;
}

int WINAPI LoadWindowPos(HINSTANCE instance, HWND window, UINT keyPathId, UINT subKeyId, LPCSTR baseName) {
    if (!window || !UsableBaseName(baseName)) return 0;
    try {
        const std::string base(baseName);
        const int x = ReadCoordinate(instance, keyPathId, subKeyId, base + "_X");
        const int y = ReadCoordinate(instance, keyPathId, subKeyId, base + "_Y");
        if (x == kNoPosition || y == kNoPosition) {
            CenteringWindow(nullptr, window);
            return 1;
        }
        // A position from another screen size is brought back on screen.
        const auto &monitors = dibwork::MonitorApi::System();
        const SIZE size = WindowSize(window);
        const LONG left = std::max(0L, std::min<LONG>(x, monitors.Metrics(SM_CXSCREEN) - size.cx));
        const LONG top = std::max(0L, std::min<LONG>(y, monitors.Metrics(SM_CYSCREEN) - size.cy));
        SetWindowPos(window, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOREDRAW);
        return 1;
    } catch (...) {
        return 0;
    }
}

int WINAPI SaveWindowPos(HINSTANCE instance, HWND window, UINT keyPathId, UINT subKeyId, LPCSTR baseName) {
    if (!window || !UsableBaseName(baseName)) return 0;
    RECT rect;
    // A window that is gone has no position: nothing is stored over the
    // last good one.
    if (!GetWindowRect(window, &rect)) return 0;
    try {
        const std::string base(baseName);
        WriteCoordinate(instance, keyPathId, subKeyId, base + "_X", rect.left);
        WriteCoordinate(instance, keyPathId, subKeyId, base + "_Y", rect.top);
        return 1;
    } catch (...) {
        return 0;
    }
}
