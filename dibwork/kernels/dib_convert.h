// Checks behind the normal-form conversion of packed DIBs read from files
// and resources: which headers are already normal, which can be converted
// by the system, and whether run-length data stays inside its picture.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "dib_format.h"

namespace dibwork {

using namespace dibformat;

enum class NormalForm {
    kNormal,   // 40-byte header, BI_RGB, bottom-up, 1/4/8 bits, or 24 bits without colours
    kConvert,  // a format the system's DIB conversion turns into the normal form
    kRefused,  // a header that describes no picture Dibwork can hold
};

// Classifies a 40-byte header (core headers are rewritten before this).
// Converted: 16- and 32-bit BI_RGB, BI_BITFIELDS at 16 or 32 bits, RLE8 at
// 8 bits and RLE4 at 4 bits (bottom-up only), 24 bits with a colour count,
// and top-down rows (made bottom-up).  Refused: every other header size,
// compression or bit count, and empty or negative widths.
NormalForm ClassifyNormalForm(const DibHeaderFields &h, uint32_t colorsImportant);

// True when a BI_RLE8 (bitCount 8) or BI_RLE4 (bitCount 4) stream of
// `size` bytes stays inside a width x height picture: no run, literal or
// delta leaves its row or goes past the last row, and no literal or delta
// reads past the data.  The stream may end with the end-of-bitmap mark or
// with the data.  Rows count from the bottom, as the stream does.
bool RleStreamFits(const uint8_t *data, size_t size, int width, int height, int bitCount);

// Bytes of a packed DIB block as its header describes it: header, colour
// table and the pixel data (stride x rows uncompressed, biSizeImage for
// compressed data).  Nothing when that is no valid size or the bit count
// is not 1, 4, 8, 16, 24 or 32.
std::optional<uint32_t> PackedDibBytes(const DibHeaderFields &f);

// True when a DIB block of `blockBytes` bytes holds the pixel data its
// header announces; run-length data must also stay inside its rows.  Only
// such sources are handed to the system's conversion.
bool DibBlockIsSound(const uint8_t *block, size_t blockBytes);

// A 12-byte core-header DIB rewritten with a 40-byte header and 4-byte
// colour entries (biClrUsed and biClrImportant = the table's entries);
// nothing when the block does not hold what it announces or the bit count
// is not one a core header may have.
std::optional<std::vector<uint8_t>> CoreToInfoBlock(const uint8_t *core, size_t blockBytes);

// What ConvNormalDIB does with a DIB block that has a 40-byte header.
enum class NormalDibPlan {
    kRefuse,   // not a picture Dibwork can hold, or the block is short
    kKeep,     // already normal, with all its rows
    kConvert,  // a sound source for the system's conversion
};
NormalDibPlan PlanNormalDib(const uint8_t *block, size_t blockBytes);

}  // namespace dibwork
