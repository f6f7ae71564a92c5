// The canvas window in-process, with the real Bristler and brushes: its
// commands and, through the tests' fake Wintab32.dll (whose packets the
// real Bristler reads), the eraser end of a tablet pen.  Messages are sent
// to the window directly.
#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <memory>
#include <vector>

#include "app_state.h"
#include "canvas_test_support.h"
#include "canvas_undo.h"
#include "canvas_window.h"
#include "dibwork.h"
#include "e2e_support.h"
#include "fake_wintab_control.h"
#include "pages.h"
#include "resource_ids.h"
#include "test_support.h"

using namespace pintora;
using pintora_canvas_test::PixelAt;

namespace {

// Wintab cursor numbers: 1 the pen tip, 2 and 5 the eraser ends.
constexpr uint32_t kPenTip = 1;
constexpr uint32_t kEraserEnd = 2;
constexpr uint32_t kOtherEraserEnd = 5;

class FakeTablet {
public:
    FakeTablet() {
        module_ = LoadLibraryW((pintora_test::TestDir() + L"fake_wintab\\Wintab32.dll").c_str());
        if (!module_) return;
        reset_ = reinterpret_cast<fake_wintab::ResetFn>(
            reinterpret_cast<void *>(GetProcAddress(module_, "FakeWintab_Reset")));
        queue_ = reinterpret_cast<fake_wintab::QueueFn>(
            reinterpret_cast<void *>(GetProcAddress(module_, "FakeWintab_Queue")));
        if (reset_) {
            const fake_wintab::Script script{1, 0, 1023};
            reset_(&script);
        }
    }
    ~FakeTablet() {
        if (module_) FreeLibrary(module_);
    }
    FakeTablet(const FakeTablet &) = delete;
    FakeTablet &operator=(const FakeTablet &) = delete;

    bool ok() const { return module_ && reset_ && queue_; }
    // One packet of the given pen end, waiting for the next poll.
    void Queue(uint32_t cursor) const {
        const fake_wintab::Packet packet{cursor, 0, 10, 10, 512};
        queue_(&packet, 1);
    }

private:
    HMODULE module_ = nullptr;
    fake_wintab::ResetFn reset_ = nullptr;
    fake_wintab::QueueFn queue_ = nullptr;
};

HCURSOR ClassCursor(HWND window) { return reinterpret_cast<HCURSOR>(GetClassLongPtrW(window, GCLP_HCURSOR)); }

// The canvas of a normal-mode start, with the brushes of the product folder
// and the fake tablet opened by Bristler (idle unless a test queues
// packets).
class LiveCanvas : public testing::Test {
protected:
    void SetUp() override {
        tablet_ = std::make_unique<FakeTablet>();
        ASSERT_TRUE(tablet_->ok()) << "the fake Wintab32.dll did not load: run with WINEDLLOVERRIDES=wintab32=n";
        settings_.SetSetupDirectory(pintora_test::DistDir());
        app_.instance = GetModuleHandleW(nullptr);
        RegisterCanvasClass(app_.instance);
        ASSERT_NE(CreateCanvasWindow(app_), nullptr);
        ASSERT_NE(app_.canvasPicture, nullptr);
        ASSERT_NE(app_.brushCursor, nullptr);
        // This test program has no cursor 105: a stock cursor stands in.
        app_.eraserCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_CROSS));
    }
    void TearDown() override {
        // The canvas ends Bristler, which closes the tablet, before the
        // fake is unloaded.
        if (app_.canvas) DestroyWindow(app_.canvas);
        pintora_e2e::Pump(20);
        tablet_.reset();
    }

    void Move(int x, int y, WPARAM keys = 0) { SendMessageW(app_.canvas, WM_MOUSEMOVE, keys, MAKELPARAM(x, y)); }
    void Command(int id, LPARAM param = 0) { SendMessageW(app_.canvas, WM_COMMAND, id, param); }

    const PlugInBrushManager &Manager() const { return *app_.brushes.record(); }
    const BrushDescriptor &CurrentBrush() const { return Manager().brushes[Manager().currentBrush]; }

    pintora_test::MessageBoxWatcher boxes_;
    pintora_e2e::SettingsGuard settings_;
    std::unique_ptr<FakeTablet> tablet_;
    AppState app_;
};

