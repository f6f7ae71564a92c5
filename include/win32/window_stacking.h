// Putting tool windows back above the window they work over, without taking
// the keyboard from it.  Header only, shared by the program and Bristler.
#pragma once

#include <windows.h>

namespace pintora {

// Moves a visible window to the top of its band (the always-on-top band for
// a topmost window) without activating it.  Wine restacks the display only
// for a window that becomes the first visible window of all; anywhere else
// the system's order changes and the display's does not.
inline void BringToFrontQuietly(HWND window) {
    if (!window || !IsWindow(window) || !IsWindowVisible(window)) return;
    const bool topmost = (GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
    SetWindowPos(window, topmost ? HWND_TOPMOST : HWND_TOP, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
}

// A tool window and a window it owns (NULL for none), both to the front:
// activating their owner raises it over them on the display.  The owned
// window always stays above its owner, so the owner could never become the
// first window: the owned one steps aside while the owner is raised and is
// shown again over it.
inline void BringPairToFrontQuietly(HWND window, HWND owned) {
    const bool ownedShown = owned && IsWindow(owned) && IsWindowVisible(owned);
    if (ownedShown) ShowWindow(owned, SW_HIDE);
    BringToFrontQuietly(window);
    if (ownedShown) {
        ShowWindow(owned, SW_SHOWNA);
        BringToFrontQuietly(owned);
    }
}

}  // namespace pintora
