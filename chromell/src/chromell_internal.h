// Chromell's shared internals: the module state, the private record around
// each window's ColorDialogState, and the functions the dialog, the
// selectors and the popups call in each other.
#pragma once

#include <windows.h>

#include "chromell.h"
#include "color_model.h"
#include "dibwork.h"
#include "dialog_rules.h"
#include "pixel_view.h"

// The exports (chromell.def gives their names and ordinals).
extern "C" {
int WINAPI SelectHSBColor(HWND owner, COLORREF *color, POINT *position);
HWND WINAPI SelectHSBColorFloat(HWND owner, COLORREF *color, POINT *position);
HWND WINAPI SelectHSBColorFloatMRU(HWND owner, COLORREF *color, POINT *position, COLORREF *history);
int WINAPI SelectHSBColorMRU(HWND owner, COLORREF *color, POINT *position, COLORREF *history);
}

namespace chromell {

// --------------------------------------------------------- module state --

struct Module {
    HINSTANCE instance = nullptr;
    HCURSOR pickCursor = nullptr;
    HBITMAP markerAnd = nullptr;   // 120: black where the marker covers
    HBITMAP markerOr = nullptr;    // 121: the marker's colours
    HBITMAP pageIcons[3] = {};     // 122..124
    int lastPage = CHROMELL_PAGE_QUICK;
    COLORREF gradCornerMemory[4] = {MakeColor(255, 0, 0), MakeColor(0, 0, 255), MakeColor(255, 255, 255),
                                    MakeColor(0, 255, 0)};
    COLORREF defaultHistory[kHistoryLength] = {};
};
extern Module g_module;

// Loads the page icons again (the system palette changed); true when all
// three loaded.
bool LoadPageIcons();

// Message box with a text of the string table, captioned "色選択".
void ShowMessage(HWND owner, UINT textId);

// ------------------------------------------------------ per-window record --

// The entry point allocates this zero-filled; the dialog keeps the address
// of `state` (the first member) in DWLP_USER.
struct DialogRecord {
    ColorDialogState state;
    bool windowOwnsState;  // floating: freed by the window from now on
    bool entryTaken;       // entryColor holds the colour at entry
    bool filling;          // the dialog is writing its number fields
    bool failed;           // a handler failed and ended the window
    bool started;          // initialisation completed
};

inline DialogRecord *RecordOf(ColorDialogState *state) { return reinterpret_cast<DialogRecord *>(state); }

ColorDialogState *StateOfDialog(HWND dialog);

// True when [p, p + bytes) is committed memory this process may write.
bool IsWritable(const void *p, size_t bytes);

// The dialog procedure of dialog 114.
INT_PTR CALLBACK ColorDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Runs dialog 114 modally over `owner`: 1 for OK, 0 for cancel or failure
// (the colour restored), -1 when it could not be created (the colour
// untouched).
int RunModalDialog(HWND owner, COLORREF *color, POINT *position, COLORREF *history, bool restricted);

// Ends the window after a failure in a handler: capture and cursor
// clipping released; the floating window destroyed, the modal dialog
// ended with 0.
void FailWindow(ColorDialogState *state);

// The colour changed by a pick or a popup: the OK face refilled and
// repainted, the hint told, the owner told (posted).
void ColorPicked(ColorDialogState *state, COLORREF color);

// Adds the colour to the caller's history (when the caller gave one) and
// redraws the history popup's picture.
void AddColorToHistory(ColorDialogState *state, COLORREF color);

// The OK command of the dialog (also a double click in a selector).
void DialogOk(ColorDialogState *state);

// ------------------------------------------------------------ pictures --

// A 24-bit DIBitmap's pixels as a view; an empty view for NULL.
dibwork::PixelView ViewOf(HBITMAP picture);
// Draws a picture unscaled at the DC's origin; false when it has no bits.
bool DrawPicture(HDC dc, HBITMAP picture);
// Draws the 7 x 7 marker centred on (x, y).
void DrawMarker(HDC dc, int x, int y);
// Fills a picture with a colour.
bool FillPicture(HBITMAP picture, COLORREF color);

// -------------------------------------------------------- window classes --

bool RegisterClasses(HINSTANCE instance);
void UnregisterClasses(HINSTANCE instance);

// The selectors: rebuild the hue strip and the square for the state's hue;
// rebuild the gradient from the state's corners.
bool RebuildHuePictures(ColorDialogState *state);
bool RebuildGradient(ColorDialogState *state);

// The popups.  Both open at the screen point, owned by the dialog.
HWND OpenSwatchPopup(ColorDialogState *state, int cornerId, POINT at);
HWND OpenHistoryPopup(ColorDialogState *state, POINT at);
// The preset menu at the screen point; applies the chosen preset.
void RunPresetMenu(ColorDialogState *state, POINT at);
// The hint window for the state at the pointer.
HWND OpenHint(ColorDialogState *state, int placement);
// Redraws the history popup's picture from the state's history.
bool DrawHistoryPicture(ColorDialogState *state);

// The gradient corner ids 1015..1018 as corner indexes 0..3, -1 otherwise.
inline int CornerIndex(int id) {
    return id >= CHROMELL_ID_CORNER_TL && id <= CHROMELL_ID_CORNER_BR ? id - CHROMELL_ID_CORNER_TL : -1;
}

}  // namespace chromell
