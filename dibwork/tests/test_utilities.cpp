// Small utilities: the program folder, the shared dialog font, the
// last-error box and the shell helpers.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "dibwork_binding.h"

#include <commctrl.h>
#include <shlobj.h>

using pintora_test::MessageBoxWatcher;
using pintora_test::Narrow;

namespace {

// The text of the selected item of the folder dialog's tree.
std::string SelectedTreeText(HWND dialog) {
    HWND tree = FindWindowExA(dialog, nullptr, "SysTreeView32", nullptr);
    if (!tree) return "";
    const auto item = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
    if (!item) return "";
    char text[MAX_PATH] = "";
    TVITEMA tv{};
    tv.mask = TVIF_TEXT;
    tv.hItem = item;
    tv.pszText = text;
    tv.cchTextMax = MAX_PATH;
    if (!SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&tv))) return "";
    return text;
}

std::string OwnFolder() {
    char path[MAX_PATH * 4] = "";
    GetModuleFileNameA(nullptr, path, sizeof(path));
    std::string s(path);
    return s.substr(0, s.find_last_of('\\') + 1);
}

TEST(GetCurrentModulePath, GivesTheRunningProgramsFolder) {
    auto &dw = Dw();
    char buffer[MAX_PATH * 4];
    ASSERT_EQ(dw.GetCurrentModulePath(buffer, sizeof(buffer)), 1);
    EXPECT_EQ(std::string(buffer), OwnFolder());
    EXPECT_EQ(buffer[std::string(buffer).size() - 1], '\\');
}

TEST(GetCurrentModulePath, RefusesBuffersTooSmall) {
    auto &dw = Dw();
    const std::string folder = OwnFolder();
    std::string buffer(folder.size() + 1, 'x');
    // Exactly big enough: folder plus its NUL.
    EXPECT_EQ(dw.GetCurrentModulePath(buffer.data(), static_cast<int>(folder.size() + 1)), 1);
    EXPECT_EQ(std::string(buffer.c_str()), folder);
    // One byte short: 0 and an empty string.
    buffer.assign(folder.size() + 1, 'x');
    EXPECT_EQ(dw.GetCurrentModulePath(buffer.data(), static_cast<int>(folder.size())), 0);
    EXPECT_EQ(buffer[0], '\0');
    char one[1] = {'x'};
    EXPECT_EQ(dw.GetCurrentModulePath(one, 1), 0);
    EXPECT_EQ(one[0], 'x') << "a size below 2 writes nothing";
    EXPECT_EQ(dw.GetCurrentModulePath(nullptr, 100), 0);
}

TEST(SmallUtilities, LengthsAndEnvironment) {
    auto &dw = Dw();
    EXPECT_EQ(dw.wStrLen(nullptr), 0);
    EXPECT_EQ(dw.wStrLen(""), 0);
    EXPECT_EQ(dw.wStrLen("abc"), 3);
    EXPECT_EQ(dw.wStrLen("\xE3\x83\x96\xE3\x83\xA9\xE3\x82\xB7"), 9) << "bytes, not characters";
    EXPECT_EQ(dw.IsNT351(), 0);
    EXPECT_EQ(dw.IsMMX(), 1) << "every processor this runs on has MMX";
    EXPECT_EQ(dw.PopupBrowserByURL(nullptr), 0);
    EXPECT_EQ(dw.MailToMailAddress(nullptr), 0);
}

HWND MakeDialogLikeWindow(int children) {
    HWND parent = CreateWindowExW(0, L"STATIC", L"parent", WS_OVERLAPPEDWINDOW, 0, 0, 200, 200, nullptr,
                                  nullptr, nullptr, nullptr);
    HWND group = CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 100, 100, parent, nullptr, nullptr,
                                 nullptr);
    for (int i = 0; i < children; ++i) {
        CreateWindowExW(0, L"BUTTON", L"ok", WS_CHILD, 0, 20 * i, 80, 20, i % 2 ? group : parent, nullptr,
                        nullptr, nullptr);
    }
    return parent;
}

BOOL CALLBACK CollectFont(HWND child, LPARAM param) {
    auto *fonts = reinterpret_cast<std::vector<HFONT> *>(param);
    fonts->push_back(reinterpret_cast<HFONT>(SendMessageW(child, WM_GETFONT, 0, 0)));
    return TRUE;
}

TEST(SetUIGothicFont, OneFontForEveryDescendantOfEveryDialog) {
    auto &dw = Dw();
    HWND first = MakeDialogLikeWindow(3);
    HWND second = MakeDialogLikeWindow(4);
    EXPECT_NE(dw.SetUIGothicFont(first), 0);
    EXPECT_NE(dw.SetUIGothicFont(second), 0);

    std::vector<HFONT> fonts;
    EnumChildWindows(first, CollectFont, reinterpret_cast<LPARAM>(&fonts));
    EnumChildWindows(second, CollectFont, reinterpret_cast<LPARAM>(&fonts));
    ASSERT_EQ(fonts.size(), 4u + 5u) << "grandchildren included";
    // The static "group" control does not keep a font; the buttons do.
    HFONT shared = nullptr;
    for (HFONT f : fonts) {
        if (!f) continue;
        if (!shared) shared = f;
        EXPECT_EQ(f, shared) << "the font is made once";
    }
    ASSERT_NE(shared, nullptr);
    LOGFONTA logFont{};
    ASSERT_EQ(GetObjectA(shared, sizeof(logFont), &logFont), static_cast<int>(sizeof(logFont)));
    EXPECT_EQ(logFont.lfHeight, 13);
    EXPECT_EQ(logFont.lfWeight, FW_NORMAL);
    EXPECT_EQ(logFont.lfCharSet, SHIFTJIS_CHARSET);
    EXPECT_STREQ(logFont.lfFaceName, "MS UI Gothic");
    DestroyWindow(first);
    DestroyWindow(second);
}

