#include "fit.h"

#include <algorithm>
#include <cstdint>

namespace dibwork {

std::optional<FitSize> FitIntoBox(int sw, int sh, int bw, int bh) {
    if (sw < 1 || sh < 1 || bw < 1 || bh < 1) return std::nullopt;
    const int64_t w = sw, h = sh, boxW = bw, boxH = bh;
    if (w * boxH > h * boxW) return FitSize{bw, static_cast<int>(std::max<int64_t>(1, h * boxW / w))};
    return FitSize{static_cast<int>(std::max<int64_t>(1, w * boxH / h)), bh};
}

FitPlacement FitIntoClient(int pw, int ph, int cw, int ch) {
    const int64_t w = pw, h = ph, clientW = cw, clientH = ch;
    if (pw > 0 && ph > 0 && pw < cw && ph < ch) {
        if (h * clientW > clientH * w) {
            const auto width = static_cast<int>(w * clientH / h);
            return {(cw - width) / 2, 0, width, ch};
        }
        const auto height = static_cast<int>(h * clientW / w);
        return {0, (ch - height) / 2, cw, height};
    }
    return {pw < cw ? (cw - pw) / 2 : 0, ph < ch ? (ch - ph) / 2 : 0, pw, ph};
}

}  // namespace dibwork
