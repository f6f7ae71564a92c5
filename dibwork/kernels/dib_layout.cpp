#include "dib_layout.h"

#include <cstring>

namespace dibwork {
namespace {

uint16_t Le16(const unsigned char *p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t Le32(const unsigned char *p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

bool IsKnownHeaderSize(uint32_t size) {
    return size == kCoreHeaderSize || (size >= kInfoHeaderSize && size <= 124);
}

}  // namespace

DibHeaderFields ReadDibHeaderFields(const void *p) {
    const auto *b = static_cast<const unsigned char *>(p);
    DibHeaderFields h;
    h.headerSize = Le32(b);
    if (h.headerSize == kCoreHeaderSize) {
        h.core = true;
        h.width = Le16(b + 4);
        h.height = Le16(b + 6);
        h.planes = Le16(b + 8);
        h.bitCount = Le16(b + 10);
        return h;
    }
    h.width = static_cast<int32_t>(Le32(b + 4));
    h.height = static_cast<int32_t>(Le32(b + 8));
    h.planes = Le16(b + 12);
    h.bitCount = Le16(b + 14);
    h.compression = Le32(b + 16);
    h.sizeImage = Le32(b + 20);
    h.colorsUsed = Le32(b + 32);
    return h;
}

std::optional<DibHeaderFields> ReadDibHeaderFieldsChecked(const void *p, size_t available) {
    if (p == nullptr || available < 4) return std::nullopt;
    const auto *b = static_cast<const unsigned char *>(p);
    const uint32_t size = Le32(b);
    if (!IsKnownHeaderSize(size) || available < size) return std::nullopt;
    return ReadDibHeaderFields(p);
}

uint32_t StrideBytesWrapping(uint32_t width, uint32_t bitCount) {
    return ((bitCount * width + 31u) / 32u) * 4u;
}

std::optional<uint32_t> StrideBytesChecked(int64_t width, uint32_t bitCount) {
    if (width < 1 || bitCount == 0 || bitCount > 64) return std::nullopt;
    const uint64_t bits = static_cast<uint64_t>(width) * bitCount;
    const uint64_t stride = ((bits + 31u) / 32u) * 4u;
    if (stride > 0xFFFFFFFFull) return std::nullopt;
    return static_cast<uint32_t>(stride);
}

uint16_t ColorCount(const DibHeaderFields &h) {
    if (!h.core && h.colorsUsed != 0) return static_cast<uint16_t>(h.colorsUsed);
    switch (h.bitCount) {
        case 1: return 2;
        case 4: return 16;
        case 8: return 256;
        default: return 0;
    }
}

uint16_t ColorTableBytes(const DibHeaderFields &h) {
    if (h.core) return static_cast<uint16_t>(ColorCount(h) * 3);
    if (h.compression == kCompressionBitfields) return 12;
    return static_cast<uint16_t>(ColorCount(h) * 4);
}

std::optional<DibBlockLayout> ComputeBlockLayout(const DibHeaderFields &h) {
    if (!IsKnownHeaderSize(h.headerSize)) return std::nullopt;
    if (h.width < 1 || h.height == 0) return std::nullopt;
    // A row's length in bits, rounded up to 32, must fit 32 bits:
    // BitmapWidthBytes and the system's own DIB code compute the stride in
    // 32-bit arithmetic and would read a wider picture with a wrong stride.
    if (static_cast<uint64_t>(h.width) * h.bitCount + 31u > 0xFFFFFFFFull) return std::nullopt;
    const auto stride = StrideBytesChecked(h.width, h.bitCount);
    if (!stride) return std::nullopt;

    DibBlockLayout l{};
    l.headerBytes = h.headerSize;
    l.tableBytes = ColorTableBytes(h);
    l.stride = *stride;
    const int64_t height = h.height;
    l.rows = static_cast<uint32_t>(height < 0 ? -height : height);

    uint64_t image = static_cast<uint64_t>(l.stride) * l.rows;
    const bool rle = !h.core && (h.compression == kCompressionRle8 || h.compression == kCompressionRle4);
    if (rle && h.sizeImage > image) image = h.sizeImage;
    const uint64_t total = static_cast<uint64_t>(l.headerBytes) + l.tableBytes + image;
    if (total > kMaxBlockBytes) return std::nullopt;

    l.imageBytes = static_cast<uint32_t>(image);
    l.totalBytes = static_cast<uint32_t>(total);
    l.bitsOffset = l.headerBytes + l.tableBytes;
    return l;
}

}  // namespace dibwork
