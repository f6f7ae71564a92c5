// The colour window's short-lived windows: the swatch grid of a gradient
// corner (GradBaseWell), the colour history grid (MRUColorWell), the
// preset menu, and the RGBHint tip that shows the numbers while a
// selector drags.
#include <cstdlib>
#include <cwchar>
#include <initializer_list>

#include "chromell_internal.h"

namespace chromell {

WNDPROC SelectorProcedure(int index);

namespace {

constexpr int kSwatchRows = 4;
constexpr int kHistoryColumns = 5;
constexpr int kHistoryRows = 4;

// One open popup grid.
struct Popup {
    ColorDialogState *state;
    bool swatches;       // GradBaseWell; otherwise MRUColorWell
    HWND palette;        // swatches: the palette that gets the colour
    int cornerId;        // swatches: 1015..1018
    int highlight;       // swatches: the highlighted cell
    HBITMAP picture;     // swatches: own picture (the history's is the state's)
};

Popup *PopupOf(HWND window) { return reinterpret_cast<Popup *>(GetWindowLongPtrW(window, GWLP_USERDATA)); }

// A two-segment line from a through b to c, c included.
void Line(HDC dc, COLORREF color, POINT a, POINT b, POINT c) {
    HPEN pen = CreatePen(PS_SOLID, 1, color);
    HGDIOBJ old = SelectObject(dc, pen);
    const POINT points[3] = {a, b, c};
    Polyline(dc, points, 3);
    SetPixel(dc, c.x, c.y, color);
    SelectObject(dc, old);
    DeleteObject(pen);
}

// Draws the grid of `count` colours, `columns` a row, into a picture.
template <typename Color>
bool DrawGrid(HBITMAP picture, const Color *colors, int count, int columns) {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    if (!dc) return false;
    HGDIOBJ old = SelectObject(dc, picture);
    BITMAP bm{};
    GetObjectW(picture, sizeof(bm), &bm);
    RECT all{0, 0, bm.bmWidth, bm.bmHeight};
    FillRect(dc, &all, GetSysColorBrush(COLOR_BTNFACE));
    const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
    const COLORREF dark = GetSysColor(COLOR_3DDKSHADOW);
    const COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT);
    for (int cell = 0; cell < count; ++cell) {
        const int x = kCellPitch * (cell % columns);
        const int y = kCellPitch * (cell / columns);
        Line(dc, shadow, {x + 1, y + 15}, {x + 1, y + 1}, {x + 16, y + 1});
        Line(dc, dark, {x + 2, y + 14}, {x + 2, y + 2}, {x + 15, y + 2});
        Line(dc, light, {x + 1, y + 16}, {x + 16, y + 16}, {x + 16, y});
        HBRUSH brush = CreateSolidBrush(colors[cell] & 0xFFFFFF);
        RECT square{x + 3, y + 3, x + 15, y + 15};
        FillRect(dc, &square, brush);
        DeleteObject(brush);
    }
    GdiFlush();
    SelectObject(dc, old);
    DeleteDC(dc);
    return true;
}

int Columns(const Popup *popup) { return popup->swatches ? kSwatchColumns : kHistoryColumns; }
int Rows(const Popup *popup) { return popup->swatches ? kSwatchRows : kHistoryRows; }
int &Highlight(Popup *popup) { return popup->swatches ? popup->highlight : popup->state->historyIndex; }

void PaintPopup(HWND window, Popup *popup) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    DrawPicture(dc, popup->swatches ? popup->picture : popup->state->historyPicture);
    const int cell = Highlight(popup);
    if (cell >= 0 && cell < Columns(popup) * Rows(popup)) {
        const int x = kCellPitch * (cell % Columns(popup));
        const int y = kCellPitch * (cell / Columns(popup));
        RECT outer{x + 1, y + 1, x + 17, y + 17};
        RECT frame{x + 2, y + 2, x + 16, y + 16};
        RECT inner{x + 3, y + 3, x + 15, y + 15};
        FrameRect(dc, &outer, GetSysColorBrush(COLOR_WINDOW));
        FrameRect(dc, &frame, GetSysColorBrush(COLOR_WINDOWTEXT));
        FrameRect(dc, &inner, GetSysColorBrush(COLOR_WINDOW));
    }
    EndPaint(window, &ps);
}

