// Discovery: the folder search, the acceptance of plug-ins by their header
// strings, the reading of every brush with its skip rules, duplicates by
// version, the module table, the order of the brush table, the messages,
// the brush menu and the end.
#include <gtest/gtest.h>

#include <cstring>

#include "bristler_test_support.h"

using namespace bristler_test;
using pintora_test::MessageBoxWatcher;
using pintora_test::Narrow;
using pintora_test::SeenBox;
using Names = std::vector<std::string>;

namespace {

// ------------------------------------------------------ folder messages --

TEST(Discovery, AnEmptyFolderHasNoLibraryToLoad) {
    MessageBoxWatcher watcher;
    PlugInFolder folder;
    Manager manager;
    EXPECT_EQ(manager.Init(folder.Ansi()), 0);
    ExpectBoxes(watcher, {kNoLibrary}, SeenBox::kWarning);
}

TEST(Discovery, AFolderThatDoesNotExistHasNoLibraryToLoad) {
    MessageBoxWatcher watcher;
    PlugInFolder folder;
    Manager manager;
    EXPECT_EQ(manager.Init(folder.Ansi() + "\\missing"), 0);
    ExpectBoxes(watcher, {kNoLibrary}, SeenBox::kWarning);
}

TEST(Discovery, FilesThatAreNoPlugInsGiveNoBrush) {
    MessageBoxWatcher watcher;
    PlugInFolder folder;
    folder.Add(L"not_plugin", L"library.brs").Write(L"text.brs", "not a library at all");
    Manager manager;
    EXPECT_EQ(manager.Init(folder.Ansi()), 0);
    ExpectBoxes(watcher, {kNoBrush}, SeenBox::kWarning);
    EXPECT_FALSE(IsLoaded(folder.path() + L"library.brs")) << "a library that is no plug-in is unloaded";
    EXPECT_EQ(manager->moduleCount, 0);
}

// A plug-in of the other flavour (x86_64 in the 32-bit program, i686 in the
// 64-bit one) cannot be loaded into this process: it is skipped like any
// file that is no library, and the plug-ins of this flavour still load.
TEST(Discovery, APlugInOfTheOtherFlavourIsSkipped) {
    MessageBoxWatcher watcher;
    PlugInFolder folder;
    folder.Add(L"basic", L"other.brs");
    {
        // The PE file header's machine field names the other architecture.
        const std::wstring path = folder.path() + L"other.brs";
        HANDLE file = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        LONG peOffset = 0;
        DWORD done = 0;
        SetFilePointer(file, 0x3C, nullptr, FILE_BEGIN);
        ASSERT_TRUE(ReadFile(file, &peOffset, sizeof(peOffset), &done, nullptr));
        const WORD other = sizeof(void *) == 8 ? IMAGE_FILE_MACHINE_I386 : IMAGE_FILE_MACHINE_AMD64;
        SetFilePointer(file, peOffset + 4, nullptr, FILE_BEGIN);
        ASSERT_TRUE(WriteFile(file, &other, sizeof(other), &done, nullptr));
        CloseHandle(file);
    }
    Manager manager;
    EXPECT_EQ(manager.Init(folder.Ansi()), 0);
    ExpectBoxes(watcher, {kNoBrush}, SeenBox::kWarning);
    EXPECT_EQ(manager->moduleCount, 0);

    folder.Add(L"basic", L"same.brs");
    Manager second;
    EXPECT_EQ(second.Init(folder.Ansi()), 1);
    EXPECT_EQ(second->moduleCount, 1);
}

TEST(Discovery, WithoutAFolderTheProgramsOwnFolderIsSearched) {
    // The tests' folder holds no ".brs" file (the test plug-ins live one
    // folder down).
    MessageBoxWatcher watcher;
    Manager manager;
    EXPECT_EQ(Bw().InitBrushPlugInDLL(manager.get(), nullptr, nullptr, nullptr, 0), 0);
    ExpectBoxes(watcher, {kNoLibrary}, SeenBox::kWarning);
    EXPECT_EQ(Bw().InitBrushPlugInDLL(nullptr, "C:\\", nullptr, nullptr, 0), 0);
}

// ------------------------------------------------------- the brush table --

TEST(Discovery, StartValuesAndTheSortedTable) {
    MessageBoxWatcher watcher;
    PlugInFolder folder;
    folder.Add(L"basic", L"basic.brs");
    Manager manager;
    // Whatever the record held before is cleared.
    std::memset(manager.get(), 0xCD, sizeof(PlugInBrushManager));
    CountingWindow owner;
    ASSERT_EQ(manager.Init(folder.Ansi(), owner.hwnd()), 1);
    EXPECT_TRUE(watcher.Seen().empty());

    const PlugInBrushManager &m = *manager.get();
    EXPECT_EQ(m.owner, owner.hwnd());
    EXPECT_EQ(m.settingsDialog, nullptr);
    EXPECT_EQ(m.colorPopup, nullptr);
    EXPECT_EQ(m.dialogX, -1024);
    EXPECT_EQ(m.dialogY, -1024);
    EXPECT_EQ(m.previewPicture, nullptr);
    EXPECT_EQ(m.currentBrush, 0);
    EXPECT_EQ(m.menuBaseId, 0);
    EXPECT_EQ(m.colorHistory, nullptr);
    EXPECT_EQ(m.lastError, 0);
    EXPECT_EQ(m.active, 0);
    EXPECT_EQ(m.context.color, 0x020000FFu);
    EXPECT_EQ(m.context.color2, 0x02FFFFFFu);
    EXPECT_EQ(m.context.canvasBits, nullptr);
    EXPECT_EQ(m.context.tipParams, nullptr);
    EXPECT_EQ(m.context.pressure, 0);

    // Keys 10, 10, 20: the two tens by name.
    EXPECT_EQ(BrushNames(&m), (Names{u8"えんぴつ", u8"ふで", u8"ペン"}));
    ASSERT_EQ(m.moduleCount, 1);
    EXPECT_EQ(std::string(m.modules[0].path), folder.AnsiFile(L"basic.brs"));
    HMODULE plugIn = m.modules[0].module;
    ASSERT_NE(plugIn, nullptr);

    for (int i = 0; i < m.brushCount; ++i) {
        EXPECT_EQ(m.brushes[i].order, i) << "after sorting the order is the position";
        EXPECT_EQ(m.brushes[i].moduleIndex, 0);
        EXPECT_NE(m.brushes[i].cursor, nullptr);
        EXPECT_EQ(m.brushes[i].reserved, 0);
    }
    const BrushDescriptor &fude = m.brushes[1];
    EXPECT_EQ(fude.group, 1);
    EXPECT_EQ(fude.version, 100);
    EXPECT_EQ(fude.flags, 22);
    EXPECT_STREQ(fude.description, u8"筆で描く");
    EXPECT_STREQ(fude.exportName, "Xi_SecondBrush");
    EXPECT_EQ(reinterpret_cast<void *>(fude.entryPoint),
              reinterpret_cast<void *>(GetProcAddress(plugIn, "Xi_SecondBrush")));
    EXPECT_EQ(fude.cursor, LoadCursorW(plugIn, MAKEINTRESOURCEW(1001)));
    EXPECT_EQ(fude.dialogTemplate, 0);
    EXPECT_EQ(fude.dialogProc, nullptr);
    EXPECT_STREQ(fude.params[0].label, u8"大きさ");
    EXPECT_EQ(fude.params[0].minimum, 3);
    EXPECT_EQ(fude.params[0].maximum, 50);
    EXPECT_EQ(fude.params[0].value, 10);
    EXPECT_STREQ(fude.params[1].label, u8"濃さ");
    EXPECT_EQ(fude.params[1].value, 70);
    EXPECT_EQ(m.brushes[2].params[2].maximum, 100) << u8"ペン has three parameters";
}

TEST(Discovery, TheSignatureMustMatchInLetterCaseToo) {
    MessageBoxWatcher watcher;
    PlugInFolder folder;
    folder.Add(L"case_signature", L"a.brs").Add(L"basic", L"b.brs");
    Manager manager;
    ASSERT_EQ(manager.Init(folder.Ansi()), 1);
    EXPECT_EQ(BrushIndex(manager.get(), u8"大文字"), -1);
    EXPECT_EQ(manager->moduleCount, 1);
    EXPECT_FALSE(IsLoaded(folder.path() + L"a.brs"));
    EXPECT_TRUE(IsLoaded(folder.path() + L"b.brs"));

    PlugInFolder alone;
    alone.Add(L"case_signature", L"a.brs");
    Manager second;
    EXPECT_EQ(second.Init(alone.Ansi()), 0);
    ExpectBoxes(watcher, {kNoBrush}, SeenBox::kWarning);
}

TEST(Discovery, InterfaceVersion101IsTheNewestAccepted) {
    PlugInFolder folder;
    folder.Add(L"version101", L"a.brs").Add(L"version102", L"b.brs");
    Manager manager;
    ASSERT_EQ(manager.Init(folder.Ansi()), 1);
    EXPECT_EQ(BrushNames(manager.get()), (Names{u8"版101"}));
    EXPECT_FALSE(IsLoaded(folder.path() + L"b.brs"));
}

TEST(Discovery, ABrushCountOfZeroSkipsThePlugIn) {
    PlugInFolder folder;
    folder.Add(L"count0", L"a.brs").Add(L"basic", L"b.brs");
    Manager manager;
    ASSERT_EQ(manager.Init(folder.Ansi()), 1);
    EXPECT_EQ(BrushIndex(manager.get(), u8"数ゼロ"), -1);
    EXPECT_EQ(manager->moduleCount, 1);
    EXPECT_FALSE(IsLoaded(folder.path() + L"a.brs"));
}

TEST(Discovery, ABrushOfGroupZeroIsSkippedAndItsNeighboursStay) {
    PlugInFolder folder;
    folder.Add(L"group0", L"g.brs");
    Manager manager;
    ASSERT_EQ(manager.Init(folder.Ansi()), 1);
    EXPECT_EQ(BrushNames(manager.get()), (Names{u8"組A", u8"組C"}));
    const BrushDescriptor *c = FindBrush(manager.get(), u8"組C");
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->group, 2);
    EXPECT_STREQ(c->exportName, "Xi_SecondBrush") << "brush 2 keeps its own strings";
}

