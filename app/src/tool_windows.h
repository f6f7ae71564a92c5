// The small always-on-top tool windows over the canvas: the action bar or
// the end bar (one slot), the colour, size and pen bars of kids mode and
// the page bar.  Each is a modeless dialog owned by the canvas; a slot is
// NULL while its bar is absent.
//
// The bars' templates and procedures come with the tool windows
// themselves.  Until a template is in the resources its creation yields
// NULL and the canvas carries on without that bar.
#pragma once

#include <windows.h>

namespace pintora {

struct AppState;

enum class ToolBar { kAction, kEnd, kColor, kSize, kPen, kPage };

struct ToolWindows {
    HWND actionOrEnd = nullptr;
    HWND color = nullptr;
    HWND size = nullptr;
    HWND pen = nullptr;
    HWND page = nullptr;
};

// Creates a bar owned by the canvas and stores it in its slot (the action
// and end bar share one).  The bar's window, or NULL.
HWND CreateToolBar(AppState &app, ToolBar bar);
// Destroys the action or end bar.
void DestroyActionOrEndBar(AppState &app);
// Destroys every bar.
void DestroyToolBars(AppState &app);

// The tips dialog (F1), modal, owned by `owner`; nothing when its template
// is not among the resources.
void ShowTipsDialog(AppState &app, HWND owner);

// The procedure of a modal box that OK or Cancel closes, ending the dialog
// with that button's ID.  A non-zero dialog parameter (DialogBoxParam's
// last argument) gives the box the shared UI Gothic font.
INT_PTR CALLBACK OkCancelBoxProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace pintora
