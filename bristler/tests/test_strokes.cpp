// Stroke driving with a recording brush on a Dibwork DIBitmap: the order
// of the commands, what the context holds at each call, the canvas header
// held for the stroke, refused strokes, the colour pick, and the failures
// the user is told about.
#include <gtest/gtest.h>

#include <algorithm>

#include "bristler_test_support.h"
#include "dibwork_binding.h"

using namespace bristler_test;
using pintora_test::MessageBoxWatcher;
using pintora_test::SeenBox;

namespace {

constexpr int kWidth = 64;
constexpr int kHeight = 48;

// Blue, green, red of pixel (x, y) counted from the top.
struct Bgr {
    int b, g, r;
    bool operator==(const Bgr &o) const { return b == o.b && g == o.g && r == o.r; }
};

Bgr PixelAt(HBITMAP bitmap, int x, int y) {
    BITMAPINFOHEADER header{};
    void *bits = nullptr;
    Dw().GetDIBitmapInfo(bitmap, &header, &bits);
    const auto stride = Dw().GetBitmapWidthBytes(&header);
    const auto *p = static_cast<const BYTE *>(bits) + (header.biHeight - 1 - y) * stride + 3 * x;
    return {p[0], p[1], p[2]};
}

void SetPixel24(HBITMAP bitmap, int x, int y, Bgr c) {
    BITMAPINFOHEADER header{};
    void *bits = nullptr;
    Dw().GetDIBitmapInfo(bitmap, &header, &bits);
    auto *p = static_cast<BYTE *>(bits) + (header.biHeight - 1 - y) * Dw().GetBitmapWidthBytes(&header) + 3 * x;
    p[0] = static_cast<BYTE>(c.b);
    p[1] = static_cast<BYTE>(c.g);
    p[2] = static_cast<BYTE>(c.r);
}

// A started manager with the basic plug-in and a 24-bit canvas.
class Strokes : public ::testing::Test {
protected:
    void SetUp() override {
        folder_.Add(L"basic", L"a.brs");
        ASSERT_EQ(manager_.Init(folder_.Ansi(), owner_.hwnd()), 1);
        canvas_ = Dw().MakeBlankFCDIBitmap(kWidth, kHeight);
        ASSERT_NE(canvas_, nullptr);
        Select(u8"ペン");  // flags 30: paints with the colour
    }
    void TearDown() override {
        if (canvas_) Dw().FreeDIBitmap(&canvas_);
    }
    void Select(const std::string &name) {
        ASSERT_EQ(Bw().SelectPlugInBrush(m(), BrushIndex(m(), name), nullptr), 1);
        log_ = ProbeLogOf(&m()->brushes[m()->currentBrush]);
        ASSERT_NE(log_, nullptr);
        pintora_test::PumpMessages(30);  // the settings dialog's first preview
    }
    int Start(POINT point, int flags = BRUSHKEY_LBUTTON, RECT *dirty = nullptr, HBITMAP source = nullptr,
              HGLOBAL sourceDib = nullptr) {
        return Bw().StartPlugInBrush(m(), owner_.hwnd(), canvas_, nullptr, source, sourceDib, &point, flags, dirty);
    }
    const probe::Call &Call(int i) { return log_->calls[i]; }
    PlugInBrushManager *m() { return manager_.get(); }

