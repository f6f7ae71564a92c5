// Pictures for the image-operation tests: made and read through plain
// Win32 calls (not through Dibwork), so that the library is checked against
// an independent view of the pixels.  Coordinates count y from the top.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <vector>

namespace picture_test {

using ColourAt = std::function<COLORREF(int x, int y)>;

inline uint32_t Stride(int width, int bits) { return ((uint32_t(width) * bits + 31) / 32) * 4; }

// A DIB section of the given format made with CreateDIBSection; `table`
// gives the colour table of indexed formats.
inline HBITMAP NewSection(int width, int height, int bits, const std::vector<RGBQUAD> &table = {}) {
    std::vector<uint8_t> buffer(sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD));
    auto *info = reinterpret_cast<BITMAPINFO *>(buffer.data());
    info->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info->bmiHeader.biWidth = width;
    info->bmiHeader.biHeight = height;
    info->bmiHeader.biPlanes = 1;
    info->bmiHeader.biBitCount = static_cast<WORD>(bits);
    info->bmiHeader.biCompression = BI_RGB;
    info->bmiHeader.biClrUsed = static_cast<DWORD>(table.size());
    for (size_t i = 0; i < table.size() && i < 256; ++i) info->bmiColors[i] = table[i];
    void *pixels = nullptr;
    return CreateDIBSection(nullptr, info, DIB_RGB_COLORS, &pixels, nullptr, 0);
}

inline uint8_t *SectionPixels(HBITMAP bitmap, DIBSECTION *out = nullptr) {
    DIBSECTION ds{};
    if (GetObjectA(bitmap, sizeof(ds), &ds) != sizeof(ds)) return nullptr;
    if (out) *out = ds;
    return static_cast<uint8_t *>(ds.dsBm.bmBits);
}

inline SIZE SectionSize(HBITMAP bitmap) {
    DIBSECTION ds{};
    if (GetObjectA(bitmap, sizeof(ds), &ds) != sizeof(ds)) return SIZE{0, 0};
    return SIZE{ds.dsBmih.biWidth, ds.dsBmih.biHeight};
}

inline int SectionBits(HBITMAP bitmap) {
    DIBSECTION ds{};
    if (GetObjectA(bitmap, sizeof(ds), &ds) != sizeof(ds)) return 0;
    return ds.dsBmih.biBitCount;
}

// Address of 24-bit pixel (x, y from the top) in bottom-up rows.
inline uint8_t *Pixel24(uint8_t *bits, int width, int height, int x, int y) {
    return bits + size_t(height - 1 - y) * Stride(width, 24) + 3 * size_t(x);
}

inline COLORREF Read24(HBITMAP bitmap, int x, int y) {
    DIBSECTION ds{};
    uint8_t *bits = SectionPixels(bitmap, &ds);
    if (!bits || ds.dsBmih.biBitCount != 24) return CLR_INVALID;
    const uint8_t *p = Pixel24(bits, ds.dsBmih.biWidth, ds.dsBmih.biHeight, x, y);
    return RGB(p[2], p[1], p[0]);
}

inline void Write24(HBITMAP bitmap, int x, int y, COLORREF c) {
    DIBSECTION ds{};
    uint8_t *bits = SectionPixels(bitmap, &ds);
    uint8_t *p = Pixel24(bits, ds.dsBmih.biWidth, ds.dsBmih.biHeight, x, y);
    p[0] = GetBValue(c);
    p[1] = GetGValue(c);
    p[2] = GetRValue(c);
}

// A 24-bit DIB section painted by a function of (x, y).
inline HBITMAP New24(int width, int height, const ColourAt &colour) {
    HBITMAP bitmap = NewSection(width, height, 24);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) Write24(bitmap, x, y, colour(x, y));
    return bitmap;
}

inline HBITMAP NewUniform24(int width, int height, COLORREF c) {
    return New24(width, height, [c](int, int) { return c; });
}

// A packed DIB in a movable block: 40-byte header, table, rows.
inline HGLOBAL NewPackedDib(const BITMAPINFOHEADER &header, const std::vector<RGBQUAD> &table,
                            const std::vector<uint8_t> &bits, SIZE_T extra = 0) {
    const SIZE_T size = header.biSize + table.size() * sizeof(RGBQUAD) + bits.size() + extra;
    HGLOBAL block = GlobalAlloc(GHND, size);
    auto *p = static_cast<uint8_t *>(GlobalLock(block));
    memcpy(p, &header, sizeof(header));
    memcpy(p + header.biSize, table.data(), table.size() * sizeof(RGBQUAD));
    memcpy(p + header.biSize + table.size() * sizeof(RGBQUAD), bits.data(), bits.size());
    GlobalUnlock(block);
    return block;
}

inline BITMAPINFOHEADER InfoHeader(int width, int height, int bits, DWORD compression = BI_RGB,
                                   DWORD used = 0, DWORD sizeImage = 0) {
    BITMAPINFOHEADER h{};
    h.biSize = sizeof(h);
    h.biWidth = width;
    h.biHeight = height;
    h.biPlanes = 1;
    h.biBitCount = static_cast<WORD>(bits);
    h.biCompression = compression;
    h.biClrUsed = used;
    h.biSizeImage = sizeImage ? sizeImage : Stride(width, bits) * static_cast<uint32_t>(height < 0 ? -height : height);
    return h;
}

// A locked view of a DIB block for reading results.
class LockedBlock {
public:
    explicit LockedBlock(HGLOBAL h) : h_(h), p_(h ? static_cast<uint8_t *>(GlobalLock(h)) : nullptr) {}
    ~LockedBlock() { if (p_) GlobalUnlock(h_); }
    LockedBlock(const LockedBlock &) = delete;
    LockedBlock &operator=(const LockedBlock &) = delete;
    const BITMAPINFOHEADER *header() const { return reinterpret_cast<const BITMAPINFOHEADER *>(p_); }
    const RGBQUAD *table() const { return reinterpret_cast<const RGBQUAD *>(p_ + header()->biSize); }
    const uint8_t *bits(unsigned tableEntries) const { return p_ + header()->biSize + tableEntries * 4; }
    SIZE_T size() const { return GlobalSize(h_); }
    explicit operator bool() const { return p_ != nullptr; }
private:
    HGLOBAL h_;
    uint8_t *p_;
};

// Frees a DIB section at scope end.
class BitmapGuard {
public:
    explicit BitmapGuard(HBITMAP b = nullptr) : b_(b) {}
    ~BitmapGuard() { if (b_) DeleteObject(b_); }
    BitmapGuard(const BitmapGuard &) = delete;
    BitmapGuard &operator=(const BitmapGuard &) = delete;
    HBITMAP get() const { return b_; }
    HBITMAP *ptr() { return &b_; }
    void reset(HBITMAP b) { if (b_) DeleteObject(b_); b_ = b; }
private:
    HBITMAP b_;
};

class BlockGuard {
public:
    explicit BlockGuard(HGLOBAL h = nullptr) : h_(h) {}
    ~BlockGuard() { if (h_) GlobalFree(h_); }
    BlockGuard(const BlockGuard &) = delete;
    BlockGuard &operator=(const BlockGuard &) = delete;
    HGLOBAL get() const { return h_; }
    HGLOBAL *ptr() { return &h_; }
    void reset(HGLOBAL h) { if (h_) GlobalFree(h_); h_ = h; }
private:
    HGLOBAL h_;
};

}  // namespace picture_test
