// Loading and unloading Chromell in a process of its own: a clean load
// registers the six classes and unloading removes them again; a window
// class that cannot be registered (taken beforehand for the address the
// library loads at) is reported with message 55, the library refuses to
// load, and the clashing class is left alone.
#include <gtest/gtest.h>

#include <vector>

#include "chromell.h"
#include "test_support.h"

namespace {

// The box comes while the loader lock is held, so it is closed by a hook
// on the loading thread itself rather than by the watcher's thread.
struct SeenBox {
    std::string caption, text;
};
std::vector<SeenBox> g_seen;
HHOOK g_hook = nullptr;

std::string TextOf(HWND window) {
    wchar_t text[512] = L"";
    GetWindowTextW(window, text, 512);
    return pintora_test::Narrow(text);
}

LRESULT CALLBACK CloseBoxes(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE) {
        HWND box = reinterpret_cast<HWND>(wParam);
        wchar_t className[16] = L"";
        GetClassNameW(box, className, 16);
        if (lstrcmpW(className, L"#32770") == 0) {
            HWND text = GetDlgItem(box, 0xFFFF);
            g_seen.push_back(SeenBox{TextOf(box), text ? TextOf(text) : ""});
            PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        }
    }
    return CallNextHookEx(g_hook, code, wParam, lParam);
}

bool Registered(HINSTANCE instance, const char *name) {
    WNDCLASSEXA info{sizeof(info)};
    return GetClassInfoExA(instance, name, &info) != 0;
}

TEST(ChromellLoad, ACleanLoadComesAndGoesThenAClassClashIsReportedAndRefused) {
    const std::wstring path = pintora_test::DistPath(L"Chromell.dll");
    HMODULE module = LoadLibraryW(path.c_str());
    ASSERT_NE(module, nullptr);
    for (const char *name : {CHROMELL_HUE_CLASS, CHROMELL_SATINT_CLASS, CHROMELL_GRADIENT_CLASS,
                             CHROMELL_SWATCH_CLASS, CHROMELL_HISTORY_CLASS, CHROMELL_HINT_CLASS})
        EXPECT_TRUE(Registered(module, name)) << name;
    ASSERT_TRUE(FreeLibrary(module));
    EXPECT_FALSE(Registered(module, CHROMELL_HISTORY_CLASS)) << "unloading removes the classes";

    // The same address again, with one of its classes taken.
    auto *instance = reinterpret_cast<HINSTANCE>(module);
    WNDCLASSA clash{};
    clash.lpfnWndProc = DefWindowProcA;
    clash.hInstance = instance;
    clash.lpszClassName = CHROMELL_GRADIENT_CLASS;
    ASSERT_NE(RegisterClassA(&clash), 0);
    g_hook = SetWindowsHookExW(WH_CBT, CloseBoxes, nullptr, GetCurrentThreadId());
    ASSERT_NE(g_hook, nullptr);
    HMODULE refused = LoadLibraryW(path.c_str());
    UnhookWindowsHookEx(g_hook);
    EXPECT_EQ(refused, nullptr) << "the library must refuse to load (it loaded at " << refused << ", the clash is at "
                                << instance << ")";
    ASSERT_EQ(g_seen.size(), 1u);
    EXPECT_EQ(g_seen[0].caption, u8"色選択");
    EXPECT_EQ(g_seen[0].text, u8"ＤＬＬの初期化に失敗しました。");
    EXPECT_TRUE(Registered(instance, CHROMELL_GRADIENT_CLASS)) << "the clashing class is not Chromell's to remove";
    EXPECT_FALSE(Registered(instance, CHROMELL_HUE_CLASS)) << "the classes registered before the clash are gone";
    UnregisterClassA(CHROMELL_GRADIENT_CLASS, instance);
}

}  // namespace
