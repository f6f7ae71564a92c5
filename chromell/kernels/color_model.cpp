// Colour arithmetic of the colour window: HSB <-> colour values, and the
// hue strip, saturation-intensity square and gradient palette pictures.
#include "color_model.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace chromell {

namespace {

// 255 / 400 is not a double; the hue strip uses the double one step above
// it, so that t = 400 gives 255 exactly and the strip's end gives 0.
constexpr double kStripSlope = 0.6375000000000001;
// 1 / 40 and 1 / 255 as the model multiplies by them.
constexpr double kPerSixth = 0.025;
constexpr double kPerLevel = 0.00392156862745098;

struct Rgb {
    int r, g, b;
};

Rgb Channels(ColorValue c) { return Rgb{RedOf(c), GreenOf(c), BlueOf(c)}; }

bool Usable(const dibwork::PixelView &p) {
    return p.bits && p.bitCount == 24 && p.width >= 1 && p.height >= 1 &&
           p.stride >= static_cast<uint32_t>(p.width) * 3u;
}

uint8_t *MemoryRow(const dibwork::PixelView &p, int i) { return p.bits + static_cast<size_t>(i) * p.stride; }

void Put(uint8_t *pixel, int r, int g, int b) {
    pixel[0] = static_cast<uint8_t>(b);
    pixel[1] = static_cast<uint8_t>(g);
    pixel[2] = static_cast<uint8_t>(r);
}

// The divisor "size - 1" of the picture formulas; a picture one pixel
// across has only position 0, where any divisor gives the same result.
int Span(int size) { return std::max(size - 1, 1); }

int Clamp(int v, int lo, int hi) { return std::min(std::max(v, lo), hi); }

double ClampUnit(double v) { return v > 0.0 ? std::min(v, 1.0) : 0.0; }  // NaN -> 0

// Hues outside 0..240 are moved by whole circles; 240 itself stays.
double ReduceHue(double hue) {
    if (!std::isfinite(hue)) return 0.0;
    if (hue < 0.0) {
        hue = std::fmod(hue, kHueCircle);
        if (hue < 0.0) hue += kHueCircle;
    } else if (hue > kHueCircle) {
        hue = std::fmod(hue, kHueCircle);
        if (hue == 0.0) hue = kHueCircle;
    }
    return hue;
}

// One channel across a sixth of the hue circle, k = 0..40 into it:
// rising trunc((255k + 20) / 40), falling trunc((-255k + 20) / 40 + 255).
int Rising(double k) { return static_cast<int>((255.0 * k + 20.0) * kPerSixth); }
int Falling(double k) { return static_cast<int>(((-k) * 255.0 + 20.0) * kPerSixth + 255.0); }

// Which channel is largest (e) and smallest (d): red 0, green 1, blue 2.
// Ties: of red and green the larger is green unless green is strictly
// smaller; blue is the largest unless strictly smaller than the larger of
// them, and the smallest only when strictly smaller than the smaller.
void Extremes(const int v[3], int &e, int &d) {
    const int larger = v[1] < v[0] ? 0 : 1;
    const int smaller = 1 - larger;
    e = v[2] < v[larger] ? larger : 2;
    d = v[2] < v[smaller] ? 2 : smaller;
}

// Hue strip colour at t = 0..2400 (400 to a sixth).
Rgb StripColor(double t) {
    const double c = kStripSlope;
    if (t < 400.0) return Rgb{255, static_cast<int>(t * c), 0};
    if (t < 800.0) return Rgb{static_cast<int>((400.0 - t) * c + 255.0), 255, 0};
    if (t < 1200.0) return Rgb{0, 255, static_cast<int>((t - 800.0) * c)};
    if (t < 1600.0) return Rgb{0, static_cast<int>((1200.0 - t) * c + 255.0), 255};
    if (t < 2000.0) return Rgb{static_cast<int>((t - 1600.0) * c), 0, 255};
    return Rgb{255, 0, static_cast<int>((2000.0 - t) * c + 255.0)};
}

}  // namespace

ColorValue HueColor(double hue) {
    hue = ReduceHue(hue);
    const int sixth = std::min(static_cast<int>(hue / kHueSixth), 5);
    const double k = hue - kHueSixth * sixth;
    switch (sixth) {
    case 0: return MakeColor(255, Rising(k), 0);
    case 1: return MakeColor(Falling(k), 255, 0);
    case 2: return MakeColor(0, 255, Rising(k));
    case 3: return MakeColor(0, Falling(k), 255);
    case 4: return MakeColor(Rising(k), 0, 255);
    default: return MakeColor(255, 0, Falling(k));
    }
}

HsbColor ColorToHSB(ColorValue color, double previousHue) {
    const int v[3] = {RedOf(color), GreenOf(color), BlueOf(color)};
    int e = 0, d = 0;
    Extremes(v, e, d);
    const int max = v[e];
    const int min = v[d];
    const int mid = v[3 - e - d];

    HsbColor hsb;
    hsb.intensity = max * kPerLevel;
    if (max == min) {  // a grey keeps the hue it had
        hsb.hue = previousHue;
        hsb.saturation = 0.0;
        return hsb;
    }
    // Direction of the middle channel away from the largest: +1 or -1.
    const int f = (d + e == 2) ? (d - e) / 2 : e - d;
    hsb.hue = (static_cast<double>(f) * (mid - min) / (max - min) + 2 * e) * kHueSixth;
    if (hsb.hue < 0.0) hsb.hue += kHueCircle;
    hsb.saturation = static_cast<double>(max - min) / max;
    return hsb;
}

