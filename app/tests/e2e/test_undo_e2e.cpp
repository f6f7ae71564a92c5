// Undo, redo and the page that survives a crash, on the real
// PintoraKids.exe with real input: judged by the screen and by the page
// files the runs leave behind.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "e2e_support.h"
#include "test_support.h"

using namespace pintora_e2e;

namespace {

constexpr int kPreviousButton = 1052;
constexpr int kNextButton = 1053;

std::wstring PageFolder(const wchar_t *mode) { return InstalledCopy() + L"Save\\" + mode + L"\\"; }
std::wstring Marker(const wchar_t *mode) { return PageFolder(mode) + L"autosave.txt"; }
bool Exists(const std::wstring &path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::wstring ShotPath(const char *name) {
    return pintora_test::TestDir() + pintora_test::Widen(std::string("e2e-undo-") + name + ".bmp");
}

// A page file as a shot, when it is a whole 24-bit BMP of exactly the
// expected size: the file's size is what its headers promise, no more and
// no less.  An empty shot otherwise (a torn or foreign file).
Shot ReadPageShot(const std::wstring &path, int width, int height) {
    Shot shot;
    HANDLE f = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return shot;
    const DWORD size = GetFileSize(f, nullptr);
    std::vector<uint8_t> bytes(size);
    DWORD read = 0;
    const bool ok = size >= 54 && ReadFile(f, bytes.data(), size, &read, nullptr) && read == size;
    CloseHandle(f);
    if (!ok || bytes[0] != 'B' || bytes[1] != 'M') return shot;
    BITMAPFILEHEADER file;
    BITMAPINFOHEADER info;
    std::memcpy(&file, bytes.data(), sizeof file);
    std::memcpy(&info, bytes.data() + sizeof file, sizeof info);
    const size_t stride = (static_cast<size_t>(width) * 3 + 3) & ~size_t{3};
    if (info.biWidth != width || info.biHeight != height || info.biBitCount != 24 || file.bfSize != size ||
        file.bfOffBits + stride * height != size) {
        return shot;
    }
    shot.width = width;
    shot.height = height;
    shot.pixels.resize(static_cast<size_t>(width) * height);
    for (int y = 0; y < height; ++y) {
        const uint8_t *row = bytes.data() + file.bfOffBits + stride * (height - 1 - y);
        for (int x = 0; x < width; ++x) {
            shot.pixels[static_cast<size_t>(y) * width + x] = row[3 * x] | row[3 * x + 1] << 8 | row[3 * x + 2] << 16;
        }
    }
    return shot;
}

int ScreenWidth() { return GetSystemMetrics(SM_CXSCREEN); }
int ScreenHeight() { return GetSystemMetrics(SM_CYSCREEN); }

Shot ReadPage(const wchar_t *mode, int page) {
    wchar_t name[16];
    wsprintfW(name, L"%02d.bmp", page + 1);
    return ReadPageShot(PageFolder(mode) + name, ScreenWidth(), ScreenHeight());
}
bool ThumbnailWhole(const wchar_t *mode, int page) {
    wchar_t name[16];
    wsprintfW(name, L"%02d_s.bmp", page + 1);
    return ReadPageShot(PageFolder(mode) + name, 64, 48).width == 64;
}

// Waits until `done` holds, pumping messages; false on timeout.
template <typename F>
bool WaitFor(F done, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > timeoutMs) return false;
        Pump(100);
    }
    return true;
}

class UndoE2E : public testing::Test {
protected:
    void SetUp() override { RemoveMarkers(); }
    void TearDown() override { RemoveMarkers(); }
    static void RemoveMarkers() {
        DeleteFileW(Marker(L"Kids").c_str());
        DeleteFileW(Marker(L"Normal").c_str());
    }

    // Starts the program and waits until its canvas has settled.
    bool Start(Kids &kids) {
        HWND canvas = kids.WaitForCanvas();
        if (!canvas) return false;
        Pump(300);
        SettledScreen();
        others_ = kids.OtherWindows();
        SetForegroundWindow(canvas);
        Pump(100);
        return true;
    }
    // The screen once it shows what it should, or the last look.
    Difference ScreenAgainst(const Shot &expected, const char *name, DWORD timeoutMs = 6000) {
        Difference d;
        Shot now;
        WaitFor(
            [&] {
                now = SettledScreen();
                d = Compare(now, expected, others_);
                return d.count == 0;
            },
            timeoutMs);
        if (d.count) SaveShot(now, ShotPath(name));
        return d;
    }

