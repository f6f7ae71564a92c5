#include "clipboard_dib.h"

#include "dib_format.h"

namespace pintora {
namespace {

using dibformat::DibHeaderFields;

bool ConvertibleFormat(const DibHeaderFields &h) {
    switch (h.compression) {
        case dibformat::kCompressionRgb: return dibformat::IsValidBitCount(h.bitCount);
        case dibformat::kCompressionBitfields: return h.bitCount == 16 || h.bitCount == 32;
        case dibformat::kCompressionRle8: return h.bitCount == 8;
        case dibformat::kCompressionRle4: return h.bitCount == 4;
        default: return false;  // embedded JPEG or PNG, unknown codes
    }
}

// A colour table longer than the bit count can index is refused: the
// converters count it in 16 bits and would misplace the pixel data.
bool PlausibleColorCount(const DibHeaderFields &h) {
    const uint32_t limit = h.bitCount <= 8 ? (1u << h.bitCount) : 256u;
    return h.colorsUsed <= limit;
}

}  // namespace

bool IsScreenSizeDib(const void *block, size_t blockBytes, int32_t screenWidth, int32_t screenHeight) {
    if (screenWidth < 1 || screenHeight < 1) return false;
    const auto fields = dibformat::ReadDibHeaderFieldsChecked(block, blockBytes);
    if (!fields) return false;
    const DibHeaderFields &h = *fields;
    if (h.headerSize != dibformat::kInfoHeaderSize || h.planes != 1) return false;
    if (h.width != screenWidth || h.height != screenHeight) return false;
    if (!ConvertibleFormat(h) || !PlausibleColorCount(h)) return false;

    const auto layout = dibformat::ComputeBlockLayout(h);
    if (!layout) return false;
    const bool rle = h.compression == dibformat::kCompressionRle8 || h.compression == dibformat::kCompressionRle4;
    if (rle) {
        // Run-length data is as long as its header says; it must say.
        const uint64_t needed = uint64_t{layout->bitsOffset} + h.sizeImage;
        return h.sizeImage != 0 && needed <= blockBytes;
    }
    return layout->totalBytes <= blockBytes;
}

}  // namespace pintora
