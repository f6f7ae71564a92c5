#include "brush_harness.h"

#include <algorithm>
#include <cstring>

namespace brush_test {

namespace {

void Put32(uint8_t *p, uint32_t v) { std::memcpy(p, &v, 4); }
void Put16(uint8_t *p, uint16_t v) { std::memcpy(p, &v, 2); }

int32_t DibStride(int32_t width, uint16_t bitCount) {
    return static_cast<int32_t>(((static_cast<int64_t>(width) * bitCount + 31) / 32) * 4);
}

// Padding bytes at the end of row `row` get a pattern of their own.
uint8_t PaddingByte(size_t offset) { return static_cast<uint8_t>(0x5A ^ (offset * 7)); }

}  // namespace

Rect Rect::Union(const Rect &o) const {
    if (IsZero()) return o;
    if (o.IsZero()) return *this;
    return Rect{std::min(left, o.left), std::min(top, o.top), std::max(right, o.right),
                std::max(bottom, o.bottom)};
}

// ------------------------------------------------------------ TestCanvas --

TestCanvas::TestCanvas(int32_t width, int32_t height, int32_t stride, uint16_t bitCount)
    : width_(width), height_(height), stride_(stride ? stride : DibStride(width, bitCount)),
      bitCount_(bitCount) {
    Put32(header_ + 0, 40);
    Put32(header_ + 4, static_cast<uint32_t>(width));
    Put32(header_ + 8, static_cast<uint32_t>(height));
    Put16(header_ + 12, 1);
    Put16(header_ + 14, bitCount);
    Put32(header_ + 20, static_cast<uint32_t>(PixelBytes()));
    buffer_.assign(PixelBytes() + 2 * kGuardBytes, kGuardByte);
    std::fill(bits(), bits() + PixelBytes(), uint8_t{0});
    WritePadding();
}

size_t TestCanvas::Offset(int32_t x, int32_t y) const {
    return static_cast<size_t>(height_ - 1 - y) * stride_ + 3 * static_cast<size_t>(x);
}

void TestCanvas::WritePadding() {
    if (bitCount_ != 24 || stride_ < 3 * width_) return;
    for (int32_t row = 0; row < height_; ++row) {
        for (size_t o = static_cast<size_t>(row) * stride_ + 3 * width_;
             o < static_cast<size_t>(row + 1) * stride_; ++o) {
            bits()[o] = PaddingByte(o);
        }
    }
}

Bgr TestCanvas::Pixel(int32_t x, int32_t y) const {
    const uint8_t *p = bits() + Offset(x, y);
    return Bgr{p[0], p[1], p[2]};
}

void TestCanvas::SetPixel(int32_t x, int32_t y, Bgr color) {
    uint8_t *p = bits() + Offset(x, y);
    p[0] = color.b;
    p[1] = color.g;
    p[2] = color.r;
}

void TestCanvas::Fill(Bgr color) {
    for (int32_t y = 0; y < height_; ++y) {
        for (int32_t x = 0; x < width_; ++x) SetPixel(x, y, color);
    }
}

void TestCanvas::FillNoise(uint32_t seed) {
    uint32_t state = seed * 2654435761u + 1;
    for (int32_t y = 0; y < height_; ++y) {
        for (int32_t x = 0; x < width_; ++x) {
            state = state * 1664525u + 1013904223u;
            SetPixel(x, y, Bgr{static_cast<uint8_t>(state >> 24), static_cast<uint8_t>(state >> 16),
                               static_cast<uint8_t>(state >> 8)});
        }
    }
}

std::vector<uint8_t> TestCanvas::Snapshot() const { return {bits(), bits() + PixelBytes()}; }

Rect TestCanvas::ChangedSince(const std::vector<uint8_t> &snapshot) const {
    Rect changed;
    for (int32_t y = 0; y < height_; ++y) {
        for (int32_t x = 0; x < width_; ++x) {
            const size_t o = Offset(x, y);
            if (std::memcmp(bits() + o, snapshot.data() + o, 3) != 0) {
                changed = changed.Union(Rect{x, y, x + 1, y + 1});
            }
        }
    }
    return changed;
}

bool TestCanvas::GuardsIntact(bool includingRowPadding) const {
    const uint8_t *all = buffer_.data();
    for (size_t k = 0; k < kGuardBytes; ++k) {
        if (all[k] != kGuardByte || all[kGuardBytes + PixelBytes() + k] != kGuardByte) return false;
    }
    if (!includingRowPadding || bitCount_ != 24 || stride_ < 3 * width_) return true;
    for (int32_t row = 0; row < height_; ++row) {
        for (size_t o = static_cast<size_t>(row) * stride_ + 3 * width_;
             o < static_cast<size_t>(row + 1) * stride_; ++o) {
            if (bits()[o] != PaddingByte(o)) return false;
        }
    }
    return true;
}

// ---------------------------------------------------------- BrushHarness --

BrushHarness::BrushHarness(Entry entry, TestCanvas &canvas) : entry_(std::move(entry)), canvas_(canvas) {
    ctx_.color = BRUSH_COLOR_INITIAL;
    ctx_.color2 = BRUSH_COLOR2_INITIAL;
    ctx_.pressure = BRUSH_PRESSURE_FULL;
    ctx_.markX = ctx_.markY = -1024;
    SetParams(20, 50, 0);
}

BrushHarness::~BrushHarness() {
    if (ctx_.tipBits || ctx_.workBits || ctx_.spareBits) Release();
}

void BrushHarness::SetParams(int32_t size, int32_t density, int32_t third) {
    const int32_t values[BRUSH_PARAM_COUNT] = {size, density, third};
    for (int k = 0; k < BRUSH_PARAM_COUNT; ++k) {
        std::memset(params_[k].label, 0, sizeof params_[k].label);
        std::memcpy(params_[k].label, "param", 6);
        params_[k].minimum = 0;
        params_[k].maximum = 100;
        params_[k].value = values[k];
    }
}

int32_t BrushHarness::Send(int32_t command) {
    ctx_.command = command;
    const int32_t result = entry_(&ctx_);
    if (stroking_) strokeDirty_ = strokeDirty_.Union(Dirty());
    return result;
}

int32_t BrushHarness::Select() {
    ctx_.tipParams = params_;
    ctx_.pressure = BRUSH_PRESSURE_FULL;
    return Send(BRUSHCMD_SELECT);
}

void BrushHarness::AttachCanvas() {
    ctx_.canvasInfo = canvas_.info();
    ctx_.canvasBits = canvas_.bits();
    ctx_.width = canvas_.width();
    ctx_.height = canvas_.height();
    ctx_.stride = canvas_.stride();
}

void BrushHarness::ClearCanvasFields() {
    ctx_.hwndCanvas = nullptr;
    ctx_.hCanvasDib = nullptr;
    ctx_.hCanvasDIBitmap = nullptr;
    ctx_.canvasInfo = nullptr;
    ctx_.canvasBits = nullptr;
    ctx_.width = ctx_.height = ctx_.stride = 0;
    ctx_.pressure = BRUSH_PRESSURE_FULL;
    stroking_ = false;
}

int32_t BrushHarness::Start(int32_t x, int32_t y, int32_t flags, int32_t pressure) {
    AttachCanvas();
    ctx_.curX = ctx_.prevX = ctx_.startX = x;
    ctx_.curY = ctx_.prevY = ctx_.startY = y;
    ctx_.flags = flags;
    ctx_.dirtyLeft = ctx_.dirtyTop = ctx_.dirtyRight = ctx_.dirtyBottom = 0;
    ctx_.pressure = pressure;
    strokeDirty_ = Rect{};
    stroking_ = true;
    if (!Send(BRUSHCMD_BEGIN) || !Send(BRUSHCMD_PAINT)) {
        ClearCanvasFields();
        return 0;
    }
    return 1;
}

int32_t BrushHarness::Drag(int32_t x, int32_t y, int32_t pressure) {
    if (!stroking_) return 0;
    ctx_.prevX = ctx_.curX;
    ctx_.prevY = ctx_.curY;
    ctx_.curX = x;
    ctx_.curY = y;
    ctx_.pressure = pressure;
    return Send(BRUSHCMD_PAINT);
}

int32_t BrushHarness::End() {
    const int32_t result = Send(BRUSHCMD_END);
    ClearCanvasFields();
    return result;
}

int32_t BrushHarness::Release() { return Send(BRUSHCMD_RELEASE); }

int32_t BrushHarness::Preview(TestCanvas &preview) {
    PlugInBrushContext temp{};
    temp.canvasInfo = preview.info();
    temp.canvasBits = preview.bits();
    temp.width = preview.width();
    temp.height = preview.height();
    temp.stride = preview.stride();
    temp.workBits = ctx_.workBits;
    temp.tipBits = ctx_.tipBits;
    temp.tipParams = ctx_.tipParams;
    temp.tipWidth = ctx_.tipWidth;
    temp.tipHeight = ctx_.tipHeight;
    temp.tipVariantCount = ctx_.tipVariantCount;
    temp.command = BRUSHCMD_PREVIEW;
    temp.color = ctx_.color;
    temp.color2 = ctx_.color2;
    temp.color3 = ctx_.color3;
    temp.curX = temp.prevX = temp.startX = preview.width() / 2;
    temp.curY = temp.prevY = temp.startY = preview.height() / 2;
    temp.pressure = BRUSH_PRESSURE_FULL;
    const int32_t result = entry_(&temp);
    ctx_.workBits = temp.workBits;
    ctx_.tipBits = temp.tipBits;
    previewDirty_ = Rect{temp.dirtyLeft, temp.dirtyTop, temp.dirtyRight, temp.dirtyBottom};
    return result;
}

Rect BrushHarness::Dirty() const {
    return Rect{ctx_.dirtyLeft, ctx_.dirtyTop, ctx_.dirtyRight, ctx_.dirtyBottom};
}

}  // namespace brush_test
