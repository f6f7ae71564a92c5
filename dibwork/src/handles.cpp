// Picture handles: creating, inspecting, locking and freeing DIBs and DIB
// sections, and memory DCs over DIB sections.
#include <algorithm>
#include <cstring>
#include <new>

#include "dibwork.h"
#include "dibwork_internal.h"

using namespace dibwork;

namespace {

constexpr bool IsCreatableBitCount(unsigned bits) {
    return bits == 1 || bits == 4 || bits == 8 || bits == 24;
}

// Entries of a bit count's full colour table: 2^bits up to 8 bits, else 0.
constexpr uint32_t FullTableEntries(unsigned bits) { return bits <= 8 ? (1u << bits) : 0u; }

void SetBlackWhite(RGBQUAD *table) {
    table[0] = RGBQUAD{0, 0, 0, 0};
    table[1] = RGBQUAD{255, 255, 255, 0};
}

// A 40-byte header as the creators write it; nullopt when the size does not
// give a block Dibwork can hold.
std::optional<BITMAPINFOHEADER> NewInfoHeader(int width, int height, unsigned bitCount) {
    if (width < 1 || height < 1 || !IsValidBitCount(bitCount)) return std::nullopt;
    BITMAPINFOHEADER h{};
    h.biSize = sizeof(BITMAPINFOHEADER);
    h.biWidth = width;
    h.biHeight = height;
    h.biPlanes = 1;
    h.biBitCount = static_cast<WORD>(bitCount);
    h.biCompression = BI_RGB;
    h.biClrUsed = h.biClrImportant = FullTableEntries(bitCount);
    const auto layout = ComputeBlockLayout(Fields(&h));
    if (!layout) return std::nullopt;
    h.biSizeImage = layout->imageBytes;
    return h;
}

// Header plus a full colour table, zero-filled, in one run-time buffer:
// the input of CreateDIBSection for the DIBitmap creators.
struct InfoWithTable {
    BITMAPINFOHEADER header;
    RGBQUAD table[256];
};

}  // namespace

// ----------------------------------------------------------------- creation

HGLOBAL WINAPI MakeBlankDIB(int width, int height, WORD bitCount) {
    if (!IsCreatableBitCount(bitCount)) return nullptr;
    const auto header = NewInfoHeader(width, height, bitCount);
    if (!header) return nullptr;
    const auto layout = ComputeBlockLayout(Fields(&*header));
    // Zero-filled, so that no stale memory ever reaches a file.
    OwnedGlobal block(GlobalAlloc(GHND, layout->totalBytes));
    if (!block) return nullptr;
    {
        GlobalLockGuard lock(block.get());
        auto *p = static_cast<uint8_t *>(lock.get());
        if (!p) return nullptr;
        std::memcpy(p, &*header, sizeof(BITMAPINFOHEADER));
        if (bitCount == 1) SetBlackWhite(reinterpret_cast<RGBQUAD *>(p + sizeof(BITMAPINFOHEADER)));
    }
    return block.release();
}

HGLOBAL WINAPI MakeBlankDIBImg(const BITMAPINFOHEADER *header) {
    if (!header) return nullptr;
    const auto layout = ComputeBlockLayout(Fields(header));
    if (!layout) return nullptr;
    OwnedGlobal block(GlobalAlloc(GHND, layout->totalBytes));
    if (!block) return nullptr;
    {
        GlobalLockGuard lock(block.get());
        if (!lock.get()) return nullptr;
        std::memcpy(lock.get(), header, layout->bitsOffset);
    }
    return block.release();
}

HGLOBAL WINAPI MakeBlankDIBWithBI(const BITMAPINFOHEADER *templ, int width, int height) {
    if (!templ || width < 1 || height < 1) return nullptr;
    if (templ->biSize < sizeof(BITMAPINFOHEADER)) return nullptr;
    if (!IsCreatableBitCount(templ->biBitCount) || templ->biCompression != BI_RGB) return nullptr;

    DibHeaderFields f = Fields(templ);
    f.width = width;
    f.height = height;
    const auto layout = ComputeBlockLayout(f);
    if (!layout) return nullptr;

    OwnedGlobal block(GlobalAlloc(GHND, layout->totalBytes));
    if (!block) return nullptr;
    {
        GlobalLockGuard lock(block.get());
        auto *p = static_cast<uint8_t *>(lock.get());
        if (!p) return nullptr;
        std::memcpy(p, templ, layout->bitsOffset);  // header (biSize bytes) and table
        auto *h = reinterpret_cast<BITMAPINFOHEADER *>(p);
        h->biWidth = width;
        h->biHeight = height;
        h->biSizeImage = layout->imageBytes;
    }
    return block.release();
}

