#include "resample.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include <emmintrin.h>

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

// out[i] = (a[i] (64 - fy) + b[i] fy) / 64 for n bytes, 16 at a time.
void BlendBytes(const uint8_t *a, const uint8_t *b, int fy, size_t n, uint8_t *out) {
    if (fy == 0) {
        std::memcpy(out, a, n);
        return;
    }
    const __m128i zero = _mm_setzero_si128();
    const __m128i wa = _mm_set1_epi16(static_cast<short>(64 - fy));
    const __m128i wb = _mm_set1_epi16(static_cast<short>(fy));
    size_t i = 0;
    for (; i + 16 <= n; i += 16) {
        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i *>(a + i));
        const __m128i y = _mm_loadu_si128(reinterpret_cast<const __m128i *>(b + i));
        // At most 255 * 64: the 16-bit lanes hold every sum.
        const __m128i lo = _mm_add_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(x, zero), wa),
                                         _mm_mullo_epi16(_mm_unpacklo_epi8(y, zero), wb));
        const __m128i hi = _mm_add_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(x, zero), wa),
                                         _mm_mullo_epi16(_mm_unpackhi_epi8(y, zero), wb));
        _mm_storeu_si128(reinterpret_cast<__m128i *>(out + i),
                         _mm_packus_epi16(_mm_srli_epi16(lo, 6), _mm_srli_epi16(hi, 6)));
    }
    for (; i < n; ++i) out[i] = static_cast<uint8_t>((a[i] * (64 - fy) + b[i] * fy) / 64);
}

// The destination columns of a bilinear pass, in runs: a run of columns
// that fall on consecutive source columns (fraction 0) blends whole byte
// ranges of the two rows; any other column is blended on its own.
struct ColumnRun {
    int first, count;  // destination columns
    bool straight;     // on consecutive source columns
};

std::vector<ColumnRun> ColumnRuns(const std::vector<ColumnTap> &cols) {
    std::vector<ColumnRun> runs;
    for (int i = 0; i < static_cast<int>(cols.size());) {
        int j = i + 1;
        if (cols[static_cast<size_t>(i)].fx == 0) {
            while (j < static_cast<int>(cols.size()) && cols[static_cast<size_t>(j)].fx == 0 &&
                   cols[static_cast<size_t>(j)].p0 == cols[static_cast<size_t>(j) - 1].p0 + 3)
                ++j;
        }
        runs.push_back({i, j - i, cols[static_cast<size_t>(i)].fx == 0});
        i = j;
    }
    return runs;
}

// Blends rows a and b (24-bit) into out at the given column taps.
void BlendRows(const uint8_t *a, const uint8_t *b, int fy, const std::vector<ColumnTap> &cols,
               const std::vector<ColumnRun> &runs, uint8_t *out) {
    for (const ColumnRun &run : runs) {
        const ColumnTap &t = cols[static_cast<size_t>(run.first)];
        uint8_t *o = out + static_cast<size_t>(run.first) * 3;
        if (run.straight) {
            // On source columns (every column when only the rows change
            // size): no horizontal blend.
            BlendBytes(a + t.p0, b + t.p0, fy, static_cast<size_t>(run.count) * 3, o);
            continue;
        }
        for (int c = 0; c < 3; ++c, ++o) {
            const int f0 = a[t.p0 + c], f1 = a[t.p1 + c];
            const int g0 = b[t.p0 + c], g1 = b[t.p1 + c];
            const int top = f0 + (f1 - f0) * t.fx / 64;
            const int bottom = g0 + (g1 - g0) * t.fx / 64;
            *o = static_cast<uint8_t>((top * (64 - fy) + bottom * fy) / 64);
        }
    }
}