TEST_F(LiveCanvas, HoveringSwitchesTheCursorOnlyWhenThePenEndChanges) {
    const HCURSOR sentinel = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_HAND));

    tablet_->Queue(kEraserEnd);
    Move(50, 50);
    EXPECT_EQ(ClassCursor(app_.canvas), app_.eraserCursor);

    // The other eraser end is still "the eraser": the cursor is not set again.
    SetClassLongPtrW(app_.canvas, GCLP_HCURSOR, reinterpret_cast<LONG_PTR>(sentinel));
    tablet_->Queue(kOtherEraserEnd);
    Move(52, 50);
    EXPECT_EQ(ClassCursor(app_.canvas), sentinel);

    tablet_->Queue(kPenTip);
    Move(54, 50);
    EXPECT_EQ(ClassCursor(app_.canvas), app_.brushCursor);

    // No packet reads as "not the eraser": nothing changes.
    SetClassLongPtrW(app_.canvas, GCLP_HCURSOR, reinterpret_cast<LONG_PTR>(sentinel));
    Move(56, 50);
    EXPECT_EQ(ClassCursor(app_.canvas), sentinel);
    EXPECT_TRUE(boxes_.Seen().empty());
}

TEST_F(LiveCanvas, ALeftDragWithTheEraserEndErasesInsteadOfPainting) {
    constexpr COLORREF kInk = RGB(1, 2, 3);
    ASSERT_TRUE(MetaDIBFillColor(nullptr, app_.canvasPicture, kInk));
    GdiFlush();
    ASSERT_NE(PixelAt(app_.backgroundPicture, 100, 100), kInk);

    tablet_->Queue(kEraserEnd);
    SendMessageW(app_.canvas, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(100, 100));
    tablet_->Queue(kEraserEnd);
    Move(160, 100, MK_LBUTTON);
    tablet_->Queue(kEraserEnd);
    SendMessageW(app_.canvas, WM_LBUTTONUP, 0, MAKELPARAM(160, 100));
    GdiFlush();

    // Along the path the canvas shows the background again; beside it the
    // ink stays, untouched by any brush.
    for (int x = 87; x < 173; x += 5) {
        for (int y : {87, 100, 112}) {
            EXPECT_EQ(PixelAt(app_.canvasPicture, x, y), PixelAt(app_.backgroundPicture, x, y)) << x << ", " << y;
        }
    }
    for (int x = 60; x < 200; x += 7) {
        EXPECT_EQ(PixelAt(app_.canvasPicture, x, 80), kInk) << x;
        EXPECT_EQ(PixelAt(app_.canvasPicture, x, 120), kInk) << x;
    }
    EXPECT_TRUE(boxes_.Seen().empty());
}

// A right click during a left stroke leaves the stroke its capture, so the
// left release still reaches the canvas and ends the stroke there.
TEST_F(LiveCanvas, ARightClickDuringALeftStrokeKeepsTheCapture) {
    SendMessageW(app_.canvas, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(100, 100));
    ASSERT_EQ(GetCapture(), app_.canvas);
    ASSERT_NE(Manager().context.canvasBits, nullptr) << "the stroke runs";
    SendMessageW(app_.canvas, WM_RBUTTONDOWN, MK_LBUTTON | MK_RBUTTON, MAKELPARAM(110, 100));
    SendMessageW(app_.canvas, WM_RBUTTONUP, MK_LBUTTON, MAKELPARAM(110, 100));
    EXPECT_EQ(GetCapture(), app_.canvas);
    SendMessageW(app_.canvas, WM_LBUTTONUP, 0, MAKELPARAM(120, 100));
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(Manager().context.canvasBits, nullptr) << "the stroke ended";

    // The same the other way round: a right (erasing) drag keeps its capture.
    SendMessageW(app_.canvas, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(100, 100));
    SendMessageW(app_.canvas, WM_LBUTTONDOWN, MK_LBUTTON | MK_RBUTTON, MAKELPARAM(100, 100));
    SendMessageW(app_.canvas, WM_LBUTTONUP, MK_RBUTTON, MAKELPARAM(100, 100));
    EXPECT_EQ(GetCapture(), app_.canvas);
    SendMessageW(app_.canvas, WM_RBUTTONUP, 0, MAKELPARAM(100, 100));
    EXPECT_EQ(GetCapture(), nullptr);
}

