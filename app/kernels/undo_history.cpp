#include "undo_history.h"

#include <algorithm>
#include <cstring>

namespace pintora {
namespace {

size_t RowBytes(const CanvasRect &r) { return static_cast<size_t>(r.right - r.left) * kPixelBytes; }
size_t RectBytes(const CanvasRect &r) { return r.Empty() ? 0 : RowBytes(r) * static_cast<size_t>(r.bottom - r.top); }

bool Inside(const CanvasRect &r, const PixelPlane &plane) {
    return plane.top && r.left >= 0 && r.top >= 0 && r.right <= plane.width && r.bottom <= plane.height;
}

// Whether the patch can be laid on the pictures as it was taken.
bool Fits(const Patch &patch, const CanvasPlanes &planes) {
    if (patch.rect.Empty()) return patch.pixels.empty();
    const PixelPlane &plane = patch.layer == Layer::kCanvas ? planes.canvas : planes.background;
    return Inside(patch.rect, plane) && patch.pixels.size() == RectBytes(patch.rect);
}

// Exchanges the patch's pixels with the plane's, row by row.
void Exchange(Patch &patch, const CanvasPlanes &planes) {
    const PixelPlane &plane = patch.layer == Layer::kCanvas ? planes.canvas : planes.background;
    const size_t row = RowBytes(patch.rect);
    uint8_t *kept = patch.pixels.data();
    for (int32_t y = patch.rect.top; y < patch.rect.bottom; ++y, kept += row) {
        uint8_t *there = plane.Row(y) + static_cast<size_t>(patch.rect.left) * kPixelBytes;
        std::swap_ranges(kept, kept + row, there);
    }
}

}  // namespace

CanvasRect ClipRect(CanvasRect r, int32_t width, int32_t height) {
    r.left = std::max<int32_t>(r.left, 0);
    r.top = std::max<int32_t>(r.top, 0);
    r.right = std::min<int32_t>(r.right, width);
    r.bottom = std::min<int32_t>(r.bottom, height);
    if (r.Empty()) return {};
    return r;
}

CanvasRect UnionRect(const CanvasRect &a, const CanvasRect &b) {
    if (a.Empty()) return b.Empty() ? CanvasRect{} : b;
    if (b.Empty()) return a;
    return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
            std::max(a.bottom, b.bottom)};
}

Patch Patch::Capture(Layer layer, const PixelPlane &plane, CanvasRect rect) {
    Patch patch;
    patch.layer = layer;
    patch.rect = ClipRect(rect, plane.width, plane.height);
    if (patch.rect.Empty() || !plane.top) return Patch{layer, {}, {}};
    const size_t row = RowBytes(patch.rect);
    patch.pixels.resize(RectBytes(patch.rect));
    uint8_t *out = patch.pixels.data();
    for (int32_t y = patch.rect.top; y < patch.rect.bottom; ++y, out += row) {
        std::memcpy(out, plane.Row(y) + static_cast<size_t>(patch.rect.left) * kPixelBytes, row);
    }
    return patch;
}

size_t Step::Bytes() const {
    size_t total = 0;
    for (const Patch &p : patches) total += p.Bytes();
    return total;
}

// ---------------------------------------------------------------- shadow --

PixelPlane CanvasShadow::Plane() {
    return {pixels_.data(), width_, height_, static_cast<ptrdiff_t>(width_) * kPixelBytes};
}

void CanvasShadow::Reset(const PixelPlane &canvas) {
    width_ = canvas.top ? canvas.width : 0;
    height_ = canvas.top ? canvas.height : 0;
    pixels_.assign(static_cast<size_t>(width_) * height_ * kPixelBytes, 0);
    Refresh(canvas, {0, 0, width_, height_});
}

bool CanvasShadow::Fits(const PixelPlane &canvas) const {
    return canvas.top && width_ > 0 && height_ > 0 && canvas.width == width_ && canvas.height == height_;
}

CanvasRect CanvasShadow::ChangedBounds(const PixelPlane &canvas) const {
    if (!Fits(canvas)) return {};
    const size_t row = static_cast<size_t>(width_) * kPixelBytes;
    CanvasRect bounds{width_, height_, 0, 0};
    for (int32_t y = 0; y < height_; ++y) {
        const uint8_t *mine = pixels_.data() + row * y;
        const uint8_t *now = canvas.Row(y);
        if (std::memcmp(mine, now, row) == 0) continue;
        size_t first = 0, last = row - 1;
        while (mine[first] == now[first]) ++first;
        while (mine[last] == now[last]) --last;
        bounds.left = std::min<int32_t>(bounds.left, static_cast<int32_t>(first / kPixelBytes));
        bounds.right = std::max<int32_t>(bounds.right, static_cast<int32_t>(last / kPixelBytes) + 1);
        bounds.top = std::min(bounds.top, y);
        bounds.bottom = y + 1;
    }
    return bounds.Empty() ? CanvasRect{} : bounds;
}

Patch CanvasShadow::TakeChange(const PixelPlane &canvas, CanvasRect rect) {
    if (!Fits(canvas)) return Patch{};
    Patch before = Patch::Capture(Layer::kCanvas, Plane(), rect);
    Refresh(canvas, before.rect);
    return before;
}

void CanvasShadow::Refresh(const PixelPlane &canvas, CanvasRect rect) {
    rect = ClipRect(rect, width_, height_);
    if (rect.Empty() || !Fits(canvas)) return;
    const PixelPlane mine = Plane();
    const size_t row = RowBytes(rect);
    const size_t left = static_cast<size_t>(rect.left) * kPixelBytes;
    for (int32_t y = rect.top; y < rect.bottom; ++y) std::memcpy(mine.Row(y) + left, canvas.Row(y) + left, row);
}

// --------------------------------------------------------------- history --

void UndoHistory::Clear() {
    undo_.clear();
    redo_.clear();
    bytes_ = 0;
}

void UndoHistory::DropOldest() {
    bytes_ -= undo_.front().Bytes();
    undo_.pop_front();
}

bool UndoHistory::Record(Step step) {
    for (const Step &s : redo_) bytes_ -= s.Bytes();
    redo_.clear();
    const size_t size = step.Bytes();
    if (size > cap_) {
        Clear();
        return false;
    }
    while (!undo_.empty() && bytes_ + size > cap_) DropOldest();
    bytes_ += size;
    undo_.push_back(std::move(step));
    return true;
}

std::optional<CanvasRect> UndoHistory::Move(std::deque<Step> &from, std::deque<Step> &to, const CanvasPlanes &planes,
                                            bool &whiteFlag) {
    if (from.empty()) return std::nullopt;
    Step &step = from.back();
    for (const Patch &patch : step.patches) {
        if (!Fits(patch, planes)) {
            // The pictures are not those the steps were taken on: none of
            // them can be laid back.
            Clear();
            return std::nullopt;
        }
    }
    CanvasRect changed;
    for (Patch &patch : step.patches) {
        Exchange(patch, planes);
        if (patch.layer == Layer::kCanvas) changed = UnionRect(changed, patch.rect);
    }
    std::swap(step.whiteFlag, whiteFlag);
    to.push_back(std::move(step));
    from.pop_back();
    return changed;
}

std::optional<CanvasRect> UndoHistory::Undo(const CanvasPlanes &planes, bool &whiteFlag) {
    return Move(undo_, redo_, planes, whiteFlag);
}

std::optional<CanvasRect> UndoHistory::Redo(const CanvasPlanes &planes, bool &whiteFlag) {
    return Move(redo_, undo_, planes, whiteFlag);
}

}  // namespace pintora
