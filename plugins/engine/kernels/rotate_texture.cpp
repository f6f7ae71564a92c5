// RotateTexture: a grey texture turned and scaled into a tip mask, in 1/64
// pixel fixed point with bilinear sampling.
//
// For destination pixel (c, r) the source position, in 64ths of a source
// pixel from the texture's centre, is
//     u = B (c + 1 - dw/2) - A (r - dh/2) + 32
//     v = A (c + 1 - dw/2) + B (r - dh/2) + 32
// with A = trunc(64 sw sin(angle) / dw) and B = trunc(64 sh cos(angle) / dh).
// The source cell is (sw/2 + floor(u/64), sh/2 + floor(v/64)) and its
// fraction (u mod 64, v mod 64).  A cell without a right or lower
// neighbour inside the texture leaves the destination byte as it was, so
// masks keep what the caller put there (zero for fresh masks).
#include <cmath>

#include "brush_engine.h"

namespace brush {

int RotateTexture(const uint8_t *src, int32_t sw, int32_t sh, uint8_t *dst, int32_t dw, int32_t dh, int32_t gain,
                  int32_t angle) {
    if (!src || !dst || sw < 1 || sh < 1 || dw < 1 || dh < 1) return 0;
    if (gain < 0) gain = 0;
    if (gain > 255) gain = 255;  // a mask byte never exceeds the texture's level
    const double theta = static_cast<double>(angle) * 0.01745329251994;
    const auto a = static_cast<int64_t>(64.0 * sw * std::sin(theta) / dw);
    const auto b = static_cast<int64_t>(64.0 * sh * std::cos(theta) / dh);
    const int64_t halfSw = sw / 2, halfSh = sh / 2;
    for (int32_t r = 0; r < dh; ++r) {
        const int64_t dy = static_cast<int64_t>(r) - dh / 2;
        // u and v at column 0; each further column adds b to u and a to v.
        int64_t u = b * (1 - dw / 2) - a * dy + 32;
        int64_t v = a * (1 - dw / 2) + b * dy + 32;
        uint8_t *out = dst + static_cast<size_t>(r) * static_cast<size_t>(dw);
        for (int32_t c = 0; c < dw; ++c, u += b, v += a) {
            const int64_t sx = halfSw + (u >> 6);  // arithmetic shift: floor
            const int64_t sy = halfSh + (v >> 6);
            if (sx < 0 || sx >= sw - 1 || sy < 0 || sy >= sh - 1) continue;
            const auto fu = static_cast<int32_t>(u & 63), fv = static_cast<int32_t>(v & 63);
            const uint8_t *p = src + static_cast<size_t>(sy) * static_cast<size_t>(sw) + static_cast<size_t>(sx);
            const int32_t s00 = p[0], s10 = p[1], s01 = p[sw], s11 = p[sw + 1];
            const int32_t top = s00 + (s10 - s00) * fu / 64;
            const int32_t bottom = s01 + (s11 - s01) * fu / 64;
            const int32_t value = (bottom * fv + top * (64 - fv)) / 64;
            out[c] = static_cast<uint8_t>(value * gain / 255);
        }
    }
    return 1;
}

}  // namespace brush
