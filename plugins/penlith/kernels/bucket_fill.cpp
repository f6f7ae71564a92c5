// The paint bucket: band scans, the plug-in's own connected part and
// growth, the painting, and the brush's command skeleton.  bucket_fill.h
// describes the fill step by step.
#include "bucket_fill.h"

#include <algorithm>
#include <new>
#include <vector>

#include "penlith_brushes.h"

namespace penlith::bucket {

namespace {

// Where a consumed stroke start is put: far off every canvas, so the later
// painting calls of the same stroke find no seed and fill nothing.
constexpr int32_t kConsumedStart = -1024;

// Marks the matching pixels of one canvas row in its mask row; the number
// of runs of matching pixels (0: the row holds no match).
uint64_t ScanRow(const uint8_t *pixel, uint8_t *maskRow, int32_t width, const MatchRule &rule) {
    uint64_t runs = 0;
    uint32_t previous = 0;
    int32_t x = 0;
    for (size_t i = 0; x < width; ++i) {
        const int32_t end = std::min(width, x + 8);
        uint32_t byte = 0;
        for (int shift = 7; x < end; ++x, --shift, pixel += 3) {
            const uint32_t m = rule.Matches(pixel);
            runs += m & (previous ^ 1u);
            previous = m;
            byte |= m << shift;
        }
        maskRow[i] = static_cast<uint8_t>(byte);
    }
    return runs;
}

bool BitOf(const uint8_t *row, int32_t x) { return (row[x >> 3] >> (7 - (x & 7))) & 1; }

// Sets bits left..right (inclusive) of a row.
void SetBits(uint8_t *row, int32_t left, int32_t right) {
    int32_t x = left;
    for (; x <= right && (x & 7); ++x) row[x >> 3] |= static_cast<uint8_t>(0x80 >> (x & 7));
    for (; x + 7 <= right; x += 8) row[x >> 3] = 0xFF;
    for (; x <= right; ++x) row[x >> 3] |= static_cast<uint8_t>(0x80 >> (x & 7));
}

// The scanline fill behind KeepConnectedPart: `done` holds one row of bits
// per band row and receives the area.  A run is marked done when it is
// put on the work list, so every run is listed at most once and the list
// never holds more entries than the area has runs.
class ConnectedPart {
public:
    ConnectedPart(const MonoMask &mask, const Band &band)
        : mask_(mask), band_(band),
          done_(mask.rowBytes * static_cast<size_t>(band.highRow - band.lowRow)) {}

    void Fill(int32_t x, int32_t row) {
        if (!Open(x, row)) return;
        Take(x, row);
        while (!todo_.empty()) {
            const Span span = todo_.back();
            todo_.pop_back();
            if (span.row > band_.lowRow) Scan(span, span.row - 1);
            if (span.row + 1 < band_.highRow) Scan(span, span.row + 1);
        }
    }

    // The mask keeps only the area.
    void Apply() const {
        for (int32_t r = band_.lowRow; r < band_.highRow; ++r) {
            std::copy_n(Done(r), mask_.rowBytes, mask_.Row(r));
        }
    }

private:
    struct Span {
        int32_t row, left, right;  // right inclusive
    };

    uint8_t *Done(int32_t row) {
        return done_.data() + static_cast<size_t>(row - band_.lowRow) * mask_.rowBytes;
    }
    const uint8_t *Done(int32_t row) const {
        return done_.data() + static_cast<size_t>(row - band_.lowRow) * mask_.rowBytes;
    }
    // The marked pixels of byte i of a row that are not yet in the area.
    uint8_t OpenByte(int32_t row, size_t i) const { return mask_.Row(row)[i] & ~Done(row)[i]; }
    bool Open(int32_t x, int32_t row) const { return (OpenByte(row, static_cast<size_t>(x >> 3)) >> (7 - (x & 7))) & 1; }

    // Takes the whole run through the open pixel (x, row) into the area and
    // lists it; its last column.
    int32_t Take(int32_t x, int32_t row) {
        int32_t left = x, right = x;
        while (left > 0) {
            if ((left & 7) == 0 && left >= 8 && OpenByte(row, static_cast<size_t>((left >> 3) - 1)) == 0xFF) {
                left -= 8;
            } else if (Open(left - 1, row)) {
                --left;
            } else {
                break;
            }
        }
        while (right + 1 < mask_.width) {
            if (((right + 1) & 7) == 0 && right + 8 < mask_.width &&
                OpenByte(row, static_cast<size_t>((right + 1) >> 3)) == 0xFF) {
                right += 8;
            } else if (Open(right + 1, row)) {
                ++right;
            } else {
                break;
            }
        }
        SetBits(Done(row), left, right);
        todo_.push_back(Span{row, left, right});
        return right;
    }

