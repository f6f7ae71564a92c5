#include "picture_files.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace dibwork {
namespace {

uint16_t Get16(const uint8_t *p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t Get32(const uint8_t *p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
           (static_cast<uint32_t>(p[3]) << 24);
}
void Put16(uint8_t *p, uint16_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}
void Put32(uint8_t *p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

constexpr uint32_t kMaxColours = 256;

// Colour-table entries a header announces, without the 16-bit wrap of
// ColorCount: nothing for more than 256.
std::optional<uint32_t> AnnouncedColours(const DibHeaderFields &h) {
    uint32_t colours = h.core || h.colorsUsed == 0 ? (h.bitCount <= 8 ? (1u << h.bitCount) : 0u) : h.colorsUsed;
    if (colours > kMaxColours) return std::nullopt;
    return colours;
}

}  // namespace

BmpFileHeader ReadBmpFileHeader(const uint8_t *p) {
    BmpFileHeader h;
    h.type = Get16(p);
    h.size = Get32(p + 2);
    h.reserved1 = Get16(p + 6);
    h.reserved2 = Get16(p + 8);
    h.offBits = Get32(p + 10);
    return h;
}

void StoreBmpFileHeader(const BmpFileHeader &h, uint8_t *out) {
    Put16(out, h.type);
    Put32(out + 2, h.size);
    Put16(out + 6, h.reserved1);
    Put16(out + 8, h.reserved2);
    Put32(out + 10, h.offBits);
}

std::optional<uint32_t> BmpBlockBytes(const BmpFileHeader &h, uint64_t fileSize) {
    if (fileSize < kBmpFileHeaderBytes) return std::nullopt;
    const uint64_t rest = fileSize - kBmpFileHeaderBytes;
    if (h.size < rest) return std::nullopt;                         // the rest would overrun the block
    if (h.size > fileSize + kBmpSizeSlack) return std::nullopt;     // absurd claim
    if (h.size > kMaxBlockBytes || h.size < kCoreHeaderSize) return std::nullopt;
    return h.size;
}

namespace {

// The header-and-table bytes and the pixel bytes a packed DIB announces,
// when its size, bit count, compression and colour count are sane; the
// header itself must lie within `available`.
struct DibBlockSizes {
    uint64_t headerAndTable;
    uint64_t image;
};

std::optional<DibBlockSizes> MeasureDibBlock(const uint8_t *block, size_t available) {
    if (!block || available < 4) return std::nullopt;
    const auto fields = ReadDibHeaderFieldsChecked(block, available);
    if (!fields || fields->planes != 1) return std::nullopt;
    const DibHeaderFields &h = *fields;
    if (!IsValidBitCount(h.bitCount)) return std::nullopt;
    const auto colours = AnnouncedColours(h);
    if (!colours) return std::nullopt;
    uint64_t table = h.core ? *colours * 3ull : *colours * 4ull;
    const bool rle = !h.core && (h.compression == kCompressionRle8 || h.compression == kCompressionRle4);
    if (!h.core && h.compression == kCompressionBitfields) {
        if (h.bitCount != 16 && h.bitCount != 32) return std::nullopt;
        table = std::max<uint64_t>(table, 12);
    } else if (rle) {
        if (h.bitCount != (h.compression == kCompressionRle8 ? 8 : 4) || h.height < 0) return std::nullopt;
    } else if (!h.core && h.compression != kCompressionRgb) {
        return std::nullopt;  // JPEG/PNG inside a BMP and other forms: not ours to pass on
    }
    const auto layout = ComputeBlockLayout(h);
    if (!layout) return std::nullopt;
    const uint64_t image = rle ? h.sizeImage : static_cast<uint64_t>(layout->stride) * layout->rows;
    if (rle && image < 2) return std::nullopt;
    return DibBlockSizes{static_cast<uint64_t>(h.headerSize) + table, image};
}

}  // namespace

bool DibBlockIsWhole(const uint8_t *block, size_t available) {
    const auto sizes = MeasureDibBlock(block, available);
    return sizes && sizes->headerAndTable + sizes->image <= available;
}

bool BmpFileLooksWhole(const uint8_t *file, size_t size) {
    if (!file || size < 2 || file[0] != 'B' || file[1] != 'M') return true;
    if (size < kBmpFileHeaderBytes) return false;
    const BmpFileHeader header = ReadBmpFileHeader(file);
    const size_t rest = size - kBmpFileHeaderBytes;
    const auto sizes = MeasureDibBlock(file + kBmpFileHeaderBytes, rest);
    // Whole as a packed DIB after the file header, and the rows where
    // bfOffBits says they are lie after the header and table and within
    // the file (the system's loaders take them from there).
    return BmpBlockBytes(header, size) && sizes && sizes->headerAndTable + sizes->image <= rest &&
           header.offBits >= kBmpFileHeaderBytes + sizes->headerAndTable &&
           header.offBits + sizes->image <= size;
}

std::optional<BmpWritePlan> PlanBmpWrite(const DibHeaderFields &h) {
    if (h.core || h.width < 1 || h.height == 0) return std::nullopt;
    // Bit-field masks have no place in this layout: such a file would be
    // read with the wrong colours.
    if (h.compression == kCompressionBitfields) return std::nullopt;
    BmpWritePlan plan{};
    plan.colours = h.colorsUsed;
    if (plan.colours == 0 && h.bitCount <= 8) plan.colours = 1u << h.bitCount;
    if (plan.colours > kMaxColours) return std::nullopt;
    plan.imageBytes = h.sizeImage;
    if (plan.imageBytes == 0 && h.compression == kCompressionRgb) {
        const auto layout = ComputeBlockLayout(h);
        if (!layout) return std::nullopt;
        plan.imageBytes = layout->imageBytes;
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
