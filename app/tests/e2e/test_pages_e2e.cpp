// Pages end to end: the page files a run leaves behind, and the page bar
// turning pages on the real PintoraKids.exe.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>

#include "e2e_support.h"
#include "test_support.h"

using namespace pintora_e2e;

namespace {

constexpr int kPreviousButton = 1052;
constexpr int kNextButton = 1053;

std::wstring PageFolder(const wchar_t *mode) { return InstalledCopy() + L"Save\\" + mode + L"\\"; }

// The BMP header of a file (biSize 0 when it cannot be read) and its size.
struct FileInfo {
    BITMAPINFOHEADER header{};
    DWORD size = 0;
};
FileInfo ReadFileInfo(const std::wstring &path) {
    FileInfo info;
    HANDLE f = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return info;
    info.size = GetFileSize(f, nullptr);
    BYTE head[54] = {};
    DWORD read = 0;
    if (ReadFile(f, head, sizeof(head), &read, nullptr) && read == sizeof(head)) std::memcpy(&info.header, head + 14, 40);
    CloseHandle(f);
    return info;
}

// True when the button is what a click at its centre reaches.
bool Reachable(HWND button) {
    RECT r;
    if (!button || !GetWindowRect(button, &r)) return false;
    return WindowFromPoint({(r.left + r.right) / 2, (r.top + r.bottom) / 2}) == button;
}

// The page bar at the right end of the top screen edge, 64 x 32 inside,
// with both arrows on top of everything.
void ExpectPageBarInPlace(const Kids &kids) {
    HWND bar = PageBar(kids);
    ASSERT_NE(bar, nullptr) << "no page bar";
    RECT frame, client;
    GetWindowRect(bar, &frame);
    GetClientRect(bar, &client);
    EXPECT_EQ(frame.right, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(frame.top, 0);
    EXPECT_EQ(client.right, 64);
    EXPECT_EQ(client.bottom, 32);
    EXPECT_TRUE(Reachable(GetDlgItem(bar, kPreviousButton)));
    EXPECT_TRUE(Reachable(GetDlgItem(bar, kNextButton)));
    RECT button;
    GetClientRect(GetDlgItem(bar, kNextButton), &button);
    EXPECT_EQ(button.right, 32);
    EXPECT_EQ(button.bottom, 33);
}

void Click(HWND button) {
    RECT r;
    GetWindowRect(button, &r);
    MoveTo({(r.left + r.right) / 2, (r.top + r.bottom) / 2});
    MouseButton(false, true);
    Pump(30);
    MouseButton(false, false);
    Pump(300);
}

// Waits until the screen shows `expected` outside the other windows (a
// page turn first saves the page, which takes a moment); the last
// difference.
Difference WaitForScreen(const Shot &expected, const std::vector<RECT> &others, DWORD timeoutMs = 8000) {
    const DWORD start = GetTickCount();
    Difference d;
    do {
        d = Compare(SettledScreen(), expected, others);
        if (d.count == 0) break;
        Pump(100);
    } while (GetTickCount() - start < timeoutMs);
    return d;
}

bool Clear(const RECT &a, const std::vector<RECT> &others) {
    RECT unused;
    for (const RECT &o : others) {
        if (IntersectRect(&unused, &a, &o)) return false;
    }
    return true;
}

// A 300-pixel stroke well away from the program's other windows.
std::pair<POINT, POINT> OpenStroke(const std::vector<RECT> &others) {
    const int h = GetSystemMetrics(SM_CYSCREEN), w = GetSystemMetrics(SM_CXSCREEN);
    for (int y = 120; y < h - 120; y += 20) {
        for (int x = 120; x + 300 < w - 120; x += 50) {
            if (Clear(RECT{x - 100, y - 100, x + 400, y + 100}, others)) return {{x, y}, {x + 300, y}};
        }
    }
    return {{-1, -1}, {-1, -1}};
}

}  // namespace

TEST(PagesE2E, EndingAKidsRunWritesItsPageAndThumbnail) {
    SettingsGuard settings;
    Backdrop backdrop;
    const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    struct Case {
        const char *lastPage;
        const wchar_t *page;
        const wchar_t *thumbnail;
        const char *next;
    } cases[] = {{"LastKidsPage=4", L"05.bmp", L"05_s.bmp", "LastKidsPage=5"},
                 {"LastKidsPage=23", L"24.bmp", L"24_s.bmp", "LastKidsPage=0"}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.lastPage);
        settings.Write({"bFirstRun=1", "KidsRunAlready=1", c.lastPage});
        const std::wstring page = PageFolder(L"Kids") + c.page, thumbnail = PageFolder(L"Kids") + c.thumbnail;
        DeleteFileW(page.c_str());
        DeleteFileW(thumbnail.c_str());
        {
            Kids kids(L"/k");
            ASSERT_NE(kids.WaitForCanvas(), nullptr);
            Pump(200);
            ExpectPageBarInPlace(kids);
            EXPECT_EQ(kids.Close(), 0u);
        }
        const FileInfo picture = ReadFileInfo(page);
        EXPECT_EQ(picture.header.biWidth, w);
        EXPECT_EQ(picture.header.biHeight, h);
        EXPECT_EQ(picture.header.biBitCount, 24);
        EXPECT_EQ(picture.size, 54u + static_cast<DWORD>((w * 3 + 3) & ~3) * h);
        const FileInfo small = ReadFileInfo(thumbnail);
        EXPECT_EQ(small.header.biWidth, 64);
        EXPECT_EQ(small.header.biHeight, 48);
        EXPECT_EQ(small.header.biBitCount, 24);
        const auto text = settings.Read();
        ASSERT_TRUE(text);
        EXPECT_NE(text->find(c.next), std::string::npos) << *text;
    }
}