// Takes a cell: the swatch goes to the corner, or the history colour
// becomes the caller's colour.
void TakeCell(Popup *popup, int cell) {
    if (cell < 0 || cell >= Columns(popup) * Rows(popup)) return;
    ColorDialogState *state = popup->state;
    if (popup->swatches) {
        SendMessageW(popup->palette, CHROMELL_WM_SET_CORNER, kSwatchesAndPresets[cell], popup->cornerId);
        return;
    }
    state->historyIndex = cell;
    *state->color = state->history[cell];
    PostMessageW(state->dialog, CHROMELL_WM_COLOR_CHANGED, 0, 0);
    if (state->owner) PostMessageW(state->owner, CHROMELL_WM_COLOR_CHANGED, 0, 0);
}

void ClosePopup(HWND window) {
    if (GetCapture() == window) ReleaseCapture();
    DestroyWindow(window);
}

LRESULT CALLBACK PopupProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Popup *popup = PopupOf(window);
    if (message == WM_NCCREATE) {
        auto *create = reinterpret_cast<CREATESTRUCTW *>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        return DefWindowProcW(window, message, wParam, lParam);
    }
    if (!popup) return DefWindowProcW(window, message, wParam, lParam);
    const int x = static_cast<short>(LOWORD(lParam));
    const int y = static_cast<short>(HIWORD(lParam));
    switch (message) {
    case WM_PAINT:
        PaintPopup(window, popup);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_MOUSEMOVE: {
        const int cell = GridCellAt(x, y, Columns(popup), Rows(popup));
        if (cell >= 0 && cell != Highlight(popup)) {
            Highlight(popup) = cell;
            InvalidateRect(window, nullptr, FALSE);
        }
        return 0;
    }
    case WM_LBUTTONUP:
    case WM_RBUTTONUP: {
        RECT client{};
        GetClientRect(window, &client);
        const POINT at{x, y};
        if (PtInRect(&client, at)) TakeCell(popup, GridCellAt(x, y, Columns(popup), Rows(popup)));
        ClosePopup(window);
        return 0;
    }
    case WM_KEYDOWN: {
        if (!popup->swatches) break;
        switch (wParam) {
        case VK_LEFT: popup->highlight = StepSwatch(popup->highlight, SwatchKey::kLeft); break;
        case VK_UP: popup->highlight = StepSwatch(popup->highlight, SwatchKey::kUp); break;
        case VK_RIGHT: popup->highlight = StepSwatch(popup->highlight, SwatchKey::kRight); break;
        case VK_DOWN: popup->highlight = StepSwatch(popup->highlight, SwatchKey::kDown); break;
        case VK_RETURN:
        case VK_SPACE:
            TakeCell(popup, popup->highlight);
            ClosePopup(window);
            return 0;
        case VK_ESCAPE:
            ClosePopup(window);
            return 0;
        default: break;
        }
        InvalidateRect(window, nullptr, FALSE);
        return 0;
    }
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE) PostMessageW(window, WM_CLOSE, 0, 0);
        break;
    case WM_CLOSE:
        ClosePopup(window);
        return 0;
    case WM_DESTROY:
        if (!popup->swatches && popup->state->historyPopup == window) popup->state->historyPopup = nullptr;
        break;
    case WM_NCDESTROY:
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        if (popup->picture) FreeDIBitmap(&popup->picture);
        std::free(popup);
        break;
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

HWND OpenPopup(Popup *popup, const wchar_t *className, int width, int height, POINT at) {
    HWND window = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, className, L"", WS_POPUP | WS_DLGFRAME, at.x, at.y,
                                  width, height, popup->state->dialog, nullptr, g_module.instance, popup);
    if (!window) {
        if (popup->picture) FreeDIBitmap(&popup->picture);
        std::free(popup);
        return nullptr;
    }
    ShowWindow(window, SW_SHOW);
    SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)));  // the arrow
    SetCapture(window);
    return window;
}

// ------------------------------------------------------------------ hint --

int CALLBACK NoteFace(const LOGFONTW *, const TEXTMETRICW *, DWORD, LPARAM param) {
    *reinterpret_cast<bool *>(param) = true;
    return 0;
}

bool FaceExists(HDC dc, const wchar_t *face) {
    LOGFONTW wanted{};
    wanted.lfCharSet = SHIFTJIS_CHARSET;
    lstrcpynW(wanted.lfFaceName, face, LF_FACESIZE);
    bool found = false;
    EnumFontFamiliesExW(dc, &wanted, NoteFace, reinterpret_cast<LPARAM>(&found), 0);
    return found;
}