HBITMAP WINAPI MakeBlankDIBitmap(int width, int height, WORD bitCount) {
    const auto header = NewInfoHeader(width, height, bitCount);
    if (!header) return nullptr;
    auto *info = new (std::nothrow) InfoWithTable{};
    if (!info) return nullptr;
    info->header = *header;
    if (bitCount == 1) SetBlackWhite(info->table);
    HBITMAP bitmap = MakeBlankDIBitmapImg(reinterpret_cast<BITMAPINFO *>(info));
    delete info;
    return bitmap;
}

HBITMAP WINAPI MakeBlankDIBitmapImg(const BITMAPINFO *info) {
    if (!info) return nullptr;
    if (!ComputeBlockLayout(Fields(&info->bmiHeader))) return nullptr;
    MemoryDC dc;
    if (!dc.get()) return nullptr;
    void *bits = nullptr;
    return CreateDIBSection(dc.get(), info, DIB_RGB_COLORS, &bits, nullptr, 0);
}

HBITMAP WINAPI MakeBlankFCDIBitmap(int width, int height) {
    return MakeBlankDIBitmap(width, height, 24);
}

HBITMAP WINAPI MakeBlankMonoDIBitmap(int width, int height) {
    return MakeBlankDIBitmap(width, height, 1);
}

HBITMAP WINAPI MakeBlank256GrayDIBitmap(int width, int height) {
    const auto header = NewInfoHeader(width, height, 8);
    if (!header) return nullptr;
    auto *info = new (std::nothrow) InfoWithTable{};
    if (!info) return nullptr;
    info->header = *header;
    for (int i = 0; i < 256; ++i) {
        const auto v = static_cast<BYTE>(i);
        info->table[i] = RGBQUAD{v, v, v, 0};
    }
    HBITMAP bitmap = MakeBlankDIBitmapImg(reinterpret_cast<BITMAPINFO *>(info));
    delete info;
    return bitmap;
}

HBITMAP WINAPI MakeBlankDIBitmapWithDIBitmap(HBITMAP templ, int width, int height) {
    if (!templ || width < 1 || height < 1) return nullptr;
    BITMAPINFOHEADER *copy = nullptr;
    if (!GetMetaBitmapInfoHeader(nullptr, templ, &copy)) return nullptr;
    copy->biWidth = width;
    copy->biHeight = height;
    HBITMAP bitmap = MakeBlankDIBitmapImg(reinterpret_cast<BITMAPINFO *>(copy));
    ReleaseMetaBitmapInfoHeader(nullptr, templ, copy);
    return bitmap;
}

HBITMAP WINAPI MakeBlankDIBitmapWithBI(const BITMAPINFOHEADER *templ, int width, int height) {
    if (!templ || width < 1 || height < 1) return nullptr;
    if (templ->biSize < sizeof(BITMAPINFOHEADER)) return nullptr;
    auto *info = new (std::nothrow) InfoWithTable{};
    if (!info) return nullptr;
    // The 40-byte header, then the table that follows the template's header
    // (at most 256 entries; BI_BITFIELDS masks are three).
    info->header = *templ;
    info->header.biSize = sizeof(BITMAPINFOHEADER);
    info->header.biWidth = width;
    info->header.biHeight = height;
    const uint32_t tableBytes = std::min<uint32_t>(GetPaletteSize(templ), sizeof(info->table));
    std::memcpy(info->table, reinterpret_cast<const uint8_t *>(templ) + templ->biSize, tableBytes);
    HBITMAP bitmap = MakeBlankDIBitmapImg(reinterpret_cast<BITMAPINFO *>(info));
    delete info;
    return bitmap;
}

// ------------------------------------------------------------------ freeing

int WINAPI FreeHandle(HGLOBAL *handle) {
    if (!handle || !*handle) return 0;
    const UINT flags = GlobalFlags(*handle);
    if (flags == GMEM_INVALID_HANDLE) return 0;
    for (UINT locks = flags & GMEM_LOCKCOUNT; locks > 0; --locks) GlobalUnlock(*handle);
    GlobalFree(*handle);
    *handle = nullptr;
    return 1;
}

