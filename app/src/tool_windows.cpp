#include "tool_windows.h"

#include <algorithm>

#include "app_state.h"
#include "bar_layout.h"
#include "canvas_pictures.h"
#include "canvas_window.h"
#include "dialogs.h"
#include "dibwork.h"
#include "page_bar.h"
#include "pages.h"
#include "resource_ids.h"

namespace pintora {
namespace {

// Posted by a bar to itself on opening: by the time it arrives the command
// that made the bar has shown the canvas, and the bar goes above it.
constexpr UINT kRaiseMessage = WM_APP + 1;

AppState *StateOf(HWND bar) { return reinterpret_cast<AppState *>(GetWindowLongPtrW(bar, DWLP_USER)); }

// Above every window, the canvas included.  When the system already counts
// the bar first it skips the move, even where the display shows the canvas
// over it (checked under Wine after a click on the canvas): the bar steps
// out of the topmost band and back in, which always moves it.
void Raise(HWND bar) {
    constexpr UINT kKeep = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;
    SetWindowPos(bar, HWND_NOTOPMOST, 0, 0, 0, 0, kKeep);
    SetWindowPos(bar, HWND_TOPMOST, 0, 0, 0, 0, kKeep | SWP_SHOWWINDOW);
}

// Buttons at their pixel places; the frame around a client area of the
// bar's size, computed for the bar's own styles; the bar on top at its
// place (lower when the pen bar shows above it).
void PlaceBar(const AppState &app, HWND bar, const BarLayout &layout) {
    for (int i = 0; i < layout.buttonCount; ++i) {
        MoveWindow(GetDlgItem(bar, layout.firstButton + i), ButtonLeft(layout, i), 0, layout.buttonWidth,
                   layout.buttonHeight, TRUE);
    }
    RECT frame{0, 0, layout.clientWidth, layout.clientHeight};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrW(bar, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrW(bar, GWL_EXSTYLE)));
    const int y = app.tools.pen ? layout.yBelowPenBar : layout.y;
    SetWindowPos(bar, HWND_TOPMOST, layout.x, y, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOACTIVATE);
}

// The button of the current colour, size or pen (-1: none).
int CurrentButton(const AppState &app, BarKind kind) {
    switch (kind) {
        case BarKind::kColor: return kFirstColorButton + app.colorIndex;
        case BarKind::kSize: return kFirstSizeButton + app.settings.currentPenSize;
        case BarKind::kPen: return kFirstPenButton + app.settings.currentPen;
        default: return -1;
    }
}

void RedrawButton(HWND bar, int id) { InvalidateRect(GetDlgItem(bar, id), nullptr, FALSE); }

void PostToCanvas(const AppState &app, int command, LPARAM param = 0) {
    PostMessageW(app.canvas, WM_COMMAND, static_cast<WPARAM>(command), param);
}
void SendToCanvas(const AppState &app, int command) {
    SendMessageW(app.canvas, WM_COMMAND, static_cast<WPARAM>(command), 0);
}

void OnActionBar(AppState &app, int id) {
    switch (id) {
        case 1000: PostToCanvas(app, IDM_END); return;
        case 1001: SendToCanvas(app, IDM_CLEAR); return;
        case 1002: SendToCanvas(app, IDM_WHITE); return;
        case 1003: SaveCanvasAs(app); return;
        default: return;
    }
}

void OnEndBar(AppState &app, HWND bar, int id) {
    switch (id) {
        case 1000:
            // The page was saved when the end bar came; the program ends.
            DestroyWindow(app.canvas);
            return;
        case 1001: PostToCanvas(app, IDM_NORMAL_MODE); return;
        case 1002:
            if (const int32_t value = ShowKidsModeDialog(app, bar)) {
                PostToCanvas(app, IDM_KIDS_MODE, KidsOptionsOf(value));
            }
            return;
        case 1003: ShowAboutBox(app, bar); return;
        default: return;
    }
}

// A colour, size or pen: the old and the new button are redrawn, the
// choice is taken, and the brush follows it.
void OnChoice(AppState &app, HWND bar, BarKind kind, int id) {
    const int old = CurrentButton(app, kind);
    switch (kind) {
        case BarKind::kColor:
            app.colorIndex = id - kFirstColorButton;
            // The brush reads its colour at the next stroke.
            if (PlugInBrushManager *record = app.brushes.record()) {
                record->context.color = ColorTable()[app.colorIndex].Value();
            }
            break;
        case BarKind::kSize:
            app.settings.currentPenSize = id - kFirstSizeButton;
            SelectKidsPen(app);
            SetCanvasCursor(app.canvas, app.brushCursor, false);
            break;
        case BarKind::kPen:
            if (id == 1040) {
                // The paper again, as the clear command gives it.
                SendToCanvas(app, IDM_CLEAR);
                return;
            }
            app.settings.currentPen = id - kFirstPenButton;
            SelectKidsPen(app);
            SetCanvasCursor(app.canvas, app.brushCursor, false);
            break;
        default: return;
    }
    RedrawButton(bar, old);
    RedrawButton(bar, id);
}

template <BarKind kKind>
INT_PTR CALLBACK BarProc(HWND bar, UINT message, WPARAM wParam, LPARAM lParam) {
    const BarLayout &layout = LayoutOf(kKind);
    AppState *app = StateOf(bar);
    switch (message) {
        case WM_INITDIALOG:
            SetWindowLongPtrW(bar, DWLP_USER, lParam);
            PlaceBar(*reinterpret_cast<AppState *>(lParam), bar, layout);
            PostMessageW(bar, kRaiseMessage, 0, 0);
            return FALSE;  // the focus is not taken from the canvas
        case kRaiseMessage:
            Raise(bar);
            return TRUE;
        case WM_DRAWITEM: {
            const auto &item = *reinterpret_cast<const DRAWITEMSTRUCT *>(lParam);
            const int index = ButtonIndex(layout, static_cast<int>(item.CtlID));
            if (!app || index < 0) return FALSE;
            return DrawBarButton(*app, item, layout.bitmaps[static_cast<size_t>(index)],
                                 static_cast<int>(item.CtlID) == CurrentButton(*app, kKind));
        }
        case WM_COMMAND: {
            const int id = LOWORD(wParam);
            if (!app || ButtonIndex(layout, id) < 0) return FALSE;
            if (kKind == BarKind::kAction) {
                OnActionBar(*app, id);
            } else if (kKind == BarKind::kEnd) {
                OnEndBar(*app, bar, id);  // may end the program: the bar is gone then
            } else {
                OnChoice(*app, bar, kKind, id);
            }
            return TRUE;
        }
        default: return FALSE;
    }
}

struct BarInfo {
    int templateId;
    HWND ToolWindows::*slot;
    DLGPROC proc;
};

BarInfo InfoOf(ToolBar bar) {
    switch (bar) {
        case ToolBar::kAction: return {IDD_ACTION_BAR, &ToolWindows::actionOrEnd, BarProc<BarKind::kAction>};
        case ToolBar::kEnd: return {IDD_END_BAR, &ToolWindows::actionOrEnd, BarProc<BarKind::kEnd>};
        case ToolBar::kColor: return {IDD_COLOR_BAR, &ToolWindows::color, BarProc<BarKind::kColor>};
        case ToolBar::kSize: return {IDD_SIZE_BAR, &ToolWindows::size, BarProc<BarKind::kSize>};
        case ToolBar::kPen: return {IDD_PEN_BAR, &ToolWindows::pen, BarProc<BarKind::kPen>};
        case ToolBar::kPage: return {IDD_PAGE_BAR, &ToolWindows::page, PageBarProc};
    }
    return {0, &ToolWindows::page, PageBarProc};
}

bool HasDialogTemplate(HINSTANCE instance, int templateId) {
    const LPCWSTR dialogType = MAKEINTRESOURCEW(5);  // RT_DIALOG
    return FindResourceW(instance, MAKEINTRESOURCEW(templateId), dialogType) != nullptr;
}

void DestroySlot(HWND &slot) {
    if (slot && IsWindow(slot)) DestroyWindow(slot);
    slot = nullptr;
}

}  // namespace

