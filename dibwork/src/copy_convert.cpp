// Copying pictures, moving them between the two storage kinds, copying
// pixels between pictures of equal geometry, palettes from colour tables,
// conversion to 24 bits and to the library's normal form, and the octree
// reduction to 8 bits.
#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "dib_convert.h"
#include "dibwork.h"
#include "image_ops.h"
#include "octree.h"
#include "pixel_rows.h"

using namespace dibwork;

namespace {

// A BITMAPINFO with room for a full colour table (or three masks).
struct InfoBuffer {
    BITMAPINFOHEADER header;
    RGBQUAD table[256];
};

HGLOBAL NewMovableCopy(const void *data, uint32_t bytes) {
    OwnedGlobal block(GlobalAlloc(GMEM_MOVEABLE, bytes));
    if (!block) return nullptr;
    GlobalLockGuard lock(block.get());
    if (!lock.get()) return nullptr;
    std::memcpy(lock.get(), data, bytes);
    return block.release();
}

// A new DIB section from a picture's header (with colour table) holding a
// copy of its pixel bytes.
HBITMAP SectionCopyOf(HGLOBAL dib, HBITMAP bitmap) {
    MetaPicture pic(dib, bitmap);
    const auto geometry = GeometryOf(dib, pic);
    if (!geometry) return nullptr;
    OwnedPicture section(MakeBlankDIBitmapImg(pic.info()));
    uint8_t *bits = SectionBits(section.bitmap(), geometry->imageBytes);
    if (!bits) return nullptr;
    std::memcpy(bits, pic.bits(), geometry->imageBytes);
    return section.ReleaseBitmap();
}

// Pixel bytes from one picture into another of equal width, height and
// image size.  `sameLayout` also asks for equal header size, bit count and
// compression (the DIB <-> DIBitmap copies).
int CopyPixels(HGLOBAL srcDib, HBITMAP srcBitmap, HGLOBAL dstDib, HBITMAP dstBitmap, bool sameLayout) {
    if ((!srcDib && !srcBitmap) || (!dstDib && !dstBitmap)) return 0;
    MetaPicture src(srcDib, srcBitmap);
    MetaPicture dst(dstDib, dstBitmap);
    const auto s = GeometryOf(srcDib, src);
    const auto d = GeometryOf(dstDib, dst);
    if (!s || !d) return 0;
    if (s->width != d->width || s->height != d->height || s->imageBytes != d->imageBytes) return 0;
    if (sameLayout) {
        const BITMAPINFOHEADER &a = *src.header(), &b = *dst.header();
        if (a.biSize != b.biSize || a.biBitCount != b.biBitCount || a.biCompression != b.biCompression) return 0;
    }
    std::memmove(dst.bits(), src.bits(), s->imageBytes);
    return 1;
}

HPALETTE PaletteFromTable(const RGBQUAD *table, unsigned count) {
    if (!table || count == 0) return nullptr;
    std::vector<uint8_t> buffer(sizeof(LOGPALETTE) + count * sizeof(PALETTEENTRY));
    auto *palette = reinterpret_cast<LOGPALETTE *>(buffer.data());
    palette->palVersion = 0x300;
    palette->palNumEntries = static_cast<WORD>(count);
    for (unsigned i = 0; i < count; ++i) {
        palette->palPalEntry[i] = PALETTEENTRY{table[i].rgbRed, table[i].rgbGreen, table[i].rgbBlue, 0};
    }
    return CreatePalette(palette);
}

// 1-, 4- or 8-bit DIB (40-byte header, BI_RGB, rows inside the block) to a
// new 24-bit DIB: each of biWidth pixels of every row becomes the blue,
// green, red of its colour-table entry.
HGLOBAL ExpandIndexedDib(const BITMAPINFOHEADER *header, SIZE_T blockBytes) {
    const auto f = Fields(header);
    const auto layout = ComputeBlockLayout(f);
    if (!layout || blockBytes < layout->totalBytes) return nullptr;
    DibHeaderFields wide = f;
    wide.bitCount = 24;
    wide.colorsUsed = 0;
    const auto target = ComputeBlockLayout(wide);
    if (!target) return nullptr;

    OwnedGlobal block(GlobalAlloc(GMEM_MOVEABLE, target->totalBytes));
    if (!block) return nullptr;
    GlobalLockGuard lock(block.get());
    auto *out = static_cast<uint8_t *>(lock.get());
    if (!out) return nullptr;
    std::memcpy(out, header, f.headerSize);
    auto *h = reinterpret_cast<BITMAPINFOHEADER *>(out);
    h->biBitCount = 24;
    h->biSizeImage = target->imageBytes;
    h->biClrUsed = h->biClrImportant = 0;

    const auto *in = reinterpret_cast<const uint8_t *>(header);
    PixelView src;
    src.bits = const_cast<uint8_t *>(in + layout->bitsOffset);
    src.width = f.width;
    src.height = static_cast<int>(layout->rows);
    src.stride = layout->stride;
    src.bitCount = f.bitCount;
    src.palette = reinterpret_cast<const Bgra *>(in + f.headerSize);
    src.paletteCount = ColorCount(f);
    for (int row = 0; row < src.height; ++row) {
        uint8_t *dst = out + target->bitsOffset + static_cast<size_t>(row) * target->stride;
        DecodeRowBgr(src, row, dst);
        std::memset(dst + static_cast<size_t>(f.width) * 3, 0, target->stride - static_cast<size_t>(f.width) * 3);
    }
    return block.release();
}

// A 12-byte core-header DIB rewritten with a 40-byte header and 4-byte
// colour entries (see CoreToInfoBlock); NULL when it cannot be.
HGLOBAL CoreToInfoDib(const uint8_t *core, SIZE_T blockBytes) {
    try {
        const auto info = CoreToInfoBlock(core, blockBytes);
        return info ? NewMovableCopy(info->data(), static_cast<uint32_t>(info->size())) : nullptr;
    } catch (const std::bad_alloc &) {
        return nullptr;
    }
}

// Replaces a core-header DIB in *dib by its 40-byte form.
bool ReplaceCoreHeader(HGLOBAL *dib) {
    HGLOBAL info = nullptr;
    {
        GlobalLockGuard lock(*dib);
        if (!lock.get()) return false;
        info = CoreToInfoDib(static_cast<const uint8_t *>(lock.get()), lock.size());
    }
    if (!info) return false;
    FreeDIB(dib);
    *dib = info;
    return true;
}

// Converts a DIB of a format the system knows into the normal form: BI_RGB,
// bottom-up, 24 bits for anything above 8.  NULL when the system refuses.
HGLOBAL SystemNormalised(const BITMAPINFOHEADER *header) {
    const auto f = Fields(header);
    auto *info = new (std::nothrow) InfoBuffer{};
    if (!info) return nullptr;
    std::unique_ptr<InfoBuffer> owner(info);
    info->header = *header;
    info->header.biCompression = BI_RGB;
    info->header.biHeight = f.height < 0 ? -f.height : f.height;
    if (f.bitCount > 8) {
        info->header.biBitCount = 24;
        info->header.biClrUsed = info->header.biClrImportant = 0;
    } else {
        const uint32_t tableBytes = std::min<uint32_t>(ColorTableBytes(f), sizeof(info->table));
        std::memcpy(info->table, reinterpret_cast<const uint8_t *>(header) + f.headerSize, tableBytes);
    }
    const auto target = ComputeBlockLayout(Fields(&info->header));
    if (!target) return nullptr;
    info->header.biSizeImage = target->imageBytes;

    OwnedPicture section(MakeBlankDIBitmapImg(reinterpret_cast<BITMAPINFO *>(info)));
    const auto *sourceBits = reinterpret_cast<const uint8_t *>(header) + f.headerSize + ColorTableBytes(f);
    if (!section || !SystemConvertInto(section.bitmap(), reinterpret_cast<const BITMAPINFO *>(header), sourceBits)) {
        return nullptr;
    }
    return ConvertDIBitmap2DIB(section.bitmap());
}

}  // namespace

