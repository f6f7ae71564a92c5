// The paint bucket's fill time, against a plain scanline fill of the same
// area in the same process.
//
// Run with:   tools/bench penlith_bucket_bench
//
// Xi_BucketBrush of the built Penlith.brs fills a 1920 x 1080 canvas from
// one click (begin and paint through the entry point: band scans, the
// one-bit mask, the connected part, the growth, the painting).  The
// reference is the classic seed fill on the canvas itself: a stack of
// seeds, each widened to its run of matching, unvisited pixels, which are
// painted with the same blend and whose rows above and below are searched
// for further seeds.  Printed per canvas:
//     bucket_NAME.fill         ms of the bucket's fill
//     bucket_NAME.scanline     ms of the plain scanline fill
//     bucket_NAME.ratio_vs_scanline   fill / scanline (goal <= 1.5)
//     bucket_NAME.area         pixels the scanline fill painted
//     bucket_NAME.fill_per_pixel      ns of the fill per canvas pixel
// for a maze of lines (corridors of 22 pixels between 2-pixel walls: many
// runs, so the plug-in's own connected part) and a plain white canvas
// (one run a row: the platform's flood fill), at 1920 x 1080 and again at
// 3840 x 2160 (NAME_3840x2160).
//
// With a file name it writes a picture instead: two closed outlines drawn
// with the marker, the first filled with the bucket, the second left empty.
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench_support.h"
#include "penlith_bench_support.h"

