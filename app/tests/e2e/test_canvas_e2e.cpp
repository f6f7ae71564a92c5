// PintoraKids.exe end to end: started over a known desktop, driven with
// real mouse and keyboard input, and judged by what the screen shows.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <functional>

#include "e2e_support.h"
#include "test_support.h"

using namespace pintora_e2e;

namespace {

// How far from its path the start-up brush may paint: half its largest
// size, plus its soft edge.
constexpr int kBrushReach = 60;

std::wstring ShotPath(const char *name) {
    return pintora_test::TestDir() + pintora_test::Widen(std::string("e2e-") + name + ".bmp");
}

// A shot of what the backdrop shows, for comparing the canvas with.
Shot ExpectedShot(const std::function<uint32_t(int, int)> &color) {
    Shot s;
    s.width = GetSystemMetrics(SM_CXSCREEN);
    s.height = GetSystemMetrics(SM_CYSCREEN);
    s.pixels.resize(static_cast<size_t>(s.width) * s.height);
    for (int y = 0; y < s.height; ++y) {
        for (int x = 0; x < s.width; ++x) s.pixels[static_cast<size_t>(y) * s.width + x] = color(x, y);
    }
    return s;
}

bool Intersects(const RECT &a, const std::vector<RECT> &others) {
    RECT unused;
    return std::any_of(others.begin(), others.end(), [&](const RECT &o) { return IntersectRect(&unused, &a, &o); });
}

// A horizontal stroke of 400 pixels whose surroundings (the brush's reach
// and the eraser's squares) stay clear of the program's other windows.
std::pair<POINT, POINT> FreeStroke(const std::vector<RECT> &others) {
    const int h = GetSystemMetrics(SM_CYSCREEN), w = GetSystemMetrics(SM_CXSCREEN);
    for (int y = kBrushReach + 30; y < h - kBrushReach - 30; y += 10) {
        for (int x = kBrushReach + 30; x + 400 < w - kBrushReach - 30; x += 50) {
            const RECT area{x - kBrushReach - 30, y - kBrushReach - 30, x + 400 + kBrushReach + 30,
                            y + kBrushReach + 30};
            if (!Intersects(area, others)) return {{x, y}, {x + 400, y}};
        }
    }
    return {{-1, -1}, {-1, -1}};
}

// Erases every pixel of `area` with right drags: rows 20 pixels apart, so
// the 26-pixel squares overlap and reach past the area's edges.
void EraseArea(const RECT &area) {
    const LONG left = area.left + 12, right = std::max(left, area.right - 12);
    for (LONG y = area.top + 10;; y += 20) {
        Drag({left, y}, {right, y}, true, 3);
        if (y + 13 >= area.bottom) break;
    }
}

// The changed pixels lie within reach of the stroke, and there are some
// along all of it.
void ExpectPaintAlong(const Shot &before, const Shot &after, POINT a, POINT b, const std::vector<RECT> &others) {
    const Difference d = Compare(before, after, others);
    ASSERT_GT(d.count, 100u) << "the drag painted nothing";
    EXPECT_GE(d.bounds.left, a.x - kBrushReach);
    EXPECT_LE(d.bounds.right, b.x + kBrushReach);
    EXPECT_GE(d.bounds.top, a.y - kBrushReach);
    EXPECT_LE(d.bounds.bottom, a.y + kBrushReach);
    for (int x = a.x; x <= b.x; x += 40) {
        int changed = 0;
        for (int y = a.y - 8; y <= a.y + 8; ++y) {
            for (int dx = -8; dx <= 8; ++dx) changed += before.at(x + dx, y) != after.at(x + dx, y);
        }
        EXPECT_GT(changed, 0) << "no paint near x = " << x;
    }
}

class CanvasE2E : public testing::Test {
protected:
    void SetUp() override {
        settings_.Write({"bFirstRun=1", "KidsRunAlready=1"});
        desktop_ = SettledScreen();
        const Difference d = Compare(desktop_, ExpectedShot(Backdrop::ColorAt));
        ASSERT_EQ(d.count, 0u) << "the test's own desktop is not on the screen";
    }

