// Cost of the picture operations the program runs on every page: the
// thumbnail (1920 x 1080 -> 64 x 48) and export (-> 640 x 480) resizes and
// the canvas duplicate.  Each is given in ns per source pixel and as a
// ratio to a memcpy of the same source bytes timed in this process.
#include <windows.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "bench_support.h"
#include "dibwork.h"

using namespace pintora_bench;

namespace {

constexpr int kWidth = 1920, kHeight = 1080;
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

void ReportFigure(const char *name, double seconds, double memcpySeconds) {
    const double pixels = static_cast<double>(kWidth) * kHeight;
    Report(std::string(name) + ".ns_per_source_pixel", seconds * 1e9 / pixels, "ns");
    Report(std::string(name) + ".ratio_vs_memcpy", seconds / memcpySeconds, "x");
}

}  // namespace

int main() {
    PrintHeader("dibwork_scaling");
    HBITMAP source = MakeSource();
    if (!source) return 1;
    const size_t bytes = static_cast<size_t>(BitmapWidthBytes(kWidth, 24)) * kHeight;
    const auto *sourceBits = static_cast<const uint8_t *>(GetDIBitmapDataAddress(source));
    std::vector<uint8_t> target(bytes);

    const double memcpyTime = BestOf(kRepeats, [&] {
        std::memcpy(target.data(), sourceBits, bytes);
        // Keep the copy observable so it is not dropped.
        if (target[bytes / 2] == 0x5A) target[0] ^= 1;
    });
    Report("memcpy_1920x1080.ns_per_source_pixel", memcpyTime * 1e9 / (double(kWidth) * kHeight), "ns");

    auto timeResult = [&](auto make) {
        return BestOf(kRepeats, [&] {
            HBITMAP result = make();
            FreeDIBitmap(&result);
        });
    };
    ReportFigure("tristretch_to_64x48", timeResult([&] { return TriStretchDIBitmap2DIBitmap(source, 64, 48); }),
                 memcpyTime);
    ReportFigure("tristretch_to_640x480",
                 timeResult([&] { return TriStretchDIBitmap2DIBitmap(source, 640, 480); }), memcpyTime);
    ReportFigure("copy_dibitmap_1920x1080", timeResult([&] { return CopyDIBitmap(source); }), memcpyTime);

    FreeDIBitmap(&source);
    return 0;
}
