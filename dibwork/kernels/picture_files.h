// The plain parts of picture-file input and output: the plan of a BMP file
// to write, the extension table of the file dispatchers and the corner
// rule that picks a GIF's transparent colour.  The BMP file header and the
// checks a BMP file must pass are in the format layer (dib_format.h).
//
// Plain C++ without <windows.h>: headers are read and written as raw
// little-endian bytes, so the native sanitizer build runs the same code.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "dib_format.h"
#include "pixel_view.h"

namespace dibwork {

using namespace dibformat;

// ------------------------------------------------------------ BMP files --

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
