// Display helpers: the right rows of a bottom-up picture reach the device
// (into memory and on the real screen), previews are fitted and banded,
// masked previews whiten the masked part, and the one DrawDib handle of a
// loaded library is closed when it unloads.
#include <gtest/gtest.h>

#include <windows.h>
#include <mmsystem.h>
#include <vfw.h>

#include "dibwork_binding.h"
#include "picture_helpers.h"

using namespace picture_test;

namespace {

// Every row of this picture has its own colour: row y (from the top) is
// red y * 30 with green 200 on the top half only.
COLORREF RowColour(int, int y) { return RGB(y * 30, y < 4 ? 200 : 0, 50); }

// A memory DC with a fresh 24-bit target of the given size selected.
struct Target {
    HBITMAP bitmap;
    HDC dc;
    HGDIOBJ old;
    Target(int w, int h, COLORREF fill = RGB(1, 1, 1)) : bitmap(NewUniform24(w, h, fill)), dc(CreateCompatibleDC(nullptr)) {
        old = SelectObject(dc, bitmap);
    }
    ~Target() {
        SelectObject(dc, old);
        DeleteDC(dc);
        DeleteObject(bitmap);
    }
    COLORREF At(int x, int y) {
        GdiFlush();
        return Read24(bitmap, x, y);
    }
};

struct Picture {
    BitmapGuard bitmap;
    BITMAPINFOHEADER *header = nullptr;
    BYTE *bits = nullptr;
    explicit Picture(HBITMAP b) : bitmap(b) { bits = Dw().GetMetaBitmapInfoHeader(nullptr, b, &header); }
    ~Picture() { Dw().ReleaseMetaBitmapInfoHeader(nullptr, bitmap.get(), header); }
};

TEST(Display, SourceRowsCountFromTheTop) {
    auto &dw = Dw();
    Picture pic(New24(8, 8, RowColour));
    ASSERT_NE(pic.bits, nullptr);
    Target t(8, 8);
    // Source y 0, 3 rows: the picture's top three rows, in order.
    ASSERT_NE(dw.DispDIBToDevice(t.dc, 0, 0, 8, 3, 0, 0, pic.bits, pic.header, nullptr), 0);
    for (int y = 0; y < 3; ++y) EXPECT_EQ(t.At(4, y), RowColour(0, y)) << y;
    EXPECT_EQ(t.At(4, 3), RGB(1, 1, 1));
    // Source rows 5..6 drawn at y 4, from column 2.
    ASSERT_NE(dw.DispDIBToDevice(t.dc, 0, 4, 4, 2, 2, 5, pic.bits, pic.header, nullptr), 0);
    EXPECT_EQ(t.At(0, 4), RowColour(0, 5));
    EXPECT_EQ(t.At(3, 5), RowColour(0, 6));
    // Scaled: source rows 0..1 stretched over four rows.
    ASSERT_NE(dw.DispStretchDIB(t.dc, 0, 0, 8, 4, 0, 0, 8, 2, pic.bits, pic.header, nullptr), 0);
    EXPECT_EQ(t.At(1, 0), RowColour(0, 0));
    EXPECT_EQ(t.At(1, 3), RowColour(0, 1));
    EXPECT_EQ(dw.DispDIBToDevice(nullptr, 0, 0, 8, 3, 0, 0, pic.bits, pic.header, nullptr), 0);
    EXPECT_EQ(dw.DispDIBToDevice(t.dc, 0, 0, 8, 3, 0, 0, nullptr, pic.header, nullptr), 0);
}

// Every pixel of a part drawn unscaled lands where DrawDib puts it, and
// nothing around it changes: the stroke repaints of the canvas rely on it.
TEST(Display, UnscaledPartMatchesDrawDibPixelForPixel) {
    auto &dw = Dw();
    auto colour = [](int x, int y) { return RGB(x * 17, y * 23, (x * 7 + y * 11) & 0xFF); };
    Picture pic(New24(13, 9, colour));
    ASSERT_NE(pic.bits, nullptr);
    Target fast(12, 10), drawDib(12, 10);
    ASSERT_NE(dw.DispDIBToDevice(fast.dc, 1, 2, 7, 5, 3, 2, pic.bits, pic.header, nullptr), 0);
    HDRAWDIB handle = DrawDibOpen();
    ASSERT_TRUE(DrawDibBegin(handle, drawDib.dc, 7, 5, pic.header, 7, 5, 0));
    // DrawDib's source y counts from the bottom: rows 2..6 of 9 from the top.
    ASSERT_TRUE(DrawDibDraw(handle, drawDib.dc, 1, 2, 7, 5, pic.header, pic.bits, 3, 9 - 2 - 5, 7, 5, 0));
    DrawDibClose(handle);
    for (int y = 0; y < 10; ++y) {
        for (int x = 0; x < 12; ++x) {
            const bool inside = x >= 1 && x < 8 && y >= 2 && y < 7;
            const COLORREF expected = inside ? colour(x - 1 + 3, y - 2 + 2) : RGB(1, 1, 1);
            ASSERT_EQ(fast.At(x, y), drawDib.At(x, y)) << x << "," << y;
            ASSERT_EQ(fast.At(x, y), expected) << x << "," << y;
        }
    }
}

// A window that repaints like the canvas: the whole picture, then a band
// of rows 6..7 from source rows 1..2 (drawn over the picture's own rows).
BITMAPINFOHEADER *g_paintHeader = nullptr;
BYTE *g_paintBits = nullptr;

LRESULT CALLBACK PaintingWindow(HWND window, UINT message, WPARAM w, LPARAM l) {
    if (message != WM_PAINT) return DefWindowProcW(window, message, w, l);
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    Dw().DispDIBToDevice(dc, 0, 0, 8, 8, 0, 0, g_paintBits, g_paintHeader, nullptr);
    Dw().DispDIBToDevice(dc, 0, 6, 8, 2, 0, 1, g_paintBits, g_paintHeader, nullptr);
    EndPaint(window, &ps);
    return 0;
}

TEST(Display, RightRowsReachTheScreen) {
    // End to end: a top-most window on the virtual display paints the
    // picture, and the screen is read back the way the desktop is captured.
    Picture pic(New24(8, 8, RowColour));
    g_paintHeader = pic.header;
    g_paintBits = pic.bits;
    WNDCLASSW wc{};
    wc.lpfnWndProc = PaintingWindow;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"DibworkRowsTest";
    RegisterClassW(&wc);
    HWND window = CreateWindowExW(WS_EX_TOPMOST, wc.lpszClassName, L"", WS_POPUP | WS_VISIBLE, 0, 0, 8, 8,
                                  nullptr, nullptr, wc.hInstance, nullptr);
    ASSERT_NE(window, nullptr);
    UpdateWindow(window);
    pintora_test::PumpMessages(300);
    Target shot(8, 8);
    HDC screen = GetDC(nullptr);
    BitBlt(shot.dc, 0, 0, 8, 8, screen, 0, 0, SRCCOPY);
    ReleaseDC(nullptr, screen);
    DestroyWindow(window);
    UnregisterClassW(wc.lpszClassName, wc.hInstance);
    EXPECT_EQ(shot.At(3, 0), RowColour(0, 0));
    EXPECT_EQ(shot.At(3, 5), RowColour(0, 5));
    EXPECT_EQ(shot.At(3, 6), RowColour(0, 1));
    EXPECT_EQ(shot.At(3, 7), RowColour(0, 2));
}

// A popup window whose client area is w x h and an owner-draw record
// drawing into a memory target of that size.
struct PreviewSetup {
    HWND window;
    Target target;
    DRAWITEMSTRUCT item{};
    PreviewSetup(int w, int h)
        : window(CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, w, h, nullptr, nullptr, nullptr, nullptr)),
          target(w, h) {
        item.hDC = target.dc;
        item.rcItem = RECT{0, 0, w, h};
    }
    ~PreviewSetup() { DestroyWindow(window); }
};

