#include "picture_files.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace dibwork {

std::optional<BmpWritePlan> PlanBmpWrite(const DibHeaderFields &h) {
    if (h.core || h.width < 1 || h.height == 0) return std::nullopt;
    // Bit-field masks have no place in this layout: such a file would be
    // read with the wrong colours.
    if (h.compression == kCompressionBitfields) return std::nullopt;
    BmpWritePlan plan{};
    const auto colours = AnnouncedColours(h);
    if (!colours) return std::nullopt;
    plan.colours = *colours;
    // Uncompressed rows are as long as the geometry says, whatever
    // biSizeImage claims: a smaller claim would cut the rows short and
    // leave a file no reader takes.  Compressed data is biSizeImage long.
    plan.imageBytes = h.sizeImage;
    if (h.compression == kCompressionRgb) {
        const auto layout = ComputeBlockLayout(h);
        if (!layout) return std::nullopt;
        plan.imageBytes = layout->imageBytes;
    } else if (plan.imageBytes == 0) {
        return std::nullopt;
    }
    const uint64_t offBits = kBmpFileHeaderBytes + uint64_t(kInfoHeaderSize) + 4ull * plan.colours;
    const uint64_t size = offBits + plan.imageBytes;
    if (size > kMaxBlockBytes) return std::nullopt;
    plan.file.type = kBmpSignature;
    plan.file.size = static_cast<uint32_t>(size);
    plan.file.offBits = static_cast<uint32_t>(offBits);
    return plan;
}

std::optional<std::string> PathExtension(const char *path) {
    if (!path) return std::nullopt;
    const char *dot = std::strrchr(path, '.');
    if (!dot) return std::nullopt;
    std::string extension(dot + 1);
    if (extension.size() > 4) extension.resize(4);
    return extension;
}

PictureKind ClassifyExtension(const std::string &extension) {
    std::string e = extension;
    std::transform(e.begin(), e.end(), e.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    struct Row {
        const char *extension;
        PictureKind kind;
    };
    static constexpr Row kTable[] = {
        {"bmp", PictureKind::kBmp},  {"dib", PictureKind::kBmp},      {"rle", PictureKind::kBmp},
        {"ico", PictureKind::kIcon}, {"cur", PictureKind::kIcon},     {"ani", PictureKind::kIcon},
        {"jpeg", PictureKind::kJpeg}, {"jpg", PictureKind::kJpeg},    {"gif", PictureKind::kGif},
        {"png", PictureKind::kPng},  {"wmf", PictureKind::kMetafile}, {"emf", PictureKind::kMetafile},
        {"pcx", PictureKind::kPcx},  {"pbm", PictureKind::kAnyMap},   {"pgm", PictureKind::kAnyMap},
        {"ppm", PictureKind::kAnyMap},
    };
    for (const Row &row : kTable) {
        if (e == row.extension) return row.kind;
    }
    return PictureKind::kOther;
}

int CornerTransparentIndex(const PixelView &picture) {
    if (picture.bitCount != 8 || !picture.bits || picture.width < 6 || picture.height < 6) return -1;
    const int w = picture.width, h = picture.height;
    auto at = [&](int x, int y) { return picture.Row(y)[x]; };
    const uint8_t corner = at(0, 0);
    const uint8_t others[7] = {at(1, 1),         at(w - 1, 0), at(w - 2, 1),     at(0, h - 1),
                               at(1, h - 2),     at(w - 1, h - 1), at(w - 2, h - 2)};
    const int same = static_cast<int>(std::count(std::begin(others), std::end(others), corner));
    return same >= 3 ? corner : -1;
}

}  // namespace dibwork
