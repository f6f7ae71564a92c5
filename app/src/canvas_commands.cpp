// The commands of the canvas window: accelerators, the bars' buttons, the
// start mode and Bristler's brush menu all arrive as WM_COMMAND.
#include "app_state.h"
#include "canvas_pictures.h"
#include "canvas_undo.h"
#include "canvas_window.h"
#include "clipboard_paste.h"
#include "dibwork.h"
#include "pages.h"
#include "resource_ids.h"
#include "text.h"

namespace pintora {
namespace {

HCURSOR WaitCursor() { return SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_WAIT))); }

// 1000, 1006: the end bar replaces the canvas.
void EndDrawing(AppState &app) {
    WaitCursor();
    SavePageAtEnd(app);
    DestroyToolBars(app);
    if (!CreateToolBar(app, ToolBar::kEnd)) {
        // Only when the bar cannot be made at all (no memory): a hidden
        // canvas without it could never be reached again.
        DestroyWindow(app.canvas);
        return;
    }
    ShowWindow(app.canvas, SW_HIDE);
    app.brushes.ShowDialogs(false);
}

// Shows the canvas and paints it at once, before the bars and the brush's
// dialogs are made: the picture is what the user waits for, and the bars,
// Bristler's dialog and the colour window come up over it.
void ShowCanvasNow(AppState &app) {
    ShowWindow(app.canvas, SW_SHOW);
    UpdateWindow(app.canvas);
}

// 1001: normal mode over a fresh picture of the screen.
void StartNormalMode(AppState &app) {
    app.kidsFlag = false;
    WaitCursor();
    ShowWindow(app.canvas, SW_HIDE);
    DestroyActionOrEndBar(app);
    MakeScreenBackground(app);
    ResumeAfterCrash(app);
    StartNewHistory(app);
    ShowCanvasNow(app);
    CreateToolBar(app, ToolBar::kAction);
    CreateToolBar(app, ToolBar::kPage);
    app.brushes.Select(-1, &app.brushCursor);
    SetCanvasCursor(app.canvas, app.brushCursor, true);
    app.brushes.ShowDialogs(true);
    RaiseToolBarsSoon(app.canvas);
}

// 1007: white paper; erasing paints white from now on.
void FillWhite(AppState &app) {
    const bool whiteBefore = app.whiteFlag;
    if (app.canvasPicture) MetaDIBFillWhite(nullptr, app.canvasPicture);
    RedrawCanvas(app.canvas);
    app.whiteFlag = true;
    RecordCommand(app, whiteBefore);
}

// The kids-mode warning, once per installation.
void WarnAboutKidsModeOnce(AppState &app) {
    if (app.settings.kidsRunAlready) return;
    const std::wstring text = LoadWideString(app.instance, IDS_KIDS_WARNING);
    const std::wstring caption = LoadWideString(app.instance, IDS_KIDS_WARNING_CAPTION);
    MessageBoxW(nullptr, text.c_str(), caption.c_str(), MB_OK | MB_ICONWARNING | MB_SYSTEMMODAL);
    app.settings.kidsRunAlready = 1;
}

// 1009: kids mode with the option bits of `options`.
void StartKidsMode(AppState &app, LPARAM options) {
    app.kidsFlag = true;
    WarnAboutKidsModeOnce(app);
    WaitCursor();
    ShowWindow(app.canvas, SW_HIDE);
    DestroyActionOrEndBar(app);
    if (options & KIDS_OPTION_PEN_BAR) CreateToolBar(app, ToolBar::kPen);
    CreateToolBar(app, ToolBar::kColor);
    if (options & KIDS_OPTION_SIZE_BAR) CreateToolBar(app, ToolBar::kSize);
    if (options & KIDS_OPTION_FLAT_PAPER) {
        MakeFlatBackground(app);
    } else {
        MakePaperBackground(app);
    }
    app.whiteFlag = false;
    ResumeAfterCrash(app);
    StartNewHistory(app);
    CreateToolBar(app, ToolBar::kPage);
    ShowWindow(app.canvas, SW_SHOW);
    SelectKidsPen(app);
    SetCanvasCursor(app.canvas, app.brushCursor, true);
}

// 40004: the tips, owned by the action or end bar when one shows.
void ShowTips(AppState &app) {
    if (app.tools.actionOrEnd) ShowTipsDialog(app, app.tools.actionOrEnd);
}

// 40005: clear back to the background.
void Clear(AppState &app) {
    const bool whiteBefore = app.whiteFlag;
    RestoreBackground(app);
    RedrawCanvas(app.canvas);
    app.whiteFlag = false;
    RecordCommand(app, whiteBefore);
}

// 8000 + n: brush n of Bristler's menu.  Ids beyond the brush table are
// ignored: the manager takes the index as given.
void SelectMenuBrush(AppState &app, int id) {
    const int index = id - IDM_BRUSH_FIRST;
    if (index >= app.brushes.BrushCount()) return;
    app.brushes.Select(index, &app.brushCursor);
    SetCanvasCursor(app.canvas, app.brushCursor, false);
}

// Commands that keep the canvas picture as it is; every other one may
// replace or free it.
bool KeepsCanvas(int id) { return id == IDM_SAVE_AS || id == IDM_TIPS; }

}  // namespace

void SelectKidsPen(AppState &app) {
    const KidsPen &pen = PenTable()[app.settings.currentPen];
    const std::string name = LoadAnsiString(app.instance, static_cast<UINT>(pen.brushNameId));
    const COLORREF color = ColorTable()[app.colorIndex].Value();
    // A pen whose brush is not installed keeps the brush there is.
    app.brushes.SelectByName(name.c_str(), KidsPenSize(pen, app.settings.currentPenSize), pen.density, pen.third,
                             color, &app.brushCursor);
}

void OnCommand(AppState &app, int id, LPARAM param) {
    // A key pressed in the middle of a drag: the stroke ends first, so the
    // brush never paints into a picture that is gone.
    if (!KeepsCanvas(id)) EndRunningStroke(app);
    switch (id) {
        case IDM_END:
        case IDM_END_KEY: EndDrawing(app); return;
        case IDM_NORMAL_MODE: StartNormalMode(app); return;
        case IDM_SAVE_AS: SaveCanvasAs(app); return;
        case IDM_WHITE: FillWhite(app); return;
        case IDM_KIDS_MODE: StartKidsMode(app, param); return;
        case IDM_PASTE: PasteScreenShot(app); return;
        case IDM_TIPS: ShowTips(app); return;
        case IDM_CLEAR: Clear(app); return;
        case IDM_UNDO: UndoCanvas(app); return;
        case IDM_REDO: RedoCanvas(app); return;
        default:
            if (id >= IDM_BRUSH_FIRST) SelectMenuBrush(app, id);
            return;
    }
}

}  // namespace pintora