    // Starts the program and waits until its canvas has settled.
    HWND Start(Kids &kids) {
        EXPECT_TRUE(kids.started());
        HWND canvas = kids.WaitForCanvas();
        EXPECT_NE(canvas, nullptr) << "no canvas";
        // Bringing the canvas forward puts its bars and the brush dialogs
        // back over it a moment later: the screen is taken after that.
        if (canvas) SetForegroundWindow(canvas);
        Pump(50);
        shown_ = SettledScreen();
        others_ = kids.OtherWindows();
        return canvas;
    }

    void ExpectScreen(const Shot &expected, const char *name) {
        const Shot now = SettledScreen();
        const Difference d = Compare(now, expected, others_);
        if (d.count != 0) SaveShot(now, ShotPath(name));
        EXPECT_EQ(d.count, 0u) << name << ": " << d.count << " pixels differ, first at " << d.first.x << ", "
                               << d.first.y;
    }

    SettingsGuard settings_;
    Backdrop backdrop_;
    Shot desktop_;
    Shot shown_;
    std::vector<RECT> others_;
};

TEST_F(CanvasE2E, LeftDragPaintsAroundItsPathAndRightDragRestoresTheDesktop) {
    Kids kids;
    ASSERT_NE(Start(kids), nullptr);
    {
        const Difference d = Compare(shown_, desktop_, others_);
        if (d.count) SaveShot(shown_, ShotPath("start"));
        ASSERT_EQ(d.count, 0u) << "the canvas does not show the desktop as it was, first difference at "
                               << d.first.x << ", " << d.first.y;
    }
    const auto [a, b] = FreeStroke(others_);
    ASSERT_GE(a.x, 0) << "no room for a stroke beside the brush dialogs";

    Drag(a, b, false);
    const Shot painted = SettledScreen();
    ExpectPaintAlong(shown_, painted, a, b, others_);

    const Difference paint = Compare(shown_, painted, others_);
    EraseArea(paint.bounds);
    ExpectScreen(desktop_, "erased");
    EXPECT_EQ(kids.Close(), 0u);
}

TEST_F(CanvasE2E, AfterWhitePaperTheEraserPaintsWhiteAndClearBringsBackTheDesktop) {
    Kids kids;
    ASSERT_NE(Start(kids), nullptr);
    const Shot white = ExpectedShot([](int, int) { return 0xFFFFFFu; });

    PressKeys({VK_CONTROL, 'E'});
    ExpectScreen(white, "white");

    const auto [a, b] = FreeStroke(others_);
    ASSERT_GE(a.x, 0);
    Drag(a, b, false);
    const Shot painted = SettledScreen();
    ExpectPaintAlong(white, painted, a, b, others_);
    EraseArea(Compare(white, painted, others_).bounds);
    ExpectScreen(white, "erased-white");

    PressKeys({VK_CONTROL, 'D'});
    ExpectScreen(desktop_, "cleared");
    EXPECT_EQ(kids.Close(), 0u);
}

// ------------------------------------------------------------------ paste --

// A packed DIB on the clipboard, as Print Screen leaves one.
bool PutDibOnClipboard(const std::vector<uint8_t> &dib) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, dib.size());
    if (!block) return false;
    std::memcpy(GlobalLock(block), dib.data(), dib.size());
    GlobalUnlock(block);
    if (!OpenClipboard(nullptr)) {
        GlobalFree(block);
        return false;
    }
    EmptyClipboard();
    const bool ok = SetClipboardData(CF_DIB, block) != nullptr;
    CloseClipboard();
    if (!ok) GlobalFree(block);
    return ok;
}

uint32_t PastedColorAt(int x, int y) { return (Backdrop::ColorAt(x, y) ^ 0x00FF55AAu) & 0x00FFFFFF; }

std::vector<uint8_t> ScreenDib(int width, int height) {
    const uint32_t stride = (static_cast<uint32_t>(width) * 3 + 3) & ~3u;
    std::vector<uint8_t> dib(40 + static_cast<size_t>(stride) * height);
    BITMAPINFOHEADER h{40, width, height, 1, 24, BI_RGB, stride * static_cast<uint32_t>(height), 0, 0, 0, 0};
    std::memcpy(dib.data(), &h, 40);
    for (int y = 0; y < height; ++y) {
        uint8_t *row = dib.data() + 40 + static_cast<size_t>(height - 1 - y) * stride;
        for (int x = 0; x < width; ++x) {
            const uint32_t c = PastedColorAt(x, y);
            row[3 * x] = static_cast<uint8_t>(c);
            row[3 * x + 1] = static_cast<uint8_t>(c >> 8);
            row[3 * x + 2] = static_cast<uint8_t>(c >> 16);
        }
    }
    return dib;
}