    SettingsGuard settings_;
    Backdrop backdrop_;
    std::vector<RECT> others_;
};

// Three strokes, Ctrl+Z twice and Ctrl+Y once: exactly the first two
// strokes show, pixel for pixel.
TEST_F(UndoE2E, ThreeStrokesTwoUndosOneRedoLeaveTheFirstTwo) {
    settings_.Write({"bFirstRun=1", "KidsRunAlready=1"});
    Kids kids;
    ASSERT_TRUE(Start(kids));
    std::vector<Shot> after;
    after.push_back(SettledScreen());
    // Rows in the lower half, clear of the brush manager's dialogs.
    const int y0 = ScreenHeight() / 2;
    for (int i = 0; i < 3; ++i) {
        Drag({ScreenWidth() / 2 - 150, y0 + 80 * i}, {ScreenWidth() / 2 + 150, y0 + 80 * i}, false);
        after.push_back(SettledScreen());
        ASSERT_GT(Compare(after[i], after[i + 1], others_).count, 100u) << "stroke " << i + 1 << " painted nothing";
    }
    PressKeys({VK_CONTROL, 'Z'});
    EXPECT_EQ(ScreenAgainst(after[2], "undo1").count, 0u) << "the first Ctrl+Z";
    PressKeys({VK_CONTROL, 'Z'});
    EXPECT_EQ(ScreenAgainst(after[1], "undo2").count, 0u) << "the second Ctrl+Z";
    PressKeys({VK_CONTROL, 'Y'});
    EXPECT_EQ(ScreenAgainst(after[2], "redo").count, 0u) << "Ctrl+Y";
    EXPECT_EQ(kids.Close(), 0u);
}

// Kids mode: draw, let the autosave pass, kill the program; the next kids
// start shows the drawing again, on the same page.
TEST_F(UndoE2E, KidsDrawingComesBackAfterTheProgramIsKilled) {
    settings_.Write({"bFirstRun=1", "KidsRunAlready=1", "LastKidsPage=4", "AutoSaveSeconds=2"});
    Shot drawn;
    {
        Kids kids(L"/k");
        ASSERT_TRUE(Start(kids));
        const Shot paper = SettledScreen();
        Drag({200, 300}, {600, 340}, false);
        drawn = SettledScreen();
        ASSERT_GT(Compare(paper, drawn, others_).count, 100u) << "the stroke painted nothing";
        ASSERT_TRUE(WaitFor([] { return Exists(Marker(L"Kids")); }, 15000)) << "no autosave";
        ASSERT_TRUE(kids.Kill());
    }
    EXPECT_EQ(Compare(ReadPage(L"Kids", 4), drawn, others_).count, 0u) << "the page is not the drawing";
    {
        Kids kids(L"/k");
        ASSERT_TRUE(Start(kids));
        EXPECT_EQ(ScreenAgainst(drawn, "kids-back").count, 0u) << "the drawing is not back";
        EXPECT_EQ(kids.Close(), 0u);
    }
    EXPECT_FALSE(Exists(Marker(L"Kids"))) << "a run that ended normally leaves no marker";
    const auto text = settings_.Read();
    ASSERT_TRUE(text);
    EXPECT_NE(text->find("LastKidsPage=5"), std::string::npos) << *text;
}