TEST(Discovery, AMissingSortKeySortsAfterEveryLowerKey) {
    PlugInFolder folder;
    folder.Add(L"no_sort_key", L"k.brs");
    Manager manager;
    ASSERT_EQ(manager.Init(folder.Ansi()), 1);
    // "あ" has no key (65535): after "ん" (65534) although its name sorts
    // first, and before "い" (65535) by name.
    EXPECT_EQ(BrushNames(manager.get()), (Names{u8"ん", u8"あ", u8"い"}));
}

TEST(Discovery, BrushesWithoutAnEntryPointOrACursorAreSkipped) {
    PlugInFolder folder;
    folder.Add(L"missing_export", L"e.brs").Add(L"bad_cursor", L"c.brs");
    Manager manager;
    ASSERT_EQ(manager.Init(folder.Ansi()), 1);
    const Names names = BrushNames(manager.get());
    EXPECT_EQ(names, (Names{u8"書ける", u8"矢印あり"}));
}

TEST(Discovery, OnlyTheFlaggedParametersAreRead) {
    PlugInFolder folder;
    folder.Add(L"flags6", L"f.brs");
    Manager manager;
    ASSERT_EQ(manager.Init(folder.Ansi()), 1);
    const BrushDescriptor *brush = FindBrush(manager.get(), u8"二つだけ");
    ASSERT_NE(brush, nullptr);
    EXPECT_STREQ(brush->params[0].label, u8"大きさ");
    EXPECT_EQ(brush->params[1].value, 50);
    const BrushParam zero{};
    EXPECT_EQ(std::memcmp(&brush->params[2], &zero, sizeof(zero)), 0)
        << "the third parameter stays all zero although its strings exist";
}

