#include "dib_format.h"

#include <algorithm>

namespace dibformat {
namespace {

bool IsKnownHeaderSize(uint32_t size) {
    return size == kCoreHeaderSize || (size >= kInfoHeaderSize && size <= 124);
}

}  // namespace

DibHeaderFields ReadDibHeaderFields(const void *p) {
    const auto *b = static_cast<const uint8_t *>(p);
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
    const auto *b = static_cast<const uint8_t *>(p);
    const uint32_t size = Le32(b);
    if (!IsKnownHeaderSize(size) || available < size) return std::nullopt;
    const DibHeaderFields h = ReadDibHeaderFields(p);
    if (!AnnouncedColours(h)) return std::nullopt;
    return h;
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

namespace {

bool IsIndexed(const DibHeaderFields &h) { return h.bitCount >= 1 && h.bitCount <= 8; }

// The most entries a table of the header's bit count may have.
uint32_t MostColours(const DibHeaderFields &h) { return IsIndexed(h) ? 1u << h.bitCount : kMaxColours; }

}  // namespace

std::optional<uint32_t> AnnouncedColours(const DibHeaderFields &h) {
    if (h.core || h.colorsUsed == 0) return IsIndexed(h) ? 1u << h.bitCount : 0u;
    if (h.colorsUsed > MostColours(h)) return std::nullopt;
    return h.colorsUsed;
}

uint16_t ColorCount(const DibHeaderFields &h) {
    return static_cast<uint16_t>(AnnouncedColours(h).value_or(MostColours(h)));
}

uint16_t ColorTableBytes(const DibHeaderFields &h) {
    if (h.core) return static_cast<uint16_t>(ColorCount(h) * 3);
    if (h.compression == kCompressionBitfields) return 12;
    return static_cast<uint16_t>(ColorCount(h) * 4);
}

std::optional<DibBlockLayout> ComputeBlockLayout(const DibHeaderFields &h) {
    if (!IsKnownHeaderSize(h.headerSize)) return std::nullopt;
    if (h.width < 1 || h.height == 0 || !AnnouncedColours(h)) return std::nullopt;
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

BmpFileHeader ReadBmpFileHeader(const uint8_t *p) {
    BmpFileHeader h;
    h.type = Le16(p);
    h.size = Le32(p + 2);
    h.reserved1 = Le16(p + 6);
    h.reserved2 = Le16(p + 8);
    h.offBits = Le32(p + 10);
    return h;
}

void StoreBmpFileHeader(const BmpFileHeader &h, uint8_t *out) {
    PutLe16(out, h.type);
    PutLe32(out + 2, h.size);
    PutLe16(out + 6, h.reserved1);
    PutLe16(out + 8, h.reserved2);
    PutLe32(out + 10, h.offBits);
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

bool BmpHeadLooksWhole(const uint8_t *head, size_t headBytes, uint64_t fileSize) {
    if (headBytes > fileSize) headBytes = static_cast<size_t>(fileSize);
    if (!head || headBytes < 2 || head[0] != 'B' || head[1] != 'M') return true;
    if (headBytes < kBmpFileHeaderBytes) return false;
    const BmpFileHeader header = ReadBmpFileHeader(head);
    const uint64_t rest = fileSize - kBmpFileHeaderBytes;
    const auto sizes = MeasureDibBlock(head + kBmpFileHeaderBytes, headBytes - kBmpFileHeaderBytes);
    // Whole as a packed DIB after the file header, and the rows where
    // bfOffBits says they are lie after the header and table and within
    // the file (the system's loaders take them from there).
    return BmpBlockBytes(header, fileSize) && sizes && sizes->headerAndTable + sizes->image <= rest &&
           header.offBits >= kBmpFileHeaderBytes + sizes->headerAndTable &&
           uint64_t{header.offBits} + sizes->image <= fileSize;
}

bool BmpFileLooksWhole(const uint8_t *file, size_t size) {
    return BmpHeadLooksWhole(file, size < kBmpHeadBytes ? size : kBmpHeadBytes, size);
}

std::optional<DibIntake> TakeDibBlock(const void *block, size_t size) {
    const auto fields = ReadDibHeaderFieldsChecked(block, size);
    if (!fields || fields->core || fields->planes != 1) return std::nullopt;
    const DibHeaderFields &h = *fields;
    const auto layout = ComputeBlockLayout(h);
    if (!layout) return std::nullopt;
    DibIntake in{};
    in.fields = h;
    in.tableOffset = h.headerSize;
    const bool bitfields = h.compression == kCompressionBitfields;
    in.tableEntries = bitfields ? 0 : ColorCount(h);
    in.bitsOffset = h.headerSize + (bitfields ? 12u : in.tableEntries * 4u);
    in.stride = layout->stride;
    in.rows = layout->rows;
    in.imageBytes = layout->stride * layout->rows;  // fits: ComputeBlockLayout bounds it
    if (bitfields) {
        if (h.bitCount != 16 && h.bitCount != 32) return std::nullopt;
    } else if (h.compression != kCompressionRgb) {
        // Compressed data is as long as biSizeImage says.
        if (h.sizeImage == 0) return std::nullopt;
        in.imageBytes = h.sizeImage;
    } else if (!IsValidBitCount(h.bitCount)) {
        return std::nullopt;
    }
    if (uint64_t{in.bitsOffset} + in.imageBytes > size) return std::nullopt;
    return in;
}

}  // namespace dibformat