TEST(Preview, SmallPictureIsEnlargedBetweenBands) {
    auto &dw = Dw();
    PreviewSetup s(200, 200);
    const COLORREF band = GetSysColor(COLOR_WINDOW);
    BitmapGuard pic(New24(64, 48, [](int, int y) { return y < 24 ? RGB(255, 0, 0) : RGB(0, 0, 255); }));
    ASSERT_EQ(dw.DispPreviewWndDIBitamp(s.window, pic.get(), &s.item), 1);
    EXPECT_EQ(s.target.At(100, 0), band);
    EXPECT_EQ(s.target.At(100, 24), band);
    EXPECT_EQ(s.target.At(0, 25), RGB(255, 0, 0));
    EXPECT_EQ(s.target.At(199, 97), RGB(255, 0, 0));
    EXPECT_EQ(s.target.At(100, 102), RGB(0, 0, 255));
    EXPECT_EQ(s.target.At(100, 174), RGB(0, 0, 255));
    EXPECT_EQ(s.target.At(100, 175), band);
    EXPECT_EQ(dw.DispPreviewWndDIBitamp(s.window, nullptr, &s.item), 0);
}

TEST(Preview, LargePictureIsClippedNotShrunk) {
    auto &dw = Dw();
    PreviewSetup s(200, 200);
    auto colour = [](int x, int y) { return RGB(x % 256, y % 256, 9); };
    BitmapGuard pic(New24(640, 480, colour));
    ASSERT_EQ(dw.DispPreviewWndDIBitamp(s.window, pic.get(), &s.item), 1);
    EXPECT_EQ(s.target.At(0, 0), colour(0, 0));
    EXPECT_EQ(s.target.At(150, 199), colour(150, 199));
}

