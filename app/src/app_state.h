// The program's state: one instance, made by WinMain, handed to the canvas
// window at creation and reached by its handlers through the window.
#pragma once

#include <windows.h>

#include "autosave.h"
#include "brush_manager.h"
#include "canvas_undo.h"
#include "eraser.h"
#include "kids_tables.h"
#include "settings_model.h"
#include "start_mode.h"
#include "tool_windows.h"

namespace pintora {

struct AppState {
    HINSTANCE instance = nullptr;
    HWND canvas = nullptr;

    // What erasing restores (the desktop, the paper, a pasted picture) and
    // the drawing, both 24-bit screen-size DIB sections.  The canvas
    // starts as a copy of the background.
    HBITMAP backgroundPicture = nullptr;
    HBITMAP canvasPicture = nullptr;

    BrushManager brushes;
    HCURSOR brushCursor = nullptr;   // the current brush's cursor
    HCURSOR eraserCursor = nullptr;  // cursor 105

    bool kidsFlag = false;   // kids mode: chooses the page folder
    bool whiteFlag = false;  // after the white paper: erasing paints white
    StartMode startMode = StartMode::kNormal;
    // A left drag under way: the brush holds the canvas's bits until the
    // stroke ends.
    bool strokeRunning = false;
    POINT lastStrokePoint{0, 0};
    // A right drag (or the tablet pen's eraser end) under way.
    bool erasing = false;
    int lastTabletEraser = 0;  // last IsTabletEraceMode answer with no button down
    HPALETTE palette = nullptr;
    ToolWindows tools;
    BarFaces faces;
    EraserTrack eraser;
    CanvasUndo undo;
    Autosave autosave;

    Settings settings;
    int colorIndex = kFirstKidsColor;  // colour bar, not stored
};

}  // namespace pintora