// The bilinear pass over rows handed out by `source` (any object with
// const uint8_t *Row(int), the last two rows asked for staying valid).
template <typename RowSource>
void BlendWithTaps(RowSource &source, const PixelView &dst, const Taps &rows, const Taps &cols) {
    const std::vector<ColumnTap> columns = ColumnTaps(cols, dst.width);
    const std::vector<ColumnRun> runs = ColumnRuns(columns);
    for (int j = 0; j < dst.height; ++j) {
        const uint8_t *a = source.Row(rows.index[static_cast<size_t>(j)]);
        const uint8_t *b = source.Row(rows.next[static_cast<size_t>(j)]);
        BlendRows(a, b, rows.fraction[static_cast<size_t>(j)], columns, runs, MemRow(dst, j));
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

// The same rounded mean on eight 16-bit lanes: ((sum + half) m) >> (16 + s)
// with m = floor(2^(16+s) / count) + 1 below 2^16.  By the argument above it
// is exact while n e < 2^(16+s) for the largest n = 255 count + count / 2;
// Make picks the largest such s, or reports that there is none.
struct LaneDivider {
    __m128i half, multiplier, shift;
    static bool Make(uint32_t count, LaneDivider *out) {
        if (count < 2 || count > 256) return false;  // n must stay below 2^16
        const uint64_t largest = 255u * uint64_t{count} + count / 2;
        for (int s = 15; s >= 0; --s) {
            const uint64_t scale = uint64_t{1} << (16 + s);
            const uint64_t m = scale / count + 1;
            if (m > 0xFFFF || largest * (m * count - scale) >= scale) continue;
            out->half = _mm_set1_epi16(static_cast<short>(count / 2));
            out->multiplier = _mm_set1_epi16(static_cast<short>(m));
            out->shift = _mm_cvtsi32_si128(s);
            return true;
        }
        return false;
    }
    __m128i operator()(__m128i sums) const {
        return _mm_srl_epi16(_mm_mulhi_epu16(_mm_add_epi16(sums, half), multiplier), shift);
    }
};

// Makes the rows of the box average of a picture, kx x ky blocks with
// kx = max(1, sw / width), ky = max(1, sh / height), one at a time.
//
// For blocks of fewer than 4096 pixels and at most 257 rows (so that a
// column of ky bytes sums below 2^16) the ky source rows are first added
// column by column into 16-bit sums, 16 bytes at a time; the kx sums of a
// block are then added and divided, on eight lanes when kx <= 8 and the
// mean fits the 16-bit divider, else one block at a time.  Larger blocks
// use 64-bit sums and true divisions.
class BoxRows {
public:
    BoxRows(const PixelView &src, int width, int height)
        : source_(src, 1),
          width_(width),
          kx_(std::max(1, src.width / width)),
          ky_(std::max(1, src.height / height)),
          count_(static_cast<uint64_t>(kx_) * static_cast<uint64_t>(ky_)),
          divide_(count_ < RoundedDivider::kLimit ? static_cast<uint32_t>(count_) : 1),
          columns_(static_cast<size_t>(width) * static_cast<size_t>(kx_) * 3) {
        if (count_ >= RoundedDivider::kLimit || ky_ > 257) {
            wide_.resize(static_cast<size_t>(width) * 3);
            return;
        }
        lanes_ = kx_ <= 8 && LaneDivider::Make(static_cast<uint32_t>(count_), &lane_);
        if (lanes_) {
            static constexpr void (BoxRows::*kMeans[8])(uint8_t *) = {
                &BoxRows::MeansOnLanes<1>, &BoxRows::MeansOnLanes<2>, &BoxRows::MeansOnLanes<3>,
                &BoxRows::MeansOnLanes<4>, &BoxRows::MeansOnLanes<5>, &BoxRows::MeansOnLanes<6>,
                &BoxRows::MeansOnLanes<7>, &BoxRows::MeansOnLanes<8>};
            meansOnLanes_ = kMeans[kx_ - 1];
            means_.resize(columns_ + 16);
        }
        // Block sums on lanes read up to 3 (kx - 1) + 15 sums past the last
        // block: zeros there.
        sums_.assign(columns_ + 3 * static_cast<size_t>(kx_) + 16, 0);
        direct_ = src.bitCount == 24;
        if (direct_) rows_.resize(static_cast<size_t>(ky_));
    }

    // Writes the 3 width bytes of row y.
    void Make(int y, uint8_t *out) {
        if (!wide_.empty()) return MakeWide(y, out);
        AddColumns(y);
        if (lanes_) return (this->*meansOnLanes_)(out);
        const uint16_t *s = sums_.data();
        for (int x = 0; x < width_; ++x, out += 3, s += 3 * kx_) {
            uint32_t b = 0, g = 0, r = 0;
            for (int u = 0; u < 3 * kx_; u += 3) {
                b += s[u];
                g += s[u + 1];
                r += s[u + 2];
            }
            out[0] = divide_(b);
            out[1] = divide_(g);
            out[2] = divide_(r);
        }
    }

private:
    // sums_[i] = byte i of the ky rows of block row y, for the columns the
    // blocks cover.  A 24-bit picture's rows are at hand and are added up to
    // eight in one pass (more streams at once would outrun the prefetcher
    // on pictures larger than the cache); decoded rows come one at a time.
    void AddColumns(int y) {
        if (direct_) {
            constexpr int kRowsPerPass = 8;
            for (int v = 0; v < ky_; ++v) rows_[static_cast<size_t>(v)] = source_.Row(y * ky_ + v);
            for (int v = 0; v < ky_; v += kRowsPerPass) {
                AddRows(rows_.data() + v, std::min(kRowsPerPass, ky_ - v), v == 0);
            }
            return;
        }
        for (int v = 0; v < ky_; ++v) {
            const uint8_t *row = source_.Row(y * ky_ + v);
            AddRows(&row, 1, v == 0);
        }
    }

    // Adds `count` rows to the sums, or makes them the sums when `first`.
    void AddRows(const uint8_t *const *rows, int count, bool first) {
        const size_t n = columns_;
        const __m128i zero = _mm_setzero_si128();
        uint16_t *sums = sums_.data();
        size_t i = 0;
        for (; i + 16 <= n; i += 16) {
            __m128i *lo = reinterpret_cast<__m128i *>(sums + i);
            __m128i *hi = reinterpret_cast<__m128i *>(sums + i + 8);
            __m128i l = first ? zero : _mm_loadu_si128(lo);
            __m128i h = first ? zero : _mm_loadu_si128(hi);
            for (int r = 0; r < count; ++r) {
                const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i *>(rows[r] + i));
                l = _mm_add_epi16(l, _mm_unpacklo_epi8(bytes, zero));
                h = _mm_add_epi16(h, _mm_unpackhi_epi8(bytes, zero));
            }
            _mm_storeu_si128(lo, l);
            _mm_storeu_si128(hi, h);
        }
        for (; i < n; ++i) {
            unsigned sum = first ? 0 : sums[i];
            for (int r = 0; r < count; ++r) sum += rows[r][i];
            sums[i] = static_cast<uint16_t>(sum);
        }
    }

    // Lane i gets the mean of sums i, i + 3, ..., i + 3 (KX - 1); the lanes
    // that start a block (i mod 3 KX < 3) are the results.  KX is fixed so
    // that the additions unroll.
    template <int KX>
    void MeansOnLanes(uint8_t *out) {
        const uint16_t *sums = sums_.data();
        uint8_t *means = means_.data();
        const LaneDivider lane = lane_;
        auto blockSums = [sums](size_t i) {
            __m128i acc = _mm_loadu_si128(reinterpret_cast<const __m128i *>(sums + i));
            for (int u = 1; u < KX; ++u) {
                acc = _mm_add_epi16(acc, _mm_loadu_si128(reinterpret_cast<const __m128i *>(sums + i + 3 * u)));
            }
            return acc;
        };
        for (size_t i = 0; i < columns_; i += 16) {
            const __m128i bytes = _mm_packus_epi16(lane(blockSums(i)), lane(blockSums(i + 8)));
            _mm_storeu_si128(reinterpret_cast<__m128i *>(means + i), bytes);
        }
        if (KX == 1) {
            std::memcpy(out, means, columns_);
            return;
        }
        // Four bytes a pixel (the fourth is overwritten by the next pixel),
        // three for the last.
        for (int x = 0; x + 1 < width_; ++x, out += 3, means += 3 * KX) std::memcpy(out, means, 4);
        std::memcpy(out, means, 3);
    }

    void MakeWide(int y, uint8_t *out) {
        std::fill(wide_.begin(), wide_.end(), 0);
        for (int v = 0; v < ky_; ++v) {
            const uint8_t *row = source_.Row(y * ky_ + v);
            for (int x = 0; x < width_; ++x) {
                const uint8_t *p = row + static_cast<size_t>(x) * static_cast<size_t>(kx_) * 3;
                uint64_t *s = &wide_[static_cast<size_t>(x) * 3];
                for (int u = 0; u < kx_; ++u, p += 3) {
                    s[0] += p[0];
                    s[1] += p[1];
                    s[2] += p[2];
                }
            }
        }
        for (size_t i = 0; i < wide_.size(); ++i) out[i] = static_cast<uint8_t>((wide_[i] + count_ / 2) / count_);
    }

    BgrRows source_;
    int width_, kx_, ky_;
    uint64_t count_;
    RoundedDivider divide_;
    size_t columns_;  // bytes of a row the blocks cover
    bool lanes_ = false;
    void (BoxRows::*meansOnLanes_)(uint8_t *) = nullptr;
    bool direct_ = false;  // 24-bit source: rows read in place
    std::vector<const uint8_t *> rows_;
    LaneDivider lane_{};
    std::vector<uint16_t> sums_;
    std::vector<uint8_t> means_;
    std::vector<uint64_t> wide_;  // 64-bit sums of the large blocks
};

// The rows of a box average, each made when first asked for; the last two
// rows asked for stay valid (as BgrRows with two slots).
class BoxRowCache {
public:
    BoxRowCache(const PixelView &src, int width, int height)
        : box_(src, width, height), rowBytes_(static_cast<size_t>(width) * 3), buffer_(2 * rowBytes_) {}
    const uint8_t *Row(int y) {
        for (int k = 0; k < 2; ++k) {
            if (held_[k] == y) {
                last_ = k;
                return buffer_.data() + static_cast<size_t>(k) * rowBytes_;
            }
        }
        last_ = 1 - last_;
        uint8_t *out = buffer_.data() + static_cast<size_t>(last_) * rowBytes_;
        box_.Make(y, out);
        held_[last_] = y;
        return out;
    }

private:
    BoxRows box_;
    size_t rowBytes_;
    std::vector<uint8_t> buffer_;
    int held_[2] = {-1, -1};
    int last_ = 1;
};

}  // namespace

