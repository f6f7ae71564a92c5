// The mouse on the canvas: a left drag paints with the current brush, a
// right drag (or the eraser end of a tablet pen) erases.
#include <windowsx.h>

#include "app_state.h"
#include "canvas_window.h"
#include "erase.h"
#include "canvas_undo.h"
#include "autosave.h"

namespace pintora {
namespace {

// Positions are the signed 16-bit halves of the message parameter.
POINT PointOf(LPARAM position) { return {GET_X_LPARAM(position), GET_Y_LPARAM(position)}; }

// The key flags of the mouse message (MK_*), handed to the brush: Shift
// keeps the stroke straight, Ctrl picks a colour.
UINT KeyFlags(WPARAM keys) { return static_cast<UINT>(keys) & 0xFFFF; }

void RedrawPainted(AppState &app, const RECT &dirty) { ShowCanvasArea(app, dirty); }

void ShowEraserCursor(AppState &app) { SetCursor(app.eraserCursor); }

}  // namespace

void OnLeftButtonDown(AppState &app, WPARAM keys, LPARAM position) {
    SetFocus(app.canvas);
    SetCapture(app.canvas);
    const POINT p = PointOf(position);
    if (!BrushManager::TabletEraser()) {
        RECT dirty{};
        if (app.brushes.StartStroke(app.canvas, app.canvasPicture, p, KeyFlags(keys), &dirty)) {
            app.strokeRunning = true;
            app.lastStrokePoint = p;
            NoteStrokeArea(app, dirty);
            RedrawPainted(app, dirty);
        }
    } else {
        ShowEraserCursor(app);
        app.erasing = true;
        EraseTo(app, p, true);
    }
}

// The end of a drag: what it changed becomes one undo step, and a due
// autosave is written now, between strokes.
void EndOfDrag(AppState &app) {
    RecordStroke(app);
    AutosaveIfDue(app);
}

void OnAutosaveTimer(AppState &app) {
    KillTimer(app.canvas, kAutosaveTimer);
    app.autosave.timerArmed = false;
    AutosaveIfDue(app);
}

// The capture is released only when no other button still drags: a right
// click during a left stroke must leave the stroke its capture, or the
// left release could go to another window and the stroke never end.
void OnLeftButtonUp(AppState &app, WPARAM keys, LPARAM position) {
    if (!BrushManager::TabletEraser()) app.brushes.EndStroke(PointOf(position));
    app.strokeRunning = false;
    if (!(keys & MK_RBUTTON)) {
        app.erasing = false;
        ReleaseCapture();
    }
    EndOfDrag(app);
}

void EndRunningStroke(AppState &app) {
    if (app.strokeRunning) {
        app.strokeRunning = false;
        app.brushes.EndStroke(app.lastStrokePoint);
        if (GetCapture() == app.canvas) ReleaseCapture();
    }
    // An eraser drag goes on, but what it has done so far is one step.
    RecordStroke(app);
}

void OnRightButtonDown(AppState &app, WPARAM, LPARAM position) {
    ShowEraserCursor(app);
    SetFocus(app.canvas);
    SetCapture(app.canvas);
    app.erasing = true;
    EraseTo(app, PointOf(position), true);
}

void OnRightButtonUp(AppState &app, WPARAM keys, LPARAM) {
    if (!(keys & MK_LBUTTON)) ReleaseCapture();
    app.erasing = false;
    SetCanvasCursor(app.canvas, app.brushCursor, false);
    EndOfDrag(app);
}

void OnMouseMove(AppState &app, WPARAM keys, LPARAM position) {
    const POINT p = PointOf(position);
    if (keys & MK_LBUTTON) {
        if (!BrushManager::TabletEraser()) {
            RECT dirty{};
            if (app.strokeRunning) app.lastStrokePoint = p;
            if (app.brushes.DragStroke(p, &dirty)) {
                NoteStrokeArea(app, dirty);
                RedrawPainted(app, dirty);
            }
        } else {
            EraseTo(app, p, false);
        }
    } else if (keys & MK_RBUTTON) {
        EraseTo(app, p, false);
    } else {
        // Hovering: follow the tablet pen's end, changing the cursor only
        // when the end in use changes.
        const int eraser = BrushManager::TabletEraser() ? 1 : 0;
        if (eraser != app.lastTabletEraser) {
            SetCanvasCursor(app.canvas, eraser ? app.eraserCursor : app.brushCursor, true);
            app.lastTabletEraser = eraser;
        }
    }
}

}  // namespace pintora
