// Lumamisc.dll: the fallback reader Dibwork tries for any extension it has
// no route for, and after a failed route.  Entry 1 reads what the
// platform's imaging component decodes (TIFF, ICO, and the rest); entry 2
// what the system's bitmap loader reads (BMP forms Dibwork's own reader
// refuses, such as top-down rows).
#include <windows.h>

#include "dib_format.h"
#include "lumaio.h"
#include "picture_handles.h"
#include "wic.h"

using namespace codecs;

namespace {

// A file that says it is a BMP ("BM") but whose header, colour table or
// rows are not all there.  The system's decoders read such files past
// their data (a truncated or tampered header faults inside them), so they
// are refused before either decoder sees them.  BMP files that are whole
// but of a form Dibwork's own reader passes on still go through.  Only
// the headers are read: the file's size decides the rest, however large.
bool IsBrokenBitmapFile(const std::wstring &path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;  // the decoders fail on their own
    LARGE_INTEGER size{};
    uint8_t head[dibformat::kBmpHeadBytes];
    DWORD read = 0;
    const bool ok = GetFileSizeEx(file, &size) && size.QuadPart >= 0 &&
                    ReadFile(file, head, sizeof(head), &read, nullptr);
    CloseHandle(file);
    if (!ok) return false;
    return !dibformat::BmpHeadLooksWhole(head, read, static_cast<uint64_t>(size.QuadPart));
}

}  // namespace

extern "C" {

int WINAPI LumamiscReadImaging(LPCSTR path, HGLOBAL *dib, HBITMAP *bitmap) {
    return NoThrow([&] {
        if (!path || (!dib && !bitmap)) return 0;
        if (IsBrokenBitmapFile(WidePath(path))) return 0;
        auto image = WicDecode(path);
        return image && StoreDecoded(*image, dib, bitmap) ? 1 : 0;
    });
}

int WINAPI LumamiscReadSystem(LPCSTR path, HGLOBAL *dib, HBITMAP *bitmap) {
    return NoThrow([&] {
        if (!path || (!dib && !bitmap)) return 0;
        const std::wstring wide = WidePath(path);
        if (IsBrokenBitmapFile(wide)) return 0;
        HBITMAP loaded = static_cast<HBITMAP>(
            LoadImageW(nullptr, wide.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
        if (!loaded) return 0;
        // Deleted on every path, an exception's included.
        struct Deleter { HBITMAP h; ~Deleter() { DeleteObject(h); } } owner{loaded};
        auto image = PixelsOf(nullptr, loaded);
        return image && StoreDecoded(*image, dib, bitmap) ? 1 : 0;
    });
}

}  // extern "C"