TEST(Discovery, ABrushWithItsOwnDialogNeedsTemplateAndProcedure) {
    PlugInFolder folder;
    folder.Add(L"own_dialog", L"d.brs");
    Manager manager;
    ASSERT_EQ(manager.Init(folder.Ansi()), 1);
    EXPECT_EQ(BrushNames(manager.get()), (Names{u8"自前"}));
    const BrushDescriptor &brush = manager->brushes[0];
    EXPECT_EQ(brush.dialogTemplate, 213);
    EXPECT_EQ(reinterpret_cast<void *>(brush.dialogProc),
              reinterpret_cast<void *>(GetProcAddress(manager->modules[0].module, MAKEINTRESOURCEA(7))));
}

// Text of the first `characters` characters of a UTF-8 string.
std::string FirstCharacters(const std::string &text, size_t characters) {
    size_t bytes = 0;
    for (size_t n = 0; n < characters && bytes < text.size(); ++n) {
        do ++bytes; while (bytes < text.size() && (static_cast<unsigned char>(text[bytes]) & 0xC0) == 0x80);
    }
    return text.substr(0, bytes);
}

TEST(Discovery, LongStringsAreCutAtTheirFieldOnACharacterBoundary) {
    PlugInFolder folder;
    folder.Add(L"long_strings", L"l.brs");
    Manager manager;
    ASSERT_EQ(manager.Init(folder.Ansi()), 1);
    ASSERT_EQ(manager->brushCount, 2);
    const BrushDescriptor &brush = manager->brushes[0];

    // 64 bytes: "A" and twelve 3-byte characters (37 bytes) fit in 39.
    EXPECT_STREQ(brush.name, u8"Aとても長い名前のブラシで");
    const std::string description =
        u8"この説明はとても長くて九十五バイトの欄には入りきらないので途中で切られなければなりませんが文字の途中では切れません";
    EXPECT_EQ(std::string(brush.description), FirstCharacters(description, 31)) << "93 of at most 95 bytes";
    EXPECT_EQ(std::string(brush.exportName), std::string("Xi_LongExportNameBrushABCDEFGHIJKLMNOPQRSTUVWXYZ", 39));
    EXPECT_EQ(reinterpret_cast<void *>(brush.entryPoint),
              reinterpret_cast<void *>(GetProcAddress(manager->modules[0].module, MAKEINTRESOURCEA(3))))
        << "the entry point is resolved by the whole export name";
    EXPECT_STREQ(brush.params[0].label, u8"とても長いラベ");
    EXPECT_EQ(brush.params[0].value, 30) << "the values after a cut label are intact";
    // Parameter 2 lacks its maximum, parameter 3 its initial value.
    EXPECT_STREQ(brush.params[1].label, u8"濃さ");
    EXPECT_EQ(brush.params[1].minimum, 7);
    EXPECT_EQ(brush.params[1].maximum, 0);
    EXPECT_EQ(brush.params[1].value, 0);
    EXPECT_STREQ(brush.params[2].label, u8"三番");
    EXPECT_EQ(brush.params[2].minimum, 2);
    EXPECT_EQ(brush.params[2].maximum, 9);
    EXPECT_EQ(brush.params[2].value, 0);

    // 40 digits cut to 39 equal the next brush's 39 digits: the same name
    // at the same version, so that one is skipped.
    const BrushDescriptor &digits = manager->brushes[1];
    EXPECT_STREQ(digits.name, "123456789012345678901234567890123456789");
    EXPECT_EQ(digits.order, 1);
    EXPECT_EQ(digits.version, 100);
}

