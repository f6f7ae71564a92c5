// The colour model: exact values the formulas give, round trips between
// colours and hue-saturation-intensity through the pictures the selectors
// read, and the picking arithmetic.  Built natively under the sanitizers
// and by the cross compiler (run under Wine), so both give the same bytes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <tuple>
#include <vector>

#include "color_model.h"

using namespace chromell;

namespace {

using Triple = std::tuple<int, int, int>;

Triple RgbOf(ColorValue c) { return Triple{RedOf(c), GreenOf(c), BlueOf(c)}; }

// A 24-bit picture in memory, rows padded to 4 bytes and filled with a
// marker byte, so that untouched pixels show.
struct Picture {
    Picture(int width, int height, uint8_t fill = 0xA5)
        : stride(((width * 3 + 3) / 4) * 4), bytes(static_cast<size_t>(stride) * height, fill) {
        view.bits = bytes.data();
        view.width = width;
        view.height = height;
        view.stride = static_cast<uint32_t>(stride);
        view.bitCount = 24;
    }
    Triple At(int x, int memoryRow) const { return RgbOf(PixelColor(view, x, memoryRow)); }
    int stride;
    std::vector<uint8_t> bytes;
    dibwork::PixelView view;
};

double CircularDistance(double a, double b) {
    const double d = std::fabs(a - b);
    return std::min(d, 240.0 - d);
}

// ------------------------------------------------------------ HueColor --

TEST(HueColor, PureColoursAndValuesInsideTheSixths) {
    EXPECT_EQ(RgbOf(HueColor(0)), Triple(255, 0, 0));
    EXPECT_EQ(RgbOf(HueColor(40)), Triple(255, 255, 0));
    EXPECT_EQ(RgbOf(HueColor(80)), Triple(0, 255, 0));
    EXPECT_EQ(RgbOf(HueColor(120)), Triple(0, 255, 255));
    EXPECT_EQ(RgbOf(HueColor(160)), Triple(0, 0, 255));
    EXPECT_EQ(RgbOf(HueColor(200)), Triple(255, 0, 255));
    EXPECT_EQ(RgbOf(HueColor(240)), Triple(255, 0, 0));
    // trunc((255 k + 20) / 40) rising, trunc((-255 k + 20) / 40 + 255) falling.
    EXPECT_EQ(RgbOf(HueColor(20)), Triple(255, 128, 0));
    EXPECT_EQ(RgbOf(HueColor(60)), Triple(128, 255, 0));
    EXPECT_EQ(RgbOf(HueColor(239.9)), Triple(255, 0, 1));
    EXPECT_EQ(HueColor(20) >> 24, 0x02u) << "palette-relative";
}

TEST(HueColor, HuesOutsideTheCircleWrap) {
    EXPECT_EQ(HueColor(300), HueColor(60));
    EXPECT_EQ(HueColor(-60), HueColor(180));
    EXPECT_EQ(HueColor(-240), HueColor(0));
    EXPECT_EQ(HueColor(480), HueColor(240));
    EXPECT_EQ(HueColor(240 * 1000 + 20), HueColor(20));
    // Never a hang or garbage for values no pointer gives.
    EXPECT_EQ(HueColor(1e300) >> 24, 0x02u);
    EXPECT_EQ(HueColor(std::numeric_limits<double>::quiet_NaN()), HueColor(0));
}

// ---------------------------------------------------------- ColorToHSB --

TEST(ColorToHSB, ValuesOfTheModel) {
    HsbColor red = ColorToHSB(MakeColor(255, 0, 0), 99.0);
    EXPECT_EQ(red.hue, 0.0);
    EXPECT_EQ(red.saturation, 1.0);
    EXPECT_EQ(red.intensity, 1.0);
    EXPECT_EQ(ColorToHSB(MakeColor(0, 0, 255), 0).hue, 160.0);
    // (-(128 - 0) / 255 + 0) x 40 + 240
    EXPECT_DOUBLE_EQ(ColorToHSB(MakeColor(255, 0, 128), 0).hue, 219.921568627451);
    const HsbColor dark = ColorToHSB(MakeColor(0, 64, 128), 0);
    EXPECT_DOUBLE_EQ(dark.hue, 140.0);
    EXPECT_DOUBLE_EQ(dark.saturation, 1.0);
    EXPECT_DOUBLE_EQ(dark.intensity, 128 / 255.0);
    const HsbColor pale = ColorToHSB(MakeColor(200, 100, 100), 0);
    EXPECT_DOUBLE_EQ(pale.hue, 0.0);
    EXPECT_DOUBLE_EQ(pale.saturation, 0.5);
    // Two channels equal: the hue lies on the boundary of the sixths.
    EXPECT_DOUBLE_EQ(ColorToHSB(MakeColor(255, 255, 0), 0).hue, 40.0);
    EXPECT_DOUBLE_EQ(ColorToHSB(MakeColor(10, 20, 20), 0).hue, 120.0);
    EXPECT_DOUBLE_EQ(ColorToHSB(MakeColor(20, 10, 20), 0).hue, 200.0);
}

TEST(ColorToHSB, GreysKeepTheirHue) {
    const HsbColor grey = ColorToHSB(MakeColor(128, 128, 128), 77.5);
    EXPECT_EQ(grey.hue, 77.5);
    EXPECT_EQ(grey.saturation, 0.0);
    EXPECT_DOUBLE_EQ(grey.intensity, 128 / 255.0);
    EXPECT_EQ(ColorToHSB(MakeColor(0, 0, 0), 12.0).intensity, 0.0);
    EXPECT_EQ(ColorToHSB(0xFF808080u, 5.0).hue, 5.0) << "the top byte is ignored";
}

TEST(ColorToHSB, RoundTripThroughTheHueColour) {
    for (double hue = 0; hue <= 200; hue += 40) {
        const HsbColor back = ColorToHSB(HueColor(hue), -1);
        EXPECT_DOUBLE_EQ(back.hue, hue);
        EXPECT_EQ(back.saturation, 1.0);
        EXPECT_EQ(back.intensity, 1.0);
    }
    // Every hue survives within the eighth of a level a byte can hold.
    for (double hue = 0; hue < 240; hue += 0.25) {
        EXPECT_LE(CircularDistance(ColorToHSB(HueColor(hue), -1).hue, hue), 0.08) << hue;
    }
}

// A colour, taken to hue, saturation and intensity, is found again in the
// square built for that hue at the cell of its saturation and intensity.
TEST(ColorToHSB, RoundTripThroughTheSquare) {
    Picture square(256, 256);
    std::mt19937 random(20240601);
    for (int n = 0; n < 400; ++n) {
        const ColorValue color = MakeColor(random() & 0xFF, random() & 0xFF, random() & 0xFF);
        const HsbColor hsb = ColorToHSB(color, 0);
        ASSERT_TRUE(BuildSatIntSquare(square.view, hsb.hue));
        const PictureCell cell = SatIntCell(hsb.saturation, hsb.intensity, 256, 256);
        const ColorValue back = PixelColor(square.view, cell.column, cell.memoryRow);
        EXPECT_NEAR(RedOf(back), RedOf(color), 2) << std::hex << color;
        EXPECT_NEAR(GreenOf(back), GreenOf(color), 2) << std::hex << color;
        EXPECT_NEAR(BlueOf(back), BlueOf(color), 2) << std::hex << color;
    }
}

// ------------------------------------------------------------ pictures --

TEST(BuildHueStrip, SixPureColoursAcrossSevenColumns) {
    Picture strip(7, 3);
    ASSERT_TRUE(BuildHueStrip(strip.view));
    const Triple expected[7] = {{255, 0, 0}, {255, 255, 0}, {0, 255, 0}, {0, 255, 255},
                                {0, 0, 255}, {255, 0, 255}, {255, 0, 0}};
    for (int i = 0; i < 3; ++i) {
        for (int x = 0; x < 7; ++x) EXPECT_EQ(strip.At(x, i), expected[x]) << x << "," << i;
    }
}

// 31 columns put t on multiples of 80: the rising sides step by 51
// exactly, the falling sides as the formula truncates them.
TEST(BuildHueStrip, ExactRampOf31Columns) {
    Picture strip(31, 2);
    ASSERT_TRUE(BuildHueStrip(strip.view));
    const Triple expected[31] = {
        {255, 0, 0},   {255, 51, 0},  {255, 102, 0}, {255, 153, 0}, {255, 204, 0}, {255, 255, 0}, {204, 255, 0},
        {153, 255, 0}, {101, 255, 0}, {50, 255, 0},  {0, 255, 0},   {0, 255, 51},  {0, 255, 102}, {0, 255, 153},
        {0, 255, 204}, {0, 255, 255}, {0, 204, 255}, {0, 153, 255}, {0, 101, 255}, {0, 50, 255},  {0, 0, 255},
        {51, 0, 255},  {102, 0, 255}, {153, 0, 255}, {204, 0, 255}, {255, 0, 255}, {255, 0, 204}, {255, 0, 153},
        {255, 0, 101}, {255, 0, 50},  {255, 0, 0}};
    for (int x = 0; x < 31; ++x) {
        EXPECT_EQ(strip.At(x, 0), expected[x]) << "column " << x;
        EXPECT_EQ(strip.At(x, 1), expected[x]) << "column " << x;
    }
    // Row padding is left alone.
    EXPECT_EQ(strip.bytes[93], 0xA5);
    EXPECT_EQ(strip.bytes[95], 0xA5);
}

TEST(BuildSatIntSquare, EdgesOfTheSquare) {
    const int width = 50, height = 100;
    Picture square(width, height);
    ASSERT_TRUE(BuildSatIntSquare(square.view, 20));
    EXPECT_EQ(square.At(width - 1, height - 1), RgbOf(HueColor(20))) << "top right: the pure hue";
    for (int x = 0; x < width; ++x) EXPECT_EQ(square.At(x, 0), Triple(0, 0, 0)) << "bottom row black";
    for (int i = 0; i < height; ++i) {
        const int grey = 255 * i / 99;
        EXPECT_EQ(square.At(0, i), Triple(grey, grey, grey)) << "left column grey, row " << i;
    }
    EXPECT_EQ(square.At(0, height - 1), Triple(255, 255, 255));
}

TEST(BuildSatIntSquare, InsideValuesTruncateTowardZero) {
    Picture square(51, 100);
    ASSERT_TRUE(BuildSatIntSquare(square.view, 160));  // blue
    // Row 50: grey 255 x 50 / 99 = 128, row colour (0, 0, 128).
    EXPECT_EQ(square.At(25, 50), Triple(64, 64, 128));
    // 128 + 1 x (0 - 128) / 50 = 128 - 2 (toward zero, not 125).
    EXPECT_EQ(square.At(1, 50), Triple(126, 126, 128));
}

TEST(BuildGradient, InitialCorners) {
    GradientCorners corners;
    corners.topLeft = MakeColor(255, 0, 0);
    corners.topRight = MakeColor(0, 0, 255);
    corners.bottomLeft = MakeColor(255, 255, 255);
    corners.bottomRight = MakeColor(0, 255, 0);
    Picture palette(64, 48);
    ASSERT_TRUE(BuildGradient(palette.view, corners));
    EXPECT_EQ(palette.At(0, 0), Triple(255, 255, 255)) << "bottom left";
    EXPECT_EQ(palette.At(63, 47), Triple(0, 0, 255)) << "top right";
    EXPECT_EQ(palette.At(0, 47), Triple(255, 0, 0)) << "top left";
    EXPECT_EQ(palette.At(63, 0), Triple(0, 255, 0)) << "bottom right";

    Picture small(3, 3);
    ASSERT_TRUE(BuildGradient(small.view, corners));
    // Sides (255, 128, 128) and (0, 128, 127); across: 128 + (127 - 128) / 2
    // = 128 for blue.
    EXPECT_EQ(small.At(1, 1), Triple(128, 128, 128));
    Picture five(5, 5);
    ASSERT_TRUE(BuildGradient(five.view, corners));
    EXPECT_EQ(five.At(1, 3), Triple(192, 64, 95));
}

TEST(Builders, RefuseWhatTheyCannotFill) {
    GradientCorners corners;
    Picture oneRow(10, 1);
    EXPECT_FALSE(BuildGradient(oneRow.view, corners));
    EXPECT_EQ(oneRow.bytes[0], 0xA5) << "nothing written";

    Picture eightBit(10, 10);
    eightBit.view.bitCount = 8;
    EXPECT_FALSE(BuildHueStrip(eightBit.view));
    EXPECT_FALSE(BuildSatIntSquare(eightBit.view, 0));
    EXPECT_FALSE(BuildGradient(eightBit.view, corners));
    dibwork::PixelView none;
    EXPECT_FALSE(BuildHueStrip(none));
    Picture narrow(10, 10);
    narrow.view.stride = 20;  // rows shorter than 10 pixels
    EXPECT_FALSE(BuildSatIntSquare(narrow.view, 0));

    // One pixel each way is made without dividing by zero.
    Picture dot(1, 1);
    EXPECT_TRUE(BuildSatIntSquare(dot.view, 80));
    EXPECT_EQ(dot.At(0, 0), Triple(0, 0, 0));
    EXPECT_TRUE(BuildHueStrip(dot.view));
    EXPECT_EQ(PixelColor(dot.view, 0, 0), 0x020000FFu) << "red, palette-relative";
}

// ------------------------------------------------------------- picking --

TEST(HueAtStripPoint, SnapsToTheSixPureHues) {
    const int width = 120, height = 11;
    EXPECT_EQ(HueAtStripPoint(0, 5, width, height, true), 0.0);
    EXPECT_EQ(HueAtStripPoint(9, 5, width, height, true), 0.0);
    EXPECT_EQ(HueAtStripPoint(10, 5, width, height, true), 40.0);
    EXPECT_EQ(HueAtStripPoint(30, 5, width, height, true), 80.0);
    EXPECT_EQ(HueAtStripPoint(90, 5, width, height, true), 200.0);
    // At the far right: ((W / 2 + 6 (W - 1)) / W) mod 6 = 0, red again.
    EXPECT_EQ(HueAtStripPoint(width - 1, 5, width, height, true), 0.0);
    EXPECT_EQ(HueAtStripPoint(width + 50, 5, width, height, true), 0.0);
}

TEST(HueAtStripPoint, RowsAboveAndBelowFineTune) {
    const int width = 241, height = 11;  // hue = t on the middle row
    EXPECT_DOUBLE_EQ(HueAtStripPoint(100, 5, width, height, false), 100.0);
    EXPECT_DOUBLE_EQ(HueAtStripPoint(100, 13, width, height, false), 101.0);
    EXPECT_DOUBLE_EQ(HueAtStripPoint(100, 1, width, height, false), 99.5);
    EXPECT_EQ(HueAtStripPoint(0, -100, width, height, false), 0.0) << "never negative";
    EXPECT_EQ(HueAtStripPoint(-30, 5, width, height, false), 0.0) << "column held inside";
    EXPECT_EQ(HueAtStripPoint(240, 50, width, height, false), 240.0) << "t is held at 240";
    // On a narrower strip: t x 240 / (W - 1).
    EXPECT_DOUBLE_EQ(HueAtStripPoint(61, 5, 123, 11, false), 61 * 240.0 / 122);
}

// The square and the palette hold the pointer inside; the marker sits on
// the picked cell.
TEST(Picking, CellsOfTheSquareAndThePalette) {
    SatIntPick pick = PickSatInt(50, 0, 101, 51);
    EXPECT_EQ(pick.cell.column, 50);
    EXPECT_EQ(pick.cell.memoryRow, 50);
    EXPECT_DOUBLE_EQ(pick.saturation, 0.5);
    EXPECT_DOUBLE_EQ(pick.intensity, 1.0);
    pick = PickSatInt(-20, 500, 101, 51);
    EXPECT_EQ(pick.cell.column + pick.cell.memoryRow, 0);
    EXPECT_EQ(pick.saturation + pick.intensity, 0.0);

    PictureCell cell = SatIntCell(0.5, 0.25, 124, 98);
    EXPECT_EQ(cell.column, 61);     // trunc(61.5)
    EXPECT_EQ(cell.memoryRow, 24);  // trunc(24.25)
    cell = SatIntCell(std::numeric_limits<double>::quiet_NaN(), 7.0, 124, 98);
    EXPECT_EQ(cell.column, 0);
    EXPECT_EQ(cell.memoryRow, 97);

    const GradientPick inside = PickGradient(10, 5, 100, 80);
    EXPECT_EQ(inside.cell.memoryRow, 74);
    EXPECT_EQ(inside.markerY, 5);
    const GradientPick outside = PickGradient(-4, 200, 100, 80);
    EXPECT_EQ(outside.cell.column, 0);
    EXPECT_EQ(outside.cell.memoryRow, 0);
    EXPECT_EQ(outside.markerY, 79);
}

}  // namespace