// A long kids session killed in the middle of a drag: the page holds
// every stroke up to the last autosave, strokes are on it whole or not at
// all and in the order drawn (autosaves come only between strokes), and
// the page and its thumbnail are whole files.
TEST_F(UndoE2E, KilledMidDragThePageHoldsWholeStrokesUpToTheLastAutosave) {
    settings_.Write({"bFirstRun=1", "KidsRunAlready=1", "LastKidsPage=9", "AutoSaveSeconds=1"});
    constexpr int kStrokes = 12;
    auto rowOf = [](int k) { return 130 + 45 * k; };
    Kids kids(L"/k");
    ASSERT_TRUE(Start(kids));
    ASSERT_LT(rowOf(kStrokes), ScreenHeight() - 40);
    const Shot paper = SettledScreen();
    // The paint of stroke k on a picture: changed pixels in its band, and
    // the number of places along it (every 40 pixels) with paint nearby.
    auto strokeOn = [&](const Shot &page, int k) {
        std::pair<int, int> found{0, 0};
        if (page.width == 0) return found;
        for (int x = 100; x <= 500; x += 40) {
            bool nearby = false;
            for (int y = rowOf(k) - 20; y <= rowOf(k) + 20; ++y) {
                for (int dx = -20; dx < 20; ++dx) {
                    const bool changed = page.at(x + dx, y) != paper.at(x + dx, y);
                    found.first += changed;
                    nearby = nearby || (changed && std::abs(y - rowOf(k)) <= 8 && std::abs(dx) <= 8);
                }
            }
            found.second += nearby;
        }
        return found;
    };
    auto draw = [&](int k) { Drag({100, rowOf(k)}, {500, rowOf(k)}, false, 8); };

    for (int k = 0; k < 3; ++k) draw(k);
    ASSERT_TRUE(WaitFor([&] { return strokeOn(ReadPage(L"Kids", 9), 2).first > 0; }, 15000))
        << "the first three strokes were never autosaved";
    for (int k = 3; k < kStrokes - 1; ++k) {
        draw(k);
        Pump(k * 60);  // now and then long enough for an autosave
    }
    // The last stroke: the button goes down, half the drag, and the end.
    MoveTo({100, rowOf(kStrokes - 1)});
    MouseButton(false, true);
    for (int x = 100; x <= 300; x += 8) {
        MoveTo({x, rowOf(kStrokes - 1)});
        Pump(10);
    }
    ASSERT_TRUE(kids.Kill());
    MouseButton(false, false);

    const Shot page = ReadPage(L"Kids", 9);
    ASSERT_EQ(page.width, ScreenWidth()) << "the page file is torn";
    EXPECT_TRUE(ThumbnailWhole(L"Kids", 9)) << "the thumbnail is torn";
    int saved = 0;
    while (saved < kStrokes && strokeOn(page, saved).first > 0) ++saved;
    EXPECT_GE(saved, 3) << "strokes autosaved before are gone";
    EXPECT_LT(saved, kStrokes) << "the stroke under way when the program died is on the page";
    for (int k = 0; k < saved; ++k) EXPECT_EQ(strokeOn(page, k).second, 11) << "stroke " << k << " is not whole";
    for (int k = saved; k < kStrokes; ++k) EXPECT_EQ(strokeOn(page, k).first, 0) << "stroke " << k << " after a gap";

    Kids again(L"/k");
    ASSERT_TRUE(Start(again));
    EXPECT_EQ(ScreenAgainst(page, "kids-long").count, 0u) << "the next start does not show the page";
    EXPECT_EQ(again.Close(), 0u);
}

// Normal mode starts over a new capture: after a crash the next start
// moves to the page after the crashed one, which keeps its drawing and is
// one page back on the page bar.
TEST_F(UndoE2E, NormalModeKeepsTheCrashedPageAndTheBarReachesIt) {
    settings_.Write({"bFirstRun=1", "KidsRunAlready=1", "LastNormalPage=2", "AutoSaveSeconds=1"});
    Shot drawn;
    {
        Kids kids;
        ASSERT_TRUE(Start(kids));
        const int y = ScreenHeight() / 2 + 100;
        Drag({ScreenWidth() / 2 - 150, y}, {ScreenWidth() / 2 + 150, y}, false);
        drawn = SettledScreen();
        ASSERT_TRUE(WaitFor([&] { return Compare(ReadPage(L"Normal", 2), drawn, others_).count == 0; }, 15000))
            << "no autosave";
        ASSERT_TRUE(kids.Kill());
    }
    {
        Kids kids;
        ASSERT_TRUE(Start(kids));
        HWND bar = PageBar(kids);
        ASSERT_NE(bar, nullptr);
        ASSERT_TRUE(ClickControl(bar, kPreviousButton));
        EXPECT_EQ(ScreenAgainst(drawn, "normal-back").count, 0u) << "one page back is not the crashed drawing";
        ASSERT_TRUE(ClickControl(bar, kNextButton));
        Pump(500);
        EXPECT_EQ(kids.Close(), 0u);
    }
    EXPECT_EQ(Compare(ReadPage(L"Normal", 2), drawn, others_).count, 0u) << "the crashed page was overwritten";
    const Shot next = ReadPage(L"Normal", 3);
    ASSERT_EQ(next.width, ScreenWidth()) << "the run after the crash did not save its own page";
    EXPECT_GT(Compare(next, drawn, others_).count, 0u);
    EXPECT_FALSE(Exists(Marker(L"Normal")));
    const auto text = settings_.Read();
    ASSERT_TRUE(text);
    EXPECT_NE(text->find("LastNormalPage=4"), std::string::npos) << *text;
}

}  // namespace
