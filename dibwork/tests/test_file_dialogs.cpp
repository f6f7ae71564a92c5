// The open and save dialogs: their Japanese filters, and the dialogs
// driven the way a user drives them (a file name typed, OK or Cancel).
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <thread>

#include "file_test_support.h"

using namespace file_test;
using pintora_test::Narrow;
using pintora_test::Widen;

namespace {

constexpr int kFileTypeCombo = 0x470;  // cmb1
constexpr int kFileNameCombo = 0x47C;  // cmb13
constexpr int kFileNameEdit = 0x480;   // edt1

std::wstring ResourceString(UINT id) {
    const wchar_t *text = nullptr;
    const int length = LoadStringW(Dw().module, id, reinterpret_cast<LPWSTR>(&text), 0);
    return length > 0 ? std::wstring(text, static_cast<size_t>(length)) : std::wstring();
}

// Waits on a thread of its own for this process's file dialog and acts on
// it; the dialog itself runs modally on the test's thread.
class DialogDriver {
public:
    explicit DialogDriver(std::function<void(HWND)> act) : thread_([this, act] { Run(act); }) {}
    ~DialogDriver() {
        stop_ = true;
        thread_.join();
    }
    bool acted() const { return acted_; }

private:
    static BOOL CALLBACK Find(HWND window, LPARAM param) {
        DWORD pid = 0;
        GetWindowThreadProcessId(window, &pid);
        wchar_t cls[16] = {};
        GetClassNameW(window, cls, 16);
        if (pid == GetCurrentProcessId() && std::wstring(cls) == L"#32770" && IsWindowVisible(window) &&
            GetDlgItem(window, kFileTypeCombo)) {
            *reinterpret_cast<HWND *>(param) = window;
            return FALSE;
        }
        return TRUE;
    }
    void Run(const std::function<void(HWND)> &act) {
        for (int i = 0; i < 1000 && !stop_; ++i) {
            HWND dialog = nullptr;
            EnumWindows(Find, reinterpret_cast<LPARAM>(&dialog));
            if (dialog) {
                Sleep(100);  // let the dialog finish its start-up
                act(dialog);
                acted_ = true;
                return;
            }
            Sleep(10);
        }
    }
    std::atomic<bool> stop_{false};
    std::atomic<bool> acted_{false};
    std::thread thread_;
};

std::vector<std::wstring> FileTypes(HWND dialog) {
    std::vector<std::wstring> items;
    HWND combo = GetDlgItem(dialog, kFileTypeCombo);
    const LRESULT count = SendMessageW(combo, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        wchar_t text[256] = {};
        SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
        items.push_back(text);
    }
    return items;
}

void TypeNameAndConfirm(HWND dialog, const std::wstring &name) {
    const int id = GetDlgItem(dialog, kFileNameCombo) ? kFileNameCombo : kFileNameEdit;
    SetDlgItemTextW(dialog, id, name.c_str());
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
}

void ChooseFileType(HWND dialog, int index) {
    HWND combo = GetDlgItem(dialog, kFileTypeCombo);
    SendMessageW(combo, CB_SETCURSEL, index, 0);
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(kFileTypeCombo, CBN_SELENDOK), reinterpret_cast<LPARAM>(combo));
}

}  // namespace

TEST(FileDialogs, FiltersCarryTheJapaneseTexts) {
    EXPECT_EQ(ResourceString(501),
              Widen(u8"画像ﾌｧｲﾙ|*.bmp;*.rle;*.dib;*.jpg;*jpeg;*.png;*.gif;*.wmf;*.emf|"
                    u8"ﾋﾞｯﾄﾏｯﾌﾟ ﾌｧｲﾙ (*.bmp;*.rle;*.dib)|*.bmp;*.rle;*.dib|Jpeg ﾌｧｲﾙ (*.jpg;*jpeg)|*.jpg;*jpeg|"
                    u8"PNG ﾌｧｲﾙ (*.png)|*.png|GIFﾌｧｲﾙ (*.gif)|*.gif|ﾒﾀﾌｧｲﾙ (*.wmf;*.emf)|*.wmf;*.emf|"
                    u8"All Files|*.*|"));
    EXPECT_EQ(ResourceString(502), Widen(u8"ﾋﾞｯﾄﾏｯﾌﾟ ﾌｧｲﾙ (*.bmp;*.rle;*.dib)|*.bmp;*.rle;*.dib|"
                                         u8"Jpeg ﾌｧｲﾙ (*.jpg;*jpeg)|*.jpg;*jpeg|PNG ﾌｧｲﾙ (*.png)|*.png|"
                                         u8"All Files|*.*|"));
}

