// Undo and redo replayed against full copies of every state the pictures
// went through, with bottom-up padded rows as in a DIB; the cap, the
// oversize step and the changed-bounds scan at their edges.
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <vector>

#include "undo_history.h"

using namespace pintora;

namespace {

// A 24-bit picture laid out as a DIB: rows padded to four bytes, stored
// bottom-up.
struct Picture {
    int32_t width, height;
    size_t stride;
    std::vector<uint8_t> bytes;
    Picture(int32_t w, int32_t h) : width(w), height(h), stride((w * 3 + 3) & ~3), bytes(stride * h, 0) {}
    PixelPlane Plane() {
        return {bytes.data() + stride * (height - 1), width, height, -static_cast<ptrdiff_t>(stride)};
    }
    // Every pixel byte, padding left out.
    std::vector<uint8_t> Pixels() {
        std::vector<uint8_t> out;
        const PixelPlane p = Plane();
        for (int32_t y = 0; y < height; ++y) out.insert(out.end(), p.Row(y), p.Row(y) + width * 3);
        return out;
    }
    void Paint(const CanvasRect &r, std::mt19937 &rng) {
        const PixelPlane p = Plane();
        for (int32_t y = r.top; y < r.bottom; ++y) {
            for (int32_t x = r.left * 3; x < r.right * 3; ++x) p.Row(y)[x] = static_cast<uint8_t>(rng());
        }
    }
};

struct State {
    std::vector<uint8_t> canvas, background;
    bool white;
    bool operator==(const State &o) const {
        return canvas == o.canvas && background == o.background && white == o.white;
    }
};

CanvasRect RandomRect(std::mt19937 &rng, int32_t w, int32_t h) {
    const int32_t l = static_cast<int32_t>(rng() % (w + 10)) - 5, t = static_cast<int32_t>(rng() % (h + 10)) - 5;
    return {l, t, l + 1 + static_cast<int32_t>(rng() % 12), t + 1 + static_cast<int32_t>(rng() % 9)};
}

// Random strokes (recorded through their own rectangle), commands
// (recorded through the scan of changed bounds), pastes (which change the
// background and the flag as well), undos and redos.  After every action
// the pictures must equal the state the reference list says, and undoing
// stops exactly where the cap has dropped the older states (or a step
// larger than the cap has cleared them all).
struct ReplayCounts {
    int dropped = 0;  // steps the cap dropped to make room
    int cleared = 0;  // steps larger than the cap
};
void Replay(size_t cap, unsigned seed, ReplayCounts &counts) {
    constexpr int32_t W = 23, H = 17;  // odd sizes: padded rows
    std::mt19937 rng(seed);
    Picture canvas(W, H), background(W, H);
    canvas.Paint({0, 0, W, H}, rng);
    background.Paint({0, 0, W, H}, rng);
    bool white = false;
    const CanvasPlanes planes{canvas.Plane(), background.Plane()};

    UndoHistory history(cap);
    CanvasShadow shadow;
    shadow.Reset(planes.canvas);
    std::vector<State> states{{canvas.Pixels(), background.Pixels(), white}};
    size_t at = 0;
    size_t oldest = 0;  // the oldest state undo can still reach
    auto record = [&](Step step) {
        const size_t before = history.undoCount();
        if (!history.Record(std::move(step))) {
            ++counts.cleared;
        } else if (history.undoCount() <= before) {
            ++counts.dropped;
        }
    };

    for (int action = 0; action < 3000; ++action) {
        const unsigned kind = rng() % 10;
        if (kind < 4) {  // a stroke: painted where its rectangle says
            const CanvasRect r = ClipRect(RandomRect(rng, W, H), W, H);
            if (r.Empty()) continue;
            canvas.Paint(r, rng);
            Step step;
            step.whiteFlag = white;
            step.patches.push_back(shadow.TakeChange(planes.canvas, r));
            record(std::move(step));
        } else if (kind < 6) {  // a command: anything may change, anywhere
            const bool before = white;
            if (rng() % 2) canvas.Paint(ClipRect(RandomRect(rng, W, H), W, H), rng);
            if (rng() % 2) canvas.Paint(ClipRect(RandomRect(rng, W, H), W, H), rng);
            white = rng() % 2;
            Step step;
            step.whiteFlag = before;
            step.patches.push_back(shadow.TakeChange(planes.canvas, shadow.ChangedBounds(planes.canvas)));
            record(std::move(step));
        } else if (kind < 7) {  // a paste: the background too
            Step step;
            step.whiteFlag = white;
            step.patches.push_back(Patch::Capture(Layer::kBackground, planes.background, {0, 0, W, H}));
            background.Paint({0, 0, W, H}, rng);
            canvas.Paint({0, 0, W, H}, rng);
            white = false;
            step.patches.push_back(shadow.TakeChange(planes.canvas, shadow.ChangedBounds(planes.canvas)));
            record(std::move(step));
        } else {
            const bool undo = kind < 9;
            const auto changed = undo ? history.Undo(planes, white) : history.Redo(planes, white);
            if (changed) shadow.Refresh(planes.canvas, *changed);
            if (undo) {
                ASSERT_EQ(changed.has_value(), at > oldest) << "action " << action;
                if (changed) --at;
            } else {
                ASSERT_EQ(changed.has_value(), at + 1 < states.size()) << "action " << action;
                if (changed) ++at;
            }
            ASSERT_TRUE((State{canvas.Pixels(), background.Pixels(), white} == states[at])) << "action " << action;
            ASSERT_LE(history.bytes(), cap);
            continue;
        }
        states.resize(at + 1);
        states.push_back({canvas.Pixels(), background.Pixels(), white});
        ++at;
        // The cap drops the oldest steps: the reference forgets as many.
        oldest = std::max(oldest, at - history.undoCount());
        ASSERT_EQ(history.undoCount(), at - oldest) << "action " << action;
        ASSERT_EQ(history.redoCount(), 0u);
        ASSERT_LE(history.bytes(), cap);
    }
}

TEST(UndoHistory, ReplaysEveryStateWithRoomForAll) {
    ReplayCounts counts;
    Replay(size_t{1} << 30, 1, counts);
    EXPECT_EQ(counts.dropped + counts.cleared, 0);
}

TEST(UndoHistory, ReplaysTheNewestStatesUnderATightCap) {
    // A full paste (two 23 x 17 planes) still fits; a few dozen strokes do
    // not: the oldest go.
    ReplayCounts counts;
    Replay(2 * 23 * 17 * 3 + 200, 2, counts);
    EXPECT_GT(counts.dropped, 100);
    EXPECT_EQ(counts.cleared, 0);
}

TEST(UndoHistory, AStepLargerThanTheCapClearsTheHistoryAndKeepsTheChange) {
    // Now a paste is larger than the cap on its own.
    ReplayCounts counts;
    Replay(23 * 17 * 3 + 300, 3, counts);
    EXPECT_GT(counts.dropped, 0);
    EXPECT_GT(counts.cleared, 20);
}

TEST(UndoHistory, ChangedBoundsReachEveryCornerExactly) {
    Picture canvas(31, 9);
    CanvasShadow shadow;
    shadow.Reset(canvas.Plane());
    EXPECT_TRUE(shadow.ChangedBounds(canvas.Plane()).Empty());
    const PixelPlane p = canvas.Plane();
    p.Row(8)[30 * 3 + 2] = 1;  // the red byte of the bottom-right pixel
    CanvasRect r = shadow.ChangedBounds(p);
    EXPECT_EQ(r.left, 30);
    EXPECT_EQ(r.top, 8);
    EXPECT_EQ(r.right, 31);
    EXPECT_EQ(r.bottom, 9);
    p.Row(0)[0] = 1;  // the blue byte of the top-left pixel
    r = shadow.ChangedBounds(p);
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.right, 31);
    EXPECT_EQ(r.bottom, 9);
}

TEST(UndoHistory, PicturesOfAnotherSizeEndTheHistory) {
    Picture canvas(6, 6), other(7, 6);
    CanvasShadow shadow;
    shadow.Reset(canvas.Plane());
    UndoHistory history(1000);
    std::mt19937 rng(5);
    canvas.Paint({1, 1, 5, 5}, rng);
    Step step;
    step.patches.push_back(shadow.TakeChange(canvas.Plane(), {1, 1, 5, 5}));
    ASSERT_TRUE(history.Record(std::move(step)));
    bool white = false;
    const CanvasPlanes wrong{{other.Plane().top, 7, 3, other.Plane().rowStep}, other.Plane()};
    EXPECT_FALSE(history.Undo(wrong, white));
    EXPECT_EQ(history.undoCount(), 0u);
    EXPECT_FALSE(shadow.Fits(other.Plane()));
}

}  // namespace