TEST(PrintErrorMessage, ShowsTheSystemTextOfTheLastError) {
    auto &dw = Dw();
    MessageBoxWatcher watcher;
    HANDLE file = CreateFileA("Z:\\no\\such\\folder\\file.bmp", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0,
                              nullptr);
    ASSERT_EQ(file, INVALID_HANDLE_VALUE);
    const DWORD error = GetLastError();
    wchar_t expected[512] = L"";
    FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error,
                   MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), expected, 512, nullptr);
    SetLastError(error);
    dw.PrintErrorMessage(nullptr);
    ASSERT_TRUE(watcher.WaitFor(1));
    const auto box = watcher.Seen()[0];
    EXPECT_EQ(box.caption, "Error");
    EXPECT_EQ(box.icon, pintora_test::SeenBox::kWarning);
    // The box may trim the trailing line break of the system text.
    std::string text = Narrow(expected);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    EXPECT_NE(text, "");
    EXPECT_EQ(box.text.substr(0, text.size()), text);

    SetLastError(ERROR_ACCESS_DENIED);
    dw.PrintErrorMessage("\xE3\x83\x96\xE3\x83\xA9\xE3\x82\xB7");  // "ブラシ"
    ASSERT_TRUE(watcher.WaitFor(2));
    EXPECT_EQ(watcher.Seen()[1].caption, "\xE3\x83\x96\xE3\x83\xA9\xE3\x82\xB7");
}

// The folders the dialogs of this thread were asked to select, as
// BFFM_SETSELECTIONA passed them (path strings, wParam TRUE).
std::vector<std::string> g_selectionRequests;

LRESULT CALLBACK RecordSelectionRequests(int code, WPARAM wParam, LPARAM lParam) {
    const auto *message = reinterpret_cast<const CWPSTRUCT *>(lParam);
    if (code == HC_ACTION && message->message == BFFM_SETSELECTIONA && message->wParam == TRUE && message->lParam) {
        g_selectionRequests.emplace_back(reinterpret_cast<const char *>(message->lParam));
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST(BrowseFolderDirect, PreselectsTheGivenFolder) {
    auto &dw = Dw();
    pintora_test::TempDir dir;
    std::string folder = Narrow(dir.path());
    folder.pop_back();  // no trailing backslash
    char path[MAX_PATH];
    lstrcpynA(path, folder.c_str(), MAX_PATH);
    g_selectionRequests.clear();
    HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, RecordSelectionRequests, nullptr, GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);
    std::atomic<bool> selected{false};
    {
        // The dialog moves its tree to the folder after it has appeared:
        // press OK once the selection is there.  Wine's dialog now and then
        // drops a selection made while it starts; after 3 s OK is pressed
        // anyway and the answer is whatever the dialog holds.
        const std::string leaf = folder.substr(folder.find_last_of('\\') + 1);
        std::thread presser([&] {
            const DWORD process = GetCurrentProcessId();
            DWORD shownAt = 0;
            for (int i = 0; i < 1000; ++i, Sleep(10)) {
                HWND box = FindWindowExA(nullptr, nullptr, "#32770", nullptr);
                for (; box; box = FindWindowExA(nullptr, box, "#32770", nullptr)) {
                    DWORD owner = 0;
                    GetWindowThreadProcessId(box, &owner);
                    if (owner == process && IsWindowVisible(box)) break;
                }
                if (!box) continue;
                if (!shownAt) shownAt = GetTickCount();
                selected = SelectedTreeText(box) == leaf;
                if (selected || GetTickCount() - shownAt > 3000 || i == 999) {
                    PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
                    return;
                }
            }
        });
        const int result = dw.BrowseFolderDirect(nullptr, path, "Choose");
        presser.join();
        EXPECT_EQ(result, 1);
    }
    UnhookWindowsHookEx(hook);
    // What the library does: ask the dialog for the folder, once.
    ASSERT_EQ(g_selectionRequests.size(), 1u);
    EXPECT_EQ(g_selectionRequests[0], folder);
    // And what comes back is the dialog's choice.
    if (selected) {
        EXPECT_EQ(lstrcmpiA(path, folder.c_str()), 0) << path;
    } else {
        EXPECT_NE(path[0], '\0');
    }

    char empty[MAX_PATH] = "";
    {
        MessageBoxWatcher canceller(IDCANCEL, true);  // the folder browser
        EXPECT_EQ(dw.BrowseFolderDirect(nullptr, empty, "Choose"), 0);
        EXPECT_TRUE(canceller.WaitFor(1));
    }
    EXPECT_STREQ(empty, "");
}

}  // namespace
