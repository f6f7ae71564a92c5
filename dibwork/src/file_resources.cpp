// Pictures from the resources of a module: whole BMP files stored under
// the resource type 16000, and bitmaps prepared as button faces.
#include <cstring>

#include "dibwork.h"
#include "dibwork_internal.h"
#include "file_io_internal.h"

using namespace dibwork;
using namespace dibwork::fileio;

namespace {

constexpr WORD kBmpFileResourceType = 16000;
constexpr DWORD kPaintWhereMaskIsSet = 0x00E20746;  // (dest ^ (mask & (brush ^ dest)))

}  // namespace

HGLOBAL WINAPI LoadDIBFromResource(HMODULE module, UINT number) {
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(number), MAKEINTRESOURCEA(kBmpFileResourceType));
    if (!found) return nullptr;
    HGLOBAL loaded = LoadResource(module, found);
    const auto *file = loaded ? static_cast<const uint8_t *>(LockResource(loaded)) : nullptr;
    const DWORD size = SizeofResource(module, found);
    if (!file || size < kBmpFileHeaderBytes) return nullptr;
    // bfSize must lie within the resource, and the DIB after the file
    // header must be whole.
    const BmpFileHeader header = ReadBmpFileHeader(file);
    if (header.size < kBmpFileHeaderBytes || header.size > size) return nullptr;
    const DWORD dibBytes = header.size - kBmpFileHeaderBytes;
    if (!DibBlockIsWhole(file + kBmpFileHeaderBytes, dibBytes)) return nullptr;
    HGLOBAL dib = GlobalAlloc(GHND, dibBytes);
    if (!dib) return nullptr;
    void *p = GlobalLock(dib);
    if (!p) {
        GlobalFree(dib);
        return nullptr;
    }
    std::memcpy(p, file + kBmpFileHeaderBytes, dibBytes);
    GlobalUnlock(dib);
    if (!ConvNormalDIB(&dib)) FreeDIB(&dib);
    return dib;
}

HBITMAP WINAPI LoadBitmapForIcon(HINSTANCE instance, UINT number, COLORREF transparent) {
    HBITMAP picture = static_cast<HBITMAP>(LoadImageA(instance, MAKEINTRESOURCEA(number), IMAGE_BITMAP, 0, 0, 0));
    if (!picture) return nullptr;
    BITMAP bm{};
    GetObjectA(picture, sizeof(bm), &bm);
    HBITMAP mask = CreateBitmap(bm.bmWidth, bm.bmHeight, 1, 1, nullptr);
    HBRUSH face = CreateSolidBrush(GetSysColor(COLOR_BTNFACE));
    bool ok = false;
    if (mask && face) {
        MemoryDC pictureDC, maskDC;
        SelectGuard selectPicture(pictureDC.get(), picture);
        SelectGuard selectMask(maskDC.get(), mask);
        // Copying colour to mono sets exactly the pixels of the background
        // colour to 1.
        SetBkColor(pictureDC.get(), transparent);
        BitBlt(maskDC.get(), 0, 0, bm.bmWidth, bm.bmHeight, pictureDC.get(), 0, 0, SRCCOPY);
        // Then the brush goes where the mask is 1: for a mono source the
        // 1 bits take the background (white) and 0 bits the text (black).
        SetBkColor(pictureDC.get(), RGB(255, 255, 255));
        SetTextColor(pictureDC.get(), RGB(0, 0, 0));
        SelectGuard selectBrush(pictureDC.get(), face);
        ok = BitBlt(pictureDC.get(), 0, 0, bm.bmWidth, bm.bmHeight, maskDC.get(), 0, 0, kPaintWhereMaskIsSet) != FALSE;
    }
    if (mask) DeleteObject(mask);
    if (face) DeleteObject(face);
    if (!ok) {
        DeleteObject(picture);
        return nullptr;
    }
    return picture;
}
