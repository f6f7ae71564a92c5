#include "metafile.h"

#include <cstring>

#include "dib_format.h"
#include "picture_handles.h"

namespace codecs {
namespace {

constexpr DWORD kPlaceableKey = 0x9AC6CDD7;
constexpr size_t kPlaceableHeaderBytes = 22;
constexpr size_t kMaxMetafileBytes = 64u * 1024u * 1024u;

// An enhanced metafile from either file form; NULL when GDI refuses it.
HENHMETAFILE OpenMetafile(LPCSTR path) {
    auto bytes = ReadWholeFile(path, kMaxMetafileBytes);
    if (!bytes || bytes->size() < 4) return nullptr;
    DWORD first;
    std::memcpy(&first, bytes->data(), 4);
    if (first == EMR_HEADER) return SetEnhMetaFileBits(static_cast<UINT>(bytes->size()), bytes->data());
    METAFILEPICT picture{MM_ANISOTROPIC, 0, 0, nullptr};
    const BYTE *wmf = bytes->data();
    size_t size = bytes->size();
    if (first == kPlaceableKey) {
        if (size <= kPlaceableHeaderBytes) return nullptr;
        // The placeable header gives the frame in logical units per inch.
        const auto *p = bytes->data();
        const int left = static_cast<int16_t>(p[6] | (p[7] << 8)), top = static_cast<int16_t>(p[8] | (p[9] << 8));
        const int right = static_cast<int16_t>(p[10] | (p[11] << 8)), bottom = static_cast<int16_t>(p[12] | (p[13] << 8));
        const int perInch = p[14] | (p[15] << 8);
        if (perInch > 0) {
            picture.xExt = MulDiv(right - left, 2540, perInch);
            picture.yExt = MulDiv(bottom - top, 2540, perInch);
        }
        wmf += kPlaceableHeaderBytes;
        size -= kPlaceableHeaderBytes;
    }
    return SetWinMetaFileBits(static_cast<UINT>(size), wmf, nullptr, picture.xExt ? &picture : nullptr);
}

// The frame (hundredths of a millimetre) at the screen's resolution.
SIZE NaturalSize(HENHMETAFILE emf) {
    ENHMETAHEADER header{};
    GetEnhMetaFileHeader(emf, sizeof(header), &header);
    HDC screen = GetDC(nullptr);
    const int dpiX = GetDeviceCaps(screen, LOGPIXELSX), dpiY = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    SIZE size{MulDiv(header.rclFrame.right - header.rclFrame.left, dpiX, 2540),
              MulDiv(header.rclFrame.bottom - header.rclFrame.top, dpiY, 2540)};
    if (size.cx < 1 || size.cy < 1) {
        size.cx = header.rclBounds.right - header.rclBounds.left + 1;
        size.cy = header.rclBounds.bottom - header.rclBounds.top + 1;
    }
    return size;
}

}  // namespace

std::optional<DecodedImage> RenderMetafile(LPCSTR path, int width, int height) {
    HENHMETAFILE emf = OpenMetafile(path);
    if (!emf) return std::nullopt;
    if (width <= 0 || height <= 0) {
        const SIZE natural = NaturalSize(emf);
        width = natural.cx;
        height = natural.cy;
    }
    std::optional<DecodedImage> result;
    auto image = AllocateDecoded(width, height);
    if (image) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;  // top-down: rows match DecodedImage
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 24;
        void *bits = nullptr;
        HDC dc = CreateCompatibleDC(nullptr);
        HBITMAP section = dc ? CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0) : nullptr;
        if (section && bits) {
            HGDIOBJ old = SelectObject(dc, section);
            RECT all{0, 0, width, height};
            FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
            const bool played = PlayEnhMetaFile(dc, emf, &all) != FALSE;
            GdiFlush();
            SelectObject(dc, old);
            if (played) {
                const size_t stride = dibformat::StrideBytesWrapping(static_cast<uint32_t>(width), 24);
                for (int y = 0; y < height; ++y) {
                    std::memcpy(image->Pixel(0, y), static_cast<BYTE *>(bits) + y * stride, static_cast<size_t>(width) * 3);
                }
                result = std::move(image);
            }
        }
        if (section) DeleteObject(section);
        if (dc) DeleteDC(dc);
    }
    DeleteEnhMetaFile(emf);
    return result;
}

}  // namespace codecs
