#include "rotate.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "pixel_rows.h"

namespace dibwork {
namespace {

bool IsTurnableBitCount(int bits) { return bits == 1 || bits == 4 || bits == 8 || bits == 24; }

bool TurnViews(const PixelView &src, const PixelView &dst, int dstWidth, int dstHeight) {
    return IsUsableView(src) && IsUsableView(dst) && src.bitCount == dst.bitCount &&
           IsTurnableBitCount(src.bitCount) && dst.width == dstWidth && dst.height == dstHeight;
}

void ClearRows(const PixelView &v) {
    for (int row = 0; row < v.height; ++row) std::memset(MemRow(v, row), 0, v.stride);
}

// Moves one pixel of any turnable format from (sx, sy) to (dx, dy), y from
// the top.  Sub-byte pixels go into cleared destination rows.
inline void MovePixel(const PixelView &src, int sx, int sy, const PixelView &dst, int dx, int dy) {
    if (src.bitCount == 24) {
        std::memcpy(dst.Row(dy) + 3 * static_cast<size_t>(dx), src.Row(sy) + 3 * static_cast<size_t>(sx), 3);
    } else {
        SetIndexAt(dst.Row(dy), dx, dst.bitCount, IndexAt(src.Row(sy), sx, src.bitCount));
    }
}

// floor(v / 4096) for negative v too.
inline int64_t FloorDiv4096(int64_t v) { return v >= 0 ? v >> 12 : -((-v + 4095) >> 12); }

int64_t CeilExtent(std::initializer_list<int64_t> values) {
    const auto [lo, hi] = std::minmax(values);
    return (hi - lo + 4095) / 4096;
}

void BlendPixel(const uint8_t *row0, const uint8_t *row1, int64_t px, int fx, int fy, uint8_t *out) {
    const uint8_t *a = row0 + 3 * px, *b = row1 + 3 * px;
    for (int c = 0; c < 3; ++c) {
        const int f0 = a[c], f1 = a[c + 3], g0 = b[c], g1 = b[c + 3];
        const int top = f0 + (f1 - f0) * fx / 64;
        const int bottom = g0 + (g1 - g0) * fx / 64;
        out[c] = static_cast<uint8_t>((top * (64 - fy) + bottom * fy) / 64);
    }
}

}  // namespace

int NormaliseDegrees(int32_t angle) {
    const int64_t a = angle;
    return static_cast<int>(((a % 360) + 360) % 360);
}

bool QuarterTurnRight(const PixelView &src, const PixelView &dst) {
    if (!TurnViews(src, dst, src.height, src.width)) return false;
    ClearRows(dst);
    for (int y = 0; y < src.height; ++y)
        for (int x = 0; x < src.width; ++x) MovePixel(src, x, y, dst, src.height - 1 - y, x);
    return true;
}

bool QuarterTurnLeft(const PixelView &src, const PixelView &dst) {
    if (!TurnViews(src, dst, src.height, src.width)) return false;
    ClearRows(dst);
    for (int y = 0; y < src.height; ++y)
        for (int x = 0; x < src.width; ++x) MovePixel(src, x, y, dst, y, src.width - 1 - x);
    return true;
}

bool HalfTurn(const PixelView &src, const PixelView &dst) {
    if (!TurnViews(src, dst, src.width, src.height)) return false;
    ClearRows(dst);
    for (int y = 0; y < src.height; ++y)
        for (int x = 0; x < src.width; ++x) MovePixel(src, x, y, dst, src.width - 1 - x, src.height - 1 - y);
    return true;
}

FreeRotation PlanFreeRotation(int degrees, int width, int height) {
    const double radians = degrees * 0.01745329251994;
    FreeRotation p{};
    p.sn = static_cast<int>(std::sin(radians) * 4096);
    p.cs = static_cast<int>(std::cos(radians) * 4096);
    const int64_t w = width, h = height;
    p.width = CeilExtent({0, w * p.cs, -h * p.sn, w * p.cs - h * p.sn});
    p.height = CeilExtent({0, w * p.sn, h * p.cs, w * p.sn + h * p.cs});
    return p;
}

bool FreeRotate(const PixelView &src, const PixelView &dst, const FreeRotation &plan) {
    if (!IsUsableView(src) || !IsUsableView(dst) || src.bitCount != dst.bitCount ||
        !IsTurnableBitCount(src.bitCount) || dst.width != plan.width || dst.height != plan.height) {
        return false;
    }
    const int64_t w = src.width, h = src.height, cs = plan.cs, sn = plan.sn;
    const int64_t halfW = dst.width / 2, halfH = dst.height / 2;
    const bool wide = src.bitCount == 24;
    for (int j = 0; j < dst.height; ++j) {
        // Column 0 of row j; each column adds CS to X and SN to Y.
        int64_t x = (w / 2) * 4096 - halfW * cs - (j - halfH) * sn + 2048;
        int64_t y = (h / 2) * 4096 - halfW * sn + (j - halfH) * cs + 2048;
        uint8_t *out = MemRow(dst, j);
        for (int i = 0; i < dst.width; ++i, x += cs, y += sn) {
            const int64_t px = FloorDiv4096(x), py = FloorDiv4096(y);
            if (wide) {
                if (px < 0 || px >= w - 1 || py < 0 || py >= h - 1) continue;
                BlendPixel(MemRow(src, static_cast<int>(py)), MemRow(src, static_cast<int>(py) + 1), px,
                           static_cast<int>((x >> 6) & 63), static_cast<int>((y >> 6) & 63),
                           out + 3 * static_cast<size_t>(i));
            } else {
                if (px < 0 || px >= w || py < 0 || py >= h) continue;
                SetIndexAt(out, i, src.bitCount,
                           IndexAt(MemRow(src, static_cast<int>(py)), static_cast<int>(px), src.bitCount));
            }
        }
    }
    return true;
}

}  // namespace dibwork
