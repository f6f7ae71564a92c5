// The brush settings dialog (template 213): up to three trackbars for the
// current brush's parameters, the live preview, the colour button with the
// floating colour window beside it, the brush list and the eyedropper hint.
// A brush with a dialog of its own gets its plug-in's template and
// procedure instead.
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "brush_rules.h"
#include "bristler_internal.h"
#include "win32/window_stacking.h"
#include "chromell.h"
#include "dibwork.h"

namespace bristler {

namespace {

constexpr int kDialogTemplate = 213;
constexpr int kIdBrushList = 1009;
constexpr int kIdFirstLabel = 1010;
constexpr int kIdEyedropper = 1013;
constexpr int32_t kMarkUnset = -1024;

// On a dialog made from a plug-in's template: 1 + the brush's table index.
// Bristler's own dialog has no such property.
const char kOwnDialogProperty[] = "BristlerOwnDialogBrush";

static_assert(offsetof(PlugInBrushManager, colorAnchorY) ==
                  offsetof(PlugInBrushManager, colorAnchorX) + sizeof(LONG),
              "the colour anchor is handed out as a POINT");

PlugInBrushManager *ManagerOfDialog(HWND dialog) {
    return reinterpret_cast<PlugInBrushManager *>(GetWindowLongPtrW(dialog, GWLP_USERDATA));
}

std::wstring Wide(const char *ansi) {
    const int length = MultiByteToWideChar(CP_ACP, 0, ansi, -1, nullptr, 0);
    if (length <= 1) return std::wstring();
    std::wstring text(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, ansi, -1, &text[0], length);
    text.resize(static_cast<size_t>(length - 1));
    return text;
}

// ------------------------------------------------------ colour window --

// Chromell is loaded from Bristler's own folder the first time a colour
// window is wanted and stays loaded: its floating windows may outlive any
// one manager.  Without it the dialog works without a colour window.
SelectHSBColorFloatMRUProc ColorWindowEntry() {
    static bool tried = false;
    static SelectHSBColorFloatMRUProc entry = nullptr;
    if (tried) return entry;
    tried = true;
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(g_module, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return nullptr;
    std::string file(path, length);
    file = file.substr(0, file.find_last_of("\\/") + 1) + "Chromell.dll";
    if (HMODULE chromell = LoadLibraryA(file.c_str())) {
        entry = reinterpret_cast<SelectHSBColorFloatMRUProc>(
            reinterpret_cast<void *>(GetProcAddress(chromell, "_SelectHSBColorFloatMRU@16")));
        if (!entry) FreeLibrary(chromell);
    }
    return entry;
}

// Closes a colour window that no longer fits the brush and forgets one
// that has gone; opens one for a colour brush when there is none.  0, or
// the error code.  `unavailable` becomes true when a colour window was
// wanted but Chromell is not there.
int SyncColorPopup(HWND dialog, PlugInBrushManager *manager, bool *unavailable) {
    const BrushDescriptor *brush = CurrentBrush(manager);
    const bool wantsColor = brush && (brush->flags & BDF_COLOR);
    if (manager->colorPopup && !IsWindow(manager->colorPopup)) manager->colorPopup = nullptr;
    if (manager->colorPopup && !wantsColor) {
        HWND popup = manager->colorPopup;
        manager->colorPopup = nullptr;
        DestroyWindow(popup);
    }
    if (!wantsColor || manager->colorPopup) return 0;

    SelectHSBColorFloatMRUProc open = ColorWindowEntry();
    if (!open) {
        if (unavailable) *unavailable = true;
        return 0;
    }
    RECT button{};
    GetWindowRect(GetDlgItem(dialog, kIdColorButton), &button);
    manager->colorAnchorX = button.left;
    manager->colorAnchorY = button.bottom;
    if (!manager->colorHistory) {
        manager->colorHistory = static_cast<COLORREF *>(GlobalAlloc(GPTR, 20 * sizeof(COLORREF)));
        if (!manager->colorHistory) return BRISTLER_ERROR_NO_MEMORY;
    }
    static_assert(sizeof(COLORREF) == sizeof(manager->context.color), "the colour is edited in place");
    HWND popup = open(dialog, reinterpret_cast<COLORREF *>(&manager->context.color),
                      reinterpret_cast<POINT *>(&manager->colorAnchorX),
                      manager->colorHistory);
    if (!popup) return BRISTLER_ERROR_PROCESSING;
    manager->colorPopup = popup;
    return 0;
}

// After the dialog moved: bring the colour window back below the colour
// button when the button has left its reach.
void KeepPopupNear(HWND dialog, PlugInBrushManager *manager) {
    if (!manager->colorPopup) return;
    RECT popup{};
    if (!GetWindowRect(manager->colorPopup, &popup)) {
        manager->colorPopup = nullptr;
        return;
    }
    RECT button{};
    if (!GetWindowRect(GetDlgItem(dialog, kIdColorButton), &button)) return;
    const Box b{button.left, button.top, button.right, button.bottom};
    const Box p{popup.left, popup.top, popup.right, popup.bottom};
    if (!PopupNeedsReanchor(b, p)) return;
    manager->colorAnchorX = button.left;
    manager->colorAnchorY = button.bottom;
    SendMessageW(manager->colorPopup, kMsgPopupReplace, 0, 0);
}

// ------------------------------------------------------------- init --

void ShowParameter(HWND dialog, const BrushDescriptor &brush, int k) {
    HWND label = GetDlgItem(dialog, kIdFirstLabel + k);
    HWND trackbar = GetDlgItem(dialog, kIdFirstTrackbar + k);
    if (!(brush.flags & (BDF_PARAM1 << k))) {
        ShowWindow(label, SW_HIDE);
        ShowWindow(trackbar, SW_HIDE);
        return;
    }
    const BrushParam &param = brush.params[k];
    SetWindowTextA(label, param.label);
    SendMessageW(trackbar, TBM_SETRANGEMIN, FALSE, param.minimum);
    SendMessageW(trackbar, TBM_SETRANGEMAX, TRUE, param.maximum);
    SendMessageW(trackbar, TBM_SETPOS, TRUE, param.value);
    SendMessageW(trackbar, TBM_SETPAGESIZE, 0, TrackbarPageSize(param.minimum, param.maximum));
    ShowWindow(label, SW_SHOW);
    ShowWindow(trackbar, SW_SHOW);
}

// The dialog's init, also run to refresh an open dialog for another
// brush.  0, or the error code.
int InitDialog(HWND dialog, PlugInBrushManager *manager, bool *colorUnavailable) {
    SetUIGothicFont(dialog);
    SetWindowLongPtrW(dialog, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(manager));
    const BrushDescriptor *brush = CurrentBrush(manager);
    if (!brush) return BRISTLER_ERROR_PROCESSING;
    for (int k = 0; k < 3; ++k) ShowParameter(dialog, *brush, k);
    ShowWindow(GetDlgItem(dialog, kIdColorButton), (brush->flags & BDF_COLOR) ? SW_SHOW : SW_HIDE);
    SetWindowTextW(dialog, (Wide(brush->name) + L"\u306e\u8a2d\u5b9a").c_str());  // "%sの設定"

    manager->context.markX = kMarkUnset;
    manager->context.markY = kMarkUnset;
    manager->context.pressure = BRUSH_PRESSURE_FULL;

    if (HWND preview = GetDlgItem(dialog, kIdPreview)) {
        if (SendMessageW(preview, kMsgMakePreviewPicture, 0, 0) != 0) return BRISTLER_ERROR_NO_MEMORY;
        PostMessageW(preview, WM_COMMAND, kIdPreview, 0);
    }
    return SyncColorPopup(dialog, manager, colorUnavailable);
}

// ------------------------------------------------------------ handlers --

// A failed handler: the last error is shown and the dialog ends.
void Fail(HWND dialog, PlugInBrushManager *manager, int error) {
    ReportError(manager, dialog, error);
    DestroyWindow(dialog);
}

// The colour button: the current colour under its text, a raised edge, or
// a sunken one with the text moved 2 pixels while it is pressed.  0, or
// the error code.
int DrawColorButton(const DRAWITEMSTRUCT &item, const PlugInBrushManager &manager) {
    const int width = item.rcItem.right - item.rcItem.left;
    const int height = item.rcItem.bottom - item.rcItem.top;
    if (width <= 0 || height <= 0) return 0;
    HBITMAP face = MakeBlankFCDIBitmap(width, height);
    if (!face) return BRISTLER_ERROR_NO_MEMORY;
    MetaDIBFillColor(nullptr, face, manager.context.color);
    BITMAPINFOHEADER *header = nullptr;
    if (BYTE *bits = GetMetaBitmapInfoHeader(nullptr, face, &header)) {
        DispDIBToDevice(item.hDC, 0, 0, width, height, 0, 0, bits, header, nullptr);
        ReleaseMetaBitmapInfoHeader(nullptr, face, header);
    }
    FreeDIBitmap(&face);

    const bool pressed = (item.itemState & ODS_SELECTED) != 0;
    RECT textBox = item.rcItem;
    if (pressed) OffsetRect(&textBox, 2, 2);
    wchar_t text[64] = L"";
    GetWindowTextW(item.hwndItem, text, 64);
    // The text in black or white, whichever stands out from the colour.
    const COLORREF c = manager.context.color;
    const int luma = 299 * GetRValue(c) + 587 * GetGValue(c) + 114 * GetBValue(c);
    HGDIOBJ oldFont = SelectObject(item.hDC, reinterpret_cast<HFONT>(SendMessageW(item.hwndItem, WM_GETFONT, 0, 0)));
    const int oldMode = SetBkMode(item.hDC, TRANSPARENT);
    const COLORREF oldColor = SetTextColor(item.hDC, luma < 128000 ? RGB(255, 255, 255) : RGB(0, 0, 0));
    DrawTextW(item.hDC, text, -1, &textBox, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    SetTextColor(item.hDC, oldColor);
    SetBkMode(item.hDC, oldMode);
    if (oldFont) SelectObject(item.hDC, oldFont);
    RECT edge = item.rcItem;
    DrawEdge(item.hDC, &edge, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
    return 0;
}

// A trackbar moved: a new value is handed to the brush, which rebuilds its
// tip, and the preview is drawn again.  The same value calls nobody.
void OnTrackbar(HWND dialog, PlugInBrushManager *manager, WPARAM wParam, LPARAM lParam) {
    if (LOWORD(wParam) > TB_ENDTRACK) return;
    auto *trackbar = reinterpret_cast<HWND>(lParam);
    const int k = GetDlgCtrlID(trackbar) - kIdFirstTrackbar;
    BrushDescriptor *brush = CurrentBrush(manager);
    if (!brush || k < 0 || k > 2) return;
    const auto value = static_cast<int32_t>(SendMessageW(trackbar, TBM_GETPOS, 0, 0));
    if (value == brush->params[k].value) return;
    brush->params[k].value = value;
    manager->context.tipParams = brush->params;
    CallCurrentBrush(manager, BRUSHCMD_SELECT);
    SendDlgItemMessageW(dialog, kIdPreview, WM_COMMAND, kIdPreview, 0);
}

void OnEyedropperHint(HWND dialog) {
    // "画像から直接色を採取するには、\n画像上の取得したい色があるところで[Ctrl+左クリック]です。"
    static const wchar_t kText[] =
        L"\u753b\u50cf\u304b\u3089\u76f4\u63a5\u8272\u3092\u63a1\u53d6\u3059\u308b\u306b\u306f\u3001\n"
        L"\u753b\u50cf\u4e0a\u306e\u53d6\u5f97\u3057\u305f\u3044\u8272\u304c\u3042\u308b\u3068\u3053\u308d"
        L"\u3067[Ctrl+\u5de6\u30af\u30ea\u30c3\u30af]\u3067\u3059\u3002";
    static const wchar_t kCaption[] = L"\u30b9\u30dd\u30a4\u30c8\u306e\u8aac\u660e";  // "スポイトの説明"
    MessageBoxW(dialog, kText, kCaption, MB_OK | MB_ICONINFORMATION | MB_SYSTEMMODAL);
}

void OnCommand(HWND dialog, PlugInBrushManager *manager, WORD id, WORD code) {
    switch (id) {
    case kIdBrushList: {
        RECT button{};
        HWND control = GetDlgItem(dialog, kIdBrushList);
        GetWindowRect(control, &button);
        POINT corner{button.left, button.bottom};
        ScreenToClient(dialog, &corner);
        TrackBrushList(manager, dialog, corner);
        SendMessageW(control, BM_SETCHECK, BST_UNCHECKED, 0);
        break;
    }
    case kIdEyedropper:
        if (code == STN_CLICKED) OnEyedropperHint(dialog);
        break;
    case kIdColorButton: {
        if (code != BN_CLICKED) break;
        bool unavailable = false;
        if (const int error = SyncColorPopup(dialog, manager, &unavailable)) Fail(dialog, manager, error);
        else if (unavailable) ShowMessage(dialog, BRISTLER_MSG_NO_LIBRARY, MB_ICONINFORMATION);
        break;
    }
    default: break;
    }
}

INT_PTR CALLBACK SettingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto *manager = reinterpret_cast<PlugInBrushManager *>(lParam);
        manager->settingsDialog = dialog;
        if (const int error = InitDialog(dialog, manager, nullptr)) {
            manager->settingsDialog = nullptr;
            Fail(dialog, manager, error);
        }
        return FALSE;  // the keyboard stays with the host's window
    }
    PlugInBrushManager *manager = ManagerOfDialog(dialog);
    if (!manager) return FALSE;
    switch (message) {
    case WM_DESTROY: {
        RECT box{};
        if (GetWindowRect(dialog, &box)) {
            manager->dialogX = box.left;
            manager->dialogY = box.top;
        }
        if (manager->settingsDialog == dialog) manager->settingsDialog = nullptr;
        if (manager->colorPopup && !IsWindow(manager->colorPopup)) manager->colorPopup = nullptr;
        return TRUE;
    }
    case WM_MOVE: {
        MSG queued;
        while (PeekMessageW(&queued, dialog, WM_MOVE, WM_MOVE, PM_REMOVE)) {
        }
        KeepPopupNear(dialog, manager);
        return TRUE;
    }
    case WM_CLOSE: DestroyWindow(dialog); return TRUE;
    case WM_DRAWITEM: {
        const auto *item = reinterpret_cast<const DRAWITEMSTRUCT *>(lParam);
        if (item->CtlID != kIdColorButton) return FALSE;
        if (const int error = DrawColorButton(*item, *manager)) Fail(dialog, manager, error);
        return TRUE;
    }
    case WM_COMMAND: OnCommand(dialog, manager, LOWORD(wParam), HIWORD(wParam)); return TRUE;
    case WM_HSCROLL: OnTrackbar(dialog, manager, wParam, lParam); return TRUE;
    case WM_RBUTTONDOWN: {
        POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        TrackBrushList(manager, dialog, at);
        return TRUE;
    }
    case WM_PALETTECHANGED:
        if (reinterpret_cast<HWND>(wParam) == dialog) return FALSE;
        InvalidateRect(dialog, nullptr, TRUE);
        return TRUE;
    case WM_QUERYNEWPALETTE: InvalidateRect(dialog, nullptr, TRUE); return TRUE;
    case kMsgColorChanged: {
        MSG queued;
        while (PeekMessageW(&queued, dialog, kMsgColorChanged, kMsgColorChanged, PM_REMOVE)) {
        }
        SendDlgItemMessageW(dialog, kIdPreview, WM_COMMAND, kIdPreview, 0);
        InvalidateRect(GetDlgItem(dialog, kIdColorButton), nullptr, FALSE);
        return TRUE;
    }
    case kMsgPopupClosed: manager->colorPopup = nullptr; return TRUE;
    default: return FALSE;
    }
}

// Which brush an open dialog was made for: -1 for Bristler's own dialog.
int32_t OwnDialogBrushOf(HWND dialog) {
    return static_cast<int32_t>(reinterpret_cast<INT_PTR>(GetPropA(dialog, kOwnDialogProperty))) - 1;
}

HWND CreateDialogFor(PlugInBrushManager *manager, const BrushDescriptor &brush) {
    if (!(brush.flags & BDF_OWNDIALOG)) {
        return CreateDialogParamW(g_module, MAKEINTRESOURCEW(kDialogTemplate), manager->owner, SettingsDialogProc,
                                  reinterpret_cast<LPARAM>(manager));
    }
    if (brush.moduleIndex < 0 || brush.moduleIndex >= manager->moduleCount || !brush.dialogProc) return nullptr;
    HMODULE plugIn = manager->modules[brush.moduleIndex].module;
    HWND dialog = CreateDialogParamA(plugIn, MAKEINTRESOURCEA(brush.dialogTemplate & 0xFFFF), manager->owner,
                                     brush.dialogProc, reinterpret_cast<LPARAM>(manager));
    if (dialog) {
        SetPropA(dialog, kOwnDialogProperty,
                 reinterpret_cast<HANDLE>(static_cast<INT_PTR>(manager->currentBrush) + 1));
    }
    return dialog;
}

// Opens the dialog for the current brush or refreshes the open one.
int OpenOrRefresh(PlugInBrushManager *manager) {
    const BrushDescriptor *brush = CurrentBrush(manager);
    if (!brush) return 0;
    const int32_t wanted = (brush->flags & BDF_OWNDIALOG) ? manager->currentBrush : -1;

    if (manager->settingsDialog && !IsWindow(manager->settingsDialog)) manager->settingsDialog = nullptr;
    if (HWND open = manager->settingsDialog) {
        const int32_t shown = OwnDialogBrushOf(open);
        if (shown == wanted && wanted >= 0) return 1;  // the plug-in's dialog looks after itself
        if (shown == wanted) {
            if (const int error = InitDialog(open, manager, nullptr)) {
                Fail(open, manager, error);
                return 0;
            }
            return 1;
        }
        // Another kind of dialog is needed: the open one makes way.
        DestroySettingsDialog(manager);
    }

    HWND dialog = CreateDialogFor(manager, *brush);
    if (!dialog || !IsWindow(dialog)) {
        manager->settingsDialog = nullptr;
        return 0;
    }
    manager->settingsDialog = dialog;
    if (manager->dialogX == BRISTLER_UNPLACED || manager->dialogY == BRISTLER_UNPLACED) {
        CenteringWindow(manager->owner, dialog);
    } else {
        POINT wantedAt{manager->dialogX, manager->dialogY};
        SetSafeWindowPos(dialog, &wantedAt);
    }
    ShowWindow(dialog, SW_SHOWNOACTIVATE);
    return 1;
}

}  // namespace

int OpenOrRefreshSettingsDialog(PlugInBrushManager *manager) {
    if (!manager || IsBadWritePtr(manager, sizeof(*manager))) {
        ReportError(nullptr, nullptr, BRISTLER_ERROR_PROCESSING);
        return 0;
    }
    // The host selects brushes from its canvas: opening the dialog and the
    // colour window (which shows itself active) must not take the keyboard
    // away from the window the user is working in.  Activating that window
    // again raises it over both on the display, so they come forward again.
    HWND active = GetActiveWindow();
    const int result = OpenOrRefresh(manager);
    if (active && IsWindow(active) && IsWindowVisible(active) && GetActiveWindow() != active) {
        SetActiveWindow(active);
        pintora::BringPairToFrontQuietly(manager->settingsDialog, manager->colorPopup);
    }
    return result;
}

void DestroySettingsDialog(PlugInBrushManager *manager) {
    HWND dialog = manager->settingsDialog;
    manager->settingsDialog = nullptr;
    if (dialog && IsWindow(dialog)) {
        // A plug-in's dialog does not record where it was; ours does so
        // itself as well, from the same rectangle.
        RECT box{};
        if (GetWindowRect(dialog, &box)) {
            manager->dialogX = box.left;
            manager->dialogY = box.top;
        }
        DestroyWindow(dialog);
    }
    if (manager->colorPopup && !IsWindow(manager->colorPopup)) manager->colorPopup = nullptr;
}

}  // namespace bristler
