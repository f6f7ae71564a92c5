// Saving a page at the end of a kids run: the full 24-bit BMP and its
// 64 x 48 thumbnail, each written to a temporary file, flushed and moved
// into place (SavePageFiles, the program's own code), at 1920 x 1080 and
// 3840 x 2160.  The references, timed in the same process, write the same
// number of bytes to one plain file: once without and once with a flush
// (the page path flushes both files so that a page is never half written).
//
//   page_save_WxH.ms                       SavePageFiles, best of the runs
//   page_save_WxH.raw_write_ms             CreateFile, WriteFile, CloseHandle
//   page_save_WxH.ratio_vs_raw_write       the two above
//   page_save_WxH.raw_write_flushed_ms     the same with FlushFileBuffers
//   page_save_WxH.ratio_vs_raw_write_flushed
//   page_save_WxH.identical                1 when both page files hold the
//                                          bytes WriteBMPFile writes directly
//                                          for the picture and its thumbnail
//   page_save.ns_per_pixel_4k_vs_full_hd   growth beyond the pixel count
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "bench_support.h"
#include "dibwork.h"
#include "page_files.h"
#include "page_store.h"

using namespace pintora_bench;

namespace {

constexpr int kRuns = 5;
constexpr int kPage = 4;  // written as 05.bmp and 05_s.bmp

// A picture with detail everywhere (a flat one would say nothing about
// the thumbnail's averaging).
HBITMAP MakeCanvas(int width, int height) {
    HBITMAP bitmap = MakeBlankFCDIBitmap(width, height);
    auto *bits = static_cast<uint8_t *>(GetDIBitmapDataAddress(bitmap));
    if (!bits) return bitmap;
    const DWORD stride = BitmapWidthBytes(width, 24);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            uint8_t *p = bits + static_cast<size_t>(y) * stride + 3 * static_cast<size_t>(x);
            p[0] = static_cast<uint8_t>(x * 3 + y);
            p[1] = static_cast<uint8_t>(x ^ y);
            p[2] = static_cast<uint8_t>(y * 5 - x);
        }
    return bitmap;
}

std::vector<uint8_t> FileBytes(const std::string &path) {
    std::vector<uint8_t> bytes;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return bytes;
    const DWORD size = GetFileSize(file, nullptr);
    bytes.resize(size);
    DWORD read = 0;
    if (size && !ReadFile(file, bytes.data(), size, &read, nullptr)) read = 0;
    bytes.resize(read);
    CloseHandle(file);
    return bytes;
}

bool RawWrite(const std::string &path, const std::vector<uint8_t> &bytes, bool flush) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
              written == bytes.size();
    if (flush) ok = ok && FlushFileBuffers(file);
    CloseHandle(file);
    return ok;
}

// The same bytes as WriteBMPFile gives directly.
bool SameAsDirectWrite(const std::string &folder, HBITMAP picture, const std::string &written) {
    const std::string direct = folder + "direct.bmp";
    const bool ok = WriteBMPFile(direct.c_str(), nullptr, picture) != 0;
    const bool same = ok && FileBytes(direct) == FileBytes(written);
    DeleteFileA(direct.c_str());
    return same;
}

// Seconds per pixel of the page save.
double Measure(const std::string &folder, int width, int height) {
    const std::string name = "page_save_" + std::to_string(width) + "x" + std::to_string(height);
    HBITMAP canvas = MakeCanvas(width, height);
    if (!canvas || !pintora::SavePageFiles(folder, true, kPage, canvas)) {
        std::printf("# %s: the page could not be saved in %s\n", name.c_str(), folder.c_str());
        FreeDIBitmap(&canvas);
        return 0;
    }
    const std::string picture = pintora::PageFileName(folder, true, kPage, false);
    const std::string thumbnail = pintora::PageFileName(folder, true, kPage, true);
    const double save = BestOf(kRuns, [&] { pintora::SavePageFiles(folder, true, kPage, canvas); });

    std::vector<uint8_t> bytes = FileBytes(picture);
    const size_t pictureBytes = bytes.size();
    const std::vector<uint8_t> small = FileBytes(thumbnail);
    bytes.insert(bytes.end(), small.begin(), small.end());
    const std::string raw = folder + "raw.bin";
    const double plain = BestOf(kRuns, [&] { RawWrite(raw, bytes, false); });
    const double flushed = BestOf(kRuns, [&] { RawWrite(raw, bytes, true); });
    DeleteFileA(raw.c_str());

    HBITMAP thumb = TriStretchDIBitmap2DIBitmap(canvas, 64, 48);
    const bool identical = pictureBytes > 0 && SameAsDirectWrite(folder, canvas, picture) && thumb &&
                           SameAsDirectWrite(folder, thumb, thumbnail);
    FreeDIBitmap(&thumb);
    FreeDIBitmap(&canvas);
    DeleteFileA(picture.c_str());
    DeleteFileA(thumbnail.c_str());

    Report(name + ".bytes", static_cast<double>(bytes.size()), "bytes");
    Report(name + ".ms", save * 1000, "ms");
    Report(name + ".raw_write_ms", plain * 1000, "ms");
    Report(name + ".ratio_vs_raw_write", save / plain, "x");
    Report(name + ".raw_write_flushed_ms", flushed * 1000, "ms");
    Report(name + ".ratio_vs_raw_write_flushed", save / flushed, "x");
    Report(name + ".identical", identical ? 1 : 0, "bool");
    return save / (static_cast<double>(width) * height);
}

}  // namespace

int main() {
    PrintHeader("page_save");
    char temp[MAX_PATH] = {};
    if (!GetTempPathA(sizeof(temp), temp)) return 1;
    const std::string folder = std::string(temp) + "pintora_page_bench\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    const double hd = Measure(folder, 1920, 1080);
    const double uhd = Measure(folder, 3840, 2160);
    if (hd > 0 && uhd > 0) Report("page_save.ns_per_pixel_4k_vs_full_hd", uhd / hd, "x");
    RemoveDirectoryA(pintora::PageFolder(folder, true).c_str());
    RemoveDirectoryA(pintora::PageFolder(folder, false).c_str());
    RemoveDirectoryA((folder + "Save").c_str());
    RemoveDirectoryA(folder.c_str());
    return 0;
}