HFONT MakeHintFont() {
    HDC dc = GetDC(nullptr);
    const wchar_t *face = L"";
    for (const wchar_t *candidate : {L"ＭＳ Ｐゴシック", L"ＭＳ ゴシック"}) {
        if (FaceExists(dc, candidate)) {
            face = candidate;
            break;
        }
    }
    ReleaseDC(nullptr, dc);
    return CreateFontW(12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face);
}

// Measures the colour's numbers, moves the tip beside the pointer and
// repaints it; its window text is the text it paints.
void UpdateHint(HWND window, ColorDialogState *state) {
    const COLORREF color = *state->color;
    wchar_t text[48];
    std::swprintf(text, 48, L"RGB(%d,%d,%d)", RedOf(color), GreenOf(color), BlueOf(color));
    RECT extent{0, 0, 32, 10};
    HDC dc = GetDC(window);
    HGDIOBJ old = SelectObject(dc, state->hintFont ? state->hintFont : GetStockObject(DEFAULT_GUI_FONT));
    DrawTextW(dc, text, -1, &extent, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, old);
    ReleaseDC(window, dc);
    std::swprintf(text, 48, L"RGB(%d,%d,%d) ", RedOf(color), GreenOf(color), BlueOf(color));
    SetWindowTextW(window, text);
    POINT at{};
    GetCursorPos(&at);
    at.x += 12;
    at.y += state->hintPlacement == 1 ? -28 : 12;
    SetWindowPos(window, HWND_TOPMOST, at.x, at.y, extent.right - extent.left + 4, extent.bottom - extent.top + 4,
                 SWP_NOACTIVATE | SWP_SHOWWINDOW);
    InvalidateRect(window, nullptr, TRUE);
}

LRESULT CALLBACK HintProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto *state = reinterpret_cast<ColorDialogState *>(GetWindowLongPtrW(window, GWLP_USERDATA));
    switch (message) {
    case WM_NCCREATE: {
        state = static_cast<ColorDialogState *>(reinterpret_cast<CREATESTRUCTW *>(lParam)->lpCreateParams);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state));
        state->hint = window;
        state->hintFont = MakeHintFont();
        break;
    }
    case CHROMELL_WM_HINT_UPDATE: {
        MSG queued;
        PeekMessageW(&queued, window, CHROMELL_WM_HINT_UPDATE, CHROMELL_WM_HINT_UPDATE, PM_REMOVE);
        if (state) UpdateHint(window, state);
        return 0;
    }
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(window, &ps);
        wchar_t text[48] = L"";
        const int length = GetWindowTextW(window, text, 48);
        HGDIOBJ old = SelectObject(dc, state && state->hintFont ? state->hintFont : GetStockObject(DEFAULT_GUI_FONT));
        SetTextColor(dc, GetSysColor(COLOR_INFOTEXT));
        SetBkColor(dc, GetSysColor(COLOR_INFOBK));
        SetBkMode(dc, OPAQUE);
        RECT client{};
        GetClientRect(window, &client);
        ExtTextOutW(dc, 1, 1, ETO_OPAQUE, &client, text, static_cast<UINT>(length), nullptr);
        SelectObject(dc, old);
        EndPaint(window, &ps);
        return 0;
    }
    case WM_NCHITTEST:
        return HTTRANSPARENT;
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
    case WM_DESTROY:
        if (state) {
            if (state->hintFont) DeleteObject(state->hintFont);
            state->hintFont = nullptr;
            if (state->hint == window) state->hint = nullptr;
        }
        break;
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

bool DrawHistoryPicture(ColorDialogState *state) {
    if (!state->historyPicture)
        state->historyPicture = MakeBlankFCDIBitmap(kHistoryColumns * kCellPitch, kHistoryRows * kCellPitch);
    return state->historyPicture && state->history &&
           DrawGrid(state->historyPicture, state->history, kHistoryLength, kHistoryColumns);
}

HWND OpenSwatchPopup(ColorDialogState *state, int cornerId, POINT at) {
    auto *popup = static_cast<Popup *>(std::calloc(1, sizeof(Popup)));
    if (!popup) return nullptr;
    *popup = Popup{state, true, state->gradControl, cornerId, 0, nullptr};
    popup->picture = MakeBlankFCDIBitmap(kSwatchColumns * kCellPitch, kSwatchRows * kCellPitch);
    if (!popup->picture || !DrawGrid(popup->picture, kSwatchesAndPresets, kSwatchCount, kSwatchColumns)) {
        if (popup->picture) FreeDIBitmap(&popup->picture);
        std::free(popup);
        return nullptr;
    }
    return OpenPopup(popup, L"" CHROMELL_SWATCH_CLASS, 132, 78, at);
}