// The kids pen comes from the program's tables: its brush by the name in
// the string table, the size scaled by the size step, the colour of the
// colour bar (red at start).  The program's own resources are needed for
// the names, so they are taken from PintoraKids.exe for this command.
TEST_F(LiveCanvas, KidsModeSelectsThePenByNameWithItsScaledSizeAndRed) {
    HMODULE exe = LoadLibraryExW(pintora_test::DistPath(L"PintoraKids.exe").c_str(), nullptr,
                                 LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(exe, nullptr);
    const HINSTANCE own = app_.instance;
    app_.instance = exe;
    app_.settings.kidsRunAlready = 1;
    app_.settings.currentPen = 1;      // the marker ("マーカー"), 24 / 80 / 0
    app_.settings.currentPenSize = 2;  // small: 24 x 2 / 4
    Command(1009);
    app_.instance = own;
    FreeLibrary(exe);

    EXPECT_EQ(app_.kidsFlag, 1);
    EXPECT_STREQ(CurrentBrush().name, u8"マーカー");
    EXPECT_EQ(CurrentBrush().params[0].value, 12);
    EXPECT_EQ(CurrentBrush().params[1].value, 80);
    EXPECT_EQ(CurrentBrush().params[2].value, 0);
    EXPECT_EQ(Manager().context.color, RGB(0xE0, 0x08, 0x08));
    EXPECT_EQ(ClassCursor(app_.canvas), app_.brushCursor);
    EXPECT_TRUE(boxes_.Seen().empty());
}

// A key pressed in the middle of a left drag (Ctrl+D, Ctrl+E, Ctrl+V, the
// end): the stroke ends before the command, so the brush lets go of the
// canvas's bits, and the rest of the drag paints nothing.
TEST_F(LiveCanvas, CommandsEndARunningStrokeBeforeTheyTouchTheCanvas) {
    for (int command : {40005, 1007, 40003}) {
        SCOPED_TRACE(command);
        SendMessageW(app_.canvas, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(100, 100));
        ASSERT_NE(Manager().context.canvasInfo, nullptr) << "no stroke under way";
        Command(command);
        EXPECT_EQ(Manager().context.canvasInfo, nullptr) << "the brush still holds the canvas";
        EXPECT_NE(GetCapture(), app_.canvas);
        GdiFlush();
        const COLORREF before = PixelAt(app_.canvasPicture, 300, 100);
        Move(300, 100, MK_LBUTTON);
        SendMessageW(app_.canvas, WM_LBUTTONUP, 0, MAKELPARAM(300, 100));
        GdiFlush();
        EXPECT_EQ(PixelAt(app_.canvasPicture, 300, 100), before) << "the drag went on painting";
    }
    EXPECT_TRUE(boxes_.Seen().empty());
}

// White paper belongs to the picture it was made on: after a new capture
// or a page turn the eraser restores the background again.
TEST_F(LiveCanvas, TheWhitePaperEndsWithANewPictureOrPage) {
    constexpr COLORREF kPaper = RGB(10, 20, 30), kInk = RGB(1, 2, 3);
    auto erasedPixel = [&] {
        EXPECT_TRUE(MetaDIBFillColor(nullptr, app_.backgroundPicture, kPaper));
        EXPECT_TRUE(MetaDIBFillColor(nullptr, app_.canvasPicture, kInk));
        SendMessageW(app_.canvas, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(100, 100));
        SendMessageW(app_.canvas, WM_RBUTTONUP, 0, MAKELPARAM(100, 100));
        GdiFlush();
        return PixelAt(app_.canvasPicture, 100, 100);
    };
    Command(1007);
    EXPECT_EQ(erasedPixel(), RGB(255, 255, 255)) << "white paper erases white";
    Command(1007);
    Command(1001);
    EXPECT_EQ(erasedPixel(), kPaper) << "after a new capture";
    Command(1007);
    TurnPage(app_, true);
    EXPECT_EQ(erasedPixel(), kPaper) << "after a page turn";
    EXPECT_TRUE(boxes_.Seen().empty());
}

TEST_F(LiveCanvas, BrushMenuCommandsSelectByPositionAndIgnoreIdsPastTheTable) {
    ASSERT_GE(Manager().brushCount, 3);
    Command(8000 + 2);
    EXPECT_EQ(Manager().currentBrush, 2);
    Command(8000 + Manager().brushCount);
    Command(8000 + 5000);
    EXPECT_EQ(Manager().currentBrush, 2) << "a command past the brush table changes nothing";
    Command(8000);
    EXPECT_EQ(Manager().currentBrush, 0);
    EXPECT_EQ(ClassCursor(app_.canvas), app_.brushCursor);
    EXPECT_TRUE(boxes_.Seen().empty());
}

// ------------------------------------------------------------ undo --

// Every byte of a picture's pixel rows.
std::vector<uint8_t> BitsOf(HBITMAP picture) {
    GdiFlush();
    BITMAPINFOHEADER header{};
    void *bits = nullptr;
    if (!GetDIBitmapInfo(picture, &header, &bits) || !bits) return {};
    const size_t size = static_cast<size_t>((header.biWidth * 3 + 3) & ~3) * header.biHeight;
    return {static_cast<uint8_t *>(bits), static_cast<uint8_t *>(bits) + size};
}

struct CanvasState {
    std::vector<uint8_t> canvas, background;
    bool white = false;
    bool operator==(const CanvasState &o) const {
        return canvas == o.canvas && background == o.background && white == o.white;
    }
};

// A screen-size 24-bit picture of stripes on the clipboard, as Print
// Screen leaves one.
bool PutStripesOnClipboard(HWND owner) {
    const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    const size_t stride = (w * 3 + 3) & ~3;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, sizeof(BITMAPINFOHEADER) + stride * h);
    if (!block) return false;
    auto *header = static_cast<BITMAPINFOHEADER *>(GlobalLock(block));
    *header = {sizeof(BITMAPINFOHEADER), w, h, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    auto *pixels = reinterpret_cast<uint8_t *>(header + 1);
    for (size_t i = 0; i < stride * h; ++i) pixels[i] = static_cast<uint8_t>(i / 7);
    GlobalUnlock(block);
    if (!OpenClipboard(owner)) return false;
    EmptyClipboard();
    const bool put = SetClipboardData(CF_DIB, block) != nullptr;
    CloseClipboard();
    return put;
}

class UndoCanvas : public LiveCanvas {
protected:
    CanvasState Now() const {
        return {BitsOf(app_.canvasPicture), BitsOf(app_.backgroundPicture), app_.whiteFlag};
    }
    void Stroke(int x0, int x1, int y, bool eraser = false) {
        const UINT down = eraser ? WM_RBUTTONDOWN : WM_LBUTTONDOWN, up = eraser ? WM_RBUTTONUP : WM_LBUTTONUP;
        const WPARAM held = eraser ? MK_RBUTTON : MK_LBUTTON;
        SendMessageW(app_.canvas, down, held, MAKELPARAM(x0, y));
        for (int x = x0 + 10; x <= x1; x += 10) Move(x, y, held);
        SendMessageW(app_.canvas, up, 0, MAKELPARAM(x1, y));
    }
};

// Strokes, the eraser, the white paper, clear and paste, each undone and
// redone in turn: every step gives back exactly the canvas, background
// and white-paper state it came from, and a new change ends the redo.
TEST_F(UndoCanvas, EveryKindOfChangeIsUndoneAndRedoneOnThePixels) {
    std::vector<std::pair<const char *, CanvasState>> states{{"start", Now()}};
    auto step = [&](const char *what, const std::function<void()> &change) {
        change();
        states.push_back({what, Now()});
        ASSERT_FALSE(states.back().second == states[states.size() - 2].second) << what << " changed nothing";
    };
    step("stroke", [&] { Stroke(100, 300, 100); });
    step("eraser", [&] { Stroke(150, 250, 100, true); });
    step("white paper", [&] { Command(IDM_WHITE); });
    step("stroke on white", [&] { Stroke(100, 300, 200); });
    step("clear", [&] { Command(IDM_CLEAR); });
    step("stroke again", [&] { Stroke(100, 300, 300); });
    ASSERT_TRUE(PutStripesOnClipboard(app_.canvas));
    step("paste", [&] { Command(IDM_PASTE); });
    step("stroke on the paste", [&] { Stroke(100, 300, 400); });

    for (size_t i = states.size() - 1; i > 0; --i) {
        Command(IDM_UNDO);
        EXPECT_TRUE(Now() == states[i - 1].second) << "undoing " << states[i].first;
    }
    Command(IDM_UNDO);
    EXPECT_TRUE(Now() == states[0].second) << "nothing before the start";
    for (size_t i = 1; i < states.size(); ++i) {
        Command(IDM_REDO);
        EXPECT_TRUE(Now() == states[i].second) << "redoing " << states[i].first;
    }
    Command(IDM_REDO);
    EXPECT_TRUE(Now() == states.back().second) << "nothing after the newest";

    Command(IDM_UNDO);
    Stroke(100, 300, 500);
    const CanvasState branched = Now();
    Command(IDM_REDO);
    EXPECT_TRUE(Now() == branched) << "a new change drops what could be redone";
    EXPECT_TRUE(boxes_.Seen().empty());
}

// Kids-mode paper and another page each start a new history; the pen
// bar's clear (the kids' only clear) is a step like the others.
TEST_F(UndoCanvas, NewPaperOrPageStartsANewHistoryAndThePenBarClearIsUndone) {
    Stroke(100, 300, 100);
    HMODULE exe = LoadLibraryExW(pintora_test::DistPath(L"PintoraKids.exe").c_str(), nullptr,
                                 LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(exe, nullptr);
    const HINSTANCE own = app_.instance;
    app_.instance = exe;  // the bars' templates and the pens' names
    app_.settings.kidsRunAlready = 1;
    Command(IDM_KIDS_MODE, KIDS_OPTION_PEN_BAR);
    app_.instance = own;
    FreeLibrary(exe);
    const CanvasState paper = Now();
    Command(IDM_UNDO);
    EXPECT_TRUE(Now() == paper) << "the normal mode's stroke came back over the paper";

    ASSERT_NE(app_.tools.pen, nullptr);
    Stroke(100, 300, 100);
    const CanvasState painted = Now();
    SendMessageW(app_.tools.pen, WM_COMMAND, MAKEWPARAM(1040, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(app_.tools.pen, 1040)));
    EXPECT_TRUE(Now() == paper) << "the pen bar's clear";
    Command(IDM_UNDO);
    EXPECT_TRUE(Now() == painted);

    TurnPage(app_, true);
    const CanvasState turned = Now();
    Command(IDM_UNDO);
    EXPECT_TRUE(Now() == turned) << "the page before came back on the new page";
    EXPECT_TRUE(boxes_.Seen().empty());
}

// With a 1 MiB cap the white paper of the whole screen is larger than the
// cap: the history is cleared rather than the change refused, and later
// changes are kept again.
TEST_F(UndoCanvas, AChangeLargerThanTheCapClearsTheHistory) {
    ASSERT_GT(GetSystemMetrics(SM_CXSCREEN) * GetSystemMetrics(SM_CYSCREEN) * 3, 1 << 20);
    app_.settings.undoMegabytes = 1;
    StartNewHistory(app_);
    Stroke(100, 300, 100);
    Command(IDM_WHITE);
    const CanvasState white = Now();
    EXPECT_TRUE(white.white);
    Command(IDM_UNDO);
    EXPECT_TRUE(Now() == white) << "neither the white paper nor the stroke before it can be undone";
    Stroke(100, 300, 200);
    Command(IDM_UNDO);
    EXPECT_TRUE(Now() == white) << "the stroke after it can";
    EXPECT_TRUE(boxes_.Seen().empty());
}

}  // namespace