// --------------------------------------------------- duplicates and kinds

HGLOBAL WINAPI CopyDIB(HGLOBAL dib) {
    if (!dib) return nullptr;
    GlobalLockGuard lock(dib);
    if (!lock.get()) return nullptr;
    const auto f = ReadDibHeaderFieldsChecked(lock.get(), lock.size());
    if (!f) return nullptr;
    const auto bytes = PackedDibBytes(*f);
    if (!bytes || lock.size() < *bytes) return nullptr;
    return NewMovableCopy(lock.get(), *bytes);
}

HBITMAP WINAPI CopyDIBitmap(HBITMAP bitmap) { return CopyMetaDIB(nullptr, bitmap); }

HBITMAP WINAPI CopyMetaDIB(HGLOBAL dib, HBITMAP bitmap) { return SectionCopyOf(dib, bitmap); }

HGLOBAL WINAPI ConvertDIBitmap2DIB(HBITMAP bitmap) {
    DIBSECTION section{};
    if (!bitmap || GetObjectA(bitmap, sizeof(section), &section) != sizeof(section)) return nullptr;
    MetaPicture pic(nullptr, bitmap);
    const auto geometry = GeometryOf(nullptr, pic);
    if (!geometry) return nullptr;

    // The header copy carries a full table for 8 bits or less; the masks of
    // a BI_BITFIELDS section come from the section record.
    const BITMAPINFOHEADER header = *pic.header();
    const uint32_t tableBytes = GetPaletteSize(&header);
    const uint32_t available = header.biBitCount <= 8 ? (4u << header.biBitCount) : 0;
    const uint64_t total = sizeof(header) + static_cast<uint64_t>(tableBytes) + geometry->imageBytes;
    if (total > kMaxBlockBytes) return nullptr;

    OwnedGlobal block(GlobalAlloc(GHND, static_cast<SIZE_T>(total)));
    if (!block) return nullptr;
    GlobalLockGuard lock(block.get());
    auto *out = static_cast<uint8_t *>(lock.get());
    if (!out) return nullptr;
    std::memcpy(out, &header, sizeof(header));
    if (header.biCompression == BI_BITFIELDS) {
        std::memcpy(out + sizeof(header), section.dsBitfields, std::min<uint32_t>(tableBytes, 12));
    } else {
        std::memcpy(out + sizeof(header), pic.header() + 1, std::min(tableBytes, available));
    }
    std::memcpy(out + sizeof(header) + tableBytes, pic.bits(), geometry->imageBytes);
    return block.release();
}

