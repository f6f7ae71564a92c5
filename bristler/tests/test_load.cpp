// Loading Bristler when its preview window class cannot be registered: the
// user is told, and the library still loads.  The class is made to clash
// by registering it first for the module address Bristler will load at.
#include <gtest/gtest.h>

#include <fstream>
#include <vector>

#include "bristler.h"
#include "test_support.h"

namespace {

// The preferred load address written in a DLL file.
uintptr_t PreferredBase(const std::wstring &path) {
    std::ifstream file(pintora_test::Narrow(path), std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (bytes.size() < sizeof(IMAGE_DOS_HEADER)) return 0;
    auto *dos = reinterpret_cast<const IMAGE_DOS_HEADER *>(bytes.data());
    if (static_cast<size_t>(dos->e_lfanew) + sizeof(IMAGE_NT_HEADERS) > bytes.size()) return 0;
    auto *nt = reinterpret_cast<const IMAGE_NT_HEADERS *>(bytes.data() + dos->e_lfanew);
    return nt->OptionalHeader.ImageBase;
}

// The box at load comes while the loader lock is held, and the shared
// box watcher's thread needs that lock (resource look-ups for the icons),
// so it would wait for ever.  This hook runs in the loading thread itself:
// it records each box as it becomes active and closes it.
struct SeenOnThread {
    std::string caption;
    std::string text;
    bool exclamationIcon = false;
};
std::vector<SeenOnThread> g_seen;
HHOOK g_hook = nullptr;

std::string TextOf(HWND window) {
    wchar_t text[1024] = L"";
    GetWindowTextW(window, text, 1024);
    return pintora_test::Narrow(text);
}

// The static control of the icon style that shows a box's icon.
BOOL CALLBACK FindIconControl(HWND child, LPARAM param) {
    wchar_t className[32] = L"";
    GetClassNameW(child, className, 32);
    if (lstrcmpiW(className, L"Static") == 0 && (GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
        *reinterpret_cast<HWND *>(param) = child;
        return FALSE;
    }
    return TRUE;
}

LRESULT CALLBACK CloseBoxes(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE) {
        HWND box = reinterpret_cast<HWND>(wParam);
        wchar_t className[16] = L"";
        GetClassNameW(box, className, 16);
        if (lstrcmpW(className, L"#32770") == 0) {
            SeenOnThread seen;
            seen.caption = TextOf(box);
            if (HWND textControl = GetDlgItem(box, 0xFFFF)) seen.text = TextOf(textControl);
            HWND iconControl = nullptr;
            EnumChildWindows(box, FindIconControl, reinterpret_cast<LPARAM>(&iconControl));
            HICON shown = iconControl ? reinterpret_cast<HICON>(SendMessageW(iconControl, STM_GETICON, 0, 0))
                                      : nullptr;
            seen.exclamationIcon = shown && shown == LoadIcon(nullptr, IDI_EXCLAMATION);
            g_seen.push_back(seen);
            PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        }
    }
    return CallNextHookEx(g_hook, code, wParam, lParam);
}

TEST(BristlerLoad, AClassThatCannotBeRegisteredIsReportedAndTheLibraryStillLoads) {
    const std::wstring path = pintora_test::DistPath(L"Bristler.dll");
    const uintptr_t base = PreferredBase(path);
    ASSERT_NE(base, 0u);
    WNDCLASSA clash{};
    clash.lpfnWndProc = DefWindowProcA;
    clash.hInstance = reinterpret_cast<HINSTANCE>(base);
    clash.lpszClassName = BRISTLER_PREVIEW_CLASS;
    ASSERT_NE(RegisterClassA(&clash), 0);

    // The exclamation icon is looked up before the load holds the lock.
    ASSERT_NE(LoadIcon(nullptr, IDI_EXCLAMATION), nullptr);
    g_hook = SetWindowsHookExW(WH_CBT, CloseBoxes, nullptr, GetCurrentThreadId());
    ASSERT_NE(g_hook, nullptr);
    HMODULE module = LoadLibraryW(path.c_str());
    UnhookWindowsHookEx(g_hook);
    ASSERT_NE(module, nullptr) << "the library loads all the same";
    ASSERT_EQ(reinterpret_cast<uintptr_t>(module), base) << "Bristler did not load where the clash was set up";
    ASSERT_EQ(g_seen.size(), 1u);
    EXPECT_EQ(g_seen[0].caption, u8"ブラシ");
    EXPECT_EQ(g_seen[0].text, u8"ＤＬＬの初期化に失敗しました。");
    EXPECT_TRUE(g_seen[0].exclamationIcon);
    FreeLibrary(module);
    UnregisterClassA(BRISTLER_PREVIEW_CLASS, reinterpret_cast<HINSTANCE>(base));
}

}  // namespace
