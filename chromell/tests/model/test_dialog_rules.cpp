// The colour window's plain rules: the history update against a slow
// reference, the history timer's four-tick rule, placement near the owner
// at the eighth-of-the-screen boundary, and the swatch grid's keys.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "dialog_rules.h"

using namespace chromell;

namespace {

// The history rule spelled out with a vector: remove the colour where it
// is (or the last entry when absent), then put it in front.
std::vector<ColorValue> ReferenceAdd(std::vector<ColorValue> h, ColorValue c) {
    c = (c & 0xFFFFFF) | 0x02000000;
    auto it = std::find(h.begin(), h.end(), c);
    h.erase(it == h.end() ? h.end() - 1 : it);
    h.insert(h.begin(), c);
    return h;
}

TEST(ColorHistory, AddingMatchesTheReferenceAtEveryPlace) {
    ColorValue h[kHistoryLength];
    std::copy(kDefaultHistory, kDefaultHistory + kHistoryLength, h);
    // Already first: nothing changes (the top byte of the argument is
    // ignored).
    EXPECT_FALSE(AddToHistory(h, 0x00FFFFFF));
    EXPECT_TRUE(std::equal(h, h + kHistoryLength, kDefaultHistory));
    // At index 7: entries 0..6 move down, 8..19 stay.
    const ColorValue seventh = kDefaultHistory[7];
    EXPECT_TRUE(AddToHistory(h, seventh));
    EXPECT_EQ(h[0], seventh);
    for (int i = 1; i <= 7; ++i) EXPECT_EQ(h[i], kDefaultHistory[i - 1]) << i;
    for (int i = 8; i < kHistoryLength; ++i) EXPECT_EQ(h[i], kDefaultHistory[i]) << i;
    // A replay of random adds, new and present colours mixed, against the
    // reference.
    std::mt19937 random(17);
    std::vector<ColorValue> expected(h, h + kHistoryLength);
    for (int step = 0; step < 2000; ++step) {
        const ColorValue c = random() % 3 == 0 ? expected[random() % kHistoryLength] : MakeColor(random() % 8, 0, 9);
        expected = ReferenceAdd(expected, c);
        AddToHistory(h, c);
        ASSERT_TRUE(std::equal(h, h + kHistoryLength, expected.begin())) << "step " << step;
    }
}

TEST(ColorHistory, ANewColourIntoAFullHistoryDropsTheLast) {
    ColorValue h[kHistoryLength];
    std::copy(kDefaultHistory, kDefaultHistory + kHistoryLength, h);
    EXPECT_TRUE(AddToHistory(h, MakeColor(1, 2, 3)));
    EXPECT_EQ(h[0], MakeColor(1, 2, 3));
    EXPECT_TRUE(std::equal(h + 1, h + kHistoryLength, kDefaultHistory));  // old 19 gone
}

TEST(ColorHistory, TheTimerAddsAColourSeenUnchangedForFourMoreTicks) {
    const ColorValue a = MakeColor(10, 20, 30), b = MakeColor(40, 50, 60);
    uint32_t tracker = TrackerStart(a);
    // Four unchanged ticks add it, and the count starts again.
    for (int tick = 1; tick <= 4; ++tick) {
        const HistoryTick t = TickHistory(tracker, a);
        EXPECT_EQ(t.addColor, tick == 4) << tick;
        tracker = t.tracker;
    }
    EXPECT_EQ(tracker, TrackerStart(a));
    // A change restarts the count; three ticks on it and a move on add
    // nothing.  Only the low 24 bits count.
    tracker = TickHistory(tracker, b).tracker;
    EXPECT_EQ(tracker, b & 0xFFFFFF);
    for (int tick = 0; tick < 3; ++tick) {
        const HistoryTick t = TickHistory(tracker, b | 0xFF000000);
        EXPECT_FALSE(t.addColor);
        tracker = t.tracker;
    }
    EXPECT_EQ(tracker >> 24, 3u);
    const HistoryTick moved = TickHistory(tracker, a);
    EXPECT_FALSE(moved.addColor);
    EXPECT_EQ(moved.tracker, a & 0xFFFFFF);
}

TEST(Placement, TheWindowStaysWithinAnEighthOfTheScreenOfItsOwner) {
    const ScreenRect owner{100, 100, 300, 400};
    const ScreenRect window{0, 0, 120, 150};  // only the size counts
    const int w = 1024, h = 768;              // an eighth: 128 x 96
    auto place = [&](int x, int y) { return PlaceNearOwner({x, y}, window, owner, w, h); };
    // Right of the owner: 128 away stays, 129 is pulled to the owner's edge.
    EXPECT_EQ(place(300 + 128, 200).x, 300 + 128);
    EXPECT_EQ(place(300 + 129, 200).x, 300);
    // Left: the window's right edge counts.
    EXPECT_EQ(place(100 - 128 - 120, 200).x, 100 - 128 - 120);
    EXPECT_EQ(place(100 - 129 - 120, 200).x, 100 - 120);
    // Above and below.
    EXPECT_EQ(place(150, 100 - 96 - 150).y, 100 - 96 - 150);
    EXPECT_EQ(place(150, 100 - 97 - 150).y, 100 - 150);
    EXPECT_EQ(place(150, 400 + 97).y, 400);
    // A position far off in both directions, even beyond 32 bits of
    // arithmetic, comes back to the owner's corner.
    const ScreenPoint far = place(INT32_MAX, INT32_MIN);
    EXPECT_EQ(far.x, 300);
    EXPECT_EQ(far.y, 100 - 150);
}

TEST(SwatchGrid, KeysWrapAroundTheTwentyEightCells) {
    EXPECT_EQ(StepSwatch(25, SwatchKey::kDown), 4);
    EXPECT_EQ(StepSwatch(0, SwatchKey::kLeft), 27);
    EXPECT_EQ(StepSwatch(27, SwatchKey::kRight), 0);
    EXPECT_EQ(StepSwatch(3, SwatchKey::kUp), 24);
    // Cells of the 18-pixel grid, and the points outside it.
    EXPECT_EQ(GridCellAt(0, 0, 7, 4), 0);
    EXPECT_EQ(GridCellAt(125, 71, 7, 4), 27);
    EXPECT_EQ(GridCellAt(126, 0, 7, 4), -1);
    EXPECT_EQ(GridCellAt(0, -1, 5, 4), -1);
    EXPECT_EQ(GridCellAt(18 * 4 + 5, 18 * 3, 5, 4), 19);
}

TEST(Presets, CommandsMapToTheirCornersAndNothingElse) {
    GradientCorners c;
    ASSERT_TRUE(PresetCorners(2001, &c));
    EXPECT_EQ(c.topLeft, 0xFF00FFu);
    EXPECT_EQ(c.bottomLeft, 0x0000FFu);
    ASSERT_TRUE(PresetCorners(2010, &c));
    EXPECT_EQ(c.bottomRight, (234u << 16) | (199u << 8) | 221u);
    EXPECT_FALSE(PresetCorners(2000, &c));
    EXPECT_FALSE(PresetCorners(2011, &c));
}

}  // namespace
