// Cost of the picture operations the program runs on every page, at
// 1920 x 1080 and at 3840 x 2160: the thumbnail (-> 64 x 48) and export
// (-> 640 x 480) resizes and the canvas duplicate.  Each is given in ns per
// source pixel and as a ratio to a memcpy of the same source bytes timed in
// this process; the last lines compare the time per pixel of the two sizes.
//
// The resizes are also timed against a plain reference of their rule (the
// box average with a division per channel, then the bilinear blend), run
// here on the same source, and their output is compared with it byte for
// byte ("identical 1 bool").  A whole-picture copy is compared with a
// memcpy into a warm buffer and with the floor of making a fresh section of
// the same size (allocate, touch every page, free), which no copy into a
// new picture can beat.
#include <windows.h>

#include <cstdint>
#include <algorithm>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "bench_support.h"
#include "dibwork.h"

using namespace pintora_bench;

namespace {

// The picture size of the current run (full HD, then 4K).
int kWidth = 1920, kHeight = 1080;
constexpr int kRepeats = 7;

// A source with detail everywhere, so no path can take a uniform shortcut.
HBITMAP MakeSource() {
    HBITMAP bitmap = MakeBlankFCDIBitmap(kWidth, kHeight);
    auto *bits = static_cast<uint8_t *>(GetDIBitmapDataAddress(bitmap));
    const DWORD stride = BitmapWidthBytes(kWidth, 24);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            uint8_t *p = bits + static_cast<size_t>(y) * stride + 3 * static_cast<size_t>(x);
            p[0] = static_cast<uint8_t>(x * 3 + y);
            p[1] = static_cast<uint8_t>(x ^ y);
            p[2] = static_cast<uint8_t>(y * 5 - x);
        }
    return bitmap;
}

// The three-way shrink of the library written out plainly: box average by
// kx x ky = (sw + dw / 4) / dw x (sh + dh / 4) / dh blocks into iw x ih,
// then the bilinear blend to dw x dh.  24-bit, rows in memory order.
std::vector<uint8_t> ReferenceShrink(const uint8_t *bits, int sw, int sh, int dw, int dh) {
    const size_t ss = BitmapWidthBytes(sw, 24);
    const int kx = std::max(1, (sw + dw / 4) / dw), ky = std::max(1, (sh + dh / 4) / dh);
    const int iw = sw / kx, ih = sh / ky;
    std::vector<uint8_t> mid(static_cast<size_t>(iw) * ih * 3);
    const int bx = std::max(1, sw / iw), by = std::max(1, sh / ih);
    const unsigned count = static_cast<unsigned>(bx * by);
    for (int y = 0; y < ih; ++y)
        for (int x = 0; x < iw; ++x)
            for (int c = 0; c < 3; ++c) {
                unsigned sum = 0;
                for (int v = 0; v < by; ++v)
                    for (int u = 0; u < bx; ++u) sum += bits[(y * by + v) * ss + (x * bx + u) * 3 + c];
                mid[(static_cast<size_t>(y) * iw + x) * 3 + c] = static_cast<uint8_t>((sum + count / 2) / count);
            }
    const size_t ds = BitmapWidthBytes(dw, 24);
    std::vector<uint8_t> out(ds * dh, 0);
    auto position = [](int i, int from, int to) {
        int64_t pos = i * (64 * int64_t{from} - 64) / (std::max(to, 2) - 1);
        return std::max<int64_t>(0, std::min(pos, 64 * int64_t{from} - 65));
    };
    for (int j = 0; j < dh; ++j) {
        const int64_t sy = position(j, ih, dh);
        const int ry = static_cast<int>(sy >> 6), fy = static_cast<int>(sy & 63);
        const int ry1 = std::min(ry + 1, ih - 1);
        for (int i = 0; i < dw; ++i) {
            const int64_t sx = position(i, iw, dw);
            const int px = static_cast<int>(sx >> 6), fx = static_cast<int>(sx & 63);
            const int px1 = std::min(px + 1, iw - 1);
            for (int c = 0; c < 3; ++c) {
                auto at = [&](int x, int y) { return int{mid[(static_cast<size_t>(y) * iw + x) * 3 + c]}; };
                const int top = at(px, ry) + (at(px1, ry) - at(px, ry)) * fx / 64;
                const int bottom = at(px, ry1) + (at(px1, ry1) - at(px, ry1)) * fx / 64;
                out[j * ds + i * 3 + c] = static_cast<uint8_t>((top * (64 - fy) + bottom * fy) / 64);
            }
        }
    }
    return out;
}

bool SameBits(HBITMAP bitmap, const std::vector<uint8_t> &expected) {
    const auto *bits = static_cast<const uint8_t *>(GetDIBitmapDataAddress(bitmap));
    return bits && std::memcmp(bits, expected.data(), expected.size()) == 0;
}