HBITMAP WINAPI ConvertDIB2DIBitmap(HGLOBAL dib) { return dib ? SectionCopyOf(dib, nullptr) : nullptr; }

int WINAPI ConvertMetaDIB(HGLOBAL dib, HBITMAP bitmap, HGLOBAL *dibOut, HBITMAP *bitmapOut) {
    if (!dib && !bitmap) return 0;
    if (dibOut) {
        *dibOut = dib ? CopyDIB(dib) : ConvertDIBitmap2DIB(bitmap);
        return *dibOut ? 1 : 0;
    }
    if (bitmapOut) {
        *bitmapOut = dib ? ConvertDIB2DIBitmap(dib) : CopyDIBitmap(bitmap);
        return *bitmapOut ? 1 : 0;
    }
    return 0;
}

// ------------------------------------------------------------ pixel copies

// The first argument receives (see dibwork.h).
int WINAPI CopyDIBitmap2DIB(HBITMAP destination, HGLOBAL source) {
    if (!destination || !source) return 0;
    return CopyPixels(source, nullptr, nullptr, destination, true);
}

int WINAPI CopyDIB2DIBitmap(HGLOBAL destination, HBITMAP source) {
    if (!destination || !source) return 0;
    return CopyPixels(nullptr, source, destination, nullptr, true);
}

int WINAPI ForwardDIB2DIB(HGLOBAL source, HGLOBAL destination) {
    if (!source || !destination) return 0;
    return CopyPixels(source, nullptr, destination, nullptr, false);
}

int WINAPI ForwardDIBitmap2DIBitmap(HBITMAP source, HBITMAP destination) {
    if (!source || !destination) return 0;
    return CopyPixels(nullptr, source, nullptr, destination, false);
}

int WINAPI ForwardMetaDIB2MetaDIB(HGLOBAL srcDib, HBITMAP srcBitmap, HGLOBAL dstDib, HBITMAP dstBitmap) {
    return CopyPixels(srcDib, srcBitmap, dstDib, dstBitmap, false);
}

