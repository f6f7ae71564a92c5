// The four exports: the modal dialog and the floating window, each with and
// without a colour history.  Every pointer a caller passes is checked for
// its size before use: the colour (4 bytes) and a history (80 bytes) are
// refused when not writable, a position (8 bytes) that is not is ignored.
#include <cstdlib>

#include "chromell_internal.h"

namespace chromell {

namespace {

DialogRecord *NewRecord(HWND owner, COLORREF *color, POINT *position, COLORREF *history) {
    auto *record = static_cast<DialogRecord *>(std::calloc(1, sizeof(DialogRecord)));
    if (!record) return nullptr;
    ColorDialogState &state = record->state;
    state.owner = owner;
    state.color = color;
    state.position = IsWritable(position, sizeof(int32_t) * 2) ? position : nullptr;
    state.history = history;
    state.keepHistory = history ? 1 : 0;
    state.page = g_module.lastPage;
    state.gradMarkerX = state.gradMarkerY = -1;
    return record;
}

bool Acceptable(COLORREF *color, COLORREF *history) {
    if (!IsWritable(color, sizeof(COLORREF))) return false;
    return !history || IsWritable(history, sizeof(COLORREF) * kHistoryLength);
}

}  // namespace

int RunModalDialog(HWND owner, COLORREF *color, POINT *position, COLORREF *history, bool restricted) {
    if (!Acceptable(color, history)) return 0;
    DialogRecord *record = NewRecord(owner, color, position, history);
    if (!record) return 0;
    record->state.restricted = restricted ? 1 : 0;
    const INT_PTR result = DialogBoxParamW(g_module.instance, MAKEINTRESOURCEW(CHROMELL_DIALOG), owner,
                                           ColorDialogProc, reinterpret_cast<LPARAM>(&record->state));
    int answer = 0;
    if (result == IDOK) {
        answer = 1;
    } else if (result == -1) {
        answer = -1;  // never created: the colour was not touched
    } else if (record->entryTaken) {
        *color = record->state.entryColor;
    }
    std::free(record);
    return answer;
}

}  // namespace chromell

using namespace chromell;

extern "C" {

int WINAPI SelectHSBColorMRU(HWND owner, COLORREF *color, POINT *position, COLORREF *history) {
    // A dialog that could not be created at all leaves the colour as it
    // was and answers 0, as a cancelled one does.
    return RunModalDialog(owner, color, position, history, false) == 1 ? 1 : 0;
}

HWND WINAPI SelectHSBColorFloatMRU(HWND owner, COLORREF *color, POINT *position, COLORREF *history) {
    if (!Acceptable(color, history)) return nullptr;
    DialogRecord *record = NewRecord(owner, color, position, history);
    if (!record) return nullptr;
    record->state.floating = 1;
    HWND window = CreateDialogParamW(g_module.instance, MAKEINTRESOURCEW(CHROMELL_DIALOG), owner, ColorDialogProc,
                                     reinterpret_cast<LPARAM>(&record->state));
    if (!window || !IsWindow(window) || !record->started) {
        // Creation failed or the window ended during its initialisation:
        // the state is still the entry point's to free.
        if (window && IsWindow(window)) DestroyWindow(window);
        std::free(record);
        return nullptr;
    }
    record->windowOwnsState = true;
    ShowWindow(window, SW_SHOWNORMAL);
    return window;
}

int WINAPI SelectHSBColor(HWND owner, COLORREF *color, POINT *position) {
    return SelectHSBColorMRU(owner, color, position, nullptr);
}

HWND WINAPI SelectHSBColorFloat(HWND owner, COLORREF *color, POINT *position) {
    return SelectHSBColorFloatMRU(owner, color, position, nullptr);
}

}  // extern "C"
