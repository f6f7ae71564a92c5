// The BrushPreview window: its picture, the preview call in a context of
// its own, and errors reported through the manager it carries.
#include <gtest/gtest.h>

#include "bristler_test_support.h"
#include "dibwork_binding.h"

using namespace bristler_test;
using pintora_test::MessageBoxWatcher;
using pintora_test::SeenBox;

namespace {

constexpr UINT kMakePicture = 0xFC00;

// A stand-in settings dialog carrying the manager, with the preview
// window (control 1020, 40 x 30) in it.
class Preview : public ::testing::Test {
protected:
    void SetUp() override {
        folder_.Add(L"basic", L"a.brs");
        ASSERT_EQ(manager_.Init(folder_.Ansi(), owner_.hwnd()), 1);
        ASSERT_EQ(Bw().SelectPlugInBrush(m(), BrushIndex(m(), u8"ペン"), nullptr), 1);
        log_ = ProbeLogOf(&m()->brushes[m()->currentBrush]);
        // The stand-in below takes the place of the real dialog and its
        // preview, which go with their picture.
        DestroyWindow(m()->settingsDialog);
        ASSERT_EQ(m()->previewPicture, nullptr);
        SetWindowLongPtrW(dialog_.hwnd(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(m()));
        preview_ = CreateWindowExA(0, BRISTLER_PREVIEW_CLASS, "", WS_CHILD | WS_VISIBLE, 0, 0, 40, 30,
                                   dialog_.hwnd(), reinterpret_cast<HMENU>(1020), nullptr, nullptr);
        ASSERT_NE(preview_, nullptr);
    }
    void TearDown() override {
        if (IsWindow(preview_)) DestroyWindow(preview_);
    }
    PlugInBrushManager *m() { return manager_.get(); }

    MessageBoxWatcher watcher_;
    CountingWindow owner_;
    PlugInFolder folder_;
    Manager manager_;
    CountingWindow dialog_;
    HWND preview_ = nullptr;
    probe::Log *log_ = nullptr;
};

TEST_F(Preview, ThePictureHasTheClientSizeAndGoesWithTheWindow) {
    ASSERT_EQ(SendMessageW(preview_, kMakePicture, 0, 0), 0);
    HBITMAP first = m()->previewPicture;
    ASSERT_NE(first, nullptr);
    BITMAPINFOHEADER header{};
    Dw().GetDIBitmapInfoHeader(&header, first);
    EXPECT_EQ(header.biWidth, 40);
    EXPECT_EQ(header.biHeight, 30);
    EXPECT_EQ(header.biBitCount, 24);
    ASSERT_EQ(SendMessageW(preview_, kMakePicture, 0, 0), 0);
    EXPECT_NE(m()->previewPicture, nullptr);
    EXPECT_EQ(GetObjectType(first), 0u) << "the old picture was deleted";
    DestroyWindow(preview_);
    EXPECT_EQ(m()->previewPicture, nullptr);
}

TEST_F(Preview, TheBrushDrawsItsSampleInAContextOfItsOwn) {
    m()->context.color3 = 77;
    void *tipBefore = m()->context.tipBits;
    const int before = log_->count;
    SendMessageW(preview_, WM_COMMAND, 1020, 0);  // makes the picture first
    ASSERT_NE(m()->previewPicture, nullptr);
    ASSERT_EQ(CommandsSince(log_, before), (std::vector<int>{BRUSHCMD_PREVIEW}));
    const PlugInBrushContext &c = log_->calls[before].context;
    EXPECT_NE(&c, &m()->context);
    EXPECT_EQ(c.hwndCanvas, preview_);
    EXPECT_EQ(c.hCanvasDib, nullptr);
    EXPECT_EQ(c.hCanvasDIBitmap, m()->previewPicture);
    EXPECT_EQ(c.canvasBits, Dw().GetDIBitmapDataAddress(m()->previewPicture));
    EXPECT_EQ(c.sourceBits, nullptr);
    EXPECT_EQ(c.width, 40);
    EXPECT_EQ(c.height, 30);
    EXPECT_EQ(c.stride, 120);
    EXPECT_EQ(c.tipBits, tipBefore);
    EXPECT_EQ(c.tipParams, m()->context.tipParams);
    EXPECT_EQ(c.flags, 0);
    EXPECT_EQ(c.color, m()->context.color);
    EXPECT_EQ(c.color2, 0x02FFFFFFu);
    EXPECT_EQ(c.color3, 77u);
    EXPECT_EQ(c.curX, 20);
    EXPECT_EQ(c.curY, 15);
    EXPECT_EQ(c.prevX, 20);
    EXPECT_EQ(c.startY, 15);
    EXPECT_EQ(c.pressure, 128);
    EXPECT_EQ(c.markX, 0);
    // The brush's new work buffer came back into the real context, which
    // the preview did not otherwise touch.
    EXPECT_NE(m()->context.workBits, nullptr);
    EXPECT_EQ(m()->context.canvasBits, nullptr);
    EXPECT_EQ(m()->context.command, BRUSHCMD_SELECT);

    // The sample is on the picture and reaches the screen.
    const auto *bits = static_cast<const BYTE *>(Dw().GetDIBitmapDataAddress(m()->previewPicture));
    EXPECT_EQ(bits[2], 255) << "red, the current colour";
    UpdateWindow(preview_);
    HDC screen = GetDC(preview_);
    EXPECT_EQ(GetPixel(screen, 5, 5), RGB(255, 0, 0));
    ReleaseDC(preview_, screen);
    EXPECT_TRUE(watcher_.Seen().empty());
}

TEST_F(Preview, WithoutAManagerInTheDialogThereIsNoPicture) {
    SetWindowLongPtrW(dialog_.hwnd(), GWLP_USERDATA, 0);
    EXPECT_EQ(SendMessageW(preview_, kMakePicture, 0, 0), -1);
    EXPECT_EQ(m()->previewPicture, nullptr);
}

TEST_F(Preview, AnErrorWithoutAManagerGoesToTheManagerThePreviewCarries) {
    ASSERT_EQ(SendMessageW(preview_, kMakePicture, 0, 0), 0);
    POINT p{1, 1};
    EXPECT_EQ(Bw().StartPlugInBrush(nullptr, preview_, nullptr, nullptr, nullptr, nullptr, &p, 1, nullptr), 0);
    ExpectBoxes(watcher_, {kProcessing}, SeenBox::kWarning);
    EXPECT_EQ(m()->lastError, BRISTLER_ERROR_PROCESSING);
}

}  // namespace
