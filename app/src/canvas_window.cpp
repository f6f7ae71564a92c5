#include "canvas_window.h"

#include "app_state.h"
#include "resource_ids.h"

namespace pintora {
namespace {

// Posted on activation: the bars go back above the canvas once the
// activation has lifted it.
constexpr UINT kRaiseBarsMessage = WM_APP + 2;

AppState *StateOf(HWND window) { return reinterpret_cast<AppState *>(GetWindowLongPtrW(window, GWLP_USERDATA)); }

// The state arrives with WM_NCCREATE, before any handler needs it.
AppState *AttachState(HWND window, LPARAM createParam) {
    auto *create = reinterpret_cast<CREATESTRUCTW *>(createParam);
    auto *app = static_cast<AppState *>(create->lpCreateParams);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(app));
    return app;
}

LRESULT CALLBACK CanvasProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) AttachState(window, lParam);
    AppState *app = StateOf(window);
    if (!app) return DefWindowProcW(window, message, wParam, lParam);

    switch (message) {
        case WM_CREATE: return OnCreate(*app, window);
        case WM_COMMAND: OnCommand(*app, LOWORD(wParam), lParam); return 0;
        case WM_PAINT: OnPaint(*app); return 0;
        case WM_ACTIVATE:
            // The default handling then gives the canvas the keyboard focus,
            // where the accelerators' keys arrive.
            OnActivate(*app, wParam);
            if (LOWORD(wParam) != WA_INACTIVE) RaiseToolBarsSoon(window);
            break;
        case kRaiseBarsMessage: RaiseToolBars(*app); return 0;
        case WM_LBUTTONDOWN: OnLeftButtonDown(*app, wParam, lParam); return 0;
        case WM_LBUTTONUP: OnLeftButtonUp(*app, wParam, lParam); return 0;
        case WM_RBUTTONDOWN: OnRightButtonDown(*app, wParam, lParam); return 0;
        case WM_RBUTTONUP: OnRightButtonUp(*app, wParam, lParam); return 0;
        case WM_MOUSEMOVE: OnMouseMove(*app, wParam, lParam); return 0;
        case WM_TIMER:
            if (wParam == kAutosaveTimer) {
                OnAutosaveTimer(*app);
                return 0;
            }
            break;
        case WM_CLOSE: OnClose(*app); return 0;
        case WM_DESTROY: OnDestroy(*app); return 0;
        case WM_NCDESTROY: SetWindowLongPtrW(window, GWLP_USERDATA, 0); break;
        default: break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

void RaiseToolBarsSoon(HWND canvas) { PostMessageW(canvas, kRaiseBarsMessage, 0, 0); }

bool RegisterCanvasClass(HINSTANCE instance) {
    WNDCLASSW wc{};
    wc.style = CS_GLOBALCLASS | CS_CLASSDC;
    wc.lpfnWndProc = CanvasProc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_PINTORA));
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kCanvasClassName;
    return RegisterClassW(&wc) != 0;
}

HWND CreateCanvasWindow(AppState &app) {
    return CreateWindowExW(WS_EX_TOPMOST, kCanvasClassName, kCanvasClassName, WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS,
                           0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr,
                           app.instance, &app);
}

void RedrawCanvas(HWND canvas, const RECT *area) {
    InvalidateRect(canvas, area, FALSE);
    UpdateWindow(canvas);
}

void SetCanvasCursor(HWND canvas, HCURSOR cursor, bool now) {
    SetClassLongPtrW(canvas, GCLP_HCURSOR, reinterpret_cast<LONG_PTR>(cursor));
    if (now) SetCursor(cursor);
}

}  // namespace pintora
