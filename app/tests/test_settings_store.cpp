// The settings file as the program reads and writes it: defaults, the
// order and text of what is written, the page advance, out-of-range
// values, and the move from the Windows directory to the user's folder.
#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "settings_store.h"
#include "test_support.h"

using namespace pintora;
using pintora_test::TempDir;

namespace {

std::string ReadText(const std::wstring &path) {
    std::ifstream in(pintora_test::Narrow(path), std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteText(const std::wstring &path, const std::string &text) {
    std::ofstream out(pintora_test::Narrow(path), std::ios::binary);
    out << text;
}

bool Exists(const std::wstring &path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// The key names of the file's lines, in file order.
std::vector<std::string> KeysInOrder(const std::string &text) {
    std::vector<std::string> keys;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        const auto eq = line.find('=');
        if (eq != std::string::npos) keys.push_back(line.substr(0, eq));
    }
    return keys;
}

struct Files {
    TempDir dir;
    std::wstring file = dir.File(L"Pintora.ini");
    std::wstring legacy = dir.File(L"old-Pintora.ini");
    SettingsStore store{file, legacy};
};

TEST(SettingsStore, MissingFileGivesDefaultsAndWritesNothing) {
    Files f;
    EXPECT_EQ(f.store.ReadFirstRun(), 0);
    const Settings s = f.store.ReadRunSettings();
    EXPECT_EQ(s.currentPenSize, 1);
    EXPECT_EQ(s.colKidsPaper, 0xCCCCCC);
    EXPECT_EQ(s.lastKidsPage, 0);
    EXPECT_FALSE(Exists(f.file)) << "reading must not create the file";
}

TEST(SettingsStore, FirstRunFlagIsWrittenAlone) {
    Files f;
    f.store.WriteFirstRun();
    EXPECT_EQ(f.store.ReadFirstRun(), 1);
    EXPECT_EQ(KeysInOrder(ReadText(f.file)), std::vector<std::string>{"bFirstRun"});
}

TEST(SettingsStore, RunKeysAreWrittenInOrderWithThePagesMovedOn) {
    Files f;
    f.store.WriteFirstRun();
    Settings s;
    s.currentPenSize = 2;
    s.currentPen = 4;
    s.paperIntensity = -12;
    s.kidsMode = 7;
    s.lastNormalPage = 23;
    s.lastKidsPage = 4;
    s.colKidsPaper = 0x02ABCDEF;
    s.kidsRunAlready = 1;
    f.store.WriteRunSettings(s);

    const std::string text = ReadText(f.file);
    EXPECT_EQ(KeysInOrder(text),
              (std::vector<std::string>{"bFirstRun", "CurrentPenSize", "CurrentPen", "PaperIntensity", "KidsMode",
                                        "LastNormalPage", "LastKidsPage", "ColKidsPaper", "KidsRunAlready"}));
    EXPECT_NE(text.find("[Pintora]"), std::string::npos);
    EXPECT_NE(text.find("PaperIntensity=-12"), std::string::npos);
    EXPECT_NE(text.find("LastNormalPage=0"), std::string::npos) << "23 moves on to 0";
    EXPECT_NE(text.find("LastKidsPage=5"), std::string::npos);
    EXPECT_NE(text.find("ColKidsPaper=44813807"), std::string::npos) << "decimal %d of 0x02ABCDEF";

    const Settings back = f.store.ReadRunSettings();
    EXPECT_EQ(back.paperIntensity, -12) << "a darker paper keeps its sign";
    EXPECT_EQ(back.currentPen, 4);
    EXPECT_EQ(back.lastNormalPage, 0);
    EXPECT_EQ(back.lastKidsPage, 5);
    EXPECT_EQ(back.colKidsPaper, 0x02ABCDEF);
    EXPECT_EQ(back.kidsRunAlready, 1);
    EXPECT_EQ(f.store.ReadFirstRun(), 1);
}

TEST(SettingsStore, OutOfRangeValuesAreBroughtIntoRangeOnReading) {
    Files f;
    WriteText(f.file,
              "[Pintora]\r\nCurrentPen=99\r\nCurrentPenSize=7\r\nLastNormalPage=40\r\nLastKidsPage=-1\r\n"
              "PaperIntensity=500\r\nKidsMode=junk\r\n");
    const Settings s = f.store.ReadRunSettings();
    EXPECT_EQ(s.currentPen, 5);
    EXPECT_EQ(s.currentPenSize, 2);
    EXPECT_EQ(s.lastNormalPage, 23);
    EXPECT_EQ(s.lastKidsPage, 0);
    EXPECT_EQ(s.paperIntensity, 30);
    EXPECT_EQ(s.kidsMode, 0);
    WriteText(f.file, "[Pintora]\r\nCurrentPen=-1\r\n");
    EXPECT_EQ(f.store.ReadRunSettings().currentPen, 0);
}

// A key present with nothing after "=" reads as its default, as the
// platform's integer reader has it: light grey paper, not black.
TEST(SettingsStore, EmptyValuesGiveTheDefaults) {
    Files f;
    WriteText(f.file, "[Pintora]\r\nbFirstRun=\r\nColKidsPaper=\r\nCurrentPenSize=   \r\nCurrentPen=3\r\n");
    EXPECT_EQ(f.store.ReadFirstRun(), 0);
    const Settings s = f.store.ReadRunSettings();
    EXPECT_EQ(s.colKidsPaper, 0xCCCCCC);
    EXPECT_EQ(s.currentPenSize, 1);
    EXPECT_EQ(s.currentPen, 3);
}

TEST(SettingsStore, AnOldFileInTheWindowsFolderIsReadAndMovedOnTheFirstWrite) {
    Files f;
    WriteText(f.legacy, "[Pintora]\r\nbFirstRun=1\r\nCurrentPen=3\r\nLastKidsPage=9\r\n[Other]\r\nKeep=1\r\n");
    EXPECT_EQ(f.store.ReadFirstRun(), 1);
    EXPECT_EQ(f.store.ReadRunSettings().currentPen, 3);
    EXPECT_FALSE(Exists(f.file));

    Settings s = f.store.ReadRunSettings();
    s.currentPenSize = 0;
    f.store.WriteRunSettings(s);
    const std::string text = ReadText(f.file);
    EXPECT_NE(text.find("bFirstRun=1"), std::string::npos) << "copied from the old file";
    EXPECT_NE(text.find("Keep=1"), std::string::npos);
    EXPECT_NE(text.find("LastKidsPage=10"), std::string::npos);
    EXPECT_NE(text.find("CurrentPenSize=0"), std::string::npos);

    // From now on the new file is the one read; the old one stays as it was.
    WriteText(f.legacy, "[Pintora]\r\nCurrentPen=1\r\n");
    EXPECT_EQ(f.store.ReadRunSettings().currentPen, 3);
}

TEST(SettingsStore, TheFirstRunFlagAloneDoesNotLoseTheOldFile) {
    Files f;
    WriteText(f.legacy, "[Pintora]\r\nCurrentPen=2\r\n");
    EXPECT_EQ(f.store.ReadFirstRun(), 0);
    f.store.WriteFirstRun();
    EXPECT_EQ(f.store.ReadFirstRun(), 1);
    EXPECT_EQ(f.store.ReadRunSettings().currentPen, 2);
}

TEST(SettingsStore, TheUsersFileLivesInTheApplicationDataFolder) {
    const SettingsStore store = SettingsStore::ForCurrentUser();
    const std::wstring &path = store.file();
    ASSERT_GT(path.size(), 12u);
    EXPECT_EQ(path.substr(path.size() - 12), L"\\Pintora.ini");
    wchar_t windows[MAX_PATH] = L"";
    GetWindowsDirectoryW(windows, MAX_PATH);
    EXPECT_NE(path.find(L"\\"), std::wstring::npos);
    EXPECT_NE(CompareStringOrdinal(path.c_str(), static_cast<int>(wcslen(windows)), windows, -1, TRUE), CSTR_EQUAL)
        << "not in the Windows directory";
}

}  // namespace
