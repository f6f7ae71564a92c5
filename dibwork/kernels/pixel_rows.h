// Row access shared by the image kernels.
//
// Resampling, tiling and rotation work on rows in memory order: row 0 is
// the first row in the bits, which is the bottom row of a bottom-up DIB.
// Working in that order for source and destination alike keeps a picture's
// orientation without ever flipping it.
//
// Every colour kernel reads its source as 24-bit blue, green, red rows.
// Pictures of other uncompressed formats are expanded a row at a time:
//   1, 4, 8 bits  through the colour table (most significant bits first;
//                 an index beyond the table reads black)
//   16 bits       5-5-5 (x, red, green, blue), each channel widened to 8 bits
//   32 bits       blue, green, red, unused
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "dib_format.h"
#include "pixel_view.h"

namespace dibwork {

using namespace dibformat;

inline uint8_t *MemRow(const PixelView &v, int row) {
    return v.bits + static_cast<size_t>(row) * v.stride;
}

// Bytes that `width` pixels occupy in a row (without the padding).
inline size_t PackedRowBytes(int width, int bitCount) {
    return (static_cast<size_t>(width) * static_cast<size_t>(bitCount) + 7) / 8;
}

// True when v has bits, a positive size and a stride that holds a row.
bool IsUsableView(const PixelView &v);

// True for the formats DecodeRowBgr understands: 1, 4, 8, 16, 24, 32 bits.
constexpr bool IsDecodableBitCount(int bits) {
    return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

// Writes index `value` at pixel x of a 1-, 4- or 8-bit row.
inline void SetIndexAt(uint8_t *row, int x, int bitCount, unsigned value) {
    switch (bitCount) {
        case 1: {
            const uint8_t bit = static_cast<uint8_t>(0x80u >> (x & 7));
            if (value & 1u) row[x >> 3] |= bit; else row[x >> 3] &= static_cast<uint8_t>(~bit);
            break;
        }
        case 4: {
            uint8_t &b = row[x >> 1];
            if (x & 1) b = static_cast<uint8_t>((b & 0xF0u) | (value & 0x0Fu));
            else b = static_cast<uint8_t>((b & 0x0Fu) | ((value & 0x0Fu) << 4));
            break;
        }
        default: row[x] = static_cast<uint8_t>(value);
    }
}

// Expands memory row `row` of v into 3 * v.width bytes at out.
void DecodeRowBgr(const PixelView &v, int row, uint8_t *out);

// Hands out 24-bit rows of a picture: the picture's own rows when it is
// 24-bit, otherwise rows decoded into `slots` cached buffers, the least
// recently used one being reused.  The last `slots` rows asked for are thus
// always valid together.
class BgrRows {
public:
    BgrRows(const PixelView &v, int slots);
    const uint8_t *Row(int row);

private:
    PixelView view_;
    int slots_;
    uint64_t tick_ = 0;
    std::vector<uint8_t> buffer_;
    std::vector<int> cached_;      // row held by each slot, -1 for none
    std::vector<uint64_t> used_;   // tick of each slot's last use
};

}  // namespace dibwork
