// PintoraKids: the program's entry point.  Welcome box on the first run,
// the canvas window class, the command line, the settings, the canvas and
// its message loop; the settings are written when the loop ends.
#include <windows.h>

#include <commctrl.h>

#include "app_state.h"
#include "canvas_window.h"
#include "resource_ids.h"
#include "settings_store.h"
#include "tool_windows.h"

namespace pintora {
namespace {

void WelcomeOnFirstRun(HINSTANCE instance, const SettingsStore &store) {
    if (store.ReadFirstRun()) return;
    DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_WELCOME), nullptr, OkCancelBoxProc, 0);
    store.WriteFirstRun();
}

void InitCommonControlsOnce() {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
}

int RunMessageLoop(HWND canvas, HACCEL accelerators) {
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (TranslateAcceleratorW(canvas, accelerators, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}

int Run(HINSTANCE instance, HINSTANCE previous, const char *commandLine) {
    SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_WAIT)));
    InitCommonControlsOnce();

    const SettingsStore store = SettingsStore::ForCurrentUser();
    WelcomeOnFirstRun(instance, store);
    if (!previous) RegisterCanvasClass(instance);

    AppState app;
    app.instance = instance;
    app.startMode = ParseStartMode(commandLine ? commandLine : "");

    HACCEL accelerators = LoadAcceleratorsW(instance, MAKEINTRESOURCEW(IDA_CANVAS));
    if (!accelerators) return 0;
    app.settings = store.ReadRunSettings();

    HWND canvas = CreateCanvasWindow(app);
    if (!canvas) return 0;
    SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW)));
    const int code = RunMessageLoop(canvas, accelerators);
    store.WriteRunSettings(app.settings);
    return code;
}

}  // namespace
}  // namespace pintora

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int) {
    return pintora::Run(instance, previous, commandLine);
}