bool BilinearTo24(const PixelView &src, const PixelView &dst) {
    if (!ColourKernelViews(src, dst)) return false;
    BgrRows source(src, 2);
    BlendWithTaps(source, dst, BilinearTaps(src.height, dst.height), BilinearTaps(src.width, dst.width));
    return true;
}

bool ShrinkBilinearTo24(const PixelView &src, const PixelView &dst) {
    if (!ColourKernelViews(src, dst)) return false;
    BgrRows source(src, 2);
    BlendWithTaps(source, dst, ShrinkTaps(src.height, dst.height), ShrinkTaps(src.width, dst.width));
    return true;
}

bool BoxAverageTo24(const PixelView &src, const PixelView &dst) {
    if (!ColourKernelViews(src, dst) || dst.width > src.width || dst.height > src.height) return false;
    BoxRows box(src, dst.width, dst.height);
    for (int y = 0; y < dst.height; ++y) box.Make(y, MemRow(dst, y));
    return true;
}

bool BoxThenBilinearTo24(const PixelView &src, const PixelView &dst, int width, int height) {
    if (!ColourKernelViews(src, dst) || width < 1 || height < 1 || width > src.width || height > src.height) {
        return false;
    }
    BoxRowCache between(src, width, height);
    BlendWithTaps(between, dst, BilinearTaps(height, dst.height), BilinearTaps(width, dst.width));
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