BITMAPINFOHEADER *HeaderOf(std::vector<uint8_t> &dib) { return reinterpret_cast<BITMAPINFOHEADER *>(dib.data()); }

TEST_F(CanvasE2E, PasteOfAScreenSizePictureReplacesItAndErasingRestoresThePaste) {
    const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    Kids kids;
    ASSERT_NE(Start(kids), nullptr);

    // One pixel narrower than the screen: ignored.
    ASSERT_TRUE(PutDibOnClipboard(ScreenDib(w - 1, h)));
    PressKeys({VK_CONTROL, 'V'});
    ExpectScreen(desktop_, "paste-narrower");

    // Malformed headers: ignored, and the program goes on.
    std::vector<std::function<void(BITMAPINFOHEADER &)>> bogus = {
        [](BITMAPINFOHEADER &x) { x.biSize = 12; },
        [](BITMAPINFOHEADER &x) { x.biSize = 124; },
        [](BITMAPINFOHEADER &x) { x.biHeight = -x.biHeight; },
        [](BITMAPINFOHEADER &x) { x.biBitCount = 7; },
        [](BITMAPINFOHEADER &x) { x.biBitCount = 64; },
        [](BITMAPINFOHEADER &x) { x.biCompression = BI_JPEG; },
        [](BITMAPINFOHEADER &x) { x.biBitCount = 8; x.biClrUsed = 0x7FFFFFFF; },
        [](BITMAPINFOHEADER &x) { x.biBitCount = 32; },  // rows for 32 bits do not fit the block
    };
    for (size_t i = 0; i < bogus.size(); ++i) {
        auto dib = ScreenDib(w, h);
        bogus[i](*HeaderOf(dib));
        ASSERT_TRUE(PutDibOnClipboard(dib));
        PressKeys({VK_CONTROL, 'V'});
        ASSERT_FALSE(kids.WaitForExit(0)) << "the program ended on bogus picture " << i;
    }
    ExpectScreen(desktop_, "paste-bogus");

    ASSERT_TRUE(PutDibOnClipboard(ScreenDib(w, h)));
    PressKeys({VK_CONTROL, 'V'});
    const Shot pasted = ExpectedShot(PastedColorAt);
    ExpectScreen(pasted, "pasted");

    const auto [a, b] = FreeStroke(others_);
    ASSERT_GE(a.x, 0);
    Drag(a, b, false);
    const Shot painted = SettledScreen();
    ExpectPaintAlong(pasted, painted, a, b, others_);
    EraseArea(Compare(pasted, painted, others_).bounds);
    ExpectScreen(pasted, "erased-paste");
    EXPECT_EQ(kids.Close(), 0u);
}

// ------------------------------------------------------------- kids mode --

// The paper texture as the program carries it: bitmap 124, 8 bits.
struct PaperTexture {
    int width = 0, height = 0;
    std::vector<uint32_t> colors;  // 0x00RRGGBB
    std::vector<uint8_t> indices;  // rows bottom-up, unpadded
};

PaperTexture LoadPaper(int32_t intensity) {
    PaperTexture t;
    HMODULE exe = LoadLibraryExW(pintora_test::DistPath(L"PintoraKids.exe").c_str(), nullptr,
                                 LOAD_LIBRARY_AS_DATAFILE);
    if (!exe) return t;
    HRSRC found = FindResourceW(exe, MAKEINTRESOURCEW(124), MAKEINTRESOURCEW(2));  // RT_BITMAP
    const auto *info = found ? static_cast<const BITMAPINFOHEADER *>(LockResource(LoadResource(exe, found)))
                             : nullptr;
    if (info && info->biBitCount == 8) {
        t.width = info->biWidth;
        t.height = info->biHeight;
        const auto *table = reinterpret_cast<const RGBQUAD *>(reinterpret_cast<const uint8_t *>(info) + info->biSize);
        const int count = info->biClrUsed ? static_cast<int>(info->biClrUsed) : 256;
        auto shift = [&](int v) { return static_cast<uint32_t>(std::clamp(v + intensity, 0, 255)); };
        for (int i = 0; i < count; ++i) {
            t.colors.push_back(shift(table[i].rgbRed) << 16 | shift(table[i].rgbGreen) << 8 |
                               shift(table[i].rgbBlue));
        }
        const auto *bits = reinterpret_cast<const uint8_t *>(table + count);
        const int stride = (t.width + 3) & ~3;
        for (int r = 0; r < t.height; ++r) {
            t.indices.insert(t.indices.end(), bits + r * stride, bits + r * stride + t.width);
        }
    }
    FreeLibrary(exe);
    return t;
}

