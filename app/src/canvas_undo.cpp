#include "canvas_undo.h"

#include "app_state.h"
#include "autosave.h"
#include "canvas_window.h"
#include "dibwork.h"

namespace pintora {
namespace {

// The pixels of a 24-bit DIB section, top row first (its rows are stored
// bottom-up, padded to four bytes).  An empty plane for anything else.
PixelPlane PlaneOf(HBITMAP picture) {
    BITMAPINFOHEADER header{};
    void *bits = nullptr;
    if (!picture || !GetDIBitmapInfo(picture, &header, &bits) || !bits || header.biBitCount != 24 ||
        header.biWidth <= 0 || header.biHeight == 0) {
        return {};
    }
    const int32_t height = header.biHeight < 0 ? -header.biHeight : header.biHeight;
    const auto stride = static_cast<ptrdiff_t>((header.biWidth * 3 + 3) & ~3);
    auto *base = static_cast<uint8_t *>(bits);
    if (header.biHeight < 0) return {base, header.biWidth, height, stride};
    return {base + stride * (height - 1), header.biWidth, height, -stride};
}

CanvasPlanes PlanesOf(const AppState &app) {
    // GDI may still hold drawing for the sections in its batch.
    GdiFlush();
    return {PlaneOf(app.canvasPicture), PlaneOf(app.backgroundPicture)};
}

void Record(AppState &app, Step step) {
    app.undo.history.Record(std::move(step));
    NoteCanvasChanged(app);
}

void Move(AppState &app, bool undo) {
    if (!app.canvas || !IsWindowVisible(app.canvas)) return;
    const CanvasPlanes planes = PlanesOf(app);
    UndoHistory &history = app.undo.history;
    const auto changed = undo ? history.Undo(planes, app.whiteFlag) : history.Redo(planes, app.whiteFlag);
    if (!changed) return;
    app.undo.shadow.Refresh(planes.canvas, *changed);
    if (!changed->Empty()) {
        const RECT area{changed->left, changed->top, changed->right, changed->bottom};
        RedrawCanvas(app.canvas, &area);
    }
    NoteCanvasChanged(app);
}

}  // namespace

void StartNewHistory(AppState &app) {
    app.undo.history = UndoHistory(static_cast<size_t>(app.settings.undoMegabytes) << 20);
    app.undo.pending = {};
    app.undo.shadow.Reset(PlanesOf(app).canvas);
    StartNewPage(app);
}

void NoteStrokeArea(AppState &app, const RECT &area) {
    app.undo.pending = UnionRect(app.undo.pending, {area.left, area.top, area.right, area.bottom});
}

void RecordStroke(AppState &app) {
    const CanvasRect area = app.undo.pending;
    app.undo.pending = {};
    if (area.Empty()) return;
    const PixelPlane canvas = PlanesOf(app).canvas;
    if (!app.undo.shadow.Fits(canvas)) {
        // No step to be had, but the page has still changed.
        NoteCanvasChanged(app);
        return;
    }
    Step step;
    step.whiteFlag = app.whiteFlag;  // a stroke leaves the white paper as it is
    step.patches.push_back(app.undo.shadow.TakeChange(canvas, area));
    Record(app, std::move(step));
}

void RecordCommand(AppState &app, bool whiteBefore, Patch *background) {
    // A stroke cannot run while a command does (commands end it first).
    app.undo.pending = {};
    const PixelPlane canvas = PlanesOf(app).canvas;
    if (!app.undo.shadow.Fits(canvas)) {
        // A picture of another size: nothing before it can be laid back.
        StartNewHistory(app);
        NoteCanvasChanged(app);
        return;
    }
    Step step;
    step.whiteFlag = whiteBefore;
    if (background) step.patches.push_back(std::move(*background));
    const CanvasRect changed = app.undo.shadow.ChangedBounds(canvas);
    if (!changed.Empty()) step.patches.push_back(app.undo.shadow.TakeChange(canvas, changed));
    if (step.patches.empty() && whiteBefore == app.whiteFlag) return;  // nothing changed
    Record(app, std::move(step));
}

Patch CaptureBackground(const AppState &app) {
    const PixelPlane background = PlanesOf(app).background;
    return Patch::Capture(Layer::kBackground, background, {0, 0, background.width, background.height});
}

void UndoCanvas(AppState &app) { Move(app, true); }
void RedoCanvas(AppState &app) { Move(app, false); }

}  // namespace pintora
