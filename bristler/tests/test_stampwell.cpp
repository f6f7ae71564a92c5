// The manager with the real stamp plug-in, Stampwell.brs, found beside
// Penlith.brs in the program's folder: the five stamps come after all of
// Penlith's brushes in the order of their sort keys 3101..3105, with the
// descriptors of their string table, and each selects by name and paints
// a Dibwork DIBitmap in its own colours, in the same manager as Penlith's
// brushes.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "bristler_test_support.h"
#include "dibwork_binding.h"

using namespace bristler_test;

namespace {

struct StampRow {
    const char *name;
    const char *exportName;
    const char *description;
    int pictures;
};
const StampRow kStamps[] = {
    {u8"フルーツ", "Xi_StampRFruitBrush", u8"フルーツで絵を描く", 5},
    {u8"葉っぱ", "Xi_StampLeafBrush", u8"はっぱで絵を描く", 4},
    {u8"貝殻", "Xi_StampShellBrush", u8"貝殻で絵を描く", 5},
    {u8"蝶", "Xi_StampButterflyBrush", u8"蝶で絵を描く", 5},
    {u8"星", "Xi_StampStarBrush", u8"星で絵を描く", 5},
};

class Stampwell : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(manager_.Init(DistFolder(), owner_.hwnd()), 1); }
    PlugInBrushManager *m() { return manager_.get(); }

    pintora_test::MessageBoxWatcher watcher_;
    CountingWindow owner_;
    Manager manager_;
};

TEST_F(Stampwell, TheFiveStampsFollowPenlithsBrushesWithTheirDescriptors) {
    const int count = m()->brushCount;
    ASSERT_GT(count, 5);
    for (int s = 0; s < 5; ++s) {
        const BrushDescriptor &b = m()->brushes[count - 5 + s];
        SCOPED_TRACE(kStamps[s].exportName);
        EXPECT_STREQ(b.name, kStamps[s].name);
        EXPECT_STREQ(b.exportName, kStamps[s].exportName);
        EXPECT_STREQ(b.description, kStamps[s].description);
        EXPECT_EQ(b.order, count - 5 + s);
        EXPECT_EQ(b.group, 3);
        EXPECT_EQ(b.version, 100);
        EXPECT_EQ(b.flags, BDF_PARAM1 | BDF_PARAM2 | BDF_PARAM3) << "no paint colour";
        EXPECT_NE(b.cursor, nullptr);
        EXPECT_EQ(b.dialogProc, nullptr);
        const struct {
            const char *label;
            int minimum, maximum, value;
        } params[3] = {{u8"大きさ", 20, 250, 100}, {u8"濃さ", 1, 100, 100}, {u8"間隔", 1, 32, 12}};
        for (int k = 0; k < 3; ++k) {
            EXPECT_STREQ(b.params[k].label, params[k].label);
            EXPECT_EQ(b.params[k].minimum, params[k].minimum);
            EXPECT_EQ(b.params[k].maximum, params[k].maximum);
            EXPECT_EQ(b.params[k].value, params[k].value);
        }
    }
    // Every brush before them is Penlith's: group 3 starts after them.
    for (int i = 0; i < count - 5; ++i) EXPECT_NE(m()->brushes[i].group, 3) << m()->brushes[i].name;
    EXPECT_TRUE(watcher_.Seen().empty());
}

// Each stamp by name, then Penlith's airbrush, in one manager: every
// selection builds its tip, and every stroke paints the canvas in the
// canvas.  The stamps ignore the manager's red: most of their pixels lie
// off the line from white to red that every blend of red over white keeps
// to (red 255, green = blue), where all of the airbrush's lie.
TEST_F(Stampwell, EachStampSelectsByNameAndPaintsBesidePenlith) {
    HBITMAP canvas = Dw().MakeBlankFCDIBitmap(160, 100);
    ASSERT_NE(canvas, nullptr);
    BITMAPINFOHEADER header{};
    void *data = nullptr;
    ASSERT_TRUE(Dw().GetDIBitmapInfo(canvas, &header, &data));
    auto *bits = static_cast<BYTE *>(data);
    const size_t bytes = static_cast<size_t>(Dw().GetBitmapWidthBytes(&header)) * header.biHeight;
    const COLORREF red = 0x020000FF;

    const auto stroke = [&](const char *name, int third) {
        std::memset(bits, 0xFF, bytes);
        EXPECT_EQ(Bw().SelectPlugInBrushEx(m(), name, 40, 100, third, &red, 1, nullptr), 1);
        EXPECT_STREQ(m()->brushes[m()->currentBrush].name, name);
        POINT p{30, 50};
        RECT dirty{};
        EXPECT_EQ(Bw().StartPlugInBrush(m(), owner_.hwnd(), canvas, nullptr, nullptr, nullptr, &p, BRUSHKEY_LBUTTON,
                                        &dirty), 1);
        for (int x = 34; x <= 130; x += 4) {
            POINT q{x, 50};
            Bw().DragPlugInBrush(m(), &q, nullptr);
        }
        POINT end{130, 50};
        EXPECT_EQ(Bw().EndPlugInBrush(m(), &end), 1);
        // Painted pixels, and those off the line from white to red.
        int painted = 0, offRed = 0;
        for (size_t k = 0; k + 2 < bytes; k += 3) {
            const int b = bits[k], g = bits[k + 1], r = bits[k + 2];
            if (b == 255 && g == 255 && r == 255) continue;
            ++painted;
            offRed += !(r == 255 && g == b);
        }
        return std::pair<int, int>{painted, offRed};
    };

    for (const StampRow &stamp : kStamps) {
        SCOPED_TRACE(stamp.exportName);
        const auto [painted, offRed] = stroke(stamp.name, 12);
        EXPECT_EQ(m()->context.tipVariantCount, stamp.pictures);
        EXPECT_EQ(m()->context.tipWidth, 40);
        EXPECT_GT(painted, 40 * 40 / 2) << "the stamps laid along the stroke";
        EXPECT_GT(offRed, painted / 2) << "not the manager's red";
    }
    const auto [painted, offRed] = stroke(u8"エアブラシ", 0);  // no colour roughness
    EXPECT_GT(painted, 0);
    EXPECT_EQ(offRed, 0) << "the airbrush paints the manager's red";
    EXPECT_TRUE(watcher_.Seen().empty());
    Dw().FreeDIBitmap(&canvas);
}

}  // namespace
