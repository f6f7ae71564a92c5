// The small always-on-top tool windows over the canvas: the action bar or
// the end bar (one slot), the colour, size and pen bars of kids mode and
// the page bar.  Each is a modeless dialog owned by the canvas; a slot is
// NULL while its bar is absent.
#pragma once

#include <windows.h>

#include <map>

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

// The bars' button faces, loaded as DIB sections the first time a button
// shows them and kept for the run.
class BarFaces {
public:
    BarFaces() = default;
    ~BarFaces();
    BarFaces(const BarFaces &) = delete;
    BarFaces &operator=(const BarFaces &) = delete;
    // Bitmap `id` of `instance`, or NULL when it cannot be loaded.
    HBITMAP Get(HINSTANCE instance, int id);

private:
    std::map<int, HBITMAP> faces_;
};

// Creates a bar owned by the canvas and stores it in its slot (the action
// and end bar share one).  The bar's window, or NULL.
HWND CreateToolBar(AppState &app, ToolBar bar);
// Destroys the action or end bar.
void DestroyActionOrEndBar(AppState &app);
// Destroys every bar.
void DestroyToolBars(AppState &app);
// Puts Bristler's settings dialog and colour popup, then every bar, above
// the canvas again, without activating them: showing or activating the
// topmost full-screen canvas lifts it over the windows it owns.
void RaiseToolBars(const AppState &app);

// Draws an owner-drawn bar button: face `bitmapId` at (2, 2), then a
// sunken edge when pressed or `current`, else a raised one.  FALSE, with
// nothing drawn, when the face cannot be loaded.
BOOL DrawBarButton(AppState &app, const DRAWITEMSTRUCT &item, int bitmapId, bool current);

// The tips dialog (F1), modal, owned by `owner`; nothing when its template
// is not among the resources.
void ShowTipsDialog(AppState &app, HWND owner);

// The procedure of a modal box that OK or Cancel closes, ending the dialog
// with that button's ID.  A non-zero dialog parameter (DialogBoxParam's
// last argument) gives the box the shared UI Gothic font.
INT_PTR CALLBACK OkCancelBoxProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace pintora
