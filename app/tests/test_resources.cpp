// The resources of PintoraKids.exe as the program and the user meet them:
// the accelerator table, the welcome box, the texts, the eraser cursor and
// the paper texture.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "test_support.h"

namespace {

using pintora_test::Narrow;

class Resources : public testing::Test {
protected:
    static void SetUpTestSuite() {
        exe_ = LoadLibraryExW(pintora_test::DistPath(L"PintoraKids.exe").c_str(), nullptr,
                              LOAD_LIBRARY_AS_DATAFILE);
    }
    static void TearDownTestSuite() {
        if (exe_) FreeLibrary(exe_);
    }
    void SetUp() override { ASSERT_NE(exe_, nullptr); }

    static std::string String(UINT id) {
        wchar_t text[512] = L"";
        LoadStringW(exe_, id, text, 512);
        return Narrow(text);
    }

    static HMODULE exe_;
};
HMODULE Resources::exe_ = nullptr;

TEST_F(Resources, AcceleratorTableHoldsExactlyTheTwelveKeys) {
    HACCEL table = LoadAcceleratorsW(exe_, MAKEINTRESOURCEW(125));
    ASSERT_NE(table, nullptr);
    ACCEL entries[32];
    const int n = CopyAcceleratorTableW(table, entries, 32);
    std::set<std::tuple<int, int, int>> got;
    for (int i = 0; i < n; ++i) got.insert({entries[i].fVirt, entries[i].key, entries[i].cmd});
    const int ctrl = FVIRTKEY | FCONTROL | FNOINVERT, plain = FVIRTKEY | FNOINVERT;
    const std::set<std::tuple<int, int, int>> expected = {
        {ctrl, 'C', 1006},    {ctrl, 'D', 40005},    {ctrl, 'E', 1007},   {ctrl, 'Q', 1006},
        {ctrl, 'S', 1005},    {ctrl, 'V', 40003},    {plain, VK_F1, 40004}, {plain, VK_F12, 1005},
        {plain, VK_F5, 40005}, {plain, VK_F9, 1007}, {ctrl, 'Z', 40006},   {ctrl, 'Y', 40007},
    };
    EXPECT_EQ(n, 12);
    EXPECT_EQ(got, expected);
    DestroyAcceleratorTable(table);
}

TEST_F(Resources, TextsAreTheJapaneseOfTheProduct) {
    EXPECT_EQ(String(200),
              u8"終了するには[ Ctrl+ Q ]です。これだけは覚えておいてください。\n設定は、一旦終了して、[ お子様 ]を選んでください。");
    EXPECT_EQ(String(201), "Pintora Tessaro");
    const char *brushes[] = {u8"クレヨン", u8"マーカー", u8"チョーク", u8"水彩", u8"虹色", u8"パイプ"};
    const char *pens[] = {u8"くれよん", u8"まーかー", u8"ちょーく", u8"すいさい", u8"にじ", u8"ぱいぷ"};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(String(1141 + i), brushes[i]);
        EXPECT_EQ(String(1041 + i), pens[i]);
    }
    EXPECT_EQ(String(1020), u8"くろ");
    EXPECT_EQ(String(1033), u8"しろ");
    EXPECT_EQ(String(1016), u8"ちゅう");
}

// Brush names reach the brush manager as ANSI text in the process code
// page, which the manifest makes UTF-8.
TEST_F(Resources, BrushNamesReadAsAnsiAreUtf8) {
    char name[64] = "";
    LoadStringA(exe_, 1141, name, 64);
    EXPECT_STREQ(name, u8"クレヨン");
}

