// Layout arithmetic of packed device-independent bitmaps: row stride,
// colour-table size, image size and the size of a whole packed block.
//
// Plain C++ without <windows.h>: the header is read from raw bytes in
// little-endian order, so the same code runs in the DLL and in the native
// sanitizer build.
//
// Header forms: the 12-byte core header (16-bit width and height, 3-byte
// colour entries) and the 40-byte info header with its longer successors
// (52, 56, 64, 108, 124 bytes), whose first 40 bytes are the info header.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

namespace dibwork {

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
// first word announces (12, or 40 to 124 bytes).
std::optional<DibHeaderFields> ReadDibHeaderFieldsChecked(const void *p, size_t available);

// ((bitCount * width + 31) / 32) * 4 in 32-bit unsigned arithmetic, exactly
// as the exported BitmapWidthBytes computes it (wrapping on overflow).
uint32_t StrideBytesWrapping(uint32_t width, uint32_t bitCount);

// The stride, or nothing when it does not fit in 32 bits or width < 1.
std::optional<uint32_t> StrideBytesChecked(int64_t width, uint32_t bitCount);

// Colour count: biClrUsed when non-zero (info header), otherwise 2, 16 or
// 256 for 1, 4 or 8 bits and 0 for other bit counts.  16-bit result.
uint16_t ColorCount(const DibHeaderFields &h);

// Colour-table bytes: core header colours x 3; BI_BITFIELDS 12; otherwise
// colours x 4.  16-bit result.
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

// Largest block Dibwork allocates: a 32-bit process cannot hold more than
// this in one piece anyway, and it keeps every sum below 2^31.
constexpr uint32_t kMaxBlockBytes = 0x7FFF0000u;

// The layout, or nothing for a zero width or height, an absurd header size
// or a size beyond kMaxBlockBytes.  For RLE compression the image size is
// the larger of the stored biSizeImage and the unpacked rows.
std::optional<DibBlockLayout> ComputeBlockLayout(const DibHeaderFields &h);

// True for the bit counts an uncompressed picture may have.
constexpr bool IsValidBitCount(uint32_t bits) {
    return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

}  // namespace dibwork
