// The manager with the real drawing-brush plug-in, Penlith.brs, found in
// the program's folder (build/dist) as a host finds it: its brushes come
// in the order of their sort keys (before the stamps of Stampwell.brs,
// test_stampwell.cpp), a selection by name clamps to Penlith's own ranges,
// and a stroke of the airbrush paints a Dibwork DIBitmap.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <set>

#include <cstdlib>

#include "bristler_test_support.h"
#include "dialog_helpers.h"
#include "dibwork_binding.h"

using namespace bristler_test;
using pintora_test::MessageBoxWatcher;
using Names = std::vector<std::string>;

namespace {

// Penlith's 27 brushes in the order of their sort keys 1001..1027, with
// the export each one is reached by.
struct PenlithBrush {
    const char *name;
    const char *exportName;
};
const PenlithBrush kPenlith[] = {
    {u8"エアブラシ", "Xi_NormalBrush"},        {u8"スプレーブラシ", "Xi_SprayBrush"},
    {u8"マーカー", "Xi_MarkerBrush"},          {u8"ローラー", "Xi_RollerBrush"},
    {u8"クレヨン", "Xi_CrayonBrush"},          {u8"鉛筆", "Xi_PencilBrush"},
    {u8"水彩", "Xi_WaterColorBrush"},          {u8"油絵", "Xi_OilBrush"},
    {u8"パイプ", "Xi_PipeBrush"},              {u8"点描", "Xi_PointillismBrush"},
    {u8"アートブラシ", "Xi_SeuratBrush"},      {u8"虹色", "Xi_RainbowBrush"},
    {u8"指", "Xi_TouchBrush"},                 {u8"水墨", "Xi_IndiaInkBrush"},
    {u8"縦のクロス", "Xi_CrossHatchBrush"},    {u8"横のクロス", "Xi_RippleBrush"},
    {u8"進行方向クロス", "Xi_CrossHatchingBrush"}, {u8"印象派", "Xi_ImpressionistBrush"},
    {u8"雲", "Xi_CloudBrush"},                 {u8"水彩(平筆)", "Xi_WaterColorDashBrush"},
    {u8"チョーク", "Xi_ChalkBrush"},           {u8"渇筆", "Xi_DryBrush"},
    {u8"パステル", "Xi_PastelBrush"},          {u8"油性ペン", "Xi_OilyPenBrush"},
    {u8"万年筆", "Xi_FountainPenBrush"},       {u8"墨絵", "Xi_SumieBrush"},
    {u8"バケツ", "Xi_BucketBrush"},
};

// Penlith's brushes whose entry points the built plug-in exports, in
// table order: a brush without its export is skipped by the manager.
Names ExportedPenlithBrushes() {
    Names names;
    HMODULE penlith = LoadLibraryW(pintora_test::DistPath(L"Penlith.brs").c_str());
    if (!penlith) return names;
    for (const PenlithBrush &brush : kPenlith) {
        if (GetProcAddress(penlith, brush.exportName)) names.push_back(brush.name);
    }
    FreeLibrary(penlith);
    return names;
}

// Blue, green, red of a 24-bit DIBitmap's pixel (x, y from the top).
struct Picture {
    explicit Picture(HBITMAP b) : bitmap(b) {
        BITMAPINFOHEADER header{};
        void *data = nullptr;
        Dw().GetDIBitmapInfo(bitmap, &header, &data);
        bits = static_cast<BYTE *>(data);
        width = header.biWidth;
        height = header.biHeight;
        stride = static_cast<int>(Dw().GetBitmapWidthBytes(&header));
    }
    BYTE *At(int x, int y) const { return bits + (height - 1 - y) * stride + 3 * x; }
    void FillWhite() const { std::memset(bits, 0xFF, static_cast<size_t>(stride) * height); }
    bool IsWhite(int x, int y) const { return At(x, y)[0] == 0xFF && At(x, y)[1] == 0xFF && At(x, y)[2] == 0xFF; }