TEST(FileDialogs, OpenReadsTheChosenFileAndRemembersTheFilter) {
    pintora_test::TempDir dir;
    HBITMAP picture = MakePicture(6, 5, [](int x, int y) { return RGB(x * 40, y * 50, 9); });
    const std::wstring path = dir.File(L"chosen.bmp");
    ASSERT_EQ(Dw().WriteBMPFile(Narrow(path).c_str(), nullptr, picture), 1);

    std::vector<std::wstring> shown;
    HBITMAP read = nullptr;
    char title[260] = {};
    {
        DialogDriver driver([&](HWND dialog) {
            shown = FileTypes(dialog);
            ChooseFileType(dialog, 2);  // the JPEG filter
            TypeNameAndConfirm(dialog, path);
        });
        EXPECT_EQ(Dw().LoadGraphicsFile(nullptr, title, nullptr, &read), 1);
        EXPECT_TRUE(driver.acted());
    }
    ASSERT_EQ(shown.size(), 7u);
    EXPECT_EQ(shown[0], Widen(u8"画像ﾌｧｲﾙ"));
    EXPECT_EQ(shown[5], Widen(u8"ﾒﾀﾌｧｲﾙ (*.wmf;*.emf)"));
    EXPECT_EQ(shown[6], L"All Files");
    EXPECT_STREQ(title, "chosen.bmp");
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(PixelAt(read, 5, 4), RGB(200, 200, 9));
    Dw().FreeDIBitmap(&read);

    // The next dialog opens on the filter chosen last; Cancel gives 0.
    LRESULT selected = -1;
    {
        DialogDriver driver([&](HWND dialog) {
            selected = SendDlgItemMessageW(dialog, kFileTypeCombo, CB_GETCURSEL, 0, 0);
            PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        });
        HGLOBAL dib = nullptr;
        EXPECT_EQ(Dw().LoadGraphicsFile(nullptr, nullptr, &dib, nullptr), 0);
        EXPECT_EQ(dib, nullptr);
    }
    EXPECT_EQ(selected, 2);
    EXPECT_EQ(Dw().LoadGraphicsFile(nullptr, nullptr, nullptr, nullptr), 0) << "no variable: no dialog";
    Dw().FreeDIBitmap(&picture);
}

TEST(FileDialogs, SaveWritesByTheTypedExtension) {
    pintora_test::TempDir dir;
    HBITMAP picture = MakePicture(6, 5, [](int x, int y) { return RGB(x * 40, y * 50, 9); });
    std::vector<std::wstring> shown;
    const std::wstring png = dir.File(L"saved.png");
    {
        DialogDriver driver([&](HWND dialog) {
            shown = FileTypes(dialog);
            TypeNameAndConfirm(dialog, png);
        });
        EXPECT_EQ(Dw().SaveGraphicsFile(nullptr, nullptr, nullptr, picture), 1);
    }
    ASSERT_EQ(shown.size(), 4u);
    EXPECT_EQ(shown[0], Widen(u8"ﾋﾞｯﾄﾏｯﾌﾟ ﾌｧｲﾙ (*.bmp;*.rle;*.dib)"));
    EXPECT_EQ(shown[1], Widen(u8"Jpeg ﾌｧｲﾙ (*.jpg;*jpeg)"));
    const Bytes bytes = ReadBytes(Narrow(png));
    ASSERT_GE(bytes.size(), 4u);
    EXPECT_EQ(bytes[1], 'P');

    // A name of no known type: the dialog reports 1, nothing is written.
    const std::wstring tga = dir.File(L"saved.tga");
    {
        DialogDriver driver([&](HWND dialog) { TypeNameAndConfirm(dialog, tga); });
        EXPECT_EQ(Dw().SaveGraphicsFile(nullptr, nullptr, nullptr, picture), 1);
    }
    EXPECT_FALSE(FileExists(Narrow(tga)));
    {
        DialogDriver driver([&](HWND dialog) { PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0); });
        EXPECT_EQ(Dw().SaveGraphicsFile(nullptr, nullptr, nullptr, picture), 0);
    }
    Dw().FreeDIBitmap(&picture);
}