// ------------------------------------------------------------ duplicates --

// Two plug-ins in a folder under names that make the platform's search
// return `first` before `second`.
struct TwoPlugIns {
    TwoPlugIns(const std::wstring &first, const std::wstring &second) {
        folder.Add(first, L"a_" + first + L".brs").Add(second, L"b_" + second + L".brs");
        firstPath = folder.path() + L"a_" + first + L".brs";
        secondPath = folder.path() + L"b_" + second + L".brs";
        const auto order = folder.SearchOrder();
        EXPECT_EQ(order, (std::vector<std::wstring>{L"a_" + first + L".brs", L"b_" + second + L".brs"}))
            << "the search order these tests rely on";
    }
    PlugInFolder folder;
    std::wstring firstPath, secondPath;
};

TEST(Duplicates, ANewerCrayonReplacesTheOlderInEitherFileOrder) {
    for (bool newerFirst : {false, true}) {
        TwoPlugIns plugIns(newerFirst ? L"crayon101" : L"penlith_standin",
                           newerFirst ? L"penlith_standin" : L"crayon101");
        Manager manager;
        ASSERT_EQ(manager.Init(plugIns.folder.Ansi()), 1);
        EXPECT_EQ(BrushNames(manager.get()), (Names{u8"エアブラシ", u8"クレヨン"})) << "one crayon";
        const BrushDescriptor *crayon = FindBrush(manager.get(), u8"クレヨン");
        ASSERT_NE(crayon, nullptr);
        EXPECT_EQ(crayon->version, 101);
        EXPECT_STREQ(crayon->description, u8"新しいクレヨン");
        EXPECT_EQ(crayon->params[0].maximum, 80) << "all of the newer brush's strings";
        ASSERT_EQ(manager->moduleCount, 2) << "both libraries gave a brush";
        const std::wstring newerPath = newerFirst ? plugIns.firstPath : plugIns.secondPath;
        const int newerIndex = crayon->moduleIndex;
        EXPECT_EQ(std::string(manager->modules[newerIndex].path), Narrow(newerPath));
        EXPECT_EQ(ModuleOfBrush(crayon), manager->modules[newerIndex].module);
        EXPECT_TRUE(IsLoaded(newerPath));
    }
}