    HBITMAP bitmap;
    BYTE *bits = nullptr;
    int width = 0, height = 0, stride = 0;
};

RECT Union(const RECT &a, const RECT &b) {
    if (a.right <= a.left || a.bottom <= a.top) return b;
    if (b.right <= b.left || b.bottom <= b.top) return a;
    return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
            std::max(a.bottom, b.bottom)};
}

class Penlith : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(manager_.Init(DistFolder(), owner_.hwnd()), 1); }
    PlugInBrushManager *m() { return manager_.get(); }

    MessageBoxWatcher watcher_;
    CountingWindow owner_;
    Manager manager_;
};

TEST_F(Penlith, TheProgramsFolderGivesPenlithsBrushesInKeyOrder) {
    const Names exported = ExportedPenlithBrushes();
    ASSERT_FALSE(exported.empty());
    Names names = BrushNames(m());
    ASSERT_GE(names.size(), exported.size());
    names.resize(exported.size());
    EXPECT_EQ(names, exported) << "Penlith's keys 1001.. come before the stamps' 3101..";
    ASSERT_GE(m()->brushCount, 1);
    EXPECT_STREQ(m()->brushes[0].name, u8"エアブラシ");
    EXPECT_EQ(m()->currentBrush, 0);
    std::set<std::wstring> modules;
    for (int i = 0; i < m()->moduleCount; ++i) modules.insert(pintora_test::Widen(m()->modules[i].path));
    EXPECT_EQ(modules, (std::set<std::wstring>{pintora_test::DistPath(L"Penlith.brs"),
                                               pintora_test::DistPath(L"Stampwell.brs")}));

    // The airbrush's descriptor as Penlith's string table gives it.
    const BrushDescriptor &air = m()->brushes[0];
    EXPECT_EQ(air.order, 0);
    EXPECT_STREQ(air.description, u8"エアブラシで絵を描く");
    EXPECT_STREQ(air.exportName, "Xi_NormalBrush");
    EXPECT_EQ(air.version, 100);
    EXPECT_EQ(air.group, 1);
    EXPECT_EQ(air.flags, BDF_PARAM1 | BDF_PARAM2 | BDF_PARAM3 | BDF_COLOR);
    EXPECT_NE(air.cursor, nullptr);
    EXPECT_EQ(air.dialogProc, nullptr);
    EXPECT_STREQ(air.params[0].label, u8"大きさ");
    EXPECT_EQ(air.params[0].minimum, 1);
    EXPECT_EQ(air.params[0].maximum, 100);
    EXPECT_EQ(air.params[0].value, 20);
    EXPECT_STREQ(air.params[1].label, u8"濃さ");
    EXPECT_EQ(air.params[1].value, 50);
    EXPECT_STREQ(air.params[2].label, u8"色荒れ");
    EXPECT_EQ(air.params[2].maximum, 100);
    for (int i = 1; i < m()->brushCount; ++i) EXPECT_EQ(m()->brushes[i].order, i);
    EXPECT_TRUE(watcher_.Seen().empty());
}

TEST_F(Penlith, SelectionByNameClampsToPenlithsRanges) {
    // The marker: size 1..100, density 1..100, roughness 0..100.
    ASSERT_EQ(Bw().SelectPlugInBrushEx(m(), u8"マーカー", 0, 60, 700, nullptr, 0, nullptr), 1);
    ASSERT_STREQ(m()->brushes[m()->currentBrush].name, u8"マーカー");
    const BrushParam *params = m()->brushes[m()->currentBrush].params;
    EXPECT_EQ(params[0].value, 1);
    EXPECT_EQ(params[1].value, 60);
    EXPECT_EQ(params[2].value, 100);
    EXPECT_NE(m()->context.tipBits, nullptr) << "the marker built its tip";

    // The finger has no third parameter: its value becomes 0.
    ASSERT_EQ(Bw().SelectPlugInBrushEx(m(), u8"指", 15, 30, 7, nullptr, 0, nullptr), 1);
    params = m()->brushes[m()->currentBrush].params;
    EXPECT_EQ(params[0].value, 15);
    EXPECT_EQ(params[2].value, 0);
    EXPECT_STREQ(params[2].label, "");

    // The crayon: size 4..100, so 2 is raised to 4; it builds its masks.
    ASSERT_EQ(Bw().SelectPlugInBrushEx(m(), u8"クレヨン", 2, 60, 7, nullptr, 0, nullptr), 1);
    ASSERT_STREQ(m()->brushes[m()->currentBrush].name, u8"クレヨン");
    params = m()->brushes[m()->currentBrush].params;
    EXPECT_EQ(params[0].value, 4);
    EXPECT_EQ(params[1].value, 60);
    EXPECT_EQ(params[2].value, 7);
    EXPECT_NE(m()->context.tipBits, nullptr) << "the crayon built its masks";
    EXPECT_EQ(Bw().LeaveBrushMode(m()), 1);
    EXPECT_EQ(m()->context.tipBits, nullptr) << "released";
}

