#include "dib_convert.h"

namespace dibwork {

NormalForm ClassifyNormalForm(const DibHeaderFields &h, uint32_t colorsImportant) {
    if (h.core || h.headerSize != kInfoHeaderSize || h.width < 1 || h.height == 0) return NormalForm::kRefused;
    const bool bottomUp = h.height > 0;
    switch (h.compression) {
        case kCompressionRgb:
            switch (h.bitCount) {
                case 1:
                case 4:
                case 8:
                    return bottomUp ? NormalForm::kNormal : NormalForm::kConvert;
                case 24:
                    return bottomUp && h.colorsUsed == 0 && colorsImportant == 0 ? NormalForm::kNormal
                                                                                 : NormalForm::kConvert;
                case 16:
                case 32:
                    return NormalForm::kConvert;
                default:
                    return NormalForm::kRefused;
            }
        case kCompressionRle8:
            return bottomUp && h.bitCount == 8 ? NormalForm::kConvert : NormalForm::kRefused;
        case kCompressionRle4:
            return bottomUp && h.bitCount == 4 ? NormalForm::kConvert : NormalForm::kRefused;
        case kCompressionBitfields:
            return h.bitCount == 16 || h.bitCount == 32 ? NormalForm::kConvert : NormalForm::kRefused;
        default:
            return NormalForm::kRefused;
    }
}

bool RleStreamFits(const uint8_t *data, size_t size, int width, int height, int bitCount) {
    if (!data || width < 1 || height < 1 || (bitCount != 4 && bitCount != 8)) return false;
    int64_t x = 0, y = 0;  // y counts rows from the bottom
    size_t pos = 0;
    while (pos + 2 <= size) {
        const unsigned count = data[pos];
        const unsigned code = data[pos + 1];
        pos += 2;
        if (count > 0) {  // a run of one value
            if (y >= height || x + count > width) return false;
            x += count;
            continue;
        }
        switch (code) {
            case 0:  // end of line
                x = 0;
                if (++y > height) return false;
                break;
            case 1:  // end of bitmap
                return true;
            case 2:  // delta: move right and up
                if (pos + 2 > size) return false;
                x += data[pos];
                y += data[pos + 1];
                pos += 2;
                if (x > width || y > height) return false;
                break;
            default: {  // `code` literal pixels, padded to a whole word
                if (y >= height || x + code > width) return false;
                const size_t bytes = bitCount == 8 ? code : (code + 1) / 2;
                if (bytes > size - pos) return false;
                pos += bytes + (bytes & 1);
                x += code;
            }
        }
    }
    return true;
}

}  // namespace dibwork
