// Opens the modal colour dialog for a look (and a screen shot) by hand:
//     chromell_show_dialog.exe <page 0..2> [seconds] [popup]
// The dialog opens on the page over a small owner window with an orange
// colour and a history, and cancels itself after the given seconds (3).
// With a third argument it also opens its popup after a second: the
// history grid on pages 0 and 2, the swatch grid of a corner on page 1.
#include <windows.h>

#include <cstdlib>

#include "chromell.h"

namespace {

HWND g_dialog = nullptr;

BOOL CALLBACK FindDialog(HWND window, LPARAM) {
    char name[16] = "";
    GetClassNameA(window, name, sizeof(name));
    if (lstrcmpA(name, "#32770") == 0 && IsWindowVisible(window)) g_dialog = window;
    return g_dialog == nullptr;
}

void CALLBACK OpenPopup(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    EnumThreadWindows(GetCurrentThreadId(), FindDialog, 0);
    if (!g_dialog) return;
    auto *state = reinterpret_cast<ColorDialogState *>(GetWindowLongPtrW(g_dialog, DWLP_USER));
    RECT r{};
    GetWindowRect(g_dialog, &r);
    SetCursorPos(r.right + 10, r.top);
    if (state->page == CHROMELL_PAGE_GRADIENT) {
        SendMessageW(g_dialog, WM_COMMAND, MAKEWPARAM(CHROMELL_ID_CORNER_TR, BN_CLICKED), 0);
    } else {
        SendMessageW(g_dialog, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(g_dialog), MAKELPARAM(r.right + 10, r.top));
    }
}

void CALLBACK EndDialogSoon(HWND, UINT, UINT_PTR, DWORD) {
    EnumThreadWindows(GetCurrentThreadId(), FindDialog, 0);
    if (g_dialog) PostMessageW(g_dialog, WM_COMMAND, IDCANCEL, 0);
}

}  // namespace

int main(int argc, char **argv) {
    const int page = argc > 1 ? std::atoi(argv[1]) % 3 : 0;
    const int seconds = argc > 2 ? std::atoi(argv[2]) : 3;
    HMODULE chromell = LoadLibraryW(L"Chromell.dll");
    if (!chromell) return 2;
    auto floating = reinterpret_cast<SelectHSBColorFloatProc>(
        reinterpret_cast<void *>(GetProcAddress(chromell, MAKEINTRESOURCEA(CHROMELL_ORDINAL_SELECT_FLOAT))));
    auto modal = reinterpret_cast<SelectHSBColorMRUProc>(
        reinterpret_cast<void *>(GetProcAddress(chromell, "_SelectHSBColorMRU@16")));
    if (!floating || !modal) return 3;

    HWND owner = CreateWindowExW(0, L"Static", L"", WS_POPUP | WS_VISIBLE | WS_BORDER, 40, 40, 200, 60, nullptr,
                                 nullptr, nullptr, nullptr);
    // The dialog opens on the page the last window was closed on.
    COLORREF color = 0x020080FF;
    HWND first = floating(owner, &color, nullptr);
    for (int i = 0; i < 3 && first; ++i) {
        auto *state = reinterpret_cast<ColorDialogState *>(GetWindowLongPtrW(first, DWLP_USER));
        if (state->page == page) break;
        SendMessageW(first, WM_COMMAND, MAKEWPARAM(CHROMELL_ID_PAGE_BUTTON, BN_CLICKED), 0);
    }
    if (first) SendMessageW(first, CHROMELL_WM_CLOSE_QUIETLY, 0, 0);

    COLORREF history[CHROMELL_HISTORY_LENGTH] = {};
    POINT where{60, 120};
    SetTimer(nullptr, 0, static_cast<UINT>(seconds) * 1000, EndDialogSoon);
    if (argc > 3) SetTimer(nullptr, 0, 1000, OpenPopup);
    modal(owner, &color, &where, history);
    DestroyWindow(owner);
    return 0;
}
