#include "dib_convert.h"

#include <cstring>

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

std::optional<uint32_t> PackedDibBytes(const DibHeaderFields &f) {
    // A bit count no picture can have makes every size meaningless.
    if (!IsValidBitCount(f.bitCount)) return std::nullopt;
    const auto layout = ComputeBlockLayout(f);
    if (!layout) return std::nullopt;
    const bool compressed =
        !f.core && f.compression != kCompressionRgb && f.compression != kCompressionBitfields;
    if (!compressed) return layout->totalBytes;
    // Compressed data is as long as biSizeImage says, however long the
    // unpacked rows would be.
    const uint64_t total = static_cast<uint64_t>(layout->bitsOffset) + f.sizeImage;
    if (f.sizeImage == 0 || total > kMaxBlockBytes) return std::nullopt;
    return static_cast<uint32_t>(total);
}

bool DibBlockIsSound(const uint8_t *block, size_t blockBytes) {
    if (!block || blockBytes < 4) return false;
    const auto f = ReadDibHeaderFieldsChecked(block, blockBytes);
    if (!f) return false;
    const auto bytes = PackedDibBytes(*f);
    if (!bytes || blockBytes < *bytes) return false;
    if (!f->core && (f->compression == kCompressionRle8 || f->compression == kCompressionRle4)) {
        const uint32_t offset = f->headerSize + ColorTableBytes(*f);
        return f->height > 0 && RleStreamFits(block + offset, f->sizeImage, f->width, f->height, f->bitCount);
    }
    return true;
}

std::optional<std::vector<uint8_t>> CoreToInfoBlock(const uint8_t *core, size_t blockBytes) {
    const auto checked = ReadDibHeaderFieldsChecked(core, blockBytes);
    if (!checked || !checked->core) return std::nullopt;
    const DibHeaderFields &f = *checked;
    if (f.bitCount != 1 && f.bitCount != 4 && f.bitCount != 8 && f.bitCount != 24) return std::nullopt;
    const auto layout = ComputeBlockLayout(f);
    if (!layout || blockBytes < layout->totalBytes) return std::nullopt;
    const uint32_t colours = ColorCount(f);

    std::vector<uint8_t> out(kInfoHeaderSize + size_t{colours} * 4 + layout->imageBytes);
    uint8_t *h = out.data();
    PutLe32(h, kInfoHeaderSize);
    PutLe32(h + 4, static_cast<uint32_t>(f.width));
    PutLe32(h + 8, static_cast<uint32_t>(f.height));
    PutLe16(h + 12, f.planes);
    PutLe16(h + 14, f.bitCount);
    PutLe32(h + 16, kCompressionRgb);
    PutLe32(h + 20, layout->imageBytes);
    PutLe32(h + 32, colours);  // biClrUsed
    PutLe32(h + 36, colours);  // biClrImportant
    uint8_t *table = h + kInfoHeaderSize;
    const uint8_t *triples = core + kCoreHeaderSize;
    for (uint32_t i = 0; i < colours; ++i) {
        std::memcpy(table + 4 * i, triples + 3 * i, 3);
        table[4 * i + 3] = 0;
    }
    if (layout->imageBytes) {
        std::memcpy(table + size_t{colours} * 4, core + layout->bitsOffset, layout->imageBytes);
    }
    return out;
}

NormalDibPlan PlanNormalDib(const uint8_t *block, size_t blockBytes) {
    const auto f = ReadDibHeaderFieldsChecked(block, blockBytes);
    if (!f || f->core || f->headerSize != kInfoHeaderSize) return NormalDibPlan::kRefuse;
    const uint32_t colorsImportant = Le32(block + 36);
    switch (ClassifyNormalForm(*f, colorsImportant)) {
        case NormalForm::kRefused:
            return NormalDibPlan::kRefuse;
        case NormalForm::kNormal: {
            // Normal only when the block really holds its rows.
            const auto bytes = PackedDibBytes(*f);
            return bytes && blockBytes >= *bytes ? NormalDibPlan::kKeep : NormalDibPlan::kRefuse;
        }
        case NormalForm::kConvert:
            break;
    }
    return DibBlockIsSound(block, blockBytes) ? NormalDibPlan::kConvert : NormalDibPlan::kRefuse;
}

}  // namespace dibwork