// "name" followed by the run's size: copy_dibitmap_3840x2160.
std::string Sized(const std::string &name) { return name + "_" + std::to_string(kWidth) + "x" + std::to_string(kHeight); }

void ReportFigure(const std::string &name, double seconds, double memcpySeconds) {
    const double pixels = static_cast<double>(kWidth) * kHeight;
    Report(name + ".ns_per_source_pixel", seconds * 1e9 / pixels, "ns");
    Report(name + ".ratio_vs_memcpy", seconds / memcpySeconds, "x");
}

// The figures of one picture size; the ns per source pixel of the export
// shrink and of the copy are returned for the growth check.
std::pair<double, double> RunSize() {
    HBITMAP source = MakeSource();
    if (!source) return {0, 0};
    const size_t bytes = static_cast<size_t>(BitmapWidthBytes(kWidth, 24)) * kHeight;
    const auto *sourceBits = static_cast<const uint8_t *>(GetDIBitmapDataAddress(source));
    std::vector<uint8_t> target(bytes);

    const double memcpyTime = BestOf(kRepeats, [&] {
        std::memcpy(target.data(), sourceBits, bytes);
        // Keep the copy observable so it is not dropped.
        if (target[bytes / 2] == 0x5A) target[0] ^= 1;
    });
    Report(Sized("memcpy") + ".ns_per_source_pixel", memcpyTime * 1e9 / (double(kWidth) * kHeight), "ns");

    auto timeResult = [&](auto make) {
        return BestOf(kRepeats, [&] {
            HBITMAP result = make();
            FreeDIBitmap(&result);
        });
    };
    double exportTime = 0;
    for (const auto &[dw, dh] : {std::pair<int, int>{64, 48}, std::pair<int, int>{640, 480}}) {
        const std::string name = Sized("tristretch") + "_to_" + std::to_string(dw) + "x" + std::to_string(dh);
        const double fast = timeResult([&] { return TriStretchDIBitmap2DIBitmap(source, dw, dh); });
        ReportFigure(name, fast, memcpyTime);
        if (dw == 640) exportTime = fast;
        std::vector<uint8_t> expected;
        const double plain = BestOf(3, [&] { expected = ReferenceShrink(sourceBits, kWidth, kHeight, dw, dh); });
        Report(name + ".ratio_vs_plain_rule", fast / plain, "x");
        HBITMAP result = TriStretchDIBitmap2DIBitmap(source, dw, dh);
        Report(name + ".identical", result && SameBits(result, expected) ? 1 : 0, "bool");
        FreeDIBitmap(&result);
    }

    // Whole-picture copies: into a new section, and into an existing one.
    const double sectionTime = timeResult([&] {
        HBITMAP fresh = MakeBlankFCDIBitmap(kWidth, kHeight);
        auto *bits = static_cast<volatile uint8_t *>(GetDIBitmapDataAddress(fresh));
        for (size_t at = 0; at < bytes; at += 4096) bits[at] = 1;
        return fresh;
    });
    Report(Sized("new_section") + ".ns_per_source_pixel", sectionTime * 1e9 / (double(kWidth) * kHeight), "ns");
    const double copyTime = timeResult([&] { return CopyDIBitmap(source); });
    ReportFigure(Sized("copy_dibitmap"), copyTime, memcpyTime);
    Report(Sized("copy_dibitmap") + ".ratio_vs_new_section_plus_memcpy", copyTime / (sectionTime + memcpyTime), "x");
    HBITMAP forwardTarget = MakeBlankFCDIBitmap(kWidth, kHeight);
    const double forwardTime = BestOf(kRepeats, [&] { ForwardDIBitmap2DIBitmap(source, forwardTarget); });
    ReportFigure(Sized("forward_dibitmap"), forwardTime, memcpyTime);
    HBITMAP copy = CopyDIBitmap(source);
    Report(Sized("copy_dibitmap") + ".identical",
           copy && std::memcmp(GetDIBitmapDataAddress(copy), sourceBits, bytes) == 0 &&
               std::memcmp(GetDIBitmapDataAddress(forwardTarget), sourceBits, bytes) == 0,
           "bool");
    FreeDIBitmap(&copy);
    FreeDIBitmap(&forwardTarget);

    FreeDIBitmap(&source);
    const double pixels = static_cast<double>(kWidth) * kHeight;
    return {exportTime / pixels, copyTime / pixels};
}

}  // namespace

int main() {
    PrintHeader("dibwork_scaling");
    const auto hd = RunSize();
    kWidth = 3840;
    kHeight = 2160;
    const auto uhd = RunSize();
    if (hd.first > 0 && uhd.first > 0) {
        Report("tristretch_to_640x480.ns_per_pixel_4k_vs_full_hd", uhd.first / hd.first, "x");
        Report("copy_dibitmap.ns_per_pixel_4k_vs_full_hd", uhd.second / hd.second, "x");
    }
    return 0;
}
