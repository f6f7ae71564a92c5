// The page that survives a crash: while the canvas has changed since the
// page was last written, the page is written again, at most once per
// "AutoSaveSeconds" (30 s) and only between strokes.  The canvas is copied
// on the user-interface thread (a few milliseconds); a writer thread puts
// the copy on disk through the page files' temporary-file path, so the
// next stroke never waits for the disk.
//
// Each autosave also leaves the mode's marker (page_files.h) naming the
// page; a run that ends normally removes it.  A start that finds a marker
// knows that the run before it crashed: kids mode opens that page again
// with its drawing, normal mode (whose canvas is a fresh capture) moves
// on to the next page so that the crashed page is kept.
#pragma once

#include <windows.h>

#include <atomic>
#include <memory>
#include <thread>

namespace pintora {

struct AppState;

struct Autosave {
    Autosave() = default;
    ~Autosave();
    Autosave(const Autosave &) = delete;
    Autosave &operator=(const Autosave &) = delete;

    bool changed = false;      // the canvas differs from the page on disk
    DWORD lastWrite = 0;       // tick count of the last write (or page start)
    bool timerArmed = false;
    std::thread writer;
    std::shared_ptr<std::atomic<bool>> writing = std::make_shared<std::atomic<bool>>(false);
};

// The timer that brings the next autosave (WM_TIMER of the canvas).
constexpr UINT_PTR kAutosaveTimer = 0x5A5E;

// A new page shows (a new history): it counts as written now.
void StartNewPage(AppState &app);
// The canvas has changed: an autosave is due once the time has passed.
void NoteCanvasChanged(AppState &app);
// WM_TIMER, and the end of every stroke: writes the page when it is due
// and no stroke is under way.
void AutosaveIfDue(AppState &app);
// Waits until the writer thread has finished (before the page is written
// on the user-interface thread, and before the program ends).
void FinishAutosave(AppState &app);
// The page was written on the user-interface thread.
void NotePageWritten(AppState &app);

}  // namespace pintora