// The paper tiled over the screen from its bottom-left corner.
Shot TiledPaper(const PaperTexture &t) {
    const int h = GetSystemMetrics(SM_CYSCREEN);
    return ExpectedShot([&](int x, int y) {
        const int row = (h - 1 - y) % t.height;
        return t.colors[t.indices[static_cast<size_t>(row) * t.width + x % t.width]];
    });
}

TEST_F(CanvasE2E, KidsSwitchStartsOnThePaperWhateverItsCaseAndBeforeWhite) {
    const PaperTexture paper = LoadPaper(0);
    ASSERT_EQ(paper.width, 256);
    ASSERT_EQ(paper.height, 256);
    ASSERT_EQ(paper.colors.size(), 256u);
    const Shot expected = TiledPaper(paper);
    for (const wchar_t *args : {L"/k", L"/K", L"/w /k"}) {
        SCOPED_TRACE(pintora_test::Narrow(args));
        Kids kids(args);
        ASSERT_NE(Start(kids), nullptr);
        ExpectScreen(expected, "kids");
        EXPECT_EQ(kids.Close(), 0u);
    }
}

TEST_F(CanvasE2E, PaperIntensityDarkensThePaper) {
    settings_.Write({"bFirstRun=1", "KidsRunAlready=1", "PaperIntensity=-20"});
    const Shot expected = TiledPaper(LoadPaper(-20));
    Kids kids(L"/k");
    ASSERT_NE(Start(kids), nullptr);
    ExpectScreen(expected, "kids-darker");
    EXPECT_EQ(kids.Close(), 0u);
    const auto text = settings_.Read();
    ASSERT_TRUE(text);
    EXPECT_NE(text->find("PaperIntensity=-20"), std::string::npos) << *text;
}

TEST_F(CanvasE2E, WhiteSwitchStartsOnWhitePaper) {
    Kids kids(L"/w");
    ASSERT_NE(Start(kids), nullptr);
    ExpectScreen(ExpectedShot([](int, int) { return 0xFFFFFFu; }), "white-start");
    EXPECT_EQ(kids.Close(), 0u);
}

// --------------------------------------------------------------- start-up --

TEST_F(CanvasE2E, TheWelcomeBoxComesOnlyOnTheFirstRun) {
    settings_.Remove();
    {
        Kids kids;
        HWND welcome = kids.WaitForDialog();
        ASSERT_NE(welcome, nullptr);
        EXPECT_EQ(WindowText(welcome), "Pintora へようこそ");
        EXPECT_NE(DialogText(welcome).find("お絵かき"), std::string::npos);
        EXPECT_EQ(kids.WaitForCanvas(300), nullptr) << "the canvas waits for the welcome box";
        SetForegroundWindow(welcome);
        Pump(50);
        PressKeys({VK_RETURN});
        ASSERT_NE(kids.WaitForCanvas(), nullptr);
        const auto text = settings_.Read();
        ASSERT_TRUE(text);
        EXPECT_NE(text->find("bFirstRun=1"), std::string::npos) << "written as soon as the box closed";
        EXPECT_EQ(kids.Close(), 0u);
    }
    {
        Kids kids;
        ASSERT_NE(kids.WaitForCanvas(), nullptr);
        for (HWND w = GetTopWindow(nullptr); w; w = GetNextWindow(w, GW_HWNDNEXT)) {
            DWORD process = 0;
            GetWindowThreadProcessId(w, &process);
            if (process == kids.id() && IsWindowVisible(w)) {
                EXPECT_NE(WindowText(w), "Pintora へようこそ");
            }
        }
        EXPECT_EQ(kids.Close(), 0u);
    }
    const auto text = settings_.Read();
    ASSERT_TRUE(text);
    EXPECT_NE(text->find("LastNormalPage=2"), std::string::npos) << "two runs, two pages on:\n" << *text;
}