TEST(Duplicates, AnEqualVersionLosesToTheFileFoundFirst) {
    {
        TwoPlugIns plugIns(L"penlith_standin", L"crayon100");
        Manager manager;
        ASSERT_EQ(manager.Init(plugIns.folder.Ansi()), 1);
        EXPECT_STREQ(FindBrush(manager.get(), u8"クレヨン")->description, u8"クレヨンで絵を描く");
        EXPECT_EQ(manager->moduleCount, 1);
        EXPECT_FALSE(IsLoaded(plugIns.secondPath)) << "it gave no brush, so it is unloaded";
    }
    {
        TwoPlugIns plugIns(L"crayon100", L"penlith_standin");
        Manager manager;
        ASSERT_EQ(manager.Init(plugIns.folder.Ansi()), 1);
        EXPECT_STREQ(FindBrush(manager.get(), u8"クレヨン")->description, u8"同じ版のクレヨン");
        EXPECT_EQ(manager->moduleCount, 2);
    }
}

TEST(Duplicates, APlugInOfOnlyOlderBrushesIsUnloadedAndNotListed) {
    TwoPlugIns plugIns(L"penlith_standin", L"older_duplicates");
    Manager manager;
    ASSERT_EQ(manager.Init(plugIns.folder.Ansi()), 1);
    EXPECT_EQ(manager->brushCount, 2);
    ASSERT_EQ(manager->moduleCount, 1);
    EXPECT_EQ(std::string(manager->modules[0].path), Narrow(plugIns.firstPath));
    EXPECT_FALSE(IsLoaded(plugIns.secondPath));
    EXPECT_EQ(FindBrush(manager.get(), u8"エアブラシ")->version, 100);
}

// ------------------------------------------------------------ file names --

TEST(Paths, JapaneseFolderAndFileNamesWork) {
    PlugInFolder folder;
    folder.Descend(L"\u30D7\u30E9\u30B0\u30A4\u30F3\u96C6");  // プラグイン集
    folder.Add(L"basic", L"\u30D6\u30E9\u30B7.brs");             // ブラシ.brs
    Manager manager;
    ASSERT_EQ(manager.Init(folder.Ansi()), 1);
    EXPECT_EQ(manager->brushCount, 3);
    ASSERT_EQ(manager->moduleCount, 1);
    EXPECT_EQ(std::string(manager->modules[0].path), folder.AnsiFile(L"\u30D6\u30E9\u30B7.brs"));
    EXPECT_EQ(std::string(manager->modules[0].path),
              folder.Ansi() + u8"\\ブラシ.brs") << "the path as UTF-8 in the ANSI field";
}

// Descends into nested folders until the folder path (without a trailing
// separator) is `length` characters long.
void DescendToLength(PlugInFolder &folder, size_t length) {
    while (folder.path().size() - 1 < length) {
        const size_t remaining = length - folder.path().size();  // after the next separator
        folder.Descend(std::wstring(remaining <= 100 ? remaining : std::min<size_t>(100, remaining - 2), L'd'));
    }
}

TEST(Paths, APlugInPathOfUpTo255CharactersWorksAndALongerOneFailsCleanly) {
    MessageBoxWatcher watcher;
    for (size_t folderLength : {249u, 250u, 251u}) {
        PlugInFolder folder;
        DescendToLength(folder, folderLength);
        const std::string ansi = folder.Ansi();
        ASSERT_EQ(ansi.size(), folderLength);
        folder.Add(L"basic", L"p.brs");  // the plug-in path: the folder and 6 characters
        Manager manager;
        const int started = manager.Init(ansi);
        if (folderLength + 6 <= 255) {
            EXPECT_EQ(started, 1) << folderLength;
            ASSERT_EQ(manager->moduleCount, 1);
            EXPECT_EQ(std::string(manager->modules[0].path), ansi + "\\p.brs");
        } else {
            EXPECT_EQ(started, 0) << folderLength << ": the module table cannot hold the path";
            EXPECT_EQ(manager->moduleCount, 0);
        }
    }
    ExpectBoxes(watcher, {kNoBrush, kNoBrush}, SeenBox::kWarning);
}

TEST(Paths, AFolderBeyondTheSearchLimitFailsCleanly) {
    MessageBoxWatcher watcher;
    PlugInFolder folder;
    DescendToLength(folder, 300);
    folder.Add(L"basic", L"p.brs");
    Manager manager;
    EXPECT_EQ(manager.Init(folder.Ansi()), 0);
    EXPECT_EQ(manager->moduleCount, 0);
    EXPECT_EQ(watcher.Seen().size(), 1u);
}

}  // namespace