// ---------------------------------------------------------------- palettes

HPALETTE WINAPI CreateBIPalette(const BITMAPINFOHEADER *header) {
    if (!header || header->biSize != sizeof(BITMAPINFOHEADER)) return nullptr;
    try {
        return PaletteFromTable(reinterpret_cast<const RGBQUAD *>(header + 1), DibNumColors(header));
    } catch (const std::bad_alloc &) {
        return nullptr;
    }
}

HPALETTE WINAPI CreateBmpPalette(HBITMAP bitmap) {
    if (!bitmap) return nullptr;
    MetaPicture pic(nullptr, bitmap);
    if (!pic || pic.header()->biBitCount > 8) return nullptr;
    // The header copy holds 2^bits entries, whatever biClrUsed says.
    const unsigned entries = std::min<unsigned>(DibNumColors(pic.header()), 1u << pic.header()->biBitCount);
    try {
        return PaletteFromTable(reinterpret_cast<const RGBQUAD *>(pic.header() + 1), entries);
    } catch (const std::bad_alloc &) {
        return nullptr;
    }
}

// -------------------------------------------------- 24 bits, normal form

HGLOBAL WINAPI ConvFullColDIB(HGLOBAL dib) {
    if (!dib) return nullptr;
    bool alreadyFullColour = false;
    {
        GlobalLockGuard lock(dib);
        auto *header = static_cast<BITMAPINFOHEADER *>(lock.get());
        if (!header) return nullptr;
        const auto f = ReadDibHeaderFieldsChecked(header, lock.size());
        if (!f) return nullptr;
        const bool plain = f->headerSize == kInfoHeaderSize && f->compression == kCompressionRgb;
        if (plain && f->bitCount == 24) {
            const auto layout = ComputeBlockLayout(*f);
            if (!layout) return nullptr;
            header->biSizeImage = layout->imageBytes;
            alreadyFullColour = true;
        } else if (plain && (f->bitCount == 1 || f->bitCount == 4 || f->bitCount == 8)) {
            return ExpandIndexedDib(header, lock.size());
        }
    }
    // Everything else (compressed, 16 and 32 bits, other header forms) goes
    // through the system's conversion.
    return alreadyFullColour ? CopyDIB(dib) : Create24DIBFromAnyDIB(dib);
}

HGLOBAL WINAPI Create24DIBFromAnyDIB(HGLOBAL dib) {
    if (!dib) return nullptr;
    GlobalLockGuard lock(dib);
    const auto *header = static_cast<const BITMAPINFOHEADER *>(lock.get());
    if (!header || !DibSourceIsSound(header, lock.size())) return nullptr;
    const auto f = Fields(header);
    if (f.core) {
        // Rewritten with a 40-byte header first, so that the conversion
        // below sees one header form only.
        OwnedGlobal info(CoreToInfoDib(static_cast<const uint8_t *>(lock.get()), lock.size()));
        return info ? Create24DIBFromAnyDIB(info.get()) : nullptr;
    }

    BITMAPINFOHEADER wide{};
    wide.biSize = sizeof(wide);
    wide.biWidth = f.width;
    wide.biHeight = f.height < 0 ? -f.height : f.height;
    wide.biPlanes = 1;
    wide.biBitCount = 24;
    wide.biCompression = BI_RGB;
    wide.biXPelsPerMeter = header->biXPelsPerMeter;
    wide.biYPelsPerMeter = header->biYPelsPerMeter;
    const auto layout = ComputeBlockLayout(Fields(&wide));
    if (!layout) return nullptr;
    wide.biSizeImage = layout->imageBytes;

    OwnedPicture section(MakeBlankDIBitmapImg(reinterpret_cast<BITMAPINFO *>(&wide)));
    const auto *bits = reinterpret_cast<const uint8_t *>(header) + f.headerSize + ColorTableBytes(f);
    if (!section || !SystemConvertInto(section.bitmap(), reinterpret_cast<const BITMAPINFO *>(header), bits)) {
        return nullptr;
    }
    return ConvertDIBitmap2DIB(section.bitmap());
}

