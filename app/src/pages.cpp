#include "pages.h"

#include <windows.h>
#include <commdlg.h>

#include "app_state.h"
#include "autosave.h"
#include "canvas_pictures.h"
#include "canvas_undo.h"
#include "canvas_window.h"
#include "dibwork.h"
#include "page_files.h"
#include "page_resource_ids.h"
#include "page_store.h"
#include "text.h"

namespace pintora {
namespace {

constexpr DWORD kSaveAsFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;

// The settings value holding the current page of the current mode.
int &CurrentPage(AppState &app) { return app.kidsFlag ? app.settings.lastKidsPage : app.settings.lastNormalPage; }
int CurrentPage(const AppState &app) {
    return app.kidsFlag ? app.settings.lastKidsPage : app.settings.lastNormalPage;
}

// The "save as" filter from the string table, '|' turned into the NULs
// the dialog wants (the string ends with '|': the list ends with two).
std::string SaveAsFilter(HINSTANCE instance) {
    std::string filter = LoadAnsiString(instance, IDS_SAVE_AS_FILTER);
    for (char &c : filter) {
        if (c == '|') c = '\0';
    }
    filter.push_back('\0');
    return filter;
}

// The device's resolution, the size a page must have to be shown.
SIZE DeviceSize() {
    HDC screen = GetDC(nullptr);
    const SIZE size{GetDeviceCaps(screen, HORZRES), GetDeviceCaps(screen, VERTRES)};
    ReleaseDC(nullptr, screen);
    return size;
}

}  // namespace

int CurrentPageIndex(const AppState &app) { return CurrentPage(app); }

bool SaveCurrentPage(AppState &app) {
    // Two writers of one page would share its temporary file.
    FinishAutosave(app);
    // A failed write leaves the previous page as it was; there is nobody
    // to tell while the program ends.
    const bool written = SavePageFiles(ProgramFolder(), app.kidsFlag, CurrentPage(app), app.canvasPicture);
    if (written) NotePageWritten(app);
    return written;
}

void SavePageAtEnd(AppState &app) {
    // A page that could not be written keeps the marker: the next start
    // must not take its autosave for an old page.
    if (SaveCurrentPage(app)) RemoveAutosaveMarker(ProgramFolder(), app.kidsFlag);
}

void ResumeAfterCrash(AppState &app) {
    const std::string folder = ProgramFolder();
    const int crashed = ReadAutosaveMarker(folder, app.kidsFlag);
    if (crashed < 0) return;
    int &page = CurrentPage(app);
    HBITMAP drawing = app.kidsFlag ? LoadPagePicture(folder, true, crashed, DeviceSize()) : nullptr;
    if (!drawing) {
        // Normal mode, or a page this screen cannot show: keep it on disk.
        page = TurnedPage(crashed, true);
        return;
    }
    page = crashed;
    FreeDIBitmap(&app.canvasPicture);
    app.canvasPicture = drawing;
}

void SaveCanvasAs(AppState &app) {
    const std::string filter = SaveAsFilter(app.instance);
    char path[MAX_PATH] = {};
    OPENFILENAMEA record{};
    record.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    record.hwndOwner = app.tools.actionOrEnd ? app.tools.actionOrEnd : app.canvas;
    record.lpstrFilter = filter.c_str();
    record.nFilterIndex = 1;
    record.lpstrFile = path;
    record.nMaxFile = sizeof(path);
    record.Flags = kSaveAsFlags;
    record.lpstrDefExt = "jpg";
    if (!GetSaveFileNameA(&record)) return;
    SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_WAIT)));
    ExportPicture(app.canvasPicture, path, record.nFileExtension);
    SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW)));
}

void TurnPage(AppState &app, bool forward) {
    const HCURSOR previous = SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_WAIT)));
    EndRunningStroke(app);
    SaveCurrentPage(app);
    app.whiteFlag = 0;  // the new page's erasing restores the background
    int &page = CurrentPage(app);
    page = TurnedPage(page, forward);
    FreeDIBitmap(&app.canvasPicture);
    app.canvasPicture = LoadPagePicture(ProgramFolder(), app.kidsFlag, page, DeviceSize());
    // A page never drawn, or drawn on another screen: the background.
    if (!app.canvasPicture && app.backgroundPicture) app.canvasPicture = CopyDIBitmap(app.backgroundPicture);
    StartNewHistory(app);
    RedrawCanvas(app.canvas);
    SetCursor(previous);
}

}  // namespace pintora
