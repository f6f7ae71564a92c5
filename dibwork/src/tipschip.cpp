// The tips chip: a small tool-tip popup that shows a text beside the mouse
// pointer once the pointer has rested over a target window for the
// caller's delay, and hides as soon as the pointer moves.
//
// The chip polls: a timer runs at a sixth of the delay, and six ticks in a
// row with the pointer unmoved over the target show the chip.  Each chip
// window carries its TipsChipRecord as user data.
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "dibwork.h"
#include "dibwork_internal.h"
#include "tipschip_resource.h"

namespace {

const char kClassName[] = "TipsChipWndClass";
constexpr UINT kTicksPerDelay = 6;
constexpr int kStillTicksToShow = 6;
constexpr int kPointerGap = 16;       // chip offset right of and below the pointer
constexpr int kFrameExtra = 4;        // border and margin around the text
constexpr int kFontHeight = 13;
constexpr RECT kMeasureStart = {0, 0, 100, 10};

// Two pointer-sized fields (text, target), then five 32-bit ones.
static_assert(sizeof(TipsChipRecord) == 2 * sizeof(void *) + 5 * 4 + (sizeof(void *) == 8 ? 4 : 0),
              "text and target, five 32-bit fields (padded to 8 bytes on x86_64)");

// Instances whose class this library registered: unregistered when the
// library unloads, since the class's window procedure goes with it.
std::vector<HINSTANCE> g_registeredFor;

TipsChipRecord *RecordOf(HWND chip) {
    return reinterpret_cast<TipsChipRecord *>(GetWindowLongPtrA(chip, GWLP_USERDATA));
}

std::wstring LibraryText(UINT id) {
    wchar_t text[64] = L"";
    const int length = LoadStringW(pintora::ThisModule(), id, text, 64);
    return std::wstring(text, length > 0 ? length : 0);
}

HFONT MakeChipFont(const wchar_t *face) {
    return CreateFontW(kFontHeight, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face);
}

// The chip font, made anew for each use: the proportional Gothic face,
// else the fixed-pitch one, else the system's default face.
class ChipFont {
public:
    ChipFont() {
        for (UINT id : {IDS_TIPSCHIP_FACE_PROPORTIONAL, IDS_TIPSCHIP_FACE_FIXED}) {
            const std::wstring face = LibraryText(id);
            if (!face.empty() && (font_ = MakeChipFont(face.c_str())) != nullptr) return;
        }
        font_ = MakeChipFont(L"");
    }
    ~ChipFont() { if (font_) DeleteObject(font_); }
    ChipFont(const ChipFont &) = delete;
    ChipFont &operator=(const ChipFont &) = delete;
    HFONT get() const { return font_; }
private:
    HFONT font_ = nullptr;
};

// The record's text (in the process code page) for the wide drawing calls.
std::wstring WideText(const char *text) {
    const int length = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (length <= 1) return std::wstring();
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text, -1, &wide[0], length);
    wide.resize(static_cast<size_t>(length - 1));
    return wide;
}

TipsChipRecord *NewRecord(LPCSTR text, HWND target, UINT timerId, UINT delay) {
    auto *record = static_cast<TipsChipRecord *>(std::calloc(1, sizeof(TipsChipRecord)));
    const size_t bytes = std::strlen(text) + 1;
    char *copy = static_cast<char *>(std::malloc(bytes));
    if (!record || !copy) {
        std::free(record);
        std::free(copy);
        return nullptr;
    }
    std::memcpy(copy, text, bytes);
    record->text = copy;
    record->target = target;
    record->timerId = timerId;
    record->delay = delay;
    return record;
}

void FreeRecord(TipsChipRecord *record) {
    if (!record) return;
    std::free(record->text);
    std::free(record);
}

bool ClassRegistered(HINSTANCE instance) {
    WNDCLASSA existing;
    return GetClassInfoA(instance, kClassName, &existing) != FALSE;
}