// The first kids-mode start warns how to quit, in a box of its own before
// the paper shows; Ctrl+Q then brings the end bar, whose first button ends
// the program, and the warning is remembered, so the next kids-mode start
// goes straight on.
TEST_F(CanvasE2E, TheKidsWarningComesOnceAndCtrlQLeadsToTheEnd) {
    settings_.Write({"bFirstRun=1"});
    {
        Kids kids(L"/k");
        HWND box = kids.WaitForDialog();
        ASSERT_NE(box, nullptr) << "no kids-mode warning";
        EXPECT_EQ(WindowText(box), "Pintora Tessaro");
        EXPECT_EQ(DialogText(box),
                  "終了するには[ Ctrl+ Q ]です。これだけは覚えておいてください。\n"
                  "設定は、一旦終了して、[ お子様 ]を選んでください。");
        SetForegroundWindow(box);
        Pump(50);
        PressKeys({VK_RETURN});
        HWND canvas = kids.WaitForCanvas();
        ASSERT_NE(canvas, nullptr);
        SetForegroundWindow(canvas);
        Pump(50);
        PressKeys({VK_CONTROL, 'Q'});
        HWND endBar = kids.WaitForWindow("Pintora ( F1を押すとヘルプ表示 )");
        ASSERT_NE(endBar, nullptr) << "Ctrl+Q brings no end bar";
        // The canvas goes away once the end bar is there.
        for (int i = 0; i < 100 && IsWindowVisible(canvas); ++i) Pump(50);
        EXPECT_FALSE(IsWindowVisible(canvas));
        Pump(300);
        ASSERT_TRUE(ClickControl(endBar, 1000));
        EXPECT_EQ(kids.WaitForExit(), 0u) << "the end bar's first button ends the run";
    }
    const auto text = settings_.Read();
    ASSERT_TRUE(text);
    EXPECT_NE(text->find("KidsRunAlready=1"), std::string::npos) << *text;
    EXPECT_NE(text->find("LastKidsPage=1"), std::string::npos) << *text;
    {
        Kids kids(L"/k");
        ASSERT_NE(kids.WaitForCanvas(), nullptr);
        EXPECT_EQ(kids.WaitForDialog(300), nullptr) << "the warning came again";
        EXPECT_EQ(kids.Close(), 0u);
    }
}

// The message of a start without any brush plug-in, its end and its
// untouched settings.
void ExpectNoBrushStart(Kids &kids, const SettingsGuard &settings, const std::optional<std::string> &before) {
    HWND box = kids.WaitForDialog();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(WindowText(box), "ブラシ");
    EXPECT_EQ(DialogText(box), "処理に必要なＤＬＬをロードできません。\n設定を確認して、再インストールしてください。");
    SetForegroundWindow(box);
    Pump(50);
    PressKeys({VK_RETURN});
    EXPECT_EQ(kids.WaitForExit(), 0u);
    EXPECT_EQ(settings.Read(), before) << "a run without a window writes no settings";
}

TEST_F(CanvasE2E, WithoutBrushPlugInsTheProgramSaysSoAndEndsWithoutWritingSettings) {
    pintora_test::TempDir folder;
    for (const wchar_t *file : {L"PintoraKids.exe", L"Dibwork.dll", L"Bristler.dll"}) {
        ASSERT_TRUE(CopyFileW(pintora_test::DistPath(file).c_str(), folder.File(file).c_str(), FALSE));
    }
    const auto before = settings_.Read();
    Kids kids(folder.File(L"PintoraKids.exe"), L"");
    ExpectNoBrushStart(kids, settings_, before);
}

TEST_F(CanvasE2E, TheRegisteredSetupFolderIsWhereBrushesAreSought) {
    pintora_test::TempDir empty;
    settings_.SetSetupDirectory(empty.path());
    const auto before = settings_.Read();
    Kids kids;
    ExpectNoBrushStart(kids, settings_, before);
}

}  // namespace
