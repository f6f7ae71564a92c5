// The plain parts of picture-file input and output: the BMP file header,
// the checks a BMP file must pass before its contents are trusted, the
// extension table of the file dispatchers and the corner rule that picks a
// GIF's transparent colour.
//
// Plain C++ without <windows.h>: headers are read and written as raw
// little-endian bytes, so the native sanitizer build runs the same code.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "dib_layout.h"
#include "pixel_view.h"

namespace dibwork {

// ------------------------------------------------------------ BMP files --

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
// when its header lies: false when the bytes of a whole file start with
// "BM" but its file header or its header, table and rows do not hold
// together (true for everything else, which is not ours to judge).
bool BmpFileLooksWhole(const uint8_t *file, size_t size);

// What WriteBMPFile writes for a picture's header: the colour-table
// entries and pixel bytes after the headers, and the file header.  A
// picture of 8 bits or less whose biClrUsed is 0 still needs its whole
// table in the file, and an uncompressed one whose biSizeImage is 0 its
// rows; both are filled in (and written into the file's header copy) so
// that the file always describes itself.
struct BmpWritePlan {
    uint32_t colours;      // entries of the colour table written
    uint32_t imageBytes;   // pixel bytes written
    BmpFileHeader file;
};
std::optional<BmpWritePlan> PlanBmpWrite(const DibHeaderFields &h);

// ------------------------------------------------------ extension table --

enum class PictureKind { kBmp, kIcon, kJpeg, kGif, kPng, kMetafile, kPcx, kAnyMap, kOther };

// The text after the last dot, at most 4 characters; nothing without a dot.
std::optional<std::string> PathExtension(const char *path);
// The row of the extension table (matched without regard to case).
PictureKind ClassifyExtension(const std::string &extension);

// ------------------------------------------------------------------ GIF --

// The transparent colour index of an 8-bit picture: the top-left corner's
// index when at least 3 of the seven other sample points (the other
// corners and the four pixels one step diagonally inward from the
// corners) share it; -1 when fewer do, or the picture is smaller than
// 6 x 6 pixels or not 8 bits.
int CornerTransparentIndex(const PixelView &picture);

}  // namespace dibwork