    MessageBoxWatcher watcher_;
    CountingWindow owner_;
    PlugInFolder folder_;
    Manager manager_;
    HBITMAP canvas_ = nullptr;
    probe::Log *log_ = nullptr;
};

TEST_F(Strokes, StartDragEndCallTheBrushInOrderAndPaintTheCanvas) {
    const int before = log_->count;
    RECT dirty{-1, -1, -1, -1};
    ASSERT_EQ(Start({10, 20}, BRUSHKEY_LBUTTON | BRUSHKEY_SHIFT, &dirty), 1);
    ASSERT_EQ(CommandsSince(log_, before), (std::vector<int>{BRUSHCMD_BEGIN, BRUSHCMD_PAINT}));

    const PlugInBrushContext &begin = Call(before).context;
    EXPECT_EQ(begin.hwndCanvas, owner_.hwnd());
    EXPECT_EQ(begin.hCanvasDib, nullptr);
    EXPECT_EQ(begin.hCanvasDIBitmap, canvas_);
    ASSERT_NE(begin.canvasInfo, nullptr);
    EXPECT_EQ(begin.canvasBits, Dw().GetDIBitmapDataAddress(canvas_));
    EXPECT_EQ(begin.sourceBits, nullptr);
    EXPECT_EQ(begin.width, kWidth);
    EXPECT_EQ(begin.height, kHeight);
    EXPECT_EQ(begin.stride, kWidth * 3);
    EXPECT_EQ(begin.tipParams, m()->brushes[m()->currentBrush].params);
    EXPECT_EQ(begin.flags, BRUSHKEY_LBUTTON | BRUSHKEY_SHIFT);
    EXPECT_EQ(begin.curX, 10);
    EXPECT_EQ(begin.curY, 20);
    EXPECT_EQ(begin.prevX, 10);
    EXPECT_EQ(begin.prevY, 20);
    EXPECT_EQ(begin.startX, 10);
    EXPECT_EQ(begin.startY, 20);
    EXPECT_EQ(begin.pressure, 128) << "no tablet";
    EXPECT_EQ(begin.dirtyRight, 0) << "zeroed at the start";
    EXPECT_EQ(begin.color, 0x020000FFu);
    EXPECT_EQ(begin.color2, 0x02FFFFFFu);

    EXPECT_EQ(dirty.left, 9);
    EXPECT_EQ(dirty.top, 19);
    EXPECT_EQ(dirty.right, 12);
    EXPECT_EQ(dirty.bottom, 22);
    EXPECT_EQ(PixelAt(canvas_, 10, 20), (Bgr{0, 0, 255}));
    EXPECT_EQ(PixelAt(canvas_, 13, 20), (Bgr{0, 0, 0}));
    EXPECT_NE(m()->context.canvasInfo, nullptr) << "the header is held for the stroke";

    POINT moved{30, 5};
    ASSERT_EQ(Bw().DragPlugInBrush(m(), &moved, &dirty), 1);
    const PlugInBrushContext &drag = Call(before + 2).context;
    EXPECT_EQ(drag.command, BRUSHCMD_PAINT);
    EXPECT_EQ(drag.prevX, 10);
    EXPECT_EQ(drag.prevY, 20);
    EXPECT_EQ(drag.curX, 30);
    EXPECT_EQ(drag.curY, 5);
    EXPECT_EQ(drag.startX, 10);
    EXPECT_EQ(drag.flags, BRUSHKEY_LBUTTON | BRUSHKEY_SHIFT) << "the flags of the start hold for the stroke";
    EXPECT_EQ(drag.canvasBits, begin.canvasBits);
    EXPECT_EQ(dirty.left, 29);
    EXPECT_EQ(dirty.top, 4);
    EXPECT_EQ(PixelAt(canvas_, 30, 5), (Bgr{0, 0, 255}));

    POINT end{30, 5};
    ASSERT_EQ(Bw().EndPlugInBrush(m(), &end), 1);
    EXPECT_EQ(CommandsSince(log_, before), (std::vector<int>{2, 1, 1, 3}));
    const PlugInBrushContext &c = m()->context;
    EXPECT_EQ(c.hwndCanvas, nullptr);
    EXPECT_EQ(c.hCanvasDIBitmap, nullptr);
    EXPECT_EQ(c.canvasInfo, nullptr);
    EXPECT_EQ(c.canvasBits, nullptr);
    EXPECT_EQ(c.width, 0);
    EXPECT_EQ(c.height, 0);
    EXPECT_EQ(c.stride, 0);
    EXPECT_EQ(c.pressure, 128);
    EXPECT_TRUE(watcher_.Seen().empty());
}

TEST_F(Strokes, ADragStartsFromWhereTheBrushLeftTheCurrentPoint) {
    log_->snapBack = 1;  // the brush sets cur back to prev after painting
    const int before = log_->count;
    ASSERT_EQ(Start({10, 10}), 1);
    POINT p1{12, 10}, p2{14, 10}, end{14, 10};
    ASSERT_EQ(Bw().DragPlugInBrush(m(), &p1, nullptr), 1);
    ASSERT_EQ(Bw().DragPlugInBrush(m(), &p2, nullptr), 1);
    EXPECT_EQ(Call(before + 3).context.prevX, 10) << "short moves add up from the start";
    EXPECT_EQ(Call(before + 3).context.curX, 14);
    log_->snapBack = 0;
    Bw().EndPlugInBrush(m(), &end);
}

TEST_F(Strokes, ARefusedStartReleasesTheCanvasAndLaterDragsDoNothing) {
    for (int refused : {BRUSHCMD_BEGIN, BRUSHCMD_PAINT}) {
        log_->refuse[refused] = 1;
        const int before = log_->count;
        RECT dirty{7, 7, 7, 7};
        EXPECT_EQ(Start({5, 5}, BRUSHKEY_LBUTTON, &dirty), 0);
        const std::vector<int> expected =
            refused == BRUSHCMD_BEGIN ? std::vector<int>{2} : std::vector<int>{2, 1};
        EXPECT_EQ(CommandsSince(log_, before), expected);
        EXPECT_EQ(m()->context.canvasInfo, nullptr);
        EXPECT_EQ(m()->context.canvasBits, nullptr);
        EXPECT_EQ(m()->context.hwndCanvas, nullptr);
        EXPECT_EQ(dirty.left, 7) << "no rectangle for a refused stroke";
        log_->refuse[refused] = 0;

        const int afterStart = log_->count;
        POINT p{6, 6};
        EXPECT_EQ(Bw().DragPlugInBrush(m(), &p, &dirty), 0);
        EXPECT_EQ(log_->count, afterStart) << "a drag without a stroke calls nothing";
    }
    EXPECT_TRUE(watcher_.Seen().empty()) << "a refusal is silent";
}

TEST_F(Strokes, EndWithoutAStrokeStillEndsTheBrush) {
    const int before = log_->count;
    POINT p{1, 1};
    EXPECT_EQ(Bw().EndPlugInBrush(m(), &p), 1);
    EXPECT_EQ(CommandsSince(log_, before), (std::vector<int>{BRUSHCMD_END}));
    EXPECT_EQ(m()->context.pressure, 128);
}

TEST_F(Strokes, ACanvasThatIsNotFullColourIsRefusedWithItsMessage) {
    HBITMAP eightBit = Dw().MakeBlankDIBitmap(kWidth, kHeight, 8);
    ASSERT_NE(eightBit, nullptr);
    const int before = log_->count;
    POINT p{3, 3};
    EXPECT_EQ(Bw().StartPlugInBrush(m(), owner_.hwnd(), eightBit, nullptr, nullptr, nullptr, &p, 1, nullptr), 0);
    ExpectBoxes(watcher_, {kNotFullColor}, SeenBox::kInformation);
    EXPECT_EQ(m()->lastError, BRISTLER_ERROR_NOT_FULL_COLOR);
    EXPECT_EQ(log_->count, before) << "the brush is not called";
    EXPECT_EQ(m()->context.canvasInfo, nullptr);
    EXPECT_EQ(m()->context.canvasBits, nullptr);
    EXPECT_EQ(m()->context.hCanvasDIBitmap, nullptr);
    Dw().FreeDIBitmap(&eightBit);
}

TEST_F(Strokes, MissingArgumentsAreAProcessingError) {
    POINT p{3, 3};
    EXPECT_EQ(Bw().StartPlugInBrush(m(), nullptr, canvas_, nullptr, nullptr, nullptr, &p, 1, nullptr), 0);
    EXPECT_EQ(m()->lastError, BRISTLER_ERROR_PROCESSING);
    EXPECT_EQ(Bw().StartPlugInBrush(m(), owner_.hwnd(), nullptr, nullptr, nullptr, nullptr, &p, 1, nullptr), 0);
    EXPECT_EQ(Bw().StartPlugInBrush(m(), owner_.hwnd(), canvas_, nullptr, nullptr, nullptr, nullptr, 1, nullptr), 0);
    EXPECT_EQ(Bw().EndPlugInBrush(m(), nullptr), 0);
    EXPECT_EQ(Bw().EndPlugInBrush(nullptr, &p), 0);
    EXPECT_EQ(Bw().DragPlugInBrush(nullptr, &p, nullptr), 0);
    EXPECT_EQ(Bw().StartPlugInBrush(nullptr, owner_.hwnd(), canvas_, nullptr, nullptr, nullptr, &p, 1, nullptr), 0);
    ExpectBoxes(watcher_, std::vector<std::string>(7, kProcessing), SeenBox::kWarning);
}

TEST_F(Strokes, TheSourcePictureIsUsedOnlyWhenItMatchesTheCanvas) {
    HBITMAP same = Dw().MakeBlankFCDIBitmap(kWidth, kHeight);
    HBITMAP smaller = Dw().MakeBlankFCDIBitmap(kWidth - 1, kHeight);
    HGLOBAL dib = Dw().MakeBlankDIB(kWidth, kHeight, 24);
    POINT end{0, 0};

    ASSERT_EQ(Start({1, 1}, 1, nullptr, same), 1);
    EXPECT_EQ(m()->context.sourceBits, Dw().GetDIBitmapDataAddress(same));
    Bw().EndPlugInBrush(m(), &end);

    ASSERT_EQ(Start({1, 1}, 1, nullptr, smaller), 1);
    EXPECT_EQ(m()->context.sourceBits, nullptr);
    Bw().EndPlugInBrush(m(), &end);

    // A source given as a DIB stays locked while the stroke reads it.
    ASSERT_EQ(Start({1, 1}, 1, nullptr, nullptr, dib), 1);
    auto *block = static_cast<BYTE *>(GlobalLock(dib));
    EXPECT_EQ(m()->context.sourceBits, block + sizeof(BITMAPINFOHEADER));
    GlobalUnlock(dib);
    EXPECT_EQ(GlobalFlags(dib) & GMEM_LOCKCOUNT, 1u);
    Bw().EndPlugInBrush(m(), &end);
    EXPECT_EQ(GlobalFlags(dib) & GMEM_LOCKCOUNT, 0u);

    Dw().FreeDIBitmap(&same);
    Dw().FreeDIBitmap(&smaller);
    Dw().FreeDIB(&dib);
}

TEST_F(Strokes, ACanvasGivenAsADibIsLockedForTheStrokeOnly) {
    HGLOBAL dib = Dw().MakeBlankDIB(kWidth, kHeight, 24);
    ASSERT_NE(dib, nullptr);
    POINT p{4, 4};
    ASSERT_EQ(Bw().StartPlugInBrush(m(), owner_.hwnd(), nullptr, dib, nullptr, nullptr, &p, 1, nullptr), 1);
    EXPECT_EQ(m()->context.hCanvasDib, dib);
    EXPECT_EQ(GlobalFlags(dib) & GMEM_LOCKCOUNT, 1u);
    Bw().EndPlugInBrush(m(), &p);
    EXPECT_EQ(GlobalFlags(dib) & GMEM_LOCKCOUNT, 0u);
    Dw().FreeDIB(&dib);
}

// A canvas freed under a running stroke (its end went astray, then a page
// load freed it; a new picture may even take its place): the next drag
// paints nothing, the stroke ends, and later drags do nothing.
TEST_F(Strokes, ADragRefusesACanvasFreedUnderTheStroke) {
    ASSERT_EQ(Start({10, 10}), 1);
    const int before = log_->count;
    Dw().FreeDIBitmap(&canvas_);
    canvas_ = Dw().MakeBlankFCDIBitmap(kWidth, kHeight);  // a new page
    POINT p{20, 10};
    RECT dirty{7, 7, 7, 7};
    EXPECT_EQ(Bw().DragPlugInBrush(m(), &p, &dirty), 0);
    EXPECT_EQ(CommandsSince(log_, before), (std::vector<int>{BRUSHCMD_END}));
    EXPECT_EQ(Call(before).context.canvasBits, nullptr) << "the brush ends with no canvas to touch";
    EXPECT_EQ(m()->context.canvasInfo, nullptr);
    EXPECT_EQ(dirty.left, 7);
    EXPECT_EQ(PixelAt(canvas_, 20, 10), (Bgr{0, 0, 0}));
    EXPECT_EQ(Bw().DragPlugInBrush(m(), &p, &dirty), 0);

    // A DIB canvas freed under its stroke: the same, and the freed block
    // is not unlocked.
    HGLOBAL dib = Dw().MakeBlankDIB(kWidth, kHeight, 24);
    ASSERT_EQ(Bw().StartPlugInBrush(m(), owner_.hwnd(), nullptr, dib, nullptr, nullptr, &p, 1, nullptr), 1);
    Dw().FreeDIB(&dib);
    const int dibBefore = log_->count;
    EXPECT_EQ(Bw().DragPlugInBrush(m(), &p, nullptr), 0);
    EXPECT_EQ(CommandsSince(log_, dibBefore), (std::vector<int>{BRUSHCMD_END}));
    EXPECT_EQ(m()->context.hCanvasDib, nullptr);
}

// Ending Bristler during a stroke (the program closed mid-drag) ends the
// stroke first: the brush gets its end command and the canvas is unlocked.
TEST_F(Strokes, EndingTheManagerMidStrokeEndsTheStroke) {
    HGLOBAL dib = Dw().MakeBlankDIB(kWidth, kHeight, 24);
    POINT p{4, 4};
    ASSERT_EQ(Bw().StartPlugInBrush(m(), owner_.hwnd(), nullptr, dib, nullptr, nullptr, &p, 1, nullptr), 1);
    // The plug-in is kept loaded past the end so that its log can be read.
    wchar_t path[MAX_PATH] = {};
    ASSERT_GT(GetModuleFileNameW(ModuleOfBrush(&m()->brushes[m()->currentBrush]), path, MAX_PATH), 0u);
    HMODULE pinned = LoadLibraryW(path);
    const int before = log_->count;
    ASSERT_EQ(manager_.End(), 1);
    ASSERT_GT(log_->count, before);
    EXPECT_EQ(log_->calls[before].command, BRUSHCMD_END);
    EXPECT_EQ(GlobalFlags(dib) & GMEM_LOCKCOUNT, 0u);
    FreeLibrary(pinned);
    Dw().FreeDIB(&dib);
}

TEST_F(Strokes, ACtrlPickAnnouncesTheNewColourOnceAtTheStart) {
    SetPixel24(canvas_, 8, 9, Bgr{0x30, 0x20, 0x10});
    // The settings dialog is open; a stand-in takes the colour window's place.
    ASSERT_TRUE(IsWindow(m()->settingsDialog));
    DestroyWindow(m()->colorPopup);
    CountingWindow popup;
    m()->colorPopup = popup.hwnd();

    RECT dirty{};
    const int before = log_->count;
    ASSERT_EQ(Start({8, 9}, BRUSHKEY_LBUTTON | BRUSHKEY_CONTROL, &dirty), 1);
    EXPECT_EQ(m()->context.color, 0x02302010u) << "flag, blue, green, red of the picked pixel";
    EXPECT_EQ(dirty.right, 0) << "a pick paints nothing";
    POINT p{9, 9}, end{9, 9};
    Bw().DragPlugInBrush(m(), &p, nullptr);
    Bw().DragPlugInBrush(m(), &p, nullptr);
    Bw().EndPlugInBrush(m(), &end);
    popup.Pump();
    EXPECT_EQ(popup.Count(1044), 1) << "posted once, at the start";
    const std::vector<int> commands = CommandsSince(log_, before);
    EXPECT_EQ(std::count(commands.begin(), commands.end(), BRUSHCMD_PREVIEW), 1) << "the preview is drawn again";

    // A brush without colour picks nothing worth announcing; selecting it
    // closes the colour window.
    Select(u8"えんぴつ");
    EXPECT_EQ(popup.hwnd(), nullptr);
    EXPECT_EQ(m()->colorPopup, nullptr);
    ASSERT_EQ(Start({8, 9}, BRUSHKEY_LBUTTON | BRUSHKEY_CONTROL), 1);
    Bw().EndPlugInBrush(m(), &end);
    popup.Pump();
    EXPECT_EQ(popup.Count(1044), 1);
}

}  // namespace