int WINAPI FreeDIB(HGLOBAL *dib) { return FreeHandle(dib); }

int WINAPI FreeDIBitmap(HBITMAP *bitmap) {
    if (!bitmap || !*bitmap) return 0;
    if (!DeleteObject(*bitmap)) return 0;
    *bitmap = nullptr;
    return 1;
}

int WINAPI FreeMetaDIB(HBITMAP *bitmap, HGLOBAL *dib) {
    if (bitmap) FreeDIBitmap(bitmap);
    if (dib) FreeDIB(dib);
    return 1;
}

// --------------------------------------------------- header and bits access

BYTE *WINAPI GetMetaBitmapInfoHeader(HGLOBAL dib, HBITMAP bitmap, BITMAPINFOHEADER **header) {
    if (!header) return nullptr;
    if (dib) {
        auto *h = static_cast<BITMAPINFOHEADER *>(GlobalLock(dib));
        if (!h) return nullptr;
        // The block must hold the header and colour table it announces.
        const SIZE_T size = GlobalSize(dib);
        const auto fields = size >= 4 ? ReadDibHeaderFieldsChecked(h, size) : std::nullopt;
        if (!fields || size < static_cast<SIZE_T>(fields->headerSize) + ColorTableBytes(*fields)) {
            GlobalUnlock(dib);
            return nullptr;
        }
        *header = h;
        return reinterpret_cast<BYTE *>(h) + fields->headerSize + ColorTableBytes(*fields);
    }
    if (!bitmap) return nullptr;

    DIBSECTION section{};
    if (GetObjectA(bitmap, sizeof(section), &section) != sizeof(section)) return nullptr;
    const unsigned bits = section.dsBmih.biBitCount;
    const uint32_t entries = FullTableEntries(bits);
    // A BI_BITFIELDS section (the system reports 16- and 32-bit sections so)
    // carries its three masks after the header, where every reader of the
    // copy looks for them.
    const bool masks = section.dsBmih.biCompression == BI_BITFIELDS;
    const SIZE_T tableBytes = masks ? sizeof(section.dsBitfields) : entries * sizeof(RGBQUAD);
    auto *copy = static_cast<BITMAPINFOHEADER *>(GlobalAlloc(GPTR, sizeof(BITMAPINFOHEADER) + tableBytes));
    if (!copy) return nullptr;
    *copy = section.dsBmih;
    if (masks) {
        std::memcpy(copy + 1, section.dsBitfields, sizeof(section.dsBitfields));
    } else if (entries) {
        MemoryDC dc;
        if (dc.get()) {
            SelectGuard select(dc.get(), bitmap);
            GetDIBColorTable(dc.get(), 0, entries, reinterpret_cast<RGBQUAD *>(copy + 1));
        }
    }
    *header = copy;
    return static_cast<BYTE *>(section.dsBm.bmBits);
}

BYTE *WINAPI lpGetMetaBitmapInfoHeader(HGLOBAL *dib, HBITMAP *bitmap, BITMAPINFOHEADER **header) {
    return GetMetaBitmapInfoHeader(dib ? *dib : nullptr, bitmap ? *bitmap : nullptr, header);
}

void WINAPI ReleaseMetaBitmapInfoHeader(HGLOBAL dib, HBITMAP bitmap, BITMAPINFOHEADER *header) {
    if (dib) {
        GlobalUnlock(dib);
    } else if (bitmap && header) {
        GlobalFree(header);
    }
}

void WINAPI lpReleaseMetaBitmapInfoHeader(HGLOBAL *dib, HBITMAP *bitmap, BITMAPINFOHEADER *header) {
    ReleaseMetaBitmapInfoHeader(dib ? *dib : nullptr, bitmap ? *bitmap : nullptr, header);
}

void WINAPI GetDIBitmapInfoHeader(BITMAPINFOHEADER *header, HBITMAP bitmap) {
    if (!header) return;
    DIBSECTION section{};
    if (bitmap && GetObjectA(bitmap, sizeof(section), &section) == sizeof(section)) {
        *header = section.dsBmih;
    } else {
        header->biSize = 0;
    }
}

