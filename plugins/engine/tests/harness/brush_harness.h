// A test harness for brush entry points: it lays a PlugInBrushContext over
// a 24-bit pixel buffer and sends the commands the way the brush manager
// does (select, stroke begin and paint, drags, end, release, preview).
//
// Every brush test of every plug-in uses it, in both builds: under Wine it
// drives the real entry points of the .brs file (bound by name), in the
// native sanitizer build it drives the same brush code linked in.  It has
// no Windows dependency.
//
// Typical use:
//
//     brush_test::TestCanvas canvas(64, 48);
//     canvas.Fill({255, 255, 255});
//     brush_test::BrushHarness brush(entry, canvas);   // entry: the brush
//     brush.SetParams(20, 100, 0);                      // size, density, third
//     ASSERT_EQ(brush.Select(), 1);
//     brush.Start(10, 10);                              // commands 2 and 1
//     brush.Drag(30, 10);                               // command 1
//     brush.End();                                      // command 3
//     EXPECT_TRUE(canvas.GuardsIntact());
//
// The canvas keeps guard bytes before and after its pixels and checks the
// padding at the end of every row, so a test sees any write outside the
// pixels the brush was given.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <ostream>
#include <vector>

#include "plugin/brush_plugin.h"

namespace brush_test {

// One pixel in canvas byte order.
struct Bgr {
    uint8_t b = 0, g = 0, r = 0;
    bool operator==(const Bgr &o) const { return b == o.b && g == o.g && r == o.r; }
    bool operator!=(const Bgr &o) const { return !(*this == o); }
};

// The Bgr of a Windows colour value (red in the lowest byte).
inline Bgr BgrOf(uint32_t color) {
    return Bgr{static_cast<uint8_t>(color >> 16), static_cast<uint8_t>(color >> 8),
               static_cast<uint8_t>(color)};
}
// A Windows colour value with the flag byte 2, as the manager makes them.
inline uint32_t ColorValue(uint8_t red, uint8_t green, uint8_t blue) {
    return BRUSH_COLOR_FLAG | (uint32_t{blue} << 16) | (uint32_t{green} << 8) | red;
}

// GoogleTest prints pixels and rectangles with these.
inline void PrintTo(const Bgr &p, std::ostream *os) {
    *os << "bgr(" << int{p.b} << ", " << int{p.g} << ", " << int{p.r} << ")";
}

// A rectangle of top-down pixels, right and bottom exclusive.
struct Rect {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
    bool IsZero() const { return left == 0 && top == 0 && right == 0 && bottom == 0; }
    bool Contains(int32_t x, int32_t y) const { return x >= left && x < right && y >= top && y < bottom; }
    bool operator==(const Rect &o) const {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
    // The smallest rectangle holding both (a zero rectangle counts as none).
    Rect Union(const Rect &o) const;
};

inline void PrintTo(const Rect &r, std::ostream *os) {
    *os << "rect(" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ")";
}

// The pixel buffer a brush paints on: bottom-up rows of `stride` bytes
// (by default the DIB stride, a multiple of 4) described by a 40-byte
// BITMAPINFOHEADER.  Any bit count and stride may be given, so that tests
// can offer a brush a canvas it must refuse.
class TestCanvas {
public:
    TestCanvas(int32_t width, int32_t height, int32_t stride = 0, uint16_t bitCount = 24);
    TestCanvas(const TestCanvas &) = delete;
    TestCanvas &operator=(const TestCanvas &) = delete;

    int32_t width() const { return width_; }
    int32_t height() const { return height_; }
    int32_t stride() const { return stride_; }
    uint8_t *bits() { return buffer_.data() + kGuardBytes; }
    const uint8_t *bits() const { return buffer_.data() + kGuardBytes; }
    struct tagBITMAPINFOHEADER *info() { return reinterpret_cast<struct tagBITMAPINFOHEADER *>(header_); }

