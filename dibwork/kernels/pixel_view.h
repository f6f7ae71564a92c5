// A plain view of a picture's pixels, the common argument of the image
// kernels.  Rows are stored bottom-up, as in every DIB of the system, while
// kernels address rows counted from the top: Row(0) is the top row.
#pragma once

#include <cstddef>
#include <cstdint>

namespace dibwork {

struct Bgra {  // one colour-table entry (RGBQUAD order)
    uint8_t b, g, r, reserved;
};

struct PixelView {
    uint8_t *bits = nullptr;   // first byte of the bottom row
    int width = 0;
    int height = 0;
    uint32_t stride = 0;       // bytes per row, a multiple of 4
    int bitCount = 0;
    const Bgra *palette = nullptr;  // colour table, for 8 bits or less
    int paletteCount = 0;

    uint8_t *Row(int yFromTop) const {
        return bits + static_cast<size_t>(height - 1 - yFromTop) * stride;
    }
    size_t ImageBytes() const { return static_cast<size_t>(stride) * static_cast<size_t>(height); }
};

}  // namespace dibwork