    // Lists every open run of `row` that touches the span's columns.
    void Scan(const Span &span, int32_t row) {
        for (int32_t x = span.left; x <= span.right;) {
            if ((x & 7) == 0 && OpenByte(row, static_cast<size_t>(x >> 3)) == 0) {
                x += 8;
            } else if (Open(x, row)) {
                x = Take(x, row) + 2;  // the column after the run is closed
            } else {
                ++x;
            }
        }
    }

    const MonoMask &mask_;
    const Band &band_;
    std::vector<uint8_t> done_;
    std::vector<Span> todo_;
};

// Bit x of the result is set when bit x - 1 or x + 1 of the row is: the
// row's bits shifted one pixel either way.  The padding bits after the
// last pixel are read as 0 (`lastMask` keeps the last byte's pixels).
uint8_t Sideways(const uint8_t *row, size_t i, size_t used, uint8_t lastMask) {
    const auto at = [&](size_t k) -> uint32_t { return k + 1 == used ? row[k] & lastMask : row[k]; };
    const uint32_t v = at(i);
    uint32_t fromLeft = v >> 1, fromRight = v << 1;
    if (i > 0) fromLeft |= (at(i - 1) & 1u) << 7;
    if (i + 1 < used) fromRight |= at(i + 1) >> 7;
    return static_cast<uint8_t>(fromLeft | fromRight);
}

// The plain-memory mask of the sanitizer build.
class MemoryMaskPicture final : public MaskPicture {
public:
    explicit MemoryMaskPicture(std::vector<uint8_t> &&bytes, int32_t width, int32_t height)
        : bytes_(std::move(bytes)) {
        mask_.bits = bytes_.data();
        mask_.width = width;
        mask_.height = height;
        mask_.rowBytes = MonoRowBytes(width);
    }
    const MonoMask &Mask() const override { return mask_; }
    bool KeepConnectedPart(int32_t x, int32_t row, const Band &band) override {
        return bucket::KeepConnectedPart(mask_, x, row, band);
    }
    bool GrowDiagonally() override { return bucket::GrowDiagonally(mask_); }

private:
    std::vector<uint8_t> bytes_;
    MonoMask mask_;
};

// The wait cursor for the length of a fill.
class WaitCursor {
public:
    WaitCursor() : previous_(ShowWaitCursor()) {}
    ~WaitCursor() { RestoreCursor(previous_); }
    WaitCursor(const WaitCursor &) = delete;
    WaitCursor &operator=(const WaitCursor &) = delete;

private:
    void *previous_;
};

// The fill of a painting call (the pick flag is handled by the skeleton).
brush::PaintResult PaintFill(brush::EngineState &, PlugInBrushContext *ctx, brush::DirtyRect &rect) {
    const brush::CanvasView canvas = brush::CanvasOf(ctx);
    const int32_t x = ctx->startX;
    const int64_t row = static_cast<int64_t>(canvas.height) - 1 - ctx->startY;
    if (x < 0 || x >= canvas.width || row < 0 || row >= canvas.height) {
        return brush::PaintResult::kRefusedUntouched;
    }
    const auto seedRow = static_cast<int32_t>(row);
    ctx->startX = ctx->startY = kConsumedStart;  // one fill per stroke
    const WaitCursor wait;

    // A tolerance below 1 would refuse even the seed's own colour.
    const int32_t tolerance = std::clamp(brush::ParamValue(ctx, 1), 1, 256);
    const int32_t a = brush::PeakOfDensity(brush::ParamValue(ctx, 2));
    const brush::BgrColor target = brush::ColorOf(ctx->color);
    const uint8_t *seed = canvas.Pixel(x, seedRow);
    const MatchRule rule(brush::BgrColor{seed[0], seed[1], seed[2]}, tolerance);

    const std::unique_ptr<MaskPicture> picture = MakeMaskPicture(canvas.width, canvas.height);
    if (!picture) return brush::PaintResult::kRefusedUntouched;
    const Band band = ScanBand(canvas, picture->Mask(), seedRow, rule);
    if (!picture->KeepConnectedPart(x, seedRow, band) || !picture->GrowDiagonally()) {
        return brush::PaintResult::kRefusedUntouched;
    }
    PaintArea(canvas, picture->Mask(), band, target, a);
    rect = AreaRect(canvas.width, canvas.height, band);
    return brush::PaintResult::kPainted;
}

}  // namespace

MatchRule::MatchRule(brush::BgrColor seed, int32_t tolerance) {
    for (int32_t v = 0; v < 256; ++v) {
        blue_[v] = (v - seed.b < tolerance && seed.b - v < tolerance) ? 1 : 0;
        green_[v] = (v - seed.g < tolerance && seed.g - v < tolerance) ? 1 : 0;
        red_[v] = (v - seed.r < tolerance && seed.r - v < tolerance) ? 1 : 0;
    }
}

Band ScanBand(const brush::CanvasView &canvas, const MonoMask &mask, int32_t seedRow, const MatchRule &rule) {
    Band band;
    band.lowRow = 0;
    band.highRow = canvas.height;
    for (int32_t r = seedRow; r >= 0; --r) {
        const uint64_t runs = ScanRow(canvas.Pixel(0, r), mask.Row(r), canvas.width, rule);
        if (runs == 0) {
            band.lowRow = r;
            break;
        }
        band.runs += runs;
    }
    for (int32_t r = seedRow + 1; r < canvas.height; ++r) {
        const uint64_t runs = ScanRow(canvas.Pixel(0, r), mask.Row(r), canvas.width, rule);
        if (runs == 0) {
            band.highRow = r;
            break;
        }
        band.runs += runs;
    }
    return band;
}

bool KeepConnectedPart(const MonoMask &mask, int32_t x, int32_t memoryRow, const Band &band) {
    try {
        ConnectedPart part(mask, band);
        part.Fill(x, memoryRow);
        part.Apply();
        return true;
    } catch (const std::bad_alloc &) {
        return false;
    }
}

bool GrowDiagonally(const MonoMask &mask) {
    const size_t used = (static_cast<size_t>(mask.width) + 7) / 8;
    const uint8_t lastByteMask = static_cast<uint8_t>(0xFF00 >> (((mask.width - 1) & 7) + 1));
    std::vector<uint8_t> below, current;
    try {
        below.resize(used);
        current.resize(used);
    } catch (const std::bad_alloc &) {
        return false;
    }
    // current: row r as it was; below: row r - 1 as it was.
    for (int32_t r = 0; r < mask.height; ++r) {
        uint8_t *row = mask.Row(r);
        std::copy_n(row, used, current.data());
        const uint8_t *above = r + 1 < mask.height ? mask.Row(r + 1) : nullptr;
        for (size_t i = 0; i < used; ++i) {
            uint32_t v = current[i];
            if (r > 0) v |= Sideways(below.data(), i, used, lastByteMask);
            if (above) v |= Sideways(above, i, used, lastByteMask);
            row[i] = static_cast<uint8_t>(v);
        }
        row[used - 1] &= lastByteMask;
        std::swap(below, current);
    }
    return true;
}

void PaintArea(const brush::CanvasView &canvas, const MonoMask &mask, const Band &band, brush::BgrColor target,
               int32_t a) {
    const size_t used = (static_cast<size_t>(canvas.width) + 7) / 8;
    for (int32_t r = band.lowRow; r < band.highRow; ++r) {
        const uint8_t *bits = mask.Row(r);
        for (size_t i = 0; i < used; ++i) {
            if (bits[i] == 0) continue;
            const auto first = static_cast<int32_t>(8 * i);
            const int32_t end = std::min(canvas.width, first + 8);
            for (int32_t x = first; x < end; ++x) {
                if (!BitOf(bits, x)) continue;
                uint8_t *p = canvas.Pixel(x, r);
                p[0] = brush::BlendChannel(p[0], target.b, a);
                p[1] = brush::BlendChannel(p[1], target.g, a);
                p[2] = brush::BlendChannel(p[2], target.r, a);
            }
        }
    }
}

brush::DirtyRect AreaRect(int32_t width, int32_t height, const Band &band) {
    brush::DirtyRect rect;
    rect.left = 0;
    rect.top = height - band.highRow - 1;
    rect.right = width;
    rect.bottom = height - band.lowRow;
    return rect;
}

std::unique_ptr<MaskPicture> MakeMemoryMaskPicture(int32_t width, int32_t height) {
    if (width <= 0 || height <= 0) return nullptr;
    const uint64_t bytes = static_cast<uint64_t>(MonoRowBytes(width)) * static_cast<uint64_t>(height);
    if (bytes > 0x7FFFFFFFu) return nullptr;
    try {
        std::vector<uint8_t> block(static_cast<size_t>(bytes));
        return std::make_unique<MemoryMaskPicture>(std::move(block), width, height);
    } catch (const std::bad_alloc &) {
        return nullptr;
    }
}

}  // namespace penlith::bucket

namespace penlith {

int32_t BucketBrush(brush::EngineState &engine, PlugInBrushContext *ctx) {
    static const brush::BrushOps ops = [] {
        brush::BrushOps o;
        // The soft tip serves the preview and lets BeginBrushDraw pass; the
        // fill never uses it.
        o.buildTip = brush::MakeSoftTip;
        o.paint = bucket::PaintFill;
        o.previewStrength = 3;
        return o;
    }();
    return brush::RunBrush(engine, ctx, ops);
}

}  // namespace penlith
