// Small helpers of the in-process canvas tests.
#pragma once

#include <windows.h>

#include <cstdint>

#include "dibwork.h"

namespace pintora_canvas_test {

// The 24-bit pixel at (x, y counted from the top) as a colour value;
// 0xFFFFFFFF when the picture is not a 24-bit DIB section.
inline COLORREF PixelAt(HBITMAP picture, int x, int y) {
    BITMAPINFOHEADER header{};
    void *bits = nullptr;
    if (!GetDIBitmapInfo(picture, &header, &bits) || !bits || header.biBitCount != 24) return 0xFFFFFFFF;
    const int stride = (header.biWidth * 3 + 3) & ~3;
    const auto *p = static_cast<const uint8_t *>(bits) + static_cast<size_t>(header.biHeight - 1 - y) * stride + 3 * x;
    return RGB(p[2], p[1], p[0]);
}

}  // namespace pintora_canvas_test
