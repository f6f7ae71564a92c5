// Lumamisc.dll: the fallback reader Dibwork tries for any extension it has
// no route for, and after a failed route.  Entry 1 reads what the
// platform's imaging component decodes (TIFF, ICO, and the rest); entry 2
// what the system's bitmap loader reads (BMP forms Dibwork's own reader
// refuses, such as top-down rows).
#include <windows.h>

#include "lumaio.h"
#include "picture_handles.h"
#include "wic.h"

using namespace codecs;

extern "C" {

int WINAPI LumamiscReadImaging(LPCSTR path, HGLOBAL *dib, HBITMAP *bitmap) {
    if (!path || (!dib && !bitmap)) return 0;
    auto image = WicDecode(path);
    return image && StoreDecoded(*image, dib, bitmap) ? 1 : 0;
}

int WINAPI LumamiscReadSystem(LPCSTR path, HGLOBAL *dib, HBITMAP *bitmap) {
    if (!path || (!dib && !bitmap)) return 0;
    const std::wstring wide = WidePath(path);
    HBITMAP loaded = static_cast<HBITMAP>(
        LoadImageW(nullptr, wide.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
    if (!loaded) return 0;
    auto image = PixelsOf(nullptr, loaded);
    DeleteObject(loaded);
    return image && StoreDecoded(*image, dib, bitmap) ? 1 : 0;
}

}  // extern "C"