TEST_F(Penlith, AnAirbrushStrokePaintsTheCanvasInsideTheRectanglesHandedBack) {
    HBITMAP canvas = Dw().MakeBlankFCDIBitmap(96, 64);
    ASSERT_NE(canvas, nullptr);
    Picture picture(canvas);
    picture.FillWhite();
    ASSERT_EQ(Bw().SelectPlugInBrush(m(), 0, nullptr), 1);

    RECT dirty{}, painted{};
    POINT p{20, 30};
    ASSERT_EQ(Bw().StartPlugInBrush(m(), owner_.hwnd(), canvas, nullptr, nullptr, nullptr, &p, BRUSHKEY_LBUTTON,
                                    &dirty), 1);
    painted = Union(painted, dirty);
    for (int x = 24; x <= 70; x += 4) {
        POINT q{x, 30};
        dirty = RECT{};
        ASSERT_EQ(Bw().DragPlugInBrush(m(), &q, &dirty), 1);
        painted = Union(painted, dirty);
    }
    POINT end{70, 30};
    ASSERT_EQ(Bw().EndPlugInBrush(m(), &end), 1);
    EXPECT_EQ(m()->context.canvasBits, nullptr);

    ASSERT_LT(painted.left, painted.right);
    EXPECT_LE(painted.left, 20);
    EXPECT_GE(painted.right, 71);
    EXPECT_LE(painted.top, 30);
    EXPECT_GE(painted.bottom, 31);
    // Along the stroke the white turned towards the red of the start colour.
    for (int x : {20, 45, 70}) {
        const BYTE *px = picture.At(x, 30);
        EXPECT_EQ(px[2], 0xFF) << x;
        EXPECT_LT(px[1], 0xFF) << "green taken away at " << x;
        EXPECT_LT(px[0], 0xFF) << "blue taken away at " << x;
    }
    // Nothing outside the rectangles handed back changed.
    int changedOutside = 0;
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            const bool inside = x >= painted.left && x < painted.right && y >= painted.top && y < painted.bottom;
            if (!inside && !picture.IsWhite(x, y)) ++changedOutside;
        }
    }
    EXPECT_EQ(changedOutside, 0);
    EXPECT_TRUE(watcher_.Seen().empty());
    Dw().FreeDIBitmap(&canvas);
}

