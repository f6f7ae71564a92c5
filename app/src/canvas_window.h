// The canvas window: the full-screen, borderless, always-on-top window the
// user draws on.  Its procedure (canvas_window.cpp) only dispatches; each
// message has its handler below, grouped by file.
#pragma once

#include <windows.h>

namespace pintora {

struct AppState;

constexpr const wchar_t *kCanvasClassName = L"PintoraKids";

// Registers the class "PintoraKids": global class with a class DC, icon
// 101, arrow cursor, window-colour background, no menu.
bool RegisterCanvasClass(HINSTANCE instance);
// Creates the topmost popup of the screen's size.  `app` must outlive it.
HWND CreateCanvasWindow(AppState &app);

// Repaints a part of the canvas (NULL: all of it) at once, without erasing
// the background first.
void RedrawCanvas(HWND canvas, const RECT *area = nullptr);
// Sets the class cursor (shown wherever the pointer goes over the canvas)
// and, when `now`, the current cursor as well.
void SetCanvasCursor(HWND canvas, HCURSOR cursor, bool now);

// Asks the canvas to put its bars and Bristler's dialogs back over it once
// the messages now queued are handled (showing them again leaves them where
// they were: under the canvas).
void RaiseToolBarsSoon(HWND canvas);

// ---- handlers: canvas_lifecycle.cpp
LRESULT OnCreate(AppState &app, HWND canvas);
void OnClose(AppState &app);
void OnDestroy(AppState &app);

// ---- canvas_commands.cpp
void OnCommand(AppState &app, int id, LPARAM param);
// Selects the kids pen of the settings ("CurrentPen", "CurrentPenSize")
// in the colour of the colour bar.
void SelectKidsPen(AppState &app);

// ---- canvas_paint.cpp
void OnPaint(AppState &app);
// Draws a part of the canvas picture on the window now, without the round
// of invalidating and WM_PAINT: what a stroke shows while the button is
// down.  Parts covered by other windows stay as they are.
void ShowCanvasArea(AppState &app, const RECT &area);
void OnActivate(AppState &app, WPARAM state);

// ---- canvas_mouse.cpp
void OnLeftButtonDown(AppState &app, WPARAM keys, LPARAM position);
void OnLeftButtonUp(AppState &app, WPARAM keys, LPARAM position);
void OnRightButtonDown(AppState &app, WPARAM keys, LPARAM position);
void OnRightButtonUp(AppState &app, WPARAM keys, LPARAM position);
void OnMouseMove(AppState &app, WPARAM keys, LPARAM position);
// The autosave's timer: the page is written when it is due.
void OnAutosaveTimer(AppState &app);
// Ends a left drag under way (the brush lets go of the canvas's bits) and
// releases the mouse, before anything replaces or frees the canvas.  What
// the drag (or an eraser drag) changed so far becomes an undo step.
void EndRunningStroke(AppState &app);

}  // namespace pintora
