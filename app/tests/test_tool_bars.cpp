// Drawing a bar button: the face from the program's resources at (2, 2)
// inside a sunken or raised edge, and nothing at all when the face cannot
// be loaded.
#include <gtest/gtest.h>

#include <windows.h>

#include <utility>

#include "app_state.h"
#include "test_support.h"
#include "tool_windows.h"

using namespace pintora;

namespace {

// A 94 x 34 button's device context over a 32-bit DIB section, every pixel
// 0x00123456 to start with.
class ButtonSurface {
public:
    ButtonSurface() {
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), kWidth, -kHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        bitmap_ = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, reinterpret_cast<void **>(&bits_), nullptr, 0);
        dc_ = CreateCompatibleDC(nullptr);
        old_ = SelectObject(dc_, bitmap_);
        for (int i = 0; i < kWidth * kHeight; ++i) bits_[i] = kUntouched;
    }
    ~ButtonSurface() {
        SelectObject(dc_, old_);
        DeleteDC(dc_);
        DeleteObject(bitmap_);
    }
    DRAWITEMSTRUCT Item(UINT state) const {
        DRAWITEMSTRUCT item{};
        item.CtlType = ODT_BUTTON;
        item.itemState = state;
        item.hDC = dc_;
        item.rcItem = {0, 0, kWidth, kHeight};
        return item;
    }
    uint32_t At(int x, int y) const {
        GdiFlush();
        return bits_[y * kWidth + x] & 0xFFFFFF;
    }
    int Untouched() const {
        GdiFlush();
        int n = 0;
        for (int i = 0; i < kWidth * kHeight; ++i) n += (bits_[i] & 0xFFFFFF) == kUntouched;
        return n;
    }

    static constexpr int kWidth = 94, kHeight = 34;
    static constexpr uint32_t kUntouched = 0x123456;

private:
    HBITMAP bitmap_ = nullptr;
    HDC dc_ = nullptr;
    HGDIOBJ old_ = nullptr;
    uint32_t *bits_ = nullptr;
};

// Pixel (x, y from the top) of a face as the program carries it.
uint32_t FacePixel(HMODULE exe, int id, int x, int y) {
    auto face = static_cast<HBITMAP>(LoadImageW(exe, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (!face) return 0xFFFFFFFF;
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, face);
    const COLORREF c = GetPixel(dc, x, y);
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(face);
    return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
}

TEST(BarButtons, AFaceThatCannotBeLoadedLeavesTheButtonUndrawn) {
    AppState app;
    app.instance = GetModuleHandleW(nullptr);  // this test program has no faces
    ButtonSurface surface;
    EXPECT_FALSE(DrawBarButton(app, surface.Item(0), 110, false));
    EXPECT_EQ(surface.Untouched(), ButtonSurface::kWidth * ButtonSurface::kHeight);
}

TEST(BarButtons, TheFaceSitsAtTwoTwoInsideARaisedOrSunkenEdge) {
    HMODULE exe = LoadLibraryExW(pintora_test::DistPath(L"PintoraKids.exe").c_str(), nullptr,
                                 LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(exe, nullptr);
    AppState app;
    app.instance = exe;
    for (int id : {110, 123, 1042}) {  // 24 bits, 8 bits with a colour table, a pen
        SCOPED_TRACE(id);
        ButtonSurface surface;
        ASSERT_TRUE(DrawBarButton(app, surface.Item(0), id, false));
        for (auto [x, y] : {std::pair{0, 0}, {45, 15}, {89, 29}, {10, 20}}) {
            EXPECT_EQ(surface.At(2 + x, 2 + y), FacePixel(exe, id, x, y)) << x << ", " << y;
        }
    }
    // Raised: light top-left, dark bottom-right; sunken (pressed, or the
    // current choice) the other way round.
    ButtonSurface raised, pressed, current;
    ASSERT_TRUE(DrawBarButton(app, raised.Item(0), 1020, false));
    ASSERT_TRUE(DrawBarButton(app, pressed.Item(ODS_SELECTED), 1020, false));
    ASSERT_TRUE(DrawBarButton(app, current.Item(0), 1020, true));
    const int right = ButtonSurface::kWidth - 1, bottom = ButtonSurface::kHeight - 1;
    EXPECT_GT(raised.At(0, 10) & 0xFF, raised.At(right, 10) & 0xFF);
    EXPECT_LT(pressed.At(0, 10) & 0xFF, pressed.At(right, 10) & 0xFF);
    EXPECT_EQ(current.At(0, 10), pressed.At(0, 10));
    EXPECT_EQ(current.At(10, bottom), pressed.At(10, bottom));
    FreeLibrary(exe);
}

}  // namespace