// ----------------------------------------------------------- measuring --

bool MeasureText(const char *text, SIZE *size) {
    dibwork::MemoryDC dc;
    ChipFont font;
    if (!dc.get() || !font.get()) return false;
    dibwork::SelectGuard select(dc.get(), font.get());
    if (!select.ok()) return false;
    const std::wstring wide = WideText(text);
    RECT rect = kMeasureStart;
    if (!DrawTextW(dc.get(), wide.c_str(), -1, &rect, DT_CALCRECT)) return false;
    size->cx = rect.right - rect.left;
    size->cy = rect.bottom - rect.top;
    return true;
}

// ---------------------------------------------------------- the pointer --

// A tick of time 0 only notes where the pointer is and starts counting
// again; creation begins that way.
void Restart(TipsChipRecord &record) {
    POINT pointer{};
    GetCursorPos(&pointer);
    record.stillCount = 0;
    record.lastX = pointer.x;
    record.lastY = pointer.y;
}

// The pointer is over the target itself or one of its direct children,
// not over some window that covers it.
bool PointerOnTarget(HWND target, POINT pointer) {
    RECT area;
    if (!GetWindowRect(target, &area) || !PtInRect(&area, pointer)) return false;
    const HWND under = WindowFromPoint(pointer);
    return under && (under == target || GetAncestor(under, GA_PARENT) == target);
}

// Right of and below the pointer; on the other side of it on each axis
// where the chip would leave the screen.
void ShowNearPointer(HWND chip, POINT pointer) {
    RECT rect;
    GetWindowRect(chip, &rect);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    int x = pointer.x + kPointerGap;
    int y = pointer.y + kPointerGap;
    if (x + width > GetSystemMetrics(SM_CXSCREEN)) x = pointer.x - width;
    if (y + height > GetSystemMetrics(SM_CYSCREEN)) y = pointer.y - height;
    SetWindowPos(chip, HWND_TOPMOST, x, y, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

void Hide(HWND chip) {
    if (IsWindowVisible(chip)) {
        SetWindowPos(chip, nullptr, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_HIDEWINDOW);
    }
}

void Tick(HWND chip, TipsChipRecord &record, DWORD time) {
    if (time == 0) {
        Restart(record);
        return;
    }
    POINT pointer{};
    GetCursorPos(&pointer);
    const bool still = pointer.x == record.lastX && pointer.y == record.lastY;
    if (still && PointerOnTarget(record.target, pointer)) {
        if (++record.stillCount >= kStillTicksToShow) {
            ShowNearPointer(chip, pointer);
            // Stay one short, so every further still tick places it again.
            --record.stillCount;
        }
    } else {
        Hide(chip);
        record.stillCount = 0;
    }
    record.lastX = pointer.x;
    record.lastY = pointer.y;
}

// ------------------------------------------------------------ messages --

LRESULT OnCreate(HWND chip, const CREATESTRUCTA *create) {
    auto *record = static_cast<TipsChipRecord *>(create->lpCreateParams);
    SetWindowLongPtrA(chip, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(record));
    SIZE text{};
    if (!MeasureText(record->text, &text) || !SetTimer(chip, record->timerId, record->delay / kTicksPerDelay, nullptr)) {
        // The creator still owns the record and frees it.
        SetWindowLongPtrA(chip, GWLP_USERDATA, 0);
        return -1;
    }
    SetWindowPos(chip, nullptr, 0, 0, text.cx + kFrameExtra, text.cy + kFrameExtra,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_HIDEWINDOW);
    Restart(*record);
    return 0;
}

void OnPaint(HWND chip) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(chip, &paint);
    const TipsChipRecord *record = RecordOf(chip);
    if (dc && record) {
        ChipFont font;
        dibwork::SelectGuard select(dc, font.get());
        SetTextColor(dc, GetSysColor(COLOR_INFOTEXT));
        SetBkColor(dc, GetSysColor(COLOR_INFOBK));
        RECT area;
        GetClientRect(chip, &area);
        area.left = 1;
        area.top = 1;
        const std::wstring wide = WideText(record->text);
        DrawTextW(dc, wide.c_str(), -1, &area, 0);
    }
    EndPaint(chip, &paint);
}

void OnTimer(HWND chip, UINT_PTR timerId) {
    TipsChipRecord *record = RecordOf(chip);
    if (record && timerId == record->timerId) Tick(chip, *record, GetMessageTime());
}

// A chip destroyed by other means than EndTipsChipWindow still frees its
// record.
void OnNcDestroy(HWND chip) {
    FreeRecord(RecordOf(chip));
    SetWindowLongPtrA(chip, GWLP_USERDATA, 0);
}

LRESULT CALLBACK TipsChipProc(HWND chip, UINT message, WPARAM wParam, LPARAM lParam) {
    try {
        switch (message) {
        case WM_CREATE:
            return OnCreate(chip, reinterpret_cast<const CREATESTRUCTA *>(lParam));
        case WM_PAINT:
            OnPaint(chip);
            return 0;
        case WM_TIMER:
            OnTimer(chip, wParam);
            return 0;
        case WM_NCDESTROY:
            OnNcDestroy(chip);
            break;
        }
    } catch (...) {
        if (message == WM_CREATE) return -1;
    }
    return DefWindowProcA(chip, message, wParam, lParam);
}

bool IsTipsChip(HWND window) {
    char name[sizeof(kClassName) + 1] = "";
    return GetClassNameA(window, name, sizeof(name)) > 0 && std::strcmp(name, kClassName) == 0;
}

}  // namespace