// A stroke on page 01; the next page (never drawn) shows the desktop; the
// previous one shows the stroke again, read back from its file.
TEST(PagesE2E, ThePageBarTurnsPages) {
    SettingsGuard settings;
    Backdrop backdrop;
    settings.Write({"bFirstRun=1", "KidsRunAlready=1", "LastNormalPage=0"});
    DeleteFileW((PageFolder(L"Normal") + L"01.bmp").c_str());
    DeleteFileW((PageFolder(L"Normal") + L"02.bmp").c_str());
    const Shot desktop = SettledScreen();

    Kids kids;
    HWND canvas = kids.WaitForCanvas();
    ASSERT_NE(canvas, nullptr);
    const Shot shown = SettledScreen();
    const std::vector<RECT> others = kids.OtherWindows();
    ExpectPageBarInPlace(kids);
    HWND bar = PageBar(kids);
    EXPECT_EQ(Compare(shown, desktop, others).count, 0u);

    SetForegroundWindow(canvas);
    Pump(50);
    const auto [a, b] = OpenStroke(others);
    ASSERT_GE(a.x, 0);
    Drag(a, b, false);
    const Shot painted = SettledScreen();
    ASSERT_GT(Compare(painted, shown, others).count, 100u) << "the stroke painted nothing";

    Click(GetDlgItem(bar, kNextButton));
    EXPECT_EQ(WaitForScreen(desktop, others).count, 0u) << "page 02 was never drawn";
    EXPECT_EQ(ReadFileInfo(PageFolder(L"Normal") + L"01.bmp").header.biBitCount, 24) << "page 01 saved on turning";

    Click(GetDlgItem(bar, kPreviousButton));
    const Difference back = WaitForScreen(painted, others);
    EXPECT_EQ(back.count, 0u) << "page 01 comes back, first difference at " << back.first.x << ", " << back.first.y;

    EXPECT_EQ(kids.Close(), 0u);
    const auto text = settings.Read();
    ASSERT_TRUE(text);
    EXPECT_NE(text->find("LastNormalPage=1"), std::string::npos) << *text;
}

