// Opens the brush settings dialog for a look (and a screen shot) by hand:
//     cd build/dist && wine ../tests/bristler_show_dialog.exe [brush] [seconds]
// Bristler searches the current folder for plug-ins, selects the brush of
// the given name (UTF-8; the airbrush by default) in normal mode over a
// large owner window, and ends after the given seconds (10).
#include <windows.h>

#include <cstdlib>
#include <string>

#include "bristler.h"

int main(int argc, char **argv) {
    const char *brush = argc > 1 ? argv[1] : u8"エアブラシ";
    const int seconds = argc > 2 ? std::atoi(argv[2]) : 10;
    HMODULE bristler = LoadLibraryW(L"Bristler.dll");
    if (!bristler) return 2;
    auto init = reinterpret_cast<decltype(&InitBrushPlugInDLL)>(
        reinterpret_cast<void *>(GetProcAddress(bristler, MAKEINTRESOURCEA(1))));
    auto end = reinterpret_cast<decltype(&EndBrushPlugInDLL)>(
        reinterpret_cast<void *>(GetProcAddress(bristler, MAKEINTRESOURCEA(2))));
    auto select = reinterpret_cast<decltype(&SelectPlugInBrushEx)>(
        reinterpret_cast<void *>(GetProcAddress(bristler, MAKEINTRESOURCEA(6))));
    if (!init || !end || !select) return 3;

    HWND owner = CreateWindowExW(0, L"Static", L"", WS_POPUP | WS_VISIBLE | WS_BORDER, 20, 20, 600, 420, nullptr,
                                 nullptr, nullptr, nullptr);
    // The owner's activation reaches the display a moment later and raises
    // it there: let that happen before the dialog opens over it.
    for (const DWORD start = GetTickCount(); GetTickCount() - start < 500;) {
        MSG pending;
        while (PeekMessageW(&pending, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&pending);
        Sleep(20);
    }
    auto *manager = static_cast<PlugInBrushManager *>(GlobalAlloc(GPTR, sizeof(PlugInBrushManager)));
    char folder[MAX_PATH] = "";
    GetCurrentDirectoryA(MAX_PATH, folder);
    if (!manager || init(manager, folder, owner, nullptr, 0) != 1) return 4;
    const COLORREF orange = 0x020080FF;
    // Size 40, density 60; the values are kept within the brush's ranges.
    if (select(manager, brush, 40, 60, 1, &orange, 1, nullptr) != 1) return 5;

    SetTimer(nullptr, 1, static_cast<UINT>(seconds) * 1000, nullptr);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (message.message == WM_TIMER && message.hwnd == nullptr) break;
        if (manager->settingsDialog && IsDialogMessageW(manager->settingsDialog, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    end(manager);
    GlobalFree(manager);
    DestroyWindow(owner);
    return 0;
}