HWND OpenHistoryPopup(ColorDialogState *state, POINT at) {
    if (IsNT351() || state->historyPopup || !state->history) return nullptr;
    if (!state->historyPicture && !DrawHistoryPicture(state)) return nullptr;
    auto *popup = static_cast<Popup *>(std::calloc(1, sizeof(Popup)));
    if (!popup) return nullptr;
    *popup = Popup{state, false, nullptr, 0, 0, nullptr};
    state->historyPopup = OpenPopup(popup, L"" CHROMELL_HISTORY_CLASS, 96, 78, at);
    return state->historyPopup;
}

void RunPresetMenu(ColorDialogState *state, POINT at) {
    HMENU menu = LoadMenuW(g_module.instance, MAKEINTRESOURCEW(CHROMELL_MENU));
    if (!menu) return;
    const int command = static_cast<int>(TrackPopupMenu(GetSubMenu(menu, 0), TPM_RETURNCMD | TPM_RIGHTBUTTON,
                                                        at.x, at.y, 0, state->dialog, nullptr));
    DestroyMenu(menu);
    GradientCorners corners;
    if (!PresetCorners(command, &corners)) return;
    state->gradCorners[0] = corners.topLeft;
    state->gradCorners[1] = corners.topRight;
    state->gradCorners[2] = corners.bottomLeft;
    state->gradCorners[3] = corners.bottomRight;
    if (!RebuildGradient(state)) FailWindow(state);
}

HWND OpenHint(ColorDialogState *state, int placement) {
    state->hintPlacement = placement;
    HWND hint = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, L"" CHROMELL_HINT_CLASS, L"",
                                WS_POPUP | WS_BORDER, 0, 0, 1, 1, state->dialog, nullptr, g_module.instance, state);
    if (hint) UpdateHint(hint, state);
    return hint;
}

namespace {

struct ClassEntry {
    const wchar_t *name;
    UINT style;
    HCURSOR cursor;
    HBRUSH background;
};
constexpr int kClassCount = 6;
// Which classes this module registered, so that only those are removed (a
// class of the same name that was there before is not ours).
bool g_registered[kClassCount] = {};

}  // namespace

bool RegisterClasses(HINSTANCE instance) {
    const ClassEntry classes[kClassCount] = {
        {L"" CHROMELL_HUE_CLASS, CS_DBLCLKS, g_module.pickCursor, nullptr},
        {L"" CHROMELL_SATINT_CLASS, CS_DBLCLKS, g_module.pickCursor, nullptr},
        {L"" CHROMELL_GRADIENT_CLASS, CS_DBLCLKS, g_module.pickCursor, nullptr},
        {L"" CHROMELL_SWATCH_CLASS, CS_DBLCLKS, nullptr, nullptr},
        {L"" CHROMELL_HISTORY_CLASS, CS_DBLCLKS, nullptr, nullptr},
        {L"" CHROMELL_HINT_CLASS, 0, nullptr, reinterpret_cast<HBRUSH>(COLOR_INFOBK + 1)},
    };
    for (int i = 0; i < kClassCount; ++i) {
        WNDCLASSEXW wc{sizeof(wc)};
        wc.style = classes[i].style;
        wc.lpfnWndProc = i < 3 ? SelectorProcedure(i) : i < 5 ? PopupProc : HintProc;
        wc.hInstance = instance;
        wc.hCursor = classes[i].cursor;
        wc.hbrBackground = classes[i].background;
        wc.lpszClassName = classes[i].name;
        g_registered[i] = RegisterClassExW(&wc) != 0;
        if (!g_registered[i]) {
            UnregisterClasses(instance);
            return false;
        }
    }
    return true;
}

void UnregisterClasses(HINSTANCE instance) {
    static const wchar_t *const names[kClassCount] = {L"" CHROMELL_HUE_CLASS,    L"" CHROMELL_SATINT_CLASS,
                                                      L"" CHROMELL_GRADIENT_CLASS, L"" CHROMELL_SWATCH_CLASS,
                                                      L"" CHROMELL_HISTORY_CLASS, L"" CHROMELL_HINT_CLASS};
    for (int i = 0; i < kClassCount; ++i) {
        if (g_registered[i]) UnregisterClassW(names[i], instance);
        g_registered[i] = false;
    }
}

}  // namespace chromell