INT_PTR CALLBACK OkCancelBoxProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            if (lParam) SetUIGothicFont(dialog);
            return TRUE;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
                EndDialog(dialog, LOWORD(wParam));
                return TRUE;
            }
            return FALSE;
        default:
            return FALSE;
    }
}

BarFaces::~BarFaces() {
    for (auto &entry : faces_) {
        if (entry.second) DeleteObject(entry.second);
    }
}

HBITMAP BarFaces::Get(HINSTANCE instance, int id) {
    auto found = faces_.find(id);
    if (found != faces_.end() && found->second) return found->second;
    auto face = static_cast<HBITMAP>(
        LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    // A face that failed is tried again at the next drawing.
    if (face) faces_[id] = face;
    return face;
}

BOOL DrawBarButton(AppState &app, const DRAWITEMSTRUCT &item, int bitmapId, bool current) {
    HBITMAP face = app.faces.Get(app.instance, bitmapId);
    if (!face) return FALSE;
    BITMAPINFOHEADER *header = nullptr;
    BYTE *bits = GetMetaBitmapInfoHeader(nullptr, face, &header);
    if (!bits) return FALSE;
    RECT whole = item.rcItem;
    FillRect(item.hDC, &whole, GetSysColorBrush(COLOR_BTNFACE));
    // At most 90 x 30, and never more than the picture holds.
    const int width = std::min<int>(90, header->biWidth);
    const int height = std::min<int>(30, std::abs(header->biHeight));
    DispDIBToDevice(item.hDC, whole.left + 2, whole.top + 2, width, height, 0, 0, bits, header, nullptr);
    ReleaseMetaBitmapInfoHeader(nullptr, face, header);
    const bool sunken = current || (item.itemState & ODS_SELECTED) != 0;
    DrawEdge(item.hDC, &whole, sunken ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
    return TRUE;
}

HWND CreateToolBar(AppState &app, ToolBar bar) {
    const BarInfo info = InfoOf(bar);
    HWND &slot = app.tools.*(info.slot);
    DestroySlot(slot);
    // A bar whose template is not among the resources is simply absent.
    if (!HasDialogTemplate(app.instance, info.templateId)) return nullptr;
    if (bar == ToolBar::kPage && !RegisterPageBarClass(app.instance)) return nullptr;
    slot = CreateDialogParamW(app.instance, MAKEINTRESOURCEW(info.templateId), app.canvas, info.proc,
                              reinterpret_cast<LPARAM>(&app));
    return slot;
}

void DestroyActionOrEndBar(AppState &app) { DestroySlot(app.tools.actionOrEnd); }

void DestroyToolBars(AppState &app) {
    DestroySlot(app.tools.actionOrEnd);
    DestroySlot(app.tools.color);
    DestroySlot(app.tools.size);
    DestroySlot(app.tools.pen);
    DestroySlot(app.tools.page);
}

void RaiseToolBars(const AppState &app) {
    app.brushes.RaiseDialogs();
    for (HWND bar : {app.tools.pen, app.tools.color, app.tools.size, app.tools.actionOrEnd, app.tools.page}) {
        if (bar && IsWindow(bar)) Raise(bar);
    }
}

void ShowTipsDialog(AppState &app, HWND owner) {
    if (!HasDialogTemplate(app.instance, IDD_TIPS)) return;
    // The tips: static texts in the shared dialog font.
    DialogBoxParamW(app.instance, MAKEINTRESOURCEW(IDD_TIPS), owner, OkCancelBoxProc, 1);
}

}  // namespace pintora