INT_PTR CALLBACK QuietDialog(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

BOOL CALLBACK CountButtons(HWND child, LPARAM param) {
    wchar_t cls[32] = L"";
    GetClassNameW(child, cls, 32);
    if (lstrcmpiW(cls, L"Button") == 0) reinterpret_cast<std::vector<HWND> *>(param)->push_back(child);
    return TRUE;
}

TEST_F(Resources, WelcomeBoxHasOneOkButtonAndJapaneseText) {
    HWND box = CreateDialogParamW(exe_, MAKEINTRESOURCEW(126), nullptr, QuietDialog, 0);
    ASSERT_NE(box, nullptr);
    wchar_t caption[128] = L"";
    GetWindowTextW(box, caption, 128);
    EXPECT_EQ(Narrow(caption), u8"Pintora へようこそ");
    std::vector<HWND> buttons;
    EnumChildWindows(box, CountButtons, reinterpret_cast<LPARAM>(&buttons));
    ASSERT_EQ(buttons.size(), 1u);
    EXPECT_EQ(GetDlgCtrlID(buttons[0]), IDOK);
    EXPECT_TRUE(GetWindowLongW(buttons[0], GWL_STYLE) & BS_DEFPUSHBUTTON);
    DestroyWindow(box);
}

TEST_F(Resources, EraserCursorHasItsHotSpotOnTheRubberEnd) {
    auto cursor = static_cast<HCURSOR>(LoadImageW(exe_, MAKEINTRESOURCEW(105), IMAGE_CURSOR, 0, 0, LR_DEFAULTSIZE));
    ASSERT_NE(cursor, nullptr);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(cursor, &info));
    EXPECT_FALSE(info.fIcon);
    EXPECT_EQ(info.xHotspot, 6u);
    EXPECT_EQ(info.yHotspot, 25u);
    if (info.hbmColor) DeleteObject(info.hbmColor);
    if (info.hbmMask) DeleteObject(info.hbmMask);
    DestroyCursor(cursor);
    EXPECT_NE(LoadImageW(exe_, MAKEINTRESOURCEW(101), IMAGE_ICON, 32, 32, 0), nullptr);
    EXPECT_NE(LoadImageW(exe_, MAKEINTRESOURCEW(101), IMAGE_ICON, 16, 16, 0), nullptr);
}

// The paper: 256 x 256, 8 bits, 256 colours; a light, not white, paper
// tone with some grain; and seamless, so that the tiles of the kids-mode
// paper do not show their edges.
TEST_F(Resources, PaperTextureIsALightSeamlessGrain) {
    HRSRC found = FindResourceW(exe_, MAKEINTRESOURCEW(124), MAKEINTRESOURCEW(2));  // RT_BITMAP
    ASSERT_NE(found, nullptr);
    const auto *h = static_cast<const BITMAPINFOHEADER *>(LockResource(LoadResource(exe_, found)));
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(h->biWidth, 256);
    EXPECT_EQ(h->biHeight, 256);
    EXPECT_EQ(h->biBitCount, 8);
    EXPECT_EQ(h->biCompression, static_cast<DWORD>(BI_RGB));
    ASSERT_TRUE(h->biClrUsed == 0 || h->biClrUsed == 256);
    const auto *table = reinterpret_cast<const RGBQUAD *>(reinterpret_cast<const BYTE *>(h) + h->biSize);
    const BYTE *bits = reinterpret_cast<const BYTE *>(table + 256);

    auto luma = [&](int x, int y) {
        const RGBQUAD &c = table[bits[y * 256 + x]];
        return 0.299 * c.rgbRed + 0.587 * c.rgbGreen + 0.114 * c.rgbBlue;
    };
    double sum = 0, sumSq = 0;
    for (int y = 0; y < 256; ++y) {
        for (int x = 0; x < 256; ++x) {
            sum += luma(x, y);
            sumSq += luma(x, y) * luma(x, y);
        }
    }
    const double mean = sum / 65536, deviation = std::sqrt(sumSq / 65536 - mean * mean);
    EXPECT_GT(mean, 200);
    EXPECT_LT(mean, 250);
    EXPECT_GT(deviation, 2) << "a flat colour, not paper";
    EXPECT_LT(deviation, 20) << "too blotchy for paper";

    // Across the tile's edges neighbours differ no more than inside it.
    auto edgeStep = [&](bool columns, int a, int b) {
        double d = 0;
        for (int i = 0; i < 256; ++i) d += std::fabs(columns ? luma(a, i) - luma(b, i) : luma(i, a) - luma(i, b));
        return d / 256;
    };
    double inside = 0;
    for (int k = 0; k < 255; ++k) inside += edgeStep(true, k, k + 1) + edgeStep(false, k, k + 1);
    inside /= 2 * 255;
    EXPECT_LT(edgeStep(true, 255, 0), 1.5 * inside + 0.5);
    EXPECT_LT(edgeStep(false, 255, 0), 1.5 * inside + 0.5);
}

}  // namespace