// The bucket chosen by name, driven by the manager over a DIB section: the
// click fills the inside of a closed outline with the manager's red, the
// drags of the same stroke add nothing, and outside the outline nothing
// changes.
TEST_F(Penlith, TheBucketFillsAClosedOutlineOnceAStroke) {
    HBITMAP canvas = Dw().MakeBlankFCDIBitmap(96, 64);
    ASSERT_NE(canvas, nullptr);
    Picture picture(canvas);
    picture.FillWhite();
    const auto onOutline = [](int x, int y) {  // a square ring 2 pixels thick
        const bool inOuter = x >= 20 && x < 60 && y >= 10 && y < 50;
        const bool inInner = x >= 22 && x < 58 && y >= 12 && y < 48;
        return inOuter && !inInner;
    };
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            if (onOutline(x, y)) std::memset(picture.At(x, y), 0, 3);
        }
    }
    ASSERT_EQ(Bw().SelectPlugInBrushEx(m(), u8"バケツ", 20, 100, 0, nullptr, 0, nullptr), 1);
    ASSERT_STREQ(m()->brushes[m()->currentBrush].exportName, "Xi_BucketBrush");

    POINT p{40, 30};
    RECT dirty{};
    ASSERT_EQ(Bw().StartPlugInBrush(m(), owner_.hwnd(), canvas, nullptr, nullptr, nullptr, &p, BRUSHKEY_LBUTTON,
                                    &dirty), 1);
    EXPECT_EQ(dirty.right, 96) << "the whole width of the band";
    for (POINT q : {POINT{80, 5}, POINT{40, 30}}) Bw().DragPlugInBrush(m(), &q, &dirty);
    EXPECT_EQ(Bw().EndPlugInBrush(m(), &p), 1);

    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            const BYTE *px = picture.At(x, y);
            if (x >= 22 && x < 58 && y >= 12 && y < 48) {
                ASSERT_TRUE(px[0] == 0 && px[1] == 0 && px[2] == 0xFF) << "inside " << x << "," << y;
            } else if (!onOutline(x, y)) {
                ASSERT_TRUE(picture.IsWhite(x, y)) << "outside " << x << "," << y;
            }
        }
    }
    EXPECT_TRUE(watcher_.Seen().empty());
    Dw().FreeDIBitmap(&canvas);
}

TEST_F(Penlith, AReleasedAirbrushRefusesTheStrokeAndLaterDragsDoNothing) {
    HBITMAP canvas = Dw().MakeBlankFCDIBitmap(48, 32);
    ASSERT_NE(canvas, nullptr);
    Picture picture(canvas);
    picture.FillWhite();
    ASSERT_EQ(Bw().SelectPlugInBrush(m(), 0, nullptr), 1);
    ASSERT_EQ(Bw().LeaveBrushMode(m()), 1);  // the tip is freed

    POINT p{10, 10};
    EXPECT_EQ(Bw().StartPlugInBrush(m(), owner_.hwnd(), canvas, nullptr, nullptr, nullptr, &p, BRUSHKEY_LBUTTON,
                                    nullptr), 0);
    EXPECT_EQ(m()->context.canvasInfo, nullptr) << "the canvas is given back at once";
    POINT q{30, 10};
    RECT dirty{1, 2, 3, 4};
    EXPECT_EQ(Bw().DragPlugInBrush(m(), &q, &dirty), 0);
    EXPECT_EQ(dirty.left, 1) << "no rectangle for a drag that did nothing";
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) ASSERT_TRUE(picture.IsWhite(x, y)) << x << "," << y;
    }
    EXPECT_EQ(Bw().EndPlugInBrush(m(), &q), 1);
    EXPECT_TRUE(watcher_.Seen().empty()) << "a refused stroke is not reported";
    Dw().FreeDIBitmap(&canvas);
}

