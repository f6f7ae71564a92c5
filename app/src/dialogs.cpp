#include "dialogs.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "app_state.h"
#include "bar_layout.h"
#include "chromell.h"
#include "dibwork.h"
#include "paper.h"
#include "resource_ids.h"
#include "text.h"

namespace pintora {
namespace {

constexpr const wchar_t *kVersion = L"1.11";
constexpr int kPaperColors = 256;

template <typename T>
T *StateOf(HWND dialog) {
    return reinterpret_cast<T *>(GetWindowLongPtrW(dialog, DWLP_USER));
}

bool Checked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

void CheckPair(HWND dialog, int first, bool second) {
    CheckRadioButton(dialog, first, first + 1, second ? first + 1 : first);
}

// ------------------------------------------------------------ kids mode --

// "色を選ぶ...": the colour dialog of Chromell, loaded by name for this
// one question and unloaded after.  Without the library or its export the
// colour stays.
void ChoosePaperColor(AppState &app, HWND dialog) {
    HMODULE chromell = LoadLibraryW(L"Chromell.DLL");
    if (!chromell) return;
    auto select = reinterpret_cast<SelectHSBColorProc>(
        reinterpret_cast<void *>(GetProcAddress(chromell, MAKEINTRESOURCEA(CHROMELL_ORDINAL_SELECT))));
    if (select) {
        COLORREF color = static_cast<COLORREF>(app.settings.colKidsPaper);
        if (select(GetDlgItem(dialog, IDC_KIDS_PAPER_COLOR), &color, nullptr)) {
            CheckPair(dialog, IDC_KIDS_TEXTURE, true);
        }
        app.settings.colKidsPaper = static_cast<int32_t>(color);
    }
    FreeLibrary(chromell);
    InvalidateRect(GetDlgItem(dialog, IDC_KIDS_PAPER_COLOR), nullptr, TRUE);
}

// The colour button shows the paper colour under its label.
BOOL DrawPaperColorButton(const AppState &app, const DRAWITEMSTRUCT &item) {
    RECT r = item.rcItem;
    HBRUSH brush = CreateSolidBrush(static_cast<COLORREF>(app.settings.colKidsPaper) & 0x00FFFFFF);
    FillRect(item.hDC, &r, brush);
    DeleteObject(brush);
    wchar_t text[64] = L"";
    GetWindowTextW(item.hwndItem, text, 64);
    const int oldMode = SetBkMode(item.hDC, TRANSPARENT);
    DrawTextW(item.hDC, text, -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    SetBkMode(item.hDC, oldMode);
    DrawEdge(item.hDC, &r, (item.itemState & ODS_SELECTED) ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
    return TRUE;
}

INT_PTR CALLBACK KidsModeProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    AppState *app = StateOf<AppState>(dialog);
    switch (message) {
        case WM_INITDIALOG: {
            SetWindowLongPtrW(dialog, DWLP_USER, lParam);
            SetUIGothicFont(dialog);
            const int32_t mode = reinterpret_cast<AppState *>(lParam)->settings.kidsMode;
            CheckPair(dialog, IDC_KIDS_CRAYON_ONLY, mode & 2);
            CheckPair(dialog, IDC_KIDS_FIXED_SIZE, mode & 4);
            CheckPair(dialog, IDC_KIDS_TEXTURE, mode & 8);
            return TRUE;
        }
        case WM_DRAWITEM:
            if (!app || wParam != IDC_KIDS_PAPER_COLOR) return FALSE;
            return DrawPaperColorButton(*app, *reinterpret_cast<const DRAWITEMSTRUCT *>(lParam));
        case WM_COMMAND:
            if (!app) return FALSE;
            switch (LOWORD(wParam)) {
                case IDOK: {
                    const int32_t value = KidsModeValue(Checked(dialog, IDC_KIDS_PEN_BAR),
                                                        Checked(dialog, IDC_KIDS_SIZE_BAR),
                                                        Checked(dialog, IDC_KIDS_FLAT_PAPER));
                    app->settings.kidsMode = value;
                    EndDialog(dialog, value);
                    return TRUE;
                }
                case IDCANCEL: EndDialog(dialog, 0); return TRUE;
                case IDC_KIDS_PAPER_COLOR: ChoosePaperColor(*app, dialog); return TRUE;
                case IDC_KIDS_BRIGHTNESS:
                    if (ShowPaperBrightnessDialog(*app, dialog)) CheckPair(dialog, IDC_KIDS_TEXTURE, false);
                    return TRUE;
                default: return FALSE;
            }
        default: return FALSE;
    }
}

// ----------------------------------------------------------- brightness --

// The texture, its header and bits, the colour table as loaded, and the
// header with the table shifted by the candidate value, which the preview
// is drawn with.
struct Brightness {
    AppState *app = nullptr;
    HBITMAP texture = nullptr;
    BITMAPINFOHEADER *header = nullptr;
    BYTE *bits = nullptr;
    std::vector<uint8_t> original;
    std::vector<uint8_t> shown;
    int32_t value = 0;

    ~Brightness() {
        if (header) ReleaseMetaBitmapInfoHeader(nullptr, texture, header);
        if (texture) FreeDIBitmap(&texture);
    }

    bool Load(HINSTANCE instance) {
        texture = static_cast<HBITMAP>(
            LoadImageW(instance, MAKEINTRESOURCEW(IDB_PAPER), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
        if (!texture) return false;
        bits = GetMetaBitmapInfoHeader(nullptr, texture, &header);
        if (!bits || header->biBitCount != 8) return false;
        const auto *start = reinterpret_cast<const uint8_t *>(header);
        original.assign(start, start + header->biSize + 4 * kPaperColors);
        return true;
    }

    void Shift() {
        if (original.empty()) return;
        shown = original;
        ShiftColorTable(shown.data() + reinterpret_cast<BITMAPINFOHEADER *>(shown.data())->biSize, kPaperColors,
                        value);
    }
};

void DrawPreview(const Brightness &b, const DRAWITEMSTRUCT &item) {
    if (b.shown.empty()) {
        FillRect(item.hDC, &item.rcItem, GetSysColorBrush(COLOR_BTNFACE));
        return;
    }
    auto *header = reinterpret_cast<BITMAPINFOHEADER *>(const_cast<uint8_t *>(b.shown.data()));
    const int width = std::min<int>(item.rcItem.right - item.rcItem.left, header->biWidth);
    const int height = std::min<int>(item.rcItem.bottom - item.rcItem.top, std::abs(header->biHeight));
    DispDIBToDevice(item.hDC, item.rcItem.left, item.rcItem.top, width, height, 0, 0, b.bits, header, nullptr);
}

INT_PTR CALLBACK BrightnessProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    Brightness *b = StateOf<Brightness>(dialog);
    switch (message) {
        case WM_INITDIALOG: {
            SetWindowLongPtrW(dialog, DWLP_USER, lParam);
            b = reinterpret_cast<Brightness *>(lParam);
            SetUIGothicFont(dialog);
            HWND track = GetDlgItem(dialog, IDC_PAPER_TRACK);
            SendMessageW(track, TBM_SETRANGE, TRUE, MAKELPARAM(0, kBrightnessTrackMax));
            SendMessageW(track, TBM_SETPAGESIZE, 0, kBrightnessPage);
            SendMessageW(track, TBM_SETPOS, TRUE, BrightnessToTrack(b->value));
            b->Load(b->app->instance);
            b->Shift();
            return TRUE;
        }
        case WM_HSCROLL:
            if (!b || LOWORD(wParam) > TB_ENDTRACK) return FALSE;
            b->value = TrackToBrightness(
                static_cast<int>(SendMessageW(GetDlgItem(dialog, IDC_PAPER_TRACK), TBM_GETPOS, 0, 0)));
            b->Shift();
            InvalidateRect(GetDlgItem(dialog, IDC_PAPER_PREVIEW), nullptr, FALSE);
            UpdateWindow(GetDlgItem(dialog, IDC_PAPER_PREVIEW));
            return TRUE;
        case WM_DRAWITEM:
            if (!b || wParam != IDC_PAPER_PREVIEW) return FALSE;
            DrawPreview(*b, *reinterpret_cast<const DRAWITEMSTRUCT *>(lParam));
            return TRUE;
        case WM_COMMAND:
            if (!b) return FALSE;
            if (LOWORD(wParam) == IDOK) {
                b->app->settings.paperIntensity = b->value;
                EndDialog(dialog, 1);
                return TRUE;
            }
            if (LOWORD(wParam) == IDCANCEL) {
                EndDialog(dialog, 0);
                return TRUE;
            }
            return FALSE;
        default: return FALSE;
    }
}

// ---------------------------------------------------------------- about --

INT_PTR CALLBACK AboutProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    AppState *app = StateOf<AppState>(dialog);
    switch (message) {
        case WM_INITDIALOG: {
            SetWindowLongPtrW(dialog, DWLP_USER, lParam);
            SetUIGothicFont(dialog);
            // The template's text holds "%s" where the version goes.
            wchar_t format[128] = L"";
            GetDlgItemTextW(dialog, IDC_ABOUT_VERSION, format, 128);
            std::wstring text = format;
            const size_t at = text.find(L"%s");
            if (at != std::wstring::npos) text.replace(at, 2, kVersion);
            SetDlgItemTextW(dialog, IDC_ABOUT_VERSION, text.c_str());
            return TRUE;
        }
        case WM_COMMAND:
            if (!app) return FALSE;
            switch (LOWORD(wParam)) {
                case IDCANCEL: EndDialog(dialog, 0); return TRUE;
                case IDOK: {
                    // Only the dialog manager's Enter key gives OK: the
                    // product's page.
                    const std::string page = LoadAnsiString(app->instance, IDS_PRODUCT_PAGE);
                    if (!page.empty()) PopupBrowserByURL(page.c_str());
                    EndDialog(dialog, 1);
                    return TRUE;
                }
                case IDC_ABOUT_PICTURE:
                    if (HIWORD(wParam) == STN_DBLCLK) {
                        const std::wstring text = LoadWideString(app->instance, IDS_ABOUT_OUCH);
                        const std::wstring caption = LoadWideString(app->instance, IDS_KIDS_WARNING_CAPTION);
                        MessageBoxW(dialog, text.c_str(), caption.c_str(), MB_OK);
                    }
                    return TRUE;
                default: return FALSE;
            }
        default: return FALSE;
    }
}

}  // namespace

int32_t ShowKidsModeDialog(AppState &app, HWND owner) {
    const INT_PTR result = DialogBoxParamW(app.instance, MAKEINTRESOURCEW(IDD_KIDS_OPTIONS), owner, KidsModeProc,
                                           reinterpret_cast<LPARAM>(&app));
    return result > 0 ? static_cast<int32_t>(result) : 0;
}

int ShowPaperBrightnessDialog(AppState &app, HWND owner) {
    Brightness b;
    b.app = &app;
    b.value = app.settings.paperIntensity;
    const INT_PTR result = DialogBoxParamW(app.instance, MAKEINTRESOURCEW(IDD_PAPER_BRIGHTNESS), owner,
                                           BrightnessProc, reinterpret_cast<LPARAM>(&b));
    return result == 1 ? 1 : 0;
}

void ShowAboutBox(AppState &app, HWND owner) {
    DialogBoxParamW(app.instance, MAKEINTRESOURCEW(IDD_ABOUT), owner, AboutProc, reinterpret_cast<LPARAM>(&app));
}

}  // namespace pintora
