// Chromell under test: the library loaded once from the product folder,
// its four entry points bound by ordinal, an owner window that records the
// messages the colour window sends it, and helpers to reach the window's
// state and controls.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "chromell.h"

namespace chromell_test {

struct Library {
    HMODULE module = nullptr;
    SelectHSBColorProc select = nullptr;
    SelectHSBColorFloatProc selectFloat = nullptr;
    SelectHSBColorFloatMRUProc selectFloatMru = nullptr;
    SelectHSBColorMRUProc selectMru = nullptr;
};
const Library &Chromell();

// A visible top-level window that logs the colour window's messages: each
// entry is the message number and the watched colour at that moment.
class Owner {
public:
    Owner(int x = 100, int y = 100, int width = 300, int height = 200);
    ~Owner();
    HWND hwnd() const { return window_; }
    struct Entry {
        UINT message;
        COLORREF color;
    };
    std::vector<Entry> log;
    COLORREF *watched = nullptr;
private:
    static LRESULT CALLBACK Proc(HWND, UINT, WPARAM, LPARAM);
    HWND window_ = nullptr;
};

// The state the dialog keeps in DWLP_USER.
ColorDialogState *StateOf(HWND dialog);
// The dialog's control.
HWND Control(HWND dialog, int id);
// A point inside a control, as lParam.
LPARAM At(int x, int y);
// Sends a click on a dialog button (BN_CLICKED).
void Click(HWND dialog, int id);
// The open popup window of a class, or NULL.
HWND FindPopup(const char *className);
// Drains this thread's queue.
void Pump();

}  // namespace chromell_test
