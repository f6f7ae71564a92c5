#include "autosave.h"

#include <string>

#include "app_state.h"
#include "dibwork.h"
#include "page_store.h"
#include "pages.h"

namespace pintora {
namespace {

DWORD Interval(const AppState &app) { return static_cast<DWORD>(app.settings.autoSaveSeconds) * 1000; }

void Disarm(AppState &app) {
    if (app.autosave.timerArmed && app.canvas) KillTimer(app.canvas, kAutosaveTimer);
    app.autosave.timerArmed = false;
}

// The timer fires when the time since the last write has passed.
void Arm(AppState &app) {
    if (!app.canvas) return;
    const DWORD elapsed = GetTickCount() - app.autosave.lastWrite;
    const DWORD interval = Interval(app);
    const DWORD delay = elapsed >= interval ? 0 : interval - elapsed;
    SetTimer(app.canvas, kAutosaveTimer, delay < 10 ? 10 : delay, nullptr);
    app.autosave.timerArmed = true;
}

// Writes the copy of the canvas as the page, then the marker naming it.
// The copy belongs to the thread.
void WritePage(HBITMAP copy, std::string folder, bool kids, int page) {
    if (SavePageFiles(folder, kids, page, copy)) WriteAutosaveMarker(folder, kids, page);
    FreeDIBitmap(&copy);
}

}  // namespace

Autosave::~Autosave() {
    if (writer.joinable()) writer.join();
}

void StartNewPage(AppState &app) {
    Disarm(app);
    app.autosave.changed = false;
    app.autosave.lastWrite = GetTickCount();
}

void NoteCanvasChanged(AppState &app) {
    app.autosave.changed = true;
    if (!app.autosave.timerArmed) Arm(app);
}

void AutosaveIfDue(AppState &app) {
    Autosave &a = app.autosave;
    // A drag under way: its end comes back here.
    if (!a.changed || !app.canvas || !app.canvasPicture || app.strokeRunning || app.erasing) return;
    Disarm(app);
    if (GetTickCount() - a.lastWrite < Interval(app) || a.writing->load()) {
        // Too early, or the last write is still going (a slow disk): later.
        Arm(app);
        return;
    }
    HBITMAP copy = CopyDIBitmap(app.canvasPicture);
    if (!copy) {
        a.lastWrite = GetTickCount();
        Arm(app);
        return;
    }
    if (a.writer.joinable()) a.writer.join();  // done: `writing` is clear
    a.changed = false;
    a.lastWrite = GetTickCount();
    a.writing->store(true);
    auto writing = a.writing;
    try {
        a.writer = std::thread([copy, folder = ProgramFolder(), kids = app.kidsFlag,
                                page = CurrentPageIndex(app), writing] {
            WritePage(copy, folder, kids, page);
            writing->store(false);
        });
    } catch (...) {
        // No thread to be had: the page stays as it is on disk until the
        // next try.
        FreeDIBitmap(&copy);
        writing->store(false);
        a.changed = true;
        Arm(app);
    }
}

void FinishAutosave(AppState &app) {
    if (app.autosave.writer.joinable()) app.autosave.writer.join();
}

void NotePageWritten(AppState &app) {
    Disarm(app);
    app.autosave.changed = false;
    app.autosave.lastWrite = GetTickCount();
}

}  // namespace pintora
