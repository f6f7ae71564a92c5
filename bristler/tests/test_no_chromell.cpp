// Bristler without Chromell.dll beside it, as in an installation that
// lacks the colour library: the settings dialog opens and works without a
// colour window, nothing is allocated for one, and the colour button tells
// the user that a library is missing instead of ending the dialog.  A
// process of its own, loading a copy of Bristler from a folder without
// Chromell.
#include <gtest/gtest.h>

#include <string>

#include "bristler.h"
#include "test_support.h"

namespace {

std::wstring Text(HWND window) {
    wchar_t text[256] = L"";
    GetWindowTextW(window, text, 256);
    return text;
}

TEST(BristlerWithoutChromell, TheDialogWorksWithoutAColourWindow) {
    pintora_test::TempDir dir;
    ASSERT_TRUE(CopyFileW(pintora_test::DistPath(L"Bristler.dll").c_str(), dir.File(L"Bristler.dll").c_str(), FALSE));
    ASSERT_TRUE(CopyFileW(pintora_test::DistPath(L"Dibwork.dll").c_str(), dir.File(L"Dibwork.dll").c_str(), FALSE));
    ASSERT_TRUE(CreateDirectoryW(dir.File(L"brushes").c_str(), nullptr));
    ASSERT_TRUE(CopyFileW((pintora_test::TestDir() + L"plugins\\basic.brs").c_str(),
                          dir.File(L"brushes\\basic.brs").c_str(), FALSE));

    HMODULE bristler = LoadLibraryW(dir.File(L"Bristler.dll").c_str());
    ASSERT_NE(bristler, nullptr);
    auto init = pintora_test::Ordinal<decltype(&InitBrushPlugInDLL)>(bristler, 1);
    auto end = pintora_test::Ordinal<decltype(&EndBrushPlugInDLL)>(bristler, 2);
    auto select = pintora_test::Ordinal<decltype(&SelectPlugInBrush)>(bristler, 5);
    auto *manager = static_cast<PlugInBrushManager *>(GlobalAlloc(GPTR, sizeof(PlugInBrushManager)));
    HWND owner = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 100, 100, 400, 300, nullptr, nullptr,
                                 nullptr, nullptr);
    {
        pintora_test::MessageBoxWatcher watcher;
        const std::string folder = pintora_test::Narrow(dir.File(L"brushes"));
        ASSERT_EQ(init(manager, folder.c_str(), owner, nullptr, 0), 1);
        int pen = -1;
        for (int i = 0; i < manager->brushCount; ++i) {
            if (std::string(manager->brushes[i].name) == u8"ペン") pen = i;
        }
        ASSERT_GE(pen, 0);
        ASSERT_EQ(select(manager, pen, nullptr), 1);
        HWND dialog = manager->settingsDialog;
        ASSERT_TRUE(IsWindow(dialog));
        EXPECT_EQ(Text(dialog), L"\u30da\u30f3\u306e\u8a2d\u5b9a");  // "ペンの設定"
        EXPECT_TRUE(IsWindowVisible(GetDlgItem(dialog, 1030)));
        EXPECT_EQ(manager->colorPopup, nullptr);
        EXPECT_EQ(manager->colorHistory, nullptr) << "no history for a colour window that cannot open";
        EXPECT_EQ(GetModuleHandleW(L"Chromell.dll"), nullptr);
        EXPECT_TRUE(watcher.Seen().empty()) << "opening stays quiet";

        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(1030, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, 1030)));
        ASSERT_TRUE(watcher.WaitFor(1));
        const auto seen = watcher.Seen();
        ASSERT_EQ(seen.size(), 1u);
        EXPECT_EQ(seen[0].text, u8"処理に必要なＤＬＬをロードできません。\n設定を確認して、再インストールしてください。");
        EXPECT_TRUE(IsWindow(dialog)) << "the dialog goes on without a colour window";
        EXPECT_EQ(manager->colorPopup, nullptr);
        EXPECT_EQ(end(manager), 1);
        EXPECT_FALSE(IsWindow(dialog));
    }
    DestroyWindow(owner);
    GlobalFree(manager);
    FreeLibrary(bristler);
}

}  // namespace