bool BuildHueStrip(const dibwork::PixelView &picture) {
    if (!Usable(picture)) return false;
    // t = x * 2400 / (W - 1): the bottom row is computed, then copied up.
    uint8_t *bottom = MemoryRow(picture, 0);
    const int span = picture.width > 1 ? picture.width - 1 : 0;
    for (int x = 0; x < picture.width; ++x) {
        const double t = span ? static_cast<double>(x) * 2400.0 / span : 0.0;
        const Rgb c = StripColor(t);
        Put(bottom + 3 * x, c.r, c.g, c.b);
    }
    for (int i = 1; i < picture.height; ++i) {
        std::memcpy(MemoryRow(picture, i), bottom, static_cast<size_t>(picture.width) * 3);
    }
    return true;
}

bool BuildSatIntSquare(const dibwork::PixelView &picture, double hue) {
    if (!Usable(picture)) return false;
    const Rgb pure = Channels(HueColor(hue));
    const int rows = Span(picture.height);
    const int columns = Span(picture.width);
    for (int i = 0; i < picture.height; ++i) {
        // Row i: grey m at the left, the hue at intensity i / (H - 1) at
        // the right; columns blend between them.
        const int m = 255 * i / rows;
        const Rgb right{i * pure.r / rows, i * pure.g / rows, i * pure.b / rows};
        uint8_t *row = MemoryRow(picture, i);
        for (int x = 0; x < picture.width; ++x) {
            Put(row + 3 * x, m + x * (right.r - m) / columns, m + x * (right.g - m) / columns,
                m + x * (right.b - m) / columns);
        }
    }
    return true;
}

bool BuildGradient(const dibwork::PixelView &picture, const GradientCorners &corners) {
    if (!Usable(picture) || picture.height < 2) return false;
    const Rgb tl = Channels(corners.topLeft), tr = Channels(corners.topRight);
    const Rgb bl = Channels(corners.bottomLeft), br = Channels(corners.bottomRight);
    const int rows = picture.height - 1;
    const int columns = Span(picture.width);
    for (int i = 0; i < picture.height; ++i) {
        // Down each side from the bottom corner to the top one, then across.
        const Rgb left{bl.r + (tl.r - bl.r) * i / rows, bl.g + (tl.g - bl.g) * i / rows,
                       bl.b + (tl.b - bl.b) * i / rows};
        const Rgb right{br.r + (tr.r - br.r) * i / rows, br.g + (tr.g - br.g) * i / rows,
                        br.b + (tr.b - br.b) * i / rows};
        uint8_t *row = MemoryRow(picture, i);
        for (int x = 0; x < picture.width; ++x) {
            Put(row + 3 * x, left.r + (right.r - left.r) * x / columns, left.g + (right.g - left.g) * x / columns,
                left.b + (right.b - left.b) * x / columns);
        }
    }
    return true;
}

ColorValue PixelColor(const dibwork::PixelView &picture, int x, int memoryRow) {
    const uint8_t *p = MemoryRow(picture, memoryRow) + 3 * x;
    return MakeColor(p[2], p[1], p[0]);
}

double HueAtStripPoint(int x, int y, int width, int height, bool snap) {
    if (width < 1) return 0.0;
    x = Clamp(x, 0, width - 1);
    if (snap) return kHueSixth * (((width / 2 + 6 * x) / width) % 6);
    double t = x + (y - height / 2) * 0.125;
    t = std::min(t, kHueCircle);
    const double hue = t * kHueCircle / Span(width);
    return hue < 0.0 ? 0.0 : hue;
}

SatIntPick PickSatInt(int x, int y, int width, int height) {
    SatIntPick pick;
    if (width < 1 || height < 1) return pick;
    pick.cell.column = Clamp(x, 0, width - 1);
    pick.cell.memoryRow = Clamp(height - 1 - y, 0, height - 1);
    pick.saturation = static_cast<double>(pick.cell.column) / Span(width);
    pick.intensity = static_cast<double>(pick.cell.memoryRow) / Span(height);
    return pick;
}

PictureCell SatIntCell(double saturation, double intensity, int width, int height) {
    PictureCell cell;
    if (width < 1 || height < 1) return cell;
    cell.column = static_cast<int>((width - 1) * ClampUnit(saturation));
    cell.memoryRow = static_cast<int>((height - 1) * ClampUnit(intensity));
    return cell;
}

GradientPick PickGradient(int x, int y, int width, int height) {
    GradientPick pick;
    if (width < 1 || height < 1) return pick;
    pick.cell.column = Clamp(x, 0, width - 1);
    pick.cell.memoryRow = Clamp(height - 1 - y, 0, height - 1);
    pick.markerX = pick.cell.column;
    pick.markerY = height - 1 - pick.cell.memoryRow;
    return pick;
}

}  // namespace chromell
