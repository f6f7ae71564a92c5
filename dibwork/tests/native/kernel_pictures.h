// Pictures in plain memory for the kernel tests: a buffer with a view over
// it, rows padded to 4 bytes like every DIB, and a slow, obvious pixel
// accessor to check the kernels against; and the header fields of a
// picture for the layout and conversion checks.
#pragma once

#include <cstdint>
#include <random>
#include <vector>

#include "dib_format.h"
#include "pixel_rows.h"
#include "pixel_view.h"

namespace kernel_test {

struct Picture {
    std::vector<uint8_t> bytes;
    std::vector<dibwork::Bgra> table;
    dibwork::PixelView view;

    Picture(int width, int height, int bitCount, int paletteEntries = 0) {
        const uint32_t stride = ((static_cast<uint32_t>(width) * bitCount + 31) / 32) * 4;
        bytes.assign(static_cast<size_t>(stride) * height, 0);
        table.assign(static_cast<size_t>(paletteEntries), dibwork::Bgra{0, 0, 0, 0});
        view.bits = bytes.data();
        view.width = width;
        view.height = height;
        view.stride = stride;
        view.bitCount = bitCount;
        view.palette = table.empty() ? nullptr : table.data();
        view.paletteCount = paletteEntries;
    }
    Picture(const Picture &) = delete;
    Picture &operator=(const Picture &) = delete;

    // 24-bit access by memory row; channel 0 blue, 1 green, 2 red.
    uint8_t *At(int x, int memoryRow) { return dibwork::MemRow(view, memoryRow) + 3 * x; }
    void Set(int x, int memoryRow, uint8_t b, uint8_t g, uint8_t r) {
        uint8_t *p = At(x, memoryRow);
        p[0] = b;
        p[1] = g;
        p[2] = r;
    }
    void Fill(uint8_t b, uint8_t g, uint8_t r) {
        for (int y = 0; y < view.height; ++y)
            for (int x = 0; x < view.width; ++x) Set(x, y, b, g, r);
    }
    void FillRandom(std::mt19937 &rng) {
        for (auto &b : bytes) b = static_cast<uint8_t>(rng());
    }
};

// The fields of a BITMAPINFOHEADER of one plane: w x h (h < 0 for top-down
// rows) at `bits` per pixel, with the compression and the colours-used
// count given.
inline dibformat::DibHeaderFields Info(int32_t w, int32_t h, uint16_t bits, uint32_t compression = 0,
                                     uint32_t used = 0) {
    dibformat::DibHeaderFields f;
    f.headerSize = 40;
    f.width = w;
    f.height = h;
    f.planes = 1;
    f.bitCount = bits;
    f.compression = compression;
    f.colorsUsed = used;
    return f;
}

}  // namespace kernel_test
