// Helpers of the window tests: plain visible windows to place and point
// at, the tests' own registry key (removed before and after each test),
// and a direct reader of registry values to check what was stored.
#pragma once

#include <windows.h>

#include <string>

#include "window_test_strings.h"

namespace window_test {

inline HINSTANCE Self() { return GetModuleHandleW(nullptr); }

inline SIZE ScreenSize() { return SIZE{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}; }

inline RECT WindowRect(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect;
}

// A visible, top-level popup window of a plain class of our own (STATIC
// windows are transparent to WindowFromPoint), destroyed with the object.
class PlainWindow {
public:
    PlainWindow(int x, int y, int width, int height, HWND parent = nullptr) {
        static const ATOM atom = [] {
            WNDCLASSW windowClass{};
            windowClass.lpfnWndProc = DefWindowProcW;
            windowClass.hInstance = Self();
            windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
            windowClass.lpszClassName = L"PintoraTestPlainWindow";
            return RegisterClassW(&windowClass);
        }();
        (void)atom;
        const DWORD style = (parent ? WS_CHILD : WS_POPUP) | WS_VISIBLE;
        window_ = CreateWindowExW(0, L"PintoraTestPlainWindow", L"", style, x, y, width, height, parent, nullptr,
                                  Self(), nullptr);
        UpdateWindow(window_);
    }
    ~PlainWindow() { if (window_) DestroyWindow(window_); }
    PlainWindow(const PlainWindow &) = delete;
    PlainWindow &operator=(const PlainWindow &) = delete;
    HWND get() const { return window_; }
private:
    HWND window_ = nullptr;
};

// The tests' registry key is deleted when the scope starts and ends.
class TestKeyScope {
public:
    TestKeyScope() { Remove(); }
    ~TestKeyScope() { Remove(); }
    TestKeyScope(const TestKeyScope &) = delete;
    TestKeyScope &operator=(const TestKeyScope &) = delete;
    static void Remove() { RegDeleteTreeA(HKEY_CURRENT_USER, TEST_KEY_ROOT); }
};

// The stored text of a value, or "<missing>".
inline std::string StoredText(const char *keyPath, const char *name) {
    char text[1024] = "";
    DWORD bytes = sizeof(text);
    if (RegGetValueA(HKEY_CURRENT_USER, keyPath, name, RRF_RT_REG_SZ, nullptr, text, &bytes) != ERROR_SUCCESS) {
        return "<missing>";
    }
    return text;
}

inline bool KeyExists(const char *keyPath) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, keyPath, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

}  // namespace window_test