namespace {

constexpr int kFileTypeCombo = 0x470;  // cmb1
constexpr int kFileNameCombo = 0x47C;  // cmb13
constexpr int kFileNameEdit = 0x480;   // edt1

// Ctrl+S on the canvas, the file name typed into the save dialog, OK.
// The dialog's file types, as shown.
std::vector<std::string> SaveAs(Kids &kids, HWND canvas, const std::wstring &name) {
    SetForegroundWindow(canvas);
    Pump(50);
    PressKeys({VK_CONTROL, 'S'});
    HWND dialog = kids.WaitForDialog();
    std::vector<std::string> types;
    if (!dialog) return types;
    Pump(200);
    HWND combo = GetDlgItem(dialog, kFileTypeCombo);
    const LRESULT count = SendMessageW(combo, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        wchar_t text[256] = {};
        SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
        types.push_back(pintora_test::Narrow(text));
    }
    const int id = GetDlgItem(dialog, kFileNameCombo) ? kFileNameCombo : kFileNameEdit;
    SendDlgItemMessageW(dialog, id, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str()));
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    for (int i = 0; i < 100 && IsWindow(dialog); ++i) Pump(50);
    return types;
}

// Waits for a file to appear with a size that no longer changes.
DWORD WaitForFile(const std::wstring &path, DWORD timeoutMs = 8000) {
    const DWORD start = GetTickCount();
    DWORD last = INVALID_FILE_SIZE;
    do {
        WIN32_FILE_ATTRIBUTE_DATA data{};
        if (GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) {
            if (data.nFileSizeLow == last && last != 0) return last;
            last = data.nFileSizeLow;
        }
        Pump(100);
    } while (GetTickCount() - start < timeoutMs);
    return last;
}

}  // namespace

// Ctrl+S: the JPEG of the gallery size whatever the screen, the full
// screen as a bitmap, and nothing for another extension.
TEST(PagesE2E, CtrlSSavesJpegAndBitmap) {
    SettingsGuard settings;
    Backdrop backdrop;
    settings.Write({"bFirstRun=1", "KidsRunAlready=1"});
    pintora_test::TempDir dir;
    const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    Kids kids;
    HWND canvas = kids.WaitForCanvas();
    ASSERT_NE(canvas, nullptr);
    Pump(300);

    const std::vector<std::string> types = SaveAs(kids, canvas, dir.File(L"gallery.JPG"));
    ASSERT_EQ(types.size(), 2u);
    EXPECT_EQ(types[0], "Tessaro ｷﾞｬﾗﾘｰ用 jpeg ﾌｧｲﾙ (*.jpg)");
    EXPECT_EQ(types[1], "ﾋﾞｯﾄﾏｯﾌﾟ ﾌｧｲﾙ (*.bmp)");
    ASSERT_NE(WaitForFile(dir.File(L"gallery.JPG")), INVALID_FILE_SIZE);
    HMODULE dibwork = pintora_test::LoadProductLibrary(L"Dibwork.dll");
    ASSERT_NE(dibwork, nullptr);
    using ReadGraphics = int(WINAPI *)(LPCSTR, HGLOBAL *, HBITMAP *);
    auto read = pintora_test::Ordinal<ReadGraphics>(dibwork, 503);
    HBITMAP jpeg = nullptr;
    ASSERT_NE(read(pintora_test::Narrow(dir.File(L"gallery.JPG")).c_str(), nullptr, &jpeg), 0);
    BITMAP bm{};
    GetObjectW(jpeg, sizeof(bm), &bm);
    EXPECT_EQ(bm.bmWidth, 640);
    EXPECT_EQ(bm.bmHeight, 480);
    DeleteObject(jpeg);
    FreeLibrary(dibwork);

    SaveAs(kids, canvas, dir.File(L"full.bmp"));
    EXPECT_EQ(WaitForFile(dir.File(L"full.bmp")), 54u + static_cast<DWORD>((w * 3 + 3) & ~3) * h);

    SaveAs(kids, canvas, dir.File(L"other.png"));
    Pump(500);
    EXPECT_EQ(GetFileAttributesW(dir.File(L"other.png").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(kids.Close(), 0u);
}