int WINAPI GetDIBitmapInfo(HBITMAP bitmap, BITMAPINFOHEADER *header, void **bits) {
    if (!bitmap) return 0;
    DIBSECTION section{};
    if (GetObjectA(bitmap, sizeof(section), &section) != sizeof(section)) return 0;
    if (header) *header = section.dsBmih;
    if (bits) {
        *bits = section.dsBm.bmBits;
        if (!*bits) return 0;
    }
    return 1;
}

void *WINAPI GetDIBitmapDataAddress(HBITMAP bitmap) {
    if (!bitmap) return nullptr;
    DIBSECTION section{};
    if (GetObjectA(bitmap, sizeof(section), &section) != sizeof(section)) return nullptr;
    return section.dsBm.bmBits;
}

BYTE *WINAPI GetDIBDataAdress(const BITMAPINFOHEADER *header) {
    if (!header) return nullptr;
    const auto f = Fields(header);
    return reinterpret_cast<BYTE *>(const_cast<BITMAPINFOHEADER *>(header)) + f.headerSize +
           ColorTableBytes(f);
}

DWORD WINAPI GetImageSize(const BITMAPINFOHEADER *header) {
    if (!header) return 0;
    const auto f = Fields(header);
    const auto stride = StrideBytesChecked(f.width, f.bitCount);
    if (!stride) return 0;
    const int64_t rows = f.height < 0 ? -static_cast<int64_t>(f.height) : f.height;
    const uint64_t size = static_cast<uint64_t>(*stride) * static_cast<uint64_t>(rows);
    return size > 0xFFFFFFFFull ? 0 : static_cast<DWORD>(size);
}

WORD WINAPI GetPaletteSize(const BITMAPINFOHEADER *header) {
    return header ? ColorTableBytes(Fields(header)) : 0;
}

WORD WINAPI DibNumColors(const BITMAPINFOHEADER *header) {
    return header ? ColorCount(Fields(header)) : 0;
}

DWORD WINAPI BitmapWidthBytes(DWORD width, DWORD bitCount) {
    return StrideBytesWrapping(width, bitCount);
}

DWORD WINAPI GetBitmapWidthBytes(const BITMAPINFOHEADER *header) {
    if (!header) return 0;
    const auto f = Fields(header);
    return StrideBytesWrapping(static_cast<uint32_t>(f.width), f.bitCount);
}

// ---------------------------------------------------------- device contexts

HDC WINAPI CreateDIBitmapDC(HWND window, HBITMAP bitmap, HGDIOBJ *previous) {
    if (!bitmap) return nullptr;
    HDC windowDC = GetDC(window);
    HDC dc = CreateCompatibleDC(windowDC);
    ReleaseDC(window, windowDC);
    if (!dc) return nullptr;
    HGDIOBJ old = SelectObject(dc, bitmap);
    if (previous) *previous = old;
    return dc;
}

void WINAPI DeleteDIBitmapDC(HWND, HDC dc, HGDIOBJ previous) {
    if (!dc) return;
    if (previous) SelectObject(dc, previous);
    DeleteDC(dc);
}

// ------------------------------------------------------------ MetaPicture

namespace dibwork {

MetaPicture::MetaPicture(HGLOBAL dib, HBITMAP bitmap) : dib_(dib), bitmap_(bitmap) {
    bits_ = GetMetaBitmapInfoHeader(dib, bitmap, &header_);
}

MetaPicture::~MetaPicture() {
    if (bits_) ReleaseMetaBitmapInfoHeader(dib_, bitmap_, header_);
}

PixelView MetaPicture::view() const {
    PixelView v;
    if (!bits_) return v;
    const auto f = Fields(header_);
    if (f.core || f.compression != BI_RGB || f.height < 1) return v;
    const auto layout = ComputeBlockLayout(f);
    if (!layout) return v;
    // A DIB block must really hold the rows its header announces.
    if (dib_ && GlobalSize(dib_) < layout->totalBytes) return v;
    v.bits = bits_;
    v.width = f.width;
    v.height = f.height;
    v.stride = layout->stride;
    v.bitCount = f.bitCount;
    if (f.bitCount <= 8) {
        v.palette = reinterpret_cast<const Bgra *>(reinterpret_cast<const uint8_t *>(header_) + f.headerSize);
        v.paletteCount = ColorCount(f);
    }
    return v;
}

}  // namespace dibwork
