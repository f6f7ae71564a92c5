// The canvas's pictures in-process: the paper when its texture is missing,
// and the eraser's squares on real DIB sections, checked pixel by pixel.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>

#include "app_state.h"
#include "canvas_test_support.h"
#include "canvas_pictures.h"
#include "dibwork.h"
#include "erase.h"

using namespace pintora;
using pintora_canvas_test::PixelAt;

namespace {

constexpr COLORREF kBackground = RGB(10, 200, 90);
constexpr COLORREF kDrawing = RGB(250, 20, 30);

HBITMAP Filled(int width, int height, COLORREF color) {
    HBITMAP picture = MakeBlankFCDIBitmap(width, height);
    if (picture) MetaDIBFillColor(nullptr, picture, color);
    GdiFlush();
    return picture;
}

// An application state with a stand-in window for the repaints and the two
// pictures of a 400 x 300 canvas: a plain background under a plain drawing.
class Canvas : public testing::Test {
protected:
    void SetUp() override {
        app_.instance = GetModuleHandleW(nullptr);
        app_.canvas = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 400, 300, nullptr, nullptr,
                                      app_.instance, nullptr);
        ASSERT_NE(app_.canvas, nullptr);
        app_.backgroundPicture = Filled(400, 300, kBackground);
        app_.canvasPicture = Filled(400, 300, kDrawing);
        ASSERT_NE(app_.backgroundPicture, nullptr);
        ASSERT_NE(app_.canvasPicture, nullptr);
    }
    void TearDown() override {
        FreePictures(app_);
        DestroyWindow(app_.canvas);
    }

    // Pixels of the canvas that show the background (or white) inside `area`.
    int Count(const RECT &area, COLORREF color) const {
        int n = 0;
        for (int y = area.top; y < area.bottom; ++y) {
            for (int x = area.left; x < area.right; ++x) n += PixelAt(app_.canvasPicture, x, y) == color;
        }
        return n;
    }
    int CountAll(COLORREF color) const { return Count({0, 0, 400, 300}, color); }

    AppState app_;
};

TEST_F(Canvas, ARightClickRestoresOneSquareOf26CentredOnThePoint) {
    EraseTo(app_, {100, 80}, true);
    GdiFlush();
    EXPECT_EQ(Count({87, 67, 113, 93}, kBackground), 26 * 26);
    EXPECT_EQ(CountAll(kBackground), 26 * 26) << "nothing outside the square";

    // At the edge the square is cut by the picture, not wrapped or spilled.
    EraseTo(app_, {3, 297}, true);
    GdiFlush();
    EXPECT_EQ(Count({0, 284, 16, 300}, kBackground), 16 * 16);
    EXPECT_EQ(CountAll(kBackground), 26 * 26 + 16 * 16);
}

TEST_F(Canvas, ADragRestoresABandAlongThePathBetweenThePoints) {
    EraseTo(app_, {100, 150}, true);
    EraseTo(app_, {250, 150}, false);  // 150 px: 50 squares 3 px apart
    GdiFlush();
    EXPECT_EQ(Count({87, 137, 263, 163}, kBackground), (263 - 87) * 26);
    EXPECT_EQ(CountAll(kBackground), (263 - 87) * 26);
}

TEST_F(Canvas, AfterTheWhitePaperTheEraserPaintsWhite) {
    app_.whiteFlag = 1;
    EraseTo(app_, {200, 100}, true);
    GdiFlush();
    EXPECT_EQ(Count({187, 87, 213, 113}, RGB(255, 255, 255)), 26 * 26);
    EXPECT_EQ(CountAll(kBackground), 0);

    app_.whiteFlag = 0;
    ASSERT_TRUE(RestoreBackground(app_));
    GdiFlush();
    EXPECT_EQ(CountAll(kBackground), 400 * 300) << "clear copies the whole background";
}

TEST_F(Canvas, WithoutACanvasPictureErasingDoesNothing) {
    FreePictures(app_);
    EraseTo(app_, {10, 10}, true);
    EraseTo(app_, {200, 10}, false);
    EXPECT_EQ(app_.canvasPicture, nullptr);
}

// This test program carries no bitmap 124: the kids paper must then be a
// white screen-size picture (a fresh section would be black), and the
// drawing a copy of it.
TEST_F(Canvas, AMissingPaperTextureGivesWhitePaper) {
    ASSERT_EQ(FindResourceW(app_.instance, MAKEINTRESOURCEW(124), MAKEINTRESOURCEW(2)), nullptr);
    ASSERT_TRUE(MakePaperBackground(app_));
    const SIZE screen = ScreenSize();
    BITMAPINFOHEADER header{};
    ASSERT_TRUE(GetDIBitmapInfo(app_.backgroundPicture, &header, nullptr));
    EXPECT_EQ(header.biWidth, screen.cx);
    EXPECT_EQ(header.biHeight, screen.cy);
    EXPECT_EQ(header.biBitCount, 24);
    for (const POINT p : {POINT{0, 0}, POINT{screen.cx - 1, screen.cy - 1}, POINT{screen.cx / 2, 7}}) {
        EXPECT_EQ(PixelAt(app_.backgroundPicture, p.x, p.y), RGB(255, 255, 255));
        EXPECT_EQ(PixelAt(app_.canvasPicture, p.x, p.y), RGB(255, 255, 255));
    }
    EXPECT_NE(app_.canvasPicture, app_.backgroundPicture);
}

TEST_F(Canvas, TheFlatPaperHasTheKidsPaperColour) {
    app_.settings.colKidsPaper = 0x02A0B0C0;  // a palette-relative colour, as a colour picker gives
    ASSERT_TRUE(MakeFlatBackground(app_));
    EXPECT_EQ(PixelAt(app_.canvasPicture, 5, 5), RGB(0xC0, 0xB0, 0xA0));
    EXPECT_EQ(PixelAt(app_.backgroundPicture, ScreenSize().cx - 1, 0), RGB(0xC0, 0xB0, 0xA0));
}

}  // namespace
