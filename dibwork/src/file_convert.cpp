// Conversions between the picture kinds that the file readers and the GIF
// writer need.  Each leaves its input alone and hands back a new picture,
// or NULL, releasing everything it took on every path.
#include <cstring>

#include "dibwork.h"
#include "dibwork_internal.h"
#include "file_io_internal.h"

namespace dibwork::fileio {
namespace {

// Lets the system convert the pair's rows into a section of the target
// format (SetDIBits over all rows).
bool ConvertRowsInto(HBITMAP target, const MetaPicture &source) {
    const LONG rows = source.header()->biHeight < 0 ? -source.header()->biHeight : source.header()->biHeight;
    MemoryDC dc;
    return dc.get() &&
           SetDIBits(dc.get(), target, 0, static_cast<UINT>(rows), source.bits(), source.info(), DIB_RGB_COLORS) ==
               rows;
}

}  // namespace

HBITMAP Make24BitBitmap(HGLOBAL dib, HBITMAP bitmap) {
    MetaPicture source(dib, bitmap);
    if (!source) return nullptr;
    const LONG height = source.header()->biHeight;
    HBITMAP copy = MakeBlankFCDIBitmap(source.header()->biWidth, height < 0 ? -height : height);
    if (!copy) return nullptr;
    if (!ConvertRowsInto(copy, source)) FreeDIBitmap(&copy);
    return copy;
}

bool Make24BitInPlace(HBITMAP *bitmap) {
    BITMAPINFOHEADER header{};
    GetDIBitmapInfoHeader(&header, *bitmap);
    if (header.biSize == 0) return false;
    if (header.biBitCount == 24 && header.biCompression == BI_RGB && header.biHeight > 0) return true;
    HBITMAP copy = Make24BitBitmap(nullptr, *bitmap);
    if (!copy) return false;
    FreeDIBitmap(bitmap);
    *bitmap = copy;
    return true;
}

HGLOBAL BitmapToDib(HBITMAP bitmap) {
    MetaPicture source(nullptr, bitmap);
    if (!source) return nullptr;
    const auto f = Fields(source.header());
    const auto layout = ComputeBlockLayout(f);
    if (!layout || f.compression != BI_RGB) return nullptr;
    OwnedGlobal block(GlobalAlloc(GHND, layout->totalBytes));
    if (!block) return nullptr;
    {
        GlobalLockGuard lock(block.get());
        auto *p = static_cast<uint8_t *>(lock.get());
        if (!p) return nullptr;
        std::memcpy(p, source.header(), layout->bitsOffset);
        std::memcpy(p + layout->bitsOffset, source.bits(), layout->imageBytes);
        reinterpret_cast<BITMAPINFOHEADER *>(p)->biSizeImage = layout->imageBytes;
    }
    return block.release();
}

HBITMAP DibToBitmap(HGLOBAL dib) {
    MetaPicture source(dib, nullptr);
    if (!source) return nullptr;
    const auto f = Fields(source.header());
    const auto layout = ComputeBlockLayout(f);
    if (f.core || !layout || f.compression != BI_RGB || f.height < 1 || GlobalSize(dib) < layout->totalBytes) {
        return nullptr;
    }
    HBITMAP bitmap = MakeBlankDIBitmapImg(source.info());
    void *bits = bitmap ? GetDIBitmapDataAddress(bitmap) : nullptr;
    if (!bits) {
        if (bitmap) FreeDIBitmap(&bitmap);
        return nullptr;
    }
    std::memcpy(bits, source.bits(), layout->imageBytes);
    return bitmap;
}

bool NormaliseDib(HGLOBAL *dib) {
    if (!dib || !*dib) return false;
    {
        MetaPicture source(*dib, nullptr);
        if (!source) return false;
        const auto f = Fields(source.header());
        const bool normal = !f.core && f.headerSize == kInfoHeaderSize && f.compression == BI_RGB && f.height > 0 &&
                            (f.bitCount == 1 || f.bitCount == 4 || f.bitCount == 8 ||
                             (f.bitCount == 24 && f.colorsUsed == 0));
        if (normal) return true;
    }
    // Anything else (core headers, run-length rows, 16 and 32 bits,
    // top-down rows, longer headers) goes through the system's conversion
    // to a 24-bit picture, or keeps its palette at 8 bits or less.
    HBITMAP converted = nullptr;
    {
        MetaPicture source(*dib, nullptr);
        const auto f = Fields(source.header());
        if (f.bitCount <= 8 && f.bitCount >= 1) {
            const int height = f.height < 0 ? -f.height : f.height;
            HGLOBAL shape = MakeBlankDIB(f.width, height, f.bitCount);
            if (shape) {
                MetaPicture target(shape, nullptr);
                // The colour table is copied entry by entry: core entries
                // are three bytes.
                const uint32_t entries = ColorCount(f);
                auto *table = reinterpret_cast<RGBQUAD *>(target.header() + 1);
                const auto *raw = reinterpret_cast<const uint8_t *>(source.header()) + f.headerSize;
                for (uint32_t i = 0; i < entries && i < (1u << f.bitCount); ++i) {
                    const uint8_t *e = raw + i * (f.core ? 3 : 4);
                    table[i] = RGBQUAD{e[0], e[1], e[2], 0};
                }
                converted = MakeBlankDIBitmapImg(target.info());
            }
            if (shape) FreeDIB(&shape);
            if (converted && !ConvertRowsInto(converted, source)) FreeDIBitmap(&converted);
        } else {
            converted = Make24BitBitmap(*dib, nullptr);
        }
    }
    if (!converted) return false;
    HGLOBAL normal = BitmapToDib(converted);
    FreeDIBitmap(&converted);
    if (!normal) return false;
    FreeDIB(dib);
    *dib = normal;
    return true;
}

HBITMAP ReduceTo8Bits(HBITMAP bitmap) {
    MetaPicture source(nullptr, bitmap);
    if (!source) return nullptr;
    const PixelView view = source.view();
    if (view.bitCount != 24) return nullptr;
    const auto palette = ReducedPalette(view);
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD table[256];
    } info{};
    info.header.biSize = sizeof(BITMAPINFOHEADER);
    info.header.biWidth = view.width;
    info.header.biHeight = view.height;
    info.header.biPlanes = 1;
    info.header.biBitCount = 8;
    info.header.biCompression = BI_RGB;
    info.header.biSizeImage = BitmapWidthBytes(view.width, 8) * view.height;
    info.header.biClrUsed = info.header.biClrImportant = static_cast<DWORD>(palette.size());
    std::memcpy(info.table, palette.data(), palette.size() * sizeof(RGBQUAD));
    HBITMAP reduced = MakeBlankDIBitmapImg(reinterpret_cast<BITMAPINFO *>(&info));
    if (reduced && !ConvertRowsInto(reduced, source)) FreeDIBitmap(&reduced);
    return reduced;
}

}  // namespace dibwork::fileio
