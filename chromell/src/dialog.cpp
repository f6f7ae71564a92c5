// Dialog 114, the colour window: start-up, pages, the buttons and their
// faces, placement near the owner, the number fields, the history timer,
// the messages exchanged with the owner, and closing.
#include "chromell_internal.h"

#include <commctrl.h>

#include <cstdlib>
#include <initializer_list>

namespace chromell {

namespace {

constexpr int kPageControls[3][9] = {
    {CHROMELL_ID_HUE, CHROMELL_ID_SATINT},
    {CHROMELL_ID_GRADIENT, CHROMELL_ID_CORNER_TL, CHROMELL_ID_CORNER_TR, CHROMELL_ID_CORNER_BL,
     CHROMELL_ID_CORNER_BR},
    {CHROMELL_ID_RED_FIELD, CHROMELL_ID_RED_UPDOWN, CHROMELL_ID_RED_LABEL, CHROMELL_ID_GREEN_FIELD,
     CHROMELL_ID_GREEN_UPDOWN, CHROMELL_ID_GREEN_LABEL, CHROMELL_ID_BLUE_FIELD, CHROMELL_ID_BLUE_UPDOWN,
     CHROMELL_ID_BLUE_LABEL},
};
constexpr int kFields[3] = {CHROMELL_ID_RED_FIELD, CHROMELL_ID_GREEN_FIELD, CHROMELL_ID_BLUE_FIELD};
constexpr int kUpDowns[3] = {CHROMELL_ID_RED_UPDOWN, CHROMELL_ID_GREEN_UPDOWN, CHROMELL_ID_BLUE_UPDOWN};

SIZE ClientSize(HWND window) {
    RECT r{};
    GetClientRect(window, &r);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

void Recompute(ColorDialogState *state) {
    const HsbColor hsb = ColorToHSB(*state->color, state->hue);
    state->hue = hsb.hue;
    state->saturation = hsb.saturation;
    state->intensity = hsb.intensity;
}

void FillFields(ColorDialogState *state) {
    DialogRecord *record = RecordOf(state);
    const int channels[3] = {RedOf(*state->color), GreenOf(*state->color), BlueOf(*state->color)};
    record->filling = true;
    for (int i = 0; i < 3; ++i) {
        SendDlgItemMessageW(state->dialog, kUpDowns[i], UDM_SETPOS32, 0, channels[i]);
        SetDlgItemInt(state->dialog, kFields[i], static_cast<UINT>(channels[i]), FALSE);
    }
    record->filling = false;
}

void RepaintOk(ColorDialogState *state) {
    FillPicture(state->okPicture, *state->color);
    InvalidateRect(state->okButton, nullptr, FALSE);
}

// Shows state->page: its controls, and its pictures or fields brought up
// to date with the colour.  False after a failure (the window has ended).
bool ShowPage(ColorDialogState *state) {
    if (state->restricted && state->page == CHROMELL_PAGE_GRADIENT) state->page = CHROMELL_PAGE_QUICK;
    if (state->page < 0 || state->page > 2) state->page = CHROMELL_PAGE_QUICK;
    InvalidateRect(GetDlgItem(state->dialog, CHROMELL_ID_PAGE_BUTTON), nullptr, FALSE);
    for (int page = 0; page < 3; ++page) {
        for (int id : kPageControls[page]) {
            if (id) ShowWindow(GetDlgItem(state->dialog, id), page == state->page ? SW_SHOW : SW_HIDE);
        }
    }
    Recompute(state);
    switch (state->page) {
    case CHROMELL_PAGE_QUICK:
        if (!RebuildHuePictures(state)) {
            FailWindow(state);
            return false;
        }
        break;
    case CHROMELL_PAGE_GRADIENT:
        state->gradMarkerX = state->gradMarkerY = -1;
        InvalidateRect(state->gradControl, nullptr, FALSE);
        break;
    default:
        FillFields(state);
        break;
    }
    return true;
}

// Where the window goes: the caller's position kept within an eighth of
// the screen of the owner, or the owner's bottom-left corner.
void Place(ColorDialogState *state) {
    RECT window{}, owner{};
    GetWindowRect(state->dialog, &window);
    const bool haveOwner = state->owner && GetWindowRect(state->owner, &owner);
    POINT wanted{window.left, window.top};
    if (state->position && IsWritable(state->position, sizeof(POINT))) {
        wanted = *state->position;
        if (haveOwner) {
            const ScreenPoint p = PlaceNearOwner(ScreenPoint{wanted.x, wanted.y},
                                                 ScreenRect{window.left, window.top, window.right, window.bottom},
                                                 ScreenRect{owner.left, owner.top, owner.right, owner.bottom},
                                                 GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
            wanted = POINT{p.x, p.y};
        }
        *state->position = wanted;
        SetSafeWindowPos(state->dialog, state->position);
        return;
    }
    if (haveOwner) wanted = POINT{owner.left, owner.bottom};
    SetSafeWindowPos(state->dialog, &wanted);
}

bool Start(HWND dialog, ColorDialogState *state) {
    DialogRecord *record = RecordOf(state);
    state->dialog = dialog;
    SetWindowLongPtrW(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(state));
    SetUIGothicFont(dialog);
    if (!IsWritable(state->color, sizeof(COLORREF))) return false;

    state->hue = 0.0;
    Recompute(state);
    state->entryColor = *state->color;
    record->entryTaken = true;

    state->okButton = GetDlgItem(dialog, IDOK);
    const SIZE ok = ClientSize(state->okButton);
    const SIZE cancel = ClientSize(GetDlgItem(dialog, IDCANCEL));
    state->okPicture = MakeBlankFCDIBitmap(ok.cx, ok.cy);
    state->cancelPicture = MakeBlankFCDIBitmap(cancel.cx, cancel.cy);
    if (!FillPicture(state->okPicture, *state->color) || !FillPicture(state->cancelPicture, state->entryColor))
        return false;

    for (int id : {CHROMELL_ID_HUE, CHROMELL_ID_SATINT, CHROMELL_ID_GRADIENT}) {
        HWND control = GetDlgItem(dialog, id);
        if (!control || SendMessageW(control, CHROMELL_WM_ATTACH, 0, 0) != 0) return false;
    }
    for (int i = 0; i < 3; ++i) {
        HWND upDown = GetDlgItem(dialog, kUpDowns[i]);
        SendMessageW(upDown, UDM_SETBUDDY, reinterpret_cast<WPARAM>(GetDlgItem(dialog, kFields[i])), 0);
        SendMessageW(upDown, UDM_SETRANGE32, 0, 255);
        SendDlgItemMessageW(dialog, kFields[i], EM_LIMITTEXT, 3, 0);
    }
    FillFields(state);
    if (!ShowPage(state)) return false;
    Place(state);

    if (!state->history && !state->keepHistory) state->history = g_module.defaultHistory;
    if (state->history && state->history[0] == 0) {
        for (int i = 0; i < kHistoryLength; ++i) state->history[i] = kDefaultHistory[i];
    }
    if (state->floating && state->keepHistory) {
        state->historyTracker = TrackerStart(*state->color);
        SetTimer(dialog, CHROMELL_HISTORY_TIMER, CHROMELL_HISTORY_TICK_MS, nullptr);
    }
    record->started = true;
    return true;
}

void EndWindow(ColorDialogState *state, int code) {
    if (state->floating) {
        DestroyWindow(state->dialog);
    } else {
        EndDialog(state->dialog, code);
    }
}

void Cancel(ColorDialogState *state) {
    if (RecordOf(state)->entryTaken) *state->color = state->entryColor;
    if (state->owner) SendMessageW(state->owner, CHROMELL_WM_COLOR_CHANGED, 0, 0);
    EndWindow(state, 0);
}

void Refresh(ColorDialogState *state) {
    Recompute(state);
    if (!RebuildHuePictures(state)) {
        FailWindow(state);
        return;
    }
    FillFields(state);
    RepaintOk(state);
    RedrawWindow(state->dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
}

void NumberEdited(ColorDialogState *state, int id) {
    if (RecordOf(state)->filling) return;
    UINT value = GetDlgItemInt(state->dialog, id, nullptr, FALSE);
    if (value != ClampFieldValue(value)) {
        value = ClampFieldValue(value);
        RecordOf(state)->filling = true;
        SetDlgItemInt(state->dialog, id, value, FALSE);
        for (int i = 0; i < 3; ++i) {
            if (kFields[i] == id) SendDlgItemMessageW(state->dialog, kUpDowns[i], UDM_SETPOS32, 0, value);
        }
        RecordOf(state)->filling = false;
    }
    int channel[3];
    for (int i = 0; i < 3; ++i)
        channel[i] = static_cast<int>(ClampFieldValue(GetDlgItemInt(state->dialog, kFields[i], nullptr, FALSE)));
    *state->color = MakeColor(channel[0], channel[1], channel[2]);
    RepaintOk(state);
    if (state->owner) PostMessageW(state->owner, CHROMELL_WM_COLOR_CHANGED, 0, 0);
}

void PageButtonClicked(ColorDialogState *state) {
    if (state->restricted) {
        state->page = state->page == CHROMELL_PAGE_QUICK ? CHROMELL_PAGE_RGB : CHROMELL_PAGE_QUICK;
    } else {
        state->page = (state->page + 1) % 3;
    }
    ShowPage(state);
}

void PageMenu(ColorDialogState *state, POINT at) {
    HMENU menu = LoadMenuW(g_module.instance, MAKEINTRESOURCEW(CHROMELL_MENU));
    if (!menu) return;
    const int command = static_cast<int>(TrackPopupMenu(GetSubMenu(menu, 1), TPM_RETURNCMD | TPM_RIGHTBUTTON,
                                                        at.x, at.y, 0, state->dialog, nullptr));
    DestroyMenu(menu);
    if (command >= CHROMELL_CMD_PAGE_FIRST && command < CHROMELL_CMD_PAGE_FIRST + 3) {
        state->page = command - CHROMELL_CMD_PAGE_FIRST;
        ShowPage(state);
    }
}

POINT PointerOr(LPARAM lParam) {
    POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    if (lParam == -1) GetCursorPos(&at);  // from the keyboard
    return at;
}

void SetCorner(ColorDialogState *state, int id, COLORREF color) {
    SendMessageW(state->gradControl, CHROMELL_WM_SET_CORNER, static_cast<WPARAM>(color), id);
}

// A corner well clicked: with Alt or Ctrl the full colour dialog on the
// corner's colour, otherwise the swatch popup.
void CornerClicked(ColorDialogState *state, int id) {
    POINT at{};
    GetCursorPos(&at);
    if (GetKeyState(VK_MENU) < 0 || GetKeyState(VK_CONTROL) < 0) {
        COLORREF color = state->gradCorners[CornerIndex(id)];
        SelectHSBColor(state->dialog, &color, &at);
        SetCorner(state, id, color);
        return;
    }
    if (IsNT351()) return;
    OpenSwatchPopup(state, id, at);
}

void ContextMenu(ColorDialogState *state, HWND target, POINT at) {
    const int id = GetDlgCtrlID(target);
    if (target == GetDlgItem(state->dialog, CHROMELL_ID_PAGE_BUTTON)) {
        if (!state->restricted) PageMenu(state, at);
        return;
    }
    if (CornerIndex(id) >= 0 && GetParent(target) == state->dialog) {
        COLORREF color = state->gradCorners[CornerIndex(id)];
        RunModalDialog(state->dialog, &color, &at, nullptr, true);
        SetCorner(state, id, color);
        return;
    }
    if (state->page == CHROMELL_PAGE_GRADIENT) {
        RunPresetMenu(state, at);
    } else {
        OpenHistoryPopup(state, at);
    }
}

COLORREF TextColorOn(COLORREF face) {
    const int luma = RedOf(face) * 299 + GreenOf(face) * 587 + BlueOf(face) * 114;
    return luma < 128000 ? RGB(255, 255, 255) : RGB(0, 0, 0);
}

void DrawItem(ColorDialogState *state, const DRAWITEMSTRUCT *item) {
    HDC dc = item->hDC;
    RECT r = item->rcItem;
    const bool pressed = (item->itemState & ODS_SELECTED) != 0;
    const int id = static_cast<int>(item->CtlID);
    if (id == IDOK || id == IDCANCEL) {
        const bool ok = id == IDOK;
        DrawPicture(dc, ok ? state->okPicture : state->cancelPicture);
        wchar_t text[32] = L"";
        GetWindowTextW(item->hwndItem, text, 32);
        HGDIOBJ oldFont = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(item->hwndItem, WM_GETFONT, 0, 0)));
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, TextColorOn(ok ? *state->color : state->entryColor));
        RECT t = r;
        if (pressed) OffsetRect(&t, 2, 2);
        DrawTextW(dc, text, -1, &t, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        SelectObject(dc, oldFont);
        DrawEdge(dc, &r, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
    } else if (id == CHROMELL_ID_PAGE_BUTTON) {
        FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
        HBITMAP icon = g_module.pageIcons[state->page >= 0 && state->page < 3 ? state->page : 0];
        HDC memory = CreateCompatibleDC(dc);
        if (memory && icon) {
            HGDIOBJ old = SelectObject(memory, icon);
            const int shift = pressed ? 1 : 0;
            BitBlt(dc, (r.right - r.left - 14) / 2 + shift, (r.bottom - r.top - 14) / 2 + shift, 16, 16, memory, 0,
                   0, SRCCOPY);
            SelectObject(memory, old);
        }
        if (memory) DeleteDC(memory);
        DrawEdge(dc, &r, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
    } else if (CornerIndex(id) >= 0) {
        HBRUSH brush = CreateSolidBrush(state->gradCorners[CornerIndex(id)] & 0xFFFFFF);
        FillRect(dc, &r, brush);
        DeleteObject(brush);
        DrawEdge(dc, &r, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
    }
}

void HistoryTimer(ColorDialogState *state) {
    if (!state->floating || !state->keepHistory || state->historyPopup) return;
    const HistoryTick tick = TickHistory(state->historyTracker, *state->color);
    state->historyTracker = tick.tracker;
    if (tick.addColor) AddColorToHistory(state, *state->color);
}

void Close(ColorDialogState *state) {
    KillTimer(state->dialog, CHROMELL_HISTORY_TIMER);
    // A drag still under way (the dialog ended by a double click or from
    // outside) lets the pointer go.
    HWND captured = GetCapture();
    if (captured && (captured == state->dialog || IsChild(state->dialog, captured))) {
        ReleaseCapture();
        ClipCursor(nullptr);
    }
    for (HBITMAP *picture : {&state->huePicture, &state->satIntPicture, &state->gradPicture, &state->historyPicture,
                             &state->okPicture, &state->cancelPicture}) {
        if (*picture) FreeDIBitmap(picture);
    }
    if (state->hint) DestroyWindow(state->hint);
    if (state->position && IsWritable(state->position, sizeof(POINT))) {
        RECT r{};
        if (GetWindowRect(state->dialog, &r)) *state->position = POINT{r.left, r.top};
    }
    g_module.lastPage = state->page;
    if (state->floating && state->owner && RecordOf(state)->started)
        SendMessageW(state->owner, CHROMELL_WM_POPUP_CLOSED, 0, 0);
}

}  // namespace

ColorDialogState *StateOfDialog(HWND dialog) {
    return reinterpret_cast<ColorDialogState *>(GetWindowLongPtrW(dialog, DWLP_USER));
}

void FailWindow(ColorDialogState *state) {
    ReleaseCapture();
    ClipCursor(nullptr);
    RecordOf(state)->failed = true;
    EndWindow(state, 0);
}

void ColorPicked(ColorDialogState *state, COLORREF color) {
    *state->color = color;
    RepaintOk(state);
    if (state->hint) PostMessageW(state->hint, CHROMELL_WM_HINT_UPDATE, 0, 0);
    if (state->owner) PostMessageW(state->owner, CHROMELL_WM_COLOR_CHANGED, 0, 0);
}

void AddColorToHistory(ColorDialogState *state, COLORREF color) {
    if (!state->keepHistory || !state->history) return;
    ColorValue history[kHistoryLength];
    for (int i = 0; i < kHistoryLength; ++i) history[i] = state->history[i];
    if (!AddToHistory(history, color)) return;
    for (int i = 0; i < kHistoryLength; ++i) state->history[i] = history[i];
    if (state->historyPicture) {
        DrawHistoryPicture(state);
        if (state->historyPopup) InvalidateRect(state->historyPopup, nullptr, FALSE);
    }
}

void DialogOk(ColorDialogState *state) {
    if (state->floating) {
        AddColorToHistory(state, *state->color);
        DestroyWindow(state->dialog);
    } else {
        EndDialog(state->dialog, IDOK);
    }
}

INT_PTR CALLBACK ColorDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto *state = reinterpret_cast<ColorDialogState *>(lParam);
        if (!state) {
            EndDialog(dialog, 0);
            return FALSE;
        }
        if (!Start(dialog, state)) FailWindow(state);
        return TRUE;
    }
    ColorDialogState *state = StateOfDialog(dialog);
    if (!state) return FALSE;
    switch (message) {
    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        const int code = HIWORD(wParam);
        if (id == IDOK) {
            DialogOk(state);
        } else if (id == IDCANCEL) {
            Cancel(state);
        } else if (id == CHROMELL_ID_PAGE_BUTTON && code == BN_CLICKED) {
            PageButtonClicked(state);
        } else if (CornerIndex(id) >= 0 && code == BN_CLICKED) {
            CornerClicked(state, id);
        } else if ((id == CHROMELL_ID_RED_FIELD || id == CHROMELL_ID_GREEN_FIELD || id == CHROMELL_ID_BLUE_FIELD) &&
                   code == EN_CHANGE) {
            NumberEdited(state, id);
        } else {
            return FALSE;
        }
        return TRUE;
    }
    case WM_CONTEXTMENU:
        ContextMenu(state, reinterpret_cast<HWND>(wParam), PointerOr(lParam));
        return TRUE;
    case WM_DRAWITEM:
        DrawItem(state, reinterpret_cast<const DRAWITEMSTRUCT *>(lParam));
        return TRUE;
    case WM_TIMER:
        if (wParam != CHROMELL_HISTORY_TIMER) return FALSE;
        HistoryTimer(state);
        return TRUE;
    case CHROMELL_WM_COLOR_CHANGED:
        Refresh(state);
        return TRUE;
    case CHROMELL_WM_CLOSE_QUIETLY:
        state->owner = nullptr;
        EndWindow(state, 0);
        return TRUE;
    case CHROMELL_WM_REPLACE:
        Place(state);
        ShowWindow(dialog, SW_SHOWNORMAL);
        return TRUE;
    case WM_PALETTECHANGED:
        if (reinterpret_cast<HWND>(wParam) == dialog) return FALSE;
        [[fallthrough]];
    case WM_QUERYNEWPALETTE:
        LoadPageIcons();
        RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
        return TRUE;
    case WM_DESTROY:
        Close(state);
        return TRUE;
    case WM_NCDESTROY:
        SetWindowLongPtrW(dialog, DWLP_USER, 0);
        if (state->floating && RecordOf(state)->windowOwnsState) std::free(RecordOf(state));
        return FALSE;
    default:
        return FALSE;
    }
}

}  // namespace chromell