TEST(Preview, MaskWhitensWhereItIsSet) {
    auto &dw = Dw();
    PreviewSetup s(64, 48);
    BitmapGuard pic(NewUniform24(64, 48, RGB(200, 0, 0)));
    BitmapGuard mask(dw.MakeBlankMonoDIBitmap(64, 48));
    uint8_t *m = SectionPixels(mask.get());
    for (int row = 0; row < 48; ++row) memset(m + row * 8, 0xFF, 4);  // left half white
    ASSERT_EQ(dw.DispPreviewWndWithMask(s.window, pic.get(), mask.get(), nullptr, &s.item), 1);
    EXPECT_EQ(s.target.At(10, 10), RGB(255, 255, 255));
    EXPECT_EQ(s.target.At(50, 40), RGB(200, 0, 0));
}

TEST(Display, DibSectionsStretchAndDebugDraw) {
    auto &dw = Dw();
    BitmapGuard pic(New24(2, 2, [](int x, int y) { return RGB(x * 200, y * 200, 0); }));
    Target t(20, 20);
    EXPECT_NE(dw.DispStretchDIBitmap(t.dc, 0, 0, 20, 20, 0, 0, 2, 2, pic.get()), 0);
    EXPECT_EQ(t.At(15, 2), RGB(200, 0, 0));
    EXPECT_EQ(t.At(2, 15), RGB(0, 200, 0));
    EXPECT_EQ(dw.DispStretchDIBitmap(t.dc, 0, 0, 20, 20, 0, 0, 2, 2, nullptr), 0);
    EXPECT_EQ(dw.DispDebugBitmap(pic.get()), 1);
}

// Live DrawDib handles, found by asking each small handle value to end its
// drawing (harmless: every drawing begins afresh).  Wine numbers handles
// from 1 upward.
int LiveDrawDibHandles() {
    int live = 0;
    for (UINT_PTR h = 1; h < 512; ++h) live += DrawDibEnd(reinterpret_cast<HDRAWDIB>(h)) ? 1 : 0;
    return live;
}

TEST(Display, OneDrawDibHandleClosedAtUnload) {
    pintora_test::TempDir dir;
    const std::wstring copy = dir.File(L"DibworkCopy.dll");
    ASSERT_TRUE(CopyFileW(pintora_test::DistPath(L"Dibwork.dll").c_str(), copy.c_str(), FALSE));
    HMODULE second = LoadLibraryW(copy.c_str());
    ASSERT_NE(second, nullptr);
    // The scaled drawing always goes through DrawDib (the unscaled one
    // draws true-colour pictures on true-colour devices without it).
    auto draw = pintora_test::Ordinal<decltype(&DispStretchDIB)>(second, 302);
    const int before = LiveDrawDibHandles();
    Picture pic(New24(4, 4, RowColour));
    Target t(4, 4);
    for (int i = 0; i < 3; ++i) ASSERT_NE(draw(t.dc, 0, 0, 4, 4, 0, 0, 4, 4, pic.bits, pic.header, nullptr), 0);
    EXPECT_EQ(LiveDrawDibHandles(), before + 1);
    FreeLibrary(second);
    EXPECT_EQ(LiveDrawDibHandles(), before);
}

}  // namespace
