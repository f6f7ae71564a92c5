#include "image_ops.h"

#include <algorithm>

#include "dib_convert.h"
#include "dibwork.h"

namespace dibwork {

std::optional<Geometry> GeometryOf(HGLOBAL dib, const BITMAPINFOHEADER *header, const uint8_t *bits) {
    if (!header || !bits) return std::nullopt;
    const auto f = Fields(header);
    const auto layout = ComputeBlockLayout(f);
    if (!layout) return std::nullopt;
    const uint64_t rowsBytes = static_cast<uint64_t>(layout->stride) * layout->rows;
    if (dib) {
        const SIZE_T offset = static_cast<SIZE_T>(bits - reinterpret_cast<const uint8_t *>(header));
        if (GlobalSize(dib) < offset + rowsBytes) return std::nullopt;
    }
    return Geometry{f.width, f.height, f.bitCount, static_cast<uint32_t>(rowsBytes)};
}

uint8_t *SectionBits(HBITMAP bitmap, uint32_t bytes) {
    DIBSECTION section{};
    if (!bitmap || GetObjectA(bitmap, sizeof(section), &section) != sizeof(section)) return nullptr;
    const uint64_t have = static_cast<uint64_t>(section.dsBm.bmWidthBytes) *
                          static_cast<uint64_t>(section.dsBm.bmHeight < 0 ? -section.dsBm.bmHeight
                                                                          : section.dsBm.bmHeight);
    if (!section.dsBm.bmBits || have < bytes) return nullptr;
    return static_cast<uint8_t *>(section.dsBm.bmBits);
}

void OwnedPicture::Reset() {
    FreeMetaDIB(bitmap_ ? &bitmap_ : nullptr, dib_ ? &dib_ : nullptr);
    bitmap_ = nullptr;
    dib_ = nullptr;
}

bool SystemConvertInto(HBITMAP section, const BITMAPINFO *sourceInfo, const void *sourceBits) {
    MemoryDC dc;
    if (!dc.get() || !section || !sourceInfo || !sourceBits) return false;
    const LONG h = sourceInfo->bmiHeader.biHeight;
    const UINT rows = static_cast<UINT>(h < 0 ? -h : h);
    return SetDIBits(dc.get(), section, 0, rows, sourceBits, sourceInfo, DIB_RGB_COLORS) != 0;
}

bool DibSourceIsSound(const BITMAPINFOHEADER *header, SIZE_T blockBytes) {
    return DibBlockIsSound(reinterpret_cast<const uint8_t *>(header), blockBytes);
}

RECT NormalisedRect(const RECT &r) {
    return RECT{std::min(r.left, r.right), std::min(r.top, r.bottom), std::max(r.left, r.right),
                std::max(r.top, r.bottom)};
}

}  // namespace dibwork