int WINAPI Convert24DIBitmap(HBITMAP *bitmap) {
    if (!bitmap || !*bitmap) return 0;
    BITMAPINFOHEADER header{};
    void *bits = nullptr;
    if (!GetDIBitmapInfo(*bitmap, &header, &bits)) return 0;
    if (header.biBitCount == 24) return 1;
    HBITMAP wide = Create24DIBFromAnyDIBitmap(*bitmap);
    if (!wide) return 0;
    FreeDIBitmap(bitmap);
    *bitmap = wide;
    return 1;
}

HBITMAP WINAPI Create24DIBFromAnyDIBitmap(HBITMAP bitmap) { return Create24DIBFromMetaDIB(nullptr, bitmap); }

HBITMAP WINAPI Create24DIBFromMetaDIB(HGLOBAL dib, HBITMAP bitmap) {
    if (!dib && !bitmap) return nullptr;
    MetaPicture pic(dib, bitmap);
    if (!pic) return nullptr;
    if (dib && !DibSourceIsSound(pic.header(), GlobalSize(dib))) return nullptr;
    const auto f = Fields(pic.header());
    if (f.core) return nullptr;
    OwnedPicture wide(MakeBlankFCDIBitmap(f.width, f.height < 0 ? -f.height : f.height));
    if (!wide || !SystemConvertInto(wide.bitmap(), pic.info(), pic.bits())) return nullptr;
    return wide.ReleaseBitmap();
}

int WINAPI ConvNormalDIB(HGLOBAL *dib) {
    if (!dib || !*dib) return 0;
    bool core = false;
    {
        GlobalLockGuard lock(*dib);
        if (!lock.get()) return 0;
        const auto f = ReadDibHeaderFieldsChecked(lock.get(), lock.size());
        if (!f || (!f->core && f->headerSize != kInfoHeaderSize)) return 0;
        core = f->core;
    }
    if (core && !ReplaceCoreHeader(dib)) return 0;

    HGLOBAL normal = nullptr;
    {
        GlobalLockGuard lock(*dib);
        const auto *block = static_cast<const uint8_t *>(lock.get());
        if (!block) return 0;
        switch (PlanNormalDib(block, lock.size())) {
            case NormalDibPlan::kRefuse:
                return 0;
            case NormalDibPlan::kKeep:
                return 1;
            case NormalDibPlan::kConvert:
                break;
        }
        normal = SystemNormalised(reinterpret_cast<const BITMAPINFOHEADER *>(block));
    }
    if (!normal) return 0;
    FreeDIB(dib);
    *dib = normal;
    return 1;
}

// ------------------------------------------------------- colour reduction

HBITMAP WINAPI CreateReducedColorDIBitmap(HGLOBAL dib, HBITMAP bitmap) {
    if (dib || !bitmap) return nullptr;  // only DIB sections are reduced
    MetaPicture pic(nullptr, bitmap);
    const PixelView source = pic.view();
    if (!source.bits || source.bitCount != 24) return nullptr;

    std::vector<PaletteColour> palette;
    try {
        if (!BuildOctreePalette(source, palette)) return nullptr;
    } catch (const std::bad_alloc &) {
        return nullptr;
    }

    InfoBuffer info{};
    info.header.biSize = sizeof(BITMAPINFOHEADER);
    info.header.biWidth = source.width;
    info.header.biHeight = source.height;
    info.header.biPlanes = 1;
    info.header.biBitCount = 8;
    info.header.biCompression = BI_RGB;
    info.header.biSizeImage = BitmapWidthBytes(static_cast<DWORD>(source.width), 8) * static_cast<DWORD>(source.height);
    info.header.biClrUsed = info.header.biClrImportant = static_cast<DWORD>(palette.size());
    for (size_t i = 0; i < palette.size(); ++i) {
        info.table[i] = RGBQUAD{palette[i].b, palette[i].g, palette[i].r, 0};
    }
    // The system maps every pixel to the nearest palette entry (no dither).
    OwnedPicture reduced(MakeBlankDIBitmapImg(reinterpret_cast<BITMAPINFO *>(&info)));
    if (!reduced || !SystemConvertInto(reduced.bitmap(), pic.info(), pic.bits())) return nullptr;
    return reduced.ReleaseBitmap();
}
