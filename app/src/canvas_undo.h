// Undo and redo of the canvas (Ctrl+Z, Ctrl+Y): the link between the
// canvas's DIB sections and the history kernel (undo_history.h).
//
// A step is a stroke (a left drag with the brush, a right drag with the
// eraser), or one of the commands that change the canvas at once: clear,
// white paper, paste, the pen bar's clear.  A new background (a new
// capture, kids-mode paper) or another page starts a new history.
#pragma once

#include <windows.h>

#include "undo_history.h"

namespace pintora {

struct AppState;

struct CanvasUndo {
    UndoHistory history{size_t{64} << 20};
    CanvasShadow shadow;
    // What the stroke under way has changed so far.
    CanvasRect pending;
};

// An empty history for the canvas as it is now, under the cap of the
// "UndoMegabytes" setting.
void StartNewHistory(AppState &app);
// A stroke, or the eraser, has changed `area` of the canvas.
void NoteStrokeArea(AppState &app, const RECT &area);
// The stroke has ended: what it changed becomes one step.
void RecordStroke(AppState &app);
// A command has changed the canvas, anywhere: the pixels that differ
// become one step.  `whiteBefore` is the white-paper state before it;
// `background`, when the command replaced the background too, its pixels
// from before (CaptureBackground).
void RecordCommand(AppState &app, bool whiteBefore, Patch *background = nullptr);
// All of the background, taken before a paste replaces it.
Patch CaptureBackground(const AppState &app);

// Ctrl+Z and Ctrl+Y: nothing while the canvas is hidden (the end bar
// shows the page as it was saved).
void UndoCanvas(AppState &app);
void RedoCanvas(AppState &app);

}  // namespace pintora
