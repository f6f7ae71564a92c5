// The page bar: two arrow buttons at the top-right corner of the screen
// that turn the pages of the current mode.
#pragma once

#include <windows.h>

namespace pintora {

// Registers the bar's window class "PintoraPageBar" (a dialog class of its
// own: the bar is a tool window, not a dialog box) once per instance.
bool RegisterPageBarClass(HINSTANCE instance);

// The dialog procedure of template IDD_PAGE_BAR; the creation parameter
// is the program's AppState.
INT_PTR CALLBACK PageBarProc(HWND bar, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace pintora
