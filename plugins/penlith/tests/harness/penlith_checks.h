// Checks every Penlith brush must pass, shared by the brush families'
// tests.  Each reports with the brush's export name.  The ones that stop
// at a fatal failure are meant to be called inside
// ASSERT_NO_FATAL_FAILURE so that the calling test stops too.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <initializer_list>
#include <vector>

#include "penlith_harness.h"
#ifndef _WIN32
#include "textures_native.h"
#endif

namespace penlith_test {

// A random stroke of `steps` drags at random pressures over a noise canvas
// of 70 x 50 (tip `size`, density 80, third parameter `third`): the
// rectangle each call hands back, clipped to the canvas, holds every pixel
// that call changed, and nothing outside the pixel rows is written.  The
// points come from rand(), so the caller's srand() fixes the stroke.
inline void CheckEveryCallsRectangle(const char *name, int32_t size, int32_t third, int steps) {
    PenlithBrush b(name, 70, 50);
    b.canvas.FillNoise(static_cast<uint32_t>(size));
    b.brush.SetParams(size, 80, third);
    ASSERT_EQ(b.brush.Select(), 1) << name;
    int32_t x = std::rand() % 70, y = std::rand() % 50;
    auto before = b.canvas.Snapshot();
    ASSERT_EQ(b.brush.Start(x, y), 1) << name;
    for (int step = 0; step < steps; ++step) {
        ASSERT_TRUE(Covers(ClipTo(b.brush.Dirty(), b.canvas), b.canvas.ChangedSince(before)))
            << name << " size " << size << " step " << step;
        before = b.canvas.Snapshot();
        x += std::rand() % 41 - 20;
        y += std::rand() % 41 - 20;
        b.brush.Drag(x, y, 2 + std::rand() % 127);
    }
    b.brush.End();
    ASSERT_TRUE(b.canvas.GuardsIntact()) << name << " size " << size;
}

// A null record and each of `commands` (none a command the brushes know)
// are refused.
inline void ExpectNullRecordAndCommandsRefused(const char *name, PenlithBrush &b,
                                               std::initializer_list<int32_t> commands) {
    EXPECT_EQ(PenlithEntry(name)(nullptr), 0) << name;
    for (int32_t command : commands) EXPECT_EQ(b.brush.Send(command), 0) << name << " " << command;
}

// Select with no parameter block is refused and leaves no tip.
inline void ExpectSelectWithoutParametersRefused(const char *name, PenlithBrush &b) {
    b.brush.ctx().tipParams = nullptr;
    EXPECT_EQ(b.brush.Send(BRUSHCMD_SELECT), 0) << name;
    EXPECT_EQ(b.brush.ctx().tipBits, nullptr) << name;
}

// An 8-bit canvas is refused at the stroke start and left as it was.
inline void ExpectEightBitCanvasRefused(const char *name, int32_t third) {
    TestCanvas gray(16, 16, 0, 8);
    BrushHarness g(PenlithEntry(name), gray);
    g.SetParams(6, 100, third);
    ASSERT_EQ(g.Select(), 1) << name;
    const auto before = gray.Snapshot();
    EXPECT_EQ(g.Start(8, 8), 0) << name;
    EXPECT_EQ(gray.Snapshot(), before) << name;
}

// Released, the brush frees its tip and work block and paints no more.
inline void ExpectReleaseLeavesNothingToPaint(const char *name, PenlithBrush &b) {
    EXPECT_EQ(b.brush.Release(), 1) << name;
    EXPECT_EQ(b.brush.ctx().tipBits, nullptr) << name;
    EXPECT_EQ(b.brush.ctx().workBits, nullptr) << name;
    EXPECT_EQ(b.brush.Start(8, 8), 0) << name;
}

// Ctrl+press at (x, y) on a pixel of blue 30, green 20, red 10: the stroke
// starts and the brush's colour becomes that pixel with the flag byte 02.
// `before` receives the canvas as it was before the press.
inline void CtrlPressPicks(const char *name, PenlithBrush &b, int32_t x, int32_t y,
                           std::vector<uint8_t> &before) {
    b.canvas.SetPixel(x, y, Bgr{30, 20, 10});
    before = b.canvas.Snapshot();
    b.brush.ctx().color = 0;
    ASSERT_EQ(b.brush.Start(x, y, BRUSHKEY_LBUTTON | BRUSHKEY_CONTROL), 1) << name;
    EXPECT_EQ(b.brush.ctx().color, 0x021E140Au) << name;
}

// What a brush family's contract check varies: the srand() seed of the
// rectangle strokes, the third parameter of the selections, a stroke
// before the preview (for brushes whose preview carries what a stroke
// loads), and whether the preview may miss its centre pixel (hatching).
struct ContractCase {
    unsigned seed = 7;
    int32_t third = 0;
    bool strokeBeforePreview = false;
    bool previewMayMissCentre = false;
};

// The checks every brush passes, in one call: every call's rectangle holds
// its changes at a small and a large tip, bad records and commands are
// refused, the preview paints over its background, a Ctrl press picks and
// paints nothing, release leaves nothing to paint, an 8-bit canvas is
// refused, and the lock is free afterwards.
inline void CheckBrushContract(const char *name, const ContractCase &c) {
    std::srand(c.seed);
    ASSERT_NO_FATAL_FAILURE(CheckEveryCallsRectangle(name, 9, c.third ? c.third : 8, 40));
    ASSERT_NO_FATAL_FAILURE(CheckEveryCallsRectangle(name, 31, 30, 25));
    PenlithBrush b(name, 30, 30);
    b.brush.SetParams(12, 100, c.third);
    ASSERT_EQ(b.brush.Select(), 1) << name;
    ExpectNullRecordAndCommandsRefused(name, b, {0, 7});
    if (c.strokeBeforePreview) b.Stroke({{10, 10}});
    TestCanvas preview(40, 40);
    b.brush.ctx().color = brush_test::ColorValue(0, 0, 255);
    EXPECT_EQ(b.brush.Preview(preview), 1) << name;
    int painted = 0;
    for (int32_t y = 14; y < 26; ++y) {
        for (int32_t x = 14; x < 26; ++x) painted += preview.Pixel(x, y) != PreviewBackground(x, y);
    }
    EXPECT_GT(painted, 10) << name;
    if (!c.previewMayMissCentre) {
        EXPECT_NE(preview.Pixel(20, 20), PreviewBackground(20, 20)) << name;
    }
    std::vector<uint8_t> before;
    ASSERT_NO_FATAL_FAILURE(CtrlPressPicks(name, b, 5, 5, before));
    EXPECT_EQ(b.canvas.Snapshot(), before) << name << ": a pick paints nothing";
    b.brush.End();
    ExpectReleaseLeavesNothingToPaint(name, b);
    ExpectEightBitCanvasRefused(name, c.third);
    ExpectLockFree(name);
}

#ifndef _WIN32
// Without its textures a brush refuses select, keeps no tip or work block
// and paints nothing until a select succeeds again; the lock stays free.
inline void CheckMissingTextureRefusesSelect(const char *name, int32_t third) {
    PenlithBrush b(name, 40, 40);
    b.brush.SetParams(20, 70, third);
    ASSERT_EQ(b.brush.Select(), 1) << name;
    penlith::SetTexturesMissing(true);
    EXPECT_EQ(b.brush.Select(), 0) << name;
    penlith::SetTexturesMissing(false);
    EXPECT_EQ(b.brush.ctx().tipBits, nullptr) << name;
    EXPECT_EQ(b.brush.ctx().workBits, nullptr) << name;
    const auto before = b.canvas.Snapshot();
    EXPECT_EQ(b.brush.Start(20, 20), 0) << name;
    EXPECT_EQ(b.canvas.Snapshot(), before) << name;
    ExpectLockFree(name);
    ASSERT_EQ(b.brush.Select(), 1) << name;
    EXPECT_EQ(b.brush.Start(20, 20), 1) << name;
    b.brush.End();
}
#endif

}  // namespace penlith_test
