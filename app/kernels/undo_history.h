// Undo and redo of the canvas, keeping only the rectangle each change
// touched.
//
// Pictures are 24-bit, three bytes per pixel (blue, green, red).  A
// PixelPlane names one by the address of its top row, its size and the
// byte step from a row to the one below it: negative for the bottom-up
// rows of a device-independent bitmap.  Rectangles count y from the top,
// right and bottom exclusive (CanvasRect, as the eraser's).
//
// A step holds the pixels of its rectangles as they are *not* now: before
// an undo the earlier pixels, after it the later ones.  Undo and redo are
// therefore the same exchange of the step's pixels with the pictures', and
// a step costs its rectangles' bytes once, whichever list it is on.
//
// How steps are made: a CanvasShadow keeps a copy of the canvas as it was
// at the last step.  When a stroke or a command has changed the canvas,
// TakeChange(rect) hands the shadow's pixels of the rectangle over to a
// new step and copies the canvas's pixels in their place, so the step
// costs two copies of the rectangle and nothing while painting.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <vector>

#include "eraser.h"  // CanvasRect

namespace pintora {

constexpr int32_t kPixelBytes = 3;

struct PixelPlane {
    uint8_t *top = nullptr;
    int32_t width = 0;
    int32_t height = 0;
    ptrdiff_t rowStep = 0;
    uint8_t *Row(int32_t y) const { return top + rowStep * y; }
    bool SameSize(const PixelPlane &o) const { return width == o.width && height == o.height; }
};

// The two pictures a step may change: the drawing, and the background that
// erasing restores (only a paste replaces that one).
enum class Layer : uint8_t { kCanvas, kBackground };
struct CanvasPlanes {
    PixelPlane canvas;
    PixelPlane background;
};

// The rectangle clipped to a width x height picture.
CanvasRect ClipRect(CanvasRect r, int32_t width, int32_t height);
// The smallest rectangle holding both (an empty one counts as nothing).
CanvasRect UnionRect(const CanvasRect &a, const CanvasRect &b);

// The pixels of one rectangle of one layer, rows packed from the top.
struct Patch {
    Layer layer = Layer::kCanvas;
    CanvasRect rect;
    std::vector<uint8_t> pixels;

    // A copy of the rectangle (clipped to the plane) of `plane`.
    static Patch Capture(Layer layer, const PixelPlane &plane, CanvasRect rect);
    size_t Bytes() const { return pixels.size(); }
};

// One change of the canvas.  `whiteFlag` is the white-paper state of the
// other side too (after the white paper erasing paints white).
struct Step {
    std::vector<Patch> patches;
    bool whiteFlag = false;
    size_t Bytes() const;
};

// The canvas as it was when the last step was taken.
class CanvasShadow {
public:
    // A copy of the whole canvas: the start of a new history.
    void Reset(const PixelPlane &canvas);
    // False until Reset, or when the canvas has another size since.
    bool Fits(const PixelPlane &canvas) const;
    // The part of `canvas` that differs from the shadow (empty if none).
    CanvasRect ChangedBounds(const PixelPlane &canvas) const;
    // The shadow's pixels of `rect` (clipped) as a patch of the earlier
    // canvas; the shadow takes the canvas's pixels there.
    Patch TakeChange(const PixelPlane &canvas, CanvasRect rect);
    // Copies the canvas's pixels of `rect` into the shadow (after an undo).
    void Refresh(const PixelPlane &canvas, CanvasRect rect);

private:
    PixelPlane Plane();
    std::vector<uint8_t> pixels_;
    int32_t width_ = 0;
    int32_t height_ = 0;
};

// The undo and redo lists under one memory cap, counted in the bytes of
// the steps' pixels.
class UndoHistory {
public:
    explicit UndoHistory(size_t capBytes) : cap_(capBytes) {}

    size_t cap() const { return cap_; }
    size_t bytes() const { return bytes_; }
    size_t undoCount() const { return undo_.size(); }
    size_t redoCount() const { return redo_.size(); }

    void Clear();
    // Keeps `step` as the newest change; the steps that could be redone
    // go.  The oldest steps are dropped until everything fits the cap.  A
    // step larger than the cap on its own clears the history and is not
    // kept (false).
    bool Record(Step step);
    // Exchanges the newest step's pixels and flag with the pictures' and
    // moves it to the other list.  The canvas rectangle that changed, or
    // nothing when there is no step (or a step no longer fits the
    // pictures: the history is cleared then).
    std::optional<CanvasRect> Undo(const CanvasPlanes &planes, bool &whiteFlag);
    std::optional<CanvasRect> Redo(const CanvasPlanes &planes, bool &whiteFlag);

private:
    std::optional<CanvasRect> Move(std::deque<Step> &from, std::deque<Step> &to, const CanvasPlanes &planes,
                                   bool &whiteFlag);
    void DropOldest();

    size_t cap_;
    size_t bytes_ = 0;
    // Oldest first; the newest undo step and the next redo step are at the
    // back of their lists.
    std::deque<Step> undo_;
    std::deque<Step> redo_;
};

}  // namespace pintora
