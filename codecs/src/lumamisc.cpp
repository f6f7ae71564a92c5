// Lumamisc.dll: the fallback reader Dibwork tries for any extension it has
// no route for, and after a failed route.  Entry 1 reads what the
// platform's imaging component decodes (TIFF, ICO, and the rest); entry 2
// what the system's bitmap loader reads (BMP forms Dibwork's own reader
// refuses, such as top-down rows).
#include <windows.h>

#include <vector>

#include "dib_format.h"
#include "lumaio.h"
#include "picture_handles.h"
#include "wic.h"

using namespace codecs;

namespace {

// Larger files are not taken apart here; the decoders still see them.
constexpr LONGLONG kLargestCheckedFile = 256ll * 1024 * 1024;

// A file that says it is a BMP ("BM") but whose header, colour table or
// rows are not all there.  The system's decoders read such files past
// their data (a truncated or tampered header faults inside them), so they
// are refused before either decoder sees them.  BMP files that are whole
// but of a form Dibwork's own reader passes on still go through.
bool IsBrokenBitmapFile(const std::wstring &path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;  // the decoders fail on their own
    LARGE_INTEGER size{};
    std::vector<uint8_t> bytes(2);
    DWORD read = 0;
    // Only a file that starts with "BM" is read whole; the fallback sees
    // every other format too, and those are not ours to judge.
    if (GetFileSizeEx(file, &size) && size.QuadPart >= 2 && size.QuadPart <= kLargestCheckedFile &&
        ReadFile(file, bytes.data(), 2, &read, nullptr) && read == 2 && bytes[0] == 'B' && bytes[1] == 'M') {
        bytes.resize(static_cast<size_t>(size.QuadPart));
        if (!ReadFile(file, bytes.data() + 2, static_cast<DWORD>(bytes.size() - 2), &read, nullptr) ||
            read != bytes.size() - 2) {
            bytes.resize(2);  // cut short while reading: judged as the two bytes there are
        }
    } else {
        bytes.clear();
    }
    CloseHandle(file);
    return !dibformat::BmpFileLooksWhole(bytes.data(), bytes.size());
}

}  // namespace

extern "C" {

int WINAPI LumamiscReadImaging(LPCSTR path, HGLOBAL *dib, HBITMAP *bitmap) {
    if (!path || (!dib && !bitmap)) return 0;
    if (IsBrokenBitmapFile(WidePath(path))) return 0;
    auto image = WicDecode(path);
    return image && StoreDecoded(*image, dib, bitmap) ? 1 : 0;
}

int WINAPI LumamiscReadSystem(LPCSTR path, HGLOBAL *dib, HBITMAP *bitmap) {
    if (!path || (!dib && !bitmap)) return 0;
    const std::wstring wide = WidePath(path);
    if (IsBrokenBitmapFile(wide)) return 0;
    HBITMAP loaded = static_cast<HBITMAP>(
        LoadImageW(nullptr, wide.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
    if (!loaded) return 0;
    auto image = PixelsOf(nullptr, loaded);
    DeleteObject(loaded);
    return image && StoreDecoded(*image, dib, bitmap) ? 1 : 0;
}

}  // extern "C"
