#include "fill_mask.h"

#include <algorithm>
#include <cstring>

#include "pixel_rows.h"

namespace dibwork {
namespace {

bool SameSize(const PixelView &a, const PixelView &b) { return a.width == b.width && a.height == b.height; }

int64_t FloorTo(int64_t v, int64_t step) { return v >= 0 ? v / step * step : -((-v + step - 1) / step) * step; }

}  // namespace

bool FillBgr24(const PixelView &v, Bgr c) {
    if (!IsUsableView(v) || v.bitCount != 24) return false;
    for (int row = 0; row < v.height; ++row) {
        uint8_t *p = MemRow(v, row);
        for (int x = 0; x < v.width; ++x, p += 3) {
            p[0] = c.b;
            p[1] = c.g;
            p[2] = c.r;
        }
    }
    return true;
}

std::optional<unsigned> FindTableColour(const Bgra *table, int count, Bgr c) {
    if (!table) return std::nullopt;
    for (int i = 0; i < count; ++i) {
        if (table[i].b == c.b && table[i].g == c.g && table[i].r == c.r) return static_cast<unsigned>(i);
    }
    return std::nullopt;
}

uint8_t IndexedFillByte(int bitCount, unsigned index) {
    switch (bitCount) {
        case 1: return index > 0 ? 0xFF : 0x00;
        case 4: return static_cast<uint8_t>((index & 0x0F) * 17);
        default: return static_cast<uint8_t>(index);
    }
}

bool FillThroughMask24(const PixelView &dst, const PixelView &mask8, Bgr whereSet, Bgr whereClear) {
    if (!IsUsableView(dst) || !IsUsableView(mask8) || dst.bitCount != 24 || mask8.bitCount != 8 ||
        !SameSize(dst, mask8)) {
        return false;
    }
    for (int row = 0; row < dst.height; ++row) {
        uint8_t *p = MemRow(dst, row);
        const uint8_t *m = MemRow(mask8, row);
        for (int x = 0; x < dst.width; ++x, p += 3) {
            const Bgr &c = m[x] ? whereSet : whereClear;
            p[0] = c.b;
            p[1] = c.g;
            p[2] = c.r;
        }
    }
    return true;
}

void AlignCutOutColumns(int bitCount, int64_t &left, int64_t &right) {
    const int64_t step = bitCount == 1 ? 8 : (bitCount == 4 ? 2 : 1);
    left = FloorTo(left, step);
    right = -FloorTo(-right, step);
}

bool CutOutRows(const PixelView &src, const IntRect &r, const PixelView &dst) {
    if (!IsUsableView(src) || !IsUsableView(dst) || src.bitCount != dst.bitCount ||
        !IsDecodableBitCount(src.bitCount)) {
        return false;
    }
    const int bits = src.bitCount;
    // Pixel columns of r inside the source, and where they land in dst.
    const int64_t from = std::max<int64_t>(r.left, 0);
    const int64_t to = std::min<int64_t>({r.right, src.width, r.left + dst.width});
    for (int k = 0; k < dst.height; ++k) {
        const int64_t sy = r.top + k;
        if (sy < 0 || sy >= src.height || from >= to) continue;
        // Whole bytes: the columns of 1- and 4-bit pictures are aligned by
        // AlignCutOutColumns.  The last byte of a row may be partial; it
        // lies inside the row's packed bytes.
        const size_t srcByte = static_cast<size_t>(from * bits / 8);
        const size_t endByte = static_cast<size_t>((to * bits + 7) / 8);
        if (endByte <= srcByte) continue;
        const size_t dstByte = static_cast<size_t>((from - r.left) * bits / 8);
        const size_t dstRowBytes = PackedRowBytes(dst.width, bits);
        if (dstByte >= dstRowBytes) continue;
        const size_t count = std::min(endByte - srcByte, dstRowBytes - dstByte);
        std::memcpy(dst.Row(k) + dstByte, src.Row(static_cast<int>(sy)) + srcByte, count);
    }
    return true;
}

bool CoverThroughMask1(const PixelView &dst, const PixelView &src, const PixelView &mask1) {
    if (!IsUsableView(dst) || !IsUsableView(src) || !IsUsableView(mask1) || dst.bitCount != 24 ||
        src.bitCount != 24 || mask1.bitCount != 1 || !SameSize(dst, src) || !SameSize(dst, mask1)) {
        return false;
    }
    for (int row = 0; row < dst.height; ++row) {
        uint8_t *d = MemRow(dst, row);
        const uint8_t *s = MemRow(src, row);
        const uint8_t *m = MemRow(mask1, row);
        for (int x = 0; x < dst.width; ++x) {
            if (IndexAt(m, x, 1)) std::memcpy(d + 3 * static_cast<size_t>(x), s + 3 * static_cast<size_t>(x), 3);
        }
    }
    return true;
}

std::optional<BlitSpan> ClipBlit(IntRect r, int sourceWidth, int sourceHeight, int destWidth, int destHeight) {
    if (r.left > r.right) std::swap(r.left, r.right);
    if (r.top > r.bottom) std::swap(r.top, r.bottom);
    // The source cannot give more than it has.
    const int64_t right = std::min<int64_t>(r.right, r.left + sourceWidth);
    const int64_t bottom = std::min<int64_t>(r.bottom, r.top + sourceHeight);
    const int64_t dx0 = std::max<int64_t>(r.left, 0), dy0 = std::max<int64_t>(r.top, 0);
    const int64_t dx1 = std::min<int64_t>(right, destWidth), dy1 = std::min<int64_t>(bottom, destHeight);
    if (dx0 >= dx1 || dy0 >= dy1) return std::nullopt;
    return BlitSpan{static_cast<int>(dx0 - r.left), static_cast<int>(dy0 - r.top), static_cast<int>(dx0),
                    static_cast<int>(dy0), static_cast<int>(dx1 - dx0), static_cast<int>(dy1 - dy0)};
}

bool BlendSpanThroughMask(const PixelView &dst, const PixelView &src, const PixelView &mask, const BlitSpan &span) {
    if (!IsUsableView(dst) || !IsUsableView(src) || !IsUsableView(mask) || dst.bitCount != 24 ||
        src.bitCount != 24 || !SameSize(src, mask) || (mask.bitCount != 1 && mask.bitCount != 8)) {
        return false;
    }
    if (span.width < 1 || span.height < 1 || span.sx < 0 || span.sy < 0 || span.dx < 0 || span.dy < 0 ||
        span.sx + span.width > src.width || span.sy + span.height > src.height ||
        span.dx + span.width > dst.width || span.dy + span.height > dst.height) {
        return false;
    }
    for (int k = 0; k < span.height; ++k) {
        uint8_t *d = dst.Row(span.dy + k) + 3 * static_cast<size_t>(span.dx);
        const uint8_t *s = src.Row(span.sy + k) + 3 * static_cast<size_t>(span.sx);
        const uint8_t *m = mask.Row(span.sy + k);
        for (int i = 0; i < span.width; ++i, d += 3, s += 3) {
            const int mx = span.sx + i;
            if (mask.bitCount == 1) {
                if (!IndexAt(m, mx, 1)) std::memcpy(d, s, 3);
                continue;
            }
            const int coverage = std::min<int>(m[mx], 128);  // above 128 would extrapolate and wrap
            for (int c = 0; c < 3; ++c) d[c] = static_cast<uint8_t>(d[c] + (s[c] - d[c]) * coverage / 128);
        }
    }
    return true;
}

}  // namespace dibwork