namespace dibwork {

void ShutdownTipsChips() {
    for (HINSTANCE instance : g_registeredFor) UnregisterClassA(kClassName, instance);
    g_registeredFor.clear();
}

}  // namespace dibwork

int WINAPI TipsChipWndClassset(HINSTANCE instance) {
    WNDCLASSA windowClass{};
    windowClass.style = CS_BYTEALIGNCLIENT;
    windowClass.lpfnWndProc = TipsChipProc;
    windowClass.hInstance = instance;
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_INFOBK + 1));
    windowClass.lpszClassName = kClassName;
    const ATOM atom = RegisterClassA(&windowClass);
    if (atom) {
        try {
            g_registeredFor.push_back(instance);
        } catch (...) {
            // Only the clean-up at unload misses this instance.
        }
    }
    return atom;
}

int WINAPI UnregisterTipsChipWndClass(HINSTANCE instance) {
    if (!instance) return 0;
    UnregisterClassA(kClassName, instance);
    g_registeredFor.erase(std::remove(g_registeredFor.begin(), g_registeredFor.end(), instance),
                          g_registeredFor.end());
    return 1;
}

HWND WINAPI StartTipsChipWindow(LPCSTR text, HWND target, HINSTANCE instance, UINT timerId, UINT delay) {
    if (!text) return nullptr;
    TipsChipRecord *record = NewRecord(text, target, timerId, delay);
    if (!record) return nullptr;
    if (!ClassRegistered(instance)) TipsChipWndClassset(instance);
    HWND chip = CreateWindowExA(WS_EX_TOOLWINDOW, kClassName, "", WS_POPUP | WS_BORDER, 0, 0, 10, 10, nullptr,
                                nullptr, instance, record);
    if (!chip) FreeRecord(record);
    return chip;
}

void WINAPI EndTipsChipWindow(HWND chip) {
    if (!chip || !IsTipsChip(chip)) return;
    if (TipsChipRecord *record = RecordOf(chip)) {
        KillTimer(chip, record->timerId);
        SetWindowLongPtrA(chip, GWLP_USERDATA, 0);
        FreeRecord(record);
    }
    DestroyWindow(chip);
}
