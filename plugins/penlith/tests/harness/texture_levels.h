// The grey levels of one of Penlith's textures as its brushes get them
// (side x side bytes, bottom row first), for tests that replay a mask or a
// grain rule: under Wine the bitmap resource of Penlith.brs loaded as a DIB
// section, in the sanitizer build the plug-in's own texture reader.  Empty
// when the texture cannot be had.  TurnedTexture replays the turning and
// scaling of a 128 x 128 texture into a tip mask from the formula.
#pragma once

#include <cmath>
#include <cstdint>
#include <vector>

#ifdef _WIN32
#include <windows.h>

#include "test_support.h"
#else
#include "brush_textures.h"
#endif

namespace penlith_test {

inline std::vector<uint8_t> TextureLevels(int id) {
    const int side = id >= 200 ? 64 : 128;
    std::vector<uint8_t> levels;
#ifdef _WIN32
    static const HMODULE module = pintora_test::LoadProductLibrary(L"Penlith.brs");
    if (!module) return levels;
    auto bitmap = static_cast<HBITMAP>(LoadImageA(module, MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0,
                                                  LR_CREATEDIBSECTION));
    DIBSECTION section{};
    if (bitmap && GetObjectA(bitmap, sizeof section, &section) == sizeof section &&
        section.dsBmih.biBitCount == 8 && section.dsBm.bmWidthBytes == side && section.dsBmih.biHeight == side &&
        section.dsBm.bmBits) {
        const auto *bits = static_cast<const uint8_t *>(section.dsBm.bmBits);
        levels.assign(bits, bits + side * side);
    }
    if (bitmap) DeleteObject(bitmap);
#else
    penlith::TextureBits texture;
    if (penlith::LoadTexture(id, &texture) && texture.side == side) {
        levels.assign(texture.bits, texture.bits + side * side);
    }
    penlith::ReleaseTexture(&texture);
#endif
    return levels;
}

// A 128 x 128 texture turned by `angle` degrees and scaled to size x size
// at `gain`, written out as the formula reads (doubles for the fixed-point
// floors); the bytes whose source cell leaves the texture stay 0.
inline std::vector<uint8_t> TurnedTexture(const std::vector<uint8_t> &src, int size, int gain, int angle) {
    const int sw = 128, sh = 128, dw = size, dh = size;
    std::vector<uint8_t> dst(static_cast<size_t>(size) * size);
    const double theta = angle * 0.01745329251994;
    const long long a = static_cast<long long>(64.0 * sw * std::sin(theta) / dw);
    const long long b = static_cast<long long>(64.0 * sh * std::cos(theta) / dh);
    for (int r = 0; r < dh; ++r) {
        for (int c = 0; c < dw; ++c) {
            const long long u = b * (c + 1 - dw / 2) - a * (r - dh / 2) + 32;
            const long long v = a * (c + 1 - dw / 2) + b * (r - dh / 2) + 32;
            const auto fx = static_cast<long long>(std::floor(u / 64.0));
            const auto fy = static_cast<long long>(std::floor(v / 64.0));
            const long long sx = sw / 2 + fx, sy = sh / 2 + fy;
            const int fu = static_cast<int>(u - 64 * fx), fv = static_cast<int>(v - 64 * fy);
            if (sx < 0 || sx >= sw - 1 || sy < 0 || sy >= sh - 1) continue;
            auto at = [&](long long x, long long y) { return static_cast<int>(src[y * sw + x]); };
            const int top = at(sx, sy) + (at(sx + 1, sy) - at(sx, sy)) * fu / 64;
            const int bottom = at(sx, sy + 1) + (at(sx + 1, sy + 1) - at(sx, sy + 1)) * fu / 64;
            dst[r * dw + c] = static_cast<uint8_t>((bottom * fv + top * (64 - fv)) / 64 * gain / 255);
        }
    }
    return dst;
}

}  // namespace penlith_test
