#include "dialog_helpers.h"

#include <atomic>
#include <thread>

#include "test_support.h"

namespace bristler_test {

std::string WindowText(HWND window) {
    wchar_t text[256] = L"";
    GetWindowTextW(window, text, 256);
    return pintora_test::Narrow(text);
}

void ClickAt(POINT screen, bool right) {
    const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    INPUT move{};
    move.type = INPUT_MOUSE;
    move.mi.dx = (screen.x * 65536 + w - 1) / w;
    move.mi.dy = (screen.y * 65536 + h - 1) / h;
    move.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &move, sizeof(move));
    Sleep(60);
    for (DWORD flag : {right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN,
                       right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP}) {
        INPUT button{};
        button.type = INPUT_MOUSE;
        button.mi.dwFlags = flag;
        SendInput(1, &button, sizeof(button));
        Sleep(60);
    }
}

void PressKey(WORD virtualKey) {
    INPUT input[2] = {};
    input[0].type = input[1].type = INPUT_KEYBOARD;
    input[0].ki.wVk = input[1].ki.wVk = virtualKey;
    input[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, input, sizeof(INPUT));
}

namespace {

struct MenuSearch {
    DWORD process;
    HWND found;
};

BOOL CALLBACK FindMenuWindow(HWND window, LPARAM param) {
    auto *search = reinterpret_cast<MenuSearch *>(param);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    wchar_t className[16] = L"";
    GetClassNameW(window, className, 16);
    if (process == search->process && IsWindowVisible(window) && lstrcmpW(className, L"#32768") == 0) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

MenuSeen ReadPoppedMenu(MenuAction action, int index) {
    MenuSeen seen;
    MenuSearch search{GetCurrentProcessId(), nullptr};
    for (int i = 0; i < 1500 && !search.found; ++i) {
        EnumWindows(FindMenuWindow, reinterpret_cast<LPARAM>(&search));
        if (!search.found) Sleep(10);
    }
    if (!search.found) return seen;
    Sleep(50);  // let the menu finish showing
    seen.found = true;
    RECT box{};
    GetWindowRect(search.found, &box);
    seen.at = {box.left, box.top};
    auto menu = reinterpret_cast<HMENU>(SendMessageW(search.found, MN_GETHMENU, 0, 0));
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        wchar_t text[128] = L"";
        MENUITEMINFOW info{};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = 128;
        GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info);
        seen.items.push_back({pintora_test::Narrow(text), info.wID, info.fType, info.fState});
    }
    if (action == MenuAction::kCancel) {
        PressKey(VK_ESCAPE);
    } else {
        RECT item{};
        GetMenuItemRect(nullptr, menu, static_cast<UINT>(index), &item);
        ClickAt({(item.left + item.right) / 2, (item.top + item.bottom) / 2});
    }
    for (int i = 0; i < 300 && IsWindow(search.found) && IsWindowVisible(search.found); ++i) Sleep(10);
    return seen;
}

MenuSeen WithPoppedMenu(void (*open)(void *), void *context, MenuAction action, int index) {
    MenuSeen seen;
    std::atomic<bool> done{false};
    std::thread reader([&] {
        seen = ReadPoppedMenu(action, index);
        done = true;
    });
    open(context);
    while (!done) pintora_test::PumpMessages(20);
    reader.join();
    pintora_test::PumpMessages(50);
    return seen;
}

}  // namespace bristler_test
