// Stampwell.brs under Wine, through its real exports as the brush manager
// reaches them: what a selected stamp keeps, the pictures each dab lays
// (replayed against the rule over the kept masks and pictures), the
// spacing, the preview, the builder's refusals and the plug-in's start-up.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <algorithm>
#include <cstdlib>
#include <future>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "brush_harness.h"
#include "test_support.h"

namespace {

// The stamps of the plug-in's list: export name, ordinal, pictures.
struct ListedStamp {
    const char *exportName;
    unsigned ordinal;
    int32_t pictures;
};
const ListedStamp kStamps[] = {
#define STAMPWELL_STAMP(name, ordinal, strip, pictures) {"Xi_" #name, ordinal, pictures},
#include "stamp_list.h"
#undef STAMPWELL_STAMP
};

using brush_test::Bgr;
using brush_test::BrushHarness;
using brush_test::Rect;
using brush_test::TestCanvas;

HMODULE Stampwell() {
    static const HMODULE module = pintora_test::LoadProductLibrary(L"Stampwell.brs");
    return module;
}

BrushHarness::Entry StampEntry(const char *exportName) {
    const auto proc = reinterpret_cast<PlugInBrushProc>(
        reinterpret_cast<void *>(GetProcAddress(Stampwell(), exportName)));
    if (!proc) return {};
    return [proc](PlugInBrushContext *ctx) { return proc(ctx); };
}

using CreateStampProc = int32_t(PLUGIN_CALL *)(PlugInBrushContext *, int32_t, const int32_t *, int32_t);
CreateStampProc CreateStamp() {
    return reinterpret_cast<CreateStampProc>(
        reinterpret_cast<void *>(GetProcAddress(Stampwell(), "_Xi_CreateStampBrush@16")));
}

// A stamp of Stampwell with a white canvas of its own.
struct Stamp {
    Stamp(const char *exportName, int32_t width, int32_t height)
        : canvas(width, height), brush(StampEntry(exportName), canvas) {
        canvas.Fill(Bgr{255, 255, 255});
    }
    TestCanvas canvas;
    BrushHarness brush;
};

// The standard coverage of a mask byte at a pen pressure, blended toward
// the picture's pixel, written out as the rule says.
Bgr Laid(Bgr old, const uint8_t *picture, int32_t t, int32_t pressure) {
    if (t <= 0) return old;
    int32_t cv = pressure + t - 128;
    cv = cv < 0 ? 0 : (cv > 128 ? 128 : cv);
    const auto mix = [cv](int o, int p) { return static_cast<uint8_t>(o + (p - o) * cv / 128); };
    return Bgr{mix(old.b, picture[0]), mix(old.g, picture[1]), mix(old.r, picture[2])};
}

// The pictures v (0..n-1) whose dab, laid with its top-left tip pixel at
// canvas (left, top) over `before`, gives exactly the canvas now.  Tip row j
// lands on screen row top + S - 1 - j (tip rows run bottom-up).
std::vector<int32_t> MatchingPictures(const PlugInBrushContext &ctx, const TestCanvas &before,
                                      const TestCanvas &after, int32_t left, int32_t top,
                                      int32_t pressure = BRUSH_PRESSURE_FULL) {
    std::vector<int32_t> matches;
    const int32_t side = ctx.tipWidth;
    const auto *masks = static_cast<const uint8_t *>(ctx.tipBits);
    const auto *pictures = static_cast<const uint8_t *>(ctx.workBits);
    for (int32_t v = 0; v < ctx.tipVariantCount; ++v) {
        bool same = true;
        for (int32_t j = 0; j < side && same; ++j) {
            for (int32_t i = 0; i < side && same; ++i) {
                const int32_t x = left + i, y = top + side - 1 - j;
                const uint8_t t = masks[(static_cast<size_t>(v) * side + j) * side + i];
                const uint8_t *p = pictures + (static_cast<size_t>(v) * side + j) * ctx.color3 + 3 * i;
                same = after.Pixel(x, y) == Laid(before.Pixel(x, y), p, t, pressure);
            }
        }
        if (same) matches.push_back(v);
    }
    return matches;
}

void CopyCanvas(const TestCanvas &from, TestCanvas &to) {
    for (int32_t y = 0; y < from.height(); ++y) {
        for (int32_t x = 0; x < from.width(); ++x) to.SetPixel(x, y, from.Pixel(x, y));
    }
}

// The mask bytes of a selected stamp: their largest value and how many
// lie strictly between 0 and the largest.
struct MaskLevels {
    int32_t largest = 0;
    size_t between = 0, zero = 0;
};
MaskLevels LevelsOf(const PlugInBrushContext &ctx) {
    MaskLevels m;
    const auto *masks = static_cast<const uint8_t *>(ctx.tipBits);
    const size_t bytes = static_cast<size_t>(ctx.tipVariantCount) * ctx.tipWidth * ctx.tipHeight;
    for (size_t k = 0; k < bytes; ++k) m.largest = std::max<int32_t>(m.largest, masks[k]);
    for (size_t k = 0; k < bytes; ++k) {
        m.zero += masks[k] == 0;
        m.between += masks[k] > 0 && masks[k] < m.largest;
    }
    return m;
}

// Every stamp of the list: selected at size 40, its pictures and masks as
// kept, then a click on a noisy canvas lays exactly one of its pictures,
// centred on the pointer, by the rule (a Ctrl click picks the colour
// first and still stamps); a second click with another paint colour and
// the same random draw lays the same pixels, and a light pen's click the
// picture by the same rule at its pressure.
TEST(Stamps, EachStampKeepsItsStripAndAClickLaysOnePictureByTheRule) {
    ASSERT_EQ(std::size(kStamps), 5u);
    for (size_t s = 0; s < std::size(kStamps); ++s) {
        const ListedStamp &entry = kStamps[s];
        SCOPED_TRACE(entry.exportName);
        Stamp stamp(entry.exportName, 90, 70);
        stamp.brush.SetParams(40, 100, 12);
        ASSERT_EQ(stamp.brush.Select(), 1);
        const PlugInBrushContext &ctx = stamp.brush.ctx();
        EXPECT_EQ(ctx.tipWidth, 40);
        EXPECT_EQ(ctx.tipHeight, 40);
        EXPECT_EQ(ctx.tipVariantCount, entry.pictures);
        EXPECT_EQ(ctx.color3, 120u) << "rows of 40 pixels of 24 bits";
        const MaskLevels levels = LevelsOf(ctx);
        EXPECT_EQ(levels.largest, 128) << "255 inside the picture becomes 128 at density 100";
        EXPECT_GT(levels.zero, 0u) << "white around every picture";
        EXPECT_GT(levels.between, 0u) << "a soft edge";

        stamp.canvas.FillNoise(7 + static_cast<uint32_t>(s));
        TestCanvas before(90, 70);
        CopyCanvas(stamp.canvas, before);
        const Bgr under = stamp.canvas.Pixel(45, 35);
        stamp.brush.ctx().color = brush_test::ColorValue(1, 2, 3);
        std::srand(99);
        ASSERT_EQ(stamp.brush.Start(45, 35, BRUSHKEY_LBUTTON | BRUSHKEY_CONTROL), 1);
        EXPECT_EQ(stamp.brush.ctx().color, brush_test::ColorValue(under.r, under.g, under.b)) << "picked";
        // The dab covers x 25..64 and y 16..55; the rectangle has one
        // spare row above it.
        EXPECT_EQ(stamp.brush.Dirty(), (Rect{25, 15, 65, 56}));
        stamp.brush.End();
        const Rect changed = stamp.canvas.ChangedSince(before.Snapshot());
        ASSERT_FALSE(changed.IsZero());
        EXPECT_TRUE(changed.left >= 25 && changed.top >= 16 && changed.right <= 65 && changed.bottom <= 56)
            << "nothing outside the dab";
        EXPECT_EQ(MatchingPictures(ctx, before, stamp.canvas, 25, 16).size(), 1u);

        // The same draw with another colour: the same pixels.
        const std::vector<uint8_t> first = stamp.canvas.Snapshot();
        CopyCanvas(before, stamp.canvas);
        stamp.brush.ctx().color = brush_test::ColorValue(250, 10, 200);
        std::srand(99);
        ASSERT_EQ(stamp.brush.Start(45, 35), 1);
        stamp.brush.End();
        EXPECT_EQ(stamp.canvas.Snapshot(), first) << "the paint colour plays no part";

        // A light pen lays the picture fainter, by the same rule.
        CopyCanvas(before, stamp.canvas);
        ASSERT_EQ(stamp.brush.Start(45, 35, BRUSHKEY_LBUTTON, 90), 1);
        stamp.brush.End();
        EXPECT_EQ(MatchingPictures(ctx, before, stamp.canvas, 25, 16, 90).size(), 1u);
        EXPECT_TRUE(stamp.canvas.GuardsIntact());
    }
}

// Size and density: a size below 5 is raised to 5 (in the parameter block
// too), density 50 halves the masks' peak, a size of 250 enlarges.
TEST(Stamps, SizeIsRaisedToFiveAndDensityScalesTheMasks) {
    Stamp star("Xi_StampStarBrush", 40, 40);
    star.brush.SetParams(2, 50, 12);
    ASSERT_EQ(star.brush.Select(), 1);
    EXPECT_EQ(star.brush.ctx().tipWidth, 5);
    EXPECT_EQ(star.brush.ctx().tipHeight, 5);
    EXPECT_EQ(star.brush.params()[0].value, 5);
    EXPECT_EQ(LevelsOf(star.brush.ctx()).largest, 64) << "gain 64 at density 50";
    const std::vector<uint8_t> white = star.canvas.Snapshot();
    ASSERT_EQ(star.brush.Start(20, 20), 1);
    star.brush.End();
    EXPECT_FALSE(star.canvas.ChangedSince(white).IsZero());

    star.brush.SetParams(250, 100, 12);
    ASSERT_EQ(star.brush.Select(), 1);
    EXPECT_EQ(star.brush.ctx().tipWidth, 250);
    EXPECT_EQ(star.brush.ctx().color3, 752u);
    EXPECT_EQ(LevelsOf(star.brush.ctx()).largest, 128);
}

// Over many clicks the picture drawn stays inside the strip, and every
// picture of the leaf strip (four) comes up.
TEST(Stamps, ThePictureIndexStaysInsideTheStrip) {
    Stamp leaf("Xi_StampLeafBrush", 30, 30);
    leaf.brush.SetParams(20, 100, 12);
    ASSERT_EQ(leaf.brush.Select(), 1);
    ASSERT_EQ(leaf.brush.ctx().tipVariantCount, 4);
    TestCanvas white(30, 30);
    white.Fill(Bgr{255, 255, 255});
    std::set<int32_t> seen;
    std::srand(5);
    for (int k = 0; k < 120; ++k) {
        leaf.canvas.Fill(Bgr{255, 255, 255});
        ASSERT_EQ(leaf.brush.Start(15, 15), 1);
        leaf.brush.End();
        const std::vector<int32_t> v = MatchingPictures(leaf.brush.ctx(), white, leaf.canvas, 5, 6);
        ASSERT_EQ(v.size(), 1u) << "draw " << k << " laid no single picture of the strip";
        seen.insert(v[0]);
    }
    EXPECT_EQ(seen, (std::set<int32_t>{0, 1, 2, 3}));
}

// Spacing is 8 x interval percent of the diagonal: size 20 (diagonal
// 226 / 8 pixels) at interval 12 spaces 122 / 128 of it, 26.9 pixels, so
// a drag of 26 pixels lays nothing and pulls cur back, 27 lays the next
// dab; at interval 1 the spacing is 2.2 pixels.
TEST(Stamps, TheIntervalSpacesTheDabs) {
    for (const auto &[interval, shortDrag] : {std::pair<int, int>{12, 26}, std::pair<int, int>{1, 2}}) {
        SCOPED_TRACE(interval);
        Stamp butterfly("Xi_StampButterflyBrush", 120, 40);
        butterfly.brush.SetParams(20, 100, interval);
        ASSERT_EQ(butterfly.brush.Select(), 1);
        ASSERT_EQ(butterfly.brush.Start(20, 20), 1);
        const std::vector<uint8_t> clicked = butterfly.canvas.Snapshot();
        butterfly.brush.Drag(20 + shortDrag, 20);
        EXPECT_EQ(butterfly.brush.ctx().curX, 20) << "too short: cur pulled back";
        EXPECT_TRUE(butterfly.canvas.ChangedSince(clicked).IsZero());
        butterfly.brush.Drag(21 + shortDrag, 20);
        EXPECT_EQ(butterfly.brush.ctx().curX, 21 + shortDrag);
        EXPECT_FALSE(butterfly.canvas.ChangedSince(clicked).IsZero());
        butterfly.brush.End();
    }
}

// The preview: the patterned background with one picture in its middle.
TEST(Stamps, ThePreviewLaysOnePictureInTheMiddle) {
    Stamp fruit("Xi_StampRFruitBrush", 10, 10);
    fruit.brush.SetParams(40, 100, 12);
    ASSERT_EQ(fruit.brush.Select(), 1);
    TestCanvas preview(100, 80);
    ASSERT_EQ(fruit.brush.Preview(preview), 1);
    const Rect dab{30, 21, 70, 61};
    EXPECT_EQ(fruit.brush.PreviewDirty(), (Rect{30, 20, 70, 61}));
    int changed = 0;
    for (int32_t y = 0; y < 80; ++y) {
        for (int32_t x = 0; x < 100; ++x) {
            const bool oddBand = (y / 8) % 2 == 1, oddCell = (x / 8) % 2 == 1;
            const Bgr ground = !oddBand ? (oddCell ? Bgr{163, 114, 61} : Bgr{96, 96, 96})
                                        : (oddCell ? Bgr{128, 149, 255} : Bgr{192, 192, 192});
            if (!dab.Contains(x, y)) {
                ASSERT_EQ(preview.Pixel(x, y), ground) << x << ", " << y;
            } else {
                changed += preview.Pixel(x, y) != ground;
            }
        }
    }
    EXPECT_GT(changed, 40 * 40 / 3);
}

// The builder's refusals: a strip that is not there, a strip whose height
// is not picture height x count, two strips of different sizes, a missing
// size or count.  Each gives 0, keeps nothing (a stamp built before is
// freed, so painting is refused) and leaves the lock free; only the low 16
// bits of the strip id count.
TEST(Stamps, TheBuilderRefusesWhatItCannotReadAndKeepsNothing) {
    const CreateStampProc create = CreateStamp();
    ASSERT_NE(create, nullptr);
    Stamp shell("Xi_StampShellBrush", 40, 40);
    shell.brush.SetParams(20, 100, 12);
    PlugInBrushContext &ctx = shell.brush.ctx();
    ctx.tipParams = shell.brush.params();
    const int32_t frame[2] = {200, 200};
    const int32_t noWidth[2] = {0, 200};
    struct Refusal {
        const char *what;
        int32_t id;
        const int32_t *frame;
        int32_t count;
    };
    const Refusal refusals[] = {
        {"no such strip", 201, frame, 5},     {"a mask without its mask", 110, frame, 5},
        {"height not 200 x 4", 105, frame, 4}, {"strips of different heights", 102, frame, 5},
        {"no size", 105, nullptr, 5},          {"a zero width", 105, noWidth, 5},
        {"no pictures", 105, frame, 0},
    };
    for (const Refusal &r : refusals) {
        SCOPED_TRACE(r.what);
        ASSERT_EQ(create(&ctx, 0x10000 + 105, frame, 5), 1) << "a stamp to be freed";
        ASSERT_NE(ctx.workBits, nullptr);
        EXPECT_EQ(create(&ctx, r.id, r.frame, r.count), 0);
        if (r.frame && r.count > 0 && r.frame[0] > 0) {
            EXPECT_EQ(ctx.tipBits, nullptr);
            EXPECT_EQ(ctx.workBits, nullptr);
            EXPECT_EQ(shell.brush.Start(20, 20), 0) << "painting refused until a stamp is built";
        }
    }
    EXPECT_EQ(create(nullptr, 105, frame, 5), 0);

    // Another thread can still paint: no refusal left the lock held.
    auto painted = std::async(std::launch::async, [] {
        Stamp star("Xi_StampStarBrush", 30, 30);
        star.brush.SetParams(20, 100, 12);
        return star.brush.Select() == 1 ? star.brush.Start(15, 15) : 0;
    });
    ASSERT_EQ(painted.wait_for(std::chrono::seconds(20)), std::future_status::ready) << "lock still held";
    EXPECT_EQ(painted.get(), 1);
}

// The exports at their ordinals, and a fresh load of the plug-in leaves
// the process's random sequence where it was (the drawing brushes seed
// it, not the stamps).
TEST(Stampwell, ExportsItsStampsAndBuilderAndLeavesRandAlone) {
    ASSERT_NE(Stampwell(), nullptr);
    std::map<unsigned, std::string> expected;
    for (const ListedStamp &entry : kStamps) expected[entry.ordinal] = entry.exportName;
    expected[6] = "_Xi_CreateStampBrush@16";
    EXPECT_EQ(pintora_test::ReadExportTable(Stampwell()), expected);

    pintora_test::TempDir folder;
    const std::wstring copy = folder.File(L"StampwellCopy.brs");
    ASSERT_TRUE(CopyFileW(pintora_test::DistPath(L"Stampwell.brs").c_str(), copy.c_str(), FALSE));
    std::srand(1234);
    const int expectedDraw = std::rand();
    std::srand(1234);
    const HMODULE fresh = LoadLibraryW(copy.c_str());
    ASSERT_NE(fresh, nullptr);
    EXPECT_EQ(std::rand(), expectedDraw) << "loading the stamps reseeded rand()";
    FreeLibrary(fresh);
}

}  // namespace