namespace {

using namespace penlith_bench;

constexpr int32_t kTolerance = 20;
constexpr int32_t kDensity = 90;
constexpr uint32_t kColor = 0x020090F0;  // red 0xF0, green 0x90, blue 0x00

// A maze of black 2-pixel walls on white, cells of 24 pixels, carved by a
// depth-first walk with its own stack (rand() seeded with a constant).
void DrawMaze(Canvas &canvas) {
    std::fill(canvas.bits.begin(), canvas.bits.end(), uint8_t{255});
    const int32_t cell = 24, cols = canvas.width / cell, rows = canvas.height / cell;
    const auto black = [&](int32_t x0, int32_t y0, int32_t x1, int32_t y1) {  // top-down, exclusive
        for (int32_t y = std::max(0, y0); y < std::min(canvas.height, y1); ++y) {
            uint8_t *row = canvas.Row(canvas.height - 1 - y);
            for (int32_t x = std::max(0, x0); x < std::min(canvas.width, x1); ++x) row[3 * x] = row[3 * x + 1] = row[3 * x + 2] = 0;
        }
    };
    // Every wall first, then the walk knocks out the ones it passes.
    std::vector<uint8_t> right(cols * rows, 1), down(cols * rows, 1), seen(cols * rows, 0);
    std::srand(7);
    std::vector<int32_t> stack{0};
    seen[0] = 1;
    while (!stack.empty()) {
        const int32_t c = stack.back(), cx = c % cols, cy = c / cols;
        int32_t options[4], n = 0;
        if (cx > 0 && !seen[c - 1]) options[n++] = c - 1;
        if (cx + 1 < cols && !seen[c + 1]) options[n++] = c + 1;
        if (cy > 0 && !seen[c - cols]) options[n++] = c - cols;
        if (cy + 1 < rows && !seen[c + cols]) options[n++] = c + cols;
        if (n == 0) {
            stack.pop_back();
            continue;
        }
        const int32_t next = options[std::rand() % n];
        if (next == c + 1) right[c] = 0;
        if (next == c - 1) right[next] = 0;
        if (next == c + cols) down[c] = 0;
        if (next == c - cols) down[next] = 0;
        seen[next] = 1;
        stack.push_back(next);
    }
    for (int32_t cy = 0; cy < rows; ++cy) {
        for (int32_t cx = 0; cx < cols; ++cx) {
            const int32_t x = cx * cell, y = cy * cell;
            if (right[cy * cols + cx]) black(x + cell - 1, y - 1, x + cell + 1, y + cell + 1);
            if (down[cy * cols + cx]) black(x - 1, y + cell - 1, x + cell + 1, y + cell + 1);
        }
    }
    black(0, 0, 1, canvas.height);
    black(0, 0, canvas.width, 1);
}

// The plain scanline fill: the area of the bucket's matching rule joined
// to (x0, y0) by edges, painted with channel = old + (target - old) x a /
// 128.  No growth and no band: the classic algorithm.
__attribute__((noinline)) int64_t ScanlineFill(Canvas &canvas, int32_t x0, int32_t y0, int32_t tolerance, int32_t a,
                                               brush::BgrColor target) {
    const int32_t w = canvas.width, h = canvas.height;
    const uint8_t *s = canvas.Row(h - 1 - y0) + 3 * x0;
    const int32_t sb = s[0], sg = s[1], sr = s[2];
    std::vector<uint8_t> visited(static_cast<size_t>(w) * h, 0);
    const auto open = [&](int32_t x, int32_t y) {
        if (visited[static_cast<size_t>(y) * w + x]) return false;
        const uint8_t *p = canvas.Row(h - 1 - y) + 3 * x;
        return std::abs(p[0] - sb) < tolerance && std::abs(p[1] - sg) < tolerance && std::abs(p[2] - sr) < tolerance;
    };
    struct Seed {
        int32_t x, y;
    };
    std::vector<Seed> seeds{{x0, y0}};
    int64_t area = 0;
    while (!seeds.empty()) {
        const Seed seed = seeds.back();
        seeds.pop_back();
        if (!open(seed.x, seed.y)) continue;
        int32_t left = seed.x, right = seed.x;
        while (left > 0 && open(left - 1, seed.y)) --left;
        while (right + 1 < w && open(right + 1, seed.y)) ++right;
        uint8_t *row = canvas.Row(h - 1 - seed.y);
        for (int32_t x = left; x <= right; ++x) {
            visited[static_cast<size_t>(seed.y) * w + x] = 1;
            uint8_t *p = row + 3 * x;
            p[0] = brush::BlendChannel(p[0], target.b, a);
            p[1] = brush::BlendChannel(p[1], target.g, a);
            p[2] = brush::BlendChannel(p[2], target.r, a);
        }
        area += right - left + 1;
        for (int32_t ny : {seed.y - 1, seed.y + 1}) {
            if (ny < 0 || ny >= h) continue;
            for (int32_t x = left; x <= right; ++x) {
                if (open(x, ny) && (x == left || !open(x - 1, ny))) seeds.push_back(Seed{x, ny});
            }
        }
    }
    return area;
}

void Measure(PlugInBrushProc bucket, const std::string &name, const Canvas &pristine, POINT click) {
    BrushParam params[3] = {};
    PlugInBrushContext ctx{};
    if (!SelectBrush(bucket, ctx, params, kTolerance, kDensity, 0, kColor)) {
        std::printf("# %s: the bucket refused its selection\n", name.c_str());
        return;
    }
    const std::vector<POINT> points{click};
    Canvas canvas(pristine.width, pristine.height);
    double fill = 1e30, scanline = 1e30;
    int64_t area = 0;
    bool filled = true;
    for (int run = 0; run < 7; ++run) {
        canvas.bits = pristine.bits;
        AttachCanvas(ctx, canvas);
        fill = std::min(fill, Seconds([&] { PaintThroughEntry(bucket, ctx, points, BRUSH_PRESSURE_FULL); }));
        filled = filled && canvas.bits != pristine.bits;
        canvas.bits = pristine.bits;
        scanline = std::min(scanline, Seconds([&] {
                                area = ScanlineFill(canvas, click.x, click.y, kTolerance, kDensity * 128 / 100,
                                                    brush::ColorOf(kColor));
                            }));
    }
    ReleaseBrush(bucket, ctx);
    if (!filled) std::printf("# %s: the bucket painted nothing\n", name.c_str());
    pintora_bench::Report("bucket_" + name + ".fill", fill * 1e3, "ms");
    pintora_bench::Report("bucket_" + name + ".scanline", scanline * 1e3, "ms");
    pintora_bench::Report("bucket_" + name + ".ratio_vs_scanline", fill / scanline, "x");
    pintora_bench::Report("bucket_" + name + ".area", static_cast<double>(area), "pixels");
    // Per canvas pixel, to compare canvas sizes.
    pintora_bench::Report("bucket_" + name + ".fill_per_pixel",
                          fill * 1e9 / (static_cast<double>(pristine.width) * pristine.height), "ns/px");
}

// --------------------------------------------------------- the picture --

// A closed five-pointed star outline around (cx, cy).
std::vector<POINT> Star(int32_t cx, int32_t cy, int32_t outer, int32_t inner) {
    std::vector<POINT> points;
    for (int k = 0; k <= 10; ++k) {
        const double angle = -3.14159265358979 / 2 + k * 3.14159265358979 / 5;
        const int32_t r = k % 2 ? inner : outer;
        const POINT corner{static_cast<LONG>(cx + r * std::cos(angle)), static_cast<LONG>(cy + r * std::sin(angle))};
        if (!points.empty()) {  // a point every 3 pixels along each side
            const POINT from = points.back();
            const int steps = std::max(1, static_cast<int>(std::hypot(corner.x - from.x, corner.y - from.y) / 3));
            for (int s = 1; s < steps; ++s) {
                points.push_back(POINT{from.x + (corner.x - from.x) * s / steps, from.y + (corner.y - from.y) * s / steps});
            }
        }
        points.push_back(corner);
    }
    return points;
}

bool PaintPicture(HMODULE penlith, PlugInBrushProc bucket, const char *path) {
    Canvas paper(640, 360);
    std::fill(paper.bits.begin(), paper.bits.end(), uint8_t{255});
    const PlugInBrushProc marker = Entry(penlith, "Xi_MarkerBrush");
    if (!marker) return false;
    PlugInBrushContext pen{};
    BrushParam penParams[3] = {};
    if (!SelectBrush(marker, pen, penParams, 7, 100, 0, 0x02302020)) return false;
    AttachCanvas(pen, paper);
    PaintThroughEntry(marker, pen, Star(170, 190, 150, 62), BRUSH_PRESSURE_FULL);
    PaintThroughEntry(marker, pen, Star(470, 190, 150, 62), BRUSH_PRESSURE_FULL);
    ReleaseBrush(marker, pen);

    PlugInBrushContext ctx{};
    BrushParam params[3] = {};
    if (!SelectBrush(bucket, ctx, params, kTolerance, kDensity, 0, kColor)) return false;
    AttachCanvas(ctx, paper);
    PaintThroughEntry(bucket, ctx, {POINT{170, 200}}, BRUSH_PRESSURE_FULL);
    ReleaseBrush(bucket, ctx);
    return WriteBmp(path, paper);
}

}  // namespace

