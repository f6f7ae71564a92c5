// The format of device-independent bitmaps, the bottom layer under
// Dibwork's kernels and the codecs: little-endian readers and writers, the
// header fields and their checks, row stride, colour-table size, image
// size and the size of a whole packed block, the unpacking of indexed
// rows, and the checks a BMP file must pass before its contents are
// trusted.
//
// Plain C++ without <windows.h>: headers are read from raw bytes in
// little-endian order, so the same code runs in the DLLs and in the native
// sanitizer build.
//
// Header forms: the 12-byte core header (16-bit width and height, 3-byte
// colour entries) and the 40-byte info header with its longer successors
// (52, 56, 64, 108, 124 bytes), whose first 40 bytes are the info header.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

namespace dibformat {

// ------------------------------------------------------- little-endian --

inline uint16_t Le16(const uint8_t *p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
inline uint32_t Le32(const uint8_t *p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
           (static_cast<uint32_t>(p[3]) << 24);
}
inline void PutLe16(uint8_t *p, uint16_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}
inline void PutLe32(uint8_t *p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

// ------------------------------------------------------------- headers --

constexpr uint32_t kCoreHeaderSize = 12;
constexpr uint32_t kInfoHeaderSize = 40;
constexpr uint32_t kCompressionRgb = 0;
constexpr uint32_t kCompressionRle8 = 1;
constexpr uint32_t kCompressionRle4 = 2;
constexpr uint32_t kCompressionBitfields = 3;

// The fields of either header form that the layout depends on.
struct DibHeaderFields {
    uint32_t headerSize = 0;   // biSize / bcSize
    int32_t width = 0;
    int32_t height = 0;        // as stored: negative for top-down rows
    uint16_t planes = 0;
    uint16_t bitCount = 0;
    uint32_t compression = 0;  // always 0 for a core header
    uint32_t sizeImage = 0;
    uint32_t colorsUsed = 0;   // always 0 for a core header
    bool core = false;
};

// Reads the header fields at p.  No size check: the caller vouches for at
// least 12 bytes, and for 40 when the first word is not 12.
DibHeaderFields ReadDibHeaderFields(const void *p);

// As above, but checks that `available` bytes hold the whole header the
// first word announces (12, or 40 to 124 bytes) and that its colour count
// obeys AnnouncedColours.
std::optional<DibHeaderFields> ReadDibHeaderFieldsChecked(const void *p, size_t available);

// ((bitCount * width + 31) / 32) * 4 in 32-bit unsigned arithmetic, exactly
// as the exported BitmapWidthBytes computes it (wrapping on overflow).
uint32_t StrideBytesWrapping(uint32_t width, uint32_t bitCount);

// The stride, or nothing when it does not fit in 32 bits or width < 1.
std::optional<uint32_t> StrideBytesChecked(int64_t width, uint32_t bitCount);

// The one rule for colour counts.  A picture of 1 to 8 bits has biClrUsed
// entries when non-zero (info header), else 2^bits, and never more than
// 2^bits; a picture of more bits has biClrUsed entries (an optional table)
// up to kMaxColours.  Nothing for a header that breaks the rule: such a
// header is refused everywhere (ReadDibHeaderFieldsChecked,
// ComputeBlockLayout), because its table size cannot be trusted.
std::optional<uint32_t> AnnouncedColours(const DibHeaderFields &h);

// Colour count by AnnouncedColours; a header that breaks the rule counts
// the most its bit count allows (so no size derived from it ever wraps).
uint16_t ColorCount(const DibHeaderFields &h);

// Colour-table bytes: core header colours x 3; BI_BITFIELDS 12; otherwise
// colours x 4.  At most 1024.
uint16_t ColorTableBytes(const DibHeaderFields &h);

// Complete layout of a packed DIB block, every size checked against
// 32-bit overflow.
struct DibBlockLayout {
    uint32_t headerBytes;  // headerSize
    uint32_t tableBytes;   // ColorTableBytes
    uint32_t stride;       // bytes per row
    uint32_t rows;         // |height|
    uint32_t imageBytes;   // stride x rows
    uint32_t totalBytes;   // header + table + image
    uint32_t bitsOffset;   // header + table
};

// Largest block taken as a picture: a 32-bit process cannot hold more than
// this in one piece anyway, and it keeps every sum below 2^31.
constexpr uint32_t kMaxBlockBytes = 0x7FFF0000u;

// The layout, or nothing for a zero width or height, an absurd header size,
// a colour count AnnouncedColours refuses or a size beyond kMaxBlockBytes.  For RLE compression the image size is
// the larger of the stored biSizeImage and the unpacked rows.
std::optional<DibBlockLayout> ComputeBlockLayout(const DibHeaderFields &h);

// True for the bit counts an uncompressed picture may have.
constexpr bool IsValidBitCount(uint32_t bits) {
    return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

// Most colour-table entries a picture may have.
constexpr uint32_t kMaxColours = 256;

// ------------------------------------------------------ writer intake --

// Where the parts of a caller's packed DIB lie, for code that reads the
// picture out of it (the file writers).
struct DibIntake {
    DibHeaderFields fields;
    uint32_t tableOffset;   // headerSize: the table follows the header, whatever its form
    uint32_t tableEntries;  // RGBQUAD entries there (0 for bit-field masks)
    uint32_t bitsOffset;    // first pixel byte
    uint32_t stride;        // bytes per unpacked row
    uint32_t rows;          // |height|
    uint32_t imageBytes;    // pixel bytes: the rows, or biSizeImage when compressed
};

// The parts of the `size` bytes at `block`, when they hold an info header
// (40 to 124 bytes) of a sane picture, its colour table and every pixel
// byte its header announces; nothing otherwise.
std::optional<DibIntake> TakeDibBlock(const void *block, size_t size);

// -------------------------------------------------------- indexed rows --

// Index of pixel x in a 1-, 4- or 8-bit row (most significant bits first).
inline unsigned IndexAt(const uint8_t *row, int x, int bitCount) {
    switch (bitCount) {
        case 1: return (row[x >> 3] >> (7 - (x & 7))) & 1u;
        case 4: return (x & 1) ? (row[x >> 1] & 0x0Fu) : (row[x >> 1] >> 4);
        default: return row[x];
    }
}

// ----------------------------------------------------------- BMP files --

constexpr uint32_t kBmpFileHeaderBytes = 14;
constexpr uint16_t kBmpSignature = 0x4D42;  // "BM"

struct BmpFileHeader {
    uint16_t type = 0;
    uint32_t size = 0;      // bfSize: the whole file
    uint16_t reserved1 = 0;
    uint16_t reserved2 = 0;
    uint32_t offBits = 0;   // bfOffBits: where the pixel rows start
};

BmpFileHeader ReadBmpFileHeader(const uint8_t *p);  // 14 bytes at p
void StoreBmpFileHeader(const BmpFileHeader &h, uint8_t *out);  // 14 bytes

// How much larger than the file its bfSize may claim before the file is
// taken as broken (the reader allocates bfSize bytes).
constexpr uint32_t kBmpSizeSlack = 64 * 1024;

// The size of the block that receives everything after the file header:
// bfSize, when it can hold the rest of the file and is not absurdly
// larger than the file; nothing otherwise.
std::optional<uint32_t> BmpBlockBytes(const BmpFileHeader &h, uint64_t fileSize);

// True when the first `available` bytes of a packed DIB hold its whole
// header, colour table and pixel rows (for run-length pictures: the
// biSizeImage bytes the header announces), with a sane size, bit count
// and colour count.
bool DibBlockIsWhole(const uint8_t *block, size_t available);

// For the system's decoders, which read a BMP file's rows past its end
// when its header lies: false when a file starts with "BM" but its file
// header or its header, table and rows do not hold together (true for
// everything else, which is not ours to judge).  Decided from the headers
// and the file's size alone: `head` holds the file's first `headBytes`
// bytes (kBmpHeadBytes, or the whole file when it is shorter), and
// `fileSize` is the size of the whole file, however large.
constexpr size_t kBmpHeadBytes = kBmpFileHeaderBytes + 124;
bool BmpHeadLooksWhole(const uint8_t *head, size_t headBytes, uint64_t fileSize);

// The same for a whole file in memory.
bool BmpFileLooksWhole(const uint8_t *file, size_t size);

}  // namespace dibformat