// The airbrush tuned through its settings dialog with real mouse input,
// as a user does it: more clicks right of the size trackbar's thumb make
// the next stroke wider, a hue picked in the floating colour window
// colours the next stroke, and a brush chosen from the brush list reaches
// the owner, which selects it.
TEST_F(Penlith, TheSettingsDialogTunesTheNextStrokeThroughRealInput) {
    SetWindowPos(owner_.hwnd(), HWND_TOP, 80, 80, 560, 420, SWP_SHOWWINDOW);
    const COLORREF red = 0x020000FF;
    ASSERT_EQ(Bw().SelectPlugInBrushEx(m(), u8"エアブラシ", 1, 100, 0, &red, 1, nullptr), 1);
    HWND dialog = m()->settingsDialog;
    ASSERT_TRUE(IsWindow(dialog));
    ASSERT_TRUE(m()->colorPopup && IsWindow(m()->colorPopup));
    SetForegroundWindow(dialog);
    pintora_test::PumpMessages(200);

    HBITMAP canvas = Dw().MakeBlankFCDIBitmap(128, 80);
    ASSERT_NE(canvas, nullptr);
    Picture picture(canvas);
    // A horizontal stroke across the middle; the painted rows at x = 64.
    const auto strokeWidth = [&]() {
        picture.FillWhite();
        POINT p{20, 40};
        EXPECT_EQ(Bw().StartPlugInBrush(m(), owner_.hwnd(), canvas, nullptr, nullptr, nullptr, &p,
                                        BRUSHKEY_LBUTTON, nullptr), 1);
        for (int x = 22; x <= 108; x += 2) {
            POINT q{x, 40};
            Bw().DragPlugInBrush(m(), &q, nullptr);
        }
        POINT end{108, 40};
        Bw().EndPlugInBrush(m(), &end);
        int rows = 0;
        for (int y = 0; y < picture.height; ++y) rows += !picture.IsWhite(64, y);
        return rows;
    };
    const int thin = strokeWidth();
    ASSERT_GT(thin, 0);

    BrushDescriptor &airbrush = m()->brushes[m()->currentBrush];
    const int sizeBefore = airbrush.params[0].value;
    RECT track{};
    GetWindowRect(GetDlgItem(dialog, 1000), &track);
    // Inside the channel, right of the thumb.
    const POINT right{track.left + (track.right - track.left) * 3 / 4, (track.top + track.bottom) / 2};
    ASSERT_EQ(WindowFromPoint(right), GetDlgItem(dialog, 1000));
    for (int i = 0; i < 4; ++i) {
        ClickAt(right);
        pintora_test::PumpMessages(150);
    }
    EXPECT_GT(airbrush.params[0].value, sizeBefore) << "the clicks paged the size up";
    EXPECT_EQ(SendDlgItemMessageW(dialog, 1000, TBM_GETPOS, 0, 0), airbrush.params[0].value);
    const int wide = strokeWidth();
    EXPECT_GT(wide, thin + 2);

    // A hue two thirds along the colour window's hue strip.
    HWND hue = GetDlgItem(m()->colorPopup, 1002);
    ASSERT_TRUE(IsWindowVisible(hue));
    SetForegroundWindow(m()->colorPopup);
    pintora_test::PumpMessages(100);
    RECT strip{};
    GetWindowRect(hue, &strip);
    ClickAt({strip.left + (strip.right - strip.left) * 2 / 3, (strip.top + strip.bottom) / 2});
    pintora_test::PumpMessages(200);
    const COLORREF picked = m()->context.color;
    EXPECT_NE(picked & 0xFFFFFF, red & 0xFFFFFF) << "the colour window changed the manager's colour";
    strokeWidth();
    const BYTE *centre = picture.At(64, 40);
    const auto distance = [&](COLORREF c) {
        return std::abs(centre[2] - GetRValue(c)) + std::abs(centre[1] - GetGValue(c)) +
               std::abs(centre[0] - GetBValue(c));
    };
    EXPECT_LT(distance(picked), distance(red)) << "the stroke took the picked colour";
    Dw().FreeDIBitmap(&canvas);

    // The brush list: a click on its button, a click on クレヨン.
    const int crayon = BrushIndex(m(), u8"クレヨン");
    ASSERT_GE(crayon, 0);
    const auto clickListButton = [](void *d) {
        RECT button{};
        GetWindowRect(GetDlgItem(static_cast<HWND>(d), 1009), &button);
        ClickAt({(button.left + button.right) / 2, (button.top + button.bottom) / 2});
    };
    const MenuSeen seen = WithPoppedMenu(clickListButton, dialog, MenuAction::kChoose, crayon);
    ASSERT_TRUE(seen.found);
    ASSERT_EQ(owner_.Count(WM_COMMAND), 1);
    const int id = LOWORD(owner_.LastWParam(WM_COMMAND));
    EXPECT_EQ(id, 8000 + crayon);
    ASSERT_EQ(Bw().SelectPlugInBrush(m(), id - 8000, nullptr), 1);
    EXPECT_EQ(m()->settingsDialog, dialog);
    EXPECT_EQ(WindowText(dialog), u8"クレヨンの設定");
    EXPECT_TRUE(watcher_.Seen().empty());
}

}  // namespace
