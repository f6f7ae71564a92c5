#include "picture_handles.h"

#include <cstring>
#include <string>

#include "dib_format.h"
#include "win32/win32_owners.h"

namespace codecs {
namespace {

DWORD Stride(int width, int bitCount) {
    return dibformat::StrideBytesWrapping(static_cast<uint32_t>(width), static_cast<uint32_t>(bitCount));
}

BITMAPINFOHEADER Header24(int width, int height) {
    BITMAPINFOHEADER h{};
    h.biSize = sizeof(h);
    h.biWidth = width;
    h.biHeight = height;
    h.biPlanes = 1;
    h.biBitCount = 24;
    h.biCompression = BI_RGB;
    h.biSizeImage = Stride(width, 24) * height;
    return h;
}

void CopyRowsBottomUp(const DecodedImage &image, BYTE *bits) {
    const DWORD stride = Stride(image.width, 24);
    const size_t rowBytes = static_cast<size_t>(image.width) * 3;
    for (int y = 0; y < image.height; ++y) {
        std::memcpy(bits + static_cast<size_t>(image.height - 1 - y) * stride, image.Pixel(0, y), rowBytes);
    }
}

using pintora::MemoryDC;

// The DIB block of the pair, locked for the object's life, with the places
// of its table and rows when the block holds all it announces.
class LockedDib {
public:
    explicit LockedDib(HGLOBAL dib) : lock_(dib), p_(static_cast<const BYTE *>(lock_.get())) {
        if (p_) intake_ = dibformat::TakeDibBlock(p_, lock_.size());
    }
    const BITMAPINFO *info() const { return reinterpret_cast<const BITMAPINFO *>(p_); }
    // The parts, or nothing for a header we do not take or a block that
    // does not hold the header, the colour table and the rows.
    const std::optional<dibformat::DibIntake> &intake() const { return intake_; }
    const BYTE *at(uint32_t offset) const { return p_ + offset; }
private:
    pintora::GlobalLockGuard lock_;
    const BYTE *p_;
    std::optional<dibformat::DibIntake> intake_;
};

std::optional<DecodedImage> FromBitmap24(HBITMAP bitmap) {
    DIBSECTION ds{};
    BITMAP bm{};
    int width, height;
    if (GetObjectW(bitmap, sizeof(ds), &ds) == sizeof(ds)) {
        width = ds.dsBmih.biWidth;
        height = ds.dsBmih.biHeight < 0 ? -ds.dsBmih.biHeight : ds.dsBmih.biHeight;
    } else if (GetObjectW(bitmap, sizeof(bm), &bm)) {
        width = bm.bmWidth;
        height = bm.bmHeight;
    } else {
        return std::nullopt;
    }
    auto image = AllocateDecoded(width, height);
    if (!image) return std::nullopt;
    BITMAPINFO info{};
    info.bmiHeader = Header24(width, height);
    std::vector<BYTE> rows(info.bmiHeader.biSizeImage);
    MemoryDC dc;
    if (GetDIBits(dc.get(), bitmap, 0, height, rows.data(), &info, DIB_RGB_COLORS) != height) return std::nullopt;
    const DWORD stride = Stride(width, 24);
    for (int y = 0; y < height; ++y) {
        std::memcpy(image->Pixel(0, y), rows.data() + static_cast<size_t>(height - 1 - y) * stride,
                    static_cast<size_t>(width) * 3);
    }
    return image;
}

}  // namespace

bool StoreDecoded(const DecodedImage &image, HGLOBAL *dib, HBITMAP *bitmap) {
    const BITMAPINFOHEADER header = Header24(image.width, image.height);
    if (dib) {
        HGLOBAL block = GlobalAlloc(GHND, sizeof(header) + header.biSizeImage);
        if (!block) return false;
        auto *p = static_cast<BYTE *>(GlobalLock(block));
        if (!p) {
            GlobalFree(block);
            return false;
        }
        std::memcpy(p, &header, sizeof(header));
        CopyRowsBottomUp(image, p + sizeof(header));
        GlobalUnlock(block);
        *dib = block;
        return true;
    }
    if (bitmap) {
        BITMAPINFO info{};
        info.bmiHeader = header;
        void *bits = nullptr;
        MemoryDC dc;
        HBITMAP section = CreateDIBSection(dc.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        if (!section || !bits) {
            if (section) DeleteObject(section);
            return false;
        }
        CopyRowsBottomUp(image, static_cast<BYTE *>(bits));
        *bitmap = section;
        return true;
    }
    return false;
}

std::optional<DecodedImage> PixelsOf(HGLOBAL dib, HBITMAP bitmap) {
    if (!dib) return bitmap ? FromBitmap24(bitmap) : std::nullopt;
    // A DIB goes through a DIB section of its own size: the system then
    // decodes every bit count and compression.
    LockedDib locked(dib);
    const auto &in = locked.intake();
    if (!in || in->fields.width > kMaxSide || in->rows > static_cast<uint32_t>(kMaxSide)) return std::nullopt;
    const BYTE *bits = locked.at(in->bitsOffset);
    const int height = static_cast<int>(in->rows);
    BITMAPINFO info{};
    info.bmiHeader = Header24(in->fields.width, height);
    void *sectionBits = nullptr;
    MemoryDC dc;
    HBITMAP section = CreateDIBSection(dc.get(), &info, DIB_RGB_COLORS, &sectionBits, nullptr, 0);
    if (!section) return std::nullopt;
    std::optional<DecodedImage> result;
    if (SetDIBits(dc.get(), section, 0, height, bits, locked.info(), DIB_RGB_COLORS) == height) {
        result = FromBitmap24(section);
    }
    DeleteObject(section);
    return result;
}

std::optional<IndexedPixels> IndexedPixelsOf(HGLOBAL dib, HBITMAP bitmap) {
    BITMAPINFOHEADER h{};
    const BYTE *bits = nullptr;
    std::vector<RGBQUAD> table;
    std::optional<LockedDib> locked;
    if (dib) {
        locked.emplace(dib);
        const auto &in = locked->intake();
        if (!in) return std::nullopt;
        bits = locked->at(in->bitsOffset);
        h = locked->info()->bmiHeader;
        // The table follows the header, whatever size biSize gives it.
        const auto *colours = reinterpret_cast<const RGBQUAD *>(locked->at(in->tableOffset));
        table.assign(colours, colours + in->tableEntries);
    } else {
        DIBSECTION ds{};
        if (!bitmap || GetObjectW(bitmap, sizeof(ds), &ds) != sizeof(ds) || !ds.dsBm.bmBits) return std::nullopt;
        h = ds.dsBmih;
        bits = static_cast<const BYTE *>(ds.dsBm.bmBits);
        if (h.biBitCount <= 8) {
            table.resize(1u << h.biBitCount);
            MemoryDC dc;
            const pintora::SelectGuard selected(dc.get(), bitmap);
            const UINT got = selected.ok() ? GetDIBColorTable(dc.get(), 0, static_cast<UINT>(table.size()),
                                                               table.data())
                                           : 0;
            if (got == 0) return std::nullopt;
            table.resize(got);
        }
    }
    if (h.biCompression != BI_RGB || (h.biBitCount != 1 && h.biBitCount != 4 && h.biBitCount != 8)) return std::nullopt;
    if (h.biWidth < 1 || h.biHeight < 1 || h.biWidth > kMaxSide || h.biHeight > kMaxSide) return std::nullopt;
    if (table.empty() || table.size() > 256) return std::nullopt;

    IndexedPixels out;
    out.width = h.biWidth;
    out.height = h.biHeight;
    out.palette = table;
    out.indexes.resize(static_cast<size_t>(out.width) * out.height);
    const DWORD stride = Stride(h.biWidth, h.biBitCount);
    for (int y = 0; y < out.height; ++y) {
        const BYTE *row = bits + static_cast<size_t>(out.height - 1 - y) * stride;
        for (int x = 0; x < out.width; ++x) {
            auto index = static_cast<uint8_t>(dibformat::IndexAt(row, x, h.biBitCount));
            // An index past the table would name no colour: take entry 0.
            if (index >= table.size()) index = 0;
            out.indexes[static_cast<size_t>(y) * out.width + x] = index;
        }
    }
    return out;
}

std::wstring WidePath(LPCSTR path) {
    if (!path) return {};
    const int n = MultiByteToWideChar(CP_ACP, 0, path, -1, nullptr, 0);
    if (n <= 0) return {};
    std::wstring wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, path, -1, wide.data(), n);
    wide.resize(static_cast<size_t>(n - 1));
    return wide;
}

std::optional<std::vector<uint8_t>> ReadWholeFile(LPCSTR path, size_t maxBytes) {
    const std::wstring wide = WidePath(path);
    if (wide.empty()) return std::nullopt;
    HANDLE file = CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::nullopt;
    std::optional<std::vector<uint8_t>> result;
    LARGE_INTEGER size{};
    if (GetFileSizeEx(file, &size) && size.QuadPart >= 0 && static_cast<uint64_t>(size.QuadPart) <= maxBytes) {
        std::vector<uint8_t> bytes(static_cast<size_t>(size.QuadPart));
        DWORD read = 0;
        if (bytes.empty() ||
            (ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) && read == bytes.size())) {
            result = std::move(bytes);
        }
    }
    CloseHandle(file);
    return result;
}

}  // namespace codecs
