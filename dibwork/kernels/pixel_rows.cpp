#include "pixel_rows.h"

#include <cstring>

namespace dibwork {

bool IsUsableView(const PixelView &v) {
    if (!v.bits || v.width < 1 || v.height < 1 || v.bitCount < 1) return false;
    return PackedRowBytes(v.width, v.bitCount) <= v.stride;
}

namespace {

void PutTableColour(const PixelView &v, unsigned index, uint8_t *out) {
    if (v.palette && index < static_cast<unsigned>(v.paletteCount)) {
        const Bgra &c = v.palette[index];
        out[0] = c.b;
        out[1] = c.g;
        out[2] = c.r;
    } else {
        out[0] = out[1] = out[2] = 0;
    }
}

// 5 bits widened to 8 so that 31 becomes 255.
inline uint8_t Widen5(unsigned v) { return static_cast<uint8_t>((v << 3) | (v >> 2)); }

}  // namespace

void DecodeRowBgr(const PixelView &v, int row, uint8_t *out) {
    const uint8_t *src = MemRow(v, row);
    const int w = v.width;
    switch (v.bitCount) {
        case 24:
            std::memcpy(out, src, static_cast<size_t>(w) * 3);
            return;
        case 32:
            for (int x = 0; x < w; ++x, src += 4, out += 3) {
                out[0] = src[0];
                out[1] = src[1];
                out[2] = src[2];
            }
            return;
        case 16:
            for (int x = 0; x < w; ++x, src += 2, out += 3) {
                const unsigned p = static_cast<unsigned>(src[0]) | (static_cast<unsigned>(src[1]) << 8);
                out[0] = Widen5(p & 31u);
                out[1] = Widen5((p >> 5) & 31u);
                out[2] = Widen5((p >> 10) & 31u);
            }
            return;
        case 1:
        case 4:
        case 8:
            for (int x = 0; x < w; ++x, out += 3) PutTableColour(v, IndexAt(src, x, v.bitCount), out);
            return;
        default:
            std::memset(out, 0, static_cast<size_t>(w) * 3);
    }
}

BgrRows::BgrRows(const PixelView &v, int slots) : view_(v), slots_(slots < 1 ? 1 : slots) {
    if (view_.bitCount != 24) {
        buffer_.resize(static_cast<size_t>(slots_) * static_cast<size_t>(view_.width) * 3);
        cached_.assign(static_cast<size_t>(slots_), -1);
        used_.assign(static_cast<size_t>(slots_), 0);
    }
}

const uint8_t *BgrRows::Row(int row) {
    if (view_.bitCount == 24) return MemRow(view_, row);
    const size_t rowBytes = static_cast<size_t>(view_.width) * 3;
    size_t oldest = 0;
    for (size_t i = 0; i < cached_.size(); ++i) {
        if (cached_[i] == row) {
            used_[i] = ++tick_;
            return buffer_.data() + i * rowBytes;
        }
        if (used_[i] < used_[oldest]) oldest = i;
    }
    uint8_t *out = buffer_.data() + oldest * rowBytes;
    DecodeRowBgr(view_, row, out);
    cached_[oldest] = row;
    used_[oldest] = ++tick_;
    return out;
}

}  // namespace dibwork
