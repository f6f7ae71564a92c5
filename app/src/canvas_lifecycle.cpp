// Creation and end of the canvas window.
#include <windows.h>

#include <imm.h>

#include "app_state.h"
#include "autosave.h"
#include "canvas_pictures.h"
#include "canvas_window.h"
#include "dibwork.h"
#include "pages.h"
#include "resource_ids.h"

namespace pintora {
namespace {

constexpr int kSetupDirectoryBytes = 256;
constexpr const char *kSettingsKey = "Software\\Quorvane Software Lab.\\Tessaro\\Settings";
constexpr const char *kSetupDirectoryValue = "SetupDirectory";

// The installation folder an installer registered, where the brush
// plug-ins live.  False when the key or value is missing, not a string, or
// does not fit.
bool ReadRegisteredSetupDirectory(char (&directory)[kSetupDirectoryBytes]) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    DWORD type = 0;
    DWORD bytes = sizeof directory;
    const LONG status = RegQueryValueExA(key, kSetupDirectoryValue, nullptr, &type,
                                         reinterpret_cast<BYTE *>(directory), &bytes);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ) || bytes == 0) return false;
    // A value stored without its terminating NUL is cut at the buffer's end.
    directory[bytes < sizeof directory ? bytes : sizeof directory - 1] = '\0';
    return directory[0] != '\0';
}

void SetupDirectory(char (&directory)[kSetupDirectoryBytes]) {
    if (!ReadRegisteredSetupDirectory(directory)) GetCurrentModulePath(directory, kSetupDirectoryBytes);
}

// The start mode's first commands, as if the user had given them.
void RunStartMode(AppState &app) {
    switch (app.startMode) {
        case StartMode::kNormal:
            SendMessageW(app.canvas, WM_COMMAND, IDM_NORMAL_MODE, 0);
            break;
        case StartMode::kWhite:
            SendMessageW(app.canvas, WM_COMMAND, IDM_NORMAL_MODE, 0);
            SendMessageW(app.canvas, WM_COMMAND, IDM_WHITE, 0);
            break;
        case StartMode::kKids:
            // The colour bar only, on the paper texture.
            SendMessageW(app.canvas, WM_COMMAND, IDM_KIDS_MODE, 0);
            break;
        case StartMode::kEndBar:
            PostMessageW(app.canvas, WM_COMMAND, IDM_END, 0);
            break;
    }
}

}  // namespace

LRESULT OnCreate(AppState &app, HWND canvas) {
    app.canvas = canvas;
    // The canvas takes no text input.
    ImmAssociateContext(canvas, nullptr);

    if (!app.brushes.exists()) {
        if (!app.brushes.Allocate()) return -1;
        char directory[kSetupDirectoryBytes] = "";
        SetupDirectory(directory);
        // No brush: Bristler has told the user; the window is not made and
        // the program ends.
        if (!app.brushes.Start(directory, canvas)) return -1;
    }
    app.eraserCursor = LoadCursorW(app.instance, MAKEINTRESOURCEW(IDC_ERASER));
    RunStartMode(app);
    SetCanvasCursor(canvas, app.brushCursor, false);
    return 0;
}

void OnClose(AppState &app) {
    EndRunningStroke(app);
    SavePageAtEnd(app);
    DestroyWindow(app.canvas);
}

void OnDestroy(AppState &app) {
    EndRunningStroke(app);
    FinishAutosave(app);
    KillTimer(app.canvas, kAutosaveTimer);
    app.autosave.timerArmed = false;
    FreePictures(app);
    if (app.brushes.exists()) app.brushes.End();
    if (app.palette) DeleteObject(app.palette);
    app.palette = nullptr;
    app.canvas = nullptr;
    PostQuitMessage(0);
}

}  // namespace pintora
