#include "chromell_test_support.h"

#include "test_support.h"

namespace chromell_test {

const Library &Chromell() {
    static const Library library = [] {
        Library l;
        l.module = pintora_test::LoadProductLibrary(L"Chromell.dll");
        if (!l.module) return l;
        l.select = pintora_test::Ordinal<SelectHSBColorProc>(l.module, CHROMELL_ORDINAL_SELECT);
        l.selectFloat = pintora_test::Ordinal<SelectHSBColorFloatProc>(l.module, CHROMELL_ORDINAL_SELECT_FLOAT);
        l.selectFloatMru =
            pintora_test::Ordinal<SelectHSBColorFloatMRUProc>(l.module, CHROMELL_ORDINAL_SELECT_FLOAT_MRU);
        l.selectMru = pintora_test::Ordinal<SelectHSBColorMRUProc>(l.module, CHROMELL_ORDINAL_SELECT_MRU);
        return l;
    }();
    return library;
}

Owner::Owner(int x, int y, int width, int height) {
    static const ATOM atom = [] {
        WNDCLASSEXW wc{sizeof(wc)};
        wc.lpfnWndProc = Proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        wc.lpszClassName = L"ChromellTestOwner";
        return RegisterClassExW(&wc);
    }();
    (void)atom;
    window_ = CreateWindowExW(0, L"ChromellTestOwner", L"owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, x, y, width,
                              height, nullptr, nullptr, GetModuleHandleW(nullptr), this);
    Pump();
}

Owner::~Owner() {
    if (window_) DestroyWindow(window_);
    Pump();
}

LRESULT CALLBACK Owner::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW *>(lParam)->lpCreateParams));
    }
    auto *owner = reinterpret_cast<Owner *>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (owner && (message == CHROMELL_WM_COLOR_CHANGED || message == CHROMELL_WM_POPUP_CLOSED)) {
        owner->log.push_back(Entry{message, owner->watched ? *owner->watched : 0});
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

ColorDialogState *StateOf(HWND dialog) {
    return reinterpret_cast<ColorDialogState *>(GetWindowLongPtrW(dialog, DWLP_USER));
}

HWND Control(HWND dialog, int id) { return GetDlgItem(dialog, id); }

LPARAM At(int x, int y) { return MAKELPARAM(x, y); }

void Click(HWND dialog, int id) {
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(Control(dialog, id)));
}

namespace {
struct Search {
    const char *name;
    HWND found;
};
BOOL CALLBACK MatchClass(HWND window, LPARAM param) {
    auto *s = reinterpret_cast<Search *>(param);
    char name[64] = "";
    GetClassNameA(window, name, sizeof(name));
    if (lstrcmpA(name, s->name) == 0 && IsWindowVisible(window)) {
        s->found = window;
        return FALSE;
    }
    return TRUE;
}
}  // namespace

HWND FindPopup(const char *className) {
    Search search{className, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), MatchClass, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

void Pump() { pintora_test::PumpMessages(50); }

}  // namespace chromell_test
