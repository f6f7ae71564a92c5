#include "resample.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "pixel_rows.h"

namespace dibwork {
namespace {

bool ColourKernelViews(const PixelView &src, const PixelView &dst) {
    return IsUsableView(src) && IsUsableView(dst) && dst.bitCount == 24 &&
           IsDecodableBitCount(src.bitCount);
}

inline uint8_t ClampByte(int v) { return static_cast<uint8_t>(v < 0 ? 0 : (v > 255 ? 255 : v)); }

// Arithmetic shift right by 13 written as floor division, so that the
// rounding of negative sums does not depend on the compiler.
inline int FloorShift13(int v) { return v >= 0 ? (v >> 13) : -((-v + 8191) >> 13); }

// One axis of the bilinear stretch: source index and 1/64 fraction for each
// destination index.
struct Taps {
    std::vector<int> index;
    std::vector<int> next;      // index + 1, or index itself at a 1-pixel edge
    std::vector<int> fraction;  // 0..63
};

Taps BilinearTaps(int sourceLength, int destLength) {
    Taps t;
    t.index.resize(static_cast<size_t>(destLength));
    t.next.resize(static_cast<size_t>(destLength));
    t.fraction.resize(static_cast<size_t>(destLength));
    const int64_t steps = std::max(destLength, 2) - 1;
    const int64_t span = 64 * static_cast<int64_t>(sourceLength) - 64;
    const int64_t maxPos = 64 * static_cast<int64_t>(sourceLength) - 65;
    for (int i = 0; i < destLength; ++i) {
        int64_t pos = i * span / steps;
        pos = std::max<int64_t>(0, std::min(pos, maxPos));
        const auto idx = static_cast<int>(pos >> 6);
        t.index[static_cast<size_t>(i)] = idx;
        t.next[static_cast<size_t>(i)] = std::min(idx + 1, sourceLength - 1);
        t.fraction[static_cast<size_t>(i)] = static_cast<int>(pos & 63);
    }
    return t;
}

// The thumbnail sampling: pos = i * 64 * sourceLength / destLength.
Taps ShrinkTaps(int sourceLength, int destLength) {
    Taps t;
    t.index.resize(static_cast<size_t>(destLength));
    t.next.resize(static_cast<size_t>(destLength));
    t.fraction.resize(static_cast<size_t>(destLength));
    for (int i = 0; i < destLength; ++i) {
        const int64_t pos = i * 64 * static_cast<int64_t>(sourceLength) / destLength;
        const auto idx = std::min(static_cast<int>(pos >> 6), sourceLength - 1);
        t.index[static_cast<size_t>(i)] = idx;
        t.next[static_cast<size_t>(i)] = std::min(idx + 1, sourceLength - 1);
        t.fraction[static_cast<size_t>(i)] = static_cast<int>(pos & 63);
    }
    return t;
}

// One destination column of a bilinear pass: byte offsets of its two
// source pixels and the 1/64 fraction between them.
struct ColumnTap {
    uint32_t p0, p1;
    int fx;
};

std::vector<ColumnTap> ColumnTaps(const Taps &cols, int width) {
    std::vector<ColumnTap> taps(static_cast<size_t>(width));
    for (size_t i = 0; i < taps.size(); ++i) {
        taps[i] = {static_cast<uint32_t>(cols.index[i]) * 3, static_cast<uint32_t>(cols.next[i]) * 3, cols.fraction[i]};
    }
    return taps;
}

// Blends rows a and b (24-bit) into out at the given column taps.
void BlendRows(const uint8_t *a, const uint8_t *b, int fy, const std::vector<ColumnTap> &cols, uint8_t *out) {
    for (const ColumnTap &t : cols) {
        if (t.fx == 0) {
            // On a source column (every column when only the rows change
            // size): no horizontal blend.
            for (int c = 0; c < 3; ++c, ++out) *out = static_cast<uint8_t>((a[t.p0 + c] * (64 - fy) + b[t.p0 + c] * fy) / 64);
            continue;
        }
        for (int c = 0; c < 3; ++c, ++out) {
            const int f0 = a[t.p0 + c], f1 = a[t.p1 + c];
            const int g0 = b[t.p0 + c], g1 = b[t.p1 + c];
            const int top = f0 + (f1 - f0) * t.fx / 64;
            const int bottom = g0 + (g1 - g0) * t.fx / 64;
            *out = static_cast<uint8_t>((top * (64 - fy) + bottom * fy) / 64);
        }
    }
}

void BlendWithTaps(const PixelView &src, const PixelView &dst, const Taps &rows, const Taps &cols) {
    BgrRows source(src, 2);
    const std::vector<ColumnTap> columns = ColumnTaps(cols, dst.width);
    for (int j = 0; j < dst.height; ++j) {
        const uint8_t *a = source.Row(rows.index[static_cast<size_t>(j)]);
        const uint8_t *b = source.Row(rows.next[static_cast<size_t>(j)]);
        BlendRows(a, b, rows.fraction[static_cast<size_t>(j)], columns, MemRow(dst, j));
    }
}

// One axis of the area-averaging kernel: the (at most two) destination
// cells a source cell falls into, with their weights in 1/64.
struct AreaSplit {
    int first, firstWeight;
    int second, secondWeight;  // secondWeight 0: no second cell
};

// Positions are in 1/64 destination pixels; a source cell is never wider
// than a destination cell here, so every weight is 0..64.
AreaSplit MakeSplit(int64_t p0, int64_t p1, bool single) {
    if (single) return {static_cast<int>(p0 / 64), static_cast<int>(p1 - p0), 0, 0};
    return {static_cast<int>(p0 / 64), static_cast<int>(64 * (p1 / 64) - p0), static_cast<int>(p1 / 64),
            static_cast<int>(p1 % 64)};
}

AreaSplit SplitColumn(int u, int sourceLength, int destLength) {
    const int64_t scale = 64 * static_cast<int64_t>(destLength);
    const int64_t x0 = u * scale / sourceLength;
    const int64_t x1 = (u + 1) * scale / sourceLength;
    return MakeSplit(x0, x1, x0 / 64 == (x1 - 1) / 64);
}

AreaSplit SplitRow(int v, int sourceLength, int destLength) {
    const int64_t scale = 64 * static_cast<int64_t>(destLength);
    const int64_t y0 = v * scale / sourceLength;
    const int64_t y1 = (v + 1) * scale / sourceLength;
    return MakeSplit(y0, y1, y0 / 64 == y1 / 64 || y1 / 64 == destLength);
}

// Adds one weighted source pixel to a destination pixel, saturating.
inline void AddArea(uint8_t *d, const uint8_t *s, int weight) {
    for (int c = 0; c < 3; ++c) {
        const int add = (s[c] * weight + 2049) / 4096;
        d[c] = static_cast<uint8_t>(std::min(255, d[c] + add));
    }
}

// Quadratic weights of a fraction f (0..63); they sum to 8192.
struct QuadWeights {
    int w0, w1, w2;
};

QuadWeights Quad(int f) { return {(f - 64) * (f - 128), -2 * f * (f - 128), f * (f - 64)}; }

struct QuadTap {
    int index;  // first of three samples
    QuadWeights w;
};

std::vector<QuadTap> QuadTaps(int sourceLength, int destLength) {
    std::vector<QuadTap> taps(static_cast<size_t>(destLength));
    const int64_t maxPos = 64 * static_cast<int64_t>(sourceLength) - 191;
    for (int i = 0; i < destLength; ++i) {
        int64_t pos = i * 64 * static_cast<int64_t>(sourceLength) / destLength;
        pos = std::max<int64_t>(0, std::min(pos, maxPos));
        taps[static_cast<size_t>(i)] = {static_cast<int>(pos >> 6), Quad(static_cast<int>(pos & 63))};
    }
    return taps;
}

// (sum + count / 2) / count for 0 <= sum <= 255 count, by one multiplication
// instead of a division.  With m = floor(2^32 / count) + 1 = (2^32 + e) / count,
// 0 < e <= count, the product n m / 2^32 exceeds n / count by n e / (count 2^32),
// which stays below 1 / count (so the floor is unchanged) while n e < 2^32; for
// n < 256 count that holds whenever count < 4096.
class RoundedDivider {
public:
    static constexpr uint64_t kLimit = 4096;
    // For count 1 the multiplier would be 2^32 + 1: the sum is the mean.
    explicit RoundedDivider(uint32_t count)
        : half_(count / 2), multiplier_(count > 1 ? static_cast<uint32_t>((uint64_t{1} << 32) / count + 1) : 0) {}
    uint8_t operator()(uint32_t sum) const {
        if (multiplier_ == 0) return static_cast<uint8_t>(sum);
        return static_cast<uint8_t>((uint64_t{sum + half_} * multiplier_) >> 32);
    }

private:
    uint32_t half_;
    uint32_t multiplier_;
};

// Adds the channels of `width` blocks of KX pixels of one row to `sums`
// (blue, green, red per block).
template <int KX>
void AddBlockRow(const uint8_t *p, uint32_t *sums, int width) {
    for (int x = 0; x < width; ++x, sums += 3, p += 3 * KX) {
        uint32_t b = 0, g = 0, r = 0;
        for (int u = 0; u < KX; ++u) {
            b += p[3 * u];
            g += p[3 * u + 1];
            r += p[3 * u + 2];
        }
        sums[0] += b;
        sums[1] += g;
        sums[2] += r;
    }
}

void AddBlockRowAny(const uint8_t *p, uint32_t *sums, int width, int kx) {
    const size_t blockBytes = static_cast<size_t>(kx) * 3;
    for (int x = 0; x < width; ++x, sums += 3, p += blockBytes) {
        uint32_t b = 0, g = 0, r = 0;
        for (const uint8_t *q = p; q != p + blockBytes; q += 3) {
            b += q[0];
            g += q[1];
            r += q[2];
        }
        sums[0] += b;
        sums[1] += g;
        sums[2] += r;
    }
}

// The box average for blocks of 4096 pixels or more (pictures over a
// thousand times larger than the result): 64-bit sums and true divisions.
bool BoxAverageWide(const PixelView &src, const PixelView &dst, int kx, int ky) {
    const uint64_t count = static_cast<uint64_t>(kx) * static_cast<uint64_t>(ky);
    std::vector<uint64_t> sums(static_cast<size_t>(dst.width) * 3);
    BgrRows source(src, 1);
    for (int y = 0; y < dst.height; ++y) {
        std::fill(sums.begin(), sums.end(), 0);
        for (int v = 0; v < ky; ++v) {
            const uint8_t *row = source.Row(y * ky + v);
            for (int x = 0; x < dst.width; ++x) {
                const uint8_t *p = row + static_cast<size_t>(x) * static_cast<size_t>(kx) * 3;
                uint64_t *s = &sums[static_cast<size_t>(x) * 3];
                for (int u = 0; u < kx; ++u, p += 3) {
                    s[0] += p[0];
                    s[1] += p[1];
                    s[2] += p[2];
                }
            }
        }
        uint8_t *out = MemRow(dst, y);
        for (size_t i = 0; i < sums.size(); ++i) {
            out[i] = static_cast<uint8_t>((sums[i] + count / 2) / count);
        }
    }
    return true;
}

}  // namespace

bool BilinearTo24(const PixelView &src, const PixelView &dst) {
    if (!ColourKernelViews(src, dst)) return false;
    BlendWithTaps(src, dst, BilinearTaps(src.height, dst.height), BilinearTaps(src.width, dst.width));
    return true;
}

bool ShrinkBilinearTo24(const PixelView &src, const PixelView &dst) {
    if (!ColourKernelViews(src, dst)) return false;
    BlendWithTaps(src, dst, ShrinkTaps(src.height, dst.height), ShrinkTaps(src.width, dst.width));
    return true;
}

bool BoxAverageTo24(const PixelView &src, const PixelView &dst) {
    if (!ColourKernelViews(src, dst) || dst.width > src.width || dst.height > src.height) return false;
    const int kx = std::max(1, src.width / dst.width);
    const int ky = std::max(1, src.height / dst.height);
    const uint64_t count = static_cast<uint64_t>(kx) * static_cast<uint64_t>(ky);
    if (count >= RoundedDivider::kLimit) return BoxAverageWide(src, dst, kx, ky);
    // Sums of fewer than 4096 bytes stay below 2^20.
    const RoundedDivider divide(static_cast<uint32_t>(count));
    std::vector<uint32_t> sums(static_cast<size_t>(dst.width) * 3);
    BgrRows source(src, 1);
    for (int y = 0; y < dst.height; ++y) {
        std::fill(sums.begin(), sums.end(), 0u);
        for (int v = 0; v < ky; ++v) {
            const uint8_t *p = source.Row(y * ky + v);
            // The small factors of the export sizes get loops of fixed length.
            switch (kx) {
                case 1: AddBlockRow<1>(p, sums.data(), dst.width); break;
                case 2: AddBlockRow<2>(p, sums.data(), dst.width); break;
                case 3: AddBlockRow<3>(p, sums.data(), dst.width); break;
                case 4: AddBlockRow<4>(p, sums.data(), dst.width); break;
                default: AddBlockRowAny(p, sums.data(), dst.width, kx);
            }
        }
        uint8_t *out = MemRow(dst, y);
        for (size_t i = 0; i < sums.size(); ++i) out[i] = divide(sums[i]);
    }
    return true;
}

bool AreaAverageTo24(const PixelView &src, const PixelView &dst) {
    if (!ColourKernelViews(src, dst) || dst.width > src.width || dst.height > src.height) return false;
    for (int y = 0; y < dst.height; ++y) std::memset(MemRow(dst, y), 0, static_cast<size_t>(dst.width) * 3);

    std::vector<AreaSplit> columns(static_cast<size_t>(src.width));
    for (int u = 0; u < src.width; ++u) columns[static_cast<size_t>(u)] = SplitColumn(u, src.width, dst.width);

    BgrRows source(src, 1);
    for (int v = 0; v < src.height; ++v) {
        const AreaSplit r = SplitRow(v, src.height, dst.height);
        const uint8_t *row = source.Row(v);
        const int rowCells[2] = {r.first, r.second};
        const int rowWeights[2] = {r.firstWeight, r.secondWeight};
        for (int k = 0; k < 2; ++k) {
            if (rowWeights[k] <= 0) continue;
            uint8_t *out = MemRow(dst, rowCells[k]);
            for (int u = 0; u < src.width; ++u) {
                const AreaSplit &c = columns[static_cast<size_t>(u)];
                const uint8_t *s = row + static_cast<size_t>(u) * 3;
                if (c.firstWeight > 0) AddArea(out + static_cast<size_t>(c.first) * 3, s, c.firstWeight * rowWeights[k]);
                if (c.secondWeight > 0) AddArea(out + static_cast<size_t>(c.second) * 3, s, c.secondWeight * rowWeights[k]);
            }
        }
    }
    return true;
}

bool QuadraticTo24(const PixelView &src, const PixelView &dst) {
    if (!ColourKernelViews(src, dst)) return false;
    if (src.width < 3 || src.height < 3) return BilinearTo24(src, dst);

    const std::vector<QuadTap> cols = QuadTaps(src.width, dst.width);
    const std::vector<QuadTap> rows = QuadTaps(src.height, dst.height);
    BgrRows source(src, 3);
    for (int j = 0; j < dst.height; ++j) {
        const QuadTap &r = rows[static_cast<size_t>(j)];
        const uint8_t *line[3] = {source.Row(r.index), source.Row(r.index + 1), source.Row(r.index + 2)};
        uint8_t *out = MemRow(dst, j);
        for (int i = 0; i < dst.width; ++i, out += 3) {
            const QuadTap &c = cols[static_cast<size_t>(i)];
            const size_t p = static_cast<size_t>(c.index) * 3;
            for (int ch = 0; ch < 3; ++ch) {
                int h[3];
                for (int k = 0; k < 3; ++k) {
                    const uint8_t *s = line[k] + p + ch;
                    h[k] = ClampByte(FloorShift13(c.w.w0 * s[0] + c.w.w1 * s[3] + c.w.w2 * s[6]));
                }
                out[ch] = ClampByte(FloorShift13(r.w.w0 * h[0] + r.w.w1 * h[1] + r.w.w2 * h[2]));
            }
        }
    }
    return true;
}

bool SampleNearestIndexed(const PixelView &src, const PixelView &dst) {
    if (!IsUsableView(src) || !IsUsableView(dst) || src.bitCount != dst.bitCount) return false;
    if (src.bitCount != 1 && src.bitCount != 4 && src.bitCount != 8) return false;
    for (int y = 0; y < dst.height; ++y) {
        const auto sy = static_cast<int>(static_cast<int64_t>(y) * src.height / dst.height);
        const uint8_t *in = MemRow(src, sy);
        uint8_t *out = MemRow(dst, y);
        std::memset(out, 0, PackedRowBytes(dst.width, dst.bitCount));
        for (int x = 0; x < dst.width; ++x) {
            const auto sx = static_cast<int>(static_cast<int64_t>(x) * src.width / dst.width);
            SetIndexAt(out, x, dst.bitCount, IndexAt(in, sx, src.bitCount));
        }
    }
    return true;
}

bool TileRows(const PixelView &src, const PixelView &dst) {
    if (!IsUsableView(src) || !IsUsableView(dst) || src.bitCount != dst.bitCount) return false;
    const int bits = src.bitCount;
    if (bits % 8 != 0 && bits != 1 && bits != 4) return false;
    for (int y = 0; y < dst.height; ++y) {
        const uint8_t *in = MemRow(src, y % src.height);
        uint8_t *out = MemRow(dst, y);
        if (bits % 8 == 0) {
            const size_t pixelBytes = static_cast<size_t>(bits / 8);
            const size_t tile = static_cast<size_t>(src.width) * pixelBytes;
            const size_t total = static_cast<size_t>(dst.width) * pixelBytes;
            for (size_t at = 0; at < total; at += tile) std::memcpy(out + at, in, std::min(tile, total - at));
        } else {
            for (int x = 0; x < dst.width; ++x) SetIndexAt(out, x, bits, IndexAt(in, x % src.width, bits));
        }
    }
    return true;
}

TriStretchPlan PlanTriStretch(int sw, int sh, int dw, int dh) {
    TriStretchPlan plan;
    if (sw == dw && sh == dh) return plan;
    if (dw <= sw && dh <= sh) {
        plan.kx = static_cast<int>(std::max<int64_t>(1, (int64_t{sw} + dw / 4) / dw));
        plan.ky = static_cast<int>(std::max<int64_t>(1, (int64_t{sh} + dh / 4) / dh));
        plan.iw = sw / plan.kx;
        plan.ih = sh / plan.ky;
        plan.method = (plan.iw < sw || plan.ih < sh) ? TriStretchMethod::kBoxThenBilinear
                                                      : TriStretchMethod::kAreaAverage;
        return plan;
    }
    plan.method = TriStretchMethod::kQuadratic;
    return plan;
}

}  // namespace dibwork