    // Pixel (x, y), y from the top, of a 24-bit canvas.
    Bgr Pixel(int32_t x, int32_t y) const;
    void SetPixel(int32_t x, int32_t y, Bgr color);
    void Fill(Bgr color);
    // Every pixel a different, reproducible colour.
    void FillNoise(uint32_t seed);

    // The pixel bytes (stride x height), for comparing before and after.
    std::vector<uint8_t> Snapshot() const;
    // The smallest rectangle holding every pixel that differs from the
    // snapshot (zero when none does).
    Rect ChangedSince(const std::vector<uint8_t> &snapshot) const;
    // True when the guard bytes around the pixels and (unless told not to
    // look) the padding at the end of every row are as the canvas left
    // them.  The preview background fills whole rows, padding included.
    bool GuardsIntact(bool includingRowPadding = true) const;

private:
    static constexpr size_t kGuardBytes = 64;
    static constexpr uint8_t kGuardByte = 0xA5;
    size_t PixelBytes() const { return static_cast<size_t>(stride_) * static_cast<size_t>(height_); }
    size_t Offset(int32_t x, int32_t y) const;
    void WritePadding();

    int32_t width_, height_, stride_;
    uint16_t bitCount_;
    alignas(4) uint8_t header_[40] = {};
    std::vector<uint8_t> buffer_;
};

// Drives one brush entry point over a canvas.
class BrushHarness {
public:
    using Entry = std::function<int32_t(PlugInBrushContext *)>;

    BrushHarness(Entry entry, TestCanvas &canvas);
    // Releases the brush (command 5) if a tip is still held.
    ~BrushHarness();
    BrushHarness(const BrushHarness &) = delete;
    BrushHarness &operator=(const BrushHarness &) = delete;

    // The three parameter values (labels, minima and maxima are set to the
    // usual 0..100 ranges; tests may edit params() directly).
    void SetParams(int32_t size, int32_t density, int32_t third);
    BrushParam *params() { return params_; }
    PlugInBrushContext &ctx() { return ctx_; }
    const PlugInBrushContext &ctx() const { return ctx_; }

    // Sends `command` as it stands in the context.
    int32_t Send(int32_t command);
    // Command 4 with tipParams set and pressure 128.
    int32_t Select();
    // A stroke start: canvas fields 1-9, cur = prev = start = (x, y), the
    // flags, an empty dirty rectangle, the pressure; command 2, then 1.
    // On a refusal the canvas fields are cleared again and 0 returned.
    int32_t Start(int32_t x, int32_t y, int32_t flags = BRUSHKEY_LBUTTON, int32_t pressure = 128);
    // A move: prev = cur (as the brush left it), cur = (x, y); command 1.
    // 0 without a running stroke (nothing is sent).
    int32_t Drag(int32_t x, int32_t y, int32_t pressure = 128);
    // Command 3; the canvas fields are cleared and pressure set to 128.
    int32_t End();
    // Command 5.
    int32_t Release();
    // Command 6 on a temporary context over `preview`, laid out as the
    // manager does; workBits and tipBits are copied back afterwards.
    int32_t Preview(TestCanvas &preview);

    // The dirty rectangle of the last call, of the last preview, and the
    // union of all calls since Start.
    Rect Dirty() const;
    Rect PreviewDirty() const { return previewDirty_; }
    Rect StrokeDirty() const { return strokeDirty_; }
    bool StrokeRunning() const { return stroking_; }

    // Sets the canvas fields of the context to the harness's canvas
    // without sending anything (for tests that drive commands by hand).
    void AttachCanvas();

private:
    void ClearCanvasFields();

    Entry entry_;
    TestCanvas &canvas_;
    PlugInBrushContext ctx_{};
    BrushParam params_[BRUSH_PARAM_COUNT]{};
    bool stroking_ = false;
    Rect strokeDirty_;
    Rect previewDirty_;
};

}  // namespace brush_test
