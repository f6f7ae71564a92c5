#include "page_bar.h"

#include "app_state.h"
#include "page_resource_ids.h"
#include "pages.h"

namespace pintora {
namespace {

constexpr int kClientWidth = 64;
constexpr int kClientHeight = 32;
constexpr int kButtonWidth = 32;
constexpr int kButtonHeight = 33;
constexpr wchar_t kPageBarClass[] = L"PintoraPageBar";
// Posted to itself on opening; the bar shows when it arrives, after the
// command that made the bar has shown the canvas (shown later, the canvas
// would cover it).
constexpr UINT kRaiseMessage = WM_APP + 1;

AppState *StateOf(HWND bar) { return reinterpret_cast<AppState *>(GetWindowLongPtrW(bar, DWLP_USER)); }

// A 64 x 32 client area at the right end of the top screen edge, the
// whole bar on the screen, above everything.
void PlaceBar(HWND bar) {
    RECT frame{0, 0, kClientWidth, kClientHeight};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrW(bar, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrW(bar, GWL_EXSTYLE)));
    const int width = frame.right - frame.left, height = frame.bottom - frame.top;
    MoveWindow(GetDlgItem(bar, IDC_PAGE_PREVIOUS), 0, 0, kButtonWidth, kButtonHeight, TRUE);
    MoveWindow(GetDlgItem(bar, IDC_PAGE_NEXT), kButtonWidth, 0, kButtonWidth, kButtonHeight, TRUE);
    SetWindowPos(bar, HWND_TOPMOST, GetSystemMetrics(SM_CXSCREEN) - width, 0, width, height, SWP_NOACTIVATE);
}

void Raise(HWND bar) {
    SetWindowPos(bar, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

BOOL OnInitDialog(HWND bar, LPARAM state) {
    SetWindowLongPtrW(bar, DWLP_USER, state);
    PlaceBar(bar);
    PostMessageW(bar, kRaiseMessage, 0, 0);
    return FALSE;  // the canvas keeps the focus
}

// The arrow of the button, pressed or not.
BOOL OnDrawItem(HWND bar, const DRAWITEMSTRUCT &item) {
    if (item.CtlID != IDC_PAGE_PREVIOUS && item.CtlID != IDC_PAGE_NEXT) return FALSE;
    const bool previous = item.CtlID == IDC_PAGE_PREVIOUS;
    const bool pressed = (item.itemState & ODS_SELECTED) != 0;
    const int id = previous ? (pressed ? IDB_PAGE_PREVIOUS_DOWN : IDB_PAGE_PREVIOUS)
                            : (pressed ? IDB_PAGE_NEXT_DOWN : IDB_PAGE_NEXT);
    const AppState *app = StateOf(bar);
    HBITMAP face = app ? static_cast<HBITMAP>(LoadImageW(app->instance, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, 0))
                       : nullptr;
    if (!face) return FALSE;
    HDC source = CreateCompatibleDC(item.hDC);
    HGDIOBJ old = SelectObject(source, face);
    BitBlt(item.hDC, item.rcItem.left, item.rcItem.top, item.rcItem.right - item.rcItem.left,
           item.rcItem.bottom - item.rcItem.top, source, 0, 0, SRCCOPY);
    SelectObject(source, old);
    DeleteDC(source);
    DeleteObject(face);
    return TRUE;
}

BOOL OnCommand(HWND bar, int id) {
    AppState *app = StateOf(bar);
    if (!app) return FALSE;
    if (id == IDC_PAGE_PREVIOUS || id == IDC_PAGE_NEXT) {
        // The bar never takes the activation, so the keys stay with the
        // canvas.  It stays above the canvas, which the redraw may raise.
        TurnPage(*app, id == IDC_PAGE_NEXT);
        Raise(bar);
        return TRUE;
    }
    return FALSE;
}

}  // namespace

bool RegisterPageBarClass(HINSTANCE instance) {
    WNDCLASSEXW existing{sizeof(existing)};
    if (GetClassInfoExW(instance, kPageBarClass, &existing)) return true;
    WNDCLASSEXW cls{sizeof(cls)};
    cls.lpfnWndProc = DefDlgProcW;
    cls.cbWndExtra = DLGWINDOWEXTRA;
    cls.hInstance = instance;
    cls.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    cls.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    cls.lpszClassName = kPageBarClass;
    return RegisterClassExW(&cls) != 0;
}

INT_PTR CALLBACK PageBarProc(HWND bar, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG: return OnInitDialog(bar, lParam);
        case WM_DRAWITEM: return OnDrawItem(bar, *reinterpret_cast<const DRAWITEMSTRUCT *>(lParam));
        case WM_COMMAND: return OnCommand(bar, LOWORD(wParam));
        case kRaiseMessage: Raise(bar); return TRUE;
        default: return FALSE;
    }
}

}  // namespace pintora