int main(int argc, char **argv) {
    pintora_bench::PrintHeader("penlith_bucket_bench");
    HMODULE penlith = LoadPenlith();
    const PlugInBrushProc bucket = Entry(penlith, "Xi_BucketBrush");
    if (!bucket) {
        std::printf("# Penlith.brs or its bucket could not be loaded\n");
        return 1;
    }
    if (argc > 1) {
        const bool written = PaintPicture(penlith, bucket, argv[1]);
        std::printf("# bucket picture %s %s\n", written ? "written to" : "could not be written to", argv[1]);
        return written ? 0 : 1;
    }
    // Full HD keeps its figure names; 4K adds the size to them.
    for (const SIZE size : {SIZE{kWidth, kHeight}, SIZE{3840, 2160}}) {
        const std::string suffix =
            size.cx == kWidth ? "" : "_" + std::to_string(size.cx) + "x" + std::to_string(size.cy);
        Canvas maze(size.cx, size.cy);
        DrawMaze(maze);
        Measure(bucket, "maze" + suffix, maze, POINT{12, 12});
        Canvas plain(size.cx, size.cy);
        std::fill(plain.bits.begin(), plain.bits.end(), uint8_t{255});
        Measure(bucket, "white" + suffix, plain, POINT{size.cx / 2, size.cy / 2});
    }
    return 0;
}
